#include "bars/core/bar_routines.h"

#include <algorithm>
#include <cctype>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbar.h"
#include "bars/core/window_services.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/form.h"
#include "platform/vcl/win_control.h"

namespace {

// The active chain of menus, process-wide as the keyboard and the mouse are: one toolbar or menu window
// is in keyboard or menu mode at a time, whichever manager it belongs to.
bars::BarControl* activeBarControl = nullptr;
bool menusExpanded = false;

// Tracking without the window system's help: the window and the timer that watches it (one pointer).
HWND trackedWindow = nullptr;
UINT_PTR trackTimer = 0;

void TrackTimerFired(HWND, UINT, UINT_PTR, DWORD) {
    POINT cursor{};
    GetCursorPos(cursor);
    if (trackedWindow != nullptr && FindWindowAtPoint(cursor) != trackedWindow)
        EndMouseTracking(trackedWindow);
}

void ProcessQueued(UINT first, UINT last) {
    MSG msg{};
    while (PeekMessage(msg, nullptr, first, last, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            RepostQuit(msg);
            return;
        }
        DispatchMessage(msg);
    }
}

} // namespace

TdxBarManager* FindBarManagerOfForm(TCustomForm* Form) {
    if (Form == nullptr) return nullptr;
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i)->ParentForm() == Form) return list.Items(i);
    return nullptr;
}

bool AnyPopupMenuShown() {
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i)
        for (int j = 0; j < list.Items(i)->PopupMenuCount(); ++j)
            if (list.Items(i)->PopupMenus(j)->IsShowing()) return true;
    return false;
}

bool QuickControlExists() {
    return bars::Windows().QuickControlShown();
}

void RegisterBarControl(bars::BarControl* Control) {
    BarControls().push_back(Control);
}

void UnregisterBarControl(bars::BarControl* Control) {
    if (activeBarControl == Control) activeBarControl = nullptr;
    // A window freed after the unit has finished (a closed menu still waiting to be freed as the
    // program ends) has no list left to leave; asking for it would start the unit again.
    if (!BarUnitStarted()) return;
    auto& list = BarControls();
    list.erase(std::remove(list.begin(), list.end(), Control), list.end());
}

bool IsBarControl(const void* Pointer) {
    if (!BarUnitStarted() || Pointer == nullptr) return false;
    const auto& list = BarControls();
    return std::find(list.begin(), list.end(), Pointer) != list.end();
}

bars::BarControl* GetActiveBarControl() {
    return activeBarControl;
}

void SetActiveBarControl(bars::BarControl* Control) {
    activeBarControl = Control;
}

bool MenusExpanded() {
    return menusExpanded;
}

void SetMenusExpanded(bool Value) {
    menusExpanded = Value;
}

bars::BarControl* GetTopBarControl(bars::BarControl* Control) {
    // Bounded: a chain of bar windows is never longer than the windows alive.
    for (size_t steps = 0; Control != nullptr && steps <= BarControls().size() + 1; ++steps) {
        bars::BarControl* up = nullptr;
        if (bars::ItemControl* opener = Control->OpenedBy())
            up = opener->Parent();
        else
            up = Control->ParentBarControl();
        if (up == nullptr) break;
        Control = up;
    }
    return Control;
}

bars::BarControl* GetTopToolbarControl(bars::BarControl* Control) {
    bars::BarControl* top = GetTopBarControl(Control);
    return top != nullptr && top->IsToolbar() ? top : nullptr;
}

bars::BarControl* GetItemControlTopBarControl(bars::ItemControl* Control) {
    return Control != nullptr ? GetTopBarControl(Control->Parent()) : nullptr;
}

bars::BarControl* GetItemControlTopToolbar(bars::ItemControl* Control) {
    return Control != nullptr ? GetTopToolbarControl(Control->Parent()) : nullptr;
}

bool IsVerticalBarControl(bars::BarControl* Control) {
    return Control != nullptr && Control->IsToolbar() &&
           (Control->DockingStyle() == dsLeft || Control->DockingStyle() == dsRight);
}

bool IsRotatedBarControl(bars::BarControl* Control) {
    if (!IsVerticalBarControl(Control)) return false;
    auto* bar =
        dynamic_cast<TdxBar*>(Control->ItemLinks() != nullptr ? Control->ItemLinks()->LinksOwner() : nullptr);
    return bar != nullptr && bar->RotateWhenVertical();
}

void FreeUnlinkedTempItems() {
    auto& items = TempItems();
    for (size_t i = items.size(); i > 0; --i) {
        if (i - 1 >= items.size()) continue;
        TdxBarItem* item = items[i - 1];
        bool used = false;
        for (int j = 0; j < item->LinkCount() && !used; ++j)
            used = item->Links(j)->Control() != nullptr;
        if (!used) delete item; // the item leaves the list itself
    }
}

TWinControl* FindVCLControlOfWindow(HWND Window) {
    for (HWND w = Window; w != nullptr; w = GetParent(w))
        if (TWinControl* control = FindControl(w)) return control;
    return nullptr;
}

bool IsChildOf(HWND Window, HWND Parent) {
    if (Parent == nullptr) return false;
    for (HWND w = GetParent(Window); w != nullptr; w = GetParent(w))
        if (w == Parent) return true;
    return false;
}

HWND FindWindowAtPoint(POINT ScreenPoint) {
    HWND window = WindowFromPoint(ScreenPoint);
    // The search ends where no child is found, or where the window answers for itself.
    while (window != nullptr) {
        POINT client = ScreenPoint;
        ScreenToClient(window, client);
        HWND child = ChildWindowFromPointEx(window, client, CWP_SKIPINVISIBLE);
        if (child == nullptr || child == window) break;
        window = child;
    }
    return window;
}

std::string StripAmpersands(const std::string& Text) {
    std::string result;
    result.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&' && i + 1 < Text.size()) {
            result += Text[++i];
            continue;
        }
        result += Text[i];
    }
    return result;
}

std::string GetUniqueItemName(TdxBarManager* Manager, const TComponent* Component) {
    return GetUniqueItemName(Manager, Component->ClassName());
}

std::string GetUniqueItemName(TdxBarManager* Manager, const std::string& ClassName) {
    const std::string base = ClassName.substr(1);
    for (int n = 1;; ++n) {
        const std::string name = base + std::to_string(n);
        bool taken = false;
        for (int i = 0; i < Manager->ItemCount() && !taken; ++i)
            taken = SameText(Manager->Items(i)->Name(), name);
        if (!taken) return name;
    }
}

void MakeMinWidth20(int& Value) {
    if (Value < 20) Value = 20;
}

bool IsLeftButtonDown() {
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_RBUTTON : VK_LBUTTON) < 0;
}

bool IsRightButtonDown() {
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_LBUTTON : VK_RBUTTON) < 0;
}

void ProcessMouseMessages() {
    ProcessQueued(WM_MOUSEFIRST, WM_MOUSELAST);
}

void ProcessPaintMessages() {
    ProcessQueued(WM_PAINT, WM_PAINT);
}

void PlayMenuSound(int Kind) {
    PlaySound(Kind == 0 ? "MenuPopup" : "MenuCommand", nullptr,
              SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

void SetWindowAlpha(HWND Window, BYTE Alpha) {
    auto setAttributes = User32Procs().SetLayeredWindowAttributes;
    if (setAttributes == nullptr) return;
    const LONG exStyle = GetWindowLong(Window, GWL_EXSTYLE);
    if (Alpha < 255) {
        if ((exStyle & WS_EX_LAYERED) == 0) SetWindowLong(Window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        setAttributes(Window, 0, Alpha, LWA_ALPHA);
    } else if ((exStyle & WS_EX_LAYERED) != 0) {
        SetWindowLong(Window, GWL_EXSTYLE, exStyle & ~static_cast<LONG>(WS_EX_LAYERED));
        RedrawWindow(Window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

bool IsMouseTracked(HWND Window) {
    if (auto track = User32Procs().TrackMouseEvent) {
        TRACKMOUSEEVENT event;
        event.dwFlags = TME_QUERY;
        event.hwndTrack = Window;
        track(event);
        return (event.dwFlags & TME_LEAVE) != 0 && event.hwndTrack == Window;
    }
    return Window != nullptr && Window == trackedWindow;
}

void BeginMouseTracking(HWND Window) {
    if (IsMouseTracked(Window)) return;
    if (auto track = User32Procs().TrackMouseEvent) {
        TRACKMOUSEEVENT event;
        event.dwFlags = TME_LEAVE;
        event.hwndTrack = Window;
        track(event);
        return;
    }
    if (trackedWindow != nullptr) EndMouseTracking(trackedWindow);
    trackedWindow = Window;
    trackTimer = SetTimer(nullptr, 0, 50, &TrackTimerFired);
}

void EndMouseTracking(HWND Window) {
    if (!IsMouseTracked(Window)) return;
    if (auto track = User32Procs().TrackMouseEvent) {
        TRACKMOUSEEVENT event;
        event.dwFlags = TME_CANCEL | TME_LEAVE;
        event.hwndTrack = Window;
        track(event);
    } else {
        if (trackTimer != 0) KillTimer(nullptr, trackTimer);
        trackTimer = 0;
        trackedWindow = nullptr;
    }
    SendMessage(Window, WM_MOUSELEAVE, 0, 0);
}
