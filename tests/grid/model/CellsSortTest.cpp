// Sorting the cell store: rows moving whole, reversal against full sorts, every sort type's
// order, failing conversions, and agreement between the sort and the cell comparators.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "grid/model/FakeGrid.h"
#include "platform/runtime/CodePage.h"

namespace {

// Column 0 holds the sort keys, column 1 the original row number as "#n"; row records carry
// the original number in their height, so a row's parts can be followed after it moved.
class TSortGrid {
public:
    explicit TSortGrid(const std::vector<WideString>& Keys, TColumnType KeyType = ctString) {
        Key = Grid.AddColumn();
        Key->SetColumnType(KeyType);
        Grid.AddColumn();
        // A type set after adding makes no cells of that type: add the rows afterwards.
        Grid.Cells->AddRow(static_cast<int>(Keys.size()));
        for (int r = 0; r < static_cast<int>(Keys.size()); ++r) {
            Grid.Cells->GetRow(r)->Height = 100 + r;
            Grid.Cells->GetCell(0, r)->SetAsString(Keys[static_cast<size_t>(r)]);
            Grid.Cells->GetCell(1, r)->SetAsString(u"#" + IntToStr(r));
        }
    }
    // The original row numbers in the current order, checked across record and marker cell.
    std::vector<int> Order() {
        std::vector<int> Result;
        for (int r = 0; r < Grid.Cells->GetRowCount(); ++r) {
            const int Original = Grid.Cells->GetRow(r)->Height - 100;
            EXPECT_EQ(Grid.Cells->GetCell(1, r)->GetAsString(), u"#" + IntToStr(Original)) << "row " << r;
            Result.push_back(Original);
        }
        return Result;
    }
    std::vector<WideString> Texts() {
        std::vector<WideString> Result;
        for (int r = 0; r < Grid.Cells->GetRowCount(); ++r)
            Result.push_back(Grid.Cells->GetCell(0, r)->GetAsString());
        return Result;
    }
    void Sort(TSortType Type, TSortKind Kind = skAscending, bool Force = false) {
        Grid.Cells->SortColumn(0, Type, Kind, Force);
    }
    TFixedFormatSettings Settings;
    TFakeGrid Grid;
    TNxCustomColumn* Key = nullptr;
};

std::vector<int> Reversed(std::vector<int> Order) {
    std::reverse(Order.begin(), Order.end());
    return Order;
}

} // namespace

TEST(CellsSort, DirectionChangesReverseExactlyUntilDataChanges) {
    // Rows 0, 2 and 4 share a key: a reversal turns their order round, a full sort keeps it.
    TSortGrid G({u"b", u"a", u"b", u"c", u"b"});
    G.Grid.Cells->GetRow(3)->Selected = true;

    G.Sort(stAlphabetic, skAscending);
    EXPECT_EQ(G.Order(), (std::vector<int>{1, 0, 2, 4, 3}));
    EXPECT_TRUE(G.Grid.Cells->GetSorted());
    EXPECT_EQ(G.Grid.Cells->GetSortedColumn(), 0);
    EXPECT_EQ(G.Grid.Cells->GetLastSortKind(), skAscending);
    EXPECT_TRUE(G.Grid.Cells->GetRow(4)->Selected) << "the selected flag travels with its row";

    G.Sort(stAlphabetic, skDescending);
    EXPECT_EQ(G.Order(), (std::vector<int>{3, 4, 2, 0, 1}));
    EXPECT_EQ(G.Grid.Cells->GetLastSortKind(), skDescending);
    G.Sort(stAlphabetic, skAscending);
    EXPECT_EQ(G.Order(), (std::vector<int>{1, 0, 2, 4, 3}));

    // The same direction again is a full sort, which leaves a sorted order as it is.
    G.Sort(stAlphabetic, skAscending);
    EXPECT_EQ(G.Order(), (std::vector<int>{1, 0, 2, 4, 3}));

    // A changed cell clears the memory: the next direction change sorts, equal rows keep order.
    G.Grid.Cells->GetCell(0, 0)->SetAsString(u"a");
    EXPECT_FALSE(G.Grid.Cells->GetSorted());
    G.Sort(stAlphabetic, skDescending);
    EXPECT_EQ(G.Order(), (std::vector<int>{3, 0, 2, 4, 1}));
}

TEST(CellsSort, ForceAndOtherColumnsSortFully) {
    TSortGrid G({u"b", u"a", u"b"});
    G.Sort(stAlphabetic, skAscending);
    G.Sort(stAlphabetic, skDescending, true);
    EXPECT_EQ(G.Order(), (std::vector<int>{0, 2, 1}));

    // The memory names column 0: a direction change on column 1 is a sort of column 1.
    G.Grid.Cells->SortColumn(1, stAlphabetic, skAscending, false);
    EXPECT_EQ(G.Order(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(G.Grid.Cells->GetSortedColumn(), 1);

    // Operations that change the row order clear the memory; deleting and swapping do not.
    G.Grid.Cells->DeleteRow(2);
    EXPECT_TRUE(G.Grid.Cells->GetSorted());
    G.Grid.Cells->MoveRow(0, 1);
    EXPECT_FALSE(G.Grid.Cells->GetSorted());
}

TEST(CellsSort, TextOrders) {
    TSortGrid G({u"b", u"B", u"a", u"A", u"ab", u"", u"Ab"});
    G.Sort(stAlphabetic);
    EXPECT_EQ(G.Texts(), (std::vector<WideString>{u"", u"A", u"Ab", u"B", u"a", u"ab", u"b"}));
    G.Sort(stCaseInsensitive);
    EXPECT_EQ(G.Texts(), (std::vector<WideString>{u"", u"A", u"a", u"Ab", u"ab", u"B", u"b"}));

    // Units compare as unsigned numbers: beyond ASCII ranks after it, and only A to Z fold.
    const TCodePage Saved = SystemCodePage();
    SetSystemCodePage(TCodePage::cp1252);
    const std::vector<WideString> Accented{u"\u00e9", u"z", u"\u00c9", u"Z"};
    TSortGrid Exact(Accented);
    Exact.Sort(stAlphabetic);
    EXPECT_EQ(Exact.Texts(), (std::vector<WideString>{u"Z", u"z", u"\u00c9", u"\u00e9"}));
    TSortGrid Folded(Accented);
    Folded.Sort(stCaseInsensitive);
    EXPECT_EQ(Folded.Texts(), (std::vector<WideString>{u"z", u"Z", u"\u00c9", u"\u00e9"}));
    SetSystemCodePage(Saved);

    // Zero units and texts that are prefixes of each other, across several heads' length.
    const WideString Zero(1, u'\0');
    TSortGrid Prefixes({u"abcdefg" + Zero, u"abc", u"abcdefg", u"ab" + Zero, u"abcdefgh", u"ab", u"abcdefg"});
    Prefixes.Sort(stAlphabetic);
    EXPECT_EQ(Prefixes.Order(), (std::vector<int>{5, 3, 1, 2, 6, 0, 4}));
    Prefixes.Sort(stAlphabetic, skDescending, true);
    EXPECT_EQ(Prefixes.Order(), (std::vector<int>{4, 0, 2, 6, 1, 3, 5}));

    TSortGrid Numbers({u"10", u"9", u"100"});
    Numbers.Sort(stAlphabetic);
    EXPECT_EQ(Numbers.Texts(), (std::vector<WideString>{u"10", u"100", u"9"}));
    Numbers.Sort(stNumeric);
    EXPECT_EQ(Numbers.Texts(), (std::vector<WideString>{u"9", u"10", u"100"}));
    Numbers.Sort(stNumeric, skDescending, true);
    EXPECT_EQ(Numbers.Texts(), (std::vector<WideString>{u"100", u"10", u"9"}));

    // Integer cells sorted as text order their full text, the longest negative ones included.
    TSortGrid Integers({u"-999999999", u"-2147483648", u"7", u"-1000000000", u"2147483647", u"-1000000001"},
                       ctInteger);
    Integers.Sort(stAlphabetic);
    EXPECT_EQ(Integers.Order(), (std::vector<int>{3, 5, 1, 0, 4, 2}));
    EXPECT_EQ(Integers.Texts(), (std::vector<WideString>{u"-1000000000", u"-1000000001", u"-2147483648",
                                                         u"-999999999", u"2147483647", u"7"}));
}

TEST(CellsSort, ValueOrders) {
    TSortGrid Bools({u"True", u"False", u"True", u"False"});
    Bools.Sort(stBoolean);
    EXPECT_EQ(Bools.Order(), (std::vector<int>{1, 3, 0, 2}));

    TSortGrid Dates({u"3/1/2024", u"12/31/2023", u"3/1/2024 10:00:00", u"1/15/2024"});
    Dates.Sort(stDate);
    EXPECT_EQ(Dates.Order(), (std::vector<int>{1, 3, 0, 2}));

    // Negative numbers, zero of either sign and fractions in float cells.
    TSortGrid Floats({u"-1.5", u"0", u"-0", u"2", u"-20", u"0.25"}, ctFloat);
    Floats.Sort(stNumeric);
    EXPECT_EQ(Floats.Order(), (std::vector<int>{4, 0, 1, 2, 5, 3}));

    // Enough numbers for a radix sort, differing only in their very last bit.
    std::vector<WideString> Close;
    std::vector<int> Ones, Nexts;
    for (int r = 0; r < 5000; ++r) {
        Close.push_back(r % 3 ? u"1" : u"1.0000000000000002");
        (r % 3 ? Ones : Nexts).push_back(r);
    }
    TSortGrid Neighbours(Close, ctFloat);
    Neighbours.Sort(stNumeric);
    Ones.insert(Ones.end(), Nexts.begin(), Nexts.end());
    EXPECT_EQ(Neighbours.Order(), Ones);
}

// Equal keys keep their first order when a column is sorted descending from scratch; the next
// direction change on an even number of rows turns every pair round, the middle pair included.
TEST(CellsSort, EqualKeysKeepOrderDescendingAndEvenListsReverseWhole) {
    struct TCase {
        TSortType Type;
        TColumnType KeyType;
        std::vector<WideString> Keys;
        std::vector<int> Descending;
    };
    for (const TCase& Case : {
             TCase{stNumeric, ctString, {u"2", u"5", u"2", u"7", u"5", u"2"}, {3, 1, 4, 0, 2, 5}},
             TCase{stNumeric, ctFloat, {u"1.5", u"-1", u"1.5", u"-1"}, {0, 2, 1, 3}},
             TCase{stDate,
                   ctString,
                   {u"1/2/2024", u"3/1/2024", u"1/2/2024", u"3/1/2024", u"12/31/2023", u"3/1/2024"},
                   {1, 3, 5, 0, 2, 4}},
             TCase{stBoolean,
                   ctString,
                   {u"False", u"True", u"False", u"True", u"True", u"False"},
                   {1, 3, 4, 0, 2, 5}},
             TCase{stIP,
                   ctString,
                   {u"10.0.0", u"9.1.1.1", u"10.0.0.0", u"192.168.0.1", u"9.1.1.1", u"010.0.0.0"},
                   {3, 0, 2, 5, 1, 4}},
         }) {
        SCOPED_TRACE(Case.Type);
        TSortGrid G(Case.Keys, Case.KeyType);
        G.Sort(Case.Type, skDescending);
        EXPECT_EQ(G.Order(), Case.Descending);
        G.Sort(Case.Type, skAscending);
        EXPECT_EQ(G.Order(), Reversed(Case.Descending)) << "a direction change turns the rows round exactly";
        G.Sort(Case.Type, skDescending);
        EXPECT_EQ(G.Order(), Case.Descending);
    }
}

TEST(CellsSort, IPOrder) {
    TSortGrid G({u"10.0.0.2", u"9.255.255.255", u"10.0.0", u"10.0.0.0", u"", u"192.168.1.10", u"192.168.1.9",
                 u"ip 10.0.0.1"});
    G.Sort(stIP);
    // 10.0.0 and 10.0.0.0 are equal and keep their order; an empty cell is 0.0.0.0; letters
    // are skipped.
    EXPECT_EQ(G.Order(), (std::vector<int>{4, 1, 2, 3, 7, 0, 6, 5}));
    EXPECT_TRUE(G.Grid.Cells->IPLessCompare(G.Grid.Cells->GetCell(0, 2), G.Grid.Cells->GetCell(0, 3)));
    EXPECT_TRUE(G.Grid.Cells->IPGreaterCompare(G.Grid.Cells->GetCell(0, 2), G.Grid.Cells->GetCell(0, 3)));
}

TEST(CellsSort, FailedConversionLeavesRowsAndMemory) {
    // Texts that are no numbers, dates or addresses raise the conversion error before any row
    // moves, whatever place they have.
    struct TCase {
        TSortType Type;
        std::vector<WideString> Keys;
    };
    for (const TCase& Case :
         {TCase{stNumeric, {u"3", u"1", u"n/a", u"2"}}, TCase{stNumeric, {u"3", u"1", u""}},
          TCase{stDate, {u"1/2/2024", u"tomorrow", u"1/1/2024"}}, TCase{stBoolean, {u"True", u"maybe"}},
          TCase{stIP, {u"10.0.0.1", u"10..1"}}, TCase{stIP, {u"10.0.0.1", u"10.0."}}}) {
        TSortGrid G(Case.Keys);
        G.Sort(stAlphabetic);
        const std::vector<int> Before = G.Order();
        EXPECT_THROW(G.Sort(Case.Type, skDescending, true), EConvertError);
        EXPECT_EQ(G.Order(), Before);
        EXPECT_EQ(G.Grid.Cells->GetLastSortKind(), skAscending);
        EXPECT_TRUE(G.Grid.Cells->GetSorted());
    }
    // Many rows, read by two threads: a bad text in either half raises, the first one's error
    // when both have one.
    std::vector<WideString> Many(70'000, u"7");
    Many[60'000] = u"late";
    TSortGrid Late(Many);
    EXPECT_THROW(Late.Sort(stNumeric), EConvertError);
    std::vector<int> Unmoved(Many.size());
    std::iota(Unmoved.begin(), Unmoved.end(), 0);
    EXPECT_EQ(Late.Order(), Unmoved);
    Many[10] = u"early";
    TSortGrid Both(Many);
    try {
        Both.Sort(stNumeric);
        ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& Error) {
        EXPECT_NE(std::string(Error.what()).find("early"), std::string::npos) << Error.what();
    }
}

TEST(CellsSort, NotANumberRanksLastAndLosesNoRow) {
    TSortGrid G({u"1", u"2", u"3", u"4"}, ctFloat);
    G.Grid.Cells->GetCell(0, 1)->SetAsFloat(std::numeric_limits<double>::quiet_NaN());
    G.Grid.Cells->GetCell(0, 3)->SetAsFloat(-std::numeric_limits<double>::infinity());
    G.Sort(stNumeric);
    EXPECT_EQ(G.Order(), (std::vector<int>{3, 0, 2, 1}));
}

TEST(CellsSort, CustomCompare) {
    TSortGrid G({u"ccc", u"a", u"bb", u"dd"});
    // Without a handler every cell ties and nothing moves.
    G.Sort(stCustom);
    EXPECT_EQ(G.Order(), (std::vector<int>{0, 1, 2, 3}));

    G.Grid.Cells->OnCompare = [](TObject*, TCell* Cell1, TCell* Cell2, int& Compare) {
        EXPECT_EQ(Compare, 0);
        Compare =
            static_cast<int>(Cell1->GetAsString().size()) - static_cast<int>(Cell2->GetAsString().size());
    };
    G.Sort(stCustom, skAscending, true);
    EXPECT_EQ(G.Order(), (std::vector<int>{1, 2, 3, 0}));
    G.Sort(stCustom, skDescending, true);
    EXPECT_EQ(G.Order(), (std::vector<int>{0, 2, 3, 1}));

    // A handler that contradicts itself gives some order of the same rows.
    std::mt19937 Random(7);
    G.Grid.Cells->OnCompare = [&](TObject*, TCell*, TCell*, int& Compare) {
        Compare = int(Random() % 3) - 1;
    };
    G.Sort(stCustom, skAscending, true);
    std::vector<int> Order = G.Order();
    std::sort(Order.begin(), Order.end());
    EXPECT_EQ(Order, (std::vector<int>{0, 1, 2, 3}));
}

TEST(CellsSort, VirtualAndIncrementKeysAreReadAtTheirRow) {
    TFakeGrid Grid;
    auto* Virtual = Grid.AddColumn<TTestVirtualColumn>();
    Grid.AddColumn();
    Grid.Cells->AddRow(3);
    for (int r = 0; r < 3; ++r)
        Grid.Cells->GetCell(1, r)->SetAsString(IntToStr(r));
    Virtual->Values[{0, 0}] = u"b";
    Virtual->Values[{0, 1}] = u"c";
    Virtual->Values[{0, 2}] = u"a";
    Grid.Cells->SortColumn(0, stAlphabetic, skAscending, false);
    EXPECT_EQ(Grid.Cells->GetCell(1, 0)->GetAsString(), u"2");
    EXPECT_EQ(Grid.Cells->GetCell(1, 1)->GetAsString(), u"0");
    EXPECT_EQ(Grid.Cells->GetCell(1, 2)->GetAsString(), u"1");

    // An increment column ranks by row number: descending turns the rows round.
    TFakeGrid Counted;
    Counted.AddColumn<TTypedColumn<ctAutoInc>>();
    Counted.AddColumn();
    Counted.Cells->AddRow(3);
    for (int r = 0; r < 3; ++r)
        Counted.Cells->GetCell(1, r)->SetAsString(IntToStr(r));
    Counted.Cells->SortColumn(0, stNumeric, skDescending, false);
    EXPECT_EQ(Counted.Cells->GetCell(1, 0)->GetAsString(), u"2");
    EXPECT_EQ(Counted.Cells->GetCell(1, 2)->GetAsString(), u"0");
}

TEST(CellsSort, EmptyStoreAndBadColumn) {
    TSortGrid G(std::vector<WideString>{});
    G.Sort(stNumeric);
    EXPECT_TRUE(G.Grid.Cells->GetSorted());
    EXPECT_THROW(G.Grid.Cells->SortColumn(2, stAlphabetic, skAscending, false), EListError);
    EXPECT_THROW(G.Grid.Cells->SortColumn(-1, stAlphabetic, skAscending, false), EListError);
}

// Many rows with long shared prefixes, duplicates and prefixes of each other: the sort must
// give exactly the stable order its own comparators describe.
TEST(CellsSort, LargeSortsMatchTheComparators) {
    std::mt19937 Random(42);
    std::vector<WideString> Keys;
    const WideString Stems[] = {u"/home/user/docs/", u"/home/user/doc", u"/home/user/docs/a", u"/home/Z"};
    for (int i = 0; i < 3000; ++i) {
        WideString Key = Stems[Random() % 4];
        for (unsigned n = Random() % 4; n > 0; --n)
            Key += static_cast<char16_t>(u"aAbB.9\u00e9"[Random() % 7]);
        Keys.push_back(Key);
    }
    using TLess = bool (TCells::*)(TCell*, TCell*);
    struct TCase {
        TSortType Type;
        TLess Less;
        TLess Greater;
    };
    for (const TCase& Case :
         {TCase{stAlphabetic, &TCells::AlphabeticLessCompare, &TCells::AlphabeticGreaterCompare},
          TCase{stCaseInsensitive, &TCells::CaseInsensitiveLessCompare,
                &TCells::CaseInsensitiveGreaterCompare}}) {
        for (TSortKind Kind : {skAscending, skDescending}) {
            TSortGrid G(Keys);
            G.Sort(Case.Type, Kind);
            TCells& Cells = *G.Grid.Cells;
            const std::vector<int> Order = G.Order();
            ASSERT_EQ(Order.size(), Keys.size());
            for (int r = 0; r + 1 < Cells.GetRowCount(); ++r) {
                TCell* Upper = Cells.GetCell(0, r);
                TCell* Lower = Cells.GetCell(0, r + 1);
                const bool InOrder = Kind == skAscending ? (Cells.*Case.Less)(Upper, Lower)
                                                         : (Cells.*Case.Greater)(Upper, Lower);
                ASSERT_TRUE(InOrder) << "rows " << r << " and " << r + 1;
                // Equal keys: the earlier original row first.
                if ((Cells.*Case.Less)(Upper, Lower) && (Cells.*Case.Greater)(Upper, Lower))
                    ASSERT_LT(Order[static_cast<size_t>(r)], Order[static_cast<size_t>(r) + 1]);
            }
        }
    }
}

// Enough rows for every path a large sort takes (radix passes, two threads splitting, sorting
// and moving rows), keys drawn from few values so that most have ties: the order must be exactly what a
// stable sort by the cell comparators gives, for texts, texts ignoring case and numbers, in both directions.
TEST(CellsSort, LargeSortsWithManyTiesMatchAStableSortByTheComparators) {
    constexpr int kRows = 70'000;
    std::mt19937 Random(7);
    const WideString Stems[] = {u"",       u"Anna",       u"anna",
                                u"ANNA b", u"\u00c9mile", u"\u0416\u0435\u043d\u044f",
                                u"Zoe",    u"zo",         u"Anna Maria Theresa of Somewhere",
                                u"9"};
    std::vector<WideString> Texts, Numbers, Clustered, Deep;
    for (int i = 0; i < kRows; ++i) {
        WideString Text = Stems[Random() % 10];
        for (unsigned n = Random() % 3; n > 0; --n)
            Text += static_cast<char16_t>(u"aAzZ \u00e9\u0436"[Random() % 7]);
        Texts.push_back(Text);
        Numbers.push_back(FloatToStr((static_cast<double>(Random() % 2001) - 1000.0) / 8.0));
        // Half the numbers a hair above 1, differing only in their last bits, the rest far above.
        const int Near = static_cast<int>(Random() % 5000);
        Clustered.push_back(i % 2 ? u"1.00000000" + IntToStr(1000 + Near).substr(1)
                                  : IntToStr(1'000'000 + Near));
        // Nearly all texts the same for longer than a head: one large run sorted again further on.
        Deep.push_back((i % 50 ? Stems[8] : Stems[6]) + Text);
    }
    using TCompare = bool (TCells::*)(TCell*, TCell*);
    struct TCase {
        TSortType Type;
        TColumnType ColumnType;
        const std::vector<WideString>* Keys;
        TCompare Less, Greater;
    };
    for (const TCase& Case :
         {TCase{stAlphabetic, ctString, &Texts, &TCells::AlphabeticLessCompare,
                &TCells::AlphabeticGreaterCompare},
          TCase{stCaseInsensitive, ctString, &Texts, &TCells::CaseInsensitiveLessCompare,
                &TCells::CaseInsensitiveGreaterCompare},
          TCase{stAlphabetic, ctString, &Deep, &TCells::AlphabeticLessCompare,
                &TCells::AlphabeticGreaterCompare},
          TCase{stNumeric, ctFloat, &Numbers, &TCells::NumericLessCompare, &TCells::NumericGreaterCompare},
          TCase{stNumeric, ctFloat, &Clustered, &TCells::NumericLessCompare,
                &TCells::NumericGreaterCompare}}) {
        for (TSortKind Kind : {skAscending, skDescending}) {
            TSortGrid G(*Case.Keys, Case.ColumnType);
            TCells& Cells = *G.Grid.Cells;
            std::vector<TCell*> KeyCells;
            for (int r = 0; r < kRows; ++r)
                KeyCells.push_back(Cells.GetCell(0, r));
            std::vector<int> Expected(kRows);
            std::iota(Expected.begin(), Expected.end(), 0);
            // Strictly before: the other does not rank at or after (at or before) it.
            std::stable_sort(Expected.begin(), Expected.end(), [&](int A, int B) {
                TCell* CellA = KeyCells[static_cast<size_t>(A)];
                TCell* CellB = KeyCells[static_cast<size_t>(B)];
                return Kind == skAscending ? !(Cells.*Case.Greater)(CellA, CellB)
                                           : !(Cells.*Case.Less)(CellA, CellB);
            });
            G.Sort(Case.Type, Kind, true);
            ASSERT_EQ(G.Order(), Expected) << "sort type " << Case.Type << ", kind " << Kind;
        }
    }
}
