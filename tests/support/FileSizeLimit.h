#pragma once
// A file-size limit that stands in for a full disk while it lives: writes past the limit fail
// with EFBIG instead of raising SIGXFSZ. Processes started meanwhile inherit both.

#include <csignal>
#include <sys/resource.h>

class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes) : FOldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        FSet = ::getrlimit(RLIMIT_FSIZE, &FOld) == 0;
        rlimit Tiny = FOld;
        Tiny.rlim_cur = Bytes;
        FSet = FSet && ::setrlimit(RLIMIT_FSIZE, &Tiny) == 0;
    }
    ~TFileSizeLimit() {
        if (FSet) ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    // False when the limit could not be set; the test cannot stand for a full disk then.
    bool IsSet() const { return FSet; }

private:
    void (*FOldHandler)(int);
    rlimit FOld{};
    bool FSet = false;
};
