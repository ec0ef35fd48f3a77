#include "ftp/ftp_reply.h"

#include <algorithm>
#include <climits>

namespace ftpreply {
namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a number of at most maxValue at pos, moving pos past it; false when there is none or it is
// too large.
bool ReadNumber(const std::string& s, size_t& pos, int maxValue, int& value) {
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
    if (pos >= s.size() || !Digit(s[pos])) return false;
    int64_t v = 0;
    for (; pos < s.size() && Digit(s[pos]); ++pos) {
        v = v * 10 + (s[pos] - '0');
        if (v > maxValue) return false;
    }
    value = static_cast<int>(v);
    return true;
}

} // namespace

void LineAssembler::Clear() {
    buffer_.clear();
    skipping_ = false;
}

void LineAssembler::Append(const char* data, size_t length) {
    buffer_.append(data, std::min(length, Room()));
}

bool LineAssembler::NextLine(std::string& line, bool& tooLong) {
    tooLong = false;
    for (;;) {
        size_t end = std::string::npos;
        size_t endLength = 0;
        if (acceptLF_) {
            end = buffer_.find('\n');
            endLength = 1;
        } else {
            end = buffer_.find("\r\n");
            endLength = 2;
        }
        if (end == std::string::npos) {
            if (buffer_.size() < kCapacity - 1) return false;
            // A full buffer without a line end: the line is too long for it.
            const bool first = !skipping_;
            const size_t keep = acceptLF_ ? 0 : (buffer_.back() == '\r' ? 1 : 0);
            buffer_.erase(0, buffer_.size() - keep);
            skipping_ = true;
            if (first) {
                line.clear();
                tooLong = true;
                return true;
            }
            return false;
        }
        if (skipping_) {
            // The end of the over-long line: dropped with it.
            buffer_.erase(0, end + endLength);
            skipping_ = false;
            continue;
        }
        line.assign(buffer_, 0, end);
        buffer_.erase(0, end + endLength);
        return true;
    }
}

int LeadingCode(const std::string& line) {
    if (line.empty() || !Digit(line[0])) return -1;
    int64_t v = 0;
    for (size_t i = 0; i < line.size() && Digit(line[i]); ++i)
        v = std::min<int64_t>(v * 10 + (line[i] - '0'), INT_MAX);
    return static_cast<int>(v);
}

LineKind ReplyTracker::Take(const std::string& line, int& code) {
    code = LeadingCode(line);
    if (multiCode_ >= 0) {
        // Inside a multi-line reply only "NNN " (or "NNN" alone) with its own code ends it.
        const bool ends = line.size() >= 3 && Digit(line[0]) && Digit(line[1]) && Digit(line[2]) &&
                          (line.size() == 3 || line[3] == ' ') && code == multiCode_;
        if (!ends) return LineKind::NotEvaluated;
        multiCode_ = -1;
        return LineKind::Final;
    }
    if (code < 0) return LineKind::NotEvaluated;
    size_t after = 0;
    while (after < line.size() && Digit(line[after]))
        ++after;
    if (after < line.size() && line[after] == '-') {
        multiCode_ = code;
        return LineKind::NotEvaluated;
    }
    return LineKind::Final;
}

bool ParsePassive(const std::string& reply, uint32_t& address, uint16_t& port) {
    size_t pos = reply.find('(');
    if (pos == std::string::npos) {
        // Some servers leave the parentheses out: the numbers start at the first digit after the code.
        pos = 0;
        while (pos < reply.size() && Digit(reply[pos]))
            ++pos;
        while (pos < reply.size() && !Digit(reply[pos]))
            ++pos;
    } else {
        ++pos;
    }
    int parts[6];
    for (int i = 0; i < 6; ++i) {
        if (!ReadNumber(reply, pos, 255, parts[i])) return false;
        while (pos < reply.size() && reply[pos] == ' ')
            ++pos;
        if (i < 5) {
            if (pos >= reply.size() || reply[pos] != ',') return false;
            ++pos;
        }
    }
    address = static_cast<uint32_t>(parts[0]) << 24 | static_cast<uint32_t>(parts[1]) << 16 |
              static_cast<uint32_t>(parts[2]) << 8 | static_cast<uint32_t>(parts[3]);
    port = static_cast<uint16_t>(parts[4] * 256 + parts[5]);
    return port != 0;
}

std::string QuotedDirectory(const std::string& reply) {
    size_t pos = 0;
    while (pos < reply.size() && Digit(reply[pos]))
        ++pos;
    pos = reply.find('"', pos);
    if (pos == std::string::npos) return {};
    std::string dir;
    for (++pos; pos < reply.size(); ++pos) {
        if (reply[pos] != '"') {
            dir += reply[pos];
            continue;
        }
        if (pos + 1 < reply.size() && reply[pos + 1] == '"') {
            dir += '"';
            ++pos;
            continue;
        }
        return dir;
    }
    return {};
}

int64_t NumberAfterCode(const std::string& reply) {
    size_t pos = 0;
    while (pos < reply.size() && Digit(reply[pos]))
        ++pos;
    while (pos < reply.size() && reply[pos] == ' ')
        ++pos;
    if (pos >= reply.size() || !Digit(reply[pos])) return -1;
    int64_t v = 0;
    for (; pos < reply.size() && Digit(reply[pos]); ++pos) {
        if (v > (INT64_MAX - 9) / 10) return -1;
        v = v * 10 + (reply[pos] - '0');
    }
    return v;
}

std::string WithoutLineEnd(const std::string& line) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n'))
        --end;
    return line.substr(0, end);
}

} // namespace ftpreply
