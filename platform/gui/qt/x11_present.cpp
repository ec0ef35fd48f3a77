#include "platform/gui/qt/x11_present.h"

#include <QApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <bit>
#include <cstdlib>

#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include "platform/gdi/surface.h"

namespace pw::gui::qt {

#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

template <class T> struct FreeReply {
    void operator()(T* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply<T>>;

// Whether a window of this depth and visual shows the store's pixels as they are.
bool TakesStorePixels(xcb_connection_t* c, uint8_t depth, xcb_visualid_t visual) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
        std::endian::native != std::endian::little)
        return false;
    bool format = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f))
        if (f.data->depth == 24) format = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!format) return false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return d.data->depth == 24 && v.data->red_mask == 0xFF0000u &&
                           v.data->green_mask == 0xFF00u && v.data->blue_mask == 0xFFu;
    return false;
}

} // namespace

std::unique_ptr<X11Presenter> X11Presenter::For(QWidget* widget) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || widget == nullptr || widget->devicePixelRatioF() != 1.0) return nullptr;
    const auto window = static_cast<xcb_window_t>(widget->winId());
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    if (!geometry || !attributes || !TakesStorePixels(c, geometry->depth, attributes->visual)) return nullptr;
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    // A request's length counts 4-byte units, its header included.
    const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    return std::unique_ptr<X11Presenter>(new X11Presenter(c, window, gc, maxBytes));
}

X11Presenter::~X11Presenter() {
    // At the program's end the connection may be gone before the last window.
    auto* c = static_cast<xcb_connection_t*>(connection_);
    if (Connection() == c) xcb_free_gc(c, gc_);
}

bool X11Presenter::Put(QWidget* widget, const Surface& store, const std::vector<RECT>& area) {
    auto* c = static_cast<xcb_connection_t*>(connection_);
    if (Connection() != c || static_cast<uint32_t>(widget->winId()) != window_ ||
        widget->devicePixelRatioF() != 1.0)
        return false;
    for (const RECT& a : area) {
        const int left = std::max(0, static_cast<int>(a.left)), top = std::max(0, static_cast<int>(a.top));
        const int right = std::min(store.Width(), static_cast<int>(a.right));
        const int bottom = std::min(store.Height(), static_cast<int>(a.bottom));
        const int w = right - left;
        if (w <= 0 || bottom <= top) continue;
        // As many whole rows a request as it may carry.
        const int band = std::max(1, static_cast<int>(maxBytes_ / (static_cast<size_t>(w) * 4)));
        for (int y = top; y < bottom; y += band) {
            const int h = std::min(band, bottom - y);
            rows_.resize(static_cast<size_t>(w) * h);
            for (int row = 0; row < h; ++row)
                std::copy_n(store.Bits() + static_cast<size_t>(y + row) * store.Width() + left, w,
                            rows_.data() + static_cast<size_t>(row) * w);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(w),
                          static_cast<uint16_t>(h), static_cast<int16_t>(left), static_cast<int16_t>(y), 0,
                          24, static_cast<uint32_t>(rows_.size() * 4),
                          reinterpret_cast<const uint8_t*>(rows_.data()));
        }
    }
    xcb_flush(c);
    return true;
}

#else

std::unique_ptr<X11Presenter> X11Presenter::For(QWidget*) {
    return nullptr;
}

X11Presenter::~X11Presenter() = default;

bool X11Presenter::Put(QWidget*, const Surface&, const std::vector<RECT>&) {
    return false;
}

#endif

X11Presenter::X11Presenter(void* connection, uint32_t window, uint32_t gc, size_t maxBytes)
    : connection_(connection), window_(window), gc_(gc), maxBytes_(maxBytes) {}

} // namespace pw::gui::qt
