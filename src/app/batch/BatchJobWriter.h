#pragma once
// The reports of a run written into a job list: each goes to the row that holds its job's source,
// wherever sorting has moved that row since Run was pressed.

#include <functional>
#include <string>
#include <vector>

#include "app/batch/BatchJobs.h"
#include "app/batch/JobList.h"
#include "platform/runtime/ThreadOwner.h"

class BatchJobWriter : public BatchEvents {
public:
    // The list and the jobs must outlive the writer. It is used on the thread that creates it, the
    // list's, only (debug builds abort on a call from another).
    BatchJobWriter(JobList& sources, const std::vector<BatchJob>& jobs);

    void JobStarted(int id) override;
    void JobProgress(int id, double percent) override;
    void JobDecoded(int id, const std::string& outputPath) override;
    void JobFailed(int id, const std::string& reason) override;
    void JobStopped(int id) override;

    // The row that holds the job's source now; -1 when none does. Looks where the job was found
    // last before it searches, so a list that is not reordered costs one comparison.
    int RowOf(int id);

    // Called after a row was written as decoded or as failed.
    std::function<void(int row)> OnDecoded;
    std::function<void(int row, const std::string& reason)> OnFailed;

private:
    struct Kept {
        int Row = 0;
        bool Started = false; // the values below were taken from the row
        WideString Status;
        double Progress = 0;
        WideString DecodedPath;
    };

    JobList& sources_;
    const std::vector<BatchJob>& jobs_;
    std::vector<Kept> kept_;
    TThreadOwner owner_;
};
