#include "bars/windows/popup_menu_window.h"

#include <memory>

#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/object_links.h"
#include "platform/vcl/win_control.h"

namespace bars {

void ShowPopupMenuWindow(TdxBarPopupMenu* Menu, int X, int Y) {
    auto* window = dynamic_cast<TdxBarSubMenuControl*>(Menu->ItemLinks()->CreateBarControl());
    if (window == nullptr) return;
    window->SetRequestedPos(POINT{X, Y});
    window->SetOwnerWidth(Menu->OwnerWidth());
    window->SetOwnerHeight(Menu->OwnerHeight());
    window->SetParentBar(dynamic_cast<TCustomdxBarControl*>(Menu->ParentBarControl()));
    // A menu that belongs to a windowed control is owned by the control's window.
    if (auto* owner = dynamic_cast<TWinControl*>(Menu->Owner()); owner != nullptr && owner->HandleAllocated())
        window->SetParentWindow(owner->Handle());
    // The menu may be freed while its window shows: the window then tells nobody.
    const auto menu = std::make_shared<TcxObjectLinkPtr>(MakeObjectLink(Menu));
    window->OnPopup = [menu](TdxBarSubMenuControl*) {
        if ((*menu)->Ref != nullptr) static_cast<TdxBarPopupMenu*>((*menu)->Ref)->SetShowing(true);
    };
    window->OnCloseUp = [menu](TdxBarSubMenuControl*) {
        if ((*menu)->Ref != nullptr) static_cast<TdxBarPopupMenu*>((*menu)->Ref)->SetShowing(false);
    };
    window->SetAnimating(Menu->Animate());
    window->ShowMenu();
}

} // namespace bars
