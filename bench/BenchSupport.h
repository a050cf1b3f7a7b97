#pragma once
// What the benchmark programs share: the process's peak resident memory, reported beside the times.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

inline double PeakMemoryMiB() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return static_cast<double>(Usage.ru_maxrss) / 1024.0;
}

// Adds the peak memory so far as the counter "peak_MiB" of a case.
inline void ReportPeakMemory(benchmark::State& State) {
    State.counters["peak_MiB"] = PeakMemoryMiB();
}

// Resident memory, after the heap has returned what it holds free: a fill measured after another
// must not find its memory already resident.
inline double ResidentMiB() {
    malloc_trim(0);
    long Pages = 0, Resident = 0;
    if (FILE* Statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(Statm, "%ld %ld", &Pages, &Resident) != 2) Resident = 0;
        std::fclose(Statm);
    }
    return static_cast<double>(Resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Starts the process's peak afresh from what is resident now, so that one stage's peak is not an
// earlier stage's; false where the system does not allow it.
inline bool RestartPeakMemory() {
    malloc_trim(0);
    FILE* Refs = std::fopen("/proc/self/clear_refs", "w");
    if (!Refs) return false;
    const bool Done = std::fputs("5", Refs) >= 0;
    return std::fclose(Refs) == 0 && Done;
}

// The process's peak resident memory since the last RestartPeakMemory (or its start).
inline double PeakSinceRestartMiB() {
    double Kib = 0;
    if (FILE* Status = std::fopen("/proc/self/status", "r")) {
        char Line[256];
        while (std::fgets(Line, sizeof Line, Status))
            if (std::strncmp(Line, "VmHWM:", 6) == 0) Kib = std::strtod(Line + 6, nullptr);
        std::fclose(Status);
    }
    return Kib / 1024.0;
}
