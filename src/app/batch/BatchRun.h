#pragma once
// The batch run: checks the key and the sources' drives, builds the matrix once, and decodes every
// row of the job list into a new file, recording status, progress and decoded path.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/batch/BatchFileSystem.h"
#include "app/batch/JobList.h"
#include "decoding/KeySchedule.h"
#include "decoding/MarkedTextDecoder.h"
#include "platform/runtime/Types.h"

inline const std::string kMessageKeyNotCorrect = "Decoding key is not correct!";
inline const std::string kMessageUploadFolderNotCorrect = "Upload folder is not correct!";
inline const std::string kCaptionError = "Error";

// How the run's messages reach the user: a message box in the window, standard error on the command
// line.
class BatchReporter {
public:
    virtual ~BatchReporter() = default;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

struct BatchSettings {
    AnsiString Key;            // the key as typed, in the 8-bit code page, untrimmed
    bool FolderChosen = false; // put every output into OutputFolder
    std::string OutputFolder;  // UTF-8
};

struct BatchHooks {
    // true: hide Run and show Stop; false: the reverse.
    std::function<void(bool running)> SetRunning;
    // Handles the window's pending messages; called once before the first row and then about every
    // PumpInterval of work. The stop flag is read after each call.
    std::function<void()> Pump;
    std::chrono::steady_clock::duration PumpInterval = std::chrono::milliseconds(50);
    // Set by the Stop command; cleared when the run starts.
    std::atomic<bool>* StopRequested = nullptr;
    // A row that could not be decoded, with the reason (its status says it briefly too).
    std::function<void(int row, const std::string& reason)> OnRowFailed;
    std::function<void(int row)> OnRowDecoded;
    // Bytes per read of a source.
    size_t ReadChunk = 1 << 20;
};

enum class BatchOutcome {
    KeyRejected,   // nothing changed
    DriveRejected, // nothing changed
    Finished,      // every row was tried
    Stopped,       // a stop request ended the run; the interrupted row is as it was before
};

struct BatchResult {
    BatchOutcome Outcome = BatchOutcome::Finished;
    int Decoded = 0;
    int Failed = 0;
};

class BatchRun {
public:
    BatchRun(JobList& jobs, BatchReporter& reporter, BatchFileSystem& fileSystem = RealFileSystem());
    ~BatchRun();

    // Checks the key and the drives (showing the message and changing nothing when one fails), then
    // decodes every row in order. A row that fails gets a "Failed: ..." status and the run goes on.
    // The hooks are used only during the call; Run and Stop swap back however it ends.
    BatchResult Run(const BatchSettings& settings, const BatchHooks& hooks = {});
    // The matrix of the latest run that passed its checks.
    const EncriptMatrix& Matrix() const { return matrix_; }

    // The folder a row's output goes to, and the candidate name for number n.
    static std::string OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings);
    static std::string OutputName(const std::string& folder, const std::string& baseName, uint64_t n);

private:
    enum class RowResult { Decoded, Failed, Stopped };
    RowResult DecodeRow(int row, const BatchSettings& settings);
    void Fail(int row, const std::string& reason);
    bool PumpIfDue(bool force);
    bool AllOnFixedDisks();

    JobList& jobs_;
    BatchReporter& reporter_;
    BatchFileSystem& fs_;
    EncriptMatrix matrix_{};
    std::unique_ptr<MarkedTextFileDecoder> decoder_;
    const BatchHooks* hooks_ = nullptr;
    std::chrono::steady_clock::time_point lastPump_;
    bool stopped_ = false;
};
