#pragma once
// Steps a test program adds to its GUI environment: what its libraries need started once the
// application runs (the toolbar library's process-wide state, a listener) and stopped before it goes.
#include <functional>
#include <vector>

namespace testsupport {

struct EnvironmentStep {
    std::function<void()> setUp;
    std::function<void()> tearDown;
};

// Adds a step; call it from a namespace-scope initialiser of the test program. Steps set up in the
// order added and tear down in reverse. Answers true, so that the call can initialise a variable.
bool AddEnvironmentStep(std::function<void()> setUp, std::function<void()> tearDown = {});

// For the environments: runs the steps' set-ups, or their tear-downs last first.
void SetUpEnvironmentSteps();
void TearDownEnvironmentSteps();

} // namespace testsupport
