// The text displays painted into a bitmap: one line with an end ellipsis, masking, alignment,
// multi-line centring, the hint mark, the background, the 8-bit path and measuring.

#include <gtest/gtest.h>

#include "drawing/SharedCommon.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/DisplayTestSupport.h"
#include "platform/runtime/ScopedChange.h"

using namespace DisplayTest;

namespace {

constexpr uint32_t LeftLine = DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS | DT_SINGLELINE;

struct TextCell {
    TTextTestColumn Column;
    TTextColumnDisplay Display{&Column};
    Surface S{220, 60};
    TRect Cell = Rect(10, 10, 70, 30);

    Surface& Paint(const WideString& Value) {
        Bind(Display, S, Cell);
        Display.SetAsString(Value);
        Display.Paint();
        return S;
    }
    TRect TextRect() const { return Rect(Cell.Left + 2, Cell.Top, Cell.Right - 2, Cell.Bottom); }
};

int LineHeight() {
    Surface S(10, 10);
    DrawingTest::UseTestFont(S.Canvas());
    return S.Canvas()->TextHeight(WideString(u"Ag"));
}

} // namespace

TEST(TextDisplay, LongTextEndsInAnEllipsisOnOneLine) {
    TextCell T;
    const WideString Long = u"A caption far wider than its cell";
    Surface& S = T.Paint(Long);
    Surface Cut(220, 60), Uncut(220, 60);
    ReferenceText(Cut, Long, T.TextRect(), LeftLine);
    ReferenceText(Uncut, Long, T.TextRect(), LeftLine & ~DT_END_ELLIPSIS);
    EXPECT_TRUE(S.SameAs(Cut));
    EXPECT_FALSE(S.SameAs(Uncut)) << "the cut text ends in three dots";
    const TRect Ink = S.Ink();
    EXPECT_GE(Ink.Left, T.TextRect().Left);
    EXPECT_LE(Ink.Right, T.TextRect().Right);
    EXPECT_LE(Ink.Height(), LineHeight());
}

TEST(TextDisplay, LineBreakStaysOnOneLineEvenInATallCell) {
    TextCell T;
    T.Cell = Rect(10, 5, 200, 55);
    const TRect Ink = T.Paint(u"first\nsecond").Ink();
    ASSERT_FALSE(Ink.IsEmpty());
    EXPECT_LE(Ink.Height(), LineHeight());
    // Vertically centred in the 50-pixel cell.
    EXPECT_NEAR((Ink.Top + Ink.Bottom) / 2.0, 30, 4);
}

TEST(TextDisplay, DrawsTheColumnsDrawTextMaskedAroundTheValue) {
    TextCell T;
    T.Cell = Rect(10, 10, 200, 30);
    T.Column.Before = u"<";
    T.Column.After = u">";
    T.Column.Mask = u'*';
    Surface& S = T.Paint(u"ab");
    Surface Expected(220, 60);
    ReferenceText(Expected, u"****", T.TextRect(), LeftLine);
    EXPECT_TRUE(S.SameAs(Expected));
}

TEST(TextDisplay, AlignmentPlacesTheTextInsideTheTwoPixelInset) {
    TextCell T;
    T.Cell = Rect(10, 10, 200, 30);
    T.Column.SetAlignment(taRightJustify);
    const TRect Right = T.Paint(u"right").Ink();
    EXPECT_LE(Right.Right, 198);
    EXPECT_GE(Right.Right, 195);

    TextCell C;
    C.Cell = Rect(10, 10, 200, 30);
    C.Column.SetAlignment(taCenter);
    const TRect Centre = C.Paint(u"mid").Ink();
    EXPECT_NEAR((Centre.Left + Centre.Right) / 2.0, 105, 2);
}

TEST(TextDisplay, MultiLineTextIsWrappedAndMovedByVerticalAlignment) {
    TextCell T;
    T.Cell = Rect(10, 0, 70, 60);
    T.Column.SetWrapKind(wkWordWrap);
    const WideString Text = u"one two three";
    const TRect Centred = T.Paint(Text).Ink();
    EXPECT_GT(Centred.Height(), LineHeight()) << "wrapped onto several lines";
    EXPECT_NEAR(Centred.Top - 0, 60 - Centred.Bottom, 4);

    TextCell B;
    B.Cell = T.Cell;
    B.Column.SetWrapKind(wkWordWrap);
    B.Column.SetVerticalAlignment(taAlignBottom);
    const TRect Bottom = B.Paint(Text).Ink();
    EXPECT_GT(Bottom.Top, Centred.Top);
    EXPECT_LE(Bottom.Bottom, 60);
    EXPECT_GE(Bottom.Bottom, 56);

    // A multi-line column without word wrap keeps its line breaks.
    TextCell M;
    M.Cell = T.Cell;
    M.Column.MultiLine = true;
    EXPECT_GT(M.Paint(u"a\nb").Ink().Height(), LineHeight());
}

TEST(TextDisplay, HintMarkIsARedTriangleInTheTopRightCorner) {
    TextCell T;
    Bind(T.Display, T.S, T.Cell);
    T.Display.DrawHintMark();
    const TColor Red = Hex(0xFF0000);
    EXPECT_EQ(T.S.Ink(), Rect(65, 10, 70, 15));
    EXPECT_EQ(T.S.Pixel(65, 10), Red);
    EXPECT_EQ(T.S.Pixel(69, 10), Red);
    EXPECT_EQ(T.S.Pixel(69, 14), Red);
    EXPECT_EQ(T.S.Pixel(65, 14), clWhite);
}

TEST(TextDisplay, BackgroundFillsOrFramesTheCell) {
    TextCell T;
    Bind(T.Display, T.S, T.Cell);
    T.Display.PaintBackground(Hex(0x00FF00), true);
    EXPECT_EQ(T.S.CountColor(Hex(0x00FF00)), 60 * 20);
    Surface Framed(220, 60);
    Bind(T.Display, Framed, T.Cell);
    T.Display.PaintBackground(Hex(0x00FF00), false);
    EXPECT_EQ(Framed.CountColor(Hex(0x00FF00)), 2 * 60 + 2 * 18);
    EXPECT_EQ(Framed.Pixel(30, 20), clWhite);
}

TEST(TextDisplay, EightBitPathDrawsTheSameText) {
    TextCell Wide, Narrow;
    Wide.Paint(u"Caf\u00e9 & co");
    {
        TScopedChange Off(NxSharedCommon::IsUnicodeSupported, false);
        Narrow.Paint(u"Caf\u00e9 & co");
    }
    EXPECT_TRUE(Wide.S.SameAs(Narrow.S));
    EXPECT_FALSE(Wide.S.Ink().IsEmpty());
}

TEST(TextDisplay, TextSizeMeasuresTheWholeValue) {
    TextCell T;
    Bind(T.Display, T.S, T.Cell);
    T.Display.SetAsString(u"A caption far wider than its cell");
    const TSize Size = T.Display.GetTextSize();
    EXPECT_EQ(Size.cx, T.S.Canvas()->TextWidth(WideString(u"A caption far wider than its cell")));
    EXPECT_EQ(Size.cy, LineHeight());
    EXPECT_EQ(T.Display.GetContentWidth(), Size.cx);
    EXPECT_TRUE(T.S.Ink().IsEmpty()) << "measuring draws nothing";
}

TEST(TextDisplay, MemoWrapsItsValueOverSeveralLines) {
    TTextTestColumn Column;
    TMemoColumnDisplay Memo(&Column);
    Surface S(100, 80);
    Bind(Memo, S, Rect(0, 0, 60, 80));
    Memo.SetAsString(u"one two three four");
    Memo.Paint();
    const TRect Ink = S.Ink();
    EXPECT_GT(Ink.Height(), 2 * LineHeight());
    EXPECT_GE(Ink.Top, 1);
    EXPECT_GT(Memo.GetTextSize().cy, 2 * LineHeight());
}

namespace {
class TLinkColumn : public TTextTestColumn, public THyperlinkColumnSettings {
public:
    TColor GetVisitedLinkColor() const override { return Hex(0x00FF00); }
    TColor GetInvalidatedLinkColor() const override { return Hex(0xFF0000); }
    bool HyperlinkHasBeenVisited(const WideString& L) const override { return L == u"seen" || L == u"both"; }
    bool HyperlinkIsInvalidated(const WideString& L) const override { return L == u"both"; }
};
} // namespace

TEST(TextDisplay, LinksTakeTheVisitedOrInvalidatedColor) {
    TLinkColumn Column;
    THyperlinkColumnDisplay Link(&Column);
    auto Paint = [&](const WideString& Value) {
        auto S = std::make_unique<Surface>(100, 30);
        Bind(Link, *S, Rect(0, 0, 100, 30));
        Link.SetAsString(Value);
        Link.Paint();
        return S;
    };
    EXPECT_EQ(Paint(u"fresh")->CountColor(Hex(0x00FF00)), 0);
    EXPECT_GT(Paint(u"seen")->CountColor(Hex(0x00FF00)), 0);
    auto Both = Paint(u"both");
    EXPECT_GT(Both->CountColor(Hex(0xFF0000)), 0);
    EXPECT_EQ(Both->CountColor(Hex(0x00FF00)), 0);
}

TEST(TextDisplay, ColorSwatchShowsTheNamedColorOrACrossedWhiteBox) {
    TTextTestColumn Column;
    TNxColorColumnDisplay Color(&Column);
    Surface S(120, 24, Hex(0x336699));
    Bind(Color, S, Rect(0, 0, 120, 24));
    Color.SetAsString(u"#00FF00");
    Color.Paint();
    const TRect Swatch = Color.GetSwatchRect();
    EXPECT_EQ(Swatch, Rect(2, 2, 22, 22));
    EXPECT_EQ(S.Pixel(2, 2), Hex(0x808080));
    EXPECT_EQ(S.Pixel(12, 12), Hex(0x00FF00));
    EXPECT_GE(S.Ink(Rect(23, 0, 120, 24)).Left, 28) << "the text starts 26 pixels further right";

    Surface Empty(120, 24, Hex(0x336699));
    Bind(Color, Empty, Rect(0, 0, 120, 24));
    Color.SetAsString(u"");
    Color.Paint();
    EXPECT_EQ(Empty.Pixel(4, 4), clWhite);
    EXPECT_EQ(Empty.Pixel(3, 20), Hex(0xFF0000));
    EXPECT_TRUE(Empty.Ink(Rect(23, 0, 120, 24)).IsEmpty());
}
