// The grid control on a shown form: layout, scrolling by rows, selection, invalidation and the
// data half's bad-input checks, driven by real input where input is involved.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <map>

#include "GridTestSupport.h"
#include "drawing/ThemesSupport.h"
#include "grid/model/CheckBoxColumn.h"
#include "grid/model/ProgressColumn.h"
#include "grid/view/StyleDisplay.h"
#include "platform/runtime/Exception.h"
#include "platform/windows/Themes.h"

namespace {

using GridControlTest = GridFixture;

TEST_F(GridControlTest, OneRowNeverShowsTheVerticalBarWhateverItsHeight) {
    MakeGrid(2, 1);
    EXPECT_FALSE(Grid->IsScrollBarVisible(SB_VERT));
    // Taller than the body: still no bar for a single row.
    Grid->SetRowSize(500);
    Grid->SetRowHeight(0, 500);
    EXPECT_FALSE(Grid->IsScrollBarVisible(SB_VERT));
    EXPECT_EQ(Grid->GetVertScrollBar()->GetMax(), 0);
    // A second row that does not fit brings the bar.
    Grid->AddRow(1);
    EXPECT_TRUE(Grid->IsScrollBarVisible(SB_VERT));
}

TEST_F(GridControlTest, LayoutOfHeaderBodyFooterIndicatorAndInputRow) {
    MakeGrid(3, 5);
    Grid->SetOptions({goHeader, goFooter, goIndicator, goInput, goGrid});
    int H = Grid->GetClientHeight();
    EXPECT_EQ(Grid->GetHeaderRect(), (TRect{12, 0, 12 + 180, 18}));
    EXPECT_EQ(Grid->GetInputRect(), (TRect{12, 18, 192, 18 + 16 + 6 + 1}));
    TRect Body = Grid->GetBodyRect();
    EXPECT_EQ(Body.Left, 12);
    EXPECT_EQ(Body.Top, 18 + 23);
    EXPECT_EQ(Body.Right, 192);
    EXPECT_EQ(Body.Bottom, H - 18 - 4 - 1);
    EXPECT_EQ(Grid->GetFooterRect(), (TRect{12, H - 23, 192, H}));
    // Column edges start right of the indicator; a cell's rectangle is its column by its row.
    EXPECT_EQ(Grid->GetCellRect(1, 2), (TRect{72, Body.Top + 2 * 17, 132, Body.Top + 2 * 17 + 16}));
    EXPECT_EQ(Grid->GetAreaAt(5, 50), gaIndicator);
    EXPECT_EQ(Grid->GetAreaAt(50, 5), gaHeader);
    EXPECT_EQ(Grid->GetAreaAt(50, 25), gaInput);
    EXPECT_EQ(Grid->GetAreaAt(50, Body.Top + 1), gaBody);
    EXPECT_EQ(Grid->GetAreaAt(50, H - 2), gaFooter);
}

TEST_F(GridControlTest, HideSelectionFollowsTheFocus) {
    MakeGrid(2, 6);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetFocus();
    Pump();
    ASSERT_TRUE(Grid->Focused());
    Grid->SetSelectedRow(2);
    Paint();
    TRect Cell = Grid->GetCellRect(0, 2);
    EXPECT_EQ(PixelAt(Cell.Left + 1, Cell.Top + 1), QtColor(clHighlight));

    Other->SetFocus();
    Pump();
    ASSERT_FALSE(Grid->Focused());
    // Only the selected row repaints, and it looks unselected.
    ASSERT_FALSE(Grid->Invalidated.empty());
    for (const TRect& R : Grid->Invalidated)
        EXPECT_EQ(R, Grid->GetRowRect(2));
    Paint();
    EXPECT_EQ(PixelAt(Cell.Left + 1, Cell.Top + 1), QtColor(clWindow));
    EXPECT_FALSE(Grid->IsCellHighlighted(0, 2));
    EXPECT_TRUE(Grid->GetSelected(2)) << "the row stays selected, it only is not shown";

    Grid->SetFocus();
    Pump();
    Paint();
    EXPECT_EQ(PixelAt(Cell.Left + 1, Cell.Top + 1), QtColor(clHighlight));
    // Without the option an unfocused grid shows the selection in the inactive color.
    Grid->SetAppearanceOptions({});
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Grid->GetActualCellColor(0, 2), clBtnFace);
    Paint();
    EXPECT_EQ(PixelAt(Cell.Left + 1, Cell.Top + 1), QtColor(clBtnFace));
    // ...and the focus coming back repaints it in the focused color.
    Grid->SetFocus();
    Pump();
    Paint();
    EXPECT_EQ(PixelAt(Cell.Left + 1, Cell.Top + 1), QtColor(clHighlight));
}

TEST_F(GridControlTest, OnCellColoringSeesOneStateWhenPaintingAndWhenAsked) {
    MakeGrid(2, 3);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->GetCell(1, 2)->SetAsString(u"");
    Grid->SetFocus();
    Pump();
    Grid->SetSelectedRow(1);
    std::map<std::pair<int, int>, TCellState> Seen;
    Grid->OnCellColoring = [&](TObject*, int C, int R, TColor&, TColor&, TCellState S) { Seen[{C, R}] = S; };
    auto Check = [&](bool Focus) {
        Seen.clear();
        Grid->Invalidate();
        Paint();
        for (int R = 0; R < 3; ++R)
            for (int C = 0; C < 2; ++C) {
                const TCellState Painted = Seen.at({C, R});
                EXPECT_EQ(Painted.Contains(csFocused), Focus) << C << "," << R;
                EXPECT_EQ(Painted.Contains(csSelected), R == 1) << C << "," << R;
                EXPECT_FALSE(Painted.Contains(csEmpty)) << "only cells below the last row are empty";
                Seen.erase({C, R});
                EXPECT_TRUE(Grid->GetCellState(C, R) == Painted) << C << "," << R;
                EXPECT_TRUE(Seen.at({C, R}) == Painted) << "raised with the same state";
            }
    };
    Check(true);
    Grid->SetAppearanceOptions({aoHideFocus});
    Check(false);
}

TEST_F(GridControlTest, FocusGainedWithoutRowsSelectsTheInputRow) {
    MakeGrid(2, 0);
    Other->SetFocus();
    Pump();
    Grid->SetOptions({goHeader, goInput});
    Paint();
    const TRect Input = Grid->GetInputRect();
    // The second column: the current column's input cell keeps the column's color.
    const QPoint Inside(Grid->GetColumns()->GetItem(1)->GetLeft() + 30, Input.Top + 3);
    ASSERT_FALSE(Grid->GetInputSelected());
    EXPECT_NE(PixelAt(Inside.x(), Inside.y()), QtColor(clHighlight));
    Grid->SetFocus();
    Pump();
    Paint();
    EXPECT_TRUE(Grid->GetInputSelected());
    EXPECT_EQ(PixelAt(Inside.x(), Inside.y()), QtColor(clHighlight));
}

TEST_F(GridControlTest, SelectingAnotherRowRepaintsExactlyTheTwoRows) {
    MakeGrid(3, 20);
    Grid->SetOptions({goHeader, goSelectFullRow, goGrid});
    std::vector<std::pair<int, int>> Deselected, Selected;
    Grid->OnDeselectCell = [&](TObject*, int c, int r) { Deselected.emplace_back(c, r); };
    Grid->OnSelectCell = [&](TObject*, int c, int r) { Selected.emplace_back(c, r); };
    Grid->SetSelectedRow(1);
    Paint();
    Grid->SetSelectedRow(4);
    ASSERT_EQ(Grid->Invalidated.size(), 2u);
    EXPECT_EQ(Grid->Invalidated[0], Grid->GetRowRect(4));
    EXPECT_EQ(Grid->Invalidated[1], Grid->GetRowRect(1));
    EXPECT_FALSE(Grid->GetSelected(1));
    EXPECT_TRUE(Grid->GetSelected(4));
    EXPECT_EQ(Grid->GetSelectedRow(), 4);
    EXPECT_EQ(Deselected, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(Selected.back(), std::make_pair(0, 4));
    // Out-of-range rows are ignored and repaint nothing.
    Grid->Invalidated.clear();
    Grid->SetSelectedRow(20);
    Grid->SetSelectedRow(-2);
    EXPECT_TRUE(Grid->Invalidated.empty());
    EXPECT_EQ(Grid->GetSelectedRow(), 4);
}

TEST_F(GridControlTest, MultiSelectWithCtrlTogglesAndShiftSelectsFromTheAnchor) {
    MakeGrid(2, 10);
    Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    Grid->SelectCell(0, 2, true, {});
    Grid->SelectCell(0, 5, true, {ssShift});
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(Grid->GetSelected(r), r >= 2 && r <= 5) << r;
    Grid->SelectCell(0, 3, true, {ssCtrl});
    EXPECT_FALSE(Grid->GetSelected(3));
    EXPECT_EQ(Grid->GetAnchorRow(), 3);
    // Shift from the new anchor drops what lies outside the new range.
    Grid->SelectCell(0, 1, true, {ssShift});
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(Grid->GetSelected(r), r >= 1 && r <= 3) << r;
    // A plain click ends the multi-selection.
    Grid->SelectCell(0, 7, true, {});
    EXPECT_EQ(Grid->GetSelectedCount(), 1);
    EXPECT_TRUE(Grid->GetSelected(7));
}

TEST_F(GridControlTest, EndUpdateCalledTooOftenStaysAtZeroAndRepaintsEachTime) {
    MakeGrid(2, 3);
    Grid->BeginUpdate();
    Grid->GetCell(0, 0)->SetAsString(u"quiet");
    EXPECT_TRUE(Grid->Invalidated.empty()) << "no repaint while updating";
    Grid->EndUpdate();
    EXPECT_EQ(Grid->GetUpdateCount(), 0);
    // Body and header.
    EXPECT_EQ(Grid->Invalidated.size(), 2u);
    for (int Extra = 0; Extra < 2; ++Extra) {
        Grid->Invalidated.clear();
        Grid->EndUpdate();
        EXPECT_EQ(Grid->GetUpdateCount(), 0);
        ASSERT_EQ(Grid->Invalidated.size(), 2u);
        EXPECT_EQ(Grid->Invalidated[0], Grid->GetBodyRect());
        EXPECT_EQ(Grid->Invalidated[1], Grid->GetHeaderRect());
    }
    // Nested: the inner EndUpdate repaints nothing.
    Grid->Invalidated.clear();
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    Grid->EndUpdate();
    EXPECT_TRUE(Grid->Invalidated.empty());
    Grid->EndUpdate();
    EXPECT_FALSE(Grid->Invalidated.empty());
}

TEST_F(GridControlTest, ScrollingOneRowMovesByRowHeightAndBothSpacesAndSkipsHiddenRows) {
    MakeGrid(2, 40);
    Grid->SetOptions({goHeader, goGrid});
    Grid->SetAppearanceOptions({ao3DGridLines});
    ASSERT_EQ(Grid->GetGridSpace(lpTop), 1);
    ASSERT_EQ(Grid->GetGridSpace(lpBottom), 1);
    Grid->SetRowVisible(1, false);
    Paint();
    QImage Before = Pixels();
    TRect Body = Grid->GetBodyRect();
    int Step = 16 + 2;

    QScrollBar* Bar = Grid->GetWindowPrivate()->Bars[SB_VERT];
    ASSERT_NE(Bar, nullptr);
    ASSERT_TRUE(Bar->isVisible());
    QTest::mouseClick(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(Bar->width() / 2, Bar->height() - 3));
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 1);
    EXPECT_EQ(Grid->GetTopRow(), 2) << "the hidden row 1 is passed as well";

    // Before any paint: the pixels moved up by one row step; only the strip at the bottom waits.
    QImage After = Pixels();
    for (int y = Body.Top; y < Body.Bottom - Step; ++y)
        ASSERT_EQ(After.pixel(30, y), Before.pixel(30, y + Step)) << y;
    // The header did not move.
    for (int y = 0; y < Body.Top; ++y)
        ASSERT_EQ(After.pixel(30, y), Before.pixel(30, y));
    // Moved pixels plus the repainted strip give the same picture as painting everything.
    Grid->Update();
    QImage Shifted = Pixels();
    Grid->Repaint();
    EXPECT_TRUE(Shifted == Pixels());

    // Back up: row 0 returns to the top.
    QTest::mouseClick(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(Bar->width() / 2, 3));
    EXPECT_EQ(Grid->GetTopRow(), 0);
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 0);
}

TEST_F(GridControlTest, HorizontalScrollingMovesAllButTheFixedColumns) {
    MakeGrid(6, 20, 300, 200);
    Grid->SetFixedCols(1);
    Paint();
    TNxScrollBar* Bar = Grid->GetHorzScrollBar();
    EXPECT_EQ(Bar->GetMax(), 360);
    EXPECT_EQ(Bar->GetPageSize(), Grid->GetClientWidth() + 1);
    QScrollBar* Native = Grid->GetWindowPrivate()->Bars[SB_HORZ];
    ASSERT_NE(Native, nullptr);
    ASSERT_TRUE(Native->isVisible());
    QImage Before = Pixels();
    QTest::mouseClick(Native, Qt::LeftButton, Qt::NoModifier,
                      QPoint(Native->width() - 3, Native->height() / 2));
    EXPECT_EQ(Bar->GetPosition(), 5) << "five pixels a line";
    EXPECT_EQ(Grid->GetHeaderRect().Right, 360 - 5);
    EXPECT_EQ(Grid->GetCellRect(2, 0).Left, 120 - 5);
    EXPECT_EQ(Grid->GetCellRect(0, 0).Left, 0) << "a fixed column does not scroll";
    QImage After = Pixels();
    for (int y = 2; y < 60; y += 5) {
        EXPECT_EQ(After.pixel(30, y), Before.pixel(30, y)) << y;
        EXPECT_EQ(After.pixel(100, y), Before.pixel(105, y)) << y;
    }
    // Scrolling to the far right and back.
    Grid->Perform(WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Bar->GetPosition(), 360 - Grid->GetClientWidth());
    Grid->ScrollToColumn(Grid->GetColumns()->GetItem(1));
    EXPECT_EQ(Grid->GetCellRect(1, 0).Left, 60) << "brought right of the fixed column";
}

TEST_F(GridControlTest, RowTopsAreSummedFromTheTopRow) {
    MakeGrid(1, 30);
    Grid->SetOptions({goHeader, goGrid});
    Grid->SetRowHeight(3, 30);
    int Top = Grid->GetBodyRect().Top;
    EXPECT_EQ(Grid->GetRowTop(0), Top);
    EXPECT_EQ(Grid->GetRowTop(4), Top + 3 * 17 + 31);
    Grid->GetVertScrollBar()->MoveBy(2);
    EXPECT_EQ(Grid->GetTopRow(), 2);
    EXPECT_EQ(Grid->GetRowTop(1), Top) << "rows above the top row start at the body top";
    EXPECT_EQ(Grid->GetRowTop(4), Top + 17 + 31);
}

TEST_F(GridControlTest, VerticalBarCountsVisibleRowsAndLastShowsTheLastPage) {
    MakeGrid(2, 100, 300, 200);
    TNxScrollBar* Bar = Grid->GetVertScrollBar();
    int F = (Grid->GetBodyRect().Bottom - Grid->GetBodyRect().Top) / 16;
    EXPECT_EQ(Bar->GetMax(), 100);
    EXPECT_EQ(Bar->GetPageSize(), F + 1);
    Bar->Last();
    EXPECT_EQ(Bar->GetPosition(), 100 - F);
    EXPECT_EQ(Grid->GetTopRow(), 100 - F);
    Paint();
    EXPECT_GE(Grid->GetPaintEndRow(), 100) << "the walk reached the last row";
    // The wheel moves one row per notch, a page with Ctrl.
    Bar->First();
    QWidget* W = Client(Grid);
    QPoint Local(40, 60);
    QWheelEvent Down(Local, W->mapToGlobal(Local), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(W, &Down);
    EXPECT_EQ(Grid->GetTopRow(), 1);
    QWheelEvent PageDown(Local, W->mapToGlobal(Local), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(W, &PageDown);
    EXPECT_EQ(Grid->GetTopRow(), 1 + F + 1);
    QWheelEvent Up(Local, W->mapToGlobal(Local), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(W, &Up);
    EXPECT_EQ(Grid->GetTopRow(), F + 1);
}

TEST_F(GridControlTest, ScrollToRowBringsARowToTheTopOrTheBottom) {
    MakeGrid(1, 100);
    int F = (Grid->GetBodyRect().Bottom - Grid->GetBodyRect().Top) / 16;
    Grid->ScrollToRow(50);
    EXPECT_EQ(Grid->GetTopRow(), 50 - F + 1) << "row 50 ends as the last whole row";
    Grid->ScrollToRow(10);
    EXPECT_EQ(Grid->GetTopRow(), 10);
    int Top = Grid->GetTopRow();
    Grid->ScrollToRow(12);
    EXPECT_EQ(Grid->GetTopRow(), Top) << "a row in view does not scroll";
    Grid->SetAutoScroll(true);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(80);
    EXPECT_TRUE(Grid->IsRowInView(80));
}

TEST_F(GridControlTest, CellWritesRepaintOnlyTheirCellAndOnlyWhenOnScreen) {
    MakeGrid(3, 500);
    int Changes = 0;
    Grid->OnChange = [&](TObject*, int, int) { ++Changes; };
    Grid->GetCell(1, 2)->SetAsString(u"new");
    ASSERT_EQ(Grid->Invalidated.size(), 1u);
    TRect Expected = Grid->GetCellRect(1, 2);
    Expected.Bottom += Grid->GetGridSpace(lpBottom);
    EXPECT_EQ(Grid->Invalidated[0], Expected);
    EXPECT_EQ(Changes, 1);
    // Far below the view: OnChange, but nothing to repaint.
    Grid->Invalidated.clear();
    Grid->GetCell(1, 400)->SetAsString(u"far");
    EXPECT_TRUE(Grid->Invalidated.empty());
    EXPECT_EQ(Changes, 2);
    Paint();
    TRect Cell = Grid->GetCellRect(1, 2);
    EXPECT_EQ(Grid->GetCells(1, 2), u"new");
    int Ink = 0;
    for (int x = Cell.Left; x < Cell.Right; ++x)
        for (int y = Cell.Top; y < Cell.Bottom; ++y)
            Ink += PixelAt(x, y) != QtColor(clWindow);
    EXPECT_GT(Ink, 10) << "text painted";
}

TEST_F(GridControlTest, ColumnWidthChangeShiftsWhatLiesRightOfTheColumn) {
    MakeGrid(3, 8);
    QImage Before = Pixels();
    Grid->GetColumns()->GetItem(0)->SetWidth(80);
    // Only the resized column repaints; columns 1 and 2 moved 20 pixels right untouched.
    ASSERT_EQ(Grid->Invalidated.size(), 1u);
    EXPECT_EQ(Grid->Invalidated[0], (TRect{0, 0, 80, Grid->GetClientHeight()}));
    QImage After = Pixels();
    for (int x = 80; x < 180; ++x)
        for (int y = 0; y < 60; y += 7)
            ASSERT_EQ(After.pixel(x, y), Before.pixel(x - 20, y)) << x << "," << y;
    EXPECT_EQ(Grid->GetHorzScrollBar()->GetMax(), 200);
}

TEST_F(GridControlTest, ResizingRepaintsOnlyWhatItUncovers) {
    MakeGrid(3, 100, 300, 200);
    int Width = Grid->GetClientWidth();
    int Height = Grid->GetClientHeight();
    Grid->SetBounds(0, 0, 300, 240);
    ASSERT_FALSE(Grid->Invalidated.empty());
    for (const TRect& R : Grid->Invalidated) {
        EXPECT_GE(R.Top, Height) << "only the new strip at the bottom";
        EXPECT_LE(R.Bottom, 240);
    }
    // Nor does the window itself ask for more.
    ASSERT_TRUE(Grid->HasPendingPaint());
    EXPECT_GE(Grid->GetUpdateRect().Top, Height);
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPageSize(), Grid->GetVisibleCount() + 1);
    // With a footer the band between the old and the new footer repaints as well.
    Grid->SetOptions({goHeader, goFooter});
    Paint();
    Grid->SetBounds(0, 0, 300, 260);
    bool Band = false;
    for (const TRect& R : Grid->Invalidated) {
        EXPECT_GE(R.Top, Height + 40 - 18 - 4 - 4);
        Band |= R.Top == Height + 40 - 18 - 4 && R.Bottom == Height + 60 - 18 - 4;
    }
    EXPECT_TRUE(Band);
    // Wider at horizontal position 0: the new strip at the right.
    Paint();
    Grid->SetBounds(0, 0, 340, 260);
    for (const TRect& R : Grid->Invalidated)
        EXPECT_GE(R.Left, Width - 4);
}

TEST_F(GridControlTest, OfficeHeadersFrameTheWindowInTheSchemeBorderColor) {
    MakeGrid(2, 3);
    Grid->SetHeaderStyle(hsOffice2010);
    const int W = Grid->GetWidth(), H = Grid->GetHeight();
    auto Ring = [&](QRgb Expected) {
        Pump();
        const QImage Shot = Frame(Grid)->grab().toImage();
        for (QPoint P : {QPoint(0, 0), QPoint(W / 2, 0), QPoint(0, H / 2), QPoint(W - 1, H / 2),
                         QPoint(W / 2, H - 1), QPoint(W - 1, H - 1)})
            EXPECT_EQ(Shot.pixel(P) & 0xFFFFFF, Expected & 0xFFFFFF) << P.x() << "," << P.y();
    };
    Ring(qRgb(0x65, 0x93, 0xCF)); // seBorder of csBlue
    const auto Saved = NxThemesSupport::ColorScheme;
    NxThemesSupport::ColorScheme = NxThemesSupport::csSilver2010;
    Grid->Invalidate();
    Paint();
    Ring(qRgb(0xA5, 0xAC, 0xB5));
    NxThemesSupport::ColorScheme = Saved;
    // Other styles keep the platform's one-pixel edge when styles are off.
    SetThemesEnabled(false);
    Grid->SetHeaderStyle(hsOldStyle);
    Pump();
    const QImage Plain = Frame(Grid)->grab().toImage();
    SetThemesEnabled(true);
    EXPECT_EQ(Plain.pixel(0, H / 2) & 0xFFFFFF, QtColor(clBtnShadow) & 0xFFFFFF);
    EXPECT_EQ(Plain.pixel(W - 1, H / 2) & 0xFFFFFF, QtColor(clBtnHighlight) & 0xFFFFFF);

    // The "header" theme data lives while the window is themed and goes to the hsAuto style.
    Grid->SetHeaderStyle(hsAuto);
    ASSERT_NE(Grid->GetHeaderTheme(), nullptr);
    EXPECT_EQ(Grid->GetStyleDisplay()->GetHeaderTheme(), Grid->GetHeaderTheme());
    SetThemesEnabled(false);
    EXPECT_EQ(Grid->GetHeaderTheme(), nullptr);
    SetThemesEnabled(true);
    EXPECT_NE(Grid->GetHeaderTheme(), nullptr);
}

TEST_F(GridControlTest, BestFitColumnFitsHeaderAndCells) {
    MakeGrid(2, 3);
    Grid->GetCell(1, 1)->SetAsString(u"a much longer text than the others");
    Grid->BestFitColumn(1, bfCells);
    int Width = Grid->GetColumns()->GetItem(1)->GetWidth();
    Grid->GetCanvas()->SetFont(Grid->GetColumns()->GetItem(1)->GetFont());
    EXPECT_EQ(Width, Grid->GetCanvas()->TextWidth(WideString(u"a much longer text than the others")) + 5);
    Grid->BestFitColumn(1, bfHeader);
    EXPECT_LT(Grid->GetColumns()->GetItem(1)->GetWidth(), Width);
    EXPECT_THROW(Grid->BestFitColumn(2), EListError);
}

TEST_F(GridControlTest, BestFitCountsRowsByTheirVisibleFlagAndTheWholeHeaderContent) {
    MakeGrid(2, 40);
    TNxCustomColumn* Column = Grid->GetColumns()->GetItem(1);
    TCanvas* Canvas = Grid->GetCanvas();
    auto Fit = [&](const WideString& Text) {
        Canvas->SetFont(Column->GetFont());
        return Canvas->TextWidth(Text) + 5;
    };
    const WideString Far = u"a row far below the view", Hidden = u"a hidden row with the longest text";
    Grid->GetCell(1, 35)->SetAsString(Far);
    Grid->GetCell(1, 2)->SetAsString(Hidden);
    Grid->SetRowVisible(2, false);
    Grid->BestFitColumn(1, bfCells, true);
    EXPECT_EQ(Column->GetWidth(), Fit(Far)) << "rows off screen count, hidden ones do not";
    Grid->BestFitColumn(1, bfCells, false);
    EXPECT_EQ(Column->GetWidth(), Fit(Hidden)) << "every row counts";
    // The header's glyph counts with its caption: caption + glyph + 2.
    TBitmap Glyph(20, 10);
    Column->GetHeader()->SetGlyph(&Glyph);
    Column->GetHeader()->SetDisplayMode(dmTextAndImage);
    Grid->BestFitColumn(1, bfHeader);
    Canvas->SetFont(Grid->GetFont());
    EXPECT_EQ(Column->GetWidth(), Canvas->TextWidth(WideString(u"Col 1")) + 20 + 2 + 5);
}

TEST_F(GridControlTest, BestFitAsksEachColumnsDisplayForItsContentWidth) {
    MakeGrid(1, 2);
    auto* Check = Grid->GetColumns()->Add<TNxCheckBoxColumn>(u"Done");
    auto* Progress = Grid->GetColumns()->Add<TNxProgressColumn>(u"Progress");
    Progress->SetShowText(true);
    Progress->SetTextPosition(TProgressTextPosition::tpInside);
    Grid->GetCell(2, 0)->SetAsFloat(40);
    Grid->GetCell(2, 1)->SetAsFloat(100);
    TNxCustomColumn* Text = Grid->GetColumns()->GetItem(0);
    Grid->GetCell(0, 1)->SetAsString(u"heavy words");
    Grid->GetCell(0, 1)->SetFontStyle({fsBold});
    TCanvas* Canvas = Grid->GetCanvas();

    // A check box is 11 pixels wide without visual styles, whatever its cell's text says.
    SetThemesEnabled(false);
    Grid->BestFitColumn(1, bfCells);
    EXPECT_EQ(Check->GetWidth(), 11 + 2 * Check->GetPadding() + 5);
    SetThemesEnabled(true);
    // A progress cell needs its widest percentage text.
    Grid->BestFitColumn(2, bfCells);
    Canvas->SetFont(Progress->GetFont());
    EXPECT_EQ(Progress->GetWidth(), Canvas->TextWidth(WideString(u"100%")) + 2 * Progress->GetPadding() + 5);
    // A bold cell is measured in bold.
    Grid->BestFitColumn(0, bfCells);
    Canvas->SetFont(Text->GetFont());
    Canvas->GetFont()->SetStyle({fsBold});
    EXPECT_EQ(Text->GetWidth(), Canvas->TextWidth(WideString(u"heavy words")) + 2 * Text->GetPadding() + 5);
}

TEST_F(GridControlTest, IndicesOutsideTheGridRaiseTheListErrorAndChangeNothing) {
    MakeGrid(4, 3);
    EXPECT_THROW(Grid->GetCell(4, 0), EListError);
    EXPECT_THROW(Grid->GetCell(0, 3), EListError);
    EXPECT_THROW(Grid->GetRowHeight(-1), EListError);
    EXPECT_THROW(Grid->SetRowHeight(3, 20), EListError);
    EXPECT_THROW(Grid->SetSelected(7, true), EListError);
    EXPECT_THROW(Grid->SetRowVisible(3, false), EListError);
    EXPECT_THROW(Grid->DeleteRow(3), EListError);
    EXPECT_THROW(Grid->InsertRow(5), EListError);
    // A range with a missing end selects nothing and raises nothing.
    EXPECT_NO_THROW(Grid->SelectRange(0, 9, true));
    EXPECT_NO_THROW(Grid->SelectRange(-1, 1, true));
    EXPECT_EQ(Grid->GetRowCount(), 3);
    EXPECT_EQ(Grid->GetSelectedCount(), 0);
    try {
        Grid->GetCells(4, 0);
        FAIL();
    } catch (const EListError&) {
        FAIL() << "cell texts have their own message";
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "Cell out of bounds (4, 0)");
    }
    EXPECT_THROW(Grid->SetCells(0, -1, u"x"), Exception);
    EXPECT_EQ(Grid->GetCells(0, 0), u"r0c0");
}

TEST_F(GridControlTest, AddRowAndDeleteRowKeepSelectionAndEvents) {
    MakeGrid(2, 0);
    std::vector<std::pair<TDataChange, int>> Changes;
    Grid->OnDataChange = [&](TObject*, TDataChange Kind, int Index) { Changes.emplace_back(Kind, Index); };
    EXPECT_EQ(Grid->AddRow(0), -1);
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Grid->AddRow(3), 2);
    EXPECT_EQ(Changes, (std::vector<std::pair<TDataChange, int>>{{dcAddRow, 2}}));
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(2);
    int Deselected = -1;
    Grid->OnDeselectCell = [&](TObject*, int, int Row) { Deselected = Row; };
    Grid->DeleteRow(2);
    EXPECT_EQ(Deselected, 2);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_EQ(Changes.back(), std::make_pair(dcDeleteRow, 2));
    Grid->ClearRows();
    EXPECT_EQ(Grid->GetSelectedRow(), -1);
    EXPECT_EQ(Grid->GetTopRow(), 0);
    Grid->SetRowCount(5);
    EXPECT_EQ(Grid->GetRowCount(), 5);
    Grid->SetRowCount(-1);
    EXPECT_EQ(Grid->GetRowCount(), 5);
    Grid->SetRowCount(2);
    EXPECT_EQ(Grid->GetRowCount(), 2);
}

TEST_F(GridControlTest, RowsDeletedOrInsertedAboveTheViewKeepTheViewAndTheBarInStep) {
    MakeGrid(1, 100);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->GetVertScrollBar()->SetPosition(40);
    Grid->SetSelectedRow(45);
    ASSERT_EQ(Grid->GetTopRow(), 40);
    Grid->DeleteRow(3);
    EXPECT_EQ(Grid->GetTopRow(), 39);
    EXPECT_EQ(Grid->GetCells(0, Grid->GetTopRow()), u"r40c0") << "the same row stays on top";
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 39);
    EXPECT_EQ(Grid->GetSelectedRow(), 44);
    EXPECT_TRUE(Grid->GetSelected(44));
    Grid->InsertRow(0);
    EXPECT_EQ(Grid->GetCells(0, Grid->GetTopRow()), u"r40c0");
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 40);
    // Hidden rows above the top are not counted by the bar.
    Grid->SetRowVisible(5, false);
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 39);
    // The last page is still reached exactly.
    Grid->GetVertScrollBar()->Last();
    Paint();
    EXPECT_EQ(Grid->GetLastVisibleRow(), 99);
    EXPECT_TRUE(Grid->IsRowInView(99));
    EXPECT_EQ(Grid->GetRowTop(99) + 16 + Grid->GetGridSpace(lpBottom) <= Grid->GetBodyRect().Bottom, true);
}

TEST_F(GridControlTest, JumpingToTheEndOfAMillionRowsLandsOnTheLastPage) {
    MakeGrid(2, 1000000);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetFocus();
    Pump();
    Grid->SelectLastRow();
    int F = (Grid->GetBodyRect().Bottom - Grid->GetBodyRect().Top) / 16;
    EXPECT_EQ(Grid->GetSelectedRow(), 999999);
    EXPECT_EQ(Grid->GetTopRow(), 1000000 - F);
    Paint();
    EXPECT_GE(Grid->GetPaintEndRow(), 1000000);
    Grid->SelectFirstRow();
    EXPECT_EQ(Grid->GetTopRow(), 0);
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_FALSE(Grid->GetSelected(999999));
}

TEST_F(GridControlTest, PictureOfAScrolledGridWithHeaderFooterAndIndicator) {
    MakeGrid(0, 0, 800, 600);
    const char16_t* Captions[] = {u"File", u"Status", u"Progress", u"Decoded path"};
    int Widths[] = {220, 120, 90, 330};
    for (int c = 0; c < 4; ++c) {
        TNxCustomColumn* Column =
            c == 2 ? static_cast<TNxCustomColumn*>(Grid->GetColumns()->Add<TPlainIntegerColumn>(Captions[c]))
                   : Grid->GetColumns()->Add<TPlainTextColumn>(Captions[c]);
        Column->SetWidth(Widths[c]);
        Column->GetFooter()->SetCaption(c == 0 ? WideString(u"1000 files") : WideString());
    }
    Grid->SetOptions({goHeader, goFooter, goIndicator, goGrid, goSelectFullRow});
    Grid->BeginUpdate();
    Grid->AddRow(1000);
    for (int r = 0; r < 1000; ++r) {
        Grid->GetCell(0, r)->SetAsString(u"/data/in/source" + ToWide(r) + u".txt");
        Grid->GetCell(1, r)->SetAsString(r < 500 ? WideString(u"Decoded") : WideString(u"Waiting"));
        Grid->GetCell(2, r)->SetAsInteger(r < 500 ? 100 : 0);
        Grid->GetCell(3, r)->SetAsString(r < 500 ? u"/data/in/Decript/source" + ToWide(r) + u"(dec1).txt"
                                                 : WideString());
    }
    Grid->EndUpdate();
    Grid->SetFocus();
    Pump();
    Grid->GetVertScrollBar()->SetPosition(500 - Grid->GetVisibleCount() / 2);
    Grid->SetSelectedRow(500);
    Grid->Repaint();
    EXPECT_EQ(Grid->GetTopRow(), 500 - Grid->GetVisibleCount() / 2);
    EXPECT_TRUE(Grid->IsRowInView(500));
    QImage Image = Pixels();
    EXPECT_EQ(Image.width(), Grid->GetClientWidth());
    // The selected row is highlighted, the footer and the indicator are button-faced.
    TRect Selected = Grid->GetCellRect(1, 500);
    EXPECT_EQ(Image.pixel(Selected.Right - 3, Selected.Top + 1), QtColor(clHighlight));
    EXPECT_EQ(Image.pixel(5, Grid->GetFooterRect().Top + 5), QtColor(clBtnFace));
    // Rows 16 high plus a one-pixel line, summed from the top row; columns 220, 120, 90 and 330
    // wide right of the 12-pixel indicator. Row 500 alone is highlighted, the lines between cells
    // are in the grid line color.
    const int Top = Grid->GetBodyRect().Top + (500 - Grid->GetTopRow()) * 17;
    const int Edges[] = {12, 232, 352, 442, 772};
    for (int c = 0; c < 4; ++c) {
        const int Middle = (Edges[c] + Edges[c + 1]) / 2;
        EXPECT_EQ(Image.pixel(Edges[c + 1] - 1, Top - 8), QtColor(clBtnFace)) << c;
        EXPECT_EQ(Image.pixel(Middle, Top - 1), QtColor(clBtnFace)) << c;
        EXPECT_EQ(Image.pixel(Edges[c + 1] - 3, Top - 3), QtColor(clWindow)) << c;
        EXPECT_EQ(Image.pixel(Edges[c + 1] - 3, Top + 1), QtColor(clHighlight)) << c;
        EXPECT_EQ(Image.pixel(Edges[c + 1] - 3, Top + 17 + 3), QtColor(clWindow)) << c;
    }
    // The whole control, its scroll bar included.
    QImage Whole = Frame(Grid)->grab().toImage();
    EXPECT_EQ(Whole.width(), 800);
    EXPECT_EQ(Whole.height(), 600);
    ASSERT_TRUE(Whole.save(QString::fromStdString(OutDir() + "/grid-800x600-scrolled.png")));
}

} // namespace
