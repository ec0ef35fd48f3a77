// The toolkit's application object for the tests that draw into windows.
#include "platform/gui/gui_application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "gif_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
