#pragma once
// The job list of the window: the rows of the grid NextGrid1 with its columns 0 to 3 (source path,
// status, progress, decoded path), so the window and the command line run the same batch run.

#include "app/batch/JobList.h"
#include "platform/runtime/ThreadOwner.h"

class TNextGrid;

class GridJobList : public JobList {
public:
    // The grid must have the four columns and outlive this list. Like the grid, the list is used on
    // the interface thread that creates it only (debug builds abort on a call from another).
    explicit GridJobList(TNextGrid& Grid) : FGrid(Grid) {}

    int GetRowCount() const override;
    WideString GetSourcePath(int Row) const override;
    WideString GetStatus(int Row) const override;
    double GetProgress(int Row) const override;
    WideString GetDecodedPath(int Row) const override;

    void SetSourcePath(int Row, const WideString& Path) override;
    void SetStatus(int Row, const WideString& Status) override;
    void SetProgressInteger(int Row, int Percent) override;
    void SetProgressFloat(int Row, double Percent) override;
    void SetDecodedPath(int Row, const WideString& Path) override;

    int AddRow() override;
    void BeginUpdate() override;
    void EndUpdate() override;
    int GetSelectedRow() const override;

    static constexpr int kSourceColumn = 0;
    static constexpr int kStatusColumn = 1;
    static constexpr int kProgressColumn = 2;
    static constexpr int kDecodedColumn = 3;

private:
    TNextGrid& Grid() const;

    TNextGrid& FGrid;
    TThreadOwner FOwner;
};
