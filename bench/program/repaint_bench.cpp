// One label of the main window changed again and again, each change painted before the next, as a crawl
// changes the current address for every page. Prints the time per change and the pixels the window
// system handed to the screen per change. Run by hand, headless or under a display:
//   repaint_bench [changes (default 10000)] [width height (default 1600 1000)]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

#include "app/main_form.h"
#include "bench/support/usage.h"
#include "controls/rz_page_control.h"
#include "platform/gui/paint.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"

namespace {

// The process's own processor time, which other programs on the machine do not inflate.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: repaint_bench [changes (default 10000)] [width height (default 1600 1000)]\n"
    "  One label of the main window changed again and again, each change painted before the next.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    const int changes = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int width = argc > 3 ? std::atoi(argv[2]) : 1600;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1000;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char config[] = "/tmp/pw-repaint-bench-XXXXXX";
    if (!::mkdtemp(config)) return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    Application->Initialize();
    auto* form = new TfrmSiteMapMain(nullptr);
    form->SetBounds(0, 0, width, height);
    form->Show();
    form->pcMain->SetActivePage(form->tsStatus);
    for (int i = 0; i < 100; ++i)
        Application->ProcessMessages();
    TLabel* label = form->lblCurrentURL;
    // One run of the message loop per change, as the crawl gives one per page.
    const auto settle = [] { Application->ProcessMessages(); };
    settle();
    const long long pixelsBefore = pw::gui::PixelsCopiedToScreen();
    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < changes; ++i) {
        label->SetCaption("http://127.0.0.1:8080/f" + std::to_string(i % 10) + "/g" +
                          std::to_string(i / 10 % 10) + "/p" + std::to_string(i) + ".html");
        settle();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuBefore;
    const long long pixels = pw::gui::PixelsCopiedToScreen() - pixelsBefore;
    std::printf(
        "%d changes of a %dx%d label in a %dx%d window (%s): %.1f us a change (%.1f us of CPU), %.0f pixels "
        "copied to the screen a change (%.2f times the label's area)\n",
        changes, label->Width(), label->Height(), width, height,
        std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "display", seconds * 1e6 / changes,
        cpu * 1e6 / changes, static_cast<double>(pixels) / changes,
        static_cast<double>(pixels) / changes / (label->Width() * label->Height()));
    delete form;
    delete Application;
    std::string rm = std::string("rm -rf ") + config;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
