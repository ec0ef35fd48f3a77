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
    void TearDown() override { TWaitPolicy::PretendSingleProcessor(false); }
};

TEST_F(SeveralProcessorsOnly, WatchesOnlyWhileTheOtherSideHasJustAnsweredWithinTheWatch) {
    TWaitPolicy policy;
    const Clock::time_point t0 = Clock::now();
    EXPECT_FALSE(policy.Watches(t0)) << "no answer yet: the first wait sleeps at once";

    policy.Answered(t0 - microseconds(100), t0 - microseconds(60));
    EXPECT_FALSE(policy.Watches(t0)) << "one quick answer is no pace yet";
    policy.Answered(t0, t0 + microseconds(50));
    EXPECT_TRUE(policy.Watches(t0 + microseconds(60)));
    EXPECT_TRUE(policy.Watches(t0 + microseconds(50) + TWaitPolicy::kRecent));
    EXPECT_FALSE(policy.Watches(t0 + microseconds(51) + TWaitPolicy::kRecent)) << "an answer long past";

    policy.Answered(t0, t0 + TWaitPolicy::kWatchFor);
    EXPECT_TRUE(policy.Watches(t0 + TWaitPolicy::kWatchFor)) << "an answer just within the watch";
    policy.Answered(t0, t0 + TWaitPolicy::kWatchFor + microseconds(1));
    EXPECT_FALSE(policy.Watches(t0 + TWaitPolicy::kWatchFor + microseconds(2)))
        << "an answer slower than the watch: sleep at once";
    policy.Answered(t0, t0 + milliseconds(20));
    EXPECT_FALSE(policy.Watches(t0 + milliseconds(20)));
    // A slow site that answers one redirect at once: its next answer is as slow as the rest.
    policy.Answered(t0 + milliseconds(20), t0 + milliseconds(20) + microseconds(80));
    EXPECT_FALSE(policy.Watches(t0 + milliseconds(20) + microseconds(90))) << "a lone quick answer";

    policy.Answered(t0, t0 + microseconds(30));
    TWaitPolicy::PretendSingleProcessor(true);
    EXPECT_FALSE(policy.Watches(t0 + microseconds(40))) << "never on a single processor";
    TWaitPolicy::PretendSingleProcessor(false);
    EXPECT_TRUE(policy.Watches(t0 + microseconds(40)));
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
    watcher.Answered(now - microseconds(20), now - microseconds(10));
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
