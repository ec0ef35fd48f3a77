// The library's windows made the ones the model uses, and the loop that moves a toolbar by its grip.
#include <memory>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/container_item.h"
#include "bars/core/item_links.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars/core/system_menu_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/flat_painter.h"
#include "bars/storage/layout_storing.h"
#include "bars/windows/bar_dock_control.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/bar_windows.h"
#include "bars/windows/combo_control.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/drop_down_list.h"
#include "bars/windows/edit_control.h"
#include "bars/windows/floating_bars.h"
#include "bars/windows/item_control.h"
#include "bars/windows/menu_effects.h"
#include "bars/windows/popup_menu_window.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/system_menu_item_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

std::unique_ptr<BarControl> MakeBarControl(TdxBarItemLinks* Links, bool Toolbar) {
    auto* bar = dynamic_cast<TdxBar*>(Links->LinksOwner());
    if (dynamic_cast<TCustomdxBarContainerItem*>(Links->LinksOwner()) != nullptr)
        return std::make_unique<TContainerItemSubMenuControl>(Links->BarManager(), Links);
    if (!Toolbar || bar == nullptr) return CreateSubMenuControl(Links);
    return std::make_unique<TdxBarControl>(Links->BarManager(), bar);
}

DockControl* MakeDockControl(TdxBars* Bars, TdxBarDockingStyle Side, TCustomForm* Form) {
    auto* site = new TdxDockControl(nullptr, Bars->BarManager(), Side);
    if (Form != nullptr) site->SetParent(Form);
    return site;
}

// One drag of a toolbar: where the pointer grabbed it, and the docking wait.
struct Drag {
    TdxBarControl* control;
    TdxBar* bar;
    TdxBarManager* manager;
    HWND helper = nullptr;
    POINT dockGrabOffset{0, 0};
    UINT_PTR waitTimer = 0;
    bool skipWait = false;
};

TdxDockControl* SiteAt(Drag& d, POINT P, TdxBarDockingStyle Style) {
    for (int i = 0; i < d.manager->DockControlCount(); ++i) {
        auto* site = dynamic_cast<TdxDockControl*>(d.manager->DockControls(i));
        if (site == nullptr || site->DockingStyle() != Style) continue;
        // A site the user cannot reach (hidden or disabled, itself or a control that holds it) takes
        // nothing, except while the form is designed.
        if (!site->CanFocus() && !d.manager->Designing()) continue;
        if (!d.manager->CanDocking(d.bar, Style, site)) continue;
        if (PtInRect(site->GetDockingZone(), P) && site->UncoveredAt(P, d.control->Handle())) return site;
    }
    return nullptr;
}

// Holding Ctrl keeps the bar floating.
TdxDockControl* FindDockSite(Drag& d, POINT P, TdxBarDockingStyle& Style) {
    Style = dsNone;
    if (GetAsyncKeyState(VK_CONTROL) < 0) return nullptr;
    for (const POINT at : {P, POINT{P.x - d.dockGrabOffset.x, P.y - d.dockGrabOffset.y}})
        for (TdxBarDockingStyle style : {dsLeft, dsRight, dsTop, dsBottom})
            if (TdxDockControl* site = SiteAt(d, at, style)) {
                Style = style;
                return site;
            }
    return nullptr;
}

// A floating bar the person moves comes in front of the program's other windows (the customizing window
// among them) without taking the activation: where it is let go, it is seen.
void BringFloatingBarToFront(TdxBarControl* Control) {
    if (Control->DockingStyle() == dsNone && Control->Handle() != nullptr)
        SetWindowPos(Control->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MoveDraggedControl(Drag& d, POINT P) {
    TdxBarDockingStyle style = dsNone;
    TdxDockControl* site = FindDockSite(d, P, style);
    if (!d.manager->CanDocking(d.bar, style, site)) return;
    TdxBarControl* ctl = d.control;
    // A floating bar docks only once the pointer stayed over the site a moment.
    if (!d.skipWait && ctl->DockingStyle() == dsNone && style != dsNone) {
        if (d.waitTimer != 0) KillTimer(d.helper, d.waitTimer);
        d.waitTimer = SetTimer(d.helper, 1, static_cast<UINT>(d.manager->WaitForDockingTime()), nullptr);
        style = dsNone;
        site = nullptr;
    }
    if (style == dsNone) P = POINT{P.x - d.dockGrabOffset.x, P.y - d.dockGrabOffset.y};
    if (style == ctl->DockingStyle() && site == ctl->DockSite()) {
        if (style == dsNone) {
            RECT r{0, 0, 0, 0};
            GetWindowRect(ctl->Handle(), r);
            const POINT grab = ctl->GrabOffsetFor(SIZE{r.right - r.left, r.bottom - r.top});
            SetWindowPos(ctl->Handle(), nullptr, P.x - grab.x, P.y - grab.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            site->MoveBarControl(ctl, P);
        }
        return;
    }
    if (ctl->Handle() != nullptr)
        SetWindowPos(ctl->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (ctl->DockSite() != nullptr) ctl->DockSite()->RemoveBarControl(ctl);
    ctl->ItemLinks()->SetRecentItemCount(-1);
    ctl->ChangeDockingStyle(style, site);
    d.bar->SetDocking(style, site);
    if (style != dsNone) {
        site->AddBarControl(ctl, P, true);
    } else {
        const SIZE size = ctl->GetSizeForDockingStyle(dsNone);
        const POINT grab = ctl->GrabOffsetFor(size);
        ctl->SetFloatingBounds(POINT{P.x - grab.x, P.y - grab.y}, size);
        ctl->RepaintBar();
    }
    ShowWindow(ctl->Handle(), SW_SHOWNA);
    BringFloatingBarToFront(ctl);
}

} // namespace

std::unique_ptr<BarControl> BarWindowServices::MakeBarControl(TdxBarItemLinks* Links, bool Toolbar) const {
    return bars::MakeBarControl(Links, Toolbar);
}

DockControl* BarWindowServices::MakeDockControl(TdxBars* Bars, TdxBarDockingStyle Side,
                                                TCustomForm* Form) const {
    return bars::MakeDockControl(Bars, Side, Form);
}

std::unique_ptr<TdxBarComboListBox> BarWindowServices::MakeComboList(TdxBarCustomCombo* Combo) const {
    return CreateDropDownList(Combo);
}

bool BarWindowServices::ShowPopupMenu(TdxBarPopupMenu* Menu, int X, int Y) const {
    ShowPopupMenuWindow(Menu, X, Y);
    return true;
}

void BarWindowServices::UpdateFloatingBars(TdxBarManager* Manager, bool Active, bool Force,
                                           HWND Other) const {
    bars::UpdateFloatingBars(Manager, Active, Force, Other);
}

bool BarWindowServices::QuickControlShown() const {
    return bars::QuickControlShown();
}

const Painter* BarWindowServices::FindPainter(TdxBarManagerStyle Style) const {
    return StylePainter(Style);
}

// The thread hooks live while any manager does.
void BarWindowServices::ManagerAdded(TdxBarManager* Manager) const {
    InstallBarHooks(Manager);
}

void BarWindowServices::ManagerRemoved(TdxBarManager* Manager) const {
    RemoveBarHooks(Manager);
}

void BarWindowServices::ManagerGoing(TdxBarManager* Manager) const {
    HintsManagerGoing(Manager);
    TdxBarQuickControl::ManagerGoing(Manager);
}

void BarWindowServices::LoadStoredLayout(TdxBarManager* Manager) const {
    bars::LoadStoredLayout(Manager);
}

void RegisterBarWindows() {
    static const BarWindowServices services;
    SetWindowServices(&services);
    RegisterDockControlClass();
    SetBarItemControlClass("TdxBarButton", &CreateButtonControl);
    SetBarItemControlClass("TdxBarSubItem", &CreateSubItemControl);
    SetBarItemControlClass("TdxBarEdit", &CreateEditControl);
    SetBarItemControlClass("TCustomdxBarCombo", &CreateCustomComboControl);
    SetBarItemControlClass("TdxBarCombo", &CreateComboControl);
    InstallMenuEffects();
    // The container items come with the menus that expand them.
    if (FindRegisteredItemClass("TdxBarListItem") == nullptr) {
        RegisterBarItemClass<TdxBarListItem>("TdxBarListItem", &CreateContainerItemControl, true);
        RegisterBarItemClass<TdxBarContainerItem>("TdxBarContainerItem", &CreateContainerItemControl, true);
    }
    // The end mark's drop-down: its reset line, its check lines and the sub-item that holds them.
    if (FindRegisteredItemClass("TdxBarQuickCustItem") == nullptr) {
        RegisterBarItemClass<TdxBarQuickCustExtButton>("TdxBarQuickCustExtButton",
                                                       &CreateQuickCustExtButtonControl, false);
        RegisterBarItemClass<TdxBarQuickCustItem>("TdxBarQuickCustItem", &CreateQuickCustItemControl, false);
        RegisterBarItemClass<TdxBarQuickSubItem>("TdxBarQuickSubItem", &CreateSubItemControl, false);
    }
    if (FindRegisteredItemClass("TSystemMenuSubItem") == nullptr)
        RegisterBarItemClass<TSystemMenuSubItem>("TSystemMenuSubItem", &CreateSystemMenuSubItemControl,
                                                 false);
    // Managers made before the services came have no hooks yet.
    if (BarManagerList().Count() > 0) InstallBarHooks(BarManagerList().Items(0));
}

void DragBar(TdxBarControl* Control, POINT Start) {
    TdxBar* bar = Control != nullptr ? Control->Bar() : nullptr;
    if (bar == nullptr || !bar->CanMove() || Control->Dragging) return;
    Drag d{Control, bar, Control->Manager()};
    const TcxObjectLinkPtr alive = MakeObjectLink(Control);
    const POINT cursor = Start;
    if (TdxDockControl* site = Control->DockSite()) {
        // Across the row the pointer stands for the row the bar is in, whichever part of it was grabbed.
        int row = 0, col = 0;
        if (site->FindBarControl(Control, row, col)) {
            POINT p = cursor;
            site->GetRowPoint(row, false, p);
            if (site->Horizontal())
                d.dockGrabOffset.y = p.y - cursor.y;
            else
                d.dockGrabOffset.x = p.x - cursor.x;
        }
    }
    Control->DockGrabOffset = d.dockGrabOffset;
    Control->HideAll();
    if (alive->Ref == nullptr) return;
    Control->Dragging = true;
    Control->SetMoving(true);
    BringFloatingBarToFront(Control);
    d.helper = AllocateHWnd([](TMessage&) {});
    SetCapture(d.helper);
    // Keys go to this loop alone until the bar is put down, when its window goes.
    BlockKeys(d.helper);
    // The pointer has already left the drag rectangle: the bar follows it at once.
    POINT last = cursor;
    if (POINT now{0, 0}; GetCursorPos(now) && (now.x != last.x || now.y != last.y)) {
        last = now;
        MoveDraggedControl(d, POINT{now.x + d.dockGrabOffset.x, now.y + d.dockGrabOffset.y});
    }
    MSG msg;
    for (;;) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        if (alive->Ref == nullptr) break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
            if (KeyCode(msg) == VK_ESCAPE) break;
            if (KeyCode(msg) == VK_CONTROL) {
                POINT now{0, 0};
                GetCursorPos(now);
                MoveDraggedControl(d, POINT{now.x + d.dockGrabOffset.x, now.y + d.dockGrabOffset.y});
            }
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == d.helper) {
            KillTimer(d.helper, d.waitTimer);
            d.waitTimer = 0;
            POINT now{0, 0};
            GetCursorPos(now);
            d.skipWait = true;
            MoveDraggedControl(d, POINT{now.x + d.dockGrabOffset.x, now.y + d.dockGrabOffset.y});
            d.skipWait = false;
            continue;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            if (msg.pt.x == last.x && msg.pt.y == last.y) continue;
            last = msg.pt;
            MoveDraggedControl(d, POINT{msg.pt.x + d.dockGrabOffset.x, msg.pt.y + d.dockGrabOffset.y});
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
        TranslateMessage(msg);
        DispatchMessage(msg);
        if (GetCapture() != d.helper) break;
    }
    if (d.waitTimer != 0) KillTimer(d.helper, d.waitTimer);
    if (GetCapture() == d.helper) ReleaseCapture();
    DeallocateHWnd(d.helper);
    if (alive->Ref == nullptr) return;
    Control->Dragging = false;
    Control->SetMoving(false);
    if (Control->DockSite() != nullptr) Control->DockSite()->RealignBars();
    Control->SavePosition();
}

} // namespace bars
