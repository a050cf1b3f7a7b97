// Searching a column: contains against exact matches, case rules, hidden rows, searching on
// from the selected row, and the prefix match of incremental search.

#include <gtest/gtest.h>

#include "grid/model/FakeGrid.h"
#include "grid/model/GridSearch.h"
#include "platform/runtime/CodePage.h"

namespace {

class TSearchGrid {
public:
    explicit TSearchGrid(const std::vector<WideString>& Texts) {
        Grid.AddColumn();
        Grid.Cells->AddRow(static_cast<int>(Texts.size()));
        for (int r = 0; r < static_cast<int>(Texts.size()); ++r)
            Grid.Cells->GetCell(0, r)->SetAsString(Texts[static_cast<size_t>(r)]);
    }
    TCells& Cells() { return *Grid.Cells; }
    TFakeGrid Grid;
};

} // namespace

TEST(GridSearch, ContainsExactAndCase) {
    TSearchGrid G({u"Alpha", u"The Quillmar grid", u"grid", u"GRID"});
    using namespace GridSearch;
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"grid", {}), 1) << "contained in the middle";
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"grid", {soExactMatch}), 2);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 3, 3, u"grid", {soExactMatch}), -1);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 3, 3, u"grid", {soExactMatch, soCaseInsensitive}), 3);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"QUILL", {}), -1);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"QUILL", {soCaseInsensitive}), 1);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"pha", {soExactMatch, soCaseInsensitive}), -1);
    // Case folds every letter, not only A to Z.
    EXPECT_TRUE(TextMatches(u"\u00c9t\u00c9", u"\u00e9t\u00e9", {soExactMatch, soCaseInsensitive}));
    // Bounds past the rows are limited to them.
    EXPECT_EQ(LocateRow(G.Cells(), 0, -5, 99, u"GRID", {}), 3);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 2, 1, u"grid", {}), -1);
}

TEST(GridSearch, HiddenRowsAreSkippedUnlessAskedFor) {
    TSearchGrid G({u"one", u"two", u"two", u"three"});
    G.Cells().ShowRow(1, false);
    G.Cells().ExpandRow(2, false);
    using namespace GridSearch;
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"two", {}), -1);
    EXPECT_EQ(LocateRow(G.Cells(), 0, 0, 3, u"two", {soSearchInvisible}), 1);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"tw", true, -1), -1);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"t", true, -1), 3);
}

TEST(GridSearch, FindTextFromSelected) {
    TSearchGrid G({u"match", u"other", u"other", u"match b"});
    using namespace GridSearch;
    EXPECT_EQ(FindTextRow(G.Cells(), 0, u"match", {}, 2), 0);
    EXPECT_EQ(FindTextRow(G.Cells(), 0, u"match", {soFromSelected}, 0), 3);
    // Nothing after the selected row: only soContinueFromTop goes round to the top.
    EXPECT_EQ(FindTextRow(G.Cells(), 0, u"match", {soFromSelected}, 3), -1);
    EXPECT_EQ(FindTextRow(G.Cells(), 0, u"match", {soFromSelected, soContinueFromTop}, 3), 0);
    EXPECT_EQ(FindTextRow(G.Cells(), 0, u"missing", {soFromSelected, soContinueFromTop}, 1), -1);
    TSearchGrid Empty(std::vector<WideString>{});
    EXPECT_EQ(FindTextRow(Empty.Cells(), 0, u"", {}, -1), -1);
}

TEST(GridSearch, IncrementalSearchMatchesTheStartInAnyCase) {
    TSearchGrid G({u"Berlin", u"bern", u"Bonn", u"BERLIN", u"b\u00e9ziers", u"B\u00c9ZIERS"});
    using namespace GridSearch;
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"bE", true, 3), 0);
    // From the selected row on, then round from the top up to the selected row.
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"ber", false, 0), 1);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"berl", false, 0), 3);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"berl", false, 3), 0);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"bonn", false, 2), 2) << "the selected row itself comes last";
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"bonnie", true, -1), -1) << "longer than every text";
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"xyz", false, 1), -1);

    const TCodePage Saved = SystemCodePage();
    SetSystemCodePage(TCodePage::cp1252);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"B\u00c9z", false, 4), 5);
    EXPECT_EQ(SearchNextRow(G.Cells(), 0, u"B\u00c9z", false, 5), 4);
    SetSystemCodePage(Saved);
}
