#pragma once
// A generated web site, the same on every run: what the crawl's benchmarks time and its tests hold to.
#include <string>

namespace testsupport {

// The address path of page n of the generated site ("/f3/g1/p13.html").
std::string SitePagePath(int n);

// Writes a site of the given number of pages under root: about 20 links a page, three folders deep, one
// link in 20 through a redirect (/r/..., which the server sends on to the page), one in 20 to a missing
// page and one in 20 off the site (to 127.0.0.2 on the same port). /index.html links to the first page;
// every page links to the next one, so the whole site is reachable.
void WriteGeneratedSite(const std::string& root, int pages, int port);

// The server directive that serves the site's redirects.
inline constexpr const char* kGeneratedSiteRedirects =
    "    location /r/ { rewrite ^/r(/.*)$ $1 permanent; }\n";

} // namespace testsupport
