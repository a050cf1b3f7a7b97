#pragma once
// Large work split in two halves, one on a second thread: the sorts, copies and memory fills of
// grids with millions of rows.

#include <exception>
#include <thread>

// Runs Second on another thread and First on this one, returning when both are done; both run
// here, one after the other, when no thread can start. Neither may raise.
template <typename TFirst, typename TSecond> void OnTwoThreads(TFirst First, TSecond Second) {
    std::thread Other;
    try {
        Other = std::thread(Second);
    } catch (const std::exception&) {
        // The work goes on without it.
    }
    First();
    if (Other.joinable())
        Other.join();
    else
        Second();
}

// OnTwoThreads for halves that may raise: when both are done, First's exception raises if it had
// one, else Second's, as when the halves run one after the other up to the first failure.
template <typename TFirst, typename TSecond> void OnTwoThreadsRaising(TFirst First, TSecond Second) {
    std::exception_ptr Failures[2];
    auto Catching = [](auto& Half, std::exception_ptr& Failure) {
        try {
            Half();
        } catch (...) {
            Failure = std::current_exception();
        }
    };
    OnTwoThreads([&] { Catching(First, Failures[0]); }, [&] { Catching(Second, Failures[1]); });
    for (const std::exception_ptr& Failure : Failures)
        if (Failure) std::rethrow_exception(Failure);
}
