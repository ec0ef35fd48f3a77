#pragma once
// Crawled pages into the result tree.
#include "app/crawl/crawl_view.h"

namespace results {
class TResultTree;
}

namespace crawl {

class ResultTreeResults : public CrawlResults {
public:
    explicit ResultTreeResults(results::TResultTree& Tree) : tree_(Tree) {}
    // The root is keyed by the folder of the start address, so that the pages' folder paths meet it.
    void AddRootNode(const CrawledPage& Page) override;
    int AddPageNode(const CrawledPage& Page, int FolderRoom) override;

private:
    results::TResultTree& tree_;
};

} // namespace crawl
