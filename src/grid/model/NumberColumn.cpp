#include "grid/model/NumberColumn.h"

#include "controls/NxCalcEdit.h"
#include "controls/NxSpinEdit.h"

#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TNxCustomNumberColumn

TNxCustomNumberColumn::TNxCustomNumberColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctFloat);
}

void TNxCustomNumberColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Number = dynamic_cast<const TNxCustomNumberColumn*>(Source)) {
        FEditOptions = Number->FEditOptions;
        FEmptyCaption = Number->FEmptyCaption;
        FFormatMask = Number->FFormatMask;
        FHideWhenEmpty = Number->FHideWhenEmpty;
        FMax = Number->FMax;
        FMin = Number->FMin;
        FTextAfter = Number->FTextAfter;
        FTextBefore = Number->FTextBefore;
    }
}

WideString TNxCustomNumberColumn::GetDrawText(const TCellInfo& CellInfo) {
    if (FHideWhenEmpty && CellInfo.AsFloat == 0) return FEmptyCaption;
    WideString Value =
        FFormatMask.empty() ? FloatToStr(CellInfo.AsFloat) : FormatFloat(FFormatMask, CellInfo.AsFloat);
    return FTextBefore + Value + FTextAfter;
}

void TNxCustomNumberColumn::SetEmptyCaption(const WideString& Value) {
    FEmptyCaption = Value;
    Refresh(gaBody);
}

void TNxCustomNumberColumn::SetFormatMask(const WideString& Value) {
    FFormatMask = Value;
    Refresh(gaBody);
}

void TNxCustomNumberColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

void TNxCustomNumberColumn::SetTextAfter(const WideString& Value) {
    FTextAfter = Value;
    Refresh(gaBody);
}

void TNxCustomNumberColumn::SetTextBefore(const WideString& Value) {
    FTextBefore = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxNumberColumn

TNxNumberColumn::TNxNumberColumn(TObject* AOwner) : TNxCustomNumberColumn(AOwner) {
    SetAlignment(taRightJustify);
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctFloat);
}

void TNxNumberColumn::Assign(const TPersistent* Source) {
    TNxCustomNumberColumn::Assign(Source);
    if (auto* Number = dynamic_cast<const TNxNumberColumn*>(Source)) {
        FIncrement = Number->FIncrement;
        FPrecision = Number->FPrecision;
        FSpinButtons = Number->FSpinButtons;
    }
}

// ---------------------------------------------------------------------------------------------
// TNxCalcColumn

TNxCalcColumn::TNxCalcColumn(TObject* AOwner) : TNxCustomNumberColumn(AOwner) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctFloat);
}

// ---------------------------------------------------------------------------------------------
// Editors of the number kinds

std::unique_ptr<TObject> TNxNumberColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxSpinEdit>(this);
}

void TNxNumberColumn::BeginEditing() {
    TNxCustomNumberColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxSpinEdit*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetIncrement(FIncrement);
    Editor->SetMin(GetMin());
    Editor->SetMax(GetMax());
    Editor->SetSpinButtons(FSpinButtons);
    // The filled text keeps its value; only the decimals follow the column.
    Editor->SetPrecision(FPrecision);
}

std::unique_ptr<TObject> TNxCalcColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxCalcEdit>(this);
}

void TNxCalcColumn::BeginEditing() {
    TNxCustomNumberColumn::BeginEditing();
    auto* Editor = dynamic_cast<NxEdit::TNxCalcEdit*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetMin(GetMin());
    Editor->SetMax(GetMax());
}
