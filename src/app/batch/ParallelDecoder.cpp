// Workers take the next job from a shared counter and hand their reports to a queue; the calling
// thread takes them from it and holds each result until the results before it are out.
#include "app/batch/ParallelDecoder.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "app/batch/JobDecoder.h"

namespace {

// The workers' side: each report becomes a call waiting in a queue for the calling thread.
class ReportQueue : public BatchEvents {
public:
    using Report = std::function<void(BatchEvents&)>;

    explicit ReportQueue(size_t workers) : running_(workers) {}

    void JobStarted(int id) override {
        Push([id](BatchEvents& e) { e.JobStarted(id); });
    }
    void JobProgress(int id, double percent) override {
        Push([id, percent](BatchEvents& e) { e.JobProgress(id, percent); });
    }
    void JobDecoded(int id, const std::string& outputPath) override {
        Push([id, outputPath](BatchEvents& e) { e.JobDecoded(id, outputPath); });
    }
    void JobFailed(int id, const std::string& reason) override {
        Push([id, reason](BatchEvents& e) { e.JobFailed(id, reason); });
    }
    void JobStopped(int id) override {
        Push([id](BatchEvents& e) { e.JobStopped(id); });
    }

    // A worker has made its last report.
    void WorkerEnded() {
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        ready_.notify_one();
    }

    // Waits for reports and takes all there are; false once every worker has ended and none is left.
    bool Take(std::vector<Report>& reports) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !waiting_.empty() || running_ == 0; });
        reports.clear();
        reports.swap(waiting_);
        return !reports.empty();
    }

private:
    void Push(Report report) {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(std::move(report));
        }
        ready_.notify_one();
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Report> waiting_;
    size_t running_;
};

// The calling thread's side: holds each result until the results before it are out.
class OrderedEvents : public BatchEvents {
public:
    explicit OrderedEvents(BatchEvents& target) : target_(target) {}

    void JobStarted(int id) override { target_.JobStarted(id); }
    void JobProgress(int id, double percent) override { target_.JobProgress(id, percent); }
    void JobDecoded(int id, const std::string& outputPath) override {
        Resolve(id, [this, id, outputPath] { target_.JobDecoded(id, outputPath); });
    }
    void JobFailed(int id, const std::string& reason) override {
        Resolve(id, [this, id, reason] { target_.JobFailed(id, reason); });
    }
    void JobStopped(int id) override {
        target_.JobStopped(id);
        held_.emplace(id, nullptr); // nothing to report, but the jobs after it need not wait
        Deliver(false);
    }

    // After a stop: every result still held, in order, past the jobs that never ended.
    void Flush() { Deliver(true); }

private:
    void Resolve(int id, std::function<void()> report) {
        held_.emplace(id, std::move(report));
        Deliver(false);
    }

    void Deliver(bool skipGaps) {
        while (!held_.empty() && (skipGaps || held_.begin()->first == next_)) {
            auto it = held_.begin();
            next_ = it->first + 1;
            std::function<void()> report = std::move(it->second);
            held_.erase(it);
            if (report) report();
        }
    }

    BatchEvents& target_;
    std::map<int, std::function<void()>> held_; // by job id
    int next_ = 0;                              // the first job id whose result is not out yet
};

} // namespace

ParallelDecoder::ParallelDecoder(const BatchSettings& settings, BatchFileSystem& fileSystem, int workers,
                                 size_t readChunk)
    : settings_(settings), fs_(fileSystem), workers_(workers < 1 ? 1 : workers), readChunk_(readChunk) {}

BatchResult ParallelDecoder::Run(const std::vector<BatchJob>& jobs, BatchEvents& events,
                                 const std::function<bool()>& stopRequested) {
    const size_t count = std::min(static_cast<size_t>(workers_), std::max<size_t>(jobs.size(), 1));
    std::vector<std::unique_ptr<JobDecoder>> decoders;
    for (size_t w = 0; w < count; ++w)
        decoders.push_back(std::make_unique<JobDecoder>(settings_, fs_, readChunk_));

    ReportQueue queue(count);
    OrderedEvents ordered(events);
    std::atomic<size_t> nextJob{0};
    std::atomic<int> decoded{0}, failed{0};
    std::atomic<bool> stopped{false}, broken{false};
    std::mutex failureMutex;
    std::exception_ptr failure;
    auto fail = [&] {
        const std::lock_guard lock(failureMutex);
        if (!failure) failure = std::current_exception();
        broken = true;
        stopped = true;
    };
    const std::function<bool()> stop = [&] {
        return broken.load(std::memory_order_relaxed) || (stopRequested && stopRequested());
    };

    auto work = [&](JobDecoder& decoder) {
        try {
            for (;;) {
                const size_t index = nextJob.fetch_add(1);
                if (index >= jobs.size() || stopped.load()) break;
                const BatchResult r = decoder.Run({jobs[index]}, queue, stop);
                decoded += r.Decoded;
                failed += r.Failed;
                if (r.Outcome == BatchOutcome::Stopped) {
                    stopped = true;
                    break;
                }
            }
        } catch (...) {
            fail();
        }
        queue.WorkerEnded();
    };
    {
        std::vector<std::jthread> threads;
        for (size_t w = 0; w < count; ++w)
            threads.emplace_back(work, std::ref(*decoders[w]));
        // An event that throws stops the workers; the reports they still make are passed on, as
        // a stopped job's must be to put its row back.
        std::vector<ReportQueue::Report> reports;
        while (queue.Take(reports))
            for (ReportQueue::Report& report : reports) {
                try {
                    report(ordered);
                } catch (...) {
                    fail();
                }
            }
    }
    ordered.Flush();
    if (failure) std::rethrow_exception(failure);

    BatchResult result;
    result.Outcome = stopped ? BatchOutcome::Stopped : BatchOutcome::Finished;
    result.Decoded = decoded;
    result.Failed = failed;
    return result;
}
