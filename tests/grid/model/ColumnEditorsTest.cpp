// Each column kind opens its own editor class, and hands it the kind's settings when editing
// begins; the editors' events reach the column.

#include <gtest/gtest.h>

#include <typeindex>

#include "controls/NxCalcEdit.h"
#include "controls/NxColorPicker.h"
#include "controls/NxComboBox.h"
#include "controls/NxDatePicker.h"
#include "controls/NxMemoInplaceEdit.h"
#include "controls/NxSpinEdit.h"
#include "controls/NxTimeEdit.h"
#include "grid/model/ColumnKinds.h"
#include "grid/model/Columns.h"

using namespace NxEdit;

namespace {

struct TEditorRow {
    const char* Name;
    TColumnClass Class;
    std::type_index Editor; // typeid(void): the kind edits without an editor
};

TEST(ColumnEditors, EveryKindCreatesItsOwnEditorClass) {
    const TEditorRow Rows[] = {
        {"text", ColumnClassOf<TNxTextColumn>(), typeid(TNxEdit)},
        {"tree", ColumnClassOf<TNxTreeColumn>(), typeid(TNxEdit)},
        {"time", ColumnClassOf<TNxTimeColumn>(), typeid(TNxTimeEdit)},
        {"button", ColumnClassOf<TNxButtonColumn>(), typeid(TNxButtonEdit)},
        {"memo", ColumnClassOf<TNxMemoColumn>(), typeid(TNxMemoInplaceEdit)},
        {"check box", ColumnClassOf<TNxCheckBoxColumn>(), typeid(void)},
        {"html", ColumnClassOf<TNxHtmlColumn>(), typeid(void)},
        {"image", ColumnClassOf<TNxImageColumn>(), typeid(void)},
        {"rate", ColumnClassOf<TNxRateColumn>(), typeid(void)},
        {"popup", ColumnClassOf<TNxPopupColumn>(), typeid(TNxEdit)},
        {"strings", ColumnClassOf<TNxStringsColumn>(), typeid(TNxEdit)},
        {"combo box", ColumnClassOf<TNxComboBoxColumn>(), typeid(TNxComboBox)},
        {"list", ColumnClassOf<TNxListColumn>(), typeid(TNxComboBox)},
        {"number", ColumnClassOf<TNxNumberColumn>(), typeid(TNxSpinEdit)},
        {"calc", ColumnClassOf<TNxCalcColumn>(), typeid(TNxCalcEdit)},
        {"date", ColumnClassOf<TNxDateColumn>(), typeid(TNxDatePicker)},
        {"increment", ColumnClassOf<TNxIncrementColumn>(), typeid(void)},
        {"graphic", ColumnClassOf<TNxGraphicColumn>(), typeid(void)},
        {"hyperlink", ColumnClassOf<TNxHyperlinkColumn>(), typeid(void)},
        {"color", ColumnClassOf<TNxColorColumn>(), typeid(TNxColorPicker)},
        {"guid", ColumnClassOf<TNxGuidColumn>(), typeid(TNxEdit)},
        {"virtual", ColumnClassOf<TNxVirtualColumn>(), typeid(TNxEdit)},
        {"progress", ColumnClassOf<TNxProgressColumn>(), typeid(void)},
    };
    for (const TEditorRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        std::unique_ptr<TNxCustomColumn> Column(Row.Class(nullptr));
        TObject* Editor = Column->GetCellEditor();
        if (Row.Editor == typeid(void)) {
            EXPECT_EQ(Editor, nullptr);
            continue;
        }
        ASSERT_NE(Editor, nullptr);
        EXPECT_EQ(std::type_index(typeid(*Editor)), Row.Editor);
        EXPECT_EQ(dynamic_cast<TComponent*>(Editor)->GetOwner(), Column.get());
        // Made once and kept.
        EXPECT_EQ(Column->GetCellEditor(), Editor);
        // Every editor takes the base preparation of the grid.
        Column->BeginEditing();
        auto* Edit = dynamic_cast<TNxCustomEdit*>(Editor);
        ASSERT_NE(Edit, nullptr);
        EXPECT_TRUE(Edit->GetEditorUpdating());
        EXPECT_EQ(Edit->GetBorderStyle(), bsNone);
    }
}

TEST(ColumnEditors, BeginEditingHandsTheKindsSettingsToTheEditor) {
    TNxNumberColumn Number;
    Number.SetIncrement(0.5);
    Number.SetMin(0);
    Number.SetMax(2);
    Number.SetPrecision(2);
    Number.SetSpinButtons(false);
    auto* Spin = static_cast<TNxSpinEdit*>(Number.GetCellEditor());
    Spin->SetText(u"1");
    Number.BeginEditing();
    EXPECT_EQ(Spin->GetIncrement(), 0.5);
    EXPECT_FALSE(Spin->GetSpinButtons());
    EXPECT_EQ(Spin->GetText(), u"1.00");
    Spin->Step(5);
    EXPECT_EQ(Spin->GetText(), u"2.00"); // held at Max

    TNxComboBoxColumn Combo;
    Combo.GetItems()->Add(u"one");
    Combo.GetItems()->Add(u"two");
    Combo.SetStyle(cbsDropDownList);
    Combo.SetAutoComplete(true);
    auto* Box = static_cast<TNxComboBox*>(Combo.GetCellEditor());
    Combo.BeginEditing();
    EXPECT_EQ(Box->GetItems()->GetCount(), 2);
    EXPECT_EQ(Box->GetStyle(), cbsDropDownList);
    EXPECT_TRUE(Box->GetAutoComplete());
    // The editor keeps its own copy: later changes of the column do not leak into an open edit.
    Combo.GetItems()->Add(u"three");
    EXPECT_EQ(Box->GetItems()->GetCount(), 2);

    TNxDateColumn DateColumn;
    DateColumn.SetStartDay(NxClasses::dwMonday);
    DateColumn.SetNoneCaption(u"Nothing");
    DateColumn.SetShowNoneButton(false);
    auto* Picker = static_cast<TNxDatePicker*>(DateColumn.GetCellEditor());
    DateColumn.BeginEditing();
    EXPECT_EQ(Picker->GetStartDay(), NxClasses::dwMonday);
    EXPECT_EQ(Picker->GetNoneCaption(), u"Nothing");
    EXPECT_FALSE(Picker->GetShowNoneButton());

    TNxColorColumn ColorColumn;
    EXPECT_TRUE(static_cast<TNxColorPicker*>(ColorColumn.GetCellEditor())->GetWebColorFormat());
}

TEST(ColumnEditors, ListColumnEditsTheItemAndStoresItsIndex) {
    TNxListColumn List;
    for (const char16_t* s : {u"red", u"green", u"blue"})
        List.GetItems()->Add(s);
    auto* Box = static_cast<TNxComboBox*>(List.GetCellEditor());
    EXPECT_EQ(Box->GetStyle(), cbsDropDownList);
    Box->SetText(u"2"); // the grid fills in the cell's value
    List.BeginEditing();
    EXPECT_EQ(Box->GetText(), u"blue");
    Box->SetItemIndex(1);
    WideString Value = u"2";
    List.ApplyEditing(Value);
    EXPECT_EQ(Value, u"1");
    // An index outside the items edits as nothing and stores -1, never a stale index.
    Box->SetText(u"7");
    List.BeginEditing();
    EXPECT_EQ(Box->GetText(), u"");
    List.ApplyEditing(Value);
    EXPECT_EQ(Value, u"-1");
}

TEST(ColumnEditors, EditorEventsReachTheColumn) {
    TNxButtonColumn Button;
    int Clicks = 0;
    Button.OnButtonClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Button);
        ++Clicks;
    };
    Button.SetButtonCaption(u"Go");
    Button.SetShowButton(false);
    auto* Edit = static_cast<TNxButtonEdit*>(Button.GetCellEditor());
    Button.BeginEditing();
    EXPECT_EQ(Edit->GetButtonCaption(), u"Go");
    EXPECT_FALSE(Edit->GetShowButton());
    Edit->DoButtonClick();
    EXPECT_EQ(Clicks, 1);

    TNxMemoColumn Memo;
    Memo.OnButtonClick = [&](TObject*) { ++Clicks; };
    static_cast<TNxMemoInplaceEdit*>(Memo.GetCellEditor())->DoButtonClick();
    EXPECT_EQ(Clicks, 2);

    TNxComboBoxColumn Combo;
    int Closes = 0, Selects = 0;
    Combo.OnCloseUp = [&](TObject*) { ++Closes; };
    Combo.OnSelect = [&](TObject*) { ++Selects; };
    auto* Box = static_cast<TNxComboBox*>(Combo.GetCellEditor());
    Box->OnCloseUp(Box);
    Box->OnSelect(Box);
    EXPECT_EQ(Closes, 1);
    EXPECT_EQ(Selects, 1);
}

} // namespace
