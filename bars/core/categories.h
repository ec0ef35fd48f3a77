#pragma once
// The manager's categories: one name per category, with what the category imposes on its items and
// whether the customizing window shows it. Inserting, deleting, exchanging and moving categories keeps
// every item's category index pointing at the same category.
#include "bars/core/bar_types.h"
#include "platform/rtl/string_list.h"

class TFiler;

class TdxBarCategoryData : public TObject {
public:
    std::string ClassName() const override { return "TdxBarCategoryData"; }
    TdxBarItemVisible ItemsVisible = ivAlways;
    bool Visible = true;
    // Read from the stream, applied when the manager has finished loading.
    TdxBarItemVisible LoadedItemsVisible = ivAlways;
};

class TdxBarManagerCategories : public TStringList {
public:
    explicit TdxBarManagerCategories(TdxBarManager* ABarManager);
    ~TdxBarManagerCategories() override;
    std::string ClassName() const override { return "TdxBarManagerCategories"; }

    TdxBarManager* BarManager() const { return barManager_; }
    // nullptr until a value is set, and outside the list.
    TdxBarCategoryData* Data(int Index) const;
    // The data object of Index, made when missing.
    TdxBarCategoryData* DataNeeded(int Index);

    void Clear() override;
    // Frees the category's items; an empty list gets "Default" back.
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* Object) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    void DefineProperties(TFiler& Filer) override;
    // Items of category OldIndex get NewIndex, written without notification.
    void RenumberItems(int OldIndex, int NewIndex);

private:
    void FreeData(int Index);

    TdxBarManager* barManager_;
    bool moving_ = false;
};
