// Saving 1,000,000 rows x 4 columns of a grid to a delimited text file and loading them back,
// against writing and reading the same bytes with a plain buffered loop in the same run.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 4;

void Report(benchmark::State& State, int64_t Bytes) {
    ReportPeakMemory(State);
    State.SetBytesProcessed(State.iterations() * Bytes);
}

class TTextColumn : public TNxCustomColumn {
public:
    explicit TTextColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {}
};

// A job list as the window fills it: source, status, progress, decoded path.
AnsiString CellText(int Col, int Row) {
    const std::string n = std::to_string(Row);
    switch (Col) {
    case 0:
        return "/home/user/batches/report-" + n + ".txt";
    case 1:
        return Row % 3 ? "Decoded" : "Decoding";
    case 2:
        return std::to_string(Row % 101);
    default:
        return "/home/user/batches/Decript/report-" + n + "(dec1).txt";
    }
}

std::string FilePath(const char* Name) {
    const char* Dir = std::getenv("TMPDIR");
    return std::string(Dir && *Dir ? Dir : "/tmp") + "/quillmar-export-bench-" + std::to_string(getpid()) +
           Name;
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
    // The baseline's own copy of the cells.
    std::vector<std::string> Cells;
    std::string GridFile = FilePath("-grid.txt");
    std::string PlainFile = FilePath("-plain.txt");

    TBench() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 800, 600);
        for (int c = 0; c < kCols; ++c)
            Grid->GetColumns()->Add<TTextColumn>(u"C" + IntToStr(c));
        Grid->BeginUpdate();
        Grid->AddRow(kRows);
        Cells.reserve(static_cast<size_t>(kRows) * kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                Cells.push_back(CellText(c, r));
                Grid->SetCells(c, r, AnsiToWide(Cells.back()));
            }
        Grid->EndUpdate();
    }
    ~TBench() {
        std::remove(GridFile.c_str());
        std::remove(PlainFile.c_str());
    }
};

std::unique_ptr<TBench> Bench;
TBench& Get() {
    if (!Bench) Bench = std::make_unique<TBench>();
    return *Bench;
}

std::string FileBytes(const std::string& Path) {
    std::string Bytes;
    if (FILE* F = std::fopen(Path.c_str(), "rb")) {
        char Chunk[65536];
        for (size_t n; (n = std::fread(Chunk, 1, sizeof Chunk, F)) > 0;)
            Bytes.append(Chunk, n);
        std::fclose(F);
    }
    return Bytes;
}

int64_t FileSize(const std::string& Path) {
    FILE* F = std::fopen(Path.c_str(), "rb");
    if (!F) return 0;
    std::fseek(F, 0, SEEK_END);
    int64_t Size = std::ftell(F);
    std::fclose(F);
    return Size;
}

void BM_GridSaveToTextFile(benchmark::State& State) {
    TBench& B = Get();
    const WideString Name = Utf8ToWide(B.GridFile);
    for (auto _ : State)
        B.Grid->SaveToTextFile(Name, u';', u'|', ekAnsi);
    Report(State, FileSize(B.GridFile));
}
BENCHMARK(BM_GridSaveToTextFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same bytes from the baseline's cells, through a buffered file.
void BM_PlainWrite(benchmark::State& State) {
    TBench& B = Get();
    for (auto _ : State) {
        FILE* F = std::fopen(B.PlainFile.c_str(), "wb");
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                const std::string& Cell = B.Cells[static_cast<size_t>(r) * kCols + c];
                std::fwrite(Cell.data(), 1, Cell.size(), F);
                if (c < kCols - 1) std::fputc(';', F);
            }
            std::fputs("\r\n", F);
        }
        std::fclose(F);
    }
    // A fair baseline writes exactly what the grid wrote.
    B.Grid->SaveToTextFile(Utf8ToWide(B.GridFile), u';', u'|', ekAnsi);
    if (FileBytes(B.PlainFile) != FileBytes(B.GridFile))
        State.SkipWithError("the plain loop wrote other bytes");
    Report(State, FileSize(B.PlainFile));
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GridLoadFromTextFile(benchmark::State& State) {
    TBench& B = Get();
    const WideString Name = Utf8ToWide(B.GridFile);
    B.Grid->SaveToTextFile(Name, u';', u'|', ekAnsi);
    for (auto _ : State)
        B.Grid->LoadFromTextFile(Name, u';', u'|');
    if (B.Grid->GetRowCount() != kRows ||
        B.Grid->GetCells(3, kRows - 1) != AnsiToWide(CellText(3, kRows - 1)))
        State.SkipWithError("the grid did not read back what it wrote");
    Report(State, FileSize(B.GridFile));
}
BENCHMARK(BM_GridLoadFromTextFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reads the same file through a buffered stream, splitting fields into strings that it keeps.
void BM_PlainRead(benchmark::State& State) {
    TBench& B = Get();
    for (auto _ : State) {
        std::vector<std::string> Fields;
        Fields.reserve(static_cast<size_t>(kRows) * kCols);
        FILE* F = std::fopen(B.GridFile.c_str(), "rb");
        std::string Field;
        for (int Ch = getc_unlocked(F); Ch != EOF; Ch = getc_unlocked(F)) {
            if (Ch == ';' || Ch == '\n') {
                Fields.push_back(Field);
                Field.clear();
            } else if (Ch != '\r') {
                Field += static_cast<char>(Ch);
            }
        }
        std::fclose(F);
        benchmark::DoNotOptimize(Fields.data());
        // As many fields as the grid has cells, the last one as the grid holds it.
        if (Fields.size() != static_cast<size_t>(kRows) * kCols || Fields.back() != B.Cells.back())
            State.SkipWithError("the plain loop read other fields");
    }
    Report(State, FileSize(B.GridFile));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Bench.reset();
    benchmark::Shutdown();
    // The platform's application object is a static the window system's statics may precede in
    // teardown; the results are out, so leave without static destructors.
    std::fflush(nullptr);
    std::_Exit(0);
}
