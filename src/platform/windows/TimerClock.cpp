// TManualTimerClock: timers that fire when a test advances the clock.
#include "platform/windows/TimerClock.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {
struct TManualTimer {
    UINT Interval;
    uint64_t Due;
    uint64_t Order; // start order, for ties
    std::function<void()> Fire;
};

struct TClockState {
    TManualTimerClock* Clock = nullptr;
    uint64_t* Now = nullptr;
    uint64_t NextOrder = 0;
    std::map<std::pair<const void*, uintptr_t>, TManualTimer> Timers;
};

TClockState& State() {
    static TClockState state;
    return state;
}
} // namespace

TManualTimerClock::TManualTimerClock() {
    State().Clock = this;
    State().Now = &FNow;
}

TManualTimerClock::~TManualTimerClock() {
    TClockState& s = State();
    s.Timers.clear();
    s.Clock = nullptr;
    s.Now = nullptr;
}

void TManualTimerClock::Advance(UINT Milliseconds) {
    TClockState& s = State();
    const uint64_t target = FNow + Milliseconds;
    for (;;) {
        auto next = s.Timers.end();
        for (auto it = s.Timers.begin(); it != s.Timers.end(); ++it) {
            if (it->second.Due > target) continue;
            if (next == s.Timers.end() || it->second.Due < next->second.Due ||
                (it->second.Due == next->second.Due && it->second.Order < next->second.Order))
                next = it;
        }
        if (next == s.Timers.end()) break;
        FNow = next->second.Due;
        next->second.Due += std::max<UINT>(next->second.Interval, 1);
        // The handler may stop or restart this very timer: it runs from a copy.
        std::function<void()> fire = next->second.Fire;
        fire();
    }
    FNow = target;
}

bool ManualTimerClockActive() {
    return State().Clock != nullptr;
}

uint64_t ManualTimerNow() {
    return State().Now ? *State().Now : 0;
}

void StartManualTimer(const void* Owner, uintptr_t Id, UINT Milliseconds, std::function<void()> Fire) {
    TClockState& s = State();
    if (!s.Clock) return;
    UINT interval = std::max<UINT>(Milliseconds, 1);
    s.Timers[{Owner, Id}] = TManualTimer{interval, *s.Now + interval, s.NextOrder++, std::move(Fire)};
}

void StopManualTimer(const void* Owner, uintptr_t Id) {
    State().Timers.erase({Owner, Id});
}
