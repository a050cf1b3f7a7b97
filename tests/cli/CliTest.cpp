// quillmar-cli as a user runs it: a separate process with arguments, environment and exit status.
#include "CliTestSupport.h"

using namespace clitest;

namespace {

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
    // Characters outside the code page are refused: a stand-in would decode with another key.
    WriteFile(P("cyr.key"), "Gr\xD0\xB6\xD0\xB6"
                            "e, Schl\xC3\xBCssel\n");
    EXPECT_EQ(Run({"encode", "--key-file", "cyr.key", "plain.txt"}).status, 2);
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
    const pid_t pid = StartMidFile();
    ::kill(pid, SIGINT);
    Result r = Finish(pid, "stop");
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
