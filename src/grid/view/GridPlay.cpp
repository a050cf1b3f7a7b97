// The grid's side of the column plays: preparing a play for a cell, writing back what it changed
// and toggling the row it expands.
#include "grid/view/ColumnPlay.h"
#include "grid/view/NextGrid.h"

// ---------------------------------------------------------------------------------------------
// TNxCustomGrid

TColumnPlay* TNxCustomGrid::GetPlay(int ACol) {
    if (!GetColumns()->Exists(ACol)) return nullptr;
    return dynamic_cast<TColumnPlay*>(GetColumns()->GetItem(ACol)->GetColumnPlay());
}

bool TNxCustomGrid::PlayTakesInput(int ACol) {
    if (GetReadOnly() || !GetPlay(ACol)) return false;
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    return Column->GetOptions().Contains(coEditing) || Column->GetColumnStyle().Contains(csClickable);
}

bool TNxCustomGrid::UpdateColumnPlay(int ACol, int ARow, const TRect& CellRect) {
    TColumnPlay* Play = GetPlay(ACol);
    if (!Play || !CellBounds(ACol, ARow)) return false;
    bool Accept = true;
    DoBeforeEdit(ACol, ARow, Accept);
    if (!Accept) return false;
    Play->SetCol(ACol);
    Play->SetRow(ARow);
    Play->SetCanvas(GetCanvas());
    Play->SetHandle(this);
    SetColumnPlayAttributes(Play);
    Play->SetCellRect(CellRect);
    Play->OnChange = [this](TObject* Sender) { DoColumnPlayChange(Sender); };
    Play->OnExpand = [this](TObject* Sender) { DoColumnPlayExpand(Sender); };
    return true;
}

void TNxCustomGrid::MouseLeaveCell() {
    const TPoint Cell = FLastHoverCell;
    if (Cell.X == -1 || Cell.Y == -1 || !CellBounds(Cell.X, Cell.Y)) return;
    if (TColumnPlay* Play = GetPlay(Cell.X)) Play->MouseLeave();
}

// ---------------------------------------------------------------------------------------------
// TNextGrid

void TNextGrid::SetColumnPlayAttributes(TColumnPlay* Play) {
    const int ACol = Play->GetCol(), ARow = Play->GetRow();
    if (!CellBounds(ACol, ARow)) return;
    Play->SetLevel(GetRowLevel(ARow));
    switch (GetColumns()->GetItem(ACol)->GetColumnType()) {
    case ctBoolean:
        Play->SetAsBoolean(GetCell(ACol, ARow)->GetAsBoolean());
        break;
    case ctInteger:
        Play->SetAsInteger(GetCell(ACol, ARow)->GetAsInteger());
        break;
    case ctString:
        Play->SetAsString(GetDrawText(ACol, ARow));
        break;
    default:
        break;
    }
}

void TNextGrid::DoColumnPlayChange(TObject* Sender) {
    auto* Play = dynamic_cast<TColumnPlay*>(Sender);
    // A handler may have deleted the row or column since the play was prepared.
    if (!Play || !CellBounds(Play->GetCol(), Play->GetRow())) return;
    const int ACol = Play->GetCol(), ARow = Play->GetRow();
    bool Accept = true;
    DoEditAccept(ACol, ARow, Play->GetAsString(), Accept);
    if (!CellBounds(ACol, ARow)) return;
    if (!Accept) {
        // The play shows the cell's value again, so nothing reports a change that did not happen;
        // the edit is still over, and OnAfterEdit hears the value the cell kept.
        SetColumnPlayAttributes(Play);
        DoAfterEdit(ACol, ARow, GetCell(ACol, ARow)->GetAsString());
        return;
    }
    switch (GetColumns()->GetItem(ACol)->GetColumnType()) {
    case ctBoolean:
        GetCell(ACol, ARow)->SetAsBoolean(Play->GetAsBoolean());
        break;
    case ctInteger:
        GetCell(ACol, ARow)->SetAsInteger(Play->GetAsInteger());
        break;
    default:
        break;
    }
    DoAfterEdit(ACol, ARow, GetCell(ACol, ARow)->GetAsString());
}

void TNextGrid::DoColumnPlayExpand(TObject* Sender) {
    auto* Play = dynamic_cast<TColumnPlay*>(Sender);
    if (!Play || Play->GetRow() < 0 || Play->GetRow() >= GetRowCount()) return;
    SetExpanded(Play->GetRow(), !GetExpanded(Play->GetRow()));
}
