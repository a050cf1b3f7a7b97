#include "grid/model/HyperlinkColumn.h"

// ---------------------------------------------------------------------------------------------
// THyperlinkList

THyperlinkList::THyperlinkList() {
    FLinks.SetSorted(true);
    FLinks.SetDuplicates(dupIgnore);
    // Links differ by case (paths and queries do).
    FLinks.SetCaseSensitive(true);
}

void THyperlinkList::Remove(const WideString& Link) {
    int Index = FLinks.IndexOf(Link);
    if (Index >= 0) FLinks.Delete(Index);
}

bool THyperlinkList::Contains(const WideString& Link) const {
    return FLinks.IndexOf(Link) >= 0;
}

void THyperlinkList::LoadFromStream(TStream& Stream) {
    TStringList Read;
    Read.LoadFromStream(Stream);
    FLinks.Clear();
    for (int i = 0; i < Read.Count(); ++i)
        if (!Read.Get(i).empty()) FLinks.Add(Read.Get(i));
}

void THyperlinkList::SaveToStream(TStream& Stream) const {
    FLinks.SaveToStream(Stream, teUTF8, true);
}

void THyperlinkList::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream);
}

void THyperlinkList::SaveToFile(const std::string& FileName) const {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

// ---------------------------------------------------------------------------------------------
// TNxHyperlinkColumn

TNxHyperlinkColumn::TNxHyperlinkColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetOptions(GetOptions() + TColumnOptions{coEditing, coShowTextFitHint});
    GetFont()->SetColor(static_cast<TColor>(11757056));
    GetFont()->SetStyle({fsUnderline});
    SetSortType(stAlphabetic);
    SetColumnType(ctString);
}

void TNxHyperlinkColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Link = dynamic_cast<const TNxHyperlinkColumn*>(Source)) {
        FInvalidatedLinkColor = Link->FInvalidatedLinkColor;
        FVisitedLinkColor = Link->FVisitedLinkColor;
    }
}

void TNxHyperlinkColumn::SetInvalidatedLinkColor(TColor Value) {
    FInvalidatedLinkColor = Value;
    Refresh(gaBody);
}

void TNxHyperlinkColumn::SetVisitedLinkColor(TColor Value) {
    FVisitedLinkColor = Value;
    Refresh(gaBody);
}

void TNxHyperlinkColumn::AddVisitedHyperlink(const WideString& Hyperlink) {
    FVisited.Add(Hyperlink);
}
void TNxHyperlinkColumn::RemoveVisitedHyperlink(const WideString& Hyperlink) {
    FVisited.Remove(Hyperlink);
}
void TNxHyperlinkColumn::ClearVisitedHyperlinks() {
    FVisited.Clear();
}
bool TNxHyperlinkColumn::HyperlinkHasBeenVisited(const WideString& Hyperlink) const {
    return FVisited.Contains(Hyperlink);
}
void TNxHyperlinkColumn::LoadVisitedHyperlinksFromFile(const std::string& FileName) {
    FVisited.LoadFromFile(FileName);
}
void TNxHyperlinkColumn::SaveVisitedHyperlinksToFile(const std::string& FileName) const {
    FVisited.SaveToFile(FileName);
}
void TNxHyperlinkColumn::LoadVisitedHyperlinksFromStream(TStream& Stream) {
    FVisited.LoadFromStream(Stream);
}
void TNxHyperlinkColumn::SaveVisitedHyperlinksToStream(TStream& Stream) const {
    FVisited.SaveToStream(Stream);
}

void TNxHyperlinkColumn::AddInvalidatedHyperlink(const WideString& Hyperlink) {
    FInvalidated.Add(Hyperlink);
}
void TNxHyperlinkColumn::RemoveInvalidatedHyperlink(const WideString& Hyperlink) {
    FInvalidated.Remove(Hyperlink);
}
void TNxHyperlinkColumn::ClearInvalidatedHyperlinks() {
    FInvalidated.Clear();
}
bool TNxHyperlinkColumn::HyperlinkIsInvalidated(const WideString& Hyperlink) const {
    return FInvalidated.Contains(Hyperlink);
}
void TNxHyperlinkColumn::LoadInvalidatedHyperlinksFromFile(const std::string& FileName) {
    FInvalidated.LoadFromFile(FileName);
}
void TNxHyperlinkColumn::SaveInvalidatedHyperlinksToFile(const std::string& FileName) const {
    FInvalidated.SaveToFile(FileName);
}
void TNxHyperlinkColumn::LoadInvalidatedHyperlinksFromStream(TStream& Stream) {
    FInvalidated.LoadFromStream(Stream);
}
void TNxHyperlinkColumn::SaveInvalidatedHyperlinksToStream(TStream& Stream) const {
    FInvalidated.SaveToStream(Stream);
}

void TNxHyperlinkColumn::DoClick(int ACol, int ARow, const WideString& AHyperlink, TObject* Sender) {
    if (OnClick) OnClick(Sender ? Sender : this, ACol, ARow, AHyperlink);
}
