#pragma once
// Collections: an owned, ordered list of items of one class, streamed as a whole.
#include "platform/rtl/persistent.h"

#include <string>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    std::string ClassName() const override { return "TCollectionItem"; }
    std::string GetNamePath() const override;

    TCollection* Collection() const { return collection_; }
    // Moves the item to another collection (or out of any, when nullptr).
    void SetCollection(TCollection* Value);
    int ID() const { return id_; }
    int Index() const;
    void SetIndex(int Value);
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    TPersistent* GetOwner() const override;
    // Tells the collection that this item (AllItems false) or all items changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// Creates an item of the collection's item class inside Collection.
using TCollectionItemClass = TCollectionItem* (*)(TCollection* Collection);

template <class T> TCollectionItemClass CollectionItemClass() {
    return [](TCollection* collection) -> TCollectionItem* { return new T(collection); };
}

class TCollection : public TPersistent {
public:
    TCollection(TCollectionItemClass ItemClass, TPersistent* Owner = nullptr);
    ~TCollection() override;

    std::string ClassName() const override { return "TCollection"; }
    std::string GetNamePath() const override;
    void Assign(TPersistent* Source) override;

    TCollectionItemClass ItemClass() const { return itemClass_; }
    TPersistent* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // EListError when Index is out of range.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* FindItemID(int ID) const;

    TCollectionItem* Add();
    // Index may equal Count; EListError beyond.
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    TPersistent* GetOwner() const override { return owner_; }
    // Item is the one changed, or nullptr when the whole collection changed.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);
    void ItemChanged(TCollectionItem* Item);

    TCollectionItemClass itemClass_;
    TPersistent* owner_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};
