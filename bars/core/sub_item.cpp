#include "bars/core/sub_item.h"

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbars.h"
#include "platform/rtl/published.h"

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* AOwner) : TdxBarItem(AOwner) {
    itemLinks_ = std::make_unique<TdxBarItemLinks>(BarManager(), this);
}

TCustomdxBarSubItem::~TCustomdxBarSubItem() {
    Destroying();
    SetDetachingBar(-1);
    itemLinks_.reset();
}

void TCustomdxBarSubItem::Loaded() {
    TdxBarItem::Loaded();
    if (loadedDetachingBar_ != -1) SetDetachingBar(loadedDetachingBar_);
}

void TCustomdxBarSubItem::SetItemLinks(TdxBarItemLinks* Value) {
    itemLinks_->Assign(Value);
}

int TCustomdxBarSubItem::DetachingBar() const {
    if (IsLoading()) return loadedDetachingBar_;
    return detachingBar_ != nullptr ? detachingBar_->Index() : -1;
}

void TCustomdxBarSubItem::SetDetachingBar(int Value) {
    TdxBars* bars = BarManager() != nullptr ? BarManager()->Bars() : nullptr;
    if (IsLoading()) {
        loadedDetachingBar_ = Value;
        return;
    }
    if (bars == nullptr || bars->Count() == 0 || Value < -1 || Value > bars->Count() - 1) Value = -1;
    TdxBar* bar = Value >= 0 ? bars->Items(Value) : nullptr;
    if (bar == detachingBar_) return;
    if (detachingBar_ != nullptr) detachingBar_->RemoveDetachedItem(this);
    detachingBar_ = bar;
    if (bar != nullptr) bar->AddDetachedItem(this);
}

void TCustomdxBarSubItem::SetShowCaption(bool Value) {
    if (Value == showCaption_) return;
    showCaption_ = Value;
    if (!IsLoading()) UpdateBars();
}

void TCustomdxBarSubItem::BarManagerChanged() {
    itemLinks_->SetBarManager(BarManager());
}

void TCustomdxBarSubItem::BarNotification(TOperation Operation, TdxBar* ABar) {
    if (Operation == opRemove && ABar == detachingBar_) {
        detachingBar_ = nullptr;
    }
}

bool TCustomdxBarSubItem::ExecuteShortCut(TShortCut ShortCut) {
    return itemLinks_->ExecuteShortCut(ShortCut);
}

bool TCustomdxBarSubItem::CanContainItem(const TdxBarItem* AItem) const {
    if (AItem == this) return false;
    if (auto* subItem = dynamic_cast<const TCustomdxBarSubItem*>(AItem))
        if (subItem->ItemLinks()->ContainsItem(this)) return false;
    if (auto* button = dynamic_cast<const TdxBarButton*>(AItem))
        if (button->DropDownMenu() != nullptr && button->DropDownMenu()->ItemLinks()->ContainsItem(this))
            return false;
    return true;
}

void TCustomdxBarSubItem::DoCloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomdxBarSubItem::DoPaintBar(TCanvas* Canvas, const RECT& R) {
    if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

void TCustomdxBarSubItem::DoDetaching() {
    if (OnDetaching) OnDetaching(this);
}

void TCustomdxBarSubItem::DoPopup() {
    if (OnPopup) OnPopup(this);
}

const TPropertyTable& TCustomdxBarSubItem::Table() {
    using S = TCustomdxBarSubItem;
    static const TPropertyTable table(
        &TdxBarItem::Table(),
        {
            IntegerProperty<S>("BarSize", &S::BarSize, &S::SetBarSize, 0),
            BooleanProperty<S>("Detachable", &S::Detachable, &S::SetDetachable, false),
            IntegerProperty<S>("DetachingBar", &S::DetachingBar, &S::SetDetachingBar, -1),
            SharedProperty("ImageIndex"),
            BooleanProperty<S>("ShowCaption", &S::ShowCaption, &S::SetShowCaption, true),
            SharedProperty("OnClick"),
            MethodProperty("OnDetaching"),
            MethodProperty("OnPaintBar"),
        });
    return table;
}

const TPropertyTable& TdxBarSubItem::Table() {
    using S = TdxBarSubItem;
    static const TPropertyTable table(
        &TCustomdxBarSubItem::Table(),
        {
            BooleanProperty<S>("AllowCustomizing", &S::AllowCustomizing, &S::SetAllowCustomizing, true),
            ObjectProperty<S>("ItemLinks", [](S& s) -> TPersistent* { return s.ItemLinks(); }),
            MethodProperty("OnCloseUp"),
            MethodProperty("OnPopup"),
        });
    return table;
}
