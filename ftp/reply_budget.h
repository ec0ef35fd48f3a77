#pragma once
// What one reply of an FTP server may cost: it must be complete within the request's timeout counted
// from when it was asked for, hold at most kMaxLines lines and kMaxBytes bytes, and come at least
// kMinBytesPerMinute bytes a minute. A server that drips, floods or never ends its reply is then
// left in bounded time and memory, however it keeps the connection alive.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ftpreply {

class ReplyBudget {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxLines = 10000;
    static constexpr size_t kMaxBytes = size_t{1} << 20;
    static constexpr int64_t kMinBytesPerMinute = 1024;
    static constexpr std::chrono::seconds kRateWindow{60};

    // A reply is asked for at now (a command sent, the greeting awaited); limit 0: no deadline, the
    // rate alone bounds it.
    void Ask(Clock::time_point now, std::chrono::seconds limit);
    // The reply ended (its final line came) or is no longer awaited; the line count starts again.
    void Finish();
    bool Pending() const { return pending_; }
    // Bytes read from the connection.
    void Received(size_t bytes);
    // A line that does not end the reply, length without its end. The reason to give the reply up,
    // or empty.
    std::string TakeLine(size_t length);
    // The reason to give up the awaited reply at now (deadline passed, too slow), or empty.
    std::string Check(Clock::time_point now);
    // When Check has something to decide next; only meaningful while Pending().
    Clock::time_point NextCheck() const;

private:
    bool pending_ = false;
    Clock::time_point asked_{};
    std::chrono::seconds limit_{0};
    size_t lines_ = 0;
    size_t bytes_ = 0;
    Clock::time_point windowStart_{};
    int64_t windowBytes_ = 0;
};

} // namespace ftpreply
