#pragma once
// The crawl's first-in-first-out queue of addresses and the list of addresses already taken from it.
// Both look-ups are hashed; the queue compares addresses exactly, the visited list without regard to
// ASCII letter case.
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_set>

#include "app/core/data_rec.h"

class TCrawlQueue {
public:
    // Appends the entry unless the address is queued or visited; its index in the queue, or -1.
    int EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer);
    // Takes the head entry; false (and empty outputs) when the queue is empty.
    bool DequeueUrl(std::string& Text, std::string& URL, std::string& Referrer);
    // The entry DequeueUrl takes next; null when the queue is empty.
    const AURLItem* Head() const { return items_.empty() ? nullptr : &items_.front(); }
    void AddVisited(const std::string& URL);
    bool IsVisited(const std::string& URL) const;
    bool IsQueued(const std::string& URL) const { return queued_.count(URL) != 0; }
    int Count() const { return static_cast<int>(items_.size()); }
    int VisitedCount() const { return static_cast<int>(visited_.size()); }
    void ClearQueue();
    void Clear();

private:
    std::deque<AURLItem> items_;
    std::unordered_set<std::string> queued_;
    // Lower-cased addresses.
    std::unordered_set<std::string> visited_;
};
