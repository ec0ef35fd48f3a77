// One item link: its settings, effective values, recent use and its control.
#include "bars/core/item_links.h"

#include <algorithm>

#include "bars/core/bar_button.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "lookandfeel/object_links.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/rtl/published.h"
#include "platform/vcl/form.h"

namespace {

constexpr UINT WM_RELAYOUT = WM_USER + 1;

// A docked toolbar window of a style with recent-use lists lays itself out again.
void PostRelayout(TdxBarItemLinks* links) {
    bars::BarControl* window = links->BarControl();
    if (window == nullptr || !window->IsToolbar() || window->DockingStyle() == dsNone) return;
    if (links->BarManager() == nullptr || !links->BarManager()->IsNotStandardStyle()) return;
    if (window->Handle() != nullptr) PostMessage(window->Handle(), WM_RELAYOUT, 0, 0);
}

} // namespace

TdxBarItemLink::TdxBarItemLink(TCollection* Collection) : TCollectionItem(Collection) {
    TdxBarManager* manager = BarManager();
    useCount_ = manager != nullptr ? manager->RecentItemsThreshold() : 0;
    userGlyph_ = std::make_unique<TBitmap>();
    if (TdxBarItemLinks* links = Links()) links->recentOrder_.push_back(this);
    if (manager != nullptr && !manager->IsLoading() && manager->OnItemLinkAdd)
        manager->OnItemLinkAdd(manager, this);
}

TdxBarItemLink::~TdxBarItemLink() {
    ClearObjectLinks(this);
    TdxBarItemLinks* links = Links();
    TdxBarManager* manager = BarManager();
    const bool managerAlive = manager != nullptr && !manager->IsDestroying();
    if (managerAlive && manager->OnItemLinkDelete) manager->OnItemLinkDelete(manager, this);
    if (manager != nullptr && manager->DragLink() == this) manager->SetDragged(manager->DragItem(), nullptr);

    // A link moved away while customizing hands its group separator on.
    TdxBarItemLink* next = nullptr;
    bool invertNext = false;
    if (links != nullptr && item_ != nullptr && managerAlive && manager->MovingLink() == this) {
        const int index = Index();
        next = index + 1 < links->Count() ? links->Items(index + 1) : nullptr;
        invertNext =
            next != nullptr && ((index == 0 && next->beginGroup_) || (beginGroup_ && !next->beginGroup_));
    }
    if (control_ != nullptr) {
        bars::BarControl* window = control_->Parent();
        if (window != nullptr && window->SelectedControl() == control_.get()) {
            // The selection goes with the link; other bars keep theirs.
            if (manager != nullptr) manager->ForgetSelectedItem(control_.get());
            window->SetSelectedControl(nullptr);
        }
        control_.reset();
    }
    if (item_ != nullptr) item_->RemoveLink(this);
    item_ = nullptr;
    userGlyph_.reset();
    if (links == nullptr) return;
    // The link leaves the collection and every list first, so that no window rebuilt below shows it.
    links->RemoveFromLists(this);
    SetCollection(nullptr);
    if (invertNext) next->SetBeginGroup(!next->beginGroup_);
    bars::BarControl* window = links->BarControl();
    if (window != nullptr && window->Handle() != nullptr && !window->IsDestroying()) window->RepaintBar();
}

TdxBarItemLinks* TdxBarItemLink::Links() const {
    return static_cast<TdxBarItemLinks*>(Collection());
}

TdxBarManager* TdxBarItemLink::BarManager() const {
    return Links() != nullptr ? Links()->BarManager() : nullptr;
}

TObject* TdxBarItemLink::Owner() const {
    return Links() != nullptr ? Links()->LinksOwner() : nullptr;
}

bars::BarControl* TdxBarItemLink::BarControl() const {
    return Links() != nullptr ? Links()->BarControl() : nullptr;
}

void TdxBarItemLink::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdxBarItemLink*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    data_ = source->data_;
    SetUserCaption(source->userCaption_);
    SetUserGlyph(source->userGlyph_.get());
    SetUserPaintStyle(source->userPaintStyle_);
    SetUserWidth(source->userWidth_);
    TdxBarItem* target = nullptr;
    TdxBarManager* manager = BarManager();
    if (source->item_ != nullptr) {
        if (manager != nullptr && manager->IsResetting())
            target = dynamic_cast<TdxBarItem*>(manager->ParentForm()->FindComponent(source->item_->Name()));
        else
            target = source->item_;
    }
    if (target == nullptr && item_ != nullptr) {
        // A link left without an item frees itself: nothing of it may be touched afterwards.
        SetItem(nullptr);
        return;
    }
    SetItem(target);
    SetUserDefine(source->userDefine_);
    SetBeginGroup(source->BeginGroup());
    SetVisible(source->visible_);
}

void TdxBarItemLink::SetItem(TdxBarItem* Value) {
    if (Value == item_) return;
    if (item_ != nullptr) item_->RemoveLink(this);
    if (Value == nullptr) {
        item_ = nullptr;
        delete this;
        return;
    }
    if (auto* owner = dynamic_cast<TCustomdxBarSubItem*>(Owner());
        owner != nullptr && !owner->CanContainItem(Value)) {
        item_ = nullptr;
        if (Links() != nullptr) Links()->RebuildLists();
        throw EdxBarError(LoadBarString(barstr::RecursiveSubItems));
    }
    item_ = Value;
    Value->AddLink(this);
    if (Links() != nullptr) {
        Links()->RebuildLists();
        if (!Links()->OwnerIsLoading()) ResetUsage();
        // A window that shows the links gets the new line.
        if (BarControl() != nullptr) BarControl()->LinksChanged();
    }
    Changed();
}

void TdxBarItemLink::SetItemField(TdxBarItem* Value) {
    item_ = Value;
}

TComponent* TdxBarItemLink::ItemComponent() const {
    return item_;
}

void TdxBarItemLink::SetItemComponent(TdxBarItem* Value) {
    SetItem(Value);
}

bool TdxBarItemLink::BeginGroup() const {
    TdxBarItemLinks* links = Links();
    if (links == nullptr) return beginGroup_;
    const auto& shown = links->ShownLinks();
    const int s = IndexOfLink(shown, this);
    if (beginGroup_ && s != 0) return true;
    if (s < 1) return false;
    // A separator of a hidden link between the previous shown link and this one moves here.
    const auto& available = links->AvailableLinks();
    const int from = IndexOfLink(available, shown[static_cast<size_t>(s - 1)]);
    const int to = IndexOfLink(available, this);
    for (int i = from + 1; i < to; ++i)
        if (available[static_cast<size_t>(i)]->beginGroup_) return true;
    return false;
}

void TdxBarItemLink::SetBeginGroup(bool Value) {
    if (Value == beginGroup_) return;
    beginGroup_ = Value;
    if (control_ != nullptr) control_->BeginGroupChanged();
    Changed();
}

void TdxBarItemLink::SetMostRecentlyUsed(bool Value) {
    if (Value == mostRecentlyUsed_) return;
    mostRecentlyUsed_ = Value;
    ResetUsage();
    if (BarControl() != nullptr) BarControl()->RepaintBar();
    Changed();
}

void TdxBarItemLink::SetUserCaption(const std::string& Value) {
    if (Value == userCaption_) return;
    userCaption_ = Value;
    userDefine_.Include(udCaption);
    if (control_ != nullptr) control_->CaptionChanged();
    Changed();
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines Value) {
    if (Value == userDefine_) return;
    userDefine_ = Value;
    if (!Value.Contains(udCaption)) userCaption_.clear();
    if (!Value.Contains(udGlyph)) userGlyph_->SetSize(0, 0);
    if (!Value.Contains(udPaintStyle)) userPaintStyle_ = psStandard;
    if (!Value.Contains(udWidth)) userWidth_ = 0;
    if (control_ != nullptr) {
        control_->CaptionChanged();
        control_->GlyphChanged();
    }
    Changed();
}

void TdxBarItemLink::SetUserGlyph(TBitmap* Value) {
    if (Value == nullptr || (Value->Empty() && userGlyph_->Empty())) return;
    userGlyph_->Assign(Value);
    userDefine_.Include(udGlyph);
    if (control_ != nullptr) control_->GlyphChanged();
    Changed();
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle Value) {
    if (Value == PaintStyle() || Value < psStandard || Value > psCaptionGlyph) return;
    userPaintStyle_ = Value;
    userDefine_.Include(udPaintStyle);
    if (control_ != nullptr) control_->Remeasure();
    Changed();
}

void TdxBarItemLink::SetUserWidth(int Value) {
    if (Value < 20) Value = 20;
    if (Value == Width()) return;
    userWidth_ = Value;
    userDefine_.Include(udWidth);
    if (control_ != nullptr) control_->Remeasure();
    Changed();
}

void TdxBarItemLink::SetVisible(bool Value) {
    TdxBarManager* manager = BarManager();
    if ((manager != nullptr && manager->IsLoading()) || (Links() != nullptr && Links()->Assigning())) {
        loadedVisible_ = Value;
        return;
    }
    if (Value == visible_) return;
    visible_ = Value;
    if (manager == nullptr || !manager->Designing()) {
        if (Links() != nullptr) Links()->RebuildLists();
        if (Value) {
            Use(false);
            if (BarControl() != nullptr) CreateControl();
            if (control_ != nullptr) control_->VisibleChanged();
        } else {
            MoveToRecentEnd();
            if (control_ != nullptr) control_->VisibleChanged();
            FreeControl();
        }
    }
    Changed();
}

std::string TdxBarItemLink::Caption() const {
    if (userDefine_.Contains(udCaption) || item_ == nullptr) return userCaption_;
    return item_->Caption();
}

TBitmap* TdxBarItemLink::Glyph() const {
    if (userDefine_.Contains(udGlyph) || item_ == nullptr) return userGlyph_.get();
    return item_->Glyph();
}

TdxBarPaintStyle TdxBarItemLink::PaintStyle() const {
    if (userDefine_.Contains(udPaintStyle) || item_ == nullptr) return userPaintStyle_;
    if (auto* button = dynamic_cast<TdxBarButton*>(item_)) return button->PaintStyle();
    return psStandard;
}

int TdxBarItemLink::Width() const {
    if (userDefine_.Contains(udWidth)) return userWidth_;
    if (auto* edit = dynamic_cast<TdxBarEdit*>(item_)) return edit->Width();
    return 0;
}

int TdxBarItemLink::AvailableIndex() const {
    return Links() != nullptr ? IndexOfLink(Links()->AvailableLinks(), this) : -1;
}

int TdxBarItemLink::VisibleIndex() const {
    return Links() != nullptr ? IndexOfLink(Links()->VisibleLinks(), this) : -1;
}

int TdxBarItemLink::ShownIndex() const {
    return Links() != nullptr ? IndexOfLink(Links()->ShownLinks(), this) : -1;
}

int TdxBarItemLink::RecentIndex() const {
    return Links() != nullptr ? IndexOfLink(Links()->RecentOrder(), this) : -1;
}

void TdxBarItemLink::SetRecentIndex(int Value) {
    if (Links() == nullptr) return;
    Links()->MoveInRecentOrder(this, Value);
    Links()->RebuildLists();
}

bool TdxBarItemLink::CanVisible() const {
    return item_ != nullptr && item_->IsVisibleNow() && visible_;
}

bool TdxBarItemLink::ContainsItem(const TdxBarItem* AItem) const {
    if (item_ == nullptr) return false;
    if (item_ == AItem) return true;
    auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(item_);
    return subItem != nullptr && subItem->ItemLinks()->ContainsItem(AItem);
}

void TdxBarItemLink::Use(bool Increment) {
    TdxBarItemLinks* links = Links();
    if (!CanVisible() || links == nullptr) return;
    const int wasShown = ShownIndex();
    links->MoveInRecentOrder(this, 0);
    links->RebuildLists();
    if (Increment) {
        ++useCount_;
        // The use is the user's; a stored layout keeps it outside the standard style, where the links
        // show recent ones first.
        if (TdxBarManager* manager = BarManager(); manager != nullptr && manager->IsNotStandardStyle() &&
                                                   links->UseRecentItems() && links->InStoredLayout())
            manager->NoteUserChange();
    }
    if (VisibleIndex() < 0) return;
    if (wasShown < 0) PostRelayout(links);
    // The menu that holds this link counts as used too.
    TdxBarItemLink* parent = nullptr;
    if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(links->LinksOwner()))
        parent = subItem->FirstShownLink();
    else if (dynamic_cast<TdxBarPopupMenu*>(links->LinksOwner()) != nullptr && links->BarControl() != nullptr)
        if (bars::ItemControl* opener = links->BarControl()->OpenedBy())
            if (TdxBarItemLink* openerLink = opener->Link();
                openerLink != nullptr && openerLink->Item() != nullptr)
                parent = openerLink->Item()->FirstShownLink();
    if (parent != nullptr && parent->masterLink_ != nullptr) parent = parent->masterLink_;
    // Links taking back a stored or copied state are no use of their menu: a sub-menu's links read
    // after the bars' own would reorder the bar it hangs from, as if the user had opened each menu.
    if (parent != nullptr && parent != this && !links->restoringRecentState_) parent->Use(Increment);
}

void TdxBarItemLink::MoveToRecentEnd() {
    TdxBarItemLinks* links = Links();
    if (links == nullptr) return;
    const int wasShown = ShownIndex();
    links->MoveInRecentOrder(this, static_cast<int>(links->RecentOrder().size()) - 1);
    links->RebuildLists();
    if (wasShown >= 0) PostRelayout(links);
}

void TdxBarItemLink::ResetUsage() {
    TdxBarManager* manager = BarManager();
    if (mostRecentlyUsed_) {
        useCount_ = manager != nullptr ? manager->RecentItemsThreshold() : 0;
        Use(false);
    } else {
        useCount_ = 0;
        MoveToRecentEnd();
    }
}

void TdxBarItemLink::CopyRecentFrom(TdxBarItemLink* ALink) {
    useCount_ = ALink->useCount_;
    SetRecentIndex(ALink->RecentIndex());
}

void TdxBarItemLink::SaveRecentIndex() {
    savedRecentIndex_ = RecentIndex();
}

void TdxBarItemLink::RestoreRecentIndex() {
    SetRecentIndex(savedRecentIndex_);
}

void TdxBarItemLink::CreateControl() {
    bars::BarControl* window = BarControl();
    if (window == nullptr || item_ == nullptr || control_ != nullptr) return;
    const TRegItemRecord* record = nullptr;
    if (dynamic_cast<TdxBarWindowItem*>(item_) != nullptr && IsRotatedBarControl(window))
        record = FindRegisteredItemClass("TdxBarButton");
    else
        record = FindRegisteredItemClass(item_->ClassName());
    if (record != nullptr && record->ItemControlClass != nullptr) control_ = record->ItemControlClass(this);
}

void TdxBarItemLink::FreeControl() {
    control_.reset();
}

void TdxBarItemLink::Changed() {
    TdxBarManager* manager = BarManager();
    if (Links() != nullptr) Links()->NoteCustomizingChange();
    if (BarControl() != nullptr && BarControl()->IsCustomizing()) {
        if (auto* popup = dynamic_cast<TdxBarPopupMenu*>(Owner()))
            popup->DesignChanged();
        else if (manager != nullptr)
            manager->DesignerModified();
    }
    if (manager != nullptr && !manager->IsLoading() && manager->OnItemLinkChange)
        manager->OnItemLinkChange(manager, this);
}

const TPropertyTable& TdxBarItemLink::Table() {
    using L = TdxBarItemLink;
    static const TPropertyTable table(nullptr, [] {
        TPropInfo userDefine = SetProperty<L>("UserDefine", &L::UserDefineBits, &L::SetUserDefineBits,
                                              {"udCaption", "udGlyph", "udPaintStyle", "udWidth"}, 0);
        return std::vector<TPropInfo>{
            BooleanProperty<L>("BeginGroup", &L::StoredBeginGroup, &L::SetBeginGroup, false),
            ComponentProperty<L, TdxBarItem>("Item", &L::Item, &L::SetItemComponent),
            BooleanProperty<L>("MostRecentlyUsed", &L::MostRecentlyUsed, &L::SetMostRecentlyUsed, true),
            StringProperty<L>("UserCaption", &L::UserCaption, &L::SetUserCaption),
            userDefine,
            EnumProperty<L>("UserPaintStyle", &L::UserPaintStyle, &L::SetUserPaintStyle,
                            {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"}, psStandard),
            IntegerProperty<L>("UserWidth", &L::UserWidth, &L::SetUserWidth, 0),
            BooleanProperty<L>("Visible", &L::Visible, &L::SetVisible, true),
        };
    }());
    return table;
}
