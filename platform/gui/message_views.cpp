#include "platform/gui/message_views.h"

#include <algorithm>

#include "platform/gui/message_loop.h"

LRESULT MessageView::ForwardTo(HWND target) const {
    return SendMessage(target, m_.Msg, m_.WParam, m_.LParam);
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
