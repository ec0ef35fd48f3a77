#pragma once
// A main window in the test process: its own configuration folder, a scripted person at the screen,
// and the sample site with a profile for it.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/vcl/prompt.h"
#include "tests/support/gui/pump.h"

class TfrmSiteMapMain;

namespace app_test {

namespace fs = std::filesystem;

// Answers each prompt with the next scripted answer (the default one when none is left) and keeps
// what was asked.
class ScriptedPrompter : public pw::vcl::Prompter {
public:
    ScriptedPrompter() { pw::vcl::SetPrompter(this); }
    ~ScriptedPrompter() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override;
    // Answers a message box with a button result (IDYES...).
    void Button(int Result);
    // Answers a file dialog with a file, or cancels it with an empty name.
    void File(const std::string& Path);
    std::vector<pw::vcl::PromptRequest> Asked;
    std::vector<std::string> Texts() const;

private:
    std::vector<pw::vcl::PromptAnswer> answers_;
};

using testsupport::Pump;
// Presses Escape once the popup menu shown next runs its own loop (a menu at the cursor waits for the
// person).
void EscapeWhenShown();

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A window as the program makes it: created, given its command line, shown and activated.
    TfrmSiteMapMain* Start(std::vector<std::string> Args = {});
    // The same as the program's main form, which owns the dialogs it opens (closing it ends the loop).
    TfrmSiteMapMain* StartAsMainForm();
    // Destroys the window (settings written).
    void Stop();
    // A local-mode profile of the sample site writing into Output (a folder of the test).
    std::string MakeSampleProfile(const std::string& Name, const fs::path& Output);
    fs::path dir_;
    fs::path config_;
    std::unique_ptr<ScriptedPrompter> prompter_;
    TfrmSiteMapMain* form_ = nullptr;

private:
    TfrmSiteMapMain* Show(std::vector<std::string> Args);
    std::string oldConfig_;
    bool hadConfig_ = false;
};

fs::path SampleSite();
// A local-mode profile, saved in Dir as Name, that scans the folder Local from its index.html for Site and
// writes Out/sitemap.html with the sitemap beside it; its file name.
std::string LocalProfile(const fs::path& Dir, const std::string& Name, const std::string& Site,
                         const fs::path& Local, const fs::path& Out);
std::string ReadFile(const fs::path& Path);

} // namespace app_test
