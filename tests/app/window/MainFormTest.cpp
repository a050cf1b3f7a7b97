// The main window driven as a user drives it: real clicks and keys, dialogs answered by a test provider.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QMimeData>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "app/window/MainForm.h"
#include "controls/NxEdit.h"
#include "controls/NxPanel.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/TestSupport.h"

namespace {

using MainFormTest = TMainFormFixture;

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::string Narrow(const WideString& Text) {
    return WideToUtf8(Text);
}
WideString Wide(const std::string& Text) {
    return Utf8ToWide(Text);
}

// A fresh folder on the build disk (a fixed disk, so outputs may go beside the sources).
fs::path FreshFolder(const std::string& Name) {
    fs::path Folder = fs::path(QUILLMAR_BINARY_DIR) / "test-work" / Name;
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    return Folder;
}

fs::path Samples() {
    return fs::path(QUILLMAR_SOURCE_DIR) / "samples";
}

std::string SampleKey() {
    std::string Key = ReadAll(Samples() / "key.txt");
    while (!Key.empty() && (Key.back() == '\n' || Key.back() == '\r'))
        Key.pop_back();
    return Key;
}

// Clicks a tool bar button where the user sees it.
void ClickToolButton(TMain_form* Form, TSpeedButton* Button) {
    ASSERT_TRUE(Button->GetVisible());
    QPoint Center(Button->GetLeft() + Button->GetWidth() / 2, Button->GetTop() + Button->GetHeight() / 2);
    QTest::mouseClick(Client(Form->NxPanel1), Qt::LeftButton, Qt::NoModifier, Center);
    Pump();
    // Run returns at once; the decoding goes on until the worker's last report.
    if (Button == Form->decript_but) ASSERT_TRUE(WaitForRunEnd(Form));
}

void TypeKey(TMain_form* Form, const std::string& Key) {
    Form->Edit1->SetFocus();
    QTest::keyClicks(Client(Form->Edit1), QString::fromStdString(Key));
    Pump();
}

TEST_F(MainFormTest, StartsWithFourButtonsAndTheGridBelowTheToolBar) {
    EXPECT_EQ(Form->GetCaption(), u"Quillmar 1.3");
    EXPECT_TRUE(Form->open_files_but->GetVisible());
    EXPECT_TRUE(Form->open_folder_but->GetVisible());
    EXPECT_TRUE(Form->decript_but->GetVisible());
    EXPECT_TRUE(Form->play_but->GetVisible());
    EXPECT_FALSE(Form->stop_but->GetVisible());
    EXPECT_FALSE(Form->Button1->GetVisible());
    EXPECT_FALSE(Client(Form->Button1)->isVisible()) << "a hidden child window showed with its parent";
    EXPECT_EQ(Form->NxPanel1->GetHeight(), 42);
    EXPECT_EQ(Form->NextGrid1->GetTop(), 42);
    EXPECT_EQ(Form->NextGrid1->GetHeight(), Form->GetClientHeight() - 42);
    EXPECT_EQ(Form->NextGrid1->GetWidth(), Form->GetClientWidth());
    EXPECT_EQ(Form->NextGrid1->GetColumns()->Count(), 4);
    EXPECT_TRUE(Form->NextGrid1->GetReadOnly());

    // Smaller than the constraints allow: the window stops at 400 x 200, the grid still fills it.
    Form->SetBounds(Form->GetLeft(), Form->GetTop(), 100, 100);
    Pump();
    EXPECT_EQ(Form->GetWidth(), 400);
    EXPECT_EQ(Form->GetHeight(), 200);
    EXPECT_EQ(Form->NextGrid1->GetWidth(), Form->GetClientWidth());
    EXPECT_EQ(Form->NextGrid1->GetHeight(), Form->GetClientHeight() - 42);
}

TEST_F(MainFormTest, TypedKeyShowsAsterisks) {
    TypeKey(Form, "secret key 1");
    EXPECT_EQ(Form->Edit1->GetText(), u"secret key 1");
    EXPECT_EQ(Form->Edit1->GetDisplayText(), u"************");
}

TEST_F(MainFormTest, AddsFilesWithTheExactDuplicateRule) {
    fs::path Folder = FreshFolder("add");
    Dialogs->FileChoices = {{Wide((Folder / "a.txt").string()), Wide((Folder / "b.txt").string()),
                             Wide((Folder / "a.txt").string())},
                            {Wide((Folder / "A.txt").string()), Wide((Folder / "b.txt").string())},
                            {}};
    ClickToolButton(Form, Form->open_files_but);
    ClickToolButton(Form, Form->open_files_but);
    ClickToolButton(Form, Form->open_files_but); // cancelled: nothing changes
    ASSERT_EQ(Dialogs->FileRequests.size(), 3u);
    EXPECT_TRUE(Dialogs->FileRequests[0].Options.Contains(ofAllowMultiSelect));
    ASSERT_EQ(Dialogs->FileRequests[0].Filters.size(), 1u);
    EXPECT_EQ(Dialogs->FileRequests[0].Filters[0].Pattern, u"*.txt");
    TNextGrid* Grid = Form->NextGrid1;
    ASSERT_EQ(Grid->GetRowCount(), 3);
    EXPECT_EQ(Narrow(Grid->GetCells(0, 0)), (Folder / "a.txt").string());
    EXPECT_EQ(Narrow(Grid->GetCells(0, 1)), (Folder / "b.txt").string());
    EXPECT_EQ(Narrow(Grid->GetCells(0, 2)), (Folder / "A.txt").string());
    for (int Row = 0; Row < 3; ++Row) {
        EXPECT_EQ(Grid->GetCells(1, Row), u"Not decoded");
        EXPECT_EQ(Grid->GetCell(2, Row)->GetAsFloat(), 0);
        EXPECT_EQ(Grid->GetCells(3, Row), u"");
    }
}

TEST_F(MainFormTest, DroppedFilesAreAddedLikeChosenOnes) {
    fs::path Folder = FreshFolder("drop");
    QMimeData Data;
    Data.setUrls({QUrl::fromLocalFile(QString::fromStdString((Folder / "x.txt").string())),
                  QUrl::fromLocalFile(QString::fromStdString((Folder / "x.txt").string())),
                  QUrl::fromLocalFile(QString::fromStdString((Folder / "X.txt").string()))});
    QDragEnterEvent Enter(QPoint(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Client(Form), &Enter);
    QDropEvent Drop(QPointF(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Client(Form), &Drop);
    ASSERT_EQ(Form->NextGrid1->GetRowCount(), 2);
    EXPECT_EQ(Narrow(Form->NextGrid1->GetCells(0, 1)), (Folder / "X.txt").string());
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 1), u"Not decoded");
}

TEST_F(MainFormTest, RunDecodesEveryRowLikeTheCommandLine) {
    fs::path Folder = FreshFolder("run");
    std::vector<std::string> Names = {"letter.txt", "notes.txt", "poem.txt"};
    std::vector<WideString> Paths;
    for (const std::string& Name : Names) {
        fs::copy_file(Samples() / "texts" / Name, Folder / Name);
        Paths.push_back(Wide((Folder / Name).string()));
    }
    Dialogs->FileChoices = {Paths};
    ClickToolButton(Form, Form->open_files_but);
    TypeKey(Form, SampleKey());
    ClickToolButton(Form, Form->decript_but);
    EXPECT_TRUE(Dialogs->Messages.empty());
    EXPECT_TRUE(Form->decript_but->GetVisible());
    EXPECT_FALSE(Form->stop_but->GetVisible());

    // The command line decodes the same files into another folder; the bytes must agree.
    fs::path CliOut = FreshFolder("run-cli");
    std::string Command = std::string(QUILLMAR_CLI) + " decode --key-file '" +
                          (Samples() / "key.txt").string() + "' --output-dir '" + CliOut.string() + "'";
    for (const std::string& Name : Names)
        Command += " '" + (Folder / Name).string() + "'";
    ASSERT_EQ(std::system((Command + " > /dev/null").c_str()), 0);

    TNextGrid* Grid = Form->NextGrid1;
    for (int Row = 0; Row < 3; ++Row) {
        EXPECT_EQ(Grid->GetCells(1, Row), u"Decoded");
        EXPECT_EQ(Grid->GetCell(2, Row)->GetAsFloat(), 100);
        std::string Stem = Names[Row].substr(0, Names[Row].size() - 4);
        fs::path Expected = Folder / "Decript" / (Stem + "(dec1).txt");
        EXPECT_EQ(Narrow(Grid->GetCells(3, Row)), Expected.string());
        EXPECT_EQ(ReadAll(Expected), ReadAll(CliOut / (Stem + "(dec1).txt"))) << Names[Row];
    }
    // Run again: every row gets the next free number.
    ClickToolButton(Form, Form->decript_but);
    EXPECT_EQ(Narrow(Grid->GetCells(3, 0)), (Folder / "Decript" / "letter(dec2).txt").string());
}

TEST_F(MainFormTest, ShortKeyIsRefusedAndNothingIsWritten) {
    fs::path Folder = FreshFolder("shortkey");
    fs::copy_file(Samples() / "texts" / "poem.txt", Folder / "poem.txt");
    Dialogs->FileChoices = {{Wide((Folder / "poem.txt").string())}};
    ClickToolButton(Form, Form->open_files_but);
    TypeKey(Form, "  123456789  ");
    ClickToolButton(Form, Form->decript_but);
    ASSERT_EQ(Dialogs->Messages.size(), 1u);
    EXPECT_EQ(Dialogs->Messages[0].first, u"Decoding key is not correct!");
    EXPECT_EQ(Dialogs->Messages[0].second, u"Error");
    EXPECT_FALSE(fs::exists(Folder / "Decript"));
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 0), u"Not decoded");
}

TEST_F(MainFormTest, OpenDecodedFileNeedsASelectedDecodedRow) {
    fs::path Folder = FreshFolder("open");
    fs::copy_file(Samples() / "texts" / "poem.txt", Folder / "poem.txt");
    Dialogs->FileChoices = {{Wide((Folder / "poem.txt").string())}};
    ClickToolButton(Form, Form->open_files_but);
    ClickToolButton(Form, Form->play_but);
    ASSERT_EQ(Dialogs->Messages.size(), 1u);
    EXPECT_EQ(Dialogs->Messages[0],
              std::make_pair(WideString(u"File is not selected!"), WideString(u"Error")));

    Form->NextGrid1->SetSelectedRow(0);
    ClickToolButton(Form, Form->play_but);
    ASSERT_EQ(Dialogs->Messages.size(), 2u);
    EXPECT_EQ(Dialogs->Messages[1],
              std::make_pair(WideString(u"File is not decoded!"), WideString(u"Error")));
    EXPECT_TRUE(Dialogs->Opened.empty());

    TypeKey(Form, SampleKey());
    ClickToolButton(Form, Form->decript_but);
    ClickToolButton(Form, Form->play_but);
    ASSERT_EQ(Dialogs->Opened.size(), 1u);
    EXPECT_EQ(Narrow(Dialogs->Opened[0]), (Folder / "Decript" / "poem(dec1).txt").string());
}

TEST_F(MainFormTest, ACancelledFolderChoiceKeepsTheFirstFolder) {
    fs::path First = FreshFolder("folder-first");
    Dialogs->FolderChoices = {Wide(First.string()), WideString()};
    ClickToolButton(Form, Form->open_folder_but);
    ASSERT_EQ(Dialogs->FolderRequests.size(), 1u);
    EXPECT_EQ(Dialogs->FolderRequests[0].Title, u"Select folder for files");
    EXPECT_EQ(Dialogs->FolderRequests[0].Flags, 0x1054u);
    EXPECT_TRUE(Form->FolderChosen);
    EXPECT_EQ(Form->OutputFolder, First.string());
    ClickToolButton(Form, Form->open_folder_but);
    EXPECT_TRUE(Form->FolderChosen);
    EXPECT_EQ(Form->OutputFolder, First.string());

    // With the folder chosen, outputs go there.
    fs::path Sources = FreshFolder("folder-sources");
    fs::copy_file(Samples() / "texts" / "notes.txt", Sources / "notes.txt");
    Dialogs->FileChoices = {{Wide((Sources / "notes.txt").string())}};
    ClickToolButton(Form, Form->open_files_but);
    TypeKey(Form, SampleKey());
    ClickToolButton(Form, Form->decript_but);
    EXPECT_TRUE(fs::exists(First / "notes(dec1).txt"));
    EXPECT_FALSE(fs::exists(Sources / "Decript"));
}

QRgb Hex(uint32_t RGB) {
    return qRgb(int(RGB >> 16), int(RGB >> 8) & 0xFF, int(RGB) & 0xFF);
}

TEST_F(MainFormTest, TheWindowTakesClicksWhileTheFolderBrowserIsOpen) {
    fs::path Sources = FreshFolder("browse-sources");
    Dialogs->FileChoices = {{Wide((Sources / "a.txt").string()), Wide((Sources / "b.txt").string())}};
    ClickToolButton(Form, Form->open_files_but);
    ASSERT_EQ(Form->NextGrid1->GetRowCount(), 2);
    ASSERT_NE(Form->NextGrid1->GetSelectedRow(), 0);

    // The platform's own browser: while it waits, a click on the job list selects a row.
    auto Scripted = SetDialogProvider(nullptr);
    bool BrowserShown = false;
    bool NothingModal = false;
    int Selected = -1;
    QTimer::singleShot(0, [&] {
        QDialog* Browser = nullptr;
        for (QWidget* W : QApplication::topLevelWidgets())
            if (auto* D = qobject_cast<QFileDialog*>(W); D && D->isVisible()) Browser = D;
        BrowserShown = Browser != nullptr;
        NothingModal = Frame(Form)->isEnabled() && !QApplication::activeModalWidget();
        TRect Cell = Form->NextGrid1->GetCellRect(0, 0);
        QPoint Center((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2);
        QTest::mouseClick(Client(Form->NextGrid1), Qt::LeftButton, Qt::NoModifier, Center);
        Pump();
        Selected = Form->NextGrid1->GetSelectedRow();
        if (Browser) Browser->reject();
    });
    ClickToolButton(Form, Form->open_folder_but);
    SetDialogProvider(std::move(Scripted));
    EXPECT_TRUE(BrowserShown);
    EXPECT_TRUE(NothingModal);
    EXPECT_EQ(Selected, 0);
    EXPECT_FALSE(Form->FolderChosen) << "a cancelled browser chose a folder";
}

TEST_F(MainFormTest, RendersTheToolBarAndJobList) {
    QImage Image = Frame(Form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(Image.save(QString::fromStdString(OutDir() + "/main-window.png")));
    // The tool bar: the gradient from the window color towards #E3EFFF (half-way at row 21 of 42)
    // beside the key field and where the hidden button would be.
    const QPoint Bar = Client(Form->NxPanel1)->mapTo(Frame(Form), QPoint(0, 0));
    for (int X : {450, 520, 600})
        EXPECT_EQ(Image.pixel(Bar.x() + X, Bar.y() + 21), Hex(0xF1F7FF)) << X;

    // The job list's header band, 18 high, Office 2010 in the blue scheme: columns 241, 101, 62
    // and 215 wide from the left edge, light blue dividers two rows below the top to four above
    // the bottom, the darker border down the last one and along the bottom, the white-to-#AFD2FF
    // gradient in between, and the grid's own color right of the last column.
    const QImage& Grid = Form->NextGrid1->GetWindowPrivate()->Pixels;
    const QRgb Divider = Hex(0x9AC6FF), Border = Hex(0x6593CF);
    for (int Right : {241, 342, 404}) {
        EXPECT_NE(Grid.pixel(Right - 1, 1), Divider) << Right;
        EXPECT_EQ(Grid.pixel(Right - 1, 2), Divider) << Right;
        EXPECT_EQ(Grid.pixel(Right - 1, 14), Divider) << Right;
        EXPECT_NE(Grid.pixel(Right - 1, 15), Divider) << Right;
    }
    EXPECT_EQ(Grid.pixel(618, 0), Border);
    EXPECT_EQ(Grid.pixel(618, 16), Border);
    for (int X : {0, 120, 300, 617})
        EXPECT_EQ(Grid.pixel(X, 17), Border) << X;
    EXPECT_EQ(Grid.pixel(5, 0), Hex(0xFFFFFF));
    EXPECT_EQ(Grid.pixel(5, 9), Hex(0xD7E8FF));
    EXPECT_EQ(Grid.pixel(620, 9), Hex(0xFFFFFF));
    EXPECT_EQ(Grid.pixel(300, 100), Hex(0xFFFFFF)) << "an empty job list";

    // Captions centred in their headers, 2 pixels right of the centred place, in the grid's font.
    // Each caption alone, its text starting at 0 on white, gives its first inked column.
    TBitmap Measure(300, 18);
    Measure.GetCanvas()->SetFont(Form->NextGrid1->GetFont());
    auto Bearing = [&](const WideString& Caption) {
        Measure.GetCanvas()->GetBrush()->SetColor(clWhite);
        Measure.GetCanvas()->FillRect({0, 0, 300, 18});
        Measure.GetCanvas()->TextOut(0, 0, Caption);
        for (int X = 0; X < 300; ++X)
            for (int Y = 0; Y < 18; ++Y)
                if (GetRValue(ColorToRGB(Measure.GetCanvas()->GetPixels(X, Y))) < 0x80) return X;
        return -1;
    };
    struct THeader {
        const char16_t* Caption;
        int Left, Width;
    };
    for (const THeader& H : {THeader{u"Source files", 0, 241}, THeader{u"Status", 241, 101},
                             THeader{u"Progress", 342, 62}, THeader{u"Decoded files", 404, 215}}) {
        const int E = Measure.GetCanvas()->TextWidth(H.Caption) + 2;
        const int Text = H.Left + (H.Width - E) / 2 + 2;
        int Inked = -1;
        for (int X = H.Left + 1; X < H.Left + H.Width - 1 && Inked < 0; ++X)
            for (int Y = 2; Y < 16; ++Y)
                if (qRed(Grid.pixel(X, Y)) < 0x80) {
                    Inked = X;
                    break;
                }
        EXPECT_EQ(Inked, Text + Bearing(H.Caption)) << WideToUtf8(H.Caption);
    }
}

} // namespace
