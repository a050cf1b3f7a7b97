#include "platform/runtime/List.h"

#include <algorithm>

#include "platform/runtime/Exception.h"
#include "platform/runtime/MergeSort.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

TList::~TList() {
    Clear();
}

void TList::Error(const char* Msg, int Data) {
    throw EListError(Format(Msg, {Data}));
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
}

void TList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
    SetCapacity(FCapacity + delta);
}

int TList::Add(void* Item) {
    int index = GetCount();
    if (index == FCapacity) Grow();
    FItems.push_back(Item);
    if (Item != nullptr) Notify(Item, lnAdded);
    return index;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
    if (GetCount() == FCapacity) Grow();
    FItems.insert(FItems.begin() + Index, Item);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* item = FItems[Index];
    FItems.erase(FItems.begin() + Index);
    if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* Item) {
    int index = IndexOf(Item);
    if (index < 0) return nullptr;
    void* result = FItems[index];
    FItems.erase(FItems.begin() + index);
    Notify(result, lnExtracted);
    return result;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) {
        CheckIndex(CurIndex);
        return;
    }
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = FItems[CurIndex];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (!Compare || FItems.size() < 2) return;
    runtime_detail::MergeSort(FItems, [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Clear() {
    while (!FItems.empty())
        Delete(GetCount() - 1);
    SetCapacity(0);
}

void TList::Pack() {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
}

TList* TList::Expand() {
    if (GetCount() == FCapacity) Grow();
    return this;
}

void* TList::First() const {
    return Get(0);
}
void* TList::Last() const {
    return Get(GetCount() - 1);
}

void* TList::Get(int Index) const {
    CheckIndex(Index);
    return FItems[Index];
}

void TList::Put(int Index, void* Item) {
    CheckIndex(Index);
    void* old = FItems[Index];
    if (old == Item) return;
    FItems[Index] = Item;
    if (old != nullptr) Notify(old, lnDeleted);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) Error(SListCountError, NewCount);
    if (NewCount > FCapacity) SetCapacity(NewCount);
    if (NewCount > GetCount()) {
        FItems.resize(NewCount, nullptr);
    } else {
        while (GetCount() > NewCount)
            Delete(GetCount() - 1);
    }
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < GetCount()) Error(SListCapacityError, NewCapacity);
    if (NewCapacity == FCapacity) return;
    if (NewCapacity == 0) {
        std::vector<void*>().swap(FItems);
    } else if (NewCapacity > static_cast<int>(FItems.capacity())) {
        FItems.reserve(NewCapacity);
    }
    FCapacity = NewCapacity;
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList() {
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
    TList::Notify(Ptr, Action);
}
