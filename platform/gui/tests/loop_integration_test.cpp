#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "gui_test_support.h"
#include "platform/gui/backend.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/thread.h"
#include "tests/support/wait.h"

using namespace gui_test;
using testsupport::WaitUntil;

namespace {
constexpr UINT kEvent = 0x8FFF;
}

TEST(LoopIntegration, WorkerEventsRunWhileTheGuiThreadTurnsTheLoopItself) {
    // A transfer worker hands each event to the GUI thread and waits; the GUI thread, busy in a long
    // handler, only keeps the loop turning until the last event clears its flag.
    std::vector<int> events;
    bool busy = true;
    HWND target = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == kEvent) {
            events.push_back(static_cast<int>(m.WParam));
            if (m.WParam == 3) busy = false;
            m.Result = 1;
        }
    });
    std::thread worker([&] {
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(SendMessage(target, kEvent, static_cast<WPARAM>(i), 0), 1);
    });
    for (;;) {
        ProcessMessages();
        if (!busy) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE_, 1000, QS_ALLINPUT);
    }
    worker.join();
    EXPECT_EQ(events, (std::vector<int>{1, 2, 3}));
    DeallocateHWnd(target);
    EXPECT_FALSE(IsWindow(target));
}

TEST(LoopIntegration, TheRuntimesMainThreadCallsRunFromOurLoop) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    DWORD gui = GetCurrentThreadId();
    std::atomic<bool> ranOnGui{false};
    std::thread worker([&] {
        TThread::Synchronize(nullptr, [&] { ranOnGui = GetCurrentThreadId() == gui; });
        PostMessage(w, WM_USER + 9, 0, 0);
    });
    MSG msg;
    while (GetMessage(msg, nullptr, 0, 0) > 0 && msg.message != WM_USER + 9)
        DispatchMessage(msg);
    worker.join();
    EXPECT_TRUE(ranOnGui);
}

TEST(LoopIntegration, ExceptionsFromProceduresGoToTheHandlerNotThroughTheLoop) {
    std::vector<std::string> reported;
    pw::gui::SetExceptionHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    SetTestHandler(w, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) -> bool {
        if (msg == WM_USER + 4) throw std::runtime_error("handler failed");
        return false;
    });
    PostMessage(w, WM_USER + 4, 0, 0);
    EXPECT_NO_THROW(Pump());
    EXPECT_EQ(SendMessage(w, WM_USER + 4, 0, 0), 0);
    EXPECT_EQ(reported, (std::vector<std::string>{"handler failed", "handler failed"}));
    pw::gui::SetExceptionHandler(nullptr);
}

TEST(LoopIntegration, WorkerThreadsHaveTheirOwnQueueAndTimers) {
    std::atomic<DWORD> workerId{0};
    std::atomic<int> timerTicks{0};
    std::atomic<bool> quitSeen{false};
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        HWND w = AllocateHWnd([&](TMessage& m) {
            if (m.Msg == WM_TIMER) ++timerTicks;
        });
        SetTimer(w, 1, 10, nullptr);
        MSG msg;
        while (GetMessage(msg, nullptr, 0, 0) > 0)
            DispatchMessage(msg);
        quitSeen = msg.message == WM_QUIT;
        DeallocateHWnd(w);
    });
    ASSERT_TRUE(WaitUntil([&] { return workerId && timerTicks >= 2; }));
    EXPECT_TRUE(PostThreadMessage(workerId, WM_QUIT, 0, 0));
    worker.join();
    EXPECT_TRUE(quitSeen);
    EXPECT_FALSE(PostThreadMessage(workerId, WM_USER, 0, 0)); // its queue went with it
}

TEST(LoopIntegration, AForeignLoopServesOurQueueAndHooksWatchEveryProcedureCall) {
    // A toolkit dialog's own loop calls the pump; our posted messages still run.
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    static std::vector<UINT> watched;
    watched.clear();
    static HHOOK hook = nullptr;
    hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
            auto* cwp = reinterpret_cast<CWPSTRUCT*>(lp);
            if (cwp->message >= WM_USER) watched.push_back(cwp->message);
            return CallNextHookEx(hook, code, wp, lp);
        },
        nullptr, GetCurrentThreadId());
    PostMessage(w, WM_USER + 1, 0, 0);
    SendMessage(w, WM_USER + 2, 0, 0);
    Log().clear();
    pw::gui::PumpFromForeignLoop();
    EXPECT_EQ(MessagesOf(w, {WM_USER + 1}).size(), 1u);
    EXPECT_EQ(watched, (std::vector<UINT>{WM_USER + 2, WM_USER + 1}));
    UnhookWindowsHookEx(hook);
}
