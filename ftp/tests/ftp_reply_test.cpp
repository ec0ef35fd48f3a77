// Reply reading without a server: line ends, multi-line replies, over-long lines and the values
// replies carry.
#include "ftp/ftp_reply.h"
#include "ftp/reply_budget.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace ftpreply;

namespace {

std::vector<std::string> Lines(LineAssembler& a, const std::string& bytes) {
    std::vector<std::string> out;
    a.Append(bytes.data(), bytes.size());
    std::string line;
    bool tooLong = false;
    while (a.NextLine(line, tooLong))
        out.push_back(tooLong ? "<too long>" : line);
    return out;
}

TEST(FtpReply, LineEndsWithAndWithoutLoneLineFeeds) {
    LineAssembler lf;
    EXPECT_EQ(Lines(lf, "220 a\r\n230 b\n2"), (std::vector<std::string>{"220 a\r", "230 b"}));
    EXPECT_EQ(Lines(lf, "50 c\r\n"), (std::vector<std::string>{"250 c\r"}));
    LineAssembler crlf;
    crlf.SetAcceptLF(false);
    EXPECT_EQ(Lines(crlf, "220 a\n230 b\r\n"), (std::vector<std::string>{"220 a\n230 b"}));
}

TEST(FtpReply, AnOverLongLineComesOutOnceAndIsDroppedToItsEnd) {
    LineAssembler a;
    std::vector<std::string> all;
    const std::string longLine = "200 " + std::string(10000, 'x') + "\r\n221 next\r\n";
    for (size_t pos = 0; pos < longLine.size();) {
        const size_t n = std::min(a.Room(), longLine.size() - pos);
        ASSERT_GT(n, 0u);
        for (const std::string& l : Lines(a, longLine.substr(pos, n)))
            all.push_back(l);
        pos += n;
    }
    EXPECT_EQ(all, (std::vector<std::string>{"<too long>", "221 next\r"}));
}

TEST(FtpReply, MultiLineRepliesEndOnlyAtTheirOwnCodeFollowedByABlank) {
    struct Case {
        const char* line;
        LineKind kind;
        int code;
    } cases[] = {
        {"230-Welcome", LineKind::NotEvaluated, 230},
        {"2024 is a year", LineKind::NotEvaluated, 2024},
        {"220 other code", LineKind::NotEvaluated, 220},
        {"230-still going", LineKind::NotEvaluated, 230},
        {"230 done", LineKind::Final, 230},
        {"no digit", LineKind::NotEvaluated, -1},
        {"150 Opening", LineKind::Final, 150},
        {"99999999999999 big", LineKind::Final, 2147483647},
    };
    ReplyTracker t;
    for (const Case& c : cases) {
        int code = 0;
        EXPECT_EQ(t.Take(c.line, code), c.kind) << c.line;
        EXPECT_EQ(code, c.code) << c.line;
    }
}

TEST(FtpReply, PassiveAddressesAreReadWithChecks) {
    struct Case {
        const char* reply;
        bool ok;
        uint32_t address;
        uint16_t port;
    } cases[] = {
        {"227 Entering Passive Mode (127,0,0,1,118,62).", true, 0x7F000001, 118 * 256 + 62},
        {"227 Entering Passive Mode 10,1,2,3,4,5", true, 0x0A010203, 4 * 256 + 5},
        {"227 (127,0,0,1,999,1)", false, 0, 0},
        {"227 (127,0,0,1,0,0)", false, 0, 0},
        {"227 (127,0,0,1,4)", false, 0, 0},
        {"227 (a,b,c,d,e,f)", false, 0, 0},
        {"227 no numbers", false, 0, 0},
        {"", false, 0, 0},
        {"227 (99999999999999999999,0,0,1,4,5)", false, 0, 0},
    };
    for (const Case& c : cases) {
        uint32_t address = 0;
        uint16_t port = 0;
        EXPECT_EQ(ParsePassive(c.reply, address, port), c.ok) << c.reply;
        if (c.ok) {
            EXPECT_EQ(address, c.address);
            EXPECT_EQ(port, c.port);
        }
    }
}

TEST(FtpReply, QuotedFoldersSizesAndLineEnds) {
    EXPECT_EQ(QuotedDirectory("257 \"/pub/new\" created"), "/pub/new");
    EXPECT_EQ(QuotedDirectory("257 \"say \"\"hi\"\"\" created"), "say \"hi\"");
    EXPECT_EQ(QuotedDirectory("257 no quotes"), "");
    EXPECT_EQ(QuotedDirectory("257 \"unterminated"), "");
    EXPECT_EQ(NumberAfterCode("213 123456789012"), 123456789012);
    EXPECT_EQ(NumberAfterCode("213 "), -1);
    EXPECT_EQ(NumberAfterCode("213 99999999999999999999999"), -1);
    EXPECT_EQ(WithoutLineEnd("226 ok\r\n\r"), "226 ok");
}

// The limits of one reply, on a clock of the test's own.
TEST(FtpReply, AReplyIsBoundedInTimeLinesBytesAndRate) {
    using std::chrono::seconds;
    const ReplyBudget::Clock::time_point t0{};
    ReplyBudget deadline;
    deadline.Ask(t0, seconds(15));
    EXPECT_TRUE(deadline.Pending());
    // Bytes coming do not move the deadline: it counts from the question.
    for (int s = 1; s < 15; ++s) {
        deadline.Received(4096);
        EXPECT_EQ(deadline.Check(t0 + seconds(s)), "") << s;
    }
    EXPECT_EQ(deadline.NextCheck(), t0 + seconds(15));
    EXPECT_EQ(deadline.Check(t0 + seconds(15)), "426 The server's reply did not complete within 15 seconds");
    deadline.Finish();
    EXPECT_EQ(deadline.Check(t0 + seconds(99)), "") << "a finished reply has no deadline";

    ReplyBudget lines;
    lines.Ask(t0, seconds(15));
    for (size_t i = 0; i < ReplyBudget::kMaxLines; ++i)
        ASSERT_EQ(lines.TakeLine(10), "") << i;
    EXPECT_EQ(lines.TakeLine(10), "426 The server's reply ran over 10000 lines");
    // The next reply starts counting afresh.
    lines.Finish();
    EXPECT_EQ(lines.TakeLine(10), "");

    ReplyBudget bytes;
    bytes.Ask(t0, seconds(15));
    std::string why;
    size_t taken = 0;
    while (why.empty() && taken < 1000)
        why = bytes.TakeLine(4000), ++taken;
    EXPECT_EQ(why, "426 The server's reply ran over 1 MiB");
    EXPECT_EQ(taken, (size_t{1} << 20) / 4001 + 1);

    // Without a deadline the rate alone bounds the reply: 1 KiB a minute keeps it alive, less does not.
    ReplyBudget rate;
    rate.Ask(t0, seconds(0));
    EXPECT_EQ(rate.NextCheck(), t0 + seconds(60));
    rate.Received(1024);
    EXPECT_EQ(rate.Check(t0 + seconds(60)), "");
    EXPECT_EQ(rate.NextCheck(), t0 + seconds(120));
    rate.Received(1023);
    EXPECT_EQ(rate.Check(t0 + seconds(119)), "");
    EXPECT_EQ(rate.Check(t0 + seconds(120)), "426 The server's reply came slower than 1 KiB a minute");
}

} // namespace
