// Row selection of the data grid: the flags in the store, their count and their runs.
#include "grid/view/NextGrid.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Bookkeeping

void TNextGrid::ResetSelectionSpan() {
    FSelectedCount = 0;
    FSelectedRuns.Clear();
}

void TNextGrid::WriteSelected(TRow* Row, int Index, bool Value) {
    if (Row->Selected == Value) return;
    Row->Selected = Value;
    if (Value) {
        ++FSelectedCount;
        FSelectedRuns.Add(Index, Index);
    } else {
        --FSelectedCount;
        FSelectedRuns.Remove(Index, Index);
    }
}

void TNextGrid::SelectionRowsInserted(int Index, int Count) {
    FSelectedRuns.Open(Index, Count);
}

void TNextGrid::SelectionRowDeleted(int Index, bool WasSelected) {
    if (WasSelected) --FSelectedCount;
    FSelectedRuns.Close(Index);
}

void TNextGrid::ReadSelectedRuns(int Low, int High) {
    FSelectedRuns.Remove(Low, High);
    for (int Index = Low; Index <= High; ++Index) {
        if (!FCells->GetRow(Index)->Selected) continue;
        int Last = Index;
        while (Last < High && FCells->GetRow(Last + 1)->Selected)
            ++Last;
        FSelectedRuns.Add(Index, Last);
        Index = Last;
    }
}

void TNextGrid::SelectionRowsMoved(int Index1, int Index2) {
    if (FSelectedCount > 0) ReadSelectedRuns(std::min(Index1, Index2), std::max(Index1, Index2));
}

void TNextGrid::SelectionReordered() {
    // One pass over the flags; a sort already costs more than that.
    if (FSelectedCount > 0) ReadSelectedRuns(0, FCells->GetRowCount() - 1);
}

void TNextGrid::UnselectSpan(int Low, int High) {
    std::vector<std::pair<int, int>> Runs;
    FSelectedRuns.ForEach(Low, High, [&](int First, int Last) { Runs.emplace_back(First, Last); });
    for (const auto& [First, Last] : Runs) {
        for (int Index = First; Index <= Last; ++Index)
            FCells->GetRow(Index)->Selected = false;
        FSelectedCount -= Last - First + 1;
        FSelectedRuns.Remove(First, Last);
        if (IsUpdating()) continue;
        // Only the rows painted last time can need it; off screen nothing is marked.
        const int From = std::max(First, GetTopRow());
        const int To = std::min(Last, GetPaintEndRow());
        for (int Index = From; Index <= To; ++Index)
            if (GetGridStyle() == gsSlides)
                RefreshSlide(Index);
            else
                RefreshRow(Index);
    }
}

// ---------------------------------------------------------------------------------------------
// Flags

bool TNextGrid::GetSelected(int Index) {
    return FCells->GetRow(Index)->Selected;
}

void TNextGrid::StoreSelected(int Index, bool Value) {
    WriteSelected(FCells->GetRow(Index), Index, Value);
}

void TNextGrid::SetSelected(int Index, bool Value) {
    TRow* Row = FCells->GetRow(Index);
    if (Row->Selected == Value) return;
    WriteSelected(Row, Index, Value);
    if (IsUpdating()) return;
    if (GetGridStyle() == gsSlides)
        RefreshSlide(Index);
    else
        RefreshRow(Index);
}

void TNextGrid::SelectRange(int FromRow, int ToRow, bool Value) {
    const int Count = GetRowCount();
    if (FromRow < 0 || FromRow >= Count || ToRow < 0 || ToRow >= Count) return;
    const int Low = std::min(FromRow, ToRow);
    const int High = std::max(FromRow, ToRow);
    int Changed = 0;
    for (int Index = Low; Index <= High; ++Index) {
        TRow* Row = FCells->GetRow(Index);
        if (Row->Selected == Value) continue;
        Row->Selected = Value;
        ++Changed;
    }
    if (Value) {
        FSelectedCount += Changed;
        FSelectedRuns.Add(Low, High);
    } else {
        FSelectedCount -= Changed;
        FSelectedRuns.Remove(Low, High);
    }
    if (!IsUpdating()) RefreshRange(Low, High);
}

int TNextGrid::GetNextSelected(int From) {
    return FSelectedRuns.Next(std::max(From, 0));
}

void TNextGrid::ClearSelection() {
    if (FSelectedCount > 0) UnselectSpan(0, FCells->GetRowCount() - 1);
}

void TNextGrid::ClearSelectionOutside(int Low, int High) {
    if (FSelectedCount == 0) return;
    UnselectSpan(0, Low - 1);
    UnselectSpan(High + 1, FCells->GetRowCount() - 1);
}

TNextGrid::TRowsAside TNextGrid::SetRowsAside() {
    TRowsAside Aside;
    Aside.Cells = FCells->CreateEmptyCopy();
    std::swap(Aside.Cells, FCells);
    Aside.SelectedRuns = FSelectedRuns;
    Aside.SelectedCount = FSelectedCount;
    Aside.AnchorRow = GetAnchorRow();
    Aside.LastAddedRow = FLastAddedRow;
    Aside.SelectedRow = GetSelectedRow();
    Aside.SelectedColumn = GetSelectedColumn();
    Aside.TopRow = GetTopRow();
    ResetSelectionSpan();
    return Aside;
}

void TNextGrid::RestoreRows(TRowsAside&& Aside) {
    FCells = std::move(Aside.Cells);
    FSelectedRuns = std::move(Aside.SelectedRuns);
    FSelectedCount = Aside.SelectedCount;
    SetAnchorRowDirect(Aside.AnchorRow);
    FLastAddedRow = Aside.LastAddedRow;
    SetSelectedRowDirect(Aside.SelectedRow);
    SetSelectedColumnDirect(Aside.SelectedColumn);
    SetTopRowDirect(Aside.TopRow);
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    SyncVertPosition();
    Invalidate();
}
