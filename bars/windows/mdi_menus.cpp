#include "bars/windows/mdi_menus.h"

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/system_menu_item.h"
#include "bars/core/toolbar.h"
#include "platform/gui/mdi.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/form.h"

namespace bars {
namespace {

TCustomForm* LiveFormOfWindow(HWND Window) {
    auto* form = Window != nullptr ? dynamic_cast<TCustomForm*>(FindControl(Window)) : nullptr;
    return form != nullptr && !form->ComponentState().Contains(csDestroying) ? form : nullptr;
}

// Showing or hiding the child's menu bar re-arranges the child, never the frame's client.
template <class Change> void KeepingClientPlace(TdxBarManager* Manager, Change change) {
    HWND client = Manager->ParentForm() != nullptr ? Manager->ParentForm()->ClientHandle() : nullptr;
    RECT place{0, 0, 0, 0};
    if (client != nullptr) {
        GetWindowRect(client, place);
        MapWindowPoints(nullptr, GetParent(client), place);
    }
    change();
    if (client == nullptr || !IsWindow(client)) return;
    // The form forgets its client meanwhile, so that no alignment of its own moves it elsewhere.
    TCustomForm* form = Manager->ParentForm();
    form->SetClientHandle(nullptr);
    const ScopeGuard restore([form, client] { form->SetClientHandle(client); });
    MoveWindow(client, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE_);
}

void MergeChildMenu(TdxBarManager* Manager, TdxBar* Menu, TdxBarManager* ChildManager, TdxBar* ChildMenu) {
    if (Manager->OnMenuMerge) {
        Manager->OnMenuMerge(Manager, ChildManager, true);
        return;
    }
    const bool locked = Menu->RebuildLocked();
    Menu->SetRebuildLocked(true);
    for (int i = 0; i < ChildMenu->ItemLinks()->Count(); ++i)
        Menu->ItemLinks()->Add()->Assign(ChildMenu->ItemLinks()->Items(i));
    Menu->SetRebuildLocked(locked);
}

void UnmergeChildMenu(TdxBarManager* Manager, TdxBar* Menu, TdxBarManager* ChildManager, bool KeepLocked) {
    const bool locked = Menu->RebuildLocked();
    Menu->SetRebuildLocked(true);
    TdxBarItemLinks* links = Menu->ItemLinks();
    for (int i = links->Count() - 1; i >= 0; --i)
        if (TdxBarItem* item = links->Items(i)->Item(); item != nullptr && item->BarManager() == ChildManager)
            delete links->Items(i);
    if (!KeepLocked) Menu->SetRebuildLocked(locked);
    if (Manager->OnMenuMerge) Manager->OnMenuMerge(Manager, ChildManager, false);
}

} // namespace

HWND MaximizedMDIChild(TdxBarManager* Manager) {
    if (Manager == nullptr || !Manager->MDIChildZoomed() || Manager->ParentForm() == nullptr) return nullptr;
    HWND client = Manager->ParentForm()->ClientHandle();
    HWND active =
        client != nullptr ? reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
    return active != nullptr && IsZoomed(active) && GetSystemMenu(active, FALSE_) != nullptr ? active
                                                                                             : nullptr;
}

TdxBarManager* MDIFrameManagerOf(HWND Window) {
    HWND client = Window != nullptr ? GetParent(Window) : nullptr;
    char name[16] = {};
    if (client == nullptr || GetClassName(client, name, sizeof name) == 0 ||
        !SameText(name, pw::gui::kMDIClientClass))
        return nullptr;
    TCustomForm* frame = LiveFormOfWindow(GetParent(client));
    TdxBarManager* manager = frame != nullptr ? FindBarManagerOfForm(frame) : nullptr;
    return manager != nullptr && !manager->IsDestroying() ? manager : nullptr;
}

void UpdateMDIChild(TdxBarManager* Manager, HWND Child, bool Activate, bool SkipMerge, bool KeepLocked) {
    TdxBar* menu = Manager != nullptr ? Manager->MainMenuBar() : nullptr;
    if (menu == nullptr) return;
    // The system entry goes whatever becomes of the child's form (it may be half gone already).
    if (!Activate) RemoveSystemMenuItem(Manager);
    TCustomForm* childForm = LiveFormOfWindow(Child);
    if (childForm == nullptr) return;
    if (Activate && IsZoomed(Child)) AddSystemMenuItem(Manager, Child);
    TdxBarManager* childManager = FindBarManagerOfForm(childForm);
    TdxBar* childMenu = childManager != nullptr ? childManager->MainMenuBar() : nullptr;
    if (SkipMerge || childMenu == nullptr) return;
    if (Activate) {
        if (!Manager->AlwaysMerge() && !IsZoomed(Child)) return;
        Manager->SetChildMenuWasVisible(childMenu->Visible());
        MergeChildMenu(Manager, menu, childManager, childMenu);
        KeepingClientPlace(Manager, [childMenu] { childMenu->SetVisible(false); });
    } else {
        UnmergeChildMenu(Manager, menu, childManager, KeepLocked);
        KeepingClientPlace(Manager, [Manager, childMenu] {
            if (!Manager->AlwaysMerge() && !childMenu->Visible()) childMenu->SetVisible(true);
        });
    }
}

void UpdateMDIChildButtons(TdxBarManager* Manager) {
    HWND client = Manager != nullptr && Manager->ParentForm() != nullptr
                      ? Manager->ParentForm()->ClientHandle()
                      : nullptr;
    if (client == nullptr) return;
    HWND active = reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0));
    const bool oldZoomed = Manager->MDIChildZoomed();
    Manager->SetMDIChildZoomed(active != nullptr && IsZoomed(active));
    TdxBar* menu = Manager->MainMenuBar();
    const bool locked = menu != nullptr && menu->RebuildLocked();
    {
        // The bar stays locked from taking the old child's menus away to putting the new ones on.
        const ScopeGuard unlock([menu, locked] {
            if (menu != nullptr) menu->SetRebuildLocked(locked);
        });
        if (active != Manager->LastActiveMDIChild()) {
            UpdateMDIChild(Manager, Manager->LastActiveMDIChild(), false, false, true);
            UpdateMDIChild(Manager, active, true, false, false);
        } else if (oldZoomed != Manager->MDIChildZoomed()) {
            UpdateMDIChild(Manager, active, Manager->MDIChildZoomed(), Manager->AlwaysMerge(), false);
        }
    }
    if (oldZoomed != Manager->MDIChildZoomed() && menu != nullptr && menu->Control() != nullptr)
        menu->Control()->RepaintBar();
    Manager->SetLastActiveMDIChild(active);
}

} // namespace bars
