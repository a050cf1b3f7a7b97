#pragma once
// Scoped changes of a flag, value or counter: set on entry, restored on every exit, exceptions included.

#include <utility>

// Holds Target at NewValue for the scope and gives it back its old value on exit.
// Contract: Target outlives the guard; the guard is neither copied nor moved.
template <typename T> class TScopedChange {
public:
    TScopedChange(T& Target, T NewValue)
        : FTarget(Target), FOld(std::exchange(Target, std::move(NewValue))) {}
    ~TScopedChange() { FTarget = std::move(FOld); }
    TScopedChange(const TScopedChange&) = delete;
    TScopedChange& operator=(const TScopedChange&) = delete;

private:
    T& FTarget;
    T FOld;
};

template <typename T> TScopedChange(T&, T) -> TScopedChange<T>;

// Raises a nesting counter for the scope (updating and painting locks) and lowers it on exit.
// Contract: Counter outlives the guard; other code may change it meanwhile, the guard undoes only its own
// step.
template <typename T> class TScopedCount {
public:
    explicit TScopedCount(T& Counter) : FCounter(Counter) { ++FCounter; }
    ~TScopedCount() { --FCounter; }
    TScopedCount(const TScopedCount&) = delete;
    TScopedCount& operator=(const TScopedCount&) = delete;

private:
    T& FCounter;
};
