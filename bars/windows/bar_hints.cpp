#include "bars/windows/bar_hints.h"

#include <memory>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/hint_window.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/item_control.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/shortcut.h"

namespace bars {

namespace {

enum class HintTimerKind { None, Show, Hide };

// The one hint of the process and its timers (see the header).
struct HintState {
    std::unique_ptr<TdxBarHintWindow> window;
    UINT_PTR hintTimer = 0;
    HintTimerKind hintTimerKind = HintTimerKind::None;
    UINT_PTR reshowTimer = 0;
    bool recentlyHidden = false;
    bool wanted = false;
    bool shown = false;
    TdxBarManager* manager = nullptr;
    std::string customText;
};

HintState& State() {
    static HintState state;
    return state;
}

// A manager that is still in the list and not going: a timer may act for it.
bool Alive(TdxBarManager* Manager) {
    if (Manager == nullptr || Manager->IsDestroying()) return false;
    for (int i = 0; i < BarManagerList().Count(); ++i)
        if (BarManagerList().Items(i) == Manager) return true;
    return false;
}

bool WindowVisible() {
    const HintState& s = State();
    return s.window != nullptr && s.window->HandleAllocated() && IsWindowVisible(s.window->Handle());
}

void HideWindow() {
    HintState& s = State();
    if (WindowVisible()) ShowWindow(s.window->Handle(), SW_HIDE);
    s.shown = false;
}

// The selected item control of the manager when its bar window is not in menu or keyboard mode.
TdxBarItemControl* HintControl(TdxBarManager* Manager) {
    auto* control = dynamic_cast<TdxBarItemControl*>(Manager->SelectedItem());
    if (control == nullptr || control->ParentBar() == nullptr || control->ParentBar()->IsActive())
        return nullptr;
    return control;
}

void OnHintTimer(HWND, UINT, uintptr_t Id, DWORD) {
    HintState& s = State();
    if (Id != s.hintTimer) return;
    const HintTimerKind kind = s.hintTimerKind;
    TdxBarManager* manager = s.manager;
    KillHintTimer();
    if (!Alive(manager)) {
        // The manager went while the timer was pending: nothing is shown for it, and nothing it
        // showed stays up.
        if (kind == HintTimerKind::Hide) HideWindow();
        return;
    }
    if (kind == HintTimerKind::Show)
        ShowHintNow(manager);
    else if (kind == HintTimerKind::Hide)
        UpdateHint(manager, false);
}

void OnReshowTimer(HWND, UINT, uintptr_t Id, DWORD) {
    if (Id == State().reshowTimer) KillReshowTimer();
}

void StartHintTimer(HintTimerKind Kind, unsigned Delay) {
    HintState& s = State();
    s.hintTimer = SetTimer(nullptr, 0, Delay, &OnHintTimer);
    s.hintTimerKind = s.hintTimer != 0 ? Kind : HintTimerKind::None;
}

// Nothing to show where a hint was wanted. When that hid a shown hint, a hinted control reached soon
// after shows its hint at once; a selection dropped by a click or a menu hid nothing and starts no such
// period, so the hint does not come straight back over the button just clicked.
void HideForNothing(bool Wanted) {
    HintState& s = State();
    const bool wasShown = WindowVisible();
    KillHintTimer();
    HideWindow();
    if (!Wanted || !wasShown) return;
    KillReshowTimer();
    s.recentlyHidden = true;
    s.reshowTimer = SetTimer(nullptr, 0, kHintReshowPeriod, &OnReshowTimer);
}

} // namespace

void HintsManagerGoing(TdxBarManager* Manager) {
    HintState& s = State();
    if (s.hintTimer != 0) {
        KillHintTimer();
        HideWindow();
    }
    KillReshowTimer();
    if (s.manager == Manager) {
        s.manager = nullptr;
        HideWindow();
    }
    // The window lives while any manager does.
    if (BarManagerList().Count() == 0) {
        s.window.reset();
        s.wanted = false;
    }
}

void KillHintTimer() {
    HintState& s = State();
    if (s.hintTimer != 0) KillTimer(nullptr, s.hintTimer);
    s.hintTimer = 0;
    s.hintTimerKind = HintTimerKind::None;
}

void KillReshowTimer() {
    HintState& s = State();
    if (s.reshowTimer != 0) KillTimer(nullptr, s.reshowTimer);
    s.reshowTimer = 0;
    s.recentlyHidden = false;
}

void CancelHint() {
    KillHintTimer();
    KillReshowTimer();
    HideWindow();
    State().wanted = false;
}

void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text) {
    if (Manager == nullptr || Manager->IsCustomizingOrDesigning() || !Manager->ShowHint()) return;
    HintState& s = State();
    if (!Show && !s.wanted) return;
    s.wanted = Show;
    s.customText = Text;
    s.shown = false;
    const bool something = Show && (!Text.empty() || HintControl(Manager) != nullptr);
    if (something) {
        KillHintTimer();
        if (!WindowVisible() && !s.recentlyHidden) {
            s.manager = Manager;
            StartHintTimer(HintTimerKind::Show, kHintShowDelay);
        } else {
            ShowHintNow(Manager);
        }
        return;
    }
    HideForNothing(Show);
}

void ShowHintNow(TdxBarManager* Manager) {
    HintState& s = State();
    if (!Alive(Manager)) return;
    TdxBarItemControl* control = nullptr;
    if (s.customText.empty()) {
        control = HintControl(Manager);
        if (control == nullptr) return;
    }
    POINT cursor{0, 0};
    GetCursorPos(cursor);
    if (control != nullptr) {
        // The hint is about the control under the pointer, not one selected by the keyboard.
        POINT client = cursor;
        HWND bar = control->ParentBar()->Handle();
        if (bar == nullptr) return;
        ScreenToClient(bar, client);
        if (control->ParentBar()->ItemAtPos(client) != control) return;
    }
    const POINT anchor{cursor.x, cursor.y + 20};
    std::string text = s.customText;
    if (control != nullptr) {
        text = GetShortHint(control->GetHint());
        TdxBarItem* item = control->Item();
        if (auto* action = dynamic_cast<TCustomAction*>(item != nullptr ? item->Action() : nullptr);
            action != nullptr && !action->DoHint(text)) {
            UpdateHint(Manager, false);
            return;
        }
    }
    if (text.empty()) {
        // A control without a hint counts as a place without one: the quick re-show period starts.
        HideForNothing(true);
        return;
    }
    if (control != nullptr && !control->GetEnabled() && !Manager->ShowHintForDisabledItems()) {
        UpdateHint(Manager, false);
        return;
    }
    if (control != nullptr &&
        (Manager->ShowShortCutInHint() || (Application != nullptr && Application->HintShortCuts()))) {
        const std::string shortCut = ShortCutToText(control->GetShortCut());
        if (!shortCut.empty()) text += " (" + shortCut + ")";
    }
    if (s.window == nullptr) s.window = std::make_unique<TdxBarHintWindow>(nullptr);
    s.window->ActivateHint(anchor, text, Manager);
    s.shown = true;
    s.manager = Manager;
    KillHintTimer();
    StartHintTimer(HintTimerKind::Hide, kHintHideDelay);
}

TdxBarHintWindow* BarHintWindow() {
    return State().window.get();
}

bool IsHintShown() {
    return State().shown && WindowVisible();
}

} // namespace bars

namespace bars_detail {

bool HintTimerPending() {
    return bars::State().hintTimer != 0;
}

bool ReshowTimerPending() {
    return bars::State().reshowTimer != 0;
}

bool HintRecentlyHidden() {
    return bars::State().recentlyHidden;
}

} // namespace bars_detail
