#include "bars/core/bar_button.h"

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbar.h"
#include "lookandfeel/object_links.h"
#include "platform/rtl/published.h"

TdxBarButton::TdxBarButton(TComponent* AOwner) : TdxBarItem(AOwner) {
    SetUnclickAfterDoing(true);
}

TdxBarButton::~TdxBarButton() {
    Destroying();
}

void TdxBarButton::Notification(TComponent* AComponent, TOperation Operation) {
    TdxBarItem::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == dropDownMenu_)
        dropDownMenu_ = nullptr;
}

std::vector<TdxBarButton*> TdxBarButton::GroupMates() const {
    std::vector<TdxBarButton*> mates;
    if (BarManager() == nullptr || groupIndex_ == 0) return mates;
    for (int i = 0; i < BarManager()->ItemCount(); ++i)
        if (auto* button = dynamic_cast<TdxBarButton*>(BarManager()->Items(i));
            button != nullptr && button != this && button->groupIndex_ == groupIndex_)
            mates.push_back(button);
    return mates;
}

void TdxBarButton::SetAllowAllUp(bool Value) {
    if (Value == allowAllUp_) return;
    allowAllUp_ = Value;
    for (TdxBarButton* mate : GroupMates())
        mate->allowAllUp_ = Value;
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle Value) {
    if (Value == buttonStyle_) return;
    buttonStyle_ = Value;
    SetDown(false);
    if (!IsLoading()) ButtonStyleChanged();
    DesignChanged();
}

void TdxBarButton::SetDown(bool Value) {
    if (Value == down_) return;
    if (Value && buttonStyle_ != bsChecked) return;
    TdxBarButton* release = nullptr;
    if (!IsLoading() && buttonStyle_ == bsChecked && groupIndex_ != 0) {
        const auto mates = GroupMates();
        if (!Value && !allowAllUp_) {
            // The one down button of a group stays down unless all may be up.
            bool otherDown = false;
            for (TdxBarButton* mate : mates)
                otherDown = otherDown || (mate->buttonStyle_ == bsChecked && mate->down_);
            if (!otherDown) return;
        }
        if (Value)
            for (TdxBarButton* mate : mates)
                if (mate->buttonStyle_ == bsChecked && mate->down_) release = mate;
    }
    down_ = Value;
    if (IsLoading()) return;
    DownChanged();
    if (release != nullptr) release->SetDown(false);
}

void TdxBarButton::SetDropDownEnabled(bool Value) {
    if (Value == dropDownEnabled_) return;
    dropDownEnabled_ = Value;
    if (!IsLoading()) DropDownEnabledChanged();
}

void TdxBarButton::SetDropDownMenu(TdxBarPopupMenu* Value) {
    if (Value == dropDownMenu_) return;
    dropDownMenu_ = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TdxBarButton::SetGroupIndex(int Value) {
    if (buttonStyle_ != bsChecked) Value = 0;
    if (Value == groupIndex_) return;
    groupIndex_ = Value;
    SetDown(false);
}

void TdxBarButton::SetLowered(bool Value) {
    if (Value == lowered_) return;
    lowered_ = Value;
    if (!IsLoading()) UpdateBars();
}

void TdxBarButton::SetPaintStyle(TdxBarPaintStyle Value) {
    if (Value == paintStyle_) return;
    paintStyle_ = Value;
    if (!IsLoading()) PaintStyleChanged();
}

void TdxBarButton::ButtonStyleChanged() {
    ForEachControl([](bars::ItemControl& control) { control.ButtonStyleChanged(); });
}

void TdxBarButton::DownChanged() {
    ForEachControl([](bars::ItemControl& control) { control.DownChanged(); });
}

void TdxBarButton::DropDownEnabledChanged() {
    ForEachControl([](bars::ItemControl& control) { control.DropDownEnabledChanged(); });
}

void TdxBarButton::PaintStyleChanged() {
    for (int i = 0; i < LinkCount(); ++i)
        if (TdxBarItemLink* link = Links(i);
            link->Control() != nullptr && !link->UserDefine().Contains(udPaintStyle))
            link->Control()->PaintStyleChanged();
}

void TdxBarButton::Click() {
    if (Enabled() && buttonStyle_ == bsChecked) SetDown(!down_);
    TdxBarItem::Click();
}

bool TdxBarButton::HasAccel(TdxBarItemLink* ALink) const {
    if (!Enabled()) return false;
    if (ALink == nullptr || dynamic_cast<TdxBar*>(ALink->Owner()) == nullptr) return true;
    const TdxBarPaintStyle style = ALink->PaintStyle();
    if (style == psCaption || style == psCaptionGlyph) return true;
    return ALink->Control() != nullptr && ALink->Control()->ShowsCaption();
}

void TdxBarButton::DropDown(bars::ItemControl* AControl, int X, int Y, bool ByMouse) {
    TdxBarPopupMenu* menu = dropDownMenu_;
    if (menu == nullptr || AControl == nullptr) return;
    bars::BarControl* bar = AControl->Parent();
    std::optional<RECT> exclude;
    if (AControl->IsMenuJoinedToItem()) exclude = AControl->ScreenRect();
    int ownerWidth = 0, ownerHeight = 0;
    const RECT item = AControl->Link() != nullptr ? AControl->Link()->ItemRect() : RECT{0, 0, 0, 0};
    // Beside the item in a menu or on a vertical toolbar, below it on a horizontal one.
    if (bar == nullptr || !bar->IsToolbar() || IsVerticalBarControl(bar))
        ownerWidth = item.right - item.left;
    else
        ownerHeight = item.bottom - item.top;
    // The bar window runs the loop: the menu returns at once and tells its window who opened it.
    const TcxObjectLinkPtr alive = MakeObjectLink(menu);
    menu->NoModalLoop = true;
    menu->SetParentBarControl(bar);
    menu->SetOpener(AControl, ByMouse);
    struct Reset {
        const TcxObjectLinkPtr& Menu;
        ~Reset() {
            if (auto* m = static_cast<TdxBarPopupMenu*>(Menu->Ref)) {
                m->SetParentBarControl(nullptr);
                m->SetOpener(nullptr, true);
                m->NoModalLoop = false;
            }
        }
    } reset{alive};
    menu->PopupEx(X, Y, exclude, ByMouse, ownerWidth, ownerHeight);
}

const TPropertyTable& TdxBarButton::Table() {
    using B = TdxBarButton;
    static const TPropertyTable table(&TdxBarItem::Table(), [] {
        TPropInfo down = BooleanProperty<B>("Down", &B::Down, &B::SetDown, false);
        down.Stored = [](const TPersistent& o) {
            auto* link = static_cast<const B&>(o).ActionLink();
            return link == nullptr || !link->IsCheckedLinked();
        };
        return std::vector<TPropInfo>{
            BooleanProperty<B>("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp, false),
            EnumProperty<B>("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle,
                            {"bsDefault", "bsChecked", "bsDropDown"}, bsDefault),
            BooleanProperty<B>("CloseSubMenuOnClick", &B::CloseSubMenuOnClick, &B::SetCloseSubMenuOnClick,
                               true),
            down,
            BooleanProperty<B>("DropDownEnabled", &B::DropDownEnabled, &B::SetDropDownEnabled, true),
            ComponentProperty<B, TdxBarPopupMenu>("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu),
            IntegerProperty<B>("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0),
            BooleanProperty<B>("Lowered", &B::Lowered, &B::SetLowered, false),
            EnumProperty<B>("PaintStyle", &B::PaintStyle, &B::SetPaintStyle,
                            {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"}, psStandard),
            SharedProperty("ImageIndex"),
            SharedProperty("ShortCut"),
            SharedProperty("UnclickAfterDoing"),
            SharedProperty("OnClick"),
        };
    }());
    return table;
}
