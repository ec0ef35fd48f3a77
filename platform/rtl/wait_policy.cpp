#include "platform/rtl/wait_policy.h"

#include <sched.h>

#include <algorithm>

#include <atomic>
#include <thread>

namespace {

std::atomic<bool> pretendSingle{false};

} // namespace

bool TWaitPolicy::SeveralProcessors() {
    static const bool several = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        return sched_getaffinity(0, sizeof set, &set) != 0 || CPU_COUNT(&set) > 1;
    }();
    return several && !pretendSingle.load(std::memory_order_relaxed);
}

namespace rtl_detail {

void PretendSingleProcessor(bool single) {
    pretendSingle.store(single, std::memory_order_relaxed);
}

} // namespace rtl_detail

bool TWaitPolicy::Watches(Clock::time_point Now) const {
    return quick_ >= kQuickInARow && Now - last_ <= kRecent && SeveralProcessors();
}

void TWaitPolicy::Answered(Clock::time_point Started, Clock::time_point Answered) {
    quick_ = Answered - Started <= kWatchFor ? std::min(quick_ + 1, kQuickInARow) : 0;
    last_ = Answered;
}

void TWaitPolicy::Relax(unsigned Turn) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
    // A loaded machine may need this processor for the thread being waited for.
    if ((Turn & 63) == 0) std::this_thread::yield();
}
