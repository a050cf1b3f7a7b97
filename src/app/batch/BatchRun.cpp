#include "app/batch/BatchRun.h"

#include <unordered_map>

#include "app/batch/BatchJobWriter.h"
#include "app/batch/JobDecoder.h"
#include "app/batch/ParallelDecoder.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/ScopedChange.h"

BatchRun::BatchRun(JobList& sources, BatchReporter& reporter, BatchFileSystem& fileSystem)
    : sources_(sources), reporter_(reporter), fs_(fileSystem) {}

BatchRun::~BatchRun() = default;

std::string BatchRun::OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings) {
    return JobDecoder::OutputFolderFor(sourcePath, settings);
}

std::string BatchRun::OutputName(const std::string& folder, const std::string& baseName, uint64_t n) {
    return JobDecoder::OutputName(folder, baseName, n);
}

bool BatchRun::StopSeen() const {
    return hooks_ && hooks_->StopRequested && hooks_->StopRequested->load();
}

bool BatchRun::AllOnFixedDisks() {
    // Reading the mount table is the costly part: one query per folder, not per file.
    std::unordered_map<std::string, unsigned> folderTypes;
    for (int r = 0; r < sources_.GetRowCount(); ++r) {
        // A stop during a long check ends it; Check tells the stop apart from a failed drive.
        if (StopSeen()) return false;
        const std::string source = PathFromText(sources_.GetSourcePath(r));
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
    std::vector<BatchJob> jobs(static_cast<size_t>(sources_.GetRowCount()));
    for (int r = 0; r < sources_.GetRowCount(); ++r) {
        BatchJob& job = jobs[static_cast<size_t>(r)];
        job.Id = r;
        job.Source = sources_.GetSourcePath(r);
        job.Path = PathFromText(job.Source);
        job.RowWhenTaken = r;
    }
    return jobs;
}

BatchResult BatchRun::Run(const BatchSettings& settings, const BatchHooks& hooks) {
    const TScopedChange<const BatchHooks*> hooksScope(hooks_, &hooks);
    // The request is never cleared here: one made during the checks, or between the caller's
    // clearing and this call, ends the run.

    const BatchOutcome checked = Check(settings);
    if (checked != BatchOutcome::Finished) return {checked};
    const std::vector<BatchJob> jobs = TakeJobs();
    BatchJobWriter writer(sources_, jobs);
    writer.OnDecoded = hooks.OnRowDecoded;
    writer.OnFailed = hooks.OnRowFailed;
    const auto stopSeen = [this] { return StopSeen(); };

    if (hooks.Workers > 1)
        return ParallelDecoder(settings, fs_, hooks.Workers, hooks.ReadChunk).Run(jobs, writer, stopSeen);
    return JobDecoder(settings, fs_, hooks.ReadChunk).Run(jobs, writer, stopSeen);
}
