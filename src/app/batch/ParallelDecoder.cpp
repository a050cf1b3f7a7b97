// Workers take the next job from a shared counter; results pass through a queue that restores order.
#include "app/batch/ParallelDecoder.h"

#include <atomic>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "app/batch/JobDecoder.h"

namespace {

// Serialises the workers' events, and holds each result until the results before it are out.
class OrderedEvents : public BatchEvents {
public:
    explicit OrderedEvents(BatchEvents& target) : target_(target) {}

    void JobStarted(int id) override {
        const std::lock_guard lock(mutex_);
        target_.JobStarted(id);
    }
    void JobProgress(int id, double percent) override {
        const std::lock_guard lock(mutex_);
        target_.JobProgress(id, percent);
    }
    void JobDecoded(int id, const std::string& outputPath) override {
        Resolve(id, [this, id, outputPath] { target_.JobDecoded(id, outputPath); });
    }
    void JobFailed(int id, const std::string& reason) override {
        Resolve(id, [this, id, reason] { target_.JobFailed(id, reason); });
    }
    void JobStopped(int id) override {
        const std::lock_guard lock(mutex_);
        target_.JobStopped(id);
        held_.emplace(id, nullptr); // nothing to report, but the jobs after it need not wait
        Deliver(false);
    }

    // After a stop: every result still held, in order, past the jobs that never ended.
    void Flush() {
        const std::lock_guard lock(mutex_);
        Deliver(true);
    }

private:
    void Resolve(int id, std::function<void()> report) {
        const std::lock_guard lock(mutex_);
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
    std::mutex mutex_;
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

    OrderedEvents ordered(events);
    std::atomic<size_t> nextJob{0};
    std::atomic<int> decoded{0}, failed{0};
    std::atomic<bool> stopped{false}, broken{false};
    std::mutex failureMutex;
    std::exception_ptr failure;
    const std::function<bool()> stop = [&] {
        return broken.load(std::memory_order_relaxed) || (stopRequested && stopRequested());
    };

    auto work = [&](JobDecoder& decoder) {
        try {
            for (;;) {
                const size_t index = nextJob.fetch_add(1);
                if (index >= jobs.size() || stopped.load()) return;
                const BatchResult r = decoder.Run({jobs[index]}, ordered, stop);
                decoded += r.Decoded;
                failed += r.Failed;
                if (r.Outcome == BatchOutcome::Stopped) {
                    stopped = true;
                    return;
                }
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            if (!failure) failure = std::current_exception();
            broken = true;
            stopped = true;
        }
    };
    {
        std::vector<std::jthread> threads;
        for (size_t w = 1; w < count; ++w)
            threads.emplace_back(work, std::ref(*decoders[w]));
        work(*decoders[0]);
    }
    ordered.Flush();
    if (failure) std::rethrow_exception(failure);

    BatchResult result;
    result.Outcome = stopped ? BatchOutcome::Stopped : BatchOutcome::Finished;
    result.Decoded = decoded;
    result.Failed = failed;
    return result;
}
