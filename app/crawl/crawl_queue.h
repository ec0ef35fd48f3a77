#pragma once
// The crawl's first-in-first-out queue of addresses and the list of addresses already taken from it.
// Both look-ups are hashed; the queue compares addresses exactly, the visited list without regard to
// ASCII letter case. One thread changes the queue; the worker thread asks only the known addresses.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "app/crawl/address_index.h"

// The addresses a crawl knows, queued or visited: the one part of a crawl's state that the worker
// thread reads (to tell whether a redirect's target needs the crawl's thread), under its lock, while
// the crawl's thread adds to it. It outlives the crawl for as long as a worker holds it.
class TKnownAddresses {
public:
    // On the crawl's thread: queued, or visited in this form or in another ASCII letter case.
    bool IsKnown(const std::string& URL) const;
    // The same, from any thread.
    bool IsKnownShared(const std::string& URL) const;
    bool IsVisited(const std::string& URL) const;
    bool IsQueued(const std::string& URL) const;
    int Count() const { return exact_.Count(); }
    int VisitedCount() const { return visited_.Count(); }

private:
    friend class TCrawlQueue;
    enum : uint8_t { kQueued = 1, kVisited = 2 };
    bool VisitedLower(const std::string& URL) const;
    void Queued(const std::string& URL);
    void Dequeued(const std::string& URL);
    void Visited(const std::string& URL);
    void ClearQueued();
    void Clear();

    // Held by the changing thread while it changes the look-ups, and by IsKnownShared.
    mutable std::mutex lock_;
    // Every address queued or visited, as it was written; states_ says, for each, whether it is in the
    // queue now and whether it was visited in this very form.
    TAddressIndex exact_;
    std::vector<uint8_t> states_;
    // Lower-cased addresses.
    TAddressIndex visited_;
};

class TCrawlQueue {
public:
    // The most entries a crawl keeps, its addresses and the folders of their paths together: a site that
    // generates new addresses without end (a calendar, a session in every link), or paths of hundreds of
    // folders each, would otherwise fill the memory.
    static constexpr int kMaxKnown = 1000000;

    // Appends the entry unless the address is queued or visited, or the queue knows as many addresses as
    // its limit (it then notes that it refused one); the entry's index in the queue, or -1.
    int EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer);
    // Takes the head entry; false (and empty outputs) when the queue is empty.
    bool DequeueUrl(std::string& Text, std::string& URL, std::string& Referrer);
    // The entry DequeueUrl takes next; null when the queue is empty.
    const AURLItem* Head() const { return items_.empty() ? nullptr : &items_.front(); }
    // The entry Index places behind the head (0: the head); Index < Count().
    const AURLItem& At(int Index) const { return items_[static_cast<size_t>(Index)]; }
    void AddVisited(const std::string& URL);
    bool IsVisited(const std::string& URL) const;
    bool IsQueued(const std::string& URL) const;
    // IsQueued or IsVisited; a link met before is known with a single look-up of its own text.
    bool IsKnown(const std::string& URL) const;
    // What the worker thread may ask meanwhile.
    std::shared_ptr<const TKnownAddresses> Known() const { return known_; }
    int Count() const { return static_cast<int>(items_.size()); }
    int VisitedCount() const { return known_->VisitedCount(); }
    // Addresses queued or visited, each counted once in whatever letter case it came first.
    int KnownCount() const { return known_->Count(); }
    // Folder entries made for the pages' paths, beside the addresses.
    void AddFolders(int Count) { folders_ += Count; }
    int FolderCount() const { return folders_; }
    void SetLimit(int Value) { limit_ = Value; }
    int Limit() const { return limit_; }
    bool Full() const { return KnownCount() + folders_ >= limit_; }
    // The folder entries the limit still leaves room for.
    int FolderRoom() const { return std::max(limit_ - KnownCount() - folders_, 0); }
    // A new address or a page's folders were refused because the limit was reached.
    bool Overflowed() const { return overflowed_; }
    void NoteOverflow() { overflowed_ = true; }
    void ClearQueue();
    void Clear();

private:
    std::deque<AURLItem> items_;
    std::shared_ptr<TKnownAddresses> known_ = std::make_shared<TKnownAddresses>();
    int limit_ = kMaxKnown;
    int folders_ = 0;
    bool overflowed_ = false;
};
