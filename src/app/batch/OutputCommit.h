#pragma once
// The names of a run's decoded copies, and the step that gives a complete copy its name.

#include <cstdint>
#include <string>

#include "app/batch/BatchFileSystem.h"

// The candidate name for number n: folder, "/", baseName, "(dec", n, ").txt". An empty folder means
// the current one, never the root.
std::string OutputName(const std::string& folder, const std::string& baseName, uint64_t n);

// The highest number tried before a folder counts as having no free name.
constexpr uint64_t kMaxOutputNumber = 1000000;

struct OutputCommit {
    std::string Path; // the name the copy got; empty when it got none
    int Error = 0;    // errno of a failed link; 0 with an empty Path: no free name up to the limit
    bool Ok() const { return !Path.empty(); }
};

// Gives a complete, still unnamed output (fs.CreateUnnamed in folder, everything written) the first
// free name OutputName(folder, baseName, n) for n = 1, 2, ...: a number whose name exists is
// skipped, and a name that appears between that test and the link is never replaced; the next
// number is tried instead. So two runs, threads or processes committing into one folder never lose
// a file, and each copy appears whole under its name or not at all. Call it once per output, before
// the output's Close; on failure the output still has no name and the caller drops it.
OutputCommit CommitOutput(BatchFileSystem& fs, BatchOutput& output, const std::string& folder,
                          const std::string& baseName);
