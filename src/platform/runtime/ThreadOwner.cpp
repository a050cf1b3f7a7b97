// The failure of a thread check: a message and an abort, so a debugger or a death test sees where.
#include "platform/runtime/ThreadOwner.h"

#include <cstdio>
#include <cstdlib>

#ifndef NDEBUG
void TThreadOwner::Fail(const char* What) {
    std::fprintf(stderr, "%s used from a thread other than the one that owns it\n", What);
    std::abort();
}
#endif
