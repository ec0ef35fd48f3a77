#include "bars/windows/popup_menu_window.h"

#include <memory>

#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/windows/item_control.h"
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
    window->SetPlacement(Menu->Placement);
    window->SetIgnoresCustomizing(Menu->IgnoresCustomizing);
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
    // A drop-down button's menu: the button gets it back when it closes; a menu it lies in holds it as
    // its open child, and the item it opened from is drawn joined to it where the style does.
    auto* opener = dynamic_cast<TdxBarButtonControl*>(Menu->OpenerControl());
    auto* parent = dynamic_cast<TCustomdxBarControl*>(Menu->ParentBarControl());
    if (opener != nullptr) window->SetDropDownOwner(opener);
    if (Menu->ExcludeRect() && parent != nullptr) window->SetOwnerItem(*Menu->ExcludeRect(), parent);
    if (opener != nullptr && parent != nullptr && !parent->IsToolbar()) parent->SetChildBar(window);
    const bool byKeyboard = opener != nullptr && !Menu->OpenedByMouse();
    const TcxObjectLinkPtr alive = MakeObjectLink(window);
    window->ShowMenu();
    if (!byKeyboard || alive->Ref == nullptr || !window->Alive() || window->Handle() == nullptr) return;
    window->SelectFirstLine();
}

} // namespace bars
