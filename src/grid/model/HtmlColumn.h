#pragma once
// The HTML column: string cells holding markup, drawn formatted.

#include "grid/model/Column.h"

class TNxHtmlColumn : public TNxCustomColumn {
public:
    explicit TNxHtmlColumn(TObject* AOwner = nullptr);

    // The cell text without its tags: everything from a "<" to the next ">" is left out.
    WideString GetHintText(const TCellInfo& CellInfo) override;
    static WideString StripTags(const WideString& Markup);

    // The play calls this when the cell is clicked.
    virtual void DoClick();
    TNotifyEvent OnClick;
};
