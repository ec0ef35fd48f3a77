#include "platform/stdctrls/list_view.h"

#include <algorithm>

#include "platform/commctrl/control_views.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/list.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/image_list_handle.h"

// Columns.

void TListColumn::SetCaption(const std::string& Value) {
    caption_ = Value;
    if (!owner_.HandleAllocated()) return;
    LVCOLUMN c;
    c.mask = LVCF_TEXT;
    c.pszText = caption_.data();
    SendMessage(owner_.Handle(), LVM_SETCOLUMN, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&c));
}

int TListColumn::Width() const {
    if (!owner_.HandleAllocated()) return width_;
    return static_cast<int>(
        SendMessage(owner_.Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
}

void TListColumn::SetWidth(int Value) {
    width_ = Value;
    if (owner_.HandleAllocated())
        SendMessage(owner_.Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index()), Value);
}

int TListColumn::Index() const {
    for (size_t i = 0; i < owner_.columns_.size(); ++i)
        if (owner_.columns_[i].get() == this) return static_cast<int>(i);
    return -1;
}

// Items.

TListItem::TListItem(TListView& Owner) : owner_(Owner), subItems_(std::make_unique<TStringList>()) {
    subItems_->OnChange = [this](TObject*) { owner_.UpdateItem(Index()); };
}

TListItem::~TListItem() {
    subItems_->OnChange = nullptr;
}

void TListItem::SetCaption(const std::string& Value) {
    caption_ = Value;
    owner_.UpdateItem(Index());
}

void TListItem::SetImageIndex(int Value) {
    imageIndex_ = Value;
    owner_.UpdateItem(Index());
}

int TListItem::Index() const {
    for (size_t i = 0; i < owner_.items_.size(); ++i)
        if (owner_.items_[i].get() == this) return static_cast<int>(i);
    return -1;
}

bool TListItem::Selected() const {
    if (!owner_.HandleAllocated()) return selected_;
    return SendMessage(owner_.Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool Value) {
    selected_ = Value;
    if (!owner_.HandleAllocated()) return;
    LVITEM it;
    it.stateMask = LVIS_SELECTED;
    it.state = Value ? LVIS_SELECTED : 0;
    SendMessage(owner_.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
                reinterpret_cast<LPARAM>(&it));
}

void TListItem::Delete() {
    owner_.DeleteItem(this);
}

// View.

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner) {
    InitCommonControls();
    // No capture of our own: the window class tracks the pressed item itself.
    controlStyle_ = TControlStyle{csClickEvents, csDoubleClicks};
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    SetColor(clWindow);
}

TListView::~TListView() {
    ClearItems();
    if (HandleAllocated()) DestroyHandle();
    if (imageHandle_) ImageList_Destroy(imageHandle_);
}

void TListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEW);
    Params.Style |= LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER;
    if (!multiSelect_) Params.Style |= LVS_SINGLESEL;
}

void TListView::CreateWnd() {
    TWinControl::CreateWnd();
    ++quiet_;
    UpdateImageList();
    for (int i = 0; i < ColumnCount(); ++i)
        InsertColumnIntoWindow(i);
    for (int i = 0; i < ItemCount(); ++i) {
        InsertItemIntoWindow(i);
        if (items_[static_cast<size_t>(i)]->selected_) items_[static_cast<size_t>(i)]->SetSelected(true);
    }
    --quiet_;
}

void TListView::DestroyWnd() {
    if (HandleAllocated())
        for (auto& item : items_)
            item->selected_ = item->Selected();
    for (auto& c : columns_)
        if (HandleAllocated()) c->width_ = c->Width();
    ++quiet_;
    TWinControl::DestroyWnd();
    --quiet_;
}

TListColumn* TListView::Column(int Index) const {
    if (Index < 0 || Index >= ColumnCount()) RaiseListIndexError(Index);
    return columns_[static_cast<size_t>(Index)].get();
}

TListColumn* TListView::AddColumn() {
    columns_.push_back(std::make_unique<TListColumn>(*this));
    InsertColumnIntoWindow(ColumnCount() - 1);
    return columns_.back().get();
}

void TListView::InsertColumnIntoWindow(int Index) {
    if (!HandleAllocated()) return;
    TListColumn& c = *columns_[static_cast<size_t>(Index)];
    LVCOLUMN lc;
    lc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    lc.pszText = c.caption_.data();
    lc.cx = c.width_;
    lc.iSubItem = Index;
    SendMessage(Handle(), LVM_INSERTCOLUMN, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&lc));
}

TListItem* TListView::Item(int Index) const {
    if (Index < 0 || Index >= ItemCount()) RaiseListIndexError(Index);
    return items_[static_cast<size_t>(Index)].get();
}

TListItem* TListView::AddItem() {
    items_.push_back(std::make_unique<TListItem>(*this));
    ++quiet_;
    InsertItemIntoWindow(ItemCount() - 1);
    --quiet_;
    return items_.back().get();
}

void TListView::InsertItemIntoWindow(int Index) {
    if (!HandleAllocated()) return;
    TListItem& item = *items_[static_cast<size_t>(Index)];
    LVITEM it;
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    it.iItem = Index;
    it.pszText = item.caption_.data();
    it.iImage = item.imageIndex_;
    it.lParam = reinterpret_cast<LPARAM>(&item);
    SendMessage(Handle(), LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
    UpdateItem(Index);
}

void TListView::UpdateItem(int Index) {
    if (!HandleAllocated() || Index < 0 || Index >= ItemCount()) return;
    TListItem& item = *items_[static_cast<size_t>(Index)];
    LVITEM it;
    it.mask = LVIF_TEXT | LVIF_IMAGE;
    it.iItem = Index;
    it.pszText = item.caption_.data();
    it.iImage = item.imageIndex_;
    SendMessage(Handle(), LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
    for (int s = 0; s < item.subItems_->Count(); ++s) {
        std::string text = (*item.subItems_)[s];
        LVITEM sub;
        sub.iSubItem = s + 1;
        sub.pszText = text.data();
        SendMessage(Handle(), LVM_SETITEMTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&sub));
    }
}

void TListView::DeleteItem(TListItem* Item) {
    const int index = Item ? Item->Index() : -1;
    if (index < 0) return;
    if (OnDeletion) OnDeletion(this, Item);
    ++quiet_;
    if (HandleAllocated()) SendMessage(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    --quiet_;
    items_.erase(items_.begin() + index);
}

void TListView::ClearItems() {
    while (!items_.empty())
        DeleteItem(items_.back().get());
}

TListItem* TListView::Selected() {
    if (!HandleAllocated()) {
        for (auto& item : items_)
            if (item->selected_) return item.get();
        return nullptr;
    }
    const auto index = SendMessage(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

int TListView::SelCount() {
    if (!HandleAllocated())
        return static_cast<int>(
            std::count_if(items_.begin(), items_.end(), [](auto& i) { return i->selected_; }));
    return static_cast<int>(SendMessage(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
}

void TListView::SetMultiSelect(bool Value) {
    if (multiSelect_ == Value) return;
    multiSelect_ = Value;
    RecreateWnd();
}

void TListView::SetSmallImages(TCustomImageList* Value) {
    if (smallImages_) smallImages_->RemoveFreeNotification(this);
    smallImages_ = Value;
    if (Value) Value->FreeNotification(this);
    if (HandleAllocated()) UpdateImageList();
}

void TListView::UpdateImageList() {
    HIMAGELIST old = imageHandle_;
    imageHandle_ = pw::stdctrls::MakeImageListHandle(smallImages_);
    SendMessage(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageHandle_));
    if (old) ImageList_Destroy(old);
}

TListItem* TListView::GetItemAt(int X, int Y) {
    LVHITTESTINFO info;
    info.pt = POINT{X, Y};
    const auto index = SendMessage(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
    return index >= 0 && index < ItemCount() && (info.flags & LVHT_ONITEM)
               ? items_[static_cast<size_t>(index)].get()
               : nullptr;
}

void TListView::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) return CNNotify(TWMNotifyLV(Message));
    TWinControl::WndProc(Message);
}

// A change of an item's selection is told to OnSelectItem.
void TListView::CNNotify(TWMNotifyLV Message) {
    const NMHDR* hdr = Message.NMHdr();
    if (!hdr || hdr->code != LVN_ITEMCHANGED || quiet_ != 0) return;
    const NMLISTVIEW& nm = *Message.NMListView();
    if ((nm.uChanged & LVIF_STATE) && ((nm.uNewState ^ nm.uOldState) & LVIS_SELECTED) && nm.iItem >= 0 &&
        nm.iItem < ItemCount() && OnSelectItem)
        OnSelectItem(this, items_[static_cast<size_t>(nm.iItem)].get(), (nm.uNewState & LVIS_SELECTED) != 0);
}

void TListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == smallImages_) {
        smallImages_ = nullptr;
        if (HandleAllocated()) UpdateImageList();
    }
}
