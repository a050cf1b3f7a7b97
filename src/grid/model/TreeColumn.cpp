#include "grid/model/TreeColumn.h"

#include "controls/NxEdit.h"

TNxTreeColumn::TNxTreeColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxTreeColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Tree = dynamic_cast<const TNxTreeColumn*>(Source)) {
        FExpandLock = Tree->FExpandLock;
        FHighlightButton = Tree->FHighlightButton;
        FImages = Tree->FImages;
        FShowButtons = Tree->FShowButtons;
        FShowLines = Tree->FShowLines;
    }
}

void TNxTreeColumn::SetHighlightButton(bool Value) {
    FHighlightButton = Value;
    Refresh(gaBody);
}

void TNxTreeColumn::SetImages(TList* Value) {
    FImages = Value;
    Refresh(gaBody);
}

void TNxTreeColumn::SetShowButtons(bool Value) {
    FShowButtons = Value;
    Refresh(gaBody);
}

void TNxTreeColumn::SetShowLines(bool Value) {
    FShowLines = Value;
    Refresh(gaBody);
}

std::unique_ptr<TObject> TNxTreeColumn::CreateCellEditor() {
    return std::make_unique<NxEdit::TNxEdit>(this);
}
