#include <algorithm>

#include "platform/gui/gui_state.h"

namespace pw::gui {
namespace {

// Hooks belong to the thread that set them, and most threads set none: every procedure call asks.
thread_local int hooksSet = 0;

} // namespace

LRESULT RunHooks(int kind, int code, WPARAM wParam, LPARAM lParam) {
    if (hooksSet == 0) return 0;
    auto q = CurrentQueue();
    HOOKPROC proc = nullptr;
    {
        Guard g(Lock());
        for (const Hook& h : q->hooks)
            if (h.kind == kind) {
                proc = h.proc;
                break;
            }
    }
    return proc ? proc(code, wParam, lParam) : 0;
}

} // namespace pw::gui

using namespace pw::gui;

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
    if (!proc || (idHook != WH_KEYBOARD && idHook != WH_MOUSE && idHook != WH_CALLWNDPROC)) return nullptr;
    static uintptr_t nextHook = 0x20000;
    auto q = CurrentQueue();
    Guard g(Lock());
    nextHook += 4;
    HHOOK h = reinterpret_cast<HHOOK>(nextHook);
    q->hooks.insert(q->hooks.begin(), Hook{h, idHook, proc});
    ++hooksSet;
    return h;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto q = CurrentQueue();
    Guard g(Lock());
    auto before = q->hooks.size();
    std::erase_if(q->hooks, [&](const Hook& h) { return h.handle == hook; });
    hooksSet -= static_cast<int>(before - q->hooks.size());
    return before != q->hooks.size() ? TRUE_ : FALSE_;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    auto q = CurrentQueue();
    HOOKPROC next = nullptr;
    {
        Guard g(Lock());
        auto it =
            std::find_if(q->hooks.begin(), q->hooks.end(), [&](const Hook& h) { return h.handle == hook; });
        if (it == q->hooks.end()) return 0;
        int kind = it->kind;
        for (++it; it != q->hooks.end(); ++it)
            if (it->kind == kind) {
                next = it->proc;
                break;
            }
    }
    return next ? next(code, wParam, lParam) : 0;
}
