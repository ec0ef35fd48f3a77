#pragma once
// A fixed result tree and the outside checkers the writer tests share.
#include "app/core/data_rec.h"
#include "app/core/tests/test_env.h"
#include "app/output/site_map_node.h"

#include <deque>
#include <string>
#include <vector>

namespace output_test {

using appcore_test::ReadAll;
using appcore_test::TempDir;
using appcore_test::WriteAll;

// Nodes in display order, with the records they point at.
class Tree {
public:
    Tree& Add(int image, int level, bool children, std::string text, std::string loc);
    // The last node's record, to change its sitemap fields.
    TDataRec& Last() { return records_.back(); }
    const std::vector<TSiteMapNode>& Nodes() const { return nodes_; }

private:
    std::deque<TDataRec> records_;
    std::vector<TSiteMapNode> nodes_;
};

// Folders, pages and a picture over four levels, a childless folder and a folder without an address.
Tree SampleTree();
// Titles and addresses that try to break out of their places.
Tree HostileTree();

// The golden file's bytes; with PW_UPDATE_GOLDEN set, writes actual over it first.
std::string Golden(const std::string& name, const std::string& actual);
// xmllint's verdict on the file against our sitemap schema: empty when valid, else its messages.
std::string SchemaErrors(const std::string& xmlFile);
// The page as a real HTML parser sees it: lists as [ ], links as (href|text), other elements as !name!.
std::string HtmlOutline(const std::string& htmlFile);

} // namespace output_test
