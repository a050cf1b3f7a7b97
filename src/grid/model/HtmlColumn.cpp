#include "grid/model/HtmlColumn.h"

TNxHtmlColumn::TNxHtmlColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

WideString TNxHtmlColumn::StripTags(const WideString& Markup) {
    WideString Result;
    Result.reserve(Markup.size());
    bool InTag = false;
    for (WideChar C : Markup) {
        if (InTag) {
            if (C == u'>') InTag = false;
        } else if (C == u'<') {
            InTag = true;
        } else {
            Result += C;
        }
    }
    return Result;
}

WideString TNxHtmlColumn::GetHintText(const TCellInfo& CellInfo) {
    return StripTags(GetDrawText(CellInfo));
}

void TNxHtmlColumn::DoClick(TObject* Sender, const WideString& Href) {
    if (OnClick) OnClick(Sender, Href);
}
