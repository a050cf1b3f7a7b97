// Cell kinds: what each accessor answers and stores, the exact conversion errors, and when a
// cell reports a change.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "grid/model/CellText.h"
#include "grid/model/FakeGrid.h"
#include "platform/runtime/CodePage.h"

namespace {

template <typename F> std::string ErrorOf(F&& Action) {
    try {
        Action();
    } catch (const Exception& E) {
        return E.what();
    }
    return "no error";
}

// A grid with one column of the given kind and three rows; Cell(r) looks the cell up first.
template <typename ColumnT> class TOneColumn {
public:
    TOneColumn() {
        Column = Grid.AddColumn<ColumnT>();
        Grid.Cells->AddRow(3);
        Grid.ClearReports();
    }
    TCell* Cell(int Row = 0) { return Grid.Cells->GetCell(0, Row); }
    size_t Reports() const { return Grid.CellReports.size(); }

    TFixedFormatSettings Settings;
    TFakeGrid Grid;
    ColumnT* Column;
};

} // namespace

TEST(BooleanCell, TextIsTrueOnlyForOneOrTrueInAnyCase) {
    TOneColumn<TTypedColumn<ctBoolean>> G;
    ASSERT_NE(dynamic_cast<TBooleanCell*>(G.Cell()), nullptr);
    G.Cell()->SetAsString(u"TRUE");
    EXPECT_TRUE(G.Cell()->GetAsBoolean());
    for (const char16_t* Text : {u"yes", u"-1", u"0.0", u" true", u""}) {
        G.Cell()->SetAsString(u"1");
        G.Cell()->SetAsString(Text);
        EXPECT_FALSE(G.Cell()->GetAsBoolean()) << WideToUtf8(Text);
    }
    EXPECT_EQ(G.Cell()->GetAsString(), u"False");
    G.Cell()->SetAsString(u"1");
    EXPECT_EQ(G.Cell()->GetAsString(), u"True");
    EXPECT_EQ(G.Cell()->GetAsInteger(), 1);
    EXPECT_EQ(G.Cell()->GetAsFloat(), 1.0);
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.0);
}

TEST(BooleanCell, NumbersAreTrueWhenNotZeroAndDatesAlwaysFalse) {
    TOneColumn<TTypedColumn<ctBoolean>> G;
    G.Cell()->SetAsInteger(-3);
    EXPECT_TRUE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsFloat(0.0);
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsFloat(0.25);
    EXPECT_TRUE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsDateTime(45000);
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsBoolean(true);
    G.Cell()->Clear();
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    EXPECT_EQ(G.Reports(), 6u);
}

TEST(IntegerCell, ConvertsAndRejectsBadTextKeepingTheValue) {
    TOneColumn<TTypedColumn<ctInteger>> G;
    G.Cell()->SetAsInteger(12);
    G.Cell()->SetAsString(u"");
    EXPECT_EQ(G.Cell()->GetAsInteger(), 0);
    G.Cell()->SetAsInteger(12);
    G.Grid.ClearReports();
    EXPECT_EQ(ErrorOf([&] { G.Cell()->SetAsString(u"12a"); }), "'12a' is not a valid integer value");
    EXPECT_EQ(G.Cell()->GetAsInteger(), 12);
    EXPECT_EQ(G.Reports(), 0u);

    G.Cell()->SetAsInteger(-3);
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    EXPECT_EQ(G.Cell()->GetAsString(), u"-3");
    EXPECT_EQ(G.Cell()->GetAsFloat(), -3.0);
    G.Cell()->SetAsFloat(2.5);
    EXPECT_EQ(G.Cell()->GetAsInteger(), 2);
    G.Cell()->SetAsFloat(3.5);
    EXPECT_EQ(G.Cell()->GetAsInteger(), 4);
    G.Cell()->SetAsDateTime(45000.7);
    EXPECT_EQ(G.Cell()->GetAsInteger(), 0);
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.0);
    G.Cell()->SetAsBoolean(true);
    EXPECT_EQ(G.Cell()->GetAsInteger(), 1);
    EXPECT_TRUE(G.Cell()->GetAsBoolean());
}

TEST(IntegerCell, AFloatBeyondThirtyTwoBitsIsRefusedNotWrapped) {
    TOneColumn<TTypedColumn<ctInteger>> G;
    G.Cell()->SetAsInteger(5);
    G.Grid.ClearReports();
    EXPECT_ANY_THROW(G.Cell()->SetAsFloat(1e10));
    EXPECT_ANY_THROW(G.Cell()->SetAsFloat(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(G.Cell()->GetAsInteger(), 5);
    EXPECT_EQ(G.Reports(), 0u);
}

TEST(FloatCell, EmptyOrBadTextRaisesAndKeepsTheOldValue) {
    TOneColumn<TTypedColumn<ctFloat>> G;
    G.Cell()->SetAsFloat(1.25);
    G.Grid.ClearReports();
    EXPECT_EQ(ErrorOf([&] { G.Cell()->SetAsString(u""); }), "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->SetAsString(u"1,5"); }), "'1,5' is not a valid floating point value");
    EXPECT_EQ(G.Cell()->GetAsFloat(), 1.25);
    EXPECT_EQ(G.Reports(), 0u);
    G.Cell()->SetAsString(u"-0.5");
    EXPECT_EQ(G.Cell()->GetAsFloat(), -0.5);
}

TEST(FloatCell, IntegerRoundsHalvesToEvenAndTextIsShortest) {
    TOneColumn<TTypedColumn<ctFloat>> G;
    const std::pair<double, int32_t> Cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.51, 3}, {-0.4, 0}};
    for (auto [Value, Rounded] : Cases) {
        G.Cell()->SetAsFloat(Value);
        EXPECT_EQ(G.Cell()->GetAsInteger(), Rounded) << Value;
    }
    G.Cell()->SetAsFloat(0.1 + 0.2);
    EXPECT_EQ(G.Cell()->GetAsString(), u"0.3");
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.1 + 0.2);
    G.Cell()->SetAsBoolean(true);
    EXPECT_EQ(G.Cell()->GetAsFloat(), 0.0);
    G.Cell()->SetAsInteger(7);
    EXPECT_EQ(G.Cell()->GetAsString(), u"7");
    G.Cell()->SetAsFloat(1e12);
    EXPECT_ANY_THROW(G.Cell()->GetAsInteger());
}

TEST(DateTimeCell, TextThatIsNoDateStoresZeroWithoutError) {
    TOneColumn<TTypedColumn<ctDate>> G;
    G.Cell()->SetAsString(u"1/15/2024");
    EXPECT_EQ(G.Cell()->GetAsDateTime(), EncodeDate(2024, 1, 15));
    EXPECT_EQ(G.Cell()->GetAsString(), u"1/15/2024");
    G.Cell()->SetAsString(u"no date");
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.0);
    G.Cell()->SetAsDateTime(5);
    G.Cell()->SetAsString(u"");
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.0);
    EXPECT_EQ(G.Reports(), 4u);
}

TEST(DateTimeCell, BooleanStoresTodayAndIntegerTruncatesTowardZero) {
    TOneColumn<TTypedColumn<ctDate>> G;
    G.Cell()->SetAsBoolean(false);
    EXPECT_EQ(G.Cell()->GetAsDateTime(), Date());
    EXPECT_FALSE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsFloat(-1.75);
    EXPECT_EQ(G.Cell()->GetAsInteger(), -1);
    G.Cell()->SetAsFloat(45000.99);
    EXPECT_EQ(G.Cell()->GetAsInteger(), 45000);
    EXPECT_EQ(G.Cell()->GetAsFloat(), 45000.99);
    G.Cell()->SetAsDateTime(EncodeDate(2024, 1, 15) + 0.5);
    EXPECT_EQ(G.Cell()->GetAsString(), u"1/15/2024 12:00:00");
    G.Cell()->SetAsInteger(3);
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 3.0);
}

TEST(StringCell, EmptyTextIsDateZeroButNoNumberOrBoolean) {
    TOneColumn<TTestColumn> G;
    ASSERT_NE(dynamic_cast<TStringCell*>(G.Cell()), nullptr);
    EXPECT_EQ(G.Cell()->GetAsDateTime(), 0.0);
    EXPECT_EQ(ErrorOf([&] { G.Cell()->GetAsInteger(); }), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->GetAsFloat(); }), "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->GetAsBoolean(); }), "'' is not a valid boolean value");
    G.Cell()->SetAsString(u"x");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->GetAsDateTime(); }), "'x' is not a valid date and time");
}

TEST(StringCell, StoresTheTextOfEveryValue) {
    TOneColumn<TTestColumn> G;
    G.Cell()->SetAsBoolean(true);
    EXPECT_EQ(G.Cell()->GetAsString(), u"True");
    EXPECT_TRUE(G.Cell()->GetAsBoolean());
    G.Cell()->SetAsFloat(2.5);
    EXPECT_EQ(G.Cell()->GetAsString(), u"2.5");
    EXPECT_EQ(G.Cell()->GetAsFloat(), 2.5);
    G.Cell()->SetAsInteger(-7);
    EXPECT_EQ(G.Cell()->GetAsInteger(), -7);
    G.Cell()->SetAsDateTime(EncodeDate(2024, 2, 29));
    EXPECT_EQ(G.Cell()->GetAsString(), u"2/29/2024");
    EXPECT_EQ(G.Cell()->GetAsDateTime(), EncodeDate(2024, 2, 29));
    G.Cell()->Clear();
    EXPECT_EQ(G.Cell()->GetAsString(), u"");
    EXPECT_EQ(G.Reports(), 5u);
}

TEST(StringCell, ADateWithoutTextRaisesAndKeepsTheCell) {
    TOneColumn<TTestColumn> G;
    G.Cell()->SetAsString(u"kept");
    G.Grid.ClearReports();
    for (double Value : {std::nan(""), 3e6}) {
        EXPECT_THROW(G.Cell()->SetAsDateTime(Value), EConvertError) << Value;
        EXPECT_EQ(G.Cell()->GetAsString(), u"kept");
    }
    EXPECT_EQ(G.Reports(), 0u);
}

TEST(StringCell, KeepsEveryTextWhateverItsLengthAndCharacters) {
    TOneColumn<TTestColumn> G;
    const WideString Texts[] = {u"",
                                u"a",
                                u"seven 7",
                                u"\u00e9t\u00e9 \u00ff",
                                u"eight ch",
                                u"nine char",
                                u"ten chars!",
                                u"\u007f\u007f\u007f\u007f\u007f\u007f\u007f\u007f\u007f",
                                u"seven \u00e9",
                                u"eight \u00e9!",
                                u"ab\u0000",
                                WideString(1, u'\u0000'),
                                u"\u0436",
                                u"a\u0000b",
                                u"Hallo \u043c\u0438\u0440",
                                WideString(40, u'x'),
                                WideString(3000, u'\u4e2d'),
                                WideString(200, u'\u00e0')};
    for (const WideString& Text : Texts) {
        for (const WideString& Before :
             {WideString(u"x"), WideString(500, u'y'), WideString(u"\u0436\u0436")}) {
            G.Cell(1)->SetAsString(Before);
            G.Cell(0)->SetAsString(Before);
            G.Cell(0)->SetAsString(Text);
            EXPECT_EQ(G.Cell(0)->GetAsString(), Text);
            EXPECT_EQ(G.Cell(0)->GetHeldTextLength(), Text.size());
            WideString Appended = u">";
            G.Cell(0)->AppendAsString(Appended);
            EXPECT_EQ(Appended, u">" + Text);
            EXPECT_EQ(G.Cell(1)->GetAsString(), Before);
        }
    }
}

// A length the store cannot keep is refused before the text is read, and what the slot held
// stays and is released as usual. Zero pages mapped read-only stand in for the gigabytes.
TEST(StringCell, ATextLongerThanACellHoldsIsRefusedAndTheOldTextStays) {
    TCellTextPool Pool;
    const size_t Longest = size_t{0x7FFFFFFF};
    for (size_t Chars : {Longest + 1, (size_t{1} << 32) + 5}) {
        void* Pages =
            ::mmap(nullptr, Chars * 2, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        ASSERT_NE(Pages, MAP_FAILED);
        TCellText Slot;
        Pool.Assign(Slot, WideString(300, u'x'));
        const std::string Error = ErrorOf(
            [&] { Pool.Assign(Slot, std::u16string_view(static_cast<const char16_t*>(Pages), Chars)); });
        EXPECT_NE(Error.find("at most 2147483647 characters"), std::string::npos) << Error;
        EXPECT_EQ(Slot.ToString(), WideString(300, u'x'));
        Pool.Release(Slot);
        EXPECT_TRUE(Slot.IsEmpty());
        ::munmap(Pages, Chars * 2);
    }
}

// Editing one cell over and over must not grow the store: a replaced text gives its room back.
TEST(StringCell, ATextReplacedOverAndOverHoldsTheRoomOfOne) {
    auto Resident = [] {
        long Pages = 0, Rss = 0;
        std::FILE* F = std::fopen("/proc/self/statm", "r");
        EXPECT_EQ(std::fscanf(F, "%ld %ld", &Pages, &Rss), 2);
        std::fclose(F);
        return Rss * ::sysconf(_SC_PAGESIZE);
    };
    TCellTextPool Pool;
    TCellText Slot;
    // Texts of one size: the room given back is the room taken next, whatever the allocator does.
    const WideString Texts[] = {WideString(40, u'a'), WideString(40, u'b')};
    const long Before = Resident();
    for (int i = 0; i < 1'000'000; ++i)
        Pool.Assign(Slot, Texts[i & 1]);
    EXPECT_LT(Resident() - Before, 16L << 20);
    EXPECT_EQ(Slot.ToString(), Texts[1]);
    Pool.Release(Slot);
}

TEST(Cell, HintsAndObjectReferencesTravelWithTheirRowsAndLeaveWithThem) {
    TOneColumn<TTestColumn> G;
    TObject Tag;
    for (int r = 0; r < 3; ++r)
        G.Cell(r)->SetAsString(WideString(1, static_cast<char16_t>(u'c' - r))); // c b a
    G.Cell(0)->SetHint(u"on c");
    G.Cell(0)->SetObjectReference(&Tag);
    G.Grid.Cells->SortColumn(0, stAlphabetic, skAscending, true);
    EXPECT_EQ(G.Cell(2)->GetAsString(), u"c");
    EXPECT_EQ(G.Cell(2)->GetHint(), u"on c");
    EXPECT_EQ(G.Cell(2)->GetObjectReference(), &Tag);
    EXPECT_EQ(G.Cell(0)->GetHint(), u"");
    EXPECT_EQ(G.Cell(0)->GetObjectReference(), nullptr);
    G.Grid.Cells->DeleteRow(2);
    G.Grid.Cells->AddRow(1);
    EXPECT_EQ(G.Cell(2)->GetHint(), u"");
    EXPECT_EQ(G.Cell(2)->GetObjectReference(), nullptr);

    // New cells made where deleted ones lived take nothing of theirs when given the other half.
    TObject Other;
    for (int r = 0; r < 3; ++r) {
        G.Cell(r)->SetHint(u"dead");
        G.Cell(r)->SetObjectReference(&Tag);
    }
    for (int r = 0; r < 3; ++r)
        G.Grid.Cells->DeleteRow(0);
    G.Grid.Cells->AddRow(3);
    for (int r = 0; r < 3; ++r) {
        if (r % 2) {
            G.Cell(r)->SetObjectReference(&Other);
            EXPECT_EQ(G.Cell(r)->GetHint(), u"") << r;
        } else {
            G.Cell(r)->SetHint(u"new");
            EXPECT_EQ(G.Cell(r)->GetObjectReference(), nullptr) << r;
        }
    }
    G.Cell(1)->SetObjectReference(&Tag);
    G.Cell(1)->SetObjectReference(nullptr);
    EXPECT_EQ(G.Cell(1)->GetObjectReference(), nullptr);
}

TEST(IncrementCell, AnswersTheRowOfTheMostRecentLookup) {
    TOneColumn<TTypedColumn<ctAutoInc>> G;
    G.Grid.Cells->AddRow(3);
    TCell* Cell = G.Grid.Cells->GetCell(0, 5);
    ASSERT_NE(dynamic_cast<TIncrementCell*>(Cell), nullptr);
    EXPECT_EQ(Cell->GetAsInteger(), 6);
    EXPECT_EQ(Cell->GetAsString(), u"6");
    EXPECT_EQ(Cell->GetAsFloat(), 6.0);
    G.Grid.Cells->GetCell(0, 1);
    EXPECT_EQ(Cell->GetAsInteger(), 2);
}

TEST(IncrementCell, StoresNothingButReportsEveryAssignmentAndClearsSilently) {
    TOneColumn<TTypedColumn<ctAutoInc>> G;
    TCell* Cell = G.Cell(2);
    Cell->SetAsInteger(40);
    Cell->SetAsString(u"x");
    Cell->SetAsBoolean(true);
    Cell->SetAsFloat(1.5);
    Cell->SetAsDateTime(2.0);
    EXPECT_EQ(G.Reports(), 5u);
    Cell->Clear();
    EXPECT_EQ(G.Reports(), 5u);
    EXPECT_EQ(Cell->GetAsInteger(), 3);
    EXPECT_FALSE(Cell->GetAsBoolean());
}

TEST(GuidCell, HoldsANewGuidAndAcceptsOnlyGuidText) {
    TOneColumn<TTypedColumn<ctGuid>> G;
    const std::regex Form("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    std::string First = WideToUtf8(G.Cell(0)->GetAsString());
    EXPECT_TRUE(std::regex_match(First, Form)) << First;
    EXPECT_NE(First, WideToUtf8(G.Cell(1)->GetAsString()));

    G.Cell()->SetAsString(u"{0123abcd-4567-89ab-cdef-0123456789ab}");
    EXPECT_EQ(G.Cell()->GetAsString(), u"{0123ABCD-4567-89AB-CDEF-0123456789AB}");
    G.Grid.ClearReports();
    EXPECT_EQ(ErrorOf([&] { G.Cell()->SetAsString(u"nope"); }), "'nope' is not a valid GUID value");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->SetAsInteger(4); }), "'4' is not a valid GUID value");
    EXPECT_EQ(ErrorOf([&] { G.Cell()->GetAsInteger(); }),
              "'{0123ABCD-4567-89AB-CDEF-0123456789AB}' is not a valid integer value");
    EXPECT_EQ(G.Cell()->GetAsString(), u"{0123ABCD-4567-89AB-CDEF-0123456789AB}");
    EXPECT_EQ(G.Reports(), 0u);

    // Clear reports but keeps the GUID; AsGuid writes without a report.
    G.Cell()->Clear();
    EXPECT_EQ(G.Reports(), 1u);
    EXPECT_EQ(G.Cell()->GetAsString(), u"{0123ABCD-4567-89AB-CDEF-0123456789AB}");
    auto* Guid = static_cast<TGuidCell*>(G.Cell(1));
    Guid->SetAsGuid(StringToGUID(WideString(u"{00000000-0000-0000-0000-000000000001}")));
    EXPECT_EQ(Guid->GetAsString(), u"{00000000-0000-0000-0000-000000000001}");
    EXPECT_EQ(G.Reports(), 1u);
}

TEST(VirtualCell, ReadsAndWritesThroughItsColumn) {
    TOneColumn<TTestVirtualColumn> G;
    ASSERT_NE(dynamic_cast<TVirtualCell*>(G.Cell()), nullptr);
    EXPECT_EQ(static_cast<TVirtualCell*>(G.Cell())->GetColumn(), G.Column);
    EXPECT_EQ(G.Cell(1)->GetAsString(), u"");
    G.Column->Values[{0, 1}] = u"12";
    EXPECT_EQ(G.Cell(1)->GetAsInteger(), 12);
    G.Cell(2)->SetAsInteger(5);
    EXPECT_EQ((G.Column->Values[{0, 2}]), u"5");
    // Once from SetAsString, once from the integer setter.
    EXPECT_EQ(G.Reports(), 2u);
    EXPECT_EQ(ErrorOf([&] { G.Cell(0)->GetAsFloat(); }), "'' is not a valid floating point value");
}

TEST(Cell, LockedCellsStoreLookChangesSilentlyButValuesAlwaysReport) {
    TOneColumn<TTestColumn> G;
    TCell* Cell = G.Cell(1);
    EXPECT_FALSE(Cell->GetLocked());
    Cell->SetLocked(true);
    Cell->SetColor(clRed);
    Cell->SetFontStyle({fsItalic});
    Cell->SetHint(u"tip");
    EXPECT_EQ(Cell->GetColor(), clRed);
    EXPECT_EQ(Cell->GetFontStyle(), TFontStyles{fsItalic});
    EXPECT_EQ(Cell->GetHint(), u"tip");
    EXPECT_EQ(G.Reports(), 0u);
    Cell->SetAsString(u"value");
    Cell->SetEmpty(true);
    EXPECT_TRUE(Cell->GetEmpty());
    EXPECT_EQ(G.Reports(), 2u);

    Cell->SetLocked(false);
    G.Grid.ClearReports();
    Cell->SetColor(clBlue);
    Cell->SetHint(u"");
    EXPECT_EQ(G.Reports(), 2u);
    EXPECT_EQ(G.Grid.CellReports[0], std::make_pair(0, 1));
}

TEST(Cell, NewCellsTakeTheColumnColorAndFontStyleWithoutReporting) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    Column->SetColor(clGray);
    Column->GetFont()->SetStyle({fsBold});
    Grid.Cells->AddRow(2);
    TCell* Cell = Grid.Cells->GetCell(0, 1);
    EXPECT_EQ(Cell->GetColor(), clGray);
    EXPECT_EQ(Cell->GetFontStyle(), TFontStyles{fsBold});
    EXPECT_FALSE(Cell->GetLocked());
    EXPECT_TRUE(Grid.CellReports.empty());
}

TEST(Cell, AsksTheGridAboutItsLookAtTheCurrentCoordinates) {
    TOneColumn<TTestColumn> G;
    G.Grid.AddColumn();
    G.Grid.HighlightCol = 1;
    G.Grid.HighlightRow = 2;
    TCell* Cell = G.Grid.Cells->GetCell(1, 2);
    EXPECT_TRUE(Cell->GetHighlighted());
    EXPECT_EQ(Cell->GetActualColor(), 1002u);
    EXPECT_EQ(Cell->GetActualFontColor(), 2u);
    EXPECT_EQ(Cell->GetColumnIndex(), 1);
    EXPECT_EQ(Cell->GetRowIndex(), 2);
    EXPECT_FALSE(G.Grid.Cells->GetCell(0, 2)->GetHighlighted());
}
