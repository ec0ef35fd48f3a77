#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/list.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/tree_view.h"

// Siblings.

void TTreeSiblings::Insert(TTreeNode* Node, TTreeNode* Before) {
    Node->next_ = Before;
    Node->prev_ = Before ? Before->prev_ : last;
    if (Node->prev_)
        Node->prev_->next_ = Node;
    else
        first = Node;
    if (Before)
        Before->prev_ = Node;
    else
        last = Node;
    if (numbered_ && !Before) {
        Node->index_ = count;
        ByIndex().push_back(Node);
    } else {
        numbered_ = false;
    }
    ++count;
}

void TTreeSiblings::Remove(TTreeNode* Node) {
    if (Node->prev_)
        Node->prev_->next_ = Node->next_;
    else
        first = Node->next_;
    if (Node->next_)
        Node->next_->prev_ = Node->prev_;
    else
        last = Node->prev_;
    if (numbered_ && !Node->next_)
        ByIndex().pop_back();
    else
        numbered_ = false;
    Node->prev_ = Node->next_ = nullptr;
    --count;
}

std::vector<TTreeNode*>& TTreeSiblings::ByIndex() const {
    if (!byIndex_) byIndex_ = std::make_unique<std::vector<TTreeNode*>>();
    return *byIndex_;
}

void TTreeSiblings::Number() const {
    if (numbered_) return;
    std::vector<TTreeNode*>& byIndex = ByIndex();
    byIndex.clear();
    byIndex.reserve(static_cast<size_t>(count));
    for (TTreeNode* n = first; n; n = n->next_) {
        n->index_ = static_cast<int>(byIndex.size());
        byIndex.push_back(n);
    }
    numbered_ = true;
}

TTreeNode* TTreeSiblings::At(int Index) const {
    Number();
    return ByIndex()[static_cast<size_t>(Index)];
}

int TTreeSiblings::IndexOf(const TTreeNode* Node) const {
    Number();
    return Node->index_;
}

std::vector<TTreeNode*> TTreeSiblings::ToVector() const {
    Number();
    return ByIndex();
}

void TTreeSiblings::Assign(const std::vector<TTreeNode*>& Nodes) {
    first = last = nullptr;
    count = 0;
    byIndex_.reset();
    numbered_ = true;
    for (TTreeNode* n : Nodes)
        Insert(n, nullptr);
}

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
    it.pszText = LPSTR_TEXTCALLBACK; // the window asks for the new text when it draws
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
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    return children_.At(Index);
}

int TTreeNode::Index() const {
    return owner_->SiblingsOf(parent_).IndexOf(this);
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

TTreeNode* TTreeNode::GetNext() const {
    if (children_.first) return children_.first;
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (n->next_) return n->next_;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* n = prev_;
    if (!n) return parent_;
    while (n->children_.last)
        n = n->children_.last;
    return n;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (children_.first && Expanded()) return children_.first;
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (n->next_) return n->next_;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    TTreeNode* n = prev_;
    if (!n) return parent_;
    while (n->children_.last && n->Expanded())
        n = n->children_.last;
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
    // call makes expanding a large folder once per added page allocate without end. A child without
    // children has nothing to expand: a folder of many pages, expanded again for each page added to
    // it, is then only looked over.
    if (Recurse)
        for (int i = 0; i < children_.count; ++i)
            if (TTreeNode* child = children_.At(i); child->HasChildren()) child->Expand(true);
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
        for (TTreeNode* c : children_.ToVector())
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
    owner_->Settle();
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
    while (children_.last)
        owner_->Delete(children_.last);
    hasChildren_ = false;
}

bool TTreeNode::EditText() {
    owner_->Settle();
    if (!item_) return false;
    return SendMessage(TreeView()->Handle(), TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
    owner_->Settle();
    if (item_) SendMessage(TreeView()->Handle(), TVM_ENDEDITLABELNOW, Cancel ? 1 : 0, 0);
}

void TTreeNode::MakeVisible() {
    owner_->Settle();
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
    TTreeNode* before = nullptr;
    switch (static_cast<TNodeAttachMode>(Mode)) {
    case naAdd:
    case naAddFirst:
        parent = Destination ? Destination->parent_ : nullptr;
        before = Mode == naAdd ? nullptr : owner_->SiblingsOf(parent).first;
        break;
    case naAddChild:
    case naAddChildFirst:
        parent = Destination;
        before = Mode == naAddChild ? nullptr : owner_->SiblingsOf(parent).first;
        break;
    case naInsert:
        parent = Destination ? Destination->parent_ : nullptr;
        before = Destination;
        break;
    }
    owner_->SiblingsOf(parent).Insert(this, before);
    parent_ = parent;
    owner_->Changed();
    // The window's items are rebuilt from the nodes, which keep their data, expansion and selection.
    if (view->HandleAllocated()) view->RecreateWnd();
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    owner_->Settle();
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

void* TTreeNodes::NodeStore::Take() {
    if (free_) {
        void* place = free_;
        std::memcpy(&free_, place, sizeof free_);
        return place;
    }
    if (blocks_.empty() || made_ == blockSize_) {
        // From a few nodes for a small tree to a few thousand at a time for a large one.
        blockSize_ = std::min<size_t>(blockSize_ == 0 ? 16 : blockSize_ * 2, 4096);
        blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize_ * sizeof(TTreeNode)));
        made_ = 0;
    }
    return blocks_.back().get() + made_++ * sizeof(TTreeNode);
}

void TTreeNodes::NodeStore::Give(void* Place) {
    std::memcpy(Place, &free_, sizeof free_);
    free_ = Place;
}

TTreeNode* TTreeNodes::NewNode() {
    return new (store_->Take()) TTreeNode(this);
}

void TTreeNodes::FreeNode(TTreeNode* Node) {
    Node->~TTreeNode();
    store_->Give(Node);
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (!orderValid_) {
        order_.clear();
        order_.reserve(static_cast<size_t>(count_));
        for (TTreeNode* n = roots_.first; n;) {
            order_.push_back(n);
            if (n->children_.first) {
                n = n->children_.first;
                continue;
            }
            while (n && !n->next_)
                n = n->parent_;
            if (n) n = n->next_;
        }
        orderValid_ = true;
    }
    if (Index < 0 || Index >= static_cast<int>(order_.size())) {
        if (Index == 0 && order_.empty()) return nullptr;
        RaiseListIndexError(Index);
    }
    return order_[static_cast<size_t>(Index)];
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, TTreeNode* Before, std::string_view S, void* Ptr,
                                   int ImageIndex, int SelectedIndex) {
    if (Parent && Parent->owner_ != this) throw EInvalidOperation("Node belongs to another tree");
    TTreeNode* node = NewNode();
    node->text_ = S;
    node->data_ = Ptr;
    node->imageIndex_ = ImageIndex;
    node->selectedIndex_ = SelectedIndex;
    node->parent_ = Parent;
    auto& siblings = SiblingsOf(Parent);
    if (owner_.sortType_ == stText || owner_.sortType_ == stBoth) {
        // From the end, so pages added in order cost one comparison; equal texts keep their order.
        Before = nullptr;
        for (TTreeNode* s = siblings.last; s && CompareText(s->text_, S) > 0; s = s->prev_)
            Before = s;
    }
    siblings.Insert(node, Before);
    ++count_;
    Changed();
    // While the tree is being filled its window takes the new nodes later, many in one message.
    if (updateCount_ > 0 && owner_.HandleAllocated())
        unsettled_ = true;
    else
        InsertIntoWindow(node);
    return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    return InternalAdd(Sibling ? Sibling->parent_ : nullptr, nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    TTreeNode* parent = Sibling ? Sibling->parent_ : nullptr;
    return InternalAdd(parent, SiblingsOf(parent).first, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InternalAdd(Parent, nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, std::string_view S, void* Ptr, int ImageIndex,
                                      int SelectedIndex) {
    return InternalAdd(Parent, nullptr, S, Ptr, ImageIndex, SelectedIndex);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InternalAdd(Parent, Parent ? Parent->children_.first : roots_.first, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    if (!Sibling) return InternalAdd(nullptr, nullptr, S, Ptr);
    return InternalAdd(Sibling->parent_, Sibling, S, Ptr);
}

void TTreeNodes::InsertIntoWindow(TTreeNode* Node) {
    InsertRun(Node, Node);
}

void TTreeNodes::InsertRun(TTreeNode* First, TTreeNode* Last) {
    if (!owner_.HandleAllocated()) return;
    TTreeNode* parent = First->parent_;
    if (parent && !parent->item_) return;
    TTreeView& view = owner_;
    std::vector<TVITEM> items;
    for (TTreeNode* n = First;; n = n->next_) {
        TVITEM& it = items.emplace_back();
        it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        // The window asks for the text when it needs it rather than holding a second copy of every label.
        it.pszText = LPSTR_TEXTCALLBACK;
        // The window keeps the image numbers itself; the handlers choose them as the node enters it.
        if (view.OnGetImageIndex) view.OnGetImageIndex(&view, n);
        if (view.OnGetSelectedIndex) view.OnGetSelectedIndex(&view, n);
        it.iImage = n->imageIndex_;
        it.iSelectedImage = n->selectedIndex_;
        it.lParam = reinterpret_cast<LPARAM>(n);
        if (n->hasChildren_) {
            it.mask |= TVIF_CHILDREN;
            it.cChildren = 1;
        }
        if (n == Last) break;
    }
    TTreeNode* prev = First->getPrevSibling();
    TVINSERTRUN run;
    run.hParent = parent ? parent->item_ : TVI_ROOT;
    run.hInsertAfter = prev && prev->item_ ? prev->item_ : TVI_FIRST;
    run.items = items.data();
    run.count = static_cast<UINT>(items.size());
    const size_t made =
        static_cast<size_t>(SendMessage(owner_.Handle(), TVM_INSERTRUN, 0, reinterpret_cast<LPARAM>(&run)));
    TTreeNode* n = First;
    for (size_t i = 0; i < made; ++i, n = n->next_)
        n->item_ = items[i].hItem;
    for (n = First;; n = n->next_) {
        if (n->item_ && n->children_.first) {
            InsertRun(n->children_.first, n->children_.last);
            if (n->expanded_) {
                ++owner_.expanding_;
                SendMessage(owner_.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->item_));
                --owner_.expanding_;
            }
        }
        if (n == Last) break;
    }
}

void TTreeNodes::Settle() {
    if (!unsettled_) return;
    unsettled_ = false;
    if (owner_.HandleAllocated()) SettleChildren(roots_);
}

void TTreeNodes::SettleChildren(const TTreeSiblings& Siblings) {
    for (TTreeNode* n = Siblings.first; n;) {
        if (n->item_) {
            SettleChildren(n->children_);
            n = n->next_;
            continue;
        }
        // The nodes added side by side enter together, each with its subtree.
        TTreeNode* last = n;
        while (last->next_ && !last->next_->item_)
            last = last->next_;
        InsertRun(n, last);
        n = last->next_;
    }
}

void TTreeNodes::Unlink(TTreeNode* Node) {
    if (Node->item_ && owner_.HandleAllocated()) {
        ++owner_.selecting_;
        SendMessage(owner_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->item_));
        --owner_.selecting_;
        // The window took the subtree with the node.
        ForgetItems(Node);
    }
    SiblingsOf(Node->parent_).Remove(Node);
    Changed();
}

void TTreeNodes::ForgetItems(TTreeNode* Node) {
    for (TTreeNode* n = Node; n;) {
        n->item_ = nullptr;
        if (n->children_.first) {
            n = n->children_.first;
            continue;
        }
        while (n != Node && !n->next_)
            n = n->parent_;
        n = n == Node ? nullptr : n->next_;
    }
}

void TTreeNodes::DeleteNode(TTreeNode* Node) {
    Node->deleting_ = true;
    // The window let go of every item at once: each node forgets its own on the way out.
    if (windowCleared_) Node->item_ = nullptr;
    while (Node->children_.first)
        DeleteNode(Node->children_.first);
    owner_.NodeGoing(Node);
    Unlink(Node);
    --count_;
    FreeNode(Node);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->owner_ != this || Node->deleting_) return;
    // The window moves its selection off the subtree while it goes; the control hears of it after, when
    // no node it reports is half gone.
    TTreeNode* caret = owner_.HandleAllocated() ? owner_.Selected() : nullptr;
    const bool caretGoes = caret && (caret == Node || caret->HasAsParent(Node));
    DeleteNode(Node);
    if (caretGoes) owner_.CaretMovedByDeletion();
}

void TTreeNodes::Clear() {
    BeginUpdate();
    // The window lets all its items go in one step, rather than one message per node. A control that
    // is being destroyed hands its window no more messages: the items go with the window.
    bool cleared = false;
    if (roots_.first && owner_.HandleAllocated()) {
        if (!owner_.ComponentState().Contains(csDestroying)) {
            ++owner_.selecting_;
            SendMessage(owner_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
            --owner_.selecting_;
        }
        cleared = true;
    }
    {
        // Rather than a walk over every node first, each forgets its item as it is deleted.
        TemporaryChange<bool> forget(windowCleared_, cleared);
        while (roots_.first)
            DeleteNode(roots_.first);
    }
    // An empty tree gives its blocks back rather than keep room for the largest it ever held.
    if (count_ == 0) store_ = std::make_unique<NodeStore>();
    EndUpdate();
}

void TTreeNodes::Abandon() {
    if (!roots_.first) return;
    // As Clear: a window that stays lets its items go; one being destroyed takes them with it.
    if (owner_.HandleAllocated() && !owner_.ComponentState().Contains(csDestroying)) {
        ++owner_.selecting_;
        SendMessage(owner_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        --owner_.selecting_;
    }
    // Held from a static, the nodes and their store are still in reach: the ending process frees them,
    // not a leak report.
    static std::vector<std::unique_ptr<NodeStore>>* left = new std::vector<std::unique_ptr<NodeStore>>;
    left->push_back(std::move(store_));
    store_ = std::make_unique<NodeStore>();
    roots_ = TTreeSiblings();
    count_ = 0;
    order_.clear();
    orderValid_ = false;
    unsettled_ = false;
    owner_.NodesAbandoned();
}

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0 && owner_.HandleAllocated()) SendMessage(owner_.Handle(), WM_SETREDRAW, 0, 0);
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0) return;
    if (updateCount_ == 1) Settle();
    if (--updateCount_ == 0 && owner_.HandleAllocated()) {
        SendMessage(owner_.Handle(), WM_SETREDRAW, 1, 0);
        owner_.Invalidate();
    }
}
