#pragma once
// TNxCustomGrid: the grid's input over the view. Window set-up and the wheel (CustomGrid.cpp),
// hit testing, mouse, keys and hints (GridInput.cpp), column plays (GridPlay.cpp), copying
// (GridClipboard.cpp), search (GridSort.cpp), in-place editing and the input row
// (GridEditing.cpp), column and row dragging (GridDragging.cpp). The rows and cells are
// TNextGrid's (NextGrid.h).

#include <functional>
#include <memory>

#include "grid/model/FooterFormula.h"
#include "grid/model/GridSearch.h"
#include "grid/view/GridControl.h"
#include "grid/view/GridGesture.h"
#include "platform/runtime/TextBuffer.h"

class TTimer;
class THintWindow;
class TColumnPlay;
class TCells;
class TColumnDragBox;
class TDragArrow;
namespace NxEdit {
class TNxCustomEdit;
}

// Which hint a grid shows; at most one at a time.
enum TGridHintKind { hkNone, hkFooter, hkHeader, hkTextFit, hkCell };

using TSelectionMoveEvent = std::function<void(TObject* Sender, int& ACol, int ARow, TMoveSelectionKey Key)>;
using TBeforeEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Accept)>;
using TEditTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value)>;
using TEditAcceptEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value, bool& Accept)>;
using TInputAcceptEvent = std::function<void(TObject* Sender, bool& Accept)>;
using TRowMoveEvent = std::function<void(TObject* Sender, int FromPos, int ToPos, bool& Accept)>;
using TAfterRowMoveEvent = std::function<void(TObject* Sender, int FromPos, int ToPos)>;

// Editing: at most one editor is open (gtEdit for a body cell, gtInput for an input cell, never
// both). The editor is the column's InplaceEdit when assigned, else the column kind's own editor;
// the grid only borrows it while it is open. Every refusal (ReadOnly, CanEdit, a column without
// ceEditable/ceCanInput, no editor, a vetoed event) silently changes nothing. What the user typed
// is never lost: Enter, Tab, a press elsewhere in the grid, a scroll request, moving the current
// cell, opening another editor and the focus leaving for another control all apply it before the
// editor closes. A cell scrolled out of the body hides its editor until it comes back. Only Esc
// discards. The editor taking the focus is no exit of the grid.
//
// Dragging: columns are resized, moved and hidden, rows resized and moved, by dragging. Every
// gesture ends on release, focus loss, deactivation or Esc, with the default cursor back. Layout
// changes are reported through OnColumnResize, OnColumnMove and the columns' own change reports,
// so a window can save the layout.
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
    // The view's modes and the gesture's member (gtColumnHeaderDown, gtColumnResizing, ...).
    TGridState GetGridState() const override { return FGridState + GestureState(FGesture); }
    // The pressed header's column, drawn pressed while held and while moved.
    TNxCustomColumn* GetFocusedColumn() override { return GesturePressedColumn(FGesture); }
    TNxCustomColumn* GetPressedColumn() const { return GesturePressedColumn(FGesture); }
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
    // slide in slide style); without rows and with goInput it selects the input row. The focus
    // coming back to the grid (Tab, Shift+Tab, code) goes on to an open, shown editor, caret where
    // it was, once the focus change has settled; a press that moved it first wins.
    void DoEnter() override;
    // Focus loss ends any gesture (guides erased, drag box and arrows hidden) and hides the hint.
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
    void ApplicationActivated(bool Active);
    // WM_ACTIVATEAPP reaches ApplicationActivated, the editor's deferred focus its editor; the rest
    // goes the usual way.
    void WndProc(TMessage& Message) override;

    // --- editing (GridEditing.cpp)

    // Opens the editor on a cell with Text, or the cell's own text when Text is empty; nothing
    // when that cell is already edited. An editor open elsewhere is applied and closed first.
    virtual void EditCell(int ACol, int ARow, const WideString& Text);
    // Opens the editor on a cell and types Key into it, replacing the text; caret after it.
    void StartEdit(int ACol, int ARow, WideChar Key);
    // Writes the editor's text into the edited cell (OnEditAccept may refuse) or into the input
    // value. True when something was written. The editor stays open.
    bool ApplyEditing() override;
    // Closes the editor without writing anything; nothing when none is open. OnEditExit is
    // raised while EditingCell still names the edited cell.
    void EndEditing() override;
    // Writes Text into the cell through SetCells.
    virtual void CompleteEdit(int ACol, int ARow, const WideString& Text);
    // A descendant may forbid editing as a whole.
    virtual bool CanEdit() { return true; }

    // Selects the input row at Column and opens its editor with Text, or the column's InputValue
    // when Text is empty.
    void InputColumn(TNxCustomColumn* Column, const WideString& Text);
    // Selects the input row at ACol and types Key into its editor.
    void StartInput(int ACol, WideChar Key);
    // OnInputAccept may refuse. Appends a row holding each column's InputValue (its DefaultValue
    // when the input is empty), empties every InputValue, then raises OnInputAdded.
    void AddRowFromInput() override;
    // Opens the editor on Cell with the cell's own text (EditCell with an empty text).
    void SetEditingCell(TPoint Cell) { EditCell(Cell.X, Cell.Y, WideString()); }

    // The edited cell's rectangle, or the edited input cell's; empty when nothing is edited.
    TRect GetEditingRect();
    // Places the editor over its cell, within the body, and gives it the focus. While the cell
    // lies above or below the body the editor is hidden instead, keeping its text.
    void RefreshCellEditor();

    bool GetOpenEditorBounds(TRect& Bounds) override;
    // The open editor, null when none.
    NxEdit::TNxCustomEdit* GetInplaceEdit() const { return FInplaceEdit; }

    TBeforeEditEvent OnBeforeEdit;
    TEditValueEvent OnApplyEditText;
    TEditTextEvent OnEdit;
    TEditAcceptEvent OnEditAccept;
    TEditValueEvent OnEditText;
    TEditTextEvent OnAfterEdit;
    TNotifyEvent OnEditExit;
    TInputAcceptEvent OnInputAccept;
    TNotifyEvent OnInputAdded;

    // --- dragging (GridDragging.cpp)
public:
    // The band a dragged column can be dropped in: the header, up to the body top.
    TRect GetColumnDropRect();
    // The display position at which Column would land when dropped at client point P.
    int GetNearestPosition(TNxCustomColumn* Column, TPoint P);
    void UpdateArrows(int FromPos, int ToPos, bool Force);
    // Top arrow's tip 3 pixels above ScreenPoint, bottom arrow's tip on the header's last row.
    void ShowPositionIndicator(TPoint ScreenPoint, bool Hide);
    void HideArrows();
    // The row before which a row dropped at (X, Y) would be inserted; -1 above the body or
    // past the rows.
    int GetNearestRow(int X, int Y);

    TColumnDragBox* GetDragBox() const { return FDragBox; }
    TDragArrow* GetTopArrow() const { return FTopArrow; }
    TDragArrow* GetBottomArrow() const { return FBottomArrow; }
    // The guides and the drop row of the drag in progress; -1 without one.
    int GetResizeGuideLeft() const;
    int GetResizeGuideRight() const;
    int GetRowGuideY() const;
    int GetDropRow() const;

    TRowMoveEvent OnRowMove;
    TAfterRowMoveEvent OnAfterRowMove;

protected:
    void CreateWnd() override;

    // Called when a press lands outside every area.
    virtual void PostRow() {}
    // The data side loads a cell's value and its row's level into a play, writes back a value a
    // play changed, and toggles the row a play expands; nothing here.
    virtual void SetColumnPlayAttributes(TColumnPlay* /*Play*/) {}
    virtual void DoColumnPlayChange(TObject* /*Sender*/) {}
    virtual void DoColumnPlayExpand(TObject* /*Sender*/) {}
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

    // Called after the editor got its text; nothing here.
    virtual void PrepareEdit() {}
    void RepositionEditor() override;
    // Every scroll moves the editor with its cell (or hides it, see RefreshCellEditor).
    void AfterScroll(TScrollBarKind Kind) override;
    virtual void DoBeforeEdit(int ACol, int ARow, bool& Accept);
    virtual void DoEditAccept(int ACol, int ARow, const WideString& Value, bool& Accept);
    // Editing events, also raised for the plays' changes.
    virtual void DoAfterEdit(int ACol, int ARow, const WideString& Value);
    virtual void DoInputAccept(bool& Accept);
    virtual void DoInputAdded();

    virtual void DoDragBoxMove(TObject* Sender, int X, int Y);
    virtual void DoDragBoxDrop(TObject* Sender, int X, int Y);
    virtual bool CanMoveRow(int FromPos, int ToPos);

private:
    // OnSelectionMove, then Target becomes the current column (nothing without a target).
    void MoveSelectionToColumn(TNxCustomColumn* Target, TMoveSelectionKey Key);
    // GetSelectionText's text, built once in parts (one per thread that wrote them, in order)
    // the clipboard can keep.
    std::vector<TTextBuffer> SelectionText();
    void SelectFound(int Row);
    void BodyPress(TMouseButton Button, TShiftState Shift, int X, int Y);
    TPoint GetSlideCellAtPos(TPoint Point);
    void BodyClick(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HeaderMove(TShiftState Shift, int X, int Y);
    void BodyMove(TShiftState Shift, int X, int Y);
    // The gesture and the press are over: idle, no press point or cell.
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
    // The one gesture in progress (GridGesture.h).
    TGridGesture FGesture;
    TNxCustomColumn* FGripColumn = nullptr;
    TPoint FHoverCell{-1, -1};
    TPoint FLastHoverCell{-1, -1};
    TPoint FPreviousHover{-1, -1};
    TGridHintKind FHintKind = hkNone;
    TNxCustomColumn* FHeaderHintColumn = nullptr;
    TNxCustomColumn* FFooterHintColumn = nullptr;
    THintWindow* FHintWindow = nullptr;
    // Whether the grid and column let a cell be edited at all, and the editor it would use.
    NxEdit::TNxCustomEdit* EditorFor(TNxCustomColumn* Column) const;
    // Selects the input row and Column, closes any editor and opens Column's editor in the input
    // row; nullptr (the input row still selected) when the column takes no input.
    NxEdit::TNxCustomEdit* OpenInputEditor(TNxCustomColumn* Column);
    bool CanOpenOn(int ACol, int ARow, NxEdit::TNxCustomEdit*& Editor);
    void SetInplaceEdit(NxEdit::TNxCustomEdit* Editor);
    void SetInplaceEditEvents();
    // RefreshCellEditor; TakeFocus False gives the editor the focus only when the grid or the
    // editor has it.
    void PlaceEditor(bool TakeFocus);
    // Step shared by cell and input editors: borrow the editor and bring it into editing mode.
    void TakeEditor(TNxCustomColumn* Column, NxEdit::TNxCustomEdit* Editor, bool ForInput, int ARow);
    void CaretToEnd();
    void TypeKey(WideChar Key);

    void DoCellEditorChange(TObject* Sender);
    // The editor got or lost the focus: the grid repaints when neither has it now.
    void DoCellEditorEnterExit(TObject* Sender);
    void DoCellEditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void DoCellEditorKeyPress(TObject* Sender, WideChar& Key);
    void DoCellEditorKeyUp(TObject* Sender, Word& Key, TShiftState Shift);

    NxEdit::TNxCustomEdit* FInplaceEdit = nullptr; // borrowed
    bool FEditorTabStop = true;                    // the borrowed editor's own, given back with it
    int FInputColumnIndex = -1;
    bool FEditorFilling = false;
    // The key that opened the editor is being typed into it: the grid raised OnKeyPress for
    // it already.
    bool FTypingKey = false;
    // Whether moving from position From to To is allowed by goLockFixedCols.
    bool MoveAllowed(int From, int To);
    int ScrollFor(int Position);
    void DrawVertGuide(int X);
    void DrawHorzGuide(int Y);
    void DrawRowPosition(int Row);
    void RefreshRowPosition(int Row);
    int RowMarkerY(int Row, TRect& R);
    // Ends any gesture without applying it: guides erased, box and arrows hidden.
    void CancelGestures();
    // A move with no gesture taking it: cursors, hovers and hints by area.
    void HoverMove(TShiftState Shift, int X, int Y);
    // The release by area: the sort click on the Pressed header, the body click, the footer click,
    // the input row when the press began there (InputPress).
    void ReleaseAt(TMouseButton Button, TShiftState Shift, int X, int Y, TNxCustomColumn* Pressed,
                   bool InputPress);
    // The editor's focus comes back after a focus change has settled: posted at DoEnter, taken
    // by WndProc (True: the message was that one).
    void PostEditorFocus();
    bool EditorFocusMessage(TMessage& Message);
    // The gestures: each starts (becoming FGesture), follows the pointer and finishes with its
    // own state; CancelGestures ends any without applying it.
    void StartColumnResize(TNxCustomColumn* Column);
    void TrackColumnResize(GridGesture::TColumnResize& Resize, int X);
    void FinishColumnResize(const GridGesture::TColumnResize& Resize);
    void StartRowResize(int Row, int Y);
    void TrackRowResize(GridGesture::TRowResize& Resize, int Y);
    void FinishRowResize(const GridGesture::TRowResize& Resize);
    void StartColumnMove(TNxCustomColumn* Column, int X, int Y);
    TNxCustomColumn* MovingColumn() const;
    // A row press becomes a row move once the pointer is more than 5 pixels from the press.
    void StartRowMove(const GridGesture::TRowPress& Press, int X, int Y);
    void TrackRowMove(GridGesture::TRowMove& Move, int X, int Y);
    void DropRow(const GridGesture::TRowMove& Move, int X, int Y);

    TColumnDragBox* FDragBox = nullptr; // owned as a component
    TDragArrow* FTopArrow = nullptr;
    TDragArrow* FBottomArrow = nullptr;
};
