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
struct TSortEntry {
    uint64_t Head;
    uint32_t Row;
};

// Tie(RowA, RowB) compares the rest of two keys whose heads are equal (< 0, 0, > 0).
template <typename TTie>
std::vector<int> OrderOf(std::vector<TSortEntry>& Entries, bool Descending, TTie Tie) {
    std::sort(Entries.begin(), Entries.end(), [&](const TSortEntry& A, const TSortEntry& B) {
        if (A.Head != B.Head) return (A.Head < B.Head) != Descending;
        const int Rest = Tie(A.Row, B.Row);
        if (Rest != 0) return (Rest < 0) != Descending;
        // Equal keys keep their order in either direction.
        return A.Row < B.Row;
    });
    std::vector<int> Order(Entries.size());
    for (size_t k = 0; k < Entries.size(); ++k)
        Order[k] = static_cast<int>(Entries[k].Row);
    return Order;
}

// Units per head: each unit takes one bit more than its width, so the end of a text ranks below
// every unit, zero included, and a text goes before every longer text that starts with it.
template <typename TUnit> constexpr size_t HeadUnits = 64 / (8 * sizeof(TUnit) + 1);

// HeadUnits units of Text from Offset, the first one highest, 0 for each unit past the end.
template <typename TString> uint64_t HeadOf(const TString& Text, size_t Offset) {
    using TUnit = std::make_unsigned_t<typename TString::value_type>;
    uint64_t Head = 0;
    for (size_t i = Offset; i < Offset + HeadUnits<TUnit>; ++i) {
        Head <<= 8 * sizeof(TUnit) + 1;
        if (i < Text.size()) Head |= uint64_t{static_cast<TUnit>(Text[i])} + 1;
    }
    return Head;
}

// Every row's key text in one buffer: no allocation per key, and texts read in place. The buffer
// is sized from what the rows hold (Units), so it takes one block of the right size; texts the
// rows make only when asked (numbers under an alphabetic sort) grow it as usual.
template <typename TUnit> class TTextKeys {
public:
    using TView = std::basic_string_view<TUnit>;
    TTextKeys(size_t Count, size_t Units) {
        FEnds.reserve(Count);
        FUnits.reserve(Units);
    }
    void Add(TView Text) {
        FUnits.insert(FUnits.end(), Text.begin(), Text.end());
        FEnds.push_back(FUnits.size());
    }
    size_t size() const { return FEnds.size(); }
    bool empty() const { return FEnds.empty(); }
    TView operator[](size_t Row) const {
        const size_t Begin = Row == 0 ? 0 : FEnds[Row - 1];
        return {FUnits.data() + Begin, FEnds[Row] - Begin};
    }

private:
    std::vector<TUnit> FUnits;
    std::vector<size_t> FEnds;
};

// Texts ordered by their units as unsigned numbers, a prefix first: sorted by heads, then each run
// of equal heads by the heads that follow, from past what the whole run shares. Every text is read
// once per level in a contiguous pass, never inside a comparison.
template <typename TChar> std::vector<int> TextOrder(const TTextKeys<TChar>& Texts, bool Descending) {
    constexpr size_t Units = HeadUnits<std::make_unsigned_t<TChar>>;
    if (Texts.empty()) return {};
    std::vector<TSortEntry> Entries(Texts.size());
    for (size_t r = 0; r < Texts.size(); ++r)
        Entries[r] = {0, static_cast<uint32_t>(r)};
    auto Before = [Descending](const TSortEntry& A, const TSortEntry& B) {
        if (A.Head != B.Head) return (A.Head < B.Head) != Descending;
        return A.Row < B.Row;
    };
    struct TRun {
        size_t Begin, End, Offset;
    };
    std::vector<TRun> Runs{{0, Entries.size(), 0}};
    while (!Runs.empty()) {
        const TRun Run = Runs.back();
        Runs.pop_back();
        // Every text of a run is at least Run.Offset long and equal up to there.
        const auto First = Texts[Entries[Run.Begin].Row];
        size_t Offset = First.size();
        for (size_t k = Run.Begin + 1; k < Run.End && Offset > Run.Offset; ++k) {
            const auto Text = Texts[Entries[k].Row];
            const size_t Limit = std::min(Offset, Text.size());
            size_t i = Run.Offset;
            while (i < Limit && First[i] == Text[i])
                ++i;
            Offset = i;
        }
        for (size_t k = Run.Begin; k < Run.End; ++k)
            Entries[k].Head = HeadOf(Texts[Entries[k].Row], Offset);
        std::sort(Entries.begin() + static_cast<ptrdiff_t>(Run.Begin),
                  Entries.begin() + static_cast<ptrdiff_t>(Run.End), Before);
        // Equal heads that end inside the head are equal texts; the others need the next units.
        for (size_t b = Run.Begin; b < Run.End;) {
            size_t e = b + 1;
            while (e < Run.End && Entries[e].Head == Entries[b].Head)
                ++e;
            if (e - b > 1 && Texts[Entries[b].Row].size() >= Offset + Units)
                Runs.push_back({b, e, Offset + Units});
            b = e;
        }
    }
    std::vector<int> Order(Entries.size());
    for (size_t k = 0; k < Entries.size(); ++k)
        Order[k] = static_cast<int>(Entries[k].Row);
    return Order;
}

std::vector<int> ScalarOrder(const std::vector<uint64_t>& Keys, bool Descending) {
    std::vector<TSortEntry> Entries(Keys.size());
    for (size_t r = 0; r < Keys.size(); ++r)
        Entries[r] = {Keys[r], static_cast<uint32_t>(r)};
    return OrderOf(Entries, Descending, [](uint32_t, uint32_t) { return 0; });
}

// IP numbers are below 2^31: two fit one head.
std::vector<int> IPOrder(const std::vector<TIPKey>& Keys, bool Descending) {
    auto Pack = [](int32_t High, int32_t Low) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(High)) << 32) | static_cast<uint32_t>(Low);
    };
    std::vector<TSortEntry> Entries(Keys.size());
    for (size_t r = 0; r < Keys.size(); ++r)
        Entries[r] = {Pack(Keys[r][0], Keys[r][1]), static_cast<uint32_t>(r)};
    return OrderOf(Entries, Descending, [&](uint32_t A, uint32_t B) {
        return CompareKeys(Pack(Keys[A][2], Keys[A][3]), Pack(Keys[B][2], Keys[B][3]));
    });
}

// A stable bottom-up merge sort that stays in range whatever Before answers, for handlers
// outside our control. Before(a, b): a must go before b.
template <typename TBefore> void MergeSortRows(std::vector<int>& Rows, TBefore Before) {
    const size_t n = Rows.size();
    std::vector<int> Buffer(n);
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

// Row k becomes the row that stood at Order[k]; only pointers move.
void TCells::ReorderRows(const std::vector<int>& Order) {
    auto Apply = [&](auto& List) {
        std::remove_reference_t<decltype(List)> Items(Order.size());
        for (size_t k = 0; k < Order.size(); ++k)
            Items[k] = List[static_cast<size_t>(Order[k])];
        List.swap(Items);
    };
    Apply(FRows);
    for (TCellList& List : FColumnLists)
        Apply(List);
}

void TCells::SortColumn(int ACol, TSortType SortType, TSortKind SortKind, bool Force) {
    TCellList& List = ListOf(ACol);
    if (ACol == FSortedColumn && FSorted && FLastSortKind != SortKind && !Force) {
        ReverseRows();
    } else {
        const bool Descending = SortKind == skDescending;
        const size_t n = static_cast<size_t>(FRowCount);
        std::vector<int> Order;
        {
            TScopedChange KeepColumn(FCurrentColumn, FCurrentColumn);
            TScopedChange KeepRow(FCurrentRow, FCurrentRow);
            auto ReadKeys = [&](auto KeyOf) {
                std::vector<decltype(KeyOf(nullptr))> Keys(n);
                for (size_t r = 0; r < n; ++r)
                    Keys[r] = KeyOf(KeyCell(List, ACol, static_cast<int>(r)));
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
                for (size_t r = 0; r < n; ++r)
                    Keys.Add(KeyOf(KeyCell(List, ACol, static_cast<int>(r))));
                return Keys;
            };
            switch (SortType) {
            case stAlphabetic: {
                // Each text appended into one reused string: no heap string per cell.
                TTextKeys<char16_t> Keys(n, HeldUnits());
                WideString Text;
                for (size_t r = 0; r < n; ++r) {
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
                std::vector<TCell*> Cells = ReadKeys([](TCell* Cell) { return Cell; });
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
