#pragma once
// What a run works on and what it tells: its settings, the sources as they were listed when Run was
// pressed, each with its own identity, and the reports it makes about each of them.

#include <string>
#include <vector>

#include "decoding/Wipe.h"
#include "platform/runtime/Types.h"

struct BatchSettings {
    AnsiString Key;            // the key as typed, in the 8-bit code page, untrimmed
    bool FolderChosen = false; // put every output into OutputFolder
    std::string OutputFolder;  // the bytes the file system takes
    // Every copy of the key is wiped when it goes.
    ~BatchSettings() { WipeMemory(Key.data(), Key.capacity()); }
};

enum class BatchOutcome {
    KeyRejected,   // nothing changed
    DriveRejected, // nothing changed
    Finished,      // every row was tried
    Stopped,       // a stop request ended the run; the interrupted row is as it was before
};

struct BatchResult {
    BatchOutcome Outcome = BatchOutcome::Finished;
    int Decoded = 0;
    int Failed = 0;
};

// One source of a run. The run addresses it by Id; a job list finds its row by Source, which no two
// rows share (files are added once) and which nobody can change while a run is in progress.
struct BatchJob {
    int Id = 0;           // its place in the run, from 0
    WideString Source;    // the row's source path as the list holds it (PathToText)
    std::string Path;     // the same as the file system takes it: the bytes the user gave
    int RowWhenTaken = 0; // its row when Run was pressed: where a list looks first
};

// The reports of a run about its jobs, by job id. The threads that make them:
// - JobDecoder::Run and ParallelDecoder::Run call them on the thread that called Run (the parallel
//   one passes its workers' reports to that thread and makes them one at a time);
// - BatchThread's worker calls only its own posting forwarder; the BatchEvents given to BatchThread
//   is called by the calls it posts, so on the thread that runs them (the window's interface thread).
// An implementation that writes a job list (BatchJobWriter) is called on the list's thread only.
class BatchEvents {
public:
    virtual ~BatchEvents() = default;
    // Decoding begins: status "Decoding", progress 0.
    virtual void JobStarted(int id) = 0;
    // The shown percentage changed; the final value (100 for a complete file) always comes.
    virtual void JobProgress(int id, double percent) = 0;
    // outputPath is the copy's name as the file system takes it.
    virtual void JobDecoded(int id, const std::string& outputPath) = 0;
    virtual void JobFailed(int id, const std::string& reason) = 0;
    // A stop ended the job before its end: the row goes back to what it showed before it started.
    virtual void JobStopped(int id) = 0;
};
