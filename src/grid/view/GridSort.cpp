// The grid's sorting, searching and footer values: the store and model functions do the work,
// this part keeps selection, scrolling, repainting and events in step.

#include "grid/model/Column.h"
#include "grid/view/NextGrid.h"
#include "platform/windows/ExtCtrls.h"

namespace {

constexpr UINT SearchResetMilliseconds = 700;

} // namespace

// ---------------------------------------------------------------------------------------------
// TNxCustomGrid: searches and formula values

void TNxCustomGrid::SelectFound(int Row) {
    SetSelectedRow(Row);
    if (!IsUpdating()) ScrollToRow(Row);
}

bool TNxCustomGrid::Locate(int ACol, int FromRow, int ToRow, const WideString& Text, TSearchOptions Options) {
    const int Row = GridSearch::LocateRow(*GetCellStore(), ACol, FromRow, ToRow, Text, Options);
    if (Row < 0) return false;
    SelectFound(Row);
    return true;
}

bool TNxCustomGrid::FindText(int ACol, const WideString& Text, TSearchOptions Options) {
    const int Row = GridSearch::FindTextRow(*GetCellStore(), ACol, Text, Options, GetSelectedRow());
    if (Row < 0) return false;
    SelectFound(Row);
    return true;
}

bool TNxCustomGrid::SearchNext(int ACol, const WideString& Text, bool FromTop) {
    const int Row = GridSearch::SearchNextRow(*GetCellStore(), ACol, Text, FromTop, GetSelectedRow());
    if (Row < 0) return false;
    SelectFound(Row);
    return true;
}

bool TNxCustomGrid::SearchRow(const WideString& Text) {
    bool Found = false;
    for (int ACol = 0; ACol < GetColumns()->Count(); ++ACol)
        Found = SearchNext(ACol, Text, false) || Found;
    return Found;
}

TNxCustomColumn* TNxCustomGrid::GetSearchColumn() {
    for (int ACol = 0; ACol < GetColumns()->Count(); ++ACol)
        if (GetColumns()->GetItem(ACol)->GetOptions().Contains(coSearchColumn))
            return GetColumns()->GetItem(ACol);
    return nullptr;
}

double TNxCustomGrid::GetFormulaValue(TNxCustomColumn* Column, TFormulaKind Kind) {
    if (!Column) return 0;
    return FooterFormula::TextFormulaValue(*GetCellStore(), Column->GetIndex(), Kind);
}

bool TNxCustomGrid::IncrementalSearch(WideChar Key) {
    TNxCustomColumn* Column = GetSearchColumn();
    if (GetRowCount() == 0 || !Column || GetInputSelected()) return false;
    const int Current = GetSelectedColumn();
    if (GetColumns()->Exists(Current) && GetColumns()->GetItem(Current)->GetOptions().Contains(coEditing))
        return false;
    if (!FSearchTimer) {
        // Owned by the grid as a component; made on first use, as most grids never search.
        FSearchTimer = new TTimer(this);
        FSearchTimer->SetEnabled(false);
        FSearchTimer->SetInterval(SearchResetMilliseconds);
        FSearchTimer->OnTimer = [this](TObject*) {
            FSearchText.clear();
            FSearchTimer->SetEnabled(false);
        };
    }
    // Disabled and enabled again: the 700 ms count from this key.
    FSearchTimer->SetEnabled(false);
    FSearchTimer->SetEnabled(true);
    FSearchText += Key;
    SearchNext(Column->GetIndex(), FSearchText, false);
    return true;
}

void TNxCustomGrid::DoAfterSort(int ACol) {
    if (OnAfterSort) OnAfterSort(this, ACol);
}

void TNxCustomGrid::DoColumnFooterValue(int ACol, double& Value) {
    if (OnColumnFooterValue) OnColumnFooterValue(this, ACol, Value);
}

void TNxCustomGrid::DoFooterCalculate(int ACol, double& Value) {
    if (OnFooterCalculate) OnFooterCalculate(this, ACol, Value);
}

// ---------------------------------------------------------------------------------------------
// TNextGrid: sorting and footers

void TNextGrid::SortColumn(TNxCustomColumn* Column, bool Ascending) {
    TNxCustomGrid::SortColumn(Column, Ascending);
    if (!Column || !Column->GetOptions().Contains(coCanSort)) return;
    const int Count = FCells->GetRowCount();
    // Selection and the shift-selection anchor stay on their rows' contents.
    TRow* Selected =
        GetSelectedRow() >= 0 && GetSelectedRow() < Count ? FCells->GetRow(GetSelectedRow()) : nullptr;
    TRow* Anchor = GetAnchorRow() >= 0 && GetAnchorRow() < Count ? FCells->GetRow(GetAnchorRow()) : nullptr;
    // The view keeps its scroll position: the top row becomes the row with as many visible rows
    // above it as before, so it is never a hidden row and the bar stays in step.
    const int Position = VisibleRowsAbove(GetTopRow());
    FCells->SortColumn(Column->GetIndex(), Column->GetSortType(), Ascending ? skAscending : skDescending,
                       Column->GetOptions().Contains(coFullResort));
    // The flags moved with their rows; the runs follow before anything can ask for them.
    SelectionReordered();
    if (Selected) SetSelectedRowDirect(FCells->GetRowIndex(Selected));
    if (Anchor) SetAnchorRowDirect(FCells->GetRowIndex(Anchor));
    SetTopRowDirect(VisibleRowAt(Position));
    SyncVertPosition();
    if (GetSelectedRow() >= 0) ScrollToRow(GetSelectedRow());
    RefreshArea(gaBody);
    if (GetOptions().Contains(goIndicator)) RefreshArea(gaIndicator);
    DoAfterSort(Column->GetIndex());
}

void TNextGrid::DoCompare(TCell* Cell1, TCell* Cell2, int& Compare) {
    if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}

void TNextGrid::CalculateFooter(bool VisibleOnly) {
    FooterFormula::CalculateFooters(
        this, *FCells, *GetColumns(), VisibleOnly,
        [this](TObject*, int ACol, double& Value) { DoColumnFooterValue(ACol, Value); },
        [this](TObject*, int ACol, double& Value) { DoFooterCalculate(ACol, Value); });
}
