#pragma once
// What selecting a cell asks for, decided from the modifiers and the grid's mode before anything
// is stored or repainted (TNxCustomGridControl::SelectCell applies it).

#include "platform/runtime/Types.h"

enum TSelectAction {
    saInputColumn, // the input row is selected: only the current column moves
    saCell,        // without goSelectFullRow: the current cell moves, no row flag changes
    saToggleRow,   // Ctrl in a multi-select grid: the row's flag flips, the anchor moves to it
    saRange,       // Shift: the rows from the anchor to the row, every other row cleared
    saAddRange,    // Ctrl+Shift: the rows from the anchor to the row join the selection
    saRow          // single selection: the old row's flag goes to the new row
};

struct TSelectRequest {
    bool Deselect = true; // a plain press or key, not a right press on a selection
    bool Shift = false;   // modifiers held
    bool Ctrl = false;
    bool MultiSelected = false; // gtMultiSelect: more than the current row may be selected
    bool MultiSelect = false;   // goMultiSelect with goSelectFullRow
    bool FullRow = false;       // goSelectFullRow
    bool InputSelected = false;
};

struct TSelectDecision {
    bool ClearFirst = false; // every row flag is cleared before the action
    TSelectAction Action = saRow;
};

TSelectDecision DecideSelect(const TSelectRequest& Request);
