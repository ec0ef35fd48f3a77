#pragma once
// FTP reply reading: the control connection's bytes cut into lines in a bounded buffer, lines sorted
// into final replies and continuation lines of multi-line replies, and the values some replies carry
// (the passive address, a quoted folder, a size). Malformed input never overruns and never throws.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ftpreply {

// The reply buffer of the control connection: at most kCapacity - 1 bytes wait for their line end.
class LineAssembler {
public:
    static constexpr size_t kCapacity = 4096;

    // With acceptLF a lone LF ends a line; without it only CR LF does.
    void SetAcceptLF(bool acceptLF) { acceptLF_ = acceptLF; }
    void Clear();
    // How many bytes the next read may add.
    size_t Room() const { return kCapacity - 1 - buffer_.size(); }
    void Append(const char* data, size_t length);
    // The next complete line, without its end. A line that fills the buffer without an end comes out
    // as tooLong (its text dropped), and the rest of it, up to its end, is dropped too.
    bool NextLine(std::string& line, bool& tooLong);

private:
    std::string buffer_;
    bool acceptLF_ = true;
    bool skipping_ = false;
};

enum class LineKind {
    NotEvaluated, // no leading digit, or a line inside a multi-line reply
    Final,        // ends a reply: its code is the reply's code
};

// Follows multi-line replies: after "NNN-" only a line starting "NNN " with the same code ends them.
class ReplyTracker {
public:
    LineKind Take(const std::string& line, int& code);
    void Reset() { multiCode_ = -1; }
    bool InsideMultiLine() const { return multiCode_ >= 0; }

private:
    int multiCode_ = -1;
};

// The number of the leading digits (saturated), -1 when the line does not start with a digit.
int LeadingCode(const std::string& line);
// Six numbers of at most 255 from a 227 reply ("(h1,h2,h3,h4,p1,p2)", parentheses optional);
// false for anything else or port 0.
bool ParsePassive(const std::string& reply, uint32_t& address, uint16_t& port);
// The text between the first pair of double quotes after the code, a doubled quote standing for one.
std::string QuotedDirectory(const std::string& reply);
// The number after the code (a SIZE reply); -1 when there is none.
int64_t NumberAfterCode(const std::string& reply);
// The line with every trailing CR and LF removed.
std::string WithoutLineEnd(const std::string& line);

} // namespace ftpreply
