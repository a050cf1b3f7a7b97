// The cell store: which cell kind each operation creates, rows and cells moving together,
// the visible row count, the current coordinates, the row tree, and index checking.

#include <gtest/gtest.h>

#include "grid/model/FakeGrid.h"

namespace {

template <typename F> std::string ErrorOf(F&& Action) {
    try {
        Action();
    } catch (const EListError& E) {
        return E.what();
    }
    return "no list error";
}

// Two text columns; cell (c, r) holds "c:r" and row r has height 20 + r, so a row's record and
// its cells can be recognised after they moved.
class TMarkedGrid {
public:
    explicit TMarkedGrid(int Rows) {
        Grid.AddColumn();
        Grid.AddColumn();
        Grid.Cells->AddRow(Rows);
        for (int r = 0; r < Rows; ++r) {
            Grid.Cells->GetRow(r)->Height = 20 + r;
            for (int c = 0; c < 2; ++c)
                Grid.Cells->GetCell(c, r)->SetAsString(IntToStr(c) + u":" + IntToStr(r));
        }
        Grid.ClearReports();
    }
    // The original row number of whatever stands at Row now, checked across the record and
    // both cells.
    int OriginalOf(int Row) {
        int FromRecord = Grid.Cells->GetRow(Row)->Height - 20;
        EXPECT_EQ(Grid.Cells->GetCell(0, Row)->GetAsString(), u"0:" + IntToStr(FromRecord));
        EXPECT_EQ(Grid.Cells->GetCell(1, Row)->GetAsString(), u"1:" + IntToStr(FromRecord));
        return FromRecord;
    }
    std::vector<int> Order() {
        std::vector<int> Result;
        for (int r = 0; r < Grid.Cells->GetRowCount(); ++r)
            Result.push_back(OriginalOf(r));
        return Result;
    }
    TFakeGrid Grid;
};

} // namespace

TEST(Cells, NewStoreIsEmpty) {
    TFakeGrid Grid;
    EXPECT_EQ(Grid.Cells->GetRowCount(), 0);
    EXPECT_EQ(Grid.Cells->GetColumnCount(), 0);
    EXPECT_EQ(Grid.Cells->GetVisibleRowCount(), 0);
    EXPECT_FALSE(Grid.Cells->GetSorted());
    // Rows need a column; with none, adding rows still counts records.
    Grid.Cells->AddRow(2);
    EXPECT_EQ(Grid.Cells->GetRowCount(), 2);
    Grid.Cells->AddRow(0);
    Grid.Cells->AddRow(-4);
    EXPECT_EQ(Grid.Cells->GetRowCount(), 2);
}

TEST(Cells, ChangeReportsTheCoordinatesOfTheMostRecentLookup) {
    TFakeGrid Grid;
    Grid.AddColumn();
    Grid.AddColumn();
    Grid.AddColumn();
    Grid.Cells->AddRow(6);
    Grid.Cells->SetSorted(true);
    TCell* Cell = Grid.Cells->GetCell(2, 5);
    Grid.Cells->GetCell(0, 0);
    Cell->SetAsString(u"x");
    ASSERT_EQ(Grid.CellReports.size(), 1u);
    EXPECT_EQ(Grid.CellReports[0], std::make_pair(0, 0));
    EXPECT_FALSE(Grid.Cells->GetSorted());
}

TEST(Cells, EachOperationCreatesTheCellKindOfItsTable) {
    TFakeGrid Grid;
    Grid.AddColumn<TTypedColumn<ctAutoInc>>();
    Grid.AddColumn<TTypedColumn<ctGuid>>();
    Grid.AddColumn<TTypedColumn<ctBoolean>>();
    Grid.AddColumn<TTypedColumn<ctMemo>>();
    Grid.Cells->AddRow(2);
    Grid.Cells->InsertRow(1);
    Grid.Cells->AddChildRow(0, 1);
    auto KindAt = [&](int c, int r) { return std::string(typeid(*Grid.Cells->GetCell(c, r)).name()); };
    // Row 0 added, row 1 the child, row 2 inserted, row 3 added.
    EXPECT_EQ(KindAt(0, 0), typeid(TIncrementCell).name());
    EXPECT_EQ(KindAt(0, 1), typeid(TIncrementCell).name());
    EXPECT_EQ(KindAt(0, 2), typeid(TIntegerCell).name());
    EXPECT_EQ(Grid.Cells->GetCell(0, 2)->GetAsInteger(), 0);
    EXPECT_EQ(KindAt(1, 0), typeid(TGuidCell).name());
    EXPECT_EQ(KindAt(1, 1), typeid(TStringCell).name());
    EXPECT_EQ(KindAt(1, 2), typeid(TStringCell).name());
    EXPECT_EQ(KindAt(2, 2), typeid(TBooleanCell).name());
    EXPECT_EQ(KindAt(3, 1), typeid(TStringCell).name());

    // A column added or inserted later: added gives increments and GUIDs, inserted integers and GUIDs.
    Grid.AddColumn<TTypedColumn<ctAutoInc>>();
    Grid.Columns->Insert(ColumnClassOf<TTypedColumn<ctAutoInc>>(), 0);
    Grid.Columns->Insert(ColumnClassOf<TTypedColumn<ctGuid>>(), 0);
    EXPECT_EQ(KindAt(6, 3), typeid(TIncrementCell).name());
    EXPECT_EQ(KindAt(1, 3), typeid(TIntegerCell).name());
    EXPECT_EQ(KindAt(0, 3), typeid(TGuidCell).name());
    EXPECT_TRUE(Grid.CellReports.empty());
}

TEST(Cells, InsertDeleteMoveAndSwapKeepCellsWithTheirRows) {
    TMarkedGrid M(5);
    M.Grid.Cells->MoveRow(0, 3);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 2, 3, 0, 4}));
    M.Grid.Cells->MoveRow(4, 1);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 4, 2, 3, 0}));
    M.Grid.Cells->MoveRow(1, 4);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 2, 3, 0, 4}));
    M.Grid.Cells->MoveRow(2, 2);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 2, 3, 0, 4}));
    M.Grid.Cells->SwapRows(1, 4);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 4, 3, 0, 2}));
    M.Grid.Cells->DeleteRow(2);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 4, 0, 2}));
    M.Grid.Cells->InsertRow(1);
    EXPECT_EQ(M.Grid.Cells->GetCell(0, 1)->GetAsString(), u"");
    EXPECT_EQ(M.Grid.Cells->GetRow(1)->Height, 16);
    M.Grid.Cells->DeleteRow(1);
    EXPECT_EQ(M.Order(), (std::vector<int>{1, 4, 0, 2}));
    M.Grid.Cells->InsertRow(4);
    EXPECT_EQ(M.Grid.Cells->GetRowCount(), 5);
    // No row operation reports cell changes.
    EXPECT_TRUE(M.Grid.CellReports.empty());
}

TEST(Cells, SortMemoryIsClearedByAddInsertMoveButNotByDeleteOrSwap) {
    TMarkedGrid M(3);
    TCells& Cells = *M.Grid.Cells;
    Cells.SetSorted(true);
    Cells.DeleteRow(0);
    Cells.SwapRows(0, 1);
    EXPECT_TRUE(Cells.GetSorted());
    Cells.MoveRow(0, 1);
    EXPECT_FALSE(Cells.GetSorted());
    Cells.SetSorted(true);
    Cells.InsertRow(0);
    EXPECT_FALSE(Cells.GetSorted());
    Cells.SetSorted(true);
    Cells.AddRow(1);
    EXPECT_FALSE(Cells.GetSorted());
}

TEST(Cells, VisibleRowCountFollowsTheVisibleAndShownFlags) {
    TMarkedGrid M(4);
    TCells& Cells = *M.Grid.Cells;
    EXPECT_EQ(Cells.GetVisibleRowCount(), 4);
    Cells.ShowRow(1, false);
    Cells.ShowRow(1, false);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 3);
    // Deleting a hidden row leaves the count; deleting a visible one lowers it.
    Cells.DeleteRow(1);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 3);
    Cells.DeleteRow(0);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 2);
    Cells.ExpandRow(0, false);
    Cells.ExpandRow(0, false);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 1);
    Cells.ExpandRow(0, true);
    Cells.ShowRow(0, true);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 2);
    Cells.InsertRow(0);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 3);
    // A row both hidden and collapsed away is off screen once; deleting it changes nothing.
    Cells.ShowRow(2, false);
    Cells.ExpandRow(2, false);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 2);
    Cells.ShowRow(2, true);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 2);
    Cells.DeleteRow(2);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 2);
    // A row moving under a collapsed parent leaves the screen.
    Cells.GetRow(0)->Expanded = false;
    Cells.MoveChildRow(1, Cells.GetRow(0));
    EXPECT_EQ(Cells.GetVisibleRowCount(), 1);
    Cells.ClearRows();
    EXPECT_EQ(Cells.GetVisibleRowCount(), 0);
    EXPECT_EQ(Cells.GetRowCount(), 0);
    EXPECT_EQ(Cells.GetColumnCount(), 2);
}

TEST(Cells, DeletingTheOnlyColumnDropsEveryRow) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    Grid.Cells->AddRow(3);
    Grid.Cells->GetRow(2)->Selected = true;
    delete Column;
    EXPECT_EQ(Grid.Cells->GetRowCount(), 0);
    EXPECT_EQ(Grid.Cells->GetVisibleRowCount(), 0);
    EXPECT_THROW(Grid.Cells->GetRow(0), EListError);
    Grid.AddColumn();
    Grid.Cells->AddRow(3);
    EXPECT_FALSE(Grid.Cells->GetRow(2)->Selected);
    EXPECT_EQ(Grid.Cells->GetCell(0, 2)->GetAsString(), u"");
}

TEST(Cells, RowRecordsStartWithTheirDefaults) {
    TFakeGrid Grid;
    Grid.AddColumn();
    Grid.Cells->SetDefaultRowHeight(22);
    Grid.Cells->AddRow(1);
    TRow* Row = Grid.Cells->GetRow(0);
    EXPECT_EQ(Row->Height, 22);
    EXPECT_EQ(Row->ChildCount, 0);
    EXPECT_TRUE(Row->Expanded);
    EXPECT_EQ(Row->ImageIndex, -1);
    EXPECT_EQ(Row->Level, 0);
    EXPECT_EQ(Row->ParentRow, nullptr);
    EXPECT_FALSE(Row->Selected);
    EXPECT_TRUE(Row->Shown);
    EXPECT_TRUE(Row->Visible);
    EXPECT_EQ(Grid.Cells->GetRowIndex(Row), 0);
    TRow Stranger;
    EXPECT_EQ(Grid.Cells->GetRowIndex(&Stranger), -1);
}

TEST(Cells, ChildRowsFollowTheirParentAndCountAsTheTreeSays) {
    TFakeGrid Grid;
    Grid.AddColumn();
    TCells& Cells = *Grid.Cells;
    Cells.AddRow(2);
    Cells.AddChildRow(0, 1); // child A of row 0
    Cells.AddChildRow(1, 2); // grandchild under A
    Cells.AddChildRow(0, 3); // child B of row 0
    ASSERT_EQ(Cells.GetRowCount(), 5);
    TRow* Root = Cells.GetRow(0);
    EXPECT_EQ(Root->ChildCount, 2);
    EXPECT_EQ(Cells.GetRow(2)->Level, 2);
    EXPECT_EQ(Cells.GetRow(2)->ParentRow, Cells.GetRow(1));
    EXPECT_EQ(Cells.GetChildCount(Root), 3);
    EXPECT_EQ(Cells.GetChildsCount(Root), 2);
    EXPECT_EQ(Cells.GetAbsoluteIndex(0, Root), 1);
    EXPECT_EQ(Cells.GetAbsoluteIndex(1, Root), 3);
    EXPECT_EQ(Cells.GetAbsoluteIndex(2, Root), -1);
    EXPECT_EQ(Cells.GetChildCount(Cells.GetRow(4)), 0);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 5);

    // Under a collapsed parent a child is not shown and not counted.
    Cells.GetRow(4)->Expanded = false;
    Cells.AddChildRow(4, 5);
    EXPECT_FALSE(Cells.GetRow(5)->Shown);
    EXPECT_EQ(Cells.GetVisibleRowCount(), 5);
    Cells.MoveChildRow(5, Root);
    EXPECT_TRUE(Cells.GetRow(5)->Shown);
}

TEST(Cells, CellsAreFoundByObject) {
    TMarkedGrid M(3);
    TCell* Cell = M.Grid.Cells->GetCell(1, 2);
    M.Grid.Cells->GetCell(0, 0);
    EXPECT_EQ(M.Grid.Cells->GetCellColumnIndex(Cell), 1);
    EXPECT_EQ(M.Grid.Cells->GetCellRowIndex(Cell), 2);
    EXPECT_EQ(M.Grid.Cells->GetCellRowIndex(nullptr), -1);
}

TEST(Cells, CompareHandlerIsCalledOnlyWhenSet) {
    TMarkedGrid M(2);
    int Compare = 7;
    M.Grid.Cells->DoCellCompare(nullptr, nullptr, Compare);
    EXPECT_EQ(Compare, 7);
    M.Grid.Cells->OnCompare = [](TObject*, TCell* A, TCell* B, int& Result) {
        Result = A->GetAsString().compare(B->GetAsString());
    };
    TCell* A = M.Grid.Cells->GetCell(0, 0);
    TCell* B = M.Grid.Cells->GetCell(0, 1);
    M.Grid.Cells->DoCellCompare(A, B, Compare);
    EXPECT_LT(Compare, 0);
}

TEST(Cells, EveryIndexOutsideTheRowsOrColumnsRaisesTheListError) {
    TMarkedGrid M(3);
    TCells& Cells = *M.Grid.Cells;
    Cells.GetCell(1, 1);
    EXPECT_EQ(ErrorOf([&] { Cells.GetCell(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.GetCell(0, -1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { Cells.GetCell(2, 0); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { Cells.GetCell(-1, 0); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { Cells.GetCell(1024, 0); }), "List index out of bounds (1024)");
    // A failed lookup leaves the current coordinates alone.
    EXPECT_EQ(Cells.GetCurrentColumn(), 1);
    EXPECT_EQ(Cells.GetCurrentRow(), 1);
    EXPECT_EQ(ErrorOf([&] { Cells.GetRow(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.DeleteRow(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.InsertRow(4); }), "List index out of bounds (4)");
    EXPECT_EQ(ErrorOf([&] { Cells.InsertRow(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { Cells.MoveRow(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.MoveRow(-2, 0); }), "List index out of bounds (-2)");
    EXPECT_EQ(ErrorOf([&] { Cells.SwapRows(3, 0); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.ShowRow(9, false); }), "List index out of bounds (9)");
    EXPECT_EQ(ErrorOf([&] { Cells.ExpandRow(-1, false); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { Cells.AddChildRow(3, 0); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { Cells.AddChildRow(0, 4); }), "List index out of bounds (4)");
    EXPECT_EQ(ErrorOf([&] { Cells.MoveChildRow(5, nullptr); }), "List index out of bounds (5)");
    EXPECT_EQ(ErrorOf([&] { Cells.ColumnsChange(opDelete, 2, -1); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { Cells.ColumnsChange(opMove, 0, 5); }), "List index out of bounds (5)");
    // Nothing changed on the way.
    EXPECT_EQ(Cells.GetRowCount(), 3);
    EXPECT_EQ(Cells.GetColumnCount(), 2);
    EXPECT_EQ(M.Order(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Cells.GetVisibleRowCount(), 3);
}
