#pragma once
// The grid as assistive technology sees it: a table of the data rows with the column captions as
// headers and each cell's text as drawn. Cells are described only when asked for.

#include <memory>

#include "grid/view/GridControlTypes.h"
#include "platform/windows/Accessibility.h"

class TNxCustomGridControl;

class TGridAccessible : public TAccessible {
public:
    explicit TGridAccessible(TNxCustomGridControl* Grid);
    TAccessibleRole GetRole() const override { return arTable; }
    // The hint: the grid has no caption of its own.
    WideString GetName() const override;
    TAccessibleState GetState() const override;
    bool IsTable() const override { return true; }
    int GetRowCount() const override;
    int GetColumnCount() const override;
    WideString GetColumnHeader(int Col) const override;
    // What the cell shows: the column's draw text; a progress cell its percentage ("37%").
    WideString GetCellText(int Col, int Row) const override;
    TAccessibleState GetCellState(int Col, int Row) const override;
    // The part of the cell inside the body; empty for rows above or below the view and hidden columns.
    TRect GetCellRect(int Col, int Row) const override;
    TRect GetHeaderRect(int Col) const override;
    // Single selection answers from the selected row alone; multi-selection stops after Max rows.
    std::vector<int> GetSelectedRows(int Max) const override;
    bool IsRowSelected(int Row) const override;
    bool GetFocusedCell(int& Col, int& Row) const override;
    bool SelectRow(int Row) override;
    // Looks only at the rows in view.
    bool CellAtPos(const TPoint& Pos, int& Col, int& Row) const override;

private:
    TNxCustomGridControl* Grid() const;
};

// Announcements the grid makes; each does nothing while no client listens.
void GridAccessibleCellChanged(TNxCustomGridControl* Grid, int ACol, int ARow);
void GridAccessibleSelected(TNxCustomGridControl* Grid, int ACol, int ARow);
// Rows or columns added, inserted or deleted (as reported by the grid's DoDataChange).
void GridAccessibleDataChanged(TNxCustomGridControl* Grid, TDataChange Change, int Index);
