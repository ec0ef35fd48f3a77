#include "shellcontrols/rz_tree_view.h"

#include <algorithm>

void TRzTreeNode::SetText(const std::string& Value) {
    text_ = Value;
}

int TRzTreeNode::Level() const {
    int level = 0;
    for (const TRzTreeNode* p = parent_; p != nullptr; p = p->parent_)
        ++level;
    return level;
}

int TRzTreeNode::Index() const {
    const auto& siblings = owner_->SiblingsOf(this);
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return static_cast<int>(i);
    return -1;
}

int TRzTreeNode::AbsoluteIndex() const {
    const auto& flat = owner_->Flat();
    auto it = std::find(flat.begin(), flat.end(), this);
    return it == flat.end() ? -1 : static_cast<int>(it - flat.begin());
}

void TRzTreeNode::Expand(bool Recurse) {
    expanded_ = HasChildren();
    if (Recurse)
        for (auto& child : children_)
            child->Expand(true);
}

void TRzTreeNode::Collapse(bool Recurse) {
    expanded_ = false;
    if (Recurse)
        for (auto& child : children_)
            child->Collapse(true);
}

void TRzTreeNode::SetSelected(bool Value) {
    if (Value)
        owner_->Owner()->Select(this, owner_->Owner()->MultiSelect());
    else
        owner_->Owner()->NodeSelecting(this, false);
}

bool TRzTreeNode::EditText() {
    return owner_->Owner()->BeginEdit(this);
}

TRzTreeNodes::~TRzTreeNodes() {
    Clear();
}

const std::vector<TRzTreeNode*>& TRzTreeNodes::Flat() const {
    if (!flatValid_) {
        flat_.clear();
        flat_.reserve(static_cast<size_t>(count_));
        // Explicit stack: deep trees must not exhaust the call stack.
        std::vector<std::pair<const NodeList*, size_t>> stack{{&roots_, 0}};
        while (!stack.empty()) {
            auto& [list, pos] = stack.back();
            if (pos == list->size()) {
                stack.pop_back();
                continue;
            }
            TRzTreeNode* node = (*list)[pos++].get();
            flat_.push_back(node);
            if (!node->children_.empty()) stack.emplace_back(&node->children_, 0);
        }
        flatValid_ = true;
    }
    return flat_;
}

TRzTreeNode* TRzTreeNodes::Item(int Index) const {
    const auto& flat = Flat();
    if (Index < 0 || static_cast<size_t>(Index) >= flat.size()) return nullptr;
    return flat[static_cast<size_t>(Index)];
}

TRzTreeNodes::NodeList& TRzTreeNodes::SiblingsOf(TRzTreeNode* node) {
    return node->parent_ != nullptr ? node->parent_->children_ : roots_;
}

const TRzTreeNodes::NodeList& TRzTreeNodes::SiblingsOf(const TRzTreeNode* node) const {
    return node->parent_ != nullptr ? node->parent_->children_ : roots_;
}

TRzTreeNode* TRzTreeNodes::Append(TRzTreeNode* parent, const std::string& text, void* data) {
    std::unique_ptr<TRzTreeNode> node(new TRzTreeNode(this, parent));
    node->text_ = text;
    node->data_ = data;
    TRzTreeNode* raw = node.get();
    NodeList& list = parent != nullptr ? parent->children_ : roots_;
    // A node appended under the last branch lands at the very end, so the cached order stays valid.
    bool atEnd = flatValid_;
    if (atEnd && parent != nullptr) {
        atEnd = false;
        for (const TRzTreeNode* p = flat_.empty() ? nullptr : flat_.back(); p != nullptr && !atEnd;
             p = p->parent_)
            atEnd = p == parent;
    }
    list.push_back(std::move(node));
    ++count_;
    if (atEnd)
        flat_.push_back(raw);
    else
        flatValid_ = false;
    return raw;
}

TRzTreeNode* TRzTreeNodes::AddObject(TRzTreeNode* Sibling, const std::string& Text, void* Data) {
    return Append(Sibling != nullptr ? Sibling->parent_ : nullptr, Text, Data);
}

TRzTreeNode* TRzTreeNodes::AddChildObject(TRzTreeNode* Parent, const std::string& Text, void* Data) {
    return Append(Parent, Text, Data);
}

void TRzTreeNodes::NotifyDeletion(TRzTreeNode* node) {
    // Children go first, from the last, so a handler never sees a parent without its record while a
    // child still needs it.
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
        NotifyDeletion(it->get());
    view_->NodeDeleting(node);
}

void TRzTreeNodes::Delete(TRzTreeNode* Node) {
    if (Node == nullptr || Node->owner_ != this) return;
    NotifyDeletion(Node);
    int removed = 1;
    std::vector<const TRzTreeNode*> pending{Node};
    while (!pending.empty()) {
        const TRzTreeNode* n = pending.back();
        pending.pop_back();
        for (const auto& c : n->children_) {
            ++removed;
            pending.push_back(c.get());
        }
    }
    NodeList& list = SiblingsOf(Node);
    auto it = std::find_if(list.begin(), list.end(), [Node](const auto& p) { return p.get() == Node; });
    // Keep the node alive until it has left the list, then free its subtree.
    std::unique_ptr<TRzTreeNode> doomed = std::move(*it);
    list.erase(it);
    count_ -= removed;
    flatValid_ = false;
    doomed.reset();
}

void TRzTreeNodes::Clear() {
    while (!roots_.empty())
        Delete(roots_.back().get());
    flat_.clear();
    flatValid_ = true;
}

TRzCustomTreeView::TRzCustomTreeView() : items_(std::make_unique<TRzTreeNodes>(this)) {}

TRzCustomTreeView::~TRzCustomTreeView() {
    // Handlers may refer to the owner that is being destroyed; the records still need releasing.
    items_->Clear();
}

void TRzCustomTreeView::SetMultiSelect(bool Value) {
    multiSelect_ = Value;
    if (!multiSelect_ && selection_.size() > 1) {
        TRzTreeNode* keep = focused_;
        for (TRzTreeNode* n : selection_)
            n->selected_ = false;
        selection_.clear();
        if (keep != nullptr) {
            keep->selected_ = true;
            selection_.push_back(keep);
        }
    }
}

void TRzCustomTreeView::NodeSelecting(TRzTreeNode* node, bool selected) {
    if (node->selected_ == selected) return;
    node->selected_ = selected;
    if (selected) {
        selection_.push_back(node);
    } else {
        selection_.erase(std::remove(selection_.begin(), selection_.end(), node), selection_.end());
        if (focused_ == node) focused_ = selection_.empty() ? nullptr : selection_.back();
    }
}

void TRzCustomTreeView::Changed(TRzTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

void TRzCustomTreeView::Select(TRzTreeNode* Node, bool AddToSelection) {
    if (Node == nullptr) return;
    if (!AddToSelection || !multiSelect_) {
        for (TRzTreeNode* n : selection_)
            n->selected_ = false;
        selection_.clear();
    }
    NodeSelecting(Node, true);
    focused_ = Node;
    Changed(Node);
}

void TRzCustomTreeView::SetSelected(TRzTreeNode* Node) {
    if (Node == nullptr) {
        ClearSelection();
        return;
    }
    Select(Node, false);
}

void TRzCustomTreeView::ClearSelection() {
    if (selection_.empty()) return;
    for (TRzTreeNode* n : selection_)
        n->selected_ = false;
    selection_.clear();
    focused_ = nullptr;
    Changed(nullptr);
}

bool TRzCustomTreeView::BeginEdit(TRzTreeNode* Node) {
    if (Node == nullptr || readOnly_) return false;
    editing_ = Node;
    return true;
}

void TRzCustomTreeView::EndEdit(const std::string& Text, bool Cancel) {
    TRzTreeNode* node = editing_;
    editing_ = nullptr;
    if (node == nullptr || Cancel) return;
    std::string s = Text;
    if (OnEdited) OnEdited(this, node, s);
    node->text_ = s;
}

void TRzCustomTreeView::KeyUp(WORD Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TRzCustomTreeView::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TRzCustomTreeView::ContextPopup(TRzTreeNode* Node, POINT MousePos) {
    bool handled = false;
    if (Node != nullptr && OnNodeContextMenu) OnNodeContextMenu(this, Node, MousePos, handled);
}

void TRzCustomTreeView::NodeDeleting(TRzTreeNode* node) {
    if (editing_ == node) editing_ = nullptr;
    NodeSelecting(node, false);
    if (OnDeletion) OnDeletion(this, node);
}
