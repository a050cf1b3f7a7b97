#pragma once
// Decodes the jobs of one run on several threads at once, each with a decoder of its own, and reports
// each job's result in the jobs' order, whatever order the threads finish in.

#include <functional>
#include <vector>

#include "app/batch/BatchFileSystem.h"
#include "app/batch/BatchJobs.h"

class ParallelDecoder {
public:
    // workers threads (at least 1), each building the matrix from the settings' key, which has
    // passed the key check.
    ParallelDecoder(const BatchSettings& settings, BatchFileSystem& fileSystem, int workers,
                    size_t readChunk = size_t(1) << 20);

    // Decodes each job once, as JobDecoder::Run does, on the worker threads; returns when all have
    // ended. The events are made on the calling thread, which passes them on while the workers
    // decode (so an events object that belongs to one thread is safe here). JobDecoded
    // and JobFailed come in the jobs' order: a job's result is held until every job before it has
    // its result or was stopped. JobStarted, JobProgress and JobStopped come as they happen.
    // stopRequested is asked from several threads at once; once it says yes every job in progress is
    // stopped (its partial output removed), no further job starts, and the results that were held
    // are reported in order before Run returns Stopped. An exception on a worker stops the others
    // and is rethrown here, as is the first exception an event throws (the run stops, and the events
    // still made are passed on before it).
    BatchResult Run(const std::vector<BatchJob>& jobs, BatchEvents& events,
                    const std::function<bool()>& stopRequested);

private:
    const BatchSettings& settings_;
    BatchFileSystem& fs_;
    int workers_;
    size_t readChunk_;
};
