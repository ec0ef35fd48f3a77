#include "platform/gui/qt/x11_window_manager.h"

#include <QApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace pw::gui::qt {

#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
namespace {

xcb_connection_t* DisplayConnection() {
    auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

struct FreeXcbReply {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeXcbReply>;

xcb_atom_t InternedAtom(xcb_connection_t* c, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit values of a property of that type, as many as it holds up to count.
std::vector<uint32_t> Values(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                             uint32_t count) {
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, count), nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<size_t>(xcb_get_property_value_length(reply.get())) / sizeof(uint32_t);
    return std::vector<uint32_t>(data, data + length);
}

// The window a property of type WINDOW names, or none.
xcb_window_t WindowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const std::vector<uint32_t> value = Values(c, window, property, XCB_ATOM_WINDOW, 1);
    return value.empty() ? xcb_window_t{XCB_WINDOW_NONE} : value.front();
}

xcb_window_t RootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

std::optional<QMargins> ReadFrameExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    const std::vector<uint32_t> v = Values(c, window, extents, XCB_ATOM_CARDINAL, 4);
    if (v.size() != 4) return std::nullopt;
    // Left, right, top, bottom.
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

} // namespace

std::string RunningWindowManager() {
    xcb_connection_t* c = DisplayConnection();
    if (c == nullptr) return {};
    const xcb_atom_t check = InternedAtom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t root = RootWindow(c);
    const xcb_window_t wm = WindowProperty(c, root, check);
    // A check window left behind by a window manager that has gone no longer names itself.
    if (wm == XCB_WINDOW_NONE || WindowProperty(c, wm, check) != wm) return {};
    const XcbReply<xcb_get_property_reply_t> name(xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, wm, InternedAtom(c, "_NET_WM_NAME"), InternedAtom(c, "UTF8_STRING"), 0, 256),
        nullptr));
    if (!name || name->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(name.get())),
                       static_cast<size_t>(xcb_get_property_value_length(name.get())));
}

void MarkWithoutBoxes(QWidget* widget) {
    xcb_connection_t* c = DisplayConnection();
    if (c == nullptr || widget == nullptr || RunningWindowManager() != "Openbox") return;
    // A window manager takes the first type it knows: openbox the toolbar, which keeps its title bar and
    // close box; the dialog type after it says what the window is.
    const std::vector<xcb_atom_t> types{InternedAtom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                        InternedAtom(c, "_NET_WM_WINDOW_TYPE_DIALOG")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(widget->winId()),
                        InternedAtom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(types.size()), types.data());
    xcb_flush(c);
}

bool PlaceWindowBehind(QWidget* window, QWidget* front) {
    xcb_connection_t* c = DisplayConnection();
    if (c == nullptr || window == nullptr || front == nullptr) return false;
    const auto placed = static_cast<xcb_window_t>(window->winId());
    const auto sibling = static_cast<xcb_window_t>(front->winId());
    if (RunningWindowManager().empty()) {
        const uint32_t values[] = {sibling, XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, placed, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    } else {
        // The window manager's frames are the ones stacked: only it can place one behind another.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = placed;
        event.type = InternedAtom(c, "_NET_RESTACK_WINDOW");
        event.data.data32[0] = 2; // asked as a pager asks, which the window manager does not refuse
        event.data.data32[1] = sibling;
        event.data.data32[2] = XCB_STACK_MODE_BELOW;
        const xcb_window_t root = RootWindow(c);
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
    return true;
}

std::optional<QMargins> FrameExtents(QWidget* widget) {
    xcb_connection_t* c = DisplayConnection();
    if (c == nullptr || widget == nullptr || RunningWindowManager().empty()) return std::nullopt;
    const auto window = static_cast<xcb_window_t>(widget->winId());
    const xcb_atom_t extents = InternedAtom(c, "_NET_FRAME_EXTENTS");
    if (const std::optional<QMargins> frame = ReadFrameExtents(c, window, extents)) return frame;
    const xcb_atom_t request = InternedAtom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const std::vector<uint32_t> supported =
        Values(c, RootWindow(c), InternedAtom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    if (std::find(supported.begin(), supported.end(), request) == supported.end()) return std::nullopt;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = request;
    xcb_send_event(c, 0, RootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    // The answer is the property set on the window; the toolkit's loop, which sees the events, is not run
    // here, so the property is read until it comes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (const std::optional<QMargins> frame = ReadFrameExtents(c, window, extents)) return frame;
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::optional<QPoint> ServerPlace(const QWidget* widget) {
    xcb_connection_t* c = DisplayConnection();
    if (c == nullptr || widget == nullptr || !widget->testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    const xcb_window_t root = RootWindow(c);
    const XcbReply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, static_cast<xcb_window_t>(widget->winId()), root, 0, 0), nullptr));
    if (!at || !at->same_screen) return std::nullopt;
    return QPoint(at->dst_x, at->dst_y);
}

#else

std::string RunningWindowManager() {
    return {};
}

void MarkWithoutBoxes(QWidget*) {}

bool PlaceWindowBehind(QWidget*, QWidget*) {
    return false;
}

std::optional<QMargins> FrameExtents(QWidget*) {
    return std::nullopt;
}

std::optional<QPoint> ServerPlace(const QWidget*) {
    return std::nullopt;
}

#endif

} // namespace pw::gui::qt
