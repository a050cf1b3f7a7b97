// Job list operations as cell reads and writes of the grid; every write goes through the cell store,
// which repaints just that cell.
#include "app/window/GridJobList.h"

#include "grid/view/NextGrid.h"

// Every operation reaches the grid through here, so each checks its thread.
TNextGrid& GridJobList::Grid() const {
    FOwner.Check("GridJobList");
    return FGrid;
}

int GridJobList::GetRowCount() const {
    return Grid().GetRowCount();
}

WideString GridJobList::GetSourcePath(int Row) const {
    return Grid().GetCell(kSourceColumn, Row)->GetAsString();
}
WideString GridJobList::GetStatus(int Row) const {
    return Grid().GetCell(kStatusColumn, Row)->GetAsString();
}
double GridJobList::GetProgress(int Row) const {
    return Grid().GetCell(kProgressColumn, Row)->GetAsFloat();
}
WideString GridJobList::GetDecodedPath(int Row) const {
    return Grid().GetCell(kDecodedColumn, Row)->GetAsString();
}

void GridJobList::SetSourcePath(int Row, const WideString& Path) {
    Grid().GetCell(kSourceColumn, Row)->SetAsString(Path);
}
void GridJobList::SetStatus(int Row, const WideString& Status) {
    Grid().GetCell(kStatusColumn, Row)->SetAsString(Status);
}
void GridJobList::SetProgressInteger(int Row, int Percent) {
    Grid().GetCell(kProgressColumn, Row)->SetAsInteger(Percent);
}
void GridJobList::SetProgressFloat(int Row, double Percent) {
    Grid().GetCell(kProgressColumn, Row)->SetAsFloat(Percent);
}
void GridJobList::SetDecodedPath(int Row, const WideString& Path) {
    Grid().GetCell(kDecodedColumn, Row)->SetAsString(Path);
}

int GridJobList::AddRow() {
    return Grid().AddRow(1);
}
void GridJobList::BeginUpdate() {
    Grid().BeginUpdate();
}
void GridJobList::EndUpdate() {
    Grid().EndUpdate();
}
int GridJobList::GetSelectedRow() const {
    return Grid().GetSelectedRow();
}
