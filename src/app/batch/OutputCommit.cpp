// The first free output number, taken by a link that cannot replace anything.
#include "app/batch/OutputCommit.h"

#include <cerrno>

std::string OutputName(const std::string& folder, const std::string& baseName, uint64_t n) {
    std::string name = folder;
    if (!name.empty() && name.back() != '/') name += '/';
    return name + baseName + "(dec" + std::to_string(n) + ").txt";
}

OutputCommit CommitOutput(BatchFileSystem& fs, BatchOutput& output, const std::string& folder,
                          const std::string& baseName) {
    OutputCommit result;
    for (uint64_t n = 1; n <= kMaxOutputNumber; ++n) {
        std::string candidate = OutputName(folder, baseName, n);
        // The test only saves a failing link per taken name; the link alone decides.
        if (fs.FileExists(candidate)) continue;
        const int error = output.Link(candidate);
        if (error == 0) {
            result.Path = std::move(candidate);
            return result;
        }
        if (error != EEXIST) {
            result.Error = error;
            return result;
        }
    }
    return result;
}
