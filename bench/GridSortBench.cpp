// Sorting, searching and footer sums over 1,000,000 rows of a grid, against a sort proxy over an item
// model holding the same data, measured in the same run. Peak memory is the process's, so the
// grid's figures are taken first, before the item model grows it.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <sys/resource.h>

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <memory>
#include <random>
#include <vector>

#include "grid/model/Column.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;
constexpr int kTextCol = 0, kNumberCol = 1, kOriginCol = 2;

// Names as a job list holds them: a shared folder, a varied file name; and numbers in a wide range.
struct TSortData {
    std::vector<WideString> Texts;
    std::vector<double> Numbers;
    TSortData() {
        std::mt19937 Random(2026);
        const char16_t* Words[] = {u"report", u"Invoice", u"scan", u"notes", u"Draft", u"letter", u"backup"};
        Texts.reserve(kRows);
        Numbers.reserve(kRows);
        for (int r = 0; r < kRows; ++r) {
            Texts.push_back(u"/home/user/batches/" + WideString(Words[Random() % 7]) + u"-" +
                            IntToStr(Random() % 1'000'000) + u".txt");
            Numbers.push_back(static_cast<double>(Random() % 10'000'000) / 100.0 - 50'000.0);
        }
    }
};

const TSortData& Data() {
    static const TSortData Instance;
    return Instance;
}

class TTextColumn : public TNxCustomColumn {
public:
    explicit TTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {}
};

class TNumberColumn : public TNxCustomColumn {
public:
    explicit TNumberColumn(TObject* AOwner) : TNxCustomColumn(AOwner) { SetColumnType(ctFloat); }
};

class TIntegerColumn : public TNxCustomColumn {
public:
    explicit TIntegerColumn(TObject* AOwner) : TNxCustomColumn(AOwner) { SetColumnType(ctInteger); }
};

// A shown grid with a text, a number and an original-order column, as a program fills it.
class TBenchGrid {
public:
    TBenchGrid() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int Argc = 1;
        static char Name[] = "GridSortBench";
        static char* Argv[] = {Name, nullptr};
        static QApplication Application(Argc, Argv);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 500, 400);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 480, 380);
        Grid->GetColumns()->Add<TTextColumn>(u"Name");
        Grid->GetColumns()->Add<TNumberColumn>(u"Amount");
        Grid->GetColumns()->Add<TIntegerColumn>(u"Origin");
        Grid->BeginUpdate();
        Grid->AddRow(kRows);
        const TSortData& D = Data();
        for (int r = 0; r < kRows; ++r) {
            Grid->GetCell(kTextCol, r)->SetAsString(D.Texts[static_cast<size_t>(r)]);
            Grid->GetCell(kNumberCol, r)->SetAsFloat(D.Numbers[static_cast<size_t>(r)]);
            Grid->GetCell(kOriginCol, r)->SetAsInteger(r);
        }
        Grid->EndUpdate();
        Form->Show();
        Grid->HandleNeeded();
    }
    // Back to the order the rows were added in (untimed between runs).
    void Restore() { Grid->GetCellStore()->SortColumn(kOriginCol, stNumeric, skAscending, true); }
    TNxCustomColumn* Column(int Index) { return Grid->GetColumns()->GetItem(Index); }

    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
};

TBenchGrid& Bench() {
    static TBenchGrid Instance;
    return Instance;
}

// Each run sorts rows in the order they were added: the column is made sorted, or sorted again.
void GridSort(benchmark::State& State, int ACol, TSortType Type) {
    TBenchGrid& B = Bench();
    B.Column(ACol)->SetSortType(Type);
    for (auto _ : State) {
        State.PauseTiming();
        B.Restore();
        State.ResumeTiming();
        if (B.Column(ACol)->GetSorted())
            B.Column(ACol)->Resort();
        else
            B.Column(ACol)->SetSorted(true);
    }
    State.counters["rows"] = kRows;
    ReportPeakMemory(State);
}

void BM_GridSortText(benchmark::State& State) {
    GridSort(State, kTextCol, stAlphabetic);
}
BENCHMARK(BM_GridSortText)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GridSortNumber(benchmark::State& State) {
    GridSort(State, kNumberCol, stNumeric);
}
BENCHMARK(BM_GridSortNumber)->Unit(benchmark::kMillisecond)->Iterations(5);

// Header clicks on the sorted column of unchanged data: the rows turn round.
void BM_GridReverse(benchmark::State& State) {
    TBenchGrid& B = Bench();
    B.Column(kTextCol)->SetSortKind(skAscending);
    B.Column(kTextCol)->SetSorted(true);
    for (auto _ : State)
        B.Column(kTextCol)->SetSortKind(B.Column(kTextCol)->GetSortKind() == skAscending ? skDescending
                                                                                         : skAscending);
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridReverse)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GridFooterSum(benchmark::State& State) {
    TBenchGrid& B = Bench();
    B.Restore();
    B.Column(kNumberCol)->GetFooter()->SetFormulaKind(fkSum);
    for (auto _ : State)
        B.Grid->CalculateFooter();
    B.Column(kNumberCol)->GetFooter()->SetFormulaKind(fkNone);
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridFooterSum)->Unit(benchmark::kMillisecond)->Iterations(10);

// The search typed keys run, for a name only the last row has, from the first row on.
void BM_GridIncrementalSearchLastRow(benchmark::State& State) {
    TBenchGrid& B = Bench();
    B.Restore();
    B.Grid->GetCell(kTextCol, kRows - 1)->SetAsString(u"/home/user/batches/zz-last.txt");
    const WideString Wanted = u"/HOME/USER/BATCHES/ZZ";
    for (auto _ : State) {
        State.PauseTiming();
        B.Grid->SetSelectedRow(0);
        State.ResumeTiming();
        B.Grid->SearchNext(kTextCol, Wanted, false);
    }
    if (B.Grid->GetSelectedRow() != kRows - 1) State.SkipWithError("the last row was not found");
    B.Grid->GetCell(kTextCol, kRows - 1)->SetAsString(Data().Texts.back());
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridIncrementalSearchLastRow)->Unit(benchmark::kMillisecond)->Iterations(10);

// Baseline: the same rows in an item model, sorted through a sort proxy.
struct TQtModel {
    QStandardItemModel Model{kRows, 2};
    QSortFilterProxyModel Proxy;
    TQtModel() {
        const TSortData& D = Data();
        for (int r = 0; r < kRows; ++r) {
            const WideString& Text = D.Texts[static_cast<size_t>(r)];
            Model.setItem(r, kTextCol,
                          new QStandardItem(QString(reinterpret_cast<const QChar*>(Text.data()),
                                                    static_cast<qsizetype>(Text.size()))));
            auto* Number = new QStandardItem;
            Number->setData(D.Numbers[static_cast<size_t>(r)], Qt::DisplayRole);
            Model.setItem(r, kNumberCol, Number);
        }
        Proxy.setSourceModel(&Model);
    }
};

TQtModel& QtModel() {
    static TQtModel Instance;
    return Instance;
}

void QtSort(benchmark::State& State, int Column) {
    TQtModel& Q = QtModel();
    for (auto _ : State) {
        State.PauseTiming();
        Q.Proxy.sort(-1);
        State.ResumeTiming();
        Q.Proxy.sort(Column, Qt::AscendingOrder);
    }
    State.counters["rows"] = kRows;
    ReportPeakMemory(State);
}

void BM_QtProxySortText(benchmark::State& State) {
    QtSort(State, kTextCol);
}
BENCHMARK(BM_QtProxySortText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QtProxySortNumber(benchmark::State& State) {
    QtSort(State, kNumberCol);
}
BENCHMARK(BM_QtProxySortNumber)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QtProxyReverse(benchmark::State& State) {
    TQtModel& Q = QtModel();
    Q.Proxy.sort(kTextCol, Qt::AscendingOrder);
    Qt::SortOrder Order = Qt::AscendingOrder;
    for (auto _ : State) {
        Order = Order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        Q.Proxy.sort(kTextCol, Order);
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_QtProxyReverse)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
