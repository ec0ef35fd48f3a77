#pragma once
// The trees the benchmarks work on, the same on every run: a web site to crawl and a folder to scan.
#include <string>

namespace bench {

// The address path of page n of the generated site ("/f3/g1/p13.html").
std::string SitePagePath(int n);

// Writes a site of the given number of pages under root: about 20 links a page, three folders deep, one
// link in 20 through a redirect (/r/...), one in 20 to a missing page and one in 20 off the site (to
// 127.0.0.2 on the same port). /index.html links to the first page; every page links to the next one,
// so the whole site is reachable.
void WriteSite(const std::string& root, int pages, int port);

// Writes files in folders of 100 under root (ten sections of folders): three files in five are pages
// with titles, the others a document and an unwanted file; root/index.html is the index page.
void WriteFolderTree(const std::string& root, int files);

} // namespace bench
