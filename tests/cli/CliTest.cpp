// quillmar-cli as a user runs it: a separate process with arguments, environment and exit status.
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

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1; // exit status, or 128 + signal
    std::string out, err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

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
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
                const std::string& stdinFile, const std::string& tag, bool detach = true) {
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
        posix_spawn_file_actions_addopen(&actions, 2, P(tag + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
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
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, "/bin/sh", &actions, nullptr, cargv.data(), cenv.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
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

    std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(CliTest, EncodeThenDecodeGivesTheTextBackAndPrintsPathsInOrder) {
    std::mt19937 rng(5);
    std::string plain;
    for (int i = 0; i < 5000; ++i)
        plain += (rng() % 40 == 0) ? '\n' : static_cast<char>(32 + rng() % 95);
    WriteFile(P("plain.txt"), plain);
    Result enc = Run({"encode", "--key-file", "key.txt", "--output", "one.txt", "plain.txt"});
    ASSERT_EQ(enc.status, 0) << enc.err;
    fs::copy_file(P("one.txt"), P("two.txt"));

    // Relative and absolute spellings of one file are one job.
    Result dec = Run({"decode", "--key-file", "key.txt", "two.txt", "one.txt", P("two.txt"), "./one.txt"});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(Lines(dec.out),
              (std::vector<std::string>{P("Decript/two(dec1).txt"), P("Decript/one(dec1).txt")}));
    std::string padded = plain;
    padded.resize((plain.size() + 127) / 128 * 128, ' ');
    EXPECT_EQ(ReadFile(P("Decript/one(dec1).txt")), "*#" + padded + "#*");
    EXPECT_EQ(dec.err, "");

    fs::create_directory(P("out"));
    dec = Run({"decode", "--output-dir", "out", "one.txt"}, {"QUILLMAR_KEY=cli test key"});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(Lines(dec.out), std::vector<std::string>{P("out/one(dec1).txt")});
    EXPECT_EQ(ReadFile(P("out/one(dec1).txt")), "*#" + padded + "#*");
}

TEST_F(CliTest, KeySourcesInOrderOfPrecedence) {
    WriteFile(P("plain.txt"), "key precedence");
    ASSERT_EQ(Run({"encode", "--key-file", "key.txt", "--output", "enc.txt", "plain.txt"}).status, 0);
    const std::string expected = ReadFile(P("enc.txt"));
    // The key file wins over the environment; "-" reads standard input.
    EXPECT_EQ(Run({"encode", "--key-file", "key.txt", "plain.txt"}, {"QUILLMAR_KEY=another key!"}).out,
              expected);
    EXPECT_EQ(Run({"encode", "--key-file", "-", "plain.txt"}, {}, "cli test key\n").out, expected);
    EXPECT_EQ(Run({"encode", "plain.txt"}, {"QUILLMAR_KEY=cli test key"}).out, expected);
    EXPECT_NE(Run({"encode", "plain.txt"}, {"QUILLMAR_KEY=cli_test key"}).out, expected);

    // Without any key and without a terminal there is nothing to wait for.
    Result none = Run({"decode", "enc.txt"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no key"), std::string::npos) << none.err;
    Result inline_key = Run({"decode", "--key", "cli test key", "enc.txt"});
    EXPECT_EQ(inline_key.status, 2);
    EXPECT_FALSE(fs::exists(P("Decript")));
}

TEST_F(CliTest, Utf8KeyAndItsCodePageBytesGiveTheSameMatrix) {
    WriteFile(P("plain.txt"), "umlauts in the key");
    WriteFile(P("utf8.key"), "Gr\xC3\xBC\xC3\x9F"
                             "e, Schl\xC3\xBCssel\n");
    WriteFile(P("ansi.key"), "Gr\xFC\xDF"
                             "e, Schl\xFCssel\n");
    WriteFile(P("other.key"), "Gr??e, Schl\xFCssel\n");
    const std::string a = Run({"encode", "--key-file", "utf8.key", "plain.txt"}).out;
    EXPECT_EQ(Run({"encode", "--key-file", "ansi.key", "plain.txt"}).out, a);
    EXPECT_NE(Run({"encode", "--key-file", "other.key", "plain.txt"}).out, a);
    // Characters outside the code page become '?', as in a typed key.
    WriteFile(P("cyr.key"), "Gr\xD0\xB6\xD0\xB6"
                            "e, Schl\xC3\xBCssel\n");
    EXPECT_EQ(Run({"encode", "--key-file", "cyr.key", "plain.txt"}).out,
              Run({"encode", "--key-file", "other.key", "plain.txt"}).out);
}

TEST_F(CliTest, RunChecksExitWithTwoAndWriteNothing) {
    WriteFile(P("a.txt"), "text");
    Result shortKey = Run({"decode", "a.txt"}, {"QUILLMAR_KEY=   123456789   "});
    EXPECT_EQ(shortKey.status, 2);
    EXPECT_NE(shortKey.err.find("Error: Decoding key is not correct!"), std::string::npos) << shortKey.err;
    EXPECT_EQ(shortKey.out, "");
    EXPECT_FALSE(fs::exists(P("Decript")));

    Result noDir = Run({"decode", "--output-dir", "nowhere", "a.txt"}, {"QUILLMAR_KEY=1234567890"});
    EXPECT_EQ(noDir.status, 2);
    EXPECT_NE(noDir.err.find("does not exist"), std::string::npos);
    EXPECT_FALSE(fs::exists(P("nowhere")));

    EXPECT_EQ(Run({"decode"}, {"QUILLMAR_KEY=1234567890"}).status, 2);
    EXPECT_EQ(Run({"decode", "--frobnicate", "a.txt"}).status, 2);
    EXPECT_EQ(Run({}).status, 2);
    Result help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: quillmar-cli decode"), std::string::npos);
    EXPECT_EQ(Run({"--version"}).status, 0);
}

TEST_F(CliTest, AFailingFileIsReportedAndTheOthersGoOn) {
    WriteFile(P("a.txt"), "first");
    WriteFile(P("c.txt"), "third");
    fs::create_directory(P("b.txt")); // a folder cannot be read as a source
    Result r = Run({"decode", "a.txt", "b.txt", "missing.txt", "c.txt"}, {"QUILLMAR_KEY=1234567890"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{P("Decript/a(dec1).txt"), P("Decript/c(dec1).txt")}));
    EXPECT_NE(r.err.find(P("b.txt") + ": cannot open the source (Is a directory)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(P("missing.txt") + ": cannot open the source (No such file or directory)"),
              std::string::npos);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(P("Decript")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a(dec1).txt", "c(dec1).txt"}));
}

TEST_F(CliTest, UnrepresentableByteNamesItsOffset) {
    std::string plain(200, 'a');
    plain[150] = '\xFE';
    WriteFile(P("plain.txt"), plain);
    Result r = Run({"encode", "--key-file", "key.txt", "--output", "enc.txt", "plain.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("0xFE at offset 150"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("enc.txt")));
}

TEST_F(CliTest, AFailedEncodeWriteLeavesTheOldOutputWhole) {
    WriteFile(P("plain.txt"), std::string(5000, 'p'));
    WriteFile(P("enc.txt"), "kept");
    WriteFile(P("stdin"), "");
    pid_t pid;
    {
        TFileSizeLimit full(1000); // inherited by the CLI
        ASSERT_TRUE(full.IsSet());
        pid = Start({"encode", "--key-file", "key.txt", "--output", "enc.txt", "plain.txt"}, {}, P("stdin"),
                    "full");
    }
    Result r = Finish(pid, "full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write enc.txt"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(P("enc.txt")), "kept");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"enc.txt", "key.txt", "plain.txt", "stdin"}))
        << "no temporary left";
}

TEST_F(CliTest, InterruptRemovesThePartialOutput) {
    // A large sparse source: decoding it takes long enough to be interrupted, yet it costs no disk.
    {
        const int fd = ::open(P("big.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(4) << 30), 0);
        ::close(fd);
    }
    WriteFile(P("stdin"), "");
    // Not detached: the process is the CLI itself (the shell execs it), so the signal reaches it.
    const pid_t pid = Start({"decode", "big.txt"}, {"QUILLMAR_KEY=1234567890"}, P("stdin"), "int", false);
    // Interrupt once the output exists, that is in the middle of the file.
    const timespec pause{0, 1000000};
    while (!fs::exists(P("Decript/big(dec1).txt")) && ::waitpid(pid, nullptr, WNOHANG) == 0)
        ::nanosleep(&pause, nullptr);
    ::kill(pid, SIGINT);
    Result r = Finish(pid, "int");
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(!fs::exists(P("Decript")) || fs::is_empty(P("Decript")));
}

TEST_F(CliTest, PipesAndDevicesAreRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(P("pipe.txt").c_str(), 0600), 0); // no writer: opening it used to wait for ever
    WriteFile(P("a.txt"), "first");
    ::alarm(120); // a CLI that hangs ends this test program instead of the suite's patience
    fs::create_directory(P("out"));
    Result r =
        Run({"decode", "--output-dir", "out", "pipe.txt", "/dev/zero", "a.txt"}, {"QUILLMAR_KEY=1234567890"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out), std::vector<std::string>{P("out/a(dec1).txt")});
    EXPECT_NE(r.err.find(P("pipe.txt") + ": cannot open the source (a pipe, not a regular file)"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("/dev/zero: cannot open the source (a device, not a regular file)"),
              std::string::npos)
        << r.err;
    Result key = Run({"decode", "--key-file", "pipe.txt", "a.txt"});
    Result encoded = Run({"encode", "--key-file", "key.txt", "pipe.txt"});
    ::alarm(0);
    EXPECT_EQ(encoded.status, 1);
    EXPECT_NE(encoded.err.find("cannot read pipe.txt: a pipe, not a regular file"), std::string::npos)
        << encoded.err;
    EXPECT_EQ(key.status, 2);
    EXPECT_NE(key.err.find("cannot read the key file pipe.txt: a pipe, not a regular file"),
              std::string::npos)
        << key.err;
}

TEST_F(CliTest, DecodedPathsArePrintedOnePerLineOrNulTerminated) {
    const std::string name = "line\nbreak\\back\tslash";
    WriteFile(P(name + ".txt"), "odd name");
    WriteFile(P("plain.txt"), "plain name");
    Result r = Run({"decode", name + ".txt", "plain.txt"}, {"QUILLMAR_KEY=1234567890"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, P("Decript/line\\nbreak\\\\back\\tslash(dec1).txt") + "\n" +
                         P("Decript/plain(dec1).txt") + "\n");
    EXPECT_EQ(ReadFile(P("Decript/" + name + "(dec1).txt")), "odd name");
    Result z = Run({"decode", "-z", name + ".txt", "plain.txt"}, {"QUILLMAR_KEY=1234567890"});
    ASSERT_EQ(z.status, 0) << z.err;
    EXPECT_EQ(z.out, P("Decript/" + name + "(dec2).txt") + std::string(1, '\0') +
                         P("Decript/plain(dec2).txt") + std::string(1, '\0'));
    Result null = Run({"decode", name + ".txt", "--null", "plain.txt"}, {"QUILLMAR_KEY=1234567890"});
    ASSERT_EQ(null.status, 0) << null.err;
    EXPECT_EQ(null.out, P("Decript/" + name + "(dec3).txt") + std::string(1, '\0') +
                            P("Decript/plain(dec3).txt") + std::string(1, '\0'));
}

} // namespace

TEST_F(CliTest, ADecodedCopyKeepsTheSourcesPermissionBitsLessTheUmask) {
    WriteFile(P("plain.txt"), "kept private");
    ASSERT_EQ(Run({"encode", "--key-file", "key.txt", "--output", "private.txt", "plain.txt"}).status, 0);
    fs::copy_file(P("private.txt"), P("shared.txt"));
    fs::copy_file(P("private.txt"), P("open.txt"));
    const std::vector<std::pair<std::string, mode_t>> cases = {
        {"private", 0600}, {"shared", 0644}, {"open", 0666}};
    for (const auto& [name, mode] : cases)
        ASSERT_EQ(::chmod(P(name + ".txt").c_str(), mode), 0);
    const mode_t old = ::umask(022);
    const Result dec = Run({"decode", "--key-file", "key.txt", "private.txt", "shared.txt", "open.txt"});
    ::umask(old);
    ASSERT_EQ(dec.status, 0) << dec.err;
    for (const auto& [name, mode] : cases) {
        struct stat st {};
        ASSERT_EQ(::stat(P("Decript/" + name + "(dec1).txt").c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, mode & ~mode_t(022)) << name;
    }
}
