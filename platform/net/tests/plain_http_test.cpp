#include "platform/net/plain_http.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using net::plain::BodyDecoder;

TEST(PlainHttp, AddressesSplitForSendingOrLeftToTheLibrary) {
    net::plain::Target t;
    ASSERT_TRUE(net::plain::Split("http://Example.org/a/b?q=1#frag", t));
    EXPECT_EQ(t.key, "example.org:80");
    EXPECT_EQ(t.host, "Example.org");
    EXPECT_EQ(t.path, "/a/b?q=1");
    ASSERT_TRUE(net::plain::Split("HTTP://127.0.0.1:8080?x", t));
    EXPECT_EQ(t.key, "127.0.0.1:8080");
    EXPECT_EQ(t.host, "127.0.0.1:8080");
    EXPECT_EQ(t.path, "/?x");
    ASSERT_TRUE(net::plain::Split("http://[::1]:81", t));
    EXPECT_EQ(t.key, "[::1]:81");
    EXPECT_EQ(t.path, "/");
    ASSERT_TRUE(net::plain::Split("http://h:80/", t));
    EXPECT_EQ(t.host, "h") << "the default port is not written, as the library does";
    for (const char* other : {"https://h/", "ftp://h/", "http://user:pw@h/", "http://h:0/", "http://h:65536/",
                              "http://h:8x/", "http:///p", "http://[::1/", "http://[::1]x/"})
        EXPECT_FALSE(net::plain::Split(other, t)) << other;
}

// Feeds Input in pieces of Step bytes; answers the body and how many bytes were taken.
std::string Decode(BodyDecoder& d, const std::string& input, size_t step, size_t& taken) {
    std::string out;
    taken = 0;
    while (taken < input.size() && !d.Done() && !d.Bad()) {
        const size_t n = std::min(step, input.size() - taken);
        const size_t used = d.Feed(input.data() + taken, n, out);
        taken += used;
        if (used < n) break;
    }
    return out;
}

TEST(PlainHttp, ChunkedBodiesInAnyPiecesWithExtensionsAndTrailers) {
    const std::string body =
        "4;name=v\r\nWiki\r\n5\r\npedia\r\nE \r\n in\r\n\r\nchunks.\r\n0\r\nX-Trail: 1\r\n\r\n";
    const std::string next = "HTTP/1.1 200 OK\r\n";
    for (size_t step = 1; step <= body.size(); ++step) {
        BodyDecoder d;
        d.Start(BodyDecoder::Kind::Chunked);
        size_t taken = 0;
        EXPECT_EQ(Decode(d, body + next, step, taken), "Wikipedia in\r\n\r\nchunks.") << step;
        EXPECT_TRUE(d.Done()) << step;
        EXPECT_EQ(taken, body.size()) << "the next answer's bytes are left: " << step;
    }
    // Bare line feeds are taken as line ends too.
    BodyDecoder lf;
    lf.Start(BodyDecoder::Kind::Chunked);
    size_t taken = 0;
    EXPECT_EQ(Decode(lf, "3\nabc\n0\n\n", 100, taken), "abc");
    EXPECT_TRUE(lf.Done());
}

TEST(PlainHttp, BrokenChunksAndFramesByLengthOrClose) {
    for (const std::string& bad : std::vector<std::string>{
             "x\r\n", "\r\n", "3\r\nabcX\r\n", "1fffffffffffffffff\r\n", std::string(9000, '1')}) {
        BodyDecoder d;
        d.Start(BodyDecoder::Kind::Chunked);
        size_t taken = 0;
        Decode(d, bad, 7, taken);
        EXPECT_TRUE(d.Bad()) << bad.substr(0, 20);
    }
    BodyDecoder unfinished;
    unfinished.Start(BodyDecoder::Kind::Chunked);
    size_t taken = 0;
    EXPECT_EQ(Decode(unfinished, "5\r\nhel", 2, taken), "hel");
    EXPECT_FALSE(unfinished.Done() || unfinished.Bad()) << "a body cut short is neither whole nor broken yet";

    BodyDecoder length;
    length.Start(BodyDecoder::Kind::Length, 5);
    EXPECT_EQ(Decode(length, "hello, next", 3, taken), "hello");
    EXPECT_EQ(taken, 5u);
    EXPECT_TRUE(length.Done());
    BodyDecoder empty;
    empty.Start(BodyDecoder::Kind::Length, 0);
    EXPECT_TRUE(empty.Done());
    BodyDecoder none;
    none.Start(BodyDecoder::Kind::None);
    EXPECT_TRUE(none.Done());

    BodyDecoder close;
    close.Start(BodyDecoder::Kind::UntilClose);
    EXPECT_EQ(Decode(close, "all of it", 4, taken), "all of it");
    EXPECT_FALSE(close.Done()) << "only the connection's end ends it";
}

} // namespace
