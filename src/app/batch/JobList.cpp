#include "app/batch/JobList.h"

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
    int added = 0;
    jobs.BeginUpdate();
    try {
        for (const WideString& path : paths) {
            bool present = false;
            for (int r = 0; r < jobs.GetRowCount() && !present; ++r) present = jobs.GetSourcePath(r) == path;
            if (present) continue;
            const int row = jobs.AddRow();
            jobs.SetSourcePath(row, path);
            jobs.SetStatus(row, kStatusNotDecoded);
            ++added;
        }
    } catch (...) {
        jobs.EndUpdate();
        throw;
    }
    jobs.EndUpdate();
    return added;
}
