#pragma once
// The display as another client sees it (tests/support/gui/x_connection.h), and the X window the toolkit
// made for one of ours.
#if defined(PW_HAVE_XCB)
#include <cstdint>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/host_widget.h"
#include "tests/support/gui/x_connection.h"

namespace gui_qt_test {

using testsupport::XConnection;

// The X window the toolkit made for a top-level window; 0 before it has one.
inline uint32_t XWindowOf(HWND hwnd) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    auto* host = w ? dynamic_cast<pw::gui::qt::QtHost*>(w->host.get()) : nullptr;
    return host != nullptr && host->Widget() != nullptr ? static_cast<uint32_t>(host->Widget()->winId()) : 0;
}

} // namespace gui_qt_test
#endif
