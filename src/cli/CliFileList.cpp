// decode's --files-from: a list of paths from a file or standard input, one a line or NUL-separated.
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "cli/CliSupport.h"
#include "platform/runtime/FileSystem.h"

namespace cli {

bool ReadFileList(const std::string& path, bool nulSeparated, std::vector<std::string>& files) {
    // Any readable file is taken, a pipe too: `--files-from <(find ... -print0)` gives one.
    const int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Complain("cannot read the file list " + EscapedPath(path) + ": " + FileErrorText(errno));
        return false;
    }
    const char separator = nulSeparated ? '\0' : '\n';
    std::string entry;
    char chunk[1 << 16];
    int error = 0;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (chunk[i] != separator) {
                entry += chunk[i];
                continue;
            }
            // An empty entry names no file: a blank line, or the end of the last path.
            if (!entry.empty()) files.push_back(std::move(entry));
            entry.clear();
        }
    }
    if (fd != STDIN_FILENO) ::close(fd);
    if (error != 0) {
        Complain("cannot read the file list " + EscapedPath(path) + ": " + FileErrorText(error));
        return false;
    }
    if (!entry.empty()) files.push_back(std::move(entry));
    return true;
}

} // namespace cli
