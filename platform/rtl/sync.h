#pragma once
// Locks and events with the class library's names and waiting semantics.
#include <condition_variable>
#include <cstdint>
#include <mutex>

inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// Recursive: the thread that holds it may enter again.
class TCriticalSection {
public:
    TCriticalSection() = default;
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }

    // Lockable names, so std::lock_guard works too.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// A manual-reset event stays signalled until ResetEvent; an auto-reset one lets one waiter through.
class TEvent {
public:
    explicit TEvent(bool manualReset = true, bool initialState = false)
        : manualReset_(manualReset), signaled_(initialState) {}
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;
    virtual ~TEvent() = default;

    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(uint32_t timeoutMs = INFINITE);

private:
    const bool manualReset_;
    bool signaled_;
    std::mutex mutex_;
    std::condition_variable cv_;
};

class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

void Sleep(uint32_t ms);
// Milliseconds since an arbitrary start, from a monotonic clock; wraps around after 49.7 days.
uint32_t GetTickCount();
