#include "platform/rtl/component.h"

#include "platform/rtl/format.h"
#include "platform/rtl/published.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/writer.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {
constexpr const char* InvalidName = "'%s' is not a valid component name";
constexpr const char* DuplicateName = "A component named %s already exists";
constexpr const char* ClassNotFound = "Class %s not found";

void EraseOne(std::vector<TComponent*>& list, TComponent* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) list.erase(it);
}
} // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    RemoveNotification(nullptr);
    while (!components_.empty()) {
        TComponent* component = components_.back();
        // What derived from this component is gone already; only its own part is told.
        TComponent::Notification(component, opRemove);
        Remove(component);
        delete component;
    }
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

const TPropertyTable& TComponent::Table() {
    static const TPropertyTable table(nullptr, [] {
        TPropInfo name = StringProperty<TComponent>("Name", &TComponent::Name, &TComponent::SetName);
        name.Stored = [](const TPersistent&) { return false; };
        return std::vector<TPropInfo>{
            name, IntegerProperty<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag, 0)};
    }());
    return table;
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(rtl_text::ListIndexError, Index));
    return components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* component : components_)
        if (SameText(component->name_, AName)) return component;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (name_ == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError(Format(InvalidName, NewName));
    if (owner_ != nullptr)
        owner_->ValidateRename(this, name_, NewName);
    else
        ValidateRename(nullptr, name_, NewName);
    name_ = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
    if (AComponent != nullptr && !SameText(CurName, NewName) && AComponent->owner_ == this &&
        FindComponent(NewName) != nullptr)
        throw EComponentError(Format(DuplicateName, NewName));
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        state_.Include(csDesigning);
    else
        state_.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* component : components_)
            component->SetDesigning(Value, true);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ == this) return;
    ValidateInsert(AComponent);
    ValidateRename(AComponent, "", AComponent->name_);
    if (AComponent->owner_ != nullptr) AComponent->owner_->RemoveComponent(AComponent);
    Insert(AComponent);
    if (state_.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    components_.push_back(AComponent);
    AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent) {
    EraseOne(components_, AComponent);
    AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* component = components_.back();
        RemoveComponent(component);
        delete component;
    }
}

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_.Include(csDestroying);
    for (TComponent* component : components_)
        component->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    if (owner_ == nullptr || AComponent->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end())
            freeNotifies_.push_back(AComponent);
        if (std::find(AComponent->freeNotifies_.begin(), AComponent->freeNotifies_.end(), this) ==
            AComponent->freeNotifies_.end())
            AComponent->freeNotifies_.push_back(this);
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    EraseOne(freeNotifies_, AComponent);
    EraseOne(AComponent->freeNotifies_, this);
}

// Tells every component on the free-notification list that this one goes away. Each is taken off both
// lists before it is told, so a Notification that does not call the base cannot loop forever.
void TComponent::RemoveNotification(TComponent*) {
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        EraseOne(other->freeNotifies_, this);
        other->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
    // A notified component may free others; re-check the bound on each step.
    for (size_t i = components_.size(); i > 0; --i)
        if (i - 1 < components_.size()) components_[i - 1]->Notification(AComponent, Operation);
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::Loaded() {
    state_.Exclude(csLoading);
}

void TComponent::ReadState(TReader& Reader) {
    Reader.ReadData(this);
}

void TComponent::WriteState(TWriter& Writer) {
    Writer.WriteData(this);
}

bool IsValidIdent(std::string_view Ident) {
    if (Ident.empty()) return false;
    auto isAlpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!isAlpha(Ident[0])) return false;
    return std::all_of(Ident.begin() + 1, Ident.end(),
                       [&](char c) { return isAlpha(c) || (c >= '0' && c <= '9'); });
}

namespace {
struct ClassRegistry {
    std::mutex lock;
    std::map<std::string, TComponentClass> classes; // keyed by the upper-cased name
};

ClassRegistry& Registry() {
    static ClassRegistry registry;
    return registry;
}
} // namespace

void RegisterClass(const std::string& ClassName, TComponentClass Create) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.classes[UpperCase(ClassName)] = Create;
}

void UnRegisterClass(const std::string& ClassName) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.classes.erase(UpperCase(ClassName));
}

TComponentClass GetClass(std::string_view ClassName) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto it = registry.classes.find(UpperCase(ClassName));
    return it == registry.classes.end() ? nullptr : it->second;
}

TComponentClass FindClass(std::string_view ClassName) {
    TComponentClass found = GetClass(ClassName);
    if (found == nullptr) throw EClassNotFound(Format(ClassNotFound, ClassName));
    return found;
}
