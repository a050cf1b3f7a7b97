#pragma once
// The grid's columns in two orders: the index order (how programs address cells; one cell list
// per column in the cell store) and the display order (left to right on screen, the Position).

#include <functional>
#include <memory>

#include "grid/model/Column.h"
#include "platform/runtime/List.h"

// Makes a column of one kind, owned by AOwner.
using TColumnClass = std::function<TNxCustomColumn*(TObject* AOwner)>;

template <typename T> TColumnClass ColumnClassOf() {
    return [](TObject* AOwner) -> TNxCustomColumn* { return new T(AOwner); };
}

class TNxColumns : public TObject {
public:
    explicit TNxColumns(TNxGridHost* AOwner);
    // Frees every column, last index first, without reporting to the grid.
    ~TNxColumns() override;
    TNxColumns(const TNxColumns&) = delete;
    TNxColumns& operator=(const TNxColumns&) = delete;

    TNxCustomColumn* Add(const TColumnClass& ColumnClass, const WideString& Caption = WideString());
    template <typename T> T* Add(const WideString& Caption = WideString()) {
        return static_cast<T*>(Add(ColumnClassOf<T>(), Caption));
    }
    void AddColumns(const TColumnClass& ColumnClass, int Count);
    virtual void AddColumn(TNxCustomColumn* Column);
    // A new column with the grid's color, cursor and font (whatever its ParentFont), inserted at
    // Index (InsertColumn), so the existing rows' new cells take them. Index outside 0..Count
    // raises the list error.
    TNxCustomColumn* Insert(const TColumnClass& ColumnClass, int Index);
    void InsertColumn(TNxCustomColumn* Column, int Index);
    void Delete(int Index);
    void Remove(TNxCustomColumn* Column);
    void Clear();
    void Move(int CurIndex, int NewIndex);
    void ChangePosition(int CurPos, int NewPos);

    virtual TNxCustomColumn* GetItem(int Index) const;
    TNxCustomColumn* operator[](int Index) const { return GetItem(Index); }
    int Count() const { return FItems.Count(); }
    bool Empty() const { return FItems.Count() == 0; }
    int IndexOf(const TNxCustomColumn* Column) const;
    bool Exists(int Index) const { return Index >= 0 && Index < Count(); }
    TNxCustomColumn* GetColumn(const AnsiString& Name) const;
    TNxCustomColumn* GetPositionItem(int Pos) const;
    void SetPositionItem(int Pos, TNxCustomColumn* Column);

    int VisibleCount() const;
    int ClientWidth() const;
    TNxCustomColumn* First() const;
    TNxCustomColumn* Last() const;
    TNxCustomColumn* FirstEnabled() const;
    TNxCustomColumn* LastEnabled() const;
    bool IsFirstEnabled(const TNxCustomColumn* Column) const { return Column && Column == FirstEnabled(); }
    bool IsLastEnabled(const TNxCustomColumn* Column) const { return Column && Column == LastEnabled(); }
    TNxCustomColumn* GetNextColumn(TNxCustomColumn* Column) const;
    TNxCustomColumn* GetPrevColumn(TNxCustomColumn* Column) const;
    bool Clipped(const TNxCustomColumn* Column) const;
    void HideAll();
    AnsiString UniqueName(const AnsiString& BaseName) const;

    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int GetFixedWidth() const { return FFixedWidth; }

    // Recomputes the fixed width and every visible column's left edge and visible index from the
    // display order, starting at the body rectangle's left; with UpdatePositions also renumbers
    // Position. Reports nothing and never resizes, so the view may call it from its own size or
    // layout handlers (body rectangle moved, indicator shown) without recursion.
    void UpdateColumns(bool UpdatePositions);
    void UpdateFixedWidth();
    // Shares the grid's free inner width among the visible coAutoSize columns: all of them (no
    // Column), those from Column on (FromColumnStart) or those after it. Widths change through
    // SetSilentWidth, so each resized column reports ccWidth to the column-change handler; a view
    // that calls this from that handler must not call it again for those reports. Does nothing
    // while the grid is being read.
    void ResizeColumns(TNxCustomColumn* Column, bool FromColumnStart);
    // Places a column read from a form description into the display order by its Position, or,
    // when a column of the same name already stands there, copies it into that one (Assign) and
    // leaves it out. Only for the reading path (the column's ReadState); it leaves left edges
    // alone, so UpdateColumns(false) must follow.
    void UpdatePositionList(TNxCustomColumn* Column);
    void UpdateColumn(TNxCustomColumn* Column, TGridArea Area);
    bool IsReadingState() const;
    // Called by the view when left edges must be recomputed (body rectangle changed).
    void DoUpdateColumns() { UpdateColumns(false); }
    // Columns with ParentFont take the grid's font again; the grid calls this when its font changes.
    void GridFontChanged();
    // A column read from a form description joins the index order (reported as opAdd).
    void JoinWhileReading(TNxCustomColumn* Column);

    TNxGridHost* GetOwner() const { return FOwner; }

    TColumnChangeEvent OnColumnChange;
    TColumnsChangeEvent OnColumnsChange;
    TColumnsChangeEvent OnColumnsRepaint;

protected:
    virtual void DoColumnChange(TNxCustomColumn* Column, TColumnChangeKind Kind, int Param);
    virtual void DoChange(TColumnsOperation Operation, TColumnType ColumnType, int Value1, int Value2);
    virtual void DoRepaint(TColumnsOperation Operation, TColumnType ColumnType, int Value1, int Value2);

private:
    friend class TNxCustomColumn;
    TNxCustomColumn* ItemAt(int Index) const { return static_cast<TNxCustomColumn*>(FItems.Get(Index)); }
    TNxCustomColumn* PositionAt(int Pos) const {
        return static_cast<TNxCustomColumn*>(FPositionItems.Get(Pos));
    }
    bool Silenced() const;

    TList FItems;
    TList FPositionItems;
    int FFixedCols = 0;
    int FFixedWidth = 0;
    TNxGridHost* FOwner;
    bool FDestroying = false;
};
