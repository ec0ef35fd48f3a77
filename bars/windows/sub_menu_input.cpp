// The menu window's mouse and keys, and the drag of its detach strip that tears it off as a toolbar.
#include "bars/windows/sub_menu_control.h"

#include "bars/core/backgrounds.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"

namespace bars {

void TdxBarSubMenuControl::DetachDrag() {
    TdxBar* bar = DetachingBar();
    TdxBarSubItemControl* owner = subItemOwner_;
    if (bar == nullptr || owner == nullptr || handle_ == nullptr) return;
    RECT strip{0, 0, 0, 0};
    GetWindowRect(handle_, strip);
    strip.bottom = strip.top + 1 + DetachHeight();
    // The menu may go in the drag: what follows works from its opener alone.
    DetachStripDrag(owner, bar, RECT{strip.left - 15, strip.top - 15, strip.right + 15, strip.bottom + 15});
}

namespace {

// One drag of a menu's detach strip. The pointer is held by whichever of the menu and the toolbar
// shows: a window of the open chain, so that the bar hooks let its release through.
struct DetachDragState {
    TcxObjectLinkPtr owner, bar, item, parent;
    RECT strip;
    bool detached = false;

    TdxBarSubItemControl* Owner() const { return static_cast<TdxBarSubItemControl*>(owner->Ref); }
    TdxBar* Bar() const { return static_cast<TdxBar*>(bar->Ref); }
    TCustomdxBarSubItem* Item() const { return static_cast<TCustomdxBarSubItem*>(item->Ref); }
    TCustomdxBarControl* Parent() const { return static_cast<TCustomdxBarControl*>(parent->Ref); }
    bool Alive() const {
        return Owner() != nullptr && Bar() != nullptr && Item() != nullptr && Parent() != nullptr;
    }

    TdxBarControl* Toolbar() const {
        auto* toolbar = Bar() != nullptr ? dynamic_cast<TdxBarControl*>(Bar()->Control()) : nullptr;
        return toolbar != nullptr && toolbar->Handle() != nullptr ? toolbar : nullptr;
    }
    HWND Holder() const {
        if (detached) return Toolbar() != nullptr ? Toolbar()->Handle() : nullptr;
        TdxBarSubMenuControl* menu = Owner() != nullptr ? Owner()->GetSubMenuControl() : nullptr;
        return menu != nullptr ? menu->Handle() : nullptr;
    }
    // The pointer holds the middle of the toolbar's caption.
    void Follow(POINT At) const {
        if (TdxBarControl* toolbar = Toolbar())
            SetWindowPos(toolbar->Handle(), nullptr, At.x - toolbar->GrabOffset.x,
                         At.y - toolbar->GrabOffset.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The menu closes; its toolbar floats under the pointer.
    void TearOff(POINT At) {
        Item()->DoDetaching();
        if (!Alive()) return;
        Owner()->ControlInactivate(true);
        if (!Alive()) return;
        detached = true;
        TdxBar* b = Bar();
        b->SetVisible(false);
        b->SetDockingStyle(dsNone);
        b->SetFloatLeft(At.x);
        b->SetFloatTop(At.y - 8);
        b->SetVisible(true);
        if (TdxBarControl* toolbar = Toolbar()) {
            RECT r{0, 0, 0, 0};
            GetWindowRect(toolbar->Handle(), r);
            toolbar->GrabOffset = POINT{(r.right - r.left) / 2, 8};
            toolbar->GrabSize = SIZE{r.right - r.left, r.bottom - r.top};
        }
        Follow(At);
    }
    // Back over the strip: the toolbar hides and the menu opens again.
    void PutBack() {
        detached = false;
        Bar()->SetVisible(false);
        if (!Alive()) return;
        if (auto* toolbar = dynamic_cast<TdxBarControl*>(Parent())) toolbar->SetMenuOpened(true);
        Owner()->ControlActivate(true);
    }
};

} // namespace

void DetachStripDrag(TdxBarSubItemControl* Owner, TdxBar* Bar, const RECT& Strip) {
    auto* item = dynamic_cast<TCustomdxBarSubItem*>(Owner->Item());
    if (item == nullptr || Owner->ParentBar() == nullptr) return;
    DetachDragState d{MakeObjectLink(Owner), MakeObjectLink(Bar), MakeObjectLink(item),
                      MakeObjectLink(Owner->ParentBar()), Strip};
    HWND holder = d.Holder();
    if (holder == nullptr) return;
    SetCapture(holder);
    // The keys are the drag's (Escape): the bar hooks do not hand them to the open chain meanwhile.
    TdxBarManager* manager = d.Parent()->Manager();
    const TcxObjectLinkPtr managerAlive = MakeObjectLink(manager);
    const bool wasInMenuLoop = manager != nullptr && manager->InMenuLoop();
    if (manager != nullptr) manager->SetInMenuLoop(true);
    bool cancelled = false;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessage(msg, nullptr, 0, 0);
        if (got == 0) {
            RepostQuit(msg);
            break;
        }
        if (got < 0 || !d.Alive()) break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            const bool over = PtInRect(d.strip, msg.pt);
            if (!d.detached && !over)
                d.TearOff(msg.pt);
            else if (d.detached && over)
                d.PutBack();
            else if (d.detached)
                d.Follow(msg.pt);
            if (!d.Alive()) break;
            if (const HWND now = d.Holder(); now != holder) {
                holder = now;
                if (holder == nullptr) break;
                SetCapture(holder);
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
            // Escape puts the toolbar away again; other keys wait for the drag to end.
            if (KeyCode(msg) == VK_ESCAPE && msg.message == WM_KEYDOWN) {
                cancelled = true;
                break;
            }
            continue;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
        if (GetCapture() != holder) break;
    }
    if (GetCapture() == holder) ReleaseCapture();
    if (manager != nullptr && managerAlive->Ref != nullptr) manager->SetInMenuLoop(wasInMenuLoop);
    if (!d.detached || !d.Alive()) return;
    // The toolbar torn off floats where the user left it, or was put away again with its place changed.
    if (manager != nullptr && managerAlive->Ref != nullptr) manager->NoteUserChange();
    if (cancelled) {
        d.Bar()->SetVisible(false);
    } else if (TdxBarControl* toolbar = d.Toolbar()) {
        toolbar->SavePosition();
    }
    // Torn off or put away, the menus it came from close.
    if (TCustomdxBarControl* parent = d.Parent(); parent != nullptr && parent->Alive()) parent->HideAll();
}

void TdxBarSubMenuControl::WMMouseMove(TWMMouse Message) {
    if (DragPending()) {
        TCustomdxBarControl::WMMouseMove(Message);
        return;
    }
    const POINT p = Message.Pos();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (HasDetachBar()) SetDetachHot(p.y < 0 && p.x >= 0 && p.x < ClientWidth());
    if (animating_) {
        if (!IsMouseStill(p)) return;
        StopAnimation();
        if (self->Ref == nullptr || !Alive()) return;
    }
    // The line that opened this menu stays highlighted while the pointer is here.
    if (subItemOwner_ != nullptr && ParentBar() != nullptr && ParentBar()->Selected() != subItemOwner_)
        ParentBar()->SelectControlByMouse(subItemOwner_);
    if (self->Ref == nullptr || !Alive() || handle_ == nullptr) return;
    if (IsMarkVisible()) SetMarkState(PtInRect(MarkRect(), p) ? 1 : 0);
    if (self->Ref == nullptr || !Alive() || handle_ == nullptr) return;
    const bool overTop = HasTopArrow() && PtInRect(topArrow_, p);
    const bool overBottom = HasBottomArrow() && PtInRect(bottomArrow_, p);
    if (overTop || overBottom) {
        POINT screen = p;
        ClientToScreen(handle_, screen);
        if (scrollTimer_ == 0 && (screen.x != scrollCursorPos_.x || screen.y != scrollCursorPos_.y)) {
            SelectControlByMouse(nullptr);
            if (self->Ref == nullptr || handle_ == nullptr) return;
            scrollUp_ = overTop;
            scrollCursorPos_ = screen;
            scrollTimer_ = SetTimer(handle_, ScrollTimerId, ScrollInterval, nullptr);
        }
        return;
    }
    TCustomdxBarControl::WMMouseMove(Message);
}

void TdxBarSubMenuControl::WMLButtonDown(TWMMouse Message) {
    if (scrollTimer_ != 0) return;
    if (HasDetachBar() && Message.Pos().y < 0) {
        StopAnimation();
        DetachDrag();
        return;
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarControl::WMLButtonDown(Message);
    if (self->Ref == nullptr || !Alive() || GetActiveBarControl() == nullptr) return;
    StopAnimation();
    if (IsMarkVisible() && PtInRect(MarkRect(), Message.Pos())) {
        if (markState_ == 0) {
            SelectControlByKey(nullptr);
            SetMarkState(1);
        } else {
            SetMarkState(2);
        }
    }
}

void TdxBarSubMenuControl::CloseLevel() {
    if (ParentBar() == nullptr) {
        FreeMenu();
        return;
    }
    if (auto* toolbar = dynamic_cast<TdxBarControl*>(ParentBar())) toolbar->SetMenuOpened(false);
    if (TdxBarItemControl* selected = ParentBar()->Selected()) selected->ControlInactivate(true);
}

void TdxBarSubMenuControl::WMKeyDown(TWMKey Message) {
    StopAnimation();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    WORD key = Message.CharCode();
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    if (IsMarkVisible() && links_ != nullptr) {
        if (key == VK_DOWN && ctrl) {
            SetMarkState(2);
            return;
        }
        const auto& shown = links_->ShownLinks();
        if ((key == VK_TAB || key == VK_DOWN) && !ctrl && !shift && Selected() != nullptr && !shown.empty() &&
            shown.back() == Selected()->Link()) {
            // The selection moves on into the lines the expansion brings. The expansion makes the lines
            // anew: the last one is selected again first, or the key would start from the top.
            const TcxObjectLinkPtr last = MakeObjectLink(Selected()->Link());
            SetMarkState(2);
            if (self->Ref == nullptr || handle_ == nullptr) return;
            if (auto* link = static_cast<TdxBarItemLink*>(last->Ref))
                if (auto* control = dynamic_cast<TdxBarItemControl*>(link->Control()))
                    SelectControlByKey(control);
            if (self->Ref != nullptr && handle_ != nullptr) SendMessage(handle_, WM_KEYDOWN, key, 0);
            return;
        }
    }
    TCustomdxBarControl::WMKeyDown(Message);
    if (self->Ref == nullptr || !Alive() || GetActiveBarControl() == nullptr) return;
    key = Message.CharCode();
    TdxBarItemControl* selected = Selected();
    if (selected != nullptr && selected->GetEnabled() && selected->WantsKey(key)) {
        selected->KeyDown(key);
        return;
    }
    switch (key) {
    case VK_RETURN:
        if (selected != nullptr) selected->ControlClick(false);
        return;
    case VK_ESCAPE:
        CloseLevel();
        return;
    case VK_LEFT:
        if (ParentBar() == nullptr) return;
        if (!ParentBar()->IsToolbar()) {
            CloseLevel();
        } else if (IsVerticalBarControl(ParentBar())) {
            SendMessage(handle_, WM_KEYDOWN, VK_ESCAPE, 0);
        } else if (ParentBar()->Handle() != nullptr) {
            // The main menu moves on to the previous menu.
            SendMessage(ParentBar()->Handle(), WM_KEYDOWN, VK_LEFT, 0);
        }
        return;
    case VK_RIGHT:
        if (auto* top = dynamic_cast<TdxBarControl*>(GetTopToolbarControl(this));
            top != nullptr && top->Handle() != nullptr && !IsVerticalBarControl(top))
            SendMessage(top->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
        return;
    default:
        return;
    }
}

} // namespace bars
