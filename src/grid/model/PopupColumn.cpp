#include "grid/model/PopupColumn.h"

#include "controls/NxDatePicker.h"

#include "platform/runtime/DateTime.h"
#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TNxPopupColumn

TNxPopupColumn::TNxPopupColumn(TObject* AOwner) : TNxTextColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxPopupColumn::DoCloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TNxPopupColumn::DoSelect() {
    if (OnSelect) OnSelect(this);
}

// ---------------------------------------------------------------------------------------------
// TNxStringsColumn

TNxStringsColumn::TNxStringsColumn(TObject* AOwner)
    : TNxPopupColumn(AOwner), FItems(std::make_unique<TStringList>()) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

TNxStringsColumn::~TNxStringsColumn() = default;

void TNxStringsColumn::Assign(const TPersistent* Source) {
    TNxPopupColumn::Assign(Source);
    if (auto* Strings = dynamic_cast<const TNxStringsColumn*>(Source)) {
        FAutoDropDown = Strings->FAutoDropDown;
        FDisplayMode = Strings->FDisplayMode;
        FDropDownCount = Strings->FDropDownCount;
        FImages = Strings->FImages;
        FItems->Assign(Strings->FItems.get());
        FListWidth = Strings->FListWidth;
    }
}

void TNxStringsColumn::SetDisplayMode(TDisplayMode Value) {
    FDisplayMode = Value;
    Refresh(gaBody);
}

void TNxStringsColumn::SetImages(TList* Value) {
    FImages = Value;
    Refresh(gaBody);
}

void TNxStringsColumn::SetItems(const TStrings* Value) {
    if (Value && Value != FItems.get()) FItems->Assign(Value);
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxComboBoxColumn

TNxComboBoxColumn::TNxComboBoxColumn(TObject* AOwner) : TNxStringsColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxComboBoxColumn::Assign(const TPersistent* Source) {
    TNxStringsColumn::Assign(Source);
    if (auto* Combo = dynamic_cast<const TNxComboBoxColumn*>(Source)) {
        FAutoComplete = Combo->FAutoComplete;
        FDataMode = Combo->FDataMode;
        FStyle = Combo->FStyle;
    }
}

bool TNxComboBoxColumn::IsKeyValid(WideChar Key) {
    if (!TNxStringsColumn::IsKeyValid(Key)) return false;
    if (FStyle != cbsDropDownList || GetAutoDropDown()) return true;
    WideString Typed = AnsiLowerCase(WideString(1, Key));
    for (int i = 0; i < GetItems()->Count(); ++i) {
        WideString Item = GetItems()->Get(i);
        if (!Item.empty() && AnsiLowerCase(Item.substr(0, 1)) == Typed) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// TNxListColumn

TNxListColumn::TNxListColumn(TObject* AOwner) : TNxStringsColumn(AOwner) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctInteger);
}

void TNxListColumn::Assign(const TPersistent* Source) {
    TNxStringsColumn::Assign(Source);
    if (auto* List = dynamic_cast<const TNxListColumn*>(Source)) SetSorted(List->FSorted);
}

WideString TNxListColumn::GetDrawText(const TCellInfo& CellInfo) {
    int Index = CellInfo.AsInteger;
    if (Index < 0 || Index >= GetItems()->Count()) return WideString();
    return Decorate(GetItems()->Get(Index));
}

void TNxListColumn::SetSorted(bool Value) {
    FSorted = Value;
    GetItems()->SetSorted(Value);
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxDateColumn

TNxDateColumn::TNxDateColumn(TObject* AOwner) : TNxPopupColumn(AOwner) {
    SetDefaultValue(DateToStr(Date()));
    SetSortType(stDate);
    SetColumnType(ctDate);
}

void TNxDateColumn::Assign(const TPersistent* Source) {
    TNxPopupColumn::Assign(Source);
    if (auto* DateColumn = dynamic_cast<const TNxDateColumn*>(Source)) {
        FDateSeparator = DateColumn->FDateSeparator;
        FEmptyCaption = DateColumn->FEmptyCaption;
        FFormatMask = DateColumn->FFormatMask;
        FHideWhenEmpty = DateColumn->FHideWhenEmpty;
        FNoneCaption = DateColumn->FNoneCaption;
        FShowNoneButton = DateColumn->FShowNoneButton;
        FStartDay = DateColumn->FStartDay;
        FTodayCaption = DateColumn->FTodayCaption;
    }
}

WideString TNxDateColumn::GetDrawText(const TCellInfo& CellInfo) {
    if (FHideWhenEmpty && CellInfo.AsDateTime == 0) return FEmptyCaption;
    // A value with no date text paints nothing rather than raising inside a paint.
    if (!IsInDateRange(CellInfo.AsDateTime)) return WideString();
    TFormatSettings Settings = DefaultFormatSettings();
    Settings.DateSeparator = FDateSeparator;
    WideString Text = FFormatMask.empty() ? DateTimeToStr(CellInfo.AsDateTime, Settings)
                                          : FormatDateTime(FFormatMask, CellInfo.AsDateTime, Settings);
    return Decorate(Text);
}

void TNxDateColumn::SetDateSeparator(WideChar Value) {
    FDateSeparator = Value;
    Refresh(gaBody);
}

void TNxDateColumn::SetEmptyCaption(const WideString& Value) {
    FEmptyCaption = Value;
    Refresh(gaBody);
}

void TNxDateColumn::SetFormatMask(const WideString& Value) {
    FFormatMask = Value;
    Refresh(gaBody);
}

void TNxDateColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// Editors of the popup kinds

namespace {
// The editor's close-up and select reach the column's handlers.
void WirePopup(NxEdit::TNxPopupEdit* Editor, TNxPopupColumn* Column) {
    Editor->OnCloseUp = [Column](TObject*) { Column->DoCloseUp(); };
    Editor->OnSelect = [Column](TObject*) { Column->DoSelect(); };
}
} // namespace

std::unique_ptr<TObject> TNxComboBoxColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxComboBox>(this);
    WirePopup(Editor.get(), this);
    return Editor;
}

void TNxComboBoxColumn::BeginEditing() {
    TNxStringsColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxComboBox*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetItems(GetItems());
    Editor->SetStyle(FStyle);
    Editor->SetDropDownCount(GetDropDownCount());
    Editor->SetAutoComplete(FAutoComplete);
}

std::unique_ptr<TObject> TNxListColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxComboBox>(this);
    Editor->SetStyle(cbsDropDownList);
    WirePopup(Editor.get(), this);
    return Editor;
}

void TNxListColumn::BeginEditing() {
    TNxStringsColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxComboBox*>(GetCellEditor());
    if (!Editor) return;
    // Filled with the cell's index; shown as its item.
    const int Index = StrToIntDef(Editor->GetText(), -1);
    Editor->SetItems(GetItems());
    Editor->SetDropDownCount(GetDropDownCount());
    Editor->SetItemIndex(Index);
}

void TNxListColumn::UpdateEdit() {
    // The grid writes the cell's text, the index, after BeginEditing.
    auto* Editor = dynamic_cast<NxEdit::TNxComboBox*>(GetCellEditor());
    if (Editor) Editor->SetItemIndex(StrToIntDef(Editor->GetText(), -1));
}

void TNxListColumn::ApplyEditing(WideString& Value) {
    const auto* Editor = dynamic_cast<NxEdit::TNxComboBox*>(GetCellEditor());
    if (Editor) Value = IntToStr(Editor->GetItemIndex());
}

std::unique_ptr<TObject> TNxDateColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxDatePicker>(this);
    WirePopup(Editor.get(), this);
    return Editor;
}

void TNxDateColumn::BeginEditing() {
    TNxPopupColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxDatePicker*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetStartDay(FStartDay);
    Editor->SetTodayCaption(FTodayCaption);
    Editor->SetNoneCaption(FNoneCaption);
    Editor->SetShowNoneButton(FShowNoneButton);
}
