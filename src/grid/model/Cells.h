#pragma once
// The grid's cell store: one row record per row and, per column, one list of cells in row order.
// Storage is column-major, so a cell is two index operations away and row moves only exchange
// pointers. Cells and row records live in the store's slab pools.

#include <memory>
#include <unordered_map>
#include <vector>

#include "grid/model/Cell.h"
#include "grid/model/CellText.h"
#include "grid/model/ColumnTypes.h"
#include "platform/runtime/LargeMemory.h"
#include "platform/runtime/List.h"
#include "platform/runtime/SlabPool.h"

class TNxColumns;
class TNxGridHost;

// A comparator of two cells of the store, true when Cell1 goes after (or before) Cell2.
using TCompareFunc = bool (TCells::*)(TCell* Cell1, TCell* Cell2);

// Rows live in their store's pool, as cells do.
// Fields ordered by size and no virtual table, so a row record is 32 bytes.
class TRow : public TSlabPooled {
public:
    TRow() = default;
    TRow(const TRow&) = delete;
    TRow& operator=(const TRow&) = delete;
    TRow* ParentRow = nullptr;
    int ChildCount = 0;
    int ImageIndex = -1;
    int Level = 0;
    int Height = 0;
    bool Expanded = true;
    bool Selected = false;
    // False while an ancestor is collapsed.
    bool Shown = true;
    // False while the program hides the row.
    bool Visible = true;
};

class TCells : public TObject {
public:
    TCells(TNxGridHost* AGrid, TNxColumns* AColumns);
    ~TCells() override;
    TCells(const TCells&) = delete;
    TCells& operator=(const TCells&) = delete;

    // Makes (ACol, ARow) the current coordinates and returns that cell. Both indices are checked:
    // one outside the columns or rows raises the list error.
    // Contract for callers keeping the pointer: a cell has no coordinates of its own. A kept TCell*
    // reports its changes (and answers RowIndex, ColumnIndex, Highlighted, an increment cell's
    // value) at the coordinates of the most recent GetCell on this store, whichever cell that
    // was. Look a cell up again right before every use; never cache TCell* across other lookups,
    // paints or sorts.
    TCell* GetCell(int ACol, int ARow);
    TRow* GetRow(int Index) const;
    // Reading many rows apart from the current coordinates, as a copy of a selection does.
    // ReadsApart: whether every cell answers the same at any current coordinates (the store holds
    // no increment or virtual cells); only then may PeekCell's cells be read, and from several
    // threads at once while nothing changes the store. PeekCell checks both indices as GetCell
    // does but leaves the current coordinates alone. PrefetchRow asks the processor for the cells
    // of the row at ARow in the given columns (Values: what the cells' values point to, once the
    // cells themselves have arrived); indices outside the store are ignored.
    bool ReadsApart() const { return FCoordinateCells == 0; }
    const TCell* PeekCell(int ACol, int ARow) const;
    void PrefetchRow(const std::vector<int>& Cols, int ARow, bool Values) const;
    int GetRowIndex(const TRow* ARow) const;
    int GetCellColumnIndex(const TCell* ACell) const;
    int GetCellRowIndex(const TCell* ACell) const;

    TCell* CreateCell(TNxCustomColumn* AColumn);
    // An empty store over the same grid and columns, with the same default row height and
    // handlers: somewhere to read rows aside before they replace these.
    std::unique_ptr<TCells> CreateEmptyCopy() const;
    // Destroys a cell of this store and gives its slot back.
    void FreeCell(TCell* ACell) noexcept;

    void AddRow(int Count = 1);
    void InsertRow(int Index);
    void DeleteRow(int Index);
    void ClearRows();
    void MoveRow(int CurIndex, int NewIndex);
    void SwapRows(int Index1, int Index2);

    void AddChildRow(int AParent, int AIndex);
    void MoveChildRow(int Index, TRow* AParent);
    int GetChildCount(const TRow* ARow) const;
    int GetChildsCount(const TRow* ARow) const;
    int GetAbsoluteIndex(int AIndex, const TRow* ARow) const;

    // Set the row's visible (resp. shown) flag. The visible row count is the number of rows with
    // both flags set, the rows on screen.
    void ShowRow(int Index, bool Value);
    void ExpandRow(int Index, bool Value);

    // Follows a change of the column collection, made there before.
    void ColumnsChange(TColumnsOperation Operation, int Value1, int Value2);

    virtual void Changed();
    virtual void DoCellCompare(TCell* Cell1, TCell* Cell2, int& Compare);

    int GetRowCount() const { return FRowCount; }
    int GetColumnCount() const { return static_cast<int>(FColumnLists.size()); }
    int GetVisibleRowCount() const { return FVisibleRowCount; }
    int GetCurrentColumn() const { return FCurrentColumn; }
    int GetCurrentRow() const { return FCurrentRow; }
    int GetDefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value) { FDefaultRowHeight = Value; }
    TNxGridHost* GetGrid() const { return FGrid; }
    TNxColumns* GetColumns() const { return FColumns; }

    // Sorts the rows by column ACol, moving each row whole (record with its selected flag, and
    // the cell of every column). On the column sorted last, with the store still sorted, a plain
    // change of direction without Force reverses the rows instead. Equal keys keep their order.
    // Every key is read and all room is made before a row moves, so a conversion error (a text
    // that is no number under stNumeric, no date under stDate...) or std::bad_alloc raises with
    // rows and sort memory untouched.
    // ACol outside the columns raises the list error.
    void SortColumn(int ACol, TSortType SortType, TSortKind SortKind, bool Force);

    // Cell comparators converting on every call. Greater: Cell1 ranks at or after Cell2; Less:
    // at or before; both hold for equal keys. They rank exactly as SortColumn does.
    bool AlphabeticGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool AlphabeticLessCompare(TCell* Cell1, TCell* Cell2);
    bool BooleanGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool BooleanLessCompare(TCell* Cell1, TCell* Cell2);
    bool CaseInsensitiveGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool CaseInsensitiveLessCompare(TCell* Cell1, TCell* Cell2);
    bool CustomGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool CustomLessCompare(TCell* Cell1, TCell* Cell2);
    bool NumericGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool NumericLessCompare(TCell* Cell1, TCell* Cell2);
    bool DateGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool DateLessCompare(TCell* Cell1, TCell* Cell2);
    bool IPGreaterCompare(TCell* Cell1, TCell* Cell2);
    bool IPLessCompare(TCell* Cell1, TCell* Cell2);

    // Sort memory.
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value) { FSorted = Value; }
    int GetSortedColumn() const { return FSortedColumn; }
    void SetSortedColumn(int Value) { FSortedColumn = Value; }
    TSortKind GetLastSortKind() const { return FLastSortKind; }
    void SetLastSortKind(TSortKind Value) { FLastSortKind = Value; }

    TCellChangeEvent OnCellChange;
    TCompareEvent OnCompare;

    // The live store numbered Id (what its cells keep instead of its address); nullptr for 0.
    static TCells* StoreOf(uint16_t Id) noexcept;

private:
    friend class TCell;
    friend class TStringCell;
    // What few cells carry, kept beside them so that the millions without stay small.
    struct TCellExtras {
        TObject* ObjectReference = nullptr;
        WideString Hint;
    };
    // The cell's extras; only for a cell with FHasExtras set.
    const TCellExtras& ExtrasOf(const TCell* ACell) const;
    // The cell's extras, made when it has none.
    TCellExtras& ExtrasFor(TCell* ACell);
    void DropExtras(TCell* ACell) noexcept;
    TCellTextPool& TextPool() { return FTextPool; }
    template <typename T> T* PlaceCell();

    using TCellList = TLargeVector<TCell*>;
    enum class TCreatePlace { Add, Insert, InsertColumn, Child };
    // What every new cell of one column starts with, read from the column once per operation.
    struct TCellTemplate {
        TNxCustomColumn* Column;
        TColumnType ColumnType;
        TFontStyles FontStyle;
        TColor Color;
    };
    static TCellTemplate TemplateOf(TNxCustomColumn* AColumn);
    TCell* NewCell(const TCellTemplate& Template, TCreatePlace Place);
    TRow* NewRow();
    static bool IsOnScreen(const TRow* ARow) { return ARow->Visible && ARow->Shown; }
    void SetShown(TRow* ARow, bool Value);
    void FreeRow(TRow* ARow) noexcept;
    TNxCustomColumn* ColumnAt(int Index) const;
    TCellList& ListOf(int ACol);
    void CheckRow(int Index) const;
    void FreeColumnCells(TCellList& List);
    void FreeAllRows();
    // Sorting (CellsSort.cpp): reading one cell for its key, and moving rows into a new order.
    TCell* KeyCell(TCellList& List, int ACol, int ARow);
    void ReverseRows();
    // Order: the rows by their index, in their new order.
    void ReorderRows(const TLargeVector<int>& Order);

    // This store's number for its cells: at most 65,535 stores live at once.
    uint16_t FStoreId;
    // Declared before the lists and rows, so the slots and texts outlive what the destructor
    // frees. Cells of every kind but the GUID's fit the first pool's slots.
    TCellTextPool FTextPool;
    TSlabPool FCellPool;
    TSlabPool FLargeCellPool;
    TSlabPool FRowPool;
    std::unordered_map<const TCell*, TCellExtras> FCellExtras;
    std::vector<TCellList> FColumnLists;
    int FCurrentColumn = 0;
    TNxColumns* FColumns;
    TNxGridHost* FGrid;
    int FRowCount = 0;
    int FDefaultRowHeight = 16;
    int FCurrentRow = 0;
    TLargeVector<TRow*> FRows;
    bool FSorted = false;
    int FSortedColumn = -1;
    TSortKind FLastSortKind = skAscending;
    int FVisibleRowCount = 0;
    // Live cells whose values follow the current coordinates (increment and virtual cells).
    size_t FCoordinateCells = 0;
};
