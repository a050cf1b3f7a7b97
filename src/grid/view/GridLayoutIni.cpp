// TNextGrid's column layout in an INI file or under a key of the settings store.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "grid/model/Columns.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Registry.h"

namespace {

AnsiString Ident(int Index) {
    return "Column" + std::to_string(Index);
}

} // namespace

void TNextGrid::SaveToIniFile(const WideString&, TCustomIniFile& IniFile, const AnsiString& Suffix) {
    TNxColumns* Columns = GetColumns();
    IniFile.WriteInteger("Common" + Suffix, "ColumnsCount", Columns->Count());
    for (int i = 0; i < Columns->Count(); ++i) {
        TNxCustomColumn* Column = Columns->GetItem(i);
        IniFile.WriteString("Columns Sort Kind" + Suffix, Ident(i),
                            Column->GetSortKind() == skAscending ? "Ascending" : "Descending");
        IniFile.WriteBool("Visible Columns" + Suffix, Ident(i), Column->GetVisible());
        IniFile.WriteBool("Sorted" + Suffix, Ident(i), Column->GetSorted());
        IniFile.WriteInteger("Positions" + Suffix, Ident(i), Column->GetPosition());
        IniFile.WriteInteger("Columns Sizes" + Suffix, Ident(i), Column->GetWidth());
    }
    IniFile.UpdateFile();
}

void TNextGrid::LoadFromIniFile(const WideString&, TCustomIniFile& IniFile, const AnsiString& Suffix) {
    TNxColumns* Columns = GetColumns();
    const int Count = Columns->Count();
    // Where each column goes; a position no column can take (an edited or foreign file) keeps the
    // column's present place.
    std::vector<std::pair<int, int>> Places; // (place, index)
    for (int i = 0; i < Count; ++i) {
        TNxCustomColumn* Column = Columns->GetItem(i);
        const AnsiString Kind =
            IniFile.ReadString("Columns Sort Kind" + Suffix, Ident(i), AnsiString("Ascending"));
        Column->SetSortKind(Kind == "Ascending" ? skAscending : skDescending);
        Column->SetVisible(IniFile.ReadBool("Visible Columns" + Suffix, Ident(i), true));
        Column->SetSorted(IniFile.ReadBool("Sorted" + Suffix, Ident(i), false));
        const int Position = IniFile.ReadInteger("Positions" + Suffix, Ident(i), i);
        Places.emplace_back(Position >= 0 && Position < Count ? Position : Column->GetPosition(), i);
        // A width beyond what the grid can lay out is taken as the widest it can (SetWidth).
        Column->SetWidth(IniFile.ReadInteger("Columns Sizes" + Suffix, Ident(i), Column->GetWidth()));
    }
    // Moving columns one at a time in index order cannot reach every order; placing them from the
    // left, each into its final place, restores the saved order exactly.
    std::stable_sort(Places.begin(), Places.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    for (int Place = 0; Place < Count; ++Place) {
        TNxCustomColumn* Column = Columns->GetItem(Places[static_cast<size_t>(Place)].second);
        if (Column->GetPosition() != Place) Column->SetPosition(Place);
    }
    Columns->UpdateColumns(true);
}

void TNextGrid::SaveToIni(const WideString& FileName, const AnsiString& Suffix) {
    TIniFile Ini(WideToUtf8(FileName));
    SaveToIniFile(FileName, Ini, Suffix);
}

void TNextGrid::LoadFromIni(const WideString& FileName, const AnsiString& Suffix) {
    TIniFile Ini(WideToUtf8(FileName));
    LoadFromIniFile(FileName, Ini, Suffix);
}

void TNextGrid::SaveToRegistry(const WideString& KeyPath, const AnsiString& Suffix, HKEY RootKey) {
    TRegistryIniFile Ini(KeyPath, RootKey);
    SaveToIniFile(KeyPath, Ini, Suffix);
}

void TNextGrid::LoadFromRegistry(const WideString& KeyPath, const AnsiString& Suffix) {
    TRegistryIniFile Ini(KeyPath);
    LoadFromIniFile(KeyPath, Ini, Suffix);
}
