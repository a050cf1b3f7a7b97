// Frames of a shown grid: what a repaint touches, the focus rectangle, empty cells and caption,
// grid lines, the area beyond the columns, headers and indicator through the header style.

#include <gtest/gtest.h>

#include "drawing/ThemesSupport.h"
#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayImage.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "grid/view/ColumnDisplayProgress.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/DisplayGridSupport.h"
#include "grid/view/StyleDisplay.h"

namespace {

struct PaintedGrid : ::testing::Test {
    std::unique_ptr<ShownGrid> S;
    TTestTextColumn* Text[3] = {};

    void Make(int Rows, TGridOptions Options = {goHeader, goGrid}, int Width = 300, int Height = 200) {
        S = std::make_unique<ShownGrid>(Width, Height);
        TNextGrid* G = S->Grid;
        UseJobListLook(G);
        G->SetOptions(Options);
        for (int C = 0; C < 3; ++C) {
            Text[C] = G->GetColumns()->Add<TTestTextColumn>(u"Col " + Wide(std::to_string(C)));
            Text[C]->SetWidth(80);
        }
        G->BeginUpdate();
        G->AddRow(Rows);
        for (int R = 0; R < Rows && R < 100; ++R)
            for (int C = 0; C < 3; ++C)
                G->GetCell(C, R)->SetAsString(u"r" + Wide(std::to_string(R)));
        G->EndUpdate();
        ASSERT_TRUE(S->Show());
        S->Paint();
    }
    TCountingTextDisplay* Display(int C) {
        return dynamic_cast<TCountingTextDisplay*>(Text[C]->GetColumnDisplay());
    }
    void ResetCounts() {
        for (int C = 0; C < 3; ++C)
            Display(C)->Painted = 0;
    }
    int Painted() { return Display(0)->Painted + Display(1)->Painted + Display(2)->Painted; }
};

} // namespace

TEST_F(PaintedGrid, OnlyCellsInTheInvalidRegionArePainted) {
    Make(50);
    ASSERT_NE(Display(0), nullptr);
    ResetCounts();
    S->Grid->RefreshCell(1, 4);
    S->Paint();
    EXPECT_EQ(Display(1)->Painted, 1);
    EXPECT_EQ(Painted(), 1);

    // A full frame paints the rows in view, never the rows below.
    ResetCounts();
    S->Grid->Invalidate();
    S->Paint();
    const TRect Body = S->Grid->GetBodyRect();
    const int InView = (Body.Height() + 16) / 17;
    EXPECT_EQ(Display(0)->Painted, InView);
    EXPECT_EQ(Painted(), 3 * InView);
}

TEST_F(PaintedGrid, AMillionRowsCostOnlyTheRowsInView) {
    Make(1000000);
    ResetCounts();
    S->Grid->GetVertScrollBar()->SetPosition(500000);
    S->Grid->Invalidate();
    S->Paint();
    EXPECT_EQ(S->Grid->GetTopRow(), 500000);
    EXPECT_LE(Painted(), 3 * 12);
    EXPECT_GT(Painted(), 0);
}

TEST_F(PaintedGrid, FocusRectangleIsDrawnOncePerFrame) {
    Make(10, {goHeader, goGrid, goSelectFullRow});
    S->Grid->SetFocus();
    Pump();
    ASSERT_TRUE(S->Grid->Focused());
    S->Grid->SetSelectedRow(2);
    S->Grid->Invalidate();
    S->Paint();
    // The dotted rectangle inverts every other pixel of the row's outline; drawn twice it would
    // leave the plain selection color everywhere.
    const TRect Row = S->Grid->GetCellRect(0, 2);
    int Changed = 0;
    for (int X = Row.Left; X < Row.Left + 40; ++X)
        Changed += S->At(X, Row.Top) != ShownGrid::Qt(clHighlight);
    EXPECT_GE(Changed, 15);
    EXPECT_EQ(S->At(Row.Left + 10, Row.Top + 5), ShownGrid::Qt(clHighlight));

    // Repainting one cell of the row leaves the rectangle whole.
    S->Grid->RefreshCell(1, 2);
    S->Paint();
    int After = 0;
    for (int X = Row.Left; X < Row.Left + 40; ++X)
        After += S->At(X, Row.Top) != ShownGrid::Qt(clHighlight);
    EXPECT_EQ(After, Changed);
}

TEST_F(PaintedGrid, EmptyGridShowsItsCaptionOrEmptyCellsWithGridLines) {
    Make(0);
    const TRect Body = S->Grid->GetBodyRect();
    // Grid lines of the empty cells: rows RowSize + 1 apart, the right line on the cell's last column.
    const QRgb Line = ShownGrid::Qt(S->Grid->GetGridLinesColor());
    EXPECT_EQ(S->At(40, Body.Top + 16), Line);
    EXPECT_EQ(S->At(40, Body.Top + 33), Line);
    EXPECT_EQ(S->At(40, Body.Top + 20), ShownGrid::Qt(S->Grid->GetColor()));
    EXPECT_EQ(S->At(79, Body.Top + 5), Line);
    EXPECT_EQ(S->At(80, Body.Top + 5), ShownGrid::Qt(S->Grid->GetColor()));

    S->Grid->SetGridCaption(u"No files");
    S->Grid->Invalidate();
    S->Paint();
    const TRect Caption = S->Grid->GetCaptionRect();
    EXPECT_EQ(Caption.Top, Body.Top + 4);
    int Ink = 0, Left = 1000, Right = -1;
    for (int Y = Caption.Top; Y < Caption.Bottom; ++Y)
        for (int X = 0; X < 300; ++X)
            if (S->At(X, Y) == ShownGrid::Qt(clBlack)) {
                ++Ink;
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
    EXPECT_GT(Ink, 0);
    EXPECT_NEAR((Left + Right) / 2.0, (Caption.Left + Caption.Right) / 2.0, 3) << "centred";
}

TEST_F(PaintedGrid, AreaBeyondTheColumnsTakesTheGridColorHeaderBandIncluded) {
    Make(3, {goHeader, goGrid}, 320, 120);
    S->Grid->SetColor(RGB(0x20, 0x40, 0x60));
    S->Grid->Invalidate();
    S->Paint();
    EXPECT_EQ(S->At(300, 5), qRgb(0x20, 0x40, 0x60));
    EXPECT_EQ(S->At(300, 60), qRgb(0x20, 0x40, 0x60));
    // The headers themselves are Office 2010 ones: white at the top, a border at the bottom.
    EXPECT_EQ(S->At(40, 0), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(S->At(40, 17), ShownGrid::Qt(NxThemesSupport::SchemeColor(NxThemesSupport::seBorder)));
}

TEST_F(PaintedGrid, IndicatorFooterAndInputThroughTheStyle) {
    Make(5, {goHeader, goGrid, goIndicator, goFooter, goInput, goSelectFullRow});
    S->Grid->SetFocus();
    Pump();
    S->Grid->SetSelectedRow(1);
    S->Grid->Invalidate();
    S->Paint();
    const TRect Row = S->Grid->GetCellRect(0, 1);
    // The current row's triangle is inverted with the selected indicator cell.
    int Marks = 0;
    for (int Y = Row.Top; Y < Row.Bottom; ++Y)
        for (int X = 0; X < 12; ++X)
            Marks += S->At(X, Y) == qRgb(0xFF, 0xFF, 0xFF);
    EXPECT_GT(Marks, 0);
    // Footer splitter and corner box are the Office ones.
    const TRect Footer = S->Grid->GetFooterRect();
    EXPECT_EQ(S->At(100, Footer.Top + 1),
              ShownGrid::Qt(NxThemesSupport::SchemeColor(NxThemesSupport::seHeaderGradientEnd)));
    EXPECT_EQ(S->At(11, Footer.Top + 5),
              ShownGrid::Qt(NxThemesSupport::SchemeColor(NxThemesSupport::seBorder)));
    // An input cell that is not selected fills with its column's color down to the area splitter
    // across the row's last 6 pixels.
    Text[1]->SetColor(clYellow);
    S->Paint();
    const TRect Input = S->Grid->GetInputRect();
    const int X = Text[1]->GetMemberRect(ckHeader).Left + 4;
    EXPECT_EQ(S->At(X, Input.Top), ShownGrid::Qt(clYellow));
    EXPECT_EQ(S->At(X, Input.Bottom - 7), ShownGrid::Qt(clYellow));
    EXPECT_NE(S->At(X, Input.Bottom - 6), ShownGrid::Qt(clYellow));
}

TEST_F(PaintedGrid, ProgressKindPaintsThroughItsDisplay) {
    S = std::make_unique<ShownGrid>(200, 80);
    UseJobListLook(S->Grid);
    S->Grid->SetOptions({goHeader, goGrid});
    auto* P = AddJobProgressColumn(S->Grid, u"Progress");
    P->SetWidth(100);
    S->Grid->AddRow(1);
    S->Grid->GetCell(0, 0)->SetAsFloat(40);
    ASSERT_TRUE(S->Show());
    S->Paint();
    const TRect Cell = S->Grid->GetCellRect(0, 0);
    // White outline around the cell less its grid line, then the bar from window color to highlight.
    EXPECT_EQ(S->At(Cell.Left + 10, Cell.Top), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(S->At(Cell.Right - 2, Cell.Top + 8), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(S->At(Cell.Left + 2, Cell.Top + 8), ShownGrid::Qt(clWindow));
    // 40 % of the inner 95 columns is 38; the last bar row lies below the text.
    EXPECT_NE(S->At(Cell.Left + 2 + 37, Cell.Top + 13), ShownGrid::Qt(clWindow));
    EXPECT_EQ(S->At(Cell.Left + 2 + 38, Cell.Top + 13), ShownGrid::Qt(clWindow));
}

// Every kind a grid shows gets the display that fits it, without the program naming displays.
TEST(KindDisplays, EachKindIsPaintedByItsOwnDisplay) {
    TForm Form(nullptr);
    auto* Grid = new TNextGrid(&Form);
    Grid->SetParent(&Form);
    TNxColumns* Columns = Grid->GetColumns();
    auto DisplayOf = [&](TNxCustomColumn* Column) { return Column->GetColumnDisplay(); };
    EXPECT_NE(dynamic_cast<TProgressColumnDisplay*>(DisplayOf(Columns->Add<TNxProgressColumn>(u"P"))),
              nullptr);
    auto* Text = dynamic_cast<TTextColumnDisplay*>(DisplayOf(Columns->Add<TNxTextColumn>(u"T")));
    ASSERT_NE(Text, nullptr);
    EXPECT_EQ(dynamic_cast<TMemoColumnDisplay*>(Text), nullptr);
    EXPECT_NE(dynamic_cast<TMemoColumnDisplay*>(DisplayOf(Columns->Add<TNxMemoColumn>(u"M"))), nullptr);
    EXPECT_NE(dynamic_cast<TTimeColumnDisplay*>(DisplayOf(Columns->Add<TNxTimeColumn>(u"Ti"))), nullptr);
    EXPECT_NE(dynamic_cast<TDateColumnDisplay*>(DisplayOf(Columns->Add<TNxDateColumn>(u"D"))), nullptr);
    EXPECT_NE(dynamic_cast<TStringsColumnDisplay*>(DisplayOf(Columns->Add<TNxListColumn>(u"L"))), nullptr);
    EXPECT_NE(dynamic_cast<TStringsColumnDisplay*>(DisplayOf(Columns->Add<TNxStringsColumn>(u"S"))), nullptr);
    EXPECT_NE(dynamic_cast<TStringsColumnDisplay*>(DisplayOf(Columns->Add<TNxComboBoxColumn>(u"Co"))),
              nullptr);
    EXPECT_NE(dynamic_cast<TNumberColumnDisplay*>(DisplayOf(Columns->Add<TNxCalcColumn>(u"C"))), nullptr);
    EXPECT_NE(dynamic_cast<TCheckBoxColumnDisplay*>(DisplayOf(Columns->Add<TNxCheckBoxColumn>(u"B"))),
              nullptr);
    EXPECT_NE(dynamic_cast<TTreeColumnDisplay*>(DisplayOf(Columns->Add<TNxTreeColumn>(u"Tr"))), nullptr);
    EXPECT_NE(dynamic_cast<THtmlColumnDisplay*>(DisplayOf(Columns->Add<TNxHtmlColumn>(u"H"))), nullptr);
    // A kind's own choice still wins over the registered one.
    auto* Own = Columns->Add<TTestTextColumn>(u"Own");
    EXPECT_NE(dynamic_cast<TCountingTextDisplay*>(DisplayOf(Own)), nullptr);
}

TEST_F(PaintedGrid, ScrollingByOneRowPaintsOnlyTheRowsItUncovers) {
    Make(100);
    const TRect Body = S->Grid->GetBodyRect();
    // The strip uncovered at the bottom is one row high; it meets two rows when the body ends
    // inside a row, since the row cut off before is now shown whole.
    const int AtBottom = Body.Height() % 17 == 0 ? 1 : 2;
    ResetCounts();
    S->Grid->GetVertScrollBar()->SetPosition(1);
    S->Paint();
    ASSERT_EQ(S->Grid->GetTopRow(), 1);
    EXPECT_EQ(Display(0)->Painted, AtBottom);
    EXPECT_EQ(Painted(), 3 * AtBottom);
    // Back up: only the row that comes in at the top.
    ResetCounts();
    S->Grid->GetVertScrollBar()->SetPosition(0);
    S->Paint();
    EXPECT_EQ(Display(0)->Painted, 1);
    EXPECT_EQ(Painted(), 3);
    // The shifted pixels are the rows' own: the first row's text sits where a full frame puts it.
    const QImage Scrolled = S->Pixels().copy();
    S->Grid->Invalidate();
    S->Paint();
    EXPECT_EQ(S->Pixels(), Scrolled);
}

namespace {

// The program's hooks around a cell: its own background, its own drawing over a custom column,
// and the red corner of a cell with a hint.
TEST_F(PaintedGrid, ProgramDrawsBackgroundsAndCustomCellsAndHintsAreMarked) {
    Make(3);
    TNextGrid* G = S->Grid;
    std::vector<std::pair<int, int>> Custom;
    G->OnDrawCellBackground = [&](TObject*, int ACol, int ARow, const TRect& CellRect, TCellState,
                                  bool& Default) {
        if (ACol != 0 || ARow != 1) return;
        Default = false;
        G->GetCanvas()->GetBrush()->SetColor(clLime);
        G->GetCanvas()->FillRect(CellRect);
    };
    G->OnCustomDrawCell = [&](TObject*, int ACol, int ARow, const TRect& CellRect, TCellState) {
        Custom.emplace_back(ACol, ARow);
        G->GetCanvas()->GetPen()->SetColor(clFuchsia);
        G->GetCanvas()->MoveTo(CellRect.Left, CellRect.Top + 2);
        G->GetCanvas()->LineTo(CellRect.Right, CellRect.Top + 2);
    };
    Text[2]->SetDrawingOptions(doCustom);
    G->SetAppearanceOptions(G->GetAppearanceOptions() + TAppearanceOptions{aoHintMarks});
    G->GetCell(1, 2)->SetHint(u"note");
    G->Invalidate();
    S->Paint();

    const TRect Own = G->GetCellRect(0, 1);
    EXPECT_EQ(S->At(Own.Left + 40, Own.Top + 8), ShownGrid::Qt(clLime)) << "the program's background stays";
    const TRect Other = G->GetCellRect(0, 0);
    EXPECT_NE(S->At(Other.Left + 40, Other.Top + 8), ShownGrid::Qt(clLime));
    // Only the custom column's cells are handed to the program, after their value.
    EXPECT_EQ(Custom, (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {2, 2}}));
    const TRect Drawn = G->GetCellRect(2, 1);
    EXPECT_EQ(S->At(Drawn.Left + 40, Drawn.Top + 2), ShownGrid::Qt(clFuchsia));
    const TRect Hinted = G->GetCellRect(1, 2);
    EXPECT_EQ(S->At(Hinted.Right - 3, Hinted.Top + 1), ShownGrid::Qt(clRed));
    const TRect Plain = G->GetCellRect(1, 1);
    EXPECT_NE(S->At(Plain.Right - 3, Plain.Top + 1), ShownGrid::Qt(clRed));
}

// Empty cells below the rows offer their background to the program too, and a custom-only column
// leaves them unfilled; a tree column shows the image its row names.
TEST_F(PaintedGrid, EmptyCellsOfferTheirBackgroundAndRowsHandTheirImageToTheDisplay) {
    Make(3);
    TNextGrid* G = S->Grid;
    G->OnDrawCellBackground = [&](TObject*, int ACol, int, const TRect& CellRect, TCellState State,
                                  bool& Default) {
        if (!State.Contains(csEmpty)) return;
        G->GetCanvas()->GetBrush()->SetColor(clLime);
        G->GetCanvas()->FillRect(CellRect);
        if (ACol == 0) Default = false;
    };
    Text[1]->SetDrawingOptions(doCustomOnly);
    auto* Tree = G->GetColumns()->Add<TNxTreeColumn>(u"Tree");
    Tree->SetWidth(60);
    TBitmap Blue(8, 8, pf24bit);
    Blue.GetCanvas()->GetBrush()->SetColor(clBlue);
    Blue.GetCanvas()->FillRect(Rect(0, 0, 8, 8));
    TList Images;
    Images.Add(&Blue);
    Tree->SetImages(&Images);
    G->GetCell(Tree->GetIndex(), 0)->SetAsString(u"a");
    G->GetCell(Tree->GetIndex(), 1)->SetAsString(u"b");
    G->SetRowImageIndex(1, 0);
    G->Invalidate();
    S->Paint();

    const int EmptyY = G->GetBodyRect().Top + 5 * (G->GetRowSize() + 1) + 8;
    EXPECT_EQ(S->At(Text[0]->GetLeft() + 40, EmptyY), ShownGrid::Qt(clLime)) << "the program's background";
    EXPECT_EQ(S->At(Text[1]->GetLeft() + 40, EmptyY), ShownGrid::Qt(clLime)) << "custom only: not filled";
    EXPECT_EQ(S->At(Text[2]->GetLeft() + 40, EmptyY), ShownGrid::Qt(G->GetColor())) << "filled over it";
    auto BlueIn = [&](int Row) {
        const TRect R = G->GetCellRect(Tree->GetIndex(), Row);
        int Count = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                Count += S->At(X, Y) == ShownGrid::Qt(clBlue);
        return Count;
    };
    EXPECT_EQ(BlueIn(1), 64);
    EXPECT_EQ(BlueIn(0), 0);
}

} // namespace

namespace {

// Each slide is offered to OnSlideColoring with its state before it is filled.
TEST_F(PaintedGrid, SlidesTakeTheColorOnSlideColoringGives) {
    Make(3);
    TNextGrid* G = S->Grid;
    G->SetGridStyle(gsSlides);
    G->SetSlideSize(30);
    G->SetSelected(1, true);
    std::vector<std::pair<int, bool>> Offered;
    G->OnSlideColoring = [&](TObject*, int Index, TColor& SlideColor, TColor&, TSlideState State) {
        Offered.emplace_back(Index, State.Contains(stSelected));
        if (Index == 2) SlideColor = clLime;
    };
    G->Invalidate();
    S->Paint();
    ASSERT_GE(Offered.size(), 3u);
    EXPECT_EQ(Offered[0], std::make_pair(0, false));
    EXPECT_EQ(Offered[1], std::make_pair(1, true));
    EXPECT_EQ(Offered[2], std::make_pair(2, false));
    const TRect Body = G->GetBodyRect();
    const int ThirdTop = Body.Top + G->GetGridSpace(lpTop) + 2 * (30 + G->GetGridSpace(lpTopBottom));
    // Columns have no slide bounds here, so the middle of a slide is the slide's own fill.
    EXPECT_EQ(S->At(150, ThirdTop + 15), ShownGrid::Qt(clLime));
    EXPECT_NE(S->At(150, ThirdTop - 15), ShownGrid::Qt(clLime));
}

} // namespace
