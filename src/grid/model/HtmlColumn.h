#pragma once
// The HTML column: string cells holding markup, drawn formatted.

#include "grid/model/Column.h"

using TNxHtmlClickEvent = std::function<void(TObject* Sender, const WideString& Href)>;

class TNxHtmlColumn : public TNxCustomColumn {
public:
    explicit TNxHtmlColumn(TObject* AOwner = nullptr);

    // The cell text without its tags: everything from a "<" to the next ">" is left out.
    WideString GetHintText(const TCellInfo& CellInfo) override;
    static WideString StripTags(const WideString& Markup);

    // The play calls this when a link in a cell is clicked; Sender is the play, Href the target.
    virtual void DoClick(TObject* Sender, const WideString& Href);
    TNxHtmlClickEvent OnClick;
};
