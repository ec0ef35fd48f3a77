#pragma once
// The XML sitemap written to its temporary file on a thread of its own while the caller builds and writes
// the page: the two largest outputs of a run take the time of one. The sitemap replaces the previous one
// only when the caller commits it, so a run whose page fails leaves the old sitemap as it was.
#include "app/output/site_map_node.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <thread>

class TAtomicFileStream;

class TXmlSitemapJob {
public:
    // Starts writing. Nodes, and the records they point to, must stay unchanged until Commit or the end.
    TXmlSitemapJob(std::string FileName, std::span<const TSiteMapNode> Nodes);
    // Uncommitted, the temporary file goes and the sitemap stays as it was.
    ~TXmlSitemapJob();
    TXmlSitemapJob(const TXmlSitemapJob&) = delete;
    TXmlSitemapJob& operator=(const TXmlSitemapJob&) = delete;

    // Waits for the writing to end and renames the file over the sitemap; raises what the writing met.
    void Commit();
    // After Commit: the nodes left out for an address longer than a sitemap takes.
    size_t TooLong() const { return tooLong_; }

private:
    void Write(std::span<const TSiteMapNode> Nodes);

    std::string fileName_;
    std::unique_ptr<TAtomicFileStream> out_;
    std::exception_ptr failure_;
    size_t tooLong_ = 0;
    // Last: joined before the stream it writes to goes.
    std::jthread thread_;
};
