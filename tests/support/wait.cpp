#include "tests/support/wait.h"

#include <thread>

namespace testsupport {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               std::chrono::milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (step.count() > 0)
            std::this_thread::sleep_for(step);
        else
            std::this_thread::yield();
    }
}

} // namespace testsupport
