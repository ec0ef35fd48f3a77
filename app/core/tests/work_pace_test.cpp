#include "app/core/work_pace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The loop's turns as they happen, on a clock the test moves.
struct Loop {
    TWorkPace::Clock::time_point now{};
    std::vector<char> turns; // 'P' painted, 'u' unpainted
    TWorkPace pace{[this] { turns.push_back('P'); }, [this] { turns.push_back('u'); },
                   [this] { return now; }};
    std::string Turns() const { return std::string(turns.begin(), turns.end()); }
};

TEST(WorkPace, TheLoopRunsOncePerIntervalAndPaintsAtMostThirtyTimesASecond) {
    Loop loop;
    // However often the work asks, time that does not pass turns the loop once.
    for (int i = 0; i < 100000; ++i)
        loop.pace.Turn();
    EXPECT_EQ(loop.Turns(), "P");
    EXPECT_FALSE(loop.pace.Due());
    EXPECT_EQ(loop.pace.UntilDue(), 5ms) << "a wait for other work may sleep until the next turn";
    loop.now += 4ms;
    EXPECT_EQ(loop.pace.UntilDue(), 1ms);
    EXPECT_FALSE(loop.pace.Turn());
    loop.now += 1ms;
    EXPECT_TRUE(loop.pace.Due());
    EXPECT_EQ(loop.pace.UntilDue(), 0ms);
    EXPECT_TRUE(loop.pace.Turn());
    // Every 5 ms input is answered; a paint only once 33 ms have passed since the last one.
    for (int i = 0; i < 6; ++i) {
        loop.now += 5ms;
        loop.pace.Turn();
    }
    EXPECT_EQ(loop.Turns(), "PuuuuuuP");
    EXPECT_EQ(loop.pace.Turns(), 8);
    EXPECT_EQ(loop.pace.Paints(), 2);
    // A second of steady work: 200 turns, at most 30 of them painting.
    const long paints = loop.pace.Paints();
    for (int ms = 0; ms < 1000; ++ms) {
        loop.now += 1ms;
        loop.pace.Turn();
    }
    EXPECT_EQ(loop.pace.Turns(), 8 + 200);
    EXPECT_LE(loop.pace.Paints() - paints, 30);
    EXPECT_GE(loop.pace.Paints() - paints, 28);
}

TEST(WorkPace, TurnNowAndANewPieceOfWorkPaintAtOnce) {
    Loop loop;
    loop.pace.Turn();
    loop.now += 1ms;
    // The steps whose order of events asks for the loop get it, painted, whatever the pace.
    loop.pace.TurnNow();
    loop.pace.TurnNow();
    EXPECT_EQ(loop.Turns(), "PPP");
    loop.now += 5ms;
    loop.pace.Turn();
    loop.pace.Restart();
    EXPECT_TRUE(loop.pace.Due());
    loop.pace.Turn();
    EXPECT_EQ(loop.Turns(), "PPPuP");

    // Without a way to skip painting, every turn paints; without a loop at all, the pace still counts.
    TWorkPace::Clock::time_point now{};
    int runs = 0;
    TWorkPace plain([&] { ++runs; }, {}, [&] { return now; });
    TWorkPace none({}, {}, [&] { return now; });
    for (int i = 0; i < 10; ++i) {
        now += 5ms;
        plain.Turn();
        none.Turn();
    }
    EXPECT_EQ(runs, 10);
    EXPECT_EQ(plain.Paints(), 10);
    EXPECT_EQ(none.Turns(), 10);
}

} // namespace
