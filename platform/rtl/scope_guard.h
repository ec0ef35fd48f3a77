#pragma once
// Undoing at the end of a scope, however the scope ends (return or exception): a flag set for the
// duration of a call, or any action paired with the one before it. Use it for undo actions that cannot
// throw: an exception from one during unwinding would end the program.
#include <utility>

// Runs the action when it goes, unless dismissed.
template <class Action> class ScopeGuard {
public:
    explicit ScopeGuard(Action action) : action_(std::move(action)) {}
    ~ScopeGuard() {
        if (armed_) action_();
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    // The action will not run.
    void Dismiss() { armed_ = false; }

private:
    Action action_;
    bool armed_ = true;
};

// Gives a variable a value for the scope and puts the value it had back when the scope ends.
template <class T> class TemporaryChange {
public:
    TemporaryChange(T& variable, T value)
        : variable_(variable), saved_(std::exchange(variable, std::move(value))) {}
    ~TemporaryChange() { variable_ = std::move(saved_); }
    TemporaryChange(const TemporaryChange&) = delete;
    TemporaryChange& operator=(const TemporaryChange&) = delete;

private:
    T& variable_;
    T saved_;
};
