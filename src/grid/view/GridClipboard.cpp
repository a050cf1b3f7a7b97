// Copying the selected rows as tab-separated text, the shape spreadsheets paste.
#include "grid/view/NextGrid.h"

#include <vector>

#include "platform/windows/Clipboard.h"

namespace {
// A field with a tab, a line break or a quote is quoted, its quotes doubled, so that a paste
// keeps it in one cell.
void AppendField(WideString& Out, const WideString& Field) {
    if (Field.find_first_of(u"\t\r\n\"") == WideString::npos) {
        Out += Field;
        return;
    }
    Out += u'"';
    for (char16_t Ch : Field) {
        if (Ch == u'"') Out += u'"';
        Out += Ch;
    }
    Out += u'"';
}
} // namespace

WideString TNxCustomGrid::GetSelectionText() {
    std::vector<int> Columns;
    TNxColumns* All = GetColumns();
    for (int Pos = 0; Pos < All->Count(); ++Pos)
        if (All->GetPositionItem(Pos)->GetVisible()) Columns.push_back(All->GetPositionItem(Pos)->GetIndex());
    WideString Out;
    if (Columns.empty()) return Out;
    TCells* Store = GetCellStore();
    auto AppendRow = [&](int Row) {
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (i > 0) Out += u'\t';
            AppendField(Out, Store->GetCell(Columns[i], Row)->GetAsString());
        }
        Out += u"\r\n";
    };
    int Count = GetRowCount();
    if (IsMultiSelect()) {
        int Selected = GetSelectedCount();
        bool Reserved = false;
        for (int Row = GetNextSelected(0); Row >= 0; Row = GetNextSelected(Row + 1)) {
            AppendRow(Row);
            // Room for the rest, guessed from the first row, spares the many regrowths.
            if (!Reserved) {
                Out.reserve(Out.size() * static_cast<size_t>(Selected) * 5 / 4);
                Reserved = true;
            }
        }
    } else if (GetSelectedRow() >= 0 && GetSelectedRow() < Count) {
        AppendRow(GetSelectedRow());
    }
    return Out;
}

void TNxCustomGrid::CopyToClipboard() {
    WideString Text = GetSelectionText();
    if (!Text.empty()) SetClipboardText(Text);
}
