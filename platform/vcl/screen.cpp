#include "platform/vcl/screen.h"

#include <algorithm>

#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "platform/vcl/vcl_state.h"

TScreen* Screen = new TScreen(nullptr);
TMouse* Mouse = new TMouse();

TRect TMonitor::BoundsRect() const {
    MONITORINFO info;
    GetMonitorInfo(handle_, info);
    return info.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
    MONITORINFO info;
    GetMonitorInfo(handle_, info);
    return info.rcWork;
}

int TMonitor::Width() const {
    TRect r = BoundsRect();
    return r.right - r.left;
}

int TMonitor::Height() const {
    TRect r = BoundsRect();
    return r.bottom - r.top;
}

bool TMonitor::Primary() const {
    MONITORINFO info;
    GetMonitorInfo(handle_, info);
    return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() {
    for (auto& [index, cursor] : cursors_)
        if (index > 0) DestroyCursor(cursor);
}

namespace {

uintptr_t StandardCursorId(int index) {
    switch (index) {
    case crCross:
        return IDC_CROSS;
    case crIBeam:
        return IDC_IBEAM;
    case crSizeNESW:
        return IDC_SIZENESW;
    case crSizeNS:
    case crVSplit:
        return IDC_SIZENS;
    case crSizeNWSE:
        return IDC_SIZENWSE;
    case crSizeWE:
    case crHSplit:
        return IDC_SIZEWE;
    case crUpArrow:
        return IDC_UPARROW;
    case crHourGlass:
    case crSQLWait:
        return IDC_WAIT;
    case crNo:
    case crNoDrop:
        return IDC_NO;
    case crAppStart:
        return IDC_APPSTARTING;
    case crHelp:
        return IDC_HELP;
    case crHandPoint:
        return IDC_HAND;
    case crSizeAll:
        return IDC_SIZEALL;
    default:
        return IDC_ARROW;
    }
}

} // namespace

HCURSOR TScreen::Cursors(int Index) {
    auto it = cursors_.find(Index);
    if (it != cursors_.end()) return it->second;
    if (Index > 0) return LoadCursor(nullptr, IDC_ARROW);
    if (Index == crNone) return nullptr;
    return LoadCursor(nullptr, StandardCursorId(Index));
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    auto it = cursors_.find(Index);
    if (it != cursors_.end()) {
        if (it->second == Handle) return;
        if (Index > 0) DestroyCursor(it->second);
    }
    if (Handle)
        cursors_[Index] = Handle;
    else
        cursors_.erase(Index);
}

void TScreen::SetCursor(TCursor Value) {
    if (cursor_ == Value) return;
    cursor_ = Value;
    if (Value != crDefault) {
        ::SetCursor(Cursors(Value));
        return;
    }
    // Back to the controls' own cursors: ask the window under the pointer.
    POINT p;
    GetCursorPos(p);
    if (HWND w = WindowFromPoint(p))
        SendMessage(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

int TScreen::Width() const {
    auto screens = pw::gui::Screens();
    return screens.empty() ? 0 : screens[0].bounds.right - screens[0].bounds.left;
}

int TScreen::Height() const {
    auto screens = pw::gui::Screens();
    return screens.empty() ? 0 : screens[0].bounds.bottom - screens[0].bounds.top;
}

TMonitor* TScreen::MonitorOf(HMONITOR Handle) {
    if (!Handle) return nullptr;
    MonitorCount();
    for (auto& m : monitors_)
        if (m->Handle() == Handle) return m.get();
    return nullptr;
}

int TScreen::MonitorCount() {
    // Screens come and go (and tests replace them): ask each time.
    auto screens = pw::gui::Screens();
    std::vector<std::unique_ptr<TMonitor>> fresh;
    for (size_t i = 0; i < screens.size(); ++i) {
        const RECT& b = screens[i].bounds;
        HMONITOR h = ::MonitorFromPoint(POINT{b.left, b.top}, MONITOR_DEFAULTTONULL);
        auto same =
            std::find_if(monitors_.begin(), monitors_.end(), [&](auto& m) { return m && m->Handle() == h; });
        if (same != monitors_.end() && (*same)->MonitorNum() == static_cast<int>(i))
            fresh.push_back(std::move(*same));
        else
            fresh.push_back(std::make_unique<TMonitor>(h, static_cast<int>(i)));
    }
    // Monitors handed out before stay valid until the screen goes away.
    for (auto& m : monitors_)
        if (m) retired_.push_back(std::move(m));
    monitors_ = std::move(fresh);
    return static_cast<int>(monitors_.size());
}

TMonitor* TScreen::Monitors(int Index) {
    MonitorCount();
    return monitors_.at(static_cast<size_t>(Index)).get();
}

TMonitor* TScreen::PrimaryMonitor() {
    MonitorCount();
    for (auto& m : monitors_)
        if (m->Primary()) return m.get();
    return monitors_.empty() ? nullptr : monitors_[0].get();
}

namespace {

DWORD DefaultFlag(TMonitorDefaultTo d) {
    return d == mdNull      ? MONITOR_DEFAULTTONULL
           : d == mdPrimary ? MONITOR_DEFAULTTOPRIMARY
                            : MONITOR_DEFAULTTONEAREST;
}

} // namespace

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) {
    return MonitorOf(::MonitorFromWindow(Handle, DefaultFlag(Default)));
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default) {
    return MonitorOf(::MonitorFromPoint(Point, DefaultFlag(Default)));
}

TRect TScreen::WorkAreaRect() {
    TMonitor* m = PrimaryMonitor();
    return m ? m->WorkareaRect() : TRect{0, 0, 0, 0};
}

void TScreen::AddForm(TCustomForm* Form) {
    forms_.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), Form), forms_.end());
    if (activeForm_ == Form) SetActiveForm(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (activeForm_ == Form) return;
    activeForm_ = Form;
    if (OnActiveFormChange) OnActiveFormChange(this);
}

TPoint TMouse::CursorPos() const {
    POINT p;
    GetCursorPos(p);
    return p;
}

void TMouse::SetCursorPos(TPoint Value) {
    ::SetCursorPos(Value.x, Value.y);
}

TControl* TMouse::Capture() const {
    return pw::vcl::CaptureControl();
}
