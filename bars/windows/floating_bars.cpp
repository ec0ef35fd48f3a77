#include "bars/windows/floating_bars.h"

#include <algorithm>
#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/item_control.h"
#include "lookandfeel/monitor.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace bars {
namespace {

// The managers whose floating bars are being updated: showing a bar can activate the form again.
std::vector<TdxBarManager*>& Busy() {
    static std::vector<TdxBarManager*> busy;
    return busy;
}

std::vector<HWND> FloatingWindows(TdxBarManager* Manager, bool VisibleBarsOnly) {
    std::vector<HWND> windows;
    for (int i = 0; i < Manager->Bars()->Count(); ++i) {
        TdxBar* bar = Manager->Bars()->Items(i);
        BarControl* control = bar->Control();
        if (bar->DockingStyle() != dsNone || control == nullptr || control->Handle() == nullptr) continue;
        if (VisibleBarsOnly && !bar->Visible()) continue;
        windows.push_back(control->Handle());
    }
    return windows;
}

bool HasStyle(TdxBarManager* Manager, TFormStyle Style) {
    return Manager != nullptr && Manager->ParentForm() != nullptr &&
           Manager->ParentForm()->FormStyle() == Style;
}

// The open menu chain of this manager goes with the activation, and so does one of an MDI child's
// manager when its frame loses it, unless that chain's edit is just taking the focus.
bool ActiveBarShouldClose(TdxBarManager* Manager, TCustomdxBarControl* Active) {
    if (Active->Manager() == Manager) return true;
    if (!HasStyle(Manager, fsMDIForm) || !HasStyle(Active->Manager(), fsMDIChild)) return false;
    const TdxBarItemControl* selected = Active->Selected();
    return selected == nullptr || !selected->IsWindowControl() || !selected->IsStartingEdit();
}

// The other window is part of this program's work with the form, not another form or program: the
// customizing window of this manager counts as such a part while it customizes.
bool KeepsFloatingBars(TdxBarManager* Manager, HWND Other, HWND Form) {
    if (Other == nullptr || !IsWindow(Other)) return false;
    if (dynamic_cast<TCustomForm*>(FindVCLControlOfWindow(Other)) != nullptr &&
        !(Manager->IsCustomizing() && Other == CustomizingFormWindow()))
        return false;
    DWORD process = 0, formProcess = 0;
    GetWindowThreadProcessId(Other, &process);
    GetWindowThreadProcessId(Form, &formProcess);
    if (process != formProcess) return false;
    TCustomForm* mainForm = Application != nullptr ? Application->MainForm() : nullptr;
    return !(mainForm != nullptr && mainForm->HandleAllocated() && mainForm->Handle() == Other);
}

} // namespace

void UpdateFloatingBars(TdxBarManager* Manager, bool Active, bool Force, HWND Other) {
    if (Manager == nullptr || Manager->ParentForm() == nullptr) return;
    auto& busy = Busy();
    if (std::find(busy.begin(), busy.end(), Manager) != busy.end()) return;
    busy.push_back(Manager);
    struct Done {
        TdxBarManager* manager;
        ~Done() { std::erase(Busy(), manager); }
    } done{Manager};

    const bool hide = Manager->HideFloatingBarsWhenInactive() || Force;
    if (!hide)
        for (HWND window : FloatingWindows(Manager, false))
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    TCustomForm* form = Manager->ParentForm();
    const HWND formHandle = form->HandleAllocated() ? form->Handle() : nullptr;
    if (Active) {
        if (formHandle != nullptr && IsIconic(formHandle)) return;
        for (HWND window : FloatingWindows(Manager, true))
            ShowWindow(window, SW_SHOWNOACTIVATE);
        return;
    }
    if (Other != nullptr && formHandle != nullptr && GetParent(Other) == formHandle) return;
    if (auto* active = dynamic_cast<TCustomdxBarControl*>(GetActiveBarControl());
        active != nullptr && ActiveBarShouldClose(Manager, active))
        active->HideAll();
    if (!hide || KeepsFloatingBars(Manager, Other, formHandle)) return;
    for (HWND window : FloatingWindows(Manager, false))
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (formHandle != nullptr) SendMessage(formHandle, WM_NCACTIVATE, 0, 0);
}

void RefitFloatingBars(TdxBarManager* Manager) {
    TCustomForm* form = Manager != nullptr ? Manager->ParentForm() : nullptr;
    if (form == nullptr) return;
    const TRect bounds = form->BoundsRect();
    const RECT area =
        GetMonitorWorkArea(POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    for (int i = 0; i < Manager->Bars()->Count(); ++i) {
        TdxBar* bar = Manager->Bars()->Items(i);
        if (bar->DockingStyle() != dsNone) continue;
        BarControl* control = bar->Control();
        const HWND window = control != nullptr ? control->Handle() : nullptr;
        RECT r{bar->FloatLeft(), bar->FloatTop(), bar->FloatLeft() + bar->FloatClientWidth(),
               bar->FloatTop() + bar->FloatClientHeight()};
        if (window != nullptr) GetWindowRect(window, r);
        // Each edge in turn, the top and left last: a bar larger than the area keeps its top-left in.
        RECT fitted = r;
        if (fitted.bottom > area.bottom) OffsetRect(fitted, 0, area.bottom - fitted.bottom);
        if (fitted.top < area.top) OffsetRect(fitted, 0, area.top - fitted.top);
        if (fitted.right > area.right) OffsetRect(fitted, area.right - fitted.right, 0);
        if (fitted.left < area.left) OffsetRect(fitted, area.left - fitted.left, 0);
        if (EqualRect(fitted, r)) continue;
        if (window != nullptr) {
            SetWindowPos(window, nullptr, fitted.left, fitted.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            bar->SetFloatLeft(fitted.left);
            bar->SetFloatTop(fitted.top);
        }
    }
}

} // namespace bars
