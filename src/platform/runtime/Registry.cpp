#include "platform/runtime/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// --- the store file: "[key\path]" lines, each followed by its "name=t:data" lines (t: s string,
// x expandable string, i integer, d deleted), with '\' escapes for '\', '=', CR and LF; "![path]"
// deletes a key with its subkeys. Changes are appended as such records (later ones win), and the
// file is rewritten compactly once the appended part outgrows the rest, so a change costs the
// size of the change rather than the size of the store.

// Names compare ignoring case; the indexes hold them folded.
WideString Folded(const WideString& s) {
    return AnsiLowerCase(AnsiUpperCase(s));
}

struct Value {
    WideString Name;
    TRegDataType Type = rdString;
    WideString Data;
};
struct Key {
    WideString Path;
    std::vector<Value> Values;
    std::unordered_map<WideString, size_t> Index;

    Value* FindValue(const WideString& name) {
        auto it = Index.find(Folded(name));
        return it == Index.end() ? nullptr : &Values[it->second];
    }
    void AddValue(const Value& v) {
        Index.emplace(Folded(v.Name), Values.size());
        Values.push_back(v);
    }
    bool EraseValue(const WideString& name) {
        auto it = Index.find(Folded(name));
        if (it == Index.end()) return false;
        Values.erase(Values.begin() + static_cast<std::ptrdiff_t>(it->second));
        Index.clear();
        for (size_t i = 0; i < Values.size(); ++i)
            Index.emplace(Folded(Values[i].Name), i);
        return true;
    }
};
struct Store {
    std::vector<Key> Keys;
    std::unordered_map<WideString, size_t> Index;

    Key* Find(const WideString& path) {
        auto it = Index.find(Folded(path));
        return it == Index.end() ? nullptr : &Keys[it->second];
    }
    static bool IsBelow(const WideString& path, const WideString& parent) {
        if (parent.empty()) return !path.empty();
        return path.size() > parent.size() + 1 && path[parent.size()] == u'\\' &&
               AnsiSameText(path.substr(0, parent.size()), parent);
    }
    bool Exists(const WideString& path) {
        if (path.empty() || Find(path)) return true;
        for (auto& k : Keys)
            if (IsBelow(k.Path, path)) return true;
        return false;
    }
    Key& Add(const WideString& path) {
        Index.emplace(Folded(path), Keys.size());
        Keys.push_back({path, {}, {}});
        return Keys.back();
    }
    Key& Create(const WideString& path) {
        // Parents first, so that every key is listed under its parent.
        size_t pos = 0;
        while ((pos = path.find(u'\\', pos)) != WideString::npos) {
            WideString parent = path.substr(0, pos++);
            if (!Find(parent)) Add(parent);
        }
        if (Key* k = Find(path)) return *k;
        return Add(path);
    }
    // Removes the key and everything below it; false when nothing was there.
    bool Remove(const WideString& path) {
        std::vector<Key> kept;
        for (auto& k : Keys)
            if (!AnsiSameText(k.Path, path) && !IsBelow(k.Path, path)) kept.push_back(std::move(k));
        bool removed = kept.size() != Keys.size();
        Keys.swap(kept);
        Index.clear();
        for (size_t i = 0; i < Keys.size(); ++i)
            Index.emplace(Folded(Keys[i].Path), i);
        return removed;
    }
};

std::mutex& FolderMutex() {
    static std::mutex m;
    return m;
}
std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

std::string RootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG:
        return "HKEY_CURRENT_CONFIG";
    default:
        break;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "HKEY_%08X", root);
    return buf;
}

std::string StoreFile(HKEY root) {
    return TRegistry::GetStoreFolder() + "/" + RootName(root) + ".settings";
}

WideString Escape(const WideString& s, bool name) {
    WideString r;
    for (char16_t c : s) {
        switch (c) {
        case u'\\':
            r += u"\\\\";
            break;
        case u'\n':
            r += u"\\n";
            break;
        case u'\r':
            r += u"\\r";
            break;
        case u'=':
            if (name) {
                r += u"\\=";
                break;
            }
            r += c;
            break;
        case u'[':
        case u'!':
            // A name must not make its line look like a key record.
            if (name && r.empty()) {
                r += u'\\';
                r += c;
                break;
            }
            r += c;
            break;
        default:
            r += c;
        }
    }
    return r;
}

// Reads an escaped text up to an unescaped stop character (or the end); i ends on the stop.
WideString Unescape(const WideString& s, size_t& i, char16_t stop) {
    WideString r;
    while (i < s.size() && s[i] != stop) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            char16_t c = s[i + 1];
            r += c == u'n' ? u'\n' : c == u'r' ? u'\r' : c;
            i += 2;
        } else {
            r += s[i++];
        }
    }
    return r;
}

Store Parse(const std::string& file) {
    Store store;
    TFileStream stream(file, fmOpenRead | fmShareDenyWrite);
    TStringList lines;
    lines.SetText(ReadText(stream, teUTF8));
    Key* current = nullptr;
    for (int n = 0; n < lines.GetCount(); ++n) {
        WideString line = lines.Get(n);
        if (line.empty()) continue;
        if (line.front() == u'[' && line.back() == u']') {
            current = &store.Create(line.substr(1, line.size() - 2));
            continue;
        }
        if (line.size() >= 3 && line[0] == u'!' && line[1] == u'[' && line.back() == u']') {
            store.Remove(line.substr(2, line.size() - 3));
            current = nullptr;
            continue;
        }
        if (!current) continue;
        size_t i = 0;
        WideString name = Unescape(line, i, u'=');
        if (i + 2 >= line.size() || line[i + 2] != u':') continue;
        char16_t t = line[i + 1];
        i += 3;
        if (t == u'd') {
            current->EraseValue(name);
            continue;
        }
        Value v;
        v.Name = name;
        v.Type = t == u'i' ? rdInteger : t == u'x' ? rdExpandString : rdString;
        v.Data = Unescape(line, i, 0);
        if (Value* old = current->FindValue(name))
            *old = v;
        else
            current->AddValue(v);
    }
    return store;
}

// The file as last seen: a change by another process (a new inode, size or time) reloads it.
struct FileId {
    bool Exists = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
    off_t Size = 0;
    int64_t MTime = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

FileId IdOf(const std::string& file) {
    FileId id;
    struct stat st;
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return id;
    id.Exists = true;
    id.Dev = st.st_dev;
    id.Ino = st.st_ino;
    id.Size = st.st_size;
    id.MTime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

struct CacheEntry {
    FileId Id;
    Store Data;
    int64_t CompactSize = 0; // the file's size when last written whole (or read)
};

std::unordered_map<std::string, CacheEntry>& Cache() {
    static std::unordered_map<std::string, CacheEntry> cache;
    return cache;
}

// The store of a root key, read again only when its file changed since.
Store& Acquire(HKEY root) {
    std::string file = StoreFile(root);
    FileId id = IdOf(file);
    auto it = Cache().find(file);
    if (it != Cache().end() && it->second.Id == id) return it->second.Data;
    CacheEntry entry{id, id.Exists ? Parse(file) : Store{}, static_cast<int64_t>(id.Size)};
    return Cache().insert_or_assign(file, std::move(entry)).first->second.Data;
}

bool MakeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos == folder.size() || folder[pos] == '/') {
            std::string part = folder.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

WideString ValueRecord(const Value& v) {
    char16_t t = v.Type == rdInteger ? u'i' : v.Type == rdExpandString ? u'x' : u's';
    return Escape(v.Name, true) + u"=" + WideString(1, t) + u":" + Escape(v.Data, false) + u"\n";
}

// Written whole to a temporary file and renamed over the old one, so a failed write loses nothing.
bool Save(const std::string& file, const Store& store) {
    if (!MakeFolders(TRegistry::GetStoreFolder())) return false;
    WideString text;
    for (const auto& k : store.Keys) {
        text += u"[" + k.Path + u"]\n";
        for (const auto& v : k.Values)
            text += ValueRecord(v);
    }
    std::string temp = file + ".tmp" + std::to_string(::getpid());
    try {
        TFileStream stream(temp, fmCreate);
        WriteText(stream, text, teUTF8, false);
    } catch (const EStreamError&) {
        ::unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool Append(const std::string& file, const WideString& records) {
    if (!MakeFolders(TRegistry::GetStoreFolder())) return false;
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    THandleStream stream(fd);
    bool ok = true;
    try {
        WriteText(stream, records, teUTF8, false);
    } catch (const EStreamError&) {
        ok = false;
    }
    return ::close(fd) == 0 && ok;
}

// Records a change already made to the cached store. On failure the cached copy is dropped, so
// the store is read again from the file and shows what really was kept.
bool Commit(HKEY root, const WideString& records) {
    std::string file = StoreFile(root);
    auto it = Cache().find(file);
    if (!Append(file, records) || it == Cache().end()) {
        Cache().erase(file);
        return false;
    }
    CacheEntry& entry = it->second;
    entry.Id = IdOf(file);
    if (entry.Id.Size > std::max<int64_t>(64 * 1024, 4 * entry.CompactSize)) {
        // A failed rewrite leaves the appended file, which still holds everything.
        if (Save(file, entry.Data)) {
            entry.Id = IdOf(file);
            entry.CompactSize = entry.Id.Size;
        }
    }
    return true;
}

WideString KeyRecord(const WideString& path) {
    return u"[" + path + u"]\n";
}

// Key names cannot hold line breaks: the store keeps one record a line.
bool ValidPath(const WideString& path) {
    return path.find(u'\n') == WideString::npos && path.find(u'\r') == WideString::npos;
}

// Joins and tidies a key path: no empty parts, no leading or trailing '\'.
WideString Normalize(const WideString& path) {
    WideString r;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find(u'\\', i);
        if (j == WideString::npos) j = path.size();
        if (j > i) {
            if (!r.empty()) r += u'\\';
            r += path.substr(i, j - i);
        }
        i = j + 1;
    }
    return r;
}

} // namespace

struct TRegistry::Impl {};

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

void TRegistry::SetStoreFolder(const std::string& Folder) {
    std::lock_guard<std::mutex> lock(FolderMutex());
    FolderOverride() = Folder;
}

std::string TRegistry::GetStoreFolder() {
    {
        std::lock_guard<std::mutex> lock(FolderMutex());
        if (!FolderOverride().empty()) return FolderOverride();
    }
    if (const char* env = std::getenv("QUILLMAR_SETTINGS_DIR"); env && *env) return env;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::string(home) + "/.config";
    else
        config = "/tmp";
    return config + "/Quillmar/registry";
}

void TRegistry::SetRootKey(HKEY Value) {
    CloseKey();
    FRootKey = Value;
}

namespace {
WideString Resolve(const WideString& current, bool open, const WideString& key) {
    if (!key.empty() && key.front() == u'\\') return Normalize(key);
    if (!open || current.empty()) return Normalize(key);
    return Normalize(current + u"\\" + key);
}
} // namespace

bool TRegistry::OpenKey(const WideString& Key, bool CanCreate) {
    WideString path = Resolve(FCurrentPath, FOpen, Key);
    if (!ValidPath(path)) return false;
    Store& store = Acquire(FRootKey);
    if (!store.Exists(path)) {
        if (!CanCreate) return false;
        store.Create(path);
        if (!Commit(FRootKey, KeyRecord(path))) throw ERegistryException(Format(SRegCreateFailed, {Key}));
    }
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const WideString& Key) {
    if (!OpenKey(Key, false)) return false;
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

bool TRegistry::CreateKey(const WideString& Key) {
    WideString path = Resolve(FCurrentPath, FOpen, Key);
    if (!ValidPath(path)) throw ERegistryException(Format(SRegCreateFailed, {Key}));
    Store& store = Acquire(FRootKey);
    if (!store.Find(path)) {
        store.Create(path);
        if (!Commit(FRootKey, KeyRecord(path))) throw ERegistryException(Format(SRegCreateFailed, {Key}));
    }
    return true;
}

bool TRegistry::DeleteKey(const WideString& Key) {
    WideString path = Resolve(FCurrentPath, FOpen, Key);
    if (path.empty()) return false; // the root itself stays
    Store& store = Acquire(FRootKey);
    if (!store.Exists(path)) return false;
    store.Remove(path);
    return Commit(FRootKey, u"!" + KeyRecord(path));
}

bool TRegistry::KeyExists(const WideString& Key) {
    return Acquire(FRootKey).Exists(Resolve(FCurrentPath, FOpen, Key));
}

bool TRegistry::HasSubKeys() {
    Store& store = Acquire(FRootKey);
    for (auto& k : store.Keys)
        if (Store::IsBelow(k.Path, FCurrentPath)) return true;
    return false;
}

void TRegistry::GetKeyNames(TStrings& Strings) {
    Store& store = Acquire(FRootKey);
    TStringList names; // unsorted; IndexOf ignores case
    for (auto& k : store.Keys) {
        if (!Store::IsBelow(k.Path, FCurrentPath)) continue;
        WideString rest = FCurrentPath.empty() ? k.Path : k.Path.substr(FCurrentPath.size() + 1);
        WideString child = rest.substr(0, rest.find(u'\\'));
        if (names.IndexOf(child) < 0) names.Add(child);
    }
    Strings.Assign(&names);
}

void TRegistry::GetValueNames(TStrings& Strings) {
    Store& store = Acquire(FRootKey);
    Strings.BeginUpdate();
    Strings.Clear();
    if (::Key* k = store.Find(FCurrentPath))
        for (auto& v : k->Values)
            Strings.Add(v.Name);
    Strings.EndUpdate();
}

bool TRegistry::ValueExists(const WideString& Name) {
    return GetDataType(Name) != rdUnknown;
}

TRegDataType TRegistry::GetDataType(const WideString& Name) {
    Store& store = Acquire(FRootKey);
    ::Key* k = store.Find(FCurrentPath);
    if (!k) return rdUnknown;
    Value* v = k->FindValue(Name);
    return v ? v->Type : rdUnknown;
}

bool TRegistry::DeleteValue(const WideString& Name) {
    if (!FOpen || FReadOnly) return false;
    Store& store = Acquire(FRootKey);
    ::Key* k = store.Find(FCurrentPath);
    if (!k) return false;
    if (!k->EraseValue(Name)) return false;
    return Commit(FRootKey, KeyRecord(FCurrentPath) + Escape(Name, true) + u"=d:\n");
}

namespace {
// The value, or nullptr when the key or the value is missing.
const Value* Lookup(Store& store, const WideString& path, const WideString& name) {
    ::Key* k = store.Find(path);
    return k ? k->FindValue(name) : nullptr;
}
} // namespace

WideString TRegistry::ReadString(const WideString& Name) {
    Store& store = Acquire(FRootKey);
    const Value* v = Lookup(store, FCurrentPath, Name);
    if (!v) return WideString();
    if (v->Type == rdInteger) throw ERegistryException(Format(SInvalidRegType, {Name}));
    return v->Data;
}

int32_t TRegistry::ReadInteger(const WideString& Name) {
    Store& store = Acquire(FRootKey);
    const Value* v = Lookup(store, FCurrentPath, Name);
    if (!v) throw ERegistryException(Format(SRegGetDataFailed, {Name}));
    int32_t n;
    if (v->Type != rdInteger || !TryStrToInt(v->Data, n))
        throw ERegistryException(Format(SInvalidRegType, {Name}));
    return n;
}

bool TRegistry::ReadBool(const WideString& Name) {
    return ReadInteger(Name) != 0;
}

double TRegistry::ReadFloat(const WideString& Name) {
    Store& store = Acquire(FRootKey);
    const Value* v = Lookup(store, FCurrentPath, Name);
    if (!v) throw ERegistryException(Format(SRegGetDataFailed, {Name}));
    double d;
    if (v->Type == rdInteger || !TryStrToFloat(v->Data, d, TFormatSettings::Invariant()))
        throw ERegistryException(Format(SInvalidRegType, {Name}));
    return d;
}

namespace {
void Put(HKEY root, bool open, bool readOnly, const WideString& path, const WideString& name,
         TRegDataType type, const WideString& data) {
    if (!open || readOnly) throw ERegistryException(Format(SRegSetDataFailed, {name}));
    Store& store = Acquire(root);
    ::Key& k = store.Create(path);
    if (Value* v = k.FindValue(name)) {
        v->Type = type;
        v->Data = data;
    } else {
        k.AddValue({name, type, data});
    }
    if (!Commit(root, KeyRecord(path) + ValueRecord({name, type, data})))
        throw ERegistryException(Format(SRegSetDataFailed, {name}));
}
} // namespace

void TRegistry::WriteString(const WideString& Name, const WideString& Value) {
    Put(FRootKey, FOpen, FReadOnly, FCurrentPath, Name, rdString, Value);
}
void TRegistry::WriteExpandString(const WideString& Name, const WideString& Value) {
    Put(FRootKey, FOpen, FReadOnly, FCurrentPath, Name, rdExpandString, Value);
}
void TRegistry::WriteInteger(const WideString& Name, int32_t Value) {
    Put(FRootKey, FOpen, FReadOnly, FCurrentPath, Name, rdInteger, IntToStr(Value));
}
void TRegistry::WriteBool(const WideString& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}
void TRegistry::WriteFloat(const WideString& Name, double Value) {
    static const TFormatSettings invariant = TFormatSettings::Invariant();
    WideString text = FloatToStrF(Value, ffGeneral, 17, 0, invariant);
    for (int precision = 15; precision < 17; ++precision) {
        WideString shorter = FloatToStrF(Value, ffGeneral, precision, 0, invariant);
        double back;
        if (TryStrToFloat(shorter, back, invariant) && back == Value) {
            text = shorter;
            break;
        }
    }
    Put(FRootKey, FOpen, FReadOnly, FCurrentPath, Name, rdString, text);
}

// ---------------------------------------------------------------------------------------------
// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const std::string& KeyPath, HKEY RootKey)
    : TRegistryIniFile(AnsiToWide(KeyPath), RootKey) {}

TRegistryIniFile::TRegistryIniFile(const WideString& KeyPath, HKEY RootKey)
    : TCustomIniFile(WideToUtf8(KeyPath)), FRegistry(std::make_unique<TRegistry>()),
      FKeyPath(Normalize(KeyPath)) {
    FRegistry->SetRootKey(RootKey);
}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::OpenSection(const WideString& Section, bool Create) {
    WideString path = u"\\" + FKeyPath;
    if (!Section.empty()) path += u"\\" + Section;
    return FRegistry->OpenKey(path, Create);
}

WideString TRegistryIniFile::ReadString(const WideString& Section, const WideString& Ident,
                                        const WideString& Default) {
    if (!OpenSection(Section, false)) return Default;
    TRegDataType type = FRegistry->GetDataType(Ident);
    if (type == rdUnknown) return Default;
    return type == rdInteger ? IntToStr(FRegistry->ReadInteger(Ident)) : FRegistry->ReadString(Ident);
}

void TRegistryIniFile::WriteString(const WideString& Section, const WideString& Ident,
                                   const WideString& Value) {
    OpenSection(Section, true);
    FRegistry->WriteString(Ident, Value);
}

int32_t TRegistryIniFile::ReadInteger(const WideString& Section, const WideString& Ident, int32_t Default) {
    if (!OpenSection(Section, false)) return Default;
    TRegDataType type = FRegistry->GetDataType(Ident);
    if (type == rdInteger) return FRegistry->ReadInteger(Ident);
    if (type == rdUnknown) return Default;
    return StrToIntDef(Trim(FRegistry->ReadString(Ident)), Default);
}

void TRegistryIniFile::WriteInteger(const WideString& Section, const WideString& Ident, int32_t Value) {
    OpenSection(Section, true);
    FRegistry->WriteInteger(Ident, Value);
}

bool TRegistryIniFile::ReadBool(const WideString& Section, const WideString& Ident, bool Default) {
    if (!OpenSection(Section, false)) return Default;
    TRegDataType type = FRegistry->GetDataType(Ident);
    if (type == rdInteger) return FRegistry->ReadInteger(Ident) != 0;
    return TCustomIniFile::ReadBool(Section, Ident, Default);
}

void TRegistryIniFile::WriteBool(const WideString& Section, const WideString& Ident, bool Value) {
    OpenSection(Section, true);
    FRegistry->WriteBool(Ident, Value);
}

void TRegistryIniFile::ReadSection(const WideString& Section, TStrings& Strings) {
    if (!OpenSection(Section, false)) {
        Strings.Clear();
        return;
    }
    FRegistry->GetValueNames(Strings);
}

void TRegistryIniFile::ReadSections(TStrings& Strings) {
    if (!OpenSection(WideString(), false)) {
        Strings.Clear();
        return;
    }
    FRegistry->GetKeyNames(Strings);
}

void TRegistryIniFile::ReadSectionValues(const WideString& Section, TStrings& Strings) {
    TStringList names;
    ReadSection(Section, names);
    Strings.BeginUpdate();
    Strings.Clear();
    for (int i = 0; i < names.GetCount(); ++i)
        Strings.Add(names.Get(i) + u"=" + ReadString(Section, names.Get(i), WideString()));
    Strings.EndUpdate();
}

void TRegistryIniFile::EraseSection(const WideString& Section) {
    FRegistry->CloseKey();
    FRegistry->DeleteKey(u"\\" + FKeyPath + u"\\" + Section);
}

void TRegistryIniFile::DeleteKey(const WideString& Section, const WideString& Ident) {
    if (OpenSection(Section, false)) FRegistry->DeleteValue(Ident);
}

bool TRegistryIniFile::SectionExists(const WideString& Section) {
    return FRegistry->KeyExists(u"\\" + FKeyPath + u"\\" + Section);
}

bool TRegistryIniFile::ValueExists(const WideString& Section, const WideString& Ident) {
    return OpenSection(Section, false) && FRegistry->ValueExists(Ident);
}
