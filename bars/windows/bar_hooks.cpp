// The keyboard, mouse and call-window-procedure hooks of the bar managers.
#include "bars/windows/bar_hooks.h"

#include <array>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/combo_control.h"
#include "bars/windows/customizing_redirect.h"
#include "bars/windows/drop_down_list.h"
#include "bars/windows/floating_bars.h"
#include "bars/windows/item_control.h"
#include "bars/windows/mdi_menus.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "platform/vcl/shortcut.h"

namespace bars {

namespace {

// The thread hooks of the process, one set for every manager; everything here runs on the thread that
// made the first manager.
struct HookState {
    HHOOK keyboard = nullptr;
    HHOOK mouse = nullptr;
    HHOOK callWndProc = nullptr;
    // The window of the loop that moves or sizes a toolbar.
    HWND keysBlockedBy = nullptr;
    bool forwardedKeyPending = false;
    WPARAM forwardedKey = 0;
    // The flags keep the names the hooks' design gives them.
    bool AltPressedAlone = false;
    // An in-place editor hands the keyboard hook a key itself: no other hook is called for it.
    bool EditorOwnsKeys = false;
    bool inMouseHook = false;
    bool InCallWndProcHook = false;
};

HookState& Hooks() {
    static HookState state;
    return state;
}

// Sets a re-entrancy flag for a scope.
class FlagScope {
public:
    explicit FlagScope(bool& Flag) : flag_(Flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// The shift keys as the hooks read them: as they are now, not as of the last message taken.
constexpr int kShift = 1, kAlt = 2, kCtrl = 4;

int GetShiftState() {
    int state = 0;
    if (GetAsyncKeyState(VK_SHIFT) < 0) state |= kShift;
    if (GetAsyncKeyState(VK_MENU) < 0) state |= kAlt;
    if (GetAsyncKeyState(VK_CONTROL) < 0) state |= kCtrl;
    return state;
}

bool AnyKeyDown() {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    for (BYTE key : keys)
        if ((key & 0x80) != 0) return true;
    return false;
}

TCustomdxBarControl* ActiveBar() {
    return dynamic_cast<TCustomdxBarControl*>(GetActiveBarControl());
}

// The bar window (toolbar or menu) whose window this is.
TCustomdxBarControl* BarOfWindow(HWND Window) {
    if (Window == nullptr) return nullptr;
    for (BarControl* control : BarControls())
        if (control->Handle() == Window) return dynamic_cast<TCustomdxBarControl*>(control);
    return nullptr;
}

TCustomForm* FormOfWindow(HWND Window) {
    return Window != nullptr ? dynamic_cast<TCustomForm*>(FindControl(Window)) : nullptr;
}

// The manager whose form's window this is; the common case (a child control's message) is answered
// without looking the window up. A form being destroyed is no longer asked anything: its manager goes
// only after the form's own parts are gone, while their windows still send their last messages.
TdxBarManager* ManagerOfWindow(HWND Window) {
    if (Window == nullptr) return nullptr;
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i) {
        TCustomForm* form = list.Items(i)->ParentForm();
        if (form == nullptr || form->ComponentState().Contains(csDestroying)) continue;
        if (form->HandleAllocated() && form->Handle() == Window) return list.Items(i);
    }
    return nullptr;
}

// The manager of a form that is being destroyed and whose window goes now: it stores its layout.
TdxBarManager* ManagerOfGoingForm(HWND Window) {
    if (Window == nullptr) return nullptr;
    // The window's control is looked up instead of asking each going form for its window: a form whose
    // destruction has gone past its window-control part (while it frees what it owns) has no such
    // members left to call.
    const void* control = FindControl(Window);
    if (control == nullptr) return nullptr;
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i) {
        TCustomForm* form = list.Items(i)->ParentForm();
        if (form != nullptr && form->ComponentState().Contains(csDestroying) &&
            static_cast<const void*>(form) == control)
            return list.Items(i);
    }
    return nullptr;
}

// The control that has the focus and the manager of its form.
TWinControl* FocusedControl(TdxBarManager*& Manager) {
    TWinControl* control = FindVCLControlOfWindow(GetFocus());
    Manager = control != nullptr ? FindBarManagerOfForm(GetParentForm(control)) : nullptr;
    return control;
}

TShortCut ShortCutOfKey(WPARAM Key, int Shift) {
    TShortCut shortCut = static_cast<TShortCut>(Key & 0xFF);
    if ((Shift & kShift) != 0) shortCut |= scShift;
    if ((Shift & kCtrl) != 0) shortCut |= scCtrl;
    if ((Shift & kAlt) != 0) shortCut |= scAlt;
    return shortCut;
}

TdxBarControl* ToolbarWindow(TdxBar* Bar) {
    return Bar != nullptr ? dynamic_cast<TdxBarControl*>(Bar->Control()) : nullptr;
}

// The menu bar first, then every other bar whose window is shown, in the order of the collection.
std::vector<TdxBar*> BarsInSearchOrder(TdxBarManager* Manager) {
    std::vector<TdxBar*> bars;
    TdxBar* menuBar = Manager->MainMenuBar();
    if (menuBar != nullptr) bars.push_back(menuBar);
    for (int i = 0; i < Manager->Bars()->Count(); ++i) {
        TdxBar* bar = Manager->Bars()->Items(i);
        if (bar == menuBar || !bar->Visible()) continue;
        TdxBarControl* window = ToolbarWindow(bar);
        if (window != nullptr && window->IsVisible()) bars.push_back(bar);
    }
    return bars;
}

bool ClickShortCut(TdxBarManager* Manager, TShortCut ShortCut) {
    for (TdxBar* bar : BarsInSearchOrder(Manager))
        if (bar->ExecuteShortCut(ShortCut)) return true;
    return false;
}

// Alt with a letter: the first enabled link of the shown bars whose caption's accelerator answers it.
bool ClickAccelerator(TdxBarManager* Manager, WPARAM Key, int Shift) {
    TShiftState shift;
    if ((Shift & kShift) != 0) shift.Include(ssShift);
    if ((Shift & kCtrl) != 0) shift.Include(ssCtrl);
    for (TdxBar* bar : BarsInSearchOrder(Manager)) {
        TdxBarItemLinks* links = bar->ItemLinks();
        TdxBarItemLink* link = links->FindAccelLink(static_cast<WORD>(Key), shift, nullptr);
        if (link == nullptr || link->Item() == nullptr || !link->Item()->Enabled()) continue;
        TdxBarControl* window = ToolbarWindow(bar);
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        if (window == nullptr || control == nullptr) continue;
        // Searched again from after the link: only the link itself found (or nothing, where the search
        // leaves the link it starts from out) means no other shares it.
        const TdxBarItemLink* other = links->FindAccelLink(static_cast<WORD>(Key), shift, link);
        const bool unique = other == nullptr || other == link;
        // Entering keyboard mode runs the bar's handlers, which may free the window or the control.
        const TcxObjectLinkPtr windowLink = MakeObjectLink(window);
        const TcxObjectLinkPtr controlLink = MakeObjectLink(control);
        if (!control->CloseMenusOnClick() || !unique) window->EnterKeyboardMode(control);
        if (!unique || windowLink->Ref == nullptr || controlLink->Ref == nullptr) return true;
        // A menu entry drops its menu as Down would, its first line selected.
        if (control->IsExpandable()) window->SetMenuOpened(true);
        control->ControlClick(false);
        return true;
    }
    return false;
}

// The managers a key of the active form goes to: its own, or the main form's for a form that has none
// and whose main form lets other forms call it. Within an MDI frame the active child's keys go to the
// main form's manager (which holds the menu bar), and to the child's own after it.
bool FindTargetManagers(TdxBarManager*& Target, TdxBarManager*& Own) {
    Target = Own = nullptr;
    TCustomForm* form = FormOfWindow(GetActiveWindow());
    if (form == nullptr || !form->Enabled() || form->ComponentState().Contains(csDesigning)) return false;
    if (form->FormStyle() == fsMDIForm)
        if (TCustomForm* child = form->ActiveMDIChild()) form = child;
    Own = FindBarManagerOfForm(form);
    // A form docked in another one uses that one's manager.
    if (Own == nullptr && !form->Modal() && form->Parent() != nullptr)
        Own = FindBarManagerOfForm(GetParentForm(form->Parent()));
    Target = Own;
    TCustomForm* mainForm = Application != nullptr ? Application->MainForm() : nullptr;
    if (form->FormStyle() == fsMDIChild)
        Target = mainForm != nullptr ? FindBarManagerOfForm(mainForm) : nullptr;
    if (Own == nullptr && mainForm != nullptr && mainForm != form &&
        (form->FormStyle() == fsNormal || form->FormStyle() == fsStayOnTop)) {
        TdxBarManager* mainManager = FindBarManagerOfForm(mainForm);
        // A modal dialog disables the main form's window and leaves its Enabled alone.
        if (mainManager != nullptr && mainManager->AllowCallFromAnotherForm() && mainForm->Enabled() &&
            mainForm->HandleAllocated() && IsWindowEnabled(mainForm->Handle()))
            Target = mainManager;
    }
    if (Own == nullptr) Own = Target;
    return Target != nullptr;
}

LRESULT ProcessShortCut(WPARAM Key, TdxBarManager* Target, TdxBarManager* Own) {
    const int shift = GetShiftState();
    const TShortCut shortCut = ShortCutOfKey(Key, shift);
    TdxBarManager* focusedManager = nullptr;
    TWinControl* focused = FocusedControl(focusedManager);
    if (focused != nullptr && focusedManager != nullptr &&
        focusedManager->PopupMenuLinks()->ExecuteShortCut(focused, shortCut))
        return 1;
    if (ClickShortCut(Target, shortCut)) return 1;
    if (Own != Target && ClickShortCut(Own, shortCut)) return 1;
    if ((shift & kAlt) == 0) return 0;
    if (ClickAccelerator(Own, Key, shift & ~kAlt)) return 1;
    if (Own != Target && ClickAccelerator(Target, Key, shift & ~kAlt)) return 1;
    return 0;
}

// What the bars make of a key: 1 when it is theirs and goes no further.
LRESULT RouteKey(WPARAM Key, LPARAM KeyData, bool Released) {
    HookState& h = Hooks();
    if (h.forwardedKeyPending && Key == h.forwardedKey && Released) {
        h.forwardedKeyPending = false;
        return 1;
    }
    // An open menu or the menu bar in keyboard mode takes every key.
    if (TCustomdxBarControl* active = ActiveBar();
        active != nullptr && active->Manager() != nullptr && !active->Manager()->InMenuLoop()) {
        TdxBarItemControl* selected = active->Selected();
        const bool editing = selected != nullptr && selected->IsWindowControl() && selected->IsEditing();
        if (!active->IsCustomizing() && !editing) {
            if (!Released) {
                h.forwardedKeyPending = true;
                h.forwardedKey = Key;
            }
            SendMessage(active->Handle(), Released ? WM_KEYUP : WM_KEYDOWN, Key, KeyData);
            // A key that closed the menus while held has its release swallowed as well.
            if (!(GetActiveBarControl() == nullptr && GetAsyncKeyState(static_cast<int>(Key)) < 0))
                h.forwardedKeyPending = false;
            return 1;
        }
        if (active->IsCustomizing() && Key == VK_ESCAPE && GetCapture() == active->Handle()) {
            ReleaseCapture();
            return 1;
        }
    }
    if (GetCapture() != nullptr) return 0;
    // The context-menu keys: the menu key's release, and Shift+F10.
    if ((Key == VK_APPS && Released) || (Key == VK_F10 && !Released && GetShiftState() == kShift)) {
        TdxBarManager* manager = nullptr;
        TWinControl* control = FocusedControl(manager);
        if (control != nullptr && manager != nullptr &&
            manager->PopupMenuLinks()->ContextPopup(control, GetFocus(), POINT{-1, -1}))
            return 1;
    }
    TdxBarManager *target = nullptr, *own = nullptr;
    // A toolbar in keyboard mode (an item of it being edited) keeps its keys from the shortcuts.
    if (!FindTargetManagers(target, own) || target->IsCustomizingOrDesigning() ||
        target->FocusedBarControl() != nullptr)
        return 0;
    if (Released) {
        const bool altAlone = Key == VK_MENU && h.AltPressedAlone && !AnyKeyDown();
        const bool f10 = Key == VK_F10 && target->UseF10ForMenu() && GetShiftState() == 0;
        h.AltPressedAlone = false;
        TdxBarControl* menuBar = ToolbarWindow(target->MainMenuBar());
        if (menuBar != nullptr && menuBar->Handle() != nullptr && (altAlone || f10)) {
            menuBar->EnterKeyboardMode(nullptr);
            return 1;
        }
        return 0;
    }
    if (Key == VK_MENU) {
        h.AltPressedAlone = true;
        return 0;
    }
    h.AltPressedAlone = false;
    return ProcessShortCut(Key, target, own);
}

LRESULT BarKeyboardHookProc(int Code, WPARAM Key, LPARAM KeyData) {
    HookState& h = Hooks();
    TMessage message{WM_KEYDOWN, Key, KeyData, 0};
    const TWMKey key(message);
    LRESULT result = 0;
    if (KeysBlocked()) {
        // A toolbar is being moved or sized: the key reaches only the loop doing it.
        if (Code >= 0) PostMessage(h.keysBlockedBy, key.Released() ? WM_KEYUP : WM_KEYDOWN, Key, KeyData);
        result = 1;
    } else {
        if (Key == VK_PROCESSKEY) return 0;
        // A key pressed ends any hint.
        if (Code >= 0 && !key.Released()) CancelHint();
        if (Code >= 0) result = RouteKey(Key, KeyData, key.Released());
    }
    // An editor's own call is no call of the system's: nobody after this hook hears of it.
    if (h.EditorOwnsKeys) return result;
    const LRESULT next = CallNextHookEx(h.keyboard, Code, Key, KeyData);
    return result != 0 ? result : next;
}

bool IsButtonPress(UINT Msg) {
    switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsOtherButtonRelease(UINT Msg) {
    return Msg == WM_RBUTTONUP || Msg == WM_NCRBUTTONUP || Msg == WM_MBUTTONUP || Msg == WM_NCMBUTTONUP;
}

// The window is the active bar window, one up its chain, or a direct child of one of them.
bool InsideOpenMenuChain(HWND Window) {
    // A combo's list belongs to the bar whose item is being edited.
    if (HWND list = ShownDropDownList(); list != nullptr && (Window == list || IsChild(list, Window)))
        return true;
    for (BarControl* bar = GetActiveBarControl(); bar != nullptr;) {
        const HWND handle = bar->Handle();
        if (handle != nullptr && (Window == handle || GetParent(Window) == handle)) return true;
        BarControl* up = bar->ParentBarControl();
        if (up == bar) break;
        bar = up;
    }
    return false;
}

// The window is a bar window with a selected control, or a combo of the active bar window drops its
// list down while something holds the mouse elsewhere (the list's own drag-to-choose).
bool OverItemControl(HWND Window, POINT Screen) {
    TCustomdxBarControl* bar = BarOfWindow(Window);
    if (bar != nullptr && bar->Selected() != nullptr) return true;
    TCustomdxBarControl* active = ActiveBar();
    if (GetCapture() == nullptr || active == nullptr || WindowFromPoint(Screen) == active->Handle())
        return false;
    const auto* combo = dynamic_cast<const TCustomdxBarComboControl*>(active->Selected());
    return combo != nullptr && combo->DroppedDown();
}

LRESULT CloseMenusOnClick(UINT Msg, const MOUSEHOOKSTRUCT& Info) {
    HookState& h = Hooks();
    const FlagScope inHook(h.inMouseHook);
    if (IsOtherButtonRelease(Msg) && !OverItemControl(Info.hwnd, Info.pt) && !InsideOpenMenuChain(Info.hwnd))
        return 1;
    TCustomdxBarControl* first = ActiveBar();
    if (first != nullptr && first->Manager() != nullptr && first->Manager()->DraggingItem()) return 0;
    while (TCustomdxBarControl* active = ActiveBar()) {
        if (InsideOpenMenuChain(Info.hwnd)) break;
        bool close = IsButtonPress(Msg);
        if (Msg == WM_LBUTTONUP || Msg == WM_NCLBUTTONUP)
            close = !OverItemControl(Info.hwnd, Info.pt) && !MenuAnimationRunning() &&
                    !active->IsCustomizing() &&
                    (active->IsToolbar() || active->ParentBarControl() != nullptr);
        if (!close) break;
        active->HideAll();
        // A window that stays active whatever it is told would hold the loop for ever.
        if (ActiveBar() == active) break;
    }
    // The message was for a menu that has just closed.
    return Info.hwnd != nullptr && !IsWindowVisible(Info.hwnd) ? 1 : 0;
}

LRESULT BarMouseHookProc(int Code, WPARAM Msg, LPARAM Info) {
    HookState& h = Hooks();
    TMessage message{0, Msg, Info, 0};
    const TMouseHookArgs args(message);
    UINT msg = args.MouseMsg();
    // Read (and retargeted) as a copy: the hooks after this one see the message as it came.
    MOUSEHOOKSTRUCT info = *args.Info();
    LRESULT result = 0;
    if (Code >= 0 && IsButtonPress(msg)) CancelHint();
    const bool redirected = Code >= 0 && RedirectToCustomizedBar(msg, info);
    if (!h.inMouseHook && Code >= 0 && GetActiveBarControl() != nullptr)
        result = CloseMenusOnClick(msg, info);
    // An end-mark drop-down not in use closes on a press elsewhere.
    if (Code >= 0) CloseQuickControlOnPress(msg, info.hwnd, info.pt);
    if (redirected && result == 0) {
        DeliverRedirected(msg, info);
        result = 1;
    }
    // A right click on a control with a linked popup menu opens it; not over a window a modal dialog
    // disabled (the hook still sees the click there), whose control is enabled as far as it knows.
    if (result == 0 && Code >= 0 && (msg == WM_RBUTTONUP || msg == WM_NCRBUTTONUP) &&
        IsWindowEnabled(info.hwnd)) {
        TWinControl* control = FindVCLControlOfWindow(info.hwnd);
        TdxBarManager* manager =
            control != nullptr && control->Enabled() ? FindBarManagerOfForm(GetParentForm(control)) : nullptr;
        if (manager != nullptr && manager->PopupMenuLinks()->ContextPopup(control, info.hwnd, info.pt))
            result = 1;
    }
    const LRESULT next = CallNextHookEx(h.mouse, Code, Msg, Info);
    return result != 0 ? result : next;
}

// The MDI children's floating bars follow the frame's activation: the active child's come back with
// it, and every child's go when it is lost.
void FrameActivated(const CWPSTRUCT& Call) {
    TCustomForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
    if (frame == nullptr || frame->FormStyle() != fsMDIForm || !frame->HandleAllocated() ||
        frame->Handle() != Call.hwnd || AnyPopupMenuShown())
        return;
    TMessage message{Call.message, Call.wParam, Call.lParam, 0};
    const TWMActivate activate(message);
    const bool active = activate.Active() != WA_INACTIVE;
    TCustomForm* activeChild = frame->ActiveMDIChild();
    TdxBarManagerList& list = BarManagerList();
    std::vector<TdxBarManager*> children;
    for (int i = 0; i < list.Count(); ++i) {
        TCustomForm* form = list.Items(i)->ParentForm();
        if (form == nullptr || form->FormStyle() != fsMDIChild ||
            form->ComponentState().Contains(csDestroying))
            continue;
        if (!active || form == activeChild) children.push_back(list.Items(i));
    }
    for (TdxBarManager* manager : children)
        UpdateFloatingBars(manager, active, false, activate.Other());
}

// Help asked of any window while a menu is open is the menu's: it goes to the form of the open
// menu's manager (where it would not get by itself).
HWND HelpTarget(const CWPSTRUCT& Call) {
    TCustomdxBarControl* active = Call.message == WM_HELP ? ActiveBar() : nullptr;
    TCustomForm* form =
        active != nullptr && active->Manager() != nullptr ? active->Manager()->ParentForm() : nullptr;
    if (form == nullptr || !form->HandleAllocated()) return Call.hwnd;
    TWinControl* control = FindVCLControlOfWindow(Call.hwnd);
    if (control != nullptr && GetParentForm(control) == form) return Call.hwnd;
    return form->Handle();
}

LRESULT BarCallWndProcHookProc(int Code, WPARAM Sent, LPARAM Info) {
    HookState& h = Hooks();
    if (Code >= 0 && !h.InCallWndProcHook) {
        TMessage message{0, Sent, Info, 0};
        const CWPSTRUCT& call = *TCallWndProcArgs(message).Info();
        // Nearly every message a window gets is none of the managers' business: those pass without
        // asking which manager, if any, owns the window.
        if (!ParentFormHandlesMessage(call.message) && call.message != WM_CHILDACTIVATE)
            return CallNextHookEx(h.callWndProc, Code, Sent, Info);
        const FlagScope inHook(h.InCallWndProcHook);
        if (TdxBarManager* manager = ManagerOfWindow(HelpTarget(call))) {
            ParentFormMessageHandler(manager, call.message, call.wParam, call.lParam);
        } else if (TdxBarManager* going =
                       call.message == WM_DESTROY ? ManagerOfGoingForm(call.hwnd) : nullptr) {
            ParentFormMessageHandler(going, call.message, call.wParam, call.lParam);
        } else if (call.message == WM_ACTIVATE && BarOfWindow(call.hwnd) == nullptr) {
            // A form docked in another one tells that one's manager of its activation.
            const HWND parent = GetParent(call.hwnd);
            TdxBarManager* parentManager = ManagerOfWindow(parent);
            if (parentManager != nullptr && IsWindowVisible(parent))
                ParentFormMessageHandler(parentManager, call.message, call.wParam, call.lParam);
        }
        if (call.message == WM_ACTIVATE) FrameActivated(call);
        // An MDI child activated or going: the frame's main menu bar follows.
        if (call.message == WM_CHILDACTIVATE || call.message == WM_DESTROY || call.message == WM_MDIACTIVATE)
            if (TdxBarManager* frame = MDIFrameManagerOf(call.hwnd)) UpdateMDIChildButtons(frame);
    }
    return CallNextHookEx(h.callWndProc, Code, Sent, Info);
}

} // namespace

void InstallBarHooks(TdxBarManager*) {
    // The manager is in the list already; its hint window comes with the hints.
    HookState& h = Hooks();
    const DWORD thread = GetCurrentThreadId();
    if (h.keyboard == nullptr)
        h.keyboard = SetWindowsHookEx(WH_KEYBOARD, &BarKeyboardHookProc, nullptr, thread);
    if (h.mouse == nullptr) h.mouse = SetWindowsHookEx(WH_MOUSE, &BarMouseHookProc, nullptr, thread);
    if (h.callWndProc == nullptr)
        h.callWndProc = SetWindowsHookEx(WH_CALLWNDPROC, &BarCallWndProcHookProc, nullptr, thread);
}

void RemoveBarHooks(TdxBarManager*) {
    if (BarManagerList().Count() > 0) return;
    HookState& h = Hooks();
    for (HHOOK* hook : {&h.callWndProc, &h.mouse, &h.keyboard}) {
        if (*hook != nullptr) UnhookWindowsHookEx(*hook);
        *hook = nullptr;
    }
    h.forwardedKeyPending = false;
    h.AltPressedAlone = false;
    h.keysBlockedBy = nullptr;
}

bool PassEditorKey(bool AltAlone, WPARAM Key, LPARAM KeyData) {
    HookState& h = Hooks();
    if (AltAlone) h.AltPressedAlone = true;
    const FlagScope owns(h.EditorOwnsKeys);
    return BarKeyboardHookProc(HC_ACTION, Key, KeyData) != 0;
}

void BlockKeys(HWND Loop) {
    Hooks().keysBlockedBy = Loop;
}

void UnblockKeys(HWND Loop) {
    HookState& h = Hooks();
    if (h.keysBlockedBy == Loop) h.keysBlockedBy = nullptr;
}

bool KeysBlocked() {
    // A loop whose window went (its toolbar took a new one, or went) never said it ended.
    HookState& h = Hooks();
    if (h.keysBlockedBy != nullptr && !IsWindow(h.keysBlockedBy)) h.keysBlockedBy = nullptr;
    return h.keysBlockedBy != nullptr;
}

bool AltPressedAlone() {
    return Hooks().AltPressedAlone;
}

void SetAltPressedAlone(bool Value) {
    Hooks().AltPressedAlone = Value;
}

bool BarHooksInstalled() {
    return Hooks().keyboard != nullptr;
}

bool MenuAnimationRunning() {
    for (BarControl* control : BarControls())
        if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(control); menu != nullptr && menu->Animating())
            return true;
    return false;
}

} // namespace bars
