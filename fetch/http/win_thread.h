#pragma once
// A worker thread whose work and events are bound methods, and the way for the worker to run a method
// on the GUI thread and wait for it (a message sent to one hidden window shared by the whole process).
// Threads are never killed: a hard stop detaches the running thread as an orphan that finishes alone
// with every event suppressed, and hands back a fresh, unstarted thread object. Each run gets a fresh
// thread object, owned together by its component and by the thread that runs it, so an orphan is freed
// by its own thread when it ends; the operating-system threads under them are kept and reused, since
// starting one costs more than a small transfer on loopback. Waits sleep: a thread that ends wakes
// whoever waits for it.
#include "platform/rtl/component.h"
#include "platform/rtl/sync.h"
#include "platform/rtl/wintypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;
using TWinThreadWaitTimeoutExpired = std::function<void(TObject* Sender, bool& TerminateThread)>;

class TCustomWinThread;

class TEventWinThread : public TObject, public std::enable_shared_from_this<TEventWinThread> {
public:
    explicit TEventWinThread(TCustomWinThread* Owner);
    ~TEventWinThread() override;
    std::string ClassName() const override { return "TEventWinThread"; }

    // Runs Method on the GUI thread and returns once it has run; from the GUI thread it runs at once.
    void Synchronize(const TThreadMethod& Method);
    // From the worker: runs Method on the GUI thread later, in order with the terminate steps of runs
    // that end without waiting, and returns at once; nothing runs after a hard stop.
    void Queue(const TThreadMethod& Method);
    // Waits for the thread procedure to end (running the worker's GUI-thread calls meanwhile when called
    // on the GUI thread) and answers ReturnValue.
    uint32_t WaitFor();
    void Suspend();
    void Resume();
    bool Suspended() const { return suspended_; }
    void SetSuspended(bool Value);
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Executing() const { return executing_; }
    // True once the thread procedure has ended.
    bool Finished() const { return finished_; }
    uint32_t ReturnValue() const { return returnValue_; }
    void SetReturnValue(uint32_t Value) { returnValue_ = Value; }
    // Stops the thread cooperatively and replaces this object: the running thread is left to finish
    // alone with its events suppressed; the answer is a fresh object with the same priority and events.
    // The caller lets go of this object afterwards; its thread keeps it until it ends.
    std::shared_ptr<TEventWinThread> Kill();
    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority Value);
    TCustomWinThread* Owner() const { return owner_; }
    // True once a hard stop has detached this object's thread: nothing of it reaches the GUI thread.
    bool Orphaned() const { return orphaned_; }

    // The thread object whose thread procedure is running on the calling thread, if any.
    static TEventWinThread* Current();

    TNotifyEvent OnExecute;
    TNotifyEvent OnException;
    TNotifyEvent OnTerminate;

    // Called by the hidden window on the GUI thread for a pending Synchronize.
    void RunPendingSync();
    // The owner's CatchExceptions, kept here so an orphan never reads its former owner.
    void SetCatchExceptions(bool Value) { catchExceptions_ = Value; }
    // The owner's TerminateUnwaited.
    void SetTerminateUnwaited(bool Value) { terminateUnwaited_ = Value; }
    // On the GUI thread: the terminate step of a run that ended without waiting for it, once.
    void RunDueTerminate();

private:
    friend class TCustomWinThread; // waits for done_
    // Answers whether the thread ended as an orphan.
    bool ThreadProc();
    bool Suppressed() const;
    void ReleaseWindow();
    void RunTerminate();
    // Leaves the terminate step to the GUI thread and lets the worker go on at once.
    void ScheduleTerminate();
    void DueOnGuiThread(std::function<void()> Step);

    std::mutex endLock_;
    std::condition_variable ended_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{true};
    std::atomic<bool> executing_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> orphaned_{false};
    std::atomic<bool> eventsDone_{false};
    std::atomic<bool> catchExceptions_{true};
    std::atomic<bool> terminateUnwaited_{false};
    // Set by a run that ended without waiting, until the GUI thread runs (or a hard stop drops) its step.
    std::atomic<bool> terminateDue_{false};
    // Set by a hard stop: the calls the run queued are dropped.
    std::atomic<bool> killed_{false};
    std::atomic<uint32_t> returnValue_{0};
    std::atomic<bool> started_{false};
    bool holdsWindow_ = false; // GUI thread only
    // Set once the thread makes no more GUI-thread calls (its events are done, or it ended).
    TEvent done_{true, false};
    TThreadPriority priority_ = tpNormal;
    TThreadMethod sync_;
    std::exception_ptr syncException_;
    TCustomWinThread* owner_;
};

class TCustomWinThread : public TComponent {
public:
    explicit TCustomWinThread(TComponent* AOwner);
    ~TCustomWinThread() override;
    std::string ClassName() const override { return "TCustomWinThread"; }

    void Loaded() override;
    // Starts a new run on a fresh thread (a previous run still going is stopped hard first). With
    // WaitThread, waits for the run while pumping messages and answers False when the wait timed out and
    // the run was stopped.
    bool Execute();
    void Stop(bool Hard);
    // From the worker: runs Method on the GUI thread, unless the owner is being destroyed.
    void Synchronize(const TThreadMethod& Method);
    void Suspend() { thread_->Suspend(); }
    bool Running() const { return thread_->Executing(); }
    bool Terminated() const { return thread_->Terminated(); }
    TEventWinThread* Thread() const { return thread_.get(); }

    bool Suspended() const { return suspended_; }
    void SetSuspended(bool Value);
    bool CatchExceptions() const { return catchExceptions_; }
    void SetCatchExceptions(bool Value);
    // Off (the default): a run ends by waiting until the GUI thread has run OnTerminate. On: the worker
    // leaves OnTerminate to the GUI thread and is free at once; the GUI thread runs it at its next loop
    // turn, or at once inside winthread::WaitForRuns. A hard stop drops a terminate step still due.
    bool TerminateUnwaited() const { return terminateUnwaited_; }
    void SetTerminateUnwaited(bool Value);
    bool WaitThread() const { return waitThread_; }
    void SetWaitThread(bool Value) { waitThread_ = Value; }
    uint32_t WaitTimeout() const { return waitTimeout_; }
    void SetWaitTimeout(uint32_t Value) { waitTimeout_ = Value; }
    TThreadPriority ThreadPriority() const { return thread_->Priority(); }
    void SetThreadPriority(TThreadPriority Value) { thread_->SetPriority(Value); }

    const TNotifyEvent& OnExecute() const { return thread_->OnExecute; }
    void SetOnExecute(TNotifyEvent Value) { thread_->OnExecute = std::move(Value); }
    const TNotifyEvent& OnException() const { return thread_->OnException; }
    void SetOnException(TNotifyEvent Value) { thread_->OnException = std::move(Value); }
    const TNotifyEvent& OnTerminate() const { return thread_->OnTerminate; }
    void SetOnTerminate(TNotifyEvent Value) { thread_->OnTerminate = std::move(Value); }

    TWinThreadWaitTimeoutExpired OnWaitTimeoutExpired;

    // True when this component or its owner is being destroyed: nothing more is run for it.
    bool OwnerDestroying() const;

private:
    std::shared_ptr<TEventWinThread> thread_;
    bool suspended_ = true;
    bool catchExceptions_ = true;
    bool terminateUnwaited_ = false;
    bool waitThread_ = false;
    uint32_t waitTimeout_ = 0;
};

namespace winthread {
// Windows-compatible priority values of the enumeration.
int PriorityValue(TThreadPriority Priority);
TThreadPriority PriorityFromValue(int Value);
// The hidden window's handle while any thread object lives, else nullptr.
HWND SyncWindow();
// Threads detached by hard stops that have not ended yet.
int OrphanCount();
// Waits (running GUI-thread calls when on the GUI thread) until no orphan is left; false on timeout.
bool WaitForOrphans(int timeoutMs);
// On the GUI thread: sleeps until Done() holds (true) or the timeout passes, running meanwhile the terminate
// steps of runs that end without waiting and the calls workers send; it turns no message loop, so it costs
// the GUI thread nothing while it waits for a worker. Done is asked after each of them.
bool WaitForRuns(const std::function<bool()>& Done, DWORD timeoutMs);
// Sleeps until the event is set (true) or the timeout passes. On the GUI thread it runs the calls that
// workers send it meanwhile, and nothing else, so that a worker waiting for the GUI thread cannot
// deadlock the wait.
bool WaitServingSent(TEvent& event, DWORD timeoutMs);
} // namespace winthread
