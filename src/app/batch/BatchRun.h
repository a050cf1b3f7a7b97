#pragma once
// The batch run: checks the key and the sources' drives, takes the listed sources as the run's jobs,
// builds the matrix once, and decodes every job into a new file, recording status, progress and
// decoded path in the job's own row.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/batch/BatchFileSystem.h"
#include "app/batch/BatchJobs.h"
#include "app/batch/JobList.h"
#include "decoding/KeySchedule.h"
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

struct BatchHooks {
    // Set by a stop signal. The caller clears it when it starts to listen for signals; Run reads it
    // from its first check on, before every read of a source, so a stop during the checks ends the
    // run before any row changes.
    std::atomic<bool>* StopRequested = nullptr;
    // A row that could not be decoded, with the reason (its status says it briefly too).
    std::function<void(int row, const std::string& reason)> OnRowFailed;
    std::function<void(int row)> OnRowDecoded;
    // Bytes per read of a source.
    size_t ReadChunk = 1 << 20;
    // Files decoded at once. Above 1 the jobs go to that many threads (ParallelDecoder); the row
    // callbacks and the list's writes still come from the thread that called Run, and a file's
    // result is written only after those of the files before it.
    int Workers = 1;
};

class BatchRun {
public:
    // The list of sources is used on the calling thread only.
    BatchRun(JobList& sources, BatchReporter& reporter, BatchFileSystem& fileSystem = RealFileSystem());
    ~BatchRun();

    // The key check, then the drive check of every row: the first that fails shows its message and
    // gives KeyRejected or DriveRejected, with nothing changed. Finished when both pass. During a
    // Run, a stop request seen in the drive check gives Stopped, with nothing shown or changed.
    BatchOutcome Check(const BatchSettings& settings);
    // The rows' sources in their order now, as the jobs of a run.
    std::vector<BatchJob> TakeJobs() const;

    // Check, TakeJobs, and then every job decoded, each result written into the row that holds the
    // job's source (rows added meanwhile are not part of the run). A job that fails gets a
    // "Failed: ..." status and the run goes on. The hooks are used only during the call.
    BatchResult Run(const BatchSettings& settings, const BatchHooks& hooks = {});

    // The folder a row's output goes to, and the candidate name for number n.
    static std::string OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings);
    static std::string OutputName(const std::string& folder, const std::string& baseName, uint64_t n);

private:
    bool AllOnFixedDisks();
    bool StopSeen() const;

    JobList& sources_;
    BatchReporter& reporter_;
    BatchFileSystem& fs_;
    const BatchHooks* hooks_ = nullptr;
};
