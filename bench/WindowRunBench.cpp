// One 256 MiB marked file decoded through the main window's Run (the grid as job list, a worker
// thread decoding while the window handles its messages) against `quillmar-cli decode` of the same
// file, in the same run. The window's time should stay within 1.1 times the command line's.
// Also: how long the Run command holds its caller with ten 600 MB files listed, and how long after
// a click on Stop in the middle of a 1 GiB file the run has ended (both should stay under 100 ms).

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/batch/BatchFileSystem.h"
#include "app/window/MainForm.h"
#include "controls/NxEdit.h"
#include "decoding/MarkedTextEncoder.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"

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
        while (Form->IsRunning())
            Application->HandleMessage();
        State.PauseTiming();
        if (Form->NextGrid1->GetCells(1, 0) != u"Decoded")
            State.SkipWithError("the window did not decode the file");
        delete Form;
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(fs::file_size(File)));
    State.counters["peak_MiB"] = PeakMemoryMiB();
}

// Sources made up as they are read: any number of bytes of marked-looking text, no disk needed.
class VirtualFileSystem : public BatchFileSystem {
public:
    explicit VirtualFileSystem(uint64_t Size) : FSize(Size) {}
    unsigned DriveType(const std::string&) override { return DRIVE_FIXED; }
    std::unique_ptr<BatchInput> OpenRead(const std::string&, int& Error) override {
        Error = 0;
        return std::make_unique<Input>(FSize);
    }

private:
    class Input : public BatchInput {
    public:
        explicit Input(uint64_t Size) : FSize(Size) {}
        uint64_t Size() override { return FSize; }
        int Error() const override { return 0; }
        bool Permissions(unsigned& Mode, int&) override {
            Mode = 0600;
            return true;
        }
        size_t Read(uint8_t* Buffer, size_t Capacity) override {
            const size_t N = static_cast<size_t>(std::min<uint64_t>(Capacity, FSize - FGiven));
            for (size_t i = 0; i < N; ++i)
                Buffer[i] = static_cast<uint8_t>((FGiven + i) % 130 == 0 ? '*' : 'a' + (FGiven + i) % 26);
            FGiven += N;
            return N;
        }

    private:
        uint64_t FSize;
        uint64_t FGiven = 0;
    };
    uint64_t FSize;
};

// A window with Count virtual sources listed and the key typed; the run's outputs go to Out.
TMain_form* VirtualWindow(VirtualFileSystem& Files, int Count, const fs::path& Out) {
    auto* Form = new TMain_form(nullptr);
    Form->AfterConstruction();
    Form->Show();
    Form->RunFileSystem = &Files;
    Form->FolderChosen = true;
    Form->OutputFolder = Out.string();
    std::vector<WideString> Paths;
    for (int i = 0; i < Count; ++i)
        Paths.push_back(Utf8ToWide((Out / ("virtual" + std::to_string(i) + ".txt")).string()));
    Form->AddSourceFiles(Paths);
    Form->Edit1->SetText(Utf8ToWide(kKey));
    return Form;
}

void StopAndWait(TMain_form* Form) {
    Form->stop_butClick(nullptr);
    while (Form->IsRunning())
        Application->HandleMessage();
}

// The time the Run command takes before it hands the window back, ten 600 MB files listed.
void BM_RunCommandReturns(benchmark::State& State) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    VirtualFileSystem Files(600ull << 20);
    for (auto _ : State) {
        State.PauseTiming();
        TMain_form* Form = VirtualWindow(Files, 10, FreshOutput("run-returns"));
        State.ResumeTiming();
        Form->decript_butClick(nullptr);
        State.PauseTiming();
        if (!Form->IsRunning()) State.SkipWithError("the run was not going on after Run returned");
        StopAndWait(Form);
        delete Form;
        State.ResumeTiming();
    }
}

// From a click on Stop in the middle of a 1 GiB file until the run has ended and its partial file
// is gone.
void BM_StopDuringAGigabyteFile(benchmark::State& State) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    VirtualFileSystem Files(1ull << 30);
    for (auto _ : State) {
        State.PauseTiming();
        fs::path Out = FreshOutput("stop-latency");
        TMain_form* Form = VirtualWindow(Files, 1, Out);
        Form->decript_butClick(nullptr);
        // Into the file: some progress shown.
        while (Form->NextGrid1->GetCell(2, 0)->GetAsFloat() < 5)
            Application->HandleMessage();
        State.ResumeTiming();
        StopAndWait(Form);
        State.PauseTiming();
        if (!fs::is_empty(Out)) State.SkipWithError("a partial file was left");
        delete Form;
        State.ResumeTiming();
    }
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

BENCHMARK(BM_RunCommandReturns)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_StopDuringAGigabyteFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
// Alternating, so that both see the same state of the machine.
BENCHMARK(BM_CliDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WindowRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CliDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WindowRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
