#include "platform/vcl/clipboard.h"

#include "platform/gui/clipboard.h"

namespace {

// Holds the clipboard open for one change, as the class library does around each of its calls.
class OpenedClipboard {
public:
    OpenedClipboard() {
        if (!OpenClipboard(nullptr)) throw EClipboardException("Cannot open clipboard");
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

} // namespace

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

std::string TClipboard::AsText() const {
    return GetClipboardData(CF_UNICODETEXT);
}

void TClipboard::SetAsText(const std::string& Value) {
    OpenedClipboard open;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Value);
}

void TClipboard::Clear() {
    OpenedClipboard open;
    EmptyClipboard();
}
