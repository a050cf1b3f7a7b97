// 1,000,000 rows of a name, a status, an amount and a count in a shown grid: the resident memory
// the rows hold, beside an item model with a sort proxy and a view holding the same values; and
// selecting all rows and copying them, beside a plain join of the same texts; sorting them by the
// name and by the amount; deleting all but ten rows. Run the grid's and the item model's cases in
// separate processes (--benchmark_filter) for each one's peak memory.

#include <benchmark/benchmark.h>

#include "BenchShownGrid.h"
#include "BenchSupport.h"
#include "BenchVariedRows.h"

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <memory>
#include <vector>

#include "grid/model/NumberColumn.h"
#include "grid/model/TextColumn.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;
// The varied rows, made once before anything is measured.
struct TValues {
    std::vector<WideString> Names;
    std::vector<int> Statuses;
    std::vector<double> Amounts;
    std::vector<double> Counts;
    TValues() {
        TRowMaker Maker;
        Names.reserve(kRows);
        for (int r = 0; r < kRows; ++r) {
            Maker.Next();
            Names.push_back(Maker.Name);
            Statuses.push_back(Maker.Status);
            Amounts.push_back(Maker.Amount);
            Counts.push_back(Maker.Count);
        }
    }
};

const TValues& Values() {
    static const TValues Instance;
    return Instance;
}

void EnsureApplication() {
    EnsureBenchApplication("GridMillionRowsBench");
}

constexpr int kNameCol = 0, kAmountCol = 2, kOriginCol = 4;

struct TShownGrid : TBenchShownGrid {
    // WithOrigin adds a hidden fifth column holding each row's number, to undo a sort.
    explicit TShownGrid(bool WithOrigin = false) : TBenchShownGrid("GridMillionRowsBench", 800, 600) {
        Grid->GetColumns()->Add<TNxTextColumn>(u"Name");
        Grid->GetColumns()->Add<TNxTextColumn>(u"Status");
        Grid->GetColumns()->Add<TNxNumberColumn>(u"Amount");
        Grid->GetColumns()->Add<TNxNumberColumn>(u"Count");
        if (WithOrigin) Grid->GetColumns()->Add<TNxNumberColumn>(u"Origin")->SetVisible(false);
        Show();
    }
    void Fill() {
        const TValues& V = Values();
        const bool WithOrigin = Grid->GetColumns()->Count() > kOriginCol;
        Grid->BeginUpdate();
        Grid->AddRow(kRows);
        for (int r = 0; r < kRows; ++r) {
            const auto i = static_cast<size_t>(r);
            Grid->GetCell(0, r)->SetAsString(V.Names[i]);
            Grid->GetCell(1, r)->SetAsString(kStatuses[V.Statuses[i]]);
            Grid->GetCell(2, r)->SetAsFloat(V.Amounts[i]);
            Grid->GetCell(3, r)->SetAsFloat(V.Counts[i]);
            if (WithOrigin) Grid->GetCell(kOriginCol, r)->SetAsFloat(r);
        }
        Grid->EndUpdate();
    }
};

// The resident growth of one fill, the grid destroyed after each.
void BM_GridFill(benchmark::State& State) {
    Values();
    EnsureApplication();
    double Growth = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto Shown = std::make_unique<TShownGrid>();
        const double Before = ResidentMiB();
        State.ResumeTiming();
        Shown->Fill();
        benchmark::DoNotOptimize(Shown->Grid->GetRowCount());
        State.PauseTiming();
        Growth = std::max(Growth, ResidentMiB() - Before);
        Shown.reset();
        State.ResumeTiming();
    }
    State.counters["rows_MiB"] = Growth;
    State.counters["bytes_per_cell"] = Growth * 1024 * 1024 / (kRows * 4.0);
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridFill)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same values in an item model behind a sort proxy and a shown table view.
void BM_QtItemModelFill(benchmark::State& State) {
    const TValues& V = Values();
    EnsureApplication();
    double Growth = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto View = std::make_unique<QTableView>();
        auto Proxy = std::make_unique<QSortFilterProxyModel>();
        View->resize(800, 600);
        View->show();
        QStringList Statuses;
        for (const char16_t* Status : kStatuses)
            Statuses << QString::fromUtf16(Status);
        const double Before = ResidentMiB();
        State.ResumeTiming();
        auto Model = std::make_unique<QStandardItemModel>(kRows, 4);
        for (int r = 0; r < kRows; ++r) {
            const auto i = static_cast<size_t>(r);
            const WideString& Name = V.Names[i];
            Model->setItem(
                r, 0,
                new QStandardItem(QString::fromUtf16(Name.data(), static_cast<qsizetype>(Name.size()))));
            Model->setItem(r, 1, new QStandardItem(Statuses[V.Statuses[i]]));
            auto* Amount = new QStandardItem();
            Amount->setData(V.Amounts[i], Qt::DisplayRole);
            Model->setItem(r, 2, Amount);
            auto* Count = new QStandardItem();
            Count->setData(V.Counts[i], Qt::DisplayRole);
            Model->setItem(r, 3, Count);
        }
        Proxy->setSourceModel(Model.get());
        View->setModel(Proxy.get());
        QApplication::processEvents();
        State.PauseTiming();
        Growth = std::max(Growth, ResidentMiB() - Before);
        View.reset();
        Proxy.reset();
        Model.reset();
        State.ResumeTiming();
    }
    State.counters["rows_MiB"] = Growth;
    State.counters["bytes_per_cell"] = Growth * 1024 * 1024 / (kRows * 4.0);
    ReportPeakMemory(State);
}
BENCHMARK(BM_QtItemModelFill)->Unit(benchmark::kMillisecond)->Iterations(1);

// Deleting all but 10 rows: the resident memory the grid holds after the fill and after the
// deletes, over what it held empty. Kept keeps the first ten rows; spread keeps every 100,000th,
// so that the rows left stand in different parts of the store's memory.
void GridDeleteAllButTen(benchmark::State& State, bool Spread) {
    Values();
    EnsureApplication();
    constexpr int kKept = 10;
    constexpr int kSpacing = kRows / kKept;
    double Filled = 0, Left = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto Shown = std::make_unique<TShownGrid>();
        const double Before = ResidentMiB();
        Shown->Fill();
        Filled = ResidentMiB() - Before;
        State.ResumeTiming();
        Shown->Grid->BeginUpdate();
        // From the end, so no delete moves more than the ten rows left behind it.
        for (int r = kRows - 1; r >= 0; --r)
            if (Spread ? r % kSpacing != 0 : r >= kKept) Shown->Grid->DeleteRow(r);
        Shown->Grid->EndUpdate();
        State.PauseTiming();
        Left = ResidentMiB() - Before;
        if (Shown->Grid->GetRowCount() != kKept) State.SkipWithError("rows left");
        Shown.reset();
        State.ResumeTiming();
    }
    State.counters["filled_MiB"] = Filled;
    State.counters["left_MiB"] = Left;
    ReportPeakMemory(State);
}

void BM_GridDeleteAllButFirstTen(benchmark::State& State) {
    GridDeleteAllButTen(State, false);
}
BENCHMARK(BM_GridDeleteAllButFirstTen)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GridDeleteAllButTenSpread(benchmark::State& State) {
    GridDeleteAllButTen(State, true);
}
BENCHMARK(BM_GridDeleteAllButTenSpread)->Unit(benchmark::kMillisecond)->Iterations(1);

// Sorting by a column as a header click does, each time from the order the rows were added in.
void GridSortBy(benchmark::State& State, int Col) {
    TShownGrid Shown(true);
    Shown.Fill();
    TNxCustomColumn* Column = Shown.Grid->GetColumns()->GetItem(Col);
    for (auto _ : State) {
        State.PauseTiming();
        Shown.Grid->GetCellStore()->SortColumn(kOriginCol, stNumeric, skAscending, true);
        State.ResumeTiming();
        if (Column->GetSorted())
            Column->Resort();
        else
            Column->SetSorted(true);
    }
    ReportPeakMemory(State);
}

void BM_GridSortByName(benchmark::State& State) {
    GridSortBy(State, kNameCol);
}
BENCHMARK(BM_GridSortByName)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GridSortByAmount(benchmark::State& State) {
    GridSortBy(State, kAmountCol);
}
BENCHMARK(BM_GridSortByAmount)->Unit(benchmark::kMillisecond)->Iterations(3);

// Select all and Ctrl+C's copy, text handed to the clipboard included.
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
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridSelectAllAndCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline of the copy: the same texts, formatted beforehand, joined from plain vectors.
void BM_PlainJoinBaseline(benchmark::State& State) {
    const TValues& V = Values();
    std::vector<WideString> Amounts, Counts;
    Amounts.reserve(kRows);
    Counts.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        Amounts.push_back(FloatToStr(V.Amounts[static_cast<size_t>(r)]));
        Counts.push_back(FloatToStr(V.Counts[static_cast<size_t>(r)]));
    }
    for (auto _ : State) {
        WideString Out;
        for (int r = 0; r < kRows; ++r) {
            const auto i = static_cast<size_t>(r);
            Out += V.Names[i];
            Out += u'\t';
            Out += kStatuses[V.Statuses[i]];
            Out += u'\t';
            Out += Amounts[i];
            Out += u'\t';
            Out += Counts[i];
            Out += u"\r\n";
        }
        benchmark::DoNotOptimize(Out.data());
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_PlainJoinBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
