// Painting the job list: one full frame of an 800 x 600 grid with three text columns and a
// progress column over 1,000,000 rows scrolled to the middle, and the repaint after scrolling by
// one row. The baseline, measured in the same run, is the same frame with every cell empty, so
// the difference is what drawing the cells' texts and bars costs. The bar is 4 ms per frame.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <cstdlib>
#include <memory>

#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayProgress.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/NextGrid.h"
#include "platform/graphics/Canvas.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kRows = 1'000'000;

template <typename Kind, typename Display> class TWithDisplay : public Kind {
public:
    explicit TWithDisplay(TObject* AOwner = nullptr) : Kind(AOwner) {}
    std::unique_ptr<TObject> CreateColumnDisplay() override { return std::make_unique<Display>(this); }
};

// An 800 x 600 grid in the job list's 8-point font on a form of its own; columns are the caller's.
struct TPaintedGrid {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid;

    TPaintedGrid() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 840, 640);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 800, 600);
        Grid->GetFont()->SetName("DejaVu Sans");
        Grid->GetFont()->SetHeight(-11);
    }
};

// The main window's job list: Office 2010 headers, the progress column's settings.
struct JobList : TPaintedGrid {
    explicit JobList(bool WithValues) {
        Grid->SetHeaderStyle(hsOffice2010);
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow});
        using TText = TWithDisplay<TNxTextColumn, TTextColumnDisplay>;
        using TProgress = TWithDisplay<TNxProgressColumn, TProgressColumnDisplay>;
        Grid->GetColumns()->Add<TText>(u"Source files")->SetWidth(300);
        auto* Status = Grid->GetColumns()->Add<TText>(u"Status");
        Status->SetWidth(90);
        Status->SetAlignment(taCenter);
        auto* Progress = Grid->GetColumns()->Add<TProgress>(u"Progress");
        Progress->SetWidth(110);
        Progress->SetMargin(0);
        Progress->SetBorderColor(clWhite);
        Progress->SetLowValueColor(clBlack);
        Progress->SetProgressStyle(TProgressStyle::psGradient);
        Progress->SetShowText(true);
        Progress->SetTextPosition(TProgressTextPosition::tpInside);
        Progress->SetAlignment(taCenter);
        Grid->GetColumns()->Add<TText>(u"Decoded files")->SetWidth(280);
        Grid->BeginUpdate();
        Grid->AddRow(kRows);
        if (WithValues)
            for (int R = 0; R < kRows; ++R) {
                Grid->GetCell(0, R)->SetAsString(u"/home/user/documents/batch/source-file-number.txt");
                Grid->GetCell(1, R)->SetAsString(R % 3 ? u"Decoded" : u"Decoding");
                Grid->GetCell(2, R)->SetAsFloat(R % 101);
                Grid->GetCell(3, R)->SetAsString(u"/home/user/documents/batch/Decript/source-file(dec1).txt");
            }
        Grid->EndUpdate();
        Form->Show();
        for (int I = 0; I < 5; ++I)
            Application->ProcessMessages();
        Grid->GetVertScrollBar()->SetPosition(kRows / 2);
        Grid->Update();
    }
    void FullFrame() {
        Grid->Invalidate();
        Grid->Update();
    }
};

JobList& Filled() {
    static JobList List(true);
    return List;
}
JobList& Empty() {
    static JobList List(false);
    return List;
}

void BM_FullFrame_EmptyCells_Baseline(benchmark::State& State) {
    JobList& List = Empty();
    for (auto _ : State)
        List.FullFrame();
    ReportPeakMemory(State);
}
BENCHMARK(BM_FullFrame_EmptyCells_Baseline)->Unit(benchmark::kMillisecond);

void BM_FullFrame(benchmark::State& State) {
    JobList& List = Filled();
    for (auto _ : State)
        List.FullFrame();
    ReportPeakMemory(State);
}
BENCHMARK(BM_FullFrame)->Unit(benchmark::kMillisecond);

// Down one row and back up, each shifting the window and repainting the uncovered row.
void BM_OneRowScroll(benchmark::State& State) {
    JobList& List = Filled();
    TNxScrollBar* Bar = List.Grid->GetVertScrollBar();
    bool Down = true;
    for (auto _ : State) {
        Bar->SetPosition(Bar->GetPosition() + (Down ? 1 : -1));
        List.Grid->Update();
        Down = !Down;
    }
    ReportPeakMemory(State);
}
BENCHMARK(BM_OneRowScroll)->Unit(benchmark::kMicrosecond);

// A job list of a screenful of rows where one cell of a 100-px column holds 1,000,000 characters:
// its first paint must not freeze the window. The bar is 50 ms per frame; the baseline is the
// same grid with an ordinary text in that cell, in the same run.
struct LongCell : TPaintedGrid {
    explicit LongCell(size_t Length) {
        using TText = TWithDisplay<TNxTextColumn, TTextColumnDisplay>;
        for (int C = 0; C < 4; ++C)
            Grid->GetColumns()->Add<TText>(u"Column")->SetWidth(100);
        Grid->AddRow(36);
        WideString Text;
        for (size_t I = 0; Text.size() < Length; ++I)
            Text += I % 9 ? char16_t(u'a' + I % 26) : u' ';
        Grid->GetCell(1, 3)->SetAsString(Text);
        Form->Show();
        for (int I = 0; I < 5; ++I)
            Application->ProcessMessages();
    }
    void FullFrame() {
        Grid->Invalidate();
        Grid->Update();
    }
};

void LongCellFrame(benchmark::State& State, size_t Length) {
    LongCell Grid(Length);
    for (auto _ : State) {
        ClearTextLayoutCache(); // every frame as the first one after loading
        Grid.FullFrame();
    }
    ReportPeakMemory(State);
}

void BM_LongCellFrame_Baseline_ShortText(benchmark::State& State) {
    LongCellFrame(State, 30);
}
BENCHMARK(BM_LongCellFrame_Baseline_ShortText)->Unit(benchmark::kMillisecond);

void BM_LongCellFrame_MillionCharacters(benchmark::State& State) {
    LongCellFrame(State, 1'000'000);
}
BENCHMARK(BM_LongCellFrame_MillionCharacters)->Unit(benchmark::kMillisecond);

} // namespace
