// Rows found by their source path: a row keeps its path for as long as it exists, whatever its
// place, so a run's results cannot land in another file's row.
#include "app/batch/BatchJobWriter.h"

#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"

BatchJobWriter::BatchJobWriter(JobList& jobs, const std::vector<BatchJob>& runJobs)
    : jobs_(jobs), runJobs_(runJobs), kept_(runJobs.size()) {
    for (size_t i = 0; i < runJobs.size(); ++i)
        kept_[i].Row = runJobs[i].RowWhenTaken;
}

int BatchJobWriter::RowOf(int id) {
    if (id < 0 || static_cast<size_t>(id) >= runJobs_.size()) return -1;
    const WideString& source = runJobs_[static_cast<size_t>(id)].Source;
    Kept& kept = kept_[static_cast<size_t>(id)];
    const int count = jobs_.GetRowCount();
    if (kept.Row >= 0 && kept.Row < count && jobs_.GetSourcePath(kept.Row) == source) return kept.Row;
    for (int r = 0; r < count; ++r)
        if (jobs_.GetSourcePath(r) == source) return kept.Row = r;
    return -1;
}

void BatchJobWriter::JobStarted(int id) {
    const int row = RowOf(id);
    if (row < 0) return;
    Kept& kept = kept_[static_cast<size_t>(id)];
    kept.Started = true;
    kept.Status = jobs_.GetStatus(row);
    kept.Progress = jobs_.GetProgress(row);
    kept.DecodedPath = jobs_.GetDecodedPath(row);
    jobs_.SetStatus(row, kStatusDecoding);
    jobs_.SetProgressInteger(row, 0);
}

void BatchJobWriter::JobProgress(int id, double percent) {
    const int row = RowOf(id);
    if (row >= 0) jobs_.SetProgressFloat(row, percent);
}

void BatchJobWriter::JobDecoded(int id, const std::string& outputPath) {
    const int row = RowOf(id);
    if (row < 0) return;
    jobs_.SetStatus(row, kStatusDecoded);
    jobs_.SetDecodedPath(row, PathToText(outputPath));
    if (OnDecoded) OnDecoded(row);
}

void BatchJobWriter::JobFailed(int id, const std::string& reason) {
    const int row = RowOf(id);
    if (row < 0) return;
    jobs_.SetStatus(row, u"Failed: " + Utf8ToWide(reason));
    if (OnFailed) OnFailed(row, reason);
}

void BatchJobWriter::JobStopped(int id) {
    const int row = RowOf(id);
    if (row < 0) return;
    const Kept& kept = kept_[static_cast<size_t>(id)];
    // A job stopped before it started (its open was interrupted) left its row untouched.
    if (!kept.Started) return;
    jobs_.SetStatus(row, kept.Status);
    jobs_.SetProgressFloat(row, kept.Progress);
    jobs_.SetDecodedPath(row, kept.DecodedPath);
}
