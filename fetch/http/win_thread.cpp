#include "fetch/http/win_thread.h"

#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/thread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr UINT kSyncMessage = 0x8FFF;
// Posted by a worker whose thread procedure has ended, so a waiting GUI thread wakes at once.
constexpr UINT kEndedMessage = 0x8FFE;
constexpr const char* kWindowClass = "TWinThreadWindow";
// How long a wait on the GUI thread sleeps before it looks at the worker again.
constexpr DWORD kWaitSliceMs = 5;

thread_local TEventWinThread* currentThread = nullptr;

struct SyncWindowState {
    std::mutex lock;
    HWND window = nullptr;
    int uses = 0;
};

SyncWindowState& windowState() {
    static SyncWindowState state;
    return state;
}

struct OrphanState {
    std::mutex lock;
    std::condition_variable changed;
    int count = 0;
};

OrphanState& orphans() {
    static OrphanState state;
    return state;
}

// kSyncMessage: the thread whose synchronised call is to run now.
struct SyncMsg : MessageView {
    using MessageView::MessageView;
    TEventWinThread* Thread() const { return Pointer<TEventWinThread>(L()); }
};

LRESULT RunSync(SyncMsg m) {
    m.Thread()->RunPendingSync();
    return 0;
}

LRESULT WinThreadWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    switch (msg) {
    case kSyncMessage:
        return RunSync(SyncMsg(m));
    case kEndedMessage:
        return 0;
    default:
        return DefWindowProc(hwnd, m);
    }
}

void acquireWindow() {
    SyncWindowState& s = windowState();
    std::lock_guard guard(s.lock);
    if (s.uses == 0) {
        WNDCLASS wc;
        wc.lpfnWndProc = &WinThreadWindowProc;
        wc.lpszClassName = kWindowClass;
        RegisterClass(wc);
        s.window = CreateWindowEx(0, kWindowClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    ++s.uses;
}

void releaseWindowUse() {
    SyncWindowState& s = windowState();
    std::lock_guard guard(s.lock);
    if (--s.uses == 0) {
        DestroyWindow(s.window);
        UnregisterClass(kWindowClass, nullptr);
        s.window = nullptr;
    }
}

// True on the thread that owns the hidden window (the GUI thread): calls for it run there directly.
bool onWindowThread() {
    HWND w = winthread::SyncWindow();
    return w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId();
}

// Lets the GUI thread run the calls workers sent it while it waits for something else.
void serviceSentMessages(DWORD sliceMs) {
    MsgWaitForMultipleObjects(0, nullptr, 0, sliceMs, QS_SENDMESSAGE);
    MSG msg;
    PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
}

// Idle operating-system threads waiting for their next run; one that waits too long ends. The pool is
// never destroyed, so parked threads never wait on a destroyed object at exit. Parked threads sleep:
// they burn no processor time while a crawl parses a page or the program sits idle.
class ThreadPool {
public:
    static ThreadPool& Instance() {
        static auto* pool = new ThreadPool;
        return *pool;
    }

    void Run(std::function<void()> job) {
        std::shared_ptr<Worker> parked;
        {
            std::lock_guard guard(lock_);
            if (!idle_.empty()) {
                parked = idle_.back();
                idle_.pop_back();
                parked->job = std::move(job);
            }
        }
        if (parked) {
            // Woken after the lock is released, so that the worker does not at once block again on it.
            parked->cv.notify_one();
            return;
        }
        auto w = std::make_shared<Worker>();
        w->job = std::move(job);
        std::thread([this, w] { loop(w); }).detach();
    }

private:
    struct Worker {
        std::condition_variable cv;
        std::function<void()> job;
    };

    void loop(const std::shared_ptr<Worker>& w) {
        std::unique_lock guard(lock_);
        for (;;) {
            std::function<void()> job = std::move(w->job);
            w->job = nullptr;
            guard.unlock();
            job();
            job = nullptr;
            guard.lock();
            idle_.push_back(w);
            if (!w->cv.wait_for(guard, std::chrono::seconds(30), [&] { return static_cast<bool>(w->job); })) {
                std::erase(idle_, w);
                return;
            }
        }
    }

    std::mutex lock_;
    std::vector<std::shared_ptr<Worker>> idle_;
};

} // namespace

namespace winthread {

int PriorityValue(TThreadPriority Priority) {
    static constexpr int values[] = {-15, -2, -1, 0, 1, 2, 15};
    return values[Priority];
}

TThreadPriority PriorityFromValue(int Value) {
    for (int p = tpIdle; p <= tpTimeCritical; ++p)
        if (PriorityValue(static_cast<TThreadPriority>(p)) == Value) return static_cast<TThreadPriority>(p);
    return tpNormal;
}

HWND SyncWindow() {
    SyncWindowState& s = windowState();
    std::lock_guard guard(s.lock);
    return s.window;
}

int OrphanCount() {
    OrphanState& o = orphans();
    std::lock_guard guard(o.lock);
    return o.count;
}

bool WaitForOrphans(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const bool gui = onWindowThread() || IsMainThread();
    OrphanState& o = orphans();
    for (;;) {
        {
            std::unique_lock guard(o.lock);
            if (o.count == 0) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            if (!gui) {
                o.changed.wait_until(guard, deadline);
                continue;
            }
        }
        serviceSentMessages(kWaitSliceMs);
    }
}

} // namespace winthread

TEventWinThread::TEventWinThread(TCustomWinThread* Owner) : owner_(Owner) {
    acquireWindow();
    holdsWindow_ = true;
    if (Owner) catchExceptions_ = Owner->CatchExceptions();
}

TEventWinThread::~TEventWinThread() {
    terminated_ = true;
    if (started_ && !orphaned_) WaitFor();
    releaseWindow();
}

void TEventWinThread::releaseWindow() {
    if (holdsWindow_) {
        holdsWindow_ = false;
        releaseWindowUse();
    }
}

TEventWinThread* TEventWinThread::Current() {
    return currentThread;
}

bool TEventWinThread::suppressed() const {
    return orphaned_ || (owner_ != nullptr && owner_->OwnerDestroying());
}

void TEventWinThread::RunPendingSync() {
    if (suppressed()) return;
    syncException_ = nullptr;
    try {
        sync_();
    } catch (...) {
        syncException_ = std::current_exception();
    }
}

void TEventWinThread::Synchronize(const TThreadMethod& Method) {
    if (orphaned_ || !Method) return;
    HWND window = winthread::SyncWindow();
    if (!window) return;
    syncException_ = nullptr;
    sync_ = Method;
    SendMessage(window, kSyncMessage, 0, reinterpret_cast<LPARAM>(this));
    sync_ = nullptr;
    std::exception_ptr raised = std::exchange(syncException_, nullptr);
    if (raised && !catchExceptions_ && !orphaned_) std::rethrow_exception(raised);
}

void TEventWinThread::threadProc() {
    currentThread = this;
    if (!terminated_) {
        executing_ = true;
        TObject* sender = owner_;
        try {
            if (OnExecute && !orphaned_) {
                if (catchExceptions_) {
                    try {
                        OnExecute(sender);
                    } catch (...) {
                        if (OnException) {
                            TNotifyEvent report = OnException;
                            Synchronize([report, sender] { report(sender); });
                        }
                    }
                } else {
                    OnExecute(sender);
                }
            }
        } catch (...) {
            // Without CatchExceptions the work's exception ends the work; it may not end the process.
        }
        if (OnTerminate) {
            try {
                Synchronize([this, sender] {
                    if (!catchExceptions_) {
                        OnTerminate(sender);
                        return;
                    }
                    try {
                        OnTerminate(sender);
                    } catch (...) {
                        if (OnException) OnException(sender);
                    }
                });
            } catch (...) {
            }
        }
        eventsDone_ = true;
        executing_ = false;
    }
    currentThread = nullptr;
    if (!orphaned_) {
        SyncWindowState& w = windowState();
        std::lock_guard guard(w.lock);
        if (w.window) PostMessage(w.window, kEndedMessage, 0, 0);
    }
    bool orphan;
    {
        std::lock_guard guard(orphans().lock);
        orphan = orphaned_;
        std::lock_guard end(endLock_);
        finished_ = true;
        ended_.notify_all();
    }
    // Past this point a waiter may free this object, unless it is an orphan, which belongs to its thread.
    if (orphan) {
        delete this;
        OrphanState& o = orphans();
        std::lock_guard guard(o.lock);
        --o.count;
        o.changed.notify_all();
    }
}

uint32_t TEventWinThread::WaitFor() {
    if (started_ && !orphaned_) {
        // Past its last GUI-thread call the worker never blocks on us again: a plain wait is enough.
        if (onWindowThread()) {
            while (!finished_ && !eventsDone_)
                serviceSentMessages(kWaitSliceMs);
        }
        if (Current() != this) {
            std::unique_lock end(endLock_);
            ended_.wait(end, [this] { return finished_.load(); });
        }
    }
    return returnValue_;
}

void TEventWinThread::Suspend() {
    // A started thread cannot be suspended on this platform; only an unstarted one stays held.
    if (!started_) suspended_ = true;
}

void TEventWinThread::Resume() {
    if (started_ || orphaned_) return;
    started_ = true;
    suspended_ = false;
    ThreadPool::Instance().Run([this] { threadProc(); });
}

void TEventWinThread::SetSuspended(bool Value) {
    if (Value != suspended_) {
        if (Value)
            Suspend();
        else
            Resume();
    }
}

void TEventWinThread::SetPriority(TThreadPriority Value) {
    priority_ = Value;
}

TEventWinThread* TEventWinThread::Kill() {
    auto* fresh = new TEventWinThread(owner_);
    fresh->priority_ = priority_;
    fresh->catchExceptions_ = catchExceptions_.load();
    fresh->OnExecute = OnExecute;
    fresh->OnException = OnException;
    fresh->OnTerminate = OnTerminate;

    terminated_ = true;
    if (started_) {
        OrphanState& o = orphans();
        std::lock_guard guard(o.lock);
        if (!finished_ && !eventsDone_) {
            // From here the object belongs to its thread, which may free it as soon as the lock goes.
            orphaned_ = true;
            ++o.count;
            releaseWindow();
            return fresh;
        }
    }
    delete this; // unstarted, or done with its events: it ends at once
    return fresh;
}

TCustomWinThread::TCustomWinThread(TComponent* AOwner) : TComponent(AOwner) {
    thread_ = new TEventWinThread(this);
}

TCustomWinThread::~TCustomWinThread() {
    Destroying();
    Stop(true); // a run still going is left to finish alone, silently
    delete thread_;
}

bool TCustomWinThread::OwnerDestroying() const {
    return ComponentState().Contains(csDestroying) ||
           (Owner() != nullptr && Owner()->ComponentState().Contains(csDestroying));
}

void TCustomWinThread::Loaded() {
    TComponent::Loaded();
    thread_->SetSuspended(suspended_);
}

void TCustomWinThread::SetSuspended(bool Value) {
    suspended_ = Value;
    if (!ComponentState().Contains(csLoading)) thread_->SetSuspended(Value);
}

void TCustomWinThread::SetCatchExceptions(bool Value) {
    catchExceptions_ = Value;
    thread_->SetCatchExceptions(Value);
}

void TCustomWinThread::Stop(bool Hard) {
    if (Hard)
        thread_ = thread_->Kill();
    else
        thread_->Terminate();
}

void TCustomWinThread::Synchronize(const TThreadMethod& Method) {
    if (OwnerDestroying()) return;
    // The worker's own object: after a hard stop thread_ is already a fresh one.
    TEventWinThread* t = TEventWinThread::Current();
    (t ? t : thread_)->Synchronize(Method);
}

bool TCustomWinThread::Execute() {
    Stop(true);
    TEventWinThread* run = thread_;
    run->Resume();
    if (!waitThread_) return true;
    using Clock = std::chrono::steady_clock;
    // A total deadline: a steady stream of messages must not keep the wait from expiring.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitTimeout_);
    for (;;) {
        DWORD slice = kWaitSliceMs;
        if (waitTimeout_ != 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            slice = static_cast<DWORD>(std::clamp<long long>(left, 0, kWaitSliceMs));
        }
        MsgWaitForMultipleObjects(0, nullptr, 0, slice, QS_ALLINPUT);
        const bool quit = !ProcessMessages();
        if (thread_ != run) return true; // stopped and replaced from inside a handler
        if (run->Finished()) return true;
        if (quit || OwnerDestroying()) return true;
        if (waitTimeout_ != 0 && Clock::now() >= deadline) {
            bool terminate = true;
            if (OnWaitTimeoutExpired) OnWaitTimeoutExpired(this, terminate);
            if (terminate && thread_ == run) Stop(true);
            return !terminate;
        }
    }
}
