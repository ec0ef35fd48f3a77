#include "app/crawl/result_tree_results.h"

#include "app/crawl/crawl_address.h"
#include "app/results/result_tree.h"
#include "platform/rtl/date_time.h"

namespace crawl {

void ResultTreeResults::AddRootNode(const CrawledPage& Page) {
    tree_.AddRootNode(Page.Referrer, Page.Folder, Page.Title, DateTimeToFileDate(Page.LastModified));
}

void ResultTreeResults::AddPageNode(const CrawledPage& Page) {
    // Folder nodes are found by exact address, so a host typed in capitals must not start a second tree.
    tree_.AddPageNode(NormaliseSchemeAndHost(Page.URL), Page.Text, Page.Title,
                      DateTimeToFileDate(Page.LastModified));
}

} // namespace crawl
