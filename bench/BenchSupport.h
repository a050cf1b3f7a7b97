#pragma once
// What the benchmark programs share: the process's peak resident memory, reported beside the times.

#include <sys/resource.h>

inline double PeakMemoryMiB() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return static_cast<double>(Usage.ru_maxrss) / 1024.0;
}
