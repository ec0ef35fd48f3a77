#include "fetch/http/win_thread.h"

#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/thread.h"
#include "platform/rtl/wait_policy.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr UINT kSyncMessage = 0x8FFF;
// Posted when a run ended without waiting and no WaitForRuns is there to run its terminate step.
constexpr UINT kEndedMessage = 0x8FFE;
constexpr const char* kWindowClass = "TWinThreadWindow";

thread_local TEventWinThread* currentThread = nullptr;

struct SyncWindowState {
    std::mutex lock;
    HWND window = nullptr;
    int uses = 0;
};

SyncWindowState& WindowState() {
    static SyncWindowState state;
    return state;
}

struct OrphanState {
    std::mutex lock;
    int count = 0;
    // Set while count is 0 (changed under lock).
    TEvent none{true, true};
};

OrphanState& Orphans() {
    // Never destroyed: a run left to end by itself may end while the process exits.
    static auto* state = new OrphanState;
    return *state;
}

// Runs that ended without waiting for the GUI thread, their terminate steps due there in the order they
// ended, with the calls workers queued for it among them; and whether a WaitForRuns sleeps that should hear
// of them or of a worker sending.
struct EndedRuns {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::function<void()>> due;
    int waiters = 0;
    bool sending = false;
    // A message is on its way to run the steps due.
    bool posted = false;
    // Counts each change a waiter is woken for, so that a waiter can watch for one without the lock.
    std::atomic<unsigned> changes{0};
};

EndedRuns& EndedRunList() {
    // Never destroyed: a worker may end a run while the process exits.
    static auto* runs = new EndedRuns;
    return *runs;
}

// On the GUI thread: the terminate steps due now, in order. The first exception a step lets through
// passes on once the others have run.
void RunEnded() {
    std::deque<std::function<void()>> due;
    {
        EndedRuns& e = EndedRunList();
        std::lock_guard guard(e.lock);
        due.swap(e.due);
        e.posted = false;
    }
    std::exception_ptr raised;
    for (const auto& step : due) {
        try {
            step();
        } catch (...) {
            if (!raised) raised = std::current_exception();
        }
    }
    if (raised) std::rethrow_exception(raised);
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
        RunEnded();
        return 0;
    default:
        return DefWindowProc(hwnd, m);
    }
}

void AcquireWindow() {
    SyncWindowState& s = WindowState();
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

void ReleaseWindowUse() {
    SyncWindowState& s = WindowState();
    std::lock_guard guard(s.lock);
    if (--s.uses == 0) {
        {
            // A message still on its way goes with the window: the next step due posts another.
            EndedRuns& e = EndedRunList();
            std::lock_guard ended(e.lock);
            e.posted = false;
        }
        DestroyWindow(s.window);
        UnregisterClass(kWindowClass, nullptr);
        s.window = nullptr;
    }
}

// True on the thread that owns the hidden window (the GUI thread): calls for it run there directly.
bool OnWindowThread() {
    HWND w = winthread::SyncWindow();
    return w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId();
}

void OrphanEnded() {
    OrphanState& o = Orphans();
    std::lock_guard guard(o.lock);
    if (--o.count == 0) o.none.SetEvent();
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
                parked->idle = false;
                parked->job = std::move(job);
                parked->given.store(true, std::memory_order_release);
            }
        }
        if (parked) {
            // Woken after the lock is released, so that the worker does not at once block again on it.
            parked->cv.notify_one();
            return;
        }
        auto w = std::make_shared<Worker>();
        w->job = std::move(job);
        std::thread([this, w] { Loop(w); }).detach();
    }

    // From a pool thread's job: the thread takes the next run from now on, though the job has its last
    // steps still to go; a run given meanwhile starts once they are done. A job calls it before it lets
    // anyone know it is ending, so that a run that follows at once finds this thread instead of
    // starting another, however the threads are scheduled.
    void ParkCurrent() {
        const std::shared_ptr<Worker>* w = currentWorker;
        if (!w) return;
        std::lock_guard guard(lock_);
        Park(*w);
    }

private:
    struct Worker {
        std::condition_variable cv;
        std::function<void()> job;
        // In idle_ (under lock_).
        bool idle = false;
        // Set with job, for a worker that watches for its next job before it sleeps.
        std::atomic<bool> given{false};
        // The next run of a crawl or an upload mostly comes at once: while it does, it is watched for.
        TWaitPolicy nextRun;
    };

    // Under lock_: the worker waits for its next run, unless it has one already.
    void Park(const std::shared_ptr<Worker>& w) {
        if (w->idle || w->job) return;
        idle_.push_back(w);
        w->idle = true;
    }

    void Loop(const std::shared_ptr<Worker>& w) {
        currentWorker = &w;
        std::unique_lock guard(lock_);
        for (;;) {
            std::function<void()> job = std::move(w->job);
            w->job = nullptr;
            w->given.store(false, std::memory_order_relaxed);
            guard.unlock();
            job();
            job = nullptr;
            guard.lock();
            if (w->job) continue; // given while the job's last steps ran
            Park(w);
            guard.unlock();
            const auto idleSince = TWaitPolicy::Clock::now();
            w->nextRun.Watch([&] { return w->given.load(std::memory_order_acquire); });
            guard.lock();
            if (!w->cv.wait_for(guard, std::chrono::seconds(30), [&] { return static_cast<bool>(w->job); })) {
                std::erase(idle_, w);
                w->idle = false;
                currentWorker = nullptr;
                return;
            }
            w->nextRun.Answered(idleSince, TWaitPolicy::Clock::now());
        }
    }

    static thread_local const std::shared_ptr<Worker>* currentWorker;
    std::mutex lock_;
    std::vector<std::shared_ptr<Worker>> idle_;
};

thread_local const std::shared_ptr<ThreadPool::Worker>* ThreadPool::currentWorker = nullptr;

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
    SyncWindowState& s = WindowState();
    std::lock_guard guard(s.lock);
    return s.window;
}

int OrphanCount() {
    OrphanState& o = Orphans();
    std::lock_guard guard(o.lock);
    return o.count;
}

bool WaitServingSent(TEvent& event, DWORD timeoutMs) {
    if (!OnWindowThread() && !IsMainThread()) return event.WaitFor(timeoutMs) == wrSignaled;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    HANDLE h = event.Handle();
    for (;;) {
        DWORD wait = INFINITE;
        if (timeoutMs != INFINITE) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = static_cast<DWORD>(std::max<long long>(left, 0));
        }
        if (MsgWaitForMultipleObjects(1, &h, FALSE_, wait, QS_SENDMESSAGE) == WAIT_OBJECT_0) return true;
        if (wait == 0) return false;
        MSG msg;
        PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE); // runs the sent calls
    }
}

bool WaitForRuns(const std::function<bool()>& Done, DWORD timeoutMs) {
    using Clock = std::chrono::steady_clock;
    // Whether the GUI thread's runs (a crawl's pages) have lately come quickly enough to watch for.
    thread_local TWaitPolicy pageWait;
    const auto started = Clock::now();
    const auto deadline = started + std::chrono::milliseconds(timeoutMs);
    EndedRuns& e = EndedRunList();
    {
        std::lock_guard guard(e.lock);
        ++e.waiters;
    }
    // Runs that end while this wait is on post nothing: whatever came is run before it returns.
    struct Leave {
        EndedRuns& e;
        bool left = false;
        void Now() {
            left = true;
            {
                std::lock_guard guard(e.lock);
                --e.waiters;
            }
            RunEnded();
        }
        ~Leave() {
            if (left) return;
            std::lock_guard guard(e.lock);
            --e.waiters; // left by an exception: the next loop turn runs what is due
        }
    } leave{e};
    bool served = false;
    for (;;) {
        RunEnded();
        // A worker's call to the GUI thread (a header or progress event of a page that comes in parts).
        while (GetQueueStatus(QS_SENDMESSAGE) != 0) {
            MSG msg;
            PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
            served = true;
        }
        const bool done = Done();
        const auto now = Clock::now();
        if (done || now >= deadline) {
            pageWait.Answered(started, now);
            leave.Now();
            return done || Done();
        }
        std::unique_lock guard(e.lock);
        if (!e.due.empty()) continue;
        // A worker that said it sends may not have queued its call yet: it is looked for again soon.
        if (std::exchange(e.sending, false)) served = true;
        const auto until = served ? std::min(deadline, now + std::chrono::milliseconds(1)) : deadline;
        served = false;
        // While the worker keeps handing pages over quickly, the next is watched for before this sleeps.
        const unsigned seen = e.changes.load(std::memory_order_acquire);
        guard.unlock();
        pageWait.Watch([&] { return e.changes.load(std::memory_order_acquire) != seen; }, until);
        guard.lock();
        e.wake.wait_until(guard, until, [&e] { return !e.due.empty() || e.sending; });
    }
}

bool WaitForOrphans(int timeoutMs) {
    return WaitServingSent(Orphans().none, static_cast<DWORD>(std::max(timeoutMs, 0)));
}

} // namespace winthread

TEventWinThread::TEventWinThread(TCustomWinThread* Owner) : owner_(Owner) {
    AcquireWindow();
    holdsWindow_ = true;
    if (Owner) catchExceptions_ = Owner->CatchExceptions();
}

// The last owner may be the thread itself, once it has ended: then the window was let go already.
TEventWinThread::~TEventWinThread() {
    terminated_ = true;
    if (started_ && !orphaned_) WaitFor();
    ReleaseWindow();
}

void TEventWinThread::ReleaseWindow() {
    if (holdsWindow_) {
        holdsWindow_ = false;
        ReleaseWindowUse();
    }
}

TEventWinThread* TEventWinThread::Current() {
    return currentThread;
}

bool TEventWinThread::Suppressed() const {
    return orphaned_ || (owner_ != nullptr && owner_->OwnerDestroying());
}

void TEventWinThread::RunPendingSync() {
    if (Suppressed()) return;
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
    {
        EndedRuns& e = EndedRunList();
        std::unique_lock guard(e.lock);
        if (e.waiters > 0) {
            e.sending = true;
            e.changes.fetch_add(1, std::memory_order_release);
            // Woken after the lock is let go, so that the GUI thread does not at once block on it.
            guard.unlock();
            e.wake.notify_all();
        }
    }
    SendMessage(window, kSyncMessage, 0, reinterpret_cast<LPARAM>(this));
    sync_ = nullptr;
    std::exception_ptr raised = std::exchange(syncException_, nullptr);
    if (raised && !catchExceptions_ && !orphaned_) std::rethrow_exception(raised);
}

bool TEventWinThread::ThreadProc() {
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
        if (OnTerminate && terminateUnwaited_ && !orphaned_) {
            // The GUI thread may start the next run as soon as it hears of this one's end.
            ThreadPool::Instance().ParkCurrent();
            ScheduleTerminate();
        } else if (OnTerminate) {
            try {
                Synchronize([this] { RunTerminate(); });
            } catch (...) {
            }
        }
        eventsDone_ = true;
        executing_ = false;
    }
    // Before finished_: a next run started once this one is seen finished finds this thread idle.
    ThreadPool::Instance().ParkCurrent();
    currentThread = nullptr;
    bool orphan;
    {
        std::lock_guard guard(Orphans().lock);
        orphan = orphaned_;
        std::lock_guard end(endLock_);
        finished_ = true;
        ended_.notify_all();
    }
    // The thread still owns this object here, whoever else has let go of it.
    done_.SetEvent();
    return orphan;
}

void TEventWinThread::RunTerminate() {
    TObject* sender = owner_;
    if (!catchExceptions_) {
        OnTerminate(sender);
        return;
    }
    try {
        OnTerminate(sender);
    } catch (...) {
        if (OnException) OnException(sender);
    }
}

void TEventWinThread::ScheduleTerminate() {
    terminateDue_ = true;
    DueOnGuiThread([self = shared_from_this()] { self->RunDueTerminate(); });
}

void TEventWinThread::Queue(const TThreadMethod& Method) {
    if (orphaned_ || !Method) return;
    DueOnGuiThread([self = shared_from_this(), Method] {
        if (!self->killed_ && !self->Suppressed()) Method();
    });
}

void TEventWinThread::DueOnGuiThread(std::function<void()> Step) {
    EndedRuns& e = EndedRunList();
    bool post;
    {
        std::lock_guard guard(e.lock);
        e.due.push_back(std::move(Step));
        // One message brings the GUI thread to every step that comes before it gets there.
        post = e.waiters == 0 && !e.posted;
        if (post) e.posted = true;
        e.changes.fetch_add(1, std::memory_order_release);
    }
    // The list lives as long as the process: it may be woken after the lock is let go.
    if (!post) {
        e.wake.notify_all();
        return;
    }
    const HWND window = winthread::SyncWindow();
    if (window && PostMessage(window, kEndedMessage, 0, 0)) return;
    // Only a run nobody holds any more finds no window: its step is dropped, and the next one posts.
    std::lock_guard guard(e.lock);
    e.posted = false;
}

void TEventWinThread::RunDueTerminate() {
    if (!terminateDue_.exchange(false) || Suppressed()) return;
    RunTerminate();
}

uint32_t TEventWinThread::WaitFor() {
    if (started_ && !orphaned_) {
        // Past its last GUI-thread call the worker never blocks on us again: a plain wait is enough.
        if (OnWindowThread()) {
            while (!finished_ && !eventsDone_)
                winthread::WaitServingSent(done_, INFINITE);
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
    ThreadPool::Instance().Run([self = shared_from_this()]() mutable {
        const bool orphan = self->ThreadProc();
        self.reset(); // an orphan's last owner is its thread: it is freed here
        if (orphan) OrphanEnded();
    });
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

std::shared_ptr<TEventWinThread> TEventWinThread::Kill() {
    auto fresh = std::make_shared<TEventWinThread>(owner_);
    fresh->priority_ = priority_;
    fresh->catchExceptions_ = catchExceptions_.load();
    fresh->terminateUnwaited_ = terminateUnwaited_.load();
    fresh->OnExecute = OnExecute;
    fresh->OnException = OnException;
    fresh->OnTerminate = OnTerminate;

    terminated_ = true;
    // A terminate step or call still due belongs to the run being stopped: it is not heard of any more.
    terminateDue_ = false;
    killed_ = true;
    if (started_) {
        OrphanState& o = Orphans();
        std::lock_guard guard(o.lock);
        if (!finished_ && !eventsDone_) {
            // From here the object belongs to its thread alone, which frees it when it ends.
            orphaned_ = true;
            if (o.count++ == 0) o.none.ResetEvent();
            ReleaseWindow();
            return fresh;
        }
    }
    // Unstarted, or done with its events: it ends at once.
    WaitFor();
    ReleaseWindow();
    return fresh;
}

TCustomWinThread::TCustomWinThread(TComponent* AOwner) : TComponent(AOwner) {
    thread_ = std::make_shared<TEventWinThread>(this);
}

TCustomWinThread::~TCustomWinThread() {
    Destroying();
    Stop(true); // a run still going is left to finish alone, silently
    thread_.reset();
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

void TCustomWinThread::SetTerminateUnwaited(bool Value) {
    terminateUnwaited_ = Value;
    thread_->SetTerminateUnwaited(Value);
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
    (t ? t : thread_.get())->Synchronize(Method);
}

bool TCustomWinThread::Execute() {
    Stop(true);
    const std::shared_ptr<TEventWinThread> run = thread_;
    run->Resume();
    if (!waitThread_) return true;
    using Clock = std::chrono::steady_clock;
    // A total deadline: a steady stream of messages must not keep the wait from expiring.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitTimeout_);
    HANDLE done = run->done_.Handle();
    for (;;) {
        DWORD wait = INFINITE;
        if (waitTimeout_ != 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = static_cast<DWORD>(std::max<long long>(left, 0));
        }
        // Wakes for the window's work and for the end of the run.
        MsgWaitForMultipleObjects(1, &done, FALSE_, wait, QS_ALLINPUT);
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
