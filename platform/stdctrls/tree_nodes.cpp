#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/tree_view.h"

namespace {
[[noreturn]] void IndexError(int index) {
    throw EListError(Format("List index out of bounds (%d)", index));
}
} // namespace

// Node.

TTreeNode::~TTreeNode() = default;

TTreeView* TTreeNode::TreeView() const {
    return &owner_->Owner();
}

void TTreeNode::SetText(const std::string& Value) {
    text_ = Value;
    if (!item_) return;
    TVITEM it;
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = item_;
    it.pszText = const_cast<char*>(text_.c_str());
    SendMessage(TreeView()->Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetImageIndex(int Value) {
    imageIndex_ = Value;
    PushImages();
}

void TTreeNode::SetSelectedIndex(int Value) {
    selectedIndex_ = Value;
    PushImages();
}

void TTreeNode::PushImages() {
    if (!item_) return;
    TVITEM it;
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    it.hItem = item_;
    it.iImage = imageIndex_;
    it.iSelectedImage = selectedIndex_;
    SendMessage(TreeView()->Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetStateIndex(int Value) {
    stateIndex_ = Value;
    if (item_) TreeView()->Invalidate();
}

void TTreeNode::SetHasChildren(bool Value) {
    hasChildren_ = Value;
    if (!item_) return;
    TVITEM it;
    it.mask = TVIF_CHILDREN | TVIF_HANDLE;
    it.hItem = item_;
    it.cChildren = Value ? 1 : 0;
    SendMessage(TreeView()->Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return children_[static_cast<size_t>(Index)];
}

int TTreeNode::Index() const {
    const auto& siblings = owner_->SiblingsOf(parent_);
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::AbsoluteIndex() const {
    owner_->Item(0);
    const auto& order = owner_->order_;
    return static_cast<int>(std::find(order.begin(), order.end(), this) - order.begin());
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = parent_; p; p = p->parent_)
        ++level;
    return level;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    for (TTreeNode* p = parent_; p; p = p->parent_)
        if (p == Value) return true;
    return false;
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->Expanded()) return false;
    return true;
}

TTreeNode* TTreeNode::getNextSibling() const {
    const auto& siblings = owner_->SiblingsOf(parent_);
    const int i = Index() + 1;
    return i < static_cast<int>(siblings.size()) ? siblings[static_cast<size_t>(i)] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    const int i = Index();
    return i > 0 ? owner_->SiblingsOf(parent_)[static_cast<size_t>(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* n = getPrevSibling();
    if (!n) return parent_;
    while (!n->children_.empty())
        n = n->children_.back();
    return n;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!children_.empty() && Expanded()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    TTreeNode* n = getPrevSibling();
    if (!n) return parent_;
    while (!n->children_.empty() && n->Expanded())
        n = n->children_.back();
    return n;
}

bool TTreeNode::Expanded() const {
    if (item_)
        return SendMessage(TreeView()->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_),
                           TVIS_EXPANDED) != 0;
    return expanded_;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
    TTreeView* view = TreeView();
    if (HasChildren() && !Expanded()) {
        bool allow = true;
        if (view->OnExpanding) view->OnExpanding(view, this, allow);
        if (allow) {
            expanded_ = true;
            if (item_) {
                ++view->expanding_;
                SendMessage(view->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
                --view->expanding_;
            }
            if (view->OnExpanded) view->OnExpanded(view, this);
        }
    }
    // By index rather than over a copy: a handler may add or delete children meanwhile, and a copy per
    // call makes expanding a large folder once per added page allocate without end.
    if (Recurse)
        for (size_t i = 0; i < children_.size(); ++i)
            children_[i]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    TTreeView* view = TreeView();
    if (Expanded()) {
        bool allow = true;
        if (view->OnCollapsing) view->OnCollapsing(view, this, allow);
        if (allow) {
            expanded_ = false;
            if (item_) {
                ++view->expanding_;
                SendMessage(view->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
                --view->expanding_;
            }
            if (view->OnCollapsed) view->OnCollapsed(view, this);
        }
    }
    if (Recurse)
        for (TTreeNode* c : std::vector<TTreeNode*>(children_))
            c->Collapse(true);
}

bool TTreeNode::Selected() const {
    TTreeView* view = TreeView();
    if (view->multiSelect_ &&
        std::find(view->selections_.begin(), view->selections_.end(), this) != view->selections_.end())
        return true;
    return view->Selected() == this;
}

void TTreeNode::SetSelected(bool Value) {
    TTreeView* view = TreeView();
    if (view->multiSelect_) {
        std::vector<TTreeNode*> nodes = view->selections_;
        auto at = std::find(nodes.begin(), nodes.end(), this);
        if (Value && at == nodes.end()) nodes.push_back(this);
        if (!Value && at != nodes.end()) nodes.erase(at);
        view->SetSelection(nodes);
        if (Value || view->Selected() != this) return;
    }
    if (Value)
        view->SetSelected(this);
    else if (view->Selected() == this)
        view->SetSelected(nullptr);
}

bool TTreeNode::Focused() const {
    return item_ && SendMessage(TreeView()->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_),
                                TVIS_FOCUSED) != 0;
}

void TTreeNode::SetFocused(bool Value) {
    if (Value) TreeView()->SetSelected(this);
}

void TTreeNode::Delete() {
    owner_->Delete(this);
}

void TTreeNode::DeleteChildren() {
    while (!children_.empty())
        owner_->Delete(children_.back());
    hasChildren_ = false;
}

bool TTreeNode::EditText() {
    if (!item_) return false;
    return SendMessage(TreeView()->Handle(), TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
    if (item_) SendMessage(TreeView()->Handle(), TVM_ENDEDITLABELNOW, Cancel ? 1 : 0, 0);
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->Expanded()) p->Expand(false);
    if (item_) SendMessage(TreeView()->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
}

bool TTreeNode::AlphaSort(bool Recurse) {
    TTreeView* view = TreeView();
    view->SortSiblings(children_, Recurse);
    view->items_->Changed();
    if (view->HandleAllocated()) view->RecreateWnd();
    return true;
}

void TTreeNode::MoveTo(TTreeNode* Destination, int Mode) {
    if (Destination == this || (Destination && Destination->HasAsParent(this)))
        throw EInvalidOperation("Cannot move a node into its own subtree");
    TTreeView* view = TreeView();
    owner_->Unlink(this);
    TTreeNode* parent = nullptr;
    size_t position = 0;
    switch (static_cast<TNodeAttachMode>(Mode)) {
    case naAdd:
    case naAddFirst:
        parent = Destination ? Destination->parent_ : nullptr;
        position = Mode == naAdd ? owner_->SiblingsOf(parent).size() : 0;
        break;
    case naAddChild:
    case naAddChildFirst:
        parent = Destination;
        position = Mode == naAddChild ? owner_->SiblingsOf(parent).size() : 0;
        break;
    case naInsert:
        parent = Destination ? Destination->parent_ : nullptr;
        position =
            Destination ? static_cast<size_t>(Destination->Index()) : owner_->SiblingsOf(parent).size();
        break;
    }
    auto& siblings = owner_->SiblingsOf(parent);
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), this);
    parent_ = parent;
    owner_->Changed();
    // The window's items are rebuilt from the nodes, which keep their data, expansion and selection.
    if (view->HandleAllocated()) view->RecreateWnd();
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    RECT r{0, 0, 0, 0};
    if (!item_) return TRect{0, 0, 0, 0};
    HTREEITEM item = item_;
    std::memcpy(static_cast<void*>(&r), &item, sizeof item);
    if (!SendMessage(TreeView()->Handle(), TVM_GETITEMRECT, TextOnly ? 1 : 0, reinterpret_cast<LPARAM>(&r)))
        return TRect{0, 0, 0, 0};
    return TRect{r.left, r.top, r.right, r.bottom};
}

// Nodes.

TTreeNodes::~TTreeNodes() {
    Clear();
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (!orderValid_) {
        order_.clear();
        order_.reserve(static_cast<size_t>(count_));
        // Depth first over the child lists, so no node has to look for its place among its siblings.
        std::vector<std::pair<const std::vector<TTreeNode*>*, size_t>> pending{{&roots_, 0}};
        while (!pending.empty()) {
            auto& [nodes, next] = pending.back();
            if (next == nodes->size()) {
                pending.pop_back();
                continue;
            }
            TTreeNode* n = (*nodes)[next++];
            order_.push_back(n);
            if (!n->children_.empty()) pending.push_back({&n->children_, 0});
        }
        orderValid_ = true;
    }
    if (Index < 0 || Index >= static_cast<int>(order_.size())) {
        if (Index == 0 && order_.empty()) return nullptr;
        IndexError(Index);
    }
    return order_[static_cast<size_t>(Index)];
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Position, const std::string& S, void* Ptr) {
    if (Parent && Parent->owner_ != this) throw EInvalidOperation("Node belongs to another tree");
    auto* node = new TTreeNode(this);
    node->text_ = S;
    node->data_ = Ptr;
    node->parent_ = Parent;
    auto& siblings = SiblingsOf(Parent);
    size_t at = Position < 0 ? siblings.size() : static_cast<size_t>(Position);
    if (owner_.sortType_ == stText || owner_.sortType_ == stBoth) {
        at = 0;
        while (at < siblings.size() && CompareText(siblings[at]->text_, S) <= 0)
            ++at;
    }
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(at), node);
    ++count_;
    Changed();
    InsertIntoWindow(node);
    return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return InternalAdd(Sibling ? Sibling->parent_ : nullptr, -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return InternalAdd(Sibling ? Sibling->parent_ : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InternalAdd(Parent, -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InternalAdd(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    if (!Sibling) return InternalAdd(nullptr, -1, S, Ptr);
    return InternalAdd(Sibling->parent_, Sibling->Index(), S, Ptr);
}

void TTreeNodes::InsertIntoWindow(TTreeNode* Node) {
    if (!owner_.HandleAllocated()) return;
    if (Node->parent_ && !Node->parent_->item_) return;
    TTreeNode* prev = Node->getPrevSibling();
    TVINSERTSTRUCT in;
    in.hParent = Node->parent_ ? Node->parent_->item_ : TVI_ROOT;
    in.hInsertAfter = prev && prev->item_ ? prev->item_ : TVI_FIRST;
    in.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    in.item.pszText = const_cast<char*>(Node->text_.c_str());
    // The window keeps the image numbers itself; the handlers choose them as the node enters it.
    TTreeView& view = owner_;
    if (view.OnGetImageIndex) view.OnGetImageIndex(&view, Node);
    if (view.OnGetSelectedIndex) view.OnGetSelectedIndex(&view, Node);
    in.item.iImage = Node->imageIndex_;
    in.item.iSelectedImage = Node->selectedIndex_;
    in.item.lParam = reinterpret_cast<LPARAM>(Node);
    if (Node->hasChildren_) {
        in.item.mask |= TVIF_CHILDREN;
        in.item.cChildren = 1;
    }
    Node->item_ = reinterpret_cast<HTREEITEM>(
        SendMessage(owner_.Handle(), TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
    for (TTreeNode* c : Node->children_)
        InsertIntoWindow(c);
    if (Node->expanded_ && !Node->children_.empty()) {
        ++owner_.expanding_;
        SendMessage(owner_.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->item_));
        --owner_.expanding_;
    }
}

void TTreeNodes::Unlink(TTreeNode* Node) {
    if (Node->item_ && owner_.HandleAllocated()) {
        ++owner_.selecting_;
        SendMessage(owner_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->item_));
        --owner_.selecting_;
        for (TTreeNode* n = Node; n && (n == Node || n->HasAsParent(Node)); n = n->GetNext())
            n->item_ = nullptr;
    }
    auto& siblings = SiblingsOf(Node->parent_);
    siblings.erase(std::find(siblings.begin(), siblings.end(), Node));
    Changed();
}

void TTreeNodes::DeleteNode(TTreeNode* Node) {
    Node->deleting_ = true;
    while (!Node->children_.empty())
        DeleteNode(Node->children_.front());
    owner_.NodeGoing(Node);
    Unlink(Node);
    --count_;
    delete Node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->owner_ != this || Node->deleting_) return;
    DeleteNode(Node);
}

void TTreeNodes::Clear() {
    BeginUpdate();
    while (!roots_.empty())
        DeleteNode(roots_.front());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0 && owner_.HandleAllocated()) SendMessage(owner_.Handle(), WM_SETREDRAW, 0, 0);
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0 && owner_.HandleAllocated()) {
        SendMessage(owner_.Handle(), WM_SETREDRAW, 1, 0);
        owner_.Invalidate();
    }
}
