#pragma once
// The grid component, data half: TNxCustomGrid (window set-up, wheel, size changes) and
// TNextGrid (rows and cells over the cell store).

#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/FooterFormula.h"
#include "grid/model/GridSearch.h"
#include "grid/view/GridControl.h"

class TTimer;

class TNxCustomGrid : public TNxCustomGridControl {
public:
    explicit TNxCustomGrid(TComponent* AOwner);

    // One row per notch (a page with Ctrl); horizontally when the rows cannot move.
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

    // --- search and formula values (GridSort.cpp)
    // The store the searches and formulas read.
    virtual TCells* GetCellStore() const = 0;
    // The matching rules are GridSearch's. A row found becomes SelectedRow and, unless updating,
    // is scrolled into view; without one the selection stays and the answer is False.
    bool Locate(int ACol, int FromRow, int ToRow, const WideString& Text, TSearchOptions Options);
    bool FindText(int ACol, const WideString& Text, TSearchOptions Options);
    bool SearchNext(int ACol, const WideString& Text, bool FromTop);
    // SearchNext from the selected row in every column, in index order; True when any matched.
    bool SearchRow(const WideString& Text);
    // The first column by index with coSearchColumn, or none.
    TNxCustomColumn* GetSearchColumn();
    // FooterFormula::TextFormulaValue over Column's cells; 0 without a column.
    double GetFormulaValue(TNxCustomColumn* Column, TFormulaKind Kind);
    // The entry point of incremental search for typed characters: with rows, a search column and
    // a current column without coEditing, restarts the 700 ms timer that empties SearchText,
    // appends Key and runs SearchNext on the search column. False when it did not search.
    bool IncrementalSearch(WideChar Key);
    WideString GetSearchText() const { return FSearchText; }
    // Null until the first incremental search.
    TTimer* GetSearchTimer() const { return FSearchTimer; }

    TColumnEvent OnAfterSort;
    TFooterValueEvent OnColumnFooterValue;
    TFooterValueEvent OnFooterCalculate;

protected:
    void CreateWnd() override;
    virtual void DoAfterSort(int ACol);
    virtual void DoColumnFooterValue(int ACol, double& Value);
    virtual void DoFooterCalculate(int ACol, double& Value);

private:
    void SelectFound(int Row);
    WideString FSearchText;
    TTimer* FSearchTimer = nullptr;
};

class TNextGrid : public TNxCustomGrid {
public:
    explicit TNextGrid(TComponent* AOwner);
    ~TNextGrid() override;

    TCells* GetCellStore() const override { return FCells.get(); }

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

    // Writes the footer caption of every formula column (GridSort.cpp), raising
    // OnColumnFooterValue for fkCustom and OnFooterCalculate for every kind. A cell that is no
    // number raises the conversion error and leaves that column's caption.
    void CalculateFooter(bool VisibleOnly = false);

    TMeasuringRowHeightEvent OnMeasuringRowHeight;
    // Ranks two cells for stCustom (Compare < 0: Cell1 first); without it every cell ties.
    TCompareEvent OnCompare;

protected:
    void ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) override;
    // A cell reported a change: repaint it and raise OnChange, unless updating.
    virtual void DoCellChange(int ACol, int ARow);
    // Sorts the rows by Column (GridSort.cpp): after the view's part, with coCanSort only, the
    // store sorts (coFullResort never reverses), SelectedRow follows its row, the body repaints
    // and OnAfterSort follows. A conversion error raises with the rows unmoved.
    void SortColumn(TNxCustomColumn* Column, bool Ascending) override;
    // The store's compare handler: raises OnCompare.
    virtual void DoCellsCompare(TCell* Cell1, TCell* Cell2, int& Compare);

private:
    void CheckRowIndex(int Index) const;

    std::unique_ptr<TCells> FCells;
    int FLastAddedRow = -1;
};
