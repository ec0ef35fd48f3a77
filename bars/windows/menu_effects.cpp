#include "bars/windows/menu_effects.h"

#include <algorithm>
#include <memory>

#include "bars/core/bar_manager.h"
#include "bars/windows/menu_animation.h"
#include "bars/windows/menu_shadow.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars {

namespace {

RECT WindowRect(HWND Window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(Window, r);
    return r;
}

// The item the menu hangs from, on the screen; empty for a menu shown at a point.
RECT OwnerRect(const TdxBarSubMenuControl& Menu) {
    const ItemControl* owner = Menu.OpenedBy();
    return owner != nullptr ? owner->ScreenRect() : RECT{0, 0, 0, 0};
}

// What a menu's weak reference points at.
const void* Key(const TdxBarSubMenuControl& Menu) {
    return static_cast<const TCustomdxBarControl*>(&Menu);
}

} // namespace

bool StyleHasMenuShadow(const TdxBarSubMenuControl& Menu) {
    const TdxBarManager* manager = Menu.Manager();
    if (manager == nullptr) return false;
    switch (manager->GetEffectivePaintStyle()) {
    case bmsFlat:
    case bmsXP:
    case bmsOffice11:
        return true;
    default:
        return false;
    }
}

MenuEffects::MenuEffects() = default;

MenuEffects::~MenuEffects() = default;

void MenuEffects::Prune() {
    shadows_.erase(std::remove_if(shadows_.begin(), shadows_.end(),
                                  [](const Entry& e) { return e.menu == nullptr || e.menu->Ref == nullptr; }),
                   shadows_.end());
}

TdxBarShadow* MenuEffects::ShadowOf(const TdxBarSubMenuControl& Menu) const {
    for (const Entry& e : shadows_)
        if (e.menu != nullptr && e.menu->Ref == Key(Menu)) return e.shadow.get();
    return nullptr;
}

void MenuEffects::DropShadow(const TdxBarSubMenuControl& Menu) {
    shadows_.erase(
        std::remove_if(shadows_.begin(), shadows_.end(),
                       [&](const Entry& e) { return e.menu != nullptr && e.menu->Ref == Key(Menu); }),
        shadows_.end());
}

void MenuEffects::UpdateShadow(TdxBarSubMenuControl& Menu) {
    Prune();
    HWND window = Menu.Handle();
    if (window == nullptr || !StyleHasMenuShadow(Menu)) {
        DropShadow(Menu);
        return;
    }
    TdxBarShadow* shadow = ShadowOf(Menu);
    if (shadow == nullptr) {
        shadows_.push_back(Entry{MakeObjectLink(static_cast<TCustomdxBarControl*>(&Menu)),
                                 std::make_unique<TdxBarShadow>(window)});
        shadow = shadows_.back().shadow.get();
    }
    shadow->SetOwner(window);
    // No shadow while the menu is hidden or still unfolding.
    const bool visible = IsWindowVisible(window) && !Menu.Animating();
    if (!visible) shadow->SetVisible(false);
    shadow->SetRects(OwnerRect(Menu), WindowRect(window));
    if (visible) shadow->SetVisible(true);
}

void MenuEffects::Shown(TdxBarSubMenuControl& Menu) {
    UpdateShadow(Menu);
}

void MenuEffects::Moved(TdxBarSubMenuControl& Menu) {
    UpdateShadow(Menu);
}

void MenuEffects::Hiding(TdxBarSubMenuControl& Menu) {
    if (Menu.Handle() != nullptr) bars::StopAnimation(Menu.Handle(), true);
    DropShadow(Menu);
    Prune();
}

bool MenuEffects::StartAnimation(TdxBarSubMenuControl& Menu) {
    HWND window = Menu.Handle();
    if (window == nullptr) return false;
    const RECT bounds = WindowRect(window);
    RECT client{0, 0, 0, 0};
    GetClientRect(window, client);
    MenuAnimationSpec spec;
    spec.Style = Menu.Animation();
    spec.FinalPos = POINT{bounds.left, bounds.top};
    spec.FinalClient = SIZE{client.right, client.bottom};
    spec.Frame = SIZE{bounds.right - bounds.left - client.right, bounds.bottom - bounds.top - client.bottom};
    spec.FromRight = Menu.FlippedLeft();
    spec.FromBottom = Menu.FlippedUp();
    if (MenuAnimationPlan(spec).FrameCount() == 0) return false;
    // The menu may close before its animation ends.
    auto menu = std::make_shared<TcxObjectLinkPtr>(MakeObjectLink(static_cast<TCustomdxBarControl*>(&Menu)));
    // The finished picture, drawn once by the menu's own painting.
    auto paint = [&Menu, window](HDC DC) {
        Menu.SetAnimating(false);
        SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
        Menu.SetAnimating(true);
    };
    auto finished = [this, menu] {
        if ((*menu)->Ref == nullptr) return;
        auto* m = dynamic_cast<TdxBarSubMenuControl*>(static_cast<TCustomdxBarControl*>((*menu)->Ref));
        if (m == nullptr) return;
        m->SetAnimating(false);
        UpdateShadow(*m);
    };
    AnimateMenu(window, spec, paint, finished);
    return true;
}

void MenuEffects::StopAnimation(TdxBarSubMenuControl& Menu) {
    if (Menu.Handle() != nullptr) bars::StopAnimation(Menu.Handle());
}

// The effects of every menu window of the process (the shadows it keeps are the open menus').
MenuEffects& TheMenuEffects() {
    static MenuEffects effects;
    return effects;
}

void InstallMenuEffects() {
    SetMenuDecorator(&TheMenuEffects());
}

} // namespace bars
