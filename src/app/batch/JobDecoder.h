#pragma once
// Decodes the jobs of one run, in order, each into a new file, and reports on each by its id. Reads
// no job list, so it can work on a thread of its own while the list is sorted or scrolled.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/batch/BatchFileSystem.h"
#include "app/batch/BatchJobs.h"
#include "decoding/KeySchedule.h"

class MarkedTextFileDecoder;

class JobDecoder {
public:
    // Builds the matrix from the settings' key, which has passed the key check (a shorter key
    // throws std::invalid_argument). readChunk bounds each read of a source, and so the work done
    // between two looks at the stop request.
    JobDecoder(const BatchSettings& settings, BatchFileSystem& fileSystem,
               size_t readChunk = size_t(1) << 20);
    // The matrix is wiped.
    ~JobDecoder();
    JobDecoder(const JobDecoder&) = delete;
    JobDecoder& operator=(const JobDecoder&) = delete;

    // Decodes each job once, in the order given. A job that fails is reported and the run goes on.
    // stopRequested is asked before every read; once it says yes, the job in progress is stopped
    // (its partial output removed) and no further job starts. The events are made on the calling
    // thread; Finished or Stopped is the outcome.
    BatchResult Run(const std::vector<BatchJob>& jobs, BatchEvents& events,
                    const std::function<bool()>& stopRequested);

    const EncriptMatrix& Matrix() const { return matrix_; }

    // The folder a job's output goes to, and the candidate name for number n.
    static std::string OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings);
    static std::string OutputName(const std::string& folder, const std::string& baseName, uint64_t n);

private:
    enum class JobResult { Decoded, Failed, Stopped };
    JobResult DecodeJob(const BatchJob& job, BatchEvents& events, const std::function<bool()>& stopRequested);

    BatchFileSystem& fs_;
    bool folderChosen_;
    std::string outputFolder_;
    EncriptMatrix matrix_;
    std::unique_ptr<MarkedTextFileDecoder> decoder_;
};
