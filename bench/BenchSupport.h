#pragma once
// What the benchmark programs share: the process's peak resident memory, reported beside the times.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

inline double PeakMemoryMiB() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return static_cast<double>(Usage.ru_maxrss) / 1024.0;
}

// Adds the peak memory so far as the counter "peak_MiB" of a case.
inline void ReportPeakMemory(benchmark::State& State) {
    State.counters["peak_MiB"] = PeakMemoryMiB();
}
