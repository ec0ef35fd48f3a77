#include "bars/core/categories.h"

#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/writer.h"

namespace {

// Items of a category being moved wait outside every real index.
constexpr int kMovingCategory = -1000;

} // namespace

TdxBarManagerCategories::TdxBarManagerCategories(TdxBarManager* ABarManager) : barManager_(ABarManager) {
    OnChange = [this](TObject*) {
        if (barManager_ != nullptr) barManager_->CategoriesChanged();
    };
}

TdxBarManagerCategories::~TdxBarManagerCategories() {
    OnChange = nullptr;
    for (int i = 0; i < Count(); ++i)
        FreeData(i);
}

TdxBarCategoryData* TdxBarManagerCategories::Data(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return dynamic_cast<TdxBarCategoryData*>(Objects(Index));
}

TdxBarCategoryData* TdxBarManagerCategories::DataNeeded(int Index) {
    if (Index < 0 || Index >= Count()) return nullptr;
    TdxBarCategoryData* data = Data(Index);
    if (data == nullptr) {
        data = new TdxBarCategoryData;
        SetObjects(Index, data);
    }
    return data;
}

void TdxBarManagerCategories::FreeData(int Index) {
    delete Data(Index);
    SetObjects(Index, nullptr);
}

void TdxBarManagerCategories::Clear() {
    for (int i = 0; i < Count(); ++i)
        FreeData(i);
    TStringList::Clear();
}

void TdxBarManagerCategories::RenumberItems(int OldIndex, int NewIndex) {
    if (OldIndex < 0 || OldIndex >= Count() || NewIndex < 0 || barManager_ == nullptr) return;
    for (int i = 0; i < barManager_->ItemCount(); ++i)
        if (TdxBarItem* item = barManager_->Items(i); item->Category() == OldIndex)
            item->SetCategoryField(NewIndex);
}

void TdxBarManagerCategories::Delete(int Index) {
    if (moving_) {
        TStringList::Delete(Index);
        return;
    }
    if (Index < 0 || Index >= Count()) return;
    if (barManager_ != nullptr) {
        std::vector<TdxBarItem*> items;
        barManager_->GetItemsByCategory(Index, items);
        for (TdxBarItem* item : items)
            delete item;
    }
    for (int j = Index + 1; j < Count(); ++j)
        RenumberItems(j, j - 1);
    FreeData(Index);
    TStringList::Delete(Index);
    if (Count() == 0) Add(LoadBarString(barstr::DefaultCategory));
}

void TdxBarManagerCategories::Insert(int Index, const std::string& S) {
    InsertObject(Index, S, nullptr);
}

void TdxBarManagerCategories::InsertObject(int Index, const std::string& S, TObject* Object) {
    if (!moving_ && Index >= 0 && Index < Count())
        for (int j = Count() - 1; j >= Index; --j)
            RenumberItems(j, j + 1);
    TStringList::InsertObject(Index, S, Object);
}

void TdxBarManagerCategories::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count()) return;
    if (barManager_ != nullptr) {
        std::vector<TdxBarItem*> first, second;
        barManager_->GetItemsByCategory(Index1, first);
        barManager_->GetItemsByCategory(Index2, second);
        for (TdxBarItem* item : first)
            item->SetCategory(Index2);
        for (TdxBarItem* item : second)
            item->SetCategory(Index1);
    }
    TStringList::Exchange(Index1, Index2);
}

void TdxBarManagerCategories::Move(int CurIndex, int NewIndex) {
    if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count() || CurIndex == NewIndex)
        return;
    std::vector<TdxBarItem*> moved;
    if (barManager_ != nullptr) barManager_->GetItemsByCategory(CurIndex, moved);
    for (TdxBarItem* item : moved)
        item->SetCategoryField(kMovingCategory);
    if (CurIndex > NewIndex)
        for (int j = CurIndex - 1; j >= NewIndex; --j)
            RenumberItems(j, j + 1);
    else
        for (int j = CurIndex + 1; j <= NewIndex; ++j)
            RenumberItems(j, j - 1);
    for (TdxBarItem* item : moved)
        item->SetCategoryField(NewIndex);
    moving_ = true;
    const ScopeGuard stillMoving([this] { moving_ = false; });
    TStringList::Move(CurIndex, NewIndex);
}

void TdxBarManagerCategories::DefineProperties(TFiler& Filer) {
    TStringList::DefineProperties(Filer);
    auto readItemsVisibles = [this](TReader& Reader) {
        Reader.ReadListBegin();
        for (int i = 0; !Reader.EndOfList(); ++i) {
            const int value = Reader.ReadInteger();
            if (value >= ivNever && value <= ivAlways && barManager_ != nullptr)
                barManager_->SetCategoryItemsVisible(i, static_cast<TdxBarItemVisible>(value));
        }
        Reader.ReadListEnd();
    };
    auto writeItemsVisibles = [this](TWriter& Writer) {
        Writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i)
            Writer.WriteInteger(barManager_ != nullptr ? barManager_->CategoryItemsVisible(i) : ivAlways);
        Writer.WriteListEnd();
    };
    auto readVisibles = [this](TReader& Reader) {
        Reader.ReadListBegin();
        for (int i = 0; !Reader.EndOfList(); ++i) {
            const bool value = Reader.ReadBoolean();
            if (barManager_ != nullptr) barManager_->SetCategoryVisible(i, value);
        }
        Reader.ReadListEnd();
    };
    auto writeVisibles = [this](TWriter& Writer) {
        Writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i)
            Writer.WriteBoolean(barManager_ == nullptr || barManager_->CategoryVisible(i));
        Writer.WriteListEnd();
    };
    Filer.DefineProperty("ItemsVisibles", readItemsVisibles, writeItemsVisibles, true);
    Filer.DefineProperty("Visibles", readVisibles, writeVisibles, true);
}
