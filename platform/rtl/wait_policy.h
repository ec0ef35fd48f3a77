#pragma once
// When a thread that waits for another's answer watches for it before it sleeps. Waking a sleeping
// thread costs the kernel tens of microseconds, longer than a server on this machine takes to answer
// or the GUI thread to take a page: so while the other side keeps answering that quickly, a waiter
// watches for the answer for a moment first: once it has answered that quickly a few times in a row. It
// sleeps at once on a single processor (watching would keep the other side from running), after an
// answer that took longer than the watch, and when its last answer is long past; so a slow server or an
// idle pool costs no processor time. A watch that fails costs the whole watch and one that succeeds saves
// only a wake-up, so a short run of quick answers among slow ones (the redirects a slow site answers at
// once) is no pace to watch for.
//
// One TWaitPolicy belongs to one waiting role of one thread (the crawl's worker waiting for its server,
// the GUI thread waiting for the next page, a pool thread waiting for its next run).
#include <chrono>

class TWaitPolicy {
public:
    using Clock = std::chrono::steady_clock;
    // The longest watch: a few kernel wake-ups (program_bench prints the wake-up measured here).
    static constexpr Clock::duration kWatchFor = std::chrono::microseconds(200);
    // Answers within the watch in a row before a wait watches.
    static constexpr unsigned kQuickInARow = 4;
    // An answer older than this says nothing about the next one.
    static constexpr Clock::duration kRecent = std::chrono::milliseconds(10);

    // Whether the wait that starts at Now watches before it sleeps.
    bool Watches(Clock::time_point Now) const;
    // The wait that started at Started ended at Answered.
    void Answered(Clock::time_point Started, Clock::time_point Answered);
    // Watches for Ready() (every call cheap, no lock) until it holds, kWatchFor is over or Until comes;
    // whether it held. Watches not at all when Watches(now) is false.
    template <class Ready>
    bool Watch(const Ready& ready, Clock::time_point Until = Clock::time_point::max()) const;

    // Whether this process may run on more than one processor (its affinity, read once).
    static bool SeveralProcessors();

private:
    static void Relax(unsigned Turn);
    // Answers in a row within the watch, up to kQuickInARow.
    unsigned quick_ = 0;
    Clock::time_point last_{};
};

namespace rtl_detail {
// As if the process had one processor (true) or as it is (false).
void PretendSingleProcessor(bool single);
} // namespace rtl_detail

template <class Ready> bool TWaitPolicy::Watch(const Ready& ready, Clock::time_point Until) const {
    const Clock::time_point now = Clock::now();
    if (!Watches(now)) return ready();
    const Clock::time_point until = Until < now + kWatchFor ? Until : now + kWatchFor;
    for (unsigned i = 1;; ++i) {
        if (ready()) return true;
        Relax(i);
        if ((i & 31) == 0 && Clock::now() >= until) return ready();
    }
}
