// quillmar-cli stopped hard in the middle of a file, fed hostile names, key files and targets.
#include "CliTestSupport.h"

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>

using namespace clitest;

namespace {

TEST_F(CliTest, AKillOrAHangUpMidFileLeavesNothingUnderAnOutputName) {
    pid_t pid = StartMidFile();
    ::kill(pid, SIGKILL);
    Result killed = Finish(pid, "stop");
    EXPECT_EQ(killed.status, 128 + SIGKILL);
    for (const std::string& name : Names(P("Decript")))
        EXPECT_EQ(name[0], '.') << name << " looks like a finished decode";

    fs::remove_all(P("Decript"));
    pid = StartMidFile();
    ::kill(pid, SIGHUP); // the terminal closed: like Ctrl-C
    Result hungUp = Finish(pid, "stop");
    EXPECT_EQ(hungUp.status, 130) << hungUp.err;
    EXPECT_NE(hungUp.err.find("interrupted"), std::string::npos) << hungUp.err;
    EXPECT_EQ(hungUp.out, "");
    EXPECT_EQ(Names(P("Decript")), std::vector<std::string>{});
}

TEST_F(CliTest, AFileSizeLimitFailsThatFileWithItsReasonAndTheOthersGoOn) {
    MakeSparse(P("big.txt"), off_t(8) << 20);
    WriteFile(P("small.txt"), "small");
    WriteFile(P("stdin"), "");
    pid_t pid;
    {
        TFileSizeLimit limit(1 << 20); // inherited; the CLI gets SIGXFSZ's default action
        ASSERT_TRUE(limit.IsSet());
        pid = Start({"decode", "big.txt", "small.txt"}, {"QUILLMAR_KEY=1234567890"}, P("stdin"), "limit");
    }
    Result r = Finish(pid, "limit");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(P("big.txt") + ": cannot write the copy into " + P("Decript") + " (File too large)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, P("Decript/small(dec1).txt") + "\n");
    EXPECT_EQ(Names(P("Decript")), std::vector<std::string>{"small(dec1).txt"});
}

TEST_F(CliTest, CtrlCDuringEncodeLeavesTheTargetAsItWasAndNoTemporary) {
    WriteFile(P("plain.txt"), std::string(size_t(48) << 20, 'p'));
    WriteFile(P("enc.txt"), "kept");
    WriteFile(P("stdin"), "");
    const pid_t pid = Start({"encode", "--key-file", "key.txt", "--output", "enc.txt", "plain.txt"}, {},
                            P("stdin"), "enc", false);
    // Held still while its temporary is open, so that Ctrl-C surely comes before the rename.
    bool caught = false;
    WaitFor(pid, [&] {
        if (!HasTemporaryOpen(pid, dir)) return false;
        ::kill(pid, SIGSTOP);
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid), &info, WSTOPPED | WNOWAIT);
        caught = HasTemporaryOpen(pid, dir);
        if (caught) ::kill(pid, SIGINT);
        ::kill(pid, SIGCONT);
        return true;
    });
    Result r = Finish(pid, "enc");
    ASSERT_TRUE(caught) << "the encode ended before its temporary was seen";
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_EQ(ReadFile(P("enc.txt")), "kept");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"enc.txt", "key.txt", "plain.txt", "stdin"}));
}

TEST_F(CliTest, EncodeTargetsAndSourcesThatAreNoRegularFiles) {
    WriteFile(P("plain.txt"), "plain");
    ::alarm(120); // a CLI that waits for ever ends this test program instead of the suite's patience
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
    Result fifo = Run({"encode", "--key-file", "key.txt", "--output", "fifo", "plain.txt"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_NE(fifo.err.find("a pipe, not a regular file"), std::string::npos) << fifo.err;

    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(P("sock").size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, P("sock").c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    Result source = Run({"encode", "--key-file", "key.txt", "sock"});
    Result decoded = Run({"decode", "--key-file", "key.txt", "sock"});
    ::alarm(0);
    ::close(sock);
    EXPECT_EQ(source.status, 1);
    EXPECT_NE(source.err.find("cannot read sock: a socket, not a regular file"), std::string::npos)
        << source.err;
    EXPECT_NE(decoded.err.find(P("sock") + ": cannot open the source (a socket, not a regular file)"),
              std::string::npos)
        << decoded.err;

    // A replaced set-user-ID program does not hand its bit to the new content.
    WriteFile(P("tool"), "old");
    ASSERT_EQ(::chmod(P("tool").c_str(), 04755), 0);
    ASSERT_EQ(Run({"encode", "--key-file", "key.txt", "--output", "tool", "plain.txt"}).status, 0);
    struct stat st {};
    ASSERT_EQ(::stat(P("tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(CliTest, NamesAreTheBytesGivenAndDotDotFollowsTheLink) {
    // Three names that one text conversion would make one: each decodes its own file.
    const std::vector<std::string> names = {"bad\xFF", "bad\xFE", "bad\xEF\xBF\xBD"};
    for (const std::string& name : names)
        WriteFile(P(name + ".txt"), "content of " + name);
    Result r =
        Run({"decode", names[0] + ".txt", names[1] + ".txt", names[2] + ".txt"}, {"QUILLMAR_KEY=1234567890"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected;
    for (const std::string& name : names) {
        expected += P("Decript/" + name + "(dec1).txt") + "\n";
        EXPECT_EQ(ReadFile(P("Decript/" + name + "(dec1).txt")), "content of " + name);
    }
    EXPECT_EQ(r.out, expected);

    // lnk/../a.txt is the a.txt beside the link's target, as the kernel finds it.
    fs::create_directories(P("real/sub"));
    fs::create_directory_symlink(P("real/sub"), P("lnk"));
    WriteFile(P("real/a.txt"), "beside the target");
    WriteFile(P("a.txt"), "beside the link");
    Result link = Run({"decode", "lnk/../a.txt"}, {"QUILLMAR_KEY=1234567890"});
    ASSERT_EQ(link.status, 0) << link.err;
    EXPECT_EQ(link.out, P("real/Decript/a(dec1).txt") + "\n");
    EXPECT_EQ(ReadFile(P("real/Decript/a(dec1).txt")), "beside the target");
}

TEST_F(CliTest, TheProgressLineEscapesNames) {
    const std::string name = "esc\x1B]0;title\x07";
    WriteFile(P(name + ".txt"), std::string(5000, 'x'));
    PseudoTerminal tty;
    WriteFile(P("stdin"), "");
    Result r = Finish(
        Start({"decode", name + ".txt"}, {"QUILLMAR_KEY=1234567890"}, P("stdin"), "tty", true, tty.Path()),
        "tty");
    EXPECT_EQ(r.status, 0);
    const std::string shown = tty.Shown();
    EXPECT_NE(shown.find("esc\\x1B]0;title\\x07"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("\x1B]0;"), std::string::npos) << "a raw escape sequence reached the terminal";
    // The line shows the file while it is decoded, not only once its copy is done.
    EXPECT_EQ(shown.rfind("\r\x1B[K0/1 files, 0 B of 4.9 KiB", 0), 0u) << ::testing::PrintToString(shown);
}

TEST_F(CliTest, KeyFilesAreReadAsTheirFirstLineInTheCodePage) {
    WriteFile(P("plain.txt"), "key files");
    const std::string expected = Run({"encode", "--key-file", "key.txt", "plain.txt"}).out;
    ASSERT_FALSE(expected.empty());
    WriteFile(P("bom.key"), "\xEF\xBB\xBF"
                            "cli test key\n");
    WriteFile(P("cr.key"), "cli test key\rsecond line");
    WriteFile(P("bare.key"), "cli test key");
    for (const char* key : {"bom.key", "cr.key", "bare.key"})
        EXPECT_EQ(Run({"encode", "--key-file", key, "plain.txt"}).out, expected) << key;

    const std::string utf16 =
        std::string("\xFF\xFE", 2) + std::string("c\0l\0i\0 \0t\0e\0s\0t\0 \0k\0e\0y\0\n\0", 26);
    WriteFile(P("utf16.key"), utf16);
    WriteFile(P("cyr.key"), "\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87 \xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB0\n");
    WriteFile(P("long.key"), std::string(size_t(8) << 20, 'k'));
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"utf16.key", "UTF-16"},
        {"cyr.key", "code page cp1252 cannot hold"},
        {"long.key", "longer than 4096 bytes"}};
    for (const auto& [key, reason] : refused) {
        Result r = Run({"decode", "--key-file", key, "plain.txt"});
        EXPECT_EQ(r.status, 2) << key;
        EXPECT_NE(r.err.find(reason), std::string::npos) << key << ": " << r.err;
        EXPECT_EQ(r.out, "") << key;
    }
    EXPECT_FALSE(fs::exists(P("Decript")));
}

} // namespace
