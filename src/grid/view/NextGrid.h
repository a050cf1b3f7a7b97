#pragma once
// The grid component, data half: TNxCustomGrid (window set-up, wheel, size changes) and
// TNextGrid (rows and cells over the cell store).

#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/FooterFormula.h"
#include "grid/model/GridSearch.h"
#include "grid/view/GridControl.h"
#include "grid/view/GridExport.h"

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

    // --- export and import (GridExport.cpp, GridHtml.cpp, GridLayoutIni.cpp). File and stream
    // errors reach the caller as the platform raises them; a failed export leaves an existing
    // file as it was, a failed read leaves the rows as they were.
    // Separator, then every cell of every row in index order as 8-bit text (CR LF in a cell as
    // "%" CR LF), separator between cells, separator and CR LF between rows.
    AnsiString GetTextStr(char Separator);
    // Replaces all rows (inside an update) by the text, without the leading separator.
    void SetTextStr(const AnsiString& Text, char Separator);
    // Writes GetTextStr row by row, without building it whole.
    void SaveToStream(TStream& Stream, char Separator);
    // Reads from the position to the end: first byte the separator, the rest for SetTextStr.
    // A stream of exactly one byte or at its end is left alone.
    void LoadFromStream(TStream& Stream);
    // Every row and column; a field with Separator or '"' is quoted with '"' doubled, CR becomes
    // LineBreak and LF is dropped; every row ends with CR LF.
    void SaveToTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak,
                        TEncodingKind Encoding);
    // Clears the rows and reads a file written by SaveToTextFile (byte order marks FF FE / FE FF
    // choose 16-bit text, else each byte is a character); LineBreak becomes CR LF.
    // OnLoadProgress follows every stored field.
    void LoadFromTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak);
    // Without rows: the "Nothing to save" warning and no file.
    void SaveToXMLFile(const WideString& FileName, TUniEncoding Encoding);
    // The visible columns in display order as an HTML table; with hsCreateStyleSheet also
    // <base>_styles.css beside it. Every text is escaped.
    void SaveToHtml(const WideString& FileName, TNxHtmlSaveSettings Settings);
    // Column layout (sort kind, visibility, sorted flag, position, width) in sections ending in
    // Suffix. FileName is not read; IniFile is written out (UpdateFile) after saving.
    void SaveToIniFile(const WideString& FileName, TCustomIniFile& IniFile, const AnsiString& Suffix);
    void LoadFromIniFile(const WideString& FileName, TCustomIniFile& IniFile, const AnsiString& Suffix);
    void SaveToIni(const WideString& FileName, const AnsiString& Suffix);
    void LoadFromIni(const WideString& FileName, const AnsiString& Suffix);
    // The same under a key of the settings store.
    void SaveToRegistry(const WideString& KeyPath, const AnsiString& Suffix, HKEY RootKey);
    void LoadFromRegistry(const WideString& KeyPath, const AnsiString& Suffix);

    TLoadProgressEvent OnLoadProgress;

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
    virtual void DoLoadProgress(int ACol, int ARow);

private:
    void CheckRowIndex(int Index) const;

    std::unique_ptr<TCells> FCells;
    int FLastAddedRow = -1;
};
