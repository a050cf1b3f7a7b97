// The run's worker thread: what it posts, in which order, how often progress goes, and what a stop
// leaves behind.
#include <gtest/gtest.h>

#include <future>

#include "BatchTestSupport.h"
#include "app/batch/BatchJobWriter.h"
#include "app/batch/BatchThread.h"

using namespace batchtest;

namespace {

struct ThreadFixture : ::testing::Test {
    TempFolder dir;
    MemoryJobList jobs;
    RecordingReporter reporter;
    TestFileSystem fs;
    BatchSettings settings{kKey};
    std::atomic<bool> stop{false};
    Sample sample = MakeSample(std::string(60000, 't') + "\n");

    void AddSources(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            WriteFile(dir / name, sample.encoded);
            AddFiles(jobs, {W(dir / name)});
        }
    }
    const JobRow& Row(int r) const { return jobs.Rows()[static_cast<size_t>(r)]; }

    // Runs the jobs on the worker; posted calls run at once on the worker, each after the test's
    // look at it. Returns the result once finished has run.
    BatchResult RunThread(std::chrono::steady_clock::duration interval,
                          std::function<void()> beforeEachCall = {}) {
        const std::vector<BatchJob> taken = BatchRun(jobs, reporter, fs).TakeJobs();
        BatchJobWriter writer(jobs, taken);
        std::promise<BatchResult> done;
        BatchThread::Options options;
        options.ReadChunk = 64;
        options.ProgressInterval = interval;
        BatchThread worker(
            taken, settings, fs, stop, writer,
            [&](std::function<void()> call) {
                if (beforeEachCall) beforeEachCall();
                ++calls;
                call();
            },
            [&](const BatchResult& r) {
                callsAtFinish = calls;
                done.set_value(r);
            },
            options);
        const BatchResult result = done.get_future().get();
        callsAfterFinish = calls - callsAtFinish;
        return result;
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
    EXPECT_EQ(jobs.ProgressWrites(), 4);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Row(row).Status, kStatusDecoded);
        EXPECT_EQ(Row(row).Progress, 100.0);
        EXPECT_EQ(ReadFile(U(Row(row).DecodedPath)), sample.decoded);
    }
    // Without an interval every change of the shown percentage is passed on.
    stop = false; // a finished worker leaves its stop request set
    r = RunThread(std::chrono::steady_clock::duration::zero());
    EXPECT_EQ(r.Decoded, 2);
    EXPECT_GT(jobs.ProgressWrites(), 4 + 2 * 90);
    EXPECT_LE(jobs.ProgressWrites(), 4 + 2 * 102);
}

TEST_F(ThreadFixture, AStopEndsTheJobInProgressAndLeavesNoOutput) {
    AddSources({"a.txt", "b.txt"});
    const JobRow before = Row(0);
    const BatchResult r = RunThread(std::chrono::steady_clock::duration::zero(), [&] {
        if (Row(0).Status == kStatusDecoding && Row(0).Progress > 10) stop = true;
    });
    EXPECT_EQ(r.Outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.Decoded, 0);
    EXPECT_EQ(callsAfterFinish, 0);
    EXPECT_EQ(Row(0), before);
    EXPECT_EQ(Row(1).Status, kStatusNotDecoded);
    EXPECT_EQ(ListFolder(dir / "Decript"), std::vector<std::string>{});
}
