#pragma once
// An ordered list of untyped pointers; the list never owns what they point to.
#include "platform/rtl/object.h"

#include <functional>
#include <vector>

// <0 when a sorts before b, 0 when equal, >0 after.
using TListSortCompare = std::function<int(void* a, void* b)>;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Throws EListError "List index out of bounds (index)", as every indexed list of the library does.
[[noreturn]] void RaiseListIndexError(int index);

class TList : public TObject {
public:
    ~TList() override;
    std::string ClassName() const override { return "TList"; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Growing fills with nullptr; shrinking drops the tail (and notifies for each non-nil one).
    void SetCount(int count);
    int Capacity() const { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int capacity);

    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; answers its former index or -1.
    int Remove(void* item);
    // Removes the first occurrence without the deletion notice; answers the item or nullptr.
    void* Extract(void* item);
    int IndexOf(void* item) const;
    virtual void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Drops every nullptr entry.
    void Pack();
    // Stable: equal items keep their order.
    void Sort(const TListSortCompare& compare);

    const std::vector<void*>& List() const { return items_; }

protected:
    // Called after an item was added and before one is removed, so owning descendants can free it.
    virtual void Notify(void* item, TListNotification action);
    [[noreturn]] static void IndexError(int index);

private:
    void CheckIndex(int index) const;
    std::vector<void*> items_;
};
