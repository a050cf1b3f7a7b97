#pragma once
// The check box column: Boolean cells drawn and toggled as check boxes.

#include "grid/model/Column.h"

class TNxCheckBoxColumn : public TNxCustomColumn {
public:
    explicit TNxCheckBoxColumn(TObject* AOwner = nullptr);

    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest}; }

    // The play calls this after it toggled a cell.
    virtual void DoChange();
    TNotifyEvent OnChange;
};
