#include "bars/windows/customizing_popup.h"

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/loop_call.h"
#include "bars/windows/owned_items.h"
#include "lookandfeel/object_links.h"
#include "platform/rtl/scope_guard.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace bars {
namespace {

constexpr int NoChoice = 1000;

// The menu's own items, freed once it has closed (its links go first).
struct PopupItems {
    std::unique_ptr<TdxBarPopupMenu> menu;
    std::vector<std::unique_ptr<TdxBarItem>> items;
    ~PopupItems() { menu.reset(); }
};

struct Choice {
    int tag = NoChoice;
    std::string text;
};

// The customizing popup open now, one in the process at a time as menus are.
struct OpenPopup {
    TdxBarItemLink* link = nullptr;
    TdxBarPopupMenu* menu = nullptr;
};
OpenPopup& Open() {
    static OpenPopup open;
    return open;
}

// The caption entry answers from inside its edit window: the menu closes from the loop.
void CloseOpenPopup() {
    if (TdxBarPopupMenu* menu = Open().menu)
        if (BarControl* window = menu->ItemLinks()->BarControl()) window->HideAll();
}

class Builder {
public:
    Builder(PopupItems& Popup, TdxBarManager* Manager, Choice& Chosen)
        : popup_(Popup), manager_(Manager), chosen_(Chosen) {}

    TdxBarButton* Button(int Tag, int Caption, bool Check = false, bool Down = false) {
        auto* button = AddOwnedItem<TdxBarButton>(popup_.items, manager_);
        button->SetCaption(LoadBarString(Caption));
        button->SetTag(Tag);
        if (Check) {
            button->SetButtonStyle(bsChecked);
            button->SetDown(Down);
        }
        button->SetOnClick([&chosen = chosen_, Tag](TObject*) { chosen.tag = Tag; });
        return button;
    }
    void Add(TdxBarItemLinks* Links, TdxBarItem* Item, bool Group) {
        TdxBarItemLink* link = Links->Add();
        link->SetItem(Item);
        link->SetBeginGroup(Group);
    }

    void DesignEntries(TdxBarItemLinks* Links, bool OnToolbar) {
        auto* addItem = AddOwnedItem<TdxBarSubItem>(popup_.items, manager_);
        addItem->SetCaption(LoadBarString(barstr::AddItem));
        addItem->SetTag(cpAddItem);
        for (int i = 0; i < GetAddListItemClassCount(); ++i) {
            auto* entry = AddOwnedItem<TdxBarButton>(popup_.items, manager_);
            entry->SetCaption(GetAddListItemClass(i)->ItemClassName);
            const int tag = cpAddItemClassBase - i;
            entry->SetTag(tag);
            entry->SetOnClick([&chosen = chosen_, tag](TObject*) { chosen.tag = tag; });
            Add(addItem->ItemLinks(), entry, false);
        }
        Add(Links, addItem, false);
        Add(Links, Button(cpAddButton, barstr::AddButton), false);
        Add(Links, Button(cpAddSubItem, barstr::AddSubItem), false);
        if (OnToolbar) Add(Links, Button(cpDeleteBar, barstr::DeleteBar), true);
    }

    void LinkEntries(TdxBarItemLinks* Links, TdxBarItemLink* Link) {
        Add(Links, Button(cpReset, barstr::ResetLink), true);
        Add(Links, Button(cpDelete, barstr::DeleteLink), false);
        auto* caption = AddOwnedItem<TdxBarEdit>(popup_.items, manager_);
        caption->SetCaption(LoadBarString(manager_->Designing() ? barstr::CaptionLabel : barstr::NameLabel));
        caption->SetShowCaption(true);
        caption->SetTag(cpCaption);
        caption->SetText(Link->Caption());
        caption->OnChange = [&chosen = chosen_, caption](TObject*) {
            chosen.tag = cpCaption;
            chosen.text = caption->Text();
            CallFromLoop(&CloseOpenPopup);
        };
        Add(Links, caption, true);
        const TdxBarPaintStyle style = Link->PaintStyle();
        Add(Links, Button(cpDefaultStyle, barstr::DefaultStyle, true, style == psStandard), true);
        Add(Links, Button(cpTextOnlyAlways, barstr::TextOnlyAlways, true, style == psCaption), false);
        Add(Links, Button(cpTextOnlyInMenus, barstr::TextOnlyInMenus, true, style == psCaptionInMenu), false);
        Add(Links, Button(cpImageAndText, barstr::ImageAndText, true, style == psCaptionGlyph), false);
        Add(Links, Button(cpBeginGroup, barstr::BeginAGroup, true, Link->StoredBeginGroup()), true);
        Add(Links, Button(cpVisible, barstr::VisibleCommand, true, Link->Visible()), false);
        Add(Links, Button(cpMostRecentlyUsed, barstr::MostRecentlyUsed, true, Link->MostRecentlyUsed()),
            false);
    }

private:
    PopupItems& popup_;
    TdxBarManager* manager_;
    Choice& chosen_;
};

// A new item of the chosen kind, after Link (at the end without one), in Link's category.
void AddNewItem(TdxBarManager* Manager, TCustomdxBarControl* Bar, TdxBarItemLink* Link, int Tag) {
    TComponent* owner = Manager->Owner();
    TdxBarItem* item = nullptr;
    const bool notify = Manager->NotifyDesigner();
    Manager->SetNotifyDesigner(false);
    const ScopeGuard restore([Manager, notify] { Manager->SetNotifyDesigner(notify); });
    if (Tag == cpAddButton) {
        item = new TdxBarButton(owner);
    } else if (Tag == cpAddSubItem) {
        item = new TdxBarSubItem(owner);
    } else if (const TRegItemRecord* record = GetAddListItemClass(cpAddItemClassBase - Tag)) {
        item = dynamic_cast<TdxBarItem*>(record->ItemClass(owner));
    }
    if (item == nullptr) return;
    const int category = Link != nullptr && Link->Item() != nullptr ? Link->Item()->Category() : 0;
    item->SetCategory(category >= 0 && category < Manager->Categories()->Count() ? category : 0);
    item->SetName(GetUniqueItemName(Manager, item));
    item->SetCaption("New Item");
    if (const CustomizingReceiver* window = Customizing()) window->CommandCategoryChanged(item);
    TdxBarItemLinks* links = Bar->ItemLinks();
    const int index = Link != nullptr ? Link->Index() + 1 : links->Count();
    auto* added = static_cast<TdxBarItemLink*>(links->Insert(index));
    added->SetItem(item);
    Bar->RepaintBar();
    auto* control = dynamic_cast<TdxBarItemControl*>(added->Control());
    const RECT r = added->ItemRect();
    if (control != nullptr && r.right > r.left && r.bottom > r.top) Bar->SelectControlByKey(control);
}

void SetCaption(TdxBarManager* Manager, TdxBarItemLink* Link, const std::string& Text) {
    if (Text.empty()) {
        if (Application != nullptr)
            Application->MessageBox(LoadBarString(barstr::BlankCommandName), Application->Title(),
                                    MB_ICONERROR);
        return;
    }
    if (Text == Link->Caption()) return;
    if (Manager->Designing() && Link->Item() != nullptr) {
        Manager->SetCustomizingPopupEditing(true);
        const ScopeGuard done([Manager] { Manager->SetCustomizingPopupEditing(false); });
        Link->Item()->SetCaption(Text);
    } else {
        Link->SetUserCaption(Text);
    }
}

// Runs the chosen entry once the menu has gone; the link and the bar were checked to be alive.
void Apply(int Tag, const std::string& Text, TdxBarManager* Manager, TCustomdxBarControl* Bar,
           TdxBarItemLink* Link) {
    if (Tag == cpAddButton || Tag == cpAddSubItem || Tag <= cpAddItemClassBase) {
        AddNewItem(Manager, Bar, Link, Tag);
        return;
    }
    if (Tag == cpDeleteBar) {
        if (auto* bar = dynamic_cast<TdxBar*>(Bar->ItemLinks()->LinksOwner())) delete bar;
        return;
    }
    if (Link == nullptr) return;
    switch (Tag) {
    case cpReset:
        Link->SetUserDefine(TdxBarUserDefines{});
        break;
    case cpDelete:
        delete Link;
        break;
    case cpCaption:
        SetCaption(Manager, Link, Text);
        break;
    case cpDefaultStyle:
    case cpTextOnlyAlways:
    case cpTextOnlyInMenus:
    case cpImageAndText:
        Link->SetUserPaintStyle(static_cast<TdxBarPaintStyle>(psStandard + (Tag - cpDefaultStyle)));
        break;
    case cpBeginGroup:
        Link->SetBeginGroup(!Link->StoredBeginGroup());
        break;
    case cpVisible:
        Link->SetVisible(!Link->Visible());
        break;
    case cpMostRecentlyUsed:
        Link->SetMostRecentlyUsed(!Link->MostRecentlyUsed());
        break;
    default:
        break;
    }
}

} // namespace

TdxBarItemLink* CustomizingLink() {
    return Open().link;
}

void ShowCustomizingPopup(TCustomdxBarControl* Bar, TdxBarItemLink* Link, POINT Screen) {
    TdxBarManager* manager = Bar != nullptr ? Bar->Manager() : nullptr;
    if (manager == nullptr || Open().menu != nullptr || (Link == nullptr && !manager->Designing())) return;
    const TcxObjectLinkPtr barAlive = MakeObjectLink(Bar);
    const TcxObjectLinkPtr linkAlive = MakeObjectLink(Link);
    Choice chosen;
    {
        PopupItems popup;
        popup.menu = std::make_unique<TdxBarPopupMenu>(nullptr);
        popup.menu->SetBarManager(manager);
        // Its lines click although the bars around are customized.
        popup.menu->IgnoresCustomizing = true;
        Builder build(popup, manager, chosen);
        TdxBarItemLinks* links = popup.menu->ItemLinks();
        if (manager->Designing()) build.DesignEntries(links, Bar->IsToolbar() && Link != nullptr);
        if (Link != nullptr) build.LinkEntries(links, Link);
        manager->DoShowCustomizingPopup(links);
        if (links->Count() == 0) return;
        Open() = OpenPopup{Link, popup.menu.get()};
        const ScopeGuard closed([] { Open() = OpenPopup{}; });
        popup.menu->Popup(Screen.x, Screen.y);
    }
    if (barAlive->Ref == nullptr) return;
    TdxBarItemLink* link = Link != nullptr && linkAlive->Ref != nullptr ? Link : nullptr;
    // The bar lets go of the selection the right click gave the link.
    if (link != nullptr && link->Control() != nullptr && manager->SelectedItem() == link->Control())
        manager->SetSelectedItem(nullptr);
    Bar->SelectControlByKey(nullptr);
    if (chosen.tag != NoChoice && (Link == nullptr || link != nullptr))
        Apply(chosen.tag, chosen.text, manager, Bar, link);
}

void PostCustomizingPopup(TCustomdxBarControl* Bar, TdxBarItemLink* Link, POINT Screen) {
    if (Bar == nullptr) return;
    // The function object the loop keeps must be copyable: the links are shared with it.
    std::shared_ptr<TcxObjectLink> barAlive = MakeObjectLink(Bar), linkAlive = MakeObjectLink(Link);
    CallFromLoop([Bar, barAlive, Link, linkAlive, Screen] {
        if (barAlive->Ref != nullptr && (Link == nullptr || linkAlive->Ref != nullptr))
            ShowCustomizingPopup(Bar, Link, Screen);
    });
}

} // namespace bars
