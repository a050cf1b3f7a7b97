#include "grid/model/CheckBoxColumn.h"

TNxCheckBoxColumn::TNxCheckBoxColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetSortType(stBoolean);
    SetColumnType(ctBoolean);
}

void TNxCheckBoxColumn::DoChange() {
    if (OnChange) OnChange(this);
}
