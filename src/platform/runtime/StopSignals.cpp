// TStopSignals: a handler that only sets an atomic flag, as a signal handler may.
#include "platform/runtime/StopSignals.h"

namespace {

std::atomic<bool> gRequested{false};

extern "C" void OnStopSignal(int) {
    gRequested.store(true);
}

} // namespace

std::atomic<bool>& TStopSignals::Requested() {
    return gRequested;
}

TStopSignals::TStopSignals() {
    gRequested = false;
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sa.sa_flags = 0; // neither one-shot nor restarting
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &FOldInt);
    ::sigaction(SIGTERM, &sa, &FOldTerm);
    ::sigaction(SIGHUP, &sa, &FOldHup);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &FOldXfsz);
}

TStopSignals::~TStopSignals() {
    ::sigaction(SIGINT, &FOldInt, nullptr);
    ::sigaction(SIGTERM, &FOldTerm, nullptr);
    ::sigaction(SIGHUP, &FOldHup, nullptr);
    ::sigaction(SIGXFSZ, &FOldXfsz, nullptr);
}
