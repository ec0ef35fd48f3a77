#include "platform/gui/message_views.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"
#include "platform/gui/message_loop.h"

LRESULT MessageView::ForwardTo(HWND target) const {
    return SendMessage(target, m_.Msg, m_.WParam, m_.LParam);
}

HDC TWMNCPaint::PrintDC() const {
    // 0 and 1 are no regions; any other value is a region or a DC, told apart by the object's type.
    if (W() <= 1) return nullptr;
    const DWORD kind = GetObjectType(Pointer<void>(W()));
    return kind == OBJ_DC || kind == OBJ_MEMDC ? Pointer<HDC__>(W()) : nullptr;
}

LRESULT CopyOut(const std::string& text, std::span<char> buffer) {
    if (buffer.empty()) return 0;
    size_t n = std::min(text.size(), buffer.size() - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.copy(buffer.data(), n);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}
