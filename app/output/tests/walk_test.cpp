#include "app/core/map_profile.h"
#include "app/output/html_site_map.h"
#include "app/output/site_map_walk.h"
#include "app/output/tests/output_fixture.h"
#include "platform/stdctrls/tree_view.h"

#include <gtest/gtest.h>

#include <memory>

using namespace output_test;

// The nodes of a real tree view come out in display order with their kind, level and records, so the
// page made from the tree is the page made from the same nodes listed by hand.
TEST(SiteMapWalk, TreeViewNodesGiveTheSamePage) {
    const Tree sample = SampleTree();
    auto view = std::make_unique<TTreeView>(nullptr);
    TTreeNodes& items = view->Items();
    std::vector<TTreeNode*> open; // the last node of each level
    for (const TSiteMapNode& node : sample.Nodes()) {
        open.resize(static_cast<size_t>(node.Level));
        void* data = const_cast<TDataRec*>(node.Data);
        TTreeNode* added = open.empty() ? items.AddObject(nullptr, "label " + node.Data->Text, data)
                                        : items.AddChildObject(open.back(), "label " + node.Data->Text, data);
        added->SetImageIndex(node.ImageIndex);
        if (node.HasChildren) added->SetHasChildren(true);
        open.push_back(added);
    }
    // Added last but shown first among the root's children.
    TTreeNode* first = items.AddChildObjectFirst(items.GetFirstNode(), "Intro", nullptr);
    first->SetImageIndex(kPageImage);

    const std::vector<TSiteMapNode> walked = SiteMapNodesOf(items);
    ASSERT_EQ(walked.size(), sample.Nodes().size() + 1);
    EXPECT_EQ(walked[1].Caption, "Intro");
    EXPECT_EQ(walked[1].Data, nullptr);
    EXPECT_EQ(walked[1].Level, 1);
    std::vector<TSiteMapNode> rest(walked.begin(), walked.end());
    rest.erase(rest.begin() + 1);
    for (size_t i = 0; i < rest.size(); ++i) {
        EXPECT_EQ(rest[i].Data, sample.Nodes()[i].Data) << i;
        EXPECT_EQ(rest[i].Level, sample.Nodes()[i].Level) << i;
        EXPECT_EQ(rest[i].HasChildren, sample.Nodes()[i].HasChildren) << i;
        EXPECT_EQ(rest[i].ImageIndex, sample.Nodes()[i].ImageIndex) << i;
    }
    const TMapProfile profile;
    EXPECT_EQ(BuildHtmlSiteMap(profile, rest), BuildHtmlSiteMap(profile, sample.Nodes()));
    EXPECT_NE(BuildHtmlSiteMap(profile, walked).find("<a href=\"\" class=\"mapitem\">Intro</a>"),
              std::string::npos);
}
