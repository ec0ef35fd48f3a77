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

bool ManagerAlive(TdxBarManager* Manager) {
    TdxBarManagerList& list = BarManagerList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i) == Manager) return true;
    return false;
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
    CallFromLoop([Manager, Screen] {
        if (ManagerAlive(Manager) && !Manager->IsDestroying()) ShowToolbarsPopup(Manager, Screen);
    });
}

} // namespace bars
