// Rows made from lists of texts, reserved and made at load; cells found by name; the row tree.
#include "grid/view/NextGrid.h"

#include "grid/model/TreeColumn.h"
#include "grid/view/ColumnDisplay.h"

#include <algorithm>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/List.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// Rows from texts

int TNextGrid::AddCells(const std::vector<WideString>& Values) {
    const int Columns = GetColumns()->Count();
    if (Columns == 0) return AddRow(1);
    size_t Next = 0;
    do {
        const int Row = AddRow(1);
        for (int c = 0; c < Columns && Next < Values.size(); ++c, ++Next)
            FCells->GetCell(c, Row)->SetAsString(Values[Next]);
    } while (Next < Values.size());
    return FLastAddedRow;
}

void TNextGrid::AddCells(const std::vector<WideString>& Values, int ACol) {
    if (!GetColumns()->Exists(ACol)) TList::Error(SListIndexError, ACol);
    const int Needed = static_cast<int>(Values.size());
    if (FCells->GetRowCount() < Needed) AddRow(Needed - FCells->GetRowCount());
    for (int Row = 0; Row < Needed; ++Row)
        FCells->GetCell(ACol, Row)->SetAsString(Values[static_cast<size_t>(Row)]);
}

void TNextGrid::ReserveRows(int Count) {
    if (Count < 1) return;
    FCells->AddRow(Count);
    FLastAddedRow = FCells->GetRowCount() - 1;
    if (IsUpdating()) return;
    RefreshArea(gaBody);
    RefreshArea(gaIndicator);
    UpdateVertScrollBar();
}

void TNextGrid::SetStartRowCount(int Value) {
    if (Value == FStartRowCount || Value < 0) return;
    const int Old = FStartRowCount;
    FStartRowCount = Value;
    if (Value > Old) {
        AddRow(Value - Old);
    } else {
        for (int Remove = std::min(Old, FCells->GetRowCount()) - Value; Remove > 0; --Remove)
            DeleteRow(0);
    }
    RefreshArea(gaBody);
}

// ---------------------------------------------------------------------------------------------
// Cells by name

namespace {
WideString NameText(const TCellName& Name) {
    if (const int* Number = std::get_if<int>(&Name)) return IntToStr(*Number);
    return std::get<WideString>(Name);
}

[[noreturn]] void InvalidName(const char* Kind, const TCellName& Name, const TComponent& Grid) {
    throw Exception(Format(std::string("Invalid ") + Kind + "name '%s' for '%s:%s'.",
                           {WideToUtf8(NameText(Name)), Grid.ClassName(), Grid.GetName()}));
}
} // namespace

int TNextGrid::RowIndexByName(const TCellName& Name) {
    if (const int* Number = std::get_if<int>(&Name)) return *Number;
    const WideString& Text = std::get<WideString>(Name);
    if (SameText(Text, WideString(u"First"))) return 0;
    if (SameText(Text, WideString(u"Last"))) return FCells->GetRowCount() - 1;
    if (SameText(Text, WideString(u"Selected"))) return GetSelectedRow();
    int Value = 0;
    if (!TryStrToInt(Text, Value)) InvalidName("Row", Name, *this);
    return Value;
}

int TNextGrid::ColumnIndexByName(const TCellName& Name) {
    if (const int* Number = std::get_if<int>(&Name)) return *Number;
    const WideString& Text = std::get<WideString>(Name);
    if (SameText(Text, WideString(u"First"))) return 0;
    if (SameText(Text, WideString(u"Last"))) return GetColumns()->Count() - 1;
    if (SameText(Text, WideString(u"Selected"))) return GetSelectedColumn();
    if (TNxCustomColumn* Column = GetColumns()->GetColumn(WideToAnsi(Text))) return Column->GetIndex();
    int Value = 0;
    if (!TryStrToInt(Text, Value)) InvalidName("Column", Name, *this);
    return Value;
}

TCell* TNextGrid::GetCellByName(const TCellName& AColumn, const TCellName& ARow) {
    const int Row = RowIndexByName(ARow);
    const int Col = ColumnIndexByName(AColumn);
    return GetCell(Col, Row);
}

WideString TNextGrid::GetCellsByName(const TCellName& AColumn, const TCellName& ARow) {
    return GetCellByName(AColumn, ARow)->GetAsString();
}

void TNextGrid::SetCellsByName(const TCellName& AColumn, const TCellName& ARow, const WideString& Value) {
    GetCellByName(AColumn, ARow)->SetAsString(Value);
}

int TNextGrid::GetRowImageIndex(int ARow) {
    return FCells->GetRow(ARow)->ImageIndex;
}

void TNextGrid::SetRowImageIndex(int ARow, int Value) {
    TRow* Row = FCells->GetRow(ARow);
    if (Row->ImageIndex == Value) return;
    Row->ImageIndex = Value;
    if (!IsUpdating()) RefreshRow(ARow);
}

// ---------------------------------------------------------------------------------------------
// The row tree. Descendants follow their row directly and are deeper, so each question is
// answered by walking from the row itself, never by searching the store for a record.

int TNextGrid::GetLastChild(int ARow) {
    const int Level = FCells->GetRow(ARow)->Level;
    const int Count = FCells->GetRowCount();
    int Last = ARow;
    while (Last + 1 < Count && FCells->GetRow(Last + 1)->Level > Level)
        ++Last;
    return Last > ARow ? Last : -1;
}

int TNextGrid::GetFirstChild(int ARow) {
    const int Level = FCells->GetRow(ARow)->Level;
    if (ARow + 1 < FCells->GetRowCount() && FCells->GetRow(ARow + 1)->Level > Level) return ARow + 1;
    return -1;
}

int TNextGrid::GetChildCount(int ARow, bool Recurse) {
    const int Last = GetLastChild(ARow);
    if (Last < 0) return 0;
    if (Recurse) return Last - ARow;
    const int ChildLevel = FCells->GetRow(ARow)->Level + 1;
    int Count = 0;
    for (int Row = ARow + 1; Row <= Last; ++Row)
        if (FCells->GetRow(Row)->Level == ChildLevel) ++Count;
    return Count;
}

int TNextGrid::GetNextSibling(int ARow) {
    const int Level = FCells->GetRow(ARow)->Level;
    for (int Row = ARow + 1; Row < FCells->GetRowCount(); ++Row) {
        const int RowLevel = FCells->GetRow(Row)->Level;
        if (RowLevel < Level) return -1;
        if (RowLevel == Level) return Row;
    }
    return -1;
}

int TNextGrid::GetPrevSibling(int ARow) {
    const int Level = FCells->GetRow(ARow)->Level;
    for (int Row = ARow - 1; Row >= 0; --Row) {
        const int RowLevel = FCells->GetRow(Row)->Level;
        if (RowLevel < Level) return -1;
        if (RowLevel == Level) return Row;
    }
    return -1;
}

int TNextGrid::GetParent(int ARow) {
    const int Level = FCells->GetRow(ARow)->Level;
    if (Level == 0) return -1;
    for (int Row = ARow - 1; Row >= 0; --Row)
        if (FCells->GetRow(Row)->Level < Level) return Row;
    return -1;
}

bool TNextGrid::HasChildren(int ARow) {
    return FCells->GetRow(ARow)->ChildCount > 0;
}

void TNextGrid::ParentRowProc(int& ARow, int& NextSibling) {
    ARow = GetParent(ARow);
    NextSibling = ARow >= 0 ? GetNextSibling(ARow) : -1;
}

void TNextGrid::SetDisplayParams(int ACol, int ARow, TColumnDisplay* Display) {
    if (!dynamic_cast<TNxTreeColumn*>(GetColumns()->GetItem(ACol))) return;
    const TRow* Row = FCells->GetRow(ARow);
    TTreeRowData Data;
    Data.Row = ARow;
    Data.ChildCount = Row->ChildCount;
    Data.Level = Row->Level;
    Data.Expanded = Row->Expanded;
    Data.FirstVisible = ARow == GetFirstVisibleRow();
    Data.LastSibling = GetNextSibling(ARow) < 0;
    Display->SetTreeRowData(Data);
}

void TNextGrid::DeleteChildRow(int AParent, int AIndex) {
    const int Last = GetLastChild(AParent);
    if (Last < 0) return;
    const int ChildLevel = FCells->GetRow(AParent)->Level + 1;
    int Target = -1;
    for (int Row = AParent + 1, Child = 0; Row <= Last && AIndex >= 0; ++Row) {
        if (FCells->GetRow(Row)->Level != ChildLevel) continue;
        if (Child++ == AIndex) {
            Target = Row;
            break;
        }
    }
    if (Target < 0) TList::Error(SListIndexError, AIndex);
    const bool OnlyDescendant = Last == AParent + 1;
    DeleteRow(Target);
    if (OnlyDescendant && !IsUpdating()) RefreshRow(AParent);
}

void TNextGrid::ClearChildRows(int ARow) {
    const int Last = GetLastChild(ARow);
    if (Last < 0) {
        FCells->GetRow(ARow)->ChildCount = 0;
        return;
    }
    EndEditing();
    for (int Row = Last; Row > ARow; --Row)
        DeleteStoreRow(Row);
    FCells->GetRow(ARow)->ChildCount = 0;
    // Rows below the block move up by its size; a row inside it lands on ARow.
    const int Removed = Last - ARow;
    auto Follow = [&](int Index) { return Index > Last ? Index - Removed : Index > ARow ? ARow : Index; };
    const int Current = GetSelectedRow();
    SetSelectedRowDirect(Follow(Current));
    if (Current > ARow && Current <= Last && !GetGridState().Contains(gtMultiSelect))
        StoreSelected(ARow, true);
    SetTopRowDirect(Follow(GetTopRow()));
    SyncVertPosition();
    UpdateVertScrollBar();
    if (IsUpdating()) return;
    RefreshArea(gaBody);
    RefreshArea(gaIndicator);
}
