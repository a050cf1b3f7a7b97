// Sorting the cell store: every key read once, a stable order of row numbers, rows moved whole.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numeric>
#include <string_view>

#include "grid/model/Cells.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/runtime/SysUtils.h"
#include "platform/runtime/TwoThreads.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Keys: the value each sort type ranks by, in a form that compares without converting again.

// A double as an unsigned number in the same order. -0 joins 0 and every NaN ranks last, so the
// order stays total whatever a cell holds.
uint64_t OrderedBits(double Value) {
    if (std::isnan(Value)) return UINT64_MAX;
    if (Value == 0) Value = 0;
    const uint64_t Bits = std::bit_cast<uint64_t>(Value);
    return (Bits >> 63) ? ~Bits : Bits | (uint64_t{1} << 63);
}

WideString AlphabeticKey(TCell* Cell) {
    return Cell->GetAsString();
}

// Only A to Z fold: other letters keep their code page byte.
AnsiString CaseInsensitiveKey(TCell* Cell) {
    return LowerCase(WideToAnsi(Cell->GetAsString()));
}

uint64_t BooleanKey(TCell* Cell) {
    return Cell->GetAsBoolean() ? 1 : 0;
}

uint64_t NumericKey(TCell* Cell) {
    return OrderedBits(Cell->GetAsFloat());
}

uint64_t DateKey(TCell* Cell) {
    return OrderedBits(Cell->GetAsDateTime());
}

using TIPKey = std::array<int32_t, 4>;

// Digits collect into a number that a dot or the end closes; anything else is skipped. Numbers
// not present are 0, an empty cell has none, numbers past the fourth are ignored. An empty number
// (two dots in a row, a dot at the end, no digits at all) raises the conversion error.
TIPKey IPKeyOf(const WideString& Text) {
    TIPKey Key{};
    if (Text.empty()) return Key;
    size_t Count = 0;
    AnsiString Number;
    auto Close = [&] {
        const int32_t Value = StrToInt(Number);
        if (Count < Key.size()) Key[Count] = Value;
        ++Count;
        Number.clear();
    };
    for (char C : WideToAnsi(Text)) {
        if (C >= '0' && C <= '9')
            Number += C;
        else if (C == '.')
            Close();
    }
    Close();
    return Key;
}

TIPKey IPKey(TCell* Cell) {
    return IPKeyOf(Cell->GetAsString());
}

template <typename T> int CompareKeys(const T& A, const T& B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

int CompareKeys(const WideString& A, const WideString& B) {
    return A.compare(B);
}

// std::string compares as unsigned bytes, a prefix first.
int CompareKeys(const AnsiString& A, const AnsiString& B) {
    return A.compare(B);
}

// ---------------------------------------------------------------------------------------------
// Ordering rows by keys

// A row's place in the sort: the leading part of its key, enough to decide most comparisons
// in a contiguous array; ties go to the rest of the key and then to the row number.
// Packed: twelve bytes instead of sixteen, for ten million rows 40 MB less per copy of them.
struct __attribute__((packed)) TSortEntry {
    uint64_t Head;
    uint32_t Row;
};
static_assert(sizeof(TSortEntry) == 12);

using TEntryList = TLargeVector<TSortEntry>;
// Rows by their index, in their new order.
using TRowOrder = TLargeVector<int>;

bool HeadBefore(const TSortEntry& A, const TSortEntry& B) {
    return A.Head < B.Head;
}

// Below this many entries a comparison sort beats the radix's passes and counts.
constexpr size_t kRadixLeast = 4096;
constexpr unsigned kDigitBits = 11;
constexpr size_t kDigitBuckets = size_t{1} << kDigitBits;

// Sorts n entries stably by the low Bits bits of their heads, the bits above being equal: a
// least-significant-digit radix sort, or a comparison sort for few entries. Spare is room for n
// more. Returns where the result lies, Data or Spare. Digits that every entry shares cost no pass.
TSortEntry* SortLowBits(TSortEntry* Data, TSortEntry* Spare, size_t n, unsigned Bits) {
    if (n < kRadixLeast) {
        std::stable_sort(Data, Data + n, HeadBefore);
        return Data;
    }
    const unsigned Passes = (Bits + kDigitBits - 1) / kDigitBits;
    std::array<std::array<size_t, kDigitBuckets>, (64 + kDigitBits - 1) / kDigitBits> Counts{};
    for (size_t k = 0; k < n; ++k)
        for (unsigned p = 0; p < Passes; ++p)
            ++Counts[p][(Data[k].Head >> (p * kDigitBits)) & (kDigitBuckets - 1)];
    TSortEntry* From = Data;
    TSortEntry* To = Spare;
    for (unsigned p = 0; p < Passes; ++p) {
        std::array<size_t, kDigitBuckets>& Count = Counts[p];
        if (std::find(Count.begin(), Count.end(), n) != Count.end()) continue;
        size_t Start = 0;
        for (size_t& c : Count)
            Start += std::exchange(c, Start);
        for (size_t k = 0; k < n; ++k)
            To[Count[(From[k].Head >> (p * kDigitBits)) & (kDigitBuckets - 1)]++] = From[k];
        std::swap(From, To);
    }
    return From;
}

// Both processors from this many entries on.
constexpr size_t kParallelEntries = size_t{1} << 16;
// The first digit of a large sort, taken from the top of the bits where heads differ: it splits
// the entries into runs small enough to sort within the caches, each on its own.
constexpr unsigned kSplitBits = 16;

// The n entries Source(k) gives (k from 0), written to Target in ascending order of head, equal
// heads in the order of k; only the low Width bits of the heads may differ. On two threads: each
// splits half the entries by their first digit (the first half's before the second's in every run,
// so the split is stable), then each sorts half the runs in place, with room of its largest run.
// Source is called twice for each entry, from either thread.
template <typename TSource> void SplitSort(size_t n, TSource Source, unsigned Width, TSortEntry* Target) {
    const unsigned SplitBits = std::min(Width, kSplitBits);
    const unsigned Shift = Width - SplitBits;
    const size_t Runs = size_t{1} << SplitBits;
    auto RunOf = [Shift, Runs](uint64_t Head) { return static_cast<size_t>(Head >> Shift) & (Runs - 1); };
    const size_t Half = n / 2;
    std::vector<size_t> FirstHalf(Runs), SecondHalf(Runs), Starts(Runs + 1);
    auto Count = [&](std::vector<size_t>& Counts, size_t Begin, size_t End) {
        for (size_t k = Begin; k < End; ++k)
            ++Counts[RunOf(Source(k).Head)];
    };
    OnTwoThreads([&] { Count(FirstHalf, 0, Half); }, [&] { Count(SecondHalf, Half, n); });
    // The counts become each half's next place in its run.
    size_t Start = 0;
    for (size_t r = 0; r < Runs; ++r) {
        Starts[r] = Start;
        Start += FirstHalf[r] + SecondHalf[r];
        SecondHalf[r] = Starts[r] + FirstHalf[r];
        FirstHalf[r] = Starts[r];
    }
    Starts[Runs] = n;
    // The runs are shared out by entries, not by number; each thread's room is made before either
    // starts, so neither allocates.
    const size_t Middle = std::min(
        Runs, static_cast<size_t>(std::lower_bound(Starts.begin(), Starts.end(), Half) - Starts.begin()));
    auto LongestRun = [&](size_t First, size_t Last) {
        size_t Longest = 0;
        for (size_t r = First; r < Last; ++r)
            Longest = std::max(Longest, Starts[r + 1] - Starts[r]);
        return Longest;
    };
    TEntryList FirstRoom(LongestRun(0, Middle)), SecondRoom(LongestRun(Middle, Runs));
    auto Scatter = [&](std::vector<size_t>& Next, size_t Begin, size_t End) {
        for (size_t k = Begin; k < End; ++k) {
            const TSortEntry Entry = Source(k);
            Target[Next[RunOf(Entry.Head)]++] = Entry;
        }
    };
    OnTwoThreads([&] { Scatter(FirstHalf, 0, Half); }, [&] { Scatter(SecondHalf, Half, n); });
    auto SortRuns = [&](size_t First, size_t Last, TEntryList& Room) {
        for (size_t r = First; r < Last; ++r) {
            const size_t Begin = Starts[r], Length = Starts[r + 1] - Begin;
            const TSortEntry* Result = SortLowBits(Target + Begin, Room.data(), Length, Shift);
            if (Result != Target + Begin) std::copy(Result, Result + Length, Target + Begin);
        }
    };
    OnTwoThreads([&] { SortRuns(0, Middle, FirstRoom); }, [&] { SortRuns(Middle, Runs, SecondRoom); });
}

// The bits where heads differ, from the lowest: 0 when all are equal.
template <typename THeadAt> unsigned DifferingBits(size_t n, THeadAt HeadAt) {
    uint64_t Differ = 0;
    for (size_t k = 1; k < n; ++k)
        Differ |= HeadAt(k) ^ HeadAt(0);
    return static_cast<unsigned>(std::bit_width(Differ));
}

// Entries in ascending order of Head, equal heads in the order they come in. Scratch is room for
// at least n entries, made when needed.
void SortByHead(TSortEntry* Entries, size_t n, TEntryList& Scratch) {
    if (n < kRadixLeast) return std::stable_sort(Entries, Entries + n, HeadBefore);
    const unsigned Width = DifferingBits(n, [Entries](size_t k) { return Entries[k].Head; });
    if (Width == 0) return;
    if (Scratch.size() < n) Scratch.resize(n);
    if (n < kParallelEntries) {
        const TSortEntry* Result = SortLowBits(Entries, Scratch.data(), n, Width);
        if (Result != Entries) std::copy(Result, Result + n, Entries);
        return;
    }
    std::copy(Entries, Entries + n, Scratch.data());
    SplitSort(
        n, [&Scratch](size_t k) { return Scratch[k]; }, Width, Entries);
}

// Entries for rows 0 to n - 1 with the heads HeadOf(Row) gives, sorted as SortByHead does.
// Width: the low bits of the heads that may differ. Many rows are split straight from their heads
// into Entries, without a second list of them all.
template <typename THeadOf>
void SortRowsByHead(size_t n, THeadOf HeadOf, unsigned Width, TEntryList& Entries, TEntryList& Scratch) {
    Entries.resize(n);
    if (n < kParallelEntries || Width == 0) {
        for (size_t r = 0; r < n; ++r)
            Entries[r] = {HeadOf(r), static_cast<uint32_t>(r)};
        return SortByHead(Entries.data(), n, Scratch);
    }
    SplitSort(
        n,
        [&HeadOf](size_t r) {
            return TSortEntry{HeadOf(r), static_cast<uint32_t>(r)};
        },
        Width, Entries.data());
}

// Rows from entries in row order; a head is flipped for a descending sort, so that both directions
// sort ascending and equal keys keep their order in either.
TRowOrder RowsOf(const TEntryList& Entries) {
    TRowOrder Order(Entries.size());
    for (size_t k = 0; k < Entries.size(); ++k)
        Order[k] = static_cast<int>(Entries[k].Row);
    return Order;
}

// Tie(RowA, RowB) compares the rest of two keys whose heads are equal (< 0, 0, > 0).
template <typename TTie> TRowOrder OrderOf(TEntryList& Entries, bool Descending, TTie Tie) {
    std::sort(Entries.begin(), Entries.end(), [&](const TSortEntry& A, const TSortEntry& B) {
        if (A.Head != B.Head) return (A.Head < B.Head) != Descending;
        const int Rest = Tie(A.Row, B.Row);
        if (Rest != 0) return (Rest < 0) != Descending;
        // Equal keys keep their order in either direction.
        return A.Row < B.Row;
    });
    return RowsOf(Entries);
}

// The units a column's texts use, each given its rank among them from 1 up, so that a head packs
// as many units as those ranks allow; 0 stands for the end of a text, which ranks below every
// unit, so a text goes before every longer text that starts with it. Ranks keep the units' order,
// so heads compare as the texts do.
template <typename TUnit> class TUnitRanks {
public:
    template <typename TUnits>
    explicit TUnitRanks(const TUnits& All) : FRank(size_t{1} << (8 * sizeof(TUnit))) {
        for (auto Unit : All)
            FRank[static_cast<TUnit>(Unit)] = 1;
        uint32_t Rank = 0;
        for (uint32_t& Slot : FRank)
            if (Slot) Slot = ++Rank;
        FBits = std::max(1, static_cast<int>(std::bit_width(Rank)));
        FPerHead = 64 / FBits;
    }
    size_t PerHead() const { return FPerHead; }
    // The low bits of a head that hold units; the ones above are always 0.
    unsigned HeadBits() const { return static_cast<unsigned>(FPerHead) * FBits; }
    // PerHead units of Text from Offset, the first one highest, 0 for each unit past the end.
    template <typename TString> uint64_t HeadOf(const TString& Text, size_t Offset) const {
        uint64_t Head = 0;
        for (size_t i = Offset; i < Offset + FPerHead; ++i) {
            Head <<= FBits;
            if (i < Text.size()) Head |= FRank[static_cast<TUnit>(Text[i])];
        }
        return Head;
    }

private:
    std::vector<uint32_t> FRank;
    unsigned FBits = 1;
    size_t FPerHead = 64;
};

// Every row's key text in one buffer: no allocation per key, and texts read in place. The buffer
// is sized from what the rows hold (Units), so it takes one block of the right size; texts the
// rows make only when asked (numbers under an alphabetic sort) grow it as usual.
template <typename TUnit> class TTextKeys {
public:
    using TView = std::basic_string_view<TUnit>;
    TTextKeys(size_t Count, size_t Units) {
        FShortEnds.reserve(Count);
        FUnits.reserve(Units);
    }
    void Add(TView Text) {
        FUnits.insert(FUnits.end(), Text.begin(), Text.end());
        if (!FLong && FUnits.size() > UINT32_MAX) {
            FEnds.assign(FShortEnds.begin(), FShortEnds.end());
            FShortEnds = {};
            FLong = true;
        }
        if (FLong)
            FEnds.push_back(FUnits.size());
        else
            FShortEnds.push_back(static_cast<uint32_t>(FUnits.size()));
    }
    size_t size() const { return FLong ? FEnds.size() : FShortEnds.size(); }
    bool empty() const { return size() == 0; }
    TView operator[](size_t Row) const {
        const size_t Begin = Row == 0 ? 0 : EndOf(Row - 1);
        return {FUnits.data() + Begin, EndOf(Row) - Begin};
    }
    // Every unit of every text, one after the other.
    const TLargeVector<TUnit>& Units() const { return FUnits; }

private:
    size_t EndOf(size_t Row) const { return FLong ? FEnds[Row] : FShortEnds[Row]; }
    TLargeVector<TUnit> FUnits;
    // Where each text ends: in 32 bits until the texts pass 4 G units, then in FEnds.
    TLargeVector<uint32_t> FShortEnds;
    TLargeVector<size_t> FEnds;
    bool FLong = false;
};

// Texts ordered by their units as unsigned numbers, a prefix first: sorted by heads, then each run
// of equal heads by the heads that follow, from past what the whole run shares. Every text is read
// once per level in a contiguous pass, never inside a comparison.
template <typename TChar> TRowOrder TextOrder(const TTextKeys<TChar>& Texts, bool Descending) {
    using TUnit = std::make_unsigned_t<TChar>;
    if (Texts.empty()) return {};
    const TUnitRanks<TUnit> Ranks(Texts.Units());
    const size_t Units = Ranks.PerHead();
    const uint64_t Flip = Descending ? UINT64_MAX : 0;
    // Entries of equal heads stay in row order through every sort.
    TEntryList Entries, Scratch;
    // Every text at places Begin to End is at least From long and equal up to there: how far they
    // are all equal.
    auto Shared = [&Texts](size_t Begin, size_t End, size_t From, auto RowAt) {
        const auto First = Texts[RowAt(Begin)];
        size_t Offset = First.size();
        for (size_t k = Begin + 1; k < End && Offset > From; ++k) {
            const auto Text = Texts[RowAt(k)];
            const size_t Limit = std::min(Offset, Text.size());
            size_t i = From;
            while (i < Limit && First[i] == Text[i])
                ++i;
            Offset = i;
        }
        return Offset;
    };
    struct TRun {
        size_t Begin, End, Offset;
    };
    std::vector<TRun> Runs;
    // Equal heads that end inside the head are equal texts; the others need the next units.
    auto AddTies = [&](size_t Begin, size_t End, size_t Offset) {
        for (size_t b = Begin; b < End;) {
            size_t e = b + 1;
            while (e < End && Entries[e].Head == Entries[b].Head)
                ++e;
            if (e - b > 1 && Texts[Entries[b].Row].size() >= Offset + Units)
                Runs.push_back({b, e, Offset + Units});
            b = e;
        }
    };
    // All rows first, their heads split straight into the entries.
    const size_t Offset = Shared(0, Texts.size(), 0, [](size_t k) { return k; });
    SortRowsByHead(
        Texts.size(), [&](size_t Row) { return Ranks.HeadOf(Texts[Row], Offset) ^ Flip; }, Ranks.HeadBits(),
        Entries, Scratch);
    AddTies(0, Entries.size(), Offset);
    while (!Runs.empty()) {
        const TRun Run = Runs.back();
        Runs.pop_back();
        const size_t RunOffset =
            Shared(Run.Begin, Run.End, Run.Offset, [&Entries](size_t k) { return Entries[k].Row; });
        for (size_t k = Run.Begin; k < Run.End; ++k)
            Entries[k].Head = Ranks.HeadOf(Texts[Entries[k].Row], RunOffset) ^ Flip;
        SortByHead(Entries.data() + Run.Begin, Run.End - Run.Begin, Scratch);
        AddTies(Run.Begin, Run.End, RunOffset);
    }
    // Room given back before the order is made.
    Scratch = {};
    return RowsOf(Entries);
}

// Numbers, booleans and dates: the whole key is the head.
TRowOrder ScalarOrder(const TLargeVector<uint64_t>& Keys, bool Descending) {
    const uint64_t Flip = Descending ? UINT64_MAX : 0;
    TEntryList Entries, Scratch;
    SortRowsByHead(
        Keys.size(), [&](size_t Row) { return Keys[Row] ^ Flip; },
        DifferingBits(Keys.size(), [&Keys](size_t k) { return Keys[k]; }), Entries, Scratch);
    Scratch = {};
    return RowsOf(Entries);
}

// IP numbers are below 2^31: two fit one head.
TRowOrder IPOrder(const TLargeVector<TIPKey>& Keys, bool Descending) {
    auto Pack = [](int32_t High, int32_t Low) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(High)) << 32) | static_cast<uint32_t>(Low);
    };
    TEntryList Entries(Keys.size());
    for (size_t r = 0; r < Keys.size(); ++r)
        Entries[r] = {Pack(Keys[r][0], Keys[r][1]), static_cast<uint32_t>(r)};
    return OrderOf(Entries, Descending, [&](uint32_t A, uint32_t B) {
        return CompareKeys(Pack(Keys[A][2], Keys[A][3]), Pack(Keys[B][2], Keys[B][3]));
    });
}

// A stable bottom-up merge sort that stays in range whatever Before answers, for handlers
// outside our control. Before(a, b): a must go before b.
template <typename TBefore> void MergeSortRows(TRowOrder& Rows, TBefore Before) {
    const size_t n = Rows.size();
    TRowOrder Buffer(n);
    for (size_t Width = 1; Width < n; Width *= 2) {
        for (size_t Lo = 0; Lo < n; Lo += 2 * Width) {
            const size_t Mid = std::min(Lo + Width, n), Hi = std::min(Lo + 2 * Width, n);
            size_t i = Lo, j = Mid, k = Lo;
            while (i < Mid && j < Hi)
                Buffer[k++] = Before(Rows[j], Rows[i]) ? Rows[j++] : Rows[i++];
            while (i < Mid)
                Buffer[k++] = Rows[i++];
            while (j < Hi)
                Buffer[k++] = Rows[j++];
        }
        Rows.swap(Buffer);
    }
}

// After a sort the cells of a list lie scattered over memory: fetch the ones a few rows on.
template <typename TList> void PrefetchCell(const TList& List, size_t Row) {
    constexpr size_t kAhead = 32;
    if (Row + kAhead < List.size()) __builtin_prefetch(List[Row + kAhead]);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Comparators

#define QUILLMAR_CELL_COMPARATORS(Name, KeyOf)                                                               \
    bool TCells::Name##GreaterCompare(TCell* Cell1, TCell* Cell2) {                                          \
        return CompareKeys(KeyOf(Cell1), KeyOf(Cell2)) >= 0;                                                 \
    }                                                                                                        \
    bool TCells::Name##LessCompare(TCell* Cell1, TCell* Cell2) {                                             \
        return CompareKeys(KeyOf(Cell1), KeyOf(Cell2)) <= 0;                                                 \
    }

QUILLMAR_CELL_COMPARATORS(Alphabetic, AlphabeticKey)
QUILLMAR_CELL_COMPARATORS(Boolean, BooleanKey)
QUILLMAR_CELL_COMPARATORS(CaseInsensitive, CaseInsensitiveKey)
QUILLMAR_CELL_COMPARATORS(Numeric, NumericKey)
QUILLMAR_CELL_COMPARATORS(Date, DateKey)
QUILLMAR_CELL_COMPARATORS(IP, IPKey)

#undef QUILLMAR_CELL_COMPARATORS

// Without a handler every cell ties.
bool TCells::CustomGreaterCompare(TCell* Cell1, TCell* Cell2) {
    int Compare = 0;
    DoCellCompare(Cell1, Cell2, Compare);
    return Compare >= 0;
}

bool TCells::CustomLessCompare(TCell* Cell1, TCell* Cell2) {
    int Compare = 0;
    DoCellCompare(Cell1, Cell2, Compare);
    return Compare <= 0;
}

// ---------------------------------------------------------------------------------------------
// Sorting

// The current coordinates follow the cell, so increment and virtual cells answer for their row.
TCell* TCells::KeyCell(TCellList& List, int ACol, int ARow) {
    FCurrentColumn = ACol;
    FCurrentRow = ARow;
    return List[static_cast<size_t>(ARow)];
}

void TCells::ReverseRows() {
    const int n = FRowCount;
    for (int k = 0; k < n / 2; ++k) {
        const size_t Top = static_cast<size_t>(k), Bottom = static_cast<size_t>(n - 1 - k);
        std::swap(FRows[Top], FRows[Bottom]);
        for (TCellList& List : FColumnLists)
            std::swap(List[Top], List[Bottom]);
    }
}

// Row k becomes the row that stood at Order[k]; only pointers move. Each list is gathered into a
// spare one that then takes its place, the old one becoming the next spare; the spares are made
// before any moves, so running out of memory leaves every row whole where it was. The lists are
// independent, so with many rows a second thread, with a spare of its own, takes every other one;
// reads run ahead of use, as the order scatters them over the list.
void TCells::ReorderRows(const TRowOrder& Order) {
    const size_t n = Order.size();
    const bool Both = n >= kParallelEntries;
    // A spare for each thread that gathers a column's list: the second one's first list is the
    // rows' when there is one column only. Each on a cache line of its own, as every item
    // gathered moves its end.
    struct alignas(64) TCellSpare {
        TCellList List;
    };
    struct alignas(64) TRowSpare {
        TLargeVector<TRow*> List;
    };
    TCellSpare Spares[2];
    for (size_t t = 0; t < (Both ? 2u : 1u) && t < FColumnLists.size(); ++t)
        Spares[t].List.reserve(n);
    TRowSpare SpareRows;
    SpareRows.List.reserve(n);
    auto Gather = [&](auto& List, auto& Spare) {
        constexpr size_t kAhead = 64;
        Spare.clear();
        for (size_t k = 0; k < n; ++k) {
            if (k + kAhead < n) __builtin_prefetch(&List[static_cast<size_t>(Order[k + kAhead])]);
            Spare.push_back(List[static_cast<size_t>(Order[k])]);
        }
        List.swap(Spare);
    };
    // Lists 0 and up, then the rows, as one sequence split between the threads.
    auto GatherEvery = [&](size_t First, size_t Step, TCellList& Spare) {
        for (size_t i = First; i <= FColumnLists.size(); i += Step) {
            if (i < FColumnLists.size())
                Gather(FColumnLists[i], Spare);
            else
                Gather(FRows, SpareRows.List);
        }
    };
    if (Both)
        OnTwoThreads([&] { GatherEvery(0, 2, Spares[0].List); }, [&] { GatherEvery(1, 2, Spares[1].List); });
    else
        GatherEvery(0, 1, Spares[0].List);
}

void TCells::SortColumn(int ACol, TSortType SortType, TSortKind SortKind, bool Force) {
    TCellList& List = ListOf(ACol);
    if (ACol == FSortedColumn && FSorted && FLastSortKind != SortKind && !Force) {
        ReverseRows();
    } else {
        const bool Descending = SortKind == skDescending;
        const size_t n = static_cast<size_t>(FRowCount);
        TRowOrder Order;
        {
            TScopedChange KeepColumn(FCurrentColumn, FCurrentColumn);
            TScopedChange KeepRow(FCurrentRow, FCurrentRow);
            // Cells that answer the same at any coordinates are read by two threads, half the rows
            // each; a conversion error then raises as the first failing row's would.
            auto ReadKeys = [&](auto KeyOf) {
                TLargeVector<decltype(KeyOf(nullptr))> Keys(n);
                auto Read = [&](size_t First, size_t Last, bool Apart) {
                    for (size_t r = First; r < Last; ++r) {
                        PrefetchCell(List, r);
                        Keys[r] = KeyOf(Apart ? List[r] : KeyCell(List, ACol, static_cast<int>(r)));
                    }
                };
                if (n < kParallelEntries || !ReadsApart()) {
                    Read(0, n, false);
                    return Keys;
                }
                OnTwoThreadsRaising([&] { Read(0, n / 2, true); }, [&] { Read(n / 2, n, true); });
                return Keys;
            };
            // The characters the rows' texts hold, read before the keys to size their block.
            auto HeldUnits = [&] {
                size_t Units = 0;
                for (size_t r = 0; r < n; ++r)
                    Units += List[r]->GetHeldTextLength();
                return Units;
            };
            auto ReadTexts = [&](auto KeyOf) {
                TTextKeys<typename decltype(KeyOf(nullptr))::value_type> Keys(n, HeldUnits());
                for (size_t r = 0; r < n; ++r) {
                    PrefetchCell(List, r);
                    Keys.Add(KeyOf(KeyCell(List, ACol, static_cast<int>(r))));
                }
                return Keys;
            };
            switch (SortType) {
            case stAlphabetic: {
                // Each text appended into one reused string: no heap string per cell.
                TTextKeys<char16_t> Keys(n, HeldUnits());
                WideString Text;
                for (size_t r = 0; r < n; ++r) {
                    PrefetchCell(List, r);
                    Text.clear();
                    KeyCell(List, ACol, static_cast<int>(r))->AppendAsString(Text);
                    Keys.Add(Text);
                }
                Order = TextOrder(Keys, Descending);
                break;
            }
            case stCaseInsensitive:
                Order = TextOrder(ReadTexts(CaseInsensitiveKey), Descending);
                break;
            case stBoolean:
                Order = ScalarOrder(ReadKeys(BooleanKey), Descending);
                break;
            case stNumeric:
                Order = ScalarOrder(ReadKeys(NumericKey), Descending);
                break;
            case stDate:
                Order = ScalarOrder(ReadKeys(DateKey), Descending);
                break;
            case stIP:
                Order = IPOrder(ReadKeys(IPKey), Descending);
                break;
            case stCustom: {
                TLargeVector<TCell*> Cells = ReadKeys([](TCell* Cell) { return Cell; });
                Order.resize(n);
                std::iota(Order.begin(), Order.end(), 0);
                // Strictly before: the other one does not rank at or after (at or before) it.
                MergeSortRows(Order, [&](int A, int B) {
                    return Descending ? !CustomLessCompare(Cells[A], Cells[B])
                                      : !CustomGreaterCompare(Cells[A], Cells[B]);
                });
                break;
            }
            }
        }
        ReorderRows(Order);
    }
    FLastSortKind = SortKind;
    FSortedColumn = ACol;
    FSorted = true;
}
