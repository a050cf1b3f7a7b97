// Row operations of the grid component: moving and swapping rows with the selection following,
// default values of new rows, update batching that survives a raising handler, and cell hints.

#include <gtest/gtest.h>

#include <stdexcept>

#include "grid/view/GridTestSupport.h"
#include "platform/runtime/Exception.h"

namespace {
using GridOperations = GridFixture;

std::vector<WideString> Column0(TNextGrid* Grid) {
    std::vector<WideString> Result;
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        Result.push_back(Grid->GetCells(0, r));
    return Result;
}
} // namespace

TEST_F(GridOperations, MoveAndSwapRowsCarryTheSelectionAndRejectBadIndices) {
    MakeGrid(2, 5);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(1);
    Grid->MoveRow(1, 3);
    EXPECT_EQ(Column0(Grid), (std::vector<WideString>{u"r0c0", u"r2c0", u"r3c0", u"r1c0", u"r4c0"}));
    EXPECT_EQ(Grid->GetSelectedRow(), 3);
    EXPECT_TRUE(Grid->GetSelected(3));
    Grid->MoveRow(4, 0);
    EXPECT_EQ(Grid->GetCells(0, 0), u"r4c0");
    EXPECT_EQ(Grid->GetSelectedRow(), 4) << "shifted down with its row";

    Grid->SwapRows(4, 0);
    EXPECT_EQ(Grid->GetCells(0, 4), u"r4c0");
    EXPECT_EQ(Grid->GetCells(0, 0), u"r1c0");
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_TRUE(Grid->GetSelected(0));

    auto Before = Column0(Grid);
    EXPECT_THROW(Grid->MoveRow(0, 5), EListError);
    EXPECT_THROW(Grid->MoveRow(-1, 2), EListError);
    EXPECT_THROW(Grid->SwapRows(2, 5), EListError);
    EXPECT_EQ(Column0(Grid), Before);
    EXPECT_EQ(Grid->GetSelectedRow(), 0);

    Grid->ClearRow(2);
    EXPECT_EQ(Grid->GetCells(0, 2), u"");
    Grid->ClearRow(9);
}

TEST_F(GridOperations, DefaultValuesFillNewRowsWithOneChangePerCellUnlessUpdating) {
    MakeGrid(3, 0);
    Grid->GetColumns()->GetItem(1)->SetDefaultValue(u"0");
    int Changes = 0;
    Grid->OnChange = [&](TObject*, int, int) { ++Changes; };
    Grid->AddRow(2);
    EXPECT_EQ(Grid->GetCells(1, 1), u"") << "defaults only with goUseDefaultValues";
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goUseDefaultValues});
    Grid->AddRow(2);
    EXPECT_EQ(Grid->GetCells(1, 3), u"0");
    EXPECT_EQ(Grid->GetCells(0, 3), u"");
    EXPECT_EQ(Changes, 2);
    Grid->BeginUpdate();
    Grid->AddRow(3);
    Grid->EndUpdate();
    EXPECT_EQ(Grid->GetCells(1, 6), u"0");
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Grid->AddRow(0), 6) << "nothing added, the last added row";
}

TEST_F(GridOperations, HandlerRaisingInsideAnUpdateLeavesTheCountBalanced) {
    MakeGrid(2, 1);
    Grid->OnDataChange = [](TObject*, TDataChange, int) { throw std::runtime_error("handler"); };
    EXPECT_THROW(
        {
            Grid->BeginUpdate();
            try {
                Grid->AddRow(1);
            } catch (...) {
                Grid->EndUpdate();
                throw;
            }
            Grid->EndUpdate();
        },
        std::runtime_error);
    EXPECT_EQ(Grid->GetUpdateCount(), 0);
    EXPECT_EQ(Grid->GetRowCount(), 2) << "the row was added before the handler ran";
    Grid->OnDataChange = nullptr;
    Paint();
    Grid->GetCell(0, 0)->SetAsString(u"seen");
    EXPECT_FALSE(Grid->Invalidated.empty()) << "the grid repaints again";
}

TEST_F(GridOperations, CellHintComesFromTheCellAndTheHandler) {
    MakeGrid(2, 2);
    Grid->GetCell(1, 1)->SetHint(u"stored");
    EXPECT_EQ(Grid->GetCellHint(1, 1), u"stored");
    Grid->OnCellHint = [](TObject*, int ACol, int, WideString& Value) {
        if (ACol == 0) Value = u"made";
    };
    EXPECT_EQ(Grid->GetCellHint(0, 0), u"made");
    EXPECT_EQ(Grid->GetCellHint(1, 1), u"stored");
}

TEST_F(GridOperations, ChildRowsCollapseAndExpandWithTheirDescendants) {
    MakeGrid(1, 3);
    Grid->SetOptions({goHeader, goSelectFullRow});
    Grid->SetSelectedRow(2);
    std::vector<int> Expanded;
    Grid->OnExpand = [&](TObject*, int ARow) { Expanded.push_back(ARow); };
    int A = Grid->AddChildRow(0, crLast);  // 1
    int B = Grid->AddChildRow(A, crLast);  // 2
    int C = Grid->AddChildRow(0, crLast);  // 3, after both descendants
    int D = Grid->AddChildRow(0, crFirst); // 1, right after the parent
    EXPECT_EQ(A, 1);
    EXPECT_EQ(B, 2);
    EXPECT_EQ(C, 3);
    EXPECT_EQ(D, 1);
    EXPECT_EQ(Grid->GetRowCount(), 7);
    EXPECT_EQ(Grid->GetCells(0, 5), u"r1c0");
    EXPECT_EQ(Grid->GetSelectedRow(), 6) << "the current row followed its contents";
    EXPECT_EQ(Grid->GetRowLevel(3), 2);

    Grid->SetExpanded(2, false); // the first child, which holds one grandchild
    EXPECT_FALSE(Grid->GetRowVisible(3));
    EXPECT_EQ(Grid->GetVisibleRows(), 6);
    Grid->SetExpanded(0, false);
    for (int r = 1; r <= 4; ++r)
        EXPECT_FALSE(Grid->GetRowVisible(r)) << r;
    EXPECT_EQ(Grid->GetVisibleRows(), 3);
    Grid->SetExpanded(0, true);
    EXPECT_TRUE(Grid->GetRowVisible(2));
    EXPECT_FALSE(Grid->GetRowVisible(3)) << "its own parent is still collapsed";
    EXPECT_EQ(Grid->GetVisibleRows(), 6);
    Grid->SetExpanded(5, false); // no children: nothing
    EXPECT_EQ(Expanded, (std::vector<int>{2, 0, 0}));
    EXPECT_THROW(Grid->AddChildRow(7), EListError);
}
