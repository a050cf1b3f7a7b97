#pragma once
// A run's decoding on a thread of its own: the caller's thread stays free (a window keeps painting
// and answering input), and every report reaches the caller's thread through a post function, by
// job id, with progress thinned out.

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

#include "app/batch/BatchFileSystem.h"
#include "app/batch/BatchJobs.h"

class JobDecoder;

class BatchThread {
public:
    // Hands a call to the thread that is to run it (the window's user-interface thread).
    using Post = std::function<void(std::function<void()>)>;

    struct Options {
        size_t ReadChunk = size_t(1) << 20;
        // At most one progress report per job in this time; the final value always comes.
        std::chrono::steady_clock::duration ProgressInterval = std::chrono::milliseconds(100);
    };

    // Builds the matrix (the key has passed its check) and starts decoding the jobs in order on a
    // thread the object owns, together with its stop state.
    // Through post, in the order made: each report to events, then finished with the result, last.
    // If the decoding throws, finished still comes, followed by a call that rethrows the exception.
    // Post is called on the worker; the calls it hands over must run on the caller's thread, which
    // is the only one that calls events and finished. events and fileSystem must outlive this
    // object, and events must take the calls until finished has run.
    BatchThread(std::vector<BatchJob> jobs, const BatchSettings& settings, BatchFileSystem& fileSystem,
                BatchEvents& events, Post post, std::function<void(const BatchResult&)> finished,
                Options options);
    // Asks the worker to stop: it looks before every read of a source, removes the partial output
    // and reports the job stopped. Any thread; does not wait.
    void RequestStop();
    // Requests a stop and waits for the thread, which ends within one read and removes the partial
    // output. Calls it has posted and that have not run yet are the post function's to drop.
    ~BatchThread();
    BatchThread(const BatchThread&) = delete;
    BatchThread& operator=(const BatchThread&) = delete;

private:
    void Work(const std::stop_token& stop, BatchEvents& events, const Post& post,
              const std::function<void(const BatchResult&)>& finished,
              std::chrono::steady_clock::duration progressInterval);

    std::vector<BatchJob> jobs_;
    std::unique_ptr<JobDecoder> decoder_;
    // Last: it stops and joins before the jobs and the decoder go.
    std::jthread thread_;
};
