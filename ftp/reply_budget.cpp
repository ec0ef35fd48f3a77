#include "ftp/reply_budget.h"

#include <algorithm>

namespace ftpreply {

void ReplyBudget::Ask(Clock::time_point now, std::chrono::seconds limit) {
    pending_ = true;
    asked_ = now;
    limit_ = limit;
    lines_ = 0;
    bytes_ = 0;
    windowStart_ = now;
    windowBytes_ = 0;
}

void ReplyBudget::Finish() {
    pending_ = false;
    lines_ = 0;
    bytes_ = 0;
}

void ReplyBudget::Received(size_t bytes) {
    windowBytes_ += static_cast<int64_t>(bytes);
}

std::string ReplyBudget::TakeLine(size_t length) {
    ++lines_;
    // The line end counts too: a flood of empty lines is not free.
    bytes_ += length + 1;
    if (lines_ > kMaxLines) return "426 The server's reply ran over " + std::to_string(kMaxLines) + " lines";
    if (bytes_ > kMaxBytes)
        return "426 The server's reply ran over " + std::to_string(kMaxBytes >> 20) + " MiB";
    return {};
}

std::string ReplyBudget::Check(Clock::time_point now) {
    if (!pending_) return {};
    if (limit_.count() > 0 && now - asked_ >= limit_)
        return "426 The server's reply did not complete within " + std::to_string(limit_.count()) +
               " seconds";
    if (now - windowStart_ >= kRateWindow) {
        if (windowBytes_ < kMinBytesPerMinute)
            return "426 The server's reply came slower than " + std::to_string(kMinBytesPerMinute >> 10) +
                   " KiB a minute";
        windowStart_ = now;
        windowBytes_ = 0;
    }
    return {};
}

ReplyBudget::Clock::time_point ReplyBudget::NextCheck() const {
    const Clock::time_point window = windowStart_ + kRateWindow;
    return limit_.count() > 0 ? std::min(asked_ + limit_, window) : window;
}

} // namespace ftpreply
