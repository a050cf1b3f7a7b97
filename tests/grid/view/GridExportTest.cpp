// The grid's delimited text, text files and XML export: exact bytes, and reading back what was
// written.

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <sys/stat.h>
#include <unistd.h>

#include "grid/view/GridExportSupport.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Streams.h"

namespace {

using Rows = std::vector<std::vector<WideString>>;

TEST_F(ExportFixture, DelimitedTextLayoutAndStreamRoundTrip) {
    MakeGrid({u"A", u"B", u"C"});
    Fill(Grid, {{u"a", u"b", u"c"}, {u"d", u"e", u"f"}});
    EXPECT_EQ(Grid->GetTextStr(';'), ";a;b;c;\r\nd;e;f");

    TMemoryStream Stream;
    Grid->SaveToStream(Stream, ';');
    EXPECT_EQ(Stream.GetSize(), 14);
    TNextGrid* Copy = MakeGrid({u"A", u"B", u"C"});
    Fill(Copy, {{u"old", u"", u""}, {u"old", u"", u""}, {u"old", u"", u""}});
    Stream.SetPosition(0);
    Copy->LoadFromStream(Stream);
    EXPECT_EQ(Contents(Copy), (Rows{{u"a", u"b", u"c"}, {u"d", u"e", u"f"}}));

    // Empty cells keep their places, also at the ends of rows.
    TNextGrid* Gaps = MakeGrid({u"A", u"B", u"C"});
    Fill(Gaps, {{u"", u"x", u""}, {u"y", u"", u""}});
    TNextGrid* GapsCopy = MakeGrid({u"A", u"B", u"C"});
    GapsCopy->SetTextStr(Gaps->GetTextStr('|').substr(1), '|');
    EXPECT_EQ(Contents(GapsCopy), Contents(Gaps));
}

TEST_F(ExportFixture, DelimitedTextLineBreaksAndOddInput) {
    MakeGrid({u"A", u"B"});
    Fill(Grid, {{u"one\r\ntwo", u"50%"}});
    EXPECT_EQ(Grid->GetTextStr(';'), ";one%\r\ntwo;50%");
    TNextGrid* Copy = MakeGrid({u"A", u"B"});
    TStringStream Stream(Grid->GetTextStr(';'));
    Copy->LoadFromStream(Stream);
    EXPECT_EQ(Contents(Copy), (Rows{{u"one\r\ntwo", u"50%"}}));

    // With the leading separator the first cell is empty; a field with no column left fails.
    Copy->SetTextStr(";a", ';');
    EXPECT_EQ(Contents(Copy), (Rows{{u"", u"a"}}));
    EXPECT_ANY_THROW(Copy->SetTextStr(";a;b", ';'));
    EXPECT_EQ(Contents(Copy), (Rows{{u"", u"a"}}));

    // A one-byte stream, or one read to its end, leaves the rows alone.
    TStringStream One(";");
    Copy->LoadFromStream(One);
    TStringStream AtEnd(";x;y");
    AtEnd.SetPosition(4);
    Copy->LoadFromStream(AtEnd);
    EXPECT_EQ(Contents(Copy), (Rows{{u"", u"a"}}));

    Copy->SetTextStr("", ';');
    EXPECT_EQ(Copy->GetRowCount(), 0);
}

// A one-column grid's empty last row is no text of its own; it must still come back.
TEST_F(ExportFixture, OneColumnGridKeepsTrailingEmptyRowsThroughTextAndStream) {
    MakeGrid({u"A"});
    TNextGrid* Copy = MakeGrid({u"A"});
    for (const Rows& Case :
         {Rows{{u"a"}, {u""}}, Rows{{u""}}, Rows{{u"a"}, {u""}, {u""}}, Rows{{u""}, {u"b"}, {u""}}}) {
        Grid->ClearRows();
        Fill(Grid, Case);
        Fill(Copy, {{u"old"}});
        Copy->SetTextStr(Grid->GetTextStr(';').substr(1), ';');
        EXPECT_EQ(Contents(Copy), Case) << Grid->GetTextStr(';');
        Fill(Copy, {{u"old"}});
        TMemoryStream Stream;
        Grid->SaveToStream(Stream, '\t');
        Stream.SetPosition(0);
        Copy->LoadFromStream(Stream);
        EXPECT_EQ(Contents(Copy), Case) << Grid->GetTextStr('\t');
    }
}

TEST_F(ExportFixture, TextFileQuotesSeparatorsAndLineBreaks) {
    MakeGrid({u"A", u"B", u"C"});
    Fill(Grid, {{u"1,5", u"say \"hi\"", u"\"lead"}, {u"line\r\nbreak", u"", u"plain"}});
    const std::string Path = Folder.File("t.csv");
    Grid->SaveToTextFile(Folder.WideFile("t.csv"), u',', u'\x0B', ekAnsi);
    EXPECT_EQ(ReadBytes(Path), "\"1,5\",\"say \"\"hi\"\"\",\"\"\"lead\"\r\nline\x0B"
                               "break,,plain\r\n");

    std::vector<std::pair<int, int>> Progress;
    TNextGrid* Copy = MakeGrid({u"A", u"B", u"C"});
    Fill(Copy, {{u"old", u"", u""}});
    Copy->OnLoadProgress = [&](TObject* Sender, int ACol, int ARow) {
        EXPECT_EQ(Sender, Copy);
        Progress.emplace_back(ACol, ARow);
    };
    Copy->LoadFromTextFile(Folder.WideFile("t.csv"), u',', u'\x0B');
    EXPECT_EQ(Contents(Copy), Contents(Grid));
    EXPECT_EQ(Progress, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));

    // A last line without its line end is still read.
    WriteBytes(Path, "a;b\r\nc;d");
    Copy->LoadFromTextFile(Folder.WideFile("t.csv"), u';', u'\x0B');
    EXPECT_EQ(Contents(Copy), (Rows{{u"a", u"b", u""}, {u"c", u"d", u""}}));
}

TEST_F(ExportFixture, TextFileEncodingsRoundTrip) {
    MakeGrid({u"A", u"B"});
    // Euro sign: outside Latin-1 but in the default 8-bit code page.
    Fill(Grid, {{u"5 \u20AC", u"caf\u00E9"}, {u"x;y", u"z"}});
    const Rows Expected = Contents(Grid);
    for (TEncodingKind Kind : {ekAnsi, ekUnicode, ekUnicodeBigEndian}) {
        SCOPED_TRACE(Kind);
        Grid->SaveToTextFile(Folder.WideFile("e.txt"), u';', u'|', Kind);
        const std::string Bytes = ReadBytes(Folder.File("e.txt"));
        if (Kind == ekUnicode)
            EXPECT_EQ(Bytes.substr(0, 4), std::string("\xFF\xFE"
                                                      "5\0",
                                                      4));
        if (Kind == ekUnicodeBigEndian)
            EXPECT_EQ(Bytes.substr(0, 4), std::string("\xFE\xFF\0"
                                                      "5",
                                                      4));
        if (Kind == ekAnsi) EXPECT_EQ(Bytes.substr(0, 4), "5 \x80;");
        TNextGrid* Copy = MakeGrid({u"A", u"B"});
        Copy->LoadFromTextFile(Folder.WideFile("e.txt"), u';', u'|');
        EXPECT_EQ(Contents(Copy), Expected);
    }
    const std::string Wide = ReadBytes(Folder.File("e.txt"));
    EXPECT_EQ(Wide.substr(Wide.size() - 4), std::string("\0\r\0\n", 4));
}

TEST_F(ExportFixture, FailedImportLeavesRows) {
    MakeGrid({u"A"});
    Fill(Grid, {{u"keep"}});
    EXPECT_THROW(Grid->LoadFromTextFile(Folder.WideFile("missing.txt"), u';', u'|'), EFOpenError);
    EXPECT_THROW(Grid->LoadFromTextFile(Utf8ToWide(Folder.Path()), u';', u'|'), EStreamError);
    // A pipe without a writer or a device is refused at once instead of waiting or never ending.
    ASSERT_EQ(::mkfifo(Folder.File("pipe.txt").c_str(), 0600), 0);
    ::alarm(120); // a load that hangs ends this test program instead of the suite's patience
    try {
        Grid->LoadFromTextFile(Folder.WideFile("pipe.txt"), u';', u'|');
        ADD_FAILURE() << "a pipe was read";
    } catch (const EFOpenError& E) {
        EXPECT_NE(E.Message().find("a pipe, not a regular file"), std::string::npos) << E.Message();
    }
    EXPECT_THROW(Grid->LoadFromTextFile(u"/dev/zero", u';', u'|'), EFOpenError);
    ::alarm(0);
    EXPECT_EQ(Contents(Grid), (Rows{{u"keep"}}));
}

// A value the column cannot take raises halfway through the rows: the grid keeps its rows,
// selection and place, and stays usable.
TEST_F(ExportFixture, ImportRaisingHalfwayLeavesRowsAndSelection) {
    MakeGrid({u"A"});
    auto* Number = Grid->GetColumns()->Add<TPlainTextColumn>(u"N");
    Number->SetColumnType(ctFloat);
    Fill(Grid, {{u"one", u"1"}, {u"two", u"2"}, {u"three", u"3"}});
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goMultiSelect});
    Grid->SelectCell(0, 1);
    Grid->SetSelected(2, true);
    const Rows Before = Contents(Grid);
    const int SelectedBefore = Grid->GetSelectedCount();

    WriteBytes(Folder.File("bad.txt"), "x;5\r\ny;not a number\r\nz;7\r\n");
    EXPECT_ANY_THROW(Grid->LoadFromTextFile(Folder.WideFile("bad.txt"), u';', u'|'));
    EXPECT_ANY_THROW(Grid->SetTextStr("x;5;\r\ny;nan?;\r\n", ';'));
    EXPECT_EQ(Contents(Grid), Before);
    EXPECT_EQ(Grid->GetSelectedCount(), SelectedBefore);
    EXPECT_TRUE(Grid->GetSelected(2));
    EXPECT_EQ(Grid->GetSelectedRow(), 1);

    // Still a working grid: a good file replaces the rows.
    WriteBytes(Folder.File("good.txt"), "x;5\r\n");
    Grid->LoadFromTextFile(Folder.WideFile("good.txt"), u';', u'|');
    EXPECT_EQ(Contents(Grid), (Rows{{u"x", u"5"}}));
    Grid->AddRow(1);
    EXPECT_EQ(Grid->GetRowCount(), 2);
}

TEST_F(ExportFixture, XmlElementNamesValuesAndEncodings) {
    MakeGrid({u"2nd Value", u"xmlData", u"123", u"a-b.c:d e"});
    auto* When = Grid->GetColumns()->Add<TPlainDateColumn>(u"When");
    (void)When;
    int r = Grid->AddRow(2);
    Grid->SetCells(0, 0, u"<b> & \"q\" 'a'");
    Grid->GetCell(4, 0)->SetAsDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    Grid->GetCell(4, r)->SetAsDateTime(EncodeTime(6, 30, 0, 0));
    Grid->SetCells(1, r, u"\u0416");
    Grid->SetName("Orders");

    Grid->SaveToXMLFile(Folder.WideFile("g.xml"), enUTF_8);
    const std::string Xml = ReadBytes(Folder.File("g.xml"));
    EXPECT_EQ(
        Xml.rfind(
            "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<NxGrid xmlns=\"urn:Orders\" createdDate=\"", 0),
        0u);
    EXPECT_NE(Xml.find("\" totalRows=\"2\">\r\n<Row>\r\n"
                       "  <ndValue>&lt;b&gt; &amp; &quot;q&quot; &apos;a&apos;</ndValue>\r\n"
                       "  <Data></Data>\r\n  <Column2></Column2>\r\n  <a-b.cde></a-b.cde>\r\n"
                       "  <When>2024-03-05T14:07:09</When>\r\n</Row>\r\n"),
              std::string::npos);
    EXPECT_NE(Xml.find("  <Data>\xD0\x96</Data>"), std::string::npos);
    EXPECT_NE(Xml.find("  <When>06:30:00</When>\r\n</Row>\r\n</NxGrid>\r\n"), std::string::npos);

    Grid->SaveToXMLFile(Folder.WideFile("g16.xml"), enUTF_16);
    const std::string Xml16 = ReadBytes(Folder.File("g16.xml"));
    EXPECT_EQ(Xml16.substr(0, 6), std::string("\xFF\xFE<\0?\0", 6));
    Grid->SaveToXMLFile(Folder.WideFile("g8.xml"), enISO_8859_1);
    EXPECT_EQ(
        ReadBytes(Folder.File("g8.xml")).rfind("<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n", 0),
        0u);
}

TEST_F(ExportFixture, XmlIsWellFormedWhateverTheTextsAndNames) {
    MakeGrid({u"a:b", u"ab:", u"Plain"});
    Grid->AddRow(1);
    const WideString Controls = u"\x01x\x1F\x7F";
    Grid->SetCells(0, 0, Controls + u"\uFFFE\uFFFF");
    Grid->SetCells(1, 0,
                   WideString(u"lone ") + char16_t(0xD800) + u" and " + char16_t(0xDC00) + u" pair " +
                       char16_t(0xD83D) + char16_t(0xDE00));
    Grid->SetCells(2, 0, u"x<y\ta\nb");
    Grid->SetName("Grid\r\n\t\"<&1");
    for (TUniEncoding Encoding : {enUnspecified, enISO_8859_1, enUTF_16, enUTF_8}) {
        Grid->SaveToXMLFile(Folder.WideFile("odd.xml"), Encoding);
        const std::string Bytes = ReadBytes(Folder.File("odd.xml"));
        QXmlStreamReader Reader(QByteArray(Bytes.data(), qsizetype(Bytes.size())));
        std::vector<QString> Names, Texts;
        QString Namespace;
        while (!Reader.atEnd()) {
            if (Reader.readNext() != QXmlStreamReader::StartElement) continue;
            if (Reader.name() == u"NxGrid") {
                Namespace = Reader.namespaceUri().toString();
            } else if (Reader.name() != u"Row") {
                Names.push_back(Reader.qualifiedName().toString());
                Texts.push_back(Reader.readElementText());
            }
        }
        ASSERT_FALSE(Reader.hasError()) << Encoding << ": " << Reader.errorString().toStdString();
        EXPECT_EQ(Namespace, QStringLiteral("urn:Grid\r\n\t\"<&1")) << Encoding;
        EXPECT_EQ(Names,
                  (std::vector<QString>{QStringLiteral("ab"), QStringLiteral("ab"), QStringLiteral("Plain")}))
            << Encoding;
        ASSERT_EQ(Texts.size(), 3u);
        // What XML can hold comes back as it was; the rest is replaced, never dropped.
        EXPECT_EQ(Texts[2], QStringLiteral("x<y\ta\nb")) << Encoding;
        EXPECT_EQ(Texts[0].size(), 6) << Encoding;
        EXPECT_EQ(Texts[0][1], u'x');
        EXPECT_EQ(Texts[0][3], QChar(0x7F)) << "allowed in XML 1.0";
        if (Encoding != enISO_8859_1)
            EXPECT_EQ(Texts[1], QString::fromUtf16(u"lone \uFFFD and \uFFFD pair \U0001F600")) << Encoding;
    }
}

// Line ends inside cell texts come back as they were, and the 8-bit document is what its
// declaration says, keeping characters Latin-1 lacks.
TEST_F(ExportFixture, XmlKeepsCarriageReturnsAndWritesTheDeclaredEncoding) {
    MakeGrid({u"A", u"B"});
    Fill(Grid, {{u"a\r\nb\rc\n", u"5 \u20AC \u00E9 \u0416 \U0001F600"}});
    for (TUniEncoding Encoding : {enUnspecified, enISO_8859_1, enUTF_16, enUTF_8}) {
        Grid->SaveToXMLFile(Folder.WideFile("cr.xml"), Encoding);
        const std::string Bytes = ReadBytes(Folder.File("cr.xml"));
        QXmlStreamReader Reader(QByteArray(Bytes.data(), qsizetype(Bytes.size())));
        std::vector<QString> Texts;
        while (!Reader.atEnd())
            if (Reader.readNext() == QXmlStreamReader::StartElement && Reader.name() != u"NxGrid" &&
                Reader.name() != u"Row")
                Texts.push_back(Reader.readElementText());
        ASSERT_FALSE(Reader.hasError()) << Encoding << ": " << Reader.errorString().toStdString();
        EXPECT_EQ(Texts, (std::vector<QString>{QString::fromUtf16(u"a\r\nb\rc\n"),
                                               QString::fromUtf16(u"5 \u20AC \u00E9 \u0416 \U0001F600")}))
            << Encoding;
        if (Encoding == enISO_8859_1) {
            EXPECT_NE(Bytes.find("<A>a&#13;\nb&#13;c\n</A>"), std::string::npos);
            EXPECT_NE(Bytes.find("<B>5 &#8364; \xE9 &#1046; &#128512;</B>"), std::string::npos);
        }
    }
}

TEST_F(ExportFixture, XmlOfEmptyGridWarnsAndWritesNothing) {
    TDialogScope Dialogs;
    MakeGrid({u"A"});
    Grid->SaveToXMLFile(Folder.WideFile("none.xml"), enUTF_8);
    ASSERT_EQ(Dialogs.Script->Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Script->Boxes[0].Text, u"Nothing to save");
    EXPECT_EQ(Dialogs.Script->Boxes[0].Caption, u"Save to XML");
    EXPECT_EQ(Dialogs.Script->Boxes[0].Flags & MB_ICONWARNING, MB_ICONWARNING);
    EXPECT_TRUE(Folder.Names().empty());
}

} // namespace
