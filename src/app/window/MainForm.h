#pragma once
// TMain_form: the decoder window. The tool bar with its commands (add files, choose the output folder,
// run and stop, open a decoded file), the masked key field and the job list grid.
//
// Typical flow: the user types the key into Edit1, adds files (open_files_butClick appends rows to
// NextGrid1 through GridJobList), optionally chooses a folder, then clicks Run: decript_butClick checks
// the key and drives, takes the listed sources as the run's jobs and returns at once, while a worker
// thread decodes them; its reports come back through the message loop and are written into the row
// that holds each job's source, wherever sorting has moved it.

#include <memory>
#include <string>
#include <vector>

#include "app/batch/BatchJobs.h"
#include "platform/windows/Forms.h"

class TOpenDialog;
class TSpeedButton;
namespace NxStdCtrls {
class TNxPanel;
class TNxLabel;
} // namespace NxStdCtrls
namespace NxEdit {
class TNxEdit;
} // namespace NxEdit
using NxEdit::TNxEdit;
using NxStdCtrls::TNxLabel;
using NxStdCtrls::TNxPanel;
class TButton;
class TNextGrid;
class TMainThreadQueue;
class BatchFileSystem;
class BatchJobWriter;
class BatchThread;
class GridJobList;
class TNxTextColumn;
class TNxProgressColumn;

class TMain_form : public TForm {
public:
    // Builds the window and its controls in the order of its form description. OnCreate
    // (FormCreate) runs when the application finishes creating it.
    explicit TMain_form(TComponent* AOwner);
    ~TMain_form() override;

    TOpenDialog* OpenDialog1 = nullptr;
    TNxPanel* NxPanel1 = nullptr;
    TSpeedButton* open_files_but = nullptr;
    TSpeedButton* open_folder_but = nullptr;
    TSpeedButton* decript_but = nullptr;
    TSpeedButton* play_but = nullptr;
    TNxLabel* NxLabel1 = nullptr;
    TNxEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    TNextGrid* NextGrid1 = nullptr;
    TNxTextColumn* NxTextColumn1 = nullptr;
    TNxTextColumn* NxTextColumn2 = nullptr;
    TNxProgressColumn* NxProgressColumn1 = nullptr;
    TNxTextColumn* NxTextColumn3 = nullptr;
    TSpeedButton* stop_but = nullptr;

    bool FolderChosen = false;
    // Set by Stop, cleared when a run starts: a record for the window. The run's worker owns the
    // stop state it acts on, and Stop forwards the request to it.
    bool StopRequested = false;
    // The chosen output folder (UTF-8, as the file system takes it).
    std::string OutputFolder;
    // Where the run reads and writes; null is the real file system. Not changed during a run.
    BatchFileSystem* RunFileSystem = nullptr;

    void FormCreate(TObject* Sender);
    void open_files_butClick(TObject* Sender);
    void open_folder_butClick(TObject* Sender);
    void decript_butClick(TObject* Sender);
    void play_butClick(TObject* Sender);
    void stop_butClick(TObject* Sender);
    void Button1Click(TObject* Sender);

    // Adds files exactly as the Add files command adds the dialog's choice (files named on the
    // command line, files dropped onto the window). Returns the number of rows added.
    int AddSourceFiles(const std::vector<WideString>& Paths);
    // True while a run is in progress (the window keeps handling messages meanwhile).
    bool IsRunning() const { return FRunning; }
    // Decoding goes on after decript_butClick has returned; the window is running until the worker's
    // last report has been written (IsRunning false, Run shown again). Destroying the window during
    // a run stops the run and waits for the worker first.

protected:
    bool CloseQuery() override;

private:
    void BuildToolBar();
    void BuildGrid();
    void ShowError(const WideString& Text);
    // During a run only Stop acts; the other commands wait for its end.
    void SetRunning(bool Running);
    void RunFinished();

    bool FRunning = false;
    bool FCloseAfterRun = false;
    // The run in progress: its jobs, the rows they are written to, and the worker, which goes first
    // (declared last): nothing posts once it has been joined.
    std::unique_ptr<TMainThreadQueue> FQueue;
    std::vector<BatchJob> FRunJobs;
    std::unique_ptr<GridJobList> FRunSources;
    std::unique_ptr<BatchJobWriter> FRunWriter;
    std::unique_ptr<BatchThread> FWorker;
};

extern TMain_form* Main_form;
