#pragma once
// The nodes of the result tree that may hold children without being expanded, found below a node
// without walking its subtree or all of them: each such node and each of its ancestors carries a mark,
// and a marked node lists its marked children. A crawl leaves the folders of a new deep path closed
// until a later page passes them, and asks for the closed ones below every folder of every page's
// path; looking through all of them each time made many deep paths cost time growing with their
// square.
#include <unordered_map>
#include <vector>

class TTreeNode;

namespace results {

class UnexpandedNodes {
public:
    // Node has been given its first child, or was collapsed.
    void Add(TTreeNode* Node);
    // The nodes added and not taken since that are Node or lie below it, each before its descendants;
    // they are forgotten.
    std::vector<TTreeNode*> TakeBelow(TTreeNode* Node);
    // Node is being deleted, after its children.
    void Remove(TTreeNode* Node);
    void Clear() { marks_.clear(); }

private:
    struct Mark {
        bool unexpanded = false;
        // The place in the parent's list of marked children; -1 for a top-level node, listed nowhere.
        // A node listed stays so, even once nothing below it is closed, until its parent's list is
        // taken: marking it again then costs nothing and never lists it twice.
        int slot = -1;
        std::vector<TTreeNode*> children;
    };
    std::unordered_map<TTreeNode*, Mark> marks_;
};

} // namespace results
