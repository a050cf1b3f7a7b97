// Row selection of the grid: the selected rows counted and copied after rows were inserted,
// deleted, moved and sorted; Shift and Ctrl clicks; the selection moved by a delete; keyboard
// moves that a handler redirects and that reach the input row; cell formatting for painting.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "grid/model/IncrementColumn.h"
#include "grid/model/NumberColumn.h"
#include "grid/model/TextColumn.h"
#include "grid/view/ColumnDisplay.h"
#include "grid/view/GridTestSupport.h"
#include "platform/graphics/Canvas.h"
#include "platform/windows/Clipboard.h"

namespace {

struct GridSelection : GridFixture {
    QWidget* W() { return Client(Grid); }
    void ClickCell(int ACol, int ARow, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
        TRect R = Grid->GetCellRect(ACol, ARow);
        QTest::mouseClick(W(), Qt::LeftButton, Mods, QPoint(R.Left + 4, R.Top + 4));
    }
    void Key(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(W(), Qt::Key(K), Mods); }
    void Focus() {
        Grid->SetFocus();
        Pump();
    }
    std::vector<int> SelectedRows() {
        std::vector<int> Rows;
        for (int r = 0; r < Grid->GetRowCount(); ++r)
            if (Grid->GetSelected(r)) Rows.push_back(r);
        return Rows;
    }
    void MultiSelect() { Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect}); }
};

} // namespace

TEST_F(GridSelection, SelectedRowsStayCountedAndCopiedWhileRowsShift) {
    MakeGrid(1, 10);
    MultiSelect();
    Grid->SelectRange(4, 5, true);
    Grid->InsertRow(0);
    Grid->SetCells(0, 0, u"new");
    EXPECT_EQ(SelectedRows(), (std::vector<int>{5, 6}));
    EXPECT_EQ(Grid->GetSelectionText(), u"r4c0\r\nr5c0\r\n");

    Grid->DeleteRow(5);
    EXPECT_EQ(Grid->GetSelectedCount(), 1);
    EXPECT_EQ(Grid->GetSelectionText(), u"r5c0\r\n");

    // A selected row moved far outside where the selection was is still found and cleared.
    Grid->MoveRow(5, 9);
    Grid->SwapRows(9, 0);
    EXPECT_EQ(Grid->GetSelectionText(), u"r5c0\r\n");
    Grid->SelectRange(3, 3, true);
    Grid->ClearSelection();
    EXPECT_EQ(SelectedRows(), std::vector<int>{});
    EXPECT_EQ(Grid->GetSelectedCount(), 0);
    EXPECT_EQ(Grid->GetSelectionText(), u"");

    Grid->AddChildRow(0, crFirst);
    Grid->SelectRange(8, 9, true);
    Grid->AddChildRow(2, crFirst);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{9, 10}));
    Grid->ClearRows();
    EXPECT_EQ(Grid->GetSelectedCount(), 0);
    EXPECT_EQ(Grid->GetSelectedRow(), -1);
    Grid->AddRow(3);
    EXPECT_EQ(Grid->GetSelectionText(), u"");
}

TEST_F(GridSelection, CopiedRowsQuoteTheFieldsThatWouldBreakTheTable) {
    MakeGrid(2, 3);
    MultiSelect();
    Grid->GetColumns()->Add<TNxNumberColumn>(u"Amount");
    Grid->SetCells(0, 0, u"tab\there");
    Grid->SetCells(1, 0, u"say \"hi\"");
    Grid->SetCells(0, 1, u"two\r\nlines");
    Grid->SetCells(1, 1, u"\u0436 plain");
    Grid->GetCell(2, 0)->SetAsFloat(1234.5);
    Grid->GetCell(2, 1)->SetAsFloat(-0.25);
    Grid->SelectRange(0, 1, true);
    EXPECT_EQ(Grid->GetSelectionText(),
              u"\"tab\there\"\t\"say \"\"hi\"\"\"\t1234.5\r\n\"two\r\nlines\"\t\u0436 plain\t-0.25\r\n");
}

TEST_F(GridSelection, ALongCopyKeepsEveryRowAndTheLowestIntegers) {
    // The first rows of a long copy size the rest; rows further down are longer than those.
    MakeGrid(1, 0);
    MultiSelect();
    Grid->GetColumns()->Add<TPlainIntegerColumn>(u"Amount");
    const int Count = 600;
    Grid->AddRow(Count);
    WideString All;
    for (int r = 0; r < Count; ++r) {
        const WideString Name = u"r" + ToWide(r) + WideString(static_cast<size_t>(r / 40), u'x');
        const int32_t Amount = r % 2 ? std::numeric_limits<int32_t>::min() + r : -1000000000 - r;
        Grid->SetCells(0, r, Name);
        Grid->GetCell(1, r)->SetAsInteger(Amount);
        const std::string Digits = std::to_string(Amount);
        All += Name + u"\t" + WideString(Digits.begin(), Digits.end()) + u"\r\n";
    }
    std::vector<size_t> LineEnds;
    for (size_t At = All.find(u'\n'); At != WideString::npos; At = All.find(u'\n', At + 1))
        LineEnds.push_back(At + 1);
    for (int Rows : {1, 255, 256, 257, 258, Count}) {
        Grid->ClearSelection();
        Grid->SelectRange(0, Rows - 1, true);
        EXPECT_EQ(Grid->GetSelectionText(), All.substr(0, LineEnds[static_cast<size_t>(Rows - 1)]))
            << Rows << " rows";
    }
}

// A copy of every row of a large sorted grid, as Ctrl+C makes it: every row once, in the order
// shown, fields quoted where needed; the same when a column numbers the rows by their place.
TEST_F(GridSelection, CopyingAllOfALargeSortedGridKeepsTheShownOrder) {
    constexpr int kRows = 70'000;
    MakeGrid(1, 0);
    MultiSelect();
    Grid->GetColumns()->Add<TPlainIntegerColumn>(u"Amount");
    auto Key = [](int Value) {
        WideString Text = ToWide(1'000'000 + Value).substr(1);
        return u"k" + Text + (Value % 1000 == 0 ? u"\"q\"" : u"") + (Value % 3 == 0 ? u"\u0436" : u"");
    };
    auto Fill = [&] {
        Grid->AddRow(kRows);
        for (int r = 0; r < kRows; ++r) {
            const int Value = static_cast<int>((static_cast<int64_t>(r) * 7919) % kRows);
            Grid->SetCells(0, r, Key(Value));
            Grid->GetCell(1, r)->SetAsInteger(-3 * Value);
        }
        Grid->GetColumns()->GetItem(0)->SetSorted(true);
        Grid->SelectAll();
    };
    auto Expected = [&](bool Numbered) {
        WideString All;
        for (int Value = 0; Value < kRows; ++Value) {
            const WideString Name = Key(Value);
            All +=
                Value % 1000 == 0 ? u"\"" + Name.substr(0, 7) + u"\"\"q\"\"" + Name.substr(10) + u"\"" : Name;
            All += u"\t" + ToWide(-3 * Value);
            if (Numbered) All += u"\t" + ToWide(Value + 1);
            All += u"\r\n";
        }
        return All;
    };
    Fill();
    EXPECT_TRUE(Grid->GetSelectionText() == Expected(false));
    // Written by two threads, the clipboard's text is the same one, in one piece.
    Grid->CopyToClipboard();
    EXPECT_TRUE(GetClipboardText() == Expected(false));
    Grid->ClearRows();
    Grid->GetColumns()->Add<TNxIncrementColumn>(u"Place");
    Fill();
    EXPECT_TRUE(Grid->GetSelectionText() == Expected(true));
}

TEST_F(GridSelection, SortingCarriesTheSelectedRowsAnywhere) {
    MakeGrid(1, 6);
    MultiSelect();
    for (int r = 0; r < 6; ++r)
        Grid->SetCells(0, r, WideString(1, char16_t(u'f' - r))); // f e d c b a
    Grid->SelectRange(0, 1, true);                               // f, e
    Grid->GetColumns()->GetItem(0)->SetSorted(true);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{4, 5}));
    EXPECT_EQ(Grid->GetSelectionText(), u"e\r\nf\r\n");
    Grid->ClearSelection();
    EXPECT_EQ(SelectedRows(), std::vector<int>{});
}

TEST_F(GridSelection, ShiftClicksSelectFromTheAnchorAndCtrlClicksToggle) {
    MakeGrid(1, 8);
    MultiSelect();
    Focus();
    ClickCell(0, 1);
    ClickCell(0, 4, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    ClickCell(0, 2, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2})) << "rows outside the new range cleared";
    ClickCell(0, 6, Qt::ControlModifier);
    ClickCell(0, 1, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 6}));
    EXPECT_EQ(Grid->GetSelectedCount(), 2);
    ClickCell(0, 0, Qt::ShiftModifier); // from the anchor, row 1
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1}));
    ClickCell(0, 5);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{5})) << "a plain click starts again";
    EXPECT_EQ(Grid->GetSelectedCount(), 1);
}

// A Shift-click nearer the anchor unselects the rows it leaves out, and each of them repaints
// without its highlight, the top visible row too.
TEST_F(GridSelection, ShrinkingAShiftSelectionRepaintsEveryRowItDrops) {
    MakeGrid(1, 30);
    MultiSelect();
    Focus();
    Grid->GetVertScrollBar()->SetPosition(5);
    Paint();
    ASSERT_EQ(Grid->GetTopRow(), 5);
    auto Shows = [&](int Row) {
        const TRect R = Grid->GetCellRect(0, Row);
        return PixelAt(R.Left + R.Width() / 2, R.Top + 1);
    };
    struct TStep {
        int Row;
        std::vector<int> Selected;
    };
    ClickCell(0, 9); // the anchor
    for (const TStep& Step : {TStep{5, {5, 6, 7, 8, 9}}, TStep{8, {8, 9}}, TStep{9, {9}},
                              TStep{5, {5, 6, 7, 8, 9}}, TStep{7, {7, 8, 9}}}) {
        SCOPED_TRACE(Step.Row);
        Grid->Invalidated.clear();
        ClickCell(0, Step.Row, Qt::ShiftModifier);
        EXPECT_EQ(SelectedRows(), Step.Selected);
        EXPECT_EQ(Grid->GetTopRow(), 5);
        Grid->Update();
        for (int Row = 5; Row <= 10; ++Row) {
            const bool Selected =
                std::find(Step.Selected.begin(), Step.Selected.end(), Row) != Step.Selected.end();
            EXPECT_EQ(Shows(Row), QtColor(Selected ? clHighlight : clWindow)) << "row " << Row;
        }
    }
}

// Copied fields holding a tab, a line break or a double quote are quoted with their quotes doubled,
// so that a paste keeps each in one cell.
TEST_F(GridSelection, CopiedFieldsWithQuotesTabsOrBreaksAreQuoted) {
    MakeGrid(2, 1);
    struct TCase {
        WideString Text;
        WideString Copied;
    };
    for (const TCase& Case :
         {TCase{u"plain", u"plain"}, TCase{u"say \"hi\"", u"\"say \"\"hi\"\"\""}, TCase{u"\"", u"\"\"\"\""},
          TCase{u"a\tb", u"\"a\tb\""}, TCase{u"two\r\nlines", u"\"two\r\nlines\""}, TCase{u"", u""}}) {
        Grid->SetCells(0, 0, Case.Text);
        Grid->SetSelectedRow(0);
        EXPECT_EQ(Grid->GetSelectionText(), Case.Copied + u"\tr0c1\r\n");
    }
}

TEST_F(GridSelection, ARightPressKeptForADragComesBackWhenTheDragIsCancelled) {
    MakeGrid(2, 6);
    Grid->SetOptions({goHeader, goMultiSelect, goSelectFullRow});
    ClickCell(0, 1);
    ClickCell(0, 3, Qt::ShiftModifier);
    ASSERT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
    const TRect R = Grid->GetCellRect(0, 5);
    QTest::mouseClick(W(), Qt::RightButton, Qt::NoModifier, QPoint(R.Left + 4, R.Top + 4));
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_TRUE(Grid->GetDragReselect());
    Grid->DragCanceled();
    EXPECT_FALSE(Grid->GetDragReselect());
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_EQ(Grid->GetSelectedCell(), (TPoint{0, 5}));
    // SelectedCell writes both coordinates and nothing else.
    int Events = 0;
    Grid->OnSelectCell = [&](TObject*, int, int) { ++Events; };
    Grid->SetSelectedCell(TPoint{1, 2});
    EXPECT_EQ(Grid->GetSelectedColumn(), 1);
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_EQ(Events, 0);
}

TEST_F(GridSelection, SlidesAreHitBySlideBoundsAndShowTheCurrentRowByTheirFrame) {
    MakeGrid(3, 6);
    Grid->SetGridStyle(gsSlides);
    Grid->SetSlideSize(40);
    Grid->GetColumns()->GetItem(1)->GetSlideBounds()->SetLeft(130);
    Grid->GetColumns()->GetItem(1)->GetSlideBounds()->SetWidth(60);
    Grid->GetColumns()->GetItem(2)->GetSlideBounds()->SetLeft(300);
    Paint();
    const TRect Slide = Grid->GetSlideRect(2);
    EXPECT_EQ(Grid->GetCellAtPos(TPoint{140, Slide.Top + 10}), (TPoint{1, 2}));
    EXPECT_EQ(Grid->GetCellAtPos(TPoint{20, Slide.Top + 10}), (TPoint{0, 2}));
    EXPECT_EQ(Grid->GetCellAtPos(TPoint{20, Slide.Top + 30}), (TPoint{-1, 2}))
        << "below every column's bounds";
    // Without full-row selection a move to another row repaints both slides' frames.
    Grid->SelectCell(0, 1);
    Paint();
    Grid->SelectCell(0, 2);
    auto Has = [&](const TRect& R) {
        return std::find(Grid->Invalidated.begin(), Grid->Invalidated.end(), R) != Grid->Invalidated.end();
    };
    EXPECT_TRUE(Has(Grid->GetSlideRect(2)));
    EXPECT_TRUE(Has(Grid->GetSlideRect(1)));
}

TEST_F(GridSelection, DeletingTheCurrentRowMovesTheSelection) {
    MakeGrid(1, 4);
    Grid->SetOptions({goHeader, goSelectFullRow});
    std::vector<int> Deselected;
    Grid->OnDeselectCell = [&](TObject*, int, int ARow) { Deselected.push_back(ARow); };
    Grid->SetSelectedRow(3);
    Grid->DeleteRow(3);
    EXPECT_EQ(Deselected, (std::vector<int>{3}));
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));

    Grid->SetSelectedRow(1);
    Deselected.clear();
    Grid->DeleteRow(1);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_EQ(Grid->GetCells(0, 1), u"r2c0");
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1})) << "the row that took its place shows as current";
    EXPECT_TRUE(Deselected.empty());

    Grid->DeleteRow(0);
    Grid->DeleteRow(0);
    EXPECT_EQ(Grid->GetSelectedRow(), -1);
    EXPECT_EQ(Grid->GetSelectedCount(), 0);
}

TEST_F(GridSelection, KeyboardMovesAskOnSelectionMoveForTheColumn) {
    MakeGrid(4, 3);
    Grid->SetSelectedRow(0);
    Focus();
    std::vector<TMoveSelectionKey> Keys;
    Grid->OnSelectionMove = [&](TObject*, int& ACol, int, TMoveSelectionKey Key) {
        Keys.push_back(Key);
        if (ACol == 1) ACol = 3;
    };
    Key(Qt::Key_Right);
    EXPECT_EQ(Grid->GetSelectedColumn(), 3) << "the handler skipped column 1";
    Key(Qt::Key_Left);
    EXPECT_EQ(Grid->GetSelectedColumn(), 2);
    Grid->OnSelectionMove = [&](TObject*, int& ACol, int, TMoveSelectionKey Key) {
        Keys.push_back(Key);
        ACol = 7; // no such column: the move is dropped
    };
    Key(Qt::Key_Right);
    EXPECT_EQ(Grid->GetSelectedColumn(), 2);
    Grid->OnSelectionMove = [&](TObject*, int& ACol, int, TMoveSelectionKey Key) {
        Keys.push_back(Key);
        if (ACol == 0) ACol = 1;
    };
    Grid->SetSelectedColumn(3);
    Grid->MoveToNextCell(true);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_EQ(Grid->GetSelectedColumn(), 1) << "the wrap to the first column asks too";
    EXPECT_EQ(Keys, (std::vector<TMoveSelectionKey>{mkArrows, mkArrows, mkArrows, mkTab}));
}

TEST_F(GridSelection, UpFromTheFirstRowEntersTheInputRowAndDownLeavesIt) {
    MakeGrid(2, 3);
    Grid->SetOptions({goHeader, goSelectFullRow, goInput});
    Grid->SetSelectedRow(1);
    Focus();
    Key(Qt::Key_Up);
    EXPECT_FALSE(Grid->GetInputSelected());
    Key(Qt::Key_Up);
    EXPECT_TRUE(Grid->GetInputSelected());
    EXPECT_EQ(SelectedRows(), std::vector<int>{}) << "the body shows no current row";
    Key(Qt::Key_Up);
    EXPECT_TRUE(Grid->GetInputSelected());
    Key(Qt::Key_Down);
    EXPECT_FALSE(Grid->GetInputSelected());
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0}));

    Grid->SetOptions({goHeader, goSelectFullRow});
    Key(Qt::Key_Up);
    EXPECT_FALSE(Grid->GetInputSelected()) << "no input row to go to";
}

TEST_F(GridSelection, EnterOnTheInputRowAddsARowOnlyInAllwaysMode) {
    MakeGrid(2, 3);
    Grid->SetOptions({goHeader, goInput});
    Grid->SetSelectedRow(0);
    Focus();
    Key(Qt::Key_Up);
    ASSERT_TRUE(Grid->GetInputSelected());
    EXPECT_EQ(Grid->GetInputEnterMode(), imEditing);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->GetRowCount(), 3);
    Grid->SetInputEnterMode(imAllways);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->GetRowCount(), 4);
}

TEST_F(GridSelection, DownInSlidesKeepsTheCurrentSlideInView) {
    MakeGrid(2, 12);
    Grid->SetGridStyle(gsSlides);
    Grid->SetSlideSize(40);
    Grid->SetSelectedRow(0);
    Focus();
    for (int i = 0; i < 11; ++i) {
        Key(Qt::Key_Down);
        const int Row = Grid->GetSelectedRow();
        EXPECT_EQ(Row, i + 1);
        EXPECT_LE(Grid->GetSlideRect(Row).Bottom, Grid->GetBodyRect().Bottom) << "slide " << Row;
    }
}

TEST_F(GridSelection, AHorizontalScrollRepaintsTheCurrentRowAndItsFocusRectangle) {
    MakeGrid(8, 5);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(2);
    Focus();
    Paint();
    Grid->Perform(WM_HSCROLL, SB_LINEDOWN, 0);
    const TRect Row = Grid->GetRowRect(2);
    bool Whole = false;
    for (const TRect& R : Grid->Invalidated)
        Whole |= R.Left <= 0 && R.Top <= Row.Top && R.Bottom >= Row.Top + Grid->GetRowHeight(2) &&
                 R.Right >= Grid->GetBodyRect().Right;
    EXPECT_TRUE(Whole);
}

TEST_F(GridSelection, CellFormatingSetsTheFontAndTheDisplayReceivesTheValue) {
    MakeGrid(0, 0);
    Grid->GetColumns()->Add<TNxTextColumn>(u"Text");
    Grid->AddRow(2);
    Grid->GetCell(0, 1)->SetAsString(u"hello");
    Grid->GetCell(0, 1)->SetFontStyle({fsItalic});
    TCanvas* Canvas = Grid->GetCanvas();

    std::vector<TCellState> States;
    Grid->OnCellFormating = [&](TObject*, int, int ARow, TColor& TextColor, TFontStyles& FontStyle,
                                TCellState CellState) {
        States.push_back(CellState);
        if (ARow == 1) TextColor = clRed;
        EXPECT_FALSE(FontStyle.Contains(fsUnderline));
    };
    Canvas->GetFont()->SetStyle({fsUnderline});
    EXPECT_TRUE(Grid->DrawCellData(0, 1, TCellState{csBoldTextSelection}));
    EXPECT_EQ(Canvas->GetFont()->GetColor(), clRed);
    EXPECT_EQ(Canvas->GetFont()->GetStyle(), (TFontStyles{fsItalic, fsBold}));
    auto* Display = dynamic_cast<TVirtualColElement*>(Grid->GetColumns()->GetItem(0)->GetColumnDisplay());
    ASSERT_NE(Display, nullptr);
    EXPECT_EQ(Display->GetAsString(), u"hello");

    Grid->DrawCellData(0, 0, TCellState{});
    EXPECT_NE(Canvas->GetFont()->GetColor(), clRed) << "the column's color stays for other rows";
    EXPECT_EQ(Canvas->GetFont()->GetStyle(), TFontStyles{});
    EXPECT_EQ(States.size(), 2u);
    EXPECT_TRUE(States[0].Contains(csBoldTextSelection));
}

TEST_F(GridSelection, PaintedTextTakesTheFormatingColor) {
    MakeGrid(0, 0);
    Grid->GetColumns()->Add<TNxTextColumn>(u"Text")->SetWidth(120);
    Grid->AddRow(3);
    for (int r = 0; r < 3; ++r)
        Grid->GetCell(0, r)->SetAsString(u"WWWW");
    Grid->OnCellFormating = [](TObject*, int, int ARow, TColor& TextColor, TFontStyles&, TCellState) {
        if (ARow == 1) TextColor = clRed;
    };
    Grid->Invalidate();
    Paint();
    auto RedPixels = [&](int ARow) {
        TRect R = Grid->GetCellRect(0, ARow);
        int Count = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                Count += PixelAt(x, y) == qRgb(255, 0, 0);
        return Count;
    };
    Pixels().save(QString::fromStdString(OutDir() + "/grid-cell-formating.png"));
    EXPECT_GT(RedPixels(1), 10);
    EXPECT_EQ(RedPixels(0), 0);
    EXPECT_EQ(RedPixels(2), 0);
}

// The decision alone, no window: what the modifiers ask for in each mode.
TEST(SelectDecision, ModifiersAndModeChooseTheAction) {
    TSelectRequest Multi;
    Multi.MultiSelect = true;
    Multi.FullRow = true;
    Multi.MultiSelected = true;
    EXPECT_TRUE(DecideSelect(Multi).ClearFirst) << "a plain press starts a multi-selection over";
    EXPECT_EQ(DecideSelect(Multi).Action, saRow);

    TSelectRequest Right = Multi;
    Right.Deselect = false;
    EXPECT_FALSE(DecideSelect(Right).ClearFirst) << "a right press keeps it";

    TSelectRequest Ctrl = Multi;
    Ctrl.Ctrl = true;
    EXPECT_FALSE(DecideSelect(Ctrl).ClearFirst);
    EXPECT_EQ(DecideSelect(Ctrl).Action, saToggleRow);
    TSelectRequest Shift = Multi;
    Shift.Shift = true;
    EXPECT_EQ(DecideSelect(Shift).Action, saRange);
    Shift.Ctrl = true;
    EXPECT_EQ(DecideSelect(Shift).Action, saAddRange) << "Ctrl+Shift keeps the rows outside the range";

    TSelectRequest Single = Ctrl;
    Single.MultiSelect = false;
    Single.MultiSelected = false;
    EXPECT_EQ(DecideSelect(Single).Action, saRow) << "modifiers mean nothing without multi-select";
    Single.FullRow = false;
    EXPECT_EQ(DecideSelect(Single).Action, saCell);
    Single.InputSelected = true;
    EXPECT_EQ(DecideSelect(Single).Action, saInputColumn);
}
