// Files that get their name only when complete, path bytes that survive being text, ".." after a
// link, and the signals that ask a program to stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/StopSignals.h"

namespace {

namespace fs = std::filesystem;

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "quillmar-hostile-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> VisibleNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string()[0] != '.') names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UnnamedFile, HasNoNameUntilLinkedAndNeverReplacesOne) {
    TempDir t;
    std::ofstream(t / "taken") << "old";
    const mode_t mask = ::umask(022);
    TUnnamedFile f = CreateUnnamedFile(t.path, 0664);
    ::umask(mask);
    ASSERT_TRUE(f.Ok()) << f.Error;
    ASSERT_EQ(::write(f.Handle, "new", 3), 3);
    EXPECT_EQ(VisibleNames(t.path), std::vector<std::string>{"taken"});

    EXPECT_EQ(LinkUnnamedFile(f, t / "taken"), EEXIST);
    EXPECT_EQ(Slurp(t / "taken"), "old");
    EXPECT_EQ(LinkUnnamedFile(f, t / "fresh"), 0);
    ::close(f.Handle);
    DiscardUnnamedFile(f);
    EXPECT_EQ(Slurp(t / "fresh"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((t / "fresh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(VisibleNames(t.path), (std::vector<std::string>{"fresh", "taken"}));

    TUnnamedFile dropped = CreateUnnamedFile(t.path);
    ASSERT_TRUE(dropped.Ok());
    ::close(dropped.Handle);
    DiscardUnnamedFile(dropped);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path), fs::directory_iterator()), 2);
    EXPECT_EQ(CreateUnnamedFile(t / "missing").Error, ENOENT);
}

TEST(PathText, EveryByteSurvivesAndOnlyBytesThatAreNoTextAreEscaped) {
    EXPECT_EQ(PathToText("/d/bad\xFF.txt"), u"/d/bad\\xFF.txt");
    EXPECT_EQ(PathToText("/d/bad\xEF\xBF\xBD.txt"), u"/d/bad\uFFFD.txt");
    EXPECT_EQ(PathToText("/d/caf\xC3\xA9\\x41\t\n\r\x1B"), u"/d/caf\u00E9\\\\x41\\t\\n\\r\\x1B");
    EXPECT_EQ(PathToText("\xC0\xAF\xED\xA0\x80"), u"\\xC0\\xAF\\xED\\xA0\\x80"); // overlong, surrogate

    std::vector<std::string> paths = {"", "\\", "\\x", "\\xZZ", "a\\\\b", "\xF0\x9F\x98\x80", "\xF0\x9F\x98"};
    for (int b = 0; b < 256; ++b)
        paths.push_back(std::string("p") + static_cast<char>(b) + "q");
    std::set<std::u16string> texts;
    for (const std::string& p : paths) {
        EXPECT_EQ(PathFromText(PathToText(p)), p);
        texts.insert(PathToText(p));
    }
    EXPECT_EQ(texts.size(), paths.size()) << "two paths share one text";
    // A typed backslash that starts no escape is itself.
    for (const char16_t* typed : {u"/d/\\xZZ", u"/d/\\x4", u"/d/\\x", u"/d/a\\b", u"/d/\\"})
        EXPECT_EQ(PathFromText(typed), WideToUtf8(typed)) << WideToUtf8(typed);
}

TEST(PathText, DotDotAfterALinkIsWhereTheKernelFindsIt) {
    TempDir t;
    fs::create_directories(t / "real/sub");
    fs::create_directory_symlink(t / "real/sub", t / "lnk");
    EXPECT_EQ(AbsoluteFilePath("lnk/../a.txt", t.path), fs::canonical(t / "real").string() + "/a.txt");
    EXPECT_EQ(AbsoluteFilePath("./x//y/./a.txt", t.path), t / "x/y/a.txt");
    EXPECT_EQ(AbsoluteFilePath("/abs/a.txt", t.path), "/abs/a.txt");
    // A folder that does not exist stays as given, for the open to report.
    EXPECT_EQ(AbsoluteFilePath("none/../a.txt", t.path), t / "none/../a.txt");
}

TEST(StopSignals, EverySignalSetsTheFlagAndNoneEndsTheProcess) {
    struct sigaction before {};
    ::sigaction(SIGINT, nullptr, &before);
    {
        const TStopSignals signals;
        EXPECT_FALSE(TStopSignals::Requested());
        for (int sig : {SIGINT, SIGINT, SIGTERM, SIGHUP}) {
            TStopSignals::Requested() = false;
            ::raise(sig); // a one-shot handler would let the second SIGINT end this test
            EXPECT_TRUE(TStopSignals::Requested()) << sig;
        }
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction now {};
            ::sigaction(sig, nullptr, &now);
            // Without a restart a blocking read returns, so that the flag is looked at.
            EXPECT_EQ(now.sa_flags & (SA_RESTART | SA_RESETHAND), 0) << sig;
        }
        struct sigaction xfsz {};
        ::sigaction(SIGXFSZ, nullptr, &xfsz);
        EXPECT_EQ(xfsz.sa_handler, SIG_IGN);
    }
    struct sigaction after {};
    ::sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

} // namespace
