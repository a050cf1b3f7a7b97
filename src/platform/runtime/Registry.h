#pragma once
// The settings store that stands in for the registry: keys (paths separated by '\') under root
// keys, each holding named string and integer values. It lives in one file per root key in the
// store folder: by default "Quillmar/registry" in the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config), or the folder named by the environment variable
// QUILLMAR_SETTINGS_DIR, or one set with TRegistry::SetStoreFolder (tests point it at a
// temporary folder). Every change is written to the file at once.
//
// Key and value names compare ignoring case, as the registry does.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Types.h"

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry();
    ~TRegistry() override;

    // The folder that holds the store's files (UTF-8). An empty name returns to the default.
    static void SetStoreFolder(const std::string& Folder);
    static std::string GetStoreFolder();

    HKEY GetRootKey() const { return FRootKey; }
    // Closes the open key.
    void SetRootKey(HKEY Value);
    // The open key's path without the leading '\'; empty when none is open.
    WideString GetCurrentPath() const { return FCurrentPath; }
    bool HasCurrentKey() const { return FOpen; }

    // Opens a key: a path starting with '\' from the root, otherwise below the open key (or the
    // root). With CanCreate a missing key (and its parents) is created; otherwise a missing key
    // gives false.
    bool OpenKey(const WideString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const WideString& Key);
    void CloseKey();
    bool CreateKey(const WideString& Key);
    // Deletes the key with its subkeys and values; false when it did not exist.
    bool DeleteKey(const WideString& Key);
    bool KeyExists(const WideString& Key);
    bool HasSubKeys();
    // Names of the open key's direct subkeys / values.
    void GetKeyNames(TStrings& Strings);
    void GetValueNames(TStrings& Strings);

    // Values of the open key. Writing without an open key, or to a key opened read-only, raises
    // ERegistryException "Failed to set data for '<name>'". Reading a missing value: ReadString
    // gives empty text; ReadInteger and ReadBool raise "Failed to get data for '<name>'";
    // reading an integer from a string value raises "Invalid data type for '<name>'".
    bool ValueExists(const WideString& Name);
    bool DeleteValue(const WideString& Name);
    TRegDataType GetDataType(const WideString& Name);
    WideString ReadString(const WideString& Name);
    void WriteString(const WideString& Name, const WideString& Value);
    void WriteExpandString(const WideString& Name, const WideString& Value);
    int32_t ReadInteger(const WideString& Name);
    void WriteInteger(const WideString& Name, int32_t Value);
    // Stored as an integer 1 / 0.
    bool ReadBool(const WideString& Name);
    void WriteBool(const WideString& Name, bool Value);
    // Stored as text in the invariant form.
    double ReadFloat(const WideString& Name);
    void WriteFloat(const WideString& Name, double Value);

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
    HKEY FRootKey = HKEY_CURRENT_USER;
    WideString FCurrentPath;
    bool FOpen = false;
    bool FReadOnly = false;
};

// An INI interface over a key of the settings store: sections are subkeys of the key, idents
// their values. Integers are stored as integer values; strings holding integers read back with
// ReadInteger as well. UpdateFile has nothing to do (changes are written at once).
class TRegistryIniFile : public TCustomIniFile {
public:
    explicit TRegistryIniFile(const std::string& KeyPath, HKEY RootKey = HKEY_CURRENT_USER);
    TRegistryIniFile(const WideString& KeyPath, HKEY RootKey = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;

    WideString ReadString(const WideString& Section, const WideString& Ident,
                          const WideString& Default) override;
    void WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) override;
    int32_t ReadInteger(const WideString& Section, const WideString& Ident, int32_t Default) override;
    void WriteInteger(const WideString& Section, const WideString& Ident, int32_t Value) override;
    bool ReadBool(const WideString& Section, const WideString& Ident, bool Default) override;
    void WriteBool(const WideString& Section, const WideString& Ident, bool Value) override;
    void ReadSection(const WideString& Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(const WideString& Section, TStrings& Strings) override;
    void EraseSection(const WideString& Section) override;
    void DeleteKey(const WideString& Section, const WideString& Ident) override;
    bool SectionExists(const WideString& Section) override;
    bool ValueExists(const WideString& Section, const WideString& Ident) override;
    void UpdateFile() override {}

    TRegistry& GetRegIniFile() { return *FRegistry; }

    using TCustomIniFile::EraseSection;
    using TCustomIniFile::ReadBool;
    using TCustomIniFile::ReadInteger;
    using TCustomIniFile::ReadString;
    using TCustomIniFile::SectionExists;
    using TCustomIniFile::ValueExists;
    using TCustomIniFile::WriteBool;
    using TCustomIniFile::WriteInteger;
    using TCustomIniFile::WriteString;

private:
    // Opens the section's key below the base key; false when it is missing and not created.
    bool OpenSection(const WideString& Section, bool Create);
    std::unique_ptr<TRegistry> FRegistry;
    WideString FKeyPath;
};
