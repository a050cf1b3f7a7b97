// Failures of single rows: each leaves the other rows decoded and no partial file behind.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "BatchTestSupport.h"

using namespace batchtest;

namespace {

struct FaultFixture : ::testing::Test {
    TempFolder dir;
    WatchedJobList sources;
    RecordingReporter reporter;
    BatchSettings settings{kKey};
    BatchHooks hooks;
    std::vector<std::string> failures;
    Sample sample = MakeSample(std::string(1000, 'k') + "\n");

    FaultFixture() {
        hooks.OnRowFailed = [this](int row, const std::string& reason) {
            failures.push_back(std::to_string(row) + " " + reason);
        };
    }

    void AddSources(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            WriteFile(dir / name, sample.encoded);
            AddFiles(sources, {W(dir / name)});
        }
    }
    const JobRow& Row(int r) const { return sources.Rows()[static_cast<size_t>(r)]; }
    void ExpectDecoded(int r, const std::string& path) {
        EXPECT_EQ(Row(r).Status, kStatusDecoded) << r;
        EXPECT_EQ(U(Row(r).DecodedPath), path) << r;
        EXPECT_EQ(ReadFile(path), sample.decoded) << r;
    }
    void ExpectFailed(int r, const std::string& statusPart) {
        EXPECT_NE(U(Row(r).Status).find("Failed: " + statusPart), std::string::npos) << U(Row(r).Status);
        EXPECT_EQ(Row(r).DecodedPath, u"") << r;
    }
};

// Output of one named source goes through a wrapper the test chooses.
struct WrappingFileSystem : TestFileSystem {
    std::string victim; // base name of the source whose output is wrapped
    std::function<std::unique_ptr<BatchOutput>(std::unique_ptr<BatchOutput>)> wrap;
    std::string lastSource; // a job opens its source before it creates its output
    std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error) override {
        lastSource = path;
        return TestFileSystem::OpenRead(path, error);
    }
    std::unique_ptr<BatchOutput> CreateUnnamed(const std::string& folder, unsigned mode,
                                               int& error) override {
        auto out = TestFileSystem::CreateUnnamed(folder, mode, error);
        if (out && ExtractFileBaseName(lastSource) == victim) return wrap(std::move(out));
        return out;
    }
};

// An output on a disk that is full: every write fails with ENOSPC, nothing reaches the file.
struct FullDiskOutput : BatchOutput {
    std::unique_ptr<BatchOutput> inner;
    explicit FullDiskOutput(std::unique_ptr<BatchOutput> real) : inner(std::move(real)) {}
    void Write(const uint8_t*, size_t) override { error = ENOSPC; }
    int Error() const override { return error; }
    int Link(const std::string& path) override { return inner->Link(path); }
    bool Close() override { return inner->Close() && error == 0; }
    int error = 0;
};

} // namespace

TEST_F(FaultFixture, MissingSourceFailsItsRowOnly) {
    AddSources({"a.txt"});
    AddFiles(sources, {W(dir / "missing.txt")});
    AddSources({"c.txt"});
    TestFileSystem fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Decoded, 2);
    EXPECT_EQ(r.Failed, 1);
    ExpectDecoded(0, dir / "Decript/a(dec1).txt");
    ExpectFailed(1, "cannot open the source (No such file or directory)");
    EXPECT_EQ(Row(1).Status, W("Failed: cannot open the source (No such file or directory)"));
    ExpectDecoded(2, dir / "Decript/c(dec1).txt");
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(FaultFixture, UnreadableSourceLeavesNoPartialOutput) {
    AddSources({"a.txt", "b.txt"});
    struct FailingRead : TestFileSystem {
        std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error) override {
            auto in = TestFileSystem::OpenRead(path, error);
            if (path.find("/a.txt") == std::string::npos) return in;
            struct Broken : BatchInput {
                std::unique_ptr<BatchInput> inner;
                int calls = 0, err = 0;
                uint64_t Size() override { return inner->Size(); }
                size_t Read(uint8_t* b, size_t n) override {
                    if (++calls > 1) {
                        err = EIO;
                        return 0;
                    }
                    return inner->Read(b, std::min<size_t>(n, 100));
                }
                int Error() const override { return err; }
                bool Permissions(unsigned& mode, int& e) override { return inner->Permissions(mode, e); }
            };
            auto broken = std::make_unique<Broken>();
            broken->inner = std::move(in);
            return broken;
        }
    } fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Failed, 1);
    ExpectFailed(0, "cannot read the source (Input/output error)");
    ExpectDecoded(1, dir / "Decript/b(dec1).txt");
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{"b(dec1).txt"});
}

TEST_F(FaultFixture, FullDiskFailsTheRowAndRemovesItsOutput) {
    AddSources({"a.txt", "b.txt", "c.txt"});
    WrappingFileSystem fs;
    fs.victim = "b";
    fs.wrap = [](std::unique_ptr<BatchOutput> real) {
        return std::make_unique<FullDiskOutput>(std::move(real));
    };
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Decoded, 2);
    ExpectDecoded(0, dir / "Decript/a(dec1).txt");
    ExpectFailed(1, "cannot write the copy into " + dir.Path() + "/Decript (No space left on device)");
    ExpectDecoded(2, dir / "Decript/c(dec1).txt");
    EXPECT_EQ(ListFolder(dir / "Decript"), (std::vector<std::string>{"a(dec1).txt", "c(dec1).txt"}));
}

TEST_F(FaultFixture, FailedCloseIsNotShownAsDecoded) {
    AddSources({"a.txt"});
    WrappingFileSystem fs;
    fs.victim = "a";
    fs.wrap = [](std::unique_ptr<BatchOutput> real) -> std::unique_ptr<BatchOutput> {
        struct CloseFails : BatchOutput {
            std::unique_ptr<BatchOutput> inner;
            int err = 0;
            void Write(const uint8_t* d, size_t n) override { inner->Write(d, n); }
            int Error() const override { return err; }
            int Link(const std::string& path) override { return inner->Link(path); }
            bool Close() override {
                inner->Close();
                err = EDQUOT;
                return false;
            }
        };
        auto o = std::make_unique<CloseFails>();
        o->inner = std::move(real);
        return o;
    };
    EXPECT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Failed, 1);
    ExpectFailed(0, "cannot write");
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{});
}

TEST_F(FaultFixture, NameTakenBetweenTestAndCreateIsNeverReplaced) {
    AddSources({"a.txt"});
    struct Racing : TestFileSystem {
        bool raced = false;
        // The name is free when tested and taken just after, before the copy is linked.
        bool FileExists(const std::string& path) override {
            if (!raced) {
                raced = true;
                WriteFile(path, "someone else's file");
                return false;
            }
            return TestFileSystem::FileExists(path);
        }
    } fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Decoded, 1);
    EXPECT_EQ(ReadFile(dir / "Decript/a(dec1).txt"), "someone else's file");
    ExpectDecoded(0, dir / "Decript/a(dec2).txt");
}

TEST_F(FaultFixture, FolderThatCannotBeCreatedFailsOnlyItsRows) {
    std::filesystem::create_directory(dir / "blocked");
    std::filesystem::create_directory(dir / "fine");
    AddSources({"blocked/a.txt", "fine/b.txt"});
    struct NoFolder : TestFileSystem {
        bool CreateDir(const std::string& path) override {
            return path.find("/blocked/") == std::string::npos && TestFileSystem::CreateDir(path);
        }
    } fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Failed, 1);
    ExpectFailed(0, "cannot create the folder " + dir.Path() + "/blocked/Decript");
    ExpectDecoded(1, dir / "fine/Decript/b(dec1).txt");
    EXPECT_EQ(ListFolder(dir / "blocked"), std::vector<std::string>{"a.txt"});
}

TEST_F(FaultFixture, ReadOnlyOrMissingOutputFolderFailsEveryRowCleanly) {
    AddSources({"a.txt", "b.txt"});
    // Root ignores permission bits, so the read-only folder is injected.
    struct ReadOnly : TestFileSystem {
        std::unique_ptr<BatchOutput> CreateUnnamed(const std::string&, unsigned, int& error) override {
            error = EROFS;
            return nullptr;
        }
    } readOnly;
    settings.FolderChosen = true;
    settings.OutputFolder = dir.Path();
    BatchResult r = BatchRun(sources, reporter, readOnly).Run(settings, hooks);
    EXPECT_EQ(r.Failed, 2);
    ExpectFailed(0, "cannot create a file in " + dir.Path() + " (Read-only file system)");
    ExpectFailed(1, "cannot create");

    settings.OutputFolder = dir / "does-not-exist";
    TestFileSystem fs;
    r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Failed, 2);
    ExpectFailed(1, "cannot create a file in " + dir.Path() + "/does-not-exist (No such file or directory)");
    EXPECT_FALSE(DirectoryExists(dir / "does-not-exist"));
}

TEST_F(FaultFixture, StopInTheMiddleOfAFileRestoresThatRowAndLeavesLaterRows) {
    AddSources({"a.txt", "b.txt", "c.txt"});
    sources.SetDecodedPath(1, u"/earlier/b(dec7).txt");
    sources.SetProgressFloat(1, 42.5);
    const JobRow bBefore = Row(1);
    const JobRow cBefore = Row(2);

    std::atomic<bool> stop{false}; // the caller clears it when the run begins
    hooks.StopRequested = &stop;
    hooks.ReadChunk = 64;
    bool sawBDecoding = false;
    sources.onProgress = [&](int row) {
        // Stop once b is being decoded and some of it has been read.
        if (row == 1 && Row(1).Status == kStatusDecoding && Row(1).Progress > 5) {
            sawBDecoding = true;
            stop = true;
        }
    };
    TestFileSystem fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_TRUE(sawBDecoding);
    EXPECT_EQ(r.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.Decoded, 1);
    ExpectDecoded(0, dir / "Decript/a(dec1).txt");
    EXPECT_EQ(Row(1), bBefore);
    EXPECT_EQ(Row(2), cBefore);
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{"a(dec1).txt"});
}

TEST_F(FaultFixture, ARedecodedRowThatFailsDoesNotKeepItsOldProgress) {
    AddSources({"a.txt"});
    TestFileSystem fs;
    ASSERT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Decoded, 1);
    ASSERT_DOUBLE_EQ(Row(0).Progress, 100.0);

    // The second time the output cannot be created, after the row has started.
    struct NoOutput : TestFileSystem {
        std::unique_ptr<BatchOutput> CreateUnnamed(const std::string&, unsigned, int& error) override {
            error = ENOSPC;
            return nullptr;
        }
    } full;
    EXPECT_EQ(BatchRun(sources, reporter, full).Run(settings, hooks).Failed, 1);
    EXPECT_NE(U(Row(0).Status).find("Failed: cannot create"), std::string::npos);
    EXPECT_DOUBLE_EQ(Row(0).Progress, 0.0);
}

TEST_F(FaultFixture, DecriptFolderMadeByAnotherProcessMeanwhileIsUsed) {
    AddSources({"a.txt"});
    // Another process creates the folder between the test and the creation, so ours fails.
    struct Racing : TestFileSystem {
        int creates = 0;
        bool CreateDir(const std::string& path) override {
            ++creates;
            std::filesystem::create_directory(path);
            return false;
        }
    } fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(fs.creates, 1);
    EXPECT_EQ(r.Failed, 0);
    ExpectDecoded(0, dir / "Decript/a(dec1).txt");
}

TEST_F(FaultFixture, SourcesThatAreNoRegularFilesAreRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0); // no writer: opening it used to wait for ever
    std::filesystem::create_directory(dir / "folder.txt");
    std::filesystem::create_directory(dir / "out");
    settings.FolderChosen = true;
    settings.OutputFolder = dir / "out";
    AddSources({"a.txt"});
    AddFiles(sources, {W(dir / "pipe.txt"), W("/dev/zero"), W(dir / "folder.txt")});
    AddSources({"c.txt"});
    TestFileSystem fs;
    ::alarm(120); // a run that hangs ends the test program rather than the suite's patience
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    ::alarm(0);
    EXPECT_EQ(r.Decoded, 2);
    EXPECT_EQ(r.Failed, 3);
    EXPECT_EQ(Row(1).Status, W("Failed: cannot open the source (a pipe, not a regular file)"));
    EXPECT_EQ(Row(2).Status, W("Failed: cannot open the source (a device, not a regular file)"));
    EXPECT_EQ(Row(3).Status, W("Failed: cannot open the source (Is a directory)"));
    EXPECT_EQ(ListFolder(dir / "out"), (std::vector<std::string>{"a(dec1).txt", "c(dec1).txt"}));
}

TEST_F(FaultFixture, CtrlCDuringAnOpenStopsTheRunAtOnce) {
    AddSources({"a.txt", "b.txt", "c.txt"});
    const JobRow bBefore = Row(1);
    std::atomic<bool> stop{false};
    hooks.StopRequested = &stop;
    // The signal handler sets the request and the open comes back interrupted.
    struct Interrupted : TestFileSystem {
        std::atomic<bool>* stop = nullptr;
        std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error) override {
            if (path.find("/b.txt") == std::string::npos) return TestFileSystem::OpenRead(path, error);
            stop->store(true);
            error = EINTR;
            return nullptr;
        }
    } fs;
    fs.stop = &stop;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(Row(1), bBefore);
    EXPECT_EQ(Row(2).Status, kStatusNotDecoded);
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{"a(dec1).txt"});
}

TEST_F(FaultFixture, AFailedWriteEndsThatFileWithoutReadingTheRest) {
    constexpr uint64_t kSize = uint64_t(64) << 20;
    {
        const int fd = ::open((dir / "big.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kSize)), 0); // sparse: costs no disk
        ::close(fd);
    }
    AddFiles(sources, {W(dir / "big.txt")});
    struct Counting : WrappingFileSystem {
        uint64_t read = 0;
        std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error) override {
            struct Counted : BatchInput {
                std::unique_ptr<BatchInput> inner;
                uint64_t* total;
                uint64_t Size() override { return inner->Size(); }
                size_t Read(uint8_t* b, size_t n) override {
                    const size_t got = inner->Read(b, n);
                    *total += got;
                    return got;
                }
                int Error() const override { return inner->Error(); }
                bool Permissions(unsigned& mode, int& e) override { return inner->Permissions(mode, e); }
            };
            auto in = WrappingFileSystem::OpenRead(path, error);
            if (!in) return in;
            auto counted = std::make_unique<Counted>();
            counted->inner = std::move(in);
            counted->total = &read;
            return counted;
        }
    } fs;
    fs.victim = "big";
    fs.wrap = [](std::unique_ptr<BatchOutput> real) {
        return std::make_unique<FullDiskOutput>(std::move(real));
    };
    EXPECT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Failed, 1);
    ExpectFailed(0, "cannot write the copy into " + dir.Path() + "/Decript (No space left on device)");
    // The decoder writes after each MiB of output at the latest.
    EXPECT_LE(fs.read, uint64_t(4) << 20);
}

TEST_F(FaultFixture, UnreadablePermissionBitsFailTheRowWithoutOutput) {
    AddSources({"a.txt", "b.txt"});
    struct NoStat : TestFileSystem {
        std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error) override {
            auto in = TestFileSystem::OpenRead(path, error);
            if (path.find("/a.txt") == std::string::npos) return in;
            struct Blind : BatchInput {
                std::unique_ptr<BatchInput> inner;
                uint64_t Size() override { return inner->Size(); }
                size_t Read(uint8_t* b, size_t n) override { return inner->Read(b, n); }
                int Error() const override { return inner->Error(); }
                bool Permissions(unsigned&, int& e) override {
                    e = EIO;
                    return false;
                }
            };
            auto blind = std::make_unique<Blind>();
            blind->inner = std::move(in);
            return blind;
        }
    } fs;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Failed, 1);
    ExpectFailed(0, "cannot read the permissions of the source (Input/output error)");
    ExpectDecoded(1, dir / "Decript/b(dec1).txt");
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{"b(dec1).txt"});
}

TEST_F(FaultFixture, WhileAFileIsDecodedItHasNoOutputName) {
    AddSources({"a.txt"});
    std::vector<std::string> midFile;
    hooks.ReadChunk = 64;
    sources.onProgress = [&](int) {
        if (Row(0).Status == kStatusDecoding && Row(0).Progress > 5 && midFile.empty())
            midFile = ListFolder(dir / "Decript"), midFile.push_back("seen");
    };
    TestFileSystem fs;
    ASSERT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Decoded, 1);
    EXPECT_EQ(midFile, std::vector<std::string>{"seen"}) << "a name showed a copy that was not complete";
    ExpectDecoded(0, dir / "Decript/a(dec1).txt");
}

TEST_F(FaultFixture, ACtrlCDuringTheDriveCheckStopsTheRunBeforeAnyRow) {
    std::filesystem::create_directory(dir / "one");
    std::filesystem::create_directory(dir / "two");
    AddSources({"one/a.txt", "two/b.txt"});
    const std::vector<JobRow> before = sources.Rows();
    std::atomic<bool> stop{false};
    hooks.StopRequested = &stop;
    struct SignalInCheck : TestFileSystem {
        std::atomic<bool>* stop = nullptr;
        unsigned DriveType(const std::string& path) override {
            stop->store(true); // Ctrl-C while the mounts are read
            return TestFileSystem::DriveType(path);
        }
    } fs;
    fs.stop = &stop;
    const BatchResult r = BatchRun(sources, reporter, fs).Run(settings, hooks);
    EXPECT_EQ(r.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.Decoded, 0);
    EXPECT_EQ(sources.Rows(), before);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(dir / "one/Decript"));
}

namespace {

std::atomic<bool> gSignalStop{false};
std::atomic<bool> gSignalHandled{false};
extern "C" void OnTestStop(int) {
    gSignalStop = true;
    gSignalHandled = true;
}

// True when the thread sleeps in read(2).
bool BlockedInRead(pid_t tid) {
    const std::string task = "/proc/self/task/" + std::to_string(tid);
    std::ifstream syscall(task + "/syscall");
    std::string number;
    syscall >> number;
    std::ifstream stat(task + "/stat");
    std::string statLine;
    std::getline(stat, statLine);
    const size_t close = statLine.rfind(')');
    return number == "0" && close != std::string::npos && statLine.substr(close + 2, 1) == "S";
}

} // namespace

TEST_F(FaultFixture, ACtrlCEndsAReadThatWouldBlock) {
    AddSources({"a.txt"});
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    // A source whose read blocks, as a file on a special file system can.
    struct Blocking : TestFileSystem {
        int fd = -1;
        std::unique_ptr<BatchInput> OpenRead(const std::string&, int&) override {
            return MakeDescriptorInput(fd);
        }
    } fs;
    fs.fd = ends[0];
    struct sigaction sa {
    }, old{};
    sa.sa_handler = OnTestStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGUSR1, &sa, &old); // no restart, as the command line installs its handler
    gSignalStop = false;
    gSignalHandled = false;
    hooks.StopRequested = &gSignalStop;

    std::atomic<pid_t> tid{0};
    std::atomic<bool> done{false};
    BatchResult result;
    std::thread run([&] {
        tid = ::gettid();
        result = BatchRun(sources, reporter, fs).Run(settings, hooks);
        done = true;
    });
    const timespec poll{0, 200000};
    while (tid == 0 || !BlockedInRead(tid))
        ::nanosleep(&poll, nullptr);
    ::pthread_kill(run.native_handle(), SIGUSR1);
    // A read that is simply tried again blocks once more; only then is the source ended for it.
    while (!gSignalHandled || (!done && !BlockedInRead(tid)))
        ::nanosleep(&poll, nullptr);
    ::close(ends[1]);
    run.join();
    ::close(ends[0]);
    ::sigaction(SIGUSR1, &old, nullptr);
    EXPECT_EQ(result.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{});
}

TEST_F(FaultFixture, NamesThatAreNoUtf8DecodeTheirOwnFilesAndShowEscaped) {
    const std::vector<std::string> names = {"bad\xFF", "bad\xFE", "bad\xEF\xBF\xBD"};
    for (const std::string& name : names) {
        WriteFile(dir / (name + ".txt"), "from " + name);
        AddFiles(sources, {PathToText(dir / (name + ".txt"))});
    }
    ASSERT_EQ(sources.GetRowCount(), 3) << "two names became one row";
    TestFileSystem fs;
    ASSERT_EQ(BatchRun(sources, reporter, fs).Run(settings, hooks).Decoded, 3);
    for (int r = 0; r < 3; ++r) {
        const std::string copy = dir / ("Decript/" + names[size_t(r)] + "(dec1).txt");
        EXPECT_EQ(ReadFile(copy), "from " + names[size_t(r)]);
        EXPECT_EQ(Row(r).DecodedPath, PathToText(copy));
    }
    EXPECT_EQ(Row(0).DecodedPath, W(dir / "Decript/bad\\xFF(dec1).txt"));
}
