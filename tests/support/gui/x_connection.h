#pragma once
// The display as another client sees it (a window manager, a pager, a task bar): a connection of the
// test's own that reads windows' properties, places and stacking and the input focus, and asks for an
// activation.
#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

class XConnection {
public:
    // The display DISPLAY names when none is given.
    explicit XConnection(const std::string& display = {})
        : c_(xcb_connect(display.empty() ? std::getenv("DISPLAY") : display.c_str(), nullptr)) {
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
    // The window's title as the window manager reads it (_NET_WM_NAME).
    std::string Title(uint32_t window) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), 0, 256), nullptr);
        std::string title;
        if (reply != nullptr && reply->format == 8)
            title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
        return title;
    }
    // The first window the window manager manages with that title, or whose title begins with it when
    // wholeTitle is false; 0 for none.
    uint32_t Managed(const std::string& title, bool wholeTitle = true) {
        for (uint32_t w : Values(root_, "_NET_CLIENT_LIST")) {
            const std::string shown = Title(w);
            if (wholeTitle ? shown == title : shown.rfind(title, 0) == 0) return w;
        }
        return 0;
    }
    // The window the window manager has made active; 0 for none.
    uint32_t Active() {
        const std::vector<uint32_t> active = Values(root_, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active.front();
    }
    // Whether the window manager stacks window a above window b (both managed).
    bool StackedAbove(uint32_t a, uint32_t b) {
        const std::vector<uint32_t> order = Values(root_, "_NET_CLIENT_LIST_STACKING");
        const auto at = [&](uint32_t w) { return std::find(order.begin(), order.end(), w); };
        return at(a) != order.end() && at(b) != order.end() && at(a) > at(b);
    }
    // The window's rectangle on the screen (its inside, without the window manager's frame), as left,
    // top, right and bottom; all 0 when it cannot say.
    std::vector<int> ScreenRect(uint32_t window) {
        xcb_translate_coordinates_reply_t* at =
            xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, window, root_, 0, 0), nullptr);
        xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
        std::vector<int> rect(4, 0);
        if (at != nullptr && size != nullptr)
            rect = {at->dst_x, at->dst_y, at->dst_x + size->width, at->dst_y + size->height};
        std::free(at);
        std::free(size);
        return rect;
    }
    // The shown windows no window manager handles (menus, hints), as ScreenRect gives them.
    std::vector<std::vector<int>> ShownUnmanaged() {
        std::vector<std::vector<int>> shown;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr);
        if (tree == nullptr) return shown;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_window_attributes_reply_t* a =
                xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, children[i]), nullptr);
            if (a != nullptr && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE)
                shown.push_back(ScreenRect(children[i]));
            std::free(a);
        }
        std::free(tree);
        return shown;
    }

private:
    xcb_connection_t* c_;
    uint32_t root_ = 0;
};

} // namespace testsupport
#endif
