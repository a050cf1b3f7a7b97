// Rows made from texts, reserved and made at load, cells found by name, and the row tree's
// queries and deletions; every one of them refusing indices outside the grid.

#include <gtest/gtest.h>

#include "grid/view/GridTestSupport.h"
#include "platform/runtime/Exception.h"

namespace {
using GridRows = GridFixture;

class THintColumn : public TNxCustomColumn {
public:
    explicit THintColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) {}
    WideString GetHintText(const TCellInfo& CellInfo) override { return u"full: " + CellInfo.AsString; }
};

struct THintGrid : TNextGrid {
    using TNextGrid::GetHintText;
    using TNextGrid::TNextGrid;
};

std::vector<WideString> Column0(TNextGrid* Grid) {
    std::vector<WideString> Result;
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        Result.push_back(Grid->GetCells(0, r));
    return Result;
}

// Rows named by column 0: "p" (0) with children "a" (1, holding "a1" 2) and "b" (3); then "q" (4).
void MakeTree(TNextGrid* Grid) {
    Grid->GetCell(0, 0)->SetAsString(u"p");
    Grid->GetCell(0, 1)->SetAsString(u"q");
    int A = Grid->AddChildRow(0, crLast);
    Grid->GetCell(0, A)->SetAsString(u"a");
    int A1 = Grid->AddChildRow(A, crLast);
    Grid->GetCell(0, A1)->SetAsString(u"a1");
    int B = Grid->AddChildRow(0, crLast);
    Grid->GetCell(0, B)->SetAsString(u"b");
}
} // namespace

TEST_F(GridRows, AddCellsFillsRowsInIndexOrderAndSpillsIntoFurtherRows) {
    MakeGrid(3, 0);
    std::vector<int> Added;
    Grid->OnDataChange = [&](TObject*, TDataChange Kind, int Index) {
        if (Kind == dcAddRow) Added.push_back(Index);
    };
    EXPECT_EQ(Grid->AddCells({u"a", u"b", u"c", u"d"}), 1);
    EXPECT_EQ(Grid->GetRowCount(), 2);
    EXPECT_EQ(Grid->GetCells(2, 0), u"c");
    EXPECT_EQ(Grid->GetCells(0, 1), u"d");
    EXPECT_EQ(Grid->GetCells(1, 1), u"");
    EXPECT_EQ(Added, (std::vector<int>{0, 1}));
    EXPECT_EQ(Grid->AddCells({}), 2) << "an empty list still adds its row";

    Grid->AddCells({u"x", u"y", u"z", u"w", u"v"}, 1);
    EXPECT_EQ(Grid->GetRowCount(), 5) << "rows added up to the number of values";
    EXPECT_EQ(Grid->GetCells(1, 0), u"x");
    EXPECT_EQ(Grid->GetCells(0, 0), u"a") << "other columns untouched";
    EXPECT_EQ(Grid->GetCells(1, 4), u"v");

    EXPECT_THROW(Grid->AddCells({u"1", u"2", u"3", u"4", u"5", u"6"}, 3), EListError);
    EXPECT_EQ(Grid->GetRowCount(), 5) << "nothing added for a column that does not exist";
}

TEST_F(GridRows, AddCellsWithoutColumnsAddsOneRow) {
    MakeGrid(0, 0);
    EXPECT_EQ(Grid->AddCells({u"a", u"b"}), 0);
    EXPECT_EQ(Grid->GetRowCount(), 1);
}

TEST_F(GridRows, StartRowCountAddsAndRemovesRowsFromTheTop) {
    MakeGrid(1, 0);
    Grid->SetStartRowCount(3);
    EXPECT_EQ(Grid->GetRowCount(), 3);
    for (int r = 0; r < 3; ++r)
        Grid->SetCells(0, r, u"s" + ToWide(r));
    Grid->SetStartRowCount(-1);
    Grid->SetStartRowCount(3);
    EXPECT_EQ(Grid->GetStartRowCount(), 3);
    EXPECT_EQ(Grid->GetRowCount(), 3);

    Grid->SetStartRowCount(1);
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"s2"})) << "the first rows went";

    // Fewer rows than the old value: only as many as exist count.
    Grid->SetStartRowCount(5);
    Grid->SetRowCount(2);
    Grid->SetStartRowCount(1);
    EXPECT_EQ(Grid->GetRowCount(), 1);
    Grid->SetStartRowCount(0);
    EXPECT_EQ(Grid->GetRowCount(), 0);
}

TEST_F(GridRows, ReservedRowsComeWithoutDefaultsOrEventsAndRepaintOnce) {
    MakeGrid(2, 1);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goUseDefaultValues});
    Grid->GetColumns()->GetItem(1)->SetDefaultValue(u"0");
    int DataChanges = 0;
    int Changes = 0;
    Grid->OnDataChange = [&](TObject*, TDataChange, int) { ++DataChanges; };
    Grid->OnChange = [&](TObject*, int, int) { ++Changes; };
    Paint();
    Grid->ReserveRows(50);
    EXPECT_EQ(Grid->GetRowCount(), 51);
    EXPECT_EQ(Grid->GetCells(1, 50), u"");
    EXPECT_EQ(DataChanges + Changes, 0);
    EXPECT_EQ(Grid->AddRow(0), 50) << "the last added row";
    EXPECT_GE(Grid->GetVertMax(), 1) << "the bar knows the new rows";
    EXPECT_FALSE(Grid->Invalidated.empty());
    EXPECT_LE(Grid->Invalidated.size(), 2u) << "body and indicator, not row by row";
    Grid->ReserveRows(0);
    EXPECT_EQ(Grid->GetRowCount(), 51);
}

TEST_F(GridRows, CellsAreFoundByNamesNumbersAndColumnNames) {
    MakeGrid(3, 4);
    Grid->SetName("JobGrid");
    Grid->GetColumns()->GetItem(1)->SetName("Status");
    Grid->SetSelectedRow(2);
    EXPECT_EQ(Grid->GetCellsByName(WideString(u"first"), WideString(u"LAST")), u"r3c0");
    EXPECT_EQ(Grid->GetCellsByName(WideString(u"status"), WideString(u"Selected")), u"r2c1");
    EXPECT_EQ(Grid->GetCellsByName(WideString(u"Last"), 1), u"r1c2");
    EXPECT_EQ(Grid->GetCellsByName(WideString(u"2"), WideString(u"0")), u"r0c2");
    EXPECT_EQ(Grid->GetCellsByName(WideString(u"Selected"), WideString(u"First")), u"r0c0");
    Grid->SetCellsByName(WideString(u"Status"), 3, u"Decoded");
    EXPECT_EQ(Grid->GetCells(1, 3), u"Decoded");

    try {
        Grid->GetCellByName(0, WideString(u"Middle"));
        ADD_FAILURE() << "no exception";
    } catch (const EListError&) {
        ADD_FAILURE() << "a name is no index";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Invalid Rowname 'Middle' for 'TRecordingGrid:JobGrid'.");
    }
    try {
        Grid->GetCellByName(WideString(u"Progress"), 0);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Invalid Columnname 'Progress' for 'TRecordingGrid:JobGrid'.");
    }
    EXPECT_THROW(Grid->GetCellByName(3, 0), EListError);
    EXPECT_THROW(Grid->GetCellByName(0, WideString(u"4")), EListError);
}

TEST_F(GridRows, TreeQueriesWalkFromTheRowAndStopAtAShallowerRow) {
    MakeGrid(1, 2);
    MakeTree(Grid);
    ASSERT_EQ(Column0(Grid), (std::vector<WideString>{u"p", u"a", u"a1", u"b", u"q"}));
    EXPECT_EQ(Grid->GetChildCount(0, true), 3);
    EXPECT_EQ(Grid->GetChildCount(0, false), 2);
    EXPECT_EQ(Grid->GetChildCount(4), 0);
    EXPECT_EQ(Grid->GetFirstChild(0), 1);
    EXPECT_EQ(Grid->GetFirstChild(3), -1);
    EXPECT_EQ(Grid->GetLastChild(0), 3);
    EXPECT_EQ(Grid->GetLastChild(2), -1);
    EXPECT_EQ(Grid->GetNextSibling(1), 3) << "past a's own child";
    EXPECT_EQ(Grid->GetNextSibling(3), -1) << "q is shallower";
    EXPECT_EQ(Grid->GetNextSibling(0), 4);
    EXPECT_EQ(Grid->GetPrevSibling(3), 1);
    EXPECT_EQ(Grid->GetPrevSibling(1), -1);
    EXPECT_EQ(Grid->GetParent(2), 1);
    EXPECT_EQ(Grid->GetParent(3), 0);
    EXPECT_EQ(Grid->GetParent(4), -1);
    EXPECT_TRUE(Grid->HasChildren(1));
    EXPECT_FALSE(Grid->HasChildren(2));
    EXPECT_EQ(Grid->GetLevel(2), 2);

    int Row = 2;
    int Next = 0;
    Grid->ParentRowProc(Row, Next);
    EXPECT_EQ(Row, 1);
    EXPECT_EQ(Next, 3);
    Grid->ParentRowProc(Row, Next);
    EXPECT_EQ(Row, 0);
    EXPECT_EQ(Next, 4);
    Grid->ParentRowProc(Row, Next);
    EXPECT_EQ(Row, -1);
    EXPECT_EQ(Next, -1);
}

TEST_F(GridRows, DeletingARowTakesItsDescendantsAndTheParentLosesAChild) {
    MakeGrid(1, 2);
    MakeTree(Grid);
    Grid->SetExpanded(1, false); // a1 collapsed away
    EXPECT_EQ(Grid->GetVisibleRows(), 4);
    std::vector<int> Deleted;
    Grid->OnDataChange = [&](TObject*, TDataChange Kind, int Index) {
        if (Kind == dcDeleteRow) Deleted.push_back(Index);
    };
    Grid->DeleteRow(1);
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"p", u"b", u"q"}));
    EXPECT_EQ(Grid->GetVisibleRows(), 3) << "the collapsed child is not counted out twice";
    EXPECT_EQ(Deleted, (std::vector<int>{1})) << "descendants go without events";
    EXPECT_EQ(Grid->GetParent(1), 0);

    Grid->DeleteRow(1);
    EXPECT_FALSE(Grid->HasChildren(0)) << "p lost its last child";
    int C = Grid->AddChildRow(0, crLast);
    EXPECT_EQ(C, 1);
    EXPECT_TRUE(Grid->HasChildren(0));
}

TEST_F(GridRows, DeleteChildRowNamesADirectChildAndRejectsAMissingOne) {
    MakeGrid(1, 2);
    MakeTree(Grid);
    Grid->DeleteChildRow(0, 1); // b
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"p", u"a", u"a1", u"q"}));
    EXPECT_THROW(Grid->DeleteChildRow(0, 1), EListError);
    EXPECT_THROW(Grid->DeleteChildRow(0, -1), EListError);
    EXPECT_EQ(Grid->GetRowCount(), 4);
    Grid->DeleteChildRow(3, 0); // q has no descendants: nothing
    EXPECT_EQ(Grid->GetRowCount(), 4);
    Paint();
    Grid->DeleteChildRow(1, 0); // a's only child
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"p", u"a", u"q"}));
    EXPECT_FALSE(Grid->HasChildren(1));
    const TRect ParentRect = Grid->GetRowRect(1);
    bool ParentRepainted = false;
    for (const TRect& R : Grid->Invalidated)
        ParentRepainted |= R.Top <= ParentRect.Top && R.Bottom >= ParentRect.Bottom;
    EXPECT_TRUE(ParentRepainted) << "its expand button goes";
}

TEST_F(GridRows, ClearChildRowsKeepsTheCurrentRowAndTheViewOnTheirRows) {
    MakeGrid(1, 2);
    MakeTree(Grid);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(2); // a1
    int DataChanges = 0;
    Grid->OnDataChange = [&](TObject*, TDataChange, int) { ++DataChanges; };
    Grid->ClearChildRows(0);
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"p", u"q"}));
    EXPECT_EQ(DataChanges, 0);
    EXPECT_FALSE(Grid->HasChildren(0));
    EXPECT_EQ(Grid->GetVisibleRows(), 2);
    EXPECT_EQ(Grid->GetSelectedRow(), 0) << "the current row was among them: its parent";
    EXPECT_TRUE(Grid->GetSelected(0));
    EXPECT_EQ(Grid->GetSelectedCount(), 1);

    MakeTree(Grid); // p, a, a1, b, q again below the first p
    Grid->SetSelectedRow(Grid->GetRowCount() - 1);
    const WideString Current = Grid->GetCells(0, Grid->GetSelectedRow());
    Grid->ClearChildRows(0);
    EXPECT_EQ(Grid->GetCells(0, Grid->GetSelectedRow()), Current) << "a row below follows its contents";
}

TEST_F(GridRows, IndicesOutsideTheRowsRaiseTheListErrorAndChangeNothing) {
    MakeGrid(2, 3);
    Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    Grid->SetSelectedRow(1);
    const auto Before = Column0(Grid);
    EXPECT_THROW(Grid->GetChildCount(3), EListError);
    EXPECT_THROW(Grid->GetParent(-1), EListError);
    EXPECT_THROW(Grid->GetNextSibling(3), EListError);
    EXPECT_THROW(Grid->ClearChildRows(3), EListError);
    EXPECT_THROW(Grid->DeleteChildRow(-1, 0), EListError);
    EXPECT_THROW(Grid->SetRowImageIndex(3, 1), EListError);
    EXPECT_THROW(Grid->GetRowImageIndex(-1), EListError);
    EXPECT_NO_THROW(Grid->SelectRange(0, 3, true)); // a missing end: nothing, no error
    EXPECT_THROW(Grid->SetSelected(3, true), EListError);
    EXPECT_THROW(Grid->GetSelected(-1), EListError);
    EXPECT_THROW(Grid->DeleteRow(3), EListError);
    EXPECT_THROW(Grid->InsertRow(4), EListError);
    EXPECT_EQ(Column0(Grid), Before);
    EXPECT_EQ(Grid->GetSelectedCount(), 1);
    EXPECT_FALSE(Grid->GetSelected(0)) << "the failed range selected nothing";
    Grid->SetRowImageIndex(2, 5);
    EXPECT_EQ(Grid->GetRowImageIndex(2), 5);
}

TEST(GridHintText, TheColumnFormsTheHintFromTheCellValue) {
    THintGrid Grid(nullptr);
    Grid.GetColumns()->Add<THintColumn>(u"Path");
    Grid.AddRow(1);
    Grid.GetCell(0, 0)->SetAsString(u"/a/b");
    EXPECT_EQ(Grid.GetHintText(0, 0), u"full: /a/b");
    EXPECT_EQ(Grid.GetDrawText(0, 0), u"/a/b");
    EXPECT_THROW(Grid.GetHintText(0, 1), EListError);
}
