// The manager's lookups of bars and items, and reordering of its item list.
#include <algorithm>
#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "lookandfeel/colors.h"
#include "platform/rtl/strings.h"

TdxBar* TdxBarManager::BarByName(const std::string& Name) const {
    for (int i = 0; i < bars_->Count(); ++i)
        if (bars_->Items(i)->Name() == Name) return bars_->Items(i);
    return nullptr;
}

TdxBar* TdxBarManager::BarByCaption(const std::string& Caption) const {
    for (int i = 0; i < bars_->Count(); ++i)
        if (bars_->Items(i)->Caption() == Caption) return bars_->Items(i);
    return nullptr;
}

TdxBarItem* TdxBarManager::ItemByName(const std::string& Name) const {
    for (TdxBarItem* item : items_)
        if (SameText(item->Name(), Name)) return item;
    return nullptr;
}

void TdxBarManager::HideActiveBarControl() {
    if (bars::BarControl* active = GetActiveBarControl()) active->HideAll();
}

void TdxBarManager::NotifyItemChangedInDesign(TdxBarItem* Item) {
    if (Item == nullptr || Item->Category() < 0 || !designing_ || IsLoading() || IsDestroying() ||
        customizingPopupEditing_)
        return;
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->RefreshCommands(this);
}

int TdxBarManager::GetVisibleItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const {
    GetItemsByCategory(Index, List);
    if (!designing_) std::erase_if(List, [](TdxBarItem* item) { return !item->IsVisibleNow(); });
    return static_cast<int>(List.size());
}

void TdxBarManager::MoveItem(int CurIndex, int NewIndex) {
    const int count = ItemCount();
    if (CurIndex < 0 || CurIndex >= count || NewIndex < 0 || NewIndex >= count || CurIndex == NewIndex)
        return;
    TdxBarItem* item = items_[static_cast<size_t>(CurIndex)];
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, item);
    RefreshCustomizingForm();
    DesignerModified();
}

void TdxBarManager::ExchangeItems(int Index1, int Index2) {
    const int count = ItemCount();
    if (Index1 < 0 || Index1 >= count || Index2 < 0 || Index2 >= count || Index1 == Index2) return;
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
    RefreshCustomizingForm();
    DesignerModified();
}

int TdxBarManager::FillToolbarsPopup(TdxBarItemLinks* ItemLinks,
                                     std::vector<std::unique_ptr<TdxBarItem>>& Made) {
    int toolbars = 0;
    auto add = [&](const std::string& caption, int tag) {
        auto button = std::make_unique<TdxBarButton>(nullptr);
        button->SetBarManager(this);
        button->SetCaption(caption);
        button->SetTag(tag);
        button->SetOnClick([this, tag](TObject*) { ToolbarsPopupClick(tag); });
        TdxBarItemLink* link = ItemLinks->Add();
        link->SetItem(button.get());
        Made.push_back(std::move(button));
        return static_cast<TdxBarButton*>(Made.back().get());
    };
    for (int i = 0; i < bars_->Count(); ++i) {
        TdxBar* bar = bars_->Items(i);
        if (!bar->AllowClose() || bar->IsMainMenu() || bar->Hidden()) continue;
        TdxBarButton* button = add(bar->Caption(), i);
        button->SetButtonStyle(bsChecked);
        button->SetDown(bar->Visible());
        ++toolbars;
    }
    if (ToolbarsPopupHasCustomize()) {
        TdxBarButton* customize = add(LoadBarString(barstr::CustomizeCommand), 1000);
        // Greyed while the window is open, and where no customizing window was installed, rather than
        // leave the bars in customizing mode with no window to end it.
        customize->SetEnabled(bars::Customizing() != nullptr && !bars::CustomizingFormExists());
        ItemLinks->Items(ItemLinks->Count() - 1)->SetBeginGroup(true);
    }
    DoShowToolbarsPopup(ItemLinks);
    return toolbars;
}

int TdxBarManager::GetBarFloatingBorderWidth() const {
    return PainterClass()->GetFloatingBorderWidth();
}

int TdxBarManager::GetBarFloatingBorderHeight() const {
    return PainterClass()->GetFloatingBorderHeight();
}

int TdxBarManager::GetBarGripSize(const TdxBar* Bar) const {
    const uint32_t all = AllDockingStyles.Bits();
    const bool floatsOnly = Bar->NotDocking().Bits() == all || notDocking_.Bits() == all;
    return floatsOnly ? PainterClass()->GetFloatingExtraSize() : gripAreaSize_;
}

TColor TdxBarManager::MakeFlatColor(int FacePercent, int HighlightPercent, int WindowPercent) {
    return BlendSystemColors(FacePercent, HighlightPercent, WindowPercent);
}
