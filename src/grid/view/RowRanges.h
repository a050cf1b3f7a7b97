#pragma once
// A set of row indices kept as disjoint runs, for the grid's selected rows: finding, counting
// and shifting cost the number of runs, not the number of rows.

#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

class TRowRanges {
public:
    bool Empty() const { return FRuns.empty(); }
    void Clear() { FRuns.clear(); }

    // The first index at or after From in the set, -1 when there is none.
    int Next(int From) const {
        auto It = FRuns.upper_bound(From);
        if (It != FRuns.begin()) {
            auto Prev = std::prev(It);
            if (Prev->second >= From) return From;
        }
        return It == FRuns.end() ? -1 : It->first;
    }

    // Low..High join the set; touching runs merge.
    void Add(int Low, int High) {
        if (Low > High) return;
        auto It = FRuns.upper_bound(Low);
        if (It != FRuns.begin()) {
            auto Prev = std::prev(It);
            if (Prev->second >= Low - 1) {
                Low = Prev->first;
                High = std::max(High, Prev->second);
                It = FRuns.erase(Prev);
            }
        }
        while (It != FRuns.end() && It->first <= High + 1) {
            High = std::max(High, It->second);
            It = FRuns.erase(It);
        }
        FRuns.emplace(Low, High);
    }

    // Low..High leave the set; runs reaching over them are cut.
    void Remove(int Low, int High) {
        if (Low > High) return;
        auto It = FRuns.upper_bound(Low);
        if (It != FRuns.begin()) --It;
        std::vector<std::pair<int, int>> Keep;
        while (It != FRuns.end() && It->first <= High) {
            if (It->second < Low) {
                ++It;
                continue;
            }
            if (It->first < Low) Keep.emplace_back(It->first, Low - 1);
            if (It->second > High) Keep.emplace_back(High + 1, It->second);
            It = FRuns.erase(It);
        }
        FRuns.insert(Keep.begin(), Keep.end());
    }

    // Calls Fn(First, Last) for each run clipped to Low..High, in order; Fn must leave the set.
    template <typename F> void ForEach(int Low, int High, F Fn) const {
        auto It = FRuns.upper_bound(Low);
        if (It != FRuns.begin()) --It;
        for (; It != FRuns.end() && It->first <= High; ++It)
            if (It->second >= Low) Fn(std::max(It->first, Low), std::min(It->second, High));
    }

    // Count indices open at Index (rows inserted there): everything from Index on moves up by
    // Count; a run across Index is split around the gap.
    void Open(int Index, int Count) { Shift(Index, Count); }

    // Index goes (a row deleted): it leaves the set and everything after it moves down by one.
    void Close(int Index) {
        Remove(Index, Index);
        Shift(Index + 1, -1);
    }

private:
    void Shift(int From, int Delta) {
        std::vector<std::pair<int, int>> Moved;
        auto It = FRuns.upper_bound(From);
        if (It != FRuns.begin()) {
            auto Prev = std::prev(It);
            if (Prev->second >= From) {
                Moved.emplace_back(From + Delta, Prev->second + Delta);
                Prev->second = From - 1;
                if (Prev->second < Prev->first) FRuns.erase(Prev);
            }
        }
        for (auto Run = FRuns.lower_bound(From); Run != FRuns.end();) {
            Moved.emplace_back(Run->first + Delta, Run->second + Delta);
            Run = FRuns.erase(Run);
        }
        for (const auto& [Low, High] : Moved)
            Add(Low, High);
    }

    std::map<int, int> FRuns; // first index -> last index
};
