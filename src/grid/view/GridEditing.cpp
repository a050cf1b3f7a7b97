// Cell editing and the input row: opening, placing, applying and closing the in-place editor.
#include "grid/view/CustomGrid.h"

#include <algorithm>
#include <vector>

#include "controls/NxEdit.h"
#include "platform/runtime/ScopedChange.h"

using NxEdit::TNxCustomEdit;

namespace {
constexpr UINT CM_NXFOCUSEDITOR = WM_USER + 0x7E2;

// Gives an open editor the focus back without selecting its text: selecting all would let the
// next key replace it.
void FocusKeepingCaret(TNxCustomEdit* Editor) {
    if (!Editor->CanFocus() || Editor->Focused()) return;
    bool AutoSelect = Editor->GetAutoSelect();
    Editor->SetAutoSelect(false);
    Editor->SetFocus();
    Editor->SetAutoSelect(AutoSelect);
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Opening

TNxCustomEdit* TNxCustomGrid::EditorFor(TNxCustomColumn* Column) const {
    if (auto* Assigned = dynamic_cast<TNxCustomEdit*>(Column->GetInplaceEdit())) return Assigned;
    return dynamic_cast<TNxCustomEdit*>(Column->GetCellEditor());
}

bool TNxCustomGrid::CanOpenOn(int ACol, int ARow, TNxCustomEdit*& Editor) {
    if (GetReadOnly() || !GetColumns()->Exists(ACol) || ARow < 0 || ARow >= GetRowCount()) return false;
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    if (!Column->GetColumnState().Contains(ceEditable) || !CanEdit()) return false;
    Editor = EditorFor(Column);
    if (!Editor) return false;
    bool Accept = true;
    DoBeforeEdit(ACol, ARow, Accept);
    return Accept;
}

void TNxCustomGrid::SetInplaceEdit(TNxCustomEdit* Editor) {
    if (FInplaceEdit && FInplaceEdit != Editor) {
        FInplaceEdit->SetInplaceEditor(false);
        FInplaceEdit->SetTabStop(FEditorTabStop);
    }
    if (Editor && Editor != FInplaceEdit) FEditorTabStop = Editor->GetTabStop();
    FInplaceEdit = Editor;
    if (!Editor) return;
    Editor->SetInplaceEditor(true);
    // Tab reaches the grid, never its editor alone: entering the grid hands the focus on with the
    // caret kept, where tabbing into the editor would select its text for the next key to replace.
    Editor->SetTabStop(false);
    Editor->OnChange = nullptr;
    Editor->SetParent(this);
    TScopedChange Filling(FEditorFilling, true);
    Editor->SetText(WideString());
    // Without the grid's WantTabs the form would take Tab as a move to the next control; with
    // it the editor hears Tab and the grid moves to the next cell.
    Editor->SetWantTabs(GetWantTabs());
    Editor->SetBiDiMode(GetBiDiMode());
}

void TNxCustomGrid::SetInplaceEditEvents() {
    FInplaceEdit->OnChange = [this](TObject* Sender) { DoCellEditorChange(Sender); };
    FInplaceEdit->OnEnter = [this](TObject* Sender) { DoCellEditorEnterExit(Sender); };
    FInplaceEdit->OnExit = [this](TObject* Sender) { DoCellEditorEnterExit(Sender); };
    FInplaceEdit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
        DoCellEditorKeyDown(Sender, Key, Shift);
    };
    FInplaceEdit->OnKeyPress = [this](TObject* Sender, WideChar& Key) { DoCellEditorKeyPress(Sender, Key); };
    FInplaceEdit->OnKeyUp = [this](TObject* Sender, Word& Key, TShiftState Shift) {
        DoCellEditorKeyUp(Sender, Key, Shift);
    };
}

void TNxCustomGrid::TakeEditor(TNxCustomColumn* Column, TNxCustomEdit* Editor, bool ForInput, int ARow) {
    // The column hears the value the edit starts from, however the edit opened.
    Column->PrepareCellEdit(ForInput ? WideString() : GetCells(Column->GetIndex(), ARow));
    bool Assigned = Editor == Column->GetInplaceEdit();
    SetInplaceEdit(Editor);
    if (Assigned) {
        // With goInplaceEditEvents an assigned editor keeps the program's own handlers.
        if (!GetOptions().Contains(goInplaceEditEvents)) SetInplaceEditEvents();
        return;
    }
    SetInplaceEditEvents();
    Column->BeginEditing();
    Editor->SetEditorUpdating(false);
    if (ForInput) {
        Editor->SetColor(Column->GetColor());
        Editor->GetFont()->Assign(*Column->GetFont());
        Editor->SetAutoSelect(false);
    } else {
        Editor->SetColor(GetCellColor(Column->GetIndex(), ARow));
        Editor->GetFont()->Assign(*Column->GetFont());
    }
    Editor->BeginEditing();
}

void TNxCustomGrid::CaretToEnd() {
    TNxCustomColumn* Column =
        GetColumns()->Exists(GetEditingCell().X)  ? GetColumns()->GetItem(GetEditingCell().X)
        : GetColumns()->Exists(FInputColumnIndex) ? GetColumns()->GetItem(FInputColumnIndex)
                                                  : nullptr;
    if (Column && Column->GetOptions().Contains(coEditorAutoSelect))
        FInplaceEdit->SelectAll();
    else
        FInplaceEdit->SetSelStart(static_cast<int>(FInplaceEdit->GetText().size()));
}

void TNxCustomGrid::TypeKey(WideChar Key) {
    // The key replaces the text: the editor must not select all when it takes the focus.
    bool AutoSelect = FInplaceEdit->GetAutoSelect();
    FInplaceEdit->SetAutoSelect(false);
    TScopedChange Typing(FTypingKey, true);
    FInplaceEdit->PressKey(Key);
    FInplaceEdit->SetAutoSelect(AutoSelect);
}

void TNxCustomGrid::EditCell(int ACol, int ARow, const WideString& Text) {
    if (GetEditingCell() == TPoint{ACol, ARow} && FGridState.Contains(gtEdit)) return;
    TNxCustomEdit* Editor = nullptr;
    if (!CanOpenOn(ACol, ARow, Editor)) return;
    ApplyEditing();
    EndEditing();
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    FGridState.Include(gtEdit);
    SetEditingCellDirect(TPoint{ACol, ARow});
    WideString T = Text.empty() ? GetCells(ACol, ARow) : Text;
    TakeEditor(Column, Editor, false, ARow);
    {
        // Only a fill from the cell is the grid's own writing; a typed key is the user's edit.
        TScopedChange Filling(FEditorFilling, Text.empty());
        if (OnApplyEditText) OnApplyEditText(this, ACol, ARow, T);
        Editor->SetText(T);
        PrepareEdit();
        Column->UpdateEdit();
    }
    RefreshCellEditor();
    if (FInplaceEdit) CaretToEnd();
}

void TNxCustomGrid::StartEdit(int ACol, int ARow, WideChar Key) {
    if (GetEditingCell() == TPoint{ACol, ARow} && FGridState.Contains(gtEdit)) return;
    TNxCustomEdit* Editor = nullptr;
    if (!CanOpenOn(ACol, ARow, Editor)) return;
    ApplyEditing();
    EndEditing();
    FGridState.Include(gtEdit);
    SetEditingCellDirect(TPoint{ACol, ARow});
    TakeEditor(GetColumns()->GetItem(ACol), Editor, false, ARow);
    RefreshCellEditor();
    if (!FInplaceEdit) return;
    TypeKey(Key);
    PrepareEdit();
    FEditorFilling = false;
    FInplaceEdit->SetSelStart(static_cast<int>(FInplaceEdit->GetText().size()));
}

// ---------------------------------------------------------------------------------------------
// Applying and closing

void TNxCustomGrid::CompleteEdit(int ACol, int ARow, const WideString& Text) {
    SetCells(ACol, ARow, Text);
}

bool TNxCustomGrid::ApplyEditing() {
    if (!FInplaceEdit) return false;
    if (FGridState.Contains(gtEdit)) {
        TPoint Cell = GetEditingCell();
        if (!GetColumns()->Exists(Cell.X)) return false;
        FInplaceEdit->ApplyEditing();
        WideString T = FInplaceEdit->GetText();
        GetColumns()->GetItem(Cell.X)->ApplyEditing(T);
        bool Accept = true;
        DoEditAccept(Cell.X, Cell.Y, T, Accept);
        if (!Accept || Cell.Y < 0 || Cell.Y >= GetRowCount()) return false;
        if (OnEditText) OnEditText(this, Cell.X, Cell.Y, T);
        CompleteEdit(Cell.X, Cell.Y, T);
        if (OnAfterEdit) OnAfterEdit(this, Cell.X, Cell.Y, T);
        return true;
    }
    if (FGridState.Contains(gtInput) && GetColumns()->Exists(FInputColumnIndex)) {
        TNxCustomColumn* Column = GetColumns()->GetItem(FInputColumnIndex);
        FInplaceEdit->ApplyEditing();
        WideString T = FInplaceEdit->GetText();
        Column->ApplyEditing(T);
        Column->SetInputValue(T);
        Column->SetInputEditing(false);
        return true;
    }
    return false;
}

void TNxCustomGrid::EndEditing() {
    if (TNxCustomEdit* Editor = FInplaceEdit) {
        // The focus goes back to the grid before the editor hides: hidden with the focus, it
        // would pass it on to the next control, and the grid would hear that it lost it.
        if (Editor->Focused() && CanFocus()) SetFocus();
        Editor->Hide();
        // A grid that could not take the focus has ended the edit on losing it.
        if (FInplaceEdit != Editor) return;
        FInplaceEdit->EndEditing();
        if (FGridState.Contains(gtEdit) && CellBounds(GetEditingCell().X, GetEditingCell().Y))
            RefreshCell(GetEditingCell().X, GetEditingCell().Y);
        if (FGridState.Contains(gtInput)) RefreshArea(gaInput);
    }
    // Raised while EditingCell still names the cell, so the handler can tell which one it was.
    if (FGridState.Contains(gtEdit) && OnEditExit) OnEditExit(this);
    FGridState.Exclude(gtEdit);
    FGridState.Exclude(gtInput);
    SetEditingCellDirect(TPoint{-1, -1});
    if (FInputColumnIndex != -1) {
        if (GetColumns()->Exists(FInputColumnIndex))
            GetColumns()->GetItem(FInputColumnIndex)->SetInputEditing(false);
        FInputColumnIndex = -1;
    }
    SetInplaceEdit(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Placing

TRect TNxCustomGrid::GetEditingRect() {
    if (FGridState.Contains(gtEdit) && CellBounds(GetEditingCell().X, GetEditingCell().Y))
        return GetCellRect(GetEditingCell().X, GetEditingCell().Y);
    if (FGridState.Contains(gtInput) && GetColumns()->Exists(FInputColumnIndex)) {
        TNxCustomColumn* Column = GetColumns()->GetItem(FInputColumnIndex);
        bool Fixed = Column->GetPosition() < GetColumns()->GetFixedCols();
        int Left = Column->GetLeft() - (Fixed ? 0 : GetHorzScrollPos());
        TRect Input = GetInputRect();
        return TRect{Left, Input.Top, Left + Column->GetWidth(), Input.Bottom};
    }
    return {};
}

void TNxCustomGrid::RefreshCellEditor() {
    PlaceEditor(true);
}

void TNxCustomGrid::PlaceEditor(bool TakeFocus) {
    if (!FInplaceEdit) return;
    TRect R;
    TNxCustomColumn* Column = nullptr;
    if (FGridState.Contains(gtEdit) && CellBounds(GetEditingCell().X, GetEditingCell().Y)) {
        TPoint Cell = GetEditingCell();
        Column = GetColumns()->GetItem(Cell.X);
        R = GetCellRect(Cell.X, Cell.Y);
        Column->AdjustEditRect(Cell.Y, R);
        R.Left += GetGridSpace(lpLeft);
        R.Right -= GetGridSpace(lpRight);
        if (!GetOptions().Contains(goGrid)) R.Right -= 1;
        // GetRowTop stops at the body top for rows above TopRow, so those are caught by index.
        // A cell below the body is hidden too, never left over the footer; either way the editor
        // keeps its text and shows again when the cell scrolls back into view.
        TRect Body = GetBodyRect();
        if (Cell.Y < GetTopRow() || R.Top < Body.Top || R.Top >= Body.Bottom) {
            if (FInplaceEdit->Focused() && CanFocus()) SetFocus();
            FInplaceEdit->Hide();
            return;
        }
        R.Bottom = std::min(R.Bottom, Body.Bottom);
    } else if (FGridState.Contains(gtInput) && GetColumns()->Exists(FInputColumnIndex)) {
        Column = GetColumns()->GetItem(FInputColumnIndex);
        R = GetEditingRect();
    } else {
        return;
    }
    R.Left += 1;
    R.Top += 1;
    R.Right -= 1;
    R.Bottom -= 1;
    R.Left = std::max({R.Left, 0, GetBodyRect().Left});
    bool Refocus = !TakeFocus && (Focused() || FInplaceEdit->Focused());
    // A focused editor only moves: hiding it would hand the focus out of the grid.
    if (!FInplaceEdit->Focused()) FInplaceEdit->Hide();
    FInplaceEdit->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    FInplaceEdit->Show();
    if (TakeFocus && FInplaceEdit->CanFocus()) FInplaceEdit->SetFocus();
    if (Refocus) FocusKeepingCaret(FInplaceEdit);
    if (Column->GetColumnStyle().Contains(csRedrawInplaceEdit))
        FInplaceEdit->Repaint();
    else
        FInplaceEdit->Invalidate();
}

void TNxCustomGrid::RepositionEditor() {
    // Following its cell, the editor takes the focus back only from the grid: an editor left
    // open while another control has the focus stays unfocused.
    if (FGridState.Contains(gtEdit) || FGridState.Contains(gtInput)) PlaceEditor(false);
}

void TNxCustomGrid::AfterScroll(TScrollBarKind Kind) {
    TNxCustomGridControl::AfterScroll(Kind);
    RepositionEditor();
}

// ---------------------------------------------------------------------------------------------
// Input row

TNxCustomEdit* TNxCustomGrid::OpenInputEditor(TNxCustomColumn* Column) {
    const int Index = Column->GetIndex();
    SetInputSelected(true);
    SetSelectedColumn(Index);
    ApplyEditing();
    EndEditing();
    TNxCustomEdit* Editor = EditorFor(Column);
    if (!Editor || !Column->GetColumnState().Contains(ceCanInput) || GetReadOnly()) return nullptr;
    FGridState.Include(gtInput);
    TakeEditor(Column, Editor, true, -1);
    FInputColumnIndex = Index;
    Column->SetInputEditing(true);
    return Editor;
}

void TNxCustomGrid::InputColumn(TNxCustomColumn* Column, const WideString& Text) {
    if (!Column) return;
    const int Index = Column->GetIndex();
    TNxCustomEdit* Editor = OpenInputEditor(Column);
    if (!Editor) return;
    {
        TScopedChange Filling(FEditorFilling, true);
        Editor->SetText(Text.empty() ? Column->GetInputValue() : Text);
        Column->UpdateEdit();
    }
    SetEditingCellDirect(TPoint{Index, -1});
    RefreshCellEditor();
    if (FInplaceEdit) CaretToEnd();
    DoInputSelectCell(Index);
}

void TNxCustomGrid::StartInput(int ACol, WideChar Key) {
    if (!GetColumns()->Exists(ACol)) return;
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    if (!OpenInputEditor(Column)) return;
    Column->UpdateEdit();
    SetEditingCellDirect(TPoint{-1, -1});
    RefreshCellEditor();
    if (!FInplaceEdit) return;
    TypeKey(Key);
    FInplaceEdit->SetSelStart(static_cast<int>(FInplaceEdit->GetText().size()));
    DoInputSelectCell(ACol);
}

void TNxCustomGrid::AddRowFromInput() {
    bool Accept = true;
    DoInputAccept(Accept);
    if (!Accept) return;
    int Row = AddRow(1);
    TNxColumns* Columns = GetColumns();
    for (int I = 0; I < Columns->Count(); ++I) {
        TNxCustomColumn* Column = Columns->GetItem(I);
        WideString Value = Column->GetInputValue();
        if (Value.empty()) Value = Column->GetDefaultValue();
        if (!Value.empty()) SetCells(I, Row, Value);
        Column->SetInputValue(WideString());
    }
    DoInputAdded();
}

// ---------------------------------------------------------------------------------------------
// The editor's events

void TNxCustomGrid::DoCellEditorChange(TObject* /*Sender*/) {
    if (FEditorFilling || !FInplaceEdit) return;
    if (OnEdit) OnEdit(this, GetEditingCell().X, GetEditingCell().Y, FInplaceEdit->GetText());
}

void TNxCustomGrid::DoCellEditorEnterExit(TObject* /*Sender*/) {
    if (!GridFocused()) Invalidate();
}

void TNxCustomGrid::DoCellEditorKeyDown(TObject* /*Sender*/, Word& Key, TShiftState Shift) {
    if (Key == VK_TAB) {
        ApplyEditing();
        EndEditing();
        if (CanFocus()) SetFocus();
    } else if (Key == VK_RETURN && !Shift.Contains(ssCtrl)) {
        if (FGridState.Contains(gtEdit)) {
            TNxCustomColumn* Column = GetColumns()->Exists(GetEditingCell().X)
                                          ? GetColumns()->GetItem(GetEditingCell().X)
                                          : nullptr;
            if (!Column || !Column->GetColumnStyle().Contains(csWantReturns)) {
                ApplyEditing();
                EndEditing();
                if (CanFocus()) SetFocus();
            }
        } else if (FGridState.Contains(gtInput)) {
            int Index = FInputColumnIndex;
            ApplyEditing();
            AddRowFromInput();
            if (FInplaceEdit && GetColumns()->Exists(Index)) {
                TScopedChange Filling(FEditorFilling, true);
                FInplaceEdit->SetText(GetColumns()->GetItem(Index)->GetInputValue());
            }
        }
    } else if (Key == VK_ESCAPE) {
        if (GetOptions().Contains(goEscClearEdit)) {
            if (FInplaceEdit) FInplaceEdit->SetText(WideString());
        } else {
            EndEditing();
            if (CanFocus()) SetFocus();
        }
    }
    KeyDown(Key, Shift);
}

void TNxCustomGrid::DoCellEditorKeyPress(TObject* /*Sender*/, WideChar& Key) {
    if (FTypingKey) return;
    KeyPress(Key);
}

void TNxCustomGrid::DoCellEditorKeyUp(TObject* /*Sender*/, Word& Key, TShiftState Shift) {
    KeyUp(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Entry points from the mouse and keyboard

// ---------------------------------------------------------------------------------------------
// Events

void TNxCustomGrid::DoBeforeEdit(int ACol, int ARow, bool& Accept) {
    if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
}
void TNxCustomGrid::DoEditAccept(int ACol, int ARow, const WideString& Value, bool& Accept) {
    if (OnEditAccept) OnEditAccept(this, ACol, ARow, Value, Accept);
}
void TNxCustomGrid::DoAfterEdit(int ACol, int ARow, const WideString& Value) {
    if (OnAfterEdit) OnAfterEdit(this, ACol, ARow, Value);
}
void TNxCustomGrid::DoInputAccept(bool& Accept) {
    if (OnInputAccept) OnInputAccept(this, Accept);
}
void TNxCustomGrid::DoInputAdded() {
    if (OnInputAdded) OnInputAdded(this);
}

bool TNxCustomGrid::GetOpenEditorBounds(TRect& Bounds) {
    if (!FInplaceEdit || !FGridState.Contains(gtEdit) || !FInplaceEdit->GetVisible()) return false;
    Bounds = FInplaceEdit->GetBoundsRect();
    return true;
}

void TNxCustomGrid::PostEditorFocus() {
    if (FInplaceEdit && HandleAllocated()) PostMessage(this, CM_NXFOCUSEDITOR, 0, 0);
}

bool TNxCustomGrid::EditorFocusMessage(TMessage& Message) {
    if (Message.Msg != CM_NXFOCUSEDITOR) return false;
    // Only while the grid still holds the focus: a press that opened another editor or closed
    // this one has settled the matter already.
    if (FInplaceEdit && FInplaceEdit->GetVisible() && Focused()) FocusKeepingCaret(FInplaceEdit);
    return true;
}
