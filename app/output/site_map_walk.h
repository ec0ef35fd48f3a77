#pragma once
// The result tree's nodes in display order (each folder before its contents), as the writers take them.
#include "app/core/data_rec.h"
#include "app/output/site_map_node.h"

#include <vector>

// Walks the tree's node collection (GetFirstNode, then GetNext) once, so the walk stays linear where
// indexed access would search the tree for every node.
template <class TreeNodes> std::vector<TSiteMapNode> SiteMapNodesOf(const TreeNodes& Items) {
    std::vector<TSiteMapNode> nodes;
    nodes.reserve(static_cast<size_t>(Items.Count() > 0 ? Items.Count() : 0));
    for (auto* node = Items.GetFirstNode(); node; node = node->GetNext())
        nodes.push_back(TSiteMapNode{node->ImageIndex(), node->Level(), node->HasChildren(), node->Text(),
                                     static_cast<const TDataRec*>(node->Data())});
    return nodes;
}
