#include "platform/commctrl/tree_model.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/rtl/strings.h"

namespace pw::commctrl {

TreeModel::TreeModel() : root_(std::make_unique<TreeNode>()) {
    root_->state = TVIS_EXPANDED;
}

namespace {

std::uintptr_t Address(const TreeNode* node) {
    return reinterpret_cast<std::uintptr_t>(node);
}

} // namespace

bool TreeModel::BlockAfter(std::uintptr_t at, const Block& block) {
    return at < Address(block.nodes.get());
}

// The blocks free the items with them.
TreeModel::~TreeModel() = default;

bool TreeModel::Valid(const TreeNode* node) const {
    if (!node) return false;
    const std::uintptr_t at = Address(node);
    // The last block starting at or before the address.
    auto it = std::upper_bound(blocks_.begin(), blocks_.end(), at, BlockAfter);
    if (it == blocks_.begin()) return false;
    --it;
    const std::uintptr_t offset = at - Address(it->nodes.get());
    if (offset >= it->size * sizeof(TreeNode) || offset % sizeof(TreeNode) != 0) return false;
    return it->nodes[offset / sizeof(TreeNode)].live;
}

TreeNode* TreeModel::NewNode() {
    TreeNode* node = free_;
    if (node) {
        free_ = node->next;
        node->next = nullptr;
    } else {
        if (!newest_ || made_ == newestSize_) {
            constexpr size_t kFirst = 64, kLargest = 16384;
            newestSize_ = newest_ ? std::min(kLargest, newestSize_ * 2) : kFirst;
            Block block{std::make_unique<TreeNode[]>(newestSize_), newestSize_};
            newest_ = block.nodes.get();
            blocks_.insert(std::upper_bound(blocks_.begin(), blocks_.end(), Address(newest_), BlockAfter),
                           std::move(block));
            made_ = 0;
        }
        node = newest_ + made_++;
    }
    node->live = true;
    ++count_;
    return node;
}

void TreeModel::FreeNode(TreeNode* node) {
    *node = TreeNode{};
    node->next = free_;
    free_ = node;
    if (--count_ > 0) return;
    // Emptied: the store goes back, so a tree once large holds no memory for it.
    blocks_.clear();
    newest_ = free_ = nullptr;
    newestSize_ = made_ = 0;
}

void TreeModel::Propagate(TreeNode* from, int delta) {
    // The caller's node counts its children's rows; its ancestors do as far as they are expanded.
    for (TreeNode* a = from; a && delta; a = a->parent) {
        a->rows += delta;
        if (!a->parent || !Expanded(a->parent)) break;
    }
}

void TreeModel::Link(TreeNode* parent, TreeNode* after, TreeNode* node) {
    node->parent = parent;
    if (!after) {
        node->next = parent->first;
        node->prev = nullptr;
        if (parent->first) parent->first->prev = node;
        parent->first = node;
        if (!parent->last) parent->last = node;
    } else {
        node->prev = after;
        node->next = after->next;
        if (after->next) after->next->prev = node;
        after->next = node;
        if (parent->last == after) parent->last = node;
    }
    if (Expanded(parent)) Propagate(parent, node->rows);
}

void TreeModel::Unlink(TreeNode* node) {
    TreeNode* parent = node->parent;
    if (Expanded(parent)) Propagate(parent, -node->rows);
    if (node->prev) node->prev->next = node->next;
    if (node->next) node->next->prev = node->prev;
    if (parent->first == node) parent->first = node->next;
    if (parent->last == node) parent->last = node->prev;
    node->parent = node->next = node->prev = nullptr;
}

TreeNode* TreeModel::Insert(TreeNode* parent, TreeNode* after, std::string text) {
    TreeNode* place = nullptr;
    if (after == TVI_FIRST) {
        place = nullptr;
    } else if (after == TVI_LAST || after == nullptr) {
        place = parent->last;
    } else if (after == TVI_SORT) {
        place = parent->last;
        // Equal texts keep their insertion order: the new one goes after them.
        while (place && CompareText(place->text, text) > 0)
            place = place->prev;
    } else {
        if (!Valid(after) || after->parent != parent) return nullptr;
        place = after;
    }
    TreeNode* node = NewNode();
    node->text = std::move(text);
    Link(parent, place, node);
    return node;
}

void TreeModel::SortChildren(TreeNode* parent, bool recurse) {
    std::vector<TreeNode*> kids;
    for (TreeNode* k = parent->first; k; k = k->next)
        kids.push_back(k);
    std::stable_sort(kids.begin(), kids.end(),
                     [](const TreeNode* a, const TreeNode* b) { return CompareText(a->text, b->text) < 0; });
    TreeNode* prev = nullptr;
    for (TreeNode* k : kids) {
        k->prev = prev;
        k->next = nullptr;
        if (prev) prev->next = k;
        prev = k;
    }
    parent->first = kids.empty() ? nullptr : kids.front();
    parent->last = prev;
    if (recurse)
        for (TreeNode* k : kids)
            SortChildren(k, true);
}

void TreeModel::SetExpanded(TreeNode* node, bool expanded) {
    if (Expanded(node) == expanded) return;
    int inner = 0;
    for (TreeNode* k = node->first; k; k = k->next)
        inner += k->rows;
    const int old = node->rows;
    if (expanded)
        node->state |= TVIS_EXPANDED;
    else
        node->state &= ~TVIS_EXPANDED;
    node->rows = 1 + (expanded ? inner : 0);
    if (node->parent && Expanded(node->parent)) Propagate(node->parent, node->rows - old);
}

bool TreeModel::Shown(const TreeNode* node) const {
    for (const TreeNode* a = node->parent; a; a = a->parent)
        if (!Expanded(a)) return false;
    return node != root_.get();
}

int TreeModel::Depth(const TreeNode* node) const {
    int d = -1;
    for (const TreeNode* a = node; a && a != root_.get(); a = a->parent)
        ++d;
    return d;
}

int TreeModel::RowOf(const TreeNode* node) const {
    if (!Shown(node)) return -1;
    int row = -1;
    for (const TreeNode* n = node; n != root_.get(); n = n->parent) {
        row += 1;
        for (const TreeNode* s = n->prev; s; s = s->prev)
            row += s->rows;
    }
    return row;
}

TreeNode* TreeModel::AtRow(int row) const {
    if (row < 0 || row >= TotalRows()) return nullptr;
    TreeNode* parent = root_.get();
    for (;;) {
        TreeNode* within = nullptr;
        for (TreeNode* k = parent->first; k && !within; k = k->next) {
            if (row < k->rows)
                within = k;
            else
                row -= k->rows;
        }
        if (!within) return nullptr;
        if (row == 0) return within;
        row -= 1;
        parent = within;
    }
}

TreeNode* TreeModel::NextShown(const TreeNode* node) const {
    if (Expanded(node) && node->first) return node->first;
    for (const TreeNode* n = node; n && n != root_.get(); n = n->parent)
        if (n->next) return n->next;
    return nullptr;
}

TreeNode* TreeModel::PrevShown(const TreeNode* node) const {
    if (node->prev) {
        TreeNode* n = node->prev;
        while (Expanded(n) && n->last)
            n = n->last;
        return n;
    }
    return node->parent == root_.get() ? nullptr : node->parent;
}

TreeNode* TreeModel::LastShown() const {
    TreeNode* n = root_->last;
    while (n && Expanded(n) && n->last)
        n = n->last;
    return n;
}

} // namespace pw::commctrl
