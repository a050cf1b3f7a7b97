// One 256 MiB marked file decoded through the main window's Run (the grid as job list, the window
// handling its messages between pieces of work) against `quillmar-cli decode` of the same file, in
// the same run. The window's time should stay within 1.1 times the command line's.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/window/MainForm.h"
#include "controls/NxEdit.h"
#include "decoding/MarkedTextEncoder.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kKey = "benchmark key 0123";

// The source, made once: text with marked regions, as the encoder writes them.
const fs::path& Source() {
    static fs::path Path = [] {
        fs::path Folder = fs::path(QUILLMAR_BINARY_DIR) / "bench-work" / "window-run";
        fs::create_directories(Folder);
        fs::path File = Folder / "big.txt";
        if (!fs::exists(File) || fs::file_size(File) < (256u << 20)) {
            std::mt19937 Random(7);
            std::string Plain(1 << 20, ' ');
            for (char& C : Plain)
                C = static_cast<char>('a' + Random() % 26);
            std::string Block =
                EncodeMarkedText(Plain, PrepareEncriptMatrix(kKey)).Text + "\nplain line between regions\n";
            std::ofstream Out(File, std::ios::binary);
            for (size_t Written = 0; Written < (256u << 20); Written += Block.size())
                Out << Block;
        }
        return File;
    }();
    return Path;
}

fs::path FreshOutput(const char* Name) {
    fs::path Out = fs::path(QUILLMAR_BINARY_DIR) / "bench-work" / Name;
    fs::remove_all(Out);
    fs::create_directories(Out);
    return Out;
}

void BM_WindowRun(benchmark::State& State) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    const fs::path& File = Source();
    for (auto _ : State) {
        State.PauseTiming();
        fs::path Out = FreshOutput("window-out");
        auto* Form = new TMain_form(nullptr);
        Form->AfterConstruction();
        Form->Show();
        Form->FolderChosen = true;
        Form->OutputFolder = Out.string();
        Form->AddSourceFiles({Utf8ToWide(File.string())});
        Form->Edit1->SetText(Utf8ToWide(kKey));
        State.ResumeTiming();
        Form->decript_butClick(nullptr);
        State.PauseTiming();
        if (Form->NextGrid1->GetCells(1, 0) != u"Decoded")
            State.SkipWithError("the window did not decode the file");
        delete Form;
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(fs::file_size(File)));
    State.counters["peak_MiB"] = PeakMemoryMiB();
}

void BM_CliDecode(benchmark::State& State) {
    const fs::path& File = Source();
    for (auto _ : State) {
        State.PauseTiming();
        fs::path Out = FreshOutput("cli-out");
        std::string Command = std::string("QUILLMAR_KEY='") + kKey + "' " + QUILLMAR_CLI +
                              " decode --output-dir '" + Out.string() + "' '" + File.string() +
                              "' > /dev/null";
        State.ResumeTiming();
        if (std::system(Command.c_str()) != 0) State.SkipWithError("quillmar-cli failed");
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(fs::file_size(File)));
}

} // namespace

// Alternating, so that both see the same state of the machine.
BENCHMARK(BM_CliDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WindowRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CliDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WindowRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
