#include "grid/model/TextColumn.h"

#include "controls/NxButtonEdit.h"
#include "controls/NxColorPicker.h"
#include "controls/NxMemoInplaceEdit.h"
#include "controls/NxTimeEdit.h"

#include "controls/NxEdit.h"

#include "platform/graphics/Canvas.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TNxTextColumn

TNxTextColumn::TNxTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetOptions(GetOptions() + TColumnOptions{coShowTextFitHint});
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxTextColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Text = dynamic_cast<const TNxTextColumn*>(Source)) {
        FMaxLength = Text->FMaxLength;
        FMultiLine = Text->FMultiLine;
        FPasswordChar = Text->FPasswordChar;
        FTextAfter = Text->FTextAfter;
        FTextBefore = Text->FTextBefore;
    }
}

TDisplayOptions TNxTextColumn::GetDisplayOptions() const {
    return FMultiLine ? TDisplayOptions{doMultiLine} : TDisplayOptions{};
}

WideString TNxTextColumn::Decorate(const WideString& Text) const {
    WideString Result = FTextBefore + Text + FTextAfter;
    if (FPasswordChar != '\0') Result.assign(Result.size(), PasswordMask());
    return Result;
}

WideString TNxTextColumn::GetDrawText(const TCellInfo& CellInfo) {
    return Decorate(CellInfo.AsString);
}

int TNxTextColumn::GetCellBestFit(const WideString& Text) {
    return MeasureCanvas()->TextWidth(Text) + 5;
}

void TNxTextColumn::BeginEditing() {
    TNxCustomColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxCustomEdit*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetInplaceEditor(true);
    Editor->SetMaxLength(FMaxLength);
    Editor->SetPasswordChar(FPasswordChar == '\0' ? u'\0' : PasswordMask());
}

WideChar TNxTextColumn::PasswordMask() const {
    WideString Mask = AnsiToWide(std::string(1, FPasswordChar));
    return Mask.empty() ? u'?' : Mask[0];
}

void TNxTextColumn::SetMaxLength(int Value) {
    FMaxLength = Value;
    Refresh(gaBody);
}

void TNxTextColumn::SetMultiLine(bool Value) {
    FMultiLine = Value;
    Refresh(gaBody);
}

void TNxTextColumn::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    Refresh(gaBody);
}

void TNxTextColumn::SetTextAfter(const WideString& Value) {
    FTextAfter = Value;
    Refresh(gaBody);
}

void TNxTextColumn::SetTextBefore(const WideString& Value) {
    FTextBefore = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxButtonColumn

TNxButtonColumn::TNxButtonColumn(TObject* AOwner)
    : TNxTextColumn(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

TNxButtonColumn::~TNxButtonColumn() = default;

void TNxButtonColumn::Assign(const TPersistent* Source) {
    TNxTextColumn::Assign(Source);
    if (auto* Button = dynamic_cast<const TNxButtonColumn*>(Source)) {
        FButtonCaption = Button->FButtonCaption;
        FEditOptions = Button->FEditOptions;
        FGlyph->Assign(Button->FGlyph.get());
        FShowButton = Button->FShowButton;
    }
}

void TNxButtonColumn::SetGlyph(const TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TNxButtonColumn::DoButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
}

// ---------------------------------------------------------------------------------------------
// TNxMemoColumn

TNxMemoColumn::TNxMemoColumn(TObject* AOwner) : TNxButtonColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxMemoColumn::Assign(const TPersistent* Source) {
    TNxButtonColumn::Assign(Source);
    if (auto* Memo = dynamic_cast<const TNxMemoColumn*>(Source)) FScrollBars = Memo->FScrollBars;
}

// ---------------------------------------------------------------------------------------------
// TNxColorColumn

TNxColorColumn::TNxColorColumn(TObject* AOwner) : TNxTextColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxColorColumn::Assign(const TPersistent* Source) {
    TNxTextColumn::Assign(Source);
    if (auto* Color = dynamic_cast<const TNxColorColumn*>(Source)) FFullSize = Color->FFullSize;
}

void TNxColorColumn::SetFullSize(bool Value) {
    FFullSize = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxTimeColumn

TNxTimeColumn::TNxTimeColumn(TObject* AOwner) : TNxTextColumn(AOwner) {
    SetSortType(stDate);
    SetColumnType(ctDate);
}

void TNxTimeColumn::Assign(const TPersistent* Source) {
    TNxTextColumn::Assign(Source);
    if (auto* Time = dynamic_cast<const TNxTimeColumn*>(Source)) {
        FEmptyCaption = Time->FEmptyCaption;
        FFormatMask = Time->FFormatMask;
        FHideWhenEmpty = Time->FHideWhenEmpty;
    }
}

WideString TNxTimeColumn::GetDrawText(const TCellInfo& CellInfo) {
    if (FHideWhenEmpty && CellInfo.AsDateTime == 0) return FEmptyCaption;
    // A value with no time text paints nothing rather than raising inside a paint.
    if (!IsInDateRange(CellInfo.AsDateTime)) return WideString();
    if (!FFormatMask.empty()) return FormatDateTime(FFormatMask, CellInfo.AsDateTime);
    return TimeToStr(CellInfo.AsDateTime);
}

void TNxTimeColumn::SetEmptyCaption(const WideString& Value) {
    FEmptyCaption = Value;
    Refresh(gaBody);
}

void TNxTimeColumn::SetFormatMask(const WideString& Value) {
    FFormatMask = Value;
    Refresh(gaBody);
}

void TNxTimeColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// Editors of the text kinds

std::unique_ptr<TObject> TNxTextColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxEdit>(this);
}

std::unique_ptr<TObject> TNxButtonColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxButtonEdit>(this);
    Editor->OnButtonClick = [this](TObject*) { DoButtonClick(); };
    return Editor;
}

void TNxButtonColumn::BeginEditing() {
    TNxTextColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxCustomButtonEdit*>(GetCellEditor());
    if (!Editor) return;
    if (!FButtonCaption.empty()) Editor->SetButtonCaption(FButtonCaption);
    Editor->SetShowButton(FShowButton);
}

std::unique_ptr<TObject> TNxMemoColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxMemoInplaceEdit>(this);
    Editor->OnButtonClick = [this](TObject*) { DoButtonClick(); };
    return Editor;
}

void TNxMemoColumn::BeginEditing() {
    TNxButtonColumn::BeginEditing();
    if (auto* Editor = dynamic_cast<NxEdit::TNxMemoInplaceEdit*>(GetCellEditor()))
        Editor->SetScrollBars(FScrollBars);
}

std::unique_ptr<TObject> TNxColorColumn::CreateCellEditor() {
    auto Editor = std::make_unique<NxEdit::TNxColorPicker>(this);
    Editor->SetWebColorFormat(true);
    return Editor;
}

std::unique_ptr<TObject> TNxTimeColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxTimeEdit>(this);
}

void TNxTimeColumn::PrepareCellEdit(const WideString& CellText) {
    TDateTime Value = 0;
    FEditDate = TryStrToDateTime(CellText, Value) ? DateOf(Value) : 0;
}

void TNxTimeColumn::UpdateEdit() {
    auto* Editor = dynamic_cast<NxEdit::TNxTimeEdit*>(GetCellEditor());
    TDateTime Value = 0;
    if (Editor && TryStrToDateTime(Editor->GetText(), Value)) Editor->SetTime(Value);
}

void TNxTimeColumn::ApplyEditing(WideString& Value) {
    TDateTime Time = 0;
    if (FEditDate == 0 || !TryStrToDateTime(Value, Time)) return;
    Value = DateTimeToStr(FEditDate + TimeOf(Time));
}
