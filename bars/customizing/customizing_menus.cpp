// The two menus of the customizing window's Commands page while the form is designed, on the window's
// own bar manager: one edits the categories, the other the commands.
#include <string>

#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/categories.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/customizing/checkable_button.h"
#include "bars/customizing/customizing_form.h"
#include "platform/gui/keys.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/shortcut.h"

namespace bars {

TdxBarButton* TdxBarCustomizingForm::MenuButton(TdxBarPopupMenu* Menu, int TextId, TShortCut Key, bool Group,
                                                void (TdxBarCustomizingForm::*Handler)()) {
    auto* button = new TdxBarButton(this);
    button->SetBarManager(BarManager1);
    button->SetCaption(LoadBarString(TextId));
    if (Key != 0) button->SetShortCut(Key);
    button->SetOnClick([this, Handler](TObject*) { (this->*Handler)(); });
    TdxBarItemLink* link = Menu->ItemLinks()->Add();
    link->SetItem(button);
    link->SetBeginGroup(Group);
    return button;
}

void TdxBarCustomizingForm::BuildDesignMenus() {
    BarManager1 = new TdxBarManager(this);
    BarManager1->SetFont(manager_->Font());
    BarManager1->Categories()->Clear();
    BarManager1->Categories()->Add("Categories");
    BarManager1->Categories()->Add("Commands");

    CategoriesPopupMenu = new TdxBarPopupMenu(this);
    CategoriesPopupMenu->SetBarManager(BarManager1);
    CategoriesPopupMenu->OnPopup = [this](TObject*) { CategoriesPopupMenuPopup(); };
    TdxBarPopupMenu* menu = CategoriesPopupMenu;
    CategoriesAdd = MenuButton(menu, barstr::Add, 0, false, &TdxBarCustomizingForm::CategoriesAddClick);
    CategoriesInsert = MenuButton(menu, barstr::Insert, ShortCut(VK_INSERT, {}), false,
                                  &TdxBarCustomizingForm::CategoriesInsertClick);
    CategoriesRename =
        MenuButton(menu, barstr::Rename, 0, false, &TdxBarCustomizingForm::CategoriesRenameClick);
    CategoriesVisible =
        MenuButton(menu, barstr::Visible, 0, true, &TdxBarCustomizingForm::CategoriesVisibleClick);
    CategoriesVisible->SetButtonStyle(bsChecked);
    CategoriesItemsVisible = new TdxBarCombo(this);
    CategoriesItemsVisible->SetBarManager(BarManager1);
    CategoriesItemsVisible->SetCaption("Items Visible:");
    CategoriesItemsVisible->SetWidth(100);
    CategoriesItemsVisible->SetShowEditor(false);
    for (const char* rule : {"Never", "InCustomizing", "Always"})
        CategoriesItemsVisible->Items()->Add(rule);
    CategoriesItemsVisible->OnChange = [this](TObject*) { CategoriesItemsVisibleChange(); };
    menu->ItemLinks()->Add()->SetItem(CategoriesItemsVisible);
    CategoriesDelete = MenuButton(menu, barstr::Delete, ShortCut(VK_DELETE, {}), true,
                                  &TdxBarCustomizingForm::CategoriesDeleteClick);

    CommandsPopupMenu = new TdxBarPopupMenu(this);
    CommandsPopupMenu->SetBarManager(BarManager1);
    CommandsPopupMenu->OnPopup = [this](TObject*) { CommandsPopupMenuPopup(); };
    menu = CommandsPopupMenu;
    CommandsAdd = MenuButton(menu, barstr::Add, ShortCut(VK_INSERT, {}), false,
                             &TdxBarCustomizingForm::CommandsAddClick);
    CommandsDelete = MenuButton(menu, barstr::Delete, ShortCut(VK_DELETE, {}), false,
                                &TdxBarCustomizingForm::CommandsDeleteClick);
    CommandsClear = MenuButton(menu, barstr::Clear, 0, false, &TdxBarCustomizingForm::CommandsClearClick);
    CommandsMoveUp = MenuButton(menu, barstr::MoveUp, ShortCut(VK_UP, TShiftState{ssCtrl}), true,
                                &TdxBarCustomizingForm::CommandsMoveUpClick);
    CommandsMoveDown = MenuButton(menu, barstr::MoveDown, ShortCut(VK_DOWN, TShiftState{ssCtrl}), false,
                                  &TdxBarCustomizingForm::CommandsMoveDownClick);
    CommandsSubMenuEditor = MenuButton(menu, barstr::SubMenuEditorCommand, 0, true,
                                       &TdxBarCustomizingForm::CommandsSubMenuEditorClick);

    const std::string modify = LoadBarString(barstr::Modify);
    CategoriesPopupButton = new TCheckableButton(this);
    CategoriesPopupButton->SetName("CategoriesPopupButton");
    CategoriesPopupButton->SetParent(TabSheet2);
    CategoriesPopupButton->SetBounds(65, 4, 75, 17);
    CategoriesPopupButton->SetCaption(modify);
    CategoriesPopupButton->SetPopupMenu(CategoriesPopupMenu);
    CommandsPopupButton = new TCheckableButton(this);
    CommandsPopupButton->SetName("CommandsPopupButton");
    CommandsPopupButton->SetParent(TabSheet2);
    CommandsPopupButton->SetBounds(207, 4, 134, 17);
    CommandsPopupButton->SetCaption(modify);
    CommandsPopupButton->SetPopupMenu(CommandsPopupMenu);

    WireDesignKeys();
}

void TdxBarCustomizingForm::CategoriesPopupMenuPopup() {
    const int category = SelectedCategory();
    const bool selected = category >= 0;
    CategoriesInsert->SetEnabled(selected);
    CategoriesRename->SetEnabled(selected);
    CategoriesVisible->SetEnabled(selected);
    CategoriesVisible->SetDown(selected && manager_->CategoryVisible(category));
    CategoriesItemsVisible->SetEnabled(selected);
    if (selected) CategoriesItemsVisible->SetItemIndex(manager_->CategoryItemsVisible(category));
    CategoriesDelete->SetEnabled(selected && manager_->Categories()->Count() > 1);
}

void TdxBarCustomizingForm::CategoriesItemsVisibleChange() {
    const int category = SelectedCategory();
    if (category < 0) return;
    manager_->SetCategoryItemsVisible(category,
                                      static_cast<TdxBarItemVisible>(CategoriesItemsVisible->ItemIndex()));
    KeepCategoryRow(category);
}

} // namespace bars
