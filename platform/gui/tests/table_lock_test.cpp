#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui_test_support.h"
#include "platform/gui/gui_state.h"
#include "tests/support/wait.h"

namespace {

using pw::gui::Guard;
using pw::gui::Lock;

// The window table's lock is taken again and again by one thread inside its own holds (a lookup inside a
// procedure's bookkeeping); another thread gets it only once the outermost hold ends, and a post made
// while it is held still reaches its window.
TEST(TableLock, NestedHoldsExcludeOtherThreadsUntilTheOutermostEnds) {
    std::atomic<int> phase{0};
    std::atomic<bool> otherHeld{false};
    std::thread other;
    {
        Guard outer(Lock());
        {
            Guard inner(Lock());
            EXPECT_TRUE(Lock().try_lock());
            Lock().unlock();
        }
        other = std::thread([&] {
            phase = 1;
            EXPECT_FALSE(Lock().try_lock());
            Guard g(Lock());
            otherHeld = true;
        });
        ASSERT_TRUE(testsupport::WaitUntil([&] { return phase.load() == 1; }));
        // Still held after the inner holds ended: the other thread waits.
        std::this_thread::yield();
        EXPECT_FALSE(otherHeld.load());
    }
    other.join();
    EXPECT_TRUE(otherHeld.load());
    // Free again for this thread, and for a post made under the lock.
    HWND w = gui_test::MakeTopLevel(RECT{0, 0, 10, 10}, WS_POPUP);
    {
        Guard g(Lock());
        EXPECT_TRUE(PostMessage(w, WM_USER + 5, 0, 0));
    }
    MSG msg;
    EXPECT_TRUE(PeekMessage(msg, w, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    DestroyWindow(w);
}

} // namespace
