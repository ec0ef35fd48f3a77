#include "platform/gui/drop_files.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

#include "platform/gui/backend.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

struct HDROP__ {
    std::vector<std::string> files;
    POINT point{};
};

namespace {

// Drops not yet finished: a handle that is not among them (freed, or never made) reads as empty.
std::mutex dropsLock;
std::set<HDROP> liveDrops;

bool Live(HDROP drop) {
    std::lock_guard guard(dropsLock);
    return drop != nullptr && liveDrops.count(drop) != 0;
}

bool TakesFiles(HWND hwnd) {
    return (static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE)) & WS_EX_ACCEPTFILES) != 0;
}

} // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept) {
    const DWORD ex = static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE));
    SetWindowLong(hwnd, GWL_EXSTYLE,
                  static_cast<LONG>(accept ? ex | WS_EX_ACCEPTFILES : ex & ~WS_EX_ACCEPTFILES));
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size) {
    if (!Live(drop)) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->files.size());
    if (index >= drop->files.size()) return 0;
    const std::string& file = drop->files[index];
    if (buffer == nullptr || size == 0) return static_cast<UINT>(file.size());
    const size_t n = std::min<size_t>(file.size(), size - 1);
    std::memcpy(buffer, file.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, POINT& point) {
    if (!Live(drop)) return FALSE_;
    point = drop->point;
    return TRUE_;
}

void DragFinish(HDROP drop) {
    {
        std::lock_guard guard(dropsLock);
        if (liveDrops.erase(drop) == 0) return;
    }
    delete drop;
}

DWORD DoDragDropFiles(HWND source, const std::vector<std::string>& files, DWORD allowedEffects) {
    pw::gui::Backend* backend = pw::gui::CurrentBackend();
    if (!backend || !IsWindow(source) || files.empty() || allowedEffects == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return backend->DragFiles(GetAncestor(source, GA_ROOT), files, allowedEffects);
}

namespace pw::gui {

HWND FileDropTargetAt(HWND host, POINT screen) {
    HWND at = WindowFromPoint(screen);
    if (!at || GetAncestor(at, GA_ROOT) != host) at = host;
    for (HWND w = at; w; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) return nullptr;
        if (TakesFiles(w)) return w;
        if (w == host) break;
    }
    return nullptr;
}

bool DropFiles(HWND host, POINT screen, const std::vector<std::string>& files) {
    HWND target = FileDropTargetAt(host, screen);
    if (!target || files.empty()) return false;
    auto drop = std::make_unique<HDROP__>();
    drop->files = files;
    drop->point = screen;
    ScreenToClient(target, drop->point);
    HDROP handle = drop.get();
    {
        std::lock_guard guard(dropsLock);
        liveDrops.insert(handle);
    }
    drop.release();
    if (PostMessage(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) return true;
    DragFinish(handle);
    return false;
}

} // namespace pw::gui
