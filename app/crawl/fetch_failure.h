#pragma once
// Why a page could not be loaded, in words a webmaster reads in the memo and on the terminal.
#include <string>

class TFileFetcher;

namespace crawl {

// The reason of the fetcher's last fetch that did not load: refused, not found, timed out, too large, a
// certificate not accepted, an answer that is no page...
std::string FailureReason(const TFileFetcher& Fetcher);

} // namespace crawl
