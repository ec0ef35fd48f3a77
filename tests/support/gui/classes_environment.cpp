// The environment of a test program of the class library and what stands on it: the program's one
// Application, initialised on the offscreen platform unless the caller chose, and freed at the end.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"
#include "tests/support/gui/environment_steps.h"
#include "tests/support/gui/pump.h"

namespace {

// Whether a modal loop of the program has its result.
bool ModalLoopEnded() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->ModalLoopEnded()) return true;
    return false;
}

class ClassesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        testsupport::SetModalLoopEnded(ModalLoopEnded);
        testsupport::SetUpEnvironmentSteps();
    }
    void TearDown() override {
        testsupport::TearDownEnvironmentSteps();
        testsupport::SetModalLoopEnded(nullptr);
        delete Application;
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new ClassesEnvironment);

} // namespace
