#include "platform/runtime/StringList.h"

#include <memory>

#include "platform/runtime/Exception.h"
#include "platform/runtime/MergeSort.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {
// Brackets a change in BeginUpdate and EndUpdate. End closes it on success, reporting the change
// (OnChange may raise); on an exception the destructor closes it, and a report failing then gives
// way to the exception already under way.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings& Strings) : FStrings(Strings) { FStrings.BeginUpdate(); }
    ~TUpdateScope() {
        if (!FOpen) return;
        try {
            FStrings.EndUpdate();
        } catch (...) {
        }
    }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;
    void End() {
        FOpen = false;
        FStrings.EndUpdate();
    }

private:
    TStrings& FStrings;
    bool FOpen = true;
};
} // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* Msg, int Data) {
    throw EStringListError(Format(Msg, {Data}));
}

void TStrings::Put(int Index, const WideString& S) {
    TObject* obj = GetObject(Index);
    PutObject(Index, nullptr); // an owning list must not free it on the way
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const WideString& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const WideString& S) {
    int index = GetCount();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const WideString& S, TObject* AObject) {
    int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings& Strings) {
    TUpdateScope update(*this);
    // A list added to itself must not see its own growth.
    int n = Strings.GetCount();
    for (int i = 0; i < n; ++i)
        AddObject(Strings.Get(i), Strings.GetObject(i));
    update.End();
}

void TStrings::Assign(const TPersistent* Source) {
    if (auto* src = dynamic_cast<const TStrings*>(Source)) {
        if (src == this) return;
        TUpdateScope update(*this);
        Clear();
        FDelimiter = src->FDelimiter;
        FQuoteChar = src->FQuoteChar;
        FNameValueSeparator = src->FNameValueSeparator;
        FStrictDelimiter = src->FStrictDelimiter;
        FLineBreak = src->FLineBreak;
        AddStrings(*src);
        update.End();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope update(*this);
    WideString s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    Put(Index2, s1);
    PutObject(Index1, o2);
    PutObject(Index2, o1);
    update.End();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TUpdateScope update(*this);
    WideString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    if (NewIndex < 0 || NewIndex >= GetCount()) Error(SListIndexError, NewIndex);
    PutObject(CurIndex, nullptr); // an owning list must not free it on the way
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
    update.End();
}

int TStrings::CompareStrings(const WideString& S1, const WideString& S2) const {
    return AnsiCompareText(S1, S2);
}

int TStrings::IndexOf(const WideString& S) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

int TStrings::IndexOfName(const WideString& Name) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        WideString s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != WideString::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

bool TStrings::Equals(const TStrings& Strings) const {
    if (GetCount() != Strings.GetCount()) return false;
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (Get(i) != Strings.Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

WideString TStrings::GetNames(int Index) const {
    WideString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == WideString::npos ? WideString() : s.substr(0, p);
}

WideString TStrings::GetValues(const WideString& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? WideString() : GetValueFromIndex(i);
}

void TStrings::SetValues(const WideString& Name, const WideString& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        WideString line = Name + FNameValueSeparator + Value;
        if (i < 0)
            Add(line);
        else
            Put(i, line);
    } else if (i >= 0) {
        Delete(i);
    }
}

WideString TStrings::GetValueFromIndex(int Index) const {
    if (Index < 0) return WideString();
    WideString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == WideString::npos ? WideString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const WideString& Value) {
    if (Value.empty()) {
        if (Index >= 0) Delete(Index);
        return;
    }
    if (Index < 0) {
        Add(FNameValueSeparator + Value);
        return;
    }
    Put(Index, GetNames(Index) + FNameValueSeparator + Value);
}

WideString TStrings::GetText() const {
    WideString r;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        r += Get(i);
        r += FLineBreak;
    }
    return r;
}

void TStrings::SetText(const WideString& Value) {
    TUpdateScope update(*this);
    Clear();
    size_t i = 0, n = Value.size();
    while (i < n) {
        size_t start = i;
        while (i < n && Value[i] != u'\r' && Value[i] != u'\n')
            ++i;
        Add(Value.substr(start, i - start));
        if (i < n && Value[i] == u'\r') ++i;
        if (i < n && Value[i] == u'\n') ++i;
    }
    update.End();
}

WideString TStrings::Quoted(const WideString& S, WideChar Quote, bool StrictRule, WideChar Delim) const {
    bool need;
    if (StrictRule) {
        need = S.find(Delim) != WideString::npos || (Quote != 0 && S.find(Quote) != WideString::npos);
    } else {
        need = false;
        for (char16_t c : S)
            if (c <= u' ' || c == Quote || c == Delim) need = true;
    }
    if (!need || Quote == 0) return S;
    return QuotedStr(S, Quote);
}

WideString TStrings::GetCommaText() const {
    if (GetCount() == 1 && Get(0).empty()) return u"\"\"";
    WideString r;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        if (i > 0) r += u',';
        r += Quoted(Get(i), u'"', false, u',');
    }
    return r;
}

WideString TStrings::GetDelimitedText() const {
    // A single empty string needs its quotes to come back as one string rather than none.
    if (GetCount() == 1 && Get(0).empty() && FQuoteChar != 0) return WideString(2, FQuoteChar);
    WideString r;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        if (i > 0) r += FDelimiter;
        r += Quoted(Get(i), FQuoteChar, FStrictDelimiter, FDelimiter);
    }
    return r;
}

void TStrings::SetDelimited(const WideString& Value, WideChar Delim, WideChar Quote, bool Strict) {
    TUpdateScope update(*this);
    Clear();
    size_t i = 0, n = Value.size();
    auto isSpace = [&](char16_t c) { return !Strict && c > 0 && c <= u' '; };
    while (i < n && isSpace(Value[i]))
        ++i;
    while (i < n) {
        WideString item;
        if (Quote != 0 && Value[i] == Quote) {
            ++i;
            while (i < n) {
                if (Value[i] == Quote) {
                    if (i + 1 < n && Value[i + 1] == Quote) {
                        item += Quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += Value[i++];
            }
        } else {
            while (i < n && Value[i] != Delim && !isSpace(Value[i]))
                item += Value[i++];
        }
        Add(item);
        while (i < n && isSpace(Value[i]))
            ++i;
        if (i < n && Value[i] == Delim) {
            ++i;
            // A delimiter at the very end stands before one more, empty, string.
            while (i < n && isSpace(Value[i]))
                ++i;
            if (i == n) Add(WideString());
        } else if (i < n && Strict) {
            // Text after a closing quote belongs to no string in strict mode: skip to the delimiter.
            while (i < n && Value[i] != Delim)
                ++i;
            if (i < n) {
                ++i;
                if (i == n) Add(WideString());
            }
        }
    }
    update.End();
}

void TStrings::SetCommaText(const WideString& Value) {
    SetDelimited(Value, u',', u'"', false);
}
void TStrings::SetDelimitedText(const WideString& Value) {
    SetDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::LoadFromStream(TStream& Stream, TTextEncoding Encoding) {
    SetText(ReadText(Stream, Encoding));
}

void TStrings::SaveToStream(TStream& Stream, TTextEncoding Encoding, bool WriteBOM) const {
    WriteText(Stream, GetText(), Encoding, WriteBOM);
}

void TStrings::LoadFromFile(const std::string& FileName, TTextEncoding Encoding) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream, Encoding);
}

void TStrings::SaveToFile(const std::string& FileName, TTextEncoding Encoding, bool WriteBOM) const {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(stream, Encoding, WriteBOM);
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList)
            delete item.Obj;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

WideString TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[Index].S;
}

void TStringList::Put(int Index, const WideString& S) {
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[Index].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[Index].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[Index].Obj = AObject;
    Changed();
}

int TStringList::Add(const WideString& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const WideString& S, TObject* AObject) {
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(S, index)) {
        switch (FDuplicates) {
        case dupIgnore:
            return index;
        case dupError:
            Error(SDuplicateString, 0);
        case dupAccept:
            // After the equal strings already there, so equal strings keep the order they came in.
            while (index < GetCount() && CompareStrings(FList[index].S, S) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const WideString& S) {
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const WideString& S, TObject* AObject) {
    if (FSorted) Error(SSortedListError, 0);
    if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const WideString& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* obj = FList[Index].Obj;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects) delete obj;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old)
            delete item.Obj;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[Index1], FList[Index2]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex) return;
    if (FSorted) Error(SSortedListError, 0);
    Changing();
    Item item = std::move(FList[CurIndex]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

bool TStringList::Find(const WideString& S, int& Index) const {
    if (!FSorted) {
        // Without the order a binary search means nothing; a linear search still answers.
        Index = IndexOf(S);
        if (Index >= 0) return true;
        Index = GetCount();
        return false;
    }
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(FList[mid].S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const WideString& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

void TStringList::SortItems(const std::function<int(int, int)>& Compare) {
    if (FList.size() < 2) return;
    Changing();
    // Sort positions, then apply: the comparer sees the list as it was, by index.
    std::vector<int> order(FList.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    runtime_detail::MergeSort(order, [&](int a, int b) { return Compare(a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(FList.size());
    for (int i : order)
        sorted.push_back(std::move(FList[i]));
    FList.swap(sorted);
    Changed();
}

void TStringList::Sort() {
    SortItems([this](int a, int b) { return CompareStrings(FList[a].S, FList[b].S); });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FSorted || !Compare) return;
    SortItems([&](int a, int b) { return Compare(this, a, b); });
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

void TStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity < GetCount()) Error(SListCapacityError, NewCapacity);
    FList.reserve(NewCapacity);
}

int TStringList::CompareStrings(const WideString& S1, const WideString& S2) const {
    if (FCaseSensitive) return CompareStr(S1, S2);
    return AnsiCompareText(S1, S2);
}
