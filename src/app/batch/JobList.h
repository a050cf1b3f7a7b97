#pragma once
// The job list as the batch run and the job list commands see it: one row per source file with its
// status, progress and decoded path. The window's grid and the command line each provide one.
// The type keeps the window's name for the list; code that holds one calls it the sources, as a job
// is one file of a run (BatchJob).

#include <string>
#include <vector>

#include "platform/runtime/Types.h"

inline const WideString kStatusNotDecoded = u"Not decoded";
inline const WideString kStatusDecoding = u"Decoding";
inline const WideString kStatusDecoded = u"Decoded";

// The paths are texts made by PathToText, so that every byte of a name survives the wide string.
struct JobRow {
    WideString SourcePath;
    WideString Status;
    double Progress = 0;
    WideString DecodedPath;
    friend bool operator==(const JobRow&, const JobRow&) = default;
};

class JobList {
public:
    virtual ~JobList() = default;

    virtual int GetRowCount() const = 0;
    virtual WideString GetSourcePath(int row) const = 0;
    virtual WideString GetStatus(int row) const = 0;
    virtual double GetProgress(int row) const = 0;
    virtual WideString GetDecodedPath(int row) const = 0;

    virtual void SetSourcePath(int row, const WideString& path) = 0;
    virtual void SetStatus(int row, const WideString& status) = 0;
    // The grid keeps an integer and a floating-point write apart; a plain list need not.
    virtual void SetProgressInteger(int row, int percent) = 0;
    virtual void SetProgressFloat(int row, double percent) = 0;
    virtual void SetDecodedPath(int row, const WideString& path) = 0;

    // Appends one empty row and returns its index.
    virtual int AddRow() = 0;
    // A batch of changes; the view catches up once at the outermost end.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // -1 when no row is selected.
    virtual int GetSelectedRow() const { return -1; }
};

// Holds a batch of changes open for a scope, closing it however the scope ends.
class JobListUpdate {
public:
    explicit JobListUpdate(JobList& list) : list_(list) { list_.BeginUpdate(); }
    ~JobListUpdate() { list_.EndUpdate(); }
    JobListUpdate(const JobListUpdate&) = delete;
    JobListUpdate& operator=(const JobListUpdate&) = delete;

private:
    JobList& list_;
};

// A job list in memory, for the command line and for tests.
class MemoryJobList : public JobList {
public:
    int GetRowCount() const override { return static_cast<int>(rows_.size()); }
    WideString GetSourcePath(int row) const override { return At(row).SourcePath; }
    WideString GetStatus(int row) const override { return At(row).Status; }
    double GetProgress(int row) const override { return At(row).Progress; }
    WideString GetDecodedPath(int row) const override { return At(row).DecodedPath; }

    void SetSourcePath(int row, const WideString& path) override { At(row).SourcePath = path; }
    void SetStatus(int row, const WideString& status) override { At(row).Status = status; }
    void SetProgressInteger(int row, int percent) override;
    void SetProgressFloat(int row, double percent) override;
    void SetDecodedPath(int row, const WideString& path) override { At(row).DecodedPath = path; }
    int AddRow() override;
    int GetSelectedRow() const override { return selected_; }
    void SetSelectedRow(int row) { selected_ = row; }

    const std::vector<JobRow>& Rows() const { return rows_; }
    // How often the progress was written, to keep an eye on what the run costs a view.
    long long ProgressWrites() const { return progressWrites_; }

protected:
    // Called after every progress write; a list that shows progress overrides it.
    virtual void ProgressChanged(int /*row*/) {}

private:
    JobRow& At(int row);
    const JobRow& At(int row) const;

    std::vector<JobRow> rows_;
    int selected_ = -1;
    long long progressWrites_ = 0;
};

// Adds the files in order, skipping any whose path some row already holds (an exact, case-sensitive
// comparison; files added earlier in the same call count). New rows get "Not decoded".
// Returns the number of rows added. Reads every row's path once; time grows with rows plus files.
// The batch of changes is ended however the call ends.
int AddFiles(JobList& sources, const std::vector<WideString>& paths);
