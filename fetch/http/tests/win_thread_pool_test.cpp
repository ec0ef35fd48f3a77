// Thread objects whose runs follow one another, several at once, over the pool of parked threads.
#include "fetch/http/win_thread.h"
#include "http_test_support.h"

#include <array>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Each object starts its next run from the end of the last, as a crawl does, and the ends are not
// waited for: a pool thread is free for the next run before its own has quite ended. With three objects
// at once, the thread that ended one object's run is often handed another object's run right then; it
// must take that run, and only that one, before it waits again. Every run promised runs, once.
TEST(WinThreadPool, RunsOfObjectsAtOnceAllRunThoughGivenToThreadsStillEnding) {
    ASSERT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));
    constexpr int kRuns = 2000;
    struct Chain {
        std::unique_ptr<TCustomWinThread> thread;
        std::atomic<int> executed{0};
        int terminated = 0; // GUI thread only
    };
    std::array<Chain, 3> chains;
    for (Chain& c : chains) {
        c.thread = std::make_unique<TCustomWinThread>(nullptr);
        c.thread->SetTerminateUnwaited(true);
        c.thread->SetOnExecute([&c](TObject*) { ++c.executed; });
        c.thread->SetOnTerminate([&c](TObject*) {
            if (++c.terminated < kRuns) c.thread->Execute();
        });
    }
    for (Chain& c : chains)
        ASSERT_TRUE(c.thread->Execute());
    const bool ended = winthread::WaitForRuns(
        [&] {
            for (const Chain& c : chains)
                if (c.terminated < kRuns) return false;
            return true;
        },
        gui_test::kPatienceMs);
    EXPECT_TRUE(ended);
    for (const Chain& c : chains) {
        EXPECT_EQ(c.executed.load(), kRuns);
        EXPECT_EQ(c.terminated, kRuns);
    }
    // The runs stopped as their next began end by themselves.
    if (ended) {
        EXPECT_TRUE(winthread::WaitForOrphans(gui_test::kPatienceMs));
    }
}

} // namespace
