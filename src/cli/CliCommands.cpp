// The command line's two commands: decode a batch of files, encode one.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

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

// A job list that draws the current file's progress as a bar on standard error.
class TerminalJobList : public MemoryJobList {
public:
    explicit TerminalJobList(bool showProgress) : show_(showProgress) {}

    void ClearBar() {
        if (!drawn_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        drawn_ = false;
    }

protected:
    void ProgressChanged(int row) override {
        if (!show_) return;
        const double percent = GetProgress(row);
        constexpr int kWidth = 30;
        const int filled = std::clamp(static_cast<int>(percent * kWidth / 100), 0, kWidth);
        // Escaped as the printed paths are: a name must not move the cursor or change the terminal.
        std::string name = EscapedPath(ExtractFileName(PathFromText(GetSourcePath(row))));
        if (name.size() > 40) name = name.substr(0, 37) + "...";
        std::fprintf(stderr, "\r\033[K%s [%s%s] %3d%%", name.c_str(), std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), static_cast<int>(percent));
        std::fflush(stderr);
        drawn_ = true;
    }

private:
    bool show_;
    bool drawn_ = false;
};

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
    if (options.files.empty()) {
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

    TerminalJobList jobs(::isatty(STDERR_FILENO) == 1);
    std::vector<WideString> paths;
    paths.reserve(options.files.size());
    for (const std::string& file : options.files)
        paths.push_back(PathToText(AbsoluteFilePath(file, cwd)));
    AddFiles(jobs, paths);

    StderrReporter reporter;
    BatchHooks hooks;
    hooks.StopRequested = &TStopSignals::Requested();
    hooks.OnRowDecoded = [&](int row) {
        jobs.ClearBar();
        const std::string path = PathFromText(jobs.GetDecodedPath(row));
        if (options.nullTerminated)
            std::cout << path << '\0' << std::flush;
        else
            std::cout << EscapedPath(path) << '\n' << std::flush;
    };
    hooks.OnRowFailed = [&](int row, const std::string& reason) {
        jobs.ClearBar();
        Complain(EscapedPath(PathFromText(jobs.GetSourcePath(row))) + ": " + EscapedPath(reason));
    };

    BatchResult result;
    {
        // From here on the first Ctrl-C, hang-up or SIGTERM stops the run, wherever it is.
        const TStopSignals stopSignals;
        result = BatchRun(jobs, reporter).Run(settings, hooks);
    }
    jobs.ClearBar();
    switch (result.Outcome) {
    case BatchOutcome::KeyRejected:
    case BatchOutcome::DriveRejected:
        return kExitUsage;
    case BatchOutcome::Stopped:
        Complain("interrupted; the file in progress was not written");
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
