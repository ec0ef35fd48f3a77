#include "app/crawl/result_tree_results.h"

#include "app/crawl/crawl_address.h"
#include "app/results/result_tree.h"

namespace crawl {

time_t LocalFileDate(TDateTime Local) {
    uint16_t y, mo, d, h, mi, s, ms;
    DecodeDate(Local, y, mo, d);
    DecodeTime(Local, h, mi, s, ms);
    // Days from 1970-01-01 to the civil date, in whole 400-year eras.
    const int64_t year = mo <= 2 ? y - 1 : y;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (mo > 2 ? mo - 3 : mo + 9) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    const auto wall = static_cast<time_t>(days * 86400 + h * 3600 + mi * 60 + s);
    // The zone's offset is asked again at the first answer, so that a time near a change of offset
    // lands on the right side of it.
    const time_t first = wall - UtcOffsetMinutesAt(wall) * 60;
    return wall - UtcOffsetMinutesAt(first) * 60;
}

void ResultTreeResults::AddRootNode(const CrawledPage& Page) {
    tree_.AddRootNode(Page.Referrer, Page.Folder, Page.Title, LocalFileDate(Page.LastModified));
}

void ResultTreeResults::AddPageNode(const CrawledPage& Page) {
    // Folder nodes are found by exact address, so a host typed in capitals must not start a second tree.
    tree_.AddPageNode(NormaliseSchemeAndHost(Page.URL), Page.Text, Page.Title,
                      LocalFileDate(Page.LastModified));
}

} // namespace crawl
