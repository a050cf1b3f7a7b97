#include "app/batch/BatchRun.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/ScopedChange.h"

namespace {

std::string ErrnoText(int error) {
    return error != 0 ? " (" + FileErrorText(error) + ")" : std::string();
}

// Writes the row's progress only when the shown whole percentage changes, but always the final value.
class RowProgress : public ProgressSink {
public:
    RowProgress(JobList& jobs, int row) : jobs_(jobs), row_(row) {}

    void Report(double percent) override { Write(percent); }

    void ReportBytes(uint64_t first, uint64_t last, uint64_t size) override {
        if (last <= first) return;
        const double percent = Percent(last - 1, size);
        if (std::floor(percent) != shown_) Write(percent);
    }

private:
    void Write(double percent) {
        jobs_.SetProgressFloat(row_, percent);
        shown_ = std::floor(percent);
    }

    JobList& jobs_;
    int row_;
    double shown_ = 0; // the run has just written 0
};

// A source that lets the window breathe between reads and ends early when a stop is requested.
class PumpingSource : public ByteSource {
public:
    PumpingSource(ByteSource& inner, std::function<bool()> pumpAndCheckStop)
        : inner_(inner), pump_(std::move(pumpAndCheckStop)) {}
    size_t Read(uint8_t* buffer, size_t capacity) override {
        if (pump_()) {
            stopped_ = true;
            return 0;
        }
        return inner_.Read(buffer, capacity);
    }
    bool Stopped() const { return stopped_; }

private:
    ByteSource& inner_;
    std::function<bool()> pump_;
    bool stopped_ = false;
};

// A failed write ends the file's decoding at once instead of reading the rest of the source.
class UntilWriteFails : public ByteSource {
public:
    UntilWriteFails(ByteSource& inner, const BatchOutput& output) : inner_(inner), output_(output) {}
    size_t Read(uint8_t* buffer, size_t capacity) override {
        return output_.Error() != 0 ? 0 : inner_.Read(buffer, capacity);
    }

private:
    ByteSource& inner_;
    const BatchOutput& output_;
};

// Output is discarded after a stop; a sink in front of the file keeps the decoder from writing on.
class GuardedSink : public ByteSink {
public:
    GuardedSink(ByteSink& inner, const bool& stopped) : inner_(inner), stopped_(stopped) {}
    void Write(const uint8_t* data, size_t size) override {
        if (!stopped_) inner_.Write(data, size);
    }

private:
    ByteSink& inner_;
    const bool& stopped_;
};

// Run and Stop swap back however the run ends, an exception included.
class RunningScope {
public:
    explicit RunningScope(const BatchHooks& hooks) : hooks_(hooks) {
        if (hooks_.SetRunning) hooks_.SetRunning(true);
    }
    ~RunningScope() {
        if (hooks_.SetRunning) hooks_.SetRunning(false);
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    const BatchHooks& hooks_;
};

} // namespace

BatchRun::BatchRun(JobList& jobs, BatchReporter& reporter, BatchFileSystem& fileSystem)
    : jobs_(jobs), reporter_(reporter), fs_(fileSystem) {}

std::string BatchRun::OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings) {
    if (settings.FolderChosen) return settings.OutputFolder;
    return ExtractFilePath(sourcePath) + "Decript";
}

std::string BatchRun::OutputName(const std::string& folder, const std::string& baseName, uint64_t n) {
    // An empty folder means the current one, never the root.
    std::string name = folder;
    if (!name.empty() && name.back() != '/') name += '/';
    return name + baseName + "(dec" + std::to_string(n) + ").txt";
}

// Returns true when a stop has been requested.
bool BatchRun::PumpIfDue(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastPump_ < hooks_->PumpInterval) return false;
    if (hooks_->Pump) hooks_->Pump();
    lastPump_ = std::chrono::steady_clock::now();
    if (hooks_->StopRequested && hooks_->StopRequested->load()) stopped_ = true;
    return stopped_;
}

void BatchRun::Fail(int row, const std::string& reason) {
    jobs_.SetStatus(row, u"Failed: " + Utf8ToWide(reason));
    if (hooks_->OnRowFailed) hooks_->OnRowFailed(row, reason);
}

BatchRun::~BatchRun() = default;

bool BatchRun::AllOnFixedDisks() {
    // Reading the mount table is the costly part: one query per folder, not per file.
    std::unordered_map<std::string, unsigned> folderTypes;
    for (int r = 0; r < jobs_.GetRowCount(); ++r) {
        const std::string source = WideToUtf8(jobs_.GetSourcePath(r));
        const auto [it, added] = folderTypes.try_emplace(ExtractFilePath(source), 0u);
        if (added) it->second = fs_.DriveType(source);
        if (it->second != DRIVE_FIXED) return false;
    }
    return true;
}

BatchResult BatchRun::Run(const BatchSettings& settings, const BatchHooks& hooks) {
    const TScopedChange<const BatchHooks*> hooksScope(hooks_, &hooks);
    stopped_ = false;
    BatchResult result;

    const std::string_view key = TrimKey(settings.Key);
    if (key.size() < kKeyLength) {
        reporter_.ShowMessage(kMessageKeyNotCorrect, kCaptionError);
        result.Outcome = BatchOutcome::KeyRejected;
        return result;
    }
    if (!settings.FolderChosen && !AllOnFixedDisks()) {
        reporter_.ShowMessage(kMessageUploadFolderNotCorrect, kCaptionError);
        result.Outcome = BatchOutcome::DriveRejected;
        return result;
    }
    matrix_ = PrepareEncriptMatrix(key);
    // One decoder for the whole run: its prepared matrix and buffers serve every row.
    decoder_ = std::make_unique<MarkedTextFileDecoder>(matrix_, hooks.ReadChunk);

    const RunningScope running(hooks);
    if (hooks.StopRequested) hooks.StopRequested->store(false);
    PumpIfDue(true);

    for (int r = 0; r < jobs_.GetRowCount() && !stopped_; ++r) {
        if (PumpIfDue(false)) break;
        switch (DecodeRow(r, settings)) {
        case RowResult::Decoded:
            ++result.Decoded;
            if (hooks.OnRowDecoded) hooks.OnRowDecoded(r);
            break;
        case RowResult::Failed:
            ++result.Failed;
            break;
        case RowResult::Stopped:
            break;
        }
    }

    result.Outcome = stopped_ ? BatchOutcome::Stopped : BatchOutcome::Finished;
    return result;
}

BatchRun::RowResult BatchRun::DecodeRow(int row, const BatchSettings& settings) {
    const std::string source = WideToUtf8(jobs_.GetSourcePath(row));
    const WideString oldStatus = jobs_.GetStatus(row);
    const double oldProgress = jobs_.GetProgress(row);
    const WideString oldDecoded = jobs_.GetDecodedPath(row);

    int error = 0;
    std::unique_ptr<BatchInput> input = fs_.OpenRead(source, error);
    if (!input) {
        // Ctrl-C that interrupted the open is a stop, not a failure of this row.
        if (error == EINTR && PumpIfDue(true)) return RowResult::Stopped;
        Fail(row, "cannot open the source" + ErrnoText(error));
        return RowResult::Failed;
    }
    jobs_.SetStatus(row, kStatusDecoding);
    jobs_.SetProgressInteger(row, 0);
    const uint64_t size = input->Size();

    const std::string folder = OutputFolderFor(source, settings);
    if (!settings.FolderChosen && !fs_.DirectoryExists(folder) && !fs_.CreateDir(folder) &&
        !fs_.DirectoryExists(folder)) {
        Fail(row, "cannot create the folder " + folder);
        return RowResult::Failed;
    }
    const std::string base = ExtractFileBaseName(source);

    // The first free number; a name that appears between the test and the creation is never
    // replaced, the next number is tried instead.
    std::string outputName;
    std::unique_ptr<BatchOutput> output;
    constexpr uint64_t kMaxNumber = 1000000;
    for (uint64_t n = 1; n <= kMaxNumber && !output; ++n) {
        outputName = OutputName(folder, base, n);
        if (fs_.FileExists(outputName)) continue;
        bool exists = false;
        output = fs_.CreateNew(outputName, exists, error);
        if (!output && !exists) {
            Fail(row, "cannot create " + outputName + ErrnoText(error));
            return RowResult::Failed;
        }
    }
    if (!output) {
        Fail(row, "no free output name in " + folder);
        return RowResult::Failed;
    }

    UntilWriteFails untilWriteFails(*input, *output);
    PumpingSource pumping(untilWriteFails, [this] { return PumpIfDue(false); });
    GuardedSink guarded(*output, stopped_);
    RowProgress progress(jobs_, row);
    {
        // Progress is not written once a stop has been seen; the row gets its old values back.
        struct StopAwareProgress : ProgressSink {
            ProgressSink& inner;
            const bool& stopped;
            StopAwareProgress(ProgressSink& i, const bool& s) : inner(i), stopped(s) {}
            void Report(double p) override {
                if (!stopped) inner.Report(p);
            }
            void ReportBytes(uint64_t f, uint64_t l, uint64_t s) override {
                if (!stopped) inner.ReportBytes(f, l, s);
            }
        } stopAware(progress, stopped_);
        decoder_->Decode(pumping, guarded, size, stopAware);
    }

    const bool closed = output->Close();
    if (pumping.Stopped()) {
        fs_.Remove(outputName);
        jobs_.SetStatus(row, oldStatus);
        jobs_.SetProgressFloat(row, oldProgress);
        jobs_.SetDecodedPath(row, oldDecoded);
        return RowResult::Stopped;
    }
    if (input->Error() != 0) {
        fs_.Remove(outputName);
        Fail(row, "cannot read the source" + ErrnoText(input->Error()));
        return RowResult::Failed;
    }
    if (!closed || output->Error() != 0) {
        fs_.Remove(outputName);
        Fail(row, "cannot write " + outputName + ErrnoText(output->Error()));
        return RowResult::Failed;
    }
    input.reset();
    jobs_.SetStatus(row, kStatusDecoded);
    jobs_.SetDecodedPath(row, Utf8ToWide(outputName));
    return RowResult::Decoded;
}
