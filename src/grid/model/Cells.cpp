#include "grid/model/Cells.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>
#include <type_traits>

#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

[[noreturn]] void ListIndexError(int Index) {
    throw EListError(Format(SListIndexError, {Index}));
}

// Live stores by number, so a cell names its store in two bytes; numbers of stores gone are
// given out again. Slot 0 stays empty for cells without a store.
constexpr size_t kStoreSlots = 65536;
std::mutex GStoresLock;
TCells* GStores[kStoreSlots] = {};
std::vector<uint16_t> GFreeStoreIds;
size_t GNextStoreId = 1;

uint16_t NumberStore(TCells* Store) {
    std::lock_guard<std::mutex> Lock(GStoresLock);
    uint16_t Id;
    if (!GFreeStoreIds.empty()) {
        Id = GFreeStoreIds.back();
        GFreeStoreIds.pop_back();
    } else if (GNextStoreId < kStoreSlots) {
        Id = static_cast<uint16_t>(GNextStoreId++);
    } else {
        throw EInvalidOperation("At most 65,535 grids hold cells at once");
    }
    GStores[Id] = Store;
    return Id;
}

void ForgetStore(uint16_t Id) noexcept {
    std::lock_guard<std::mutex> Lock(GStoresLock);
    GStores[Id] = nullptr;
    try {
        GFreeStoreIds.push_back(Id);
    } catch (...) {
        // The number is not given out again; no harm beyond that.
    }
}

} // namespace

// Slots of the first pool fit every kind but the GUID's, which alone goes to the second.
constexpr size_t kCellSlotSize =
    std::max({sizeof(TBooleanCell), sizeof(TDateTimeCell), sizeof(TFloatCell), sizeof(TIntegerCell),
              sizeof(TStringCell), sizeof(TIncrementCell), sizeof(TVirtualCell)});
constexpr size_t kCellAlignment =
    std::max({alignof(TBooleanCell), alignof(TDateTimeCell), alignof(TFloatCell), alignof(TIntegerCell),
              alignof(TStringCell), alignof(TIncrementCell), alignof(TGuidCell), alignof(TVirtualCell)});
static_assert(kCellSlotSize <= 24, "the common cell kinds stay at 24 bytes");
static_assert(sizeof(TRow) <= 32, "a row record stays at 32 bytes");
// Bits of a cell's slot kind: the pool its slot is in, and whether its value follows the current
// coordinates.
constexpr uint8_t kLargeSlot = 1;
constexpr uint8_t kAtCoordinates = 2;

TCells::TCells(TNxGridHost* AGrid, TNxColumns* AColumns)
    : FStoreId(NumberStore(this)), FCellPool(kCellSlotSize, kCellAlignment),
      FLargeCellPool(sizeof(TGuidCell), kCellAlignment), FRowPool(sizeof(TRow), alignof(TRow)),
      FColumns(AColumns), FGrid(AGrid) {}

TCells::~TCells() {
    ClearRows();
    // Clearing the columns without reporting: nobody listens any more.
    for (auto& List : FColumnLists)
        FreeColumnCells(List);
    FColumnLists.clear();
    ForgetStore(FStoreId);
}

TCells* TCells::StoreOf(uint16_t Id) noexcept {
    return GStores[Id];
}

// ---------------------------------------------------------------------------------------------
// Lookups

TCells::TCellList& TCells::ListOf(int ACol) {
    if (ACol < 0 || ACol >= GetColumnCount()) ListIndexError(ACol);
    return FColumnLists[static_cast<size_t>(ACol)];
}

void TCells::CheckRow(int Index) const {
    if (Index < 0 || Index >= FRowCount) ListIndexError(Index);
}

TCell* TCells::GetCell(int ACol, int ARow) {
    TCellList& List = ListOf(ACol);
    CheckRow(ARow);
    FCurrentColumn = ACol;
    FCurrentRow = ARow;
    return List[static_cast<size_t>(ARow)];
}

const TCell* TCells::PeekCell(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= GetColumnCount()) ListIndexError(ACol);
    CheckRow(ARow);
    return FColumnLists[static_cast<size_t>(ACol)][static_cast<size_t>(ARow)];
}

void TCells::PrefetchRow(const std::vector<int>& Cols, int ARow, bool Values) const {
    if (ARow < 0 || ARow >= FRowCount) return;
    for (int Col : Cols) {
        if (Col < 0 || Col >= GetColumnCount()) continue;
        const TCell* Cell = FColumnLists[static_cast<size_t>(Col)][static_cast<size_t>(ARow)];
        if (Values)
            Cell->PrefetchValue();
        else
            __builtin_prefetch(Cell);
    }
}

TRow* TCells::GetRow(int Index) const {
    CheckRow(Index);
    return FRows[static_cast<size_t>(Index)];
}

int TCells::GetRowIndex(const TRow* ARow) const {
    auto It = std::find(FRows.begin(), FRows.end(), ARow);
    return It == FRows.end() ? -1 : static_cast<int>(It - FRows.begin());
}

int TCells::GetCellColumnIndex(const TCell* ACell) const {
    for (size_t c = 0; c < FColumnLists.size(); ++c) {
        const TCellList& List = FColumnLists[c];
        if (std::find(List.begin(), List.end(), ACell) != List.end()) return static_cast<int>(c);
    }
    return -1;
}

int TCells::GetCellRowIndex(const TCell* ACell) const {
    for (const TCellList& List : FColumnLists) {
        auto It = std::find(List.begin(), List.end(), ACell);
        if (It != List.end()) return static_cast<int>(It - List.begin());
    }
    return -1;
}

TNxCustomColumn* TCells::ColumnAt(int Index) const {
    return FColumns->GetItem(Index);
}

// ---------------------------------------------------------------------------------------------
// Creating and freeing cells and rows

TCells::TCellTemplate TCells::TemplateOf(TNxCustomColumn* AColumn) {
    return {AColumn, AColumn->GetColumnType(), AColumn->GetFont()->GetStyle(), AColumn->GetColor()};
}

const TCells::TCellExtras& TCells::ExtrasOf(const TCell* ACell) const {
    return FCellExtras.find(ACell)->second;
}

TCells::TCellExtras& TCells::ExtrasFor(TCell* ACell) {
    TCellExtras& Extras = FCellExtras[ACell];
    ACell->FHasExtras = true;
    return Extras;
}

void TCells::DropExtras(TCell* ACell) noexcept {
    FCellExtras.erase(ACell);
    ACell->FHasExtras = false;
}

template <typename T> T* TCells::PlaceCell() {
    constexpr bool Large = sizeof(T) > kCellSlotSize;
    constexpr bool AtCoordinates = std::is_same_v<T, TIncrementCell> || std::is_same_v<T, TVirtualCell>;
    T* Cell = new (Large ? FLargeCellPool : FCellPool) T(this);
    Cell->FSlotKind = (Large ? kLargeSlot : 0) | (AtCoordinates ? kAtCoordinates : 0);
    if (AtCoordinates) ++FCoordinateCells;
    return Cell;
}

TCell* TCells::NewCell(const TCellTemplate& Template, TCreatePlace Place) {
    TCell* Cell = nullptr;
    switch (Template.ColumnType) {
    case ctAutoInc:
        if (Place == TCreatePlace::Add || Place == TCreatePlace::Child)
            Cell = PlaceCell<TIncrementCell>();
        else
            Cell = PlaceCell<TIntegerCell>();
        break;
    case ctBoolean:
        Cell = PlaceCell<TBooleanCell>();
        break;
    case ctDate:
        Cell = PlaceCell<TDateTimeCell>();
        break;
    case ctFloat:
        Cell = PlaceCell<TFloatCell>();
        break;
    case ctGuid:
        if (Place == TCreatePlace::Add || Place == TCreatePlace::InsertColumn)
            Cell = PlaceCell<TGuidCell>();
        else
            Cell = PlaceCell<TStringCell>();
        break;
    case ctInteger:
        Cell = PlaceCell<TIntegerCell>();
        break;
    case ctVirtual: {
        auto* Virtual = PlaceCell<TVirtualCell>();
        Virtual->SetColumn(Template.Column);
        Cell = Virtual;
        break;
    }
    default:
        Cell = PlaceCell<TStringCell>();
        break;
    }
    // Still locked: the initial copy reports nothing.
    Cell->SetFontStyle(Template.FontStyle);
    Cell->SetColor(Template.Color);
    Cell->SetLocked(false);
    return Cell;
}

TCell* TCells::CreateCell(TNxCustomColumn* AColumn) {
    return NewCell(TemplateOf(AColumn), TCreatePlace::Child);
}

std::unique_ptr<TCells> TCells::CreateEmptyCopy() const {
    auto Copy = std::make_unique<TCells>(FGrid, FColumns);
    Copy->FColumnLists.resize(FColumnLists.size());
    Copy->FDefaultRowHeight = FDefaultRowHeight;
    Copy->OnCellChange = OnCellChange;
    Copy->OnCompare = OnCompare;
    return Copy;
}

void TCells::FreeCell(TCell* ACell) noexcept {
    if (!ACell) return;
    if (ACell->FHasExtras) FCellExtras.erase(ACell);
    if (ACell->FSlotKind & kAtCoordinates) --FCoordinateCells;
    TSlabPool& Pool = (ACell->FSlotKind & kLargeSlot) ? FLargeCellPool : FCellPool;
    ACell->~TCell();
    Pool.Free(ACell);
}

TRow* TCells::NewRow() {
    auto* Row = new (FRowPool) TRow;
    Row->Height = FDefaultRowHeight;
    return Row;
}

void TCells::FreeRow(TRow* ARow) noexcept {
    if (!ARow) return;
    ARow->~TRow();
    FRowPool.Free(ARow);
}

// ---------------------------------------------------------------------------------------------
// Rows

namespace {

// Room for NewCount items that still grows geometrically, so adding rows one at a time stays
// linear.
template <typename TList> void ReserveFor(TList& List, size_t NewCount) {
    if (NewCount > List.capacity()) List.reserve(std::max(NewCount, List.capacity() + List.capacity() / 2));
}

// A list down to a quarter of its room gives the rest back; a copy of what is left, so deleting
// rows one at a time stays linear. Small lists keep their room.
template <typename TList> void ShrinkAfterDelete(TList& List) {
    constexpr size_t kKeptRoom = 1024;
    if (List.capacity() > kKeptRoom && List.size() < List.capacity() / 4) {
        try {
            TList Smaller;
            Smaller.reserve(std::max(List.size() * 2, kKeptRoom));
            Smaller.assign(List.begin(), List.end());
            List.swap(Smaller);
        } catch (const std::bad_alloc&) {
            // Keeping the larger list is no fault.
        }
    }
}

} // namespace

void TCells::AddRow(int Count) {
    if (Count <= 0) return;
    std::vector<TCellTemplate> Templates;
    Templates.reserve(FColumnLists.size());
    for (int c = 0; c < GetColumnCount(); ++c)
        Templates.push_back(TemplateOf(ColumnAt(c)));
    const size_t NewCount = static_cast<size_t>(FRowCount) + static_cast<size_t>(Count);
    ReserveFor(FRows, NewCount);
    for (TCellList& List : FColumnLists)
        ReserveFor(List, NewCount);
    // Many rows at once: their memory made resident up front, on both processors.
    const size_t Added = static_cast<size_t>(Count);
    const auto GuidColumns = static_cast<size_t>(std::count_if(
        Templates.begin(), Templates.end(), [](const TCellTemplate& T) { return T.ColumnType == ctGuid; }));
    std::vector<TLargeBlockRange> Fresh;
    FRowPool.Reserve(Added, Fresh);
    FCellPool.Reserve(Added * (Templates.size() - GuidColumns), Fresh);
    FLargeCellPool.Reserve(Added * GuidColumns, Fresh);
    if (!Fresh.empty()) {
        AddFreshRoom(FRows, Fresh);
        for (TCellList& List : FColumnLists)
            AddFreshRoom(List, Fresh);
        PopulateLargeBlocks(Fresh);
    }
    for (int i = 0; i < Count; ++i) {
        FRows.push_back(NewRow());
        ++FVisibleRowCount;
        for (size_t c = 0; c < Templates.size(); ++c)
            FColumnLists[c].push_back(NewCell(Templates[c], TCreatePlace::Add));
        ++FRowCount;
    }
    FSorted = false;
}

void TCells::InsertRow(int Index) {
    if (Index < 0 || Index > FRowCount) ListIndexError(Index);
    for (int c = 0; c < GetColumnCount(); ++c) {
        TCellList& List = FColumnLists[static_cast<size_t>(c)];
        List.insert(List.begin() + Index, NewCell(TemplateOf(ColumnAt(c)), TCreatePlace::Insert));
    }
    FRows.insert(FRows.begin() + Index, NewRow());
    ++FVisibleRowCount;
    ++FRowCount;
    FSorted = false;
}

void TCells::DeleteRow(int Index) {
    CheckRow(Index);
    for (TCellList& List : FColumnLists) {
        FreeCell(List[static_cast<size_t>(Index)]);
        List.erase(List.begin() + Index);
    }
    --FRowCount;
    TRow* Row = FRows[static_cast<size_t>(Index)];
    if (IsOnScreen(Row)) --FVisibleRowCount;
    FreeRow(Row);
    FRows.erase(FRows.begin() + Index);
    ShrinkAfterDelete(FRows);
    for (TCellList& List : FColumnLists)
        ShrinkAfterDelete(List);
}

void TCells::FreeColumnCells(TCellList& List) {
    for (TCell* Cell : List)
        FreeCell(Cell);
    List.clear();
    List.shrink_to_fit();
}

void TCells::FreeAllRows() {
    for (TRow* Row : FRows)
        FreeRow(Row);
    FRows.clear();
    FRows.shrink_to_fit();
    FRowCount = 0;
    FVisibleRowCount = 0;
}

void TCells::ClearRows() {
    // Row by row: cells were made row by row, so this walks the pool's memory in order.
    for (size_t r = 0; r < static_cast<size_t>(FRowCount); ++r)
        for (TCellList& List : FColumnLists)
            FreeCell(List[r]);
    for (TCellList& List : FColumnLists) {
        List.clear();
        List.shrink_to_fit();
    }
    FreeAllRows();
    FSorted = false;
}

namespace {

template <typename TList> void MoveItem(TList& List, int CurIndex, int NewIndex) {
    if (CurIndex < NewIndex)
        std::rotate(List.begin() + CurIndex, List.begin() + CurIndex + 1, List.begin() + NewIndex + 1);
    else if (CurIndex > NewIndex)
        std::rotate(List.begin() + NewIndex, List.begin() + CurIndex, List.begin() + CurIndex + 1);
}

} // namespace

void TCells::MoveRow(int CurIndex, int NewIndex) {
    CheckRow(CurIndex);
    CheckRow(NewIndex);
    MoveItem(FRows, CurIndex, NewIndex);
    for (TCellList& List : FColumnLists)
        MoveItem(List, CurIndex, NewIndex);
    FSorted = false;
}

void TCells::SwapRows(int Index1, int Index2) {
    CheckRow(Index1);
    CheckRow(Index2);
    std::swap(FRows[static_cast<size_t>(Index1)], FRows[static_cast<size_t>(Index2)]);
    for (TCellList& List : FColumnLists)
        std::swap(List[static_cast<size_t>(Index1)], List[static_cast<size_t>(Index2)]);
}

// ---------------------------------------------------------------------------------------------
// The row tree

void TCells::AddChildRow(int AParent, int AIndex) {
    TRow* Parent = GetRow(AParent);
    if (AIndex < 0 || AIndex > FRowCount) ListIndexError(AIndex);
    TRow* Row = NewRow();
    Row->ParentRow = Parent;
    Row->Shown = Parent->Expanded;
    Row->Level = Parent->Level + 1;
    ++Parent->ChildCount;
    FRows.insert(FRows.begin() + AIndex, Row);
    ++FRowCount;
    if (Parent->Expanded) ++FVisibleRowCount;
    for (int c = 0; c < GetColumnCount(); ++c) {
        TCellList& List = FColumnLists[static_cast<size_t>(c)];
        List.insert(List.begin() + AIndex, CreateCell(ColumnAt(c)));
    }
}

void TCells::MoveChildRow(int Index, TRow* AParent) {
    TRow* Row = GetRow(Index);
    if (AParent) SetShown(Row, AParent->Expanded);
    Row->Height = FDefaultRowHeight;
}

int TCells::GetChildCount(const TRow* ARow) const {
    int Index = GetRowIndex(ARow);
    if (Index < 0) return 0;
    int Count = 0;
    for (int r = Index + 1; r < FRowCount && FRows[static_cast<size_t>(r)]->Level > ARow->Level; ++r)
        ++Count;
    return Count;
}

int TCells::GetChildsCount(const TRow* ARow) const {
    int Index = GetRowIndex(ARow);
    if (Index < 0) return 0;
    int Count = 0;
    for (int r = Index + 1; r < FRowCount; ++r) {
        auto* Row = FRows[static_cast<size_t>(r)];
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
        auto* Row = FRows[static_cast<size_t>(r)];
        if (Row->Level <= ARow->Level) break;
        if (Row->Level == ARow->Level + 1) {
            if (Child == AIndex) return r;
            ++Child;
        }
    }
    return -1;
}

// The visible row count is the number of rows on screen: a row hidden and collapsed away at once
// counts once, not twice.
void TCells::ShowRow(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Row->Visible == Value) return;
    Row->Visible = Value;
    if (Row->Shown) FVisibleRowCount += Value ? 1 : -1;
}

void TCells::ExpandRow(int Index, bool Value) {
    SetShown(GetRow(Index), Value);
}

void TCells::SetShown(TRow* ARow, bool Value) {
    if (ARow->Shown == Value) return;
    ARow->Shown = Value;
    if (ARow->Visible) FVisibleRowCount += Value ? 1 : -1;
}

// ---------------------------------------------------------------------------------------------
// Columns

void TCells::ColumnsChange(TColumnsOperation Operation, int Value1, int Value2) {
    switch (Operation) {
    case opAdd: {
        // The cells belong to the last column of the collection.
        TNxCustomColumn* Column = ColumnAt(FColumns->Count() - 1);
        const TCellTemplate Template = TemplateOf(Column);
        TCellList List;
        List.reserve(static_cast<size_t>(FRowCount));
        for (int r = 0; r < FRowCount; ++r)
            List.push_back(NewCell(Template, TCreatePlace::Add));
        FColumnLists.push_back(std::move(List));
        break;
    }
    case opDelete: {
        if (Value1 < 0 || Value1 >= GetColumnCount()) ListIndexError(Value1);
        FreeColumnCells(FColumnLists[static_cast<size_t>(Value1)]);
        FColumnLists.erase(FColumnLists.begin() + Value1);
        // Rows cannot exist without a column.
        if (FColumnLists.empty()) FreeAllRows();
        break;
    }
    case opClear:
        for (TCellList& List : FColumnLists)
            FreeColumnCells(List);
        FColumnLists.clear();
        FreeAllRows();
        break;
    case opInsert: {
        if (Value1 < 0 || Value1 > GetColumnCount()) ListIndexError(Value1);
        TNxCustomColumn* Column = ColumnAt(Value1);
        const TCellTemplate Template = TemplateOf(Column);
        TCellList List;
        List.reserve(static_cast<size_t>(FRowCount));
        for (int r = 0; r < FRowCount; ++r)
            List.push_back(NewCell(Template, TCreatePlace::InsertColumn));
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
