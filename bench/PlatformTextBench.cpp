// The platform's DrawText as a grid frame calls it: single-line cell texts with vertical centring
// and an end ellipsis, and a header caption, on an 800 x 600 image. The baseline is the same calls
// with the text layout cache off, in the same run. Each case also reports the peak resident memory.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char arg0[] = "PlatformTextBench";
    static char* argv[] = {arg0, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
    return app;
}

// One visible screen of a 4-column job list: 36 rows of path, status, percentage and output path.
std::vector<std::u16string> Cells() {
    std::vector<std::u16string> cells;
    for (int row = 0; row < 36; ++row) {
        std::u16string n(1, char16_t(u'0' + row % 10));
        cells.push_back(u"/home/user/documents/batch/source file " + n + u".txt");
        cells.push_back(row % 3 ? u"Decoded" : u"Decoding");
        cells.push_back(n + u"0%");
        cells.push_back(u"/home/user/documents/batch/Decript/source file " + n + u"(dec1).txt");
    }
    return cells;
}

void DrawFrame(TCanvas& canvas, const std::vector<std::u16string>& cells) {
    static const int widths[4] = {250, 120, 100, 300};
    for (size_t i = 0; i < cells.size(); ++i) {
        int col = int(i % 4), row = int(i / 4);
        int left = 0;
        for (int c = 0; c < col; ++c)
            left += widths[c];
        TRect r{left + 2, 20 + row * 16, left + widths[col] - 2, 36 + row * 16};
        canvas.DrawText(cells[i], r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

void Frame(benchmark::State& state, bool cached) {
    App();
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(800, 600);
    TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetFont()->SetName("DejaVu Sans");
    canvas->GetFont()->SetHeight(-11);
    canvas->GetBrush()->SetStyle(bsClear);
    const std::vector<std::u16string> cells = Cells();
    SetTextLayoutCaching(cached);
    for (auto _ : state) {
        if (!cached) ClearTextLayoutCache();
        DrawFrame(*canvas, cells);
        benchmark::ClobberMemory();
    }
    SetTextLayoutCaching(true);
    state.counters["calls"] = double(cells.size());
    // CPU seconds per DrawText call.
    state.counters["per_call"] =
        benchmark::Counter(double(cells.size()) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MiB"] = PeakMemoryMiB();
}

void BM_FrameOfCellTexts_Baseline_NoCache(benchmark::State& state) {
    Frame(state, false);
}
void BM_FrameOfCellTexts_Cached(benchmark::State& state) {
    Frame(state, true);
}

BENCHMARK(BM_FrameOfCellTexts_Baseline_NoCache)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOfCellTexts_Cached)->Unit(benchmark::kMillisecond);

} // namespace
