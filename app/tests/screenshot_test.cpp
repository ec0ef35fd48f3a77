// Each wizard page at the window's real size, saved as a PNG to look at.
#include "app/main_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_page_control.h"
#include "main_form_fixture.h"
#include "platform/gui/screenshot.h"
#include "platform/rtl/paths.h"

namespace app_test {
namespace {

using ScreenshotTest = MainFormTest;

TEST_F(ScreenshotTest, EveryWizardPage) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    const fs::path shots = fs::path(ProgramDir()) / "screenshots";
    fs::create_directories(shots);
    auto shoot = [&](const std::string& name) {
        Pump();
        const fs::path file = shots / (name + ".png");
        EXPECT_TRUE(pw::gui::SaveWindowImage(form_->Handle(), file.string())) << name;
        EXPECT_GT(fs::file_size(file), 1000u) << name;
    };
    shoot("page0-information");
    // The status page as it stands after a scan.
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    form_->pcMain->SetActivePageIndex(1);
    shoot("page1-status");
    form_->pcMain->SetActivePageIndex(2);
    shoot("page2-results");
    form_->ButtonClick(form_->btnNext);
    shoot("page2-done");
    form_->pcMain->SetActivePageIndex(3);
    shoot("page3-output-settings");
    form_->pcMain->SetActivePageIndex(4);
    shoot("page4-output-status");
}

} // namespace
} // namespace app_test
