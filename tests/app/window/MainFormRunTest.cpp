// The main window during a run, driven by real input events while a gate holds the worker in the
// middle of a file: results land in their own rows, the other commands wait, Stop and closing end
// the run without a partial file, and the window keeps painting.
#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/stat.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MainFormTestSupport.h"
#include "app/batch/BatchFileSystem.h"
#include "app/window/GridJobList.h"
#include "app/window/MainForm.h"
#include "controls/NxEdit.h"
#include "controls/NxPanel.h"
#include "decoding/MarkedTextEncoder.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/TestSupport.h"

// While a watch stands, every block handed back to the allocator is searched for a text first, so a
// copy of the key freed without being wiped is seen. (The sanitizers bring their own allocator.)
namespace {
std::atomic<const std::string*> WatchedText{nullptr};
std::atomic<int> FreedWithText{0};
void SearchFreed(void* Block) {
    const std::string* Text = WatchedText.load();
    if (Text && Block && memmem(Block, malloc_usable_size(Block), Text->data(), Text->size()))
        ++FreedWithText;
}
} // namespace
#if !defined(__SANITIZE_ADDRESS__)
void operator delete(void* Block) noexcept {
    SearchFreed(Block);
    std::free(Block);
}
void operator delete(void* Block, std::size_t) noexcept {
    SearchFreed(Block);
    std::free(Block);
}
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "window run key 0042";

std::string ReadAll(const fs::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

fs::path FreshFolder(const std::string& Name) {
    fs::path Folder = fs::path(QUILLMAR_BINARY_DIR) / "test-work" / Name;
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    return Folder;
}

// A marked text of about the given size, scrambled with the test key.
std::string MarkedText(size_t Size, char Letter) {
    const std::string Region =
        EncodeMarkedText(std::string(1000, Letter) + "\n", PrepareEncriptMatrix(kKey)).Text +
        "\nplain line\n";
    std::string Text;
    while (Text.size() < Size)
        Text += Region;
    return Text;
}

// Handles the window's messages until the predicate holds; false after a generous time without.
template <class Pred> bool PumpUntil(Pred Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Holds the worker before a chosen read of one source until the test opens the gate. The held
// source may also be a virtual file of any size, made up as it is read.
class TGatedFileSystem : public BatchFileSystem {
public:
    std::string HeldName;     // file name of the source whose reads are held
    int ReadsBeforeHold = 1;  // reads that pass before the gate closes
    uint64_t VirtualSize = 0; // > 0: the held source is made up, this many bytes
    std::atomic<bool> Waiting{false};
    std::atomic<int> Reads{0}; // reads of the held source, the held one included
    bool TimedOut = false;

    unsigned DriveType(const std::string&) override { return DRIVE_FIXED; }

    void Open() {
        {
            std::lock_guard Lock(Mutex);
            Opened = true;
        }
        Changed.notify_all();
    }

    std::unique_ptr<BatchInput> OpenRead(const std::string& Path, int& Error) override {
        if (fs::path(Path).filename() != HeldName) return BatchFileSystem::OpenRead(Path, Error);
        std::unique_ptr<BatchInput> Inner = VirtualSize ? nullptr : BatchFileSystem::OpenRead(Path, Error);
        if (!VirtualSize && !Inner) return nullptr;
        Error = 0;
        return std::make_unique<THeld>(*this, std::move(Inner));
    }

private:
    class THeld : public BatchInput {
    public:
        THeld(TGatedFileSystem& Owner, std::unique_ptr<BatchInput> Inner)
            : F(Owner), Inner(std::move(Inner)) {}
        uint64_t Size() override { return Inner ? Inner->Size() : F.VirtualSize; }
        int Error() const override { return Inner ? Inner->Error() : 0; }
        bool Permissions(unsigned& Mode, int& E) override {
            if (Inner) return Inner->Permissions(Mode, E);
            Mode = 0644;
            return true;
        }
        size_t Read(uint8_t* Buffer, size_t Capacity) override {
            if (++F.Reads > F.ReadsBeforeHold) F.Wait();
            if (Inner) return Inner->Read(Buffer, Capacity);
            const size_t N = static_cast<size_t>(std::min<uint64_t>(Capacity, F.VirtualSize - Given));
            for (size_t i = 0; i < N; ++i)
                Buffer[i] = static_cast<uint8_t>('a' + (Given + i) % 26);
            Given += N;
            return N;
        }

    private:
        TGatedFileSystem& F;
        std::unique_ptr<BatchInput> Inner;
        uint64_t Given = 0;
    };

    void Wait() {
        std::unique_lock Lock(Mutex);
        Waiting = true;
        // A worker that is never let go (a window that waits for its own run) fails instead of hanging.
        if (!Changed.wait_for(Lock, std::chrono::seconds(60), [&] { return Opened; })) TimedOut = true;
        Waiting = false;
    }

    std::mutex Mutex;
    std::condition_variable Changed;
    bool Opened = false;
};

class MainFormRunFixture : public TMainFormFixture {
protected:
    void SetUp() override {
        TMainFormFixture::SetUp();
        Form->RunFileSystem = &Gate;
    }
    void TearDown() override {
        Gate.Open();
        TMainFormFixture::TearDown();
    }
    void ClickButton(TSpeedButton* Button) {
        QPoint Center(Button->GetLeft() + Button->GetWidth() / 2, Button->GetTop() + Button->GetHeight() / 2);
        QTest::mouseClick(Client(Form->NxPanel1), Qt::LeftButton, Qt::NoModifier, Center);
        Pump();
    }
    void TypeKey() {
        Form->Edit1->SetFocus();
        QTest::keyClicks(Client(Form->Edit1), kKey);
        Pump();
    }
    // The row that holds the source now.
    int RowOf(const fs::path& Source) {
        for (int r = 0; r < Form->NextGrid1->GetRowCount(); ++r)
            if (Form->NextGrid1->GetCells(0, r) == Utf8ToWide(Source.string())) return r;
        return -1;
    }
    QPoint HeaderOf(int Column) {
        TRect Cell = Form->NextGrid1->GetCellRect(Column, 0);
        return QPoint((Cell.Left + Cell.Right) / 2, Form->NextGrid1->GetHeaderRect().Top + 8);
    }
    void DropFile(const fs::path& File) {
        QMimeData Data;
        Data.setUrls({QUrl::fromLocalFile(QString::fromStdString(File.string()))});
        QDragEnterEvent Enter(QPoint(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client(Form), &Enter);
        QDropEvent Drop(QPointF(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client(Form), &Drop);
        Pump();
    }
    // Adds the files through the dialog, types the key and clicks Run.
    void AddTypeAndRun(const std::vector<fs::path>& Files, const std::function<void()>& BeforeRun = {}) {
        std::vector<WideString> Paths;
        for (const fs::path& File : Files)
            Paths.push_back(Utf8ToWide(File.string()));
        Dialogs->FileChoices = {Paths};
        ClickButton(Form->open_files_but);
        TypeKey();
        if (BeforeRun) BeforeRun();
        ClickButton(Form->decript_but);
    }
    // AddTypeAndRun, then waits until the worker is held in the held file.
    void StartHeld(const std::vector<fs::path>& Files, const std::function<void()>& BeforeRun = {}) {
        AddTypeAndRun(Files, BeforeRun);
        ASSERT_TRUE(PumpUntil([&] { return Gate.Waiting.load(); }));
        ASSERT_TRUE(Form->IsRunning());
    }
    void FinishHeld() {
        Gate.Open();
        ASSERT_TRUE(PumpUntil([&] { return !Form->IsRunning(); }));
        EXPECT_FALSE(Gate.TimedOut) << "the window waited for its own run";
    }
    TGatedFileSystem Gate;
};

TEST_F(MainFormRunFixture, ResultsLandInTheirOwnRowsWhateverTheUserDoesDuringARun) {
    fs::path Folder = FreshFolder("run-identity");
    std::vector<fs::path> Files = {Folder / "z-big.txt", Folder / "a-small.txt", Folder / "b-small.txt",
                                   Folder / "c-small.txt"};
    for (size_t i = 0; i < Files.size(); ++i)
        std::ofstream(Files[i], std::ios::binary) << MarkedText(i == 0 ? 400000 : 3000, char('k' + i));
    Gate.HeldName = "z-big.txt";
    StartHeld(Files);
    // The worker posts the start before its first read, so the row may show it a moment later.
    ASSERT_TRUE(PumpUntil([&] { return Form->NextGrid1->GetCells(1, RowOf(Files[0])) == u"Decoding"; }));

    // Header clicks on every column (each sorts), twice on the first (reversing it).
    QWidget* Grid = Client(Form->NextGrid1);
    for (int Column : {0, 1, 2, 3, 0, 0}) {
        QTest::mouseClick(Grid, Qt::LeftButton, Qt::NoModifier, HeaderOf(Column));
        Pump();
        if (Column == 0 && Form->NextGrid1->GetColumns()->GetItem(0)->GetSortKind() == skAscending)
            EXPECT_EQ(RowOf(Files[0]), 3) << "an ascending sort by source path left the big file in place";
    }
    // A typed key (incremental search in the read-only grid), a dropped file, a drag over the rows
    // (the grid's options allow no row moving, so it selects) and a header dragged onto another.
    Form->NextGrid1->SetFocus();
    QTest::keyClick(Grid, Qt::Key_B);
    QTest::keyClick(Grid, Qt::Key_Down);
    std::ofstream(Folder / "dropped.txt") << "dropped";
    DropFile(Folder / "dropped.txt");
    TRect First = Form->NextGrid1->GetCellRect(0, 0), Last = Form->NextGrid1->GetCellRect(0, 3);
    QTest::mousePress(Grid, Qt::LeftButton, Qt::NoModifier, QPoint(First.Left + 20, First.Top + 4));
    for (int y = First.Top + 4; y <= Last.Top + 4; y += 4)
        QTest::mouseMove(Grid, QPoint(First.Left + 20, y));
    QTest::mouseRelease(Grid, Qt::LeftButton, Qt::NoModifier, QPoint(First.Left + 20, Last.Top + 4));
    QTest::mousePress(Grid, Qt::LeftButton, Qt::NoModifier, HeaderOf(1));
    for (int x = HeaderOf(1).x(); x <= HeaderOf(3).x(); x += 8)
        QTest::mouseMove(Grid, QPoint(x, HeaderOf(1).y()));
    QTest::mouseRelease(Grid, Qt::LeftButton, Qt::NoModifier, HeaderOf(3));
    Pump();
    EXPECT_EQ(Form->NextGrid1->GetRowCount(), 4) << "a file dropped during a run joined the list";
    FinishHeld();

    // The command line decodes the same files; every source has exactly one copy, equal to its.
    fs::path CliOut = FreshFolder("run-identity-cli");
    std::string Command = "QUILLMAR_KEY='" + std::string(kKey) + "' " + QUILLMAR_CLI +
                          " decode --output-dir '" + CliOut.string() + "'";
    for (const fs::path& File : Files)
        Command += " '" + File.string() + "'";
    ASSERT_EQ(std::system((Command + " > /dev/null").c_str()), 0);
    std::vector<std::string> Made;
    for (const auto& Entry : fs::directory_iterator(Folder / "Decript"))
        Made.push_back(Entry.path().filename().string());
    std::sort(Made.begin(), Made.end());
    EXPECT_EQ(Made, (std::vector<std::string>{"a-small(dec1).txt", "b-small(dec1).txt", "c-small(dec1).txt",
                                              "z-big(dec1).txt"}));
    for (const fs::path& File : Files) {
        const int Row = RowOf(File);
        ASSERT_GE(Row, 0) << File;
        const std::string Name = File.stem().string() + "(dec1).txt";
        EXPECT_EQ(Form->NextGrid1->GetCells(1, Row), u"Decoded") << File;
        EXPECT_EQ(Form->NextGrid1->GetCell(2, Row)->GetAsFloat(), 100) << File;
        EXPECT_EQ(WideToUtf8(Form->NextGrid1->GetCells(3, Row)), (Folder / "Decript" / Name).string());
        EXPECT_EQ(ReadAll(Folder / "Decript" / Name), ReadAll(CliOut / Name)) << File;
    }
}

TEST_F(MainFormRunFixture, OtherCommandsWaitAndClosingStopsTheRunThenCloses) {
    fs::path Folder = FreshFolder("run-close");
    std::vector<fs::path> Files = {Folder / "first.txt", Folder / "second.txt"};
    for (const fs::path& File : Files)
        std::ofstream(File, std::ios::binary) << MarkedText(200000, 'q');
    Gate.HeldName = "first.txt";
    Gate.VirtualSize = 8 << 20; // more than one read, so the worker is held inside it
    StartHeld(Files);

    EXPECT_TRUE(Form->stop_but->GetVisible());
    EXPECT_FALSE(Form->decript_but->GetVisible());
    for (TSpeedButton* Button : {Form->open_files_but, Form->open_folder_but, Form->play_but}) {
        EXPECT_FALSE(Button->GetEnabled()) << Button->GetName();
        ClickButton(Button);
    }
    EXPECT_TRUE(Dialogs->FileRequests.size() == 1 && Dialogs->FolderRequests.empty() &&
                Dialogs->Messages.empty() && Dialogs->Opened.empty());
    QTest::keyClicks(Client(Form->Edit1), "xyz");
    Pump();
    EXPECT_EQ(Form->Edit1->GetText(), Utf8ToWide(kKey)) << "the key changed during a run";
    EXPECT_FALSE(Form->GetAcceptFiles());
    DropFile(Folder / "late.txt");
    EXPECT_EQ(Form->NextGrid1->GetRowCount(), 2);

    // Closing asks the run to stop; the window goes once the run has ended.
    Form->Close();
    Pump();
    EXPECT_TRUE(Form->GetVisible()) << "closed before the run had stopped";
    Gate.Open();
    ASSERT_TRUE(PumpUntil([&] { return !Form->GetVisible(); }));
    EXPECT_FALSE(Form->IsRunning());
    EXPECT_FALSE(fs::exists(Folder / "Decript" / "first(dec1).txt"));
    EXPECT_FALSE(fs::exists(Folder / "Decript" / "second(dec1).txt"));
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 0), u"Not decoded");
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 1), u"Not decoded");
}

TEST_F(MainFormRunFixture, StopInAGigabyteFileEndsAtTheNextReadAndTheWindowPaintsMeanwhile) {
    fs::path Folder = FreshFolder("run-stop");
    Gate.HeldName = "huge.txt";
    Gate.VirtualSize = uint64_t(1) << 30;
    Gate.ReadsBeforeHold = 3;
    std::ofstream(Folder / "huge.txt") << "stands for a gigabyte";
    std::ofstream(Folder / "after.txt") << MarkedText(1000, 'r');

    struct TPaintCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* E) override {
            Paints += E->type() == QEvent::Paint;
            return false;
        }
    } Counter;
    Client(Form->NextGrid1)->installEventFilter(&Counter);
    StartHeld({Folder / "huge.txt", Folder / "after.txt"}, [&] { Counter.Paints = 0; });
    // The worker is held after three reads: the window has painted the row's start meanwhile.
    ASSERT_TRUE(
        PumpUntil([&] { return Counter.Paints > 0 && Form->NextGrid1->GetCells(1, 0) == u"Decoding"; }));

    ClickButton(Form->stop_but);
    const int ReadsAtStop = Gate.Reads;
    FinishHeld();
    EXPECT_EQ(Gate.Reads - ReadsAtStop, 0) << "reads went on after the stop";
    EXPECT_TRUE(fs::is_empty(Folder / "Decript")) << "a partial file was left";
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 0), u"Not decoded");
    EXPECT_EQ(Form->NextGrid1->GetCell(2, 0)->GetAsFloat(), 0);
    EXPECT_EQ(Form->NextGrid1->GetCells(1, 1), u"Not decoded");
    EXPECT_TRUE(Form->decript_but->GetVisible());
}

TEST_F(MainFormRunFixture, ADecodedCopyKeepsTheSourcesPermissionBits) {
    fs::path Folder = FreshFolder("run-mode");
    const mode_t Old = ::umask(022);
    std::vector<std::pair<fs::path, unsigned>> Cases = {
        {Folder / "private.txt", 0600}, {Folder / "shared.txt", 0644}, {Folder / "group.txt", 0660}};
    std::vector<fs::path> Files;
    for (const auto& [File, Mode] : Cases) {
        std::ofstream(File) << MarkedText(500, 'm');
        ::chmod(File.c_str(), Mode);
        Files.push_back(File);
    }
    AddTypeAndRun(Files);
    ASSERT_TRUE(PumpUntil([&] { return !Form->IsRunning(); }));
    ::umask(Old);
    for (const auto& [File, Mode] : Cases) {
        struct stat St {};
        ASSERT_EQ(::stat((Folder / "Decript" / (File.stem().string() + "(dec1).txt")).c_str(), &St), 0)
            << File;
        EXPECT_EQ(St.st_mode & 0777, Mode & ~0022u) << File;
    }
}

TEST_F(MainFormRunFixture, ARunFreesNoEightBitCopyOfTheKeyUnwiped) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands where the watch would";
#endif
    fs::path Folder = FreshFolder("run-key-copies");
    std::ofstream(Folder / "a.txt") << MarkedText(500, 'k');
    const std::string Key = kKey;
    FreedWithText = 0;
    WatchedText = &Key;
    {
        std::string Copy(Key);
        asm volatile("" : : "r"(Copy.data()) : "memory");
    }
    ASSERT_EQ(FreedWithText.exchange(0), 1) << "the watch sees a freed copy";
    WatchedText = nullptr;
    AddTypeAndRun({Folder / "a.txt"}, [&] { WatchedText = &Key; });
    ASSERT_TRUE(PumpUntil([&] { return !Form->IsRunning(); }));
    WatchedText = nullptr;
    EXPECT_EQ(ReadAll(Folder / "Decript" / "a(dec1).txt").substr(2, 1000), std::string(1000, 'k'));
    EXPECT_EQ(FreedWithText.load(), 0);
}

TEST_F(MainFormRunFixture, TheKeyErrorBoxOpensOnceTheRunCommandHasReturned) {
    Form->Edit1->SetFocus();
    QTest::keyClicks(Client(Form->Edit1), "  short  ");
    Form->decript_butClick(nullptr);
    EXPECT_TRUE(Dialogs->Messages.empty()) << "the box held the caller of Run";
    EXPECT_FALSE(Form->IsRunning());
    ASSERT_TRUE(PumpUntil([&] { return !Dialogs->Messages.empty(); }));
    EXPECT_EQ(Dialogs->Messages.size(), 1u);
    EXPECT_EQ(Dialogs->Messages[0],
              std::make_pair(WideString(u"Decoding key is not correct!"), WideString(u"Error")));
}

TEST_F(MainFormRunFixture, ANameThatIsNoUtf8IsDroppedDecodedAndOpenedAsItsOwnBytes) {
    fs::path Folder = FreshFolder("run-bytes");
    const std::string Bad = Folder.string() + "/bad\xFF.txt";
    const std::string Lookalike = Folder.string() + "/bad\xEF\xBF\xBD.txt";
    std::ofstream(Bad) << "own bytes";
    std::ofstream(Lookalike) << "the other file";
    // A file manager's URL carries the name's bytes percent-encoded.
    QMimeData Data;
    Data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(Bad).toPercentEncoding("/"))});
    QDragEnterEvent Enter(QPoint(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Client(Form), &Enter);
    QDropEvent Drop(QPointF(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Client(Form), &Drop);
    Pump();
    ASSERT_EQ(Form->NextGrid1->GetRowCount(), 1);
    EXPECT_EQ(Form->NextGrid1->GetCells(0, 0), Utf8ToWide(Folder.string()) + u"/bad\\xFF.txt");
    TypeKey();
    ClickButton(Form->decript_but);
    ASSERT_TRUE(PumpUntil([&] { return !Form->IsRunning(); }));
    const std::string Copy = Folder.string() + "/Decript/bad\xFF(dec1).txt";
    std::ifstream In(Copy);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "own bytes");
    EXPECT_FALSE(fs::exists(Folder / "Decript" / "bad\xEF\xBF\xBD(dec1).txt"));
    Form->NextGrid1->SetSelectedRow(0);
    Form->play_butClick(nullptr);
    ASSERT_EQ(Dialogs->Opened.size(), 1u);
    EXPECT_EQ(PathFromText(Dialogs->Opened[0]), Copy);
}

TEST_F(MainFormRunFixture, AKeyWithCharactersOutsideTheCodePageIsRefused) {
    fs::path Folder = FreshFolder("run-key-page");
    std::ofstream(Folder / "a.txt") << MarkedText(200, 'k');
    Dialogs->FileChoices = {{PathToText((Folder / "a.txt").string())}};
    ClickButton(Form->open_files_but);
    Form->Edit1->SetText(u"\u041A\u043B\u044E\u0447 \u043A\u043B\u044E\u0447\u0430");
    Form->decript_butClick(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !Dialogs->Messages.empty(); }));
    EXPECT_EQ(Dialogs->Messages[0],
              std::make_pair(WideString(u"Decoding key has characters that the code page "
                                        u"cannot hold!"),
                             WideString(u"Error")));
    EXPECT_FALSE(Form->IsRunning());
    EXPECT_FALSE(fs::exists(Folder / "Decript"));
}

} // namespace

TEST_F(MainFormRunFixture, AnEmptyListRunsAndTheButtonsSwapBack) {
    TypeKey();
    ClickButton(Form->decript_but);
    ASSERT_TRUE(PumpUntil([&] { return !Form->IsRunning(); }));
    EXPECT_TRUE(Form->decript_but->GetVisible());
    EXPECT_FALSE(Form->stop_but->GetVisible());
    EXPECT_TRUE(Form->open_files_but->GetEnabled());
    EXPECT_TRUE(Dialogs->Messages.empty());
}

// The grid's job list belongs to the interface thread; a call from another is a fault that debug
// builds catch before it touches the grid.
using GridJobListDeathTest = MainFormRunFixture;
TEST_F(GridJobListDeathTest, ACallFromAnotherThreadIsCaughtInDebugBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "thread checks are compiled out of release builds";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    GridJobList Sources(*Form->NextGrid1);
    EXPECT_EQ(Sources.GetRowCount(), 0);
    EXPECT_DEATH(std::thread([&] { Sources.GetRowCount(); }).join(),
                 "GridJobList used from a thread other than the one that owns it");
#endif
}
