#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "platform/gui/backend.h"
#include "platform/gui/input.h"
#include "platform/gui/system.h"

namespace {

// Hands every request on to the toolkit and keeps what each new window asked of it.
class RecordingBackend : public gui_test::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    std::unique_ptr<pw::gui::HostWindow> CreateHost(HWND hwnd, const pw::gui::HostParams& params) override {
        asked.push_back(params);
        return ForwardingBackend::CreateHost(hwnd, params);
    }
    std::vector<pw::gui::HostParams> asked;
};

} // namespace

TEST(HostParams, ADialogsTitleBarHasOnlyTheButtonsItsStyleAsksFor) {
    pw::gui::Backend* real = pw::gui::CurrentBackend();
    RecordingBackend recording(real);
    pw::gui::SetBackend(&recording);
    gui_test::MakeTopLevel(RECT{10, 10, 200, 120}, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    gui_test::MakeTopLevel(RECT{10, 10, 200, 120}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    gui_test::MakeTopLevel(RECT{10, 10, 200, 120}, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE);
    pw::gui::SetBackend(real);
    ASSERT_EQ(recording.asked.size(), 3u);
    EXPECT_EQ(recording.asked[0].kind, pw::gui::HostKind::Decorated);
    EXPECT_FALSE(recording.asked[0].minimizeBox);
    EXPECT_FALSE(recording.asked[0].maximizeBox);
    EXPECT_TRUE(recording.asked[1].minimizeBox);
    EXPECT_TRUE(recording.asked[1].maximizeBox);
    EXPECT_TRUE(recording.asked[2].minimizeBox);
    EXPECT_FALSE(recording.asked[2].maximizeBox);
}

namespace {

// A toolkit window that only tells when it is put behind another.
class PlacementRecorder : public pw::gui::HostWindow {
public:
    using Placed = std::vector<std::pair<HWND, HWND>>;
    PlacementRecorder(HWND Hwnd, Placed& Log) : hwnd_(Hwnd), log_(Log) {}
    void SetGeometry(const RECT&) override {}
    void SetVisible(bool, bool) override {}
    void SetTitle(const std::string&) override {}
    void SetOpacity(double) override {}
    void Raise() override {}
    bool PlaceBehind(HostWindow& Front) override {
        auto* front = dynamic_cast<PlacementRecorder*>(&Front);
        if (front != nullptr) log_.emplace_back(hwnd_, front->hwnd_);
        return front != nullptr;
    }
    void SetCursorShape(uintptr_t, const Surface*, POINT) override {}
    void Refresh(const std::vector<RECT>&) override {}
    void SetShape(const std::vector<RECT>*) override {}
    void SetSizeLimits(POINT, POINT) override {}

private:
    HWND hwnd_;
    Placed& log_;
};

class PlacementRecordingBackend : public gui_test::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    std::unique_ptr<pw::gui::HostWindow> CreateHost(HWND hwnd, const pw::gui::HostParams&) override {
        return std::make_unique<PlacementRecorder>(hwnd, placed);
    }
    PlacementRecorder::Placed placed;
};

} // namespace

// The screen brings a window it shows again, or one that is clicked, in front of the others. A floating
// toolbar, owned by the main window and never active, stays behind the dialog that window opened after
// it: the toolkit is told to put it back there, and the dialog keeps the activation and the point where
// the two overlap.
TEST(HostParams, AWindowShownAgainOrClickedIsPutBackBehindTheWindowInFrontOfIt) {
    pw::gui::Backend* real = pw::gui::CurrentBackend();
    PlacementRecordingBackend recording(real);
    pw::gui::SetBackend(&recording);
    auto make = [](DWORD exStyle, DWORD style, RECT r, HWND owner) {
        return CreateWindowEx(exStyle, gui_test::RecordingClass(), "", style | WS_VISIBLE, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, owner, nullptr, nullptr, nullptr);
    };
    HWND main = make(0, WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300}, nullptr);
    HWND toolbar =
        make(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP | WS_THICKFRAME, RECT{200, 100, 350, 140}, main);
    HWND dialog = make(0, WS_POPUP | WS_CAPTION | WS_SYSMENU, RECT{50, 50, 250, 200}, main);
    gui_test::Pump();
    const POINT covered{220, 120}, bare{330, 120};
    EXPECT_EQ(WindowFromPoint(covered), dialog);
    const PlacementRecorder::Placed behindDialog{{toolbar, dialog}};
    recording.placed.clear();
    for (auto action : {pw::gui::MouseAction::Down, pw::gui::MouseAction::Up})
        pw::gui::InjectMouse(pw::gui::MouseInput{action, pw::gui::MouseButton::Left, bare, 0, toolbar});
    gui_test::Pump();
    EXPECT_EQ(recording.placed, behindDialog);
    recording.placed.clear();
    ShowWindow(toolbar, SW_HIDE);
    ShowWindow(toolbar, SW_SHOWNOACTIVATE);
    EXPECT_EQ(recording.placed, behindDialog);
    EXPECT_EQ(WindowFromPoint(covered), dialog);
    EXPECT_EQ(GetActiveWindow(), dialog);
    for (HWND w : {dialog, toolbar, main})
        DestroyWindow(w);
    pw::gui::SetBackend(real);
}
