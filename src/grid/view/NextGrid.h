#pragma once
// The grid component, data half: TNxCustomGrid (window set-up, wheel, size changes) and
// TNextGrid (rows and cells over the cell store).

#include <memory>

#include "grid/model/Cells.h"
#include "grid/view/GridControl.h"

class TNxCustomGrid : public TNxCustomGridControl {
public:
    explicit TNxCustomGrid(TComponent* AOwner);

    // One row per notch (a page with Ctrl); horizontally when the rows cannot move.
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

protected:
    void CreateWnd() override;
};

class TNextGrid : public TNxCustomGrid {
public:
    explicit TNextGrid(TComponent* AOwner);
    ~TNextGrid() override;

    TCells* GetCellStore() const { return FCells.get(); }

    // The cell at (ACol, ARow), which becomes the store's current cell. An index outside the grid
    // raises the list error.
    TCell* GetCell(int ACol, int ARow);
    // Text of a cell. Outside the grid: Exception "Cell out of bounds (ACol, ARow)", nothing touched.
    WideString GetCells(int ACol, int ARow) override;
    void SetCells(int ACol, int ARow, const WideString& Value) override;

    // Appends Count rows (nothing below 1) and returns the last added row; repaints the new rows
    // and raises OnDataChange(dcAddRow) also while updating.
    int AddRow(int Count = 1) override;
    // Rows outside the grid raise the list error.
    void InsertRow(int Index);
    void DeleteRow(int Index) override;
    void ClearRows() override;

    int GetRowCount() override { return FCells->GetRowCount(); }
    // The row's height, which OnMeasuringRowHeight may change. List error outside the rows.
    int GetRowHeight(int Index) override;
    // Stores, repaints the row, shifts the rows below and updates the vertical bar.
    void SetRowHeight(int Index, int Value);
    bool GetRowVisible(int Index) override;
    // Hides or shows a row; unless updating the view closes or opens its space.
    void SetRowVisible(int Index, bool Value);
    int GetVisibleRows() override { return FCells->GetVisibleRowCount(); }
    int GetFirstVisibleRow() override;
    int GetLastVisibleRow() override;
    bool AllRowsVisible() override { return FCells->GetVisibleRowCount() == FCells->GetRowCount(); }
    bool GetSelected(int Index) override;
    void SetSelected(int Index, bool Value) override;
    void StoreSelected(int Index, bool Value) override { FCells->GetRow(Index)->Selected = Value; }
    void SelectRange(int FromRow, int ToRow, bool Value) override;
    void SetRowSize(int Value) override;

    void GetCellInfo(int ACol, int ARow, TCellInfo& CellInfo) override;
    WideString GetDrawText(int ACol, int ARow) override;
    TColor GetCellColor(int ACol, int ARow) override;
    bool IsCellEmpty(int ACol, int ARow) override;

    TMeasuringRowHeightEvent OnMeasuringRowHeight;

protected:
    void ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) override;
    // A cell reported a change: repaint it and raise OnChange, unless updating.
    virtual void DoCellChange(int ACol, int ARow);

private:
    void CheckRowIndex(int Index) const;

    std::unique_ptr<TCells> FCells;
    int FLastAddedRow = -1;
};
