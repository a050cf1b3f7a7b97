#pragma once
// The signals that ask a program to stop (Ctrl-C, the terminal closing, kill's default) turned
// into a flag the work reads, for as long as an object of this class lives.

#include <atomic>
#include <csignal>

class TStopSignals {
public:
    // From construction on, SIGINT, SIGTERM and SIGHUP set Requested() instead of ending the
    // process, every time (the handler stays installed), and interrupt a blocking read or open
    // (no automatic restart) so that the reader can look at the flag at once. SIGXFSZ is ignored,
    // so that a write past the file-size limit fails with EFBIG and is reported. The flag starts
    // false. Only one object may live at a time; the destructor puts the old dispositions back.
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // The flag the handler sets; it outlives every object.
    static std::atomic<bool>& Requested();

private:
    struct sigaction FOldInt {};
    struct sigaction FOldTerm {};
    struct sigaction FOldHup {};
    struct sigaction FOldXfsz {};
};
