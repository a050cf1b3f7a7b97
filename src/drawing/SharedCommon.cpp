// Shared helpers: clipping, polylines, focus marks, text in rectangles, vertical text and HTML colors.
#include "drawing/SharedCommon.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "drawing/SharedDraw.h"
#include "platform/runtime/CodePage.h"

namespace NxSharedCommon {

namespace {
// Platform identifiers; the wide-character calls exist on the NT family.
constexpr int VER_PLATFORM_WIN32_NT = 2;
constexpr int Win32Platform = VER_PLATFORM_WIN32_NT;

// Keeps a copy of the canvas font and puts it back when the scope ends, however it ends.
class TKeptFont {
public:
    explicit TKeptFont(TCanvas* Canvas) : FCanvas(Canvas) { FFont.Assign(Canvas->GetFont()); }
    ~TKeptFont() { FCanvas->SetFont(FFont); }
    TKeptFont(const TKeptFont&) = delete;
    TKeptFont& operator=(const TKeptFont&) = delete;

private:
    TCanvas* FCanvas;
    TFont FFont;
};
} // namespace

bool IsUnicodeSupported = Win32Platform == VER_PLATFORM_WIN32_NT;

void SetClipRect(TCanvas* canvas, const TRect& rect) {
    const TRegion region = CreateRectRgnIndirect(rect);
    canvas->SelectClipRgn(region);
}

void SetClipPoly(TCanvas* canvas, std::span<const TPoint> points) {
    const TRegion region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
    canvas->SelectClipRgn(region);
}

void FlipPointsVert(std::span<TPoint> points, const TRect& rect) {
    const int middle = rect.Top + (rect.Bottom - rect.Top) / 2;
    for (TPoint& p : points)
        p.Y = 2 * middle - p.Y;
}

void DrawPolyline(TCanvas* canvas, std::span<const TPoint> points, bool flip, const TRect& rect) {
    std::vector<TPoint> copy(points.begin(), points.end());
    if (flip) FlipPointsVert(copy, rect);
    canvas->Polyline(std::span<const TPoint>(copy));
}

void ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap) {
    NxSharedDraw::ApplyBitmap(canvas, x, y, bitmap);
}

void DrawFocusRect(TCanvas* canvas, const TRect& rect) {
    // The dotted pattern inverts through black and white, whatever colors the caller left.
    const TColor oldBk = canvas->SetBkColor(clBlack);
    const TColor oldText = canvas->SetTextColor(clWhite);
    canvas->DrawFocusRect(rect);
    canvas->SetTextColor(oldText);
    canvas->SetBkColor(oldBk);
}

bool PointOffset(const TPoint& a, const TPoint& b, int distance) {
    return a.X < b.X - distance || a.X > b.X + distance || a.Y < b.Y - distance || a.Y > b.Y + distance;
}

TRect NormalizeRect(const TRect& rect) {
    return {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom), std::max(rect.Left, rect.Right),
            std::max(rect.Top, rect.Bottom)};
}

void DrawTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment, const WideString& text,
                  TBiDiMode biDiMode) {
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (alignment == taRightJustify) flags |= DT_RIGHT;
    if (alignment == taCenter) flags |= DT_CENTER;
    if (biDiMode != bdLeftToRight) flags |= DT_RTLREADING;
    canvas->GetBrush()->SetStyle(bsClear);
    TRect r = rect;
    if (IsUnicodeSupported)
        canvas->DrawText(text, r, flags);
    else
        canvas->DrawText(WideToAnsi(text), r, flags);
    canvas->GetBrush()->SetStyle(bsSolid);
}

void DrawVerticalText(TCanvas* canvas, const TRect& rect, const AnsiString& text) {
    const uint32_t flags = DT_SINGLELINE | DT_BOTTOM | DT_EXTERNALLEADING | DT_NOPREFIX;
    canvas->GetBrush()->SetStyle(bsClear);
    const TKeptFont previous(canvas);
    TFont rotated;
    rotated.Assign(canvas->GetFont());
    rotated.SetOrientation(900);
    canvas->SetFont(rotated);
    TRect r = rect;
    canvas->DrawText(text, r, flags);
}

// ---- HTML colors

const std::array<TWebColorName, WebColorCount> WebColorNames{{
    {"transparent", "#FFFFFF"},
    {"aliceblue", "#F0F8FF"},
    {"antiquewhite", "#FAEBD7"},
    {"aqua", "#00FFFF"},
    {"aquamarine", "#7FFFD4"},
    {"azure", "#F0FFFF"},
    {"beige", "#F5F5DC"},
    {"bisque", "#FFE4C4"},
    {"black", "#000000"},
    {"blanchedalmond", "#FFEBCD"},
    {"blue", "#0000FF"},
    {"blueviolet", "#8A2BE2"},
    {"brown", "#A52A2A"},
    {"burlywood", "#DEB887"},
    {"cadetblue", "#5F9EA0"},
    {"chartreuse", "#7FFF00"},
    {"chocolate", "#D2691E"},
    {"coral", "#FF7F50"},
    {"cornflowerblue", "#6495ED"},
    {"cornsilk", "#FFF8DC"},
    {"crimson", "#DC143C"},
    {"cyan", "#00FFFF"},
    {"darkblue", "#00008B"},
    {"darkcyan", "#008B8B"},
    {"darkgoldenrod", "#B8860B"},
    {"darkgray", "#A9A9A9"},
    {"darkgreen", "#006400"},
    {"darkkhaki", "#BDB76B"},
    {"darkmagenta", "#8B008B"},
    {"darkolivegreen", "#556B2F"},
    {"darkorange", "#FF8C00"},
    {"darkorchid", "#9932CC"},
    {"darkred", "#8B0000"},
    {"darksalmon", "#E9967A"},
    {"darkseagreen", "#8FBC8F"},
    {"darkslateblue", "#483D8B"},
    {"darkslategray", "#2F4F4F"},
    {"darkturquoise", "#00CED1"},
    {"darkviolet", "#9400D3"},
    {"deeppink", "#FF1493"},
    {"deepskyblue", "#00BFFF"},
    {"dimgray", "#696969"},
    {"dodgerblue", "#1E90FF"},
    {"firebrick", "#B22222"},
    {"floralwhite", "#FFFAF0"},
    {"forestgreen", "#228B22"},
    {"fuchsia", "#FF00FF"},
    {"gainsboro", "#DCDCDC"},
    {"ghostwhite", "#F8F8FF"},
    {"gold", "#FFD700"},
    {"goldenrod", "#DAA520"},
    {"gray", "#808080"},
    {"green", "#008000"},
    {"greenyellow", "#ADFF2F"},
    {"honeydew", "#F0FFF0"},
    {"hotpink", "#FF69B4"},
    {"indianred", "#CD5C5C"},
    {"indigo", "#4B0082"},
    {"ivory", "#FFFFF0"},
    {"khaki", "#F0E68C"},
    {"lavender", "#E6E6FA"},
    {"lavenderblush", "#FFF0F5"},
    {"lawngreen", "#7CFC00"},
    {"lemonchiffon", "#FFFACD"},
    {"lightblue", "#ADD8E6"},
    {"lightcoral", "#F08080"},
    {"lightcyan", "#E0FFFF"},
    {"lightgoldenrodyellow", "#FAFAD2"},
    {"lightgreen", "#90EE90"},
    {"lightgrey", "#D3D3D3"},
    {"lightpink", "#FFB6C1"},
    {"lightsalmon", "#FFA07A"},
    {"lightseagreen", "#20B2AA"},
    {"lightskyblue", "#87CEFA"},
    {"lightslategray", "#778899"},
    {"lightsteelblue", "#B0C4DE"},
    {"lightyellow", "#FFFFE0"},
    {"lime", "#00FF00"},
    {"limegreen", "#32CD32"},
    {"linen", "#FAF0E6"},
    {"magenta", "#FF00FF"},
    {"maroon", "#800000"},
    {"mediumaquamarine", "#66CDAA"},
    {"mediumblue", "#0000CD"},
    {"mediumorchid", "#BA55D3"},
    {"mediumpurple", "#9370DB"},
    {"mediumseagreen", "#3CB371"},
    {"mediumslateblue", "#7B68EE"},
    {"mediumspringgreen", "#00FA9A"},
    {"mediumturquoise", "#48D1CC"},
    {"mediumvioletred", "#C71585"},
    {"midnightblue", "#191970"},
    {"mintcream", "#F5FFFA"},
    {"mistyrose", "#FFE4E1"},
    {"moccasin", "#FFE4B5"},
    {"navajowhite", "#FFDEAD"},
    {"navy", "#000080"},
    {"oldlace", "#FDF5E6"},
    {"olive", "#808000"},
    {"olivedrab", "#6B8E23"},
    {"orange", "#FFA500"},
    {"orangered", "#FF4500"},
    {"orchid", "#DA70D6"},
    {"palegoldenrod", "#EEE8AA"},
    {"palegreen", "#98FB98"},
    {"paleturquoise", "#AFEEEE"},
    {"palevioletred", "#DB7093"},
    {"papayawhip", "#FFEFD5"},
    {"peachpuff", "#FFDAB9"},
    {"peru", "#CD853F"},
    {"pink", "#FFC0CB"},
    {"plum", "#DDA0DD"},
    {"powderblue", "#B0E0E6"},
    {"purple", "#800080"},
    {"red", "#FF0000"},
    {"rosybrown", "#BC8F8F"},
    {"royalblue", "#4169E1"},
    {"saddlebrown", "#8B4513"},
    {"salmon", "#FA8072"},
    {"sandybrown", "#F4A460"},
    {"seagreen", "#2E8B57"},
    {"seashell", "#FFF5EE"},
    {"sienna", "#A0522D"},
    {"silver", "#C0C0C0"},
    {"skyblue", "#87CEEB"},
    {"slateblue", "#6A5ACD"},
    {"slategray", "#708090"},
    {"snow", "#FFFAFA"},
    {"springgreen", "#00FF7F"},
    {"steelblue", "#4682B4"},
    {"tan", "#D2B48C"},
    {"teal", "#008080"},
    {"thistle", "#D8BFD8"},
    {"tomato", "#FF6347"},
    {"turquoise", "#40E0D0"},
    {"violet", "#EE82EE"},
    {"wheat", "#F5DEB3"},
    {"white", "#FFFFFF"},
    {"whitesmoke", "#F5F5F5"},
    {"yellow", "#FFFF00"},
    {"yellowgreen", "#9ACD32"},
}};

AnsiString GetHTMLColorName(const AnsiString& name) {
    AnsiString lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const TWebColorName& entry : WebColorNames)
        if (entry.Name == lower) return AnsiString(entry.Value);
    return name;
}

TColor GetColorFromHTML(const AnsiString& text) {
    const AnsiString value = GetHTMLColorName(text);
    if (value.size() < 2) return clNone;
    uint64_t v = 0;
    for (size_t i = 1; i < value.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (!std::isxdigit(c)) return clNone;
        v = v * 16 + static_cast<uint64_t>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
        if (v > 0xFFFFFFFFull) return clNone; // more than the 32 bits a number can hold
    }
    return RGB(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
}

AnsiString HTMLColorToString(TColor color) {
    const TColor c = ColorToRGB(color);
    static const char digits[] = "0123456789ABCDEF";
    AnsiString s = "#";
    for (uint8_t ch : {GetRValue(c), GetGValue(c), GetBValue(c)}) {
        s += digits[ch >> 4];
        s += digits[ch & 15];
    }
    return s;
}

} // namespace NxSharedCommon
