#pragma once
// The items of a tree view: a linked tree whose nodes know how many rows their shown subtree takes,
// so that inserting and finding the rows on screen cost no walk over the whole tree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/commctrl/common_controls.h"

// An item's own label: one pointer wide, since a tree whose owner answers for its labels keeps none and
// a large tree holds one per item. Labels come from C strings, so the copy ends at its first zero.
class TreeText {
public:
    TreeText() = default;
    TreeText(std::string_view text) { *this = text; }
    TreeText& operator=(std::string_view text) {
        if (text.empty()) {
            chars_.reset();
            return *this;
        }
        auto chars = std::make_unique<char[]>(text.size() + 1);
        std::copy(text.begin(), text.end(), chars.get());
        chars_ = std::move(chars);
        return *this;
    }
    std::string_view View() const { return chars_ ? std::string_view(chars_.get()) : std::string_view(); }
    operator std::string_view() const { return View(); }
    friend bool operator==(const TreeText& a, std::string_view b) { return a.View() == b; }
    friend std::ostream& operator<<(std::ostream& out, const TreeText& t) { return out << t.View(); }

private:
    std::unique_ptr<char[]> chars_;
};

struct TreeNode {
    TreeNode* parent = nullptr;
    TreeNode* first = nullptr;
    TreeNode* last = nullptr;
    TreeNode* next = nullptr;
    TreeNode* prev = nullptr;
    TreeText text;
    bool textCallback = false;
    bool live = false; // an item of the tree, not a free place in its store
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;
    LPARAM lParam = 0;
    int children = 0; // cChildren as given: 0, 1 or I_CHILDRENCALLBACK
    int rows = 1;     // rows of this node and, when expanded, of its subtree
};
// A large site map holds one per file: the label is one pointer and the two flags share a word.
static_assert(sizeof(void*) != 8 || sizeof(TreeNode) <= 80);

namespace pw::commctrl {

class TreeModel {
public:
    TreeModel();
    ~TreeModel();
    TreeModel(const TreeModel&) = delete;
    TreeModel& operator=(const TreeModel&) = delete;

    TreeNode* Root() { return root_.get(); }
    // A handle names a live item of this tree: any other pointer, freed items' included, is refused
    // without being followed outside the tree's own store.
    bool Valid(const TreeNode* node) const;
    int Count() const { return count_; }

    // after: TVI_FIRST, TVI_LAST, TVI_SORT or a child of parent; null when it is none of them.
    TreeNode* Insert(TreeNode* parent, TreeNode* after, std::string text);
    // Unlinks and frees the node and its subtree; visit sees each node before it goes, children first.
    template <class Visit> void Delete(TreeNode* node, Visit&& visit);
    void SortChildren(TreeNode* parent, bool recurse);

    static bool Expanded(const TreeNode* n) { return (n->state & TVIS_EXPANDED) != 0; }
    void SetExpanded(TreeNode* node, bool expanded);
    // Shown: every ancestor is expanded.
    bool Shown(const TreeNode* node) const;
    int Depth(const TreeNode* node) const;

    int TotalRows() const { return root_->rows - 1; }
    // Row of a shown node from the top of the tree, or -1.
    int RowOf(const TreeNode* node) const;
    TreeNode* AtRow(int row) const;
    TreeNode* NextShown(const TreeNode* node) const;
    TreeNode* PrevShown(const TreeNode* node) const;
    TreeNode* LastShown() const;

private:
    void Propagate(TreeNode* from, int delta);
    void Unlink(TreeNode* node);
    void Link(TreeNode* parent, TreeNode* after, TreeNode* node);
    TreeNode* NewNode();
    void FreeNode(TreeNode* node);

    // The items live in blocks of growing size, kept in address order, with freed places reused: a
    // handle is checked by a search among a few blocks, and a large tree costs no allocation per item
    // and is freed block by block.
    struct Block {
        std::unique_ptr<TreeNode[]> nodes;
        size_t size = 0;
    };
    static bool BlockAfter(std::uintptr_t at, const Block& block);
    std::unique_ptr<TreeNode> root_;
    std::vector<Block> blocks_;
    TreeNode* newest_ = nullptr;
    size_t newestSize_ = 0;
    size_t made_ = 0;          // places handed out so far in the newest block
    TreeNode* free_ = nullptr; // freed places, linked through next
    int count_ = 0;
};

template <class Visit> void TreeModel::Delete(TreeNode* node, Visit&& visit) {
    if (node == root_.get()) {
        while (root_->first)
            Delete(root_->first, visit);
        return;
    }
    while (node->first)
        Delete(node->first, visit);
    visit(node);
    Unlink(node);
    FreeNode(node);
}

} // namespace pw::commctrl
