// A shown grid of four columns (two texts, two numbers) at 1,000,000 and 10,000,000 varied rows,
// each stage as a program meets it: populate, sort by a text and by a number, a full 800 x 600
// frame, select all and Ctrl+C after the sort, the paste of that copy (the UTF-8 text another
// program receives), and GetSelectionText. Beside each time, the resident memory it left and the
// process's peak during it. The baseline in the same run: an item model with a sort proxy and a
// table view holding the same 1,000,000 rows. Values are made row by row as they are stored, so
// no list of them inflates the peak; making them alone is measured too (make_rows), and the empty
// rows' part of a populate (populate_add_rows).

#include <benchmark/benchmark.h>

#include "BenchShownGrid.h"
#include "BenchSupport.h"
#include "BenchVariedRows.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "grid/model/NumberColumn.h"
#include "grid/model/TextColumn.h"
#include "grid/view/NextGrid.h"
#include "grid/view/VertScrollBar.h"
#include "platform/windows/Forms.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// Processor time of all the process's threads: on a shared machine it shows what a stage costs
// when wall time shows mostly the others.
double ProcessorSeconds() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    auto Seconds = [](const timeval& T) {
        return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_usec) / 1e6;
    };
    return Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
}

// Runs Stage, adding "<Name>_s" (wall seconds), "<Name>_cpu_s" (processor seconds) and
// "<Name>_peak_MiB" (the process's peak while it ran) to the counters.
template <typename TStage> void Measure(benchmark::State& State, const char* Name, TStage Stage) {
    RestartPeakMemory();
    const double Processor = ProcessorSeconds();
    const auto Start = std::chrono::steady_clock::now();
    Stage();
    State.counters[std::string(Name) + "_s"] = SecondsSince(Start);
    State.counters[std::string(Name) + "_cpu_s"] = ProcessorSeconds() - Processor;
    State.counters[std::string(Name) + "_peak_MiB"] = PeakSinceRestartMiB();
}

// The median of Count full frames, in milliseconds.
template <typename TFrame> double FrameMs(TFrame Frame) {
    constexpr int Count = 21;
    std::vector<double> Times;
    for (int i = 0; i < Count; ++i) {
        const auto Start = std::chrono::steady_clock::now();
        Frame();
        Times.push_back(SecondsSince(Start) * 1000.0);
    }
    std::nth_element(Times.begin(), Times.begin() + Count / 2, Times.end());
    return Times[Count / 2];
}

// The text a paste in another program receives: the clipboard's plain text as UTF-8.
size_t PasteBytes() {
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    return Data ? static_cast<size_t>(Data->data(QStringLiteral("text/plain")).size()) : 0;
}

void BM_Grid(benchmark::State& State) {
    const int Rows = static_cast<int>(State.range(0));
    EnsureBenchApplication("GridTenMillionRowsBench");
    for (auto _ : State) {
        TBenchShownGrid Shown("GridTenMillionRowsBench", 800, 600);
        TNextGrid* Grid = Shown.Grid;
        Grid->GetColumns()->Add<TNxTextColumn>(u"Name");
        Grid->GetColumns()->Add<TNxTextColumn>(u"Status");
        Grid->GetColumns()->Add<TNxNumberColumn>(u"Amount");
        Grid->GetColumns()->Add<TNxNumberColumn>(u"Count");
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect});
        Shown.Show();
        Application->ProcessMessages();
        // Making the rows alone, so that populate's time can be read as the grid's share and
        // the maker's.
        Measure(State, "make_rows", [&] {
            TRowMaker Maker;
            size_t Characters = 0;
            for (int r = 0; r < Rows; ++r) {
                Maker.Next();
                Characters += Maker.Name.size();
            }
            benchmark::DoNotOptimize(Characters);
        });
        const double Empty = ResidentMiB();
        RestartPeakMemory();
        Measure(State, "populate", [&] {
            TRowMaker Maker;
            Grid->BeginUpdate();
            const auto Adding = std::chrono::steady_clock::now();
            Grid->AddRow(Rows);
            // The empty rows alone, before any value: the memory a populate makes resident.
            State.counters["populate_add_rows_s"] = SecondsSince(Adding);
            for (int r = 0; r < Rows; ++r) {
                Maker.Next();
                Grid->GetCell(0, r)->SetAsString(Maker.Name);
                Grid->GetCell(1, r)->SetAsString(kStatuses[Maker.Status]);
                Grid->GetCell(2, r)->SetAsFloat(Maker.Amount);
                Grid->GetCell(3, r)->SetAsFloat(Maker.Count);
            }
            Grid->EndUpdate();
        });
        State.counters["rows_MiB"] = ResidentMiB() - Empty;
        const double PeakBefore = PeakSinceRestartMiB();
        // Selected rows and the current row ride along with the sorts, as a person's would.
        Grid->SetSelectedRow(Rows / 3);
        Measure(State, "sort_text", [&] { Grid->GetColumns()->GetItem(0)->SetSorted(true); });
        Measure(State, "sort_number", [&] { Grid->GetColumns()->GetItem(2)->SetSorted(true); });
        Grid->GetVertScrollBar()->SetPosition(Rows / 2);
        Grid->Update();
        RestartPeakMemory();
        State.counters["frame_ms"] = FrameMs([&] {
            Grid->Invalidate();
            Grid->Update();
        });
        State.counters["peak_before_copy_MiB"] =
            std::max({PeakBefore, State.counters["sort_text_peak_MiB"].value,
                      State.counters["sort_number_peak_MiB"].value, PeakSinceRestartMiB()});
        Measure(State, "copy", [&] {
            Grid->SelectAll();
            Grid->CopyToClipboard();
        });
        size_t Pasted = 0;
        Measure(State, "paste", [&] { Pasted = PasteBytes(); });
        State.counters["paste_MB"] = static_cast<double>(Pasted) / 1e6;
        QGuiApplication::clipboard()->clear();
        Measure(State, "selection_text", [&] { benchmark::DoNotOptimize(Grid->GetSelectionText().size()); });
        if (Grid->GetRowCount() != Rows || Pasted == 0) State.SkipWithError("rows or paste missing");
    }
}
BENCHMARK(BM_Grid)->ArgName("rows")->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kSecond)->Iterations(1);

// The item model's side at 1,000,000 rows: populate behind a sort proxy and a shown table view,
// and a full frame of the view.
void BM_QtItemModel(benchmark::State& State) {
    const int Rows = static_cast<int>(State.range(0));
    EnsureBenchApplication("GridTenMillionRowsBench");
    for (auto _ : State) {
        auto View = std::make_unique<QTableView>();
        auto Proxy = std::make_unique<QSortFilterProxyModel>();
        View->resize(780, 580);
        View->show();
        QApplication::processEvents();
        QStringList Statuses;
        for (const char16_t* Status : kStatuses)
            Statuses << QString::fromUtf16(Status);
        const double Empty = ResidentMiB();
        std::unique_ptr<QStandardItemModel> Model;
        Measure(State, "populate", [&] {
            TRowMaker Maker;
            Model = std::make_unique<QStandardItemModel>(Rows, 4);
            for (int r = 0; r < Rows; ++r) {
                Maker.Next();
                Model->setItem(r, 0,
                               new QStandardItem(QString::fromUtf16(
                                   Maker.Name.data(), static_cast<qsizetype>(Maker.Name.size()))));
                Model->setItem(r, 1, new QStandardItem(Statuses[Maker.Status]));
                auto* Amount = new QStandardItem();
                Amount->setData(Maker.Amount, Qt::DisplayRole);
                Model->setItem(r, 2, Amount);
                auto* Count = new QStandardItem();
                Count->setData(Maker.Count, Qt::DisplayRole);
                Model->setItem(r, 3, Count);
            }
            Proxy->setSourceModel(Model.get());
            View->setModel(Proxy.get());
            QApplication::processEvents();
        });
        State.counters["rows_MiB"] = ResidentMiB() - Empty;
        View->scrollTo(Proxy->index(Rows / 2, 0));
        QApplication::processEvents();
        State.counters["frame_ms"] = FrameMs([&] { View->viewport()->repaint(); });
        View.reset();
        Proxy.reset();
        Model.reset();
    }
}
BENCHMARK(BM_QtItemModel)->ArgName("rows")->Arg(1'000'000)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
