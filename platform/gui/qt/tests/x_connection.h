#pragma once
// The display as another client sees it (a window manager, a pager, a task bar): a connection of the
// test's own that reads windows' properties and the input focus, and asks for an activation.
#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/host_widget.h"

namespace gui_qt_test {

class XConnection {
public:
    XConnection() : c_(xcb_connect(std::getenv("DISPLAY"), nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XConnection() { xcb_disconnect(c_); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    uint32_t Root() const { return root_; }

    // A property of 32-bit values (atoms, window ids, hints); empty when the window has none.
    std::vector<uint32_t> Values(uint32_t window, const char* name) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
        std::vector<uint32_t> values;
        if (reply != nullptr && reply->format == 32) {
            // An empty list has no bytes to copy (and memcpy may not be given a null pointer).
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }
    // The names of the atoms a property lists.
    std::vector<std::string> Names(uint32_t window, const char* name) {
        std::vector<std::string> names;
        for (uint32_t atom : Values(window, name)) {
            xcb_get_atom_name_reply_t* reply =
                xcb_get_atom_name_reply(c_, xcb_get_atom_name(c_, atom), nullptr);
            if (reply == nullptr) continue;
            names.emplace_back(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
            std::free(reply);
        }
        return names;
    }
    uint32_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const uint32_t atom = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return atom;
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
    // Unmaps a window of another client, as a misbehaving program or a window manager may.
    void Unmap(uint32_t window) {
        xcb_unmap_window(c_, window);
        xcb_flush(c_);
    }

private:
    xcb_connection_t* c_;
    uint32_t root_ = 0;
};

// The X window the toolkit made for a top-level window; 0 before it has one.
inline uint32_t XWindowOf(HWND hwnd) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    auto* host = w ? dynamic_cast<pw::gui::qt::QtHost*>(w->host.get()) : nullptr;
    return host != nullptr && host->Widget() != nullptr ? static_cast<uint32_t>(host->Widget()->winId()) : 0;
}

} // namespace gui_qt_test
#endif
