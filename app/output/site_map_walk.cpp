#include "app/output/site_map_walk.h"

#include "app/core/data_rec.h"
#include "platform/stdctrls/tree_view.h"

std::vector<TSiteMapNode> SiteMapNodesOf(const TTreeNodes& Items) {
    std::vector<TSiteMapNode> nodes;
    nodes.reserve(static_cast<size_t>(Items.Count()));
    // The level follows the walk down and up instead of being counted to the top for each node, which
    // cost a deep path the square of its depth.
    int level = 0;
    for (const TTreeNode* node = Items.GetFirstNode(); node;) {
        nodes.push_back(TSiteMapNode{node->ImageIndex(), level, node->HasChildren(), node->Text(),
                                     static_cast<const TDataRec*>(node->Data())});
        if (const TTreeNode* child = node->GetFirstChild()) {
            node = child;
            ++level;
            continue;
        }
        while (node && !node->GetNextSibling()) {
            node = node->Parent();
            --level;
        }
        if (node) node = node->GetNextSibling();
    }
    return nodes;
}
