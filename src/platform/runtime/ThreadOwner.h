#pragma once
// Debug builds catch an object that belongs to one thread being used from another.

#include <thread>

// Records the thread that creates it; Check aborts with a message when another thread calls it.
// Release builds (NDEBUG) compile the check out and keep no state.
// Contract: the owner calls Check at the start of each of its public operations.
class TThreadOwner {
public:
#ifdef NDEBUG
    void Check(const char*) const {}
#else
    // What names the class in the message.
    void Check(const char* What) const {
        if (std::this_thread::get_id() != FOwner) Fail(What);
    }

private:
    [[noreturn]] static void Fail(const char* What);
    std::thread::id FOwner = std::this_thread::get_id();
#endif
};
