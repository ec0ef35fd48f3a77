#include "app/crawl/crawl_view.h"

#include "platform/gui/message_loop.h"

namespace crawl {

void CrawlView::ProcessMessages() {
    ::ProcessMessages();
}

} // namespace crawl
