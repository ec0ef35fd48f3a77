#include "app/crawl/result_tree_results.h"

#include "app/crawl/crawl_address.h"
#include "app/results/result_tree.h"
#include "platform/rtl/date_time.h"

namespace crawl {

void ResultTreeResults::AddRootNode(const CrawledPage& Page) {
    tree_.AddRootNode(Page.Referrer, Page.Folder, Page.Title, DateTimeToFileDate(Page.LastModified));
}

int ResultTreeResults::AddPageNode(const CrawledPage& Page, int FolderRoom) {
    // Folder nodes are found by exact address, so a host typed in capitals must not start a second tree.
    const results::TPageAdded added =
        tree_.AddPageNodeWithin(NormaliseSchemeAndHost(Page.URL), Page.Text, Page.Title,
                                DateTimeToFileDate(Page.LastModified), FolderRoom);
    return added.NoRoom ? -1 : added.FoldersMade;
}

} // namespace crawl
