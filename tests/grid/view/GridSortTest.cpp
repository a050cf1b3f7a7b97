// The grid's sorting, searching and footers: sort settings of columns driving the store, the
// selection following its rows, events, incremental search with its reset timer, and footers.

#include <gtest/gtest.h>

#include "grid/view/GridTestSupport.h"
#include "platform/windows/TimerClock.h"

namespace {

class TTreeLikeColumn : public TNxCustomColumn {
public:
    explicit TTreeLikeColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) {}
    TColumnStyle GetColumnStyle() const override { return {csDisableSorting}; }
};

struct GridSort : GridFixture {
    // Column 0 gets Keys; column 1 keeps "r<row>c1", the original row of each line.
    void MakeSortGrid(const std::vector<WideString>& Keys) {
        MakeGrid(2, static_cast<int>(Keys.size()));
        Grid->BeginUpdate();
        for (size_t r = 0; r < Keys.size(); ++r)
            Grid->GetCell(0, static_cast<int>(r))->SetAsString(Keys[r]);
        Grid->EndUpdate();
        Grid->OnSortColumn = [this](TObject*, int ACol, bool Ascending) {
            Sorts.emplace_back(ACol, Ascending);
        };
        Grid->OnAfterSort = [this](TObject*, int ACol) { AfterSorts.push_back(ACol); };
    }
    // The original rows in the current order.
    std::vector<int> Order() {
        std::vector<int> Result;
        for (int r = 0; r < Grid->GetRowCount(); ++r) {
            WideString Marker = Grid->GetCells(1, r);
            Result.push_back(std::stoi(std::string(Marker.begin() + 1, Marker.end() - 2)));
        }
        return Result;
    }
    TNxCustomColumn* Column(int Index) { return Grid->GetColumns()->GetItem(Index); }
    std::vector<std::pair<int, bool>> Sorts;
    std::vector<int> AfterSorts;
};

} // namespace

TEST_F(GridSort, SortKindFlipsReverseExactlyAndSelectionFollows) {
    MakeSortGrid({u"b", u"a", u"b", u"c", u"b"});
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goMultiSelect, goSelectFullRow});
    Grid->SetSelectedRow(1);
    Grid->SetSelected(3, true);
    ASSERT_EQ(Grid->GetSelectedRow(), 1);

    // What a first header click does: the column becomes sorted, in its SortKind.
    Column(0)->SetSorted(true);
    EXPECT_EQ(Order(), (std::vector<int>{1, 0, 2, 4, 3}));
    EXPECT_EQ(Sorts, (std::vector<std::pair<int, bool>>{{0, true}}));
    EXPECT_EQ(AfterSorts, (std::vector<int>{0}));
    EXPECT_EQ(Grid->GetSelectedRow(), 0) << "the selection stays on row r1";
    EXPECT_TRUE(Grid->GetSelected(0));
    EXPECT_TRUE(Grid->GetSelected(4)) << "row r3 stays selected where it went";
    EXPECT_EQ(Grid->GetSelectedCount(), 2);

    // Later clicks flip SortKind: the rows turn round, equal ones too, and back.
    Column(0)->SetSortKind(skDescending);
    EXPECT_EQ(Order(), (std::vector<int>{3, 4, 2, 0, 1}));
    EXPECT_EQ(Sorts.back(), (std::pair<int, bool>{0, false}));
    EXPECT_EQ(Grid->GetSelectedRow(), 4);
    Column(0)->SetSortKind(skAscending);
    EXPECT_EQ(Order(), (std::vector<int>{1, 0, 2, 4, 3}));
    EXPECT_EQ(AfterSorts.size(), 3u);

    // After a cell change the next flip sorts: equal rows keep their order.
    Grid->GetCell(0, 3)->SetAsString(u"b");
    Column(0)->SetSortKind(skDescending);
    EXPECT_EQ(Order(), (std::vector<int>{3, 0, 2, 4, 1}));
}

TEST_F(GridSort, AfterSortHandlerSeesTheSelectionWhereItsRowsWent) {
    MakeSortGrid({u"f", u"e", u"a", u"c", u"b", u"d"});
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goMultiSelect, goSelectFullRow});
    Grid->SetSelected(0, true);
    Grid->SetSelected(1, true);
    auto SelectedKeys = [this] {
        std::vector<WideString> Keys;
        for (int r = Grid->GetNextSelected(0); r >= 0; r = Grid->GetNextSelected(r + 1))
            Keys.push_back(Grid->GetCells(0, r));
        return Keys;
    };
    // Ascending: "e" and "f" end last, and the handler is told so; clearing there clears them.
    std::vector<WideString> Seen;
    Grid->OnAfterSort = [&](TObject*, int) {
        Seen = SelectedKeys();
        Grid->ClearSelection();
    };
    Column(0)->SetSorted(true);
    EXPECT_EQ(Seen, (std::vector<WideString>{u"e", u"f"}));
    EXPECT_EQ(Grid->GetSelectedCount(), 0);
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        EXPECT_FALSE(Grid->GetSelected(r)) << "row " << r << " keeps a flag the count lost";

    // A handler deleting the selected rows deletes those rows, wherever the sort put them.
    Grid->SetSelected(Grid->GetRowCount() - 1, true); // "f"
    Grid->SetSelected(1, true);                       // "b"
    Grid->OnAfterSort = [&](TObject*, int) {
        std::vector<int> Rows;
        for (int r = Grid->GetNextSelected(0); r >= 0; r = Grid->GetNextSelected(r + 1))
            Rows.push_back(r);
        for (auto It = Rows.rbegin(); It != Rows.rend(); ++It)
            Grid->DeleteRow(*It);
    };
    Column(0)->SetSortKind(skDescending);
    std::vector<WideString> Left;
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        Left.push_back(Grid->GetCells(0, r));
    EXPECT_EQ(Left, (std::vector<WideString>{u"e", u"d", u"c", u"a"}));
}

TEST_F(GridSort, TopRowAndScrollPositionFollowASortWithHiddenRows) {
    // Sixty rows with keys k59 down to k00; rows 40 to 49 (k19 to k10) are hidden, so an
    // ascending sort puts the hidden rows at 10 to 19.
    std::vector<WideString> Keys;
    for (int r = 0; r < 60; ++r)
        Keys.push_back(u"k" + ToWide((59 - r) / 10) + ToWide((59 - r) % 10));
    MakeSortGrid(Keys);
    for (int r = 40; r < 50; ++r)
        Grid->SetRowVisible(r, false);
    Grid->GetVertScrollBar()->SetPosition(15);
    ASSERT_EQ(Grid->GetTopRow(), 15);
    auto VisibleAbove = [this](int Row) {
        int Count = 0;
        for (int r = 0; r < Row; ++r)
            Count += Grid->GetRowVisible(r) ? 1 : 0;
        return Count;
    };

    Column(0)->SetSorted(true);
    ASSERT_EQ(Grid->GetCells(0, 0), u"k00");
    ASSERT_FALSE(Grid->GetRowVisible(15));
    EXPECT_TRUE(Grid->GetRowVisible(Grid->GetTopRow())) << "the top row is never a hidden one";
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), VisibleAbove(Grid->GetTopRow()));
    // The view keeps its place: fifteen visible rows above the top, as before the sort.
    EXPECT_EQ(Grid->GetVertScrollBar()->GetPosition(), 15);
    EXPECT_EQ(Grid->GetTopRow(), 25);
}

TEST_F(GridSort, FullResortDisabledSortingAndSecondColumn) {
    MakeSortGrid({u"b", u"a", u"b"});
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coFullResort});
    Column(0)->SetSorted(true);
    Column(0)->SetSortKind(skDescending);
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 1})) << "a full sort keeps equal rows in order";

    // A second sorted column unsorts the first, which leaves the rows, then sorts.
    Column(1)->SetSortKind(skDescending);
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 1})) << "an unsorted column's settings do not sort";
    Column(1)->SetSorted(true);
    EXPECT_FALSE(Column(0)->GetSorted());
    EXPECT_EQ(Order(), (std::vector<int>{2, 1, 0}));

    // Without coCanSort nothing happens, not even OnSortColumn.
    Sorts.clear();
    Column(1)->SetOptions(Column(1)->GetOptions() - TColumnOptions{coCanSort});
    Column(1)->Resort();
    Column(1)->SetSortKind(skAscending);
    EXPECT_TRUE(Sorts.empty());
    EXPECT_EQ(Order(), (std::vector<int>{2, 1, 0}));

    auto* Tree = Grid->GetColumns()->Add<TTreeLikeColumn>(u"Tree");
    Tree->SetSorted(true);
    EXPECT_FALSE(Tree->GetSorted());
    EXPECT_TRUE(Sorts.empty());
}

TEST_F(GridSort, CustomCompareAndFailedConversion) {
    MakeSortGrid({u"ccc", u"a", u"bb"});
    Column(0)->SetSortType(stCustom);
    Grid->OnCompare = [](TObject* Sender, TCell* Cell1, TCell* Cell2, int& Compare) {
        EXPECT_NE(Sender, nullptr);
        Compare =
            static_cast<int>(Cell1->GetAsString().size()) - static_cast<int>(Cell2->GetAsString().size());
    };
    Column(0)->SetSorted(true);
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0}));

    // Texts that are no numbers: the error comes through, rows and selection stay, no OnAfterSort.
    Grid->SetSelectedRow(2);
    AfterSorts.clear();
    EXPECT_THROW(Column(0)->SetSortType(stNumeric), EConvertError);
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_TRUE(AfterSorts.empty());
}

TEST_F(GridSort, Searches) {
    MakeSortGrid({u"match", u"Berlin", u"other", u"bern", u"hidden match"});
    Grid->SetRowVisible(4, false);
    Grid->SetSelectedRow(2);
    EXPECT_TRUE(Grid->FindText(0, u"match", {soFromSelected, soContinueFromTop}));
    EXPECT_EQ(Grid->GetSelectedRow(), 0) << "found above the selected row";
    EXPECT_FALSE(Grid->FindText(0, u"atc", {soExactMatch}));
    EXPECT_EQ(Grid->GetSelectedRow(), 0) << "a failed search leaves the selection";
    EXPECT_TRUE(Grid->FindText(0, u"hidden", {}) == false);
    EXPECT_TRUE(Grid->Locate(0, 0, 4, u"hidden", {soSearchInvisible}));
    EXPECT_EQ(Grid->GetSelectedRow(), 4);

    EXPECT_TRUE(Grid->SearchNext(0, u"BE", true));
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_TRUE(Grid->SearchNext(0, u"BE", false));
    EXPECT_EQ(Grid->GetSelectedRow(), 3);
    EXPECT_TRUE(Grid->SearchRow(u"r0"));
    EXPECT_EQ(Grid->GetSelectedRow(), 0) << "column 1 holds r0c1";
}

TEST_F(GridSort, IncrementalSearchResetsAfter700ms) {
    TManualTimerClock Clock;
    MakeSortGrid({u"apple", u"banana", u"berry", u"cherry"});
    EXPECT_EQ(Grid->GetSearchColumn(), nullptr);
    EXPECT_FALSE(Grid->IncrementalSearch(u'b')) << "no search column";
    Column(1)->SetOptions(Column(1)->GetOptions() + TColumnOptions{coSearchColumn});
    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coSearchColumn});
    EXPECT_EQ(Grid->GetSearchColumn(), Column(0));

    EXPECT_TRUE(Grid->IncrementalSearch(u'b'));
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    Clock.Advance(699);
    EXPECT_TRUE(Grid->IncrementalSearch(u'E'));
    EXPECT_EQ(Grid->GetSearchText(), u"bE");
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    // 700 ms count from the last key.
    Clock.Advance(699);
    EXPECT_EQ(Grid->GetSearchText(), u"bE");
    Clock.Advance(1);
    EXPECT_EQ(Grid->GetSearchText(), u"");
    EXPECT_FALSE(Grid->GetSearchTimer()->GetEnabled());
    EXPECT_TRUE(Grid->IncrementalSearch(u'c'));
    EXPECT_EQ(Grid->GetSelectedRow(), 3);

    Column(0)->SetOptions(Column(0)->GetOptions() + TColumnOptions{coEditing});
    EXPECT_FALSE(Grid->IncrementalSearch(u'a')) << "the current column edits";
    EXPECT_EQ(Grid->GetSelectedRow(), 3);
}

TEST_F(GridSort, Footers) {
    MakeSortGrid({u"2", u"4"});
    Column(0)->GetFooter()->SetFormulaKind(fkAverage);
    Column(1)->GetFooter()->SetFormulaKind(fkCustom);
    Grid->OnColumnFooterValue = [](TObject*, int ACol, double& Value) { Value = ACol * 10; };
    std::vector<int> Calculated;
    Grid->OnFooterCalculate = [&](TObject*, int ACol, double&) { Calculated.push_back(ACol); };
    Grid->CalculateFooter();
    EXPECT_EQ(Column(0)->GetFooter()->GetCaption(), u"3");
    EXPECT_EQ(Column(1)->GetFooter()->GetCaption(), u"10");
    EXPECT_EQ(Calculated, (std::vector<int>{0, 1}));
    Grid->SetRowVisible(1, false);
    Grid->CalculateFooter(true);
    EXPECT_EQ(Column(0)->GetFooter()->GetCaption(), u"1");

    Grid->GetCell(0, 0)->SetAsString(u"-3");
    Grid->GetCell(0, 1)->SetAsString(u"-5");
    EXPECT_EQ(Grid->GetFormulaValue(Column(0), fkMaximum), 0);
    EXPECT_EQ(Grid->GetFormulaValue(Column(0), fkMinimum), -5);
    EXPECT_EQ(Grid->GetFormulaValue(nullptr, fkSum), 0);

    Grid->ClearRows();
    Grid->CalculateFooter();
    EXPECT_EQ(Column(0)->GetFooter()->GetCaption(), u"0");
}
