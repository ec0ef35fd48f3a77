#include "platform/gui/system.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/test_settings.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"

namespace pw::gui {
namespace {

struct CursorInfo {
    uintptr_t id = IDC_ARROW;
    Surface image;
    POINT hot{};
    const Surface* Image() const { return image.Width() ? &image : nullptr; }
};

inline constexpr UINT kDefaultDoubleClickTime = 500;
inline constexpr UINT kDefaultCaretBlinkTime = 530;

struct SystemState {
    std::vector<ScreenInfo> screens;
    std::map<HCURSOR, CursorInfo> custom;
    uintptr_t nextCursor = 0x40000;
    HCURSOR current = nullptr;
    // The cursor last handed to a host, and that host: handing the same again changes nothing.
    HCURSOR shownCursor = nullptr;
    const HostWindow* shownOn = nullptr;
    std::function<void(const std::string&)> soundSink;
    // Read by input and controls under the window lock: atomic, so no lock is needed.
    std::atomic<UINT> doubleClickTime{kDefaultDoubleClickTime};
    std::atomic<UINT> caretBlinkTime{kDefaultCaretBlinkTime};
};

SystemState& Sys() {
    static SystemState state;
    return state;
}

bool IsStandardCursor(uintptr_t id) {
    return id >= IDC_ARROW && id <= IDC_HELP;
}

long DistanceTo(const RECT& r, POINT p) {
    long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

HMONITOR MonitorHandle(size_t index) {
    return reinterpret_cast<HMONITOR>(index + 1);
}

// What a host shows for the cursor: a standard one by its number, one made here with its image and hot
// spot. Under the lock.
CursorInfo ShapeOfCursor(HCURSOR cursor) {
    const auto it = Sys().custom.find(cursor);
    CursorInfo shape = it != Sys().custom.end() ? it->second : CursorInfo{};
    shape.id = reinterpret_cast<uintptr_t>(cursor);
    return shape;
}

} // namespace

void SetScreens(const std::vector<ScreenInfo>& screens) {
    {
        Guard g(Lock());
        Sys().screens = screens;
    }
    if (!screens.empty()) {
        const ScreenInfo& s = screens.front();
        pw::gdi::SetScreenSize(s.bounds.right - s.bounds.left, s.bounds.bottom - s.bounds.top);
        pw::gdi::SetWorkArea(s.workArea);
    }
}

void ChangeScreens(const std::vector<ScreenInfo>& screens) {
    const std::vector<ScreenInfo> old = Screens();
    bool resized = old.size() != screens.size(), workAreas = resized;
    for (size_t i = 0; i < old.size() && i < screens.size(); ++i) {
        resized = resized || !EqualRect(old[i].bounds, screens[i].bounds);
        workAreas = workAreas || !EqualRect(old[i].workArea, screens[i].workArea);
    }
    SetScreens(screens);
    if (resized && !screens.empty()) {
        const RECT& b = screens.front().bounds;
        const WindowDC screen(nullptr);
        BroadcastToTopLevels(
            WM_DISPLAYCHANGE, static_cast<WPARAM>(GetDeviceCaps(screen.Get(), BITSPIXEL)),
            MAKELPARAM(static_cast<WORD>(b.right - b.left), static_cast<WORD>(b.bottom - b.top)));
    }
    if (workAreas) BroadcastToTopLevels(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
}

void ChangeNonClientMetrics(const NONCLIENTMETRICS& metrics) {
    NONCLIENTMETRICS now{};
    now.cbSize = sizeof now;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof now, &now, 0);
    NONCLIENTMETRICS next = metrics;
    next.cbSize = sizeof next;
    if (std::memcmp(&now, &next, sizeof now) == 0) return;
    gdi::SetNonClientMetrics(next);
    BroadcastToTopLevels(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
}

std::vector<ScreenInfo> Screens() {
    {
        Guard g(Lock());
        if (!Sys().screens.empty()) return Sys().screens;
    }
    RECT bounds{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {ScreenInfo{bounds, pw::gdi::WorkArea()}};
}

uintptr_t CursorId(HCURSOR cursor) {
    uintptr_t v = reinterpret_cast<uintptr_t>(cursor);
    if (IsStandardCursor(v)) return v;
    Guard g(Lock());
    auto it = Sys().custom.find(cursor);
    return it == Sys().custom.end() ? IDC_ARROW : it->second.id;
}

void SetSoundSink(std::function<void(const std::string&)> sink) {
    Guard g(Lock());
    Sys().soundSink = std::move(sink);
}

} // namespace pw::gui

using namespace pw::gui;

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    auto screens = Screens();
    size_t nearest = 0;
    long best = -1;
    for (size_t i = 0; i < screens.size(); ++i) {
        if (PtInRect(screens[i].bounds, point)) return MonitorHandle(i);
        long d = DistanceTo(screens[i].bounds, point);
        if (best < 0 || d < best) {
            best = d;
            nearest = i;
        }
    }
    if (flags == MONITOR_DEFAULTTONULL) return nullptr;
    return MonitorHandle(flags == MONITOR_DEFAULTTOPRIMARY ? 0 : nearest);
}

HMONITOR MonitorFromRect(const RECT& rect, DWORD flags) {
    auto screens = Screens();
    long bestArea = 0;
    HMONITOR best = nullptr;
    for (size_t i = 0; i < screens.size(); ++i) {
        RECT r;
        if (!IntersectRect(r, rect, screens[i].bounds)) continue;
        long area = static_cast<long>(r.right - r.left) * (r.bottom - r.top);
        if (area > bestArea) {
            bestArea = area;
            best = MonitorHandle(i);
        }
    }
    if (best) return best;
    return MonitorFromPoint(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT r;
    if (!GetWindowRect(hwnd, r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0);
    return MonitorFromRect(r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO& info) {
    auto screens = Screens();
    uintptr_t index = reinterpret_cast<uintptr_t>(monitor);
    if (index == 0 || index > screens.size()) return FALSE_;
    const ScreenInfo& s = screens[index - 1];
    info.rcMonitor = s.bounds;
    info.rcWork = IsRectEmpty(s.workArea) ? s.bounds : s.workArea;
    info.dwFlags = index == 1 ? MONITORINFOF_PRIMARY : 0;
    return TRUE_;
}

HCURSOR LoadCursor(HINSTANCE instance, uintptr_t id) {
    if (instance || !IsStandardCursor(id)) return nullptr;
    return reinterpret_cast<HCURSOR>(id);
}

HCURSOR CreateCursorFromBitmap(HBITMAP image, int hotX, int hotY) {
    CursorInfo info;
    info.hot = POINT{hotX, hotY};
    if (image) {
        const pw::gdi::MemoryDC dc(nullptr, image);
        if (const Surface* s = GetDCSurface(dc.Get())) info.image = *s;
    }
    if (info.image.Width() == 0) return nullptr;
    Guard g(Lock());
    auto& sys = Sys();
    sys.nextCursor += 4;
    HCURSOR h = reinterpret_cast<HCURSOR>(sys.nextCursor);
    info.id = sys.nextCursor;
    sys.custom[h] = std::move(info);
    return h;
}

BOOL DestroyCursor(HCURSOR cursor) {
    Guard g(Lock());
    return Sys().custom.erase(cursor) ? TRUE_ : FALSE_;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old;
    CursorInfo shape;
    {
        Guard g(Lock());
        old = Sys().current;
        Sys().current = cursor;
        shape = ShapeOfCursor(cursor);
    }
    // The held pointer shows the holder's cursor over every window.
    if (Backend* backend = CurrentBackend(); backend && IsGuiThread() && backend->HoldsPointer())
        backend->SetHeldCursorShape(shape.id, shape.Image(), shape.hot);
    POINT pos;
    GetCursorPos(pos);
    auto w = FindLiveWindow(TopLevelAt(pos));
    if (!w || !w->host) return old;
    {
        Guard g(Lock());
        if (Sys().shownOn == w->host.get() && Sys().shownCursor == cursor) return old;
        Sys().shownOn = w->host.get();
        Sys().shownCursor = cursor;
    }
    w->host->SetCursorShape(shape.id, shape.Image(), shape.hot);
    return old;
}

void pw::gui::HoldPointer(bool hold) {
    Backend* backend = CurrentBackend();
    if (!backend || !IsGuiThread() || hold == backend->HoldsPointer()) return;
    backend->HoldPointer(hold);
    if (!hold || !backend->HoldsPointer()) return;
    CursorInfo shape;
    {
        Guard g(Lock());
        shape = ShapeOfCursor(Sys().current);
    }
    // None set yet: the toolkit still shows its arrow.
    if (shape.id == 0) shape.id = IDC_ARROW;
    backend->SetHeldCursorShape(shape.id, shape.Image(), shape.hot);
}

void pw::gui::ForgetCursorHost(const HostWindow* host) {
    Guard g(Lock());
    if (Sys().shownOn == host) Sys().shownOn = nullptr;
}

HCURSOR GetCursor() {
    Guard g(Lock());
    return Sys().current;
}

BOOL MessageBeep(UINT) {
    std::function<void(const std::string&)> sink;
    {
        Guard g(Lock());
        sink = Sys().soundSink;
    }
    if (sink) sink("Beep");
    return TRUE_;
}

BOOL PlaySound(const char* sound, HINSTANCE, DWORD) {
    std::function<void(const std::string&)> sink;
    {
        Guard g(Lock());
        sink = Sys().soundSink;
    }
    if (sink && sound) sink(sound);
    return TRUE_;
}

UINT GetDoubleClickTime() {
    return Sys().doubleClickTime;
}

UINT GetCaretBlinkTime() {
    return Sys().caretBlinkTime;
}

BOOL SetDoubleClickTime(UINT milliseconds) {
    Sys().doubleClickTime = milliseconds ? milliseconds : kDefaultDoubleClickTime;
    return TRUE_;
}

BOOL SetCaretBlinkTime(UINT milliseconds) {
    Sys().caretBlinkTime = milliseconds;
    return TRUE_;
}
