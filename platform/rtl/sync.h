#pragma once
// Locks and events with the class library's names and waiting semantics.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

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

    // Once set, the event may be freed by a waiter that saw it: nothing of it is touched afterwards.
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(uint32_t timeoutMs = INFINITE);

    // For a message loop that waits for the event among other things (MsgWaitForMultipleObjects): each
    // waker is called, from the thread that sets the event and outside the event's lock, at every
    // SetEvent until it is removed.
    using Waker = std::function<void()>;
    int AddWaker(Waker waker);
    void RemoveWaker(int id);
    // What a waitable handle of the window system names.
    void* Handle() { return this; }

private:
    const bool manualReset_;
    bool signaled_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::pair<int, Waker>> wakers_;
    int nextWaker_ = 0;
};

class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

void Sleep(uint32_t ms);
// Milliseconds since an arbitrary start, from a monotonic clock; wraps around after 49.7 days.
uint32_t GetTickCount();
