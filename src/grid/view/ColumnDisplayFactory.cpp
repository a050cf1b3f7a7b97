// The kinds' displays, matched most derived kind first.
#include "grid/view/ColumnDisplayFactory.h"

#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayImage.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "grid/view/ColumnDisplayProgress.h"
#include "grid/view/ColumnDisplayText.h"

namespace {

template <typename Kind, typename Display>
bool Make(TNxCustomColumn& Column, std::unique_ptr<TColumnDisplay>& Out) {
    if (Out || !dynamic_cast<Kind*>(&Column)) return false;
    Out = std::make_unique<Display>(&Column);
    return true;
}

std::unique_ptr<TObject> FactoryEntry(TNxCustomColumn& Column) {
    return CreateKindDisplay(Column);
}

} // namespace

std::unique_ptr<TColumnDisplay> CreateKindDisplay(TNxCustomColumn& Column) {
    std::unique_ptr<TColumnDisplay> D;
    // Derived kinds before their bases: memo, color and time are text columns; list is a strings column.
    Make<TNxProgressColumn, TProgressColumnDisplay>(Column, D) ||
        Make<TNxMemoColumn, TMemoColumnDisplay>(Column, D) ||
        Make<TNxColorColumn, TNxColorColumnDisplay>(Column, D) ||
        Make<TNxTimeColumn, TTimeColumnDisplay>(Column, D) ||
        Make<TNxDateColumn, TDateColumnDisplay>(Column, D) ||
        Make<TNxListColumn, TStringsColumnDisplay>(Column, D) ||
        Make<TNxTextColumn, TTextColumnDisplay>(Column, D) ||
        Make<TNxNumberColumn, TNumberColumnDisplay>(Column, D) ||
        Make<TNxCalcColumn, TNumberColumnDisplay>(Column, D) ||
        Make<TNxCheckBoxColumn, TCheckBoxColumnDisplay>(Column, D) ||
        Make<TNxIncrementColumn, TIncrementColumnDisplay>(Column, D) ||
        Make<TNxImageColumn, TImageColumnDisplay>(Column, D) ||
        Make<TNxRateColumn, TRateColumnDisplay>(Column, D) ||
        Make<TNxGraphicColumn, TGraphicColumnDisplay>(Column, D) ||
        Make<TNxHyperlinkColumn, THyperlinkColumnDisplay>(Column, D) ||
        Make<TNxHtmlColumn, THtmlColumnDisplay>(Column, D) ||
        Make<TNxTreeColumn, TTreeColumnDisplay>(Column, D) ||
        Make<TNxGuidColumn, TNxGuidColumnDisplay>(Column, D) ||
        Make<TNxCustomColumn, TTextColumnDisplay>(Column, D);
    return D;
}

void RegisterKindDisplays() {
    TNxCustomColumn::SetColumnDisplayFactory(&FactoryEntry);
}
