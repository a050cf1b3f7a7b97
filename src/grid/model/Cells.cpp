#include "grid/model/Cells.h"

#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

[[noreturn]] void ListIndexError(int Index) {
    throw EListError(Format(SListIndexError, {Index}));
}

} // namespace

TCells::TCells(TNxGridHost* AGrid, TNxColumns* AColumns)
    : FColumns(AColumns), FGrid(AGrid), FRows(std::make_unique<TList>()) {}

TCells::~TCells() {
    ClearRows();
    // Clearing the columns without reporting: nobody listens any more.
    for (auto& List : FColumnLists)
        FreeColumnCells(*List);
    FColumnLists.clear();
}

// ---------------------------------------------------------------------------------------------
// Lookups

TList& TCells::ListOf(int ACol) const {
    if (ACol < 0 || ACol >= GetColumnCount()) ListIndexError(ACol);
    return *FColumnLists[static_cast<size_t>(ACol)];
}

void TCells::CheckRow(int Index) const {
    if (Index < 0 || Index >= FRowCount) ListIndexError(Index);
}

TCell* TCells::GetCell(int ACol, int ARow) {
    TList& List = ListOf(ACol);
    CheckRow(ARow);
    FCurrentColumn = ACol;
    FCurrentRow = ARow;
    return static_cast<TCell*>(List.Get(ARow));
}

TRow* TCells::GetRow(int Index) const {
    CheckRow(Index);
    return static_cast<TRow*>(FRows->Get(Index));
}

int TCells::GetRowIndex(const TRow* ARow) const {
    return FRows->IndexOf(const_cast<TRow*>(ARow));
}

int TCells::GetCellColumnIndex(const TCell* ACell) const {
    for (int c = 0; c < GetColumnCount(); ++c)
        if (FColumnLists[static_cast<size_t>(c)]->IndexOf(const_cast<TCell*>(ACell)) >= 0) return c;
    return -1;
}

int TCells::GetCellRowIndex(const TCell* ACell) const {
    for (const auto& List : FColumnLists) {
        int Row = List->IndexOf(const_cast<TCell*>(ACell));
        if (Row >= 0) return Row;
    }
    return -1;
}

TNxCustomColumn* TCells::ColumnAt(int Index) const {
    return FColumns->GetItem(Index);
}

// ---------------------------------------------------------------------------------------------
// Creating cells

TCell* TCells::NewCell(TNxCustomColumn* AColumn, TCreatePlace Place) {
    TCell* Cell = nullptr;
    switch (AColumn->GetColumnType()) {
    case ctAutoInc:
        if (Place == TCreatePlace::Add || Place == TCreatePlace::Child)
            Cell = new TIncrementCell(this);
        else
            Cell = new TIntegerCell(this);
        break;
    case ctBoolean:
        Cell = new TBooleanCell(this);
        break;
    case ctDate:
        Cell = new TDateTimeCell(this);
        break;
    case ctFloat:
        Cell = new TFloatCell(this);
        break;
    case ctGuid:
        if (Place == TCreatePlace::Add || Place == TCreatePlace::InsertColumn)
            Cell = new TGuidCell(this);
        else
            Cell = new TStringCell(this);
        break;
    case ctInteger:
        Cell = new TIntegerCell(this);
        break;
    case ctVirtual: {
        auto* Virtual = new TVirtualCell(this);
        Virtual->SetColumn(AColumn);
        Cell = Virtual;
        break;
    }
    default:
        Cell = new TStringCell(this);
        break;
    }
    // Still locked: the initial copy reports nothing.
    Cell->SetFontStyle(AColumn->GetFont()->GetStyle());
    Cell->SetColor(AColumn->GetColor());
    Cell->SetLocked(false);
    return Cell;
}

TCell* TCells::CreateCell(TNxCustomColumn* AColumn) {
    return NewCell(AColumn, TCreatePlace::Child);
}

// ---------------------------------------------------------------------------------------------
// Rows

void TCells::AddRow(int Count) {
    for (int i = 0; i < Count; ++i) {
        auto* Row = new TRow;
        Row->Height = FDefaultRowHeight;
        ++FVisibleRowCount;
        FRows->Add(Row);
        for (int c = 0; c < GetColumnCount(); ++c)
            FColumnLists[static_cast<size_t>(c)]->Add(NewCell(ColumnAt(c), TCreatePlace::Add));
        ++FRowCount;
    }
    if (Count > 0) FSorted = false;
}

void TCells::InsertRow(int Index) {
    if (Index < 0 || Index > FRowCount) ListIndexError(Index);
    for (int c = 0; c < GetColumnCount(); ++c)
        FColumnLists[static_cast<size_t>(c)]->Insert(Index, NewCell(ColumnAt(c), TCreatePlace::Insert));
    auto* Row = new TRow;
    Row->Height = FDefaultRowHeight;
    FRows->Insert(Index, Row);
    ++FVisibleRowCount;
    ++FRowCount;
    FSorted = false;
}

void TCells::DeleteRow(int Index) {
    CheckRow(Index);
    for (auto& List : FColumnLists) {
        delete static_cast<TCell*>(List->Get(Index));
        List->Delete(Index);
    }
    --FRowCount;
    auto* Row = static_cast<TRow*>(FRows->Get(Index));
    if (Row->Visible) --FVisibleRowCount;
    delete Row;
    FRows->Delete(Index);
}

void TCells::FreeColumnCells(TList& List) {
    for (int r = 0; r < List.Count(); ++r)
        delete static_cast<TCell*>(List.Get(r));
    List.Clear();
}

void TCells::FreeAllRows() {
    for (int r = 0; r < FRows->Count(); ++r)
        delete static_cast<TRow*>(FRows->Get(r));
    FRows->Clear();
    FRowCount = 0;
    FVisibleRowCount = 0;
}

void TCells::ClearRows() {
    for (auto& List : FColumnLists)
        FreeColumnCells(*List);
    FreeAllRows();
    FSorted = false;
}

void TCells::MoveRow(int CurIndex, int NewIndex) {
    CheckRow(CurIndex);
    CheckRow(NewIndex);
    FRows->Move(CurIndex, NewIndex);
    for (auto& List : FColumnLists)
        List->Move(CurIndex, NewIndex);
    FSorted = false;
}

void TCells::SwapRows(int Index1, int Index2) {
    CheckRow(Index1);
    CheckRow(Index2);
    FRows->Exchange(Index1, Index2);
    for (auto& List : FColumnLists)
        List->Exchange(Index1, Index2);
}

// ---------------------------------------------------------------------------------------------
// The row tree

void TCells::AddChildRow(int AParent, int AIndex) {
    TRow* Parent = GetRow(AParent);
    if (AIndex < 0 || AIndex > FRowCount) ListIndexError(AIndex);
    auto* Row = new TRow;
    Row->ParentRow = Parent;
    Row->Shown = Parent->Expanded;
    Row->Height = FDefaultRowHeight;
    Row->Level = Parent->Level + 1;
    ++Parent->ChildCount;
    FRows->Insert(AIndex, Row);
    ++FRowCount;
    if (Parent->Expanded) ++FVisibleRowCount;
    for (int c = 0; c < GetColumnCount(); ++c)
        FColumnLists[static_cast<size_t>(c)]->Insert(AIndex, CreateCell(ColumnAt(c)));
}

void TCells::MoveChildRow(int Index, TRow* AParent) {
    TRow* Row = GetRow(Index);
    if (AParent) Row->Shown = AParent->Expanded;
    Row->Height = FDefaultRowHeight;
}

int TCells::GetChildCount(const TRow* ARow) const {
    int Index = GetRowIndex(ARow);
    if (Index < 0) return 0;
    int Count = 0;
    for (int r = Index + 1; r<FRowCount&& static_cast<TRow*>(FRows->Get(r))->Level> ARow->Level; ++r)
        ++Count;
    return Count;
}

int TCells::GetChildsCount(const TRow* ARow) const {
    int Index = GetRowIndex(ARow);
    if (Index < 0) return 0;
    int Count = 0;
    for (int r = Index + 1; r < FRowCount; ++r) {
        auto* Row = static_cast<TRow*>(FRows->Get(r));
        if (Row->Level <= ARow->Level) break;
        if (Row->Level == ARow->Level + 1) ++Count;
    }
    return Count;
}

// The row index of ARow's direct child number AIndex (from 0), or -1.
int TCells::GetAbsoluteIndex(int AIndex, const TRow* ARow) const {
    int Index = GetRowIndex(ARow);
    if (Index < 0 || AIndex < 0) return -1;
    int Child = 0;
    for (int r = Index + 1; r < FRowCount; ++r) {
        auto* Row = static_cast<TRow*>(FRows->Get(r));
        if (Row->Level <= ARow->Level) break;
        if (Row->Level == ARow->Level + 1) {
            if (Child == AIndex) return r;
            ++Child;
        }
    }
    return -1;
}

void TCells::ShowRow(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Row->Visible == Value) return;
    Row->Visible = Value;
    FVisibleRowCount += Value ? 1 : -1;
}

void TCells::ExpandRow(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Row->Shown == Value) return;
    Row->Shown = Value;
    FVisibleRowCount += Value ? 1 : -1;
}

// ---------------------------------------------------------------------------------------------
// Columns

void TCells::ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) {
    switch (Operation) {
    case opAdd: {
        // The cells belong to the last column of the collection.
        TNxCustomColumn* Column = ColumnAt(FColumns->Count() - 1);
        auto List = std::make_unique<TList>();
        for (int r = 0; r < FRowCount; ++r)
            List->Add(NewCell(Column, TCreatePlace::Add));
        FColumnLists.push_back(std::move(List));
        break;
    }
    case opDelete: {
        if (Value1 < 0 || Value1 >= GetColumnCount()) ListIndexError(Value1);
        FreeColumnCells(*FColumnLists[static_cast<size_t>(Value1)]);
        FColumnLists.erase(FColumnLists.begin() + Value1);
        // Rows cannot exist without a column.
        if (FColumnLists.empty()) FreeAllRows();
        break;
    }
    case opClear:
        for (auto& List : FColumnLists)
            FreeColumnCells(*List);
        FColumnLists.clear();
        FreeAllRows();
        break;
    case opInsert: {
        if (Value1 < 0 || Value1 > GetColumnCount()) ListIndexError(Value1);
        TNxCustomColumn* Column = ColumnAt(Value1);
        auto List = std::make_unique<TList>();
        for (int r = 0; r < FRowCount; ++r)
            List->Add(NewCell(Column, TCreatePlace::InsertColumn));
        FSorted = false;
        FColumnLists.insert(FColumnLists.begin() + Value1, std::move(List));
        break;
    }
    case opMove: {
        if (Value1 < 0 || Value1 >= GetColumnCount()) ListIndexError(Value1);
        if (Value2 < 0 || Value2 >= GetColumnCount()) ListIndexError(Value2);
        auto List = std::move(FColumnLists[static_cast<size_t>(Value1)]);
        FColumnLists.erase(FColumnLists.begin() + Value1);
        FColumnLists.insert(FColumnLists.begin() + Value2, std::move(List));
        break;
    }
    }
}

// ---------------------------------------------------------------------------------------------
// Notifications

void TCells::Changed() {
    if (OnCellChange) OnCellChange(this, FCurrentColumn, FCurrentRow);
    FSorted = false;
}

void TCells::DoCellCompare(TCell* Cell1, TCell* Cell2, int& Compare) {
    if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}
