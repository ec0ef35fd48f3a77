#pragma once
// The folder tree the scan benchmarks work on, the same on every run (the site to crawl is the tests'
// generated site).
#include <string>

namespace bench {

// Writes files in folders of 100 under root (ten sections of folders): three files in five are pages
// with titles, the others a document and an unwanted file; root/index.html is the index page.
void WriteFolderTree(const std::string& root, int files);

} // namespace bench
