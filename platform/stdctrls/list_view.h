#pragma once
// A report-style list view over the "SysListView32" window class: columns, items with sub-items,
// images and data. Items are kept by the control, so a new window gets them back.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/vcl/win_control.h"

struct TWMNotifyLV;

class TCustomImageList;
class TListView;
class TStringList;

class TListColumn {
public:
    explicit TListColumn(TListView& Owner) : owner_(Owner) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    int Width() const;
    void SetWidth(int Value);
    int Index() const;

private:
    friend class TListView;
    TListView& owner_;
    std::string caption_;
    int width_ = 50;
};

class TListItem {
public:
    explicit TListItem(TListView& Owner);
    ~TListItem();
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // The texts of the columns after the first.
    TStringList& SubItems() { return *subItems_; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    void* Data() const { return data_; }
    void SetData(void* Value) { data_ = Value; }
    bool Selected() const;
    void SetSelected(bool Value);
    int Index() const;
    void Delete();

private:
    friend class TListView;
    TListView& owner_;
    std::string caption_;
    std::unique_ptr<TStringList> subItems_;
    int imageIndex_ = -1;
    void* data_ = nullptr;
    bool selected_ = false;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* AOwner);
    ~TListView() override;
    std::string ClassName() const override { return "TListView"; }

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TListColumn* Column(int Index) const;
    TListColumn* AddColumn();
    int ItemCount() const { return static_cast<int>(items_.size()); }
    TListItem* Item(int Index) const;
    TListItem* AddItem();
    void DeleteItem(TListItem* Item);
    void ClearItems();
    TListItem* Selected();
    int SelCount();
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    TCustomImageList* SmallImages() const { return smallImages_; }
    void SetSmallImages(TCustomImageList* Value);
    TListItem* GetItemAt(int X, int Y);
    void WndProc(TMessage& Message) override;

    TLVSelectItemEvent OnSelectItem;
    TLVDeletedEvent OnDeletion;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void CNNotify(TWMNotifyLV Message);
    friend class TListColumn;
    friend class TListItem;
    void InsertColumnIntoWindow(int Index);
    void InsertItemIntoWindow(int Index);
    void UpdateItem(int Index);
    void UpdateImageList();

    std::vector<std::unique_ptr<TListColumn>> columns_;
    std::vector<std::unique_ptr<TListItem>> items_;
    TCustomImageList* smallImages_ = nullptr;
    HIMAGELIST imageHandle_ = nullptr;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    int quiet_ = 0;
};
