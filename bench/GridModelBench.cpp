// The grid's cell store at the size of a large job list: adding 1,000,000 rows of four columns
// (three text columns and a progress column, as the main window has) one AddRow at a time, and
// reading or writing every cell through GetCell and the typed accessors.

#include <benchmark/benchmark.h>

#include "BenchGridHost.h"

#include <memory>

#include "grid/model/Cells.h"
#include "grid/model/Column.h"
#include "grid/model/Columns.h"

namespace {

constexpr int kRows = 1'000'000;

class TTextColumn : public TNxCustomColumn {
public:
    explicit TTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {}
};

class TProgressColumn : public TNxCustomColumn {
public:
    explicit TProgressColumn(TObject* AOwner) : TNxCustomColumn(AOwner) { SetColumnType(ctFloat); }
};

// Just enough grid for the model: no painting, every cell change counted.
class TBenchGrid : public TBenchGridHost {
public:
    TBenchGrid() {
        Cells->OnCellChange = [this](TObject*, int, int) { ++Changes; };
        Columns->Add<TTextColumn>(u"Source");
        Columns->Add<TTextColumn>(u"Status");
        Columns->Add<TProgressColumn>(u"Progress");
        Columns->Add<TTextColumn>(u"Decoded");
    }

    long Changes = 0;
};

void Fill(TBenchGrid& Grid) {
    for (int r = 0; r < kRows; ++r) {
        Grid.Cells->GetCell(0, r)->SetAsString(u"/home/user/documents/source-file.txt");
        Grid.Cells->GetCell(1, r)->SetAsString(u"Decoded");
        Grid.Cells->GetCell(2, r)->SetAsFloat(r % 101);
        Grid.Cells->GetCell(3, r)->SetAsString(u"/home/user/documents/Decript/source-file(dec1).txt");
    }
}

void BM_AddRowsOneByOne(benchmark::State& State) {
    for (auto _ : State) {
        State.PauseTiming();
        auto Grid = std::make_unique<TBenchGrid>();
        State.ResumeTiming();
        for (int r = 0; r < kRows; ++r)
            Grid->Cells->AddRow(1);
        benchmark::DoNotOptimize(Grid->Cells->GetRowCount());
        State.PauseTiming();
        Grid.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * kRows);
    State.counters["rows"] = kRows;
}
BENCHMARK(BM_AddRowsOneByOne)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteEveryCell(benchmark::State& State) {
    TBenchGrid Grid;
    Grid.Cells->AddRow(kRows);
    for (auto _ : State)
        Fill(Grid);
    State.SetItemsProcessed(State.iterations() * kRows * 4);
}
BENCHMARK(BM_WriteEveryCell)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadEveryCell(benchmark::State& State) {
    TBenchGrid Grid;
    Grid.Cells->AddRow(kRows);
    Fill(Grid);
    for (auto _ : State) {
        size_t Characters = 0;
        double Progress = 0;
        for (int r = 0; r < kRows; ++r) {
            Characters += Grid.Cells->GetCell(0, r)->GetAsString().size();
            Characters += Grid.Cells->GetCell(1, r)->GetAsString().size();
            Progress += Grid.Cells->GetCell(2, r)->GetAsFloat();
            Characters += Grid.Cells->GetCell(3, r)->GetAsString().size();
        }
        benchmark::DoNotOptimize(Characters);
        benchmark::DoNotOptimize(Progress);
    }
    State.SetItemsProcessed(State.iterations() * kRows * 4);
}
BENCHMARK(BM_ReadEveryCell)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reading the progress column as text too, as painting and export form every cell's text.
void BM_ReadEveryCellAsText(benchmark::State& State) {
    TBenchGrid Grid;
    Grid.Cells->AddRow(kRows);
    Fill(Grid);
    for (auto _ : State) {
        size_t Characters = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < 4; ++c)
                Characters += Grid.Cells->GetCell(c, r)->GetAsString().size();
        benchmark::DoNotOptimize(Characters);
    }
    State.SetItemsProcessed(State.iterations() * kRows * 4);
}
BENCHMARK(BM_ReadEveryCellAsText)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
