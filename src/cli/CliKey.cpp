#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <termios.h>
#include <unistd.h>

#include "cli/CliSupport.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"

namespace cli {

namespace {

std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// More than this before the first line end is no key file.
constexpr size_t kMaxKeyLine = 4096;

// The first line of what fd gives, ended by LF, CR or CR LF, read a byte at a time so that nothing
// after it is consumed; at most kMaxKeyLine bytes are read. False with a reason when the line is
// longer or a read failed.
bool ReadFirstLine(int fd, std::string& line, std::string& reason) {
    line.clear();
    char c;
    while (line.size() <= kMaxKeyLine) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = FileErrorText(errno);
            return false;
        }
        if (n == 0 || c == '\n' || c == '\r') return true;
        line += c;
    }
    reason = "its first line is longer than " + std::to_string(kMaxKeyLine) + " bytes";
    return false;
}

// The terminal's settings while echo is off, so that Ctrl-C at the prompt gives them back.
int gPromptTty = -1;
termios gPromptSaved{};

extern "C" void RestoreTerminalAndDie(int sig) {
    if (gPromptTty >= 0) ::tcsetattr(gPromptTty, TCSAFLUSH, &gPromptSaved);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Reads a line from the controlling terminal with echo off.
std::optional<std::string> Prompt() {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return std::nullopt;
    termios saved{};
    const bool canHide = ::tcgetattr(tty, &saved) == 0;
    struct sigaction oldInt {
    }, oldTerm{};
    if (canHide) {
        gPromptSaved = saved;
        gPromptTty = tty;
        struct sigaction sa {};
        sa.sa_handler = RestoreTerminalAndDie;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &oldInt);
        ::sigaction(SIGTERM, &sa, &oldTerm);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    const char prompt[] = "Decoding key: ";
    [[maybe_unused]] ssize_t w = ::write(tty, prompt, sizeof prompt - 1);
    std::string line;
    char c;
    for (;;) {
        const ssize_t n = ::read(tty, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || c == '\n') break;
        line += c;
    }
    if (canHide) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
        ::sigaction(SIGINT, &oldInt, nullptr);
        ::sigaction(SIGTERM, &oldTerm, nullptr);
        gPromptTty = -1;
    }
    ::close(tty);
    return WithoutLineEnd(line);
}

// The first line of a key file, which must be a regular file: a pipe without a writer would
// wait for ever and a device might never end.
std::optional<std::string> KeyFileLine(const std::string& path) {
    int error = 0;
    std::string line, reason;
    const int fd = path == "-" ? STDIN_FILENO : OpenRegularFile(path, error);
    if (fd < 0) {
        reason = FileErrorText(error);
    } else {
        ReadFirstLine(fd, line, reason);
        if (fd != STDIN_FILENO) ::close(fd);
    }
    if (!reason.empty()) {
        Complain("cannot read the key file " + EscapedPath(path) + ": " + reason);
        return std::nullopt;
    }
    return line;
}

// The key's bytes in the 8-bit code page. A UTF-8 byte order mark is dropped; UTF-16 and UTF-8
// characters the code page lacks are refused, since any stand-in would decode with another key.
std::optional<std::string> KeyBytes(std::string raw) {
    if (raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);
    if (raw.rfind("\xFF\xFE", 0) == 0 || raw.rfind("\xFE\xFF", 0) == 0 ||
        raw.find('\0') != std::string::npos) {
        Complain("the key is in UTF-16; save it as UTF-8 or in the 8-bit code page");
        return std::nullopt;
    }
    if (!IsValidUtf8(raw)) return raw;
    std::string bytes;
    if (!Utf8ToAnsiExact(raw, bytes)) {
        Complain("the key has characters that the code page cp" +
                 std::to_string(static_cast<int>(SystemCodePage())) +
                 " cannot hold; use only characters of that code page");
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<std::string> ReadKey(const Options& options) {
    std::optional<std::string> raw;
    if (options.keyFile) {
        raw = KeyFileLine(*options.keyFile);
        if (!raw) return std::nullopt;
    } else if (const char* env = std::getenv("QUILLMAR_KEY"); env && *env) {
        raw = std::string(env);
    } else {
        raw = Prompt();
        if (!raw) {
            Complain("no key: give --key-file FILE, set QUILLMAR_KEY, or run on a terminal to be asked");
            return std::nullopt;
        }
    }
    return KeyBytes(std::move(*raw));
}

} // namespace cli
