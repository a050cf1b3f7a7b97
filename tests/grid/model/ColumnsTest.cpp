// The column collection: index order against display order, the values it reports to the grid,
// left edges, automatic sizing and clearing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/model/FakeGrid.h"

using ::testing::ElementsAre;

namespace {

std::vector<TNxCustomColumn*> DisplayOrder(const TNxColumns& Columns) {
    std::vector<TNxCustomColumn*> Result;
    for (int p = 0; p < Columns.Count(); ++p)
        Result.push_back(Columns.GetPositionItem(p));
    return Result;
}

std::vector<TNxCustomColumn*> IndexOrder(const TNxColumns& Columns) {
    std::vector<TNxCustomColumn*> Result;
    for (int i = 0; i < Columns.Count(); ++i)
        Result.push_back(Columns.GetItem(i));
    return Result;
}

} // namespace

TEST(Columns, AddAppendsInBothOrdersAndTakesTheGridLook) {
    TFakeGrid Grid;
    Grid.Color = clGray;
    Grid.Cursor = 3000;
    auto* A = Grid.AddColumn(u"A");
    auto* B = Grid.AddColumn(u"B");
    auto* C = Grid.AddColumn(u"C");
    EXPECT_EQ(A->GetPosition(), 0);
    EXPECT_EQ(B->GetPosition(), 1);
    EXPECT_EQ(C->GetPosition(), 2);
    EXPECT_EQ(C->GetLeft(), 160);
    EXPECT_EQ(C->GetVisibleIndex(), 2);
    EXPECT_EQ(B->GetColor(), clGray);
    EXPECT_EQ(B->GetCursor(), 3000);
    EXPECT_EQ(B->GetHeader()->GetCaption(), u"B");
    EXPECT_EQ(B->GetComponentOwner(), Grid.Columns.get());
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>(3, {opAdd, -1, -1})));
    EXPECT_EQ(Grid.RepaintReports, (std::vector<TListReport>(3, {opAdd, -1, -1})));
    EXPECT_EQ(Grid.Columns->ClientWidth(), 240);
    EXPECT_EQ(Grid.Columns->VisibleCount(), 3);
}

TEST(Columns, ChangePositionMovesOnScreenOnly) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    auto* C = Grid.AddColumn();
    Grid.ClearReports();
    Grid.Columns->ChangePosition(0, 2);
    EXPECT_THAT(DisplayOrder(*Grid.Columns), ElementsAre(B, C, A));
    EXPECT_THAT(IndexOrder(*Grid.Columns), ElementsAre(A, B, C));
    EXPECT_EQ(B->GetPosition(), 0);
    EXPECT_EQ(C->GetPosition(), 1);
    EXPECT_EQ(A->GetPosition(), 2);
    EXPECT_EQ(A->GetLeft(), 160);
    EXPECT_EQ(Grid.ColumnReports, (std::vector<TColumnReport>{{A, ccPosition, 0}}));
    EXPECT_TRUE(Grid.ListReports.empty());

    // Through the column's Position: the collection's report, then the column's own with -1.
    Grid.ClearReports();
    A->SetPosition(0);
    EXPECT_THAT(DisplayOrder(*Grid.Columns), ElementsAre(A, B, C));
    EXPECT_EQ(Grid.ColumnReports, (std::vector<TColumnReport>{{A, ccPosition, 2}, {A, ccPosition, -1}}));

    // A place outside the display order is refused before anything changes.
    EXPECT_THROW(A->SetPosition(7), EListError);
    EXPECT_EQ(A->GetPosition(), 0);
}

TEST(Columns, MoveChangesTheIndexOrderAndTheCellListsFollow) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    auto* C = Grid.AddColumn();
    Grid.Cells->AddRow(1);
    Grid.Cells->GetCell(0, 0)->SetAsString(u"a");
    Grid.Cells->GetCell(2, 0)->SetAsString(u"c");
    Grid.ClearReports();
    Grid.Columns->Move(0, 2);
    EXPECT_THAT(IndexOrder(*Grid.Columns), ElementsAre(B, C, A));
    EXPECT_THAT(DisplayOrder(*Grid.Columns), ElementsAre(A, B, C));
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>{{opMove, 0, 2}}));
    EXPECT_EQ(Grid.RepaintReports, (std::vector<TListReport>{{opMove, 0, 2}}));
    EXPECT_EQ(Grid.Cells->GetCell(2, 0)->GetAsString(), u"a");
    EXPECT_EQ(Grid.Cells->GetCell(1, 0)->GetAsString(), u"c");
    EXPECT_EQ(A->GetIndex(), 2);

    Grid.ClearReports();
    Grid.Columns->Move(0, 3);
    Grid.Columns->Move(-1, 0);
    EXPECT_TRUE(Grid.ListReports.empty());
    A->SetIndex(0);
    EXPECT_THAT(IndexOrder(*Grid.Columns), ElementsAre(A, B, C));
}

TEST(Columns, InsertedColumnStandsLastOnScreen) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    Grid.Cells->AddRow(2);
    Grid.Cells->GetCell(0, 1)->SetAsString(u"a1");
    Grid.ClearReports();
    auto* X = Grid.Columns->Insert(ColumnClassOf<TTypedColumn<ctInteger>>(), 0);
    EXPECT_THAT(IndexOrder(*Grid.Columns), ElementsAre(X, A, B));
    EXPECT_THAT(DisplayOrder(*Grid.Columns), ElementsAre(A, B, X));
    EXPECT_EQ(X->GetPosition(), 2);
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>{{opInsert, 0, -1}}));
    EXPECT_EQ(Grid.Cells->GetCell(1, 1)->GetAsString(), u"a1");
    EXPECT_NE(dynamic_cast<TIntegerCell*>(Grid.Cells->GetCell(0, 1)), nullptr);
    EXPECT_THROW(Grid.Columns->Insert(ColumnClassOf<TTestColumn>(), 5), EListError);
    EXPECT_EQ(Grid.Columns->Count(), 3);
}

TEST(Columns, AutoSizeSharesTheFreeWidthRoundingHalvesToEven) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    Grid.Reading = true; // set up without resizing on the way
    A->SetOptions({coAutoSize});
    B->SetOptions({coAutoSize});
    A->SetWidth(100);
    B->SetWidth(50);
    Grid.Reading = false;
    Grid.ClearReports();
    Grid.Columns->ResizeColumns(nullptr, false);
    EXPECT_EQ(A->GetWidth(), 200);
    EXPECT_EQ(B->GetWidth(), 100);
    EXPECT_EQ(Grid.ColumnReports, (std::vector<TColumnReport>{{A, ccWidth, 100}, {B, ccWidth, 50}}));
    EXPECT_EQ(B->GetLeft(), 200);

    // 301 split 1:1 is 150.5 each: both round to the even 150.
    Grid.Reading = true;
    B->SetWidth(200);
    Grid.Reading = false;
    Grid.InnerWidth = 301;
    Grid.Columns->ResizeColumns(nullptr, false);
    EXPECT_EQ(A->GetWidth(), 150);
    EXPECT_EQ(B->GetWidth(), 150);
    // 303 split 1:1 is 151.5: both round to 152.
    Grid.InnerWidth = 303;
    Grid.Columns->ResizeColumns(nullptr, false);
    EXPECT_EQ(A->GetWidth(), 152);
    EXPECT_EQ(B->GetWidth(), 152);
}

TEST(Columns, AutoSizeFromAColumnLeavesTheSpaceOnItsLeft) {
    TFakeGrid Grid;
    Grid.Indicator = true;
    Grid.BodyRect.Left = 12;
    Grid.InnerWidth = 288;
    auto* Fixed = Grid.AddColumn();
    auto* Auto = Grid.AddColumn();
    Fixed->SetWidth(100);
    Auto->SetOptions({coAutoSize});
    // Auto is sized from its own place: 288 minus the 100 pixels of Fixed on its left.
    EXPECT_EQ(Auto->GetWidth(), 188);
    // Widening Fixed resizes the auto-size columns to its right.
    Fixed->SetWidth(150);
    EXPECT_EQ(Auto->GetWidth(), 138);
    // Never below MinWidth.
    Fixed->SetWidth(400);
    EXPECT_EQ(Auto->GetWidth(), 8);
}

TEST(Columns, ClearReportsEveryDeleteLastFirstThenClear) {
    TFakeGrid Grid;
    Grid.AddColumn();
    Grid.AddColumn();
    Grid.AddColumn();
    Grid.Cells->AddRow(4);
    Grid.ClearReports();
    Grid.Columns->Clear();
    EXPECT_EQ(Grid.ListReports,
              (std::vector<TListReport>{
                  {opDelete, 2, -1}, {opDelete, 1, -1}, {opDelete, 0, -1}, {opClear, -1, -1}}));
    EXPECT_EQ(Grid.RepaintReports.back(), (TListReport{opClear, -1, -1}));
    EXPECT_TRUE(Grid.Columns->Empty());
    EXPECT_EQ(Grid.Cells->GetColumnCount(), 0);
    EXPECT_EQ(Grid.Cells->GetRowCount(), 0);
}

TEST(Columns, DeleteAndRemoveReportTheOldIndex) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    Grid.ClearReports();
    Grid.Columns->Remove(A);
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>{{opDelete, 0, -1}}));
    EXPECT_EQ(A->GetCollection(), nullptr);
    EXPECT_EQ(B->GetPosition(), 0);
    delete A; // no longer listed: freeing it reports nothing more
    EXPECT_EQ(Grid.ListReports.size(), 1u);
    Grid.Columns->Delete(0);
    EXPECT_TRUE(Grid.Columns->Empty());
    EXPECT_THROW(Grid.Columns->Delete(0), EListError);
}

TEST(Columns, GetItemOutsideTheListRaisesTheListError) {
    TFakeGrid Grid;
    Grid.AddColumn();
    try {
        Grid.Columns->GetItem(5);
        FAIL() << "no error";
    } catch (const EListError& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(Grid.Columns->GetItem(-1), EListError);
    EXPECT_THROW(Grid.Columns->GetPositionItem(1), EListError);
    EXPECT_TRUE(Grid.Columns->Exists(0));
    EXPECT_FALSE(Grid.Columns->Exists(1));
}

TEST(Columns, GetColumnIgnoresCaseAndUniqueNameSkipsTakenNames) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    A->SetName("NxTextColumn1");
    EXPECT_EQ(Grid.Columns->GetColumn("nxtextcolumn1"), A);
    EXPECT_EQ(Grid.Columns->GetColumn("NxTextColumn2"), nullptr);
    Grid.OwnerNames = {"NxTextColumn1", "NxTextColumn2"};
    EXPECT_EQ(Grid.Columns->UniqueName("NxTextColumn"), "NxTextColumn3");
}

TEST(Columns, HiddenColumnsKeepTheirLeftEdgeButLoseTheirVisibleIndex) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    auto* C = Grid.AddColumn();
    B->SetVisible(false);
    EXPECT_EQ(B->GetLeft(), 80);
    EXPECT_EQ(B->GetVisibleIndex(), -1);
    EXPECT_EQ(C->GetLeft(), 80);
    EXPECT_EQ(C->GetVisibleIndex(), 1);
    EXPECT_EQ(Grid.Columns->First(), A);
    EXPECT_EQ(Grid.Columns->Last(), C);

    Grid.ClearReports();
    Grid.Columns->HideAll();
    for (auto* Column : {A, B, C}) {
        EXPECT_FALSE(Column->GetVisible());
        EXPECT_EQ(Column->GetLeft(), 0);
        EXPECT_EQ(Column->GetVisibleIndex(), -1);
    }
    EXPECT_EQ(Grid.ColumnReports.size(), 3u);
    EXPECT_EQ(Grid.RepaintReports, (std::vector<TListReport>{{opDelete, -1, -1}}));
    EXPECT_EQ(Grid.Columns->First(), nullptr);
    EXPECT_EQ(Grid.Columns->FirstEnabled(), nullptr);
}

TEST(Columns, FixedWidthCountsVisibleFixedColumns) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    Grid.AddColumn();
    Grid.AddColumn();
    Grid.Columns->SetFixedCols(2);
    EXPECT_EQ(Grid.Columns->GetFixedWidth(), 160);
    A->SetVisible(false);
    EXPECT_EQ(Grid.Columns->GetFixedWidth(), 80);
    Grid.Columns->SetFixedCols(9);
    EXPECT_EQ(Grid.Columns->GetFixedWidth(), 160);
}

namespace {

struct TFailingSetup {};

} // namespace

TEST(Columns, AColumnWhoseSetupFailsIsFreedAndTheErrorPassesOn) {
    TFakeGrid Grid;
    Grid.AddColumn();
    Grid.Columns->OnColumnChange = [](TObject*, TNxCustomColumn*, TColumnChangeKind Kind, int) {
        if (Kind == ccUndefined) throw TFailingSetup{};
    };
    EXPECT_THROW(Grid.AddColumn(u"fails"), TFailingSetup);
    // The half-made column is gone from both orders and from the cell store.
    EXPECT_EQ(Grid.Columns->Count(), 1);
    EXPECT_EQ(Grid.Cells->GetColumnCount(), 1);
    EXPECT_EQ(Grid.Columns->GetPositionItem(0)->GetPosition(), 0);
}

TEST(Columns, InsertedColumnTakesTheGridLookBeforeItsCellsAreMade) {
    TFakeGrid Grid;
    Grid.Font.SetName("DejaVu Serif");
    Grid.Font.SetHeight(-17);
    Grid.Font.SetStyle({fsBold});
    Grid.Color = clYellow;
    Grid.AddColumn();
    Grid.Cells->AddRow(2);
    Grid.ClearReports();
    auto* X = Grid.Columns->Insert(ColumnClassOf<TTestColumn>(), 0);
    EXPECT_EQ(X->GetFont()->GetName(), "DejaVu Serif");
    EXPECT_EQ(X->GetFont()->GetHeight(), -17);
    // Copied under the lock: it still follows the grid's font.
    EXPECT_TRUE(X->GetParentFont());
    // The existing rows' new cells are made from the grid's color and font, not the defaults.
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(Grid.Cells->GetCell(0, r)->GetColor(), clYellow) << r;
        EXPECT_TRUE(Grid.Cells->GetCell(0, r)->GetFontStyle().Contains(fsBold)) << r;
    }
    // Set up before it joins, the column reports no property change of its own.
    const auto Kinds = Grid.KindsFor(X);
    EXPECT_EQ(std::count(Kinds.begin(), Kinds.end(), ccUndefined), 0);
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>{{opInsert, 0, -1}}));
}

TEST(Columns, EnabledAndVisibleBothDecideTheFirstLastAndNeighbours) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    auto* C = Grid.AddColumn();
    auto* D = Grid.AddColumn();
    D->SetEnabled(false);
    EXPECT_EQ(Grid.Columns->Last(), D);
    EXPECT_EQ(Grid.Columns->LastEnabled(), C);
    EXPECT_TRUE(C->GetLast());
    EXPECT_FALSE(D->GetLast());
    A->SetEnabled(false);
    EXPECT_EQ(Grid.Columns->FirstEnabled(), B);
    EXPECT_TRUE(B->GetFirst());
    C->SetVisible(false);
    EXPECT_EQ(Grid.Columns->LastEnabled(), B);
    EXPECT_EQ(B->GetNextColumn(), B);
    EXPECT_EQ(B->GetPrevColumn(), B);
    C->SetVisible(true);
    EXPECT_EQ(B->GetNextColumn(), C);
}

TEST(Columns, HideAllTellsEachColumnsListenersAndTheGrid) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    std::vector<std::pair<TNxCustomColumn*, TColumnNotifyOperation>> Heard;
    for (auto* Column : {A, B})
        Column->RegisterNotification(&Heard, [&](TNxCustomColumn* Sender, TColumnNotifyOperation Op) {
            Heard.emplace_back(Sender, Op);
        });
    Grid.ClearReports();
    Grid.Columns->HideAll();
    EXPECT_THAT(Heard, ElementsAre(std::pair{A, ccVisibleChange}, std::pair{B, ccVisibleChange}));
    EXPECT_THAT(Grid.ColumnReports,
                ElementsAre(TColumnReport{A, ccVisible, 0}, TColumnReport{B, ccVisible, 0}));
}

TEST(Columns, FormOwnedColumnsAreFoundByNameAndFreedOnce) {
    // The form goes first: its columns leave the grid.
    {
        TFakeGrid Grid;
        auto Form = std::make_unique<TComponent>(nullptr);
        auto* Column = new TTestColumn(Form.get());
        Column->SetName("NxTextColumn1");
        Grid.Columns->AddColumn(Column);
        EXPECT_EQ(Form->FindComponent("nxtextcolumn1"), Column);
        EXPECT_EQ(Grid.Columns->GetColumn("NXTEXTCOLUMN1"), Column);
        EXPECT_EQ(Column->GetComponentOwner(), Form.get());
        EXPECT_THROW(TTestColumn(Form.get()).SetName("NxTextColumn1"), EComponentError);
        Form.reset();
        EXPECT_EQ(Grid.Columns->Count(), 0);
        EXPECT_EQ(Grid.Cells->GetColumnCount(), 0);
    }
    // The grid goes first: the form no longer lists the freed column.
    {
        TComponent Form(nullptr);
        {
            TFakeGrid Grid;
            auto* Column = new TTestColumn(&Form);
            Column->SetName("NxProgressColumn1");
            Grid.Columns->AddColumn(Column);
            EXPECT_EQ(Form.GetComponentCount(), 1);
        }
        EXPECT_EQ(Form.GetComponentCount(), 0);
        EXPECT_EQ(Form.FindComponent("NxProgressColumn1"), nullptr);
    }
}

TEST(Columns, HugeWidthsAreHeldSoThatSumsAndEdgesNeverOverflow) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn(u"A");
    auto* B = Grid.AddColumn(u"B");
    auto* C = Grid.AddColumn(u"C");
    A->SetWidth(1073741824);
    B->SetWidth(1073741824);
    C->SetWidth(INT_MAX);
    // Still wide columns, all equally held, summed without wrapping round.
    EXPECT_GE(A->GetWidth(), 4096);
    EXPECT_EQ(B->GetWidth(), A->GetWidth());
    EXPECT_EQ(C->GetWidth(), A->GetWidth());
    const int64_t Sum = int64_t(A->GetWidth()) + B->GetWidth() + C->GetWidth();
    EXPECT_LE(Sum, INT_MAX);
    EXPECT_EQ(Grid.Columns->ClientWidth(), Sum);
    EXPECT_THAT((std::vector<int>{A->GetLeft(), B->GetLeft(), C->GetLeft()}),
                ElementsAre(0, A->GetWidth(), 2 * A->GetWidth()));
    // The minimum still wins over a small width.
    A->SetWidth(-5);
    EXPECT_EQ(A->GetWidth(), A->GetMinWidth());
}
