// Best fit of a text column over 1,000,000 rows: every cell's text measured in the column's font,
// the widest kept. Baselines in the same run: the same walk only reading the texts, and the same
// walk measuring each text on a fresh bitmap and canvas, as a column did before it kept one.
// Each case reports the process's peak resident memory; run one case per process
// (--benchmark_filter) to see each case's own peak.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/Columns.h"
#include "grid/model/GridHost.h"
#include "grid/model/TextColumn.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;

class TBenchGrid : public TNxGridHost {
public:
    TBenchGrid() {
        Columns = std::make_unique<TNxColumns>(this);
        Cells = std::make_unique<TCells>(this, Columns.get());
        Columns->OnColumnsChange = [this](TObject*, TColumnsOperation Op, int V1, int V2) {
            Cells->ColumnsChange(Op, V1, V2);
        };
        Font.SetName("DejaVu Sans");
        Font.SetHeight(-11);
        Column = Columns->Add<TNxTextColumn>(u"Source files");
        Cells->AddRow(kRows);
        // Paths of different lengths, so the widest is not the first.
        for (int r = 0; r < kRows; ++r)
            Cells->GetCell(0, r)->SetAsString(u"/home/user/documents/batch-" + IntToStr(r % 977) +
                                              u"/source-" + IntToStr(r) + u".txt");
    }
    ~TBenchGrid() override {
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
    TNxTextColumn* Column = nullptr;
    std::unique_ptr<TNxColumns> Columns;
    std::unique_ptr<TCells> Cells;
};

TBenchGrid& Grid() {
    static std::unique_ptr<TBenchGrid> Instance;
    if (!Instance) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Instance = std::make_unique<TBenchGrid>();
    }
    return *Instance;
}

void Report(benchmark::State& State, int Widest) {
    State.SetItemsProcessed(State.iterations() * kRows);
    State.counters["widest_px"] = Widest;
    State.counters["peak_MiB"] = PeakMemoryMiB();
}

void BM_BestFitTextColumn(benchmark::State& State) {
    TBenchGrid& G = Grid();
    int Widest = 0;
    for (auto _ : State) {
        Widest = 0;
        for (int r = 0; r < kRows; ++r)
            Widest = std::max(Widest, G.Column->GetCellBestFit(G.Cells->GetCell(0, r)->GetAsString()));
        benchmark::DoNotOptimize(Widest);
    }
    Report(State, Widest);
}
BENCHMARK(BM_BestFitTextColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BaselineReadTextsOnly(benchmark::State& State) {
    TBenchGrid& G = Grid();
    size_t Longest = 0;
    for (auto _ : State) {
        Longest = 0;
        for (int r = 0; r < kRows; ++r)
            Longest = std::max(Longest, G.Cells->GetCell(0, r)->GetAsString().size());
        benchmark::DoNotOptimize(Longest);
    }
    Report(State, static_cast<int>(Longest));
}
BENCHMARK(BM_BaselineReadTextsOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BaselineFreshCanvasPerCell(benchmark::State& State) {
    TBenchGrid& G = Grid();
    int Widest = 0;
    for (auto _ : State) {
        Widest = 0;
        for (int r = 0; r < kRows; ++r) {
            TBitmap Bitmap(1, 1);
            TCanvas* Canvas = Bitmap.GetCanvas();
            Canvas->SetFont(*G.Column->GetFont());
            Widest = std::max(Widest, Canvas->TextWidth(G.Cells->GetCell(0, r)->GetAsString()) + 5);
        }
        benchmark::DoNotOptimize(Widest);
    }
    Report(State, Widest);
}
BENCHMARK(BM_BaselineFreshCanvasPerCell)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
