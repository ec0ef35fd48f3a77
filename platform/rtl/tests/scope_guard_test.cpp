#include "platform/rtl/scope_guard.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

TEST(ScopeGuard, RunsOnReturnAndOnExceptionButNotWhenDismissed) {
    int runs = 0;
    {
        ScopeGuard guard([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(
        {
            ScopeGuard guard([&] { ++runs; });
            throw std::runtime_error("leaving");
        },
        std::runtime_error);
    EXPECT_EQ(runs, 2);
    {
        ScopeGuard guard([&] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}

TEST(TemporaryChange, PutsTheOldValueBackHoweverTheScopeEndsAndNestsInOrder) {
    bool busy = false;
    std::string mode = "idle";
    {
        TemporaryChange<bool> flag(busy, true);
        TemporaryChange<std::string> outer(mode, "outer");
        EXPECT_TRUE(busy);
        {
            TemporaryChange<std::string> inner(mode, "inner");
            EXPECT_EQ(mode, "inner");
        }
        EXPECT_EQ(mode, "outer");
    }
    EXPECT_FALSE(busy);
    EXPECT_EQ(mode, "idle");
    EXPECT_THROW(
        {
            TemporaryChange<bool> flag(busy, true);
            throw std::runtime_error("leaving");
        },
        std::runtime_error);
    EXPECT_FALSE(busy);
}
