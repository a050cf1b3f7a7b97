#include "grid/model/Columns.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/model/GridHost.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

TNxColumns::TNxColumns(TNxGridHost* AOwner) : FOwner(AOwner) {}

TNxColumns::~TNxColumns() {
    // The grid is going away too; its handlers must not hear of columns freed here.
    FDestroying = true;
    for (int i = FItems.Count() - 1; i >= 0; --i)
        delete ItemAt(i);
    FItems.Clear();
    FPositionItems.Clear();
}

bool TNxColumns::Silenced() const {
    return FDestroying || (FOwner && FOwner->IsDestroying());
}

// ---------------------------------------------------------------------------------------------
// Handlers

void TNxColumns::DoColumnChange(TNxCustomColumn* Column, TColumnChangeKind Kind, int Param) {
    if (OnColumnChange && !FDestroying) OnColumnChange(this, Column, Kind, Param);
}

void TNxColumns::DoChange(TColumnsOperation Operation, TColumnType, int Value1, int Value2) {
    if (OnColumnsChange && !FDestroying) OnColumnsChange(this, Operation, Value1, Value2);
}

void TNxColumns::DoRepaint(TColumnsOperation Operation, TColumnType, int Value1, int Value2) {
    if (OnColumnsRepaint && !FDestroying) OnColumnsRepaint(this, Operation, Value1, Value2);
}

bool TNxColumns::IsReadingState() const {
    return FOwner && FOwner->IsReadingState();
}

void TNxColumns::UpdateColumn(TNxCustomColumn* Column, TGridArea Area) {
    if (FOwner) FOwner->RefreshColumn(Column, Area);
}

// ---------------------------------------------------------------------------------------------
// Adding and removing

TNxCustomColumn* TNxColumns::Add(const TColumnClass& ColumnClass, const WideString& Caption) {
    // Held until set up: a step that raises frees the column, which also leaves the lists.
    std::unique_ptr<TNxCustomColumn> Column(ColumnClass(this));
    AddColumn(Column.get());
    if (FOwner) {
        Column->SetColor(FOwner->GetGridColor());
        Column->SetCursor(FOwner->GetGridCursor());
    }
    Column->TakeGridFont();
    Column->GetHeader()->SetCaption(Caption);
    return Column.release();
}

void TNxColumns::AddColumns(const TColumnClass& ColumnClass, int Count) {
    for (int i = 0; i < Count; ++i)
        Add(ColumnClass, WideString());
}

void TNxColumns::AddColumn(TNxCustomColumn* Column) {
    if (!Column || Column->FCollection == this) return;
    if (Column->FCollection) Column->FCollection->Remove(Column);
    Column->FCollection = this;
    FItems.Add(Column);
    FPositionItems.Add(Column);
    Column->FPosition = FPositionItems.Count() - 1;
    UpdateColumns(false);
    ResizeColumns(nullptr, false);
    DoChange(opAdd, ctNone, -1, -1);
    DoRepaint(opAdd, ctNone, -1, -1);
}

TNxCustomColumn* TNxColumns::Insert(const TColumnClass& ColumnClass, int Index) {
    if (Index < 0 || Index > Count()) TList::Error(SListIndexError, Index);
    std::unique_ptr<TNxCustomColumn> Column(ColumnClass(this));
    // Set up before it joins: the cells made for the existing rows copy the column's color and
    // font style, and a column outside the collection reports nothing.
    if (FOwner) {
        Column->SetColor(FOwner->GetGridColor());
        Column->SetCursor(FOwner->GetGridCursor());
        // The grid's font whatever ParentFont says, without counting as a change by the user.
        Column->CopyGridFont(FOwner);
    }
    InsertColumn(Column.get(), Index);
    return Column.release();
}

void TNxColumns::InsertColumn(TNxCustomColumn* Column, int Index) {
    if (Index < 0 || Index > Count()) TList::Error(SListIndexError, Index);
    if (!Column || Column->FCollection == this) return;
    if (Column->FCollection) Column->FCollection->Remove(Column);
    Column->FCollection = this;
    FItems.Insert(Index, Column);
    // On screen it stands last.
    FPositionItems.Add(Column);
    UpdateColumns(true);
    ResizeColumns(nullptr, false);
    DoChange(opInsert, ctNone, Index, -1);
    DoRepaint(opInsert, ctNone, Index, -1);
}

void TNxColumns::JoinWhileReading(TNxCustomColumn* Column) {
    if (!Column || Column->FCollection == this) return;
    if (Column->FCollection) Column->FCollection->Remove(Column);
    Column->FCollection = this;
    FItems.Add(Column);
    DoChange(opAdd, ctNone, -1, -1);
}

void TNxColumns::Delete(int Index) {
    delete GetItem(Index);
}

void TNxColumns::Remove(TNxCustomColumn* Column) {
    int Index = FItems.IndexOf(Column);
    if (Index >= 0) {
        FItems.Delete(Index);
        DoChange(opDelete, ctNone, Index, -1);
    }
    int Pos = FPositionItems.IndexOf(Column);
    if (Pos >= 0) FPositionItems.Delete(Pos);
    if (Column && Column->FCollection == this) Column->FCollection = nullptr;
    if (Silenced()) return;
    UpdateColumns(true);
    ResizeColumns(nullptr, false);
    DoRepaint(opDelete, ctNone, Index, -1);
}

void TNxColumns::Clear() {
    for (int i = FItems.Count() - 1; i >= 0; --i) {
        // A column may have been taken out by a handler already.
        if (i < FItems.Count()) delete ItemAt(i);
    }
    FItems.Clear();
    FPositionItems.Clear();
    DoChange(opClear, ctNone, -1, -1);
    DoRepaint(opClear, ctNone, -1, -1);
}

// ---------------------------------------------------------------------------------------------
// The two orders

void TNxColumns::Move(int CurIndex, int NewIndex) {
    if (!Exists(CurIndex) || !Exists(NewIndex)) return;
    FItems.Move(CurIndex, NewIndex);
    UpdateColumns(false);
    DoChange(opMove, ctNone, CurIndex, NewIndex);
    DoRepaint(opMove, ctNone, CurIndex, NewIndex);
}

void TNxColumns::ChangePosition(int CurPos, int NewPos) {
    if (CurPos == NewPos) return;
    FPositionItems.Move(CurPos, NewPos);
    UpdateColumns(true);
    DoColumnChange(PositionAt(NewPos), ccPosition, CurPos);
}

TNxCustomColumn* TNxColumns::GetItem(int Index) const {
    return ItemAt(Index);
}

int TNxColumns::IndexOf(const TNxCustomColumn* Column) const {
    return FItems.IndexOf(const_cast<TNxCustomColumn*>(Column));
}

TNxCustomColumn* TNxColumns::GetColumn(const AnsiString& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(ItemAt(i)->GetName(), Name)) return ItemAt(i);
    return nullptr;
}

TNxCustomColumn* TNxColumns::GetPositionItem(int Pos) const {
    return PositionAt(Pos);
}

void TNxColumns::SetPositionItem(int Pos, TNxCustomColumn* Column) {
    FPositionItems.Put(Pos, Column);
}

// ---------------------------------------------------------------------------------------------
// Visible columns

int TNxColumns::VisibleCount() const {
    int Result = 0;
    for (int i = 0; i < Count(); ++i)
        if (ItemAt(i)->GetVisible()) ++Result;
    return Result;
}

int TNxColumns::ClientWidth() const {
    int64_t Result = 0;
    for (int i = 0; i < Count(); ++i)
        if (ItemAt(i)->GetVisible()) Result += ItemAt(i)->GetWidth();
    return static_cast<int>(std::clamp<int64_t>(Result, INT_MIN, INT_MAX));
}

TNxCustomColumn* TNxColumns::First() const {
    for (int p = 0; p < FPositionItems.Count(); ++p)
        if (PositionAt(p)->GetVisible()) return PositionAt(p);
    return nullptr;
}

TNxCustomColumn* TNxColumns::Last() const {
    for (int p = FPositionItems.Count() - 1; p >= 0; --p)
        if (PositionAt(p)->GetVisible()) return PositionAt(p);
    return nullptr;
}

TNxCustomColumn* TNxColumns::FirstEnabled() const {
    for (int p = 0; p < FPositionItems.Count(); ++p)
        if (PositionAt(p)->GetVisible() && PositionAt(p)->GetEnabled()) return PositionAt(p);
    return nullptr;
}

TNxCustomColumn* TNxColumns::LastEnabled() const {
    for (int p = FPositionItems.Count() - 1; p >= 0; --p)
        if (PositionAt(p)->GetVisible() && PositionAt(p)->GetEnabled()) return PositionAt(p);
    return nullptr;
}

TNxCustomColumn* TNxColumns::GetNextColumn(TNxCustomColumn* Column) const {
    int Pos = FPositionItems.IndexOf(Column);
    if (Pos < 0) return Column;
    for (int p = Pos + 1; p < FPositionItems.Count(); ++p)
        if (PositionAt(p)->GetVisible() && PositionAt(p)->GetEnabled()) return PositionAt(p);
    return Column;
}

TNxCustomColumn* TNxColumns::GetPrevColumn(TNxCustomColumn* Column) const {
    int Pos = FPositionItems.IndexOf(Column);
    if (Pos < 0) return Column;
    for (int p = Pos - 1; p >= 0; --p)
        if (PositionAt(p)->GetVisible() && PositionAt(p)->GetEnabled()) return PositionAt(p);
    return Column;
}

bool TNxColumns::Clipped(const TNxCustomColumn* Column) const {
    if (!Column || Column->GetPosition() < FFixedCols) return false;
    int HorzPos = FOwner ? FOwner->GetHorzScrollPos() : 0;
    return Column->GetLeft() + Column->GetWidth() - HorzPos < FFixedWidth;
}

void TNxColumns::HideAll() {
    for (int i = 0; i < Count(); ++i) {
        TNxCustomColumn* Column = ItemAt(i);
        Column->FVisible = false;
        Column->FVisibleIndex = -1;
        Column->FLeft = 0;
        Column->Notify(ccVisibleChange);
        Column->NotifyColumnChange(ccVisible);
    }
    DoRepaint(opDelete, ctNone, -1, -1);
}

AnsiString TNxColumns::UniqueName(const AnsiString& BaseName) const {
    for (int i = 1;; ++i) {
        AnsiString Name = BaseName + std::to_string(i);
        bool Taken = FOwner ? FOwner->OwnerHasComponent(Name) : GetColumn(Name) != nullptr;
        if (!Taken) return Name;
    }
}

// ---------------------------------------------------------------------------------------------
// Layout

void TNxColumns::SetFixedCols(int Value) {
    FFixedCols = Value;
    UpdateColumns(false);
}

void TNxColumns::UpdateFixedWidth() {
    FFixedWidth = 0;
    int Places = std::min(FFixedCols, FPositionItems.Count());
    for (int p = 0; p < Places; ++p)
        if (PositionAt(p)->GetVisible()) FFixedWidth += PositionAt(p)->GetWidth();
}

void TNxColumns::UpdateColumns(bool UpdatePositions) {
    UpdateFixedWidth();
    int Left = FOwner ? FOwner->GetBodyRect().Left : 0;
    int VisibleIndex = 0;
    for (int p = 0; p < FPositionItems.Count(); ++p) {
        TNxCustomColumn* Column = PositionAt(p);
        if (Column->GetVisible()) {
            Column->FLeft = Left;
            Column->FVisibleIndex = VisibleIndex;
            // Past the last place a column can start, edges stop growing: an edge plus a width
            // stays within int.
            Left = static_cast<int>(
                std::min<int64_t>(int64_t(Left) + Column->GetWidth(), INT_MAX - kMaxColumnWidth));
            ++VisibleIndex;
        } else {
            Column->FVisibleIndex = -1;
        }
        if (UpdatePositions) Column->FPosition = p;
    }
}

void TNxColumns::ResizeColumns(TNxCustomColumn* Column, bool FromColumnStart) {
    if (IsReadingState()) return;
    int FirstPlace = 0;
    int Space = 0;
    if (Column) {
        int Pos = FPositionItems.IndexOf(Column);
        if (Pos < 0) return;
        if (FromColumnStart) {
            FirstPlace = Pos;
            Space = Column->GetLeft();
        } else {
            FirstPlace = Pos + 1;
            Space = Column->GetVisible() ? Column->GetLeft() + Column->GetWidth() : Column->GetLeft();
        }
        if (FOwner && FOwner->ShowsIndicator()) Space -= 12;
    }
    int64_t AutoSum = 0;
    int64_t FixedSum = 0;
    for (int p = FirstPlace; p < FPositionItems.Count(); ++p) {
        TNxCustomColumn* Item = PositionAt(p);
        if (!Item->GetVisible()) continue;
        if (Item->GetOptions().Contains(coAutoSize))
            AutoSum += Item->GetWidth();
        else
            FixedSum += Item->GetWidth();
    }
    // Nothing to distribute (and nothing to divide by).
    if (AutoSum <= 0) return;
    int64_t InnerWidth = FOwner ? FOwner->GetInnerWidth() : 0;
    double Free = static_cast<double>(InnerWidth - Space - FixedSum);
    for (int p = FirstPlace; p < FPositionItems.Count(); ++p) {
        TNxCustomColumn* Item = PositionAt(p);
        if (!Item->GetVisible() || !Item->GetOptions().Contains(coAutoSize)) continue;
        double Share = static_cast<double>(Item->GetWidth()) / static_cast<double>(AutoSum) * Free;
        int64_t Width = Round(std::clamp(Share, -2147483648.0, 2147483647.0));
        Item->SetSilentWidth(static_cast<int>(Width));
    }
}

void TNxColumns::UpdatePositionList(TNxCustomColumn* Column) {
    if (!Column) return;
    int Existing = FPositionItems.IndexOf(Column);
    if (Existing >= 0) FPositionItems.Delete(Existing);
    for (int p = 0; p < FPositionItems.Count(); ++p) {
        TNxCustomColumn* Item = PositionAt(p);
        if (!Column->GetName().empty() && Item->GetName() == Column->GetName()) {
            Item->Assign(Column);
            return;
        }
    }
    for (int p = 0; p < FPositionItems.Count(); ++p) {
        if (PositionAt(p)->GetPosition() > Column->GetPosition()) {
            FPositionItems.Insert(p, Column);
            return;
        }
    }
    FPositionItems.Add(Column);
}

void TNxColumns::GridFontChanged() {
    for (int i = 0; i < Count(); ++i)
        ItemAt(i)->TakeGridFont();
}
