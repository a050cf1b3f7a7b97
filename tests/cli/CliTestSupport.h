#pragma once
// quillmar-cli run as a user runs it: a separate process with arguments, environment, standard
// streams and exit status, in a folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "decoding/MarkedTextEncoder.h"
#include "support/FileSizeLimit.h"

extern char** environ;

namespace clitest {

namespace fs = std::filesystem;

struct Result {
    int status = -1; // exit status, or 128 + signal
    std::string out, err;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The position of the process's descriptor that has path open, or -1 when it has none.
inline long long OpenPosition(pid_t pid, const std::string& path) {
    const std::string fdDir = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fdDir, ec)) {
        std::error_code linkError;
        if (fs::read_symlink(e.path(), linkError).string() != path) continue;
        std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + e.path().filename().string());
        std::string key;
        long long pos = -1;
        while (info >> key)
            if (key == "pos:" && info >> pos) return pos;
    }
    return -1;
}

// True when the process has a file open in folder whose name the user would not look for: an
// unnamed file ("#123 (deleted)") or a hidden one.
inline bool HasTemporaryOpen(pid_t pid, const std::string& folder) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::error_code linkError;
        const std::string target = fs::read_symlink(e.path(), linkError).string();
        if (target.rfind(folder + "/#", 0) == 0 || target.rfind(folder + "/.", 0) == 0) return true;
    }
    return false;
}

inline bool Exited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Waits, without a time limit of its own, until the condition holds or the process has ended.
template <typename F> bool WaitFor(pid_t pid, F&& condition) {
    const timespec poll{0, 200000};
    for (;;) {
        if (condition()) return true;
        if (Exited(pid)) return false;
        ::nanosleep(&poll, nullptr);
    }
}

inline void MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0); // costs no disk
    ::close(fd);
}

inline std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A pseudo-terminal to hand the CLI as standard error. The far end is held open here too, so that
// what the CLI wrote stays readable after it has ended.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_GE(master_, 0);
        EXPECT_EQ(::grantpt(master_), 0);
        EXPECT_EQ(::unlockpt(master_), 0);
        path_ = ::ptsname(master_);
        keep_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PseudoTerminal() {
        ::close(keep_);
        ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Path() const { return path_; }
    // Everything written to the terminal since the last call.
    std::string Shown() {
        std::string shown;
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        char chunk[4096];
        for (ssize_t n; (n = ::read(master_, chunk, sizeof chunk)) > 0;)
            shown.append(chunk, static_cast<size_t>(n));
        return shown;
    }

private:
    int master_ = -1, keep_ = -1;
    std::string path_;
};

class CliTest : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quillmar-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        WriteFile(dir + "/key.txt", "cli test key\r\nsecond line is ignored\n");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string P(const std::string& name) const { return dir + "/" + name; }

    // Runs the CLI in dir with the given arguments, extra environment and standard input; always
    // without a controlling terminal, so it can never wait for a typed key.
    // errPath replaces the tag's standard error file (a terminal, say); the CLI starts with every
    // signal's default action, as from a shell, whatever this test program ignores.
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
                const std::string& stdinFile, const std::string& tag, bool detach = true,
                const std::string& errPath = "") {
        std::vector<std::string> argv = {QUILLMAR_CLI};
        if (detach) argv.insert(argv.begin(), {"/usr/bin/setsid", "-w"});
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> envs = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
        envs.insert(envs.end(), env.begin(), env.end());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, stdinFile.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, P(tag + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2,
                                         errPath.empty() ? P(tag + ".err").c_str() : errPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // The CLI resolves relative paths against its working directory: run it in dir.
        std::vector<std::string> shell = {"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"", dir};
        shell.insert(shell.end(), argv.begin(), argv.end());
        std::vector<char*> cargv, cenv;
        for (auto& a : shell)
            cargv.push_back(a.data());
        cargv.push_back(nullptr);
        for (auto& e : envs)
            cenv.push_back(e.data());
        cenv.push_back(nullptr);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attr, &all);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, "/bin/sh", &actions, &attr, cargv.data(), cenv.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        return pid;
    }

    Result Finish(pid_t pid, const std::string& tag) {
        Result r;
        int status = 0;
        ::waitpid(pid, &status, 0);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = ReadFile(P(tag + ".out"));
        r.err = ReadFile(P(tag + ".err"));
        fs::remove(P(tag + ".out"));
        fs::remove(P(tag + ".err"));
        return r;
    }

    Result Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
               const std::string& stdinText = "") {
        WriteFile(P("stdin"), stdinText);
        return Finish(Start(args, env, P("stdin"), "run"), "run");
    }

    // Starts decoding a 4 GiB source and returns once the CLI is in the middle of it.
    pid_t StartMidFile() {
        MakeSparse(P("big.txt"), off_t(4) << 30);
        WriteFile(P("stdin"), "");
        // Not detached: the process is the CLI itself (the shell execs it), so a signal reaches it.
        const pid_t pid =
            Start({"decode", "big.txt"}, {"QUILLMAR_KEY=1234567890"}, P("stdin"), "stop", false);
        EXPECT_TRUE(WaitFor(pid, [&] { return OpenPosition(pid, P("big.txt")) > 0; }));
        return pid;
    }

    std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

} // namespace clitest
