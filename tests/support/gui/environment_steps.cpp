#include "tests/support/gui/environment_steps.h"

#include <utility>

namespace testsupport {
namespace {

std::vector<EnvironmentStep>& Steps() {
    static std::vector<EnvironmentStep> steps;
    return steps;
}

} // namespace

bool AddEnvironmentStep(std::function<void()> setUp, std::function<void()> tearDown) {
    Steps().push_back(EnvironmentStep{std::move(setUp), std::move(tearDown)});
    return true;
}

void SetUpEnvironmentSteps() {
    for (const EnvironmentStep& step : Steps())
        if (step.setUp) step.setUp();
}

void TearDownEnvironmentSteps() {
    for (auto it = Steps().rbegin(); it != Steps().rend(); ++it)
        if (it->tearDown) it->tearDown();
}

} // namespace testsupport
