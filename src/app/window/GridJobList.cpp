// Job list operations as cell reads and writes of the grid; every write goes through the cell store,
// which repaints just that cell.
#include "app/window/GridJobList.h"

#include "grid/view/NextGrid.h"

int GridJobList::GetRowCount() const {
    return FGrid.GetRowCount();
}

WideString GridJobList::GetSourcePath(int Row) const {
    return FGrid.GetCell(kSourceColumn, Row)->GetAsString();
}
WideString GridJobList::GetStatus(int Row) const {
    return FGrid.GetCell(kStatusColumn, Row)->GetAsString();
}
double GridJobList::GetProgress(int Row) const {
    return FGrid.GetCell(kProgressColumn, Row)->GetAsFloat();
}
WideString GridJobList::GetDecodedPath(int Row) const {
    return FGrid.GetCell(kDecodedColumn, Row)->GetAsString();
}

void GridJobList::SetSourcePath(int Row, const WideString& Path) {
    FGrid.GetCell(kSourceColumn, Row)->SetAsString(Path);
}
void GridJobList::SetStatus(int Row, const WideString& Status) {
    FGrid.GetCell(kStatusColumn, Row)->SetAsString(Status);
}
void GridJobList::SetProgressInteger(int Row, int Percent) {
    FGrid.GetCell(kProgressColumn, Row)->SetAsInteger(Percent);
}
void GridJobList::SetProgressFloat(int Row, double Percent) {
    FGrid.GetCell(kProgressColumn, Row)->SetAsFloat(Percent);
}
void GridJobList::SetDecodedPath(int Row, const WideString& Path) {
    FGrid.GetCell(kDecodedColumn, Row)->SetAsString(Path);
}

int GridJobList::AddRow() {
    return FGrid.AddRow(1);
}
void GridJobList::BeginUpdate() {
    FGrid.BeginUpdate();
}
void GridJobList::EndUpdate() {
    FGrid.EndUpdate();
}
int GridJobList::GetSelectedRow() const {
    return FGrid.GetSelectedRow();
}
