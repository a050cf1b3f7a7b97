// The selected-row runs: merging, cutting, and rows opening and closing inside and between runs.

#include <gtest/gtest.h>

#include <vector>

#include "grid/view/RowRanges.h"

namespace {
std::vector<std::pair<int, int>> Runs(const TRowRanges& Set) {
    std::vector<std::pair<int, int>> Result;
    Set.ForEach(-1000, 1000, [&](int First, int Last) { Result.emplace_back(First, Last); });
    return Result;
}
using TRuns = std::vector<std::pair<int, int>>;
} // namespace

TEST(RowRanges, TouchingRunsMergeAndCutsSplitThem) {
    TRowRanges Set;
    Set.Add(5, 7);
    Set.Add(9, 9);
    EXPECT_EQ(Runs(Set), (TRuns{{5, 7}, {9, 9}}));
    Set.Add(8, 8);
    EXPECT_EQ(Runs(Set), (TRuns{{5, 9}}));
    Set.Add(2, 4);
    Set.Add(12, 15);
    Set.Add(3, 13);
    EXPECT_EQ(Runs(Set), (TRuns{{2, 15}}));
    Set.Remove(6, 6);
    Set.Remove(10, 20);
    EXPECT_EQ(Runs(Set), (TRuns{{2, 5}, {7, 9}}));
    Set.Remove(0, 2);
    EXPECT_EQ(Runs(Set), (TRuns{{3, 5}, {7, 9}}));
    EXPECT_EQ(Set.Next(0), 3);
    EXPECT_EQ(Set.Next(4), 4);
    EXPECT_EQ(Set.Next(6), 7);
    EXPECT_EQ(Set.Next(10), -1);
    int Clipped = 0;
    Set.ForEach(5, 7, [&](int First, int Last) { Clipped += Last - First + 1; });
    EXPECT_EQ(Clipped, 2);
}

TEST(RowRanges, OpeningSplitsARunAndClosingJoinsNeighbours) {
    TRowRanges Set;
    Set.Add(3, 6);
    Set.Add(10, 10);
    Set.Open(5, 2); // rows 5 and 6 new: 3..4, then the old 5..6 at 7..8, 10 at 12
    EXPECT_EQ(Runs(Set), (TRuns{{3, 4}, {7, 8}, {12, 12}}));
    Set.Open(0, 1);
    EXPECT_EQ(Runs(Set), (TRuns{{4, 5}, {8, 9}, {13, 13}}));
    Set.Open(14, 3); // after everything: nothing moves
    EXPECT_EQ(Runs(Set), (TRuns{{4, 5}, {8, 9}, {13, 13}}));
    Set.Close(7); // between runs: the later ones move down and stay apart
    EXPECT_EQ(Runs(Set), (TRuns{{4, 5}, {7, 8}, {12, 12}}));
    Set.Close(6); // the gap closes: 4..5 and 6..7 join
    EXPECT_EQ(Runs(Set), (TRuns{{4, 7}, {11, 11}}));
    Set.Close(11);
    Set.Close(4);
    EXPECT_EQ(Runs(Set), (TRuns{{4, 6}}));
    Set.Clear();
    EXPECT_TRUE(Set.Empty());
    EXPECT_EQ(Set.Next(0), -1);
}
