// The grid control's own work on a large job list, painting aside: scrolling by one row, by one
// page, and jumping to the last row, on 1,000,000 rows. The baseline is the same operation on a
// grid of 1,000 rows in the same run: the times should match, since nothing walks all rows.
// Each case also reports the process's peak resident memory.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "grid/view/NextGrid.h"
#include "platform/windows/Forms.h"

namespace {

class TTextColumn : public TNxCustomColumn {
public:
    explicit TTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {}
};

class TProgressColumn : public TNxCustomColumn {
public:
    explicit TProgressColumn(TObject* AOwner) : TNxCustomColumn(AOwner) { SetColumnType(ctInteger); }
};

// An 800 x 600 job-list grid on a shown form, built once per row count.
struct TBenchWindow {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;

    explicit TBenchWindow(int Rows) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 820, 620);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 800, 600);
        Grid->GetColumns()->Add<TTextColumn>(u"Source")->SetWidth(250);
        Grid->GetColumns()->Add<TTextColumn>(u"Status")->SetWidth(120);
        Grid->GetColumns()->Add<TProgressColumn>(u"Progress")->SetWidth(100);
        Grid->GetColumns()->Add<TTextColumn>(u"Decoded")->SetWidth(300);
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow});
        Grid->BeginUpdate();
        Grid->AddRow(Rows);
        Grid->EndUpdate();
        Form->Show();
        Grid->Update();
    }
};

// Freed by main before the application goes, so no window outlives the window system.
std::unique_ptr<TBenchWindow> SmallWindow, LargeWindow;

TBenchWindow& WindowOf(int Rows) {
    auto& Slot = Rows <= 1000 ? SmallWindow : LargeWindow;
    if (!Slot) Slot = std::make_unique<TBenchWindow>(Rows);
    return *Slot;
}

void Report(benchmark::State& State) {
    State.counters["peak_MiB"] = PeakMemoryMiB();
}

// One row down, then one row up, from the middle of the rows.
void BM_ScrollOneRow(benchmark::State& State) {
    TNextGrid* Grid = WindowOf(static_cast<int>(State.range(0))).Grid;
    TNxScrollBar* Bar = Grid->GetVertScrollBar();
    Bar->SetPosition(Grid->GetRowCount() / 2);
    int Step = 1;
    for (auto _ : State) {
        Grid->Perform(WM_VSCROLL, Step > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        Step = -Step;
        // A paint would take the uncovered strip; keep the window's pending region as after one.
        State.PauseTiming();
        Grid->ValidateRect(nullptr);
        State.ResumeTiming();
    }
    benchmark::DoNotOptimize(Grid->GetTopRow());
    Report(State);
}
BENCHMARK(BM_ScrollOneRow)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The grid's part of a one-row scroll alone: moving TopRow and summing the shift, without the
// window moving its pixels.
void BM_RowOffsetOnly(benchmark::State& State) {
    TNextGrid* Grid = WindowOf(static_cast<int>(State.range(0))).Grid;
    Grid->GetVertScrollBar()->SetPosition(Grid->GetRowCount() / 2);
    int Position = Grid->GetVertScrollBar()->GetPosition();
    int Step = 1;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Grid->GetVertOffset(Position, Position + Step));
        Position += Step;
        Step = -Step;
    }
    Report(State);
}
BENCHMARK(BM_RowOffsetOnly)->Arg(1000)->Arg(1000000);

// One page down, then one page up.
void BM_ScrollOnePage(benchmark::State& State) {
    TNextGrid* Grid = WindowOf(static_cast<int>(State.range(0))).Grid;
    Grid->GetVertScrollBar()->SetPosition(Grid->GetRowCount() / 2);
    int Step = 1;
    for (auto _ : State) {
        Grid->Perform(WM_VSCROLL, Step > 0 ? SB_PAGEDOWN : SB_PAGEUP, 0);
        Step = -Step;
    }
    benchmark::DoNotOptimize(Grid->GetTopRow());
    Report(State);
}
BENCHMARK(BM_ScrollOnePage)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Selecting the last row and scrolling it into view from the top (End), and back (Home).
void BM_JumpToLastRow(benchmark::State& State) {
    TNextGrid* Grid = WindowOf(static_cast<int>(State.range(0))).Grid;
    Grid->SelectFirstRow();
    bool AtEnd = false;
    for (auto _ : State) {
        if (AtEnd)
            Grid->SelectFirstRow();
        else
            Grid->SelectLastRow();
        AtEnd = !AtEnd;
    }
    benchmark::DoNotOptimize(Grid->GetTopRow());
    Report(State);
}
BENCHMARK(BM_JumpToLastRow)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    SmallWindow.reset();
    LargeWindow.reset();
    benchmark::Shutdown();
    // The platform's application object is a static that the window system's own statics may
    // precede in teardown; the results are out, so leave without static destructors.
    std::fflush(nullptr);
    std::_Exit(0);
}
