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

TEST(ThrowingScopeGuard, ItsExceptionLeavesANormalEndButNeverReplacesOneInFlight) {
    int runs = 0;
    const auto failingUndo = [&] {
        ++runs;
        throw std::logic_error("undo");
    };
    try {
        ThrowingScopeGuard guard(failingUndo);
    } catch (const std::logic_error&) {
        ++runs;
    }
    EXPECT_EQ(runs, 2);
    try {
        ThrowingScopeGuard guard(failingUndo);
        throw std::runtime_error("first");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
        ++runs;
    }
    EXPECT_EQ(runs, 4);
    // An exception already in flight where the guard is made (a handler's cleanup) is not this scope's.
    try {
        try {
            throw std::runtime_error("outer");
        } catch (...) {
            struct Unwinding {
                int& runs;
                ~Unwinding() {
                    try {
                        ThrowingScopeGuard guard([&] {
                            ++runs;
                            throw std::logic_error("undo");
                        });
                    } catch (const std::logic_error&) {
                        ++runs;
                    }
                }
            };
            Unwinding unwinding{runs};
            throw;
        }
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(runs, 6);
}
