// Searching one column of the cell store for a text.

#include "grid/model/GridSearch.h"

#include <algorithm>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"

namespace GridSearch {

namespace {

constexpr char16_t AsciiLower(char16_t C) {
    return C >= u'A' && C <= u'Z' ? static_cast<char16_t>(C + (u'a' - u'A')) : C;
}

// Text with its first Length units, through the 8-bit code page, every letter in lower case.
AnsiString FoldedHead(std::u16string_view Text, size_t Length) {
    return AnsiLowerCase(WideToAnsi(Text.substr(0, Length)));
}

// Row records need a look only when the store counts fewer visible rows than rows.
bool SomeRowHidden(const TCells& Cells) {
    return Cells.GetVisibleRowCount() != Cells.GetRowCount();
}

} // namespace

bool RowSearchable(const TRow* Row, bool SearchInvisible) {
    return SearchInvisible || (Row->Visible && Row->Shown);
}

bool TextMatches(const WideString& CellText, const WideString& Text, TSearchOptions Options) {
    if (Options.Contains(soCaseInsensitive)) {
        const WideString Cell = AnsiLowerCase(CellText), Wanted = AnsiLowerCase(Text);
        return Options.Contains(soExactMatch) ? Cell == Wanted : Cell.find(Wanted) != WideString::npos;
    }
    return Options.Contains(soExactMatch) ? CellText == Text : CellText.find(Text) != WideString::npos;
}

int LocateRow(TCells& Cells, int ACol, int FromRow, int ToRow, const WideString& Text,
              TSearchOptions Options) {
    FromRow = std::max(FromRow, 0);
    ToRow = std::min(ToRow, Cells.GetRowCount() - 1);
    const bool CheckRows = !Options.Contains(soSearchInvisible) && SomeRowHidden(Cells);
    for (int Row = FromRow; Row <= ToRow; ++Row) {
        if (CheckRows && !RowSearchable(Cells.GetRow(Row), false)) continue;
        if (TextMatches(Cells.GetCell(ACol, Row)->GetAsString(), Text, Options)) return Row;
    }
    return -1;
}

int FindTextRow(TCells& Cells, int ACol, const WideString& Text, TSearchOptions Options, int SelectedRow) {
    const int Last = Cells.GetRowCount() - 1;
    if (Last < 0) return -1;
    if (!Options.Contains(soFromSelected)) return LocateRow(Cells, ACol, 0, Last, Text, Options);
    const int Found = LocateRow(Cells, ACol, SelectedRow + 1, Last, Text, Options);
    if (Found >= 0 || !Options.Contains(soContinueFromTop)) return Found;
    return LocateRow(Cells, ACol, 0, Last, Text, Options);
}

bool TextStartsWith(const WideString& CellText, const WideString& Text) {
    if (CellText.size() < Text.size()) return false;
    // Plain ASCII is the same in every 8-bit code page: fold it in place.
    bool Ascii = true;
    for (size_t i = 0; i < Text.size() && Ascii; ++i) {
        if (CellText[i] >= 0x80 || Text[i] >= 0x80)
            Ascii = false;
        else if (AsciiLower(CellText[i]) != AsciiLower(Text[i]))
            return false;
    }
    return Ascii || FoldedHead(CellText, Text.size()) == FoldedHead(Text, Text.size());
}

int SearchNextRow(TCells& Cells, int ACol, const WideString& Text, bool FromTop, int SelectedRow) {
    const int Count = Cells.GetRowCount();
    if (Count == 0) return -1;
    const bool CheckRows = SomeRowHidden(Cells);
    auto Search = [&](int From, int To) {
        for (int Row = std::max(From, 0); Row <= std::min(To, Count - 1); ++Row) {
            if (CheckRows && !RowSearchable(Cells.GetRow(Row), false)) continue;
            if (TextStartsWith(Cells.GetCell(ACol, Row)->GetAsString(), Text)) return Row;
        }
        return -1;
    };
    if (FromTop) return Search(0, Count - 1);
    const int Found = Search(SelectedRow + 1, Count - 1);
    return Found >= 0 ? Found : Search(0, SelectedRow);
}

} // namespace GridSearch
