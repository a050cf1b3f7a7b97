// The column kinds beyond text and progress: what each creates and how it is sorted, its style
// and own defaults, the text it draws, the keys it takes, and copying between kinds.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "grid/model/ColumnKinds.h"
#include "grid/model/FakeGrid.h"
#include "platform/runtime/DateTime.h"

using ::testing::ElementsAre;

namespace {

struct TKindRow {
    const char* Name;
    TColumnClass Class;
    TColumnType Type;
    TSortType SortType;
    TColumnStyle Style;
    const char16_t* DefaultValue;
};

std::vector<WideString> Links(const THyperlinkList& List) {
    std::vector<WideString> Result;
    for (int i = 0; i < List.GetLinks().Count(); ++i)
        Result.push_back(List.GetLinks().Get(i));
    return Result;
}

} // namespace

TEST(ColumnKinds, EachKindHasItsTypeSortTypeStyleAndDefaultValue) {
    const TColumnStyle Text{csCanEdit, csFitToLargest, csTextFitHint};
    const std::vector<TKindRow> Rows{
        {"tree",
         ColumnClassOf<TNxTreeColumn>(),
         ctString,
         stAlphabetic,
         {csClickable, csCanEdit, csDisableSorting, csFitToLargest},
         u""},
        {"time", ColumnClassOf<TNxTimeColumn>(), ctDate, stDate, Text, u""},
        {"button", ColumnClassOf<TNxButtonColumn>(), ctString, stAlphabetic, Text, u""},
        {"memo",
         ColumnClassOf<TNxMemoColumn>(),
         ctString,
         stAlphabetic,
         {csCanEdit, csFitToLargest, csRedrawInplaceEdit, csTextFitHint, csWantReturns},
         u""},
        {"check box",
         ColumnClassOf<TNxCheckBoxColumn>(),
         ctBoolean,
         stBoolean,
         {csCanEdit, csFitToLargest},
         u""},
        {"html", ColumnClassOf<TNxHtmlColumn>(), ctString, stAlphabetic, {}, u""},
        {"image", ColumnClassOf<TNxImageColumn>(), ctInteger, stNumeric, {csFitToLargest}, u"0"},
        {"rate", ColumnClassOf<TNxRateColumn>(), ctInteger, stNumeric, {csFitToLargest}, u"0"},
        {"popup", ColumnClassOf<TNxPopupColumn>(), ctString, stAlphabetic, Text, u""},
        {"strings", ColumnClassOf<TNxStringsColumn>(), ctString, stAlphabetic, Text, u""},
        {"combo box", ColumnClassOf<TNxComboBoxColumn>(), ctString, stAlphabetic, Text, u""},
        {"list", ColumnClassOf<TNxListColumn>(), ctInteger, stNumeric, Text, u"0"},
        {"number", ColumnClassOf<TNxNumberColumn>(), ctFloat, stNumeric, Text, u"0"},
        {"calc", ColumnClassOf<TNxCalcColumn>(), ctFloat, stNumeric, Text, u"0"},
        {"increment",
         ColumnClassOf<TNxIncrementColumn>(),
         ctAutoInc,
         stAlphabetic,
         {csFitToLargest, csTextFitHint},
         u""},
        {"graphic", ColumnClassOf<TNxGraphicColumn>(), ctGraphic, stAlphabetic, {}, u""},
        {"hyperlink", ColumnClassOf<TNxHyperlinkColumn>(), ctString, stAlphabetic, {}, u""},
        {"color", ColumnClassOf<TNxColorColumn>(), ctString, stAlphabetic, Text, u""},
        {"guid", ColumnClassOf<TNxGuidColumn>(), ctGuid, stAlphabetic, Text, u""},
        {"virtual", ColumnClassOf<TNxVirtualColumn>(), ctVirtual, stAlphabetic, Text, u""},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        std::unique_ptr<TNxCustomColumn> Column(Row.Class(nullptr));
        EXPECT_EQ(Column->GetColumnType(), Row.Type);
        EXPECT_EQ(Column->GetSortType(), Row.SortType);
        EXPECT_EQ(Column->GetColumnStyle(), Row.Style);
        EXPECT_EQ(Column->GetDefaultValue(), Row.DefaultValue);
        EXPECT_EQ(Column->GetWidth(), 80);
    }
    // The date column's default is today's date, as text, when it is made.
    TNxDateColumn Date;
    EXPECT_EQ(Date.GetColumnType(), ctDate);
    EXPECT_EQ(Date.GetSortType(), stDate);
    EXPECT_EQ(Date.GetDefaultValue(), DateToStr(::Date()));
}

TEST(ColumnKinds, OwnDefaults) {
    TNxTreeColumn Tree;
    EXPECT_TRUE(Tree.GetShowButtons());
    EXPECT_FALSE(Tree.GetShowLines());
    EXPECT_FALSE(Tree.GetExpandLock());
    EXPECT_FALSE(Tree.GetHighlightButton());
    // The tree cannot be sorted.
    Tree.SetSorted(true);
    EXPECT_FALSE(Tree.GetSorted());

    TNxImageColumn Image;
    EXPECT_TRUE(Image.GetTransparent());
    TNxRateColumn Rate;
    EXPECT_EQ(Rate.GetMax(), 5);
    EXPECT_FALSE(Rate.GetTransparent());
    EXPECT_FALSE(Rate.GetHideWhenEmpty());
    TNxGraphicColumn Graphic;
    EXPECT_EQ(Graphic.GetBorderWidth(), 1);
    EXPECT_EQ(Graphic.GetMargin(), 4);
    EXPECT_FALSE(Graphic.GetStretch());

    TNxStringsColumn Strings;
    EXPECT_FALSE(Strings.GetAutoDropDown());
    EXPECT_EQ(Strings.GetDisplayMode(), dmTextOnly);
    EXPECT_EQ(Strings.GetDropDownCount(), 8);
    EXPECT_EQ(Strings.GetListWidth(), 0);
    EXPECT_EQ(Strings.GetItems()->Count(), 0);
    TNxComboBoxColumn Combo;
    EXPECT_FALSE(Combo.GetAutoComplete());
    EXPECT_EQ(Combo.GetStyle(), cbsDropDown);
    EXPECT_EQ(Combo.GetDataMode(), TNxComboDataMode::dmDefault);
    TNxListColumn List;
    EXPECT_FALSE(List.GetSorted());

    TNxNumberColumn Number;
    EXPECT_EQ(Number.GetAlignment(), taRightJustify);
    EXPECT_EQ(Number.GetIncrement(), 1.0);
    EXPECT_TRUE(Number.GetSpinButtons());
    EXPECT_EQ(Number.GetMax(), 0.0);
    EXPECT_EQ(Number.GetMin(), 0.0);
    TNxCalcColumn Calc;
    EXPECT_EQ(Calc.GetAlignment(), taLeftJustify);

    TNxDateColumn Date;
    EXPECT_EQ(Date.GetDateSeparator(), u'/');
    EXPECT_EQ(Date.GetNoneCaption(), u"None");
    EXPECT_EQ(Date.GetTodayCaption(), u"Today");
    EXPECT_TRUE(Date.GetShowNoneButton());
    EXPECT_EQ(Date.GetStartDay(), NxClasses::dwSunday);

    TNxHyperlinkColumn Link;
    EXPECT_EQ(Link.GetInvalidatedLinkColor(), clRed);
    EXPECT_EQ(Link.GetVisitedLinkColor(), static_cast<TColor>(10027110));
    EXPECT_EQ(Link.GetFont()->GetColor(), static_cast<TColor>(11757056));
    EXPECT_TRUE(Link.GetFont()->GetStyle().Contains(fsUnderline));
    EXPECT_EQ(Link.GetOptions(), (TColumnOptions{coCanClick, coCanInput, coCanSort, coPublicUsing, coEditing,
                                                 coShowTextFitHint}));
    TNxGuidColumn Guid;
    EXPECT_TRUE(Guid.GetOptions().Contains(coShowTextFitHint));
    EXPECT_FALSE(Guid.GetAutoExecute());
    TNxVirtualColumn Virtual;
    EXPECT_TRUE(Virtual.GetOptions().Contains(coShowTextFitHint));
}

TEST(ColumnKinds, HyperlinkColumnKeepsItsLookInAGrid) {
    TFakeGrid Grid;
    Grid.Font.SetColor(clBlack);
    auto* Link = Grid.AddColumn<TNxHyperlinkColumn>();
    EXPECT_EQ(Link->GetFont()->GetColor(), static_cast<TColor>(11757056));
    auto* Text = Grid.AddColumn<TNxTextColumn>();
    EXPECT_EQ(Text->GetFont()->GetColor(), clBlack);
}

TEST(ColumnKinds, NumberTextUsesMaskSurroundingTextsAndEmptyCaption) {
    TFixedFormatSettings Settings;
    TNxNumberColumn Column;
    TCellInfo Info;
    Info.AsFloat = 1234.5;
    EXPECT_EQ(Column.GetDrawText(Info), u"1234.5");
    Column.SetFormatMask(u"#,##0.00");
    Column.SetTextBefore(u"$ ");
    Column.SetTextAfter(u" net");
    EXPECT_EQ(Column.GetDrawText(Info), u"$ 1,234.50 net");
    Info.AsFloat = 0;
    EXPECT_EQ(Column.GetDrawText(Info), u"$ 0.00 net");
    Column.SetHideWhenEmpty(true);
    Column.SetEmptyCaption(u"n/a");
    EXPECT_EQ(Column.GetDrawText(Info), u"n/a");
    Info.AsFloat = -0.5;
    EXPECT_EQ(Column.GetDrawText(Info), u"$ -0.50 net");
}

TEST(ColumnKinds, DateTextUsesMaskSeparatorAndEmptyCaption) {
    TFixedFormatSettings Settings;
    TNxDateColumn Column;
    TCellInfo Info;
    Info.AsDateTime = EncodeDate(2024, 3, 9);
    EXPECT_EQ(Column.GetDrawText(Info), u"3/9/2024");
    Info.AsDateTime += 0.5;
    EXPECT_EQ(Column.GetDrawText(Info), u"3/9/2024 12:00:00");
    Column.SetFormatMask(u"dd/mm/yyyy");
    Column.SetDateSeparator(u'.');
    Column.SetTextBefore(u"on ");
    EXPECT_EQ(Column.GetDrawText(Info), u"on 09.03.2024");
    Info.AsDateTime = 0;
    EXPECT_EQ(Column.GetDrawText(Info), u"on 30.12.1899");
    Column.SetHideWhenEmpty(true);
    EXPECT_EQ(Column.GetDrawText(Info), u"");
    // A value with no date text paints as nothing; painting never raises.
    Info.AsDateTime = std::nan("");
    EXPECT_EQ(Column.GetDrawText(Info), u"");
    TNxTimeColumn Time;
    EXPECT_EQ(Time.GetDrawText(Info), u"");
}

TEST(ColumnKinds, ListShowsTheItemAtTheIndexAndNothingOutsideItems) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxListColumn>();
    Column->GetItems()->Add(u"low");
    Column->GetItems()->Add(u"mid");
    Column->GetItems()->Add(u"high");
    Column->SetTextBefore(u"[");
    Column->SetTextAfter(u"]");
    TCellInfo Info;
    Info.AsInteger = 1;
    EXPECT_EQ(Column->GetDrawText(Info), u"[mid]");
    for (int Outside : {3, -1, 1 << 30}) {
        Info.AsInteger = Outside;
        EXPECT_EQ(Column->GetDrawText(Info), u"") << Outside;
    }
    Grid.Cells->AddRow();
    EXPECT_NE(dynamic_cast<TIntegerCell*>(Grid.Cells->GetCell(0, 0)), nullptr);
    Column->SetSorted(true);
    Info.AsInteger = 0;
    EXPECT_EQ(Column->GetDrawText(Info), u"[high]");
}

TEST(ColumnKinds, DropDownListComboTakesOnlyKeysAnItemStartsWith) {
    TNxComboBoxColumn Column;
    Column.GetItems()->Add(u"Apple");
    Column.GetItems()->Add(u"Жёлтый");
    Column.GetItems()->Add(u"");
    // As a plain drop-down any printable key starts editing.
    EXPECT_TRUE(Column.IsKeyValid(u'z'));
    EXPECT_FALSE(Column.IsKeyValid(u' '));
    Column.SetStyle(cbsDropDownList);
    EXPECT_TRUE(Column.IsKeyValid(u'a'));
    EXPECT_TRUE(Column.IsKeyValid(u'A'));
    EXPECT_TRUE(Column.IsKeyValid(u'ж'));
    EXPECT_FALSE(Column.IsKeyValid(u'z'));
    EXPECT_FALSE(Column.IsKeyValid(u'p'));
    Column.SetAutoDropDown(true);
    EXPECT_TRUE(Column.IsKeyValid(u'z'));
    EXPECT_FALSE(Column.IsKeyValid(u'\r'));
}

TEST(ColumnKinds, IncrementShowsRowIndexPlusOne) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxIncrementColumn>();
    Grid.Cells->AddRow(3);
    EXPECT_NE(dynamic_cast<TIncrementCell*>(Grid.Cells->GetCell(0, 2)), nullptr);
    TCellInfo Info;
    Info.AsInteger = 0;
    EXPECT_EQ(Column->GetDrawText(Info), u"1");
    Info.AsInteger = 999999;
    EXPECT_EQ(Column->GetDrawText(Info), u"1000000");
    Info.AsInteger = INT32_MAX;
    EXPECT_EQ(Column->GetDrawText(Info), u"2147483648");
}

TEST(ColumnKinds, HtmlHintLeavesTheTagsOut) {
    TNxHtmlColumn Column;
    TCellInfo Info;
    Info.AsString = u"<b>Bold</b> and <font color=\"red\">red</font> 1 < 2";
    EXPECT_EQ(Column.GetDrawText(Info), Info.AsString);
    EXPECT_EQ(Column.GetHintText(Info), u"Bold and red 1 ");
    EXPECT_EQ(TNxHtmlColumn::StripTags(u"a > b <i>c</i>"), u"a > b c");
}

TEST(ColumnKinds, VirtualCellsAskTheColumnsHandlers) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxVirtualColumn>();
    Grid.Cells->AddRow(2);
    // Without handlers the text is empty and writing goes nowhere.
    EXPECT_EQ(Grid.Cells->GetCell(0, 1)->GetAsString(), u"");
    Grid.Cells->GetCell(0, 1)->SetAsString(u"lost");
    std::map<int, WideString> Store;
    Column->OnSetText = [&](TObject* Sender, int ACol, int ARow, const WideString& Value) {
        EXPECT_EQ(Sender, Column);
        EXPECT_EQ(ACol, 0);
        Store[ARow] = Value;
    };
    Column->OnGetText = [&](TObject*, int, int ARow, WideString& Value) {
        if (Store.count(ARow)) Value = Store[ARow];
    };
    Grid.Cells->GetCell(0, 1)->SetAsInteger(42);
    EXPECT_EQ(Store[1], u"42");
    EXPECT_EQ(Grid.Cells->GetCell(0, 1)->GetAsInteger(), 42);
    EXPECT_EQ(Grid.Cells->GetCell(0, 0)->GetAsString(), u"");
    Column->SetTextBefore(u"#");
    TCellInfo Info;
    Info.AsString = u"42";
    EXPECT_EQ(Column->GetDrawText(Info), u"#42");
    EXPECT_TRUE(Column->IsKeyValid(u'Я'));
    EXPECT_FALSE(Column->IsKeyValid(u' '));
}

TEST(ColumnKinds, HyperlinkListsAreSortedWithoutDuplicates) {
    TNxHyperlinkColumn Column;
    Column.AddVisitedHyperlink(u"http://b.example");
    Column.AddVisitedHyperlink(u"http://a.example");
    Column.AddVisitedHyperlink(u"http://b.example");
    Column.AddVisitedHyperlink(u"http://A.example");
    EXPECT_THAT(Links(Column.GetVisitedHyperlinks()),
                ElementsAre(u"http://A.example", u"http://a.example", u"http://b.example"));
    EXPECT_TRUE(Column.HyperlinkHasBeenVisited(u"http://a.example"));
    EXPECT_FALSE(Column.HyperlinkIsInvalidated(u"http://a.example"));
    Column.RemoveVisitedHyperlink(u"http://a.example");
    Column.RemoveVisitedHyperlink(u"http://never.example");
    EXPECT_FALSE(Column.HyperlinkHasBeenVisited(u"http://a.example"));
    EXPECT_TRUE(Column.HyperlinkHasBeenVisited(u"http://A.example"));
    Column.AddInvalidatedHyperlink(u"http://dead.example");
    EXPECT_TRUE(Column.HyperlinkIsInvalidated(u"http://dead.example"));
    Column.ClearVisitedHyperlinks();
    EXPECT_EQ(Column.GetVisitedHyperlinks().GetLinks().Count(), 0);
    Column.ClearInvalidatedHyperlinks();
    EXPECT_FALSE(Column.HyperlinkIsInvalidated(u"http://dead.example"));

    int Clicks = 0;
    Column.OnClick = [&](TObject*, int ACol, int ARow, const WideString& Link) {
        ++Clicks;
        EXPECT_EQ(ACol, 2);
        EXPECT_EQ(ARow, 7);
        EXPECT_EQ(Link, u"http://x.example");
    };
    Column.DoClick(2, 7, u"http://x.example");
    EXPECT_EQ(Clicks, 1);
}

TEST(ColumnKinds, HyperlinkListsSurviveAFileAndStreamRoundTrip) {
    namespace fs = std::filesystem;
    fs::path Dir = fs::temp_directory_path() / ("quillmar-links-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    std::string File = (Dir / "visited.txt").string();

    TNxHyperlinkColumn Source;
    Source.AddVisitedHyperlink(u"https://пример.рф/страница");
    Source.AddVisitedHyperlink(u"http://b.example/?q=1");
    Source.AddInvalidatedHyperlink(u"ftp://gone.example");
    Source.SaveVisitedHyperlinksToFile(File);
    TMemoryStream Stream;
    Source.SaveInvalidatedHyperlinksToStream(Stream);

    TNxHyperlinkColumn Target;
    Target.AddVisitedHyperlink(u"http://stale.example");
    Target.LoadVisitedHyperlinksFromFile(File);
    EXPECT_THAT(Links(Target.GetVisitedHyperlinks()),
                ElementsAre(u"http://b.example/?q=1", u"https://пример.рф/страница"));
    Stream.Seek(0, soBeginning);
    Target.LoadInvalidatedHyperlinksFromStream(Stream);
    EXPECT_TRUE(Target.HyperlinkIsInvalidated(u"ftp://gone.example"));

    // A hand-edited file, unsorted with repeats and blank lines, still gives a sorted set.
    TStringStream Edited("http://z.example\r\n\r\nhttp://a.example\r\nhttp://z.example\r\n");
    Target.LoadVisitedHyperlinksFromStream(Edited);
    EXPECT_THAT(Links(Target.GetVisitedHyperlinks()), ElementsAre(u"http://a.example", u"http://z.example"));
    Target.SaveVisitedHyperlinksToFile(File);
    Source.LoadVisitedHyperlinksFromFile(File);
    EXPECT_THAT(Links(Source.GetVisitedHyperlinks()), ElementsAre(u"http://a.example", u"http://z.example"));
    EXPECT_THROW(Source.LoadInvalidatedHyperlinksFromFile((Dir / "missing.txt").string()), Exception);
    fs::remove_all(Dir);
}

TEST(ColumnKinds, AssignCopiesBetweenKindsWhatTheTargetKnows) {
    TNxComboBoxColumn Combo;
    Combo.GetItems()->Add(u"one");
    Combo.GetItems()->Add(u"two");
    Combo.SetStyle(cbsDropDownList);
    Combo.SetDropDownCount(3);
    Combo.SetTextBefore(u">");
    Combo.SetWidth(150);
    // A list column is a strings column: it takes the items and the text settings, not the style.
    TNxListColumn List;
    List.Assign(&Combo);
    EXPECT_EQ(List.GetItems()->Count(), 2);
    EXPECT_EQ(List.GetDropDownCount(), 3);
    EXPECT_EQ(List.GetWidth(), 150);
    TCellInfo Info;
    Info.AsInteger = 1;
    EXPECT_EQ(List.GetDrawText(Info), u">two");
    // The copy owns its items.
    Combo.GetItems()->Clear();
    EXPECT_EQ(List.GetItems()->Count(), 2);

    TNxComboBoxColumn Back;
    Back.Assign(&Combo);
    EXPECT_EQ(Back.GetStyle(), cbsDropDownList);
    // A text column takes the text settings of a date column, which is a text column too.
    TNxDateColumn Date;
    Date.SetTextAfter(u" h");
    Date.SetFormatMask(u"yyyy");
    TNxTextColumn Text;
    Text.Assign(&Date);
    EXPECT_EQ(Text.GetTextAfter(), u" h");
    TNxDateColumn DateCopy;
    DateCopy.Assign(&Date);
    EXPECT_EQ(DateCopy.GetFormatMask(), u"yyyy");

    TNxNumberColumn Number;
    Number.SetIncrement(0.25);
    Number.SetFormatMask(u"0.0");
    TNxCalcColumn Calc;
    Calc.Assign(&Number);
    EXPECT_EQ(Calc.GetFormatMask(), u"0.0");
    // The base copy goes through Alignment's setter as well.
    EXPECT_EQ(Calc.GetAlignment(), taRightJustify);
    TNxNumberColumn NumberCopy;
    NumberCopy.Assign(&Number);
    EXPECT_EQ(NumberCopy.GetIncrement(), 0.25);

    TNxRateColumn Rate;
    Rate.SetMax(10);
    TBitmap Glyph(4, 3);
    Rate.SetGlyph(&Glyph);
    TNxRateColumn RateCopy;
    RateCopy.Assign(&Rate);
    EXPECT_EQ(RateCopy.GetMax(), 10);
    EXPECT_EQ(RateCopy.GetGlyph()->GetWidth(), 4);
    EXPECT_NE(RateCopy.GetGlyph(), Rate.GetGlyph());

    TNxHyperlinkColumn Link;
    Link.SetVisitedLinkColor(clBlue);
    TNxHyperlinkColumn LinkCopy;
    LinkCopy.Assign(&Link);
    EXPECT_EQ(LinkCopy.GetVisitedLinkColor(), clBlue);
}

TEST(ColumnKinds, ImagesAreLookedUpSafely) {
    TNxImageColumn Column;
    EXPECT_EQ(Column.GetImageCount(), 0);
    EXPECT_EQ(Column.GetImage(0), nullptr);
    TBitmap A(2, 2), B(3, 3);
    TList Images;
    Images.Add(&A);
    Images.Add(&B);
    Column.SetImages(&Images);
    EXPECT_EQ(Column.GetImageCount(), 2);
    EXPECT_EQ(Column.GetImage(1), &B);
    EXPECT_EQ(Column.GetImage(2), nullptr);
    EXPECT_EQ(Column.GetImage(-1), nullptr);
}
