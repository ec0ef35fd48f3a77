// The environment of a test program of the class library and what stands on it: the program's one
// Application, initialised on the offscreen platform unless the caller chose, and freed at the end.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/vcl/application.h"
#include "tests/support/gui/environment_steps.h"

namespace {

class ClassesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        testsupport::SetUpEnvironmentSteps();
    }
    void TearDown() override {
        testsupport::TearDownEnvironmentSteps();
        delete Application;
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new ClassesEnvironment);

} // namespace
