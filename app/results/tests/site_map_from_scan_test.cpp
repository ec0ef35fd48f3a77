// A scanned folder written out: the writers walk the same nodes the scan and the edits built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/output/html_site_map.h"
#include "app/output/site_map_walk.h"
#include "app/output/xml_sitemap.h"
#include "app/results/local_scan.h"
#include "app/results/result_tree.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"
#include "shellcontrols/tests/tree_test_support.h"
#include "test_site.h"

namespace {

static_assert(results::kFolderImage == kFolderImage && results::kPageImage == kPageImage &&
                  results::kImageFileImage == kPictureImage,
              "the tree and the writers must agree on what each image means");

TEST(SiteMapFromScan, WritersSeeTheScannedTreeInOrderAndItsEdits) {
    results_test::TempSite site;
    site.Write("index.html", "<title>Welcome</title>");
    site.Write("about.html", "<title>About us</title>");
    site.Write("docs/guide.html", "<title>Guide &amp; tips</title>");
    site.Write("docs/old/notes.html", "<title>Notes</title>");
    site.Write("logo.png", "png");

    TMapProfile profile;
    profile.SetWebsite("http://www.example.com/");
    profile.SetFileTypes("*.html;*.png");
    profile.SetUsePageTitles(true);
    TStringList ignoreFolders;
    TStringList ignoreFiles;
    tree_test::TreeForm view;
    TRzTreeView& tv = *view.tree;
    results::TResultTree tree(tv, profile, ignoreFolders, ignoreFiles);
    results::TLocalScan scan(tree, ignoreFolders, ignoreFiles);
    scan.Run(site.Root());
    view.Show();

    std::vector<TSiteMapNode> nodes = SiteMapNodesOf(tv.Items());
    ASSERT_EQ(static_cast<int>(nodes.size()), tv.Items().Count());
    std::vector<std::string> shape;
    for (size_t i = 0; i < nodes.size(); ++i) {
        TTreeNode* node = tv.Items().Item(static_cast<int>(i));
        EXPECT_EQ(nodes[i].Data, results::TResultTree::Rec(node));
        EXPECT_EQ(nodes[i].HasChildren, node->HasChildren());
        shape.push_back(std::string(static_cast<size_t>(nodes[i].Level) * 2, ' ') + nodes[i].Caption + " " +
                        std::to_string(nodes[i].ImageIndex));
    }
    // A folder's files come before its folders.
    EXPECT_EQ(shape,
              (std::vector<std::string>{"Home 0", "  About us 1", "  Welcome 1", "  logo.png 2", "  docs 0",
                                        "    Guide & tips 1", "    old 0", "      Notes 1"}));

    const std::string html = BuildHtmlSiteMap(profile, nodes);
    EXPECT_NE(html.find("<a href=\"http://www.example.com/docs/guide.html\" class=\"mapitem\">Guide &amp; "
                        "tips</a>"),
              std::string::npos)
        << html;
    const std::string xml = BuildXmlSitemap(nodes);
    EXPECT_NE(xml.find("<loc>http://www.example.com/docs/old/notes.html</loc>"), std::string::npos) << xml;

    // A folder removed from the tree is gone from both outputs, with everything under it.
    tv.Items().Delete(tree.FindNodeByFolder(site.Root() + "docs/"));
    nodes = SiteMapNodesOf(tv.Items());
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes.back().Caption, "logo.png");
    EXPECT_EQ(BuildHtmlSiteMap(profile, nodes).find("guide.html"), std::string::npos);
    EXPECT_EQ(BuildXmlSitemap(nodes).find("notes.html"), std::string::npos);
}

} // namespace
