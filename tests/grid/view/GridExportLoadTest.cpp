// Reading delimited text files and texts: the reader, which takes plain text in runs, against the
// character-by-character reading rules, with its departures named, on tricky and random input in
// every encoding.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "grid/view/GridExportSupport.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Streams.h"

namespace {

using Rows = std::vector<std::vector<WideString>>;
using Steps = std::vector<std::pair<int, int>>;

struct TReadResult {
    Rows Cells;
    Steps Progress;
    // The line of a field with no column to go to: the load fails there, the rows stay.
    size_t FailsAtLine = 0;
};

// Where this reader departs from the reading rules, each on purpose and named.
struct TDepartures {
    // 8-bit files: each byte is the code page's character, so 8-bit text reads back as it was
    // written (the rules take byte n as character n).
    bool BytesInTheCodePage = true;
    // A last line without its line end is a row of its own (the rules put it into the next
    // column of the row before, or of no row at all).
    bool LastLineIsItsOwnRow = true;
};

// The reading rules of the delimited text file, one character at a time, into a grid of Cols
// columns; storing a field past them fails as the cell accessor does.
TReadResult ReadByRules(const std::string& Bytes, WideChar Separator, WideChar LineBreak, int Cols,
                        TDepartures Departures = {}) {
    WideString Chars;
    const auto Byte = [&](size_t i) { return static_cast<unsigned char>(Bytes[i]); };
    if (Bytes.size() > 1 && Byte(0) == 0xFF && Byte(1) == 0xFE) {
        for (size_t i = 2; i + 1 < Bytes.size(); i += 2)
            Chars += static_cast<WideChar>(Byte(i) | (Byte(i + 1) << 8));
    } else if (Bytes.size() > 1 && Byte(0) == 0xFE && Byte(1) == 0xFF) {
        for (size_t i = 2; i + 1 < Bytes.size(); i += 2)
            Chars += static_cast<WideChar>((Byte(i) << 8) | Byte(i + 1));
    } else {
        for (size_t i = 0; i < Bytes.size(); ++i)
            Chars += Departures.BytesInTheCodePage ? AnsiToWide(std::string(1, Bytes[i]))
                                                   : WideString(1, static_cast<WideChar>(Byte(i)));
    }
    TReadResult Result;
    WideString Field;
    int Quotes = 0, Col = -1, Row = -1;
    bool NewRow = true;
    size_t Line = 1;
    auto Put = [&] {
        // Without a row the rules name a cell that does not exist; row 0 stands for it.
        if (Row < 0) {
            Result.Cells.emplace_back(static_cast<size_t>(Cols));
            Row = 0;
        }
        if (Col >= Cols) {
            Result.FailsAtLine = Line;
            return false;
        }
        Result.Cells[static_cast<size_t>(Row)][static_cast<size_t>(Col)] = Field;
        return true;
    };
    auto StartRowIfNew = [&] {
        if (!NewRow) return;
        NewRow = false;
        Result.Cells.emplace_back(static_cast<size_t>(Cols));
        ++Row;
        Col = -1;
    };
    for (WideChar Ch : Chars) {
        bool Ends = false, LineEnd = false;
        if (Ch == Separator) {
            if (Quotes % 2 == 1)
                Field += Ch;
            else
                Ends = true;
        } else if (Ch == LineBreak) {
            Field += u"\r\n";
        } else if (Ch == u'"') {
            ++Quotes;
            if ((Quotes % 2 == 1 && !Field.empty()) || Quotes == 3) Field += u'"';
        } else if (Ch == u'\r') {
        } else if (Ch == u'\n') {
            Ends = LineEnd = true;
        } else {
            Field += Ch;
        }
        if (Ends) {
            Quotes = 0;
            StartRowIfNew();
            ++Col;
            if (!Put()) return Result;
            Result.Progress.emplace_back(Col, Row);
            Field.clear();
            if (LineEnd) NewRow = true;
        }
        if (Ch == u'\n') ++Line;
    }
    if (!Field.empty()) {
        if (Departures.LastLineIsItsOwnRow) StartRowIfNew();
        ++Col;
        Put();
    }
    return Result;
}

std::string Encode(const WideString& Chars, TEncodingKind Kind) {
    if (Kind == ekAnsi) return WideToAnsi(Chars);
    std::string Bytes = Kind == ekUnicode ? "\xFF\xFE" : "\xFE\xFF";
    for (WideChar Ch : Chars) {
        const char Lo = static_cast<char>(Ch & 0xFF), Hi = static_cast<char>(Ch >> 8);
        Bytes += Kind == ekUnicode ? Lo : Hi;
        Bytes += Kind == ekUnicode ? Hi : Lo;
    }
    return Bytes;
}

class TCodePageScope {
public:
    explicit TCodePageScope(TCodePage Page) : FSaved(SystemCodePage()) { SetSystemCodePage(Page); }
    ~TCodePageScope() { SetSystemCodePage(FSaved); }
    TCodePageScope(const TCodePageScope&) = delete;
    TCodePageScope& operator=(const TCodePageScope&) = delete;

private:
    TCodePage FSaved;
};

struct LoadFixture : ExportFixture {
    Steps Progress;

    void SetUp() override {
        MakeGrid({u"A", u"B", u"C"});
        Grid->OnLoadProgress = [this](TObject*, int ACol, int ARow) { Progress.emplace_back(ACol, ARow); };
    }
    // Loads Bytes from a file and checks the grid and the progress steps against the rules; a
    // failed load names its line and leaves the rows as they were.
    void ExpectAsRules(const std::string& Bytes, WideChar Separator, WideChar LineBreak) {
        WriteBytes(Folder.File("in.txt"), Bytes);
        Progress.clear();
        const Rows Before = Contents(Grid);
        const TReadResult Expected = ReadByRules(Bytes, Separator, LineBreak, 3);
        try {
            Grid->LoadFromTextFile(Folder.WideFile("in.txt"), Separator, LineBreak);
            EXPECT_EQ(Expected.FailsAtLine, 0u) << "loaded";
            EXPECT_EQ(Contents(Grid), Expected.Cells);
        } catch (const Exception& E) {
            EXPECT_NE(std::string(E.what()).find("line " + std::to_string(Expected.FailsAtLine) + " "),
                      std::string::npos)
                << E.what();
            EXPECT_EQ(Contents(Grid), Before);
        }
        EXPECT_EQ(Progress, Expected.Progress);
    }
};

TEST_F(LoadFixture, EveryStoredCellReportsItsChangeOnceTheLoadSucceeded) {
    Steps Changes;
    Grid->OnChange = [&](TObject*, int ACol, int ARow) { Changes.emplace_back(ACol, ARow); };
    // The unfinished last line reports too.
    WriteBytes(Folder.File("in.txt"), "a;b;c\r\ne\r\nlast;one");
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Changes, (Steps{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {1, 2}}));
    Changes.clear();
    EXPECT_ANY_THROW(Grid->LoadFromTextFile(Folder.WideFile("missing.txt"), u';', u'|'));
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Grid->GetRowCount(), 3);
}

// A field past the last column fails every text import as storing it would, naming its line:
// the rows stay as they were and no cell reports a change.
TEST_F(LoadFixture, ALineWithMoreFieldsThanColumnsFailsTheLoadAndNamesIt) {
    Fill(Grid, {{u"keep", u"1", u""}});
    Steps Changes;
    Grid->OnChange = [&](TObject*, int ACol, int ARow) { Changes.emplace_back(ACol, ARow); };
    const auto Failure = [&](const std::function<void()>& Load) {
        try {
            Load();
        } catch (const Exception& E) {
            return std::string(E.what());
        }
        return std::string("loaded");
    };
    // Quoted separators are no fields; the fourth field of line 3 is.
    WriteBytes(Folder.File("in.txt"), "a;\"b;c\";d\r\ne\r\nf;g;h;i\r\nj\r\n");
    EXPECT_EQ(Failure([&] { Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|'); }),
              "Cell out of bounds (3, 2): line 3 has more fields than the grid has columns");
    WriteBytes(Folder.File("in.txt"), Encode(u"x\r\n\r\ny;z;1;2", ekUnicodeBigEndian));
    EXPECT_NE(Failure([&] { Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|'); }).find("line 3 "),
              std::string::npos);
    // In delimited text a line break inside a cell ("%" CR LF) is a line of the text too.
    EXPECT_EQ(Failure([&] { Grid->SetTextStr("a%\r\nb;c;d;\r\ne;f;g;h", ';'); }),
              "Cell out of bounds (3, 1): line 3 has more fields than the grid has columns");
    TStringStream Stream(";a;b;c;d");
    EXPECT_NE(Failure([&] { Grid->LoadFromStream(Stream); }).find("(3, 0): line 1 "), std::string::npos);
    EXPECT_EQ(Contents(Grid), (Rows{{u"keep", u"1", u""}}));
    EXPECT_TRUE(Changes.empty());
}

TEST_F(LoadFixture, QuotesLineEndsAndUnfinishedLastLine) {
    const std::vector<std::string> Cases = {
        // Doubled quotes inside enclosed fields, a field that starts with a quote, a separator
        // inside quotes, and quotes inside a field that was never enclosed.
        "\"say \"\"hi\"\"\";\"\"\"lead\";\"1;5\"\r\nab\"c;a\"\"b;\"\"\r\n",
        // LF alone ends a row like CR LF; a CR inside a field is dropped; the line-break character
        // becomes CR LF.
        "a;b\nc\rd;e|f\r\n",
        // An empty line, fields past the last column, and a last line without its line end.
        "\r\nw;x;y;z\r\nlast;one",
        // A row ending in a separator before its line end.
        "p;q;\r\n;;\r\n",
    };
    for (const std::string& Bytes : Cases) {
        SCOPED_TRACE(Bytes);
        ExpectAsRules(Bytes, u';', u'|');
    }
    // The spot checks the rules above must agree with.
    WriteBytes(Folder.File("in.txt"), Cases[0]);
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"say \"hi\"", u"\"lead", u"1;5"}, {u"ab\"c;a\"b;\"", u"", u""}}));
    WriteBytes(Folder.File("in.txt"), Cases[1]);
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"a", u"b", u""}, {u"cd", u"e\r\nf", u""}}));
}

TEST_F(LoadFixture, SpecialCharactersAsSeparatorOrLineBreak) {
    // The rules are tried in order, so a separator or line-break character that is also a quote,
    // CR or LF acts as separator or line break.
    const std::string Bytes = "a\"b\r\nc;\"d\r\n\"\"x\"\"\r\n";
    ExpectAsRules(Bytes, u'"', u'|');
    ExpectAsRules(Bytes, u';', u'\r');
    ExpectAsRules(Bytes, u';', u'\n');
    ExpectAsRules(Bytes, u'\n', u'|');
    ExpectAsRules(Bytes, u'\r', u'"');
    WriteBytes(Folder.File("in.txt"), Bytes);
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'\r');
    EXPECT_EQ(Contents(Grid), (Rows{{u"a\"b\r\n", u"", u""}, {u"c", u"d\r\n", u""}, {u"x\"\r\n", u"", u""}}));
}

TEST_F(LoadFixture, ByteOrderMarksAndOddBytes) {
    const WideString Text = u"\u0416\u20AC;b\u00E9\r\nc;\"d;e\"\r\nf";
    for (TEncodingKind Kind : {ekAnsi, ekUnicode, ekUnicodeBigEndian}) {
        SCOPED_TRACE(Kind);
        const std::string Bytes = Encode(Text, Kind);
        ExpectAsRules(Bytes, u';', u'|');
        // A separator outside the 8-bit range only in 16-bit files, so every kind reads it.
        ExpectAsRules(Bytes, u'\u20AC', u'|');
        // A byte left after the last whole 16-bit unit is no character.
        ExpectAsRules(Bytes + "g", u';', u'|');
    }
    WriteBytes(Folder.File("in.txt"), Encode(Text, ekUnicodeBigEndian));
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Contents(Grid),
              (Rows{{u"\u0416\u20AC", u"b\u00E9", u""}, {u"c", u"d;e", u""}, {u"f", u"", u""}}));

    // A mark alone is an empty 16-bit file; one byte is one 8-bit character.
    ExpectAsRules("\xFF\xFE", u';', u'|');
    EXPECT_EQ(Grid->GetRowCount(), 0);
    ExpectAsRules("\xFF", u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"\u00FF", u"", u""}}));
    ExpectAsRules(std::string("\xFE\xFF\0a\0;\0b", 8), u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"a", u"b", u""}}));
}

// Only files written with a byte order mark are 16-bit text: 8-bit text that begins with the
// same two bytes reads back as it was written.
TEST_F(LoadFixture, EightBitFilesThatBeginLikeAByteOrderMarkReadBackAsWritten) {
    TCodePageScope Western(TCodePage::cp1252);
    TNextGrid* Source = MakeGrid({u"A", u"B", u"C"});
    for (const auto& [Separator, First] : std::vector<std::pair<WideChar, Rows>>{
             {u';', Rows{{u"\u00FF\u00FEone", u"b", u"c"}}},
             {u';', Rows{{u"\u00FE\u00FF", u"", u""}}},
             {u';', Rows{{u"\u00FF\u00FE\"q\"", u"", u""}}},
             {u'\u00FF', Rows{{u"", u"\u00FEx", u"c"}}},
         }) {
        Source->ClearRows();
        Fill(Source, First);
        Fill(Source, {{u"d", u"e", u"f"}});
        Source->SaveToTextFile(Folder.WideFile("mark.txt"), Separator, u'|', ekAnsi);
        Grid->LoadFromTextFile(Folder.WideFile("mark.txt"), Separator, u'|');
        EXPECT_EQ(Contents(Grid), Contents(Source)) << ReadBytes(Folder.File("mark.txt"));
    }
}

TEST_F(LoadFixture, EightBitTextFollowsTheCurrentCodePage) {
    WriteBytes(Folder.File("in.txt"), "\xC6;\x80\r\n");
    {
        TCodePageScope Cyrillic(TCodePage::cp1251);
        Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
        EXPECT_EQ(Contents(Grid), (Rows{{u"\u0416", u"\u0402", u""}}));
        // The separator is a character, so in this code page byte C6 separates.
        Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u'\u0416', u'|');
        EXPECT_EQ(Contents(Grid), (Rows{{u"", u";\u0402", u""}}));
    }
    TCodePageScope Western(TCodePage::cp1252);
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"\u00C6", u"\u20AC", u""}}));
}

TEST_F(LoadFixture, RandomInputReadsAsTheRules) {
    std::mt19937 Random(20261209);
    const WideString Alphabet = u"ab ;|\"\r\n\r\n\u00E9\u20AC\u0416";
    const std::vector<std::pair<WideChar, WideChar>> Marks = {{u';', u'|'}, {u'|', u';'}, {u'\u20AC', u'\r'}};
    for (int Round = 0; Round < 200; ++Round) {
        WideString Text;
        const int Length = static_cast<int>(Random() % 40);
        for (int i = 0; i < Length; ++i)
            Text += Alphabet[Random() % Alphabet.size()];
        const auto Kind = static_cast<TEncodingKind>(Random() % 3);
        const auto [Separator, LineBreak] = Marks[Random() % Marks.size()];
        SCOPED_TRACE(testing::Message() << "round " << Round);
        ExpectAsRules(Encode(Text, Kind), Separator, LineBreak);
        if (HasFailure()) break;
    }
}

// Each departure from the reading rules on its own: the rules would read the input one way, the
// grid reads it the other, and only that departure makes the difference.
TEST_F(LoadFixture, DeparturesFromTheReadingRules) {
    TCodePageScope Western(TCodePage::cp1252);
    struct TCase {
        const char* Name;
        std::string Bytes;
        bool TDepartures::*Departure;
        Rows ByTheRules;
        Rows Read;
    };
    for (const TCase& Case : {
             TCase{"bytes in the code page", "\x80;\xE9\r\n", &TDepartures::BytesInTheCodePage,
                   Rows{{u"\u0080", u"\u00E9", u""}}, Rows{{u"\u20AC", u"\u00E9", u""}}},
             TCase{"last line its own row", "a;b\r\nc", &TDepartures::LastLineIsItsOwnRow,
                   Rows{{u"a", u"b", u"c"}}, Rows{{u"a", u"b", u""}, {u"c", u"", u""}}},
         }) {
        SCOPED_TRACE(Case.Name);
        TDepartures Without;
        Without.*Case.Departure = false;
        EXPECT_EQ(ReadByRules(Case.Bytes, u';', u'|', 3, Without).Cells, Case.ByTheRules);
        EXPECT_EQ(ReadByRules(Case.Bytes, u';', u'|', 3).Cells, Case.Read);
        WriteBytes(Folder.File("in.txt"), Case.Bytes);
        Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
        EXPECT_EQ(Contents(Grid), Case.Read);
    }
}

TEST_F(ExportFixture, DelimitedTextMarksAndSeparators) {
    MakeGrid({u"A", u"B", u"C"});
    // "%" CR LF is a line break in a cell; "%" elsewhere, and "%%" CR LF, keep their "%".
    Grid->SetTextStr("x%\r\ny;50%;%%\r\nz;\r\nnext", ';');
    EXPECT_EQ(Contents(Grid), (Rows{{u"x\r\ny", u"50%", u"%\r\nz"}, {u"next", u"", u""}}));
    // CR LF without a separator before it stays in the field; 8-bit text reads in the code page.
    Grid->SetTextStr("a\r\nb;\xE9\x80;c", ';');
    EXPECT_EQ(Contents(Grid), (Rows{{u"a\r\nb", u"\u00E9\u20AC", u"c"}}));
    // Written and read back through a stream with every kind of cell text.
    TNextGrid* Source = MakeGrid({u"A", u"B", u"C"});
    Fill(Source, {{u"1\r\n2\r\n", u"%", u"\u00E9"}, {u"", u"", u"%\r\n"}, {u"q\"", u"", u"end"}});
    TMemoryStream Stream;
    Source->SaveToStream(Stream, '\t');
    Stream.SetPosition(0);
    Grid->LoadFromStream(Stream);
    EXPECT_EQ(Contents(Grid), Contents(Source));
}

} // namespace
