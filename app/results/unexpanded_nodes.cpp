#include "app/results/unexpanded_nodes.h"

#include "platform/stdctrls/tree_view.h"

namespace results {

void UnexpandedNodes::Add(TTreeNode* Node) {
    Mark* mark = &marks_[Node];
    mark->unexpanded = true;
    // Up to the first ancestor already listed: those above it are listed too.
    for (TTreeNode* n = Node; mark->slot < 0 && n->Parent() != nullptr; n = n->Parent()) {
        Mark& up = marks_[n->Parent()];
        mark->slot = static_cast<int>(up.children.size());
        up.children.push_back(n);
        mark = &up;
    }
}

std::vector<TTreeNode*> UnexpandedNodes::TakeBelow(TTreeNode* Node) {
    auto top = marks_.find(Node);
    if (top == marks_.end()) return {};
    std::vector<TTreeNode*> taken;
    if (top->second.unexpanded) taken.push_back(Node);
    top->second.unexpanded = false;
    // Depth first, in the order listed; the marks below go with the lists that held them.
    std::vector<TTreeNode*> pending(top->second.children.rbegin(), top->second.children.rend());
    top->second.children.clear();
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        auto at = marks_.find(n);
        if (at->second.unexpanded) taken.push_back(n);
        pending.insert(pending.end(), at->second.children.rbegin(), at->second.children.rend());
        marks_.erase(at);
    }
    if (top->second.slot < 0) marks_.erase(top);
    return taken;
}

void UnexpandedNodes::Remove(TTreeNode* Node) {
    auto at = marks_.find(Node);
    if (at == marks_.end()) return;
    if (const int slot = at->second.slot; slot >= 0) {
        // The parent's last listed child takes the place.
        std::vector<TTreeNode*>& siblings = marks_.find(Node->Parent())->second.children;
        TTreeNode* last = siblings.back();
        siblings[static_cast<size_t>(slot)] = last;
        marks_.find(last)->second.slot = slot;
        siblings.pop_back();
    }
    marks_.erase(at);
}

} // namespace results
