#include "grid/model/IncrementColumn.h"

#include "platform/runtime/SysUtils.h"

TNxIncrementColumn::TNxIncrementColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctAutoInc);
}

WideString TNxIncrementColumn::GetDrawText(const TCellInfo& CellInfo) {
    return IntToStr(static_cast<int64_t>(CellInfo.AsInteger) + 1);
}
