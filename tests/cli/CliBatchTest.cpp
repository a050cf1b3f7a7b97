// quillmar-cli decode on large batches: file lists, several workers and processes, Ctrl-C, progress.
#include "CliTestSupport.h"

#include <map>
#include <set>

#include "app/batch/BatchProgress.h"
#include "decoding/KeySchedule.h"

using namespace clitest;

namespace {

const std::string kKeyEnv = "QUILLMAR_KEY=1234567890";

TEST_F(CliTest, AListFromStandardInputKeepsEveryByteOfItsNames) {
    const std::string nl = "two words\nline", dash = "-lead";
    for (const std::string& name : {nl, dash, std::string("a"), std::string("b")})
        WriteFile(P(name + ".txt"), "content of " + name);
    // Command-line paths first, then the list in its order; a.txt named twice is decoded once.
    const std::string list = nl + ".txt" + std::string(1, '\0') + dash + ".txt" + std::string(1, '\0') +
                             "a.txt" + std::string(1, '\0');
    Result r = Run({"decode", "--jobs", "3", "b.txt", "a.txt", "--files-from", "-", "-0"}, {kKeyEnv}, list);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{P("Decript/b(dec1).txt"), P("Decript/a(dec1).txt"),
                                                      P("Decript/two words\\nline(dec1).txt"),
                                                      P("Decript/-lead(dec1).txt")}));
    EXPECT_EQ(ReadFile(P("Decript/" + nl + "(dec1).txt")), "content of " + nl);
    EXPECT_EQ(ReadFile(P("Decript/-lead(dec1).txt")), "content of -lead");

    // One path a line from a file; blank lines name nothing.
    WriteFile(P("list.txt"), "-lead.txt\n\nb.txt\n");
    r = Run({"decode", "--jobs=1", "--files-from", "list.txt"}, {kKeyEnv});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{P("Decript/-lead(dec2).txt"), P("Decript/b(dec2).txt")}));

    EXPECT_EQ(Run({"decode", "--files-from", "missing.txt"}, {kKeyEnv}).status, 2);
    EXPECT_EQ(Run({"decode", "--files-from", "-", "--key-file", "-"}, {}, "a.txt\n").status, 2);
    EXPECT_EQ(Run({"decode", "--jobs", "0", "a.txt"}, {kKeyEnv}).status, 2);
}

TEST_F(CliTest, TwoProcessesOfFourJobsGiveEverySourceItsOwnOutput) {
    std::mt19937 rng(42);
    const EncriptMatrix matrix = PrepareEncriptMatrix("1234567890");
    std::vector<std::string> args = {"decode", "--jobs", "4", "--output-dir", "out"};
    std::vector<std::string> bases;
    std::map<std::string, std::multiset<std::string>> expected; // by base name
    fs::create_directories(P("out"));
    for (int i = 0; i < 24; ++i) {
        std::string plain(1000 + rng() % (i % 2 ? 2000 : 200000), ' ');
        for (char& c : plain)
            c = static_cast<char>(32 + rng() % 95);
        // Half the sources, in folders of their own, share a base name: their copies from both
        // processes fight for the same numbers.
        const std::string base = i % 2 ? "same" : "s" + std::to_string(i);
        const std::string source = (i % 2 ? "x" + std::to_string(i) + "/" : "") + base + ".txt";
        fs::create_directories(P("x" + std::to_string(i)));
        WriteFile(P(source), EncodeMarkedText(plain, matrix).Text);
        plain.resize((plain.size() + 127) / 128 * 128, ' ');
        expected[base].insert("*#" + plain + "#*");
        expected[base].insert("*#" + plain + "#*");
        args.push_back(source);
        bases.push_back(base);
    }
    WriteFile(P("stdin"), "");
    const pid_t first = Start(args, {kKeyEnv}, P("stdin"), "first");
    const pid_t second = Start(args, {kKeyEnv}, P("stdin"), "second");
    const Result a = Finish(first, "first"), b = Finish(second, "second");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;

    std::set<std::string> printed;
    for (const Result* r : {&a, &b}) {
        const std::vector<std::string> lines = Lines(r->out);
        ASSERT_EQ(lines.size(), bases.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].rfind(P("out/" + bases[i] + "(dec"), 0), 0u)
                << "printed out of order: " << lines[i];
            EXPECT_TRUE(printed.insert(lines[i]).second) << lines[i] << " was taken twice";
        }
    }
    std::map<std::string, std::multiset<std::string>> found;
    for (const std::string& name : Names(P("out"))) {
        EXPECT_TRUE(printed.count(P("out/" + name))) << name << " was written but not printed";
        found[name.substr(0, name.find("(dec"))].insert(ReadFile(P("out/" + name)));
    }
    EXPECT_EQ(Names(P("out")).size(), 2 * bases.size());
    EXPECT_TRUE(found == expected) << "a copy is missing or not byte-exact";
}

TEST_F(CliTest, CtrlCUnderTwoJobsLeavesNoPartialFile) {
    MakeSparse(P("big1.txt"), off_t(4) << 30);
    MakeSparse(P("big2.txt"), off_t(4) << 30);
    WriteFile(P("stdin"), "");
    const pid_t pid =
        Start({"decode", "--jobs", "2", "big1.txt", "big2.txt"}, {kKeyEnv}, P("stdin"), "stop", false);
    // Both workers are in the middle of their files.
    ASSERT_TRUE(WaitFor(
        pid, [&] { return OpenPosition(pid, P("big1.txt")) > 0 && OpenPosition(pid, P("big2.txt")) > 0; }));
    ::kill(pid, SIGINT);
    const Result r = Finish(pid, "stop");
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_EQ(Names(P("Decript")), std::vector<std::string>{});
}

TEST_F(CliTest, BatchProgressAppearsOnlyOnATerminalOrWhenForced) {
    for (const char* name : {"a", "b", "c"})
        WriteFile(P(std::string(name) + ".txt"), std::string(3000, 'x'));
    WriteFile(P("stdin"), "");
    const std::vector<std::string> files = {"a.txt", "b.txt", "c.txt"};
    auto decode = [&](std::vector<std::string> options, const std::string& errPath) {
        options.insert(options.begin(), {"decode", "--jobs", "2", "--output-dir", "."});
        options.insert(options.end(), files.begin(), files.end());
        return Finish(Start(options, {kKeyEnv}, P("stdin"), "progress", true, errPath), "progress");
    };
    PseudoTerminal tty;
    ASSERT_EQ(decode({}, tty.Path()).status, 0);
    std::string shown = tty.Shown();
    EXPECT_NE(shown.find("/3 files, "), std::string::npos) << shown;
    EXPECT_NE(shown.find(" of 8.8 KiB, "), std::string::npos) << shown;
    EXPECT_NE(shown.find(" left"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1B[K") << "the line is cleared at the end";

    ASSERT_EQ(decode({"--no-progress"}, tty.Path()).status, 0);
    EXPECT_EQ(tty.Shown(), "");
    Result plain = decode({}, "");
    EXPECT_EQ(plain.err, "");
    Result forced = decode({"--progress"}, "");
    EXPECT_NE(forced.err.find("/3 files, "), std::string::npos) << forced.err;
}

TEST(BatchProgressTest, RedrawsAtMostTenTimesASecondAndCountsTheWholeBatch) {
    using std::chrono::milliseconds;
    const BatchProgress::Clock::time_point t0{};
    BatchProgress progress({1024, 3072}, t0);
    EXPECT_EQ(progress.Line(t0), "0/2 files, 0 B of 4.0 KiB, 0 B/s, --:-- left");
    EXPECT_TRUE(progress.RedrawDue(t0 + milliseconds(5)));
    EXPECT_FALSE(progress.RedrawDue(t0 + milliseconds(104)));
    EXPECT_TRUE(progress.RedrawDue(t0 + milliseconds(105)));
    EXPECT_FALSE(progress.RedrawDue(t0 + milliseconds(150)));
    EXPECT_TRUE(progress.RedrawDue(t0 + milliseconds(400)));

    progress.SetPercent(0, 50);
    progress.SetPercent(0, 75); // replaces the earlier report instead of adding to it
    EXPECT_EQ(progress.BytesDone(), 768u);
    progress.FileDone(0);
    progress.FileDone(0);
    progress.SetPercent(1, 100.0 / 3);
    EXPECT_EQ(progress.FilesDone(), 1);
    EXPECT_EQ(progress.Line(t0 + std::chrono::seconds(2)),
              "1/2 files, 2.0 KiB of 4.0 KiB, 1.0 KiB/s, 0:02 left");
}

} // namespace

namespace {

// The option appears as a word of its own: "--output" is not found in "--output-dir".
bool Mentions(const std::string& text, const std::string& option) {
    auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '\\'; };
    for (size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1))
        if ((at == 0 || !part(text[at - 1])) &&
            (at + option.size() == text.size() || !part(text[at + option.size()])))
            return true;
    return false;
}

TEST_F(CliTest, HelpManualAndCompletionKnowEveryOption) {
    const std::string manual = ReadFile(QUILLMAR_SOURCE_DIR "/data/quillmar-cli.1");
    const std::string completion = ReadFile(QUILLMAR_SOURCE_DIR "/data/quillmar-cli.bash-completion");
    const std::string help = Run({"--help"}).out;
    for (const std::string option :
         {"--output-dir", "--key-file", "--output", "-z", "--null", "--files-from", "-0", "--null-input",
          "--jobs", "--progress", "--no-progress", "--help"}) {
        std::string roff;
        for (char c : option)
            roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_TRUE(Mentions(help, option)) << option << " is missing from --help";
        EXPECT_TRUE(Mentions(manual, roff)) << option << " is missing from the manual";
        EXPECT_TRUE(Mentions(completion, option)) << option << " is missing from completion";
    }
    // Every option given works: a mistyped one in the lists above would be refused.
    WriteFile(P("a.txt"), "a");
    WriteFile(P("list"), "a.txt");
    EXPECT_EQ(Run({"decode", "--jobs", "2", "--no-progress", "--progress", "-z", "--null", "-0",
                   "--null-input", "--files-from", "list", "--output-dir", "."},
                  {kKeyEnv})
                  .status,
              0);
}

} // namespace
