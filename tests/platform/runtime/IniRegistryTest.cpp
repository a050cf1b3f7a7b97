// INI files and the settings store, each in its own temporary folder.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/RuntimeTestSupport.h"
#include "support/FileSizeLimit.h"

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<WideString> Lines(const TStrings& list) {
    std::vector<WideString> r;
    for (int i = 0; i < list.GetCount(); ++i)
        r.push_back(list[i]);
    return r;
}
using W = std::vector<WideString>;

// A column layout written and read through the common INI interface, the way a grid keeps it.
void WriteLayout(TCustomIniFile& ini, const AnsiString& suffix) {
    ini.WriteInteger("Common" + suffix, "ColumnsCount", 2);
    ini.WriteString("Columns Sort Kind" + suffix, "Column0", "Descending");
    ini.WriteBool("Visible Columns" + suffix, "Column1", false);
    ini.WriteInteger("Columns Sizes" + suffix, "Column0", 120);
    ini.UpdateFile();
}
void CheckLayout(TCustomIniFile& ini, const AnsiString& suffix) {
    EXPECT_EQ(ini.ReadInteger("Common" + suffix, "ColumnsCount", 0), 2);
    EXPECT_EQ(ini.ReadString("Columns Sort Kind" + suffix, "Column0", "Ascending"), "Descending");
    EXPECT_EQ(ini.ReadString("Columns Sort Kind" + suffix, "Column1", "Ascending"), "Ascending");
    EXPECT_FALSE(ini.ReadBool("Visible Columns" + suffix, "Column1", true));
    EXPECT_TRUE(ini.ReadBool("Visible Columns" + suffix, "Column0", true));
    EXPECT_EQ(ini.ReadInteger("Columns Sizes" + suffix, "column0", 0), 120);
    EXPECT_EQ(ini.ReadInteger("Columns Sizes" + suffix, "Column1", 75), 75);
    EXPECT_TRUE(ini.SectionExists("common" + suffix));
    EXPECT_TRUE(ini.ValueExists("Columns Sizes" + suffix, "Column0"));
    EXPECT_FALSE(ini.ValueExists("Columns Sizes" + suffix, "Column1"));
}

TEST(IniFile, MemIniFileWritesOnlyOnUpdateAndReadsBackEveryKind) {
    TempFolder folder;
    std::string path = folder.File("layout.ini");
    {
        TMemIniFile ini(path);
        ini.WriteString(u"Text", u"Padded", u"  two sides  ");
        ini.WriteString(u"Text", u"Equals", u"a=b");
        ini.WriteString(u"Text", u"Wide", u"\u00e9\u20ac");
        ini.WriteString(u"Text", u"Quoted", u"\"q\"");
        ini.WriteFloat(u"Numbers", u"Pi", 3.141592653589793);
        ini.WriteFloat(u"Numbers", u"Tenth", 0.1);
        ini.WriteInteger(u"Numbers", u"Negative", -12);
        EXPECT_FALSE(std::filesystem::exists(path));
        ini.UpdateFile();
    }
    EXPECT_EQ(FileText(path), "[Text]\r\nPadded=\"  two sides  "
                              "\"\r\nEquals=a=b\r\nWide=\xc3\xa9\xe2\x82\xac\r\nQuoted=\"\"q\"\"\r\n\r\n"
                              "[Numbers]\r\nPi=3.141592653589793\r\nTenth=0.1\r\nNegative=-12\r\n");
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadString(u"text", u"PADDED", u""), u"  two sides  ");
    EXPECT_EQ(ini.ReadString(u"Text", u"Equals", u""), u"a=b");
    EXPECT_EQ(ini.ReadString(u"Text", u"Wide", u""), u"\u00e9\u20ac");
    EXPECT_EQ(ini.ReadString(u"Text", u"Quoted", u""), u"\"q\"");
    EXPECT_EQ(ini.ReadString(u"Text", u"Missing", u"dflt"), u"dflt");
    EXPECT_EQ(ini.ReadFloat(u"Numbers", u"Pi", 0), 3.141592653589793);
    EXPECT_EQ(ini.ReadFloat(u"Numbers", u"Tenth", 0), 0.1);
    EXPECT_EQ(ini.ReadInteger(u"Numbers", u"Negative", 0), -12);
    EXPECT_EQ(ini.ReadInteger(u"Text", u"Wide", 5), 5); // not a number: the default

    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (W{u"Text", u"Numbers"}));
    ini.ReadSection(u"Numbers", list);
    EXPECT_EQ(Lines(list), (W{u"Pi", u"Tenth", u"Negative"}));
    ini.ReadSectionValues(u"Numbers", list);
    EXPECT_EQ(list[2], u"Negative=-12");
    ini.DeleteKey(u"Numbers", u"TENTH");
    ini.EraseSection(u"text");
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (W{u"Numbers"}));
    EXPECT_FALSE(ini.ValueExists(u"Numbers", u"Tenth"));
}

TEST(IniFile, HandWrittenFilesReadAsWindowsWritesThem) {
    TempFolder folder;
    std::string path = folder.File("hand.ini");
    {
        TFileStream f(path, fmCreate);
        // UTF-16 with its mark, blanks around names and values, comments, a repeated ident.
        WriteText(f,
                  u"; settings\r\ntop=level\r\n[ Main ]\r\n  Size = 0x10 \r\nOn=True\r\nOff=no\r\n; "
                  u"note\r\nSize=99\r\n"
                  u"Name=\u00e9",
                  teUnicode, true);
    }
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(u"main", u"size", 0), 16);
    EXPECT_TRUE(ini.ReadBool(u"Main", u"On", false));
    EXPECT_TRUE(ini.ReadBool(u"Main", u"Off", true)); // neither a number nor a boolean text
    EXPECT_EQ(ini.ReadString(u"Main", u"Name", u""), u"\u00e9");
    ini.WriteBool(u"Main", u"Off", false);
    ini.UpdateFile();
    EXPECT_EQ(FileText(path), "; settings\r\ntop=level\r\n\r\n[Main]\r\nSize=0x10\r\nOn=True\r\nOff=0\r\n; "
                              "note\r\nName=\xc3\xa9\r\n");
}

TEST(IniFile, HandWrittenBooleansAndEmptyQuotedValues) {
    TempFolder folder;
    std::string path = folder.File("values.ini");
    {
        TFileStream f(path, fmCreate);
        WriteText(f,
                  u"[Flags]\r\nMinusOne=-1\r\nTwo=2\r\nZero=0\r\nPadded= 1 \r\n"
                  u"[Text]\r\nEmpty=\"\"\r\nBlank=\" \"\r\nOneQuote=\"\r\nInner=a\"\"b\r\n",
                  teUTF8, false);
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<TCustomIniFile> ini;
        if (pass == 0)
            ini = std::make_unique<TMemIniFile>(path);
        else
            ini = std::make_unique<TIniFile>(path);
        // Any number but zero is true, as other programs write it.
        EXPECT_TRUE(ini->ReadBool(u"Flags", u"MinusOne", false)) << pass;
        EXPECT_TRUE(ini->ReadBool(u"Flags", u"Two", false)) << pass;
        EXPECT_TRUE(ini->ReadBool(u"Flags", u"Padded", false)) << pass;
        EXPECT_FALSE(ini->ReadBool(u"Flags", u"Zero", true)) << pass;
        // A pair of quotes guards an empty value; a lone quote or inner quotes are kept.
        EXPECT_EQ(ini->ReadString(u"Text", u"Empty", u"dflt"), u"") << pass;
        EXPECT_TRUE(ini->ValueExists(u"Text", u"Empty")) << pass;
        EXPECT_EQ(ini->ReadString(u"Text", u"Blank", u""), u" ") << pass;
        EXPECT_EQ(ini->ReadString(u"Text", u"OneQuote", u""), u"\"") << pass;
        EXPECT_EQ(ini->ReadString(u"Text", u"Inner", u""), u"a\"\"b") << pass;
    }
}

TEST(IniFile, IniFileChangesReachTheFileWithoutBeingAskedAndFailuresAreReported) {
    TempFolder folder;
    std::string path = folder.File("through.ini");
    {
        TIniFile ini(path);
        WriteLayout(ini, "_a");
        ini.WriteString("Extra", "Key", "v");
        // Another reader in this process sees the change at once.
        TMemIniFile reader(path);
        CheckLayout(reader, "_a");
        EXPECT_EQ(reader.ReadString("Extra", "Key", ""), "v");
        ini.WriteString("Extra", "Later", "w");
    }
    // Destroying it writes what is left.
    EXPECT_NE(FileText(path).find("Later=w"), std::string::npos);

    TMemIniFile nowhere(folder.File("missing/dir.ini"));
    nowhere.WriteString(u"A", u"B", u"C");
    EXPECT_EQ(MessageOf<EIniFileException>([&] { nowhere.UpdateFile(); }),
              "Unable to write to " + folder.File("missing/dir.ini"));
}

TEST(IniFile, AWriteThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    TempFolder folder;
    const std::string path = folder.File("layout.ini");
    {
        TMemIniFile ini(path);
        WriteLayout(ini, "_a");
        ini.UpdateFile();
    }
    const std::string before = FileText(path);
    ASSERT_GT(before.size(), 100u);
    TMemIniFile ini(path);
    ini.WriteString("Extra", "Key", std::string(200, 'x'));
    std::string message;
    {
        TFileSizeLimit full(100); // writes past 100 bytes fail, as on a full disk
        ASSERT_TRUE(full.IsSet());
        message = MessageOf<EIniFileException>([&] { ini.UpdateFile(); });
    }
    EXPECT_EQ(message, "Unable to write to " + path);
    EXPECT_EQ(FileText(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary left";
    // With room again the same update goes through.
    ini.UpdateFile();
    TMemIniFile reader(path);
    CheckLayout(reader, "_a");
    EXPECT_EQ(reader.ReadString("Extra", "Key", ""), std::string(200, 'x'));
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { TRegistry::SetStoreFolder(FFolder.Path() + "/store"); }
    void TearDown() override { TRegistry::SetStoreFolder(""); }
    TempFolder FFolder;
};

TEST_F(SettingsStore, KeysAndValuesPersistInTheStoreFolder) {
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey(u"Software\\Quillmar\\Grid", false));
        EXPECT_TRUE(reg.OpenKey(u"\\Software\\Quillmar\\Grid\\", true));
        EXPECT_EQ(reg.GetCurrentPath(), u"Software\\Quillmar\\Grid");
        reg.WriteString(u"Caption", u"line1\nline2 = \\ [x]");
        reg.WriteInteger(u"Width", -5);
        reg.WriteBool(u"Visible", true);
        reg.WriteFloat(u"Ratio", 0.1);
        EXPECT_TRUE(reg.OpenKey(u"Columns", true)); // relative to the open key
        EXPECT_EQ(reg.GetCurrentPath(), u"Software\\Quillmar\\Grid\\Columns");
        reg.WriteString(u"", u"default value");
    }
    EXPECT_TRUE(std::filesystem::exists(FFolder.Path() + "/store/HKEY_CURRENT_USER.settings"));
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKeyReadOnly(u"software\\QUILLMAR\\grid"));
    EXPECT_EQ(reg.ReadString(u"caption"), u"line1\nline2 = \\ [x]");
    EXPECT_EQ(reg.ReadInteger(u"Width"), -5);
    EXPECT_TRUE(reg.ReadBool(u"Visible"));
    EXPECT_EQ(reg.ReadFloat(u"Ratio"), 0.1);
    EXPECT_EQ(reg.GetDataType(u"Width"), rdInteger);
    EXPECT_EQ(reg.GetDataType(u"Caption"), rdString);
    EXPECT_TRUE(reg.ValueExists(u"WIDTH"));
    EXPECT_FALSE(reg.ValueExists(u"Height"));
    EXPECT_EQ(reg.ReadString(u"Height"), u"");
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(Lines(names), (W{u"Caption", u"Width", u"Visible", u"Ratio"}));

    EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.ReadInteger(u"Caption"); }),
              "Invalid data type for 'Caption'");
    EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.ReadString(u"Width"); }),
              "Invalid data type for 'Width'");
    EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.ReadInteger(u"Height"); }),
              "Failed to get data for 'Height'");
    EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.WriteInteger(u"Width", 1); }),
              "Failed to set data for 'Width'");
    EXPECT_FALSE(reg.DeleteValue(u"Width")); // read-only
    reg.CloseKey();
    EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.WriteString(u"X", u"y"); }),
              "Failed to set data for 'X'");

    EXPECT_TRUE(reg.OpenKey(u"Software\\Quillmar", false));
    reg.GetKeyNames(names);
    EXPECT_EQ(Lines(names), (W{u"Grid"}));
    EXPECT_TRUE(reg.OpenKey(u"Grid\\Columns", false));
    EXPECT_EQ(reg.ReadString(u""), u"default value");
    EXPECT_TRUE(reg.DeleteValue(u""));
    EXPECT_FALSE(reg.ValueExists(u""));

    // Other root keys are separate stores.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.KeyExists(u"Software\\Quillmar"));
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.KeyExists(u"\\Software\\Quillmar\\Grid\\Columns"));
    EXPECT_TRUE(reg.DeleteKey(u"Software\\Quillmar")); // with everything below it
    EXPECT_FALSE(reg.KeyExists(u"Software\\Quillmar\\Grid"));
    EXPECT_TRUE(reg.KeyExists(u"Software"));
    EXPECT_FALSE(reg.DeleteKey(u"Software\\Quillmar"));
}

// Makes the store read its file again, as another process would.
void Reread(const std::string& file) {
    auto t = std::filesystem::last_write_time(file);
    std::filesystem::last_write_time(file, t - std::chrono::hours(1));
}

TEST_F(SettingsStore, ChangesAreJournalledAndTheFileIsKeptCompact) {
    const std::string file = FFolder.Path() + "/store/HKEY_CURRENT_USER.settings";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"Journal", true));
    reg.WriteString(u"![odd", u"value]");
    reg.WriteString(u"Keep", u"1");
    reg.WriteString(u"Gone", u"2");
    reg.WriteInteger(u"Keep", 3); // later records win
    EXPECT_TRUE(reg.DeleteValue(u"gone"));
    ASSERT_TRUE(reg.OpenKey(u"\\Journal\\Sub", true));
    reg.WriteString(u"x", u"y");
    EXPECT_TRUE(reg.DeleteKey(u"\\Journal\\Sub"));
    Reread(file);
    ASSERT_TRUE(reg.OpenKey(u"\\Journal", false));
    EXPECT_EQ(reg.ReadString(u"![odd"), u"value]");
    EXPECT_EQ(reg.ReadInteger(u"Keep"), 3);
    EXPECT_FALSE(reg.ValueExists(u"Gone"));
    EXPECT_FALSE(reg.KeyExists(u"\\Journal\\Sub"));
    EXPECT_FALSE(reg.OpenKey(u"Bad\nName", true)); // a line break cannot be stored

    // Many rewrites of the same values: the file is rewritten whole before it grows without end.
    for (int round = 0; round < 200; ++round)
        for (int i = 0; i < 20; ++i)
            reg.WriteInteger(u"Value" + IntToStr(i), round * 100 + i);
    EXPECT_LT(std::filesystem::file_size(file), 64u * 1024u + 4096u);
    Reread(file);
    EXPECT_EQ(reg.ReadInteger(u"Value7"), 19907);

    // A record cut short, as by a crash while appending, is skipped.
    {
        std::ofstream out(file, std::ios::app | std::ios::binary);
        out << "[Journal]\nCut=s";
    }
    Reread(file);
    EXPECT_FALSE(reg.ValueExists(u"Cut"));
    EXPECT_EQ(reg.ReadInteger(u"Keep"), 3);

    // A change made by another program is seen.
    {
        std::ofstream out(file, std::ios::app | std::ios::binary);
        out << "\n[Journal]\nKeep=i:8\n";
    }
    Reread(file);
    EXPECT_EQ(reg.ReadInteger(u"Keep"), 8);
}

TEST_F(SettingsStore, RegistryIniFileKeepsTheSameLayoutAsAnIniFile) {
    {
        TRegistryIniFile ini("Software\\Quillmar\\Layout");
        WriteLayout(ini, "_grid");
    }
    TRegistryIniFile ini(u"Software\\Quillmar\\Layout");
    CheckLayout(ini, "_grid");
    TRegistry& reg = ini.GetRegIniFile();
    EXPECT_TRUE(reg.OpenKey(u"\\Software\\Quillmar\\Layout\\Columns Sizes_grid", false));
    EXPECT_EQ(reg.GetDataType(u"Column0"), rdInteger); // integers stay integers
    EXPECT_EQ(ini.ReadString(u"Columns Sizes_grid", u"Column0", u""), u"120");

    ini.WriteString(u"Text", u"Number", u"42");
    EXPECT_EQ(ini.ReadInteger(u"Text", u"Number", 0), 42);
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.GetCount(), 5);
    ini.EraseSection("Common_grid");
    EXPECT_FALSE(ini.SectionExists("Common_grid"));
    EXPECT_EQ(ini.ReadInteger("Common_grid", "ColumnsCount", -1), -1);
    ini.DeleteKey(u"Text", u"Number");
    EXPECT_FALSE(ini.ValueExists(u"Text", u"Number"));
}

TEST_F(SettingsStore, StoreFolderComesFromTheEnvironmentWithoutAnOverride) {
    TRegistry::SetStoreFolder("");
    const char* old = std::getenv("QUILLMAR_SETTINGS_DIR");
    std::string saved = old ? old : "";
    setenv("QUILLMAR_SETTINGS_DIR", (FFolder.Path() + "/env").c_str(), 1);
    EXPECT_EQ(TRegistry::GetStoreFolder(), FFolder.Path() + "/env");
    {
        TRegistry reg;
        EXPECT_TRUE(reg.OpenKey(u"A", true));
    }
    EXPECT_TRUE(std::filesystem::exists(FFolder.Path() + "/env/HKEY_CURRENT_USER.settings"));
    unsetenv("QUILLMAR_SETTINGS_DIR");
    EXPECT_NE(TRegistry::GetStoreFolder().find("/Quillmar/registry"), std::string::npos);
    if (old) setenv("QUILLMAR_SETTINGS_DIR", saved.c_str(), 1);
}

TEST(IniFileLayout, MemIniFileKeepsTheSameLayout) {
    TempFolder folder;
    {
        TMemIniFile ini(folder.File("grid.ini"));
        WriteLayout(ini, "");
    }
    TMemIniFile ini(folder.File("grid.ini"));
    CheckLayout(ini, "");
}

} // namespace
