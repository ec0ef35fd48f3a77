// The customizing window while its manager's form is designed: the Commands page also edits the
// categories and the commands, from the keyboard and through two menus that the "... modify" buttons drop
// down and a right click pops up. A running program has no form designer: what the window would ask of one
// (select a component, open its editor) is left out, and a component is deleted or made directly.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/categories.h"
#include "bars/core/container_item.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/customizing/add_item_dialog.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/name_dialog.h"
#include "bars/customizing/sub_menu_editor.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/keys.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace bars {

namespace {

bool NoShiftKeys(TShiftState Shift) {
    return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

bool Ask(const std::string& Question) {
    return Application->MessageBox(Question, Application->Title(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

} // namespace

void TdxBarCustomizingForm::WireDesignKeys() {
    LCategories->OnMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) {
        if (Shift.Contains(ssLeft))
            LCategoriesDragOver(X, Y);
        else
            LCategoriesEndDrag();
    };
    LCategories->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { LCategoriesEndDrag(); };
    CommandsListBox->DesignPopupMenu = CommandsPopupMenu;
    LCategories->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (!NoShiftKeys(Shift)) return;
        if (Key == VK_INSERT) CategoriesInsertClick();
        if (Key == VK_DELETE) CategoriesDeleteClick();
    };
    CommandsListBox->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (Shift == TShiftState{ssCtrl} && (Key == VK_UP || Key == VK_DOWN)) {
            MoveCommand(Key == VK_UP ? -1 : 1);
            Key = 0;
        } else if (NoShiftKeys(Shift) && Key == VK_INSERT) {
            CommandsAddClick();
        } else if (NoShiftKeys(Shift) && Key == VK_DELETE) {
            CommandsDeleteClick();
        }
    };
}

void TdxBarCustomizingForm::LCategoriesMouseDown(TMouseButton Button, int X, int Y) {
    if (Button == mbLeft && manager_->Designing()) {
        draggedCategoryIndex_ = LCategories->ItemAtPos(TPoint{X, Y}, true);
        categoryDragStarted_ = false;
        categoryDragFrom_ = POINT{X, Y};
    }
    if (Button != mbRight) return;
    LCategories->SetFocus();
    const int row = LCategories->ItemAtPos(TPoint{X, Y}, true);
    if (row >= 0) LCategories->SetItemIndex(row);
    LCategoriesClick();
    if (CategoriesPopupMenu != nullptr) CategoriesPopupMenu->PopupAtCursor();
}

void TdxBarCustomizingForm::LCategoriesDragOver(int X, int Y) {
    if (draggedCategoryIndex_ < 0) return;
    // The drag begins once the pointer leaves the press's drag rectangle.
    if (!categoryDragStarted_ && std::abs(X - categoryDragFrom_.x) <= GetSystemMetrics(SM_CXDRAG) / 2 &&
        std::abs(Y - categoryDragFrom_.y) <= GetSystemMetrics(SM_CYDRAG) / 2)
        return;
    categoryDragStarted_ = true;
    const int row = LCategories->ItemAtPos(TPoint{X, Y}, true);
    if (row < 0 || row == draggedCategoryIndex_ || draggedCategoryIndex_ >= manager_->Categories()->Count())
        return;
    // The categories' change fills the list again.
    manager_->Categories()->Move(draggedCategoryIndex_, row);
    KeepCategoryRow(row);
    draggedCategoryIndex_ = row;
}

void TdxBarCustomizingForm::LCategoriesEndDrag() {
    draggedCategoryIndex_ = -1;
    categoryDragStarted_ = false;
}

int TdxBarCustomizingForm::SelectedCategory() {
    const int row = LCategories->ItemIndex();
    return row >= 0 && row < LCategories->Items().Count() ? row : -1;
}

void TdxBarCustomizingForm::SelectCategoryRow(int Row) {
    const int count = LCategories->Items().Count();
    LCategories->SetItemIndex(count == 0 ? -1 : std::clamp(Row, 0, count - 1));
    LCategoriesClick();
    if (LCategories->CanFocus()) LCategories->SetFocus();
}

void TdxBarCustomizingForm::CategoriesAddClick() {
    std::string name;
    if (!ShowNameDialog(name, true, NameDialogKind::Add, nullptr, manager_)) return;
    manager_->Categories()->Add(name);
    SelectCategoryRow(LCategories->Items().Count() - 1);
}

void TdxBarCustomizingForm::CategoriesInsertClick() {
    const int category = SelectedCategory();
    std::string name;
    if (category < 0 || !ShowNameDialog(name, true, NameDialogKind::InsertOrRename, nullptr, manager_))
        return;
    manager_->Categories()->Insert(category, name);
    SelectCategoryRow(category);
}

void TdxBarCustomizingForm::CategoriesRenameClick() {
    const int category = SelectedCategory();
    if (category < 0) return;
    std::string name = LCategories->Items().Strings(category);
    if (!ShowNameDialog(name, true, NameDialogKind::Rename, nullptr, manager_)) return;
    manager_->Categories()->SetStrings(category, name);
    SelectCategoryRow(category);
}

void TdxBarCustomizingForm::CategoriesVisibleClick() {
    const int category = SelectedCategory();
    if (category < 0) return;
    manager_->SetCategoryVisible(category, CategoriesVisible->Down());
    KeepCategoryRow(category);
}

void TdxBarCustomizingForm::KeepCategoryRow(int Row) {
    LCategories->SetItemIndex(Row);
}

void TdxBarCustomizingForm::CategoriesDeleteClick() {
    const int category = SelectedCategory();
    if (category < 0 || manager_->Categories()->Count() <= 1) return;
    if (!Ask(FormatBarString(barstr::ConfirmDeleteCategory, LCategories->Items().Strings(category)))) return;
    // The category's items go with it.
    manager_->Categories()->Delete(category);
    SelectCategoryRow(category);
}

void TdxBarCustomizingForm::CommandsPopupMenuPopup() {
    const int row = CommandsListBox->ItemIndex();
    const int count = CommandsListBox->Items().Count();
    const bool selected = row >= 0 && row < count;
    CommandsDelete->SetEnabled(selected);
    CommandsClear->SetEnabled(count > 0);
    CommandsMoveUp->SetEnabled(selected && row > 0);
    CommandsMoveDown->SetEnabled(selected && row < count - 1);
    TdxBarItem* item = selected ? CommandsListBox->ItemOf(row) : nullptr;
    CommandsSubMenuEditor->SetEnabled(dynamic_cast<TdxBarSubItem*>(item) != nullptr ||
                                      dynamic_cast<TdxBarContainerItem*>(item) != nullptr);
}

void TdxBarCustomizingForm::CommandsSubMenuEditorClick() {
    const int row = CommandsListBox->ItemIndex();
    if (row < 0 || row >= CommandsListBox->Items().Count()) return;
    if (CommandsListBox->CanFocus()) CommandsListBox->SetFocus();
    if (auto* item = dynamic_cast<TCustomdxBarSubItem*>(CommandsListBox->ItemOf(row)))
        ShowSubMenuEditor(item->ItemLinks());
}

void TdxBarCustomizingForm::CommandsAddClick() {
    TdxBarItem* item = ShowAddItemDialog(manager_, manager_->CategoryIndexOfVisible(SelectedCategory()));
    if (item == nullptr) return;
    SelectCommand(item, true);
    FillAllCommands();
    if (CommandsListBox->CanFocus()) CommandsListBox->SetFocus();
}

void TdxBarCustomizingForm::CommandsDeleteClick() {
    const int row = CommandsListBox->ItemIndex();
    if (row < 0 || row >= CommandsListBox->Items().Count()) return;
    {
        TemporaryChange deleting(deletingCommand_, true);
        // The list is filled again when the delete fails, and the failure goes on to the caller.
        bool deleted = false;
        ScopeGuard refill([this, &deleted] {
            if (!deleted) LCategoriesClick();
        });
        delete CommandsListBox->ItemOf(row);
        CommandsListBox->Items().Delete(row);
        deleted = true;
        manager_->DesignerModified();
        const int count = CommandsListBox->Items().Count();
        CommandsListBox->SetItemIndex(count == 0 ? -1 : std::min(row, count - 1));
        LCommandsClick();
    }
    if (CommandsListBox->CanFocus()) CommandsListBox->SetFocus();
}

void TdxBarCustomizingForm::CommandsClearClick() {
    const int category = SelectedCategory();
    if (category < 0 || CommandsListBox->Items().Count() == 0) return;
    if (!Ask(FormatBarString(barstr::ConfirmClearCategory, LCategories->Items().Strings(category)))) return;
    {
        TemporaryChange deleting(deletingCommand_, true);
        std::vector<TdxBarItem*> items;
        for (int i = 0; i < CommandsListBox->Items().Count(); ++i)
            items.push_back(CommandsListBox->ItemOf(i));
        for (TdxBarItem* item : items)
            delete item;
        manager_->DesignerModified();
        LCategoriesClick();
    }
    if (CommandsListBox->CanFocus()) CommandsListBox->SetFocus();
}

void TdxBarCustomizingForm::CommandsMoveUpClick() {
    MoveCommand(-1);
}

void TdxBarCustomizingForm::CommandsMoveDownClick() {
    MoveCommand(1);
}

void TdxBarCustomizingForm::MoveCommand(int Delta) {
    const int row = CommandsListBox->ItemIndex();
    const int next = row + Delta;
    if (row < 0 || next < 0 || next >= CommandsListBox->Items().Count()) return;
    manager_->MoveItem(manager_->IndexOfItem(CommandsListBox->ItemOf(row)),
                       manager_->IndexOfItem(CommandsListBox->ItemOf(next)));
    CommandsListBox->Items().Exchange(row, next);
    CommandsListBox->SetItemIndex(next);
    LCommandsClick();
}

} // namespace bars
