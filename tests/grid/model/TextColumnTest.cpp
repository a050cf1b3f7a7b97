// The text column kinds: defaults, the drawn text with its surrounding texts and masking,
// valid keys, best fit, copying between kinds and the time column's text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/NxEdit.h"
#include "grid/model/CheckBoxColumn.h"
#include "grid/model/FakeGrid.h"
#include "grid/model/TextColumn.h"

namespace {

TCellInfo StringInfo(const WideString& Text) {
    TCellInfo Info;
    Info.AsString = Text;
    return Info;
}

} // namespace

TEST(TextColumn, NewColumnDefaultsAndCells) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxTextColumn>();
    EXPECT_EQ(Column->GetColumnType(), ctString);
    EXPECT_EQ(Column->GetSortType(), stAlphabetic);
    EXPECT_EQ(Column->GetOptions(),
              (TColumnOptions{coCanClick, coCanInput, coCanSort, coPublicUsing, coShowTextFitHint}));
    EXPECT_EQ(Column->GetColumnStyle(), (TColumnStyle{csCanEdit, csFitToLargest, csTextFitHint}));
    EXPECT_EQ(Column->GetMaxLength(), 0);
    EXPECT_EQ(Column->GetPasswordChar(), '\0');
    EXPECT_TRUE(Column->GetDisplayOptions().Empty());
    Column->SetMultiLine(true);
    EXPECT_EQ(Column->GetDisplayOptions(), TDisplayOptions{doMultiLine});
    Grid.Cells->AddRow();
    EXPECT_NE(dynamic_cast<TStringCell*>(Grid.Cells->GetCell(0, 0)), nullptr);
}

TEST(TextColumn, DrawTextWrapsAndMasksTheWholeText) {
    TNxTextColumn Column;
    EXPECT_EQ(Column.GetDrawText(StringInfo(u"Привет")), u"Привет");
    Column.SetTextBefore(u"<");
    Column.SetTextAfter(u" kg");
    EXPECT_EQ(Column.GetDrawText(StringInfo(u"12")), u"<12 kg");
    // The surrounding texts are masked too, one mask character per UTF-16 unit.
    Column.SetTextAfter(u"");
    Column.SetTextBefore(u"x");
    Column.SetPasswordChar('*');
    EXPECT_EQ(Column.GetDrawText(StringInfo(u"ab")), u"***");
    EXPECT_EQ(Column.GetDrawText(StringInfo(u"")), u"*");
    // An 8-bit mask character outside ASCII goes through the code page.
    Column.SetPasswordChar('\xB7');
    EXPECT_EQ(Column.GetDrawText(StringInfo(u"ab")), u"\u00B7\u00B7\u00B7");
}

TEST(TextColumn, SettersRepaintTheBody) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxTextColumn>();
    Grid.ClearReports();
    Column->SetMaxLength(4);
    Column->SetMultiLine(true);
    Column->SetPasswordChar('#');
    Column->SetTextAfter(u"a");
    Column->SetTextBefore(u"b");
    EXPECT_EQ(Grid.Refreshes, (std::vector<std::pair<TNxCustomColumn*, TGridArea>>(5, {Column, gaBody})));
    EXPECT_EQ(Column->GetMaxLength(), 4);
}

TEST(TextColumn, KeysAboveSpaceStartEditingIncludingNonLatinOnes) {
    TNxTextColumn Text;
    TTestColumn Plain;
    EXPECT_FALSE(Text.IsKeyValid(u' '));
    EXPECT_FALSE(Text.IsKeyValid(u'\t'));
    EXPECT_TRUE(Text.IsKeyValid(u'a'));
    EXPECT_TRUE(Text.IsKeyValid(u'Ж'));
    EXPECT_TRUE(Text.IsKeyValid(u'\u4E2D'));
    EXPECT_FALSE(Plain.IsKeyValid(u'a'));
}

TEST(TextColumn, BestFitIsTheTextWidthPlusFiveWithoutMinimum) {
    TNxTextColumn Text;
    TTestColumn Plain;
    TFont Font;
    Font.SetName("DejaVu Sans");
    Font.SetHeight(-12);
    Text.SetFont(&Font);
    Plain.SetFont(&Font);
    EXPECT_EQ(Text.GetCellBestFit(u""), 5);
    EXPECT_EQ(Plain.GetCellBestFit(u""), 8);
    EXPECT_EQ(Text.GetCellBestFit(u"Decoded files") + 1, Plain.GetCellBestFit(u"Decoded files"));
    // The measure follows later font changes.
    int Before = Text.GetCellBestFit(u"Decoded files");
    Font.SetHeight(-24);
    Text.SetFont(&Font);
    EXPECT_GT(Text.GetCellBestFit(u"Decoded files"), Before);
}

TEST(TextColumn, AssignCopiesTheTextSettingsOnlyBetweenTextKinds) {
    TNxTextColumn Source;
    Source.SetMaxLength(9);
    Source.SetMultiLine(true);
    Source.SetPasswordChar('*');
    Source.SetTextBefore(u"(");
    Source.SetTextAfter(u")");
    Source.SetWidth(120);
    TNxButtonColumn Button;
    Button.Assign(&Source);
    EXPECT_EQ(Button.GetMaxLength(), 9);
    EXPECT_TRUE(Button.GetMultiLine());
    EXPECT_EQ(Button.GetPasswordChar(), '*');
    EXPECT_EQ(Button.GetTextBefore(), u"(");
    EXPECT_EQ(Button.GetTextAfter(), u")");
    EXPECT_EQ(Button.GetWidth(), 120);

    Button.SetButtonCaption(u"...");
    Button.SetShowButton(false);
    TNxMemoColumn Memo;
    Memo.SetScrollBars(ssBoth);
    TNxMemoColumn Copy;
    Copy.Assign(&Memo);
    EXPECT_EQ(Copy.GetScrollBars(), ssBoth);
    Copy.Assign(&Button);
    EXPECT_EQ(Copy.GetButtonCaption(), u"...");
    EXPECT_FALSE(Copy.GetShowButton());
    // A plain column copies the base settings only and leaves the text ones.
    TTestColumn Plain;
    Plain.SetWidth(33);
    Copy.Assign(&Plain);
    EXPECT_EQ(Copy.GetWidth(), 33);
    EXPECT_EQ(Copy.GetMaxLength(), 9);
}

TEST(TextColumn, ButtonAndMemoKinds) {
    TNxButtonColumn Button;
    EXPECT_TRUE(Button.GetShowButton());
    EXPECT_TRUE(Button.GetEditOptions().Empty());
    int Clicks = 0;
    TObject* Sender = nullptr;
    Button.DoButtonClick();
    Button.OnButtonClick = [&](TObject* S) {
        ++Clicks;
        Sender = S;
    };
    Button.DoButtonClick();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Sender, &Button);

    TNxMemoColumn Memo;
    EXPECT_EQ(Memo.GetScrollBars(), ssNone);
    EXPECT_EQ(Memo.GetDisplayOptions(), TDisplayOptions{doMultiLine});
    EXPECT_TRUE(Memo.GetColumnStyle().Contains(csWantReturns));
    EXPECT_TRUE(Memo.GetColumnStyle().Contains(csRedrawInplaceEdit));

    TNxColorColumn Color;
    EXPECT_FALSE(Color.GetFullSize());
    EXPECT_EQ(Color.GetColumnType(), ctString);
}

TEST(TimeColumn, ShowsTheTimeByMaskOrPlatformFormatAndHidesZero) {
    TFixedFormatSettings Settings;
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxTimeColumn>();
    EXPECT_EQ(Column->GetColumnType(), ctDate);
    EXPECT_EQ(Column->GetSortType(), stDate);
    EXPECT_FALSE(Column->GetHideWhenEmpty());
    Grid.Cells->AddRow();
    EXPECT_NE(dynamic_cast<TDateTimeCell*>(Grid.Cells->GetCell(0, 0)), nullptr);

    TCellInfo Info;
    Info.AsDateTime = 45000.75;
    EXPECT_EQ(Column->GetDrawText(Info), u"18:00:00");
    Column->SetFormatMask(u"hh:nn");
    EXPECT_EQ(Column->GetDrawText(Info), u"18:00");
    Info.AsDateTime = 0;
    EXPECT_EQ(Column->GetDrawText(Info), u"00:00");
    Column->SetHideWhenEmpty(true);
    Column->SetEmptyCaption(u"-");
    EXPECT_EQ(Column->GetDrawText(Info), u"-");

    TNxTimeColumn Copy;
    Copy.Assign(Column);
    EXPECT_EQ(Copy.GetFormatMask(), u"hh:nn");
    EXPECT_TRUE(Copy.GetHideWhenEmpty());
    EXPECT_EQ(Copy.GetEmptyCaption(), u"-");
}

namespace {

// A text column with an edit box of its own, as the editor wiring will give it.
class TEditingTextColumn : public TNxTextColumn {
public:
    using TNxTextColumn::TNxTextColumn;
    std::unique_ptr<TObject> CreateCellEditor() override { return std::make_unique<NxEdit::TNxEdit>(this); }
};

} // namespace

TEST(TextColumn, BeginEditingPreparesTheColumnsOwnEditor) {
    TEditingTextColumn Column;
    Column.SetAlignment(taRightJustify);
    Column.SetMaxLength(12);
    Column.SetPasswordChar('*');
    auto* Editor = dynamic_cast<NxEdit::TNxEdit*>(Column.GetCellEditor());
    ASSERT_NE(Editor, nullptr);
    EXPECT_EQ(Editor->GetOwner(), &Column);
    Column.BeginEditing();
    EXPECT_TRUE(Editor->GetEditorUpdating());
    EXPECT_TRUE(Editor->GetInplaceEditor());
    EXPECT_EQ(Editor->GetAlignment(), taRightJustify);
    EXPECT_EQ(Editor->GetBorderStyle(), bsNone);
    EXPECT_EQ(Editor->GetBorderWidth(), 0);
    EXPECT_EQ(Editor->GetEditMargins()->GetLeft(), 1);
    EXPECT_EQ(Editor->GetMaxLength(), 12);
    EXPECT_EQ(Editor->GetPasswordChar(), u'*');
    // Without a mask character the editor shows the text.
    Column.SetPasswordChar('\0');
    Column.BeginEditing();
    EXPECT_EQ(Editor->GetPasswordChar(), u'\0');
    // A kind without an editor has nothing to prepare.
    TNxCheckBoxColumn Plain;
    Plain.BeginEditing();
    EXPECT_EQ(Plain.GetCellEditor(), nullptr);
}

namespace {

struct TTaggedObject : TObject {
    explicit TTaggedObject(const char* ATag) : Tag(ATag) {}
    const char* Tag;
};

// Two kinds, one derived from the other, each naming its own display; the derived kind's
// constructor body already sees its own kind's defaults and type.
class TOuterKind : public TNxTextColumn {
public:
    explicit TOuterKind(TObject* AOwner = nullptr) : TNxTextColumn(AOwner) { SetColumnType(ctInteger); }
    std::unique_ptr<TObject> CreateColumnDisplay() override {
        return std::make_unique<TTaggedObject>("outer");
    }
};

class TInnerKind : public TOuterKind {
public:
    explicit TInnerKind(TObject* AOwner = nullptr) : TOuterKind(AOwner) {
        TypeSeenByBody = GetColumnType();
        OptionsSeenByBody = GetOptions();
        SetColumnType(ctFloat);
    }
    std::unique_ptr<TObject> CreateColumnDisplay() override {
        return std::make_unique<TTaggedObject>("inner");
    }
    TColumnType TypeSeenByBody = ctNone;
    TColumnOptions OptionsSeenByBody;
};

} // namespace

TEST(TextColumn, ViewObjectsAreTheMostDerivedKindsAndDefaultsComeBeforeTheKindsBody) {
    TInnerKind Column;
    EXPECT_EQ(Column.TypeSeenByBody, ctInteger);
    EXPECT_TRUE(Column.OptionsSeenByBody.Contains(coShowTextFitHint));
    EXPECT_EQ(Column.GetColumnType(), ctFloat);
    auto* Display = dynamic_cast<TTaggedObject*>(Column.GetColumnDisplay());
    ASSERT_NE(Display, nullptr);
    EXPECT_STREQ(Display->Tag, "inner");
    // Made once and kept.
    EXPECT_EQ(Column.GetColumnDisplay(), Display);
}
