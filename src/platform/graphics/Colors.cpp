#include "platform/graphics/Colors.h"

#include <array>
#include <cstddef>

namespace {

// Windows 7 default values, by COLOR_* index. Index 25 is unused and black.
constexpr std::array<TColor, SystemColorCount> SystemColors = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(51, 153, 255),  // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(67, 78, 84),    // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // unused
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(51, 153, 255),  // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

} // namespace

TColor GetSysColor(int index) {
    if (index < 0 || index >= SystemColorCount) return clBlack;
    return SystemColors[static_cast<std::size_t>(index)];
}

TColor ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}
