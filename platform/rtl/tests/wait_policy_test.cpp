#include "platform/rtl/wait_policy.h"

#include <gtest/gtest.h>

namespace {

using Clock = TWaitPolicy::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

struct SeveralProcessorsOnly : ::testing::Test {
    void SetUp() override {
        if (!TWaitPolicy::SeveralProcessors()) GTEST_SKIP() << "one processor: nothing is ever watched";
    }
    void TearDown() override { rtl_detail::PretendSingleProcessor(false); }
};

TEST_F(SeveralProcessorsOnly, WatchesOnlyWhileTheOtherSideKeepsAnsweringWithinTheWatch) {
    TWaitPolicy policy;
    const Clock::time_point t0 = Clock::now();
    // N answers of 50 us, 100 us apart, the last ending at End.
    const auto answers = [&policy](unsigned n, Clock::time_point end) {
        for (unsigned i = n; i > 0; --i) {
            const Clock::time_point at = end - microseconds(100) * (i - 1);
            policy.Answered(at - microseconds(50), at);
        }
    };
    EXPECT_FALSE(policy.Watches(t0)) << "no answer yet: the first wait sleeps at once";

    answers(TWaitPolicy::kQuickInARow - 1, t0);
    EXPECT_FALSE(policy.Watches(t0)) << "a few quick answers are no pace yet";
    answers(1, t0 + microseconds(100));
    EXPECT_TRUE(policy.Watches(t0 + microseconds(110)));
    EXPECT_TRUE(policy.Watches(t0 + microseconds(100) + TWaitPolicy::kRecent));
    EXPECT_FALSE(policy.Watches(t0 + microseconds(101) + TWaitPolicy::kRecent)) << "an answer long past";

    policy.Answered(t0, t0 + TWaitPolicy::kWatchFor);
    EXPECT_TRUE(policy.Watches(t0 + TWaitPolicy::kWatchFor)) << "an answer just within the watch";
    policy.Answered(t0, t0 + TWaitPolicy::kWatchFor + microseconds(1));
    EXPECT_FALSE(policy.Watches(t0 + TWaitPolicy::kWatchFor + microseconds(2)))
        << "an answer slower than the watch: sleep at once";
    policy.Answered(t0, t0 + milliseconds(20));
    EXPECT_FALSE(policy.Watches(t0 + milliseconds(20)));
    // A slow site that answers a few redirects at once: its next answer is as slow as the rest.
    answers(TWaitPolicy::kQuickInARow - 1, t0 + milliseconds(21));
    EXPECT_FALSE(policy.Watches(t0 + milliseconds(21) + microseconds(10))) << "a short run of quick answers";

    answers(TWaitPolicy::kQuickInARow, t0 + milliseconds(22));
    rtl_detail::PretendSingleProcessor(true);
    EXPECT_FALSE(policy.Watches(t0 + milliseconds(22) + microseconds(10))) << "never on a single processor";
    rtl_detail::PretendSingleProcessor(false);
    EXPECT_TRUE(policy.Watches(t0 + milliseconds(22) + microseconds(10)));
}

TEST_F(SeveralProcessorsOnly, AWaitThatDoesNotWatchAsksOnceAndOneThatDoesSeesTheAnswer) {
    TWaitPolicy sleeper;
    int asked = 0;
    EXPECT_FALSE(sleeper.Watch([&] {
        ++asked;
        return false;
    }));
    EXPECT_EQ(asked, 1) << "a waiter that must sleep at once does not spin";

    TWaitPolicy watcher;
    const Clock::time_point now = Clock::now();
    for (unsigned i = 0; i < TWaitPolicy::kQuickInARow; ++i)
        watcher.Answered(now - microseconds(10), now);
    // The answer comes at the fifth look: a waiter that watches keeps looking until it has it.
    asked = 0;
    EXPECT_TRUE(watcher.Watch([&] { return ++asked == 5; }));
    EXPECT_EQ(asked, 5);
    EXPECT_TRUE(watcher.Watch([] { return true; }));

    asked = 0;
    EXPECT_FALSE(watcher.Watch(
        [&] {
            ++asked;
            return false;
        },
        Clock::now() - microseconds(1)))
        << "a deadline already past ends the watch";
    EXPECT_LE(asked, 33);
}

} // namespace
