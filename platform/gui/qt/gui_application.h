#pragma once
// The toolkit's application object for the GUI thread: windows get real hosts, and the toolkit's
// events, our message queue and the runtime's main-thread calls turn in one loop.
#include <memory>

namespace pw::gui {

// Unless the user chose a platform: without DISPLAY and WAYLAND_DISPLAY, the toolkit's offscreen
// platform; with both, X11 (XWayland). Call before GuiApplication.
void SelectPlatformForEnvironment();

class GuiApplication {
public:
    GuiApplication(int& argc, char** argv);
    ~GuiApplication();
    GuiApplication(const GuiApplication&) = delete;
    GuiApplication& operator=(const GuiApplication&) = delete;

    // No screen a person sees: offscreen platform.
    bool Headless() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pw::gui
