#pragma once
// Shared pieces of the window-system tests: the application object, a recording window class and a
// message pump that stops when nothing is left to do.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/backend.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "tests/support/gui/pump.h"

namespace gui_test {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message the recording class receives, in order; tests clear it.
std::vector<Seen>& Log();
std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> interesting);
// The logged calls of one message, to any window when hwnd is null.
std::vector<Seen> SeenOf(HWND hwnd, UINT msg);

// A procedure the test can install per window through SetTestHandler; unhandled messages go to
// DefWindowProc. Returns the class name.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
const char* RecordingClass(UINT classStyle = 0);
void SetTestHandler(HWND hwnd, Handler handler);

// Windows made by these two are destroyed when the test ends.
HWND MakeTopLevel(RECT r, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0, UINT classStyle = 0);
HWND MakeChild(HWND parent, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0,
               UINT classStyle = 0);

using testsupport::Pump;

// Hands every request on to the toolkit the tests run (none: answers of nothing); a test overrides what
// it watches.
class ForwardingBackend : public pw::gui::Backend {
public:
    explicit ForwardingBackend(pw::gui::Backend* real) : real_(real) {}
    std::unique_ptr<pw::gui::HostWindow> CreateHost(HWND hwnd, const pw::gui::HostParams& params) override {
        return real_ ? real_->CreateHost(hwnd, params) : nullptr;
    }
    void ProcessEvents(int timeoutMs) override {
        if (real_) real_->ProcessEvents(timeoutMs);
    }
    bool GivenWork() const override { return !real_ || real_->GivenWork(); }
    void RunPostedEvents() override {
        if (real_) real_->RunPostedEvents();
    }
    void Wake() override {
        if (real_) real_->Wake();
    }
    bool SleepsInToolkit() const override { return real_ && real_->SleepsInToolkit(); }
    int LoopLevel() const override { return real_ ? real_->LoopLevel() : 0; }
    std::vector<pw::gui::ScreenInfo> QueryScreens() const override {
        return real_ ? real_->QueryScreens() : std::vector<pw::gui::ScreenInfo>{};
    }
    std::string ClipboardText() const override { return real_ ? real_->ClipboardText() : std::string(); }
    void SetClipboardText(const std::string& text) override {
        if (real_) real_->SetClipboardText(text);
    }
    void ClearClipboard() override {
        if (real_) real_->ClearClipboard();
    }
    pw::gui::PromptAnswer Ask(const pw::gui::PromptRequest& request) override {
        return real_ ? real_->Ask(request) : pw::gui::PromptAnswer{};
    }

private:
    pw::gui::Backend* real_;
};

} // namespace gui_test
