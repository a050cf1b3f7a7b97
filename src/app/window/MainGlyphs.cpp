// Tool bar glyphs and the window icon, drawn with the canvas's pixel-exact primitives, once at their
// own size and once at twice the size for HiDPI screens.
#include "app/window/MainGlyphs.h"

#include <initializer_list>
#include <vector>

#include "platform/graphics/Canvas.h"

namespace {

// The transparent background: a color no glyph uses.
constexpr TColor kGlyphBack = clFuchsia;

// A canvas that takes the pictures' coordinates at their own size and draws them S times larger.
struct TScaled {
    TCanvas* C;
    int S;

    void Shape(TColor Fill, TColor Line) const {
        C->GetBrush()->SetStyle(bsSolid);
        C->GetBrush()->SetColor(Fill);
        C->GetPen()->SetColor(Line);
        C->GetPen()->SetWidth(S);
    }
    void Polygon(std::initializer_list<TPoint> Points) const {
        std::vector<TPoint> Scaled;
        for (TPoint P : Points)
            Scaled.push_back({P.X * S, P.Y * S});
        C->Polygon(Scaled);
    }
    void Rectangle(int L, int T, int R, int B) const { C->Rectangle(L * S, T * S, R * S, B * S); }
    void RoundRect(int L, int T, int R, int B, int W, int H) const {
        C->RoundRect(L * S, T * S, R * S, B * S, W * S, H * S);
    }
    void FillRect(int L, int T, int R, int B) const { C->FillRect({L * S, T * S, R * S, B * S}); }
    void Line(int X1, int Y1, int X2, int Y2) const {
        C->MoveTo(X1 * S, Y1 * S);
        C->LineTo(X2 * S, Y2 * S);
    }
};

// A sheet of paper with a folded corner and text lines.
void DrawPage(const TScaled& C, int X, int Y) {
    C.Shape(clWhite, RGB(0x5A, 0x6E, 0x8C));
    C.Polygon({{X, Y}, {X + 13, Y}, {X + 19, Y + 6}, {X + 19, Y + 24}, {X, Y + 24}});
    C.Shape(RGB(0xDD, 0xE6, 0xF2), RGB(0x5A, 0x6E, 0x8C));
    C.Polygon({{X + 13, Y}, {X + 13, Y + 6}, {X + 19, Y + 6}});
    C.C->GetPen()->SetColor(RGB(0x9A, 0xAE, 0xC8));
    for (int Line = 0; Line < 5; ++Line)
        C.Line(X + 4, Y + 9 + Line * 3, X + 16, Y + 9 + Line * 3);
}

void DrawFolder(const TScaled& C) {
    C.Shape(RGB(0xF0, 0xC0, 0x40), RGB(0x9C, 0x6C, 0x10));
    C.Polygon({{3, 8}, {12, 8}, {15, 11}, {28, 11}, {28, 26}, {3, 26}});
    C.Shape(RGB(0xFF, 0xDA, 0x6A), RGB(0x9C, 0x6C, 0x10));
    C.Polygon({{3, 26}, {7, 15}, {31, 15}, {28, 26}});
}

void DrawPlus(const TScaled& C, int X, int Y) {
    C.Shape(RGB(0x2E, 0xA0, 0x3C), RGB(0x1B, 0x6B, 0x25));
    C.Rectangle(X + 3, Y, X + 8, Y + 11);
    C.Rectangle(X, Y + 3, X + 11, Y + 8);
    C.C->GetBrush()->SetColor(RGB(0x2E, 0xA0, 0x3C));
    C.FillRect(X + 4, Y + 4, X + 7, Y + 7);
}

std::unique_ptr<TBitmap> DrawGlyph(TMainGlyph Glyph, int S) {
    auto Bitmap = std::make_unique<TBitmap>(32 * S, 32 * S, pf24bit);
    TScaled C{Bitmap->GetCanvas(), S};
    C.C->GetBrush()->SetColor(kGlyphBack);
    C.FillRect(0, 0, 32, 32);
    switch (Glyph) {
    case TMainGlyph::OpenFiles:
        DrawPage(C, 4, 3);
        DrawPlus(C, 18, 18);
        break;
    case TMainGlyph::OpenFolder:
        DrawFolder(C);
        break;
    case TMainGlyph::Run:
        C.Shape(RGB(0x3C, 0xB4, 0x4A), RGB(0x1E, 0x78, 0x28));
        C.Polygon({{9, 5}, {26, 16}, {9, 27}});
        break;
    case TMainGlyph::Stop:
        C.Shape(RGB(0xD8, 0x3A, 0x2E), RGB(0x8C, 0x1E, 0x16));
        C.RoundRect(7, 7, 26, 26, 5, 5);
        break;
    case TMainGlyph::OpenFile:
        DrawPage(C, 3, 3);
        C.Shape(RGB(0x2F, 0x7E, 0xD8), RGB(0x1A, 0x4F, 0x96));
        C.Polygon({{17, 16}, {29, 22}, {17, 28}});
        break;
    }
    Bitmap->SetTransparent(true);
    return Bitmap;
}

std::unique_ptr<TBitmap> DrawIcon(int S) {
    auto Icon = std::make_unique<TBitmap>(48 * S, 48 * S, pf32bit);
    TScaled C{Icon->GetCanvas(), S};
    C.Shape(RGB(0x2F, 0x6F, 0xC0), RGB(0x1A, 0x3F, 0x7A));
    C.RoundRect(0, 0, 48, 48, 10, 10);
    // A quill over a sheet: white page, dark nib stroke.
    C.Shape(clWhite, RGB(0x1A, 0x3F, 0x7A));
    C.Polygon({{10, 8}, {30, 8}, {38, 16}, {38, 40}, {10, 40}});
    C.C->GetPen()->SetColor(RGB(0x8A, 0xA8, 0xD0));
    for (int Line = 0; Line < 6; ++Line)
        C.Line(15, 18 + Line * 4, 33, 18 + Line * 4);
    C.Shape(RGB(0xF0, 0xB0, 0x30), RGB(0x80, 0x50, 0x10));
    C.Polygon({{44, 4}, {24, 30}, {21, 33}, {23, 28}, {40, 4}});
    // Nothing was drawn outside the rounded square: those pixels keep alpha 0.
    return Icon;
}

} // namespace

std::unique_ptr<TBitmap> MakeMainGlyph(TMainGlyph Glyph) {
    auto Bitmap = DrawGlyph(Glyph, 1);
    Bitmap->SetDetail(DrawGlyph(Glyph, 2).get());
    return Bitmap;
}

std::unique_ptr<TBitmap> MakeMainIcon() {
    auto Icon = DrawIcon(1);
    Icon->SetDetail(DrawIcon(2).get());
    return Icon;
}
