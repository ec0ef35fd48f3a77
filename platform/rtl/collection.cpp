#include "platform/rtl/collection.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/published.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (collection_ == Value) return;
    if (collection_ != nullptr) collection_->RemoveItem(this);
    if (Value != nullptr) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr) return -1;
    auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    if (collection_ != nullptr && Value != Index()) collection_->MoveItem(this, Value);
}

TPersistent* TCollectionItem::GetOwner() const {
    return collection_;
}

std::string TCollectionItem::GetNamePath() const {
    if (collection_ == nullptr) return ClassName();
    return Format("%s[%d]", collection_->GetNamePath(), Index());
}

void TCollectionItem::Changed(bool AllItems) {
    if (collection_ != nullptr && collection_->updateCount_ == 0)
        collection_->ItemChanged(AllItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemClass ItemClass, TPersistent* Owner)
    : itemClass_(ItemClass), owner_(Owner) {}

TCollection::~TCollection() {
    // No change notifications while the collection itself goes away.
    updateCount_ = 1;
    Clear();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format(rtl_text::ListIndexError, Index));
    return items_[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : items_)
        if (item->id_ == ID) return item;
    return nullptr;
}

TCollectionItem* TCollection::Add() {
    return itemClass_(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) throw EListError(Format(rtl_text::ListIndexError, Index));
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    delete Items(Index);
}

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    Clear();
    for (TCollectionItem* item : source->items_)
        Add()->Assign(item);
}

// The owner's path and the name of the owner's property that holds this collection.
std::string TCollection::GetNamePath() const {
    if (owner_ == nullptr) return ClassName();
    std::string ownerPath = owner_->GetNamePath();
    if (ownerPath.empty()) return ClassName();
    if (const TPropertyTable* table = owner_->PublishedProperties())
        for (const TPropInfo& info : table->Properties())
            if (info.Kind == TPropKind::Class && info.GetObject(*owner_) == this)
                return ownerPath + "." + info.Name;
    return ClassName();
}

void TCollection::BeginUpdate() {
    ++updateCount_;
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::InsertItem(TCollectionItem* Item) {
    items_.push_back(Item);
    Item->collection_ = this;
    Item->id_ = nextId_++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it != items_.end()) items_.erase(it);
    Item->collection_ = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex) {
    if (NewIndex < 0 || NewIndex >= Count()) throw EListError(Format(rtl_text::ListIndexError, NewIndex));
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end()) return;
    items_.erase(it);
    items_.insert(items_.begin() + NewIndex, Item);
    Changed();
}

void TCollection::ItemChanged(TCollectionItem* Item) {
    if (updateCount_ == 0) Update(Item);
}
