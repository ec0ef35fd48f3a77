#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QClipboard>
#include <QGuiApplication>

#include "platform/gdi/surface.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/system.h"
#include "platform/vcl/application.h"
#include "platform/vcl/clipboard.h"
#include "platform/vcl/form.h"
#include "platform/vcl/hint_window.h"
#include "platform/vcl/screen.h"
#include "platform/vcl/shell.h"
#include "tests/support/child_test.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

struct EnvVar {
    std::string name;
    std::string old;
    bool had;
    EnvVar(const std::string& n, const std::string& value) : name(n) {
        const char* v = std::getenv(n.c_str());
        had = v != nullptr;
        if (had) old = v;
        setenv(n.c_str(), value.c_str(), 1);
    }
    ~EnvVar() {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

} // namespace

// Run by SwitchesAreFoundWithEitherLeaderAndAnyCase in a child with these arguments.
const bool childChecksItsArguments =
    testsupport::RegisterChildTest("CommandLine", "ChildChecksItsArguments", [] {
        EXPECT_EQ(ParamCount(), 4);
        EXPECT_EQ(ParamStr(2), "-AUTO");
        EXPECT_EQ(ParamStr(5), "");
        EXPECT_EQ(ParamStr(0), Application->ExeName());
        EXPECT_TRUE(FindCmdLineSwitch("auto"));
        EXPECT_FALSE(FindCmdLineSwitch("auto", "-/", false));
        EXPECT_TRUE(FindCmdLineSwitch("quiet"));
        EXPECT_FALSE(FindCmdLineSwitch("quiet", "-"));
        EXPECT_FALSE(FindCmdLineSwitch("au"));
        EXPECT_FALSE(FindCmdLineSwitch("home/site.qpw"));
        EXPECT_TRUE(FindCmdLineSwitch("tmp/site.qpw"));
    });

TEST(CommandLine, SwitchesAreFoundWithEitherLeaderAndAnyCase) {
    EXPECT_EQ(testsupport::RunTestInChild("CommandLine.ChildChecksItsArguments",
                                          {"-AUTO", "/Quiet", "/tmp/site.qpw"}),
              0);
}

// Terminating is for good: run apart from the other tests, by TerminateEndsTheLoopsForGood.
const bool childEndsItsLoops = testsupport::RegisterChildTest("Loop", "ChildEndsItsLoops", [] {
    ASSERT_FALSE(Application->Terminated());
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& done) {
        ++idles;
        done = false;
    };
    Application->HandleMessage(); // nothing queued: idle work, no waiting
    EXPECT_EQ(idles, 1);
    Application->OnIdle = nullptr;
    PostQuitMessage(0);
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
    // A modal dialog opened now ends at once, cancelled.
    TForm* dialog = MakeForm();
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    delete dialog;
    // Run returns at once, and the forms the application owns go with it.
    TForm* main = nullptr;
    Application->CreateForm(main);
    EXPECT_EQ(Application->MainForm(), main);
    bool destroyed = false, ending = false;
    main->OnDestroy = [&](TObject*) {
        destroyed = true;
        ending = Application->Ending();
    };
    EXPECT_FALSE(Application->Ending());
    Application->Run();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(ending) << "the forms go as the program ends";
    EXPECT_FALSE(Application->Ending());
    EXPECT_EQ(Application->MainForm(), nullptr);
});

TEST(Loop, TerminateEndsTheLoopsForGood) {
    EXPECT_EQ(testsupport::RunTestInChild("Loop.ChildEndsItsLoops"), 0);
}

TEST(Hints, TheHintWindowShowsAfterThePauseAndCanBeChangedByTheControl) {
    TForm* form = MakeForm(300, 200);
    auto* box = Place<TTestBox>(form, TRect{20, 20, 120, 60});
    box->SetHint("Start the crawl|Starts gathering the site's pages");
    box->SetShowHint(true);
    auto* glyph = Place<TTestGlyph>(form, TRect{200, 20, 240, 60});
    glyph->SetHint("Other");
    form->SetShowHint(true); // the glyph follows its parent
    std::vector<std::string> longHints;
    Application->OnHint = [&](TObject*) { longHints.push_back(Application->Hint()); };
    Application->SetHintPause(10);
    ShowAndPump(form);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, box->ClientToScreen(TPoint{10, 10}));
    auto hintShows = [](const std::string& caption) {
        return PumpUntil(
            [&] { return Application->HintWindow() && Application->HintWindow()->Caption() == caption; });
    };
    ASSERT_TRUE(hintShows("Start the crawl"));
    THintWindow* hint = Application->HintWindow();
    EXPECT_TRUE(IsWindowVisible(hint->Handle()));
    EXPECT_EQ(longHints, (std::vector<std::string>{"Starts gathering the site's pages"}));
    // Moving to another control hides the first hint and shows the next.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{5, 5}));
    EXPECT_TRUE(hintShows("Other"));
    EXPECT_EQ(glyph->Enters, 1);
    // The control may rewrite its hint, or refuse to show one.
    glyph->OnHintShow = [](TCMHintShow m) {
        m.HintInfo()->HintStr = "Rewritten";
        return LRESULT(0);
    };
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, box->ClientToScreen(TPoint{10, 10}));
    PumpFor(60);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{6, 6}));
    EXPECT_TRUE(hintShows("Rewritten"));
    // A hint about one part of the control: moving to another part asks again.
    glyph->OnHintShow = [](TCMHintShow m) {
        THintInfo* info = m.HintInfo();
        bool upper = info->CursorPos.y < 20;
        info->CursorRect = upper ? TRect{0, 0, 40, 20} : TRect{0, 20, 40, 40};
        info->HintStr = upper ? "Upper" : "Lower";
        return LRESULT(0);
    };
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, box->ClientToScreen(TPoint{10, 10}));
    PumpFor(60);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{7, 7}));
    EXPECT_TRUE(hintShows("Upper"));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{8, 8}));
    Pump();
    EXPECT_NE(Application->HintWindow(), nullptr); // still inside the same part
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{8, 30}));
    EXPECT_TRUE(hintShows("Lower"));
    glyph->OnHintShow = [](TCMHintShow) { return LRESULT(1); };
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, box->ClientToScreen(TPoint{10, 10}));
    PumpFor(60);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{6, 6}));
    PumpFor(120);
    EXPECT_EQ(Application->HintWindow(), nullptr);
    // Leaving every control of the program hides it.
    pw::gui::InjectMouseExit();
    Pump();
    EXPECT_EQ(glyph->Leaves, 4);
    EXPECT_EQ(Application->HintWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));
    Application->OnHint = nullptr;
    delete form;
}

TEST(Shell, OpeningReturnsAtOnceAndReportsTheOpenersFailureLaterWithTheFile) {
    auto dir = std::filesystem::temp_directory_path() / ("vcl_shell_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string log = (dir / "opened").string();
    const std::string release = (dir / "release").string();
    {
        // The slow opener waits until the test lets it go: nothing returns before that if it waits.
        std::ofstream script(dir / "xdg-open");
        script << "#!/bin/sh\necho \"$1\" >> " << log << "\ncase \"$1\" in *slow*) while [ ! -e " << release
               << " ]; do sleep 0.01; done; exit 4;; *fail*) exit 3;; esac\nexit 0\n";
    }
    std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
    std::string doc = (dir / "map.html").string();
    std::ofstream(doc) << "<html></html>";
    std::vector<std::pair<std::string, int>> failures;
    auto record = [&failures](const std::string& file, int code) { failures.emplace_back(file, code); };
    {
        EnvVar path("PATH", dir.string() + ":" + std::getenv("PATH"));
        EXPECT_EQ(ShellOpenDocument("https://example.org/slow", "", record), 42);
        EXPECT_TRUE(failures.empty());
        std::ofstream(release) << "go";
        EXPECT_GT(ShellExecute(nullptr, "open", doc, "", "", SW_SHOWNOACTIVATE), 32);
        EXPECT_GT(ShellExecute(nullptr, "", "https://example.org/help", "", "", SW_SHOWNORMAL), 32);
        EXPECT_EQ(ShellOpenDocument("https://example.org/fail", "", record), 42);
        EXPECT_EQ(ShellExecute(nullptr, "open", (dir / "none.html").string(), "", "", SW_SHOWNORMAL),
                  SE_ERR_FNF);
        EXPECT_EQ(ShellExecute(nullptr, "open", (dir / "no/none.html").string(), "", "", SW_SHOWNORMAL),
                  SE_ERR_PNF);
        EXPECT_EQ(ShellExecute(nullptr, "open", "map.html", "", dir.string(), SW_SHOWNORMAL), 42);
        EXPECT_EQ(ShellExecute(nullptr, "print", doc, "", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
        EXPECT_TRUE(PumpUntil([&] { return failures.size() == 2; }));
    }
    std::sort(failures.begin(), failures.end());
    EXPECT_EQ(failures,
              (std::vector<std::pair<std::string, int>>{{"https://example.org/fail", SE_ERR_NOASSOC},
                                                        {"https://example.org/slow", SE_ERR_NOASSOC}}));
    {
        EnvVar path("PATH", dir.string() + "/nothing-here");
        EXPECT_EQ(ShellExecute(nullptr, "open", doc, "", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
    }
    // Every opener has written its line by the time its failure or the map's success was seen.
    EXPECT_TRUE(PumpUntil([&] {
        std::ifstream in(log);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return std::count(all.begin(), all.end(), '\n') == 5;
    }));
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{doc, doc, "https://example.org/fail",
                                               "https://example.org/help", "https://example.org/slow"}));
    std::filesystem::remove_all(dir);
}

TEST(Shell, TheDesktopFolderComesFromTheUsersDirsFileElseHome) {
    auto home = std::filesystem::temp_directory_path() / ("vcl_home_" + std::to_string(getpid()));
    std::filesystem::create_directories(home / ".config");
    EnvVar h("HOME", home.string());
    EnvVar c("XDG_CONFIG_HOME", "");
    EXPECT_EQ(DesktopFolder(), home.string());
    std::filesystem::create_directories(home / "Schreibtisch");
    std::ofstream(home / ".config/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch/\"\n";
    EXPECT_EQ(DesktopFolder(), (home / "Schreibtisch").string());
    std::string path;
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_DESKTOPDIRECTORY, false));
    EXPECT_EQ(path, (home / "Schreibtisch").string());
    // A folder that is named but missing falls back to home.
    std::filesystem::remove(home / "Schreibtisch");
    EXPECT_EQ(DesktopFolder(), home.string());
    std::filesystem::remove_all(home);
}

TEST(Clipboard, TheClassLibrarysClipboardIsTheWindowSystemsAndTheDesktops) {
    Clipboard().SetAsText("https://example.org/ \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(Clipboard().AsText(), "https://example.org/ \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "https://example.org/ \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "https://example.org/ \xc3\xa9t\xc3\xa9");
    // What another program put there is read back.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac"));
    EXPECT_EQ(Clipboard().AsText(), "\xe6\x97\xa5\xe6\x9c\xac");
    // While a window holds it open, the class library cannot change it and says so.
    TForm holder(nullptr);
    ASSERT_TRUE(OpenClipboard(holder.Handle()));
    EXPECT_THROW(Clipboard().SetAsText("lost"), EClipboardException);
    EXPECT_THROW(Clipboard().Clear(), EClipboardException);
    CloseClipboard();
    EXPECT_EQ(Clipboard().AsText(), "\xe6\x97\xa5\xe6\x9c\xac");
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasText());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(Screen, MonitorsAndCursors) {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}},
                         {RECT{1024, 0, 2048, 768}, RECT{1024, 0, 2048, 768}}});
    EXPECT_EQ(Screen->Width(), 1024);
    EXPECT_EQ(Screen->MonitorCount(), 2);
    EXPECT_EQ(Screen->WorkAreaRect(), (TRect{0, 0, 1024, 740}));
    TMonitor* second = Screen->MonitorFromPoint(TPoint{1500, 10});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->MonitorNum(), 1);
    EXPECT_FALSE(second->Primary());
    EXPECT_EQ(Screen->MonitorFromPoint(TPoint{5000, 10}, mdNull), nullptr);
    pw::gui::SetScreens({});
    EXPECT_EQ(pw::gui::CursorId(Screen->Cursors(crHourGlass)), IDC_WAIT);
    EXPECT_EQ(pw::gui::CursorId(Screen->Cursors(crHandPoint)), IDC_HAND);
    EXPECT_EQ(pw::gui::CursorId(Screen->Cursors(100)), IDC_ARROW);
}

TEST(Painting, WindowlessChildrenAreDrawnByTheParentAndTheFormIsSaved) {
    TForm* form = MakeForm(120, 80);
    form->SetCaption("Pathweaver");
    Place<TTestBox>(form, TRect{10, 10, 60, 40})->Fill = clBlue;
    auto* glyph = Place<TTestGlyph>(form, TRect{70, 40, 90, 60});
    ShowAndPump(form);
    Surface image = pw::gui::ComposeWindow(form->Handle());
    POINT origin = form->ClientOrigin();
    RECT wr;
    GetWindowRect(form->Handle(), wr);
    int ox = origin.x - wr.left, oy = origin.y - wr.top;
    EXPECT_EQ(image.Pixel(ox + 20, oy + 20) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(image.Pixel(ox + 75, oy + 45) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.Pixel(ox + 100, oy + 20) & 0xFFFFFF, 0xD4D0C8u); // the form's button face
    glyph->SetVisible(false);
    Pump();
    image = pw::gui::ComposeWindow(form->Handle());
    EXPECT_EQ(image.Pixel(ox + 75, oy + 45) & 0xFFFFFF, 0xD4D0C8u);
    glyph->SetVisible(true);
    // Drawn off screen first, the result is the same; the form's own OnPaint draws under its children.
    form->SetDoubleBuffered(true);
    form->OnPaint = [&](TObject*) {
        form->Canvas().Brush().SetColor(clLime);
        form->Canvas().FillRect(TRect{0, 60, 120, 80});
    };
    form->Invalidate();
    Pump();
    image = pw::gui::ComposeWindow(form->Handle());
    EXPECT_EQ(image.Pixel(ox + 20, oy + 20) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(image.Pixel(ox + 75, oy + 45) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.Pixel(ox + 100, oy + 20) & 0xFFFFFF, 0xD4D0C8u);
    EXPECT_EQ(image.Pixel(ox + 5, oy + 70) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(image.Pixel(ox + 75, oy + 58) & 0xFFFFFF, 0xFF0000u); // the glyph is drawn over it
    std::string path = (std::filesystem::temp_directory_path() / "vcl_form.png").string();
    ASSERT_TRUE(pw::gui::SaveWindowImage(form->Handle(), path));
    EXPECT_GT(std::filesystem::file_size(path), 100u);
    delete form;
}
