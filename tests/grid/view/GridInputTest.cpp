// The grid's mouse and keyboard input through real window-system events: clicks, header clicks
// and sorting, keyboard movement, grips, incremental search, copying and gesture ends.

#include <gtest/gtest.h>

#include "drawing/ThemesSupport.h"
#include "grid/model/ColumnKinds.h"
#include "grid/view/GridTestSupport.h"
#include "platform/windows/Clipboard.h"
#include "platform/windows/TimerClock.h"

namespace {

struct GridInput : GridFixture {
    QWidget* W() { return Client(Grid); }
    void Click(int X, int Y, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
        QTest::mouseClick(W(), Qt::LeftButton, Mods, QPoint(X, Y));
    }
    void Key(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(W(), Qt::Key(K), Mods); }
    void Focus() {
        Grid->SetFocus();
        Pump();
    }
    // A point inside the cell, a few pixels from its top-left corner.
    QPoint In(int ACol, int ARow) {
        TRect R = Grid->GetCellRect(ACol, ARow);
        return QPoint(R.Left + 4, R.Top + 4);
    }
    void ClickCell(int ACol, int ARow, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
        QPoint P = In(ACol, ARow);
        Click(P.x(), P.y(), Mods);
    }
    int HeaderMid() { return Grid->GetHeaderRect().Top + 8; }
    TNxCustomColumn* Column(int Index) { return Grid->GetColumns()->GetItem(Index); }
};

} // namespace

TEST_F(GridInput, HeaderPressAndReleaseOnTheSameColumnSortsAndReverses) {
    MakeGrid(2, 3);
    Grid->GetCell(0, 0)->SetAsString(u"b");
    Grid->GetCell(0, 1)->SetAsString(u"c");
    Grid->GetCell(0, 2)->SetAsString(u"a");
    std::vector<int> Clicks;
    Grid->OnHeaderClick = [&](TObject*, int ACol) { Clicks.push_back(ACol); };

    Click(20, HeaderMid());
    EXPECT_EQ(Clicks, (std::vector<int>{0}));
    EXPECT_TRUE(Column(0)->GetSorted());
    EXPECT_EQ(Grid->GetCells(0, 0), u"a");
    EXPECT_EQ(Grid->GetCells(0, 2), u"c");
    EXPECT_EQ(Grid->GetFocusedColumn(), nullptr) << "the header is no longer drawn pressed";

    Click(20, HeaderMid());
    EXPECT_EQ(Column(0)->GetSortKind(), skDescending);
    EXPECT_EQ(Grid->GetCells(0, 0), u"c");
    Click(20, HeaderMid());
    EXPECT_EQ(Column(0)->GetSortKind(), skAscending);
    EXPECT_EQ(Grid->GetCells(0, 0), u"a");
}

TEST_F(GridInput, HeaderPressReleasedElsewhereClicksButDoesNotSort) {
    MakeGrid(2, 3);
    std::vector<int> Clicks;
    Grid->OnHeaderClick = [&](TObject*, int ACol) { Clicks.push_back(ACol); };
    // Released over the next header (within the drag threshold of the grid's own moves) and in the body.
    QTest::mousePress(W(), Qt::LeftButton, Qt::NoModifier, QPoint(20, HeaderMid()));
    EXPECT_EQ(Grid->GetFocusedColumn(), Column(0)) << "drawn pressed while held";
    EXPECT_TRUE(Grid->GetGridState().Contains(gtColumnHeaderDown));
    QTest::mouseRelease(W(), Qt::LeftButton, Qt::NoModifier, QPoint(80, HeaderMid()));
    EXPECT_EQ(Clicks, (std::vector<int>{0}));
    EXPECT_FALSE(Column(0)->GetSorted());
    EXPECT_FALSE(Column(1)->GetSorted());
    EXPECT_FALSE(Grid->GetGridState().Contains(gtColumnHeaderDown));

    QTest::mousePress(W(), Qt::LeftButton, Qt::NoModifier, QPoint(80, HeaderMid()));
    QTest::mouseRelease(W(), Qt::LeftButton, Qt::NoModifier, In(1, 1));
    EXPECT_EQ(Clicks, (std::vector<int>{0, 1}));
    EXPECT_FALSE(Column(1)->GetSorted());

    // Without coCanClick the header is neither pressed nor clicked.
    Column(1)->SetOptions(Column(1)->GetOptions() - TColumnOptions{coCanClick});
    Click(80, HeaderMid());
    EXPECT_EQ(Clicks.size(), 2u);
    EXPECT_FALSE(Column(1)->GetSorted());
}

TEST_F(GridInput, ClicksSelectWholeRowsAndBelowTheLastRowNothing) {
    MakeGrid(3, 3);
    Grid->SetOptions({goHeader, goGrid, goSelectFullRow});
    std::vector<std::pair<int, int>> CellClicks;
    Grid->OnCellClick = [&](TObject*, int C, int R) { CellClicks.emplace_back(C, R); };
    ClickCell(2, 1);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_TRUE(Grid->GetSelected(1));
    EXPECT_EQ(Grid->GetSelectedCount(), 1);
    EXPECT_EQ(CellClicks, (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(Grid->GetDownPoint(), (TPoint{-1, -1})) << "the release ends the gesture";

    // Below the last row: nothing changes.
    TRect Last = Grid->GetRowRect(2);
    Click(20, Last.Bottom + 10);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_TRUE(Grid->GetSelected(1));
    EXPECT_EQ(CellClicks.size(), 1u);

    // Left of every column's end but past the last column: the row still selects.
    ClickCell(0, 2);
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_FALSE(Grid->GetSelected(1));
}

TEST_F(GridInput, ClickOnAPartlyVisibleBottomRowScrollsItIntoView) {
    MakeGrid(2, 40, 300, 100);
    Grid->SetOptions({goHeader, goGrid, goSelectFullRow});
    Paint();
    TRect Body = Grid->GetBodyRect();
    int Partial = -1;
    for (int r = 0; r < 40; ++r) {
        TRect R = Grid->GetRowRect(r);
        if (R.Top < Body.Bottom && R.Bottom > Body.Bottom) {
            Partial = r;
            break;
        }
    }
    ASSERT_GE(Partial, 1) << "the body ends inside a row";
    Click(20, Body.Bottom - 3);
    EXPECT_EQ(Grid->GetSelectedRow(), Partial);
    EXPECT_GT(Grid->GetTopRow(), 0);
    EXPECT_LE(Grid->GetRowRect(Partial).Bottom, Body.Bottom) << "now wholly in view";
}

TEST_F(GridInput, LeftRightScrollWithFullRowAndMoveTheCellOtherwise) {
    MakeGrid(8, 5, 300, 200);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Focus();
    ClickCell(1, 0);
    ASSERT_EQ(Grid->GetSelectedColumn(), 1);
    Key(Qt::Key_Right);
    EXPECT_EQ(Grid->GetHorzScrollBar()->GetPosition(), 5);
    Key(Qt::Key_Right);
    EXPECT_EQ(Grid->GetHorzScrollBar()->GetPosition(), 10);
    Key(Qt::Key_Left);
    EXPECT_EQ(Grid->GetHorzScrollBar()->GetPosition(), 5);
    EXPECT_EQ(Grid->GetSelectedColumn(), 1) << "the columns scroll, the cell stays";

    Grid->SetAppearanceOptions(Grid->GetAppearanceOptions() + TAppearanceOptions{aoIndicateSelectedCell});
    Key(Qt::Key_Right);
    EXPECT_EQ(Grid->GetSelectedColumn(), 2);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(Grid->GetSelectedColumn(), 0);
    Key(Qt::Key_Left);
    EXPECT_EQ(Grid->GetSelectedColumn(), 0) << "no column left of the first";
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
}

TEST_F(GridInput, PageDownAndUpSelectTheViewEdgeFirstThenMoveByPages) {
    MakeGrid(2, 100, 300, 200);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Focus();
    int V = Grid->GetVisibleCount(false);
    ASSERT_GT(V, 3);
    ClickCell(0, 2);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Grid->GetSelectedRow(), V - 1) << "the last row in view first";
    EXPECT_EQ(Grid->GetTopRow(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Grid->GetSelectedRow(), 2 * V - 1);
    EXPECT_EQ(Grid->GetTopRow(), V) << "and the view moved a page";
    EXPECT_EQ(Grid->GetRowRect(2 * V - 1).Bottom <= Grid->GetBodyRect().Bottom, true);

    Key(Qt::Key_PageUp);
    EXPECT_EQ(Grid->GetSelectedRow(), V) << "the top row first";
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_EQ(Grid->GetTopRow(), 0);

    // Near the end Page Down selects the last row.
    Grid->SetSelectedRow(97);
    Grid->ScrollToRow(97);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Grid->GetSelectedRow(), 99);
}

TEST_F(GridInput, HomeAndEndInBothBehaviours) {
    MakeGrid(6, 50, 300, 200);
    Grid->SetOptions({goHeader});
    Focus();
    ClickCell(1, 3);
    Key(Qt::Key_End);
    EXPECT_EQ(Grid->GetSelectedRow(), 49);
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(),
              Grid->GetVertScrollBar()->GetMax() - Grid->GetVertScrollBar()->GetPageSize() + 1);
    Key(Qt::Key_Home);
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_EQ(Grid->GetTopRow(), 0);
    EXPECT_EQ(Grid->GetSelectedColumn(), 1);

    Grid->SetHomeEndBehaviour(hebLeftRight);
    Grid->GetColumns()->GetItem(5)->SetVisible(false);
    Key(Qt::Key_End);
    EXPECT_EQ(Grid->GetSelectedColumn(), 4) << "the last visible column";
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_GT(Grid->GetHorzScrollBar()->GetPosition(), 0) << "scrolled into view";
    Key(Qt::Key_Home);
    EXPECT_EQ(Grid->GetSelectedColumn(), 0);
    EXPECT_EQ(Grid->GetHorzScrollBar()->GetPosition(), 0);
}

TEST_F(GridInput, UpDownSkipHiddenAndRefusedRowsAndKeysCanBeDisabled) {
    MakeGrid(2, 6);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Focus();
    Grid->SetRowVisible(2, false);
    Grid->OnBeforeSelect = [](TObject*, int, int ARow, bool& Accept) { Accept = ARow != 3; };
    ClickCell(0, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid->GetSelectedRow(), 4);
    Key(Qt::Key_Up);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    Grid->SetOptions({goHeader, goSelectFullRow, goDisableKeys});
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
}

TEST_F(GridInput, TypedKeysSearchAndTheSearchResetsAfter700ms) {
    TManualTimerClock Clock;
    MakeGrid(2, 4);
    Grid->SetOptions({goHeader, goSelectFullRow});
    const char16_t* Names[] = {u"apple", u"banana", u"abacus", u"abbey"};
    for (int r = 0; r < 4; ++r)
        Grid->GetCell(0, r)->SetAsString(Names[r]);
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coSearchColumn});
    Focus();
    ClickCell(0, 1);
    QTest::keyClicks(W(), "ab");
    EXPECT_EQ(Grid->GetSearchText(), u"ab");
    EXPECT_EQ(Grid->GetSelectedRow(), 3)
        << "each key searches below the current row: \"a\" row 2, \"ab\" row 3";
    Clock.Advance(699);
    QTest::keyClicks(W(), "b");
    EXPECT_EQ(Grid->GetSearchText(), u"abb");
    EXPECT_EQ(Grid->GetSelectedRow(), 3) << "\"abb\" wraps round to the same row";
    Clock.Advance(700);
    EXPECT_EQ(Grid->GetSearchText(), u"");
    QTest::keyClicks(W(), "b");
    EXPECT_EQ(Grid->GetSelectedRow(), 1) << "a new search for \"b\"";

    // Ctrl+C is a command, not a search character.
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Grid->GetSearchText(), u"b");
    // A current column with coEditing turns the search off.
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coEditing});
    Clock.Advance(700);
    QTest::keyClicks(W(), "a");
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
}

TEST_F(GridInput, GripsAreHitAtExactlyTheirPixels) {
    MakeGrid(3, 10);
    Grid->SetOptions({goHeader, goIndicator, goRowResizing, goGrid});
    Paint();
    TNxCustomColumn* C0 = Column(0);
    int R = C0->GetLeft() + C0->GetWidth();
    EXPECT_EQ(Grid->GetColumnSizeGripAtPos(R - 4, 5), nullptr);
    EXPECT_EQ(Grid->GetColumnSizeGripAtPos(R - 3, 5), C0);
    EXPECT_EQ(Grid->GetColumnSizeGripAtPos(R + 2, 5), C0);
    EXPECT_NE(Grid->GetColumnSizeGripAtPos(R + 3, 5), C0);
    C0->SetOptions(C0->GetOptions() + TColumnOptions{coFixedSize});
    EXPECT_EQ(Grid->GetColumnSizeGripAtPos(R, 5), nullptr);

    // Row 1's lower edge: the three pixel rows ending at it, and only beside the rows.
    int Top = Grid->GetBodyRect().Top;
    int Edge = Top + 2 * (Grid->GetRowHeight(0) + Grid->GetGridSpace(lpTopBottom));
    EXPECT_EQ(Grid->GetRowSizeGripAtPos(5, Edge - 3), -1);
    EXPECT_EQ(Grid->GetRowSizeGripAtPos(5, Edge - 2), 1);
    EXPECT_EQ(Grid->GetRowSizeGripAtPos(5, Edge), 1);
    EXPECT_NE(Grid->GetRowSizeGripAtPos(5, Edge + 1), 1);
    EXPECT_EQ(Grid->GetRowSizeGripAtPos(13, Edge), -1);

    // The pointer shows them.
    QTest::mouseMove(W(), QPoint(5, Edge - 1));
    Pump();
    EXPECT_EQ(Grid->GetCursor(), 3003);
    QTest::mouseMove(W(), QPoint(5, Edge - 6));
    Pump();
    EXPECT_EQ(Grid->GetCursor(), 3006);
    int R1 = Column(1)->GetLeft() + Column(1)->GetWidth();
    QTest::mouseMove(W(), QPoint(R1, HeaderMid()));
    Pump();
    EXPECT_EQ(Grid->GetCursor(), 3000);
    EXPECT_EQ(Grid->GetGripColumn(), Column(1));
}

TEST_F(GridInput, CtrlASelectsAllAndCtrlCCopiesTabSeparatedInDisplayOrder) {
    MakeGrid(3, 4);
    Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    Grid->GetColumns()->ChangePosition(2, 0);
    Column(1)->SetVisible(false);
    Grid->GetCell(0, 1)->SetAsString(u"tab\there");
    Focus();
    ClickCell(0, 1);
    ClickCell(0, 3, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(GetClipboardText(), u"r1c2\t\"tab\there\"\r\nr3c2\tr3c0\r\n");

    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Grid->GetSelectedCount(), 4);
    Key(Qt::Key_C, Qt::ControlModifier);
    WideString All = GetClipboardText();
    EXPECT_EQ(std::count(All.begin(), All.end(), u'\n'), 4);
    EXPECT_EQ(All.substr(0, 10), u"r0c2\tr0c0\r");
}

TEST_F(GridInput, FocusLossAndDeactivationEndAGesture) {
    MakeGrid(2, 3);
    QTest::mousePress(W(), Qt::LeftButton, Qt::NoModifier, QPoint(20, HeaderMid()));
    ASSERT_EQ(Grid->GetPressedColumn(), Column(0));
    Grid->ApplicationActivated(false);
    EXPECT_EQ(Grid->GetPressedColumn(), nullptr);
    EXPECT_EQ(Grid->GetFocusedColumn(), nullptr);
    EXPECT_EQ(Grid->GetDownPoint(), (TPoint{-1, -1}));
    std::vector<int> Clicks;
    Grid->OnHeaderClick = [&](TObject*, int ACol) { Clicks.push_back(ACol); };
    QTest::mouseRelease(W(), Qt::LeftButton, Qt::NoModifier, QPoint(20, HeaderMid()));
    EXPECT_TRUE(Clicks.empty()) << "an ended gesture clicks nothing";
    EXPECT_FALSE(Column(0)->GetSorted());

    Focus();
    QTest::mousePress(W(), Qt::LeftButton, Qt::NoModifier, QPoint(20, HeaderMid()));
    ASSERT_EQ(Grid->GetFocusedColumn(), Column(0));
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Grid->GetFocusedColumn(), nullptr);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtColumnHeaderDown));
    QTest::mouseRelease(W(), Qt::LeftButton, Qt::NoModifier, QPoint(20, HeaderMid()));
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(GridInput, DoubleClicksReachCellAndHeader) {
    MakeGrid(2, 3);
    std::vector<std::pair<int, int>> Cells;
    std::vector<int> Headers;
    Grid->OnCellDblClick = [&](TObject*, int C, int R) { Cells.emplace_back(C, R); };
    Grid->OnHeaderDblClick = [&](TObject*, int C) { Headers.push_back(C); };
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, In(1, 2));
    EXPECT_EQ(Cells, (std::vector<std::pair<int, int>>{{1, 2}}));
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, QPoint(80, HeaderMid()));
    EXPECT_EQ(Headers, (std::vector<int>{1}));
    // A double click on a row's grip in the indicator fits the row to its tallest content: the
    // check box (11 or 13 pixels), never less than RowSize.
    Grid->GetColumns()->Add<TNxCheckBoxColumn>(u"Check");
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goIndicator, goRowResizing});
    Grid->SetRowSize(8);
    for (int Row = 0; Row < 3; ++Row)
        Grid->SetRowHeight(Row, 8);
    Pump();
    const int Box = NxThemesSupport::IsThemed() ? 13 : 11;
    auto Grip = [&](int Row) { return QPoint(5, Grid->GetRowRect(Row).Bottom - 1); };
    ASSERT_EQ(Grid->GetRowHeight(1), 8);
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, Grip(1));
    EXPECT_EQ(Grid->GetRowHeight(1), Box);
    EXPECT_EQ(Grid->GetRowHeight(0), 8);
    Grid->SetOptions(Grid->GetOptions() - TGridOptions{goRowResizing});
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, Grip(0));
    EXPECT_EQ(Grid->GetRowHeight(0), 8);
}

TEST_F(GridInput, RollScrollingKeepsItsCursorOverTheIndicatorAndTheCells) {
    MakeGrid(2, 30);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goIndicator});
    Pump();
    const QPoint Origin(5, Grid->GetBodyRect().Top + 40);
    QTest::mousePress(W(), Qt::MiddleButton, Qt::NoModifier, Origin);
    ASSERT_TRUE(Grid->GetViewState().Contains(vsRolling));
    QTest::mouseMove(W(), Origin + QPoint(0, 3));
    EXPECT_EQ(Screen->GetCursor(), crRoll) << "not the indicator's selection cursor";
    QTest::mouseMove(W(), In(1, 1));
    EXPECT_EQ(Screen->GetCursor(), crRollUp);
    EXPECT_EQ(Grid->GetHoverCell(), (TPoint{-1, -1}));
    QTest::mouseRelease(W(), Qt::MiddleButton, Qt::NoModifier, In(1, 1));
    EXPECT_FALSE(Grid->GetViewState().Contains(vsRolling));
}

// OnApplyCell sees the text on its way to the fit test and the hint: it may change or empty it.
TEST_F(GridInput, TextFitHintShowsTheTextAfterOnApplyCell) {
    MakeGrid(2, 3);
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coShowTextFitHint});
    Grid->GetCell(0, 0)->SetAsString(u"a text far too long for sixty pixels");
    Grid->GetCell(0, 1)->SetAsString(u"short");
    Grid->GetCell(0, 2)->SetAsString(u"another text far too long for the column");
    Grid->OnApplyCell = [](TObject*, int, int ARow, WideString& Value) {
        if (ARow == 0) Value = u"[" + Value + u"]";
        if (ARow == 1) Value = u"now a text far too long for the column";
        if (ARow == 2) Value.clear();
    };
    EXPECT_FALSE(Grid->IsTextFit(0, 1)) << "measured after the handler";
    EXPECT_TRUE(Grid->IsTextFit(0, 2));
    auto Move = [&](QPoint P) {
        QTest::mouseMove(W(), P);
        Pump();
    };
    Move(In(0, 0));
    ASSERT_NE(Grid->GetHintWindow(), nullptr);
    EXPECT_TRUE(Grid->GetHintWindow()->IsHintShowing());
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"[a text far too long for sixty pixels]");
    Move(In(0, 1));
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"now a text far too long for the column");
    // Emptied and then fitting: no hint.
    Grid->OnApplyCell = [](TObject*, int, int ARow, WideString& Value) {
        if (ARow == 0) Value.clear();
    };
    Move(In(1, 1));
    Move(In(0, 0));
    EXPECT_FALSE(Grid->GetHintWindow()->IsHintShowing());
}

TEST_F(GridInput, TextFitHintFollowsTheCellsAndHidesOutsideTheBody) {
    MakeGrid(2, 3);
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coShowTextFitHint});
    Grid->GetCell(0, 0)->SetAsString(u"a text far too long for sixty pixels");
    Grid->GetCell(0, 1)->SetAsString(u"another text far too long for the column");
    Grid->GetCell(1, 1)->SetHint(u"a cell hint");
    bool OldShowHint = Application->GetShowHint();
    Application->SetShowHint(false);
    ASSERT_FALSE(Grid->IsTextFit(0, 0));
    ASSERT_TRUE(Grid->IsTextFit(0, 2)) << "r2c0 fits";

    auto Move = [&](QPoint P) {
        QTest::mouseMove(W(), P);
        Pump();
    };
    Move(In(0, 0));
    ASSERT_NE(Grid->GetHintWindow(), nullptr);
    EXPECT_EQ(Grid->GetHintKind(), hkTextFit) << "shown although hints are off";
    EXPECT_TRUE(Grid->GetHintWindow()->IsHintShowing());
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"a text far too long for sixty pixels");
    TPoint Origin = Grid->ClientToScreen(TPoint{Grid->GetCellRect(0, 0).Left, Grid->GetCellRect(0, 0).Top});
    EXPECT_EQ(Grid->GetHintWindow()->GetLeft(), Origin.X);
    EXPECT_EQ(Grid->GetHintWindow()->GetTop(), Origin.Y);

    Move(In(0, 0) + QPoint(3, 1));
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"a text far too long for sixty pixels");
    Move(In(0, 1));
    EXPECT_TRUE(Grid->GetHintWindow()->IsHintShowing());
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"another text far too long for the column") << "replaced";

    Move(QPoint(20, HeaderMid()));
    EXPECT_FALSE(Grid->GetHintWindow()->IsHintShowing()) << "hidden over the header";
    Move(In(0, 2));
    EXPECT_FALSE(Grid->GetHintWindow()->IsHintShowing()) << "a fitting text shows none";

    // A cell hint needs the application's hints.
    Move(In(1, 1));
    EXPECT_FALSE(Grid->GetHintWindow()->IsHintShowing());
    Application->SetShowHint(true);
    Move(In(1, 2));
    Move(In(1, 1));
    EXPECT_EQ(Grid->GetHintKind(), hkCell);
    EXPECT_EQ(Grid->GetHintWindow()->GetCaption(), u"a cell hint");
    Application->SetShowHint(OldShowHint);
}
