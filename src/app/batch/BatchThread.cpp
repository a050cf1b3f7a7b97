// The worker decodes and posts; it never reads or writes a job list.
#include "app/batch/BatchThread.h"

#include <string>

#include "app/batch/JobDecoder.h"

namespace {

// Forwards each report through post. Progress goes at most once per interval; a value held back is
// sent before the job's decoded report, so the row ends at its final percentage.
class PostingEvents : public BatchEvents {
public:
    PostingEvents(BatchEvents& target, const BatchThread::Post& post,
                  std::chrono::steady_clock::duration interval)
        : target_(target), post_(post), interval_(interval) {}

    void JobStarted(int id) override {
        post_([&t = target_, id] { t.JobStarted(id); });
        lastSent_ = std::chrono::steady_clock::now();
        held_ = false;
    }
    void JobProgress(int id, double percent) override {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastSent_ < interval_) {
            held_ = true;
            heldPercent_ = percent;
            return;
        }
        lastSent_ = now;
        held_ = false;
        post_([&t = target_, id, percent] { t.JobProgress(id, percent); });
    }
    void JobDecoded(int id, const std::string& outputPath) override {
        if (held_) post_([&t = target_, id, p = heldPercent_] { t.JobProgress(id, p); });
        held_ = false;
        post_([&t = target_, id, outputPath] { t.JobDecoded(id, outputPath); });
    }
    void JobFailed(int id, const std::string& reason) override {
        held_ = false;
        post_([&t = target_, id, reason] { t.JobFailed(id, reason); });
    }
    void JobStopped(int id) override {
        held_ = false;
        post_([&t = target_, id] { t.JobStopped(id); });
    }

private:
    BatchEvents& target_;
    const BatchThread::Post& post_;
    std::chrono::steady_clock::duration interval_;
    std::chrono::steady_clock::time_point lastSent_;
    bool held_ = false;
    double heldPercent_ = 0;
};

} // namespace

BatchThread::BatchThread(std::vector<BatchJob> jobs, const BatchSettings& settings,
                         BatchFileSystem& fileSystem, BatchEvents& events, Post post,
                         std::function<void(const BatchResult&)> finished, Options options)
    : jobs_(std::move(jobs)), decoder_(std::make_unique<JobDecoder>(settings, fileSystem, options.ReadChunk)),
      thread_([this, &events, post = std::move(post), finished = std::move(finished),
               interval = options.ProgressInterval](const std::stop_token& stop) {
          Work(stop, events, post, finished, interval);
      }) {}

void BatchThread::RequestStop() {
    thread_.request_stop();
}

// The thread's own destructor requests the stop and joins.
BatchThread::~BatchThread() = default;

void BatchThread::Work(const std::stop_token& stop, BatchEvents& events, const Post& post,
                       const std::function<void(const BatchResult&)>& finished,
                       std::chrono::steady_clock::duration progressInterval) {
    BatchResult result;
    result.Outcome = BatchOutcome::Stopped;
    std::exception_ptr failure;
    try {
        PostingEvents posting(events, post, progressInterval);
        result = decoder_->Run(jobs_, posting, [&stop] { return stop.stop_requested(); });
    } catch (...) {
        failure = std::current_exception();
    }
    // The matrix goes as soon as the work is done, not when the owner gets round to it.
    decoder_.reset();
    post([finished, result] { finished(result); });
    if (failure) post([failure] { std::rethrow_exception(failure); });
}
