#pragma once
// A fixed result tree, temporary folders and the outside checkers the writer tests share.
#include "app/core/data_rec.h"
#include "app/output/site_map_node.h"

#include <deque>
#include <string>
#include <vector>

namespace output_test {

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

std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& bytes);
// The golden file's bytes; with PW_UPDATE_GOLDEN set, writes actual over it first.
std::string Golden(const std::string& name, const std::string& actual);

// A fresh folder under the test temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// xmllint's verdict on the file against our sitemap schema: empty when valid, else its messages.
std::string SchemaErrors(const std::string& xmlFile);
// The page as a real HTML parser sees it: lists as [ ], links as (href|text), other elements as !name!.
std::string HtmlOutline(const std::string& htmlFile);

} // namespace output_test
