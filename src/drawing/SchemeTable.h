#pragma once
// The fixed color table of the schemes. Kept apart from ThemesSupport.h so that it needs nothing
// but the color type and can be evaluated at compile time.

#include <array>
#include <cstdint>

#include "platform/graphics/Colors.h"

namespace NxThemesSupport {

enum TColorScheme { csDefault, csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010 };
// The schemes that have colors of their own (csBlack..csBlack2010).
using TColorSchemes = TColorScheme;
constexpr TColorScheme LowColorSchemes = csBlack;
constexpr TColorScheme HighColorSchemes = csBlack2010;

enum TColorSchemeElement {
    seBackgroundGradientStart,
    seBackgroundGradientEnd,
    seBorder,
    seBtnFace,
    seBtnFaceDark,
    seDown,
    seGridHeaderGradientStart,
    seGridHeaderGradientEnd,
    seGroupHeader,
    seHeaderFont,
    seHeaderDivider,
    seHeaderGradientEnd,
    seHeaderGradientStart,
    seHeaderShadow,
    seHighlight,
    seHover,
    seHighlightHoverFore,
    seHighlightDownFore,
    seInactiveDockCaption,
    seMenuHighlight,
    seMenuSelectionBorder,
    seMenuSelectionBorderDown,
    seSplitterGradientStart,
    seSplitterGradientEnd,
};

constexpr int ColorSchemeCount = 7;
constexpr int SchemeElementCount = 24;

using TSchemeTable = std::array<std::array<TColor, SchemeElementCount>, ColorSchemeCount>;

namespace Detail {
// The table values are written as #RRGGBB; a color stores them as 0x00BBGGRR.
constexpr TColor Hex(uint32_t rrggbb) {
    return RGB(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
}

constexpr void FillRow(TSchemeTable& t, TColorScheme s, std::array<uint32_t, SchemeElementCount> rgb) {
    for (int i = 0; i < SchemeElementCount; ++i)
        t[s][i] = Hex(rgb[i]);
}

// Rows are written in the order csBlue, csSilver, csBlack, csBlue2010, csSilver2010, csBlack2010;
// every scheme but csBlack takes its header shadow from its border after that is written.
// Roles in order: 0 gradient start, 1 gradient end, 2 border, 3 face, 4 face dark, 5 down,
// 6/7 grid header start/end, 8 group header, 9 header font, 10 header divider,
// 11 header end, 12 header start, 13 header shadow, 14 highlight, 15 hover,
// 16 highlight hover fore, 17 highlight down fore, 18 inactive dock caption,
// 19 menu highlight, 20 menu selection border, 21 its down color, 22/23 splitter start/end.
constexpr TSchemeTable MakeSchemeTable() {
    TSchemeTable t{};
    FillRow(t, csBlue, {0,        0x6692CE, 0x6593CF, 0xE3EFFF, 0xC2D9F0, 0,        0xFFFFFF, 0xAFD2FF,
                        0xDDE7EE, 0x15428B, 0x9AC6FF, 0xAFD2FF, 0xE3EFFF, 0,        0xA7B0C9, 0,
                        0,        0,        0xB8CFE9, 0xFFE7A2, 0xFFBD69, 0xFB8C3C, 0xE3EFFF, 0xB6D6FF});
    t[csBlue][seHeaderShadow] = t[csBlue][seBorder];
    FillRow(t, csSilver, {0,        0x9B9FA6, 0x6F7074, 0xF0F1F2, 0xD2D6E1, 0,        0xFFFFFF, 0xDADFE7,
                          0xEBEBEB, 0x15428B, 0x6E6D8F, 0xDADFE7, 0xF6F7F8, 0,        0xA7B0C9, 0,
                          0,        0,        0xB2B7C2, 0xFFEEC2, 0xFFC06F, 0xFE803E, 0xA8A7BF, 0x787797});
    t[csSilver][seHeaderShadow] = t[csSilver][seBorder];
    FillRow(t, csBlack, {0,        0x0A0A0A, 0x4C535C, 0xF0F1F2, 0xD2D6E1, 0xFB8C3C, 0xFFFFFF, 0xBDC2C9,
                         0xEBEBEB, 0x000000, 0x9199A4, 0xBDC2C9, 0xF0F1F2, 0xA7ADB6, 0xA7B0C9, 0,
                         0,        0,        0x9EA0A0, 0xFFE7A2, 0xFFBD69, 0xFB8C3C, 0xF0F1F2, 0xC4C8CE});
    FillRow(t, csBlue2010, {0,        0x6692CE, 0x849DBD, 0xBFD0E5, 0xC2D9F0, 0,        0xEFF5FB, 0xE1ECFA,
                            0xF0F2F5, 0x15428B, 0x849DBD, 0xDADFE7, 0xF6F7F8, 0,        0xA7CDF0, 0,
                            0,        0,        0xB2B7C2, 0xFFEEC2, 0xFFC06F, 0xFE803E, 0xA8A7BF, 0x787797});
    t[csBlue2010][seHeaderShadow] = t[csBlue2010][seBorder];
    FillRow(t, csSilver2010,
            {0,        0x9B9FA6, 0xA5ACB5, 0xD6DBE0, 0xD2D6E1, 0,        0xF5F7F9, 0xEFF2F6,
             0xEBEBEB, 0x15428B, 0xA5ACB5, 0xDADFE7, 0xF6F7F8, 0,        0xA7CDF0, 0,
             0,        0,        0xB2B7C2, 0xFFEEC2, 0xFFC06F, 0xFE803E, 0xA8A7BF, 0x787797});
    t[csSilver2010][seHeaderShadow] = t[csSilver2010][seBorder];
    FillRow(t, csBlack2010, {0,        0x9B9FA6, 0x3B3B3B, 0x858585, 0xD2D6E1, 0,        0xF5F7F9, 0xEFF2F6,
                             0xF0F2F5, 0x15428B, 0xA5ACB5, 0xDADFE7, 0xF6F7F8, 0,        0xA7CDF0, 0,
                             0,        0,        0xB2B7C2, 0xFFEEC2, 0xFFC06F, 0xFE803E, 0xA8A7BF, 0x787797});
    t[csBlack2010][seHeaderShadow] = t[csBlack2010][seBorder];
    return t;
}
} // namespace Detail

} // namespace NxThemesSupport
