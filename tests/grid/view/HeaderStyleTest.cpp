// Header styles painted into a bitmap: the Office 2010 look in detail, pressed and hover looks of
// every style, caption and arrow placement, indicator, input and footer cells, paper output.

#include <gtest/gtest.h>

#include "drawing/DrawingTestSupport.h"
#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"
#include "grid/model/FakeGrid.h"
#include "grid/view/StyleDisplayClassic.h"
#include "grid/view/StyleDisplayOffice.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/windows/Themes.h"

using DrawingTest::Hex;
using DrawingTest::Surface;

namespace {

// Three columns 60 pixels wide side by side, headers 18 high, drawn by one style.
struct HeaderBand {
    TFakeGrid Grid;
    std::unique_ptr<TStyleDisplay> Style;
    Surface S{200, 40, Hex(0x123456)};
    TNxCustomColumn* Columns[3];

    explicit HeaderBand(THeaderStyle HeaderStyle) : Style(CreateStyleDisplay(HeaderStyle, &Grid)) {
        for (int I = 0; I < 3; ++I) {
            Columns[I] = Grid.AddColumn(I == 0 ? u"Source files" : I == 1 ? u"Status" : u"Progress");
            Columns[I]->SetWidth(60);
            Columns[I]->GetHeader()->SetAlignment(taCenter);
        }
        DrawingTest::UseTestFont(S.Canvas(), -11);
        Style->SetCanvas(S.Canvas());
    }
    TRect HeaderRect(int I) const { return Rect(I * 60, 0, I * 60 + 60, 18); }
    Surface& Paint() {
        for (int I = 0; I < 3; ++I)
            Style->DrawHeader(Columns[I], HeaderRect(I));
        return S;
    }
};

TColor Scheme(NxThemesSupport::TColorSchemeElement E) {
    return ColorToRGB(NxThemesSupport::SchemeColor(E));
}

} // namespace

TEST(Office2010Style, HeaderGradientDividerAndBorders) {
    HeaderBand B(hsOffice2010);
    Surface& S = B.Paint();
    const TColor Divider = Scheme(NxThemesSupport::seHeaderDivider);
    const TColor Border = Scheme(NxThemesSupport::seBorder);
    EXPECT_EQ(S.Pixel(30, 0), Hex(0xFFFFFF));
    // Row 16 is the last gradient row, close to the end color; row 17 is the border.
    EXPECT_LT(GetRValue(S.Pixel(30, 16)), 0xC0);
    EXPECT_EQ(S.Pixel(30, 17), Border);
    EXPECT_EQ(S.Pixel(0, 17), Border);
    // Divider of the first two headers: rows 2..14 (two below the top, four above the bottom).
    EXPECT_NE(S.Pixel(59, 1), Divider);
    EXPECT_EQ(S.Pixel(59, 2), Divider);
    EXPECT_EQ(S.Pixel(119, 14), Divider);
    EXPECT_NE(S.Pixel(59, 15), Divider);
    // The last header's right edge is the border from the top to two rows above the bottom.
    EXPECT_EQ(S.Pixel(179, 0), Border);
    EXPECT_EQ(S.Pixel(179, 16), Border);
    EXPECT_EQ(S.Pixel(180, 5), Hex(0x123456)) << "nothing right of the header";
    // The caption is drawn, inside its own header.
    EXPECT_GT(S.CountColor(clBlack), 0);
}

TEST(Office2010Style, PressedHeaderShowsTheGradientReversed) {
    HeaderBand B(hsOffice2010);
    B.Grid.FocusedColumn = B.Columns[1];
    Surface& S = B.Paint();
    EXPECT_EQ(S.Pixel(90, 0), Scheme(NxThemesSupport::seGridHeaderGradientEnd));
    EXPECT_GT(GetRValue(S.Pixel(90, 16)), 0xF0);
    EXPECT_EQ(S.Pixel(30, 0), Hex(0xFFFFFF)) << "the others stay unpressed";
}

TEST(Office2010Style, LooksTheSameWithoutVisualStylesAndFollowsTheScheme) {
    HeaderBand Themed(hsOffice2010), Plain(hsOffice2010);
    Themed.Style->SetThemedDrawing(true);
    Plain.Style->SetThemedDrawing(false);
    EXPECT_TRUE(Themed.Paint().SameAs(Plain.Paint()));

    TScopedChange Silver(NxThemesSupport::ColorScheme, NxThemesSupport::csSilver);
    HeaderBand S(hsOffice2010);
    EXPECT_EQ(S.Paint().Pixel(59, 5), Hex(0x6E6D8F));
}

TEST(HeaderContent, SortArrowPlacementAndLongCaptions) {
    HeaderBand B(hsOffice2010);
    B.Columns[0]->GetHeader()->SetAlignment(taLeftJustify);
    B.Columns[0]->GetHeader()->SetCaption(u"Id");
    B.Columns[0]->SetSorted(true);
    Surface& S = B.Paint();
    const int E = B.Style->GetCaptionExtent(B.Columns[0]);
    const int ArrowX = 2 + E + 19, ArrowY = 9 - 4;
    // Ascending: the apex at (X + 4, Y), outlined in black.
    EXPECT_EQ(S.Pixel(ArrowX + 4, ArrowY), clBlack);
    EXPECT_EQ(S.Pixel(ArrowX + 4, ArrowY + 2), Hex(0xA5ACB5));

    // A caption wider than the column ends in an ellipsis and has no arrow while HideArrow holds.
    HeaderBand L(hsOffice2010);
    L.Columns[1]->GetHeader()->SetCaption(u"Decoded files");
    L.Columns[1]->SetSorted(true);
    Surface& Long = L.Paint();
    EXPECT_EQ(Long.CountColor(Hex(0xA5ACB5)), 0);
    EXPECT_EQ(Long.Ink(Rect(120, 0, 200, 18)), Rect(120, 0, 180, 18)) << "the caption stays in its header";
    L.Columns[1]->GetHeader()->SetHideArrow(false);
    L.Style->DrawHeader(L.Columns[1], L.HeaderRect(1));
    EXPECT_GT(Long.CountColor(Hex(0xA5ACB5)), 0) << "drawn although it does not fit";
}

// Where the caption lands, from the rules: its extent E is its width in the canvas font + 2; the
// text starts at left + 2, right - E (31 further left when sorted), or centred, and at left + 2
// when it does not fit. Checked on the painted header, whose first inked column is the text's.
TEST(HeaderContent, CaptionPlacementByAlignment) {
    struct TCase {
        TAlignment Alignment;
        bool Sorted;
        const char16_t* Caption;
    };
    for (const TCase& Case :
         {TCase{taCenter, false, u"Status"}, TCase{taLeftJustify, false, u"Status"},
          TCase{taRightJustify, false, u"Status"}, TCase{taRightJustify, true, u"Id"},
          TCase{taCenter, true, u"Id"}, TCase{taCenter, false, u"A caption much wider than sixty pixels"}}) {
        SCOPED_TRACE(testing::Message()
                     << Case.Alignment << " " << Case.Sorted << " " << WideToUtf8(Case.Caption));
        HeaderBand B(hsFlatBorders);
        TNxCustomColumn* C = B.Columns[1];
        C->GetHeader()->SetCaption(Case.Caption);
        C->GetHeader()->SetAlignment(Case.Alignment);
        C->SetSorted(Case.Sorted);
        const int E = B.S.Canvas()->TextWidth(Case.Caption) + 2;
        // The caption's first inked column when its text starts at 0, in the same font.
        Surface Alone(200, 18);
        DrawingTest::UseTestFont(Alone.Canvas(), -11);
        Alone.Canvas()->TextOut(0, 0, Case.Caption);
        const int Bearing = Alone.Ink().Left;
        const int Left = Case.Alignment == taLeftJustify    ? 60 + 2
                         : Case.Alignment == taRightJustify ? 120 - E - (Case.Sorted ? 31 : 0)
                         : E < 60                           ? 60 + (60 - E) / 2
                                                            : 60 + 2;
        B.Style->DrawHeader(C, B.HeaderRect(1));
        const TColor Face = B.S.Pixel(61, 1);
        int Inked = -1;
        for (int X = 60; X < 118 && Inked < 0; ++X)
            for (int Y = 1; Y < 16; ++Y)
                if (B.S.Pixel(X, Y) != Face) {
                    Inked = X;
                    break;
                }
        EXPECT_EQ(Inked, Left + Bearing) << "the caption starts where the rules place it";
    }
    HeaderBand B(hsFlatBorders);
    B.Columns[1]->GetHeader()->SetDisplayMode(dmImageOnly);
    EXPECT_EQ(B.Style->GetCaptionExtent(B.Columns[1]), 0);
}

TEST(HeaderStyles, PressedAndHoverLooks) {
    // Styles that show the pressed header inverted: old style, Outlook, and the default one
    // without visual styles.
    for (THeaderStyle Style : {hsOldStyle, hsOutlook, hsAuto}) {
        HeaderBand Normal(Style), Pressed(Style);
        Normal.Style->SetThemedDrawing(false);
        Pressed.Style->SetThemedDrawing(false);
        Pressed.Grid.FocusedColumn = Pressed.Columns[1];
        Surface& N = Normal.Paint();
        Surface& P = Pressed.Paint();
        for (int Y : {0, 9, 17})
            for (int X : {60, 90, 118}) {
                const TColor Want = RGB(255 - GetRValue(N.Pixel(X, Y)), 255 - GetGValue(N.Pixel(X, Y)),
                                        255 - GetBValue(N.Pixel(X, Y)));
                EXPECT_EQ(P.Pixel(X, Y), Want) << Style << " " << X << "," << Y;
            }
        EXPECT_EQ(P.Pixel(119, 9), N.Pixel(119, 9)) << "the last column of pixels is left alone";
        EXPECT_EQ(P.Pixel(30, 9), N.Pixel(30, 9));
    }
    // With visual styles the default style draws the header item in its hover (2) and pressed (3)
    // states; the platform's stand-in may render those alike, so the states are recorded.
    NxThemesSupport::InitThemes();
    SetThemesEnabled(true);
    static std::vector<std::pair<int, int>> Drawn;
    Drawn.clear();
    TScopedChange Spy(
        NxThemesSupport::DrawThemeBackground,
        +[](HTHEME, TCanvas*, int Part, int State, const TRect*, const TRect*) -> HRESULT {
            Drawn.emplace_back(Part, State);
            return S_OK;
        });
    HeaderBand Themed(hsAuto);
    Themed.Style->SetThemedDrawing(true);
    Themed.Grid.HoverColumn = Themed.Columns[0];
    Themed.Grid.FocusedColumn = Themed.Columns[2];
    EXPECT_EQ(Themed.Style->GetStyleDisplayAttributes(), TStyleDisplayAttributes{sdaHoverEnabled});
    Themed.Paint();
    EXPECT_EQ(Drawn, (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}, {1, 3}}));
    EXPECT_GT(Themed.S.CountColor(clBlack), 0) << "captions over the items";

    // Office 2007 reverses its gradient like Office 2010.
    HeaderBand Office(hsOffice2007);
    Office.Grid.FocusedColumn = Office.Columns[0];
    EXPECT_EQ(Office.Paint().Pixel(30, 0), Scheme(NxThemesSupport::seHeaderGradientEnd));
    EXPECT_EQ(Office.S.Pixel(90, 0), Hex(0xFFFFFF));
}

TEST(HeaderStyles, FlatAndVistaFaces) {
    HeaderBand Flat(hsFlatBorders);
    Surface& F = Flat.Paint();
    EXPECT_EQ(F.Pixel(59, 3), ColorToRGB(clGrayText));
    EXPECT_EQ(F.Pixel(30, 17), ColorToRGB(clGrayText));
    EXPECT_EQ(F.Pixel(30, 2), ColorToRGB(Flat.Columns[0]->GetHeader()->GetColor()));

    HeaderBand Vista(hsVista);
    Vista.Columns[2]->SetSorted(true);
    Vista.Columns[2]->SetWidth(60);
    Surface& V = Vista.Paint();
    EXPECT_EQ(V.Pixel(30, 3), Hex(0xF0F0F0));
    EXPECT_EQ(V.Pixel(0, 3), Hex(0xFFFFFF));
    EXPECT_EQ(V.Pixel(59, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(V.Pixel(125, 0), Hex(0xAFDCF0)) << "the sorted column's gradient starts light blue";
    EXPECT_EQ(V.Pixel(149, 0), Hex(0xFFFFFF)) << "the arrow's apex at the top, centred";
    EXPECT_EQ(V.CountColor(Hex(0xA5ACB5)), 0);
}

TEST(HeaderStyles, PaperOutputHasNoBackgroundsOrMargins) {
    HeaderBand B(hsOffice2010);
    B.Style->SetDisplayMedia(dmPaper);
    B.Columns[0]->GetHeader()->SetCaption(u"");
    B.Style->DrawHeader(B.Columns[0], B.HeaderRect(0));
    EXPECT_EQ(B.S.CountColor(Hex(0x123456)), 200 * 40);
    EXPECT_EQ(B.Style->GetHeaderMargin(B.Columns[0]), 0);
    B.Style->SetDisplayMedia(dmScreen);
    EXPECT_EQ(B.Style->GetHeaderMargin(B.Columns[0]), 2);
    B.Style->SetThemedDrawing(true);
    EXPECT_EQ(B.Style->GetHeaderMargin(B.Columns[0]), 11);
    B.Style->SetShowMarks(false);
    EXPECT_EQ(B.Style->GetHeaderMargin(B.Columns[0]), 0);
}

TEST(StyleCells, IndicatorCurrentAndSelectedRows) {
    HeaderBand B(hsOutlook);
    const TRect Cell = Rect(0, 0, 12, 17);
    B.Style->DrawIndicator(Cell, 0, false, true);
    B.Style->DrawIndicatorState(Cell, true, false);
    Surface& S = B.S;
    // 6 by 11 triangle centred: left 3, top 3.
    EXPECT_EQ(S.Pixel(3, 3), ColorToRGB(clWindowText));
    EXPECT_EQ(S.Pixel(8, 8), ColorToRGB(clWindowText));
    EXPECT_EQ(S.Pixel(3, 13), ColorToRGB(clWindowText));
    EXPECT_EQ(S.Pixel(8, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(S.Pixel(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(S.Pixel(1, 0), ColorToRGB(clBtnHighlight)) << "the first row keeps its top corner";
    EXPECT_EQ(S.Pixel(11, 5), ColorToRGB(clBtnShadow));

    const TRect Next = Rect(0, 17, 12, 34);
    B.Style->DrawIndicator(Next, 1, true, false);
    EXPECT_EQ(S.Pixel(1, 17), ColorToRGB(clBtnFace));
    const TColor Before = S.Pixel(5, 25);
    B.Style->DrawIndicatorState(Next, false, true);
    EXPECT_EQ(S.Pixel(5, 25), RGB(255 - GetRValue(Before), 255 - GetGValue(Before), 255 - GetBValue(Before)));
}

TEST(StyleCells, InputCellColorsBySelectionFocusAndEditing) {
    HeaderBand B(hsOffice2010);
    TNxCustomColumn* C = B.Columns[1];
    C->SetInputCaption(u"type here");
    const TRect Cell = Rect(60, 20, 120, 36);
    B.Grid.SelectedColumn = 0;
    B.Style->DrawInput(C, Cell, true, true, true);
    EXPECT_EQ(B.S.Pixel(62, 21), ColorToRGB(clHighlight));
    EXPECT_EQ(B.S.Pixel(119, 25), ColorToRGB(clHighlight)) << "grid line";
    EXPECT_GT(B.S.CountColor(clHighlightText), 0);

    B.Style->DrawInput(C, Cell, false, true, false);
    EXPECT_EQ(B.S.Pixel(62, 21), ColorToRGB(clBtnFace));

    B.Style->DrawInput(C, Cell, true, false, false);
    EXPECT_EQ(B.S.Pixel(62, 21), ColorToRGB(C->GetColor()));
    EXPECT_GT(B.S.CountColor(clGrayText), 0);

    // While the input cell is edited only a frame is drawn; the editor covers the inside.
    Surface& S = B.S;
    B.Style->SetCanvas(S.Canvas());
    S.Canvas()->GetBrush()->SetColor(Hex(0x00FF00));
    S.Canvas()->FillRect(Cell);
    C->SetInputEditing(true);
    B.Style->DrawInput(C, Cell, true, true, false);
    EXPECT_EQ(S.Pixel(60, 20), ColorToRGB(C->GetColor()));
    EXPECT_EQ(S.Pixel(90, 28), Hex(0x00FF00));
}

TEST(StyleCells, FooterIsFilledLinedAndClipped) {
    HeaderBand B(hsOffice2010);
    TNxCustomColumn* C = B.Columns[0];
    C->GetFooter()->SetColor(Hex(0xFFEEDD));
    C->GetFooter()->SetCaption(u"A footer caption far too long for sixty pixels");
    const TRect Cell = Rect(0, 20, 60, 38);
    B.Style->DrawFooter(C, Cell, true);
    EXPECT_EQ(B.S.Pixel(59, 25), ColorToRGB(clBtnFace));
    EXPECT_EQ(B.S.Pixel(20, 37), ColorToRGB(clBtnFace));
    EXPECT_EQ(B.S.Pixel(1, 21), Hex(0xFFEEDD));
    EXPECT_EQ(B.S.Pixel(60, 28), Hex(0x123456)) << "nothing beyond the cell";

    C->GetFooter()->SetFormulaKind(fkSum);
    C->GetFooter()->SetFormulaValue(12.5);
    C->GetFooter()->SetTextBefore(u"= ");
    Surface Sum(60, 18);
    DrawingTest::UseTestFont(Sum.Canvas(), -11);
    B.Style->SetCanvas(Sum.Canvas());
    C->GetFont()->Assign(Sum.Canvas()->GetFont());
    B.Style->DrawFooter(C, Rect(0, 0, 60, 18), false);
    Surface Expected(60, 18);
    Expected.Canvas()->GetBrush()->SetColor(Hex(0xFFEEDD));
    Expected.Canvas()->FillRect(Rect(0, 0, 60, 18));
    DrawingTest::UseTestFont(Expected.Canvas(), -11);
    NxSharedCommon::DrawTextRect(Expected.Canvas(), Rect(2, 0, 58, 18), taLeftJustify, u"= 12.5");
    EXPECT_TRUE(Sum.SameAs(Expected));
}

TEST(StyleCells, CornerBoxesAndSplitters) {
    HeaderBand O(hsOffice2010);
    O.Style->DrawCornerBox(Rect(0, 0, 12, 18), bpTop);
    EXPECT_EQ(O.S.Pixel(5, 0), Hex(0xFFFFFF));
    EXPECT_EQ(O.S.Pixel(11, 5), Scheme(NxThemesSupport::seBorder));
    EXPECT_EQ(O.S.Pixel(5, 17), Scheme(NxThemesSupport::seBorder));
    O.Style->DrawAreaSplitter(Rect(20, 0, 200, 4));
    EXPECT_EQ(O.S.Pixel(100, 2), Scheme(NxThemesSupport::seHeaderGradientEnd));

    HeaderBand Plain(hsAuto);
    Plain.Grid.Color = Hex(0x00FF00);
    Plain.Style->SetThemedDrawing(false);
    Plain.Style->DrawInactiveHeader(Rect(0, 0, 10, 10));
    EXPECT_EQ(Plain.S.Pixel(5, 5), Hex(0x00FF00));
    Plain.Style->DrawCornerBox(Rect(20, 0, 32, 18), bpBottom);
    EXPECT_EQ(Plain.S.Pixel(20, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Plain.S.Pixel(31, 10), ColorToRGB(clBtnShadow));
}
