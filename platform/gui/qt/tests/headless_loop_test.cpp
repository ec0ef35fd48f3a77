#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <thread>

#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/wait.h"

namespace {

constexpr UINT kPageMessage = WM_USER + 7;

LRESULT QuietProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

long VoluntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

} // namespace

// A headless run waits for a worker's messages the way a crawl of a slow server does: it wakes once for
// each, woken by the post itself, and neither turns through the toolkit in between nor hands its choices to
// the programs it starts.
TEST(HeadlessLoop, WakesOnceForEachMessageOfASlowWorkerAndAtOnce) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_NO_GLIB");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "headless_loop_test";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<pw::gui::GuiApplication>(argc, argv);
    EXPECT_FALSE(QAbstractEventDispatcher::instance()->inherits("QEventDispatcherGlib"));
    EXPECT_EQ(std::getenv("QT_NO_GLIB"), nullptr)
        << "the programs it starts get the environment it was given";

    WNDCLASS wc;
    wc.lpfnWndProc = QuietProc;
    wc.lpszClassName = "HeadlessLoopTest";
    RegisterClass(wc);
    HWND w =
        CreateWindowEx(0, "HeadlessLoopTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(msg);

    // The loop has nothing else to wake it but a watchdog due long after the last message: a post that did
    // not wake it would leave it asleep until then (the messages come before the due timer).
    constexpr int kMessages = 25;
    const UINT_PTR watchdog =
        SetTimer(nullptr, 0, static_cast<UINT>(testsupport::kWaitLimit.count()), nullptr);
    std::thread worker([&] {
        for (int i = 0; i < kMessages; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            PostMessage(w, kPageMessage, static_cast<WPARAM>(i), 0);
        }
    });
    const long before = VoluntarySwitches();
    bool watchdogFired = false;
    for (int got = 0; got < kMessages && !watchdogFired;) {
        ASSERT_TRUE(GetMessage(msg, nullptr, 0, 0));
        got += msg.message == kPageMessage;
        watchdogFired = msg.message == WM_TIMER && msg.wParam == watchdog;
    }
    watchdogFired = watchdogFired || (GetQueueStatus(QS_TIMER) & QS_TIMER) != 0;
    const long switches = VoluntarySwitches() - before;
    worker.join();
    KillTimer(nullptr, watchdog);
    EXPECT_FALSE(watchdogFired) << "the messages waited for the watchdog: a post did not wake the loop";
    // A waiter that polls sleeps and wakes many times for each message.
    EXPECT_LE(switches, kMessages * 3) << "the GUI thread slept and woke " << switches << " times";

    // A program that only looks for messages, never waiting, still gets what was posted to the toolkit at
    // its next look, and the toolkit's timers soon after they are due.
    QObject receiver;
    bool delivered = false, fired = false;
    QMetaObject::invokeMethod(
        &receiver, [&] { delivered = true; }, Qt::QueuedConnection);
    PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_TRUE(delivered);
    QTimer::singleShot(5, &receiver, [&] { fired = true; });
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
        return fired;
    })) << "a timer waited for the loop to sleep";

    // Between passes through the toolkit's loop a look only runs what was posted to it, but work the
    // program gave the toolkit that only a pass carries out (a window shown, which the screen then
    // exposes) is done at the very next look.
    pw::gui::SetTickSource([] { return DWORD{1000}; });
    PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
    pw::gui::SetTickSource(nullptr);
    QWidget* host = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) host = widget;
    ASSERT_NE(host, nullptr);
    ASSERT_NE(host->windowHandle(), nullptr);
    EXPECT_TRUE(host->windowHandle()->isExposed());
    DestroyWindow(w);
    app.reset();
}
