// The customizing window's Groups page (while the form is designed): the manager's bar groups, the
// entries of the chosen one, and the buttons that add, delete and reorder both.
#include <algorithm>
#include <string>
#include <vector>

#include "bars/core/bar_group.h"
#include "bars/core/bar_manager.h"
#include "bars/customizing/add_group_items_dialog.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/keys.h"
#include "platform/rtl/scope_guard.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/panels.h"

namespace bars {

namespace {

TListBox* GroupList(TComponent* Owner, TWinControl* Parent, const char* Name, TFont& Font) {
    auto* list = Place<TListBox>(Owner, Parent, Name, 8, 18, 140, 176);
    list->SetStyle(lbOwnerDrawVariable);
    list->Canvas().Font().Assign(&Font);
    list->SetItemHeight(TextSize(Font, "Qq").cy + 2);
    return list;
}

// The group's name in bold, or the entry's name (a group's in bold), written over the row.
void DrawEntry(TListBox* List, int Index, const TRect& Rect) {
    TCanvas& canvas = List->Canvas();
    auto* entry = static_cast<TComponent*>(List->Items().Objects(Index));
    TFontStyles style = canvas.Font().Style();
    if (dynamic_cast<TdxBarGroup*>(entry) != nullptr) canvas.Font().SetStyle(style + TFontStyles{fsBold});
    canvas.TextRect(Rect, Rect.left + 2, Rect.top + 1, entry != nullptr ? entry->Name() : std::string());
    canvas.Font().SetStyle(style);
}

// Whether the selected rows of List are exactly the first (or the last) ones.
bool SelectedAreEnd(TListBox* List, bool First) {
    const int count = List->Items().Count();
    const int selected = List->SelCount();
    for (int i = 0; i < selected; ++i)
        if (!List->Selected(First ? i : count - 1 - i)) return false;
    return true;
}

} // namespace

void TdxBarCustomizingForm::BuildGroupsPage() {
    TabSheet5 = new TTabSheet(this);
    TabSheet5->SetName("TabSheet5");
    TabSheet5->SetPageControl(PageControl);
    TabSheet5->SetCaption("Groups");
    auto* groups = Place<TGroupBox>(this, TabSheet5, "GroupBox1", 4, 4, 156, 228);
    groups->SetCaption(" Groups ");
    lbGroups = GroupList(this, groups, "lbGroups", Font());
    lbGroups->OnDrawItem = [this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
        DrawEntry(lbGroups, Index, Rect);
    };
    lbGroups->OnClick = [this](TObject*) { RefreshGroupItems(); };
    lbGroups->OnEnter = [this](TObject*) {
        groupItemsFocused_ = false;
        UpdateGroupButtons();
    };
    btnGroupAdd = PlaceButton(this, groups, "btnGroupAdd", "Add", 8, 198, 66);
    btnGroupAdd->OnClick = [this](TObject*) { btnGroupAddClick(); };
    btnGroupDelete = PlaceButton(this, groups, "btnGroupDelete", "Delete", 82, 198, 66);
    btnGroupDelete->OnClick = [this](TObject*) { btnGroupDeleteClick(); };

    btnMoveUp = PlaceButton(this, TabSheet5, "btnMoveUp", "\u25b2", 164, 90, 22);
    btnMoveUp->OnClick = [this](TObject*) { btnMoveUpClick(); };
    btnMoveDown = PlaceButton(this, TabSheet5, "btnMoveDown", "\u25bc", 164, 118, 22);
    btnMoveDown->OnClick = [this](TObject*) { btnMoveDownClick(); };

    auto* items = Place<TGroupBox>(this, TabSheet5, "GroupBox2", 190, 4, 152, 228);
    items->SetCaption(" Items ");
    lbGroupItems = GroupList(this, items, "lbGroupItems", Font());
    lbGroupItems->SetWidth(136);
    lbGroupItems->SetMultiSelect(true);
    lbGroupItems->OnDrawItem = [this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
        DrawEntry(lbGroupItems, Index, Rect);
    };
    lbGroupItems->OnClick = [this](TObject*) { UpdateGroupButtons(); };
    lbGroupItems->OnEnter = [this](TObject*) {
        groupItemsFocused_ = true;
        UpdateGroupButtons();
    };
    btnGroupItemAdd = PlaceButton(this, items, "btnGroupItemAdd", "&Add...", 8, 198, 64);
    btnGroupItemAdd->OnClick = [this](TObject*) { btnGroupItemAddClick(); };
    btnGroupItemDelete = PlaceButton(this, items, "btnGroupItemDelete", "Delete", 80, 198, 64);
    btnGroupItemDelete->OnClick = [this](TObject*) { btnGroupItemDeleteClick(); };

    for (auto [list, add, remove] : {std::tuple{lbGroups, btnGroupAdd, btnGroupDelete},
                                     std::tuple{lbGroupItems, btnGroupItemAdd, btnGroupItemDelete}})
        list->OnKeyDown = [add, remove](TObject*, WORD& Key, TShiftState) {
            TButton* button = Key == VK_INSERT ? add : Key == VK_DELETE ? remove : nullptr;
            if (button != nullptr && button->Enabled()) button->Click();
        };
    RefreshGroups();
}

TdxBarGroup* TdxBarCustomizingForm::SelectedGroup() {
    const int row = lbGroups->ItemIndex();
    if (row < 0 || row >= lbGroups->Items().Count()) return nullptr;
    return static_cast<TdxBarGroup*>(lbGroups->Items().Objects(row));
}

void TdxBarCustomizingForm::BeginGroupsUpdate() {
    ++groupsLockCount_;
}

void TdxBarCustomizingForm::EndGroupsUpdate() {
    if (--groupsLockCount_ == 0) UpdateGroupButtons();
}

void TdxBarCustomizingForm::RefreshGroups() {
    if (lbGroups == nullptr) return;
    BeginGroupsUpdate();
    ScopeGuard end([this] { EndGroupsUpdate(); });
    TdxBarGroup* chosen = SelectedGroup();
    lbGroups->Items().BeginUpdate();
    lbGroups->Clear();
    for (int i = 0; i < manager_->GroupCount(); ++i)
        lbGroups->Items().AddObject(manager_->Groups(i)->Name(), manager_->Groups(i));
    lbGroups->Items().EndUpdate();
    int row = lbGroups->Items().IndexOfObject(chosen);
    if (row < 0 && lbGroups->Items().Count() > 0) row = 0;
    lbGroups->SetItemIndex(row);
    RefreshGroupItems();
}

void TdxBarCustomizingForm::RefreshGroupItems() {
    if (lbGroupItems == nullptr) return;
    std::vector<TComponent*> chosen;
    for (int i = 0; i < lbGroupItems->Items().Count(); ++i)
        if (lbGroupItems->Selected(i))
            chosen.push_back(static_cast<TComponent*>(lbGroupItems->Items().Objects(i)));
    FillGroupItems(chosen);
}

void TdxBarCustomizingForm::FillGroupItems(const std::vector<TComponent*>& Chosen) {
    BeginGroupsUpdate();
    ScopeGuard end([this] { EndGroupsUpdate(); });
    TemporaryChange filling(fillingGroupItems_, true);
    lbGroupItems->Items().BeginUpdate();
    lbGroupItems->Clear();
    if (TdxBarGroup* group = SelectedGroup())
        for (int i = 0; i < group->Count(); ++i)
            lbGroupItems->Items().AddObject(group->Items(i)->Name(), group->Items(i));
    lbGroupItems->Items().EndUpdate();
    for (TComponent* entry : Chosen)
        if (int row = lbGroupItems->Items().IndexOfObject(entry); row >= 0)
            lbGroupItems->SetSelected(row, true);
}

void TdxBarCustomizingForm::UpdateGroupButtons() {
    if (groupsLockCount_ > 0 || lbGroups == nullptr) return;
    TdxBarGroup* group = SelectedGroup();
    btnGroupDelete->SetEnabled(group != nullptr);
    btnGroupItemAdd->SetEnabled(group != nullptr);
    const int entries = lbGroupItems->SelCount();
    btnGroupItemDelete->SetEnabled(entries > 0);
    if (groupItemsFocused_) {
        btnMoveUp->SetEnabled(entries > 0 && !SelectedAreEnd(lbGroupItems, true));
        btnMoveDown->SetEnabled(entries > 0 && !SelectedAreEnd(lbGroupItems, false));
    } else {
        const int row = lbGroups->ItemIndex();
        btnMoveUp->SetEnabled(group != nullptr && row > 0);
        btnMoveDown->SetEnabled(group != nullptr && row < lbGroups->Items().Count() - 1);
    }
}

void TdxBarCustomizingForm::btnGroupAddClick() {
    // No designer names it: the next free "dxBarGroupN" of the form.
    TComponent* owner = manager_->Owner();
    std::string name;
    for (int n = 1; name.empty() || owner->FindComponent(name) != nullptr; ++n)
        name = "dxBarGroup" + std::to_string(n);
    auto* group = new TdxBarGroup(owner);
    group->SetName(name);
    group->SetParentComponent(manager_);
    manager_->DesignerModified();
    RefreshGroups();
    lbGroups->SetItemIndex(lbGroups->Items().IndexOfObject(group));
    RefreshGroupItems();
}

void TdxBarCustomizingForm::btnGroupDeleteClick() {
    TdxBarGroup* group = SelectedGroup();
    if (group == nullptr) return;
    const int row = lbGroups->ItemIndex();
    const int count = lbGroups->Items().Count();
    lbGroups->SetItemIndex(row < count - 1 ? row + 1 : row - 1);
    delete group;
    manager_->DesignerModified();
    RefreshGroups();
}

void TdxBarCustomizingForm::btnGroupItemAddClick() {
    TdxBarGroup* group = SelectedGroup();
    std::vector<TComponent*> chosen;
    if (group == nullptr || !ShowAddGroupItemsDialog(group, chosen)) return;
    std::vector<TComponent*> added;
    for (TComponent* entry : chosen) {
        if (entry == nullptr) continue;
        // A recursive group is refused by the group, with its message.
        group->Add(entry);
        added.push_back(entry);
    }
    FillGroupItems(added);
    manager_->DesignerModified();
}

void TdxBarCustomizingForm::btnGroupItemDeleteClick() {
    TdxBarGroup* group = SelectedGroup();
    if (group == nullptr) return;
    int first = -1;
    for (int i = lbGroupItems->Items().Count() - 1; i >= 0; --i)
        if (lbGroupItems->Selected(i)) {
            group->Remove(static_cast<TComponent*>(lbGroupItems->Items().Objects(i)));
            first = i;
        }
    FillGroupItems({});
    const int count = lbGroupItems->Items().Count();
    if (first >= 0 && count > 0) lbGroupItems->SetSelected(std::min(first, count - 1), true);
    UpdateGroupButtons();
    manager_->DesignerModified();
}

void TdxBarCustomizingForm::MoveGroupEntries(int Delta) {
    TdxBarGroup* group = SelectedGroup();
    if (group == nullptr) return;
    if (!groupItemsFocused_) {
        const int index = group->Index() + Delta;
        if (index < 0 || index >= manager_->GroupCount()) return;
        group->SetIndex(index);
        RefreshGroups();
        manager_->DesignerModified();
        return;
    }
    std::vector<TComponent*> moved;
    std::vector<int> rows;
    for (int i = 0; i < lbGroupItems->Items().Count(); ++i)
        if (lbGroupItems->Selected(i)) {
            moved.push_back(static_cast<TComponent*>(lbGroupItems->Items().Objects(i)));
            rows.push_back(i);
        }
    if (moved.empty()) return;
    const int count = group->Count();
    const int size = static_cast<int>(moved.size());
    // The chosen entries gather into one block a place beyond the outermost of them, in list order.
    if (Delta < 0) {
        const int start = std::max(rows.front() - 1, 0);
        for (int j = 0; j < size; ++j)
            group->Move(group->IndexOf(moved[static_cast<size_t>(j)]), start + j);
    } else {
        const int end = std::min(rows.back() + 1, count - 1);
        for (int j = size - 1; j >= 0; --j)
            group->Move(group->IndexOf(moved[static_cast<size_t>(j)]), end - (size - 1 - j));
    }
    FillGroupItems(moved);
    manager_->DesignerModified();
}

void TdxBarCustomizingForm::btnMoveUpClick() {
    MoveGroupEntries(-1);
}

void TdxBarCustomizingForm::btnMoveDownClick() {
    MoveGroupEntries(1);
}

} // namespace bars
