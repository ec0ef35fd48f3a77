#include "main_form_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/main_form.h"
#include "bars/core/bar_unit.h"
#include "bars/windows/dock_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "tests/support/gui/environment_steps.h"

namespace app_test {
namespace {

// The toolbar library's process-wide state and its window classes, as the program starts them.
[[maybe_unused]] const bool barsStarted = testsupport::AddEnvironmentStep(
    [] {
        StartBarUnit();
        bars::RegisterBarWindows();
    },
    [] { ShutdownBarUnit(); });

} // namespace

pw::vcl::PromptAnswer ScriptedPrompter::Ask(const pw::vcl::PromptRequest& Request) {
    Asked.push_back(Request);
    if (answers_.empty()) return pw::vcl::DefaultAnswer(Request);
    pw::vcl::PromptAnswer answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
}

void ScriptedPrompter::Button(int Result) {
    pw::vcl::PromptAnswer answer;
    answer.result = Result;
    answers_.push_back(answer);
}

void ScriptedPrompter::File(const std::string& Path) {
    pw::vcl::PromptAnswer answer;
    answer.result = Path.empty() ? IDCANCEL : IDOK;
    answer.value = Path;
    if (!Path.empty()) answer.files.push_back(Path);
    answers_.push_back(answer);
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::vector<std::string> texts;
    for (const auto& r : Asked)
        if (r.kind == pw::vcl::PromptKind::Message) texts.push_back(r.text);
    return texts;
}

void EscapeWhenShown() {
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
}

void MainFormTest::SetUp() {
    char pattern[] = "/tmp/pw-mainwin-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    config_ = dir_ / "config";
    fs::create_directories(config_);
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        hadConfig_ = true;
        oldConfig_ = old;
    }
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    prompter_ = std::make_unique<ScriptedPrompter>();
}

void MainFormTest::TearDown() {
    Stop();
    prompter_.reset();
    if (hadConfig_)
        setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

TfrmSiteMapMain* MainFormTest::Start(std::vector<std::string> Args) {
    form_ = new TfrmSiteMapMain(nullptr);
    return Show(std::move(Args));
}

TfrmSiteMapMain* MainFormTest::StartAsMainForm() {
    Application->CreateForm(form_);
    return Show({});
}

TfrmSiteMapMain* MainFormTest::Show(std::vector<std::string> Args) {
    form_->SetCommandLine(std::move(Args));
    form_->Show();
    Pump();
    // Activation reaches the window through the window system; a window that was not activated yet
    // gets the same event here.
    form_->FormActivate(form_);
    Pump();
    return form_;
}

void MainFormTest::Stop() {
    delete form_;
    form_ = nullptr;
    Pump();
}

std::string MainFormTest::MakeSampleProfile(const std::string& Name, const fs::path& Output) {
    fs::create_directories(Output);
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetIndexPage((SampleSite() / "index.html").string());
    profile.SetWebsite("http://www.meadowbrook.example/");
    profile.SetOutputFileName((Output / "sitemap.html").string());
    profile.SetFileName((dir_ / Name).string());
    SaveProfileFile(profile, nullptr);
    return profile.FileName();
}

fs::path SampleSite() {
    return fs::path(PW_SOURCE_DIR) / "sample" / "site";
}

std::string LocalProfile(const fs::path& Dir, const std::string& Name, const std::string& Site,
                         const fs::path& Local, const fs::path& Out) {
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetWebsite(Site);
    profile.SetIndexPage((Local / "index.html").string());
    profile.SetMakeGoogleSM(true);
    profile.SetOutputFileName((Out / "sitemap.html").string());
    profile.SetFileName((Dir / Name).string());
    SaveProfileFile(profile, nullptr);
    return profile.FileName();
}

std::string ReadFile(const fs::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace app_test
