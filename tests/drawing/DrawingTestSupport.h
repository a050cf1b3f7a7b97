#pragma once
// Helpers for the drawing tests: a bitmap surface filled with a known color, pixel access as
// plain RGB, and the bounding box of everything that differs from the background.

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"

namespace DrawingTest {

constexpr TColor Hex(uint32_t rrggbb) {
    return RGB(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
}

struct Surface {
    std::unique_ptr<TBitmap> Bitmap;
    TColor Background;

    Surface(int w, int h, TColor background = clWhite)
        : Bitmap(std::make_unique<TBitmap>(w, h, pf24bit)), Background(ColorToRGB(background)) {
        Canvas()->GetBrush()->SetStyle(bsSolid);
        Canvas()->GetBrush()->SetColor(Background);
        Canvas()->FillRect(Rect(0, 0, w, h));
    }
    TCanvas* Canvas() const { return Bitmap->GetCanvas(); }
    TColor Pixel(int x, int y) const {
        const uint8_t* p = Bitmap->ScanLine(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    int Width() const { return Bitmap->GetWidth(); }
    int Height() const { return Bitmap->GetHeight(); }
    // Pixels that differ from the background, within an area (the whole surface by default).
    TRect Ink(TRect area = Rect(0, 0, 0, 0)) const {
        if (area.IsEmpty()) area = Rect(0, 0, Width(), Height());
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (Pixel(x, y) != Background) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        if (box.Left == INT32_MAX) return {};
        return box;
    }
    int CountColor(TColor c) const {
        int n = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                n += Pixel(x, y) == ColorToRGB(c);
        return n;
    }
    bool SameAs(const Surface& other) const {
        if (Width() != other.Width() || Height() != other.Height()) return false;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (Pixel(x, y) != other.Pixel(x, y)) return false;
        return true;
    }
};

// A 32-bit bitmap of one color and alpha.
inline std::unique_ptr<TBitmap> AlphaBitmap(int w, int h, TColor color, uint8_t alpha) {
    auto b = std::make_unique<TBitmap>(w, h, pf32bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b->ScanLine(y);
        for (int x = 0; x < w; ++x, p += 4) {
            p[0] = GetBValue(color);
            p[1] = GetGValue(color);
            p[2] = GetRValue(color);
            p[3] = alpha;
        }
    }
    return b;
}

// The pinned test font, so that text metrics repeat.
inline void UseTestFont(TCanvas* canvas, int height = -13) {
    canvas->GetFont()->SetName("DejaVu Sans");
    canvas->GetFont()->SetHeight(height);
    canvas->GetFont()->SetColor(clBlack);
}

inline std::string TestOutputDir() {
    if (const char* dir = std::getenv("QUILLMAR_TEST_OUT"); dir && *dir) return dir;
#ifdef QUILLMAR_BINARY_DIR
    return std::string(QUILLMAR_BINARY_DIR) + "/test-output";
#else
    return "test-output";
#endif
}

} // namespace DrawingTest
