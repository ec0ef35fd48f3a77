// The main window's menus as a person opens them: the time from the click on a menu bar entry to the
// first painted frame of its drop-down (no animation), and hot-tracking down a menu of 20 lines: how many
// lines each move repaints and how many pixels reach the screen. Run by hand, under a display for the
// pixel figures:
//   menu_bench [opens (default 200)] [--shots DIR] [--no-shadows]
// --shots saves the screen with the File menu open and with a cascade open into DIR; --no-shadows opens
// the menus without their shadows and animation, to tell their share of the time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "app/main_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/menu_effects.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/toolbar_control.h"
#include "bench/support/usage.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Settle() {
    Application->ProcessMessages();
    pw::gui::PaintPendingWindows();
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bars::TdxBarSubMenuControl* MenuOf(TCustomdxBarSubItem* item) {
    return dynamic_cast<bars::TdxBarSubMenuControl*>(item->ItemLinks()->BarControl());
}

RECT EntryRect(TdxBar* bar, TdxBarItem* item) {
    for (TdxBarItemLink* link : bar->ItemLinks()->ShownLinks())
        if (link->Item() == item)
            if (auto* control = dynamic_cast<bars::TdxBarItemControl*>(link->Control()))
                return control->ScreenRect();
    return RECT{0, 0, 0, 0};
}

RECT LineRect(TCustomdxBarSubItem* menu, int index) {
    RECT r = menu->ItemLinks()->Items(index)->ItemRect();
    MapWindowPoints(MenuOf(menu)->Handle(), nullptr, r);
    return r;
}

void CloseMenus() {
    if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
    Settle();
}

// Notes when a menu has painted its first frame (its decorations are told right after), and passes
// everything on to the decorations the library installed.
class FirstFrameClock : public bars::MenuDecorator {
public:
    explicit FirstFrameClock(bars::MenuDecorator* Inner) : inner_(Inner) {}
    void Shown(bars::TdxBarSubMenuControl& Menu) override {
        if (shownAt == 0) shownAt = Now();
        if (inner_ != nullptr) inner_->Shown(Menu);
    }
    void Moved(bars::TdxBarSubMenuControl& Menu) override {
        if (inner_ != nullptr) inner_->Moved(Menu);
    }
    void Hiding(bars::TdxBarSubMenuControl& Menu) override {
        if (inner_ != nullptr) inner_->Hiding(Menu);
    }
    bool StartAnimation(bars::TdxBarSubMenuControl& Menu) override {
        return inner_ != nullptr && inner_->StartAnimation(Menu);
    }
    void StopAnimation(bars::TdxBarSubMenuControl& Menu) override {
        if (inner_ != nullptr) inner_->StopAnimation(Menu);
    }
    double shownAt = 0;

private:
    bars::MenuDecorator* inner_;
};

FirstFrameClock* frameClock = nullptr;

struct Open {
    double firstFrame = 0;
    double handled = 0;
};

// Press on the entry: the menu is made, placed, shown and painted before the press returns.
Open OpenOnce(TdxBar* bar, TdxBarSubItem* item) {
    const POINT p = Centre(EntryRect(bar, item));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
    Settle();
    frameClock->shownAt = 0;
    const double start = Now();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Left);
    for (int turns = 0; MenuOf(item) == nullptr || MenuOf(item)->LinesDrawn() == 0; ++turns) {
        Application->ProcessMessages();
        if (turns == 1000000) {
            std::fprintf(stderr, "menu_bench: the menu did not open\n");
            std::exit(1);
        }
    }
    const Open open{frameClock->shownAt - start, Now() - start};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
    Settle();
    return open;
}

constexpr const char* kUsage = "usage: menu_bench [opens (default 200)] [--shots DIR] [--no-shadows]\n"
                               "  Click to first painted frame of the main window's File menu, and\n"
                               "  hot-tracking down a 20-line menu; under a display for the pixel figures.\n";

} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage, {"--shots", "--no-shadows"});
    int opens = 200;
    std::string shots;
    bool shadows = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--shots" && i + 1 < argc)
            shots = argv[++i];
        else if (std::string_view(argv[i]) == "--no-shadows")
            shadows = false;
        else
            opens = std::max(1, std::atoi(argv[i]));
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char config[] = "/tmp/pw-menu-bench-XXXXXX";
    if (!::mkdtemp(config)) return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    Application->Initialize();
    StartBarUnit();
    bars::RegisterBarWindows();
    frameClock = new FirstFrameClock(shadows ? &bars::TheMenuEffects() : nullptr);
    bars::SetMenuDecorator(frameClock);
    auto* form = new TfrmSiteMapMain(nullptr);
    form->SetBounds(100, 60, 800, 600);
    form->Show();
    // A 20-line menu on the menu bar, with a cascade inside, for the hot-tracking run and the shots.
    TdxBarManager* manager = form->dxBarManager1;
    auto* lines = new TdxBarSubItem(form);
    lines->SetCaption("&Lines");
    for (int i = 0; i < 20; ++i) {
        auto* button = new TdxBarButton(form);
        button->SetCaption("Line " + std::to_string(i + 1));
        lines->ItemLinks()->Add()->SetItem(button);
    }
    auto* recent = new TdxBarSubItem(form);
    recent->SetCaption("&Recent Profiles");
    for (const char* name : {"&1 shop.qpw", "&2 blog.qpw", "&3 intranet.qpw"}) {
        auto* button = new TdxBarButton(form);
        button->SetCaption(name);
        recent->ItemLinks()->Add()->SetItem(button);
    }
    TdxBarItemLink* cascadeLink = form->mnuFile->ItemLinks()->Add();
    cascadeLink->SetItem(recent);
    cascadeLink->SetIndex(3);
    form->barMainMenu->ItemLinks()->Add()->SetItem(lines);
    form->barMainMenu->Control()->RepaintBar();
    for (int i = 0; i < 50; ++i)
        Settle();
    TdxBar* bar = form->barMainMenu;
    (void)manager;

    // Click to first frame.
    OpenOnce(bar, form->mnuFile);
    CloseMenus();
    std::vector<double> times, handled;
    for (int i = 0; i < opens; ++i) {
        const Open open = OpenOnce(bar, form->mnuFile);
        times.push_back(open.firstFrame);
        handled.push_back(open.handled);
        CloseMenus();
    }
    std::sort(times.begin(), times.end());
    std::sort(handled.begin(), handled.end());

    // Hot-tracking down the 20 lines and back, one move a line, each handled and painted.
    OpenOnce(bar, lines);
    bars::TdxBarSubMenuControl* menu = MenuOf(lines);
    std::vector<POINT> points;
    for (int i = 0; i < 20; ++i)
        points.push_back(Centre(LineRect(lines, i)));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, points[0]);
    Settle();
    const int drawnBefore = menu->LinesDrawn();
    const long long pixelsBefore = pw::gui::PixelsCopiedToScreen();
    int moves = 0, most = 0;
    const double hoverStart = Now();
    for (int round = 0; round < 10; ++round)
        for (int k = 1; k < 40; ++k) {
            const int i = k < 20 ? k : 39 - k;
            const int before = menu->LinesDrawn();
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, points[static_cast<size_t>(i)]);
            Settle();
            most = std::max(most, menu->LinesDrawn() - before);
            ++moves;
        }
    const double hoverSeconds = Now() - hoverStart;
    const int drawn = menu->LinesDrawn() - drawnBefore;
    const long long pixels = pw::gui::PixelsCopiedToScreen() - pixelsBefore;
    const RECT line = LineRect(lines, 0);
    const long long lineArea = static_cast<long long>(line.right - line.left) * (line.bottom - line.top);
    CloseMenus();

    if (!shots.empty()) {
        RECT window{};
        GetWindowRect(form->Handle(), window);
        const RECT area{window.left - 10, window.top - 10, window.right + 200, window.bottom + 10};
        OpenOnce(bar, form->mnuFile);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(LineRect(form->mnuFile, 1)));
        Settle();
        pw::gui::SaveScreenImage(area, shots + "/menu-file.png");
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(LineRect(form->mnuFile, 3)));
        for (int i = 0; i < 100 && MenuOf(recent) == nullptr; ++i) {
            Settle();
            usleep(10000);
        }
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(LineRect(recent, 1)));
        Settle();
        pw::gui::SaveScreenImage(area, shots + "/menu-cascade.png");
        CloseMenus();
    }

    const char* where = std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "display";
    const auto at = [](const std::vector<double>& sorted, double q) {
        return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * sorted.size()))];
    };
    std::printf("Click on File to the first painted frame of its menu, %d opens, no animation, %s (%s):\n",
                opens, shadows ? "with shadows" : "without shadows", where);
    std::printf("  first frame: median %.2f ms, 90th percentile %.2f ms, worst %.2f ms (goal under 16 ms)\n",
                at(times, 0.5) * 1e3, at(times, 0.9) * 1e3, times.back() * 1e3);
    std::printf(
        "  the whole click handled, decorations included: median %.2f ms, 90th percentile %.2f ms, worst "
        "%.2f ms\n",
        at(handled, 0.5) * 1e3, at(handled, 0.9) * 1e3, handled.back() * 1e3);
    std::printf("Hot-tracking down and up a 20-line menu, %d moves onto the next line:\n", moves);
    std::printf("  %.2f lines repainted a move (at most %d in one move), %.1f us a move\n",
                static_cast<double>(drawn) / moves, most, hoverSeconds * 1e6 / moves);
    std::printf("  %.0f pixels to the screen a move (%.2f times a line's %lld)\n",
                static_cast<double>(pixels) / moves, static_cast<double>(pixels) / moves / lineArea,
                lineArea);
    delete form;
    ShutdownBarUnit();
    delete Application;
    std::string rm = std::string("rm -rf ") + config;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
