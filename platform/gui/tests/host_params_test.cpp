#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_test_support.h"
#include "platform/gui/backend.h"
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
