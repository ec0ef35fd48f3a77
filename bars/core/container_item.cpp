#include "bars/core/container_item.h"

#include <algorithm>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "lookandfeel/object_links.h"
#include "platform/rtl/published.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace {

bool IsSeparator(const std::string& Text) {
    return Text == "-";
}

} // namespace

TCustomdxBarContainerItem::TCustomdxBarContainerItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}

TCustomdxBarContainerItem::~TCustomdxBarContainerItem() {
    if (expanded_) expanded_ = false;
}

void TCustomdxBarContainerItem::ExpandInto(TdxBarItemLinks*, int, TdxBarItemLink*, bool FireGetData) {
    if (expanded_) ClearExpansion();
    if (!FireGetData || !OnGetData) return;
    filling_ = true;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    // A failing data handler leaves the list as it was filled so far; its failure is the application's
    // to report, and the menu opens all the same.
    try {
        TNotifyEvent handler = OnGetData;
        handler(this);
    } catch (...) {
        if (Application != nullptr) Application->HandleException(self->Ref != nullptr ? this : nullptr);
    }
    // Cleared after a normal return too: otherwise later changes of the list would never reach the bars.
    if (self->Ref != nullptr) filling_ = false;
}

void TCustomdxBarContainerItem::LinksChanged() {
    if (!filling_) VisibleChanged();
}

TdxBarListItem::TdxBarListItem(TComponent* AOwner)
    : TCustomdxBarContainerItem(AOwner), items_(std::make_unique<TStringList>()) {
    items_->OnChange = [this](TObject*) {
        if (!Filling()) VisibleChanged();
    };
}

TdxBarListItem::~TdxBarListItem() {
    Destroying();
    FreeButtons();
    items_->OnChange = nullptr;
}

void TdxBarListItem::FreeButtons() {
    // Last first; each leaves the list through its free notification.
    while (!buttons_.empty()) {
        TdxBarButton* button = buttons_.back();
        buttons_.pop_back();
        RemoveFreeNotification(button);
        delete button;
    }
}

void TdxBarListItem::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxBarContainerItem::Notification(AComponent, Operation);
    if (Operation == opRemove)
        buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), AComponent), buttons_.end());
}

void TdxBarListItem::SetItems(TStringList* Value) {
    items_->Assign(Value);
}

bool TdxBarListItem::HasContent() const {
    return TCustomdxBarContainerItem::HasContent() || items_->Count() > 0;
}

int TdxBarListItem::DataIndex() const {
    if (itemIndex_ < 0 || itemIndex_ >= items_->Count()) return -1;
    int count = 0;
    for (int i = 0; i <= itemIndex_; ++i)
        if (!IsSeparator(items_->Strings(i))) ++count;
    return count - 1;
}

void TdxBarListItem::SetDataIndex(int Value) {
    if (items_->Count() == 0) {
        itemIndex_ = -1;
        return;
    }
    int counter = -1;
    for (int i = 0; i < items_->Count(); ++i) {
        if (!IsSeparator(items_->Strings(i))) ++counter;
        if (counter == Value) {
            itemIndex_ = i;
            return;
        }
    }
    itemIndex_ = items_->Count();
}

int TdxBarListItem::ExpandedCount() const {
    int count = 0;
    for (int i = 0; i < items_->Count(); ++i)
        if (!IsSeparator(items_->Strings(i))) ++count;
    return count;
}

void TdxBarListItem::ExpandInto(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ASourceLink,
                                bool FireGetData) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarContainerItem::ExpandInto(ALinks, AIndex, ASourceLink, FireGetData);
    if (self->Ref == nullptr || ALinks == nullptr) return;
    SetFilling(true);
    const bool reuse = !buttons_.empty();
    TComponent* owner = BarManager() != nullptr ? BarManager()->ParentForm() : Owner();
    int n = 0;
    bool afterSeparator = false;
    for (int i = 0; i < items_->Count(); ++i) {
        const std::string text = items_->Strings(i);
        if (IsSeparator(text)) {
            afterSeparator = true;
            continue;
        }
        if (!reuse || n >= static_cast<int>(buttons_.size())) {
            auto* button = new TdxBarButton(owner);
            FreeNotification(button);
            buttons_.push_back(button);
            button->SetAction(Action());
            if (showCheck_ && i == itemIndex_) {
                button->SetButtonStyle(bsChecked);
                button->SetDown(true);
            }
            std::string caption;
            // 1 to 9, then A, B, ... as accelerators.
            if (showNumbers_)
                caption =
                    "&" + (n < 9 ? std::to_string(n + 1) : std::string(1, static_cast<char>(n + 56))) + " ";
            button->SetCaption(caption + GetDisplayText(text));
            button->SetTag(i);
            button->SetOnClick([this](TObject* Sender) { ButtonClick(Sender); });
            button->SetEnabled(Enabled());
        }
        TdxBarItemLink* link = ALinks->Add();
        link->SetMasterLink(ASourceLink);
        link->SetIndex(AIndex + n);
        link->SetItem(buttons_[static_cast<size_t>(n)]);
        link->SetBeginGroup(n == 0 || afterSeparator);
        if (ASourceLink != nullptr) link->CopyRecentFrom(ASourceLink);
        ++n;
        afterSeparator = false;
    }
    SetFilling(false);
}

void TdxBarListItem::CollapseFrom(TdxBarItemLinks* ALinks, int AIndex) {
    if (ALinks == nullptr) return;
    SetFilling(true);
    for (int i = ExpandedCount(); i > 0 && AIndex < ALinks->Count(); --i)
        delete ALinks->Items(AIndex);
    SetFilling(false);
}

void TdxBarListItem::ClearExpansion() {
    // The buttons go once they have no link left (they are made again at the next expansion).
    if (!buttons_.empty() && buttons_.front()->LinkCount() == 0) FreeButtons();
    TCustomdxBarContainerItem::ClearExpansion();
}

void TdxBarListItem::ButtonClick(TObject* Sender) {
    if (auto* button = dynamic_cast<TdxBarButton*>(Sender)) itemIndex_ = button->Tag();
    TCustomdxBarContainerItem::DirectClick();
}

void TdxBarListItem::DirectClick() {
    // A list shown as its own line clicks through its generated buttons only.
    for (int i = 0; i < LinkCount(); ++i)
        if (Links(i)->Control() != nullptr) return;
    TCustomdxBarContainerItem::DirectClick();
}

const TPropertyTable& TdxBarListItem::Table() {
    using S = TdxBarListItem;
    static const TPropertyTable table(
        &TCustomdxBarSubItem::Table(),
        {
            IntegerProperty<S>("ItemIndex", &S::ItemIndex, &S::SetItemIndex, -1),
            ObjectProperty<S>("Items", [](S& s) -> TPersistent* { return s.Items(); }),
            BooleanProperty<S>("ShowCheck", &S::ShowCheck, &S::SetShowCheck, false),
            BooleanProperty<S>("ShowNumbers", &S::ShowNumbers, &S::SetShowNumbers, true),
            MethodProperty("OnGetData"),
        });
    return table;
}

bool TdxBarContainerItem::HasContent() const {
    if (TCustomdxBarContainerItem::HasContent()) return true;
    for (int i = 0; i < ItemLinks()->Count(); ++i)
        if (TdxBarItem* item = ItemLinks()->Items(i)->Item(); item != nullptr && item->IsVisibleNow())
            return true;
    return false;
}

int TdxBarContainerItem::ExpandedCount() const {
    return ItemLinks()->VisibleItemCount();
}

void TdxBarContainerItem::ExpandInto(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ASourceLink,
                                     bool FireGetData) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarContainerItem::ExpandInto(ALinks, AIndex, ASourceLink, FireGetData);
    if (self->Ref == nullptr || ALinks == nullptr || ALinks == ItemLinks()) return;
    SetFilling(true);
    const std::vector<TdxBarItemLink*> own = ItemLinks()->VisibleLinks();
    for (size_t i = 0; i < own.size(); ++i) {
        TdxBarItemLink* link = ALinks->Add();
        link->SetMasterLink(ASourceLink);
        link->Assign(own[i]);
        link->SetIndex(AIndex + static_cast<int>(i));
        if (i == 0 && FirstLinkBeginsGroup()) link->SetBeginGroup(true);
        if (ASourceLink != nullptr) link->CopyRecentFrom(ASourceLink);
    }
    SetFilling(false);
}

void TdxBarContainerItem::CollapseFrom(TdxBarItemLinks* ALinks, int AIndex) {
    if (ALinks == nullptr || ALinks == ItemLinks()) return;
    for (int i = ExpandedCount(); i > 0 && AIndex < ALinks->Count(); --i)
        delete ALinks->Items(AIndex);
}

const TPropertyTable& TdxBarContainerItem::Table() {
    using S = TdxBarContainerItem;
    static const TPropertyTable table(
        &TCustomdxBarSubItem::Table(),
        {
            ObjectProperty<S>("ItemLinks", [](S& s) -> TPersistent* { return s.ItemLinks(); }),
            MethodProperty("OnGetData"),
        });
    return table;
}
