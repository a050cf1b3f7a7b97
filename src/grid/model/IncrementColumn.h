#pragma once
// The increment column: cells that hold nothing and show their row number counted from 1.

#include "grid/model/Column.h"

class TNxIncrementColumn : public TNxCustomColumn {
public:
    explicit TNxIncrementColumn(TObject* AOwner = nullptr);

    TColumnStyle GetColumnStyle() const override { return {csFitToLargest, csTextFitHint}; }
    // The cell record carries the row index; the text is that index + 1.
    WideString GetDrawText(const TCellInfo& CellInfo) override;
};
