// The environment of a test program of the window system and what stands on it without the class
// library: one application for the whole program, on the offscreen platform unless the caller chose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/gui/qt/gui_application.h"
#include "tests/support/gui/environment_steps.h"

namespace {

class WindowsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
        testsupport::SetUpEnvironmentSteps();
    }
    void TearDown() override {
        testsupport::TearDownEnvironmentSteps();
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "pathweaver";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new WindowsEnvironment);

} // namespace
