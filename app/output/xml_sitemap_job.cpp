#include "app/output/xml_sitemap_job.h"

#include "app/output/xml_sitemap.h"
#include "platform/rtl/atomic_file.h"

TXmlSitemapJob::TXmlSitemapJob(std::string FileName, std::span<const TSiteMapNode> Nodes)
    : fileName_(std::move(FileName)), thread_([this, Nodes] { Write(Nodes); }) {}

TXmlSitemapJob::~TXmlSitemapJob() = default;

void TXmlSitemapJob::Write(std::span<const TSiteMapNode> Nodes) {
    try {
        out_ = std::make_unique<TAtomicFileStream>(fileName_);
        tooLong_ = WriteXmlSitemap(Nodes, *out_);
        // The wait for the disk is spent here too; the commit then finds nothing left to flush.
        out_->Sync();
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void TXmlSitemapJob::Commit() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    out_->Commit();
}
