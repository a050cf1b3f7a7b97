#pragma once
// INI files: sections of "ident=value" lines. TCustomIniFile is the interface that callers take
// (a file or the settings store behind TRegistryIniFile); TMemIniFile keeps the content in memory
// until UpdateFile, TIniFile writes its changes without being asked.
//
// Section and ident names compare ignoring case. The narrow overloads take 8-bit text in the
// system code page.

#include <memory>
#include <string>

#include "platform/runtime/Object.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Types.h"

class TCustomIniFile : public TObject {
public:
    // The name is UTF-8 (the file system's form); the settings store uses a key path.
    explicit TCustomIniFile(const std::string& FileName) : FFileName(FileName) {}
    ~TCustomIniFile() override = default;
    const std::string& GetFileName() const { return FFileName; }

    virtual WideString ReadString(const WideString& Section, const WideString& Ident,
                                  const WideString& Default) = 0;
    virtual void WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) = 0;
    // The idents of a section, in file order.
    virtual void ReadSection(const WideString& Section, TStrings& Strings) = 0;
    // The section names, in file order.
    virtual void ReadSections(TStrings& Strings) = 0;
    // "ident=value" lines of a section.
    virtual void ReadSectionValues(const WideString& Section, TStrings& Strings) = 0;
    virtual void EraseSection(const WideString& Section) = 0;
    virtual void DeleteKey(const WideString& Section, const WideString& Ident) = 0;
    // Writes pending changes to the backing store.
    virtual void UpdateFile() = 0;
    virtual bool SectionExists(const WideString& Section);
    virtual bool ValueExists(const WideString& Section, const WideString& Ident);

    // Decimal or hex ("0x...", "$...") text; Default when missing or not a number.
    virtual int32_t ReadInteger(const WideString& Section, const WideString& Ident, int32_t Default);
    virtual void WriteInteger(const WideString& Section, const WideString& Ident, int32_t Value);
    // Written as "1" / "0". Read: a number (not 0 is true) or a true/false text of the default
    // format settings; Default otherwise.
    virtual bool ReadBool(const WideString& Section, const WideString& Ident, bool Default);
    virtual void WriteBool(const WideString& Section, const WideString& Ident, bool Value);
    // Floats in the invariant form ('.' decimal point) so files move between locales.
    virtual double ReadFloat(const WideString& Section, const WideString& Ident, double Default);
    virtual void WriteFloat(const WideString& Section, const WideString& Ident, double Value);

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    int32_t ReadInteger(const AnsiString& Section, const AnsiString& Ident, int32_t Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int32_t Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    void EraseSection(const AnsiString& Section);
    bool SectionExists(const AnsiString& Section);
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

protected:
    void SetFileName(const std::string& FileName) { FFileName = FileName; }

private:
    std::string FFileName;
};

// Content in memory: loaded from the file (if it exists) when created, written by UpdateFile.
// Changes are lost unless UpdateFile is called.
// The file is read with byte order mark detection (UTF-8 without a mark) and written as UTF-8.
// Lines starting with ';' and lines outside any section are kept on rewrite.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& FileName);
    ~TMemIniFile() override;

    WideString ReadString(const WideString& Section, const WideString& Ident,
                          const WideString& Default) override;
    void WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) override;
    void ReadSection(const WideString& Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(const WideString& Section, TStrings& Strings) override;
    void EraseSection(const WideString& Section) override;
    void DeleteKey(const WideString& Section, const WideString& Ident) override;
    bool SectionExists(const WideString& Section) override;
    bool ValueExists(const WideString& Section, const WideString& Ident) override;
    // Raises EIniFileException "Unable to write to <file>" when the file cannot be written.
    void UpdateFile() override;

    // The whole content as lines, and replacing it (no file access).
    void GetStrings(TStrings& List);
    void SetStrings(const TStrings& List);
    void Clear();
    // Takes another file name; with Reload reads that file, dropping unsaved changes.
    void Rename(const std::string& FileName, bool Reload);

    using TCustomIniFile::EraseSection;
    using TCustomIniFile::ReadBool;
    using TCustomIniFile::ReadInteger;
    using TCustomIniFile::ReadString;
    using TCustomIniFile::SectionExists;
    using TCustomIniFile::ValueExists;
    using TCustomIniFile::WriteBool;
    using TCustomIniFile::WriteInteger;
    using TCustomIniFile::WriteString;

protected:
    bool FModified = false;

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
    void LoadValues();
};

// An INI file whose changes reach the file without an explicit UpdateFile: they are written when
// the object is destroyed, and before any other INI object of this process reads the same file,
// so readers see them. (Writing the whole file on every change costs a file rewrite per value,
// which makes saving a large layout take seconds.) UpdateFile writes at once and reports failure;
// the writes made on destruction cannot report it.
class TIniFile : public TMemIniFile {
public:
    explicit TIniFile(const std::string& FileName);
    ~TIniFile() override;
    void UpdateFile() override;
};
