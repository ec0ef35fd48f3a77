#pragma once
// The items of a tree view: a linked tree whose nodes know how many rows their shown subtree takes,
// so that inserting and finding the rows on screen cost no walk over the whole tree.
#include <memory>
#include <string>
#include <unordered_set>

#include "platform/commctrl/common_controls.h"

struct TreeNode {
    TreeNode* parent = nullptr;
    TreeNode* first = nullptr;
    TreeNode* last = nullptr;
    TreeNode* next = nullptr;
    TreeNode* prev = nullptr;
    std::string text;
    bool textCallback = false;
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;
    LPARAM lParam = 0;
    int children = 0; // cChildren as given: 0, 1 or I_CHILDRENCALLBACK
    int rows = 1;     // rows of this node and, when expanded, of its subtree
};

namespace pw::commctrl {

class TreeModel {
public:
    TreeModel();
    ~TreeModel();
    TreeModel(const TreeModel&) = delete;
    TreeModel& operator=(const TreeModel&) = delete;

    TreeNode* Root() { return root_.get(); }
    bool Valid(const TreeNode* node) const { return node && live_.count(const_cast<TreeNode*>(node)) != 0; }
    int Count() const { return static_cast<int>(live_.size()); }

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

    std::unique_ptr<TreeNode> root_;
    std::unordered_set<TreeNode*> live_;
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
    live_.erase(node);
    delete node;
}

} // namespace pw::commctrl
