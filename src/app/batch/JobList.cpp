#include "app/batch/JobList.h"

#include <string_view>
#include <unordered_set>

#include "platform/runtime/Exception.h"

JobRow& MemoryJobList::At(int row) {
    return const_cast<JobRow&>(static_cast<const MemoryJobList*>(this)->At(row));
}

const JobRow& MemoryJobList::At(int row) const {
    if (row < 0 || row >= GetRowCount()) throw EListError("List index out of bounds (" + std::to_string(row) + ")");
    return rows_[static_cast<size_t>(row)];
}

void MemoryJobList::SetProgressInteger(int row, int percent) {
    At(row).Progress = percent;
    ++progressWrites_;
    ProgressChanged(row);
}

void MemoryJobList::SetProgressFloat(int row, double percent) {
    At(row).Progress = percent;
    ++progressWrites_;
    ProgressChanged(row);
}

int MemoryJobList::AddRow() {
    rows_.emplace_back();
    return GetRowCount() - 1;
}

int AddFiles(JobList& jobs, const std::vector<WideString>& paths) {
    const JobListUpdate update(jobs);
    // Hashing keeps adding n files to m rows at n + m rather than n * m comparisons.
    const int rows = jobs.GetRowCount();
    std::vector<WideString> existing;
    existing.reserve(static_cast<size_t>(rows));
    std::unordered_set<std::u16string_view> present;
    present.reserve(static_cast<size_t>(rows) + paths.size());
    for (int r = 0; r < rows; ++r) present.insert(existing.emplace_back(jobs.GetSourcePath(r)));

    int added = 0;
    for (const WideString& path : paths) {
        if (!present.insert(path).second) continue;
        const int row = jobs.AddRow();
        jobs.SetSourcePath(row, path);
        jobs.SetStatus(row, kStatusNotDecoded);
        ++added;
    }
    return added;
}
