// The run's worker thread: what it posts, in which order, how often progress goes, and what a stop
// leaves behind.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "BatchTestSupport.h"
#include "app/batch/BatchJobWriter.h"
#include "app/batch/BatchThread.h"

using namespace batchtest;

namespace {

struct ThreadFixture : ::testing::Test {
    TempFolder dir;
    MemoryJobList sources;
    RecordingReporter reporter;
    TestFileSystem fs;
    BatchSettings settings{kKey};
    Sample sample = MakeSample(std::string(60000, 't') + "\n");

    void AddSources(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            WriteFile(dir / name, sample.encoded);
            AddFiles(sources, {W(dir / name)});
        }
    }
    const JobRow& Row(int r) const { return sources.Rows()[static_cast<size_t>(r)]; }

    // Runs the jobs on the worker while this thread takes the posted calls and runs them, as an
    // interface thread does; stopNow is asked before each call. Each post waits until its call has
    // run, so the worker is never ahead of what the test has seen. Returns the result once finished
    // has run and the worker has ended.
    BatchResult RunThread(std::chrono::steady_clock::duration interval, std::function<bool()> stopNow = {}) {
        const std::vector<BatchJob> taken = BatchRun(sources, reporter, fs).TakeJobs();
        BatchJobWriter writer(sources, taken);
        std::mutex mutex;
        std::condition_variable posted, ran;
        std::deque<std::function<void()>> waiting;
        int pushed = 0, done = 0;
        bool closing = false;
        std::optional<BatchResult> result;
        BatchThread::Options options;
        options.ReadChunk = 64;
        options.ProgressInterval = interval;
        {
            BatchThread worker(
                taken, settings, fs, writer,
                [&](std::function<void()> call) {
                    std::unique_lock lock(mutex);
                    waiting.push_back(std::move(call));
                    const int mine = ++pushed;
                    posted.notify_one();
                    ran.wait(lock, [&] { return closing || done >= mine; });
                },
                [&](const BatchResult& r) {
                    callsAtFinish = calls;
                    result = r;
                },
                options);
            while (!result) {
                std::unique_lock lock(mutex);
                posted.wait(lock, [&] { return !waiting.empty(); });
                std::function<void()> call = std::move(waiting.front());
                waiting.pop_front();
                lock.unlock();
                if (stopNow && stopNow()) worker.RequestStop();
                ++calls;
                call();
                lock.lock();
                ++done;
                ran.notify_all();
            }
            const std::lock_guard lock(mutex);
            closing = true;
            ran.notify_all();
        }
        // Joined: whatever it posted after finished is waiting now.
        calls += static_cast<int>(waiting.size());
        callsAfterFinish = calls - callsAtFinish;
        return *result;
    }
    int calls = 0, callsAtFinish = 0, callsAfterFinish = 0;
};

} // namespace

TEST_F(ThreadFixture, ProgressIsThinnedOutButEveryRowEndsAtItsFinalValue) {
    AddSources({"a.txt", "b.txt"});
    // An interval longer than the run: only the start's 0 and the final value reach each row.
    BatchResult r = RunThread(std::chrono::hours(1));
    EXPECT_EQ(r.Decoded, 2);
    EXPECT_EQ(callsAfterFinish, 0) << "finished was not the last call";
    EXPECT_EQ(sources.ProgressWrites(), 4);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Row(row).Status, kStatusDecoded);
        EXPECT_EQ(Row(row).Progress, 100.0);
        EXPECT_EQ(ReadFile(U(Row(row).DecodedPath)), sample.decoded);
    }
    // Without an interval every change of the shown percentage is passed on.
    r = RunThread(std::chrono::steady_clock::duration::zero());
    EXPECT_EQ(r.Decoded, 2);
    EXPECT_GT(sources.ProgressWrites(), 4 + 2 * 90);
    EXPECT_LE(sources.ProgressWrites(), 4 + 2 * 102);
}

TEST_F(ThreadFixture, AStopEndsTheJobInProgressAndLeavesNoOutput) {
    AddSources({"a.txt", "b.txt"});
    const JobRow before = Row(0);
    const BatchResult r = RunThread(std::chrono::steady_clock::duration::zero(),
                                    [&] { return Row(0).Status == kStatusDecoding && Row(0).Progress > 10; });
    EXPECT_EQ(r.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.Decoded, 0);
    EXPECT_EQ(callsAfterFinish, 0);
    EXPECT_EQ(Row(0), before);
    EXPECT_EQ(Row(1).Status, kStatusNotDecoded);
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{});
}

// The writer belongs to its list's thread: a report made on the worker instead of posted is a fault
// that debug builds catch before the list is touched.
TEST(BatchJobWriterDeathTest, AReportFromAnotherThreadIsCaughtInDebugBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "thread checks are compiled out of release builds";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    MemoryJobList sources;
    AddFiles(sources, {u"/d/a.txt"});
    const std::vector<BatchJob> taken = {{0, u"/d/a.txt", "/d/a.txt", 0}};
    BatchJobWriter writer(sources, taken);
    writer.JobStarted(0);
    EXPECT_EQ(sources.Rows()[0].Status, kStatusDecoding);
    EXPECT_DEATH(std::thread([&] { writer.JobProgress(0, 50); }).join(),
                 "BatchJobWriter used from a thread other than the one that owns it");
#endif
}
