// Row selection of the data grid: the flags in the store, their count and the span holding them.
#include "grid/view/NextGrid.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Bookkeeping

void TNxDataGrid::ResetSelectionSpan() {
    FSelectedCount = 0;
    FSelectionLow = 0;
    FSelectionHigh = -1;
}

void TNxDataGrid::WriteSelected(TRow* Row, int Index, bool Value) {
    if (Row->Selected == Value) return;
    Row->Selected = Value;
    if (!Value) {
        if (--FSelectedCount == 0) {
            ResetSelectionSpan();
        } else if (Index == FSelectionLow) {
            ++FSelectionLow;
        } else if (Index == FSelectionHigh) {
            --FSelectionHigh;
        }
        return;
    }
    if (FSelectedCount++ == 0) {
        FSelectionLow = FSelectionHigh = Index;
        return;
    }
    FSelectionLow = std::min(FSelectionLow, Index);
    FSelectionHigh = std::max(FSelectionHigh, Index);
}

void TNxDataGrid::SelectionRowsInserted(int Index, int Count) {
    if (FSelectedCount == 0) return;
    if (Index <= FSelectionLow) {
        FSelectionLow += Count;
        FSelectionHigh += Count;
    } else if (Index <= FSelectionHigh) {
        FSelectionHigh += Count;
    }
}

void TNxDataGrid::SelectionRowDeleted(int Index, bool WasSelected) {
    if (WasSelected && --FSelectedCount == 0) ResetSelectionSpan();
    if (FSelectedCount == 0) return;
    if (Index < FSelectionLow) {
        --FSelectionLow;
        --FSelectionHigh;
    } else if (Index <= FSelectionHigh) {
        --FSelectionHigh;
    }
}

void TNxDataGrid::SelectionRowsMoved(int Index1, int Index2) {
    if (FSelectedCount == 0) return;
    FSelectionLow = std::min({FSelectionLow, Index1, Index2});
    FSelectionHigh = std::max({FSelectionHigh, Index1, Index2});
}

void TNxDataGrid::SelectionReordered() {
    if (FSelectedCount == 0) return;
    // One pass from each end; a sort already costs more than that.
    const int Count = FCells->GetRowCount();
    int Low = 0;
    while (Low < Count && !FCells->GetRow(Low)->Selected)
        ++Low;
    int High = Count - 1;
    while (High > Low && !FCells->GetRow(High)->Selected)
        --High;
    FSelectionLow = Low;
    FSelectionHigh = High;
}

// ---------------------------------------------------------------------------------------------
// Flags

bool TNxDataGrid::GetSelected(int Index) {
    return FCells->GetRow(Index)->Selected;
}

void TNxDataGrid::StoreSelected(int Index, bool Value) {
    WriteSelected(FCells->GetRow(Index), Index, Value);
}

void TNxDataGrid::SetSelected(int Index, bool Value) {
    TRow* Row = FCells->GetRow(Index);
    if (Row->Selected == Value) return;
    WriteSelected(Row, Index, Value);
    if (IsUpdating()) return;
    if (GetGridStyle() == gsSlides)
        RefreshSlide(Index);
    else
        RefreshRow(Index);
}

void TNxDataGrid::SelectRange(int FromRow, int ToRow, bool Value) {
    CheckRowIndex(FromRow);
    CheckRowIndex(ToRow);
    const int Low = std::min(FromRow, ToRow);
    const int High = std::max(FromRow, ToRow);
    for (int Index = Low; Index <= High; ++Index)
        WriteSelected(FCells->GetRow(Index), Index, Value);
    if (!IsUpdating()) RefreshRange(Low, High);
}

int TNxDataGrid::GetNextSelected(int From) {
    if (FSelectedCount == 0) return -1;
    for (int Index = std::max(From, FSelectionLow); Index <= FSelectionHigh; ++Index)
        if (FCells->GetRow(Index)->Selected) return Index;
    return -1;
}

void TNxDataGrid::ClearSelection() {
    for (int Index = FSelectionLow; FSelectedCount > 0 && Index <= FSelectionHigh; ++Index)
        SetSelected(Index, false);
}

void TNxDataGrid::ClearSelectionOutside(int Low, int High) {
    if (FSelectedCount == 0) return;
    const int SpanHigh = FSelectionHigh;
    for (int Index = FSelectionLow; FSelectedCount > 0 && Index < Low && Index <= SpanHigh; ++Index)
        SetSelected(Index, false);
    for (int Index = std::max(High + 1, 0); FSelectedCount > 0 && Index <= SpanHigh; ++Index)
        SetSelected(Index, false);
    if (FSelectedCount == 0) return;
    FSelectionLow = std::max(FSelectionLow, Low);
    FSelectionHigh = std::min(FSelectionHigh, High);
}
