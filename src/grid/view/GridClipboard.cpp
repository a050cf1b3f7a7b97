// Copying the selected rows as tab-separated text, the shape spreadsheets paste.
#include "grid/view/NextGrid.h"

#include <vector>

#include "platform/windows/Clipboard.h"

namespace {
bool NeedsQuotes(const char16_t* Begin, const char16_t* End) {
    for (const char16_t* P = Begin; P < End; ++P)
        if (*P == u'\t' || *P == u'\r' || *P == u'\n' || *P == u'"') return true;
    return false;
}

// A field with a tab, a line break or a quote is quoted, its quotes doubled, so that a paste
// keeps it in one cell. Only such a field's length differs from its text's.
size_t QuotedLength(const char16_t* Begin, const char16_t* End) {
    if (!NeedsQuotes(Begin, End)) return static_cast<size_t>(End - Begin);
    size_t Length = static_cast<size_t>(End - Begin) + 2;
    for (const char16_t* P = Begin; P < End; ++P)
        Length += *P == u'"';
    return Length;
}

void AppendQuoted(WideString& Out, const WideString& Field) {
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
    std::vector<int> Rows;
    if (IsMultiSelect()) {
        Rows.reserve(static_cast<size_t>(GetSelectedCount()));
        for (int Row = GetNextSelected(0); Row >= 0; Row = GetNextSelected(Row + 1))
            Rows.push_back(Row);
    } else if (GetSelectedRow() >= 0 && GetSelectedRow() < GetRowCount()) {
        Rows.push_back(GetSelectedRow());
    }
    // Two passes over the cells, the first only measuring, so the text is allocated once.
    WideString Field;
    size_t Length = 0;
    for (int Row : Rows) {
        for (int Col : Columns) {
            Field.clear();
            Store->GetCell(Col, Row)->AppendAsString(Field);
            Length += QuotedLength(Field.data(), Field.data() + Field.size());
        }
        Length += Columns.size() - 1 + 2;
    }
    Out.reserve(Length);
    for (int Row : Rows) {
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (i > 0) Out += u'\t';
            const size_t Start = Out.size();
            Store->GetCell(Columns[i], Row)->AppendAsString(Out);
            if (NeedsQuotes(Out.data() + Start, Out.data() + Out.size())) {
                Field.assign(Out, Start);
                Out.resize(Start);
                AppendQuoted(Out, Field);
            }
        }
        Out += u"\r\n";
    }
    return Out;
}

void TNxCustomGrid::CopyToClipboard() {
    WideString Text = GetSelectionText();
    if (!Text.empty()) SetClipboardText(Text);
}
