// TMain_form: construction in the order of the form description, and the tool bar's commands.
#include "app/window/MainForm.h"

#include <memory>

#include "app/batch/BatchJobWriter.h"
#include "app/batch/BatchRun.h"
#include "app/batch/BatchThread.h"
#include "app/window/GridJobList.h"
#include "app/window/MainGlyphs.h"
#include "app/window/PrimeForm.h"
#include "controls/NxEdit.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "grid/model/ProgressColumn.h"
#include "grid/model/TextColumn.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/MainThreadQueue.h"
#include "platform/windows/StdCtrls.h"

using namespace NxStdCtrls;

TMain_form* Main_form = nullptr;

namespace {

inline const WideString kErrorCaption = u"Error";
inline const WideString kFileNotSelected = u"File is not selected!";
inline const WideString kFileNotDecoded = u"File is not decoded!";
inline const std::string kKeyNotInCodePage = "Decoding key has characters that the code page cannot hold!";
inline const WideString kBrowseTitle = u"Select folder for files";
constexpr UINT kBrowseFlags = BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_BROWSEFORCOMPUTER;

// The window's font and the columns' font: the system sans at 11 pixels.
void SetWindowFont(TFont* Font) {
    Font->SetCharset(DEFAULT_CHARSET);
    Font->SetColor(clWindowText);
    Font->SetHeight(-11);
    Font->SetName("MS Sans Serif");
    Font->SetStyle({});
}

// The run's messages, as a modal box with the caption "Error". The box opens from the message
// loop just after the Run command has returned, so whoever pressed Run (a screen reader's press
// action, say) is not held until the box is closed.
class MessageBoxReporter : public BatchReporter {
public:
    explicit MessageBoxReporter(TMainThreadQueue& Queue) : FQueue(Queue) {}
    void ShowMessage(const std::string& Text, const std::string& Caption) override {
        FQueue.Post([Text = AnsiToWide(Text), Caption = AnsiToWide(Caption)] {
            Application->MessageBox(Text, Caption, MB_OK);
        });
    }

private:
    TMainThreadQueue& FQueue;
};

TSpeedButton* MakeToolButton(TMain_form* Form, TWinControl* Parent, const char* Name, int Left,
                             const WideString& Hint, TMainGlyph Glyph, void (TMain_form::*Click)(TObject*)) {
    auto* Button = new TSpeedButton(Form);
    Button->SetName(Name);
    Button->SetParent(Parent);
    Button->SetBounds(Left, 2, 40, 40);
    Button->SetHint(Hint);
    Button->SetFlat(true);
    Button->SetGlyph(MakeMainGlyph(Glyph).get());
    Button->SetParentShowHint(false);
    Button->SetShowHint(true);
    Button->OnClick = [Form, Click](TObject* Sender) { (Form->*Click)(Sender); };
    return Button;
}

} // namespace

TMain_form::TMain_form(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("Main_form");
    SetCaption(u"Quillmar 1.3");
    SetBounds(711, 169, 649, 320);
    GetConstraints()->SetMinWidth(400);
    GetConstraints()->SetMinHeight(200);
    SetColor(clBtnFace);
    SetWindowFont(GetFont());
    SetIcon(MakeMainIcon().get());
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    // Files dropped from the desktop join the job list as Add files adds them.
    DragAcceptFiles(true);
    OnDropFiles = [this](TObject*, const std::vector<WideString>& Files) { AddSourceFiles(Files); };
    BuildToolBar();
    BuildGrid();
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->SetFilter(u"*.txt|*.txt");
    OpenDialog1->SetOptions({ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing});
    EndLoading();
}

TMain_form::~TMain_form() {
    // A run still going is stopped and its worker joined before the grid it reports to goes; what
    // it posted and has not run yet goes with the queue.
    FWorker.reset();
    FQueue.reset();
    if (Main_form == this) Main_form = nullptr;
}

void TMain_form::BuildToolBar() {
    NxPanel1 = new TNxPanel(this);
    NxPanel1->SetName("NxPanel1");
    NxPanel1->SetParent(this);
    NxPanel1->SetBounds(0, 0, 633, 42);
    NxPanel1->SetAlign(alTop);
    NxPanel1->SetBackgroundStyle(pbVertGradient);
    NxPanel1->GetBorderPen()->SetWidth(0);
    NxPanel1->GetInnerMargins()->SetRect(0, 0, 0, 0);
    NxPanel1->SetTabOrder(0);

    stop_but = MakeToolButton(this, NxPanel1, "stop_but", 81, u"Остановить декрипт", TMainGlyph::Stop,
                              &TMain_form::stop_butClick);
    stop_but->SetVisible(false);
    open_files_but = MakeToolButton(this, NxPanel1, "open_files_but", 1, u"Upload files",
                                    TMainGlyph::OpenFiles, &TMain_form::open_files_butClick);
    open_folder_but = MakeToolButton(this, NxPanel1, "open_folder_but", 41, u"Folder to upload files",
                                     TMainGlyph::OpenFolder, &TMain_form::open_folder_butClick);
    decript_but = MakeToolButton(this, NxPanel1, "decript_but", 81, u"Run", TMainGlyph::Run,
                                 &TMain_form::decript_butClick);
    play_but = MakeToolButton(this, NxPanel1, "play_but", 121, u"Open file", TMainGlyph::OpenFile,
                              &TMain_form::play_butClick);
    // The speed buttons take no focus: keys reach every command. Each key clicks its button while
    // the button is shown and enabled, so Esc stops only a run and F5 runs only outside one.
    AddShortCut(ShortCut('O', {ssCtrl}), open_files_but);
    AddShortCut(ShortCut('O', {ssCtrl, ssShift}), open_folder_but);
    AddShortCut(ShortCut(VK_F5, {}), decript_but);
    AddShortCut(ShortCut('R', {ssCtrl}), decript_but);
    AddShortCut(ShortCut(VK_ESCAPE, {}), stop_but);
    AddShortCut(ShortCut(VK_RETURN, {ssCtrl}), play_but);

    NxLabel1 = new TNxLabel(this);
    NxLabel1->SetName("NxLabel1");
    NxLabel1->SetParent(NxPanel1);
    NxLabel1->SetBounds(176, 13, 72, 13);
    // The marked d gives keyboard users Alt+D to the key field; the caption reads "Key for decode".
    NxLabel1->SetCaption(u"Key for &decode");
    NxLabel1->SetTransparent(true);
    NxLabel1->SetHorizontalPosition(hpLeft);
    NxLabel1->SetVerticalPosition(vpTop);
    NxLabel1->SetInnerHorizontal(true);
    NxLabel1->SetInnerVertical(false);
    NxLabel1->GetInnerMargins()->SetHorizontal(0);
    NxLabel1->GetInnerMargins()->SetVertical(2);

    Edit1 = new TNxEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetParent(NxPanel1);
    Edit1->SetBounds(256, 11, 177, 21);
    Edit1->SetHint(u"Ключ для декодирования");
    Edit1->SetShowHint(true);
    Edit1->SetPasswordChar(u'*');
    Edit1->SetTabOrder(0);
    NxLabel1->SetFocusControl(Edit1);

    Button1 = new TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(NxPanel1);
    Button1->SetBounds(552, 8, 75, 25);
    Button1->SetCaption(u"Test RSA");
    Button1->SetTabOrder(1);
    Button1->SetVisible(false);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
}

void TMain_form::BuildGrid() {
    NextGrid1 = new TNextGrid(this);
    NextGrid1->SetName("NextGrid1");
    NextGrid1->SetParent(this);
    NextGrid1->SetBounds(0, 42, 633, 240);
    NextGrid1->SetAlign(alClient);
    NextGrid1->SetHint(u"Файлы");
    NextGrid1->SetShowHint(true);
    NextGrid1->SetHeaderStyle(hsOffice2010);
    NextGrid1->SetOptions({goCanHideColumn, goGrid, goHeader, goSelectFullRow});
    NextGrid1->SetReadOnly(true);
    NextGrid1->SetTabOrder(1);
    NextGrid1->SetTabStop(true);

    // Columns arrive as the description lists them: the form owns them, the grid lists them.
    auto ReadColumn = [this](TNxCustomColumn* Column, const char* Name, int Position,
                             const WideString& Caption, int Width, TSortType SortType, auto&& Extra) {
        Column->SetName(Name);
        Column->SetParentComponent(NextGrid1);
        Column->ReadState([&](TNxCustomColumn* C) {
            SetWindowFont(C->GetFont());
            C->GetHeader()->SetAlignment(taCenter);
            C->GetHeader()->SetCaption(Caption);
            C->SetDefaultWidth(Width);
            C->SetWidth(Width);
            C->SetPosition(Position);
            C->SetSortType(SortType);
            Extra(C);
        });
    };
    auto None = [](TNxCustomColumn*) {};
    NxTextColumn1 = new TNxTextColumn(this);
    ReadColumn(NxTextColumn1, "NxTextColumn1", 0, u"Source files", 241, stAlphabetic, None);
    NxTextColumn2 = new TNxTextColumn(this);
    ReadColumn(NxTextColumn2, "NxTextColumn2", 1, u"Status", 101, stAlphabetic,
               [](TNxCustomColumn* C) { C->SetAlignment(taCenter); });
    NxProgressColumn1 = new TNxProgressColumn(this);
    ReadColumn(NxProgressColumn1, "NxProgressColumn1", 2, u"Progress", 62, stNumeric, [](TNxCustomColumn* C) {
        auto* P = static_cast<TNxProgressColumn*>(C);
        P->SetAlignment(taCenter);
        P->SetDefaultValue(u"0");
        P->SetBorderColor(clWhite);
        P->SetHideWhenEmpty(false);
        P->SetLowValueColor(clBlack);
        P->SetMargin(0);
        P->SetProgressStyle(TProgressStyle::psGradient);
        P->SetShowText(true);
        P->SetTextPosition(TProgressTextPosition::tpInside);
    });
    NxTextColumn3 = new TNxTextColumn(this);
    ReadColumn(NxTextColumn3, "NxTextColumn3", 3, u"Decoded files", 215, stAlphabetic, None);
}

void TMain_form::FormCreate(TObject*) {
    FolderChosen = false;
    OutputFolder.clear();
}

void TMain_form::ShowError(const WideString& Text) {
    Application->MessageBox(Text, kErrorCaption, MB_OK);
}

int TMain_form::AddSourceFiles(const std::vector<WideString>& Paths) {
    if (FRunning) return 0;
    GridJobList Sources(*NextGrid1);
    return AddFiles(Sources, Paths);
}

void TMain_form::open_files_butClick(TObject*) {
    if (FRunning || !OpenDialog1->Execute()) return;
    AddSourceFiles(OpenDialog1->GetFiles());
}

void TMain_form::open_folder_butClick(TObject*) {
    if (FRunning) return;
    // The wide path keeps every character of the folder's name; the 8-bit code page would not.
    TBrowseFolderRequest Request;
    Request.Title = kBrowseTitle;
    Request.Flags = kBrowseFlags;
    WideString Chosen;
    if (GetDialogProvider().BrowseForFolder(Request, Chosen) && !Chosen.empty())
        OutputFolder = PathFromText(Chosen);
    if (!OutputFolder.empty()) {
        decript_but->SetVisible(true);
        FolderChosen = true;
    }
}

void TMain_form::play_butClick(TObject*) {
    if (FRunning) return;
    GridJobList Sources(*NextGrid1);
    int Row = Sources.GetSelectedRow();
    if (Row < 0) {
        ShowError(kFileNotSelected);
        return;
    }
    WideString Path = Sources.GetDecodedPath(Row);
    if (Path.empty()) {
        ShowError(kFileNotDecoded);
        return;
    }
    GetDialogProvider().OpenDocument(Path);
}

void TMain_form::stop_butClick(TObject*) {
    StopRequested = true;
    if (FWorker) FWorker->RequestStop();
}

void TMain_form::Button1Click(TObject*) {
    CreateForm2();
}

void TMain_form::SetRunning(bool Running) {
    FRunning = Running;
    decript_but->SetVisible(!Running);
    stop_but->SetVisible(Running);
    open_files_but->SetEnabled(!Running);
    open_folder_but->SetEnabled(!Running);
    play_but->SetEnabled(!Running);
    Edit1->SetReadOnly(Running);
    // Files dragged over the window during a run show that they cannot be dropped.
    DragAcceptFiles(!Running);
}

void TMain_form::decript_butClick(TObject*) {
    if (FRunning) return;
    if (!FQueue) FQueue = std::make_unique<TMainThreadQueue>();
    auto Sources = std::make_unique<GridJobList>(*NextGrid1);
    MessageBoxReporter Reporter(*FQueue);
    BatchSettings Settings;
    {
        // Copies of the key made here are wiped; the field keeps the one the user typed.
        WideString Typed = Edit1->GetText();
        AnsiString Converted;
        // A character replaced by '?' would decode with another key than the one typed.
        const bool Exact = WideToAnsiExact(Typed, Converted);
        Settings.Key = Converted;
        WipeMemory(Typed.data(), Typed.capacity() * sizeof(Typed[0]));
        WipeMemory(Converted.data(), Converted.capacity());
        if (!Exact) {
            Reporter.ShowMessage(kKeyNotInCodePage, kCaptionError);
            return;
        }
    }
    Settings.FolderChosen = FolderChosen;
    Settings.OutputFolder = OutputFolder;
    BatchFileSystem& FileSystem = RunFileSystem ? *RunFileSystem : RealFileSystem();
    BatchRun Checks(*Sources, Reporter, FileSystem);
    if (Checks.Check(Settings) != BatchOutcome::Finished) return;

    // The run works on the sources listed now, each found again by its path whenever it reports, so
    // sorting or scrolling the list meanwhile cannot send a result to another file's row.
    FRunJobs = Checks.TakeJobs();
    FRunSources = std::move(Sources);
    FRunWriter = std::make_unique<BatchJobWriter>(*FRunSources, FRunJobs);
    StopRequested = false;
    TMainThreadQueue* Queue = FQueue.get();
    FWorker = std::make_unique<BatchThread>(
        FRunJobs, Settings, FileSystem, *FRunWriter,
        [Queue](std::function<void()> Call) { Queue->Post(std::move(Call)); },
        [this](const BatchResult&) { RunFinished(); }, BatchThread::Options{});
    SetRunning(true);
}

void TMain_form::RunFinished() {
    // The worker's last call: joining it takes no time, and nothing of the run is posted after.
    FWorker.reset();
    FRunWriter.reset();
    FRunSources.reset();
    FRunJobs.clear();
    SetRunning(false);
    if (FCloseAfterRun) {
        FCloseAfterRun = false;
        Close();
    }
}

bool TMain_form::CloseQuery() {
    if (FRunning) {
        // Closing in the middle of a run stops it first; the window closes when the run has ended.
        stop_butClick(this);
        FCloseAfterRun = true;
        return false;
    }
    return TForm::CloseQuery();
}
