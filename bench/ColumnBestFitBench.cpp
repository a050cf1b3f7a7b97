// Best fit of a text column over 1,000,000 rows: every cell's text measured in the column's font,
// the widest kept. Baselines in the same run: the same walk only reading the texts, and the same
// walk measuring each text on a fresh bitmap and canvas, as a column did before it kept one.
// Each case reports the process's peak resident memory; run one case per process
// (--benchmark_filter) to see each case's own peak.

#include <benchmark/benchmark.h>

#include "BenchGridHost.h"

#include "BenchSupport.h"
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/Columns.h"
#include "grid/model/TextColumn.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;

class TBenchGrid : public TBenchGridHost {
public:
    TBenchGrid() {
        Font.SetName("DejaVu Sans");
        Font.SetHeight(-11);
        Column = Columns->Add<TNxTextColumn>(u"Source files");
        Cells->AddRow(kRows);
        // Paths of different lengths, so the widest is not the first.
        for (int r = 0; r < kRows; ++r)
            Cells->GetCell(0, r)->SetAsString(u"/home/user/documents/batch-" + IntToStr(r % 977) +
                                              u"/source-" + IntToStr(r) + u".txt");
    }

    TNxTextColumn* Column = nullptr;
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
