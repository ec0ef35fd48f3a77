// The toolbar window's mouse and keys: keyboard mode, presses on its controls, caption buttons, end
// mark and close button, the drag of a control's width, and the start of a move.
#include "bars/windows/toolbar_control.h"

#include <algorithm>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/mdi_menus.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/toolbars_popup.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/drag_detect.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// The strips at the ends of a sizable control that take its width.
constexpr int EditSizingStrip = 7;

} // namespace

bool TdxBarControl::IsMouseStill(POINT Client) {
    if (TCustomdxBarControl::IsMouseStill(Client)) return true;
    if (dockingStyle_ == dsNone) return false;
    // Docked toolbars do not hot-track while their form is inactive. An MDI frame is active whenever
    // the program is: its active child holds the activation in its place.
    TCustomForm* form = manager_->ParentForm();
    if (form == nullptr || !form->HandleAllocated()) return false;
    HWND active = GetActiveWindow();
    if (form->FormStyle() == fsMDIForm) return active == nullptr;
    return active != form->Handle() && GetWindow(active, GW_OWNER) != form->Handle();
}

void TdxBarControl::SetActive(bool Value) {
    if (!Value) {
        if (auto* button = dynamic_cast<TdxBarButtonControl*>(Selected());
            button != nullptr && button->DroppedDown())
            button->ControlInactivate(true);
        menuOpened_ = false;
    }
    TCustomdxBarControl::SetActive(Value);
    if (!Value) LeaveKeyboardMode();
}

void TdxBarControl::SelectControlByKey(TdxBarItemControl* Control) {
    TdxBarItemControl* old = Selected();
    TCustomdxBarControl::SelectControlByKey(Control);
    if (Control == nullptr || Control == old || Selected() != Control || Control->Active() || IsCustomizing())
        return;
    // A menu entry opens its menu when the bar is in menu mode.
    if (Control->IsExpandable())
        Control->BeforeClick(false);
    else
        Control->ControlActivate(true);
}

bool TdxBarControl::OnEditSizingEdge(POINT Client, bool& RightEdge) const {
    TdxBarItemControl* control = Selected();
    if (!IsCustomizing() || control == nullptr || !control->CanSizeWidth()) return false;
    const RECT r = control->Bounds();
    if (Client.y < r.top || Client.y >= r.bottom) return false;
    if (Client.x >= r.left && Client.x < r.left + EditSizingStrip) {
        RightEdge = false;
        return true;
    }
    if (Client.x >= r.right - EditSizingStrip && Client.x < r.right) {
        RightEdge = true;
        return true;
    }
    return false;
}

void TdxBarControl::EndEditSizing(bool Apply) {
    if (!editSizing_) return;
    InvertEditSizingFrame();
    editSizing_ = false;
    TdxBarItemControl* control = SizingControl();
    editSizingLink_.reset();
    if (GetCapture() == handle_) ReleaseCapture();
    if (control == nullptr) return;
    const RECT r = control->Bounds();
    if (Apply && editSizeWidth_ != r.right - r.left)
        control->Link()->SetUserWidth(editSizeWidth_);
    else
        control->Repaint();
}

void TdxBarControl::HideAll() {
    LeaveKeyboardMode();
    TCustomdxBarControl::HideAll();
}

void TdxBarControl::EnterKeyboardMode(TdxBarItemControl* Control) {
    if (keyboardMode_) return;
    // The form's controls (and its active MDI child's) end what they hold the mouse or keys for: the
    // bar takes the keyboard now.
    if (TCustomForm* form = manager_->ParentForm()) form->SendCancelMode(nullptr);
    savedFocus_ = GetFocus();
    if (Control == nullptr) {
        TdxBarItemLink* first = links_->FirstSelectable();
        Control = first != nullptr ? dynamic_cast<TdxBarItemControl*>(first->Control()) : nullptr;
    }
    keyboardMode_ = true;
    manager_->SetFocusedBarControl(this);
    SelectControlByKey(Control);
    SetActive(true);
}

void TdxBarControl::LeaveKeyboardMode() {
    if (!keyboardMode_) return;
    keyboardMode_ = false;
    if (manager_->FocusedBarControl() == this) manager_->SetFocusedBarControl(nullptr);
    SelectControlByKey(nullptr);
    SetActive(false);
    // The window under the pointer hot-tracks again at once.
    if (handle_ != nullptr && !destroying_) {
        POINT p{0, 0};
        GetCursorPos(p);
        ScreenToClient(handle_, p);
        ForgetCursorPos();
        PostMessage(handle_, WM_MOUSEMOVE, 0, PackPoint(p));
    }
}

void TdxBarControl::SetMDIHot(int Index) {
    if (Index == mdiHot_) return;
    mdiHot_ = Index;
    if (handle_ != nullptr) InvalidateRect(handle_, &mdiArea_, FALSE_);
}

bool TdxBarControl::TrackPress(bool NonClient, const std::function<void(const MSG&)>& Move,
                               const std::function<void()>& Release) {
    SetCapture(handle_);
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    MSG msg;
    while (self->Ref != nullptr && GetCapture() == handle_) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        const bool move = msg.message == WM_MOUSEMOVE ? NonClient || msg.hwnd == handle_
                                                      : NonClient && msg.message == WM_NCMOUSEMOVE;
        if (move) {
            Move(msg);
            continue;
        }
        if (msg.message == WM_LBUTTONUP || (NonClient && msg.message == WM_NCLBUTTONUP)) {
            Release();
            break;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    if (self->Ref == nullptr) return false;
    if (GetCapture() == handle_) ReleaseCapture();
    return true;
}

void TdxBarControl::MDIButtonPress(int Index) {
    mdiPressed_ = Index;
    SetMDIHot(Index);
    bool clicked = false;
    const bool lives = TrackPress(
        false,
        [&](const MSG& msg) {
            POINT p = msg.pt;
            ScreenToClient(handle_, p);
            SetMDIHot(PtInRect(MDIButtonRect(Index), p) ? Index : -1);
        },
        [&] { clicked = mdiHot_ == Index; });
    if (!lives) return;
    const int kind = MDIButtonKind(Index);
    const bool lone = MDIButtonCount() == 1;
    mdiPressed_ = -1;
    SetMDIHot(-1);
    if (!clicked) return;
    if (lone) {
        manager_->DoCloseButtonClick();
        return;
    }
    static constexpr WPARAM commands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
    if (HWND child = MaximizedMDIChild(manager_)) SendMessage(child, WM_SYSCOMMAND, commands[kind], 0);
}

void TdxBarControl::NCLButtonDown(TWMNCHitMessage Message) {
    if (Message.HitTest() != HTCLOSE) {
        DefaultHandler(Message);
        return;
    }
    HideAll();
    // The close button's own loop: pressed while the pointer is over it, released to close.
    closeButtonState_ = 2;
    RepaintFrame();
    bool clicked = false;
    const bool lives = TrackPress(
        true,
        [&](const MSG& msg) {
            RECT window{0, 0, 0, 0};
            GetWindowRect(handle_, window);
            const POINT w{msg.pt.x - window.left, msg.pt.y - window.top};
            const int state = PtInRect(CloseButtonRect(), w) ? 2 : 1;
            if (state != closeButtonState_) {
                closeButtonState_ = state;
                RepaintFrame();
            }
        },
        [&] { clicked = closeButtonState_ == 2; });
    if (!lives) return;
    closeButtonState_ = 0;
    RepaintFrame();
    if (!clicked) return;
    TdxBar* bar = bar_;
    TdxBarManager* manager = manager_;
    bar->SetVisible(false);
    manager->NoteUserChange();
    manager->DoBarClose(bar);
}

void TdxBarControl::NCMouseMove(TWMNCHitMessage) {}

void TdxBarControl::CaptionDoubleClick() {
    if (manager_->Designing()) return;
    TdxBarDockingStyle style = dsNone;
    bars::DockControl* site = nullptr;
    if (bar_->DockingStyle() == dsNone) {
        style = bar_->DockedDockingStyle();
        site = bar_->DockedDockControl();
        if (style == dsNone) style = dsTop;
        if (site == nullptr && bar_->Bars() != nullptr) site = bar_->Bars()->DockControls(style);
    }
    if (!manager_->CanDocking(bar_, style, site)) return;
    TdxBar* bar = bar_;
    // A bar that never floated comes off where it stands rather than at the screen's corner.
    if (style == dsNone && bar->FloatClientWidth() <= 0 && handle_ != nullptr) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(handle_, r);
        bar->SetFloatLeft(r.left);
        bar->SetFloatTop(r.top);
    }
    // Hiding the bar frees this window.
    bar->SetVisible(false);
    if (style != dsNone) {
        // A row of its own, where it stood when it left the site (its saved row), so that a menu bar
        // docked again is above the toolbars again.
        bar->SetOneOnRow(true);
        auto* dock = dynamic_cast<TdxDockControl*>(site);
        if (dock != nullptr) bar->SetRow(std::min(bar->Row(), dock->RowCount()));
    }
    bar->SetDocking(style, style == dsNone ? nullptr : site);
    bar->SetVisible(true);
}

void TdxBarControl::WMKeyDown(TWMKey Message) {
    TCustomdxBarControl::WMKeyDown(Message);
    if (GetActiveBarControl() == nullptr || !Alive()) return;
    const WORD key = Message.CharCode();
    TdxBarItemControl* selected = Selected();
    if (selected != nullptr && selected->GetEnabled() && selected->WantsKey(key)) {
        selected->KeyDown(key);
        return;
    }
    if (key == VK_ESCAPE) {
        Message.SetCharCode(0);
        HideAll();
        return;
    }
    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (selected == nullptr) return;
        const bool subItem = selected->IsExpandable();
        if (subItem && selected->GetEnabled()) menuOpened_ = true;
        if (subItem || key == VK_RETURN) selected->ControlClick(false);
    }
}

void TdxBarControl::WMLButtonDown(TWMMouse Message) {
    if (ignoreMouseUp_) return;
    const POINT p = Message.Pos();
    if (bool right = false; OnEditSizingEdge(p, right)) {
        editSizing_ = true;
        editSizingRightEdge_ = right;
        editSizingLink_ = MakeObjectLink(Selected());
        const RECT r = Selected()->Bounds();
        editSizeWidth_ = editSizingStartWidth_ = r.right - r.left;
        editSizingStartX_ = p.x;
        SetCapture(handle_);
        InvertEditSizingFrame();
        return;
    }
    POINT screen = p;
    ClientToScreen(handle_, screen);
    {
        TMessage hit{WM_NCHITTEST, 0, PackPoint(screen), 0};
        NCHitTest(TWMNCHitTest(hit));
    }
    TdxBarItemControl* control = PtInRect(ClientRect(), p) ? ItemAtPos(p) : nullptr;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const bool entering = !IsActive();
    // While the form is designed every control can be pressed (a second press opens its menu).
    const bool designing = manager_ != nullptr && manager_->Designing();
    if (control == nullptr || (!designing && (!control->GetEnabled() || !control->CanSelect()))) {
        SetActive(false);
    } else if (!IsCustomizing()) {
        if (IsActive()) {
            if (control != Selected()) {
                SelectControlByKey(control);
                menuOpened_ = false;
            } else if (dynamic_cast<TdxBarButtonControl*>(control) == nullptr &&
                       !control->IsWindowControl() && menuOpened_) {
                // A second press on an open menu's entry closes it; one on an item being edited edits on.
                LeaveKeyboardMode();
                return;
            }
        } else {
            EnterKeyboardMode(control);
        }
        if (IsActive()) menuOpened_ = true;
    } else if (!IsActive()) {
        EnterKeyboardMode(control);
    }
    if (self->Ref == nullptr) return;
    const TcxObjectLinkPtr target = MakeObjectLink(control);
    TCustomdxBarControl::WMLButtonDown(Message);
    if (self->Ref == nullptr || !Alive()) return;
    if (!IsCustomizing())
        for (int i = 0; i < MDIButtonCount(); ++i)
            if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), p)) {
                MDIButtonPress(i);
                return;
            }
    // An entry whose menu did not open (none could be made, or its handler stopped it) leaves no
    // keyboard mode behind.
    if (entering && control != nullptr && keyboardMode_ && ChildBar() == nullptr &&
        (target->Ref == nullptr || control->IsExpandable())) {
        LeaveKeyboardMode();
        return;
    }
    if (ncHitCode_ != HTCAPTION) {
        // A floating toolbar's mark stands on its caption, outside the client area.
        const bool onMark =
            IsMarkVisible() && (dockingStyle_ != dsNone ? PtInRect(Painter().CalcMarkRect(*this), p)
                                                        : PtInRect(MarkScreenRect(), screen));
        if (onMark) {
            SetMarkState(markState_ == 2 ? 1 : 2);
            return;
        }
        if (IsCustomizing()) return;
        if (!PtInRect(ClientRect(), p) && ncHitCode_ != HTCLIENT)
            SendMessage(handle_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(ncHitCode_), PackPoint(screen));
        return;
    }
    // A click on the grip or the caption moves nothing: the move begins once the pointer leaves the
    // drag rectangle.
    if (!bar_->CanMove() || !DragDetect(handle_, screen) || self->Ref == nullptr) return;
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    GrabOffset = POINT{screen.x - window.left, screen.y - window.top};
    GrabSize = SIZE{window.right - window.left, window.bottom - window.top};
    DragBar(this, screen);
}

void TdxBarControl::WMLButtonUp(TWMMouse Message) {
    if (editSizing_) {
        EndEditSizing(true);
        return;
    }
    TCustomdxBarControl::WMLButtonUp(Message);
}

void TdxBarControl::WMMouseMove(TWMMouse Message) {
    if (editSizing_) {
        // The frame follows the pointer, never narrower than the control allows.
        TdxBarItemControl* control = SizingControl();
        if (control == nullptr) {
            EndEditSizing(false);
            return;
        }
        const int moved = Message.Pos().x - editSizingStartX_;
        const int wanted = editSizingStartWidth_ + (editSizingRightEdge_ ? moved : -moved);
        const int width = std::max(wanted, control->MinSizingWidth());
        if (width != editSizeWidth_) {
            InvertEditSizingFrame();
            editSizeWidth_ = width;
            InvertEditSizingFrame();
        }
        return;
    }
    // A pending drag takes the move whole: it may start the drag, which may rebuild this window.
    const bool pending = DragPending();
    TCustomdxBarControl::WMMouseMove(Message);
    if (pending || !Alive() || handle_ == nullptr) return;
    const POINT p = Message.Pos();
    int hot = -1;
    for (int i = 0; i < MDIButtonCount() && hot < 0; ++i)
        if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), p)) hot = i;
    SetMDIHot(hot);
    if (IsMarkVisible() && markState_ != 2) {
        POINT screen = p;
        ClientToScreen(handle_, screen);
        SetMarkState(PtInRect(MarkScreenRect(), screen) ? 1 : 0);
    }
    if (dockingStyle_ == dsNone && closeButtonState_ != 2) {
        RECT window{0, 0, 0, 0};
        GetWindowRect(handle_, window);
        POINT screen = p;
        ClientToScreen(handle_, screen);
        const POINT w{screen.x - window.left, screen.y - window.top};
        const int state = PtInRect(CloseButtonRect(), w) ? 1 : 0;
        if (state != closeButtonState_) {
            closeButtonState_ = state;
            RepaintFrame();
        }
    }
    BeginMouseTracking(handle_);
}

void TdxBarControl::WMMouseLeave(TMessage& Message) {
    if (markState_ == 1) SetMarkState(0);
    if (mdiPressed_ < 0) SetMDIHot(-1);
    if (closeButtonState_ == 1) {
        closeButtonState_ = 0;
        RepaintFrame();
    }
    TCustomdxBarControl::WMMouseLeave(Message);
}

LRESULT TdxBarControl::ChooseCursor(TMessage& Message) {
    if (TWMSetCursor(Message).HitTest() == HTCLIENT && IsCustomizing()) {
        POINT p{0, 0};
        GetCursorPos(p);
        ScreenToClient(handle_, p);
        if (bool right = false; editSizing_ || OnEditSizingEdge(p, right)) {
            SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
            return 1;
        }
    }
    // Over the grip (or the empty part) of a bar that can move: the move cursor.
    if (TWMSetCursor(Message).HitTest() == HTCLIENT && ncHitCode_ == HTCAPTION && dockingStyle_ != dsNone &&
        bar_->CanMove()) {
        POINT p{0, 0};
        GetCursorPos(p);
        ScreenToClient(handle_, p);
        if (PtInRect(GetGripZone(), p)) {
            SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
            return 1;
        }
    }
    return TCustomdxBarControl::WndProc(Message);
}

LRESULT TdxBarControl::RButtonDown(TMessage& Message) {
    const LRESULT result = TCustomdxBarControl::WndProc(Message);
    POINT screen = TWMMouse(Message).Pos();
    ClientToScreen(handle_, screen);
    if (!IsCustomizing() && manager_ != nullptr) PostToolbarsPopup(manager_, screen);
    return result;
}

LRESULT TdxBarControl::LButtonDblClk(TMessage& Message) {
    // A caption button, and the docked end mark, take a quick second click as another press.
    for (int i = 0; i < MDIButtonCount(); ++i)
        if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), TWMMouse(Message).Pos())) {
            WMLButtonDown(TWMMouse(Message));
            return 0;
        }
    if (IsMarkVisible() && dockingStyle_ != dsNone && PtInRect(MarkRect(), TWMMouse(Message).Pos())) {
        WMLButtonDown(TWMMouse(Message));
        return 0;
    }
    POINT screen = TWMMouse(Message).Pos();
    ClientToScreen(handle_, screen);
    TMessage hit{WM_NCHITTEST, 0, PackPoint(screen), 0};
    NCHitTest(TWMNCHitTest(hit));
    if (ncHitCode_ == HTCAPTION) {
        CaptionDoubleClick();
        return 0;
    }
    return TCustomdxBarControl::WndProc(Message);
}

} // namespace bars
