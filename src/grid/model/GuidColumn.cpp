#include "grid/model/GuidColumn.h"

#include "controls/NxEdit.h"

// ---------------------------------------------------------------------------------------------
// TNxAffixedColumn

TNxAffixedColumn::TNxAffixedColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetOptions(GetOptions() + TColumnOptions{coShowTextFitHint});
}

void TNxAffixedColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Affixed = dynamic_cast<const TNxAffixedColumn*>(Source)) {
        FAutoExecute = Affixed->FAutoExecute;
        FTextAfter = Affixed->FTextAfter;
        FTextBefore = Affixed->FTextBefore;
    }
}

WideString TNxAffixedColumn::GetDrawText(const TCellInfo& CellInfo) {
    return FTextBefore + CellInfo.AsString + FTextAfter;
}

void TNxAffixedColumn::SetTextAfter(const WideString& Value) {
    FTextAfter = Value;
    Refresh(gaBody);
}

void TNxAffixedColumn::SetTextBefore(const WideString& Value) {
    FTextBefore = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxGuidColumn

TNxGuidColumn::TNxGuidColumn(TObject* AOwner) : TNxAffixedColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctGuid);
}

// ---------------------------------------------------------------------------------------------
// TNxVirtualColumn

TNxVirtualColumn::TNxVirtualColumn(TObject* AOwner) : TNxAffixedColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctVirtual);
}

void TNxVirtualColumn::DoGetText(int ACol, int ARow, WideString& Value) {
    if (OnGetText) OnGetText(this, ACol, ARow, Value);
}

void TNxVirtualColumn::DoSetText(int ACol, int ARow, const WideString& Value) {
    if (OnSetText) OnSetText(this, ACol, ARow, Value);
}

std::unique_ptr<TObject> TNxAffixedColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxEdit>(this);
}
