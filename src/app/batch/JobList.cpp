#include "app/batch/JobList.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <string_view>

#include "platform/runtime/Exception.h"

JobRow& MemoryJobList::At(int row) {
    return const_cast<JobRow&>(static_cast<const MemoryJobList*>(this)->At(row));
}

const JobRow& MemoryJobList::At(int row) const {
    if (row < 0 || row >= GetRowCount())
        throw EListError("List index out of bounds (" + std::to_string(row) + ")");
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

namespace {

// The paths seen so far, by open addressing. Each slot keeps the path's hash beside it, so that most
// probes compare one integer and touch no string.
class PathSet {
public:
    explicit PathSet(size_t expected) : slots_(std::bit_ceil(std::max<size_t>(16, expected * 2))) {}

    // False when the path is there already. The path's characters must outlive the set.
    bool Insert(std::u16string_view path) {
        const size_t hash = std::hash<std::u16string_view>{}(path) | 1; // 0 marks a free slot
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.hash == 0) {
                slot = {hash, path};
                return true;
            }
            if (slot.hash == hash && slot.path == path) return false;
        }
    }

private:
    struct Slot {
        size_t hash = 0;
        std::u16string_view path;
    };
    std::vector<Slot> slots_; // at most half full, so probes stay short
};

} // namespace

int AddFiles(JobList& sources, const std::vector<WideString>& paths) {
    const JobListUpdate update(sources);
    // Hashing keeps adding n files to m rows at n + m rather than n * m comparisons. The rows' paths
    // are copied once, since the list hands them out by value.
    const int rows = sources.GetRowCount();
    std::vector<WideString> existing;
    existing.reserve(static_cast<size_t>(rows));
    PathSet present(static_cast<size_t>(rows) + paths.size());
    for (int r = 0; r < rows; ++r)
        present.Insert(existing.emplace_back(sources.GetSourcePath(r)));

    int added = 0;
    for (const WideString& path : paths) {
        if (!present.Insert(path)) continue;
        const int row = sources.AddRow();
        sources.SetSourcePath(row, path);
        sources.SetStatus(row, kStatusNotDecoded);
        ++added;
    }
    return added;
}
