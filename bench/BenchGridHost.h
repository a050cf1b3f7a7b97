#pragma once
// Just enough grid for the model's benchmarks: a column collection and a cell store wired together,
// no painting, every question of the model answered with a fixed value.

#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/Columns.h"
#include "grid/model/GridHost.h"
#include "platform/graphics/Font.h"

class TBenchGridHost : public TNxGridHost {
public:
    TBenchGridHost() {
        Columns = std::make_unique<TNxColumns>(this);
        Cells = std::make_unique<TCells>(this, Columns.get());
        Columns->OnColumnsChange = [this](TObject*, TColumnsOperation Op, int V1, int V2) {
            Cells->ColumnsChange(Op, V1, V2);
        };
    }
    ~TBenchGridHost() override {
        Destroying = true;
        Cells.reset();
        Columns.reset();
    }

    void RefreshColumn(TNxCustomColumn*, TGridArea) override {}
    TFont* GetGridFont() override { return &Font; }
    TColor GetGridColor() override { return clWindow; }
    TCursor GetGridCursor() override { return 0; }
    TRect GetBodyRect() override { return {0, 18, 400, 300}; }
    int GetInnerWidth() override { return 400; }
    int GetHorzScrollPos() override { return 0; }
    TRect GetAreaRect(TGridArea) override { return {}; }
    bool ShowsIndicator() override { return false; }
    bool IsReadingState() override { return false; }
    bool IsDesigning() override { return false; }
    bool IsDestroying() override { return Destroying; }
    int GetSelectedColumn() override { return 0; }
    TNxCustomColumn* GetFocusedColumn() override { return nullptr; }
    TNxCustomColumn* GetHoverColumn() override { return nullptr; }
    bool IsCellHighlighted(int, int) override { return false; }
    TColor GetActualCellColor(int, int) override { return clWindow; }
    TColor GetActualCellFontColor(int, int) override { return clWindowText; }
    TNxColumns* GetColumns() override { return Columns.get(); }
    bool OwnerHasComponent(const AnsiString&) override { return false; }

    TFont Font;
    bool Destroying = false;
    std::unique_ptr<TNxColumns> Columns;
    std::unique_ptr<TCells> Cells;
};
