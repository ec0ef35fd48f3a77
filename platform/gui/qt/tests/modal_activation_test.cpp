// A window its modal dialog disabled, activated anyway by a real window manager (openbox, on an X server
// the test starts) as a click on it or a task bar does: the dialog gets the activation back, with its
// focus and the X input focus, and the activation does not bounce between the two.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/window.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

namespace {

// The display through a connection of the test's own, as a pager or task bar uses it.
class Desktop {
public:
    Desktop() : c_(xcb_connect(std::getenv("DISPLAY"), nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~Desktop() { xcb_disconnect(c_); }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    std::vector<uint32_t> RootValues(const char* name) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, root_, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
        std::vector<uint32_t> values;
        if (reply != nullptr && reply->format == 32) {
            // An empty list has no bytes to copy (and memcpy may not be given a null pointer).
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }
    uint32_t InputFocus() {
        xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr);
        const uint32_t focus = reply != nullptr ? reply->focus : 0;
        std::free(reply);
        return focus;
    }
    // Asks the window manager to activate the window, as a pager does for the user (source 2).
    void Activate(uint32_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2;
        xcb_send_event(c_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
    }

private:
    uint32_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const uint32_t atom = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return atom;
    }
    xcb_connection_t* c_;
    uint32_t root_ = 0;
};

uint32_t XWindowOf(HWND hwnd) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    auto* host = w ? dynamic_cast<pw::gui::qt::QtHost*>(w->host.get()) : nullptr;
    return host != nullptr && host->Widget() != nullptr ? static_cast<uint32_t>(host->Widget()->winId()) : 0;
}

HWND owner = nullptr;
int ownerActivations = 0;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE && hwnd == owner && LOWORD(wParam) != WA_INACTIVE) ++ownerActivations;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(ModalActivation, TheWindowManagerActivatingADisabledOwnerGivesTheActivationBackToItsDialog) {
    if (QCoreApplication::instance() != nullptr)
        GTEST_SKIP() << "the toolkit already runs on another display in this process";
    testsupport::XDesktop display;
    if (!display.Problem().empty()) GTEST_SKIP() << display.Problem();
    if (!HaveProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    WNDCLASS wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "ModalActivationTest";
    RegisterClass(wc);
    auto make = [](DWORD style, HWND parent, RECT r) {
        return CreateWindowEx(0, "ModalActivationTest", "modal", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    };
    owner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{20, 20, 420, 320});
    HWND dialog = make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, owner, RECT{120, 120, 320, 240});
    HWND edit = make(WS_CHILD | WS_VISIBLE, dialog, RECT{10, 10, 90, 30});
    EnableWindow(owner, FALSE_);
    testsupport::Pump();
    // Windows shown while openbox starts may wait unmanaged; those it finds as it starts it takes at once.
    testsupport::TempDir dir;
    testsupport::BackgroundProgram openbox({"openbox", "--sm-disable"}, dir.File("openbox.log"));
    ASSERT_TRUE(openbox.Started());
    Desktop x;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        const std::vector<uint32_t> managed = x.RootValues("_NET_CLIENT_LIST");
        return std::count(managed.begin(), managed.end(), XWindowOf(owner)) +
                   std::count(managed.begin(), managed.end(), XWindowOf(dialog)) ==
               2;
    }));
    x.Activate(XWindowOf(dialog));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return x.InputFocus() == XWindowOf(dialog); }));
    SetFocus(edit);

    ownerActivations = 0;
    x.Activate(XWindowOf(owner));
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        return ownerActivations > 0 && GetActiveWindow() == dialog && x.InputFocus() == XWindowOf(dialog);
    }));
    EXPECT_EQ(GetFocus(), edit);
    // Nothing more comes of it.
    ASSERT_TRUE(testsupport::PumpTimerTicks(20, 10));
    EXPECT_EQ(ownerActivations, 1);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(x.InputFocus(), XWindowOf(dialog));
    DestroyWindow(owner);
}

} // namespace
#endif
