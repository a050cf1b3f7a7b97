// Copying the selected rows as tab-separated text, the shape spreadsheets paste.
#include "grid/view/NextGrid.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/windows/Clipboard.h"

namespace {
bool NeedsQuotes(std::u16string_view Field) {
    for (char16_t Ch : Field)
        if (Ch == u'\t' || Ch == u'\r' || Ch == u'\n' || Ch == u'"') return true;
    return false;
}

// A field with a tab, a line break or a quote is quoted, its quotes doubled, so that a paste
// keeps it in one cell.
void AppendField(TTextBuffer& Out, std::u16string_view Field) {
    if (!NeedsQuotes(Field)) {
        Out.Append(Field);
        return;
    }
    Out.Append(u'"');
    for (char16_t Ch : Field) {
        if (Ch == u'"') Out.Append(u'"');
        Out.Append(Ch);
    }
    Out.Append(u'"');
}

// Rows whose text sizes the buffer before the rest is written.
constexpr size_t kSampleRows = 256;
constexpr size_t kMostExpectedLength = size_t{128} << 20;
} // namespace

TTextBuffer TNxCustomGrid::SelectionText() {
    std::vector<int> Columns;
    TNxColumns* All = GetColumns();
    for (int Pos = 0; Pos < All->Count(); ++Pos)
        if (All->GetPositionItem(Pos)->GetVisible()) Columns.push_back(All->GetPositionItem(Pos)->GetIndex());
    if (Columns.empty()) return TTextBuffer();
    TCells* Store = GetCellStore();
    std::vector<int> Rows;
    if (IsMultiSelect()) {
        Rows.reserve(static_cast<size_t>(GetSelectedCount()));
        for (int Row = GetNextSelected(0); Row >= 0; Row = GetNextSelected(Row + 1))
            Rows.push_back(Row);
    } else if (GetSelectedRow() >= 0 && GetSelectedRow() < GetRowCount()) {
        Rows.push_back(GetSelectedRow());
    }
    // Each cell's text is made once. The first rows are written into a small buffer that then
    // sizes the whole text from their average, with room to spare; past that the large block
    // grows by moving its pages, never by copying the text.
    WideString Field;
    auto WriteRow = [&](TTextBuffer& To, int Row) {
        for (size_t i = 0; i < Columns.size(); ++i) {
            if (i > 0) To.Append(u'\t');
            Field.clear();
            Store->GetCell(Columns[i], Row)->AppendAsString(Field);
            AppendField(To, Field);
        }
        To.Append(u"\r\n");
    };
    const size_t Sampled = std::min(Rows.size(), kSampleRows);
    TTextBuffer Sample;
    for (size_t r = 0; r < Sampled; ++r)
        WriteRow(Sample, Rows[r]);
    if (Sampled == Rows.size()) return Sample;
    // Capped: long first rows must not ask for more address space than the system grants.
    const size_t Expected = std::min(Sample.Size() / Sampled * Rows.size() / 4 * 5, kMostExpectedLength);
    TTextBuffer Out(Expected);
    Out.Append(Sample.View());
    for (size_t r = Sampled; r < Rows.size(); ++r)
        WriteRow(Out, Rows[r]);
    return Out;
}

WideString TNxCustomGrid::GetSelectionText() {
    const TTextBuffer Text = SelectionText();
    return WideString(Text.View());
}

void TNxCustomGrid::CopyToClipboard() {
    TTextBuffer Text = SelectionText();
    if (!Text.Empty()) SetClipboardText(std::move(Text));
}
