// The grid's answers to assistive technology, from the view's geometry and the data side's text.
#include "grid/view/GridAccessibility.h"

#include <algorithm>

#include "grid/model/ProgressColumn.h"
#include "grid/view/GridControl.h"

TGridAccessible::TGridAccessible(TNxCustomGridControl* Grid) : TAccessible(Grid) {}

TNxCustomGridControl* TGridAccessible::Grid() const {
    return static_cast<TNxCustomGridControl*>(GetControl());
}

std::unique_ptr<TAccessible> TNxCustomGridControl::CreateAccessible() {
    return std::make_unique<TGridAccessible>(this);
}

WideString TGridAccessible::GetName() const {
    return Grid()->GetHint();
}

TAccessibleState TGridAccessible::GetState() const {
    TAccessibleState State = TAccessible::GetState();
    if (Grid()->IsMultiSelect()) State.Include(asMultiSelectable);
    return State;
}

int TGridAccessible::GetRowCount() const {
    return Grid()->GetRowCount();
}
int TGridAccessible::GetColumnCount() const {
    return Grid()->GetColumns()->Count();
}

WideString TGridAccessible::GetColumnHeader(int Col) const {
    if (Col < 0 || Col >= GetColumnCount()) return {};
    return Grid()->GetColumns()->GetItem(Col)->GetHeader()->GetCaption();
}

WideString TGridAccessible::GetCellText(int Col, int Row) const {
    if (!Grid()->CellBounds(Col, Row)) return {};
    TNxCustomColumn* Column = Grid()->GetColumns()->GetItem(Col);
    // A bar says nothing by itself; its percentage is what a sighted user reads off it.
    if (auto* Progress = dynamic_cast<TNxProgressColumn*>(Column)) {
        TCellInfo Info;
        Grid()->GetCellInfo(Col, Row, Info);
        return Progress->GetPercentText(Info.AsFloat);
    }
    return Grid()->GetDrawText(Col, Row);
}

TAccessibleState TGridAccessible::GetCellState(int Col, int Row) const {
    TAccessibleState State{asSelectable};
    if (IsRowSelected(Row)) State.Include(asSelected);
    int FocusCol, FocusRow;
    if (Grid()->Focused() && GetFocusedCell(FocusCol, FocusRow) && FocusRow == Row && FocusCol == Col)
        State.Include(asFocused);
    if (GetCellRect(Col, Row).IsEmpty()) State.Include(asInvisible);
    return State;
}

TRect TGridAccessible::GetCellRect(int Col, int Row) const {
    TNxCustomGridControl* G = Grid();
    if (!G->CellBounds(Col, Row) || Row < G->GetTopRow()) return {};
    if (!G->GetColumns()->GetItem(Col)->GetVisible()) return {};
    TRect ClientCell = G->GetCellRect(Col, Row);
    TRect Shown;
    if (!IntersectRect(Shown, ClientCell, G->GetBodyRect())) return {};
    return Shown;
}

TRect TGridAccessible::GetHeaderRect(int Col) const {
    TNxCustomGridControl* G = Grid();
    if (Col < 0 || Col >= GetColumnCount() || !G->GetOptions().Contains(goHeader)) return {};
    TNxCustomColumn* Column = G->GetColumns()->GetItem(Col);
    if (!Column->GetVisible()) return {};
    TRect Header = G->GetHeaderRect();
    TRect ClientHeader{Column->GetAbsoluteLeft(), Header.Top, Column->GetAbsoluteLeft() + Column->GetWidth(),
                       Header.Bottom};
    TRect Shown;
    if (!IntersectRect(Shown, ClientHeader, Header)) return {};
    return Shown;
}

std::vector<int> TGridAccessible::GetSelectedRows(int Max) const {
    std::vector<int> Rows;
    TNxCustomGridControl* G = Grid();
    if (!G->IsMultiSelect()) {
        int Row = G->GetSelectedRow();
        if (Row >= 0 && Row < G->GetRowCount() && Max > 0) Rows.push_back(Row);
        return Rows;
    }
    for (int Row = 0, Count = G->GetRowCount(); Row < Count && static_cast<int>(Rows.size()) < Max; ++Row)
        if (G->GetSelected(Row)) Rows.push_back(Row);
    return Rows;
}

bool TGridAccessible::IsRowSelected(int Row) const {
    TNxCustomGridControl* G = Grid();
    if (Row < 0 || Row >= G->GetRowCount()) return false;
    return G->IsMultiSelect() ? G->GetSelected(Row) : Row == G->GetSelectedRow();
}

bool TGridAccessible::GetFocusedCell(int& Col, int& Row) const {
    TNxCustomGridControl* G = Grid();
    Col = G->GetSelectedColumn();
    Row = G->GetSelectedRow();
    if (G->GetOptions().Contains(goSelectFullRow) && Row >= 0) {
        // The whole row is current: its first cell on screen stands for it.
        int First = -1;
        for (int C = 0; C < GetColumnCount(); ++C) {
            TNxCustomColumn* Column = G->GetColumns()->GetItem(C);
            if (Column->GetVisible() &&
                (First < 0 || Column->GetPosition() < G->GetColumns()->GetItem(First)->GetPosition()))
                First = C;
        }
        Col = First;
    }
    if (G->CellBounds(Col, Row)) return true;
    Col = Row = -1;
    return false;
}

bool TGridAccessible::SelectRow(int Row) {
    TNxCustomGridControl* G = Grid();
    if (Row < 0 || Row >= G->GetRowCount() || G->GetColumns()->Count() == 0) return false;
    G->SelectCell(std::max(G->GetSelectedColumn(), 0), Row, true, {});
    return G->GetSelectedRow() == Row;
}

bool TGridAccessible::CellAtPos(const TPoint& Pos, int& Col, int& Row) const {
    Col = Row = -1;
    TNxCustomGridControl* G = Grid();
    if (G->GetAreaAt(Pos.X, Pos.Y) != gaBody) return false;
    int Bottom = G->GetBodyRect().Bottom;
    for (int R = G->GetTopRow(); R < G->GetRowCount(); ++R) {
        TRect RowRect = G->GetRowRect(R);
        if (RowRect.Top >= Bottom) break;
        if (Pos.Y < RowRect.Top || Pos.Y >= RowRect.Bottom) continue;
        for (int C = 0; C < G->GetColumns()->Count(); ++C) {
            if (PtInRect(GetCellRect(C, R), Pos)) {
                Col = C;
                Row = R;
                return true;
            }
        }
        return false;
    }
    return false;
}

void GridAccessibleCellChanged(TNxCustomGridControl* Grid, int ACol, int ARow) {
    if (!AccessibilityActive()) return;
    AccessibleNotify(Grid, aeCellChanged, ACol, ARow);
}

void GridAccessibleSelected(TNxCustomGridControl* Grid, int ACol, int ARow) {
    if (!AccessibilityActive()) return;
    AccessibleNotify(Grid, aeSelectionChanged);
    // With whole rows selected the focus is on the row's first cell, whichever cell was chosen.
    int FocusCol = ACol, FocusRow = ARow;
    if (Grid->Focused() && GetAccessible(Grid)->GetFocusedCell(FocusCol, FocusRow))
        AccessibleNotify(Grid, aeFocus, FocusCol, FocusRow);
}

void GridAccessibleDataChanged(TNxCustomGridControl* Grid, TDataChange Change, int Index) {
    if (!AccessibilityActive()) return;
    switch (Change) {
    case dcInsertRow:
        AccessibleNotify(Grid, aeRowsInserted, 1, Index);
        return;
    case dcDeleteRow:
        AccessibleNotify(Grid, aeRowsRemoved, 1, Index);
        return;
    default:
        // An added row reports only the last of possibly several; columns change every cell.
        AccessibleNotify(Grid, aeTableReset);
        return;
    }
}
