// Groups: one assignment switches every member, nested groups included, under one redraw lock.
#include "bars/core/bar_group.h"

#include <algorithm>

#include "bars/core/bar_errors.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/customizing_notify.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/published.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/writer.h"
#include "platform/vcl/form.h"

TdxBarGroup::TdxBarGroup(TComponent* AOwner) : TComponent(AOwner) {}

TdxBarGroup::~TdxBarGroup() {
    Destroying();
    if (barManager_ != nullptr) {
        barManager_->UnregisterGroup(this);
        // No row of the customizing window may outlive the group.
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->RefreshGroups(barManager_);
    }
}

void TdxBarGroup::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    if (barManager_ != nullptr)
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->RefreshGroups(barManager_);
}

const TPropertyTable& TdxBarGroup::Table() {
    using G = TdxBarGroup;
    static const TPropertyTable table(&TComponent::Table(), [] {
        return std::vector<TPropInfo>{
            BooleanProperty<G>("Enabled", &G::Enabled, &G::SetEnabled, true),
            EnumProperty<G>("Visible", &G::Visible, &G::SetVisible,
                            {"ivNever", "ivInCustomizing", "ivAlways"}, ivAlways),
        };
    }());
    return table;
}

namespace {

// Holds the manager's redraw lock for one scope, when asked to, and gives back the value it found.
class RedrawLock {
public:
    RedrawLock(TdxBarManager* Manager, bool Lock) : manager_(Lock ? Manager : nullptr) {
        if (manager_ == nullptr) return;
        saved_ = manager_->LockUpdate();
        manager_->SetLockUpdate(true);
    }
    ~RedrawLock() {
        if (manager_ != nullptr) manager_->SetLockUpdate(saved_);
    }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

private:
    TdxBarManager* manager_;
    bool saved_ = false;
};

} // namespace

// Every assignment reaches every member, also one that repeats the group's value: a member changed on
// its own since is brought back to the group's state.
void TdxBarGroup::SetEnabled(bool Value) {
    enabled_ = Value;
    // One repaint for the whole set instead of one per member. Letting the lock go rebuilds every docked
    // toolbar, which an open quick-customization drop-down (showing copies of its toolbar's links) must
    // not see happen under it: no lock while one shows.
    const RedrawLock lock(barManager_, !IsLoading() && !IsDestroying() && !QuickControlExists());
    for (TComponent* member : std::vector<TComponent*>(items_)) {
        if (auto* item = dynamic_cast<TdxBarItem*>(member))
            item->SetEnabled(Value);
        else if (auto* group = dynamic_cast<TdxBarGroup*>(member))
            group->SetEnabled(Value);
    }
}

void TdxBarGroup::SetVisible(TdxBarItemVisible Value) {
    visible_ = Value;
    const RedrawLock lock(barManager_, !IsLoading() && !IsDestroying());
    for (TComponent* member : std::vector<TComponent*>(items_)) {
        if (auto* item = dynamic_cast<TdxBarItem*>(member))
            item->SetVisible(Value);
        else if (auto* group = dynamic_cast<TdxBarGroup*>(member))
            group->SetVisible(Value);
    }
}

TComponent* TdxBarGroup::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return items_[static_cast<size_t>(Index)];
}

int TdxBarGroup::IndexOf(TComponent* Member) const {
    auto it = std::find(items_.begin(), items_.end(), Member);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool TdxBarGroup::Contains(const TdxBarGroup* Group) const {
    if (Group == this) return true;
    for (TComponent* member : items_)
        if (auto* group = dynamic_cast<TdxBarGroup*>(member); group != nullptr && group->Contains(Group))
            return true;
    return false;
}

void TdxBarGroup::Add(TComponent* Member) {
    if (Member == nullptr || IndexOf(Member) >= 0) return;
    auto* group = dynamic_cast<TdxBarGroup*>(Member);
    if (group == nullptr && dynamic_cast<TdxBarItem*>(Member) == nullptr) return;
    if (group != nullptr && group->Contains(this)) throw EdxBarError(LoadBarString(barstr::RecursiveGroups));
    items_.push_back(Member);
    FreeNotification(Member);
}

void TdxBarGroup::Remove(TComponent* Member) {
    const int index = IndexOf(Member);
    if (index < 0) return;
    items_.erase(items_.begin() + index);
}

void TdxBarGroup::Move(int CurIndex, int NewIndex) {
    if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count() || CurIndex == NewIndex)
        return;
    TComponent* member = items_[static_cast<size_t>(CurIndex)];
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, member);
}

int TdxBarGroup::Index() const {
    if (barManager_ == nullptr) return -1;
    for (int i = 0; i < barManager_->GroupCount(); ++i)
        if (barManager_->Groups(i) == this) return i;
    return -1;
}

void TdxBarGroup::SetIndex(int Value) {
    if (barManager_ != nullptr) barManager_->MoveGroup(this, Value);
}

void TdxBarGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != this) Remove(AComponent);
}

void TdxBarGroup::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    auto read = [this](TReader& Reader) {
        if (loadedItemNames_ == nullptr)
            loadedItemNames_ = std::make_unique<std::vector<std::string>>();
        else
            loadedItemNames_->clear();
        Reader.ReadListBegin();
        while (!Reader.EndOfList())
            loadedItemNames_->push_back(Reader.ReadString());
        Reader.ReadListEnd();
    };
    auto write = [this](TWriter& Writer) {
        Writer.WriteListBegin();
        for (TComponent* member : items_)
            Writer.WriteString(member->Name());
        Writer.WriteListEnd();
    };
    Filer.DefineProperty("Items", read, write, !items_.empty());
}

void TdxBarGroup::ReadState(TReader& Reader) {
    if (auto* manager = dynamic_cast<TdxBarManager*>(Reader.Parent())) SetBarManager(manager);
    TComponent::ReadState(Reader);
}

void TdxBarGroup::Loaded() {
    TComponent::Loaded();
    if (loadedItemNames_ == nullptr) return;
    std::unique_ptr<std::vector<std::string>> names = std::move(loadedItemNames_);
    // Members are looked up on the manager's form; names that no longer resolve are skipped.
    TCustomForm* form = barManager_ != nullptr ? barManager_->ParentForm() : nullptr;
    if (form == nullptr) return;
    for (const std::string& name : *names)
        if (TComponent* member = form->FindComponent(name)) Add(member);
}

TComponent* TdxBarGroup::GetParentComponent() const {
    return barManager_;
}

void TdxBarGroup::SetParentComponent(TComponent* Value) {
    if (auto* manager = dynamic_cast<TdxBarManager*>(Value)) SetBarManager(manager);
}

void TdxBarGroup::SetBarManager(TdxBarManager* Value) {
    if (Value == barManager_) return;
    if (barManager_ != nullptr) barManager_->UnregisterGroup(this);
    barManager_ = Value;
    if (barManager_ != nullptr) barManager_->RegisterGroup(this);
}
