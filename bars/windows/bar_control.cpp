// The bar window base: controls, selection, the active chain, mouse and keyboard routing.
#include "bars/windows/bar_control.h"

#include "bars/core/customizing_notify.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/customizing_popup.h"
#include "bars/windows/item_control.h"
#include "bars/windows/loop_call.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/sub_item_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"
#include "platform/vcl/form.h"

namespace bars {

void ReleaseWaitingBarControls();

namespace {

constexpr UINT WM_REPAINTBAR = WM_USER + 1;
// The bar window being made on this thread, until its window procedure hears of its handle.
thread_local TCustomdxBarControl* creating = nullptr;

constexpr UINT WM_RELEASEBARS = WM_USER + 2;
// Windows taken from their owners whose memory goes once none of their handlers runs, whichever
// manager they were of: one list for the process, emptied from the GUI thread's loop.
std::vector<std::unique_ptr<BarControl>> waitingRelease;
HWND releaser = nullptr;
bool releasePosted = false;

bool WaitsForRelease(const TCustomdxBarControl* control) {
    for (const auto& waiting : waitingRelease)
        if (static_cast<const BarControl*>(control) == waiting.get()) return true;
    return false;
}

void PostRelease() {
    if (releasePosted) return;
    if (releaser == nullptr)
        releaser = AllocateHWnd([](TMessage& m) {
            if (m.Msg == WM_RELEASEBARS) ReleaseWaitingBarControls();
        });
    releasePosted = PostMessage(releaser, WM_RELEASEBARS, 0, 0) != 0;
}

bool IsMouseMessage(UINT msg) {
    return (msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK);
}

// F1 on an open menu or a bar in keyboard mode asks the bars' form for the help of a menu line, as the
// window system's menus ask their owner.
void AskFormForHelp(TdxBarManager* Manager, HWND Window) {
    TCustomForm* form = Manager != nullptr ? Manager->ParentForm() : nullptr;
    if (form == nullptr || !form->HandleAllocated()) return;
    HELPINFO info;
    info.iContextType = HELPINFO_MENUITEM;
    info.hItemHandle = Window;
    GetCursorPos(info.MousePos);
    SendMessage(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

void ReleaseWaitingBarControls() {
    releasePosted = false;
    std::vector<std::unique_ptr<BarControl>> ready;
    for (auto it = waitingRelease.begin(); it != waitingRelease.end();) {
        auto* bar = dynamic_cast<TCustomdxBarControl*>(it->get());
        if (bar != nullptr && bar->handlerDepth_ > 0) {
            ++it;
            continue;
        }
        ready.push_back(std::move(*it));
        it = waitingRelease.erase(it);
    }
    // Freeing may release further windows; they wait for the next turn.
    ready.clear();
}

void TCustomdxBarControl::ReleaseLater(std::unique_ptr<BarControl> Control) {
    if (Control == nullptr) return;
    waitingRelease.push_back(std::move(Control));
    PostRelease();
}

LRESULT BarWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<TCustomdxBarControl*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (control == nullptr && creating != nullptr) {
        control = creating;
        control->handle_ = hwnd;
        SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    if (control == nullptr) return DefWindowProc(hwnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    // A toolbar may be freed inside its own handler; a menu is only released, and freed once its last
    // handler has returned.
    const TcxObjectLinkPtr alive = MakeObjectLink(control);
    ++control->handlerDepth_;
    const LRESULT result = control->WndProc(message);
    if (alive->Ref == nullptr && !WaitsForRelease(control)) return result;
    if (--control->handlerDepth_ == 0 && !waitingRelease.empty()) PostRelease();
    return result;
}

const char* BarWindowClassName() {
    static const char* name = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &BarWindowProc;
        wc.lpszClassName = "TdxBarControl";
        RegisterClass(wc);
        return "TdxBarControl";
    }();
    return name;
}

TCustomdxBarControl::TCustomdxBarControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks)
    : manager_(AOwner), links_(ALinks) {
    RegisterBarControl(this);
}

TCustomdxBarControl::~TCustomdxBarControl() {
    destroying_ = true;
    SetActive(false);
    if (childBar_ != nullptr && childBar_->parentBar_ == this) childBar_->parentBar_ = nullptr;
    // A menu of this window that closed still waits to be freed: it must not reach back here then.
    for (const auto& waiting : waitingRelease)
        if (auto* menu = dynamic_cast<TCustomdxBarControl*>(waiting.get());
            menu != nullptr && menu->parentBar_ == this)
            menu->parentBar_ = nullptr;
    if (parentBar_ != nullptr && parentBar_->childBar_ == this) parentBar_->childBar_ = nullptr;
    childBar_ = parentBar_ = nullptr;
    if (manager_ != nullptr && manager_->SelectedItem() != nullptr &&
        manager_->SelectedItem()->Parent() == this)
        manager_->ForgetSelectedItem(manager_->SelectedItem());
    DestroyControls();
    DestroyWindowHandle();
    UnregisterBarControl(this);
    ClearObjectLinks(this);
}

bool TCustomdxBarControl::Alive() const {
    return IsBarControl(static_cast<const BarControl*>(this)) && !destroying_;
}

void TCustomdxBarControl::CreateWindowHandle(DWORD Style, DWORD ExStyle, HWND Parent, const RECT& Bounds) {
    TCustomdxBarControl* saved = creating;
    creating = this;
    HWND hwnd = CreateWindowEx(ExStyle, BarWindowClassName(), "", Style, Bounds.left, Bounds.top,
                               Bounds.right - Bounds.left, Bounds.bottom - Bounds.top, Parent, nullptr,
                               nullptr, nullptr);
    creating = saved;
    handle_ = hwnd;
    CalcMetrics();
}

void TCustomdxBarControl::DestroyWindowHandle() {
    if (handle_ == nullptr) return;
    HWND hwnd = handle_;
    EndMouseTracking(hwnd);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
    handle_ = nullptr;
    DestroyWindow(hwnd);
}

bool TCustomdxBarControl::IsCustomizing() const {
    return manager_ != nullptr && manager_->IsCustomizingOrDesigning();
}

bool TCustomdxBarControl::IsQuickCustomizingMenu() const {
    return links_ != nullptr && dynamic_cast<TdxBarQuickSubItem*>(links_->LinksOwner()) != nullptr;
}

bool TCustomdxBarControl::IsVisible() const {
    return handle_ != nullptr && IsWindowVisible(handle_);
}

RECT TCustomdxBarControl::ClientRect() const {
    RECT r{0, 0, 0, 0};
    if (handle_ != nullptr) GetClientRect(handle_, r);
    return r;
}

int TCustomdxBarControl::ClientWidth() const {
    return ClientRect().right;
}

int TCustomdxBarControl::ClientHeight() const {
    return ClientRect().bottom;
}

const TdxBarItemControlPainter& TCustomdxBarControl::Painter() const {
    return TdxBarItemControlPainter::Of(manager_);
}

ItemControl* TCustomdxBarControl::SelectedControl() const {
    return selected_;
}

void TCustomdxBarControl::SetSelectedControl(ItemControl* Control) {
    SetSelectedItemControl(dynamic_cast<TdxBarItemControl*>(Control));
}

void TCustomdxBarControl::DropSelection() {
    std::shared_ptr<TcxObjectLink> self = MakeObjectLink(this);
    CallFromLoop([this, self] {
        if (self->Ref == nullptr || !Alive() || selected_ == nullptr || manager_ == nullptr) return;
        // Unless the selection came back to this bar (or a menu it opened) meanwhile.
        if (GetItemControlTopToolbar(manager_->SelectedItem()) == this) return;
        SelectControlByMouse(nullptr);
    });
}

TdxBarItemControl* TCustomdxBarControl::ControlOf(TdxBarItemLink* Link) const {
    return Link != nullptr ? dynamic_cast<TdxBarItemControl*>(Link->Control()) : nullptr;
}

void TCustomdxBarControl::CreateControls() {
    if (links_ == nullptr) return;
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_->VisibleLinks()))
        link->CreateControl();
}

void TCustomdxBarControl::DestroyControls() {
    if (links_ == nullptr) return;
    const bool saved = destroyingControls_;
    destroyingControls_ = true;
    for (int i = 0; i < links_->Count(); ++i)
        links_->Items(i)->FreeControl();
    destroyingControls_ = saved;
}

void TCustomdxBarControl::LinksChanged() {
    if (handle_ == nullptr || destroying_ || destroyingControls_ || changingOwnLinks_ > 0 || rebuildPosted_)
        return;
    // Many links are often added in a row: one rebuild serves them all.
    rebuildPosted_ = PostMessage(handle_, WM_REPAINTBAR, 0, 0) != FALSE_;
}

void TCustomdxBarControl::RecreateItemControls() {
    DestroyControls();
    CreateControls();
    RepaintBar();
}

void TCustomdxBarControl::PainterChanged() {
    CalcMetrics();
    RepaintBar();
}

void TCustomdxBarControl::Refresh() {
    if (handle_ != nullptr) {
        InvalidateRect(handle_, nullptr, TRUE_);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void TCustomdxBarControl::CalcMetrics() {
    const pw::gdi::MemoryDC dc(nullptr);
    const pw::gdi::SelectedObject font(dc.Get(), GetFontHandle());
    SIZE size{0, 0};
    GetTextExtentPoint32(dc.Get(), "0", &size);
    textSize_ = Painter().CalcItemHeight(size.cy);
    textIndent_ = std::max(textSize_ / 5, 4);
}

HFONT TCustomdxBarControl::GetFontHandle() const {
    return manager_ != nullptr ? manager_->FontHandle() : nullptr;
}

RECT TCustomdxBarControl::GetItemRect(TdxBarItemControl* Control) const {
    return Control != nullptr && Control->Link() != nullptr ? Control->Link()->ItemRect() : RECT{0, 0, 0, 0};
}

HBRUSH TCustomdxBarControl::GetBkBrush() const {
    return Painter().GetBarBrush(const_cast<TCustomdxBarControl&>(*this));
}

void TCustomdxBarControl::PaintBackground(HDC DC, const RECT& R, HBRUSH Brush) {
    DrawBackground(DC, R, Brush);
}

void TCustomdxBarControl::DrawBackground(HDC DC, const RECT& R, HBRUSH Brush) {
    Painter().DrawBarBackground(*this, DC, R, Brush != nullptr ? Brush : GetBkBrush());
}

TdxBarItemControl* TCustomdxBarControl::GetDropTarget(POINT P, bool& OutsideMain, bool& Vertical,
                                                      bool& Before) {
    OutsideMain = Before = false;
    Vertical = !IsToolbar() || dockingStyle_ == dsLeft || dockingStyle_ == dsRight;
    if (links_ == nullptr) return nullptr;
    for (TdxBarItemLink* link : links_->ShownLinks()) {
        TdxBarItemControl* control = ControlOf(link);
        if (control == nullptr || control->Item() == nullptr || control->Item()->BarManager() != manager_)
            continue;
        RECT r = GetItemRect(control);
        // The control's place and the separator drawn before it.
        if (!PtInRect(r, P) && !PtInRect(control->SeparatorRect, P)) continue;
        OutsideMain = !PtInRect(r, P);
        if (OutsideMain) {
            if (P.y < r.top) Vertical = true;
            r = control->SeparatorRect;
        }
        Before = Vertical ? P.y - r.top < r.bottom - P.y : P.x - r.left < r.right - P.x;
        return control;
    }
    return nullptr;
}

bool TCustomdxBarControl::CanCustomizeItems() const {
    return manager_ != nullptr && manager_->Designing();
}

TdxBarItemControl* TCustomdxBarControl::ItemAtPos(POINT P) const {
    if (links_ == nullptr || (IsCustomizing() && !CanCustomizeItems())) return nullptr;
    for (TdxBarItemLink* link : links_->ShownLinks()) {
        TdxBarItemControl* control = ControlOf(link);
        if (control != nullptr && PtInRect(link->ItemRect(), P)) return control;
    }
    return nullptr;
}

bool TCustomdxBarControl::FindLinkControl(const TdxBarItemControl* Control) const {
    if (links_ == nullptr || Control == nullptr) return false;
    for (int i = 0; i < links_->Count(); ++i)
        if (links_->Items(i)->Control() == Control) return true;
    return false;
}

void TCustomdxBarControl::ControlDestroying(TdxBarItemControl* Control) {
    if (pressed_ == Control) {
        // The press is over: its release clicks nothing.
        pressed_ = nullptr;
        pressedHot_ = false;
        pressTakenOver_ = false;
        ignoreMouseUp_ = true;
        if (handle_ != nullptr && GetCapture() == handle_) ReleaseCapture();
    }
    if (selected_ == Control) selected_ = nullptr;
}

bool TCustomdxBarControl::InActiveChain() const {
    for (BarControl* c = GetActiveBarControl(); c != nullptr;) {
        if (c == this) return true;
        auto* bar = dynamic_cast<TCustomdxBarControl*>(c);
        if (bar == nullptr) break;
        BarControl* up = bar->ParentBarControl();
        if (up == c) break;
        c = up;
    }
    return false;
}

bool TCustomdxBarControl::IsMouseStill(POINT Client) {
    if (IsCustomizing()) return true;
    POINT screen = Client;
    if (handle_ != nullptr) ClientToScreen(handle_, screen);
    return screen.x == lastCursorPos_.x && screen.y == lastCursorPos_.y;
}

void TCustomdxBarControl::RepaintControl(TdxBarItemControl* Control) {
    if (handle_ == nullptr || Control == nullptr) return;
    const RECT r = GetItemRect(Control);
    InvalidateRect(handle_, &r, FALSE_);
}

void TCustomdxBarControl::SelectedControlChanged(TdxBarItemControl* Old) {
    if (destroyingControls_) return;
    const bool saved = invalidateOnSelect_;
    invalidateOnSelect_ = true;
    if (Old != nullptr && Old->Item() != nullptr && !Old->Item()->IsDestroying()) RepaintControl(Old);
    if (selected_ != nullptr) RepaintControl(selected_);
    invalidateOnSelect_ = saved;
}

void TCustomdxBarControl::SetActive(bool Value) {
    UpdateHint(manager_, false);
    if (Value == active_) {
        if (!Value) SelectControlByKey(nullptr);
        return;
    }
    if (Value) {
        // Menus show all their items while customizing.
        if (GetActiveBarControl() == nullptr) SetMenusExpanded(IsCustomizing());
        prevActive_ = dynamic_cast<TCustomdxBarControl*>(GetActiveBarControl());
        active_ = true;
        SetActiveBarControl(this);
        if (!IsCustomizing() && links_ != nullptr) links_->UpdateItemActions();
        return;
    }
    if (IsCustomizing())
        SetSelectedItemControl(nullptr);
    else
        SelectControlByKey(nullptr);
    active_ = false;
    if (GetActiveBarControl() == this) {
        TCustomdxBarControl* previous = prevActive_;
        SetActiveBarControl(previous != nullptr && previous->Alive() && previous->IsActive() ? previous
                                                                                             : nullptr);
    }
    prevActive_ = nullptr;
}

void TCustomdxBarControl::SelectControlByKey(TdxBarItemControl* Control) {
    if (Control == selected_) return;
    if (selected_ != nullptr && selected_->Active()) selected_->ControlInactivate(Control != nullptr);
    if (!Alive()) return;
    if (Control != nullptr) Control->SetSelectedByMouse(false);
    if (auto* subItem = dynamic_cast<TdxBarSubItemControl*>(Control)) subItem->AnimateOpen = false;
    SetSelectedItemControl(Control);
}

void TCustomdxBarControl::SelectControlByMouse(TdxBarItemControl* Control) {
    if (handle_ == nullptr || Control == selected_) return;
    if (selected_ != nullptr && selected_->Active()) selected_->ControlInactivate(false);
    if (!Alive()) return;
    if (Control != nullptr) Control->SetSelectedByMouse(true);
    SetSelectedItemControl(Control);
    // A menu entry under the pointer opens (at once in menu mode, else after its delay).
    if (auto* subItem = dynamic_cast<TdxBarSubItemControl*>(Control);
        subItem != nullptr && Alive() && selected_ == subItem) {
        subItem->AnimateOpen = true;
        subItem->ControlActivate(false);
    }
}

void TCustomdxBarControl::SetSelectedItemControl(TdxBarItemControl* Control) {
    if (Control == selected_) return;

    // An end-mark drop-down not in use closes once another window has taken the menus over.
    if (Control != nullptr) QuickControlSelectionElsewhere(this);
    TdxBarItemControl* old = selected_;
    selected_ = Control;
    // The manager repaints the control it selected before; with the window's own repaints below that
    // makes one paint.
    const bool saved = invalidateOnSelect_;
    invalidateOnSelect_ = true;
    // Letting go of its own selection leaves another bar's alone.
    if (manager_ != nullptr && !destroying_ && (Control != nullptr || manager_->SelectedItem() == old))
        manager_->SetSelectedItem(Control);
    invalidateOnSelect_ = saved;
    SelectedControlChanged(old);
    GetCursorPos(lastCursorPos_);
    // The hint follows the hot control; a toolbar's hot or open mark keeps the hint it shows.
    if (!destroying_ && !(Control == nullptr && IsToolbar() && markState_ != 0)) UpdateHint(manager_, true);
}

TCustomdxBarControl* TCustomdxBarControl::GetOwnerItemBar() const {
    return IsRectEmpty(ownerItemRect_) ? nullptr : ownerItemBar_;
}

bool TCustomdxBarControl::IsOwnerItemAdjacent() const {
    if (handle_ == nullptr || IsRectEmpty(ownerItemRect_)) return false;
    RECT w{0, 0, 0, 0};
    GetWindowRect(handle_, w);
    const RECT& o = ownerItemRect_;
    return ((o.bottom == w.top || o.top == w.bottom) && o.left < w.right && o.right > w.left) ||
           ((o.right == w.left || o.left == w.right) && o.top < w.bottom && o.bottom > w.top);
}

RECT TCustomdxBarControl::GetJointRect(bool Outward) const {
    if (!IsOwnerItemAdjacent()) return RECT{0, 0, 0, 0};
    RECT w{0, 0, 0, 0};
    GetWindowRect(handle_, w);
    const RECT& o = ownerItemRect_;
    RECT r{0, 0, 0, 0};
    if (o.bottom == w.top || o.top == w.bottom) {
        // Above or below: a row along the shared edge, inside both the item and the window.
        const bool onTop = o.bottom == w.top;
        const int y = onTop ? w.top : w.bottom - 1;
        r = RECT{std::max(o.left + 1, w.left + 1), y, std::min(o.right - 1, w.right - 1), y + 1};
        if (Outward) OffsetRect(r, 0, onTop ? -1 : 1);
    } else {
        const bool onLeft = o.right == w.left;
        const int x = onLeft ? w.left : w.right - 1;
        r = RECT{x, std::max(o.top + 1, w.top + 1), x + 1, std::min(o.bottom - 1, w.bottom - 1)};
        if (Outward) OffsetRect(r, onLeft ? -1 : 1, 0);
    }
    return IsRectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

bool TCustomdxBarControl::IsChildBarControl(const TCustomdxBarControl* Control) const {
    for (const TCustomdxBarControl* up = Control != nullptr ? Control->parentBar_ : nullptr; up != nullptr;
         up = up->parentBar_)
        if (up == this) return true;
    return false;
}

bool TCustomdxBarControl::IsMenuJoinedToItem() const {
    return Painter().IsMenuJoinedToItem();
}

void TCustomdxBarControl::HideAll() {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    SetActive(false);
    if (self->Ref == nullptr) return;
    if (parentBar_ != nullptr) parentBar_->HideAll();
}

void TCustomdxBarControl::SelectLink(TdxBarItemLink* Link) {
    if (TdxBarItemControl* control = ControlOf(Link)) SelectControlByKey(control);
}

LRESULT TCustomdxBarControl::DefaultHandler(TMessage& Message) {
    return DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomdxBarControl::WMPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, ps);
    if (!destroyingControls_) Paint(dc);
    EndPaint(handle_, ps);
}

LRESULT TCustomdxBarControl::WndProc(TMessage& Message) {
    // While a chain of bar windows is active, the mouse reaches only the windows in it.
    if (IsMouseMessage(Message.Msg) && GetActiveBarControl() != nullptr && !InActiveChain()) return 0;
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINTCLIENT:
        // The whole client picture into another DC (the menu animation's finished frame).
        if (HDC dc = TWMPaint(Message).DC(); dc != nullptr && !destroyingControls_) Paint(dc);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SETFOCUS:
        // The bar never keeps the focus: it goes back to the form.
        if (manager_ != nullptr && manager_->ParentForm() != nullptr &&
            manager_->ParentForm()->HandleAllocated())
            SetFocus(manager_->ParentForm()->Handle());
        return 0;
    case WM_KILLFOCUS:
        if (TWMFocus(Message).FocusedWnd() == nullptr) HideAll();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(TWMKey(Message));
        return 0;
    case WM_LBUTTONDOWN:
        WMLButtonDown(TWMMouse(Message));
        return 0;
    case WM_LBUTTONUP:
        WMLButtonUp(TWMMouse(Message));
        return 0;
    case WM_LBUTTONDBLCLK:
        WMLButtonDblClk(TWMMouse(Message));
        return 0;
    case WM_RBUTTONDOWN:
        WMRButtonDown(TWMMouse(Message));
        return 0;
    case WM_MOUSEMOVE:
        WMMouseMove(TWMMouse(Message));
        return 0;
    case WM_MOUSELEAVE:
        WMMouseLeave(Message);
        return 0;
    case WM_CAPTURECHANGED:
        WMCaptureChanged(TWMCaptureChanged(Message));
        return 0;
    case WM_REPAINTBAR:
        rebuildPosted_ = false;
        RepaintBar();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
    case WM_ACTIVATE:
        // A menu activated because its item's edit takes the focus does not take the focus first.
        if (selected_ != nullptr && selected_->IsWindowControl() && selected_->IsEditing()) return 0;
        return DefaultHandler(Message);
    case WM_COMMAND:
        // An item's edit window hears of its own changes.
        if (HWND child = TWMCommand(Message).Ctl(); child != nullptr && GetParent(child) == handle_)
            return SendMessage(child, WM_COMMAND, Message.WParam, Message.LParam);
        return 0;
    default:
        return DefaultHandler(Message);
    }
}

void TCustomdxBarControl::WMCaptureChanged(TWMCaptureChanged Message) {
    if (Message.NewCapture() == handle_) return;
    if (dragPending_) {
        dragPending_ = false;
        if (manager_ != nullptr) manager_->SetDragged(nullptr, nullptr);
    }
    pressed_ = nullptr;
    pressedHot_ = false;
    pressTakenOver_ = false;
}

void TCustomdxBarControl::TakeOverPress(TdxBarItemControl* Control) {
    if (handle_ == nullptr || Control == nullptr || !FindLinkControl(Control)) return;
    pressed_ = Control;
    pressedHot_ = true;
    pressTakenOver_ = true;
    SetCapture(handle_);
    Control->Repaint();
}

void TCustomdxBarControl::WMKeyDown(TWMKey Message) {
    if (GetActiveBarControl() == nullptr || links_ == nullptr) return;
    WORD key = Message.CharCode();
    const bool vertical = dockingStyle_ == dsLeft || dockingStyle_ == dsRight;
    if (vertical && IsToolbar()) {
        switch (key) {
        case VK_LEFT:
            key = VK_UP;
            break;
        case VK_UP:
            key = VK_LEFT;
            break;
        case VK_RIGHT:
            key = VK_DOWN;
            break;
        case VK_DOWN:
            key = VK_RIGHT;
            break;
        default:
            break;
        }
        Message.SetCharCode(key);
    }
    WORD previous = VK_LEFT, next = VK_RIGHT;
    if (!IsToolbar()) {
        previous = VK_UP;
        next = VK_DOWN;
    }
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    bool tab = false;
    if (key == VK_TAB && !ctrl) {
        key = shift ? previous : next;
        tab = true;
    }
    TdxBarItemLink* current = selected_ != nullptr ? selected_->Link() : nullptr;
    if (key == previous || key == next) {
        TdxBarItemLink* link = nullptr;
        if (current == nullptr)
            link = links_->FirstSelectable();
        else
            link = key == next ? links_->NextSelectable(current) : links_->PrevSelectable(current);
        if (link != nullptr) SelectLink(link);
        (void)tab;
        return;
    }
    switch (key) {
    case VK_HOME:
        SelectLink(links_->FirstSelectable());
        return;
    case VK_END:
        SelectLink(links_->LastSelectable());
        return;
    case VK_F1:
        AskFormForHelp(manager_, handle_);
        return;
    case VK_F10:
        if (manager_ == nullptr || !manager_->UseF10ForMenu()) return;
        [[fallthrough]];
    case VK_MENU:
        Message.SetCharCode(0);
        HideAll();
        return;
    default:
        break;
    }
    const UINT ch = MapVirtualKey(key, MAPVK_VK_TO_CHAR);
    if (!((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'))) return;
    if (IsToolbar() && !IsVisible()) return;
    TShiftState state;
    if (shift) state.Include(ssShift);
    if (ctrl) state.Include(ssCtrl);
    TdxBarItemLink* found = links_->FindAccelLink(key, state, current);
    if (found == nullptr || found->Item() == nullptr || !found->Item()->Enabled()) return;
    // Another link with the same accelerator makes the key only move the selection.
    TdxBarItemLink* other = links_->FindAccelLink(key, state, found);
    const bool unique = other == nullptr || other == found;
    SelectLink(found);
    if (unique && Alive() && handle_ != nullptr) SendMessage(handle_, WM_KEYDOWN, VK_RETURN, 0);
}

void TCustomdxBarControl::WMLButtonDown(TWMMouse Message) {
    if (ignoreMouseUp_ || links_ == nullptr || links_->ShownLinks().empty()) return;
    const POINT p = Message.Pos();
    TdxBarItemControl* control = PtInRect(ClientRect(), p) ? ItemAtPos(p) : nullptr;
    if (control != nullptr && !IsCustomizing() && !(control->GetEnabled() && control->CanSelect()))
        control = nullptr;
    if (IsCustomizing()) {
        CustomizingMouseDown(control, p);
        return;
    }
    if (control == nullptr) return;
    SelectControlByKey(control);
    // The click path runs user code (a drop-down, a handler): this window and the control may go.
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const TcxObjectLinkPtr target = MakeObjectLink(control);
    control->BeforeClick(true);
    if (self->Ref == nullptr || target->Ref == nullptr || !Alive() || !FindLinkControl(control)) return;
    if (IsToolbar() && selected_ != nullptr && selected_->CanClickWhilePressed()) {
        pressed_ = selected_;
        pressedHot_ = true;
        SetCapture(handle_);
        pressed_->Repaint();
    }
}

void TCustomdxBarControl::WMRButtonDown(TWMMouse Message) {
    if (!IsCustomizing() || links_ == nullptr) return;
    if (selected_ != nullptr) selected_->ControlInactivate(true);
    const POINT p = Message.Pos();
    TdxBarItemControl* control = PtInRect(ClientRect(), p) ? ItemAtPos(p) : nullptr;
    if (control != nullptr && control == selected_ && !ShowItemInCustomizingWindow(control)) return;
    SelectControlByKey(control);
    if (control == nullptr && (manager_ == nullptr || !manager_->Designing())) return;
    POINT screen = p;
    ClientToScreen(handle_, screen);
    PostCustomizingPopup(this, control != nullptr ? control->Link() : nullptr, screen);
}

bool TCustomdxBarControl::ShowItemInCustomizingWindow(TdxBarItemControl* Control) {
    const CustomizingReceiver* window = Customizing();
    if (window == nullptr || Control->Item() == nullptr) return true;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    window->SelectCommand(Control->Item(), false);
    return self->Ref != nullptr && Alive();
}

void TCustomdxBarControl::CustomizingMouseDown(TdxBarItemControl* Control, POINT P) {
    // Controls of another manager's items are not this manager's to rearrange.
    if (Control != nullptr && (Control->Item() == nullptr || Control->Item()->BarManager() != manager_))
        return;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const TcxObjectLinkPtr target = MakeObjectLink(Control);
    if (Control != nullptr || !PtInRect(ClientRect(), P)) {
        // A second press on the selected control opens or closes its menu.
        if (Control != nullptr && Control == selected_) {
            if (Control->Active())
                Control->ControlInactivate(true);
            else
                Control->ControlActivate(true);
            if (self->Ref == nullptr || !Alive() || target->Ref == nullptr ||
                !ShowItemInCustomizingWindow(Control))
                return;
            Control->Repaint();
        }
        SelectControlByMouse(target->Ref != nullptr ? Control : nullptr);
    }
    if (self->Ref == nullptr || !Alive() || target->Ref == nullptr || Control == nullptr ||
        handle_ == nullptr)
        return;
    dragStartPos_ = P;
    manager_->SetDragged(Control->Item(), Control->Link());
    dragPending_ = true;
    SetCapture(handle_);
}

bool TCustomdxBarControl::StartLinkDrag() {
    dragPending_ = false;
    if (GetCapture() == handle_) ReleaseCapture();
    TdxBarItem* item = manager_->DragItem();
    TdxBarItemLink* link = manager_->DragLink();
    const CustomizingReceiver* customizing = Customizing();
    if (item == nullptr || link == nullptr || customizing == nullptr) {
        manager_->SetDragged(nullptr, nullptr);
        return true;
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (auto* control = dynamic_cast<TdxBarItemControl*>(link->Control()))
        if (control->Active()) control->ControlInactivate(true);
    if (self->Ref == nullptr || !Alive() || handle_ == nullptr) return false;
    POINT press = dragStartPos_;
    ClientToScreen(handle_, press);
    // The loop may rebuild or free this window.
    customizing->DragLink(manager_, item, manager_->DragLink(), handle_, press);
    return self->Ref != nullptr && Alive();
}

void TCustomdxBarControl::DrawCustomizingFrame(HDC DC, TdxBarItemControl* Control) const {
    if (!IsCustomizing() || Control == nullptr || Control->Link() == nullptr || manager_ == nullptr) return;
    const bool framed = manager_->DraggingItem()
                            ? Control->Link() == manager_->DragLink()
                            : Control == selected_ && manager_->SelectedItem() == Control;
    if (!framed) return;
    RECT r = Control->Link()->ItemRect();
    if (IsRectEmpty(r)) return;
    if (!IsToolbar() && Control->IsExpandable()) {
        // Around a menu entry the frame inverts what is there, so the entry's own look shows through.
        const pw::gdi::SavedDC saved(DC);
        SetROP2(DC, R2_NOT);
        SelectObject(DC, GetStockObject(BLACK_PEN));
        SelectObject(DC, GetStockObject(NULL_BRUSH));
        Rectangle(DC, r.left, r.top, r.right, r.bottom);
        Rectangle(DC, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
        return;
    }
    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOWTEXT);
    FrameRect(DC, &r, brush);
    InflateRect(r, -1, -1);
    FrameRect(DC, &r, brush);
}

void TCustomdxBarControl::WMLButtonUp(TWMMouse Message) {
    if (ignoreMouseUp_) {
        ignoreMouseUp_ = false;
        return;
    }
    if (dragPending_) {
        // Released inside the drag rectangle: the press only selected.
        dragPending_ = false;
        manager_->SetDragged(nullptr, nullptr);
        if (GetCapture() == handle_) ReleaseCapture();
        return;
    }
    const bool held = pressed_ != nullptr, takenOver = pressTakenOver_;
    pressTakenOver_ = false;
    if (held && GetCapture() == handle_) ReleaseCapture();
    pressed_ = nullptr;
    const POINT p = Message.Pos();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    // The press that closed a drop-down menu ends there.
    if (PtInRect(ClientRect(), p) && active_ && !IsCustomizing() && !takenOver) {
        TdxBarItemControl* control = ItemAtPos(p);
        if (control != nullptr && control->CanSelect()) {
            if (control->GetEnabled() && control == selected_)
                control->ControlClick(true);
            else if (!control->GetEnabled() && control != selected_ && IsToolbar())
                HideAll();
        }
    }
    if (held && self->Ref != nullptr && Alive()) HideAll();
}

void TCustomdxBarControl::WMLButtonDblClk(TWMMouse Message) {
    if (selected_ == nullptr || !PtInRect(ClientRect(), Message.Pos())) return;
    if (ItemAtPos(Message.Pos()) != selected_) return;
    if (selected_->DoubleClicked()) return;
    // Buttons take a double click as a second press.
    TMessage down{WM_LBUTTONDOWN, Message.Keys(), PackPoint(Message.Pos()), 0};
    WndProc(down);
}

void TCustomdxBarControl::WMMouseMove(TWMMouse Message) {
    if (destroyingControls_) return;
    const POINT p = Message.Pos();
    if (dragPending_) {
        const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
        const RECT area{dragStartPos_.x - cx / 2, dragStartPos_.y - cy / 2, dragStartPos_.x + cx - cx / 2,
                        dragStartPos_.y + cy - cy / 2};
        if (!PtInRect(area, p)) StartLinkDrag();
        return;
    }
    if (pressed_ != nullptr) {
        const bool hot = ItemAtPos(p) == pressed_;
        if (hot != pressedHot_) {
            pressedHot_ = hot;
            pressed_->Repaint();
        }
    }
    // A held button keeps the selection: only a release over it clicks.
    if (pressed_ != nullptr || !PtInRect(ClientRect(), p)) return;
    if (IsMouseStill(p)) return;
    lastCursorPos_ = p;
    ClientToScreen(handle_, lastCursorPos_);
    TdxBarItemControl* control = ItemAtPos(p);
    BeginMouseTracking(handle_);
    if (control != nullptr && !control->CanFocus()) control = nullptr;
    if (active_ && IsToolbar() && control == nullptr) return;
    if (pressed_ == nullptr && selected_ != nullptr && selected_->Active() && control == nullptr) return;
    SelectControlByMouse(control);
}

void TCustomdxBarControl::WMMouseLeave(TMessage&) {
    EndMouseTracking(handle_);
    if (IsCustomizing()) return;
    if (auto* button = dynamic_cast<TdxBarButtonControl*>(selected_);
        button != nullptr && button->DroppedDown())
        return;
    if (active_) return;
    SelectControlByMouse(nullptr);
    lastCursorPos_ = POINT{-1, -1};
}

} // namespace bars
