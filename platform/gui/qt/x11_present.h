#pragma once
// A window's pixels handed to the X server straight from its store. Through the toolkit each change is
// first painted into the toolkit's own copy of the window and flushed from there: a hot button costs
// that copy and the toolkit's paint pass on top of sending its pixels. The toolkit still paints what the
// X server asks for (exposures); only our own changes go this way.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/gdi_structs.h"

class QWidget;
class Surface;

namespace pw::gui::qt {

class X11Presenter {
public:
    // Null unless the widget's window is an X11 window that shows 32-bit pixels as the store holds them
    // (24-bit colour, red-green-blue masks, least significant byte first, no scaling).
    static std::unique_ptr<X11Presenter> For(QWidget* widget);
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // False when the widget's window changed under it (made again, or moved to a scaled screen): the
    // caller then asks For again.
    bool Put(QWidget* widget, const Surface& store, const std::vector<RECT>& area);

private:
    X11Presenter(void* connection, uint32_t window, uint32_t gc, size_t maxBytes);
    void* connection_;
    uint32_t window_;
    uint32_t gc_;
    size_t maxBytes_;
    std::vector<uint32_t> rows_;
};

} // namespace pw::gui::qt
