#pragma once
// A toolkit backend for tests that hands every request on to the toolkit the tests run.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/backend.h"
#include "platform/gui/system.h"

namespace testsupport {

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
    bool DeliverKey(const pw::gui::KeyInput& input) override { return real_ && real_->DeliverKey(input); }
    bool ShowsWindows() const override { return real_ && real_->ShowsWindows(); }
    bool ComposesTranslucentWindows() const override { return !real_ || real_->ComposesTranslucentWindows(); }
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

} // namespace testsupport
