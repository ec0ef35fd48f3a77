// A collection of item links: the lists its window shows, recent-use order, navigation, shortcuts and
// accelerators, and its window.
#include "bars/core/item_links.h"

#include <algorithm>
#include <cctype>

#include "bars/core/bar_button.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/container_item.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/window_services.h"
#include "platform/gdi/muldiv.h"
#include "platform/gui/keys.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/form.h"

namespace {

bool Contains(const std::vector<TdxBarItemLink*>& list, const TdxBarItemLink* link) {
    return IndexOfLink(list, link) >= 0;
}

// The character after the last single "&" ("&&" stands for a literal one); 0 when there is none.
char AcceleratorOf(const std::string& caption) {
    char accel = 0;
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        accel = caption[i + 1];
    }
    return accel;
}

} // namespace

int IndexOfLink(const std::vector<TdxBarItemLink*>& List, const TdxBarItemLink* Link) {
    auto it = std::find(List.begin(), List.end(), Link);
    return it == List.end() ? -1 : static_cast<int>(it - List.begin());
}

bool CaptionAcceptsKey(const std::string& Caption, WORD Key, TShiftState Shift) {
    const char accel = AcceleratorOf(Caption);
    if (accel == 0) return false;
    const TShiftState state = Shift * TShiftState{ssShift, ssCtrl};
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(accel)));
    // Letters and digits answer their own key, with or without Shift, as menu accelerators do.
    if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
        return Key == static_cast<WORD>(upper) && !state.Contains(ssCtrl);
    const int16_t scan = VkKeyScan(accel);
    if (scan == -1 || Key != static_cast<WORD>(scan & 0xFF)) return false;
    switch ((scan >> 8) & 3) {
    case 1:
        return state == TShiftState{ssShift};
    case 2:
        return state == TShiftState{ssCtrl};
    case 3:
        return state == (TShiftState{ssShift, ssCtrl});
    default:
        return state.Empty();
    }
}

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* ABarManager, TObject* AOwner)
    : TCollection(CollectionItemClass<TdxBarItemLink>(), dynamic_cast<TPersistent*>(AOwner)),
      barManager_(ABarManager), owner_(AOwner) {}

TdxBarItemLinks::~TdxBarItemLinks() {
    if (barControl_ != nullptr && !barControl_->IsDestroying()) barControl_.reset();
    barControl_.reset();
    // The links go while the lists they leave still exist.
    BeginUpdate();
    while (Count() > 0)
        delete TCollection::Items(Count() - 1);
    EndUpdate();
}

TPersistent* TdxBarItemLinks::GetOwner() const {
    if (auto* persistent = dynamic_cast<TPersistent*>(owner_)) return persistent;
    return barManager_;
}

std::vector<TdxBarItemLink*> TdxBarItemLinks::LiveLinks() const {
    std::vector<TdxBarItemLink*> live;
    for (int i = 0; i < Count(); ++i) {
        TCollectionItem* raw = TCollection::Items(i);
        // An item still being made, or already being freed, is not in the recent-use order.
        for (TdxBarItemLink* link : recentOrder_)
            if (static_cast<TCollectionItem*>(link) == raw) {
                live.push_back(link);
                break;
            }
    }
    return live;
}

bool TdxBarItemLinks::OwnerIsDestroying() const {
    if (auto* component = dynamic_cast<TComponent*>(owner_))
        return component->ComponentState().Contains(csDestroying);
    return barManager_ != nullptr && barManager_->IsDestroying();
}

bool TdxBarItemLinks::OwnerIsLoading() const {
    if (auto* component = dynamic_cast<TComponent*>(owner_))
        return component->ComponentState().Contains(csLoading);
    return barManager_ != nullptr && barManager_->IsLoading();
}

bool TdxBarItemLinks::IsDesignRelevant() const {
    if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner_)) return subItem->IsDesignRelevant();
    return true;
}

bool TdxBarItemLinks::InStoredLayout() const {
    if (auto* bar = dynamic_cast<TdxBar*>(owner_)) return !bar->Hidden();
    auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner_);
    return subItem != nullptr && !subItem->Name().empty();
}

void TdxBarItemLinks::NoteCustomizingChange() {
    if (barManager_ != nullptr && InStoredLayout()) barManager_->NoteCustomizingChange();
}

void TdxBarItemLinks::ReportDesignChange() {
    if (auto* popup = dynamic_cast<TdxBarPopupMenu*>(owner_))
        popup->DesignChanged();
    else if (barManager_ != nullptr)
        barManager_->DesignerModified();
}

void TdxBarItemLinks::Update(TCollectionItem*) {
    if (OwnerIsDestroying()) return;
    NoteCustomizingChange();
    if (IsDesignRelevant()) ReportDesignChange();
    RebuildLists();
    if (auto* container = dynamic_cast<TCustomdxBarContainerItem*>(owner_)) container->LinksChanged();
    if (barControl_ != nullptr) barControl_->LinksChanged();
    if (OnChange) OnChange(this);
}

void TdxBarItemLinks::Assign(TPersistent* Source) {
    {
        assigning_ = true;
        const ScopeGuard assigned([this] { assigning_ = false; });
        TCollection::Assign(Source);
    }
    for (TdxBarItemLink* link : LiveLinks())
        link->SetVisible(link->LoadedVisible());
}

void TdxBarItemLinks::RemoveFromLists(TdxBarItemLink* Link) {
    for (auto* list : {&available_, &visible_, &shown_, &recentOrder_})
        list->erase(std::remove(list->begin(), list->end(), Link), list->end());
}

void TdxBarItemLinks::MoveInRecentOrder(TdxBarItemLink* Link, int Position) {
    auto it = std::find(recentOrder_.begin(), recentOrder_.end(), Link);
    if (it == recentOrder_.end()) return;
    recentOrder_.erase(it);
    Position = std::clamp(Position, 0, static_cast<int>(recentOrder_.size()));
    recentOrder_.insert(recentOrder_.begin() + Position, Link);
}

bars::BarControl* TdxBarItemLinks::CreateBarControl() {
    if (barControl_ != nullptr) return barControl_.get();
    barControl_ = bars::Windows().MakeBarControl(this, dynamic_cast<TdxBar*>(owner_) != nullptr);
    if (barControl_ != nullptr) barControl_->CreateControls();
    return barControl_.get();
}

void TdxBarItemLinks::FreeBarControl() {
    barControl_.reset();
}

void TdxBarItemLinks::RebuildLists() {
    available_.clear();
    visible_.clear();
    shown_.clear();
    const bool design = barManager_ != nullptr && barManager_->Designing();
    for (TdxBarItemLink* link : LiveLinks()) {
        if (link->Item() == nullptr || (!design && !link->Item()->IsVisibleNow())) continue;
        available_.push_back(link);
        if (design || link->Visible()) {
            visible_.push_back(link);
            if (design || recentItemCount_ == -1) shown_.push_back(link);
        }
    }
    if (design || recentItemCount_ <= 0) return;
    for (TdxBarItemLink* link : recentOrder_) {
        if (static_cast<int>(shown_.size()) >= recentItemCount_) break;
        if (Contains(visible_, link)) shown_.push_back(link);
    }
    std::sort(shown_.begin(), shown_.end(), [this](TdxBarItemLink* a, TdxBarItemLink* b) {
        return IndexOfLink(visible_, a) < IndexOfLink(visible_, b);
    });
}

bool TdxBarItemLinks::UseRecentItemsEffective() const {
    if (barManager_ == nullptr || !barManager_->IsNotStandardStyle()) return false;
    const TdxBarItemLinks* links = this;
    bool value = useRecentItems_;
    // The toolbar or popup menu at the root of a menu chain decides for all its menus.
    for (int depth = 0; links != nullptr && depth < 64; ++depth) {
        value = links->useRecentItems_;
        if (dynamic_cast<TdxBar*>(links->owner_) != nullptr ||
            dynamic_cast<TdxBarPopupMenu*>(links->owner_) != nullptr)
            break;
        bars::BarControl* window = links->BarControl();
        bars::BarControl* parent = window != nullptr ? window->ParentBarControl() : nullptr;
        links = parent != nullptr ? parent->ItemLinks() : nullptr;
    }
    return value;
}

int TdxBarItemLinks::GetRecentItemCount() const {
    if (!UseRecentItemsEffective() || visible_.empty()) return -1;
    int low = visible_.front()->UseCount(), high = low;
    for (TdxBarItemLink* link : visible_) {
        low = std::min(low, link->UseCount());
        high = std::max(high, link->UseCount());
    }
    const int threshold = low + MulDiv(high - low, 100 - barManager_->MostRecentItemsPercents(), 100);
    int result = 0;
    const int last = std::min(static_cast<int>(visible_.size()), static_cast<int>(recentOrder_.size())) - 1;
    for (int position = last; position >= 0; --position) {
        TdxBarItemLink* link = recentOrder_[static_cast<size_t>(position)];
        if (link->UseCount() >= threshold) {
            result = position + 1;
            break;
        }
    }
    return result == static_cast<int>(visible_.size()) ? -1 : result;
}

void TdxBarItemLinks::SetRecentItemCount(int Value) {
    prevRecentItemCount_ = recentItemCount_;
    recentItemCount_ = UseRecentItemsEffective() ? Value : -1;
    RebuildLists();
}

void TdxBarItemLinks::RestoreRecentItemCount() {
    recentItemCount_ = prevRecentItemCount_;
    RebuildLists();
}

void TdxBarItemLinks::ClearItemRects() {
    for (TdxBarItemLink* link : LiveLinks())
        link->SetItemRect(RECT{0, 0, 0, 0});
}

int TdxBarItemLinks::FitCount() const {
    if (dynamic_cast<TdxBar*>(owner_) == nullptr) return CanVisibleItemCount();
    const RECT client = barControl_ != nullptr ? barControl_->ClientRect() : RECT{0, 0, 0, 0};
    int count = 0;
    for (TdxBarItemLink* link : shown_) {
        const RECT r = link->ItemRect();
        const bool empty = r.right <= r.left || r.bottom <= r.top;
        if (empty || r.left < client.left || r.top < client.top || r.right > client.right ||
            r.bottom > client.bottom)
            break;
        ++count;
    }
    return count;
}

std::vector<TdxBarItemLink*> TdxBarItemLinks::Selectable() const {
    std::vector<TdxBarItemLink*> result;
    const int fit = FitCount();
    for (int i = 0; i < fit && i < static_cast<int>(shown_.size()); ++i) {
        TdxBarItemLink* link = shown_[static_cast<size_t>(i)];
        if (link->Control() != nullptr && link->Control()->CanSelect()) result.push_back(link);
    }
    return result;
}

TdxBarItemLink* TdxBarItemLinks::FirstSelectable() const {
    const auto list = Selectable();
    return list.empty() ? nullptr : list.front();
}

TdxBarItemLink* TdxBarItemLinks::LastSelectable() const {
    const auto list = Selectable();
    return list.empty() ? nullptr : list.back();
}

TdxBarItemLink* TdxBarItemLinks::NextSelectable(TdxBarItemLink* ALink) const {
    if (ALink == nullptr) return FirstSelectable();
    const auto list = Selectable();
    const int fit = std::min(FitCount(), static_cast<int>(shown_.size()));
    const int from = IndexOfLink(shown_, ALink);
    for (int step = 1; step <= fit; ++step) {
        TdxBarItemLink* link = shown_[static_cast<size_t>(((from + step) % fit + fit) % fit)];
        if (link == ALink) break;
        if (Contains(list, link)) return link;
    }
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::PrevSelectable(TdxBarItemLink* ALink) const {
    if (ALink == nullptr) return LastSelectable();
    const auto list = Selectable();
    const int fit = std::min(FitCount(), static_cast<int>(shown_.size()));
    const int from = IndexOfLink(shown_, ALink);
    for (int step = 1; step <= fit; ++step) {
        TdxBarItemLink* link = shown_[static_cast<size_t>(((from - step) % fit + fit) % fit)];
        if (link == ALink) break;
        if (Contains(list, link)) return link;
    }
    return nullptr;
}

void TdxBarItemLinks::UpdateItemActions() {
    for (TdxBarItemLink* link : LiveLinks())
        if (link->Item() != nullptr && link->Item()->ActionLink() != nullptr)
            link->Item()->ActionLink()->Update();
}

bool TdxBarItemLinks::ExecuteShortCut(TShortCut ShortCut) {
    UpdateItemActions();
    // A copy: a handler may change the lists.
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(available_)) {
        TdxBarItem* item = link->Item();
        if (item == nullptr || !item->Enabled()) continue;
        if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(item)) {
            if (subItem->ExecuteShortCut(ShortCut)) return true;
            continue;
        }
        if (item->CanClicked()) {
            TdxBarItemActionLink* actionLink = item->ActionLink();
            const bool formHandles = actionLink != nullptr && actionLink->IsShortCutLinked() &&
                                     actionLink->Action()->Owner() == barManager_->ParentForm();
            if (!formHandles && item->ShortCut() == ShortCut && ShortCut != scNone) {
                item->Click();
                return true;
            }
        }
        if (auto* button = dynamic_cast<TdxBarButton*>(item);
            button != nullptr && button->ButtonStyle() == bsDropDown && button->DropDownMenu() != nullptr)
            if (button->DropDownMenu()->ExecuteShortCut(ShortCut)) return true;
    }
    return false;
}

TdxBarItemLink* TdxBarItemLinks::FindAccelLink(WORD Key, TShiftState Shift, TdxBarItemLink* Current) const {
    Shift.Exclude(ssAlt);
    auto accepts = [&](TdxBarItemLink* link) {
        return link->Item() != nullptr && link->Item()->HasAccel(link) &&
               CaptionAcceptsKey(link->Caption(), Key, Shift);
    };
    if (barControl_ == nullptr || !barControl_->IsToolbar()) {
        if (visible_.empty()) return nullptr;
        const int n = static_cast<int>(visible_.size());
        const int start = Current != nullptr ? IndexOfLink(visible_, Current) : 0;
        // Each link is tested once, the start link last.
        for (int step = 1; step <= n; ++step) {
            TdxBarItemLink* link = visible_[static_cast<size_t>(((start + step) % n + n) % n)];
            if (accepts(link)) return link;
        }
        return nullptr;
    }
    if (!barControl_->IsVisible()) return nullptr;
    TdxBarItemLink* first = nullptr;
    for (TdxBarItemLink* link = NextSelectable(Current); link != nullptr; link = NextSelectable(link)) {
        if (accepts(link)) return link;
        if (first == nullptr)
            first = link;
        else if (link == first)
            break;
        if (link == Current) break;
    }
    return nullptr;
}

bool TdxBarItemLinks::ContainsItem(const TdxBarItem* AItem) const {
    for (TdxBarItemLink* link : LiveLinks())
        if (link->ContainsItem(AItem)) return true;
    return false;
}

void TdxBarItemLinks::RestoreRecentState(bool RestoreVisible) {
    const auto links = LiveLinks();
    const Restoring restoring(this);
    for (auto it = links.rbegin(); it != links.rend(); ++it)
        if ((*it)->Item() != nullptr) (*it)->ResetUsage();
    if (RestoreVisible)
        for (auto it = links.rbegin(); it != links.rend(); ++it)
            (*it)->SetVisible((*it)->LoadedVisible());
    for (int position = 0; position < static_cast<int>(links.size()); ++position)
        for (TdxBarItemLink* link : links)
            if (link->LoadedRecentIndex() == position) {
                link->SetUseCount(link->LoadedUseCount());
                MoveInRecentOrder(link, position);
                link->SetLoadedRecentIndex(-1);
            }
    RebuildLists();
}

void TdxBarItemLinks::AssignRecentStateByName(TdxBarItemLinks* Source) {
    const auto links = LiveLinks();
    std::vector<TdxBarItemLink*> sources = Source->LiveLinks();
    for (TdxBarItemLink* link : links) {
        if (link->Item() == nullptr || link->Item()->Name().empty()) continue;
        // The first counterpart not taken yet: an item linked twice pairs its links in order.
        auto it = std::find_if(sources.begin(), sources.end(), [link](TdxBarItemLink* s) {
            return s != nullptr && s->Item() != nullptr && SameText(s->Item()->Name(), link->Item()->Name());
        });
        if (it == sources.end()) continue;
        link->mostRecentlyUsed_ = (*it)->MostRecentlyUsed();
        *it = nullptr;
    }
    RestoreRecentState(false);
    auto firstHidden = std::find_if(recentOrder_.begin(), recentOrder_.end(),
                                    [this](TdxBarItemLink* l) { return !Contains(visible_, l); });
    std::stable_partition(firstHidden, recentOrder_.end(),
                          [this](TdxBarItemLink* l) { return Contains(visible_, l); });
    RebuildLists();
}

void TdxBarItemLinks::AssignRecentState(TdxBarItemLinks* Source) {
    const auto links = LiveLinks();
    const auto sources = Source->LiveLinks();
    for (size_t i = 0; i < links.size() && i < sources.size(); ++i)
        links[i]->mostRecentlyUsed_ = sources[i]->MostRecentlyUsed();
    RestoreRecentState(false);
    // Visible links come before hidden ones in the recent-use order.
    auto firstHidden = std::find_if(recentOrder_.begin(), recentOrder_.end(),
                                    [this](TdxBarItemLink* l) { return !Contains(visible_, l); });
    std::stable_partition(firstHidden, recentOrder_.end(),
                          [this](TdxBarItemLink* l) { return Contains(visible_, l); });
    RebuildLists();
}
