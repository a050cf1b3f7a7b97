// Adding 100,000 files (some named twice) to a job list, against the bare cost of storing the same
// rows without the duplicate check, measured in the same run. Peak memory is the process's.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <sys/resource.h>

#include <string>
#include <vector>

#include "app/batch/JobList.h"

namespace {

constexpr int kPaths = 100'000;

// Paths as a file dialog or a shell glob gives them; every 20th names an earlier file again, and
// every 50th differs from an earlier one only in letter case (a different file to the list).
const std::vector<WideString>& Paths() {
    static const std::vector<WideString> paths = [] {
        std::vector<WideString> v;
        v.reserve(kPaths);
        for (int i = 0; i < kPaths; ++i) {
            std::string p;
            if (i % 20 == 19) {
                p = "/home/user/batches/folder" + std::to_string((i / 2) % 300) + "/file" +
                    std::to_string(i / 2) + ".txt";
            } else {
                p = "/home/user/batches/folder" + std::to_string(i % 300) + "/file" + std::to_string(i) +
                    ".txt";
                if (i % 50 == 0) p[6] = 'U';
            }
            v.emplace_back(p.begin(), p.end());
        }
        return v;
    }();
    return paths;
}

void BM_AddFiles100k(benchmark::State& state) {
    const std::vector<WideString>& paths = Paths();
    int added = 0;
    for (auto _ : state) {
        MemoryJobList jobs;
        added = AddFiles(jobs, paths);
        benchmark::DoNotOptimize(jobs.GetRowCount());
    }
    state.counters["rows"] = added;
    ReportPeakMemory(state);
}
BENCHMARK(BM_AddFiles100k)->Unit(benchmark::kMillisecond);

// The second selection of the same files onto a full list: every one is a duplicate.
void BM_AddFiles100kAgain(benchmark::State& state) {
    const std::vector<WideString>& paths = Paths();
    MemoryJobList jobs;
    AddFiles(jobs, paths);
    for (auto _ : state)
        benchmark::DoNotOptimize(AddFiles(jobs, paths));
    ReportPeakMemory(state);
}
BENCHMARK(BM_AddFiles100kAgain)->Unit(benchmark::kMillisecond);

// Baseline: the rows stored as they come, no duplicate check at all.
void BM_StoreRowsWithoutCheck100k(benchmark::State& state) {
    const std::vector<WideString>& paths = Paths();
    for (auto _ : state) {
        MemoryJobList jobs;
        for (const WideString& path : paths) {
            const int row = jobs.AddRow();
            jobs.SetSourcePath(row, path);
            jobs.SetStatus(row, kStatusNotDecoded);
        }
        benchmark::DoNotOptimize(jobs.GetRowCount());
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_StoreRowsWithoutCheck100k)->Unit(benchmark::kMillisecond);

} // namespace
