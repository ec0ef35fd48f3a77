#include "platform/rtl/sync.h"
#include "platform/rtl/thread.h"

#include "tests/support/thrown_message.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using testsupport::kWaitLimit;
using testsupport::ThrownMessage;
using testsupport::WaitUntil;
using namespace std::chrono_literals;

namespace {

// Runs a given function as its Execute.
class LambdaThread : public TThread {
public:
    LambdaThread(bool suspended, std::function<void(LambdaThread&)> body)
        : TThread(suspended), body_(std::move(body)) {}
    ~LambdaThread() override {
        if (!Suspended() && !FreeOnTerminate()) {
            Terminate();
            WaitFor();
        }
    }
    using TThread::SetReturnValue;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(LambdaThread&)> body_;
};

} // namespace

TEST(Thread, WorkerCallsRunOnTheMainThreadWhileItDrains) {
    ASSERT_TRUE(IsMainThread());
    std::vector<int> seen;
    std::atomic<bool> wrongThread{false};
    std::atomic<int> wakes{0};
    SetWakeMainThread([&] { ++wakes; });
    LambdaThread worker(true, [&](LambdaThread& self) {
        for (int i = 0; i < 50; ++i)
            self.Synchronize([&, i] {
                if (!IsMainThread()) wrongThread = true;
                seen.push_back(i); // unguarded on purpose: only the main thread touches it
            });
        self.Queue([&] { seen.push_back(100); });
        self.SetReturnValue(7);
    });
    worker.Start();
    EXPECT_THROW(worker.Start(), EThread);
    // The main thread's own loop: drain until the worker is through.
    ASSERT_TRUE(WaitUntil([&] { return CheckSynchronize(5), worker.Finished(); }, kWaitLimit, 0ms));
    CheckSynchronize();
    EXPECT_EQ(worker.WaitFor(), 7);
    SetWakeMainThread(nullptr);
    ASSERT_EQ(seen.size(), 51u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_FALSE(wrongThread);
    EXPECT_EQ(wakes, 51);

    // From the main thread itself the call runs at once.
    bool ran = false;
    TThread::Synchronize(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);

    // Draining is for the main thread only.
    std::string error;
    std::thread([&] { error = ThrownMessage<EThread>([] { CheckSynchronize(); }); }).join();
    EXPECT_NE(error.find("NOT the main thread"), std::string::npos);
}

TEST(Thread, WaitForRunsOnTerminateAndReportsFailures) {
    // OnTerminate needs the main thread while the main thread waits: WaitFor must drain meanwhile.
    std::thread::id terminatedOn;
    LambdaThread worker(true, [](LambdaThread& self) { self.SetReturnValue(42); });
    worker.OnTerminate = [&](TObject* sender) {
        EXPECT_EQ(sender, &worker);
        terminatedOn = std::this_thread::get_id();
    };
    EXPECT_THROW(worker.WaitFor(), EThread); // never started
    worker.Start();
    EXPECT_EQ(worker.WaitFor(), 42);
    EXPECT_EQ(terminatedOn, MainThreadID());
    EXPECT_FALSE(worker.FatalException());

    // An exception in Execute ends the thread cleanly and is kept; OnTerminate still runs.
    bool terminated = false;
    LambdaThread failing(true, [](LambdaThread&) { throw EConvertError("bad number"); });
    failing.OnTerminate = [&](TObject*) { terminated = true; };
    failing.Start();
    failing.WaitFor();
    EXPECT_TRUE(terminated);
    ASSERT_TRUE(failing.FatalException());
    EXPECT_EQ(ThrownMessage<EConvertError>([&] { std::rethrow_exception(failing.FatalException()); }),
              "bad number");

    // A failing Synchronize call raises in the worker, not on the main thread.
    std::string caught;
    LambdaThread syncFails(true, [&](LambdaThread& self) {
        caught = ThrownMessage<std::runtime_error>(
            [&] { self.Synchronize([] { throw std::runtime_error("from main"); }); });
    });
    syncFails.Start();
    syncFails.WaitFor();
    EXPECT_EQ(caught, "from main");

    // A failing queued call raises out of CheckSynchronize on the main thread.
    LambdaThread queueFails(true, [](LambdaThread& self) { self.Queue([] { throw EAbort("queued"); }); });
    queueFails.Start();
    ASSERT_TRUE(WaitUntil([&] { return queueFails.Finished(); }));
    EXPECT_THROW(CheckSynchronize(), EAbort);
}

TEST(Thread, LifetimeTerminateAndFreeOnTerminate) {
    // The destructor of a running thread asks it to stop and waits.
    std::atomic<int> loops{0};
    {
        LambdaThread* t = NewThread<LambdaThread>(false, [&](LambdaThread& self) {
            while (!self.Terminated()) {
                ++loops;
                Sleep(1);
            }
        });
        EXPECT_TRUE(WaitUntil([&] { return loops > 0; }));
        delete t;
    }
    const int after = loops;
    Sleep(20);
    EXPECT_EQ(loops, after);

    // Terminated before it started: Execute never runs.
    bool executed = false;
    {
        LambdaThread t(true, [&](LambdaThread&) { executed = true; });
        t.Terminate();
        t.Start();
        t.WaitFor();
    }
    EXPECT_FALSE(executed);

    // A thread that frees itself does so after OnTerminate; the end of its body shows it is gone.
    auto body = std::make_shared<int>();
    const std::weak_ptr<int> alive = body;
    bool onTerminateRan = false;
    auto* self = new LambdaThread(true, [body = std::move(body)](LambdaThread&) {});
    self->SetFreeOnTerminate(true);
    self->OnTerminate = [&](TObject*) { onTerminateRan = true; };
    self->Start();
    ASSERT_TRUE(WaitUntil([&] { return CheckSynchronize(5), alive.expired(); }, kWaitLimit, 0ms));
    EXPECT_TRUE(onTerminateRan);

    // Queued calls of a thread that is gone are dropped, never run on a freed object: whether it had
    // finished before its destruction or was still running when the base destructor waited for it.
    bool queuedRan = false;
    {
        LambdaThread t(true, [&](LambdaThread& me) { me.Queue([&] { queuedRan = true; }); });
        t.Start();
        EXPECT_TRUE(WaitUntil([&] { return t.Finished(); }));
    }
    class Bare : public TThread {
    public:
        Bare(bool& ran, TSimpleEvent& running) : TThread(true), ran_(ran), running_(running) {}

    protected:
        void Execute() override {
            // Bare's members are gone once its destructor has run: take what is needed first.
            TThread* self = this;
            bool& ran = ran_;
            running_.SetEvent();
            Sleep(20);
            TThread::Queue(self, [&ran] { ran = true; });
        }

    private:
        bool& ran_;
        TSimpleEvent& running_;
    };
    {
        TSimpleEvent running;
        Bare bare(queuedRan, running);
        bare.Start();
        running.WaitFor();
    }
    CheckSynchronize();
    EXPECT_FALSE(queuedRan);
}

TEST(Sync, EventsCriticalSectionsAndTicks) {
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(10), wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), wrSignaled); // stays set
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrTimeout);

    TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), wrSignaled);
    EXPECT_EQ(automatic.WaitFor(0), wrTimeout); // one waiter went through

    // Set from another thread wakes an infinite wait.
    TSimpleEvent ready;
    const uint32_t start = GetTickCount();
    std::thread setter([&] {
        Sleep(10);
        ready.SetEvent();
    });
    EXPECT_EQ(ready.WaitFor(), wrSignaled);
    setter.join();
    // Only a floor: the wait cannot end before the setter's sleep, and ticks count milliseconds.
    EXPECT_GE(GetTickCount() - start, 9u);

    // Recursive entry by the holder; other threads are kept out until the last Leave.
    TCriticalSection cs;
    cs.Enter();
    cs.Enter();
    auto otherGetsIn = [&] {
        bool in = false;
        std::thread([&] {
            if ((in = cs.TryEnter())) cs.Leave();
        }).join();
        return in;
    };
    EXPECT_FALSE(otherGetsIn());
    cs.Leave();
    EXPECT_FALSE(otherGetsIn());
    cs.Leave();
    EXPECT_TRUE(otherGetsIn());
}
