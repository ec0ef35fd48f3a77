#include "app/crawl/crawl_queue.h"

namespace {

void AsciiLower(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

} // namespace

void TKnownAddresses::Queued(const std::string& URL) {
    std::lock_guard guard(lock_);
    const int entry = exact_.Insert(URL);
    states_.resize(static_cast<size_t>(exact_.Count()), 0);
    states_[static_cast<size_t>(entry)] |= kQueued;
}

void TKnownAddresses::Dequeued(const std::string& URL) {
    const int entry = exact_.Find(URL);
    if (entry < 0) return;
    std::lock_guard guard(lock_);
    states_[static_cast<size_t>(entry)] &= static_cast<uint8_t>(~kQueued);
}

void TKnownAddresses::Visited(const std::string& URL) {
    std::string key = URL;
    AsciiLower(key);
    std::lock_guard guard(lock_);
    visited_.Insert(key);
    const int entry = exact_.Insert(URL);
    states_.resize(static_cast<size_t>(exact_.Count()), 0);
    states_[static_cast<size_t>(entry)] |= kVisited;
}

bool TKnownAddresses::VisitedLower(const std::string& URL) const {
    // Asked for every new link of every page: the lower-cased key is built in a buffer that is kept.
    thread_local std::string key;
    key.assign(URL);
    AsciiLower(key);
    return visited_.Find(key) >= 0;
}

bool TKnownAddresses::IsVisited(const std::string& URL) const {
    return VisitedLower(URL);
}

bool TKnownAddresses::IsQueued(const std::string& URL) const {
    const int entry = exact_.Find(URL);
    return entry >= 0 && (states_[static_cast<size_t>(entry)] & kQueued) != 0;
}

bool TKnownAddresses::IsKnown(const std::string& URL) const {
    // Queued, or visited in this form, is answered by the exact text; any other letter case by the
    // lower-cased one.
    const int entry = exact_.Find(URL);
    if (entry >= 0 && states_[static_cast<size_t>(entry)] != 0) return true;
    return VisitedLower(URL);
}

bool TKnownAddresses::IsKnownShared(const std::string& URL) const {
    std::lock_guard guard(lock_);
    return IsKnown(URL);
}

void TKnownAddresses::ClearQueued() {
    std::lock_guard guard(lock_);
    for (uint8_t& state : states_)
        state &= static_cast<uint8_t>(~kQueued);
}

void TKnownAddresses::Clear() {
    std::lock_guard guard(lock_);
    exact_.Clear();
    states_.clear();
    visited_.Clear();
}

int TCrawlQueue::EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer) {
    if (IsKnown(URL)) return -1;
    if (Full()) {
        overflowed_ = true;
        return -1;
    }
    items_.push_back(AURLItem{URL, Text, Referrer});
    known_->Queued(URL);
    return Count() - 1;
}

bool TCrawlQueue::DequeueUrl(std::string& Text, std::string& URL, std::string& Referrer) {
    if (items_.empty()) {
        Text.clear();
        URL.clear();
        Referrer.clear();
        return false;
    }
    AURLItem item = std::move(items_.front());
    items_.pop_front();
    known_->Dequeued(item.URL);
    Text = std::move(item.Text);
    URL = std::move(item.URL);
    Referrer = std::move(item.Referrer);
    return true;
}

void TCrawlQueue::AddVisited(const std::string& URL) {
    known_->Visited(URL);
}

bool TCrawlQueue::IsVisited(const std::string& URL) const {
    return known_->IsVisited(URL);
}

bool TCrawlQueue::IsQueued(const std::string& URL) const {
    return known_->IsQueued(URL);
}

bool TCrawlQueue::IsKnown(const std::string& URL) const {
    return known_->IsKnown(URL);
}

void TCrawlQueue::ClearQueue() {
    items_.clear();
    known_->ClearQueued();
}

void TCrawlQueue::Clear() {
    items_.clear();
    overflowed_ = false;
    folders_ = 0;
    known_->Clear();
}
