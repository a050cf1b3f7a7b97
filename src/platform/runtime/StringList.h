#pragma once
// TStrings (a list of wide strings with attached objects, name=value pairs and the text forms)
// and TStringList, its implementation: indexed, or sorted with a duplicates policy.

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/Object.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Types.h"

class TStrings : public TPersistent {
public:
    TStrings() = default;
    ~TStrings() override = default;

    // --- the core every list implements
    virtual WideString Get(int Index) const = 0;
    virtual void Put(int Index, const WideString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual int GetCount() const = 0;
    virtual void Insert(int Index, const WideString& S) = 0;
    virtual void InsertObject(int Index, const WideString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // --- built on the core
    int Count() const { return GetCount(); }
    WideString operator[](int Index) const { return Get(Index); }
    WideString GetStrings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const WideString& S) { Put(Index, S); }
    TObject* GetObjects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    // The index the string landed at (sorted lists choose it).
    virtual int Add(const WideString& S);
    virtual int AddObject(const WideString& S, TObject* AObject);
    void Append(const WideString& S) { Add(S); }
    void AddStrings(const TStrings& Strings);
    // Copies strings and objects (and the separators) from another TStrings.
    void Assign(const TPersistent* Source) override;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    // Index of the first string equal to S (under the list's case rule), or -1.
    virtual int IndexOf(const WideString& S) const;
    int IndexOfObject(TObject* AObject) const;
    // Index of the first "name=value" line whose name equals Name, or -1.
    virtual int IndexOfName(const WideString& Name) const;
    // Same strings in the same order.
    bool Equals(const TStrings& Strings) const;

    // Update bracketing: OnChanging/OnChange fire only outside BeginUpdate ... EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }

    // Name=value lines.
    WideString GetNames(int Index) const;
    WideString GetValues(const WideString& Name) const;
    // An empty value removes the line.
    void SetValues(const WideString& Name, const WideString& Value);
    WideString GetValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const WideString& Value);
    WideChar GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(WideChar C) { FNameValueSeparator = C; }

    // The lines, each followed by LineBreak (CR LF by default). Setting splits at CR LF, CR or LF.
    WideString GetText() const;
    void SetText(const WideString& Value);
    WideString GetLineBreak() const { return FLineBreak; }
    void SetLineBreak(const WideString& Value) { FLineBreak = Value; }

    // Comma text: strings joined by ','; one that holds a blank, a quote, a comma or a control
    // character is quoted with '"' (quotes doubled); a list of one empty string is "\"\"".
    // Setting splits at commas and at blanks outside quotes.
    WideString GetCommaText() const;
    void SetCommaText(const WideString& Value);
    // The same with Delimiter and QuoteChar; with StrictDelimiter only Delimiter splits and only
    // strings holding the delimiter or the quote character are quoted.
    WideString GetDelimitedText() const;
    void SetDelimitedText(const WideString& Value);
    WideChar GetDelimiter() const { return FDelimiter; }
    void SetDelimiter(WideChar C) { FDelimiter = C; }
    WideChar GetQuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(WideChar C) { FQuoteChar = C; }
    bool GetStrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // Text files and streams. Reading detects a byte order mark (UTF-16 LE/BE, UTF-8) and
    // otherwise takes Encoding (teDefault: valid UTF-8 as UTF-8, else the 8-bit code page).
    // Writing uses Encoding, with a byte order mark for UTF-16 (and for UTF-8 with WriteBOM).
    void LoadFromStream(TStream& Stream, TTextEncoding Encoding = teDefault);
    void SaveToStream(TStream& Stream, TTextEncoding Encoding = teAnsi, bool WriteBOM = true) const;
    // File names are UTF-8.
    void LoadFromFile(const std::string& FileName, TTextEncoding Encoding = teDefault);
    void SaveToFile(const std::string& FileName, TTextEncoding Encoding = teAnsi, bool WriteBOM = true) const;

    // Compares two strings under the list's rule (TStringList: CaseSensitive).
    virtual int CompareStrings(const WideString& S1, const WideString& S2) const;

protected:
    virtual void Changed() {}
    virtual void Changing() {}
    virtual void SetUpdateState(bool /*Updating*/) {}
    [[noreturn]] static void Error(const char* Msg, int Data);

private:
    WideString Quoted(const WideString& S, WideChar Quote, bool StrictRule, WideChar Delim) const;
    void SetDelimited(const WideString& Value, WideChar Delim, WideChar Quote, bool Strict);

    int FUpdateCount = 0;
    WideChar FDelimiter = u',';
    WideChar FQuoteChar = u'"';
    WideChar FNameValueSeparator = u'=';
    bool FStrictDelimiter = false;
    WideString FLineBreak = u"\r\n";
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// < 0 when the string at Index1 goes first.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
    ~TStringList() override;

    WideString Get(int Index) const override;
    // Raises "Operation not allowed on sorted list" on a sorted list.
    void Put(int Index, const WideString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    // On a sorted list Add finds the place; with dupIgnore an equal string is not added again
    // (its index is returned) and with dupError it raises "String list does not allow
    // duplicates".
    int Add(const WideString& S) override;
    int AddObject(const WideString& S, TObject* AObject) override;
    // Raises "Operation not allowed on sorted list" on a sorted list.
    void Insert(int Index, const WideString& S) override;
    void InsertObject(int Index, const WideString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // Raises "Operation not allowed on sorted list" on a sorted list, before changing anything.
    void Move(int CurIndex, int NewIndex) override;
    // A sorted list uses a binary search.
    int IndexOf(const WideString& S) const override;
    // Binary search in a sorted list: true when found; Index is the match (the first of equal
    // strings) or the place where S would go.
    bool Find(const WideString& S, int& Index) const;
    // Stable; a sorted list stays as it is.
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool GetSorted() const { return FSorted; }
    // Turning it on sorts the list.
    void SetSorted(bool Value);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    // Changing it re-sorts a sorted list.
    void SetCaseSensitive(bool Value);
    // When set, the list deletes the objects of the strings it deletes, and all on destruction.
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
    int GetCapacity() const { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int NewCapacity);

    // Case sensitive: by code units; otherwise by case-folded code units (no locale).
    int CompareStrings(const WideString& S1, const WideString& S2) const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void Changed() override;
    void Changing() override;
    void SetUpdateState(bool Updating) override;

private:
    struct Item {
        WideString S;
        TObject* Obj = nullptr;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const WideString& S, TObject* AObject);
    void SortItems(const std::function<int(int, int)>& Compare);

    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};
