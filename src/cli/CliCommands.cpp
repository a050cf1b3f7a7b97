// The command line's two commands: decode a batch of files, encode one.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/batch/BatchProgress.h"
#include "app/batch/BatchRun.h"
#include "cli/CliSupport.h"
#include "decoding/MarkedTextEncoder.h"
#include "decoding/Wipe.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/SafeFileStream.h"
#include "platform/runtime/StopSignals.h"

namespace cli {

namespace {

// The whole content of a regular file; false with error set (as OpenRegularFile sets it, or a
// read's errno) for a pipe, a device, a folder or a failed read, none of which ever waits. A stop
// signal ends the reading with EINTR.
bool ReadRegularFile(const std::string& path, std::string& content, int& error) {
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return false;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = TStopSignals::Requested() ? -1 : ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (TStopSignals::Requested())
                errno = EINTR;
            else if (errno == EINTR)
                continue;
            error = errno;
            ::close(fd);
            return false;
        }
        content.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

// The working directory is asked for once, not once for each of many files.
std::string WorkingDirectory() {
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::string() : cwd.string();
}

// A job list that draws the batch's progress as one line on standard error: files and bytes done,
// rate, time left and the file begun last. Its writes all come from the thread that runs the batch.
class TerminalJobList : public MemoryJobList {
public:
    TerminalJobList(bool showProgress, bool stdoutIsStderrTerminal)
        : show_(showProgress), sharedTerminal_(stdoutIsStderrTerminal) {}

    // Sizes are taken here, once the rows are in: the line counts bytes of the whole batch.
    void StartProgress() {
        std::vector<uint64_t> sizes;
        sizes.reserve(static_cast<size_t>(GetRowCount()));
        for (int row = 0; row < GetRowCount(); ++row) {
            struct stat st {};
            const std::string path = PathFromText(GetSourcePath(row));
            sizes.push_back(show_ && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                                ? static_cast<uint64_t>(st.st_size)
                                : 0);
        }
        progress_.emplace(std::move(sizes), BatchProgress::Clock::now());
    }

    void ClearBar() {
        if (!drawn_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        drawn_ = false;
    }

    // A row decoded or failed; its report is about to be printed.
    void RowDone(int row, bool toStdout) {
        if (progress_) progress_->FileDone(static_cast<size_t>(row));
        // A path printed to a pipe leaves the line where it is.
        if (!toStdout || sharedTerminal_) ClearBar();
    }

    void RedrawIfDue() {
        if (!show_ || !progress_) return;
        const auto now = BatchProgress::Clock::now();
        if (!progress_->RedrawDue(now)) return;
        std::string line = progress_->Line(now);
        // Escaped as the printed paths are: a name must not move the cursor or change the terminal.
        const size_t width = TerminalWidth();
        if (!current_.empty() && line.size() + 3 < width) {
            std::string name = current_;
            const size_t room = width - line.size() - 3;
            if (name.size() > room) name = name.substr(0, room > 3 ? room - 3 : 0) + "...";
            line += "  " + name;
        }
        if (line.size() >= width) line.resize(width - 1);
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

protected:
    void ProgressChanged(int row) override {
        if (!show_ || !progress_) return;
        const double percent = GetProgress(row);
        if (percent == 0) current_ = EscapedPath(ExtractFileName(PathFromText(GetSourcePath(row))));
        progress_->SetPercent(static_cast<size_t>(row), percent);
        RedrawIfDue();
    }

private:
    static size_t TerminalWidth() {
        winsize ws{};
        return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 20 ? ws.ws_col : 80;
    }

    bool show_;
    bool sharedTerminal_;
    bool drawn_ = false;
    std::string current_;
    std::optional<BatchProgress> progress_;
};

// The cores this process may run on.
int CoreCount() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

class StderrReporter : public BatchReporter {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Complain(caption + ": " + text);
        if (text == kMessageKeyNotCorrect)
            Complain("the key needs at least ten characters, not counting blanks around it");
        else if (text == kMessageUploadFolderNotCorrect)
            Complain("a source is not on a fixed disk; choose where the outputs go with --output-dir DIR");
    }
};

} // namespace

std::string EscapedPath(const std::string& path) {
    return EscapedPathBytes(path, false);
}

int Decode(const Options& options) {
    std::vector<std::string> files = options.files;
    if (options.filesFrom && !ReadFileList(*options.filesFrom, options.nullInput, files)) return kExitUsage;
    // An empty list is a batch of nothing, as find may give; no file at all is a mistake.
    if (files.empty() && options.filesFrom) return kExitOk;
    if (files.empty()) {
        Complain("decode needs at least one file; try '" + std::string(kProgram) + " --help'");
        return kExitUsage;
    }
    const std::string cwd = WorkingDirectory();
    BatchSettings settings;
    if (options.outputDir) {
        settings.FolderChosen = true;
        settings.OutputFolder = AbsoluteFilePath(*options.outputDir, cwd);
        if (!DirectoryExists(settings.OutputFolder)) {
            Complain("the output folder " + EscapedPath(settings.OutputFolder) +
                     " does not exist; create it first");
            return kExitUsage;
        }
    }
    std::optional<std::string> key = ReadKey(options);
    if (!key) return kExitUsage;
    settings.Key = *key;
    WipeMemory(key->data(), key->capacity());

    const bool stderrTerminal = ::isatty(STDERR_FILENO) == 1;
    struct stat out {
    }, err{};
    const bool sharedTerminal = ::isatty(STDOUT_FILENO) == 1 && ::fstat(STDOUT_FILENO, &out) == 0 &&
                                ::fstat(STDERR_FILENO, &err) == 0 && out.st_rdev == err.st_rdev;
    TerminalJobList sources(options.progress.value_or(stderrTerminal), sharedTerminal || !stderrTerminal);
    std::vector<WideString> paths;
    paths.reserve(files.size());
    for (const std::string& file : files)
        paths.push_back(PathToText(AbsoluteFilePath(file, cwd)));
    files.clear();
    AddFiles(sources, paths);
    sources.StartProgress();

    StderrReporter reporter;
    BatchHooks hooks;
    hooks.StopRequested = &TStopSignals::Requested();
    hooks.Workers = options.jobs > 0 ? options.jobs : CoreCount();
    hooks.OnRowDecoded = [&](int row) {
        sources.RowDone(row, true);
        const std::string path = PathFromText(sources.GetDecodedPath(row));
        if (options.nullTerminated)
            std::cout << path << '\0' << std::flush;
        else
            std::cout << EscapedPath(path) << '\n' << std::flush;
        sources.RedrawIfDue();
    };
    hooks.OnRowFailed = [&](int row, const std::string& reason) {
        sources.RowDone(row, false);
        Complain(EscapedPath(PathFromText(sources.GetSourcePath(row))) + ": " + EscapedPath(reason));
        sources.RedrawIfDue();
    };

    BatchResult result;
    {
        // From here on the first Ctrl-C, hang-up or SIGTERM stops the run, wherever it is.
        const TStopSignals stopSignals;
        result = BatchRun(sources, reporter).Run(settings, hooks);
    }
    sources.ClearBar();
    switch (result.Outcome) {
    case BatchOutcome::KeyRejected:
    case BatchOutcome::DriveRejected:
        return kExitUsage;
    case BatchOutcome::Stopped:
        Complain(hooks.Workers > 1 ? "interrupted; the files in progress were not written"
                                   : "interrupted; the file in progress was not written");
        return kExitInterrupted;
    case BatchOutcome::Finished:
        break;
    }
    return result.Failed > 0 ? kExitSomeFailed : kExitOk;
}

int Encode(const Options& options) {
    if (options.files.size() != 1) {
        Complain("encode takes exactly one source file; try '" + std::string(kProgram) + " --help'");
        return kExitUsage;
    }
    const std::optional<std::string> key = ReadKey(options);
    if (!key) return kExitUsage;
    const std::string_view trimmed = TrimKey(*key);
    if (trimmed.size() < kKeyLength) {
        Complain("Error: " + kMessageKeyNotCorrect);
        Complain("the key needs at least ten characters, not counting blanks around it");
        return kExitUsage;
    }
    const std::string& source = options.files.front();
    // A stop leaves the target as it was and no temporary behind.
    const TStopSignals stopSignals;
    auto interrupted = [] {
        Complain("interrupted; nothing was written");
        return kExitInterrupted;
    };
    std::string plain;
    int error = 0;
    if (!ReadRegularFile(source, plain, error)) {
        if (error == EINTR && TStopSignals::Requested()) return interrupted();
        Complain("cannot read " + EscapedPath(source) + ": " + FileErrorText(error));
        return kExitSomeFailed;
    }
    const EncodeResult encoded = EncodeMarkedText(plain, PrepareEncriptMatrix(trimmed));
    if (encoded.BadOffset) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(plain[*encoded.BadOffset]));
        Complain(EscapedPath(source) + ": the byte " + hex + " at offset " +
                 std::to_string(*encoded.BadOffset) +
                 " cannot be represented with this key; nothing was written");
        return kExitSomeFailed;
    }
    if (options.output) {
        // Through a file beside the target, renamed over it when whole: a failed write never
        // costs the file that was there.
        try {
            TSafeFileStream out(*options.output);
            out.Write(encoded.Text.data(), static_cast<int64_t>(encoded.Text.size()));
            if (TStopSignals::Requested()) return interrupted();
            out.Commit();
        } catch (const Exception& e) {
            Complain("cannot write " + EscapedPath(*options.output) + ": " + e.Message());
            return kExitSomeFailed;
        }
    } else {
        std::cout.write(encoded.Text.data(), static_cast<std::streamsize>(encoded.Text.size()));
        std::cout.flush();
        if (!std::cout) return kExitSomeFailed;
    }
    return kExitOk;
}

} // namespace cli
