#pragma once
// The vector, doubly linked list and ordered tree on the item-handler model.
#include <cstdint>
#include <memory>
#include <vector>

#include "fetch/html/container.h"

using TDISameItemsFunc = bool (*)(TDIContainer* container, const void* item, const void* key, void* data);

// Common ground of the three sequences: copying from one another.
class TDISequence : public TDIContainer {
public:
    using TDIContainer::TDIContainer;
    std::string ClassName() const override { return "TDISequence"; }
    virtual void Clear() = 0;
    void Assign(TPersistent* source) override;
    // The items in order (pre-order for a tree).
    virtual std::vector<const void*> ItemsInOrder() const = 0;

protected:
    // Appends a new initialised item; the tree adds it as a top-level node.
    virtual void* AppendItem() = 0;
    // Copies the same-kind source keeping its layout; false when the kind differs.
    virtual bool AssignSameKind(TDISequence* source) = 0;
    void CheckAssignable(const TDISequence* source) const;
    void CopyItem(const void* from, void* to) { itemHandler_->OnCopyItem()(this, from, to); }
    void InitItem(void* item);
    void FreeItem(void* item);
};

class TDIVector : public TDISequence {
public:
    explicit TDIVector(TDIItemHandler* itemHandler);
    ~TDIVector() override;
    std::string ClassName() const override { return "TDIVector"; }

    void* Add();
    void SetCount(int32_t n);
    void Clear() override;
    void* Item(int32_t index) const;
    void* FindItem(const void* key, TDISameItemsFunc sameItems, int32_t startIndex, void* data);
    bool ContainsItem(const void* key, TDISameItemsFunc sameItems, int32_t startIndex, void* data);
    std::vector<const void*> ItemsInOrder() const override;

    void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) override;
    void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) override;

protected:
    void* AppendItem() override { return Add(); }
    bool AssignSameKind(TDISequence* source) override;
    void* ItemOf(int32_t index) const { return items_.get() + static_cast<size_t>(index) * itemStride_; }

private:
    void Reallocate(int32_t capacity);

    std::unique_ptr<uint8_t[]> items_;
    int32_t capacity_ = 0;
    static constexpr int32_t kRoomKeptOnClear = 16;
    size_t itemStride_ = 0;
};

class TDIList : public TDISequence {
public:
    explicit TDIList(TDIItemHandler* itemHandler);
    ~TDIList() override;
    std::string ClassName() const override { return "TDIList"; }

    void* Add();
    void* FirstItem() const;
    void* NextItem(const void* item) const;
    void Clear() override;
    std::vector<const void*> ItemsInOrder() const override;

    void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) override;
    void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) override;

protected:
    void* AppendItem() override { return Add(); }
    bool AssignSameKind(TDISequence*) override { return false; }

private:
    struct Node;
    Node* first_ = nullptr;
    Node* last_ = nullptr;
};

class TDITree : public TDISequence {
public:
    explicit TDITree(TDIItemHandler* itemHandler);
    ~TDITree() override;
    std::string ClassName() const override { return "TDITree"; }

    void* AddTopNode();
    void* AddChildNode(void* parentItem);
    void* FirstItem() const;
    void* NextItem(const void* item) const;
    int32_t ChildCount(const void* item) const;
    void Clear() override;
    std::vector<const void*> ItemsInOrder() const override;

    void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) override;
    void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) override;

protected:
    void* AppendItem() override { return AddTopNode(); }
    bool AssignSameKind(TDISequence* source) override;

private:
    struct Node {
        Node* parent = nullptr;
        Node* prevSibling = nullptr;
        Node* nextSibling = nullptr;
        Node* firstChild = nullptr;
        Node* lastChild = nullptr;
    };
    Node* NewChild(Node* parent);
    static Node* NodeOf(const void* item);
    static void* ItemOfNode(const Node* node);
    Node* NextNode(const Node* node) const;

    Node root_;
};
