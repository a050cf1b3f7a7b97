#pragma once
// Helpers for pixel tests: bitmaps filled with a color, pixel counts, ink bounds and PNG output.

#include <QDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace gtest_graphics {

// A 24-bit bitmap of the given size filled with one color, with a canvas font pinned to an
// installed face so text metrics repeat.
inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor fill = clWhite, TPixelFormat pf = pf24bit) {
    auto b = std::make_unique<TBitmap>(w, h, pf);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(fill);
    c->FillRect({0, 0, w, h});
    c->GetFont()->SetName("DejaVu Sans");
    c->GetFont()->SetHeight(-11);
    c->GetFont()->SetColor(clBlack);
    return b;
}

inline TColor Px(const TBitmap& b, int x, int y) {
    return b.GetCanvas()->GetPixels(x, y);
}

inline int Count(const TBitmap& b, TColor color, TRect area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (Px(b, x, y) == color) ++n;
    return n;
}

inline int Count(const TBitmap& b, TColor color) {
    return Count(b, color, {0, 0, b.GetWidth(), b.GetHeight()});
}

// The bounds (right and bottom exclusive) of every pixel that differs from the background.
inline TRect Ink(const TBitmap& b, TColor background, TRect area) {
    TRect r{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (Px(b, x, y) != background) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    if (r.Right <= r.Left) return {};
    return r;
}

inline TRect Ink(const TBitmap& b, TColor background = clWhite) {
    return Ink(b, background, {0, 0, b.GetWidth(), b.GetHeight()});
}

inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (Px(a, x, y) != Px(b, x, y)) return false;
    return true;
}

inline std::string OutDir() {
    const char* env = std::getenv("QUILLMAR_TEST_OUT");
    std::string dir = env && *env ? env : std::string(QUILLMAR_BINARY_DIR) + "/test-output";
    QDir().mkpath(QString::fromStdString(dir));
    return dir;
}

} // namespace gtest_graphics
