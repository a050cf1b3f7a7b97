#pragma once
// Cell editing and the input row: one editor of the edit-box family laid over a cell.

#include <functional>

#include "grid/view/NextGridData.h"

namespace NxEdit {
class TNxCustomEdit;
}

using TBeforeEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Accept)>;
using TEditTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value)>;
using TEditAcceptEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value, bool& Accept)>;
using TInputAcceptEvent = std::function<void(TObject* Sender, bool& Accept)>;

// A grid whose cells and input row can be edited in place.
//
// At most one editor is open (gtEdit for a body cell, gtInput for an input cell, never both). The
// editor is the column's InplaceEdit when assigned, else the column kind's own editor; the grid
// only borrows it while it is open. Every refusal (ReadOnly, CanEdit, a column without
// ceEditable/ceCanInput, no editor, a vetoed event) silently changes nothing.
//
// What the user typed is never lost: Enter, Tab, a press elsewhere in the grid, a scroll request,
// moving the current cell, opening another editor and the focus leaving for another control all
// apply it before the editor closes. A cell scrolled out of the body hides its editor until it
// comes back. Only Esc discards. The editor taking the focus is no exit of the grid.
class TNxEditingGrid : public TNxDataGrid {
public:
    explicit TNxEditingGrid(TComponent* AOwner);
    ~TNxEditingGrid() override;

    // Opens the editor on a cell with Text, or the cell's own text when Text is empty; nothing
    // when that cell is already edited. An editor open elsewhere is applied and closed first.
    void EditCell(int ACol, int ARow, const WideString& Text) override;
    // Opens the editor on a cell and types Key into it, replacing the text; caret after it.
    void StartEdit(int ACol, int ARow, WideChar Key) override;
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
    void StartInput(int ACol, WideChar Key) override;
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
    int GetInputColumnIndex() const { return FInputColumnIndex; }
    bool GetEditorFilling() const { return FEditorFilling; }

    TBeforeEditEvent OnBeforeEdit;
    TEditValueEvent OnApplyEditText;
    TEditTextEvent OnEdit;
    TEditAcceptEvent OnEditAccept;
    TEditValueEvent OnEditText;
    TEditTextEvent OnAfterEdit;
    TNotifyEvent OnEditExit;
    TInputAcceptEvent OnInputAccept;
    TNotifyEvent OnInputAdded;

    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    // Called after the editor got its text; nothing here.
    virtual void PrepareEdit() {}
    void RepositionEditor() override;
    // Every scroll moves the editor with its cell (or hides it, see RefreshCellEditor).
    void AfterScroll(TScrollBarKind Kind) override;
    // The focus coming back to the grid (Tab, Shift+Tab, code) goes on to an open, shown editor,
    // caret where it was, once the focus change has settled; a press that moved it first wins.
    void DoEnter() override;
    void WndProc(TMessage& Message) override;

    virtual void DoBeforeEdit(int ACol, int ARow, bool& Accept);
    virtual void DoEditAccept(int ACol, int ARow, const WideString& Value, bool& Accept);
    void DoAfterEdit(int ACol, int ARow, const WideString& Value) override;
    virtual void DoInputAccept(bool& Accept);
    virtual void DoInputAdded();

private:
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
};
