#include "app/crawl/crawl_queue.h"

namespace {

std::string asciiLower(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

int TCrawlQueue::EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer) {
    if (IsQueued(URL) || IsVisited(URL)) return -1;
    items_.push_back(AURLItem{URL, Text, Referrer});
    queued_.insert(URL);
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
    queued_.erase(item.URL);
    Text = std::move(item.Text);
    URL = std::move(item.URL);
    Referrer = std::move(item.Referrer);
    return true;
}

void TCrawlQueue::AddVisited(const std::string& URL) {
    visited_.insert(asciiLower(URL));
}

bool TCrawlQueue::IsVisited(const std::string& URL) const {
    // Asked for every link of every page: the lower-cased key is built in a buffer that is kept.
    thread_local std::string key;
    key.assign(URL);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return visited_.count(key) != 0;
}

void TCrawlQueue::ClearQueue() {
    items_.clear();
    queued_.clear();
}

void TCrawlQueue::Clear() {
    ClearQueue();
    visited_.clear();
}
