#pragma once
// TManualTimerClock: a clock that tests advance by hand, for window timers and timer components.

#include <cstdint>
#include <functional>

#include "platform/windows/Messages.h"

// While one exists, window timers (TWinControl::SetTimer) and timer components (TTimer) started
// from then on fire only when the clock is advanced, so roll scrolling, auto-repeat and search
// resets can be tested without waiting. Timers started before keep their real clock.
// Contract: at most one exists at a time; it is made and destroyed on the user-interface thread.
class TManualTimerClock {
public:
    TManualTimerClock();
    ~TManualTimerClock();
    TManualTimerClock(const TManualTimerClock&) = delete;
    TManualTimerClock& operator=(const TManualTimerClock&) = delete;

    // Moves the clock forward, firing every timer as often as it falls due, in time order (ties in
    // the order the timers were started). A handler may start, restart or stop timers.
    void Advance(UINT Milliseconds);
    // Milliseconds advanced so far.
    uint64_t GetNow() const { return FNow; }

private:
    uint64_t FNow = 0;
};

// Platform-internal: the running manual clock, or null. Start registers (or restarts) the timer
// of an owner and id; Stop removes it.
bool ManualTimerClockActive();
// Milliseconds the running manual clock was advanced; 0 when none runs.
uint64_t ManualTimerNow();
void StartManualTimer(const void* Owner, uintptr_t Id, UINT Milliseconds, std::function<void()> Fire);
void StopManualTimer(const void* Owner, uintptr_t Id);
