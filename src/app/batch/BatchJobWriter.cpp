// Rows found by their source path: a row keeps its path for as long as it exists, whatever its
// place, so a run's results cannot land in another file's row. Every report starts with RowOf,
// which checks the thread.
#include "app/batch/BatchJobWriter.h"

#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"

BatchJobWriter::BatchJobWriter(JobList& sources, const std::vector<BatchJob>& jobs)
    : sources_(sources), jobs_(jobs), kept_(jobs.size()) {
    for (size_t i = 0; i < jobs.size(); ++i)
        kept_[i].Row = jobs[i].RowWhenTaken;
}

int BatchJobWriter::RowOf(int id) {
    owner_.Check("BatchJobWriter");
    if (id < 0 || static_cast<size_t>(id) >= jobs_.size()) return -1;
    const WideString& source = jobs_[static_cast<size_t>(id)].Source;
    Kept& kept = kept_[static_cast<size_t>(id)];
    const int count = sources_.GetRowCount();
    if (kept.Row >= 0 && kept.Row < count && sources_.GetSourcePath(kept.Row) == source) return kept.Row;
    for (int r = 0; r < count; ++r)
        if (sources_.GetSourcePath(r) == source) return kept.Row = r;
    return -1;
}

void BatchJobWriter::JobStarted(int id) {
    const int row = RowOf(id);
    if (row < 0) return;
    Kept& kept = kept_[static_cast<size_t>(id)];
    kept.Started = true;
    kept.Status = sources_.GetStatus(row);
    kept.Progress = sources_.GetProgress(row);
    kept.DecodedPath = sources_.GetDecodedPath(row);
    sources_.SetStatus(row, kStatusDecoding);
    sources_.SetProgressInteger(row, 0);
}

void BatchJobWriter::JobProgress(int id, double percent) {
    const int row = RowOf(id);
    if (row >= 0) sources_.SetProgressFloat(row, percent);
}

void BatchJobWriter::JobDecoded(int id, const std::string& outputPath) {
    const int row = RowOf(id);
    if (row < 0) return;
    sources_.SetStatus(row, kStatusDecoded);
    sources_.SetDecodedPath(row, PathToText(outputPath));
    if (OnDecoded) OnDecoded(row);
}

void BatchJobWriter::JobFailed(int id, const std::string& reason) {
    const int row = RowOf(id);
    if (row < 0) return;
    sources_.SetStatus(row, u"Failed: " + Utf8ToWide(reason));
    if (OnFailed) OnFailed(row, reason);
}

void BatchJobWriter::JobStopped(int id) {
    const int row = RowOf(id);
    if (row < 0) return;
    const Kept& kept = kept_[static_cast<size_t>(id)];
    // A job stopped before it started (its open was interrupted) left its row untouched.
    if (!kept.Started) return;
    sources_.SetStatus(row, kept.Status);
    sources_.SetProgressFloat(row, kept.Progress);
    sources_.SetDecodedPath(row, kept.DecodedPath);
}
