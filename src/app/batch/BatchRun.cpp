#include "app/batch/BatchRun.h"

#include <unordered_map>

#include "app/batch/BatchJobWriter.h"
#include "app/batch/JobDecoder.h"
#include "app/batch/ParallelDecoder.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/ScopedChange.h"

namespace {

// Run and Stop swap back however the run ends, an exception included.
class RunningScope {
public:
    explicit RunningScope(const BatchHooks& hooks) : hooks_(hooks) {
        if (hooks_.SetRunning) hooks_.SetRunning(true);
    }
    ~RunningScope() {
        if (hooks_.SetRunning) hooks_.SetRunning(false);
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    const BatchHooks& hooks_;
};

} // namespace

BatchRun::BatchRun(JobList& jobs, BatchReporter& reporter, BatchFileSystem& fileSystem)
    : jobs_(jobs), reporter_(reporter), fs_(fileSystem) {}

BatchRun::~BatchRun() = default;

std::string BatchRun::OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings) {
    return JobDecoder::OutputFolderFor(sourcePath, settings);
}

std::string BatchRun::OutputName(const std::string& folder, const std::string& baseName, uint64_t n) {
    return JobDecoder::OutputName(folder, baseName, n);
}

// Returns true when a stop has been requested. The request itself is read on every call, so a
// signal handler's stop is seen at once; only the pumping waits for its interval.
bool BatchRun::PumpIfDue(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (force || now - lastPump_ >= hooks_->PumpInterval) {
        if (hooks_->Pump) hooks_->Pump();
        lastPump_ = std::chrono::steady_clock::now();
    }
    if (hooks_->StopRequested && hooks_->StopRequested->load()) stopped_ = true;
    return stopped_;
}

bool BatchRun::StopSeen() const {
    return hooks_ && hooks_->StopRequested && hooks_->StopRequested->load();
}

bool BatchRun::AllOnFixedDisks() {
    // Reading the mount table is the costly part: one query per folder, not per file.
    std::unordered_map<std::string, unsigned> folderTypes;
    for (int r = 0; r < jobs_.GetRowCount(); ++r) {
        // A stop during a long check ends it; Check tells the stop apart from a failed drive.
        if (StopSeen()) return false;
        const std::string source = PathFromText(jobs_.GetSourcePath(r));
        const auto [it, added] = folderTypes.try_emplace(ExtractFilePath(source), 0u);
        if (added) it->second = fs_.DriveType(source);
        if (it->second != DRIVE_FIXED) return false;
    }
    return true;
}

BatchOutcome BatchRun::Check(const BatchSettings& settings) {
    if (TrimKey(settings.Key).size() < kKeyLength) {
        reporter_.ShowMessage(kMessageKeyNotCorrect, kCaptionError);
        return BatchOutcome::KeyRejected;
    }
    if (!settings.FolderChosen && !AllOnFixedDisks()) {
        if (StopSeen()) return BatchOutcome::Stopped;
        reporter_.ShowMessage(kMessageUploadFolderNotCorrect, kCaptionError);
        return BatchOutcome::DriveRejected;
    }
    return BatchOutcome::Finished;
}

std::vector<BatchJob> BatchRun::TakeJobs() const {
    std::vector<BatchJob> jobs(static_cast<size_t>(jobs_.GetRowCount()));
    for (int r = 0; r < jobs_.GetRowCount(); ++r) {
        BatchJob& job = jobs[static_cast<size_t>(r)];
        job.Id = r;
        job.Source = jobs_.GetSourcePath(r);
        job.Path = PathFromText(job.Source);
        job.RowWhenTaken = r;
    }
    return jobs;
}

BatchResult BatchRun::Run(const BatchSettings& settings, const BatchHooks& hooks) {
    const TScopedChange<const BatchHooks*> hooksScope(hooks_, &hooks);
    stopped_ = false;
    // The request is never cleared here: one made during the checks, or between the caller's
    // clearing and this call, ends the run.

    const BatchOutcome checked = Check(settings);
    if (checked != BatchOutcome::Finished) return {checked};
    const std::vector<BatchJob> jobs = TakeJobs();
    BatchJobWriter writer(jobs_, jobs);
    writer.OnDecoded = hooks.OnRowDecoded;
    writer.OnFailed = hooks.OnRowFailed;

    if (hooks.Workers > 1) {
        ParallelDecoder decoder(settings, fs_, hooks.Workers, hooks.ReadChunk);
        const RunningScope running(hooks);
        PumpIfDue(true);
        // The workers read the request itself: pumping belongs to this thread alone.
        return decoder.Run(jobs, writer, [this] { return StopSeen(); });
    }
    JobDecoder decoder(settings, fs_, hooks.ReadChunk);
    const RunningScope running(hooks);
    PumpIfDue(true);
    return decoder.Run(jobs, writer, [this] { return PumpIfDue(false); });
}
