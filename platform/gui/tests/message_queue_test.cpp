#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui_test_support.h"
#include "platform/gui/backend.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "tests/support/wait.h"

using namespace gui_test;
using testsupport::WaitUntil;

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kPong = WM_USER + 2;

MSG Drain(UINT message) {
    MSG msg;
    while (GetMessage(msg, nullptr, 0, 0) > 0) {
        if (msg.message == message) return msg;
        DispatchMessage(msg);
    }
    return msg;
}

} // namespace

TEST(MessageQueue, CreationAndDestructionArriveInWin32Order) {
    Log().clear();
    HWND parent = MakeTopLevel(RECT{0, 0, 100, 100}, WS_POPUP);
    HWND child = MakeChild(parent, RECT{0, 0, 10, 10});
    auto created = MessagesOf(nullptr, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE});
    EXPECT_EQ(created, (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_NCCREATE, WM_NCCALCSIZE,
                                          WM_CREATE}));
    Log().clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : Log())
        if (s.msg == WM_DESTROY || s.msg == WM_NCDESTROY) order.emplace_back(s.hwnd, s.msg);
    // WM_DESTROY goes down the tree, WM_NCDESTROY comes back up: children are freed first.
    std::vector<std::pair<HWND, UINT>> expected{
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
}

TEST(MessageQueue, StaleHandlesFailCleanlyAndAreNeverReused) {
    HWND a = MakeTopLevel(RECT{0, 0, 10, 10});
    DestroyWindow(a);
    HWND b = MakeTopLevel(RECT{0, 0, 10, 10});
    EXPECT_NE(a, b);
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(GetWindowRect(a, r));
    EXPECT_EQ(r, (RECT{1, 2, 3, 4}));
    EXPECT_FALSE(PostMessage(a, kPing, 0, 0));
    EXPECT_EQ(SendMessage(a, kPing, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(a));
    EXPECT_FALSE(ShowWindow(a, SW_SHOW));
    EXPECT_FALSE(SetWindowPos(a, nullptr, 0, 0, 5, 5, 0));
    EXPECT_EQ(SetTimer(a, 1, 10, nullptr), 0u);
    EXPECT_EQ(GetDC(a), nullptr);
    EXPECT_EQ(SetParent(b, a), nullptr);
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    EXPECT_EQ(GetMessage(msg, a, 0, 0), -1);
    // A loop waiting on b's messages ends when b is destroyed meanwhile.
    SetTimer(b, 1, 10, [](HWND h, UINT, UINT_PTR, DWORD) { DestroyWindow(h); });
    int got;
    while ((got = GetMessage(msg, b, 0, 0)) > 0)
        DispatchMessage(msg);
    EXPECT_EQ(got, -1);
    EXPECT_FALSE(IsWindow(b));
}

// What was posted to the window before it went is dropped, not delivered to a stale handle.
TEST(MessageQueue, WindowDestroyedInsideItsOwnHandler) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND child = MakeChild(w, RECT{0, 0, 5, 5});
    SetTestHandler(w, [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != kPing) return false;
        DestroyWindow(h);
        // Still safe to call back into the layer with the now stale handle.
        PostMessage(h, kPing, 0, 0);
        r = IsWindow(h) ? 1 : 2;
        return true;
    });
    SetTimer(w, 7, 10, nullptr);
    PostMessage(w, kPing, 0, 0);
    PostMessage(w, kPong, 0, 0);
    EXPECT_EQ(SendMessage(w, kPing, 0, 0), 2);
    EXPECT_FALSE(IsWindow(child));
    Log().clear();
    Pump();
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(KillTimer(w, 7));
}

TEST(MessageQueue, DestroyingAgainDuringDestructionChangesNothing) {
    HWND parent = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND child = MakeChild(parent, RECT{0, 0, 5, 5});
    SetTestHandler(parent, [](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_DESTROY) {
            EXPECT_TRUE(DestroyWindow(h));
        }
        return false;
    });
    SetTestHandler(child, [parent](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_DESTROY) {
            DestroyWindow(parent);
            DestroyWindow(h);
        }
        return false;
    });
    Log().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(MessagesOf(nullptr, {WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_DESTROY, WM_DESTROY, WM_NCDESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(child));
}

TEST(MessageQueue, SendInsideAHandlerRunsAtOnceAndPostWaits) {
    HWND a = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND b = MakeTopLevel(RECT{0, 0, 10, 10});
    std::vector<std::string> trace;
    SetTestHandler(a, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != kPing) return false;
        trace.push_back("a" + std::to_string(wp));
        PostMessage(b, kPong, 1, 0);
        r = SendMessage(b, kPong, 2, 0) + 1;
        trace.push_back("a-end");
        return true;
    });
    SetTestHandler(b, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != kPong) return false;
        trace.push_back("b" + std::to_string(wp));
        r = 40;
        return true;
    });
    EXPECT_EQ(SendMessage(a, kPing, 0, 0), 41);
    Pump();
    EXPECT_EQ(trace, (std::vector<std::string>{"a0", "b2", "a-end", "b1"}));
}

TEST(MessageQueue, PeekMessageRemovesOnlyWhatItIsAskedTo) {
    HWND a = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND b = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND bChild = MakeChild(b, RECT{0, 0, 5, 5});
    Pump();
    PostMessage(a, WM_USER + 5, 0, 0);
    PostMessage(bChild, WM_USER + 1, 0, 0);
    PostMessage(b, WM_USER + 9, 0, 0);
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    // The window filter includes the window's children; the range is inclusive at both ends.
    ASSERT_TRUE(PeekMessage(msg, b, WM_USER + 1, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, bChild);
    EXPECT_FALSE(PeekMessage(msg, a, WM_USER + 6, WM_USER + 100, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    EXPECT_EQ(msg.hwnd, nullptr);
    ASSERT_TRUE(PeekMessage(msg, nullptr, WM_USER + 9, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    EXPECT_FALSE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, ModalLoopsEndOnQuitAndPostItAgain) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    int innerRuns = 0;
    SetTestHandler(w, [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != kPing) return false;
        // A local loop, as menus and drag loops run it.
        ++innerRuns;
        MSG m;
        for (;;) {
            if (!GetMessage(m, nullptr, 0, 0)) {
                RepostQuit(m);
                break;
            }
            DispatchMessage(m);
        }
        PostMessage(h, kPong, 0, 0); // lost behind the quit? No: posted messages come first.
        return true;
    });
    PostMessage(w, kPing, 0, 0);
    PostQuitMessage(42);
    MSG msg;
    std::vector<UINT> outer;
    while (GetMessage(msg, nullptr, 0, 0)) {
        outer.push_back(msg.message);
        DispatchMessage(msg);
    }
    EXPECT_EQ(innerRuns, 1);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_EQ(outer, (std::vector<UINT>{kPing, kPong}));
}

TEST(MessageQueue, ProcessMessagesKeepsTheQuitForTheOuterLoop) {
    PostQuitMessage(5);
    PostThreadMessage(GetCurrentThreadId(), kPing, 0, 0);
    EXPECT_FALSE(ProcessMessages());
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));

    // Inside a modal loop that has its result, nothing after the message that set it is answered.
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    int answered = 0;
    SetTestHandler(w, [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
        answered += m == kPing;
        return m == kPing;
    });
    for (int i = 0; i < 3; ++i)
        PostMessage(w, kPing, 0, 0);
    EXPECT_FALSE(ProcessMessages([&] { return answered == 1; }));
    EXPECT_EQ(answered, 1);
    EXPECT_TRUE(ProcessMessages([] { return false; }));
    EXPECT_EQ(answered, 3);
    DestroyWindow(w);
}

TEST(MessageQueue, WorkerThreadsPostAndSendToGuiWindows) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    DWORD gui = GetCurrentThreadId();
    std::atomic<int> sentResult{0};
    int handledOnGui = 0;
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != kPing) return false;
        if (GetCurrentThreadId() == gui) ++handledOnGui;
        EXPECT_TRUE(InSendMessage() || wp == 0);
        r = static_cast<LRESULT>(wp * 2);
        return true;
    });
    std::thread worker([&] {
        PostMessage(w, kPing, 0, 0);
        // Arrives while the GUI thread sleeps in GetMessage.
        sentResult = static_cast<int>(SendMessage(w, kPing, 21, 0));
        PostMessage(w, kPong, 0, 0);
    });
    MSG last = Drain(kPong);
    worker.join();
    EXPECT_EQ(last.message, kPong);
    EXPECT_EQ(sentResult.load(), 42);
    EXPECT_EQ(handledOnGui, 2);
}

TEST(MessageQueue, RapidRoundTripsBetweenWorkerAndGuiLoseNoWakeUp) {
    // Each exchange wakes the other side right after its answer is stored; a lost wake-up would leave the
    // GUI thread asleep in GetMessage for good.
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != kPing) return false;
        r = static_cast<LRESULT>(wp + 1);
        return true;
    });
    constexpr int kRounds = 2000;
    std::atomic<int> wrong{0};
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (SendMessage(w, kPing, static_cast<WPARAM>(i), 0) != i + 1) ++wrong;
            if (i % 3 == 0) PostMessage(w, kPing, 0, 0);
        }
        PostMessage(w, kPong, 0, 0);
    });
    MSG last = Drain(kPong);
    worker.join();
    EXPECT_EQ(last.message, kPong);
    EXPECT_EQ(wrong.load(), 0);
}

TEST(MessageQueue, SendingToAWorkerWhileItSendsBackDoesNotDeadlock) {
    HWND guiWindow = MakeTopLevel(RECT{0, 0, 10, 10});
    SetTestHandler(guiWindow, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != kPong) return false;
        r = static_cast<LRESULT>(wp + 100);
        return true;
    });
    std::atomic<HWND> workerWindow{nullptr};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        HWND h = AllocateHWnd([&](TMessage& m) {
            if (m.Msg == kPing) {
                // Back to the GUI thread, which is itself blocked in SendMessage to us.
                m.Result = SendMessage(guiWindow, kPong, m.WParam, 0) + 1;
            } else {
                m.Result = DefWindowProc(workerWindow.load(), m.Msg, m.WParam, m.LParam);
            }
        });
        workerWindow = h;
        MSG msg;
        WaitUntil([&] {
            if (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE_, 20, QS_ALLINPUT);
            return stop.load();
        });
        DeallocateHWnd(h);
    });
    ASSERT_TRUE(WaitUntil([&] { return workerWindow != nullptr; }));
    EXPECT_EQ(SendMessage(workerWindow, kPing, 5, 0), 106);
    uintptr_t result = 0;
    EXPECT_EQ(SendMessageTimeout(workerWindow, kPing, 7, 0, SMTO_NORMAL, 60000, &result), 1);
    EXPECT_EQ(result, 108u);
    stop = true;
    worker.join();
    // The worker's window went with its thread's own DeallocateHWnd.
    EXPECT_FALSE(IsWindow(workerWindow));
}

TEST(MessageQueue, KeyDownTranslatesToACharacterBeforeLaterInput) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10}, WS_POPUP | WS_VISIBLE);
    SetFocus(w);
    Pump();
    Log().clear();
    pw::gui::SimulateKey('A', true, U'a');
    pw::gui::SimulateKey('A', false);
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> got;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
        got.emplace_back(msg.message, msg.wParam);
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    std::vector<std::pair<UINT, WPARAM>> expected{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}};
    EXPECT_EQ(got, expected);
}

namespace {
int strayTimerCalls = 0;
void StrayTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++strayTimerCalls;
}
} // namespace

TEST(MessageQueue, ForgedOrIgnoredMessagesCannotMisleadTheLoop) {
    // A WM_TIMER naming a callback that no live timer has is not a way to call code.
    PostThreadMessage(GetCurrentThreadId(), WM_TIMER, 99, reinterpret_cast<LPARAM>(&StrayTimer));
    Pump();
    EXPECT_EQ(strayTimerCalls, 0);
    // A procedure that never validates its window is not asked to paint forever.
    HWND lazy = MakeTopLevel(RECT{0, 0, 20, 20});
    SetTestHandler(lazy, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_PAINT) return false;
        r = 0;
        return true;
    });
    InvalidateRect(lazy, nullptr, TRUE_);
    Log().clear();
    Pump();
    EXPECT_EQ(MessagesOf(lazy, {WM_PAINT}).size(), 1u);
    MSG msg;
    EXPECT_FALSE(PeekMessage(msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST(MessageQueue, AThreadThatEndsTakesItsWindowsAndNobodyWaitsForThem) {
    std::atomic<HWND> orphan{nullptr};
    std::thread([&] {
        orphan =
            CreateWindowEx(0, RecordingClass(), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    }).join();
    EXPECT_FALSE(IsWindow(orphan));
    EXPECT_EQ(SendMessage(orphan, kPing, 0, 0), 0);
    // A send that the receiver never serves gives up at its timeout.
    std::atomic<HWND> busy{nullptr};
    std::atomic<bool> release{false};
    std::atomic<int> calls{0};
    std::thread worker([&] {
        busy = AllocateHWnd([&](TMessage& m) {
            ++calls;
            m.Result = 1;
        });
        WaitUntil([&] { return release.load(); });
        MSG m;
        while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(m);
        EXPECT_EQ(calls.load(), 0); // the timed-out send was withdrawn, not left to run late
        DeallocateHWnd(busy);
    });
    ASSERT_TRUE(WaitUntil([&] { return busy != nullptr; }));
    uintptr_t result = 7;
    EXPECT_EQ(SendMessageTimeout(busy, kPing, 0, 0, SMTO_NORMAL, 50, &result), 0);
    EXPECT_EQ(result, 7u);
    release = true;
    worker.join();
}

TEST(MessageQueue, AThreadThatEndsWakesWhoeverWaitsForItsAnswer) {
    // The receiver ends without serving the message: its end, not a later look, wakes the sender (a
    // worker, which nothing else wakes), which gets no answer rather than a timeout.
    std::atomic<HWND> doomed{nullptr};
    std::thread receiver([&] {
        doomed = AllocateHWnd([](TMessage& m) { m.Result = 1; });
        WaitUntil([] { return (GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE) != 0; });
    });
    ASSERT_TRUE(WaitUntil([&] { return doomed != nullptr; }));
    std::atomic<LRESULT> answered{-1};
    uintptr_t result = 7;
    std::thread sender([&] {
        // Its own timeout lies past the test's patience: only the receiver's end can wake it in time.
        const auto limit = static_cast<UINT>(2 * testsupport::kWaitLimit.count());
        answered = SendMessageTimeout(doomed, kPing, 0, 0, SMTO_NORMAL, limit, &result);
    });
    receiver.join();
    EXPECT_TRUE(WaitUntil([&] { return answered != -1; }));
    sender.join();
    EXPECT_EQ(answered.load(), 1);
    EXPECT_EQ(result, 0u);
}

TEST(MessageQueue, WaitsForEventsSleepUntilAnotherThreadSetsOne) {
    TEvent first(true, false), second(false, false);
    HANDLE both[] = {first.Handle(), second.Handle()};
    std::thread setter([&] { second.SetEvent(); });
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE_, INFINITE, QS_SENDMESSAGE), WAIT_OBJECT_0 + 1);
    setter.join();
    // An auto-reset event lets one wait through; a manual-reset one stays set.
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE_, 0, 0), WAIT_TIMEOUT);
    first.SetEvent();
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE_, 0, 0), WAIT_OBJECT_0);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE_, 0, 0), WAIT_OBJECT_0);
    // Input of the kinds asked for ends the wait as well, after the events.
    first.ResetEvent();
    PostThreadMessage(GetCurrentThreadId(), kPing, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE_, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0 + 2);
    Drain(kPing);
}

TEST(MessageQueue, TimedWaitsSleepTheirTimeAndAPostEndsThemAtOnce) {
    using Clock = std::chrono::steady_clock;
    // A wait that took its time in seconds would still be asleep at the wait limit.
    const auto start = Clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE_, 100, QS_POSTMESSAGE), WAIT_TIMEOUT);
    const auto slept = Clock::now() - start;
    EXPECT_GE(slept, std::chrono::milliseconds(99));
    EXPECT_LT(slept, testsupport::kWaitLimit);

    // A wait twice as long as the wait limit ends with the post, not with its time.
    const DWORD self = GetCurrentThreadId();
    std::atomic<Clock::rep> postedAt{0};
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        postedAt = Clock::now().time_since_epoch().count();
        PostThreadMessage(self, kPing, 0, 0);
    });
    const auto limit = static_cast<DWORD>(2 * testsupport::kWaitLimit.count());
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE_, limit, QS_POSTMESSAGE), WAIT_OBJECT_0 + 0);
    const auto woke = Clock::now().time_since_epoch().count();
    poster.join();
    EXPECT_LT(Clock::duration(woke - postedAt.load()), testsupport::kWaitLimit);
    Drain(kPing);
}

namespace {

// The toolkit as the tests run it, counting the loop's passes through it (looks without waiting among
// them) and the looks that only ran what was posted to it, and saying, as the test sets, whether the
// program gave it work and whether the thread sleeps in it (as with a screen).
class CountingBackend : public ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    void ProcessEvents(int timeoutMs) override {
        ++passes;
        if (timeoutMs == 0) ++looks;
        given = false;
        ForwardingBackend::ProcessEvents(timeoutMs);
    }
    void RunPostedEvents() override {
        ++postedOnly;
        ForwardingBackend::RunPostedEvents();
    }
    bool GivenWork() const override { return given; }
    bool SleepsInToolkit() const override { return screen; }
    void Clear() { passes = looks = postedOnly = 0; }
    int passes = 0, looks = 0, postedOnly = 0;
    bool given = false, screen = false;
};

} // namespace

// A pass through the toolkit's loop costs a system call, and a crawl of a slow site wakes its thread
// about twice a page: the loop passes through the toolkit once for a wake, and between passes only runs
// what was posted to it, unless the program gave it work or time has passed (a screen's input).
TEST(MessageQueue, TheLoopPassesThroughTheToolkitOnceForAWakeAndAgainOnlyWhenItMayFindMore) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10}, WS_POPUP);
    ProcessMessages();
    std::atomic<DWORD> now{GetTickCount() + 100000};
    pw::gui::SetTickSource([&] { return now.load(); });
    pw::gui::Backend* real = pw::gui::CurrentBackend();
    CountingBackend counting(real);
    pw::gui::SetBackend(&counting);
    struct Restore {
        pw::gui::Backend* real;
        ~Restore() {
            pw::gui::SetBackend(real);
            pw::gui::SetTickSource(nullptr);
        }
    } restore{real};
    int pings = 0;
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == kPing) ++pings;
        return false;
    });

    // Long work turns the loop: a turn passes through the toolkit once, however many messages it runs,
    // and the next within a few milliseconds only runs what was posted to it.
    EXPECT_TRUE(ProcessMessagesUnpainted());
    EXPECT_EQ(counting.looks, 1);
    counting.Clear();
    EXPECT_TRUE(ProcessMessages());
    EXPECT_EQ(counting.looks, 0);
    EXPECT_GT(counting.postedOnly, 0);
    PostMessage(w, kPing, 0, 0);
    PostMessage(w, WM_NULL, 0, 0);
    EXPECT_TRUE(ProcessMessagesUnpainted());
    EXPECT_EQ(pings, 1);
    EXPECT_EQ(counting.looks, 0);
    // Work given to the toolkit (a window shown, say) is run at the next turn, once.
    counting.given = true;
    EXPECT_TRUE(ProcessMessages());
    EXPECT_TRUE(ProcessMessages());
    EXPECT_EQ(counting.looks, 1);
    // The next turn of long work, 5 ms later (which the millisecond clock may read as 4), looks for what
    // came meanwhile.
    counting.Clear();
    now += 4;
    EXPECT_TRUE(ProcessMessages());
    EXPECT_EQ(counting.looks, 1);

    // A thread woken on its queue by another thread's page passes through the toolkit once for the wake,
    // with or without a screen: with one it sleeps in the toolkit's loop, and that pass is the one.
    for (const bool screen : {false, true}) {
        counting.screen = screen;
        counting.Clear();
        pings = 0;
        std::thread worker([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            now += 20;
            PostMessage(w, kPing, 0, 0);
        });
        MSG msg;
        ASSERT_GT(GetMessage(msg, nullptr, 0, 0), 0);
        worker.join();
        DispatchMessage(msg);
        EXPECT_TRUE(ProcessMessages());
        EXPECT_EQ(pings, 1);
        EXPECT_EQ(counting.passes, 1) << (screen ? "with a screen" : "without one");
        EXPECT_EQ(counting.looks, screen ? 0 : 1);
    }
}

// A timer asked for longer than the longest a timer waits (INFINITE, say) waits that longest, as the
// desktop's does, rather than wrapping round to fire on every turn of the loop.
TEST(MessageQueue, ATimerOfInfiniteElapseWaitsInsteadOfFiringAtOnce) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    int forever = 0, soon = 0;
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM id, LPARAM, LRESULT&) {
        if (msg != WM_TIMER) return false;
        (id == 1 ? forever : soon)++;
        return true;
    });
    SetTimer(w, 1, INFINITE, nullptr);
    SetTimer(w, 2, 10, nullptr);
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        Pump();
    }
    EXPECT_GT(soon, 0);
    EXPECT_EQ(forever, 0);
    KillTimer(w, 1);
    KillTimer(w, 2);
    DestroyWindow(w);
}

// Made later, with the thread's first window, a queue would wait for any library another thread loads
// meanwhile (see SetBackend): the thread that starts the toolkit has its queue at once.
TEST(MessageQueue, TheThreadThatStartsTheToolkitHasItsQueueBeforeItsFirstWindow) {
    pw::gui::Backend* real = pw::gui::CurrentBackend();
    std::atomic<DWORD> id{0};
    std::atomic<bool> release{false};
    std::thread gui([&] {
        pw::gui::SetBackend(real);
        id = GetCurrentThreadId();
        testsupport::WaitUntil([&] { return release.load(); });
    });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return id.load() != 0; }));
    EXPECT_TRUE(PostThreadMessage(id, WM_NULL, 0, 0));
    release = true;
    gui.join();
    pw::gui::SetBackend(real);
}
