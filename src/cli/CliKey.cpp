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

std::optional<std::string> FirstLine(std::istream& in) {
    std::string line;
    if (!std::getline(in, line) && line.empty()) return std::string();
    return WithoutLineEnd(line);
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
// wait for ever and a device might never end. Only as much is read as the line needs.
std::optional<std::string> KeyFileLine(const std::string& path) {
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    std::string line;
    if (fd >= 0) {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0) {
                if (n < 0) error = errno;
                break;
            }
            const char* end = static_cast<const char*>(std::memchr(chunk, '\n', static_cast<size_t>(n)));
            line.append(chunk, end ? static_cast<size_t>(end - chunk) : static_cast<size_t>(n));
            if (end) break;
        }
        ::close(fd);
    }
    if (error != 0) {
        Complain("cannot read the key file " + path + ": " + FileErrorText(error));
        return std::nullopt;
    }
    return WithoutLineEnd(line);
}

} // namespace

std::optional<std::string> ReadKey(const Options& options) {
    std::optional<std::string> raw;
    if (options.keyFile) {
        if (*options.keyFile == "-") {
            raw = FirstLine(std::cin);
        } else {
            raw = KeyFileLine(*options.keyFile);
            if (!raw) return std::nullopt;
        }
    } else if (const char* env = std::getenv("QUILLMAR_KEY"); env && *env) {
        raw = std::string(env);
    } else {
        raw = Prompt();
        if (!raw) {
            Complain("no key: give --key-file FILE, set QUILLMAR_KEY, or run on a terminal to be asked");
            return std::nullopt;
        }
    }
    return IsValidUtf8(*raw) ? Utf8ToAnsi(*raw) : *raw;
}

} // namespace cli
