#include "app/output/site_map_walk.h"

#include "app/core/data_rec.h"
#include "platform/stdctrls/tree_view.h"

std::vector<TSiteMapNode> SiteMapNodesOf(const TTreeNodes& Items) {
    std::vector<TSiteMapNode> nodes;
    nodes.reserve(static_cast<size_t>(Items.Count()));
    for (const TTreeNode* node = Items.GetFirstNode(); node; node = node->GetNext())
        nodes.push_back(TSiteMapNode{node->ImageIndex(), node->Level(), node->HasChildren(), node->Text(),
                                     static_cast<const TDataRec*>(node->Data())});
    return nodes;
}
