#pragma once
// TList: an indexed list of untyped pointers; TObjectList optionally owns the objects it lists.
// Every index is checked and a bad one raises EListError "List index out of bounds (%d)".

#include <functional>
#include <vector>

#include "platform/runtime/Object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// < 0 when Item1 goes first, 0 when equal, > 0 when Item2 goes first.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; its former index, or -1.
    int Remove(void* Item);
    // Removes the first occurrence without the deleting notification; the item or nullptr.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    // Takes the item out of CurIndex and inserts it at NewIndex.
    void Move(int CurIndex, int NewIndex);
    void Exchange(int Index1, int Index2);
    // Stable merge sort: equal items keep their order, and an inconsistent comparison can only
    // give a strange order, never a fault.
    void Sort(const TListSortCompare& Compare);
    virtual void Clear();
    // Removes nil items.
    void Pack();
    // Grows the capacity when the list is full; returns this list.
    TList* Expand();
    void* First() const;
    void* Last() const;

    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* GetItems(int Index) const { return Get(Index); }
    void SetItems(int Index, void* Item) { Put(Index, Item); }
    void* operator[](int Index) const { return Get(Index); }

    int GetCount() const { return static_cast<int>(FItems.size()); }
    int Count() const { return GetCount(); }
    // Growing adds nil items; shrinking deletes from the end.
    void SetCount(int NewCount);
    int GetCapacity() const { return FCapacity; }
    // Below the count raises "List capacity out of bounds (%d)".
    void SetCapacity(int NewCapacity);

    // Raises EListError with Msg formatted with Data (e.g. SListIndexError and the index).
    [[noreturn]] static void Error(const char* Msg, int Data);

protected:
    // Called after an item is added and before it is removed (deleted or extracted).
    virtual void Notify(void* Ptr, TListNotification Action);
    // The growth policy: by 4 up to 8 items, by 16 up to 64, then by a quarter.
    virtual void Grow();

private:
    void CheckIndex(int Index) const;
    std::vector<void*> FItems;
    int FCapacity = 0;
};

// A list of objects that, with OwnsObjects (the default), deletes every object it deletes.
class TObjectList : public TList {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;
    int Add(TObject* AObject) { return TList::Add(AObject); }
    void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
    int Remove(TObject* AObject) { return TList::Remove(AObject); }
    int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
    TObject* GetItems(int Index) const { return static_cast<TObject*>(Get(Index)); }
    void SetItems(int Index, TObject* AObject) { Put(Index, AObject); }
    TObject* operator[](int Index) const { return GetItems(Index); }
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};
