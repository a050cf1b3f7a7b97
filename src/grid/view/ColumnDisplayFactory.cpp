// The kinds' displays, matched most derived kind first.
#include "grid/view/ColumnDisplayFactory.h"

#include <memory>
#include <type_traits>

#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayImage.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "grid/view/ColumnDisplayProgress.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/ColumnPlay.h"

namespace {

template <typename Kind, typename Made, typename Base>
bool Make(TNxCustomColumn& Column, std::unique_ptr<Base>& Out) {
    if (Out) return false;
    if constexpr (!std::is_same_v<Kind, TNxCustomColumn>)
        if (!dynamic_cast<Kind*>(&Column)) return false;
    Out = std::make_unique<Made>(&Column);
    return true;
}

std::unique_ptr<TObject> FactoryEntry(TNxCustomColumn& Column) {
    return CreateKindDisplay(Column);
}

std::unique_ptr<TObject> PlayFactoryEntry(TNxCustomColumn& Column) {
    return CreateKindPlay(Column);
}

} // namespace

std::unique_ptr<TColumnDisplay> CreateKindDisplay(TNxCustomColumn& Column) {
    std::unique_ptr<TColumnDisplay> D;
    // Derived kinds before their bases: memo, color and time are text columns; strings, combo box
    // and list columns are popup (text) columns.
    Make<TNxProgressColumn, TProgressColumnDisplay>(Column, D) ||
        Make<TNxMemoColumn, TMemoColumnDisplay>(Column, D) ||
        Make<TNxColorColumn, TNxColorColumnDisplay>(Column, D) ||
        Make<TNxTimeColumn, TTimeColumnDisplay>(Column, D) ||
        Make<TNxDateColumn, TDateColumnDisplay>(Column, D) ||
        Make<TNxStringsColumn, TStringsColumnDisplay>(Column, D) ||
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

std::unique_ptr<TColumnPlay> CreateKindPlay(TNxCustomColumn& Column) {
    std::unique_ptr<TColumnPlay> P;
    Make<TNxCheckBoxColumn, TCheckBoxColumnPlay>(Column, P) ||
        Make<TNxRateColumn, TRateColumnPlay>(Column, P) ||
        Make<TNxHyperlinkColumn, THyperlinkColumnPlay>(Column, P) ||
        Make<TNxHtmlColumn, THtmlColumnPlay>(Column, P) || Make<TNxTreeColumn, TTreeColumnPlay>(Column, P);
    return P;
}

void RegisterKindDisplays() {
    TNxCustomColumn::SetColumnDisplayFactory(&FactoryEntry);
    TNxCustomColumn::SetColumnPlayFactory(&PlayFactoryEntry);
}
