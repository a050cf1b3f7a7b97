#pragma once
// Searching one column of the cell store for a text: the matching rules of the grid's searches.
// They answer row numbers; selecting and scrolling to the row found is the grid's part.

#include "grid/model/Cells.h"
#include "platform/runtime/Types.h"

enum TSearchOption { soCaseInsensitive, soContinueFromTop, soFromSelected, soSearchInvisible, soExactMatch };
using TSearchOptions = TSet<TSearchOption>;

namespace GridSearch {

// A row is searched unless it is hidden: not visible, or under a collapsed parent.
bool RowSearchable(const TRow* Row, bool SearchInvisible);

// Whether a cell text matches Text: equal with soExactMatch, else containing it; with
// soCaseInsensitive both are compared in lower case (every letter, not only A to Z).
bool TextMatches(const WideString& CellText, const WideString& Text, TSearchOptions Options);

// The first row from FromRow to ToRow (both inclusive, limited to the existing rows) whose text
// in column ACol matches, skipping hidden rows unless soSearchInvisible; -1 when none does.
// ACol outside the columns raises the list error once a row is looked at.
int LocateRow(TCells& Cells, int ACol, int FromRow, int ToRow, const WideString& Text,
              TSearchOptions Options);

// The row FindText selects: with soFromSelected the rows after SelectedRow, then, with
// soContinueFromTop, every row again from the top; without it every row. -1 when none matches
// or there are no rows.
int FindTextRow(TCells& Cells, int ACol, const WideString& Text, TSearchOptions Options, int SelectedRow);

// Whether the cell text starts with Text ignoring case, both taken through the 8-bit code page
// as incremental search compares them.
bool TextStartsWith(const WideString& CellText, const WideString& Text);

// The row incremental search selects: the first visible row whose text in ACol starts with Text.
// FromTop searches every row from 0; otherwise the rows after SelectedRow, then 0 to SelectedRow.
// -1 when none matches or there are no rows.
int SearchNextRow(TCells& Cells, int ACol, const WideString& Text, bool FromTop, int SelectedRow);

} // namespace GridSearch
