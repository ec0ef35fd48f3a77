#include "fetch/html/sequences.h"

#include <cstring>
#include <new>

#include "fetch/html/binary_filer.h"
#include "platform/rtl/format.h"

// ---- common

void TDISequence::InitItem(void* item) {
    if (itemHandler_->OnInitItem()) itemHandler_->OnInitItem()(this, item);
}

void TDISequence::FreeItem(void* item) {
    if (itemHandler_->OnFreeItem()) itemHandler_->OnFreeItem()(this, item);
}

void TDISequence::CheckAssignable(const TDISequence* source) const {
    if (source->itemHandler_ != itemHandler_) Error(di_text::HandlersDoNotMatch);
    if (!itemHandler_->OnCopyItem()) Error(di_text::CopyItemsNotAssigned);
}

void TDISequence::Assign(TPersistent* source) {
    auto* sequence = dynamic_cast<TDISequence*>(source);
    if (sequence == nullptr) {
        TDIContainer::Assign(source);
        return;
    }
    // Copying into itself would clear the source first.
    if (sequence == this) return;
    CheckAssignable(sequence);
    if (AssignSameKind(sequence)) return;
    Clear();
    for (const void* item : sequence->ItemsInOrder())
        CopyItem(item, AppendItem());
}

// ---- vector

TDIVector::TDIVector(TDIItemHandler* itemHandler) : TDISequence(itemHandler) {
    CheckItemHandler();
    itemStride_ = Aligned(itemHandler->ItemSize());
}

TDIVector::~TDIVector() {
    for (int32_t i = 0; i < count_; ++i)
        FreeItem(ItemOf(i));
}

void TDIVector::Reallocate(int32_t capacity) {
    if (capacity == capacity_) return;
    std::unique_ptr<uint8_t[]> fresh(capacity ? new uint8_t[static_cast<size_t>(capacity) * itemStride_]()
                                              : nullptr);
    int32_t keep = std::min(count_, capacity);
    if (keep > 0) std::memcpy(fresh.get(), items_.get(), static_cast<size_t>(keep) * itemStride_);
    items_ = std::move(fresh);
    capacity_ = capacity;
}

void* TDIVector::Add() {
    if (count_ + 1 > capacity_) Reallocate(Capacity(count_ + 1));
    void* item = ItemOf(count_);
    std::memset(item, 0, itemStride_);
    InitItem(item);
    ++count_;
    return item;
}

void TDIVector::SetCount(int32_t n) {
    if (n < 0) ListIndexError(n);
    if (n > count_) {
        if (n > capacity_) Reallocate(Capacity(n));
        for (int32_t i = count_; i < n; ++i) {
            std::memset(ItemOf(i), 0, itemStride_);
            InitItem(ItemOf(i));
            count_ = i + 1;
        }
    } else if (n < count_) {
        const int32_t old = count_;
        for (int32_t i = count_ - 1; i >= n; --i) {
            FreeItem(ItemOf(i));
            count_ = i;
        }
        if (Shrink(old) > n) Reallocate(Capacity(n));
    }
}

void TDIVector::Clear() {
    for (int32_t i = 0; i < count_; ++i)
        FreeItem(ItemOf(i));
    count_ = 0;
    // A small vector cleared again and again (a tag's attributes, once a tag) keeps its room.
    if (capacity_ > kRoomKeptOnClear) {
        items_.reset();
        capacity_ = 0;
    }
}

void* TDIVector::Item(int32_t index) const {
    if (index < 0 || index >= count_) ListIndexError(index);
    return ItemOf(index);
}

void* TDIVector::FindItem(const void* key, TDISameItemsFunc sameItems, int32_t startIndex, void* data) {
    if (!sameItems) Error(di_text::SameItemsNotAssigned);
    if (startIndex != 0 && (startIndex < 0 || startIndex >= count_)) ListIndexError(startIndex);
    for (int32_t i = startIndex; i < count_; ++i)
        if (sameItems(this, ItemOf(i), key, data)) return ItemOf(i);
    return nullptr;
}

bool TDIVector::ContainsItem(const void* key, TDISameItemsFunc sameItems, int32_t startIndex, void* data) {
    return FindItem(key, sameItems, startIndex, data) != nullptr;
}

std::vector<const void*> TDIVector::ItemsInOrder() const {
    std::vector<const void*> items;
    items.reserve(static_cast<size_t>(count_));
    for (int32_t i = 0; i < count_; ++i)
        items.push_back(ItemOf(i));
    return items;
}

bool TDIVector::AssignSameKind(TDISequence* source) {
    auto* vector = dynamic_cast<TDIVector*>(source);
    if (vector == nullptr) return false;
    SetCount(vector->count_);
    for (int32_t i = 0; i < count_; ++i)
        CopyItem(vector->ItemOf(i), ItemOf(i));
    return true;
}

namespace {

// Reads a count that must fit the bytes left: each item takes at least one.
int32_t ReadCount(TDIBinaryReader& reader) {
    int32_t n = reader.ReadInteger();
    if (n < 0 || n > reader.BytesLeft()) throw EReadError(rtl_text::ReadError);
    return n;
}

} // namespace

void TDIVector::WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) {
    if (!itemHandler_->OnWriteItem()) Error(Format(di_text::NotAssigned, "OnWriteItem"));
    WriteSignature(writer, flags, "DIVC", data);
    writer.WriteInteger(count_);
    for (int32_t i = 0; i < count_; ++i)
        itemHandler_->OnWriteItem()(this, writer, ItemOf(i), data);
}

void TDIVector::ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) {
    if (!itemHandler_->OnReadItem()) Error(Format(di_text::NotAssigned, "OnReadItem"));
    ReadSignature(reader, flags, "DIVC", data);
    int32_t n = ReadCount(reader);
    TDIVector fresh(itemHandler_);
    for (int32_t i = 0; i < n; ++i)
        itemHandler_->OnReadItem()(this, reader, fresh.Add(), data);
    std::swap(items_, fresh.items_);
    std::swap(capacity_, fresh.capacity_);
    std::swap(count_, fresh.count_);
}

// ---- list

struct TDIList::Node {
    Node* prev;
    Node* next;
    void* Item() { return reinterpret_cast<uint8_t*>(this) + sizeof(Node); }
    static Node* Of(const void* item) {
        return reinterpret_cast<Node*>(const_cast<uint8_t*>(static_cast<const uint8_t*>(item)) -
                                       sizeof(Node));
    }
};

TDIList::TDIList(TDIItemHandler* itemHandler) : TDISequence(itemHandler) {
    CheckItemHandler();
}

TDIList::~TDIList() {
    TDIList::Clear();
}

void* TDIList::Add() {
    auto* raw = new uint8_t[sizeof(Node) + Aligned(itemHandler_->ItemSize())]();
    Node* node = new (raw) Node{last_, nullptr};
    if (last_)
        last_->next = node;
    else
        first_ = node;
    last_ = node;
    InitItem(node->Item());
    ++count_;
    return node->Item();
}

void* TDIList::FirstItem() const {
    return first_ ? first_->Item() : nullptr;
}

void* TDIList::NextItem(const void* item) const {
    if (item == nullptr) return nullptr;
    Node* next = Node::Of(item)->next;
    return next ? next->Item() : nullptr;
}

void TDIList::Clear() {
    Node* node = first_;
    first_ = last_ = nullptr;
    while (node) {
        Node* next = node->next;
        FreeItem(node->Item());
        delete[] reinterpret_cast<uint8_t*>(node);
        --count_;
        node = next;
    }
    count_ = 0;
}

std::vector<const void*> TDIList::ItemsInOrder() const {
    std::vector<const void*> items;
    for (void* item = FirstItem(); item; item = NextItem(item))
        items.push_back(item);
    return items;
}

void TDIList::WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) {
    if (!itemHandler_->OnWriteItem()) Error(Format(di_text::NotAssigned, "OnWriteItem"));
    WriteSignature(writer, flags, "DILC", data);
    writer.WriteInteger(count_);
    for (void* item = FirstItem(); item; item = NextItem(item))
        itemHandler_->OnWriteItem()(this, writer, item, data);
}

void TDIList::ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) {
    if (!itemHandler_->OnReadItem()) Error(Format(di_text::NotAssigned, "OnReadItem"));
    ReadSignature(reader, flags, "DILC", data);
    int32_t n = ReadCount(reader);
    TDIList fresh(itemHandler_);
    for (int32_t i = 0; i < n; ++i)
        itemHandler_->OnReadItem()(this, reader, fresh.Add(), data);
    std::swap(first_, fresh.first_);
    std::swap(last_, fresh.last_);
    std::swap(count_, fresh.count_);
}

// ---- tree

TDITree::TDITree(TDIItemHandler* itemHandler) : TDISequence(itemHandler) {
    CheckItemHandler();
}

TDITree::~TDITree() {
    TDITree::Clear();
}

TDITree::Node* TDITree::NodeOf(const void* item) {
    return reinterpret_cast<Node*>(const_cast<uint8_t*>(static_cast<const uint8_t*>(item)) - sizeof(Node));
}

void* TDITree::ItemOfNode(const Node* node) {
    return const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>(node)) + sizeof(Node);
}

TDITree::Node* TDITree::NewChild(Node* parent) {
    auto* raw = new uint8_t[sizeof(Node) + Aligned(itemHandler_->ItemSize())]();
    Node* node = new (raw) Node;
    node->parent = parent;
    node->prevSibling = parent->lastChild;
    if (parent->lastChild)
        parent->lastChild->nextSibling = node;
    else
        parent->firstChild = node;
    parent->lastChild = node;
    InitItem(ItemOfNode(node));
    ++count_;
    return node;
}

void* TDITree::AddTopNode() {
    return ItemOfNode(NewChild(&root_));
}

void* TDITree::AddChildNode(void* parentItem) {
    return ItemOfNode(NewChild(parentItem ? NodeOf(parentItem) : &root_));
}

void* TDITree::FirstItem() const {
    return root_.firstChild ? ItemOfNode(root_.firstChild) : nullptr;
}

TDITree::Node* TDITree::NextNode(const Node* node) const {
    if (node->firstChild) return node->firstChild;
    for (; node && node != &root_; node = node->parent)
        if (node->nextSibling) return node->nextSibling;
    return nullptr;
}

void* TDITree::NextItem(const void* item) const {
    if (item == nullptr) return nullptr;
    Node* next = NextNode(NodeOf(item));
    return next ? ItemOfNode(next) : nullptr;
}

int32_t TDITree::ChildCount(const void* item) const {
    const Node* node = item ? NodeOf(item) : &root_;
    int32_t n = 0;
    for (Node* c = node->firstChild; c; c = c->nextSibling)
        ++n;
    return n;
}

void TDITree::Clear() {
    // Post-order without recursion: descend to a leaf, free it, move on.
    Node* node = root_.firstChild;
    while (node) {
        if (node->firstChild) {
            node = node->firstChild;
            continue;
        }
        Node* parent = node->parent;
        Node* next = node->nextSibling;
        parent->firstChild = next;
        if (next)
            next->prevSibling = nullptr;
        else
            parent->lastChild = nullptr;
        FreeItem(ItemOfNode(node));
        delete[] reinterpret_cast<uint8_t*>(node);
        --count_;
        node = next ? next : (parent == &root_ ? nullptr : parent);
    }
    root_.firstChild = root_.lastChild = nullptr;
    count_ = 0;
}

std::vector<const void*> TDITree::ItemsInOrder() const {
    std::vector<const void*> items;
    for (void* item = FirstItem(); item; item = NextItem(item))
        items.push_back(item);
    return items;
}

bool TDITree::AssignSameKind(TDISequence* source) {
    auto* tree = dynamic_cast<TDITree*>(source);
    if (tree == nullptr) return false;
    Clear();
    // Pre-order walk of the source, mirrored by a cursor in the target.
    std::vector<std::pair<const Node*, Node*>> pending;
    for (const Node* c = tree->root_.lastChild; c; c = c->prevSibling)
        pending.emplace_back(c, &root_);
    while (!pending.empty()) {
        auto [from, parent] = pending.back();
        pending.pop_back();
        Node* to = NewChild(parent);
        CopyItem(ItemOfNode(from), ItemOfNode(to));
        for (const Node* c = from->lastChild; c; c = c->prevSibling)
            pending.emplace_back(c, to);
    }
    return true;
}

void TDITree::WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) {
    if (!itemHandler_->OnWriteItem()) Error(Format(di_text::NotAssigned, "OnWriteItem"));
    WriteSignature(writer, flags, "DITC", data);
    writer.WriteInteger(ChildCount(nullptr));
    for (void* item = FirstItem(); item; item = NextItem(item)) {
        writer.WriteInteger(ChildCount(item));
        itemHandler_->OnWriteItem()(this, writer, item, data);
    }
}

void TDITree::ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) {
    if (!itemHandler_->OnReadItem()) Error(Format(di_text::NotAssigned, "OnReadItem"));
    ReadSignature(reader, flags, "DITC", data);
    TDITree fresh(itemHandler_);
    // Each open parent with the number of children still to read; the stream is pre-order.
    std::vector<std::pair<Node*, int32_t>> open;
    open.emplace_back(&fresh.root_, ReadCount(reader));
    while (!open.empty()) {
        if (open.back().second == 0) {
            open.pop_back();
            continue;
        }
        --open.back().second;
        int32_t children = ReadCount(reader);
        Node* node = fresh.NewChild(open.back().first);
        itemHandler_->OnReadItem()(this, reader, ItemOfNode(node), data);
        open.emplace_back(node, children);
    }
    Clear();
    std::swap(root_, fresh.root_);
    for (Node* c = root_.firstChild; c; c = c->nextSibling)
        c->parent = &root_;
    std::swap(count_, fresh.count_);
}
