#include <algorithm>

#include "platform/commctrl/control_views.h"
#include "platform/commctrl/std_controls.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/image_list_handle.h"
#include "platform/stdctrls/tree_view.h"

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), items_(std::make_unique<TTreeNodes>(*this)) {
    InitCommonControls();
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    controlStyle_ = TControlStyle{csClickEvents, csDoubleClicks};
}

TTreeView::~TTreeView() {
    // The nodes go while the control is whole, so OnDeletion can free what their Data holds.
    items_->Clear();
    if (HandleAllocated()) DestroyHandle();
    items_.reset();
    if (imageHandle_) ImageList_Destroy(imageHandle_);
}

void TTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEW);
    Params.Style |= WS_BORDER;
    if (showLines_) Params.Style |= TVS_HASLINES;
    if (showButtons_) Params.Style |= TVS_HASBUTTONS;
    if (showRoot_) Params.Style |= TVS_LINESATROOT;
    if (!readOnly_) Params.Style |= TVS_EDITLABELS;
    if (!hideSelection_) Params.Style |= TVS_SHOWSELALWAYS;
}

void TTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    ++selecting_;
    UpdateImageList();
    items_->BeginUpdate();
    // Every node enters the new window, siblings many at a time.
    items_->unsettled_ = true;
    items_->Settle();
    items_->EndUpdate();
    if (savedSelected_ && savedSelected_->item_)
        SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(savedSelected_->item_));
    if (savedTop_ && savedTop_->item_)
        SendMessage(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(savedTop_->item_));
    for (TTreeNode* n : selections_)
        MarkSelected(n, true);
    savedSelected_ = savedTop_ = nullptr;
    --selecting_;
}

void TTreeView::DestroyWnd() {
    if (HandleAllocated() && items_) {
        savedSelected_ = Selected();
        savedTop_ = TopItem();
        for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) {
            n->expanded_ = n->Expanded();
        }
        for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
            n->item_ = nullptr;
    }
    ++selecting_;
    TWinControl::DestroyWnd();
    --selecting_;
}

namespace {
TTreeNode* NodeFromItem(HWND tree, HTREEITEM item) {
    if (!item) return nullptr;
    TVITEM it;
    it.mask = TVIF_PARAM | TVIF_HANDLE;
    it.hItem = item;
    if (!SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
    return reinterpret_cast<TTreeNode*>(it.lParam);
}
} // namespace

TTreeNode* TTreeView::Selected() {
    if (!HandleAllocated()) return savedSelected_;
    return NodeFromItem(Handle(),
                        reinterpret_cast<HTREEITEM>(SendMessage(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TTreeView::SetSelected(TTreeNode* Value) {
    if (!HandleAllocated()) {
        savedSelected_ = Value;
        return;
    }
    items_->Settle();
    SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET,
                reinterpret_cast<LPARAM>(Value ? Value->item_ : nullptr));
}

TTreeNode* TTreeView::TopItem() {
    if (!HandleAllocated()) return nullptr;
    return NodeFromItem(
        Handle(), reinterpret_cast<HTREEITEM>(SendMessage(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) {
    TVHITTESTINFO info;
    info.pt = POINT{X, Y};
    SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
    if (!(info.flags & TVHT_ONITEM)) return nullptr;
    return NodeFromItem(Handle(), info.hItem);
}

void TTreeView::SetImages(TCustomImageList* Value) {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = Value;
    if (Value) Value->FreeNotification(this);
    if (HandleAllocated()) UpdateImageList();
}

// The window draws from a list of its own, made from the images the list holds now.
void TTreeView::UpdateImageList() {
    HIMAGELIST old = imageHandle_;
    imageHandle_ = pw::stdctrls::MakeImageListHandle(images_);
    SendMessage(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(imageHandle_));
    if (old) ImageList_Destroy(old);
}

void TTreeView::ChangeStyle(DWORD Flag, bool On) {
    if (!HandleAllocated()) return;
    DWORD style = static_cast<DWORD>(GetWindowLong(Handle(), GWL_STYLE));
    style = On ? style | Flag : style & ~Flag;
    SetWindowLong(Handle(), GWL_STYLE, static_cast<LONG>(style));
    Invalidate();
}

void TTreeView::SetReadOnly(bool Value) {
    readOnly_ = Value;
    ChangeStyle(TVS_EDITLABELS, !Value);
}

void TTreeView::SetHideSelection(bool Value) {
    hideSelection_ = Value;
    ChangeStyle(TVS_SHOWSELALWAYS, !Value);
}

void TTreeView::SetShowLines(bool Value) {
    showLines_ = Value;
    ChangeStyle(TVS_HASLINES, Value);
}

void TTreeView::SetShowButtons(bool Value) {
    showButtons_ = Value;
    ChangeStyle(TVS_HASBUTTONS, Value);
}

void TTreeView::SetShowRoot(bool Value) {
    showRoot_ = Value;
    ChangeStyle(TVS_LINESATROOT, Value);
}

void TTreeView::SetSortType(TSortType Value) {
    if (sortType_ == Value) return;
    sortType_ = Value;
    if (Value != stNone) AlphaSort(true);
}

void TTreeView::SortSiblings(TTreeSiblings& Siblings, bool Recurse) {
    std::vector<TTreeNode*> nodes = Siblings.ToVector();
    std::stable_sort(nodes.begin(), nodes.end(), [this](TTreeNode* a, TTreeNode* b) {
        int compare = 0;
        if (OnCompare)
            OnCompare(this, a, b, 0, compare);
        else
            compare = CompareText(a->text_, b->text_);
        return compare < 0;
    });
    Siblings.Assign(nodes);
    if (Recurse)
        for (TTreeNode* n : nodes)
            SortSiblings(n->children_, true);
}

bool TTreeView::AlphaSort(bool Recurse) {
    SortSiblings(items_->roots_, Recurse);
    items_->Changed();
    RecreateWnd();
    return true;
}

void TTreeView::FullExpand() {
    for (TTreeNode* n : items_->roots_.ToVector())
        n->Expand(true);
}

void TTreeView::FullCollapse() {
    for (TTreeNode* n : items_->roots_.ToVector())
        n->Collapse(true);
}

void TTreeView::SetMultiSelect(bool Value) {
    if (multiSelect_ == Value) return;
    multiSelect_ = Value;
    if (!Value) SetSelection({});
}

int TTreeView::SelectionCount() {
    if (!multiSelect_) return Selected() ? 1 : 0;
    return static_cast<int>(selections_.size());
}

TTreeNode* TTreeView::Selections(int Index) {
    if (!multiSelect_) return Index == 0 ? Selected() : nullptr;
    if (Index < 0 || Index >= static_cast<int>(selections_.size())) return nullptr;
    return selections_[static_cast<size_t>(Index)];
}

void TTreeView::Select(const std::vector<TTreeNode*>& Nodes) {
    if (!Nodes.empty()) {
        ++selecting_;
        SetSelected(Nodes.back());
        --selecting_;
    }
    SetSelection(Nodes);
}

void TTreeView::ClearSelection() {
    SetSelection({});
}

void TTreeView::MarkSelected(TTreeNode* Node, bool Value) {
    if (!HandleAllocated()) return;
    items_->Settle();
    if (!Node->item_) return;
    TVITEM it;
    it.mask = TVIF_STATE | TVIF_HANDLE;
    it.hItem = Node->item_;
    it.state = Value ? TVIS_SELECTED : 0;
    it.stateMask = TVIS_SELECTED;
    SendMessage(Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeView::SetSelection(std::vector<TTreeNode*> Nodes) {
    for (TTreeNode* n : selections_)
        if (std::find(Nodes.begin(), Nodes.end(), n) == Nodes.end()) MarkSelected(n, false);
    for (TTreeNode* n : Nodes)
        MarkSelected(n, true);
    selections_ = std::move(Nodes);
}

void TTreeView::NodeGoing(TTreeNode* Node) {
    if (OnDeletion) OnDeletion(this, Node);
    selections_.erase(std::remove(selections_.begin(), selections_.end(), Node), selections_.end());
    if (shiftAnchor_ == Node) shiftAnchor_ = nullptr;
    if (savedSelected_ == Node) savedSelected_ = nullptr;
    if (savedTop_ == Node) savedTop_ = nullptr;
}

void TTreeView::NodesAbandoned() {
    selections_.clear();
    shiftAnchor_ = savedSelected_ = savedTop_ = nullptr;
}

void TTreeView::CaretMovedByDeletion() {
    TTreeNode* caret = Selected();
    if (multiSelect_ && caret) {
        // The node the window shows selected is always one of the selection.
        if (std::find(selections_.begin(), selections_.end(), caret) == selections_.end()) {
            selections_.push_back(caret);
            MarkSelected(caret, true);
        }
        if (!shiftAnchor_) shiftAnchor_ = caret;
    }
    if (OnChange) OnChange(this, caret);
}

// Ctrl and Shift clicks select several nodes; the window itself knows of one selected node only.
bool TTreeView::MultiClick(TWMMouse Message) {
    TVHITTESTINFO info;
    info.pt = Message.Pos();
    SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
    if (!(info.flags & TVHT_ONITEM)) return false;
    TTreeNode* node = NodeFromItem(Handle(), info.hItem);
    if (!node) return false;
    const bool ctrl = (Message.Keys() & MK_CONTROL) && multiSelectStyle_.Contains(msControlSelect);
    const bool shift = (Message.Keys() & MK_SHIFT) && multiSelectStyle_.Contains(msShiftSelect);
    if (!ctrl && !shift) {
        SetSelection({node});
        shiftAnchor_ = node;
        return false;
    }
    if (!Focused()) SetFocus();
    if (shift) {
        TTreeNode* anchor = shiftAnchor_ ? shiftAnchor_ : Selected();
        if (!anchor) anchor = node;
        // The nodes shown between the anchor and the clicked one, in either direction.
        std::vector<TTreeNode*> range;
        const bool down = anchor->AbsoluteIndex() <= node->AbsoluteIndex();
        for (TTreeNode* n = anchor; n; n = down ? n->GetNextVisible() : n->GetPrevVisible()) {
            range.push_back(n);
            if (n == node) break;
        }
        SetSelection(range);
    } else {
        std::vector<TTreeNode*> nodes = selections_;
        TTreeNode* current = Selected();
        if (nodes.empty() && current) nodes.push_back(current);
        auto at = std::find(nodes.begin(), nodes.end(), node);
        if (at == nodes.end())
            nodes.push_back(node);
        else
            nodes.erase(at);
        SetSelection(nodes);
        shiftAnchor_ = node;
    }
    return true;
}

void TTreeView::CNNotify(TWMNotifyTV Message) {
    const NMHDR* hdr = Message.NMHdr();
    switch (hdr ? hdr->code : 0) {
    case TVN_SELCHANGING:
        return TVNSelChanging(Message);
    case TVN_SELCHANGED:
        return TVNSelChanged(*Message.NMTreeView());
    case TVN_ITEMEXPANDING:
        return TVNItemExpanding(Message);
    case TVN_ITEMEXPANDED:
        return TVNItemExpanded(*Message.NMTreeView());
    case TVN_BEGINLABELEDIT:
        return TVNBeginLabelEdit(Message);
    case TVN_ENDLABELEDIT:
        return TVNEndLabelEdit(Message);
    case TVN_GETDISPINFO:
        return TVNGetDispInfo(*Message.DispInfo());
    default:
        return;
    }
}

void TTreeView::TVNSelChanging(TWMNotifyTV Message) {
    if (selecting_ > 0) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, NodeOf(Message.NMTreeView()->itemNew), allow);
    Message.Result = allow ? 0 : 1;
}

void TTreeView::TVNSelChanged(const NMTREEVIEW& Notice) {
    if (selecting_ > 0) return;
    TTreeNode* node = NodeOf(Notice.itemNew);
    if (multiSelect_) {
        SetSelection(node ? std::vector<TTreeNode*>{node} : std::vector<TTreeNode*>{});
        if (!(GetKeyState(VK_SHIFT) < 0)) shiftAnchor_ = node;
    }
    if (OnChange) OnChange(this, node);
}

void TTreeView::TVNItemExpanding(TWMNotifyTV Message) {
    if (expanding_ > 0) return;
    const NMTREEVIEW& nm = *Message.NMTreeView();
    TTreeNode* node = NodeOf(nm.itemNew);
    bool allow = true;
    if (node && (nm.action & TVE_EXPAND) && OnExpanding) OnExpanding(this, node, allow);
    if (node && (nm.action & TVE_COLLAPSE) && OnCollapsing) OnCollapsing(this, node, allow);
    Message.Result = allow ? 0 : 1;
}

void TTreeView::TVNItemExpanded(const NMTREEVIEW& Notice) {
    if (expanding_ > 0) return;
    TTreeNode* node = NodeOf(Notice.itemNew);
    if (!node) return;
    node->expanded_ = (Notice.action & TVE_EXPAND) != 0;
    if (node->expanded_ && OnExpanded) OnExpanded(this, node);
    if (!node->expanded_ && OnCollapsed) OnCollapsed(this, node);
}

void TTreeView::TVNBeginLabelEdit(TWMNotifyTV Message) {
    bool allow = !readOnly_;
    if (allow && OnEditing) OnEditing(this, NodeOf(Message.DispInfo()->item), allow);
    editing_ = allow;
    Message.Result = allow ? 0 : 1;
}

void TTreeView::TVNEndLabelEdit(TWMNotifyTV Message) {
    const NMTVDISPINFO& info = *Message.DispInfo();
    editing_ = false;
    Message.Result = 0;
    TTreeNode* node = NodeOf(info.item);
    if (!info.item.pszText || !node) return;
    std::string s = info.item.pszText;
    auto alive = AliveToken();
    if (OnEdited) OnEdited(this, node, s);
    if (alive.expired()) return;
    // The handler may have deleted the node; only a node still in the tree takes the text.
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
        if (n == node) {
            node->SetText(s);
            break;
        }
}

void TTreeView::TVNGetDispInfo(NMTVDISPINFO& Info) {
    TTreeNode* node = NodeOf(Info.item);
    if (!node) return;
    // Pointing at the node's own text, not copying into the window's buffer, so no label is cut short.
    if (Info.item.mask & TVIF_TEXT) Info.item.pszText = const_cast<char*>(node->text_.c_str());
    if (Info.item.mask & TVIF_IMAGE) {
        if (OnGetImageIndex) OnGetImageIndex(this, node);
        Info.item.iImage = node->imageIndex_;
    }
    if (Info.item.mask & TVIF_SELECTEDIMAGE) {
        if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
        Info.item.iSelectedImage = node->selectedIndex_;
    }
}

void TTreeView::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY:
        return CNNotify(TWMNotifyTV(Message));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return WMLButtonDown(TWMMouse(Message));
    case WM_LBUTTONUP:
        return WMLButtonUp(Message);
    default:
        return TWinControl::WndProc(Message);
    }
}

// A multi-selecting tree takes Ctrl and Shift clicks itself; the window does not see them.
void TTreeView::WMLButtonDown(TWMMouse Message) {
    if (multiSelect_ && (Message.Msg == WM_LBUTTONDOWN || (Message.Keys() & (MK_CONTROL | MK_SHIFT))) &&
        HandleAllocated() && MultiClick(Message)) {
        swallowUp_ = true;
        return;
    }
    if (Message.Msg == WM_LBUTTONDBLCLK) return WMLButtonDblClk(Message);
    TWinControl::WndProc(Message);
}

// The window takes a double click before OnDblClick: it drops the label edit that the click before
// armed, which would otherwise start under a handler that keeps the messages going (a modal window).
void TTreeView::WMLButtonDblClk(TWMMouse Message) {
    auto alive = AliveToken();
    TMessage& message = Message;
    DefaultHandler(message);
    if (alive.expired()) return;
    TMessage* const outer = std::exchange(windowHad_, &message);
    ScopeGuard restore([this, alive, outer] {
        if (!alive.expired()) windowHad_ = outer;
    });
    TWinControl::WndProc(message);
}

void TTreeView::DefaultHandler(TMessage& Message) {
    if (&Message == windowHad_) return;
    TWinControl::DefaultHandler(Message);
}

void TTreeView::WMLButtonUp(TMessage& Message) {
    if (!swallowUp_) return TWinControl::WndProc(Message);
    swallowUp_ = false;
}

void TTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (HandleAllocated()) UpdateImageList();
    }
}
