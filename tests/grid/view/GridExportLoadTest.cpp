// Reading delimited text files and texts: the reader, which takes plain text in runs, against the
// character-by-character reading rules, with its departures named, on tricky and random input in
// every encoding.

#include <gtest/gtest.h>

#include <random>

#include "grid/view/GridExportSupport.h"
#include "platform/runtime/CodePage.h"

namespace {

using Rows = std::vector<std::vector<WideString>>;
using Steps = std::vector<std::pair<int, int>>;

struct TReadResult {
    Rows Cells;
    Steps Progress;
};

// Where this reader departs from the reading rules, each on purpose and named.
struct TDepartures {
    // 8-bit files: each byte is the code page's character, so 8-bit text reads back as it was
    // written (the rules take byte n as character n).
    bool BytesInTheCodePage = true;
    // Fields past the last column are dropped, their progress still raised (the rules store them
    // into a cell that does not exist).
    bool DropFieldsPastTheLastColumn = true;
    // A last line without its line end is a row of its own (the rules put it into the next
    // column of the row before, or of no row at all).
    bool LastLineIsItsOwnRow = true;
};

// The reading rules of the delimited text file, one character at a time, into a grid of Cols
// columns; cells past them are kept (and counted in Overflow) unless a departure drops them.
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
    auto Put = [&] {
        // Without a row the rules name a cell that does not exist; row 0 stands for it.
        if (Row < 0) {
            Result.Cells.emplace_back(static_cast<size_t>(Cols));
            Row = 0;
        }
        auto& Cells = Result.Cells[static_cast<size_t>(Row)];
        if (Col >= Cols && Departures.DropFieldsPastTheLastColumn) return;
        if (Col >= static_cast<int>(Cells.size())) Cells.resize(static_cast<size_t>(Col) + 1);
        Cells[static_cast<size_t>(Col)] = Field;
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
        if (!Ends) continue;
        Quotes = 0;
        StartRowIfNew();
        ++Col;
        Put();
        Result.Progress.emplace_back(Col, Row);
        Field.clear();
        if (LineEnd) NewRow = true;
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
    // Loads Bytes from a file and checks the grid and the progress steps against the rules.
    void ExpectAsRules(const std::string& Bytes, WideChar Separator, WideChar LineBreak) {
        WriteBytes(Folder.File("in.txt"), Bytes);
        Progress.clear();
        Grid->LoadFromTextFile(Folder.WideFile("in.txt"), Separator, LineBreak);
        const TReadResult Expected = ReadByRules(Bytes, Separator, LineBreak, 3);
        EXPECT_EQ(Contents(Grid), Expected.Cells);
        EXPECT_EQ(Progress, Expected.Progress);
    }
};

TEST_F(LoadFixture, EveryStoredCellReportsItsChangeOnceTheLoadSucceeded) {
    Steps Changes;
    Grid->OnChange = [&](TObject*, int ACol, int ARow) { Changes.emplace_back(ACol, ARow); };
    // A field past the last column is not stored and reports nothing; the unfinished last line does.
    WriteBytes(Folder.File("in.txt"), "a;b;c;d\r\ne\r\nlast;one");
    Grid->LoadFromTextFile(Folder.WideFile("in.txt"), u';', u'|');
    EXPECT_EQ(Changes, (Steps{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {1, 2}}));
    Changes.clear();
    EXPECT_ANY_THROW(Grid->LoadFromTextFile(Folder.WideFile("missing.txt"), u';', u'|'));
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Grid->GetRowCount(), 3);
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
             TCase{"fields past the last column dropped", "a;b;c;d;e\r\nf\r\n",
                   &TDepartures::DropFieldsPastTheLastColumn,
                   Rows{{u"a", u"b", u"c", u"d", u"e"}, {u"f", u"", u""}},
                   Rows{{u"a", u"b", u"c"}, {u"f", u"", u""}}},
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
    Grid->SetTextStr("a\r\nb;\xE9\x80;c;d", ';');
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
