#pragma once
// The result tree's nodes in display order (each folder before its contents), as the writers take them.
#include "app/output/site_map_node.h"

#include <vector>

class TTreeNodes;

// One walk from the first node in tree order, so it stays linear where indexed access would search
// the tree for every node. Each node's Data is its TDataRec; its Caption is the tree node's own text, so
// the list holds while the tree is unchanged.
std::vector<TSiteMapNode> SiteMapNodesOf(const TTreeNodes& Items);
