#include "platform/rtl/sync.h"

#include <chrono>
#include <thread>

void TEvent::SetEvent() {
    std::vector<Waker> wake;
    {
        std::lock_guard lock(mutex_);
        signaled_ = true;
        for (const auto& w : wakers_)
            wake.push_back(w.second);
        // Notified under the lock: a waiter that returns may free the event at once.
        if (manualReset_)
            cv_.notify_all();
        else
            cv_.notify_one();
    }
    for (const Waker& w : wake)
        w();
}

int TEvent::AddWaker(Waker waker) {
    std::lock_guard lock(mutex_);
    wakers_.emplace_back(++nextWaker_, std::move(waker));
    return nextWaker_;
}

void TEvent::RemoveWaker(int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(wakers_, [id](const auto& w) { return w.first == id; });
}

void TEvent::ResetEvent() {
    std::lock_guard lock(mutex_);
    signaled_ = false;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    auto isSet = [this] { return signaled_; };
    if (timeoutMs == INFINITE)
        cv_.wait(lock, isSet);
    else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet))
        return wrTimeout;
    if (!manualReset_) signaled_ = false;
    return wrSignaled;
}

void Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t GetTickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(static_cast<uint64_t>(ms.count()));
}
