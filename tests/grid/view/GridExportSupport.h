#pragma once
// Helpers of the export tests: a grid on an unshown form, a temporary folder and file access.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "grid/model/Columns.h"
#include "grid/view/GridTestSupport.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/DateTime.h"

class TPlainDateColumn : public TNxCustomColumn {
public:
    explicit TPlainDateColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) { SetColumnType(ctDate); }
};

// A fresh folder under the system's temporary folder, removed with the object.
class TExportFolder {
public:
    TExportFolder() {
        std::string Templ = (std::filesystem::temp_directory_path() / "quillmar-export-XXXXXX").string();
        if (char* Made = mkdtemp(Templ.data())) FPath = Made;
    }
    ~TExportFolder() {
        std::error_code ec;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(FPath, ec);
    }
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& Name) const { return FPath + "/" + Name; }
    WideString WideFile(const std::string& Name) const { return Utf8ToWide(File(Name)); }
    std::vector<std::string> Names() const {
        std::vector<std::string> Result;
        for (const auto& Entry : std::filesystem::directory_iterator(FPath))
            Result.push_back(Entry.path().filename().string());
        std::sort(Result.begin(), Result.end());
        return Result;
    }

private:
    std::string FPath;
};

inline std::string ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Out;
    Out << In.rdbuf();
    return Out.str();
}

inline void WriteBytes(const std::string& Path, const std::string& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out << Bytes;
}

// A grid of text columns captioned by Captions on a form that is never shown.
struct ExportFixture : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
    TExportFolder Folder;

    TNextGrid* MakeGrid(const std::vector<WideString>& Captions) {
        if (!Form) Form = std::make_unique<TForm>(nullptr);
        auto* G = new TNextGrid(Form.get());
        G->SetParent(Form.get());
        G->SetBounds(0, 0, 400, 200);
        for (const WideString& Caption : Captions)
            G->GetColumns()->Add<TPlainTextColumn>(Caption);
        if (!Grid) Grid = G;
        return G;
    }
    static void Fill(TNextGrid* G, const std::vector<std::vector<WideString>>& Rows) {
        for (const auto& Row : Rows) {
            int r = G->AddRow(1);
            for (size_t c = 0; c < Row.size(); ++c)
                G->SetCells(static_cast<int>(c), r, Row[c]);
        }
    }
    static std::vector<std::vector<WideString>> Contents(TNextGrid* G) {
        std::vector<std::vector<WideString>> Rows;
        for (int r = 0; r < G->GetRowCount(); ++r) {
            Rows.emplace_back();
            for (int c = 0; c < G->GetColumns()->Count(); ++c)
                Rows.back().push_back(G->GetCells(c, r));
        }
        return Rows;
    }
};
