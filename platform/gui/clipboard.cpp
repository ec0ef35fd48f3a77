#include "platform/gui/clipboard.h"

#include <mutex>
#include <optional>

#include "platform/gui/backend.h"

namespace {

struct ClipboardState {
    std::mutex lock;
    bool open = false;
    HWND openedBy = nullptr;
    HWND owner = nullptr;
    // The clipboard of a process without a toolkit (tools, worker-only runs).
    std::string ownText;
};

ClipboardState& State() {
    static auto* state = new ClipboardState; // never destroyed: worker threads may outlive static destruction
    return *state;
}

bool TextFormat(UINT format) {
    return format == CF_TEXT || format == CF_UNICODETEXT;
}

bool IsOpen() {
    std::lock_guard guard(State().lock);
    return State().open;
}

} // namespace

BOOL OpenClipboard(HWND owner) {
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    if (s.open) return FALSE_;
    s.open = true;
    s.openedBy = owner;
    return TRUE_;
}

BOOL CloseClipboard() {
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    if (!s.open) return FALSE_;
    s.open = false;
    s.openedBy = nullptr;
    return TRUE_;
}

BOOL EmptyClipboard() {
    ClipboardState& s = State();
    {
        std::lock_guard guard(s.lock);
        if (!s.open) return FALSE_;
        s.owner = s.openedBy;
        s.ownText.clear();
    }
    if (auto* backend = pw::gui::CurrentBackend()) backend->ClearClipboard();
    return TRUE_;
}

BOOL SetClipboardData(UINT format, const std::string& text) {
    if (!TextFormat(format) || !IsOpen()) return FALSE_;
    if (auto* backend = pw::gui::CurrentBackend()) {
        backend->SetClipboardText(text);
    } else {
        std::lock_guard guard(State().lock);
        State().ownText = text;
    }
    return TRUE_;
}

std::string GetClipboardData(UINT format) {
    if (!TextFormat(format)) return {};
    if (auto* backend = pw::gui::CurrentBackend()) return backend->ClipboardText();
    std::lock_guard guard(State().lock);
    return State().ownText;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return !GetClipboardData(format).empty() ? TRUE_ : FALSE_;
}

HWND GetClipboardOwner() {
    std::lock_guard guard(State().lock);
    return State().owner;
}

HWND GetOpenClipboardWindow() {
    std::lock_guard guard(State().lock);
    return State().openedBy;
}
