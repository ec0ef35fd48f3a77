#include "bars/windows/toolbars_popup.h"

#include <memory>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/windows/loop_call.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars {
namespace {

struct PopupRequest {
    TdxBarManager* manager;
    POINT screen;
};

std::vector<PopupRequest>& PendingPopups() {
    static std::vector<PopupRequest> pending;
    return pending;
}

bool ManagerAlive(TdxBarManager* Manager) {
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i) == Manager) return true;
    return false;
}

void ShowPendingPopups() {
    std::vector<PopupRequest> requests;
    requests.swap(PendingPopups());
    for (const PopupRequest& r : requests)
        if (ManagerAlive(r.manager) && !r.manager->IsDestroying()) ShowToolbarsPopup(r.manager, r.screen);
}

} // namespace

void ShowToolbarsPopup(TdxBarManager* Manager, POINT Screen) {
    if (Manager == nullptr) return;
    std::vector<std::unique_ptr<TdxBarItem>> made;
    auto menu = std::make_unique<TdxBarPopupMenu>(nullptr);
    menu->SetBarManager(Manager);
    Manager->FillToolbarsPopup(menu->ItemLinks(), made);
    if (menu->ItemLinks()->Count() == 0) return;
    menu->Popup(Screen.x, Screen.y);
    // The menu goes before its buttons, which its links name.
    menu.reset();
}

void PostToolbarsPopup(TdxBarManager* Manager, POINT Screen) {
    if (Manager == nullptr) return;
    PendingPopups().push_back(PopupRequest{Manager, Screen});
    CallFromLoop(&ShowPendingPopups);
}

} // namespace bars
