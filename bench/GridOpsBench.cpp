// Filling 1,000,000 rows x 4 columns inside one update, against an item model filled with the same
// values; and selecting all rows and copying them, against joining the same texts from plain
// vectors. All in one run; peak memory is the process's, so the grid's figures come first.

#include <benchmark/benchmark.h>

#include "BenchShownGrid.h"
#include "BenchSupport.h"

#include <sys/resource.h>

#include <QApplication>
#include <QStandardItemModel>

#include <memory>
#include <vector>

#include "grid/model/Column.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;

class TTextColumn : public TNxCustomColumn {
public:
    explicit TTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {}
};

class TIntegerColumn : public TNxCustomColumn {
public:
    explicit TIntegerColumn(TObject* AOwner) : TNxCustomColumn(AOwner) { SetColumnType(ctInteger); }
};

// A job list's row: path, status, progress, decoded path.
struct TRowTexts {
    std::vector<WideString> Paths;
    std::vector<WideString> Decoded;
    TRowTexts() {
        Paths.reserve(kRows);
        Decoded.reserve(kRows);
        for (int r = 0; r < kRows; ++r) {
            WideString Number = IntToStr(r);
            Paths.push_back(u"/home/user/in/file-" + Number + u".txt");
            Decoded.push_back(u"/home/user/in/Decript/file-" + Number + u"(dec1).txt");
        }
    }
};

const TRowTexts& Texts() {
    static const TRowTexts Instance;
    return Instance;
}

void EnsureApplication() {
    EnsureBenchApplication("GridOpsBench");
}

struct TShownGrid : TBenchShownGrid {
    TShownGrid() : TBenchShownGrid("GridOpsBench", 600, 400) {
        Grid->GetColumns()->Add<TTextColumn>(u"Source");
        Grid->GetColumns()->Add<TTextColumn>(u"Status");
        Grid->GetColumns()->Add<TIntegerColumn>(u"Progress");
        Grid->GetColumns()->Add<TTextColumn>(u"Decoded");
        Show();
    }
    void Fill() {
        const TRowTexts& T = Texts();
        Grid->BeginUpdate();
        Grid->AddRow(kRows);
        for (int r = 0; r < kRows; ++r) {
            Grid->GetCell(0, r)->SetAsString(T.Paths[static_cast<size_t>(r)]);
            Grid->GetCell(1, r)->SetAsString(u"Decoded");
            Grid->GetCell(2, r)->SetAsInteger(r % 101);
            Grid->GetCell(3, r)->SetAsString(T.Decoded[static_cast<size_t>(r)]);
        }
        Grid->EndUpdate();
    }
};

void BM_GridPopulate(benchmark::State& State) {
    Texts();
    for (auto _ : State) {
        State.PauseTiming();
        auto Shown = std::make_unique<TShownGrid>();
        State.ResumeTiming();
        Shown->Fill();
        benchmark::DoNotOptimize(Shown->Grid->GetRowCount());
        State.PauseTiming();
        Shown.reset();
        State.ResumeTiming();
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridPopulate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GridSelectAllAndCopy(benchmark::State& State) {
    TShownGrid Shown;
    Shown.Fill();
    Shown.Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    for (auto _ : State) {
        Shown.Grid->SelectAll();
        Shown.Grid->CopyToClipboard();
        State.PauseTiming();
        Shown.Grid->ClearSelection();
        State.ResumeTiming();
    }
    State.counters["selected"] = static_cast<double>(kRows);
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridSelectAllAndCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

// A few rows selected, counted, copied and cleared on a grid of 1,000,000 rows, with a click that
// starts again: none of it should cost a walk over all rows (the baseline below is one).
void BM_GridSmallSelection(benchmark::State& State) {
    TShownGrid Shown;
    Shown.Fill();
    TNextGrid* Grid = Shown.Grid;
    Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    size_t Copied = 0;
    for (auto _ : State) {
        Grid->SelectCell(0, 500'000, true, {});
        Grid->SelectCell(0, 500'010, true, TShiftState{ssShift});
        Grid->SelectCell(0, 500'004, true, TShiftState{ssShift});
        Grid->SelectCell(0, 999'999, true, TShiftState{ssCtrl});
        benchmark::DoNotOptimize(Grid->GetSelectedCount());
        Copied += Grid->GetSelectionText().size();
        Grid->ClearSelection();
    }
    State.counters["chars_per_copy"] = static_cast<double>(Copied) / static_cast<double>(State.iterations());
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridSmallSelection)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Baseline of the small selection: one pass over 1,000,000 row flags, what each of the counting,
// copying and clearing walks used to cost.
void BM_WalkAllRowFlagsBaseline(benchmark::State& State) {
    std::vector<char> Flags(kRows, 0);
    Flags[500'000] = 1;
    for (auto _ : State) {
        int Count = 0;
        for (char Flag : Flags)
            Count += Flag;
        benchmark::DoNotOptimize(Count);
        benchmark::ClobberMemory();
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_WalkAllRowFlagsBaseline)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Baseline of copying: the same text joined straight from vectors, nothing selected.
void BM_PlainJoinBaseline(benchmark::State& State) {
    const TRowTexts& T = Texts();
    for (auto _ : State) {
        WideString Out;
        for (int r = 0; r < kRows; ++r) {
            Out += T.Paths[static_cast<size_t>(r)];
            Out += u"\tDecoded\t";
            Out += IntToStr(r % 101);
            Out += u'\t';
            Out += T.Decoded[static_cast<size_t>(r)];
            Out += u"\r\n";
        }
        benchmark::DoNotOptimize(Out.data());
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_PlainJoinBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline of filling: an item model with the same rows and values.
void BM_QtItemModelPopulate(benchmark::State& State) {
    EnsureApplication();
    const TRowTexts& T = Texts();
    for (auto _ : State) {
        auto Model = std::make_unique<QStandardItemModel>(kRows, 4);
        for (int r = 0; r < kRows; ++r) {
            const WideString& P = T.Paths[static_cast<size_t>(r)];
            const WideString& D = T.Decoded[static_cast<size_t>(r)];
            Model->setItem(r, 0,
                           new QStandardItem(QString::fromUtf16(P.data(), static_cast<qsizetype>(P.size()))));
            Model->setItem(r, 1, new QStandardItem(QStringLiteral("Decoded")));
            auto* Progress = new QStandardItem();
            Progress->setData(r % 101, Qt::DisplayRole);
            Model->setItem(r, 2, Progress);
            Model->setItem(r, 3,
                           new QStandardItem(QString::fromUtf16(D.data(), static_cast<qsizetype>(D.size()))));
        }
        benchmark::DoNotOptimize(Model->rowCount());
        State.PauseTiming();
        Model.reset();
        State.ResumeTiming();
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_QtItemModelPopulate)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
