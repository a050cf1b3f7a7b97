// Selecting a cell: the decision from modifiers and mode, then storing, repainting and the events.
#include "grid/view/GridSelectCell.h"

#include <algorithm>

#include "grid/view/GridControl.h"

TSelectDecision DecideSelect(const TSelectRequest& Request) {
    TSelectDecision Decision;
    // A plain press or key starts a multi-selection over; a modifier or a right press keeps it.
    Decision.ClearFirst = Request.MultiSelected && Request.Deselect && !Request.Shift && !Request.Ctrl;
    if (Request.InputSelected)
        Decision.Action = saInputColumn;
    else if (!Request.FullRow)
        Decision.Action = saCell;
    else if (Request.MultiSelect && Request.Ctrl && !Request.Shift)
        Decision.Action = saToggleRow;
    else if (Request.MultiSelect && Request.Shift)
        Decision.Action = Request.Ctrl ? saAddRange : saRange;
    else
        Decision.Action = saRow;
    return Decision;
}

void TNxCustomGridControl::SelectCell(int ACol, int ARow, bool Deselect, TShiftState Shift) {
    if (!CanSelectCell(ACol, ARow)) return;
    TSelectRequest Request;
    Request.Deselect = Deselect;
    Request.Shift = Shift.Contains(ssShift);
    Request.Ctrl = Shift.Contains(ssCtrl);
    Request.MultiSelected = FGridState.Contains(gtMultiSelect);
    Request.MultiSelect = IsMultiSelect();
    Request.FullRow = FOptions.Contains(goSelectFullRow);
    Request.InputSelected = FInputSelected;
    const TSelectDecision Decision = DecideSelect(Request);
    if (Decision.ClearFirst) NoSelection();
    if (!FColumns->Exists(ACol) || !FColumns->GetItem(ACol)->GetEnabled()) return;
    const TPoint Old{FSelectedColumn, FSelectedRow};
    MoveCurrentCell(ACol, ARow);
    if (Decision.Action == saInputColumn) {
        if (Old.X != ACol) {
            DoInputSelectCell(ACol);
            RefreshColumn(FColumns->GetItem(ACol), gaInput);
            if (FColumns->Exists(Old.X)) RefreshColumn(FColumns->GetItem(Old.X), gaInput);
        }
        return;
    }
    if (GetRowCount() == 0) return;
    ApplySelect(Decision.Action, Old, ACol, ARow);
    DoSelectCell(ACol, ARow);
}

void TNxCustomGridControl::MoveCurrentCell(int ACol, int ARow) {
    const int OldCol = FSelectedColumn, OldRow = FSelectedRow;
    FSelectedColumn = ACol;
    FSelectedRow = ARow;
    if (OldCol != ACol || OldRow != ARow) {
        if (CellBounds(OldCol, OldRow)) DoDeselectCell(OldCol, OldRow);
        // Moving away from an edited cell keeps what was typed into it.
        if (FGridState.Contains(gtEdit)) {
            ApplyEditing();
            EndEditing();
        }
    }
    if (FAutoScroll && ARow >= 0 && ARow < GetRowCount()) ScrollToRow(ARow);
}

void TNxCustomGridControl::ApplySelect(TSelectAction Action, TPoint Old, int ACol, int ARow) {
    const int OldCol = Old.X, OldRow = Old.Y;
    const bool CellChanged = OldCol != ACol || OldRow != ARow;
    const bool RowChanged = OldRow != ARow;
    const bool ValidRow = ARow >= 0 && ARow < GetRowCount();
    switch (Action) {
    case saCell:
        if (!CellChanged) break;
        if (RowChanged && FGridStyle == gsSlides) {
            // A slide shows the current row by its frame.
            RefreshSlide(ARow, true);
            if (OldRow >= 0 && OldRow < GetRowCount()) RefreshSlide(OldRow, true);
        } else if (RowChanged) {
            RefreshIndicator(ARow);
            RefreshIndicator(OldRow);
        }
        RefreshCell(ACol, ARow);
        RefreshCell(OldCol, OldRow);
        break;
    case saToggleRow:
        FGridState.Include(gtMultiSelect);
        FAnchorRow = ARow;
        if (ValidRow) StoreSelected(ARow, !GetSelected(ARow));
        RefreshRow(ARow);
        if (RowChanged) RefreshRow(OldRow);
        break;
    case saRange:
    case saAddRange: {
        FGridState.Include(gtMultiSelect);
        const int Anchor = FAnchorRow < 0 ? ARow : FAnchorRow;
        const int Low = std::min(Anchor, ARow), High = std::max(Anchor, ARow);
        // Only the selected rows outside the range need clearing; the others already are.
        if (Action == saRange) ClearSelectionOutside(Low, High);
        if (ValidRow && Low >= 0) SelectRange(Low, High, true);
        if (RowChanged) {
            RefreshRow(ARow);
            RefreshRow(OldRow);
        }
        break;
    }
    case saRow:
        if (!RowChanged) {
            if (OldCol != ACol && FAppearanceOptions.Contains(aoIndicateSelectedCell)) {
                RefreshCell(ACol, ARow);
                RefreshCell(OldCol, OldRow);
            }
        } else if (!FGridState.Contains(gtMultiSelect) && OldRow >= 0 && OldRow < GetRowCount()) {
            StoreSelected(OldRow, false);
        }
        if (ValidRow) StoreSelected(ARow, true);
        FAnchorRow = ARow;
        if (!IsUpdating() && RowChanged) {
            RefreshRow(ARow);
            RefreshRow(OldRow);
        }
        break;
    case saInputColumn:
        break;
    }
}
