// The progress display painted into a bitmap: frame, bar extent and style, colors by bounds, and
// the percentage text, for ordinary, empty, negative and out-of-range values.

#include <gtest/gtest.h>

#include <limits>

#include "drawing/Providers.h"
#include "grid/view/DisplayTestSupport.h"

using namespace DisplayTest;

namespace {

constexpr TColor Back = Hex(0x336699);
constexpr TColor Border = Hex(0xFF0000);
constexpr uint32_t CentredLine = DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_SINGLELINE;

struct ProgressCell {
    TProgressTestColumn Column;
    TProgressColumnDisplay Display{&Column};
    TRect Cell = Rect(5, 5, 105, 25);

    ProgressCell() {
        Column.BorderColor = Border;
        Column.GetFont()->SetColor(clBlack);
    }
    std::unique_ptr<Surface> Paint(double Value, TColor FontColor = clBlack) {
        auto S = std::make_unique<Surface>(120, 30, Back);
        Bind(Display, *S, Cell);
        S->Canvas()->GetFont()->SetColor(FontColor);
        Display.SetAsFloat(Value);
        Display.Paint();
        return S;
    }
    // The cell as it would look without text, with Text drawn over it the plain way.
    std::unique_ptr<Surface> WithText(double Value, const WideString& Text) {
        const bool Shown = std::exchange(Column.ShowText, false);
        auto S = Paint(Value);
        Column.ShowText = Shown;
        ReferenceText(*S, Text, Rect(Cell.Left + 2, Cell.Top, Cell.Right - 2, Cell.Bottom), CentredLine);
        return S;
    }
};

TColor Window() {
    return ColorToRGB(clWindow);
}

} // namespace

TEST(ProgressDisplay, ZeroShowsOutlineEmptyBarAndZeroPercent) {
    ProgressCell P;
    auto S = P.Paint(0);
    EXPECT_EQ(S->Pixel(5, 5), Border);
    EXPECT_EQ(S->Pixel(104, 24), Border);
    EXPECT_EQ(S->Pixel(4, 5), Back) << "nothing outside the cell";
    EXPECT_EQ(S->Pixel(7, 7), Window()) << "the bar has no width";
    EXPECT_EQ(S->CountColor(clHighlight), 0);
    EXPECT_TRUE(S->SameAs(*P.WithText(0, u"0%")));
}

TEST(ProgressDisplay, ValueAboveMaxFillsTheInsideAndShowsItsPercentage) {
    ProgressCell P;
    P.Column.Style = TProgressStyle::psSolid;
    auto S = P.Paint(150);
    const TColor Bar = ColorToRGB(clHighlight);
    // Inside: x 7..102, y 7..22; the frame's inner ring (one pixel) stays in the column color.
    EXPECT_EQ(S->Pixel(7, 7), Bar);
    EXPECT_EQ(S->Pixel(102, 22), Bar);
    EXPECT_EQ(S->Pixel(103, 15), Window());
    EXPECT_EQ(S->Pixel(104, 15), Border);
    EXPECT_TRUE(S->SameAs(*P.WithText(150, u"150%")));

    // However far above, the bar stops at the frame and nothing overflows.
    auto Huge = P.Paint(1e300);
    EXPECT_EQ(Huge->Pixel(102, 22), Bar);
    EXPECT_EQ(Huge->Pixel(103, 15), Window());
}

TEST(ProgressDisplay, NegativeValueDrawsNoBarAndANegativePercentage) {
    ProgressCell P;
    auto S = P.Paint(-20);
    EXPECT_EQ(S->Pixel(7, 7), Window());
    EXPECT_TRUE(S->SameAs(*P.WithText(-20, u"-20%")));
}

TEST(ProgressDisplay, ShareAndTextFollowMaxAndPrecision) {
    ProgressCell P;
    P.Column.Style = TProgressStyle::psSolid;
    P.Column.Max = 200;
    auto S = P.Paint(42);
    // Inner width 96: 21 % is 20.16, so 20 columns.
    EXPECT_EQ(S->Pixel(26, 10), ColorToRGB(clHighlight));
    EXPECT_EQ(S->Pixel(27, 10), Window());
    EXPECT_TRUE(S->SameAs(*P.WithText(42, u"21%")));

    P.Column.Max = 3;
    P.Column.Precision = 1;
    EXPECT_TRUE(P.Paint(1)->SameAs(*P.WithText(1, u"33.3%")));
}

TEST(ProgressDisplay, ZeroMaxOrNotANumberShowsAnEmptyBar) {
    ProgressCell P;
    P.Column.Max = 0;
    EXPECT_TRUE(P.Paint(50)->SameAs(*P.WithText(50, u"0%")));
    P.Column.Max = 100;
    EXPECT_TRUE(P.Paint(std::numeric_limits<double>::quiet_NaN())
                    ->SameAs(*P.WithText(std::numeric_limits<double>::quiet_NaN(), u"0%")));
}

TEST(ProgressDisplay, HideWhenEmptyLeavesOnlyAZeroCellUntouched) {
    ProgressCell P;
    P.Column.HideWhenEmpty = true;
    EXPECT_EQ(P.Paint(0)->CountColor(Back), 120 * 30);
    auto S = P.Paint(0.5);
    EXPECT_EQ(S->Pixel(5, 5), Border);
}

TEST(ProgressDisplay, BarColorByBounds) {
    ProgressCell P;
    P.Column.Style = TProgressStyle::psSolid;
    P.Column.ShowText = false;
    P.Column.LowValueBound = 20;
    P.Column.HighValueBound = 80;
    P.Column.LowValueColor = Hex(0x00FF00);
    P.Column.ProgressColor = Hex(0x0000FF);
    P.Column.HighValueColor = Hex(0xFFFF00);
    EXPECT_EQ(P.Paint(20)->Pixel(8, 10), Hex(0x00FF00));
    EXPECT_EQ(P.Paint(50)->Pixel(8, 10), Hex(0x0000FF));
    EXPECT_EQ(P.Paint(80)->Pixel(8, 10), Hex(0xFFFF00));
}

TEST(ProgressDisplay, Styles) {
    ProgressCell P;
    P.Column.ShowText = false;
    P.Column.HighValueColor = Hex(0x0000FF);

    // Gradient: from the column color at the bar's left towards the bar color at its right.
    auto G = P.Paint(100);
    EXPECT_EQ(G->Pixel(7, 10), Window());
    EXPECT_NE(G->Pixel(102, 10), Window());
    EXPECT_LT(GetRValue(G->Pixel(102, 10)), GetRValue(G->Pixel(50, 10)));
    EXPECT_EQ(G->Pixel(50, 7), G->Pixel(50, 22)) << "one vertical line per column";

    // Cylinder: from the bar color at the top towards the column color at the bottom.
    P.Column.Style = TProgressStyle::psCylinder;
    auto C = P.Paint(100);
    EXPECT_EQ(C->Pixel(50, 7), Hex(0x0000FF));
    EXPECT_EQ(C->Pixel(7, 15), C->Pixel(102, 15)) << "one horizontal line per row";
    EXPECT_GT(GetRValue(C->Pixel(50, 22)), GetRValue(C->Pixel(50, 8)));

    // Boxes: inner height 16 gives boxes 11 wide, 2 apart, none cut at the bar's end.
    P.Column.Style = TProgressStyle::psBoxes;
    auto B = P.Paint(100);
    std::vector<int> Starts;
    for (int X = 7; X < 103; ++X)
        if (B->Pixel(X, 10) == Hex(0x0000FF) && B->Pixel(X - 1, 10) != Hex(0x0000FF)) Starts.push_back(X);
    EXPECT_EQ(Starts, (std::vector<int>{7, 20, 33, 46, 59, 72, 85}));
    EXPECT_EQ(B->Pixel(95, 10), Hex(0x0000FF));
    EXPECT_EQ(B->Pixel(96, 10), Window());
    EXPECT_EQ(B->Pixel(100, 10), Window());
}

TEST(ProgressDisplay, GradientBarsAreTheProvidersGradientWhetherBlendedNowOrKept) {
    ProgressCell P;
    P.Column.ShowText = false;
    P.Column.LowValueBound = 10;
    P.Column.HighValueBound = 90;
    P.Column.HighValueColor = Hex(0x20C040);
    P.Column.SetColor(clBtnFace); // a system color at one end
    for (double Value : {1.0, 5.0, 37.0, 37.0, 99.0, 150.0}) {
        auto Kept = P.Paint(Value);
        auto Again = P.Paint(Value);
        const TRect Bar = P.Display.GetBarRect(P.Column);
        ASSERT_FALSE(Bar.IsEmpty()) << Value;
        // The provider drawing its gradient over the bar changes nothing.
        NxSharedCommon::TGraphicsProvider::DrawVertGradient(Again->Canvas(), Bar, P.Column.GetColor(),
                                                            P.Display.GetBarColor(P.Column));
        EXPECT_TRUE(Again->SameAs(*Kept)) << Value;
        if (Bar.Width() > 2)
            EXPECT_NE(Kept->Pixel(Bar.Left, Bar.Top), Kept->Pixel(Bar.Right - 1, Bar.Top)) << Value;
    }
    // A bar's colors run from the column color to the bar color.
    const std::vector<TColor>& Colors = P.Display.GetGradientColors(clWhite, clBlack, 4);
    EXPECT_EQ(Colors, (std::vector<TColor>{Hex(0xFFFFFF), Hex(0xBFBFBF), Hex(0x808080), Hex(0x404040)}));
}

TEST(ProgressDisplay, FramePlacement) {
    ProgressCell P;
    P.Column.ShowText = false;
    P.Column.Margin = 2;
    P.Column.ProgressHeight = 6;
    auto S = P.Paint(0);
    // Centred: top = 7 + 16 / 2 - 3 = 12, six rows high.
    EXPECT_EQ(S->Pixel(20, 11), Back);
    EXPECT_EQ(S->Pixel(20, 12), Border);
    EXPECT_EQ(S->Pixel(20, 17), Border);
    EXPECT_EQ(S->Pixel(20, 18), Back);
    EXPECT_EQ(S->Pixel(7, 14), Border);
    EXPECT_EQ(S->Pixel(6, 14), Back);

    P.Column.Margin = 0;
    P.Column.ProgressHeight = 0;
    P.Column.ShowText = true;
    P.Column.TextPosition = TProgressTextPosition::tpBeside;
    auto B = P.Paint(0);
    EXPECT_EQ(B->Pixel(35, 10), Border) << "room for the text at the left";
    EXPECT_EQ(B->Pixel(6, 6), Back);

    P.Column.ShowText = false;
    P.Column.TextPosition = TProgressTextPosition::tpInside;
    P.Column.Transparent = true;
    auto T = P.Paint(0);
    EXPECT_EQ(T->Pixel(5, 5), Border);
    EXPECT_EQ(T->Pixel(20, 15), Back) << "a transparent bar keeps what lies behind it";
}

TEST(ProgressDisplay, TextInsideKeepsTheColumnColorOnSelectedRows) {
    ProgressCell P;
    const TColor Selected = ColorToRGB(clHighlightText);
    EXPECT_TRUE(P.Paint(40, Selected)->SameAs(*P.WithText(40, u"40%")));

    P.Column.TextPosition = TProgressTextPosition::tpBeside;
    // Beside the bar the text takes the grid's color, so it differs from the column's.
    EXPECT_FALSE(P.Paint(40, Hex(0x00FF00))->SameAs(*P.Paint(40, clBlack)));
}
