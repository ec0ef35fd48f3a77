#pragma once
// Worker threads whose results and events come back to the main (GUI) thread.
#include "platform/rtl/exception.h"
#include "platform/rtl/object.h"

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

PW_DECLARE_EXCEPTION(EThread, Exception)

using TThreadMethod = std::function<void()>;

std::thread::id MainThreadID();
bool IsMainThread();

// Runs the calls that workers passed to the main thread, waiting up to timeoutMs for the first one.
// Returns true when at least one ran. An exception from a queued (not waited-for) call passes out of here;
// one from a Synchronize call goes back to the worker that made it. Main thread only (EThread otherwise).
bool CheckSynchronize(int timeoutMs = 0);
// Called, from any thread, whenever a call is queued for the main thread, so its message loop can wake up
// and call CheckSynchronize. The GUI layer installs it; empty by default.
void SetWakeMainThread(std::function<void()> hook);

// Subclasses override Execute. A thread made with CreateSuspended == false begins when construction is
// complete, which C++ cannot see from the base class: create it through NewThread<T>(...) (or call
// AfterConstruction yourself). A subclass whose Execute uses its own members must stop the thread in its
// own destructor (Terminate(); WaitFor();), since those members are gone before ~TThread runs.
class TThread : public TObject {
public:
    explicit TThread(bool createSuspended);
    ~TThread() override;
    std::string ClassName() const override { return "TThread"; }

    void AfterConstruction();
    // Starts a thread created suspended; EThread when it was started already.
    void Start();
    // As Start, but a thread already running is left alone.
    void Resume();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Suspended() const { return !started_; }
    bool Finished() const { return finished_; }
    // Waits for the end of Execute and the OnTerminate call and answers ReturnValue. On the main thread it
    // keeps running the workers' Synchronize and Queue calls meanwhile, so OnTerminate cannot deadlock.
    int WaitFor();

    int ReturnValue() const { return returnValue_; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    // The exception that ended Execute, if any.
    std::exception_ptr FatalException() const { return fatalException_; }
    std::thread::id ThreadID() const { return threadId_; }

    // Runs on the main thread once Execute has ended, before the thread finishes.
    TNotifyEvent OnTerminate;

    // Runs method on the main thread and waits for it; from the main thread itself it runs at once.
    // An exception the method raises is raised again here.
    void Synchronize(TThreadMethod method) { Synchronize(this, std::move(method)); }
    // Hands method to the main thread without waiting; from the main thread itself it runs at once.
    void Queue(TThreadMethod method) { Queue(this, std::move(method)); }
    static void Synchronize(TThread* thread, TThreadMethod method);
    static void Queue(TThread* thread, TThreadMethod method);
    // Drops calls queued for thread that the main thread has not run yet.
    static void RemoveQueuedEvents(TThread* thread);

protected:
    virtual void Execute() = 0;
    void SetReturnValue(int value) { returnValue_ = value; }

private:
    void Run();
    void WaitUntilFinished(bool dropOwnQueued);

    std::mutex startMutex_; // held while Start publishes thread_ and threadId_
    std::thread thread_;
    std::thread::id threadId_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> returnValue_{0};
    std::atomic<bool> freeOnTerminate_{false};
    bool createSuspended_;
    std::exception_ptr fatalException_;
};

template <class T, class... Args> T* NewThread(Args&&... args) {
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
}
