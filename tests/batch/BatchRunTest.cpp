#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>

#include <algorithm>
#include <random>
#include <thread>

#include "BatchTestSupport.h"
#include "app/batch/JobDecoder.h"
#include "platform/runtime/Exception.h"

using namespace batchtest;

namespace {

struct RunFixture : ::testing::Test {
    TempFolder dir;
    WatchedJobList sources;
    RecordingReporter reporter;
    TestFileSystem fs;
    BatchSettings settings{kKey};
    BatchHooks hooks;

    std::string AddSource(const std::string& name, const std::string& content) {
        const std::string path = dir / name;
        WriteFile(path, content);
        AddFiles(sources, {W(path)});
        return path;
    }

    BatchResult Run(BatchFileSystem& fileSystem) {
        return BatchRun(sources, reporter, fileSystem).Run(settings, hooks);
    }
    BatchResult Run() { return Run(fs); }
    const JobRow& Row(int r) const { return sources.Rows()[static_cast<size_t>(r)]; }
};

} // namespace

TEST_F(RunFixture, KeyIsTrimmedAndNeedsTenBytes) {
    AddSource("a.txt", "x");
    const std::vector<JobRow> before = sources.Rows();
    settings.Key = " \t123456789 \r\n";
    EXPECT_EQ(Run().Outcome, BatchOutcome::KeyRejected);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Error: Decoding key is not correct!"});
    EXPECT_EQ(sources.Rows(), before);

    reporter.messages.clear();
    settings.Key = "  1234567890  ";
    EXPECT_EQ(Run().Outcome, BatchOutcome::Finished);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(Row(0).Status, kStatusDecoded);
}

TEST_F(RunFixture, TheRunLeavesNoTraceOfItsKeyMatrixOnceDone) {
    alignas(JobDecoder) unsigned char Storage[sizeof(JobDecoder)];
    auto* Decoder = new (Storage) JobDecoder(settings, fs);
    const EncriptMatrix Matrix = Decoder->Matrix();
    // Any 16 bytes in a row of the positions or the shifts.
    auto Traces = [&] {
        int Found = 0;
        for (const uint8_t* Table : {Matrix.Positions.data(), Matrix.Shifts.data()})
            for (size_t At = 0; At + 16 <= 128; At += 16)
                Found += memmem(Storage, sizeof Storage, Table + At, 16) != nullptr;
        return Found;
    };
    ASSERT_EQ(Traces(), 16) << "the run holds the matrix while it lives";
    Decoder->~JobDecoder();
    EXPECT_EQ(Traces(), 0);
}

TEST_F(RunFixture, AnEmptyListRunsToItsEnd) {
    const BatchResult r = Run();
    EXPECT_EQ(r.Outcome, BatchOutcome::Finished);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Decoded, 0);
}

TEST_F(RunFixture, SourceOffAFixedDiskFailsBeforeAnyRowChanges) {
    std::filesystem::create_directory(dir / "removable");
    AddSource("a.txt", "first");
    AddSource("removable/b.txt", "second");
    const std::vector<JobRow> before = sources.Rows();
    EXPECT_EQ(Run().Outcome, BatchOutcome::DriveRejected);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Error: Upload folder is not correct!"});
    EXPECT_EQ(sources.Rows(), before);
    EXPECT_FALSE(DirectoryExists(dir / "Decript"));

    // A chosen folder accepts any drive and takes every output.
    std::filesystem::create_directory(dir / "out");
    settings.FolderChosen = true;
    settings.OutputFolder = dir / "out";
    reporter.messages.clear();
    EXPECT_EQ(Run().Decoded, 2);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(ListFolder(dir / "out"), (std::vector<std::string>{"a(dec1).txt", "b(dec1).txt"}));
    EXPECT_FALSE(DirectoryExists(dir / "Decript"));
}

TEST_F(RunFixture, DriveIsAskedOncePerFolder) {
    struct Counting : TestFileSystem {
        std::vector<std::string> asked;
        unsigned DriveType(const std::string& path) override {
            asked.push_back(path);
            return TestFileSystem::DriveType(path);
        }
    } counting;
    std::filesystem::create_directory(dir / "sub");
    for (const char* name : {"a.txt", "b.txt", "sub/c.txt", "d.txt", "sub/e.txt"})
        AddSource(name, name);
    EXPECT_EQ(Run(counting).Decoded, 5);
    EXPECT_EQ(counting.asked, (std::vector<std::string>{dir / "a.txt", dir / "sub/c.txt"}));

    // A chosen folder needs no drive at all.
    counting.asked.clear();
    std::filesystem::create_directory(dir / "out");
    settings.FolderChosen = true;
    settings.OutputFolder = dir / "out";
    EXPECT_EQ(Run(counting).Decoded, 5);
    EXPECT_TRUE(counting.asked.empty());
}

TEST_F(RunFixture, DecodesIntoDecriptWithTheFirstFreeNumber) {
    const Sample s = MakeSample("The quick brown fox jumps over the lazy dog.\nLine two!\n");
    AddSource("a.txt", s.encoded);
    EXPECT_EQ(Run().Decoded, 1);
    const std::string first = dir / "Decript/a(dec1).txt";
    EXPECT_EQ(ReadFile(first), s.decoded);
    EXPECT_EQ(Row(0).Status, kStatusDecoded);
    EXPECT_DOUBLE_EQ(Row(0).Progress, 100.0);
    EXPECT_EQ(U(Row(0).DecodedPath), first);

    // Decoded rows are decoded again, into the next number.
    EXPECT_EQ(Run().Decoded, 1);
    EXPECT_EQ(U(Row(0).DecodedPath), dir / "Decript/a(dec2).txt");
    EXPECT_EQ(ReadFile(dir / "Decript/a(dec2).txt"), s.decoded);
    // A gap is filled first.
    std::filesystem::remove(first);
    Run();
    EXPECT_EQ(U(Row(0).DecodedPath), first);
}

TEST_F(RunFixture, BaseNamesWithoutOrWithSeveralPeriods) {
    AddSource("noext", "1");
    AddSource(".hidden", "2");
    AddSource("a.b.txt", "3");
    EXPECT_EQ(Run().Decoded, 3);
    EXPECT_EQ(ListFolder(dir / "Decript"),
              (std::vector<std::string>{"(dec1).txt", "(dec2).txt", "a.b(dec1).txt"}));
    EXPECT_EQ(ReadFile(U(Row(1).DecodedPath)), "2");
}

TEST_F(RunFixture, EmptySourceGivesEmptyOutputAtOneHundredPercent) {
    AddSource("empty.txt", "");
    EXPECT_EQ(Run().Decoded, 1);
    EXPECT_EQ(ReadFile(dir / "Decript/empty(dec1).txt"), "");
    EXPECT_DOUBLE_EQ(Row(0).Progress, 100.0);
}

TEST_F(RunFixture, ProgressIsWrittenWhenTheShownPercentChanges) {
    std::string big(4 << 20, 'x');
    AddSource("big.txt", big);
    hooks.ReadChunk = 4096;
    EXPECT_EQ(Run().Decoded, 1);
    // One integer 0, at most one write per whole percent, and the final 100.
    EXPECT_GE(sources.ProgressWrites(), 50);
    EXPECT_LE(sources.ProgressWrites(), 102);
    EXPECT_DOUBLE_EQ(Row(0).Progress, 100.0);
}

// A list that shows progress (the command line's bar, say) hears of every write, of either kind.
TEST(MemoryJobList, EveryProgressWriteIsReported) {
    struct Watching : MemoryJobList {
        std::vector<std::pair<int, double>> seen;
        void ProgressChanged(int row) override { seen.emplace_back(row, GetProgress(row)); }
    } sources;
    TempFolder dir;
    WriteFile(dir / "a.txt", std::string(100000, 'x'));
    WriteFile(dir / "b.txt", "short");
    AddFiles(sources, {W(dir / "a.txt"), W(dir / "b.txt")});
    RecordingReporter reporter;
    TestFileSystem fs;
    BatchHooks hooks;
    hooks.ReadChunk = 4096;
    ASSERT_EQ(BatchRun(sources, reporter, fs).Run(BatchSettings{kKey}, hooks).Decoded, 2);
    ASSERT_GE(sources.seen.size(), 4u);
    EXPECT_EQ(sources.seen.front(), (std::pair<int, double>{0, 0.0}));
    EXPECT_EQ(sources.seen.back(), (std::pair<int, double>{1, 100.0}));
    // Row a climbs through its percentages to 100 before row b starts at 0.
    const auto bStart = std::find(sources.seen.begin(), sources.seen.end(), std::pair<int, double>{1, 0.0});
    ASSERT_NE(bStart, sources.seen.end());
    EXPECT_EQ(*(bStart - 1), (std::pair<int, double>{0, 100.0}));
    EXPECT_GT(bStart - sources.seen.begin(), 10);
    EXPECT_EQ(sources.seen.size(), static_cast<size_t>(sources.ProgressWrites()));
}

TEST_F(RunFixture, ARowAddedDuringARunIsNotPartOfIt) {
    AddSource("a.txt", "a");
    const std::string late = dir / "late.txt";
    WriteFile(late, "late");
    // Added while the first file is decoded, as a window may.
    sources.onProgress = [&](int) {
        if (sources.GetRowCount() == 1) AddFiles(sources, {W(late)});
    };
    EXPECT_EQ(Run().Decoded, 1);
    EXPECT_EQ(Row(0).Status, kStatusDecoded);
    EXPECT_EQ(Row(1).Status, kStatusNotDecoded);
    EXPECT_EQ(Row(1).DecodedPath, u"");
}

TEST_F(RunFixture, ReusedBuffersGiveEveryFileWhatItGivesAlone) {
    hooks.ReadChunk = 4096;
    const EncriptMatrix m = PrepareEncriptMatrix(kKey);
    const std::string region = EncodeMarkedText(std::string(200, 'r') + "\n", m).Text;
    std::string large;
    while (large.size() < 3 * hooks.ReadChunk + 5)
        large += "text \"quoted\" line!\n" + region;
    // A region left open, a dropped block and a trailing '*' are what a shared state would leak.
    std::vector<std::pair<std::string, std::string>> files = {
        {"s129.txt", region.substr(0, 129)},
        {"large.txt", large},
        {"s0.txt", ""},
        {"s1.txt", "*"},
        {"s127.txt", region.substr(0, 127)},
        {"s128.txt", region.substr(0, 128)},
        {"dropped.txt", "*# 0123456789#*"},
        {"short.txt", "#*#xyz#*"},
        {"open.txt", "ab*#" + std::string(300, 'z')},
    };
    std::vector<std::string> alone;
    for (const auto& [name, content] : files) {
        AddSource(name, content);
        struct : ProgressSink {
            void Report(double) override {}
        } progress;
        struct In : ByteSource {
            const std::string& s;
            size_t at = 0;
            explicit In(const std::string& text) : s(text) {}
            size_t Read(uint8_t* b, size_t n) override {
                n = std::min(n, s.size() - at);
                std::memcpy(b, s.data() + at, n);
                at += n;
                return n;
            }
        } in(content);
        struct Out : ByteSink {
            std::string s;
            void Write(const uint8_t* d, size_t n) override { s.append(reinterpret_cast<const char*>(d), n); }
        } out;
        DecodeMarkedText(in, out, content.size(), m, progress);
        alone.push_back(out.s);
    }
    for (const std::string run : {"1", "2"}) {
        EXPECT_EQ(Run().Decoded, static_cast<int>(files.size()));
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string base = files[i].first.substr(0, files[i].first.size() - 4);
            const std::string path = dir / ("Decript/" + base + "(dec" + run + ").txt");
            EXPECT_EQ(U(Row(static_cast<int>(i)).DecodedPath), path);
            EXPECT_EQ(ReadFile(path), alone[i]) << path;
        }
    }
}

TEST_F(RunFixture, AnExceptionFromAHookEndsTheRunAndTheRunTakesNewHooksAfterwards) {
    AddSource("a.txt", "a");
    AddSource("b.txt", "b");
    hooks.OnRowDecoded = [](int row) {
        if (row == 0) throw std::runtime_error("view went away");
    };
    for (const int workers : {1, 2}) {
        hooks.Workers = workers;
        EXPECT_THROW(Run(), std::runtime_error) << workers << " workers";
    }

    // The same run object takes new hooks afterwards; none of the old ones is called.
    hooks.Workers = 1;
    BatchRun run(sources, reporter, fs);
    EXPECT_THROW(run.Run(settings, hooks), std::runtime_error);
    BatchHooks quiet;
    int decoded = 0;
    quiet.OnRowDecoded = [&](int) { ++decoded; };
    EXPECT_EQ(run.Run(settings, quiet).Decoded, 2);
    EXPECT_EQ(decoded, 2);
}

// Several files decoded at once still write the list from one thread, the caller's, in the files'
// order: the list needs no lock, and a view that belongs to one thread can take the writes.
TEST_F(RunFixture, ParallelDecodingWritesTheListFromTheCallingThreadInOrder) {
    for (int i = 0; i < 6; ++i)
        AddSource("f" + std::to_string(i) + ".txt", std::string(20000 + 5000 * (5 - i), 'x'));
    hooks.Workers = 3;
    hooks.ReadChunk = 512;
    const std::thread::id caller = std::this_thread::get_id();
    int foreignWrites = 0;
    sources.onProgress = [&](int) { foreignWrites += std::this_thread::get_id() != caller; };
    std::vector<int> decodedRows;
    hooks.OnRowDecoded = [&](int row) {
        foreignWrites += std::this_thread::get_id() != caller;
        decodedRows.push_back(row);
    };
    EXPECT_EQ(Run().Decoded, 6);
    EXPECT_EQ(foreignWrites, 0);
    EXPECT_EQ(decodedRows, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (int r = 0; r < 6; ++r)
        EXPECT_DOUBLE_EQ(Row(r).Progress, 100.0);
}

TEST(AddFiles, AFailingListStillEndsItsBatchOfChanges) {
    struct Failing : MemoryJobList {
        int depth = 0;
        void BeginUpdate() override { ++depth; }
        void EndUpdate() override { --depth; }
        void SetStatus(int row, const WideString& status) override {
            if (row == 1) throw std::runtime_error("no room");
            MemoryJobList::SetStatus(row, status);
        }
    } sources;
    EXPECT_THROW(AddFiles(sources, {u"/a", u"/b", u"/c"}), std::runtime_error);
    EXPECT_EQ(sources.depth, 0);
    EXPECT_EQ(AddFiles(sources, {u"/a"}), 0);
    EXPECT_EQ(sources.depth, 0);
}

TEST(AddFiles, ExactDuplicatesAreAddedOnce) {
    MemoryJobList sources;
    EXPECT_EQ(AddFiles(sources, {u"/d/a.txt", u"/d/b.txt", u"/d/a.txt"}), 2);
    EXPECT_EQ(AddFiles(sources, {u"/d/b.txt", u"/d/A.txt", u"/d/c.txt"}), 2);
    ASSERT_EQ(sources.GetRowCount(), 4);
    EXPECT_EQ(sources.GetSourcePath(2), u"/d/A.txt");
    EXPECT_EQ(sources.GetSourcePath(3), u"/d/c.txt");
    for (const JobRow& row : sources.Rows()) {
        EXPECT_EQ(row.Status, kStatusNotDecoded);
        EXPECT_EQ(row.DecodedPath, u"");
    }
}

TEST(AddFiles, ManyPathsKeepTheFirstOfEachInOrder) {
    // Short paths over a small alphabet: many repeats, many near misses, an empty one.
    std::mt19937 rng(4);
    MemoryJobList sources;
    std::vector<WideString> expected;
    for (int round = 0; round < 3; ++round) {
        std::vector<WideString> paths;
        for (int i = 0; i < 4000; ++i) {
            WideString p;
            for (unsigned n = rng() % 4; n > 0; --n)
                p += static_cast<char16_t>(u"aAb/"[rng() % 4]);
            paths.push_back(p);
        }
        int fresh = 0;
        for (const WideString& p : paths)
            if (std::find(expected.begin(), expected.end(), p) == expected.end()) {
                expected.push_back(p);
                ++fresh;
            }
        EXPECT_EQ(AddFiles(sources, paths), fresh);
    }
    ASSERT_EQ(sources.GetRowCount(), static_cast<int>(expected.size()));
    for (int r = 0; r < sources.GetRowCount(); ++r)
        EXPECT_EQ(sources.GetSourcePath(r), expected[static_cast<size_t>(r)]);
}

TEST(MemoryJobList, OutOfRangeRowsRaiseTheListError) {
    MemoryJobList sources;
    try {
        sources.SetStatus(0, u"x");
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    EXPECT_THROW(sources.GetSourcePath(-1), EListError);
}

TEST(BatchRunNames, FolderAndNameAreJoinedWithOneSeparator) {
    EXPECT_EQ(BatchRun::OutputName("/out", "a", 12), "/out/a(dec12).txt");
    EXPECT_EQ(BatchRun::OutputName("/out/", "", 2), "/out/(dec2).txt");
    EXPECT_EQ(BatchRun::OutputName("/", "a", 1), "/a(dec1).txt");
    EXPECT_EQ(BatchRun::OutputName("", "a", 3), "a(dec3).txt"); // never the root
    BatchSettings chosen{kKey, true, "/chosen"};
    EXPECT_EQ(BatchRun::OutputFolderFor("/data/in/a.txt", chosen), "/chosen");
    EXPECT_EQ(BatchRun::OutputFolderFor("/data/in/a.txt", BatchSettings{kKey}), "/data/in/Decript");
}
