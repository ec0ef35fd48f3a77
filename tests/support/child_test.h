#pragma once
// Test bodies registered only in a child process of the test program (see child_process.h).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "tests/support/child_process.h"

namespace testsupport {

namespace detail {
class ChildBody : public testing::Test {
public:
    explicit ChildBody(std::function<void()> body) : body_(std::move(body)) {}
    void TestBody() override { body_(); }

private:
    std::function<void()> body_;
};
} // namespace detail

// Registers `body` as test suite.name in a child started to run it, and nowhere else: ordinary runs
// neither list it nor show it skipped. Called from a namespace-scope initialiser.
inline bool RegisterChildTest(const char* suite, const char* name, std::function<void()> body,
                              const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (!InChildFor(std::string(suite) + "." + name)) return false;
    testing::RegisterTest(suite, name, nullptr, nullptr, file, line,
                          [body]() -> testing::Test* { return new detail::ChildBody(body); });
    return true;
}

// "Suite.Name" of the test that is running.
inline std::string CurrentTestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string();
}

// For a test that needs its process to itself (it starts the toolkit, or the toolkit on a display of its
// own, which a process does once): false where its body is to run here, in a process started to run this
// test alone (as ctest starts each test); otherwise it runs the test in a child process of its own, makes
// the child's verdict this test's (its skip too, with the reason) and answers true.
inline bool RanApart() {
    static bool claimed = false;
    if (!claimed && testing::UnitTest::GetInstance()->test_to_run_count() == 1) {
        claimed = true;
        return false;
    }
    const std::string test = CurrentTestName();
    std::string skipped;
    const int status = RunTestInChild(test, {}, false, &skipped);
    if (!skipped.empty()) {
        [&] { GTEST_SKIP() << skipped; }();
    } else {
        EXPECT_EQ(status, 0) << test
                             << " ran in a process of its own (its output is above; -1: it did not end "
                             << "within the wait limit or ran no test)";
    }
    return true;
}

} // namespace testsupport
