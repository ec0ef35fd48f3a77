// The wizard as a person uses it: ways out of a run, what the pages show after a run, keys and focus,
// the command line's profile, and the place of the window.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "app/core/form_placement.h"
#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/main_form.h"
#include "bars/core/bar_views.h"
#include "bars/core/toolbar.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "main_form_fixture.h"
#include "platform/gdi/surface.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

// Runs Action while the wizard is busy with its run, when it paints its progress: once, or every time.
// Caught by what the run does, not by a timer: a run may end before any timer is due.
class DuringRun {
public:
    DuringRun(TfrmSiteMapMain*& Form, std::function<void()> Action, bool Once = true)
        : form_(Form), action_(std::move(Action)), once_(Once) {
        current_ = this;
        hook_ = SetWindowsHookEx(WH_CALLWNDPROC, Seen, nullptr, GetCurrentThreadId());
    }
    ~DuringRun() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    bool ran = false;

private:
    static LRESULT Seen(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        DuringRun* self = current_;
        if (self && call->message == WM_PAINT && self->form_->Busy() && !(self->once_ && self->ran)) {
            self->ran = true;
            self->action_();
        }
        return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
    }

    static inline DuringRun* current_ = nullptr;
    TfrmSiteMapMain*& form_;
    std::function<void()> action_;
    bool once_;
    HHOOK hook_ = nullptr;
};

// Calls Look at each message a window of this thread is sent while the wizard is busy with its run. The
// run's own work sends them (rows of the result tree, its labels), so even a run that ends before a
// timer could fire is seen.
class SeenDuringRun {
public:
    SeenDuringRun(TfrmSiteMapMain* Form, std::function<void()> Look) : form_(Form), look_(std::move(Look)) {
        current_ = this;
        hook_ = SetWindowsHookEx(
            WH_CALLWNDPROC,
            [](int code, WPARAM wParam, LPARAM lParam) {
                if (current_ && current_->form_->Busy()) {
                    current_->seen = true;
                    current_->look_();
                }
                return CallNextHookEx(hook_, code, wParam, lParam);
            },
            nullptr, GetCurrentThreadId());
    }
    ~SeenDuringRun() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    SeenDuringRun(const SeenDuringRun&) = delete;
    SeenDuringRun& operator=(const SeenDuringRun&) = delete;
    bool seen = false;

private:
    static inline SeenDuringRun* current_ = nullptr;
    static inline HHOOK hook_ = nullptr;
    TfrmSiteMapMain* form_;
    std::function<void()> look_;
};

// A local site of many pages, so that a run lasts long enough to be caught while it goes on.
std::string MakeLargeSiteProfile(const fs::path& dir, int pages) {
    const fs::path site = dir / "large";
    fs::create_directories(site / "pages");
    std::ofstream(site / "index.html") << "<title>Large</title>";
    for (int i = 0; i < pages; ++i)
        std::ofstream(site / "pages" / ("p" + std::to_string(i) + ".html"))
            << "<title>Page " << i << "</title>";
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetIndexPage((site / "index.html").string());
    profile.SetWebsite("http://large.example/");
    profile.SetOutputFileName((dir / "large-out" / "sitemap.html").string());
    profile.SetFileName((dir / "large.qpw").string());
    fs::create_directories(dir / "large-out");
    SaveProfileFile(profile, nullptr);
    return profile.FileName();
}

using WizardUseTest = MainFormTest;

TEST_F(WizardUseTest, CancellingTheCloseOfARunLeavesAUsableWizard) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    form_->editWebsite->SetText("http://changed.example/");
    ASSERT_TRUE(form_->Profile().Modified());
    prompter_->Button(IDCANCEL);
    DuringRun close(form_, [this] { form_->Close(); });
    form_->ButtonClick(form_->btnNext);
    ASSERT_TRUE(close.ran);
    EXPECT_TRUE(form_->Visible());
    ASSERT_EQ(prompter_->Asked.size(), 1u);
    EXPECT_EQ(form_->PageIndex(), 2) << "the wizard goes on to what was found";
    EXPECT_TRUE(form_->btnNext->Enabled());
    EXPECT_TRUE(form_->btnBack->Enabled());
    EXPECT_EQ(form_->btnCancel->Caption(), "&Close");
    // And it still closes when asked again.
    prompter_->Button(IDNO);
    form_->ButtonClick(form_->btnCancel);
    EXPECT_FALSE(form_->Visible());
}

TEST_F(WizardUseTest, ANewRunShowsNothingOfThePreviousOne) {
    const std::string profile = MakeLargeSiteProfile(dir_, 40);
    Start({profile});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    // While the map is written, each entry is named with its page: seen whenever the page is painted.
    static TfrmSiteMapMain* watched;
    static std::string generating, file;
    static HHOOK hook;
    watched = form_;
    generating.clear();
    file.clear();
    hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (call->message == WM_PAINT && watched->Busy() &&
                !watched->lblGenerationStatus->Caption().empty()) {
                generating = watched->lblGenerationStatus->Caption();
                file = watched->lblGenerationFile->Caption();
            }
            return CallNextHookEx(hook, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    form_->ButtonClick(form_->btnNext);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(form_->lblGenerationStatus->Caption(), "Site Map Complete!");
    EXPECT_EQ(generating.rfind("Generating: ", 0), 0u) << generating;
    EXPECT_EQ(file.rfind("File: " + (dir_ / "large").string(), 0), 0u) << file;
    ASSERT_TRUE(form_->btnViewOutputFile->Enabled());
    const std::string total = form_->lblTotalFiles->Caption();

    // Again from the first page: the status page starts from nothing, the results page with no output.
    form_->ButtonClick(form_->btnBack);
    std::set<std::string> totalsDuringRun;
    {
        SeenDuringRun during(form_, [&] { totalsDuringRun.insert(form_->lblTotalFiles->Caption()); });
        form_->ButtonClick(form_->btnNext);
        ASSERT_TRUE(during.seen);
    }
    EXPECT_EQ(totalsDuringRun, std::set<std::string>{""});
    EXPECT_EQ(form_->lblTotalFiles->Caption(), total);
    ASSERT_EQ(form_->PageIndex(), 2);
    EXPECT_EQ(form_->lblGenerationStatus->Caption(), "");
    EXPECT_EQ(form_->lblGenerationFile->Caption(), "");
    EXPECT_FALSE(form_->btnViewOutputFile->Enabled());
    EXPECT_FALSE(form_->btnCopyToClipboard->Enabled());
    EXPECT_FALSE(form_->btnFTPFiles->Enabled());
    EXPECT_FALSE(form_->FtpEnabled());
    EXPECT_EQ(form_->btnNext->Caption(), "&Save");
}

// The accelerator of a caption, upper case; 0 for none.
char Accelerator(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return static_cast<char>(std::toupper(caption[i + 1]));
        ++i;
    }
    return 0;
}

TEST_F(WizardUseTest, KeysAndFocusAsInADialog) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    // Each accelerator belongs to one control of what is shown together: a page and the wizard's buttons.
    for (TWinControl* page :
         {static_cast<TWinControl*>(form_->tsInformation), static_cast<TWinControl*>(form_->tsResults)}) {
        std::map<char, std::string> owners;
        for (int i = 0; i < form_->ComponentCount(); ++i) {
            auto* control = dynamic_cast<TButtonControl*>(form_->Components(i));
            if (!control || (control->Parent() != page && control->Parent() != form_)) continue;
            const char key = Accelerator(control->Caption());
            if (!key) continue;
            EXPECT_TRUE(owners.emplace(key, control->Name()).second)
                << "Alt+" << key << " belongs to " << owners[key] << " and " << control->Name();
        }
    }

    // Next is no default button: Enter in the address moves nowhere, Enter on Next goes on; after gathering
    // the focus is on the tree the person works on.
    form_->editWebsite->SetFocus();
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    EXPECT_EQ(form_->PageIndex(), 0);
    form_->btnNext->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    ASSERT_EQ(form_->PageIndex(), 2);
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus != nullptr && IsWindowVisible(focus) && IsWindowEnabled(focus));
    EXPECT_TRUE(form_->tvMap->Focused());
}

// The controls Tab stops at, from the focused one round to it again.
std::vector<TWinControl*> TabCycle() {
    std::vector<TWinControl*> cycle;
    const HWND first = GetFocus();
    for (int i = 0; i < 40; ++i) {
        pw::gui::SimulateKeyStroke(VK_TAB);
        Pump();
        const HWND focus = GetFocus();
        if (focus == first) break;
        cycle.push_back(FindControl(focus));
    }
    return cycle;
}

// The focus can be seen on a control of its own: not on a page, panel or group that holds others.
bool ShowsFocus(TWinControl* Control) {
    return Control != nullptr && IsWindowVisible(Control->Handle()) && IsWindowEnabled(Control->Handle()) &&
           !dynamic_cast<TCustomForm*>(Control) && !dynamic_cast<TRzPageControl*>(Control) &&
           !dynamic_cast<TTabSheet*>(Control) && !dynamic_cast<TPanel*>(Control) &&
           !dynamic_cast<TGroupBox*>(Control);
}

TEST_F(WizardUseTest, TabStopsWhereTheFocusShowsAndTheModesAreOneStopMovedByArrows) {
    Start();
    form_->editWebsite->SetFocus();
    Pump();
    const std::vector<TWinControl*> cycle = TabCycle();
    ASSERT_FALSE(cycle.empty());
    int modes = 0;
    for (TWinControl* control : cycle) {
        EXPECT_TRUE(ShowsFocus(control)) << (control ? control->Name() : "a window of no control");
        if (control == form_->optLocal || control == form_->optWebsite) ++modes;
    }
    EXPECT_EQ(modes, 1) << "the two modes are one group";

    // The arrows move through the group and choose as they go.
    TRzRadioButton* chosen = form_->optLocal->Checked() ? form_->optLocal : form_->optWebsite;
    TRzRadioButton* other = chosen == form_->optLocal ? form_->optWebsite : form_->optLocal;
    chosen->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(chosen == form_->optLocal ? VK_DOWN : VK_UP);
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_TRUE(other->Checked());
    EXPECT_FALSE(chosen->Checked());
    form_->editWebsite->SetFocus();
    Pump();
    int stops = 0;
    for (TWinControl* control : TabCycle())
        if (control == form_->optLocal || control == form_->optWebsite) {
            ++stops;
            EXPECT_EQ(control, other) << "Tab enters the group at its choice";
        }
    EXPECT_EQ(stops, 1);
}

TEST_F(WizardUseTest, ACommandLineProfileThatCannotBeOpenedIsReportedAndTheDefaultsShown) {
    const fs::path fifo = dir_ / "pipe.qpw";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path dangling = dir_ / "dangling.qpw";
    fs::create_symlink(dir_ / "gone.qpw", dangling);
    const fs::path damaged = dir_ / "damaged.qpw";
    std::ofstream(damaged) << "not a profile";
    struct Case {
        std::string path;
        std::string says;
    };
    const Case cases[] = {
        {(dir_ / "missing.qpw").string(), "there is no such file"},
        {dir_.string(), "it is a folder"},
        {fifo.string(), "named pipe"},
        {"/dev/null", "it is a device"},
        {dangling.string(), "symbolic link to a file that does not exist"},
        {damaged.string(), "Invalid stream format"},
    };
    for (const Case& c : cases) {
        prompter_->Asked.clear();
        Start({c.path});
        const std::vector<std::string> texts = prompter_->Texts();
        ASSERT_EQ(texts.size(), 1u) << c.path;
        EXPECT_NE(texts[0].find(c.says), std::string::npos) << texts[0];
        if (c.path != damaged.string()) {
            EXPECT_NE(texts[0].find(c.path), std::string::npos) << texts[0];
        }
        EXPECT_NE(form_->optLocal->Checked(), form_->optWebsite->Checked()) << c.path;
        EXPECT_EQ(form_->editWebsite->Text(), "http://") << c.path;
        EXPECT_TRUE(form_->Profile().Untitled()) << "a later save cannot replace " << c.path;
        EXPECT_FALSE(form_->Profile().Modified());
        Stop();
    }
}

TEST_F(WizardUseTest, ViewDoesNotWaitForTheOpenerAndNamesTheFileWhenItFails) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    Start({profile});
    form_->ButtonClick(form_->btnNext);
    form_->ButtonClick(form_->btnNext);
    ASSERT_TRUE(form_->btnViewOutputFile->Enabled());
    // An opener that finds no browser, and ends only when the test lets it.
    const fs::path bin = dir_ / "bin";
    fs::create_directories(bin);
    const fs::path release = dir_ / "release";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nwhile [ ! -e '" << release.string()
                                    << "' ]; do sleep 0.01; done\nexit 3\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    prompter_->Asked.clear();
    form_->ButtonClick(form_->btnViewOutputFile);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_TRUE(prompter_->Asked.empty()) << "returned before the opener ended";
    std::ofstream(release) << "go";
    for (int i = 0; i < 6000 && prompter_->Asked.empty(); ++i) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(prompter_->Texts().size(), 1u);
    EXPECT_EQ(prompter_->Texts()[0],
              "Unable to execute file:\n\n" + (out / "sitemap.html").string() +
                  "\n\nThere is no application associated with the given filename extension.");
}

TEST_F(WizardUseTest, ControlsFollowTheWindowsSizeDownToItsSmallestUsableSize) {
    Start();
    const int width = form_->Width(), height = form_->Height();
    struct Place {
        TControl* control;
        TRect bounds;
    };
    auto bounds = [](TControl* c) {
        return TRect{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    };
    std::vector<Place> before;
    for (TControl* c :
         std::initializer_list<TControl*>{form_->btnNext, form_->btnCancel, form_->editWebsite, form_->tvMap,
                                          form_->memoFiles, form_->btnViewOutputFile, form_->lblHeader})
        before.push_back({c, bounds(c)});

    form_->SetBounds(form_->Left(), form_->Top(), width + 300, height + 200);
    Pump();
    auto moved = [&](size_t i) {
        const TRect now = bounds(before[i].control);
        const TRect was = before[i].bounds;
        return std::vector<int>{now.left - was.left, now.top - was.top, now.right - was.right,
                                now.bottom - was.bottom};
    };
    // Buttons keep their place at the bottom right; edits widen; the tree and the lists take the room.
    EXPECT_EQ(moved(0), (std::vector<int>{300, 200, 300, 200})) << "Next";
    EXPECT_EQ(moved(1), (std::vector<int>{300, 200, 300, 200})) << "Cancel";
    EXPECT_EQ(moved(2), (std::vector<int>{0, 0, 300, 0})) << "website address";
    EXPECT_EQ(moved(3), (std::vector<int>{0, 0, 300, 200})) << "result tree";
    EXPECT_EQ(moved(4), (std::vector<int>{0, 0, 300, 200})) << "progress list";
    EXPECT_EQ(moved(5), (std::vector<int>{300, 200, 300, 200})) << "View";
    EXPECT_EQ(moved(6), (std::vector<int>{0, 0, 300, 0})) << "header";

    // Never smaller than the size that shows every control whole.
    form_->SetBounds(form_->Left(), form_->Top(), 200, 150);
    Pump();
    EXPECT_EQ(form_->Width(), width);
    EXPECT_EQ(form_->Height(), height);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(bounds(before[i].control), before[i].bounds) << before[i].control->Name();
    MINMAXINFO info{};
    SendMessage(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, width);
    EXPECT_EQ(info.ptMinTrackSize.y, height);
}

TEST_F(WizardUseTest, TheResultTreeShowsFolderAndPageImages) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    form_->Profile().SetFileTypes(form_->Profile().FileTypes() + "*.png;");
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    ASSERT_NE(form_->tvMap->Images(), nullptr);
    Pump();
    // Colours only the images have: the folder's yellow, the page's lines and the picture's green,
    // looked for in what the window shows where the tree is.
    const uint32_t folder = 0xFFFFE070, page = 0xFF000080, picture = 0xFF40A040;
    const Surface shown = pw::gui::ComposeWindow(form_->Handle());
    RECT window;
    GetWindowRect(form_->Handle(), window);
    const TPoint tree = form_->tvMap->ClientToScreen(TPoint{0, 0});
    std::map<uint32_t, int> seen;
    for (int y = 0; y < form_->tvMap->Height(); ++y)
        for (int x = 0; x < 120; ++x)
            ++seen[shown.Pixel(tree.x - window.left + x, tree.y - window.top + y) | 0xFF000000u];
    EXPECT_GT(seen[folder], 20);
    EXPECT_GT(seen[page], 20);
    EXPECT_GT(seen[picture], 20) << "the sample site's picture";
    EXPECT_EQ(form_->GlobeFrameCount(), 11);
}

TEST_F(WizardUseTest, TheWindowComesBackOnTheMonitorItWasOn) {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}},
                         {RECT{1024, 0, 2048, 768}, RECT{1024, 0, 2048, 768}}});
    fs::create_directories(config_ / "pathweaver");
    std::ofstream(config_ / "pathweaver" / "forminfo.ini")
        << "[frmSiteMapMainPosition]\nState=0\nTop=100\nLeft=1300\nRight=1940\nBottom=620\n";
    Start();
    const TRect bounds = form_->BoundsRect();
    pw::gui::SetScreens({});
    EXPECT_EQ(bounds.left, 1300);
    EXPECT_EQ(bounds.top, 100);
    EXPECT_EQ(bounds.right - bounds.left, 640);
}

TEST_F(WizardUseTest, AnInvertedOrEmptyStoredPlaceOpensTheWindowOnTheWorkAreaAndIsNotKept) {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}}});
    fs::create_directories(config_ / "pathweaver");
    for (const char* edges :
         {"Left=1100\nRight=500", "Left=1048576\nRight=-1048576", "Left=300\nRight=300"}) {
        std::ofstream(config_ / "pathweaver" / "forminfo.ini")
            << "[frmSiteMapMainPosition]\nState=0\nTop=100\n"
            << edges << "\nBottom=620\n";
        Start();
        const TRect bounds = form_->BoundsRect();
        form_->Close();
        Stop();
        const auto stored = ReadFormPlacement(PlacementFilePath(), "frmSiteMapMain");
        EXPECT_TRUE(stored) << edges;
        if (!stored) continue;
        for (const RECT r :
             {RECT{bounds.left, bounds.top, bounds.right, bounds.bottom}, stored->NormalBounds}) {
            EXPECT_GE(r.left, 0) << edges;
            EXPECT_GE(r.top, 0) << edges;
            EXPECT_LE(r.right, 1024) << edges;
            EXPECT_LE(r.bottom, 740) << edges;
        }
    }
    pw::gui::SetScreens({});
}

// A place stored far off the screen, with the main toolbar stored docked at the left: the window comes
// back whole on the work area once the dock beside the wizard has its width, as it is shown and after.
TEST_F(WizardUseTest, AStoredPlaceOffTheScreenComesBackWholeBesideAToolbarDockedAtTheLeft) {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}}});
    Start();
    form_->barMainToolbar->SetDockingStyle(dsLeft);
    Pump();
    Stop();
    std::ofstream(config_ / "pathweaver" / "forminfo.ini")
        << "[frmSiteMapMainPosition]\nState=0\nTop=5000\nLeft=5000\nRight=5600\nBottom=5536\n";
    Start();
    Pump();
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsLeft);
    RECT toolbar{};
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), toolbar);
    EXPECT_GT(toolbar.right - toolbar.left, 0) << "the dock has its width";
    const TRect bounds = form_->BoundsRect();
    pw::gui::SetScreens({});
    EXPECT_GE(bounds.left, 0);
    EXPECT_GE(bounds.top, 0);
    EXPECT_LE(bounds.right, 1024);
    EXPECT_LE(bounds.bottom, 740);
    EXPECT_GE(toolbar.left, bounds.left);
}

} // namespace
} // namespace app_test
