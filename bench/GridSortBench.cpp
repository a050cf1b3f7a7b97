// Sorting, searching and footer sums over 1,000,000 grid rows, against a sort proxy over an item
// model holding the same data, measured in the same run. Peak memory is the process's, so the
// grid's figures are taken first, before the item model grows it.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <memory>
#include <random>
#include <vector>

#include "grid/model/Cells.h"
#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "grid/model/FooterFormula.h"
#include "grid/model/GridHost.h"
#include "grid/model/GridSearch.h"
#include "platform/runtime/SysUtils.h"

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

void ReportPeakMemory(benchmark::State& State) {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    State.counters["peak_MiB"] = static_cast<double>(Usage.ru_maxrss) / 1024.0;
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

// Just enough grid for the model: a text, a number and an original-order column.
class TBenchGrid : public TNxGridHost {
public:
    TBenchGrid() {
        Columns = std::make_unique<TNxColumns>(this);
        Cells = std::make_unique<TCells>(this, Columns.get());
        Columns->OnColumnsChange = [this](TObject*, TColumnsOperation Op, int V1, int V2) {
            Cells->ColumnsChange(Op, V1, V2);
        };
        Columns->Add<TTextColumn>(u"Name");
        Columns->Add<TNumberColumn>(u"Amount");
        Columns->Add<TIntegerColumn>(u"Origin");
        Cells->AddRow(kRows);
        const TSortData& D = Data();
        for (int r = 0; r < kRows; ++r) {
            Cells->GetCell(kTextCol, r)->SetAsString(D.Texts[static_cast<size_t>(r)]);
            Cells->GetCell(kNumberCol, r)->SetAsFloat(D.Numbers[static_cast<size_t>(r)]);
            Cells->GetCell(kOriginCol, r)->SetAsInteger(r);
        }
    }
    ~TBenchGrid() override {
        Destroying = true;
        Cells.reset();
        Columns.reset();
    }
    // Back to the order the rows were added in (untimed between runs).
    void Restore() { Cells->SortColumn(kOriginCol, stNumeric, skAscending, true); }

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

TBenchGrid& Grid() {
    static TBenchGrid Instance;
    return Instance;
}

void GridSort(benchmark::State& State, int ACol, TSortType Type) {
    TBenchGrid& G = Grid();
    for (auto _ : State) {
        State.PauseTiming();
        G.Restore();
        State.ResumeTiming();
        G.Cells->SortColumn(ACol, Type, skAscending, false);
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

// A header click on the sorted column of unchanged data: the rows turn round.
void BM_GridReverse(benchmark::State& State) {
    TBenchGrid& G = Grid();
    G.Cells->SortColumn(kTextCol, stAlphabetic, skAscending, false);
    TSortKind Kind = skAscending;
    for (auto _ : State) {
        Kind = Kind == skAscending ? skDescending : skAscending;
        G.Cells->SortColumn(kTextCol, stAlphabetic, Kind, false);
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridReverse)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GridFooterSum(benchmark::State& State) {
    TBenchGrid& G = Grid();
    G.Restore();
    G.Columns->GetItem(kNumberCol)->GetFooter()->SetFormulaKind(fkSum);
    TObject Sender;
    for (auto _ : State)
        FooterFormula::CalculateFooters(&Sender, *G.Cells, *G.Columns, false, nullptr, nullptr);
    G.Columns->GetItem(kNumberCol)->GetFooter()->SetFormulaKind(fkNone);
    ReportPeakMemory(State);
}
BENCHMARK(BM_GridFooterSum)->Unit(benchmark::kMillisecond)->Iterations(10);

// Incremental search for a name only the last row has, from the first row on.
void BM_GridIncrementalSearchLastRow(benchmark::State& State) {
    TBenchGrid& G = Grid();
    G.Restore();
    G.Cells->GetCell(kTextCol, kRows - 1)->SetAsString(u"/home/user/batches/zz-last.txt");
    const WideString Wanted = u"/HOME/USER/BATCHES/ZZ";
    int Found = -1;
    for (auto _ : State) {
        Found = GridSearch::SearchNextRow(*G.Cells, kTextCol, Wanted, false, 0);
        benchmark::DoNotOptimize(Found);
    }
    if (Found != kRows - 1) State.SkipWithError("the last row was not found");
    G.Cells->GetCell(kTextCol, kRows - 1)->SetAsString(Data().Texts.back());
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
