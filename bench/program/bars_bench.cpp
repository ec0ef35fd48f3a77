// The main window's toolbar under the pointer and the window resized, as a person uses them: 1,000 moves
// across the toolbar's buttons, each handled and painted before the next, and 100 resizes of the window.
// Prints the time per move against the same moves over the wizard below the bars (the peer: the window
// system's cost of a move that changes nothing), the pixels handed to the screen per move against a
// button's area, and the time per resize with the time the bars and dock sites take to lay out. Run by
// hand, under a display for the pixel figures (offscreen nothing reaches a screen):
//   bars_bench [moves (default 1000)] [resizes (default 100)] [width height (default 1600 1000)]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/main_form.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "bench/support/usage.h"
#include "controls/rz_page_control.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Settle() {
    Application->ProcessMessages();
    pw::gui::PaintPendingWindows();
}

struct Run {
    double seconds = 0;
    double cpu = 0;
    long long pixels = 0;
};

// Moves the pointer through the points in turn, each move handled and painted before the next.
Run Moves(const std::vector<POINT>& points, int count) {
    Settle();
    Run run;
    const long long pixels = pw::gui::PixelsCopiedToScreen();
    const double cpu = CpuSeconds(), start = Now();
    for (int i = 0; i < count; ++i) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, points[static_cast<size_t>(i) % points.size()]);
        Settle();
    }
    run.seconds = Now() - start;
    run.cpu = CpuSeconds() - cpu;
    run.pixels = pw::gui::PixelsCopiedToScreen() - pixels;
    return run;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: bars_bench [moves (default 1000)] [resizes (default 100)] [width height (default 1600 1000)]\n"
    "  The main window's toolbar under the pointer and the window resized; run under a display for the\n"
    "  pixel figures.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    const int moves = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int resizes = argc > 2 ? std::atoi(argv[2]) : 100;
    const int width = argc > 4 ? std::atoi(argv[3]) : 1600;
    const int height = argc > 4 ? std::atoi(argv[4]) : 1000;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char config[] = "/tmp/pw-bars-bench-XXXXXX";
    if (!::mkdtemp(config)) return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    Application->Initialize();
    StartBarUnit();
    bars::RegisterBarWindows();
    auto* form = new TfrmSiteMapMain(nullptr);
    form->SetBounds(0, 0, width, height);
    form->Show();
    for (int i = 0; i < 100; ++i)
        Settle();

    auto* toolbar = dynamic_cast<bars::TdxBarControl*>(form->barMainToolbar->Control());
    auto* site = dynamic_cast<bars::TdxDockControl*>(form->dxBarManager1->Bars()->DockControls(dsTop));
    if (toolbar == nullptr || site == nullptr) {
        std::fprintf(stderr, "bars_bench: the main window shows no toolbar\n");
        return 1;
    }
    // Along the toolbar through the middle of its buttons, three pixels a move as a pointer sweeps, and
    // back.
    std::vector<POINT> across;
    int buttonArea = 0, left = INT32_MAX, right = 0, middle = 0;
    for (TdxBarItemLink* link : toolbar->ItemLinks()->ShownLinks()) {
        auto* control = dynamic_cast<bars::TdxBarItemControl*>(link->Control());
        if (control == nullptr) continue;
        const RECT r = control->ScreenRect();
        buttonArea = std::max(buttonArea, static_cast<int>((r.right - r.left) * (r.bottom - r.top)));
        left = std::min(left, static_cast<int>(r.left));
        right = std::max(right, static_cast<int>(r.right));
        middle = (r.top + r.bottom) / 2;
    }
    for (int x = left; x < right; x += 3)
        across.push_back(POINT{x, middle});
    // The worst case: every move onto another button.
    std::vector<POINT> hopping;
    for (TdxBarItemLink* link : toolbar->ItemLinks()->ShownLinks())
        if (auto* control = dynamic_cast<bars::TdxBarItemControl*>(link->Control())) {
            const RECT r = control->ScreenRect();
            hopping.push_back(POINT{(r.left + r.right) / 2, middle});
        }
    std::vector<POINT> back(across.rbegin(), across.rend());
    across.insert(across.end(), back.begin(), back.end());
    // The peer: the same moves over the wizard's page, where nothing follows the pointer.
    RECT page{};
    GetWindowRect(form->pcMain->Handle(), page);
    std::vector<POINT> below;
    for (const POINT& p : across)
        below.push_back(POINT{p.x, page.top + 40});

    Moves(across, 50);
    const Run bars = Moves(across, moves);
    const Run peer = Moves(below, moves);
    const Run hops = Moves(hopping, moves);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{page.left + 10, page.top + 40});
    Settle();

    // Resizes between the given width and 60 % of it: the whole change, and the bars' own layout.
    double resizeSeconds = 0, layoutSeconds = 0;
    for (int i = 0; i < resizes; ++i) {
        const int w = i % 2 == 0 ? width * 6 / 10 + i : width - i;
        double start = Now();
        form->SetBounds(0, 0, w, height);
        Settle();
        resizeSeconds += Now() - start;
        start = Now();
        site->RealignBars();
        layoutSeconds += Now() - start;
    }

    const char* where = std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "display";
    std::printf("%d moves across the toolbar of a %dx%d main window (%s):\n", moves, width, height, where);
    std::printf("  toolbar: %.1f us a move (%.1f us of CPU), %.0f pixels to the screen a move (%.2f times a "
                "button's %d)\n",
                bars.seconds * 1e6 / moves, bars.cpu * 1e6 / moves, static_cast<double>(bars.pixels) / moves,
                static_cast<double>(bars.pixels) / moves / buttonArea, buttonArea);
    std::printf(
        "  peer (the same moves over the wizard page): %.1f us a move (%.1f us of CPU), %.0f pixels a "
        "move\n",
        peer.seconds * 1e6 / moves, peer.cpu * 1e6 / moves, static_cast<double>(peer.pixels) / moves);
    std::printf("  every move onto another button: %.1f us a move (%.1f us of CPU), %.0f pixels a move (%.2f "
                "times a button)\n",
                hops.seconds * 1e6 / moves, hops.cpu * 1e6 / moves, static_cast<double>(hops.pixels) / moves,
                static_cast<double>(hops.pixels) / moves / buttonArea);
    std::printf("  ratio toolbar / peer: %.2f (time), %.2f (CPU)\n", bars.seconds / peer.seconds,
                bars.cpu / std::max(peer.cpu, 1e-9));
    std::printf("%d resizes: %.2f ms a resize (layout, paint and all), %.3f ms to lay out the bars and dock "
                "sites\n",
                resizes, resizeSeconds * 1e3 / resizes, layoutSeconds * 1e3 / resizes);
    delete form;
    ShutdownBarUnit();
    delete Application;
    std::string rm = std::string("rm -rf ") + config;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
