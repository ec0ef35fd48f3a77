// Showing popup menus: at a point with their own message loop, and from the controls they are linked to
// (a right click, the context-menu key).
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/window_services.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/caret.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"

void TdxBarPopupMenu::Popup(int X, int Y) {
    if (itemLinks_->BarControl() != nullptr) return;
    // Whatever holds the mouse lets it go: the menu takes the clicks from here on.
    auto* owner = dynamic_cast<TCustomForm*>(Owner());
    if (owner == nullptr && BarManager() != nullptr) owner = BarManager()->ParentForm();
    if (owner != nullptr) owner->SendCancelMode(nullptr);
    if (HWND capture = GetCapture()) {
        SendMessage(capture, CM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (!bars::Windows().ShowPopupMenu(this, X, Y) || self->Ref == nullptr || NoModalLoop) return;
    RunModalLoop();
}

void TdxBarPopupMenu::RunModalLoop() {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessage(msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            PostQuitMessage(QuitExitCode(msg));
            return;
        }
        // The menu closed before this message came: it goes back for the loop that follows.
        if (self->Ref == nullptr || !isShowing_) {
            PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            return;
        }
        // A command while the menu is open would run behind its back.
        if (msg.message != WM_COMMAND) {
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
        if (self->Ref == nullptr || !isShowing_) return;
    }
}

bool TdxBarPopupMenu::IsShortCut(TMessage& Message) {
    const TWMKey key(Message);
    if (key.CharCode() == 0) return false;
    TShortCut shortCut = key.CharCode();
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= scCtrl;
    // Alt comes with the message: a key sent on while Alt is already up still counts with it.
    if (key.AltDown()) shortCut |= scAlt;
    return ExecuteShortCut(shortCut);
}

void TdxBarPopupMenu::PopupAtCursor() {
    POINT p{0, 0};
    GetCursorPos(p);
    Popup(p.x, p.y);
}

void TdxBarPopupMenu::PopupEx(int X, int Y, std::optional<RECT> ExcludeRect, bool Animate, int OwnerWidth,
                              int OwnerHeight) {
    excludeRect_ = ExcludeRect;
    animate_ = Animate;
    ownerWidth_ = OwnerWidth;
    ownerHeight_ = OwnerHeight;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    Popup(X, Y);
    if (self->Ref == nullptr) return;
    ownerWidth_ = ownerHeight_ = 0;
    animate_ = true;
    excludeRect_.reset();
}

bool TdxBarPopupMenuLink::DoContextPopup(HWND Wnd, POINT Pos) {
    // One request is served once, however many the keyboard or the mouse queued.
    MSG pending{};
    while (PeekMessage(pending, Wnd, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE)) {
    }
    const bool byMouse = Pos.x != -1;
    // By the keyboard the menu opens where typing goes (the caret of the window, when it has one), else
    // at the window's client origin; the control's own query then gets no point, (-1, -1).
    POINT at{0, 0};
    POINT query{-1, -1};
    if (byMouse) {
        at = Pos;
        ScreenToClient(Wnd, at);
        query = at;
        if (control_ != nullptr && control_->HandleAllocated())
            MapWindowPoints(Wnd, control_->Handle(), &query, 1);
    } else if (HideCaret(Wnd)) {
        GetCaretPos(at);
        ShowCaret(Wnd);
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    // The control answers first: its own handler may show a menu of its own.
    if (control_ != nullptr) {
        bool handled = false;
        const std::weak_ptr<void> controlAlive = control_->AliveToken();
        control_->DoContextPopup(query, handled);
        if (self->Ref == nullptr || controlAlive.expired() || handled) return true;
    }
    bool allowPopup = popupMenu_ != nullptr;
    if (OnAction) {
        // The handler sees the point as the control does and may move it.
        const bool mapped = control_ != nullptr && control_->HandleAllocated();
        const HWND controlWindow = mapped ? control_->Handle() : nullptr;
        POINT p = at;
        if (mapped) MapWindowPoints(Wnd, controlWindow, &p, 1);
        OnAction(this, p.x, p.y, byMouse, allowPopup);
        if (self->Ref == nullptr) return true;
        if (mapped && IsWindow(controlWindow)) MapWindowPoints(controlWindow, Wnd, &p, 1);
        at = p;
    }
    if (!allowPopup || popupMenu_ == nullptr) return allowPopup;
    if (IsWindowEnabled(Wnd)) SetFocus(Wnd);
    ClientToScreen(Wnd, at);
    popupMenu_->Popup(at.x, at.y);
    return true;
}

bool TdxBarPopupMenuLinks::ContextPopup(TWinControl* AControl, HWND Wnd, POINT Pos) {
    if (barManager_ == nullptr || barManager_->Designing() || AControl == nullptr) return false;
    // A handler may change the links: each round takes a copy.
    auto linksOf = [this](TWinControl* control, bool children) {
        std::vector<TdxBarPopupMenuLink*> found;
        for (int i = 0; i < Count(); ++i)
            if (Items(i)->Control() == control && (!children || Items(i)->ProcessChildren()))
                found.push_back(Items(i));
        return found;
    };
    for (TdxBarPopupMenuLink* link : linksOf(AControl, false))
        if (link->DoContextPopup(Wnd, Pos)) return true;
    for (TWinControl* parent = AControl->Parent(); parent != nullptr; parent = parent->Parent())
        for (TdxBarPopupMenuLink* link : linksOf(parent, true))
            if (link->DoContextPopup(Wnd, Pos)) return true;
    return false;
}
