#include "platform/rtl/thread.h"

#include "platform/rtl/format.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <sstream>

namespace {

const std::thread::id g_mainThreadId = std::this_thread::get_id();

struct SyncCall {
    TThread* thread;
    TThreadMethod method;
    bool waited;
    bool done = false;
    std::exception_ptr error;
};

// The process-wide hand-over point between workers and the main thread.
struct SyncQueue {
    std::mutex mutex;
    // Signalled when a call is queued or a thread finishes: the main thread waits on it.
    std::condition_variable mainCv;
    // Signalled when the main thread has run a waited-for call.
    std::condition_variable doneCv;
    std::deque<std::shared_ptr<SyncCall>> calls;
    std::function<void()> wake;
};

SyncQueue& TheSyncQueue() {
    static SyncQueue queue;
    return queue;
}

void Post(const std::shared_ptr<SyncCall>& call) {
    SyncQueue& q = TheSyncQueue();
    std::function<void()> wake;
    {
        std::lock_guard lock(q.mutex);
        q.calls.push_back(call);
        wake = q.wake;
    }
    q.mainCv.notify_all();
    if (wake) wake();
}

// Runs the calls queued now; returns whether any ran.
bool RunQueuedCalls() {
    SyncQueue& q = TheSyncQueue();
    bool ran = false;
    for (;;) {
        std::shared_ptr<SyncCall> call;
        {
            std::lock_guard lock(q.mutex);
            if (q.calls.empty()) return ran;
            call = std::move(q.calls.front());
            q.calls.pop_front();
        }
        ran = true;
        if (!call->waited) {
            call->method();
            continue;
        }
        std::exception_ptr error;
        try {
            call->method();
        } catch (...) {
            error = std::current_exception();
        }
        {
            // The worker alone holds the call (and the exception) from here on.
            std::lock_guard lock(q.mutex);
            call->error = std::move(error);
            call->done = true;
            call.reset();
        }
        q.doneCv.notify_all();
    }
}

std::string ThreadIdText(std::thread::id id) {
    std::ostringstream out;
    out << id;
    return out.str();
}

} // namespace

std::thread::id MainThreadID() {
    return g_mainThreadId;
}

bool IsMainThread() {
    return std::this_thread::get_id() == g_mainThreadId;
}

bool CheckSynchronize(int timeoutMs) {
    if (!IsMainThread())
        throw EThread(Format("CheckSynchronize called from thread %s, which is NOT the main thread",
                             ThreadIdText(std::this_thread::get_id())));
    SyncQueue& q = TheSyncQueue();
    if (timeoutMs > 0) {
        std::unique_lock lock(q.mutex);
        q.mainCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.calls.empty(); });
    }
    return RunQueuedCalls();
}

void SetWakeMainThread(std::function<void()> hook) {
    SyncQueue& q = TheSyncQueue();
    std::lock_guard lock(q.mutex);
    q.wake = std::move(hook);
}

TThread::TThread(bool createSuspended) : createSuspended_(createSuspended) {}

TThread::~TThread() {
    RemoveQueuedEvents(this);
    if (!thread_.joinable()) return;
    if (std::this_thread::get_id() == thread_.get_id()) {
        thread_.detach(); // freed by its own thread after OnTerminate
        return;
    }
    // The subclass is gone already: its queued calls must not run any more.
    Terminate();
    WaitUntilFinished(true);
    thread_.join();
    RemoveQueuedEvents(this); // posted after the last drain
}

void TThread::AfterConstruction() {
    if (!createSuspended_ && !started_) Start();
}

void TThread::Start() {
    if (started_.exchange(true)) throw EThread("Cannot call Start on a running or suspended thread");
    std::lock_guard lock(startMutex_);
    thread_ = std::thread([this] { Run(); });
    threadId_ = thread_.get_id();
}

void TThread::Resume() {
    if (!started_) Start();
}

int TThread::WaitFor() {
    if (!started_) throw EThread("Cannot wait for a thread that was never started");
    if (freeOnTerminate_) throw EThread("Cannot wait for a thread that frees itself");
    if (std::this_thread::get_id() == threadId_) throw EThread("A thread cannot wait for itself");
    WaitUntilFinished(false);
    return returnValue_;
}

void TThread::WaitUntilFinished(bool dropOwnQueued) {
    SyncQueue& q = TheSyncQueue();
    const bool onMain = IsMainThread();
    for (;;) {
        {
            std::unique_lock lock(q.mutex);
            q.mainCv.wait(lock, [&] { return finished_ || (onMain && !q.calls.empty()); });
            if (finished_) return;
        }
        if (dropOwnQueued) RemoveQueuedEvents(this);
        RunQueuedCalls();
    }
}

void TThread::Run() {
    { std::lock_guard lock(startMutex_); }
    if (!terminated_) {
        try {
            Execute();
        } catch (...) {
            fatalException_ = std::current_exception();
        }
    }
    const bool freeThread = freeOnTerminate_;
    if (OnTerminate) {
        try {
            Synchronize([this] { OnTerminate(this); });
        } catch (...) {
            if (!fatalException_) fatalException_ = std::current_exception();
        }
    }
    SyncQueue& q = TheSyncQueue();
    {
        std::lock_guard lock(q.mutex);
        finished_ = true;
    }
    q.mainCv.notify_all();
    if (freeThread) delete this;
}

void TThread::Synchronize(TThread* thread, TThreadMethod method) {
    if (IsMainThread()) {
        method();
        return;
    }
    auto call = std::make_shared<SyncCall>(SyncCall{thread, std::move(method), true, false, nullptr});
    Post(call);
    SyncQueue& q = TheSyncQueue();
    {
        std::unique_lock lock(q.mutex);
        q.doneCv.wait(lock, [&] { return call->done; });
    }
    if (call->error) std::rethrow_exception(call->error);
}

void TThread::Queue(TThread* thread, TThreadMethod method) {
    if (IsMainThread()) {
        method();
        return;
    }
    Post(std::make_shared<SyncCall>(SyncCall{thread, std::move(method), false, false, nullptr}));
}

void TThread::RemoveQueuedEvents(TThread* thread) {
    SyncQueue& q = TheSyncQueue();
    std::lock_guard lock(q.mutex);
    std::erase_if(q.calls,
                  [&](const std::shared_ptr<SyncCall>& c) { return c->thread == thread && !c->waited; });
}
