// The grid's HTML report, its column layout in INI files and the settings store, and exports
// that fail part way without harming the file they would replace.

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdint>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>

#include "grid/view/GridExportSupport.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Streams.h"

namespace {

size_t Count(const std::string& Text, const std::string& Part) {
    size_t n = 0;
    for (size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1))
        ++n;
    return n;
}

struct HtmlReport : ExportFixture {
    void MakeReportGrid() {
        MakeGrid({u"Name", u"Hidden", u"Amount"});
        Fill(Grid, {{u"  <b>&  ", u"h", u"12"}, {u"", u"h", u"7"}, {u"gone", u"h", u"1"}});
        Grid->GetColumns()->GetItem(1)->SetVisible(false);
        Grid->GetColumns()->GetItem(2)->SetStyleClass("num");
        Grid->GetColumns()->GetItem(2)->SetPosition(0);
        Grid->SetRowVisible(2, false);
        Grid->SetGridCaption(u"Q&A <report>");
        TColumnFooter* Footer = Grid->GetColumns()->GetItem(2)->GetFooter();
        Footer->SetCaption(u"19");
        Footer->SetFormatMaskKind(mkFloat);
        Footer->SetFormatMask("0.00");
        Footer->SetTextBefore(u"Sum: ");
        Grid->GetColumns()->GetItem(0)->GetFooter()->SetCaption(u"x\"y");
    }
};

TEST_F(HtmlReport, TableBodyEscapesTextsInDisplayOrder) {
    MakeReportGrid();
    Grid->SaveToHtml(Folder.WideFile("r.html"), {});
    EXPECT_EQ(ReadBytes(Folder.File("r.html")),
              "\t\t<table>\r\n"
              "\t\t\t<tr>\r\n\t\t\t\t<th>Amount</th>\r\n\t\t\t\t<th>Name</th>\r\n\t\t\t</tr>\r\n"
              "\t\t\t<tr>\r\n\t\t\t\t<td "
              "class=\"num\">12</td>\r\n\t\t\t\t<td>&lt;b&gt;&amp;</td>\r\n\t\t\t</tr>\r\n"
              "\t\t\t<tr>\r\n\t\t\t\t<td class=\"num\">7</td>\r\n\t\t\t\t<td>&#160;</td>\r\n\t\t\t</tr>\r\n"
              "\t\t</table>\r\n\r\n");
    EXPECT_EQ(Folder.Names(), std::vector<std::string>{"r.html"});

    Grid->SaveToHtml(Folder.WideFile("all.html"), {hsAllRows});
    EXPECT_NE(ReadBytes(Folder.File("all.html")).find("<td>gone</td>"), std::string::npos);
}

TEST_F(HtmlReport, FullDocumentWithCaptionFooterAndStyleSheet) {
    MakeReportGrid();
    Grid->SaveToHtml(Folder.WideFile("full.report.html"),
                     {hsCreateStyleSheet, hsSaveHeaders, hsSaveFooter, hsSaveCaption});
    const std::string Html = ReadBytes(Folder.File("full.report.html"));
    EXPECT_EQ(
        Html.rfind(
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"\r\n\t\"http://www.w3.org/"
            "TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n<html>\r\n\t<head>\r\n\t\t<title>Report</title>\r\n",
            0),
        0u);
    EXPECT_NE(
        Html.find(
            "\t\t<link href=\"full.report_styles.css\" rel=\"stylesheet\" type=\"text/css\" />\r\n"
            "\t</head>\r\n\t<body>\r\n\t\t<table>\r\n\t\t\t<caption>Q&amp;A &lt;report&gt;</caption>\r\n"),
        std::string::npos);
    EXPECT_NE(
        Html.find(
            "\t\t\t<tr class=\"footer\">\r\n\t\t\t\t<td>Sum: 19.00</td>\r\n\t\t\t\t<td>x&quot;y</td>\r\n"
            "\t\t\t</tr>\r\n\t\t</table>\r\n\t</body>\r\n</html>\r\n\r\n"),
        std::string::npos);
    EXPECT_EQ(Count(Html, "<td"), 6u); // two rows and the footer, two visible columns

    const std::string Css = ReadBytes(Folder.File("full.report_styles.css"));
    EXPECT_EQ(Css.rfind("body, table {\r\n\tfont-family: Verdana, Arial, Helvetica, sans-serif;\r\n", 0), 0u);
    EXPECT_NE(Css.find("}\r\n\r\ntr.footer { border-top: 2px solid black; }\r\n\r\ntd.num { }\r\n"),
              std::string::npos);
    EXPECT_EQ(Css.substr(Css.size() - 12), "td.num { }\r\n");

    // Kept for looking at in a browser.
    Grid->SaveToHtml(Utf8ToWide(OutDir() + "/GridExportReport.html"),
                     {hsCreateStyleSheet, hsSaveHeaders, hsSaveFooter, hsSaveCaption});
}

// The report declares XHTML, so an XML reader must take it whole: every element closed, no
// entity that only HTML knows, no control character; the texts come back as the grid shows them.
TEST_F(HtmlReport, FullReportReadsAsXmlWithEveryText) {
    MakeReportGrid();
    Grid->SetCells(0, 0,
                   u"a\x01"
                   u"b\x1B c");
    Grid->GetColumns()->GetItem(0)->GetHeader()->SetCaption(u"N\x02"
                                                            u"a\x7F"
                                                            u"me");
    Grid->SaveToHtml(Folder.WideFile("x.html"),
                     {hsCreateStyleSheet, hsSaveHeaders, hsSaveFooter, hsSaveCaption});
    const std::string Html = ReadBytes(Folder.File("x.html"));
    QXmlStreamReader Reader(QByteArray(Html.data(), qsizetype(Html.size())));
    std::vector<QString> Texts;
    int Entities = 0;
    while (!Reader.atEnd()) {
        const auto Token = Reader.readNext();
        if (Token == QXmlStreamReader::EntityReference) ++Entities;
        if (Token == QXmlStreamReader::StartElement &&
            (Reader.name() == u"td" || Reader.name() == u"th" || Reader.name() == u"meta"))
            Texts.push_back(Reader.name() == u"meta" ? QStringLiteral("meta") : Reader.readElementText());
    }
    ASSERT_FALSE(Reader.hasError()) << Reader.errorString().toStdString() << "\n" << Html;
    EXPECT_EQ(Entities, 0);
    EXPECT_EQ(Texts, (std::vector<QString>{QStringLiteral("meta"), QStringLiteral("Amount"),
                                           QString::fromUtf16(u"N\uFFFDa\u007Fme"), QStringLiteral("12"),
                                           QString::fromUtf16(u"a\uFFFDb\uFFFD c"), QStringLiteral("7"),
                                           QString::fromUtf16(u"\u00A0"), QStringLiteral("Sum: 19.00"),
                                           QStringLiteral("x\"y")}));
}

TEST_F(ExportFixture, ColumnLayoutRoundTripsThroughIniAndSettingsStore) {
    MakeGrid({u"A", u"B", u"C"});
    TNxColumns* Columns = Grid->GetColumns();
    auto Layout = [&] {
        std::vector<std::tuple<int, bool, bool, int, int>> L;
        for (int i = 0; i < Columns->Count(); ++i) {
            TNxCustomColumn* C = Columns->GetItem(i);
            L.emplace_back(C->GetSortKind(), C->GetVisible(), C->GetSorted(), C->GetPosition(),
                           C->GetWidth());
        }
        return L;
    };
    auto Scramble = [&] {
        for (int i = 0; i < Columns->Count(); ++i) {
            Columns->GetItem(i)->SetWidth(33 + i);
            Columns->GetItem(i)->SetVisible(true);
            Columns->GetItem(i)->SetSortKind(skAscending);
        }
        Columns->GetItem(0)->SetPosition(2);
    };
    Columns->GetItem(2)->SetPosition(0);
    Columns->GetItem(1)->SetVisible(false);
    Columns->GetItem(1)->SetSortKind(skDescending);
    Columns->GetItem(0)->SetWidth(120);
    const auto Saved = Layout();

    Grid->SaveToIni(Folder.WideFile("layout.ini"), "_main");
    {
        TMemIniFile Ini(Folder.File("layout.ini"));
        EXPECT_EQ(Ini.ReadInteger("Common_main", "ColumnsCount", 0), 3);
        EXPECT_EQ(Ini.ReadString("Columns Sort Kind_main", "Column1", ""), "Descending");
        EXPECT_EQ(Ini.ReadInteger("Positions_main", "Column2", -1), 0);
        EXPECT_EQ(Ini.ReadInteger("Columns Sizes_main", "Column0", -1), 120);
    }
    Scramble();
    ASSERT_NE(Layout(), Saved);
    Grid->LoadFromIni(Folder.WideFile("layout.ini"), "_main");
    EXPECT_EQ(Layout(), Saved);

    TRegistry::SetStoreFolder(Folder.File("store"));
    Grid->SaveToRegistry(u"Software\\Quillmar\\Grid", "", HKEY_CURRENT_USER);
    Scramble();
    Grid->LoadFromRegistry(u"Software\\Quillmar\\Grid", "");
    TRegistry::SetStoreFolder("");
    EXPECT_EQ(Layout(), Saved);

    // A file with positions no column can take leaves those columns where they are.
    const auto Before = Layout();
    WriteBytes(Folder.File("bad.ini"), "[Positions]\nColumn0=7\nColumn1=-3\nColumn2=" +
                                           std::to_string(std::get<3>(Before[2])) + "\n");
    EXPECT_NO_THROW(Grid->LoadFromIni(Folder.WideFile("bad.ini"), ""));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Columns->GetItem(i)->GetPosition(), std::get<3>(Before[i]));
}

TEST_F(ExportFixture, EverySavedColumnOrderComesBackWhateverTheOrderBefore) {
    for (int N : {4, 5}) {
        std::vector<WideString> Captions;
        for (int i = 0; i < N; ++i)
            Captions.push_back(WideString(1, char16_t(u'A' + i)));
        TNextGrid* Saver = MakeGrid(Captions);
        TNxColumns* Saving = Saver->GetColumns();
        TNextGrid* Target = MakeGrid(Captions);
        TNxColumns* Columns = Target->GetColumns();
        // Order[p] is the index of the column shown at place p.
        std::vector<int> Order(static_cast<size_t>(N));
        std::iota(Order.begin(), Order.end(), 0);
        int Checked = 0;
        do {
            for (int p = 0; p < N; ++p)
                Saving->GetItem(Order[size_t(p)])->SetPosition(p);
            Saver->SaveToIni(Folder.WideFile("order.ini"), "");
            // Into a grid in its default order (a program starting up) and into one already moved.
            for (bool Reversed : {false, true}) {
                for (int p = 0; p < N; ++p)
                    Columns->GetItem(Reversed ? N - 1 - p : p)->SetPosition(p);
                Target->LoadFromIni(Folder.WideFile("order.ini"), "");
                for (int p = 0; p < N; ++p) {
                    ASSERT_EQ(Columns->GetPositionItem(p), Columns->GetItem(Order[size_t(p)]))
                        << N << " columns, place " << p << ", reversed " << Reversed;
                    EXPECT_EQ(Columns->GetItem(Order[size_t(p)])->GetPosition(), p);
                }
            }
            ++Checked;
        } while (std::next_permutation(Order.begin(), Order.end()));
        EXPECT_EQ(Checked, N == 4 ? 24 : 120);
    }
}

TEST_F(ExportFixture, HugeWidthsFromALayoutFileAreClampedAndOverflowNothing) {
    MakeGrid({u"A", u"B", u"C"});
    Form->SetBounds(0, 0, 500, 300);
    Form->Show();
    Application->ProcessMessages();
    TNxColumns* Columns = Grid->GetColumns();
    WriteBytes(Folder.File("wide.ini"),
               "[Columns Sizes]\nColumn0=1073741824\nColumn1=1073741824\nColumn2=2147483647\n");
    Grid->LoadFromIni(Folder.WideFile("wide.ini"), "");
    // Each stays a wide column, and they still add up without wrapping round.
    int64_t Sum = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(Columns->GetItem(i)->GetWidth(), 4096) << i;
        Sum += Columns->GetItem(i)->GetWidth();
    }
    EXPECT_LE(Sum, INT_MAX);
    EXPECT_EQ(Columns->ClientWidth(), Sum);
    EXPECT_LT(Columns->GetItem(1)->GetLeft(), Columns->GetItem(2)->GetLeft());
    Grid->Repaint();
    Grid->GetHorzScrollBar()->SetPosition(Grid->GetHorzScrollBar()->GetMax());
    Application->ProcessMessages();

    // Widths set directly are held the same way; resizing by such a width scrolls safely.
    Columns->GetItem(0)->SetWidth(INT_MAX);
    Columns->GetItem(1)->SetWidth(INT_MAX);
    EXPECT_EQ(Columns->GetItem(0)->GetWidth(), Columns->GetItem(2)->GetWidth());
    EXPECT_LE(int64_t(Columns->GetItem(2)->GetLeft()) + Columns->GetItem(2)->GetWidth(), INT_MAX);
    Grid->Repaint();
    // The window's own shift by the largest amounts moves everything out and repaints it all.
    for (int Shift : {INT_MAX, INT_MIN})
        Grid->ScrollWindowEx(Shift, Shift, nullptr, nullptr, SW_INVALIDATE);
    Columns->GetItem(0)->SetWidth(100);
    Application->ProcessMessages();
    EXPECT_EQ(Columns->GetItem(0)->GetWidth(), 100);
}

// Hand-edited layout files: a missing entry takes its default (visible, ascending, unsorted, the
// column's own place and width) and a position no column can take leaves that column where it is.
TEST_F(ExportFixture, IncompleteOrHandEditedLayoutFilesKeepWhatTheyDoNotSay) {
    MakeGrid({u"A", u"B", u"C", u"D"});
    TNxColumns* Columns = Grid->GetColumns();
    struct TCase {
        std::string Ini;
        std::vector<bool> Visible;
        std::vector<int> Positions;
        std::vector<int> Widths;
    };
    for (const TCase& Case : {
             TCase{"[Columns Sizes]\nColumn0=70\n", {true, true, true, true}, {0, 1, 2, 3}, {70, 51, 52, 53}},
             TCase{"[Visible Columns]\nColumn0=0\nColumn3=1\n",
                   {false, true, true, true},
                   {0, 1, 2, 3},
                   {50, 51, 52, 53}},
             TCase{"[Positions]\nColumn0=4\nColumn1=-1\nColumn2=2147483647\nColumn3=-2147483648\n",
                   {true, true, true, true},
                   {0, 1, 2, 3},
                   {50, 51, 52, 53}},
             TCase{
                 "[Positions]\nColumn0=3\nColumn1=99\nColumn2=-7\nColumn3=0\n[Visible Columns]\nColumn1=0\n",
                 {true, false, true, true},
                 {3, 1, 2, 0},
                 {50, 51, 52, 53}},
         }) {
        SCOPED_TRACE(Case.Ini);
        for (int i = 0; i < 4; ++i) {
            TNxCustomColumn* C = Columns->GetItem(i);
            C->SetPosition(i);
            C->SetWidth(50 + i);
            C->SetVisible(i != 1 && i != 3); // hidden before: a missing entry must show them
            C->SetSortKind(skDescending);
        }
        WriteBytes(Folder.File("edited.ini"), Case.Ini);
        Grid->LoadFromIni(Folder.WideFile("edited.ini"), "");
        for (int i = 0; i < 4; ++i) {
            TNxCustomColumn* C = Columns->GetItem(i);
            EXPECT_EQ(C->GetVisible(), Case.Visible[i]) << "column " << i;
            EXPECT_EQ(C->GetPosition(), Case.Positions[i]) << "column " << i;
            EXPECT_EQ(C->GetWidth(), Case.Widths[i]) << "column " << i;
            EXPECT_EQ(C->GetSortKind(), skAscending) << "column " << i;
            EXPECT_FALSE(C->GetSorted()) << "column " << i;
        }
    }
}

// Exports write beside the target and replace it only when complete.
struct FailedExport : ExportFixture {
    void SetUp() override {
        MakeGrid({u"A", u"B"});
        Grid->AddRow(20000);
        for (int r = 0; r < 20000; ++r)
            Grid->SetCells(0, r, u"row text that fills the file");
        WriteBytes(Folder.File("old.txt"), "the good old file");
    }
};

TEST_F(FailedExport, FileSizeLimitLeavesOldFileAndNoTemporary) {
    // A file size limit fails writes the way a full disk does, without needing a small disk.
    struct rlimit Old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Old), 0);
    auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Old;
    Small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    auto Attempt = [&](const std::function<void()>& Export) {
        try {
            Export();
            return std::string("no error");
        } catch (const EWriteError& e) {
            return std::string(e.what());
        } catch (const std::exception& e) {
            return std::string("other: ") + e.what();
        }
    };
    const std::string Text =
        Attempt([&] { Grid->SaveToTextFile(Folder.WideFile("old.txt"), u';', u'|', ekUnicode); });
    const std::string Xml = Attempt([&] { Grid->SaveToXMLFile(Folder.WideFile("old.txt"), enUTF_8); });
    const std::string Html = Attempt([&] { Grid->SaveToHtml(Folder.WideFile("old.txt"), {hsSaveHeaders}); });
    setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_EQ(Text, "Stream write error");
    EXPECT_EQ(Xml, "Stream write error");
    EXPECT_EQ(Html, "Stream write error");
    EXPECT_EQ(ReadBytes(Folder.File("old.txt")), "the good old file");
    EXPECT_EQ(Folder.Names(), std::vector<std::string>{"old.txt"});
}

TEST_F(FailedExport, FullDeviceAndMissingFolderReportTheirErrors) {
    {
        TFileStream Full(std::string("/dev/full"), fmOpenWrite);
        EXPECT_THROW(Grid->SaveToStream(Full, ';'), EWriteError);
    }
    // A target that is a device is written in place: nothing to keep, nothing to rename.
    EXPECT_THROW(Grid->SaveToTextFile(u"/dev/full", u';', u'|', ekAnsi), EWriteError);

    EXPECT_THROW(Grid->SaveToTextFile(Folder.WideFile("no/such/folder.txt"), u';', u'|', ekAnsi),
                 EFCreateError);
}

TEST_F(FailedExport, ReadOnlyFolderLeavesOldFile) {
    chmod(Folder.Path().c_str(), 0555);
    if (access(Folder.Path().c_str(), W_OK) == 0) {
        chmod(Folder.Path().c_str(), 0755);
        GTEST_SKIP() << "a read-only folder is still writable for this user";
    }
    EXPECT_THROW(Grid->SaveToHtml(Folder.WideFile("old.txt"), {}), EFCreateError);
    chmod(Folder.Path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(Folder.File("old.txt")), "the good old file");
}

} // namespace
