#pragma once
// TNextGrid, the grid component windows place on a form: rows and cells over the cell store
// (NextGrid.cpp), the row flags of the selection (GridSelection.cpp), rows made from texts and the
// row tree (GridRows.cpp), sorting and footers (GridSort.cpp), the plays' values (GridPlay.cpp),
// export and import (GridExport.cpp, GridHtml.cpp, GridLayoutIni.cpp). Input, editing and
// dragging are TNxCustomGrid's (CustomGrid.h), the view TNxCustomGridControl's (GridControl.h).

#include <memory>
#include <variant>
#include <vector>

#include "grid/model/Cells.h"
#include "grid/view/CustomGrid.h"
#include "grid/view/GridExport.h"
#include "grid/view/RowRanges.h"

enum TChildRowPosition { crFirst, crLast };
using TNxRowExpandEvent = std::function<void(TObject* Sender, int ARow)>;
using TCellFormatingEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& TextColor,
                                               TFontStyles& FontStyle, TCellState CellState)>;
// A row or column named by number or by text ("First", "Last", "Selected", a column's name, or a
// number written out).
using TCellName = std::variant<int, WideString>;

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
    // Moves a row to ToIndex; the rows between shift by one and the current row follows its
    // contents. Indices outside the rows raise the list error with nothing moved.
    void MoveRow(int FromIndex, int ToIndex) override;
    // Exchanges two rows (repainted unless updating); the current row follows its contents.
    void SwapRows(int Index1, int Index2);
    // Clears every cell of an existing row; other indices are ignored.
    void ClearRow(int ARow);
    // A child of ARow, right after it (crFirst) or after all its descendants (crLast), with
    // default values as AddRow; returns its index. Rows below shift, the current row with them.
    int AddChildRow(int ARow, TChildRowPosition Position = crLast);
    bool GetExpanded(int ARow);
    // Nothing without children or when unchanged; else the descendants show or hide (a
    // descendant shows when every ancestor up to ARow is expanded), the view is repainted and
    // OnExpand follows.
    void SetExpanded(int ARow, bool Value);
    int GetRowLevel(int ARow);

    int GetRowCount() override { return FCells->GetRowCount(); }
    // The row's height, which OnMeasuringRowHeight may change. List error outside the rows.
    int GetRowHeight(int Index) override;
    // Stores, repaints the row, shifts the rows below and updates the vertical bar.
    void SetRowHeight(int Index, int Value) override;
    bool GetRowVisible(int Index) override;
    // Hides or shows a row; unless updating the view closes or opens its space.
    void SetRowVisible(int Index, bool Value);
    int GetVisibleRows() override { return FCells->GetVisibleRowCount(); }
    int GetFirstVisibleRow() override;
    int GetLastVisibleRow() override;
    bool AllRowsVisible() override { return FCells->GetVisibleRowCount() == FCells->GetRowCount(); }
    // --- selection (GridSelection.cpp). The row flags live in the store; the grid keeps their
    // count and their runs, so clearing, counting and copying visit only selected rows, not all
    // rows. Indices outside the rows raise the list error.
    bool GetSelected(int Index) override;
    void SetSelected(int Index, bool Value) override;
    void StoreSelected(int Index, bool Value) override;
    // Every row from FromRow to ToRow (either order); the range repaints once.
    void SelectRange(int FromRow, int ToRow, bool Value) override;
    int GetSelectedCount() override { return FSelectedCount; }
    void ClearSelection() override;
    int GetNextSelected(int From) override;
    void ClearSelectionOutside(int Low, int High) override;
    void SetRowSize(int Value) override;

    // --- rows made from texts, reserved and made at load (GridRows.cpp)
    // Adds a row and writes Values into its cells in index order; values beyond the last column
    // go on into further rows the same way. Without columns only one row is added. Returns the
    // last added row.
    int AddCells(const std::vector<WideString>& Values);
    // Makes RowCount at least the number of values and writes value i into column ACol of row i.
    // ACol outside the columns raises the list error with nothing added.
    void AddCells(const std::vector<WideString>& Values, int ACol);
    // Appends Count rows (nothing below 1) without default values, events or per-row repaints;
    // the grid repaints once.
    void ReserveRows(int Count);
    int GetStartRowCount() const { return FStartRowCount; }
    // Ignored when equal or negative; a larger value adds the difference, a smaller one deletes
    // that many rows from the top (never more than exist).
    void SetStartRowCount(int Value);
    // The cell named by two coordinates, each a number or, ignoring case, "First", "Last" or
    // "Selected"; a column may also be named by its component name. A name that is none of
    // these raises Exception "Invalid Rowname '...' for 'class:name'." (resp. Columnname); a
    // number outside the grid raises the list error.
    TCell* GetCellByName(const TCellName& AColumn, const TCellName& ARow);
    WideString GetCellsByName(const TCellName& AColumn, const TCellName& ARow);
    void SetCellsByName(const TCellName& AColumn, const TCellName& ARow, const WideString& Value);
    int GetCellColumnIndex(const TCell* ACell) const { return FCells->GetCellColumnIndex(ACell); }
    int GetCellRowIndex(const TCell* ACell) const { return FCells->GetCellRowIndex(ACell); }
    int GetRowImageIndex(int ARow) override;
    void SetRowImageIndex(int ARow, int Value);

    // --- the row tree (GridRows.cpp). Row indices outside the rows raise the list error.
    // Deletes (DeleteRow) AParent's direct child number AIndex; nothing when AParent has no
    // descendants, the list error when there is no such child. AParent repaints when that was its
    // only descendant.
    void DeleteChildRow(int AParent, int AIndex);
    // Deletes every descendant of ARow, last first, without OnDataChange; a current row among
    // them moves to ARow. The grid repaints.
    void ClearChildRows(int ARow);
    // All descendants (Recurse) or the direct children.
    int GetChildCount(int ARow, bool Recurse = true);
    // ARow + 1 when that row is deeper, else -1.
    int GetFirstChild(int ARow);
    // The last descendant, -1 without one.
    int GetLastChild(int ARow);
    // The nearest row after (before) ARow on its level, looking no further than a shallower row.
    int GetNextSibling(int ARow);
    int GetPrevSibling(int ARow);
    // The parent's index, -1 at the top level.
    int GetParent(int ARow);
    bool HasChildren(int ARow);
    int GetLevel(int ARow) { return GetRowLevel(ARow); }
    // ARow becomes its parent (-1 at the top) and NextSibling the parent's next sibling (-1 none):
    // one step up the tree, for painting tree lines.
    virtual void ParentRowProc(int& ARow, int& NextSibling);
    // A tree column's display learns where the row stands in the tree.
    void SetDisplayParams(int ACol, int ARow, TColumnDisplay* Display) override;

    // --- painting a cell's value
    // The view's font and color, then the column's display receives the cell's value and
    // ApplyCellFormating runs. True: the display paints the value.
    bool DrawCellData(int ACol, int ARow, TCellState CellState) override;
    // Font style := the cell's FontStyle (bold added with csBoldTextSelection), text color := the
    // canvas font color; OnCellFormating may change both and the canvas font takes them.
    virtual void ApplyCellFormating(int ACol, int ARow, const WideString& Text, TCellState CellState);
    TCellFormatingEvent OnCellFormating;

    void GetCellInfo(int ACol, int ARow, TCellInfo& CellInfo) override;
    WideString GetDrawText(int ACol, int ARow) override;
    TColor GetCellColor(int ACol, int ARow) override;
    bool IsCellEmpty(int ACol, int ARow) override;
    // The cell's Hint, which OnCellHint may change.
    WideString GetCellHint(int ACol, int ARow) override;

    // Writes the footer caption of every formula column (GridSort.cpp), raising
    // OnColumnFooterValue for fkCustom and OnFooterCalculate for every kind. A cell that is no
    // number raises the conversion error and leaves that column's caption.
    void CalculateFooter(bool VisibleOnly = false);

    // --- export and import (GridExport.cpp, GridHtml.cpp, GridLayoutIni.cpp). File and stream
    // errors reach the caller as the platform raises them; a failed export leaves an existing
    // file as it was, a failed read leaves the rows as they were.
    // Separator, then every cell of every row in index order as 8-bit text (CR LF in a cell as
    // "%" CR LF), separator between cells, separator and CR LF between rows; in a one-column grid
    // an empty last row is followed by a separator, so it reads back as a row.
    AnsiString GetTextStr(char Separator);
    // Replaces all rows (inside an update) by the text, without the leading separator. A value
    // its column cannot take, or a field past the last column ("Cell out of bounds (c, r): line
    // n ..."), raises, with rows, selection and view as they were.
    void SetTextStr(const AnsiString& Text, char Separator);
    // Writes GetTextStr row by row, without building it whole.
    void SaveToStream(TStream& Stream, char Separator);
    // Reads from the position to the end: first byte the separator, the rest for SetTextStr.
    // A stream of exactly one byte or at its end is left alone.
    void LoadFromStream(TStream& Stream);
    // Every row and column; a field with Separator or '"' is quoted with '"' doubled, CR becomes
    // LineBreak and LF is dropped; every row ends with CR LF. An 8-bit file that would begin with
    // the bytes of a byte order mark has its first field quoted, so it never reads as 16-bit.
    void SaveToTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak,
                        TEncodingKind Encoding);
    // Clears the rows and reads a file written by SaveToTextFile (byte order marks FF FE / FE FF
    // choose 16-bit text, else each byte is a character); LineBreak becomes CR LF.
    // OnLoadProgress follows every stored field. A file that cannot be read, a value its column
    // cannot take, or a field past the last column ("Cell out of bounds (c, r): line n ...")
    // raises with rows, selection and view as they were, and no cell reports a change.
    void LoadFromTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak);

    // Rows, selection and the view's place, set aside while an import reads into a fresh store
    // (SetRowsAside) and put back when it fails (RestoreRows).
    struct TRowsAside {
        std::unique_ptr<TCells> Cells;
        TRowRanges SelectedRuns;
        int SelectedCount = 0;
        int AnchorRow = -1;
        int LastAddedRow = -1;
        int SelectedRow = -1;
        int SelectedColumn = 0;
        int TopRow = 0;
    };
    TRowsAside SetRowsAside();
    void RestoreRows(TRowsAside&& Aside);
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
    TNxRowExpandEvent OnExpand;
    // Raise OnExpand, OnCompare when assigned.
    virtual void DoExpand(int ARow);
    virtual void DoCompare(TCell* Cell1, TCell* Cell2, int& Compare);

protected:
    void ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) override;
    // A cell reported a change: repaint it and raise OnChange, unless updating.
    virtual void DoCellChange(int ACol, int ARow);
    // Sorts the rows by Column (GridSort.cpp): after the view's part, with coCanSort only, the
    // store sorts (coFullResort never reverses), the selected runs follow the flags that moved
    // with their rows, SelectedRow follows its row, the top row keeps the scroll position (never
    // a hidden row), the body repaints and OnAfterSort follows, seeing the selection in the rows'
    // new places. A conversion error raises with the rows unmoved.
    void SortColumn(TNxCustomColumn* Column, bool Ascending) override;
    // The column's hint text for the cell's value (the text-fit hint shows it).
    WideString GetHintText(int ACol, int ARow) override;
    virtual void DoCellFormating(int ACol, int ARow, TColor& TextColor, TFontStyles& FontStyle,
                                 TCellState CellState);
    // The store's compare handler: raises OnCompare.
    // A play's cell gets the row's level and, by column type, its Boolean, integer or draw text.
    void SetColumnPlayAttributes(TColumnPlay* Play) override;
    // OnEditAccept may refuse (the play then gets the cell's value back); else a Boolean or
    // integer cell takes the play's value and OnAfterEdit follows with the cell's text.
    void DoColumnPlayChange(TObject* Sender) override;
    // Toggles Expanded of the play's row.
    void DoColumnPlayExpand(TObject* Sender) override;
    virtual void DoLoadProgress(int ACol, int ARow);

    // Rows were reordered wholesale (a sort): the selected runs are read again.
    void SelectionReordered();

private:
    void CheckRowIndex(int Index) const;
    // Selection bookkeeping: every change of a row flag and every row shift goes through these.
    void WriteSelected(TRow* Row, int Index, bool Value);
    void SelectionRowsInserted(int Index, int Count);
    void SelectionRowDeleted(int Index, bool WasSelected);
    void SelectionRowsMoved(int Index1, int Index2);
    void ResetSelectionSpan();
    // Clears the flags of the selected rows in Low..High, repainting those in view.
    void UnselectSpan(int Low, int High);
    // The runs of Low..High read again from the row flags.
    void ReadSelectedRuns(int Low, int High);
    // Deletes one row from the store, keeping its parent's child count, the visible count and the
    // selection bookkeeping right.
    void DeleteStoreRow(int Index);
    void AddDefaultValues(int FromRow, int ToRow);
    int ColumnIndexByName(const TCellName& Name);
    int RowIndexByName(const TCellName& Name);

    std::unique_ptr<TCells> FCells;
    int FLastAddedRow = -1;
    int FStartRowCount = 0;
    // Exactly the rows whose flag is set, as runs, and how many they are.
    TRowRanges FSelectedRuns;
    int FSelectedCount = 0;
};
