// The per-file steps of a run: open, choose the folder, create an unnamed output with the source's
// permission bits, decode, and give the complete copy the first free name; a stop, a failure or a
// kill leaves no output behind.
#include "app/batch/JobDecoder.h"

#include <cerrno>
#include <cmath>

#include "app/batch/OutputCommit.h"
#include "decoding/MarkedTextDecoder.h"
#include "platform/runtime/FileSystem.h"

namespace {

std::string ErrnoText(int error) {
    return error != 0 ? " (" + FileErrorText(error) + ")" : std::string();
}

// Reports the job's progress only when the shown whole percentage changes, but always the final value.
class JobProgress : public ProgressSink {
public:
    JobProgress(BatchEvents& events, int id, const bool& stopped)
        : events_(events), id_(id), stopped_(stopped) {}

    void Report(double percent) override { Write(percent); }

    void ReportBytes(uint64_t first, uint64_t last, uint64_t size) override {
        if (last <= first) return;
        const double percent = Percent(last - 1, size);
        if (std::floor(percent) != shown_) Write(percent);
    }

private:
    void Write(double percent) {
        // After a stop the row gets its old values back; nothing more is reported.
        if (stopped_) return;
        events_.JobProgress(id_, percent);
        shown_ = std::floor(percent);
    }

    BatchEvents& events_;
    int id_;
    const bool& stopped_;
    double shown_ = 0; // the start has just reported 0
};

// A source that ends early once a stop is requested. A read that a signal interrupted is looked at
// again only after the stop request has been asked, so Ctrl-C ends even a read that would block.
class StoppableSource : public ByteSource {
public:
    StoppableSource(ByteSource& inner, const BatchInput& input, const std::function<bool()>& stopRequested)
        : inner_(inner), input_(input), stopRequested_(stopRequested) {}
    size_t Read(uint8_t* buffer, size_t capacity) override {
        for (;;) {
            if (stopped_ || (stopRequested_ && stopRequested_())) {
                stopped_ = true;
                return 0;
            }
            const size_t n = inner_.Read(buffer, capacity);
            if (n == 0 && input_.Error() == EINTR) continue;
            return n;
        }
    }
    const bool& Stopped() const { return stopped_; }

private:
    ByteSource& inner_;
    const BatchInput& input_;
    const std::function<bool()>& stopRequested_;
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

} // namespace

JobDecoder::JobDecoder(const BatchSettings& settings, BatchFileSystem& fileSystem, size_t readChunk)
    : fs_(fileSystem), folderChosen_(settings.FolderChosen), outputFolder_(settings.OutputFolder),
      matrix_(PrepareEncriptMatrix(TrimKey(settings.Key))),
      // One decoder for the whole run: its prepared matrix and buffers serve every file.
      decoder_(std::make_unique<MarkedTextFileDecoder>(matrix_, readChunk)) {}

JobDecoder::~JobDecoder() {
    WipeMemory(&matrix_, sizeof matrix_);
}

std::string JobDecoder::OutputFolderFor(const std::string& sourcePath, const BatchSettings& settings) {
    if (settings.FolderChosen) return settings.OutputFolder;
    return ExtractFilePath(sourcePath) + "Decript";
}

std::string JobDecoder::OutputName(const std::string& folder, const std::string& baseName, uint64_t n) {
    return ::OutputName(folder, baseName, n);
}

BatchResult JobDecoder::Run(const std::vector<BatchJob>& jobs, BatchEvents& events,
                            const std::function<bool()>& stopRequested) {
    BatchResult result;
    for (const BatchJob& job : jobs) {
        if (stopRequested && stopRequested()) {
            result.Outcome = BatchOutcome::Stopped;
            break;
        }
        const JobResult r = DecodeJob(job, events, stopRequested);
        if (r == JobResult::Stopped) {
            result.Outcome = BatchOutcome::Stopped;
            break;
        }
        ++(r == JobResult::Decoded ? result.Decoded : result.Failed);
    }
    return result;
}

JobDecoder::JobResult JobDecoder::DecodeJob(const BatchJob& job, BatchEvents& events,
                                            const std::function<bool()>& stopRequested) {
    const std::string& source = job.Path;
    auto fail = [&](const std::string& reason) {
        events.JobFailed(job.Id, reason);
        return JobResult::Failed;
    };

    int error = 0;
    std::unique_ptr<BatchInput> input = fs_.OpenRead(source, error);
    if (!input) {
        // Ctrl-C that interrupted the open is a stop, not a failure of this job.
        if (error == EINTR && stopRequested && stopRequested()) {
            events.JobStopped(job.Id);
            return JobResult::Stopped;
        }
        return fail("cannot open the source" + ErrnoText(error));
    }
    events.JobStarted(job.Id);
    const uint64_t size = input->Size();

    BatchSettings where;
    where.FolderChosen = folderChosen_;
    where.OutputFolder = outputFolder_;
    const std::string folder = OutputFolderFor(source, where);
    if (!folderChosen_ && !fs_.DirectoryExists(folder) && !fs_.CreateDir(folder) &&
        !fs_.DirectoryExists(folder))
        return fail("cannot create the folder " + folder);
    const std::string base = ExtractFileBaseName(source);

    // The copy gets the source's permission bits (the umask applies, as for a copy): a private
    // source never yields a plaintext that others may read.
    unsigned mode = 0;
    if (!input->Permissions(mode, error))
        return fail("cannot read the permissions of the source" + ErrnoText(error));

    // The copy has no name while it is written: a kill, a hang-up or a full disk leaves nothing
    // that looks like a finished decode. It takes the first free number only when complete.
    std::unique_ptr<BatchOutput> output = fs_.CreateUnnamed(folder, mode, error);
    if (!output) return fail("cannot create a file in " + folder + ErrnoText(error));

    UntilWriteFails untilWriteFails(*input, *output);
    StoppableSource stoppable(untilWriteFails, *input, stopRequested);
    GuardedSink guarded(*output, stoppable.Stopped());
    JobProgress progress(events, job.Id, stoppable.Stopped());
    decoder_->Decode(stoppable, guarded, size, progress);

    if (stoppable.Stopped()) {
        events.JobStopped(job.Id);
        return JobResult::Stopped;
    }
    if (input->Error() != 0) return fail("cannot read the source" + ErrnoText(input->Error()));
    if (output->Error() != 0)
        return fail("cannot write the copy into " + folder + ErrnoText(output->Error()));
    const OutputCommit named = CommitOutput(fs_, *output, folder, base);
    if (!named.Ok()) {
        if (named.Error == 0) return fail("no free output name in " + folder);
        return fail("cannot name the copy in " + folder + ErrnoText(named.Error));
    }
    if (!output->Close()) {
        fs_.Remove(named.Path);
        return fail("cannot write " + named.Path + ErrnoText(output->Error()));
    }
    const std::string outputName = named.Path;
    input.reset();
    events.JobDecoded(job.Id, outputName);
    return JobResult::Decoded;
}
