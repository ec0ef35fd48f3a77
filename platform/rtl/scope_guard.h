#pragma once
// Undoing at the end of a scope, however the scope ends (return or exception): a flag set for the
// duration of a call, or any action paired with the one before it. Use it for undo actions that cannot
// throw: an exception from one during unwinding would end the program. ThrowingScopeGuard is for those
// that may (an EndUpdate runs change handlers, a progress report runs the caller's).
#include <exception>
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

// As ScopeGuard, for an action that may throw. When the scope ends normally, the action's exception
// leaves the scope as the scope's own; while an exception leaves the scope, one from the action is
// dropped and the first goes on, since a second one in flight would end the program.
template <class Action> class ThrowingScopeGuard {
public:
    explicit ThrowingScopeGuard(Action action)
        : action_(std::move(action)), inFlight_(std::uncaught_exceptions()) {}
    ~ThrowingScopeGuard() noexcept(false) {
        if (!armed_) return;
        if (std::uncaught_exceptions() == inFlight_) {
            action_();
            return;
        }
        try {
            action_();
        } catch (...) {
        }
    }
    ThrowingScopeGuard(const ThrowingScopeGuard&) = delete;
    ThrowingScopeGuard& operator=(const ThrowingScopeGuard&) = delete;

    // The action will not run.
    void Dismiss() { armed_ = false; }

private:
    Action action_;
    int inFlight_;
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
