#pragma once
// The grid component, data half: TNxCustomGrid (window set-up, wheel, mouse and keyboard input in
// GridInput.cpp, copying in GridClipboard.cpp) and TNxDataGrid (rows and cells over the cell store),
// which editing and dragging extend into TNextGrid (NextGrid.h).

#include <memory>
#include <variant>
#include <vector>

#include "grid/model/Cells.h"
#include "grid/model/FooterFormula.h"
#include "grid/model/GridSearch.h"
#include "grid/view/GridControl.h"
#include "grid/view/GridExport.h"
#include "grid/view/RowRanges.h"
#include "platform/runtime/TextBuffer.h"

class TTimer;
class THintWindow;
class TColumnPlay;

// Which hint a grid shows; at most one at a time.
enum TGridHintKind { hkNone, hkFooter, hkHeader, hkTextFit, hkCell };

enum TChildRowPosition { crFirst, crLast };
using TNxRowExpandEvent = std::function<void(TObject* Sender, int ARow)>;
using TCellFormatingEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& TextColor,
                                               TFontStyles& FontStyle, TCellState CellState)>;
using TSelectionMoveEvent = std::function<void(TObject* Sender, int& ACol, int ARow, TMoveSelectionKey Key)>;
// A row or column named by number or by text ("First", "Last", "Selected", a column's name, or a
// number written out).
using TCellName = std::variant<int, WideString>;

class TNxCustomGrid : public TNxCustomGridControl {
public:
    explicit TNxCustomGrid(TComponent* AOwner);
    ~TNxCustomGrid() override;

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

    // --- hit testing, client pixels (GridInput.cpp). Each area rectangle is hit without its last
    // pixel column and row. Nothing hit answers gaNone, none or -1.
    TGridArea GetGridArea(TPoint Point);
    // The visible column whose header span (left to right edge inclusive, scrolled unless fixed)
    // holds X.
    TNxCustomColumn* GetColumnAtPos(TPoint Point);
    // The row at Y when (X, Y) lies in the body (from x = 0, so the indicator hits rows too).
    int GetRowAtPos(int X, int Y);
    int GetRowAtPos(int Y);
    // (column index, row) under the point, -1 for each part that hits nothing. In slide style the
    // row of the slide under the point and the first column (by index) whose slide bounds hold it.
    TPoint GetCellAtPos(TPoint Point);
    // The first visible column without coFixedSize whose right edge R on screen has
    // R - 3 <= X <= R + 2; Y is not consulted.
    TNxCustomColumn* GetColumnSizeGripAtPos(int X, int Y);
    // The row whose lower edge E has E - 3 < Y < E + 1, within the 12-pixel indicator; else -1.
    int GetRowSizeGripAtPos(int X, int Y);
    // The bottom of the rows in view, at most one row past the body bottom.
    int GetBodyDownLimit();
    // Whether the cell's draw text fits its column's width with 5 pixels to spare.
    bool IsTextFit(int ACol, int ARow);

    // --- keyboard movement; all do nothing without a current cell where they need one
    void MoveSelectionUp(TShiftState Shift = {});
    void MoveSelectionDown(TShiftState Shift = {}, bool LeaveAtEnd = false, bool Wrap = false);
    void MoveSelectionLeft(TMoveSelectionKey Key);
    void MoveSelectionRight(TMoveSelectionKey Key);
    // Walks N visible rows from the current one (clamped to the first and last visible row).
    void MoveSelectionBy(int N);
    void MoveToNextCell(bool ByTab);
    void MoveToPrevCell(bool ByTab);
    // TopRow walked forward past Count - 1 visible rows, never beyond the last row.
    int GetLastRowInView(int Count);
    void SelectFirstColumn();
    void SelectLastColumn();
    // Shift-range selection of the visible rows From..To (multi-select grids only).
    void SelectRows(TShiftState Shift, int From, int To);
    // The navigation keys; Ctrl+C copies and Ctrl+A selects all (multi-select).
    virtual void ProcessKeyDown(Word& Key, TShiftState Shift);

    // --- column plays (GridPlay.cpp)
    // Prepares the column's play for one cell: False, with the play untouched, when the column has
    // none, the cell is outside the grid or OnBeforeEdit refuses; otherwise the play gets the
    // cell, the grid's canvas, the value and level (SetColumnPlayAttributes), CellRect and its
    // two events, which lead to DoColumnPlayChange and DoColumnPlayExpand.
    virtual bool UpdateColumnPlay(int ACol, int ARow, const TRect& CellRect);

    // --- copying (GridClipboard.cpp)
    // The selected rows (every flagged row with multi-select, else the current row) as lines of
    // tab-separated cell texts, visible columns in display order, CR LF after each line. Empty
    // without a selection.
    WideString GetSelectionText();
    // Puts GetSelectionText on the clipboard; nothing without a selection.
    void CopyToClipboard();

    THomeEndBehaviour GetHomeEndBehaviour() const { return FHomeEndBehaviour; }
    void SetHomeEndBehaviour(THomeEndBehaviour Value) { FHomeEndBehaviour = Value; }
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // imAllways: Enter on the selected input row adds it as a row even with no editor open;
    // imEditing: only Enter inside the open input editor does.
    TInputEnterMode GetInputEnterMode() const { return FInputEnterMode; }
    void SetInputEnterMode(TInputEnterMode Value) { FInputEnterMode = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool GetTabLeaveControl() const { return FTabLeaveControl; }
    void SetTabLeaveControl(bool Value) { FTabLeaveControl = Value; }

    // --- interaction state, for painters and tests
    TNxCustomColumn* GetFocusedColumn() override { return FFocusedColumn; }
    TNxCustomColumn* GetPressedColumn() const { return FPressedColumn; }
    TNxCustomColumn* GetGripColumn() const { return FGripColumn; }
    TPoint GetDownPoint() const { return FDownPoint; }
    TPoint GetDownCell() const { return FDownCell; }
    TPoint GetHoverCell() const { return FHoverCell; }
    TGridHintKind GetHintKind() const { return FHintKind; }
    // Null until a hint was first shown.
    THintWindow* GetHintWindow() const { return FHintWindow; }
    // The hint disappears; the window object stays.
    void HideHint();

    TColumnEvent OnHeaderClick;
    TColumnEvent OnHeaderDblClick;
    TColumnEvent OnFooterClick;
    TCellEvent OnCellClick;
    TCellEvent OnCellDblClick;
    TCellHintEvent OnCellHint;
    TEditValueEvent OnApplyCell;
    TColumnEvent OnAfterSort;
    TFooterValueEvent OnColumnFooterValue;
    TFooterValueEvent OnFooterCalculate;
    // The keyboard is about to move the current cell to column ACol; the handler may name another.
    TSelectionMoveEvent OnSelectionMove;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(WideChar& Key) override;
    // The framework's drag of the control was cancelled: a selection kept for it at a press
    // (DragReselect) gives way to the current cell again.
    virtual void DragCanceled();
    bool GetDragReselect() const { return FDragReselect; }
    // Focus gain shows the selection in the focused look (the selected slides and the current
    // slide in slide style); without rows and with goInput it selects the input row.
    void DoEnter() override;
    // Focus loss ends any gesture and hides the hint.
    void DoExit() override;
    // Arrows and characters always; Tab with WantTabs, a visible column and rows.
    void WMGetDlgCode(TMessage& Message) override;
    // Scroll requests from the bars (the wheel, roll scrolling and the bars' own steps come this
    // way too): an open cell editor is applied and closed first (horizontally also the input
    // editor), and the vertical range is brought up to date before a vertical step.
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    // The owner calls this when the application is activated or deactivated: deactivation ends
    // any gesture; either repaints the selection.
    // The application lost (or regained) the focus: a gesture in progress ends.
    virtual void ApplicationActivated(bool Active);
    // WM_ACTIVATEAPP reaches ApplicationActivated; the rest goes the usual way.
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;

    // Seams of column and row dragging: a resize or move starts, follows the pointer, ends.
    // The defaults record the gesture only.
    virtual void StartColumnResize(TNxCustomColumn* Column, int X);
    virtual void TrackColumnResize(int /*X*/) {}
    virtual void FinishColumnResize(int X);
    virtual void StartRowResize(int Row, int Y);
    virtual void TrackRowResize(int /*Y*/) {}
    virtual void FinishRowResize(int Y);
    virtual void StartColumnMove(TNxCustomColumn* /*Column*/, int /*X*/, int /*Y*/) {}
    // A gesture finished by another window (the drag box) clears the press here: no header click.
    void EndHeaderGesture() { EndGesture(); }
    // Seam of cell editing: opens the editor on a cell (nothing here; never while ReadOnly).
    virtual void EditCell(int /*ACol*/, int /*ARow*/, const WideString& /*Text*/) {}
    // Seam of cell editing: opens the editor on a cell and types Key into it (here: EditCell with
    // the key as text).
    virtual void StartEdit(int ACol, int ARow, WideChar Key) { EditCell(ACol, ARow, WideString(1, Key)); }
    // Seam of cell editing: selects the input row at ACol and types Key into its editor (nothing
    // here).
    virtual void StartInput(int /*ACol*/, WideChar /*Key*/) {}
    // Called when a press lands outside every area.
    virtual void PostRow() {}
    // The data side loads a cell's value and its row's level into a play, writes back a value a
    // play changed, and toggles the row a play expands; nothing here.
    virtual void SetColumnPlayAttributes(TColumnPlay* /*Play*/) {}
    virtual void DoColumnPlayChange(TObject* /*Sender*/) {}
    virtual void DoColumnPlayExpand(TObject* /*Sender*/) {}
    // Editing events the plays go through; the editing grid raises OnBeforeEdit, OnEditAccept
    // and OnAfterEdit from them.
    virtual void DoBeforeEdit(int /*ACol*/, int /*ARow*/, bool& /*Accept*/) {}
    virtual void DoEditAccept(int /*ACol*/, int /*ARow*/, const WideString& /*Value*/, bool& /*Accept*/) {}
    virtual void DoAfterEdit(int /*ACol*/, int /*ARow*/, const WideString& /*Value*/) {}
    // The play of a column index, null for none or an index outside the columns.
    TColumnPlay* GetPlay(int ACol);
    // The play may take presses and keys: it exists, the column has coEditing or is clickable,
    // and the grid is not ReadOnly.
    bool PlayTakesInput(int ACol);
    // The play of the cell the pointer was last over hears that the pointer left it.
    void MouseLeaveCell();
    // The text a cell's text-fit hint shows: its draw text here.
    virtual WideString GetHintText(int ACol, int ARow) { return GetDrawText(ACol, ARow); }
    // The text a cell shows to the text-fit test and hint, after OnApplyCell.
    virtual void DoApplyCell(int ACol, int ARow, WideString& Value);

    virtual void DoHeaderClick(int ACol);
    virtual void DoHeaderDblClick(int ACol);
    virtual void DoFooterClick(int ACol);
    virtual void DoCellClick(int ACol, int ARow);
    virtual void DoCellDblClick(int ACol, int ARow);
    virtual void DoAfterSort(int ACol);
    virtual void DoColumnFooterValue(int ACol, double& Value);
    virtual void DoFooterCalculate(int ACol, double& Value);
    virtual void DoSelectionMove(int& ACol, int ARow, TMoveSelectionKey Key);

private:
    // OnSelectionMove, then Target becomes the current column (nothing without a target).
    void MoveSelectionToColumn(TNxCustomColumn* Target, TMoveSelectionKey Key);
    // GetSelectionText's text, built once in a buffer the clipboard can keep.
    TTextBuffer SelectionText();
    void SelectFound(int Row);
    void BodyPress(TMouseButton Button, TShiftState Shift, int X, int Y);
    TPoint GetSlideCellAtPos(TPoint Point);
    void BodyClick(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HeaderMove(TShiftState Shift, int X, int Y);
    void BodyMove(TShiftState Shift, int X, int Y);
    void EndGesture();
    void SetHoverColumn(TNxCustomColumn* Column);
    void ShowHintAt(TGridHintKind Kind, TPoint ClientPoint, int MaxWidth, const WideString& Text,
                    bool Always);
    int ColumnScreenLeft(TNxCustomColumn* Column);

    WideString FSearchText;
    TTimer* FSearchTimer = nullptr;
    THomeEndBehaviour FHomeEndBehaviour = hebTopBottom;
    bool FWantReturns = true;
    TInputEnterMode FInputEnterMode = imEditing;
    bool FWantTabs = false;
    bool FTabLeaveControl = false;

    TPoint FDownPoint{-1, -1};
    TPoint FDownCell{-1, -1};
    bool FDownWasCurrent = false;
    bool FDragReselect = false;
    int FDownRow = -1;
    TNxCustomColumn* FPressedColumn = nullptr;
    TNxCustomColumn* FFocusedColumn = nullptr;
    TNxCustomColumn* FGripColumn = nullptr;
    TNxCustomColumn* FResizingColumn = nullptr;
    int FResizingRow = -1;
    TPoint FHoverCell{-1, -1};
    TPoint FLastHoverCell{-1, -1};
    TPoint FPreviousHover{-1, -1};
    TGridHintKind FHintKind = hkNone;
    TNxCustomColumn* FHeaderHintColumn = nullptr;
    TNxCustomColumn* FFooterHintColumn = nullptr;
    THintWindow* FHintWindow = nullptr;
};

class TNxDataGrid : public TNxCustomGrid {
public:
    explicit TNxDataGrid(TComponent* AOwner);
    ~TNxDataGrid() override;

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
    void MoveRow(int FromIndex, int ToIndex);
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
