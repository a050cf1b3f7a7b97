// The grid component, data half: rows and cells over the cell store.
#include "grid/view/NextGrid.h"

#include <algorithm>
#include <string>

#include "grid/view/ColumnDisplay.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/List.h"
#include "platform/runtime/RtlConsts.h"

// ---------------------------------------------------------------------------------------------
// TNxCustomGrid

// ---------------------------------------------------------------------------------------------
// TNextGrid

TNextGrid::TNextGrid(TComponent* AOwner) : TNxCustomGrid(AOwner) {
    FCells = std::make_unique<TCells>(this, GetColumns());
    FCells->SetDefaultRowHeight(GetRowSize());
    FCells->OnCellChange = [this](TObject*, int ACol, int ARow) { DoCellChange(ACol, ARow); };
    FCells->OnCompare = [this](TObject*, TCell* Cell1, TCell* Cell2, int& Compare) {
        DoCompare(Cell1, Cell2, Compare);
    };
}

TNextGrid::~TNextGrid() {
    // Cells go before the columns they belong to.
    FCells->OnCellChange = nullptr;
    FCells.reset();
}

void TNextGrid::CheckRowIndex(int Index) const {
    if (Index < 0 || Index >= FCells->GetRowCount()) TList::Error(SListIndexError, Index);
}

TCell* TNextGrid::GetCell(int ACol, int ARow) {
    return FCells->GetCell(ACol, ARow);
}

namespace {
[[noreturn]] void CellOutOfBounds(int ACol, int ARow) {
    throw Exception("Cell out of bounds (" + std::to_string(ACol) + ", " + std::to_string(ARow) + ")");
}
} // namespace

WideString TNextGrid::GetCells(int ACol, int ARow) {
    if (!CellBounds(ACol, ARow)) CellOutOfBounds(ACol, ARow);
    return FCells->GetCell(ACol, ARow)->GetAsString();
}

void TNextGrid::SetCells(int ACol, int ARow, const WideString& Value) {
    if (!CellBounds(ACol, ARow)) CellOutOfBounds(ACol, ARow);
    FCells->GetCell(ACol, ARow)->SetAsString(Value);
}

void TNextGrid::DoCellChange(int ACol, int ARow) {
    if (IsUpdating()) return;
    RefreshCell(ACol, ARow);
    DoChange(ACol, ARow);
}

void TNextGrid::AddDefaultValues(int FromRow, int ToRow) {
    if (!GetOptions().Contains(goUseDefaultValues)) return;
    for (int c = 0; c < GetColumns()->Count(); ++c) {
        WideString Default = GetColumns()->GetItem(c)->GetDefaultValue();
        if (Default.empty()) continue;
        for (int Row = FromRow; Row <= ToRow; ++Row)
            FCells->GetCell(c, Row)->SetAsString(Default);
    }
}

int TNextGrid::AddRow(int Count) {
    if (Count < 1) return FLastAddedRow;
    int OldCount = FCells->GetRowCount();
    FCells->AddRow(Count);
    int NewCount = FCells->GetRowCount();
    AddDefaultValues(OldCount, NewCount - 1);
    if (!IsUpdating()) {
        if (GetGridLinesStyle() == lsFramed && GetOptions().Contains(goGrid) && OldCount > 0)
            RefreshRowGrid(OldCount - 1);
        RefreshRowGrid(NewCount - 1);
        RefreshVisibleRows(OldCount, NewCount - 1);
    }
    FLastAddedRow = NewCount - 1;
    if (!IsUpdating()) UpdateVertScrollBar();
    DoDataChange(dcAddRow, FLastAddedRow);
    return FLastAddedRow;
}

void TNextGrid::InsertRow(int Index) {
    if (Index < 0 || Index > FCells->GetRowCount()) TList::Error(SListIndexError, Index);
    EndEditing();
    FCells->InsertRow(Index);
    SelectionRowsInserted(Index, 1);
    FLastAddedRow = Index;
    // A row inserted above the view keeps the same rows in view.
    if (Index < GetTopRow()) SetTopRowDirect(GetTopRow() + 1);
    if (!IsUpdating()) RefreshVisibleRows(Index, FCells->GetRowCount() - 1);
    if (GetSelectedRow() >= Index) SetSelectedRowDirect(GetSelectedRow() + 1);
    if (GetAnchorRow() >= Index) SetAnchorRowDirect(GetAnchorRow() + 1);
    UpdateVertScrollBar();
    if (Index < GetTopRow()) SyncVertPosition();
    DoDataChange(dcInsertRow, Index);
}

void TNextGrid::DeleteStoreRow(int Index) {
    TRow* Row = FCells->GetRow(Index);
    if (Row->ParentRow && Row->ParentRow->ChildCount > 0) --Row->ParentRow->ChildCount;
    const bool WasSelected = Row->Selected;
    FCells->DeleteRow(Index);
    SelectionRowDeleted(Index, WasSelected);
    if (GetAnchorRow() > Index)
        SetAnchorRowDirect(GetAnchorRow() - 1);
    else if (GetAnchorRow() == Index)
        SetAnchorRowDirect(-1);
}

void TNextGrid::DeleteRow(int Index) {
    CheckRowIndex(Index);
    TNxCustomGrid::DeleteRow(Index);
    // Descendants go first: they would keep pointing at the deleted record.
    if (GetFirstChild(Index) >= 0) ClearChildRows(Index);
    // The rows from here down move up; repaint them while the rectangle is still known.
    if (!IsUpdating()) RefreshVisibleRows(Index, FCells->GetRowCount());
    const bool CurrentDeleted = GetSelectedRow() == Index && FCells->GetRow(Index)->Selected;
    DeleteStoreRow(Index);
    // Rows below the deleted one moved up: the view keeps showing the same rows.
    if (Index < GetTopRow()) SetTopRowDirect(GetTopRow() - 1);
    if (GetSelectedRow() > Index) SetSelectedRowDirect(GetSelectedRow() - 1);
    int Last = GetLastVisibleRow();
    if (GetSelectedRow() > Last || GetSelectedRow() >= FCells->GetRowCount()) {
        if (GetSelectedRow() >= 0) DoDeselectCell(GetSelectedColumn(), GetSelectedRow());
        SetSelectedRowDirect(FCells->GetRowCount() > 0 ? Last : -1);
        if (GetSelectedRow() >= 0) StoreSelected(GetSelectedRow(), true);
    } else if (CurrentDeleted && !GetGridState().Contains(gtMultiSelect)) {
        // The row that took the current row's place is the current row now, and shows it.
        StoreSelected(GetSelectedRow(), true);
    }
    if (GetTopRow() > 0 && GetTopRow() >= FCells->GetRowCount())
        SetTopRowDirect(std::max(FCells->GetRowCount() - 1, 0));
    UpdateVertScrollBar();
    if (Index < GetTopRow() || GetTopRow() >= FCells->GetRowCount() - 1) SyncVertPosition();
    DoDataChange(dcDeleteRow, Index);
}

namespace {
// Where a row index lands when the row at From moves to To.
int IndexAfterMove(int Index, int From, int To) {
    if (Index == From) return To;
    if (From < To && Index > From && Index <= To) return Index - 1;
    if (To < From && Index >= To && Index < From) return Index + 1;
    return Index;
}
} // namespace

void TNextGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckRowIndex(FromIndex);
    CheckRowIndex(ToIndex);
    EndEditing();
    RefreshArea(gaBody);
    if (FromIndex == ToIndex) return;
    FCells->MoveRow(FromIndex, ToIndex);
    SelectionRowsMoved(FromIndex, ToIndex);
    SetSelectedRowDirect(IndexAfterMove(GetSelectedRow(), FromIndex, ToIndex));
    if (GetAnchorRow() >= 0) SetAnchorRowDirect(IndexAfterMove(GetAnchorRow(), FromIndex, ToIndex));
    if (!AllRowsVisible()) SyncVertPosition();
}

void TNextGrid::SwapRows(int Index1, int Index2) {
    CheckRowIndex(Index1);
    CheckRowIndex(Index2);
    FCells->SwapRows(Index1, Index2);
    SelectionRowsMoved(Index1, Index2);
    if (GetSelectedRow() == Index1)
        SetSelectedRowDirect(Index2);
    else if (GetSelectedRow() == Index2)
        SetSelectedRowDirect(Index1);
    if (!IsUpdating()) {
        RefreshRow(Index1);
        RefreshRow(Index2);
    }
}

void TNextGrid::ClearRow(int ARow) {
    if (ARow < 0 || ARow >= FCells->GetRowCount()) return;
    for (int c = 0; c < GetColumns()->Count(); ++c)
        FCells->GetCell(c, ARow)->Clear();
}

int TNextGrid::AddChildRow(int ARow, TChildRowPosition Position) {
    CheckRowIndex(ARow);
    TRow* Parent = FCells->GetRow(ARow);
    bool FirstChild = Parent->ChildCount == 0;
    int Index = ARow + 1 + (Position == crLast ? GetChildCount(ARow, true) : 0);
    FCells->AddChildRow(ARow, Index);
    SelectionRowsInserted(Index, 1);
    AddDefaultValues(Index, Index);
    if (GetSelectedRow() >= Index) SetSelectedRowDirect(GetSelectedRow() + 1);
    if (GetAnchorRow() >= Index) SetAnchorRowDirect(GetAnchorRow() + 1);
    if (Index <= GetTopRow()) SetTopRowDirect(GetTopRow() + 1);
    if (!IsUpdating()) {
        if (Parent->Expanded) RefreshVisibleRows(Index, FCells->GetRowCount() - 1);
        if (FirstChild) RefreshRow(ARow);
    }
    FLastAddedRow = Index;
    UpdateVertScrollBar();
    if (Index <= GetTopRow()) SyncVertPosition();
    return Index;
}

bool TNextGrid::GetExpanded(int ARow) {
    return FCells->GetRow(ARow)->Expanded;
}

int TNextGrid::GetRowLevel(int ARow) {
    return FCells->GetRow(ARow)->Level;
}

void TNextGrid::SetExpanded(int ARow, bool Value) {
    TRow* Row = FCells->GetRow(ARow);
    if (Row->ChildCount == 0 || Row->Expanded == Value) return;
    Row->Expanded = Value;
    // Parents come before their children, so each parent's state is final when a child is reached.
    for (int r = ARow + 1; r < FCells->GetRowCount(); ++r) {
        TRow* Child = FCells->GetRow(r);
        if (Child->Level <= Row->Level) break;
        TRow* Up = Child->ParentRow;
        bool Show = Up->Expanded && (Up == Row || Up->Shown);
        FCells->ExpandRow(r, Show);
    }
    if (!IsUpdating()) RefreshVisibleRows(ARow, FCells->GetRowCount() - 1);
    UpdateVertScrollBar();
    if (ARow < GetTopRow()) SyncVertPosition();
    DoExpand(ARow);
}

void TNextGrid::DoExpand(int ARow) {
    if (OnExpand) OnExpand(this, ARow);
}

WideString TNextGrid::GetCellHint(int ACol, int ARow) {
    WideString Hint = FCells->GetCell(ACol, ARow)->GetHint();
    if (OnCellHint) OnCellHint(this, ACol, ARow, Hint);
    return Hint;
}

void TNextGrid::ClearRows() {
    TNxCustomGrid::ClearRows();
    FCells->ClearRows();
    ResetSelectionSpan();
    SetAnchorRowDirect(-1);
    FLastAddedRow = -1;
    GetVertScrollBar()->BeginUpdate();
    GetVertScrollBar()->SetPosition(0);
    GetVertScrollBar()->EndUpdate();
    RefreshArea(gaBody);
    RefreshArea(gaFooter);
    RefreshArea(gaIndicator);
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
}

int TNextGrid::GetRowHeight(int Index) {
    int Height = FCells->GetRow(Index)->Height;
    if (OnMeasuringRowHeight) OnMeasuringRowHeight(this, Index, Height);
    return Height;
}

void TNextGrid::SetRowHeight(int Index, int Value) {
    TRow* Row = FCells->GetRow(Index);
    if (Row->Height == Value) return;
    int Old = Row->Height;
    Row->Height = Value;
    if (OnChangeRowHeight) OnChangeRowHeight(this, Index, Value);
    if (!HandleAllocated() || Index < GetTopRow()) {
        UpdateVertScrollBar();
        return;
    }
    TRect R = GetRowRect(Index);
    TRect Body = GetBodyRect();
    // The rows below move by the difference; the row itself repaints.
    int Below = R.Top + Old + GetGridSpace(lpBottom);
    TRect Clip{0, std::min(Below, R.Bottom), GetClientWidth(), Body.Bottom};
    if (Clip.Bottom > Clip.Top) ScrollWindowEx(0, Value - Old, nullptr, &Clip, SW_INVALIDATE);
    InvalidateArea({R.Left, R.Top, R.Right, std::min(std::max(R.Bottom, Below), Body.Bottom)});
    UpdateVertScrollBar();
}

bool TNextGrid::GetRowVisible(int Index) {
    TRow* Row = FCells->GetRow(Index);
    return Row->Visible && Row->Shown;
}

void TNextGrid::SetRowVisible(int Index, bool Value) {
    TRow* Row = FCells->GetRow(Index);
    if (Row->Visible == Value) return;
    FCells->ShowRow(Index, Value);
    if (Index < GetTopRow()) SyncVertPosition();
    if (IsUpdating()) return;
    if (Index >= GetTopRow()) RefreshVisibleRows(Index, FCells->GetRowCount());
    UpdateVertScrollBar();
}

int TNextGrid::GetFirstVisibleRow() {
    if (FCells->GetRowCount() == 0) return 0;
    return AllRowsVisible() ? 0 : GetFirstVisible(0);
}

int TNextGrid::GetLastVisibleRow() {
    int Last = FCells->GetRowCount() - 1;
    if (Last < 0) return 0;
    return AllRowsVisible() ? Last : GetLastVisible(Last);
}

void TNextGrid::SetRowSize(int Value) {
    if (Value <= 0) return;
    FCells->SetDefaultRowHeight(Value);
    TNxCustomGrid::SetRowSize(Value);
}

void TNextGrid::GetCellInfo(int ACol, int ARow, TCellInfo& CellInfo) {
    TCell* Cell = FCells->GetCell(ACol, ARow);
    switch (GetColumns()->GetItem(ACol)->GetColumnType()) {
    case ctBoolean:
        CellInfo.AsBoolean = Cell->GetAsBoolean();
        break;
    case ctDate:
        CellInfo.AsDateTime = Cell->GetAsDateTime();
        break;
    case ctFloat:
        CellInfo.AsFloat = Cell->GetAsFloat();
        break;
    case ctInteger:
        CellInfo.AsInteger = Cell->GetAsInteger();
        break;
    case ctAutoInc:
        CellInfo.AsInteger = ARow;
        break;
    case ctGuid:
    case ctString:
    case ctVirtual:
        CellInfo.AsString = Cell->GetAsString();
        break;
    case ctGraphic:
        CellInfo.ObjectReference = Cell->GetObjectReference();
        break;
    default:
        break;
    }
}

WideString TNextGrid::GetDrawText(int ACol, int ARow) {
    TCellInfo Info;
    GetCellInfo(ACol, ARow, Info);
    return GetColumns()->GetItem(ACol)->GetDrawText(Info);
}

WideString TNextGrid::GetHintText(int ACol, int ARow) {
    TCellInfo Info;
    GetCellInfo(ACol, ARow, Info);
    return GetColumns()->GetItem(ACol)->GetHintText(Info);
}

TColor TNextGrid::GetCellColor(int ACol, int ARow) {
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    if (Column->GetParentCellColor()) return GetColor();
    return FCells->GetCell(ACol, ARow)->GetColor();
}

bool TNextGrid::IsCellEmpty(int ACol, int ARow) {
    return FCells->GetCell(ACol, ARow)->GetEmpty();
}

void TNextGrid::ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) {
    // The store follows the collection before the view looks at the new columns.
    FCells->ColumnsChange(Operation, Value1, Value2);
    TNxCustomGrid::ColumnsChange(Operation, Value1, Value2);
}

// ---------------------------------------------------------------------------------------------
// A cell's value and text formatting for painting

bool TNextGrid::DrawCellData(int ACol, int ARow, TCellState CellState) {
    TNxCustomGrid::DrawCellData(ACol, ARow, CellState);
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    TCellInfo Info;
    GetCellInfo(ACol, ARow, Info);
    if (auto* Display = dynamic_cast<TVirtualColElement*>(Column->GetColumnDisplay()))
        Display->LoadValue(Info);
    ApplyCellFormating(ACol, ARow, Column->GetDrawText(Info), CellState);
    return true;
}

void TNextGrid::ApplyCellFormating(int ACol, int ARow, const WideString& /*Text*/, TCellState CellState) {
    TFont* Font = GetCanvas()->GetFont();
    TFontStyles FontStyle = FCells->GetCell(ACol, ARow)->GetFontStyle();
    if (CellState.Contains(csBoldTextSelection)) FontStyle.Include(fsBold);
    TColor TextColor = Font->GetColor();
    DoCellFormating(ACol, ARow, TextColor, FontStyle, CellState);
    Font->SetStyle(FontStyle);
    Font->SetColor(TextColor);
}

void TNextGrid::DoCellFormating(int ACol, int ARow, TColor& TextColor, TFontStyles& FontStyle,
                                TCellState CellState) {
    if (OnCellFormating) OnCellFormating(this, ACol, ARow, TextColor, FontStyle, CellState);
}

void TNxCustomGrid::DoSelectionMove(int& ACol, int ARow, TMoveSelectionKey Key) {
    if (OnSelectionMove) OnSelectionMove(this, ACol, ARow, Key);
}
