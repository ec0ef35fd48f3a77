#include "fetch/http/win_thread.h"
#include "http_test_support.h"

#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/thread.h"
#include "tests/support/wait.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <time.h>

using http_test::PumpUntil;

namespace {

// Works until told to stop, calling the GUI thread every few milliseconds.
void busyUntilTerminated(std::atomic<int>& calls) {
    TEventWinThread* self = TEventWinThread::Current();
    while (!self->Terminated()) {
        self->Synchronize([&] { ++calls; });
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

TEST(WinThread, OneHiddenWindowSharedByAllThreadObjects) {
    ASSERT_EQ(winthread::SyncWindow(), nullptr);
    auto* a = new TCustomWinThread(nullptr);
    HWND window = winthread::SyncWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowText(window), "");
    char name[64] = {};
    GetClassName(window, name, sizeof name);
    EXPECT_STREQ(name, "TWinThreadWindow");
    auto* b = new TCustomWinThread(nullptr);
    EXPECT_EQ(winthread::SyncWindow(), window);
    delete a;
    EXPECT_TRUE(IsWindow(window));
    delete b;
    EXPECT_EQ(winthread::SyncWindow(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    WNDCLASS wc;
    EXPECT_FALSE(GetClassInfo(nullptr, "TWinThreadWindow", wc));
}

TEST(WinThread, EventsRunOnTheGuiThreadInOrderAndWaitForReturnsTheExitCode) {
    TCustomWinThread worker(nullptr);
    std::vector<std::string> log; // touched on the GUI thread only
    std::thread::id workThread;
    worker.SetOnExecute([&](TObject* sender) {
        EXPECT_EQ(sender, &worker);
        workThread = std::this_thread::get_id();
        for (int i = 0; i < 3; ++i)
            worker.Synchronize([&, i] {
                EXPECT_TRUE(IsMainThread());
                log.push_back("sync" + std::to_string(i));
            });
        TEventWinThread::Current()->SetReturnValue(7);
    });
    worker.SetOnTerminate([&](TObject*) {
        EXPECT_TRUE(IsMainThread());
        log.push_back("terminate");
    });
    ASSERT_TRUE(worker.Execute());
    // WaitFor on the GUI thread keeps the worker's calls running, so it cannot deadlock.
    EXPECT_EQ(worker.Thread()->WaitFor(), 7u);
    EXPECT_EQ(log, (std::vector<std::string>{"sync0", "sync1", "sync2", "terminate"}));
    EXPECT_NE(workThread, MainThreadID());
    EXPECT_FALSE(worker.Running());

    // Waiting inside Execute gives the same order; Synchronize from the GUI thread itself runs at once.
    log.clear();
    worker.SetWaitThread(true);
    ASSERT_TRUE(worker.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"sync0", "sync1", "sync2", "terminate"}));
    bool ran = false;
    worker.Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(WinThread, WaitTimeoutIsATotalDeadlineEvenWhileMessagesFlow) {
    TCustomWinThread worker(nullptr);
    std::atomic<int> calls{0};
    worker.SetOnExecute([&](TObject*) { busyUntilTerminated(calls); });
    bool terminated = false;
    worker.SetOnTerminate([&](TObject*) { terminated = true; });
    int expired = 0;
    worker.OnWaitTimeoutExpired = [&](TObject*, bool& terminate) {
        ++expired;
        EXPECT_TRUE(terminate);
    };
    worker.SetWaitThread(true);
    worker.SetWaitTimeout(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.Execute());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
    EXPECT_EQ(expired, 1);
    EXPECT_GT(calls.load(), 5); // the GUI thread kept serving the worker while it waited
    // The stopped run ends alone and reports nothing more.
    ASSERT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));
    const int after = calls.load();
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(calls.load(), after);
    EXPECT_FALSE(terminated);

    // A handler that keeps the run going: Execute answers True and the work carries on.
    worker.OnWaitTimeoutExpired = [&](TObject*, bool& terminate) { terminate = false; };
    EXPECT_TRUE(worker.Execute());
    EXPECT_TRUE(worker.Running());
    worker.Stop(false);
    EXPECT_TRUE(PumpUntil([&] { return terminated; }, gui_test::kPatienceMs));
}

TEST(WinThread, ExceptionsCrossThreadsAsConfigured) {
    TCustomWinThread worker(nullptr);
    worker.SetWaitThread(true);
    std::vector<std::string> log;
    worker.SetOnException([&](TObject*) {
        EXPECT_TRUE(IsMainThread());
        log.push_back("exception");
    });
    worker.SetOnTerminate([&](TObject*) { log.push_back("terminate"); });

    // A failing work is reported on the GUI thread and the run still terminates normally.
    worker.SetOnExecute([](TObject*) { throw Exception("work failed"); });
    EXPECT_TRUE(worker.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"exception", "terminate"}));

    // A failing GUI-thread call is dropped while exceptions are caught...
    std::string seen;
    worker.SetOnExecute([&](TObject*) {
        try {
            worker.Synchronize([] { throw Exception("gui call failed"); });
            seen = "nothing";
        } catch (const Exception& e) {
            seen = e.Message();
        }
    });
    log.clear();
    EXPECT_TRUE(worker.Execute());
    EXPECT_EQ(seen, "nothing");
    EXPECT_EQ(log, (std::vector<std::string>{"terminate"}));

    // ...and raised again in the worker when they are not.
    worker.SetCatchExceptions(false);
    EXPECT_TRUE(worker.Execute());
    EXPECT_EQ(seen, "gui call failed");

    // A failing OnTerminate goes to OnException when caught.
    worker.SetCatchExceptions(true);
    worker.SetOnExecute([](TObject*) {});
    worker.SetOnTerminate([](TObject*) { throw Exception("terminate failed"); });
    log.clear();
    EXPECT_TRUE(worker.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"exception"}));
}

TEST(WinThread, NothingRunsForAnOwnerBeingDestroyed) {
    auto* owner = new TComponent(nullptr);
    auto* worker = new TCustomWinThread(owner);
    std::atomic<int> calls{0};
    std::atomic<bool> started{false};
    worker->SetOnExecute([&](TObject*) {
        started = true;
        busyUntilTerminated(calls);
    });
    bool terminated = false;
    worker->SetOnTerminate([&](TObject*) { terminated = true; });
    ASSERT_TRUE(worker->Execute());
    ASSERT_TRUE(PumpUntil([&] { return calls.load() > 2; }, gui_test::kPatienceMs));
    delete owner; // frees the worker component while its thread runs
    const int atDestruction = calls.load();
    ASSERT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));
    EXPECT_EQ(calls.load(), atDestruction);
    EXPECT_FALSE(terminated);
    EXPECT_EQ(winthread::SyncWindow(), nullptr);
}

TEST(WinThread, ExecuteAgainReplacesTheThreadAndKeepsEventsAndPriority) {
    TCustomWinThread worker(nullptr);
    worker.SetThreadPriority(tpLower);
    std::atomic<int> calls{0};
    std::atomic<int> runs{0};
    worker.SetOnExecute([&](TObject*) {
        ++runs;
        busyUntilTerminated(calls);
    });
    ASSERT_TRUE(worker.Execute());
    TEventWinThread* first = worker.Thread();
    ASSERT_TRUE(PumpUntil([&] { return runs.load() == 1 && worker.Running(); }, gui_test::kPatienceMs));
    ASSERT_TRUE(worker.Execute());
    EXPECT_NE(worker.Thread(), first);
    EXPECT_EQ(worker.ThreadPriority(), tpLower);
    EXPECT_TRUE(PumpUntil([&] { return runs.load() == 2; }, gui_test::kPatienceMs));
    worker.Stop(false);
    EXPECT_TRUE(PumpUntil([&] { return !worker.Running(); }, gui_test::kPatienceMs));
    EXPECT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));

    EXPECT_EQ(winthread::PriorityValue(tpIdle), -15);
    EXPECT_EQ(winthread::PriorityValue(tpTimeCritical), 15);
    EXPECT_EQ(winthread::PriorityFromValue(-2), tpLowest);
    EXPECT_EQ(winthread::PriorityFromValue(3), tpNormal);
}

TEST(WinThread, RunsReuseParkedThreadsWhichSleep) {
    TCustomWinThread worker(nullptr);
    std::mutex lock;
    std::set<std::thread::id> threads;
    worker.SetOnExecute([&](TObject*) {
        std::lock_guard guard(lock);
        threads.insert(std::this_thread::get_id());
    });
    worker.SetWaitThread(true);
    for (int run = 0; run < 50; ++run)
        ASSERT_TRUE(worker.Execute());
    // A run may begin before the thread of the one before has parked (more often on a loaded machine, where
    // a finished thread can wait for a core before it parks), but fifty runs stay on a handful of threads.
    EXPECT_LE(threads.size(), 6u);
    // Parked, the threads sleep: a second of idleness costs next to no processor time.
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    };
    const double before = cpu();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(cpu() - before, 0.1);
}

TEST(WinThread, AnUnwaitedEndFreesTheWorkerAndWaitForRunsRunsItWithoutTheMessageLoop) {
    TCustomWinThread worker(nullptr);
    worker.SetTerminateUnwaited(true);
    std::vector<std::string> log; // GUI thread only
    worker.SetOnExecute([](TObject*) {});
    worker.SetOnTerminate([&](TObject*) {
        EXPECT_TRUE(IsMainThread());
        log.push_back("terminate");
    });
    // The run ends on its own while the GUI thread runs nothing: its terminate step waits, once.
    ASSERT_TRUE(worker.Execute());
    const auto start = std::chrono::steady_clock::now();
    while (!worker.Thread()->Finished() &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(gui_test::kPatienceMs))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(worker.Thread()->Finished());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(winthread::WaitForRuns([&] { return !log.empty(); }, gui_test::kPatienceMs));
    EXPECT_EQ(log, std::vector<std::string>{"terminate"});
    // The message the run posted for a loop that turns finds nothing left to do.
    PumpUntil([] { return false; }, 20);
    EXPECT_EQ(log.size(), 1u);

    // The worker's calls are run by the wait too, before the end; a wait that ends on time says so.
    log.clear();
    worker.SetOnExecute([&](TObject*) { worker.Synchronize([&] { log.push_back("sync"); }); });
    ASSERT_TRUE(worker.Execute());
    EXPECT_TRUE(winthread::WaitForRuns([&] { return log.size() == 2; }, gui_test::kPatienceMs));
    EXPECT_EQ(log, (std::vector<std::string>{"sync", "terminate"}));
    EXPECT_FALSE(winthread::WaitForRuns([] { return false; }, 10));

    // Taken by a turning loop when nobody waits; dropped by a hard stop that comes first.
    log.clear();
    ASSERT_TRUE(worker.Execute());
    EXPECT_TRUE(PumpUntil([&] { return log.size() == 2; }, gui_test::kPatienceMs));
    log.clear();
    worker.SetOnExecute([](TObject*) {});
    ASSERT_TRUE(worker.Execute());
    const std::shared_ptr<TEventWinThread> ended = worker.Thread()->shared_from_this();
    while (!ended->Finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.Stop(true);
    PumpUntil([] { return false; }, 20);
    EXPECT_TRUE(log.empty());
}

TEST(WinThread, AnEndPostedToTheHiddenWindowAsItGoesDoesNotSilenceLaterRuns) {
    // The run's end is posted and never pumped: the last thread object takes the window, and the
    // message with it. The next window's runs must still reach a turning loop.
    {
        TCustomWinThread first(nullptr);
        first.SetTerminateUnwaited(true);
        first.SetOnExecute([](TObject*) {});
        first.SetOnTerminate([](TObject*) {});
        ASSERT_TRUE(first.Execute());
        ASSERT_TRUE(testsupport::WaitUntil([&] { return first.Thread()->Finished(); }));
    }
    ASSERT_EQ(winthread::SyncWindow(), nullptr);
    TCustomWinThread second(nullptr);
    second.SetTerminateUnwaited(true);
    int terminated = 0;
    second.SetOnExecute([](TObject*) {});
    second.SetOnTerminate([&](TObject*) { ++terminated; });
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(second.Execute());
        EXPECT_TRUE(PumpUntil([&] { return terminated == run; }, gui_test::kPatienceMs)) << run;
    }
}

TEST(WinThread, QueuedCallsRunOnTheGuiThreadInOrderWithoutHoldingTheWorker) {
    TCustomWinThread worker(nullptr);
    worker.SetTerminateUnwaited(true);
    std::vector<std::string> log; // GUI thread only
    TEvent release{true, false};
    worker.SetOnExecute([&](TObject*) {
        TEventWinThread* self = TEventWinThread::Current();
        self->Queue([&] { log.push_back("first"); });
        self->Queue([&] { log.push_back("second"); });
        // The worker goes on while the GUI thread has not run either call.
        release.WaitFor(INFINITE);
    });
    worker.SetOnTerminate([&](TObject*) { log.push_back("terminate"); });
    ASSERT_TRUE(worker.Execute());
    EXPECT_TRUE(winthread::WaitForRuns([&] { return log.size() == 2; }, gui_test::kPatienceMs));
    release.SetEvent();
    EXPECT_TRUE(winthread::WaitForRuns([&] { return log.size() == 3; }, gui_test::kPatienceMs));
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "terminate"}));
    // A call queued by a run stopped hard before the GUI thread got to it is dropped.
    log.clear();
    release.ResetEvent();
    worker.SetOnExecute([&](TObject*) {
        TEventWinThread::Current()->Queue([&] { log.push_back("late"); });
        release.SetEvent();
    });
    ASSERT_TRUE(worker.Execute());
    release.WaitFor(INFINITE);
    worker.Stop(true);
    PumpUntil([] { return false; }, 20);
    EXPECT_TRUE(log.empty());
}

TEST(WinThread, BackToBackRunsAreHandedOverWithoutALostWakeUp) {
    // The worker watches for its next run and the GUI thread for the end of the last before either
    // sleeps: a run given or ended at any point of that must still be seen, short or long.
    // Runs left to end alone by earlier tests would give the pool threads of their own.
    ASSERT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));
    TCustomWinThread worker(nullptr);
    worker.SetTerminateUnwaited(true);
    std::mutex lock;
    std::set<std::thread::id> threads;
    int delayEvery = 0;
    std::atomic<int> executed{0};
    int terminated = 0; // GUI thread only
    worker.SetOnExecute([&](TObject*) {
        {
            std::lock_guard guard(lock);
            threads.insert(std::this_thread::get_id());
        }
        const int n = ++executed;
        // Now and then a run outlasts the watch and its waiter has to be woken from sleep.
        if (delayEvery && n % delayEvery == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    });
    worker.SetOnTerminate([&](TObject*) { ++terminated; });
    for (int round = 0; round < 2; ++round) {
        delayEvery = round == 0 ? 0 : 50;
        for (int run = 1; run <= 1000; ++run) {
            ASSERT_TRUE(worker.Execute());
            const int expected = round * 1000 + run;
            ASSERT_TRUE(winthread::WaitForRuns([&] { return terminated == expected; }, gui_test::kPatienceMs))
                << "run " << expected;
        }
    }
    EXPECT_EQ(executed.load(), 2000);
    // A run's thread is idle before anyone hears that the run ended, so each next run takes it again
    // however late the thread gets a processor: one thread, on any machine load.
    EXPECT_EQ(threads.size(), 1u);
}
