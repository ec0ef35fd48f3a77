// What a manager does with its form's messages, which the call-window-procedure hook hands over.
#include <cstdio>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/storage/layout_storing.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/floating_bars.h"
#include "bars/windows/item_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

bool IsBarWindowOf(TdxBarManager* Manager, HWND Window) {
    if (Window == nullptr) return false;
    for (BarControl* control : BarControls()) {
        auto* links = control->ItemLinks();
        if (control->Handle() == Window && links != nullptr && links->BarManager() == Manager) return true;
    }
    return false;
}

void FormActivated(TdxBarManager* Manager, TWMActivate Message) {
    // The form's own menus and toolbars never take the activation for long: losing it to one of them
    // is no loss.
    if (Message.Active() == WA_INACTIVE && IsBarWindowOf(Manager, Message.Other())) return;
    const bool active = Message.Active() != WA_INACTIVE;
    const TcxObjectLinkPtr alive = MakeObjectLink(Manager);
    Manager->SetParentFormActive(active);
    UpdateFloatingBars(Manager, active, false, Message.Other());
    if (!active || alive->Ref == nullptr || !Manager->IsCustomizing()) return;
    // The customizing window disabled the form; a click on it that made it the active window anyway
    // (the desktop activates what is clicked) gives the activation to the customizing window. Its
    // answer, the message passed back to the form, arrives while the hook that called us still runs and
    // goes no further; nor does the message that window passes on whenever it becomes active, which
    // leaves the form inactive. While a dialog of that window's own disabled it too, the window system
    // passes the activation on to the dialog instead.
    TCustomForm* form = Manager->ParentForm();
    const HWND customizing = CustomizingFormWindow();
    if (form->HandleAllocated() && !IsWindowEnabled(form->Handle()) && GetActiveWindow() == form->Handle() &&
        customizing != nullptr && IsWindowVisible(customizing) && IsWindowEnabled(customizing))
        Message.ForwardTo(customizing);
}

// An MDI child form's bars follow its activation inside the frame.
void MDIActivated(TdxBarManager* Manager, TCustomForm* Form, TWMMDI Message) {
    Manager->SetParentFormActive(Form->HandleAllocated() && Message.Activated() == Form->Handle());
    UpdateFloatingBars(Manager, Manager->ParentFormActive(), false, nullptr);
}

// A form about to be hidden takes its floating toolbars along.
void WindowPosChanging(TdxBarManager* Manager, TWMWindowPosMsg Message) {
    const WINDOWPOS* pos = Message.WindowPos();
    if (pos == nullptr || (pos->flags & SWP_HIDEWINDOW) == 0) return;
    Manager->SetParentFormActive(false);
    UpdateFloatingBars(Manager, false, true, nullptr);
}

// The customizing window (and the sub-menu editor) show and hide with the customized form.
void WindowPosChanged(TdxBarManager* Manager, TWMWindowPosMsg Message) {
    const WINDOWPOS* pos = Message.WindowPos();
    if (pos == nullptr || !Manager->IsCustomizing() || (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) == 0)
        return;
    if (const CustomizingReceiver* window = Customizing())
        window->ParentFormShown(Manager, (pos->flags & SWP_SHOWWINDOW) != 0);
}

void AppActivated(TdxBarManager* Manager, TWMFlag Message) {
    if (Message.On()) return;
    Manager->SetParentFormActive(false);
    const TcxObjectLinkPtr alive = MakeObjectLink(Manager);
    UpdateFloatingBars(Manager, false, false, nullptr);
    if (alive->Ref == nullptr) return;
    // The item under the pointer stops being hot: the pointer may never come back over it.
    if (ItemControl* selected = Manager->SelectedItem()) {
        BarControl* bar = selected->Parent();
        if (bar != nullptr && bar->Handle() != nullptr) SendMessage(bar->Handle(), WM_MOUSELEAVE, 0, 0);
    }
    Manager->SetSelectedItem(nullptr);
}

void SysColorChanged(TdxBarManager* Manager) {
    RefreshBarUnitColors();
    Manager->RecreateBrushes();
    Manager->RefreshAll();
    // The children of an MDI frame are no top-level windows: the frame's message is theirs too.
    TCustomForm* form = Manager->ParentForm();
    if (form->FormStyle() != fsMDIForm || form->ClientHandle() == nullptr) return;
    std::vector<TdxBarManager*> children;
    for (HWND w = GetWindow(form->ClientHandle(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        auto* child = dynamic_cast<TCustomForm*>(FindControl(w));
        if (child == nullptr || child->FormStyle() != fsMDIChild) continue;
        if (TdxBarManager* manager = FindBarManagerOfForm(child)) children.push_back(manager);
    }
    for (TdxBarManager* manager : children)
        ParentFormMessageHandler(manager, WM_SYSCOLORCHANGE, 0, 0);
}

// The desktop's fonts or work area changed: the bars take the new menu font, and floating bars come
// back inside the new work area.
void SettingChanged(TdxBarManager* Manager, TWMSettingChange Message) {
    if (Message.Flag() == SPI_SETNONCLIENTMETRICS) Manager->ReadSystemFont();
    if (Message.Flag() == SPI_SETWORKAREA) RefitFloatingBars(Manager);
}

// F1 on an open menu: the help of the line selected, or of the line that opened its menu, or of one
// further up. Without an open menu, the line under the pointer on the bar window that asked.
void HelpAsked(TdxBarManager* Manager, TWMHelp Message) {
    const HELPINFO* info = Message.HelpInfo();
    if (Manager->Designing() || info == nullptr || info->iContextType != HELPINFO_MENUITEM) return;
    const TdxBarItemControl* found = nullptr;
    auto hasHelp = [](const TdxBarItemControl* Control) {
        return Control != nullptr && Control->Item() != nullptr && Control->Item()->HelpContext() != 0;
    };
    if (auto* active = dynamic_cast<TCustomdxBarControl*>(GetActiveBarControl())) {
        // A menu's parent window has the control that opened it selected.
        for (TCustomdxBarControl* bar = active; bar != nullptr && found == nullptr; bar = bar->ParentBar())
            if (hasHelp(bar->Selected())) found = bar->Selected();
    } else {
        for (BarControl* control : BarControls()) {
            auto* bar = dynamic_cast<TCustomdxBarControl*>(control);
            if (bar == nullptr || bar->Handle() == nullptr || bar->Handle() != info->hItemHandle) continue;
            POINT p = info->MousePos;
            ScreenToClient(bar->Handle(), p);
            if (TdxBarItemControl* under = bar->ItemAtPos(p); hasHelp(under)) found = under;
            break;
        }
    }
    // Read before the menus close: closing frees their controls.
    const int context = found != nullptr ? found->Item()->HelpContext() : 0;
    const RECT r = found != nullptr ? found->ScreenRect() : RECT{0, 0, 0, 0};
    TdxBarManager::HideActiveBarControl();
    // A bar window has no help context of its own to fall back on.
    if (context == 0 || Application == nullptr) return;
    TCustomForm* form = Manager->ParentForm();
    if (form != nullptr && form->BorderIcons().Contains(biHelp)) {
        Application->HelpCommand(HELP_SETPOPUP_POS, MAKELPARAM(static_cast<WORD>((r.left + r.right) / 2),
                                                               static_cast<WORD>(r.bottom)));
        Application->HelpCommand(HELP_CONTEXTPOPUP, context);
    } else {
        Application->HelpContext(context);
    }
}

// A minimized or closing form takes its floating toolbars along.
void SysCommand(TdxBarManager* Manager, TWMSysCommand Message) {
    const WPARAM command = Message.CmdType();
    const bool hide = command == SC_MINIMIZE || command == SC_CLOSE;
    const bool show = command == SC_MAXIMIZE || command == SC_RESTORE;
    if (!hide && !show) return;
    for (int i = 0; i < Manager->Bars()->Count(); ++i) {
        TdxBar* bar = Manager->Bars()->Items(i);
        BarControl* window = bar->Control();
        if (bar->DockingStyle() != dsNone || !bar->Visible() || window == nullptr ||
            window->Handle() == nullptr)
            continue;
        ShowWindow(window->Handle(), hide ? SW_HIDE : SW_SHOWNOACTIVATE);
        if (show) window->RepaintBar();
    }
}

// The hook that delivers the form's WM_DESTROY has no one to hand a failure to: a store that cannot be
// written is reported on stderr and the form goes on closing.
void SaveLayoutAsFormGoes(TdxBarManager* Manager) {
    try {
        SaveStoredLayout(Manager);
    } catch (const Exception& e) {
        std::fprintf(stderr, "The toolbar layout could not be stored: %s\n", e.Message().c_str());
    }
}

// The form has a new window: the dock sites get theirs and the bars that went with the old one show
// again, the last one gone first.
void FormCreated(TdxBarManager* Manager) {
    if (!Manager->HasBarsToShow()) return;
    for (int i = 0; i < Manager->DockControlCount(); ++i)
        if (DockControl* site = Manager->DockControls(i)) (void)site->Handle();
    const std::vector<TdxBar*> bars = *Manager->BarsToShow();
    Manager->FreeBarsToShow();
    for (auto it = bars.rbegin(); it != bars.rend(); ++it)
        (*it)->SetVisible(true);
}

} // namespace

// Keep in step with the switch below: a message left out here never reaches it.
bool ParentFormHandlesMessage(UINT Msg) {
    switch (Msg) {
    case WM_DESTROY:
    case WM_CREATE:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_HELP:
    case WM_SYSCOMMAND:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MDIACTIVATE:
        return true;
    default:
        return false;
    }
}

void ParentFormMessageHandler(TdxBarManager* Manager, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TCustomForm* form = Manager != nullptr ? Manager->ParentForm() : nullptr;
    // The form's components are marked as going with it, the manager too: its layout is written now,
    // while all of it still stands.
    if (Msg == WM_DESTROY && form != nullptr && form->ComponentState().Contains(csDestroying) &&
        !Manager->Designing())
        return SaveLayoutAsFormGoes(Manager);
    if (form == nullptr || form->ComponentState().Contains(csDestroying) || Manager->IsDestroying()) return;
    TMessage message{Msg, WParam, LParam, 0};
    switch (Msg) {
    case WM_CREATE:
        return FormCreated(Manager);
    case WM_ACTIVATE:
        return FormActivated(Manager, TWMActivate(message));
    case WM_ACTIVATEAPP:
        return AppActivated(Manager, TWMFlag(message));
    case WM_SYSCOLORCHANGE:
        return SysColorChanged(Manager);
    case WM_SETTINGCHANGE:
        return SettingChanged(Manager, TWMSettingChange(message));
    case WM_DISPLAYCHANGE:
        return RefitFloatingBars(Manager);
    case WM_HELP:
        return HelpAsked(Manager, TWMHelp(message));
    case WM_SYSCOMMAND:
        return SysCommand(Manager, TWMSysCommand(message));
    case WM_WINDOWPOSCHANGING:
        return WindowPosChanging(Manager, TWMWindowPosMsg(message));
    case WM_WINDOWPOSCHANGED:
        return WindowPosChanged(Manager, TWMWindowPosMsg(message));
    case WM_MDIACTIVATE:
        if (form->FormStyle() == fsMDIChild) MDIActivated(Manager, form, TWMMDI(message));
        return;
    default:
        return;
    }
}

} // namespace bars
