#include "platform/net/wininet.h"
#include "tests/support/peer_process.h"
#include "tests/support/wait.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

class HttpPeerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        peer_ = std::make_unique<PeerProcess>(
            std::vector<std::string>{"python3", std::string(PW_TEST_DATA_DIR) + "/http_peer.py"});
        ASSERT_TRUE(peer_->Running()) << "the test HTTP server did not start";
    }
    static void TearDownTestSuite() { peer_.reset(); }

    void SetUp() override {
        root_ = InternetOpen("TestAgent/1.0", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
        InternetSetStatusCallback(root_, [this](DWORD code, const std::string& info) {
            statuses_.push_back(code);
            if (code == INTERNET_STATUS_REDIRECT) redirects_.push_back(info);
        });
        conn_ = InternetConnect(root_, "127.0.0.1", static_cast<WORD>(peer_->Port()), "", "",
                                INTERNET_SERVICE_HTTP, 0);
        ASSERT_NE(conn_, nullptr);
    }
    void TearDown() override {
        InternetCloseHandle(conn_);
        InternetCloseHandle(root_);
    }

    HINTERNET open(const std::string& path, DWORD flags = INTERNET_FLAG_KEEP_CONNECTION,
                   const std::string& verb = "GET") {
        return HttpOpenRequest(conn_, verb, path, "", {"text/html, */*"}, flags);
    }
    static std::string query(HINTERNET r, DWORD level) {
        std::string v;
        return HttpQueryInfo(r, level, v) ? v : "<none>";
    }
    // Reads the whole body; false when the body could not be completed.
    static bool readAll(HINTERNET r, std::string& body, DWORD& error) {
        char buf[4096];
        for (;;) {
            DWORD n = 0;
            if (!InternetReadFile(r, buf, sizeof buf, n)) {
                error = InternetGetLastError();
                return false;
            }
            if (n == 0) return true;
            body.append(buf, n);
        }
    }

    // The blocks of an endless answer the peer wrote before the client went, once the peer has seen it go;
    // -1 when it has not.
    int blocksSent(const std::string& pathAndQuery) {
        std::string said;
        testsupport::WaitUntil(
            [&] {
                HINTERNET r = open("/sent?of=" + pathAndQuery);
                DWORD error = 0;
                said.clear();
                const bool whole = HttpSendRequest(r, "", "") && readAll(r, said, error);
                InternetCloseHandle(r);
                return whole && said.ends_with(" 1");
            },
            testsupport::kWaitLimit, std::chrono::milliseconds(10));
        return said.ends_with(" 1") ? std::stoi(said) : -1;
    }

    static std::unique_ptr<PeerProcess> peer_;
    HINTERNET root_ = nullptr;
    HINTERNET conn_ = nullptr;
    std::vector<DWORD> statuses_;
    std::vector<std::string> redirects_;
};
std::unique_ptr<PeerProcess> HttpPeerTest::peer_;

TEST_F(HttpPeerTest, CompleteBodiesAndTheirHeaders) {
    for (int n :
         {0, 1000, 700000}) { // 700000 crosses the read-ahead limit, so the transfer pauses and resumes
        HINTERNET r = open("/ok?n=" + std::to_string(n));
        ASSERT_TRUE(HttpSendRequest(r, "", ""));
        EXPECT_EQ(query(r, HTTP_QUERY_STATUS_CODE), "200");
        EXPECT_EQ(query(r, HTTP_QUERY_CONTENT_LENGTH), std::to_string(n));
        EXPECT_EQ(query(r, HTTP_QUERY_LAST_MODIFIED), "Tue, 05 Mar 2024 10:20:30 GMT");
        EXPECT_EQ(query(r, HTTP_QUERY_ETAG), "\"abc\"");
        EXPECT_EQ(query(r, HTTP_QUERY_CONTENT_LANGUAGE), "<none>");
        EXPECT_EQ(InternetGetLastError(), ERROR_HTTP_HEADER_NOT_FOUND);
        const std::string raw = query(r, HTTP_QUERY_RAW_HEADERS_CRLF);
        EXPECT_EQ(raw.rfind("HTTP/1.", 0), 0u);
        EXPECT_EQ(raw.substr(raw.size() - 4), "\r\n\r\n");
        std::string body;
        DWORD error = 0;
        ASSERT_TRUE(readAll(r, body, error)) << error;
        ASSERT_EQ(body.size(), static_cast<size_t>(n));
        for (int i = 0; i < n; i += 997)
            ASSERT_EQ(static_cast<unsigned char>(body[i]), (i * 7) % 251);
        InternetCloseHandle(r);
    }

    HINTERNET chunked = open("/chunked");
    ASSERT_TRUE(HttpSendRequest(chunked, "", ""));
    EXPECT_EQ(query(chunked, HTTP_QUERY_CONTENT_LENGTH), "<none>");
    std::string body;
    DWORD error = 0;
    EXPECT_TRUE(readAll(chunked, body, error));
    EXPECT_EQ(body, "<html>hello</html>");
    InternetCloseHandle(chunked);
}

TEST_F(HttpPeerTest, AWaitHoldsABodyWithinItsRoomWhichIsTakenWholeAfterWhatWasRead) {
    // The read-ahead unless the wait is given more room: a body larger than the room stops the wait at once.
    for (const int n : {1000, 700000}) {
        HINTERNET r = open("/ok?n=" + std::to_string(n));
        ASSERT_TRUE(HttpSendRequest(r, "", ""));
        char first[10];
        DWORD got = 0;
        ASSERT_TRUE(InternetReadFile(r, first, sizeof first, got));
        ASSERT_EQ(got, sizeof first);
        EXPECT_EQ(InternetWaitForBody(r, 10000), n < 256 * 1024) << n;
        ASSERT_TRUE(InternetWaitForBody(r, 10000, 1 << 20)) << n;
        statuses_.clear();
        std::string body;
        InternetTakeBody(r, body);
        ASSERT_EQ(body.size(), static_cast<size_t>(n) - sizeof first);
        for (size_t i = 0; i < body.size(); i += 997)
            ASSERT_EQ(static_cast<unsigned char>(body[i]), (i + sizeof first) * 7 % 251);
        // Nothing is left but the end, said once.
        std::string rest;
        DWORD error = 0;
        EXPECT_TRUE(readAll(r, rest, error));
        EXPECT_EQ(rest, "");
        EXPECT_EQ(std::count(statuses_.begin(), statuses_.end(), INTERNET_STATUS_REQUEST_COMPLETE), 1);
        InternetCloseHandle(r);
    }
}

TEST_F(HttpPeerTest, RequestCarriesAgentRefererHeadersAndForm) {
    HINTERNET r = HttpOpenRequest(conn_, "GET", "/echo-request", "http://ref.example/", {"text/html, */*"},
                                  INTERNET_FLAG_PRAGMA_NOCACHE);
    ASSERT_TRUE(HttpAddRequestHeaders(r, "X-One: 1\r\nRANGE: bytes=5-\r\n", HTTP_ADDREQ_FLAG_ADD));
    ASSERT_TRUE(HttpAddRequestHeaders(r, "Range: bytes=0-\r\n", HTTP_ADDREQ_FLAG_REPLACE));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    std::string body;
    DWORD error = 0;
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_NE(body.find("User-Agent: TestAgent/1.0"), std::string::npos);
    EXPECT_NE(body.find("Referer: http://ref.example/"), std::string::npos);
    EXPECT_NE(body.find("Accept: text/html, */*"), std::string::npos);
    EXPECT_NE(body.find("Pragma: no-cache"), std::string::npos);
    EXPECT_NE(body.find("X-One: 1"), std::string::npos);
    EXPECT_NE(body.find("Range: bytes=0-"), std::string::npos);
    EXPECT_EQ(body.find("bytes=5-"), std::string::npos);
    InternetCloseHandle(r);

    // An empty agent still identifies the program.
    HINTERNET anon = InternetOpen("", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    HINTERNET c = InternetConnect(anon, "127.0.0.1", static_cast<WORD>(peer_->Port()), "", "",
                                  INTERNET_SERVICE_HTTP, 0);
    HINTERNET r2 = HttpOpenRequest(c, "GET", "/echo-request", "", {}, 0);
    ASSERT_TRUE(HttpSendRequest(r2, "", ""));
    body.clear();
    ASSERT_TRUE(readAll(r2, body, error));
    EXPECT_NE(body.find("User-Agent: Pathweaver/"), std::string::npos);
    InternetCloseHandle(r2);
    InternetCloseHandle(c);
    InternetCloseHandle(anon);

    HINTERNET post = open("/form", 0, "POST");
    ASSERT_TRUE(HttpSendRequest(post, "Content-Type: application/x-www-form-urlencoded", "a=1&b=%20"));
    body.clear();
    ASSERT_TRUE(readAll(post, body, error));
    EXPECT_EQ(body, "application/x-www-form-urlencoded\na=1&b=%20");
    InternetCloseHandle(post);
}

TEST_F(HttpPeerTest, ErrorStatusesAreResponsesWithBodies) {
    HINTERNET r = open("/status?code=404");
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    EXPECT_EQ(query(r, HTTP_QUERY_STATUS_CODE), "404");
    std::string body;
    DWORD error = 0;
    EXPECT_TRUE(readAll(r, body, error));
    EXPECT_EQ(body, "status body");
    InternetCloseHandle(r);

    HINTERNET denied = open("/auth");
    ASSERT_TRUE(HttpSendRequest(denied, "", ""));
    EXPECT_EQ(query(denied, HTTP_QUERY_STATUS_CODE), "401");
    EXPECT_EQ(query(denied, HTTP_QUERY_WWW_AUTHENTICATE), "Basic realm=\"Members only\"");
    // Credentials given afterwards are used when the same request is sent again.
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_USERNAME, std::string("user")));
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_PASSWORD, std::string("secret")));
    ASSERT_TRUE(HttpSendRequest(denied, "", ""));
    EXPECT_EQ(query(denied, HTTP_QUERY_STATUS_CODE), "200");
    body.clear();
    EXPECT_TRUE(readAll(denied, body, error));
    EXPECT_EQ(body, "welcome");
    // The handle keeps what it was given; cleared credentials, or a request that refuses to log in, are
    // not sent all the same.
    ASSERT_TRUE(HttpReopenRequest(denied, "GET", "/auth", "", {}, INTERNET_FLAG_NO_AUTH));
    ASSERT_TRUE(HttpSendRequest(denied, "", ""));
    EXPECT_EQ(query(denied, HTTP_QUERY_STATUS_CODE), "401");
    ASSERT_TRUE(HttpReopenRequest(denied, "GET", "/auth", "", {}, 0));
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_USERNAME, std::string("user")));
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_PASSWORD, std::string("secret")));
    ASSERT_TRUE(HttpSendRequest(denied, "", ""));
    EXPECT_EQ(query(denied, HTTP_QUERY_STATUS_CODE), "200");
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_USERNAME, std::string()));
    ASSERT_TRUE(InternetSetOption(denied, INTERNET_OPTION_PASSWORD, std::string()));
    ASSERT_TRUE(HttpSendRequest(denied, "", ""));
    EXPECT_EQ(query(denied, HTTP_QUERY_STATUS_CODE), "401");
    InternetCloseHandle(denied);
}

TEST_F(HttpPeerTest, BrokenTransfersNeverEndAsComplete) {
    struct Case {
        std::string path;
        DWORD error;
    };
    for (const Case& c : {Case{"/short", ERROR_INTERNET_CONNECTION_ABORTED},
                          Case{"/close-delimited-reset", ERROR_INTERNET_CONNECTION_ABORTED},
                          Case{"/endless", ERROR_INTERNET_BODY_TOO_LARGE}}) {
        HINTERNET r = open(c.path);
        ASSERT_TRUE(HttpSendRequest(r, "", "")) << c.path;
        EXPECT_EQ(query(r, HTTP_QUERY_STATUS_CODE), "200");
        std::string body;
        DWORD error = 0;
        EXPECT_FALSE(readAll(r, body, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        InternetCloseHandle(r);
    }

    // Nothing usable before the headers (a status of four digits is none): the send itself fails.
    for (const std::string& path :
         {std::string("/garbage"), std::string("/nothing"), std::string("/status?code=2000")}) {
        HINTERNET r = open(path);
        EXPECT_FALSE(HttpSendRequest(r, "", "")) << path;
        EXPECT_NE(InternetGetLastError(), 0u);
        EXPECT_FALSE(HttpQueryInfo(r, HTTP_QUERY_STATUS_CODE, *std::make_unique<std::string>()));
        InternetCloseHandle(r);
    }

    // A header too large to take is said as such, not as a server that could not be reached.
    for (const std::string& path : {std::string("/huge-header"), std::string("/many-headers")}) {
        HINTERNET r = open(path);
        EXPECT_FALSE(HttpSendRequest(r, "", "")) << path;
        EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_HEADER_TOO_LARGE) << path;
        InternetCloseHandle(r);
    }
}

// Header blocks without end, or framing that contradicts itself: the page fails soon, within the header
// limit, and is never taken as whole. Soon: the peer has written far less than it offers when the client
// goes (what the connection's buffers hold besides the header limit), not all of it.
TEST_F(HttpPeerTest, AnswersThatNeverEndTheirHeadersOrContradictThemselvesFail) {
    // 500 interim answers of 200 KB before the final one.
    HINTERNET interim = open("/endless-interim?n=500");
    EXPECT_FALSE(HttpSendRequest(interim, "", ""));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_HEADER_TOO_LARGE);
    InternetCloseHandle(interim);
    const int interimSent = blocksSent("/endless-interim?n=500");
    EXPECT_GE(interimSent, 1);
    EXPECT_LT(interimSent, 250);

    // 100 MB of trailer lines after a body of five bytes.
    HINTERNET trailers = open("/endless-trailers?n=100");
    ASSERT_TRUE(HttpSendRequest(trailers, "", ""));
    std::string body;
    DWORD error = 0;
    EXPECT_FALSE(readAll(trailers, body, error));
    EXPECT_EQ(error, ERROR_INTERNET_HEADER_TOO_LARGE);
    InternetCloseHandle(trailers);
    const int trailerMegabytes = blocksSent("/endless-trailers?n=100");
    EXPECT_GE(trailerMegabytes, 0) << "the peer saw the client go";
    EXPECT_LT(trailerMegabytes, 50);

    // Trailers within the limit are no fault.
    HINTERNET fewTrailers = open("/endless-trailers?n=0");
    ASSERT_TRUE(HttpSendRequest(fewTrailers, "", ""));
    body.clear();
    EXPECT_TRUE(readAll(fewTrailers, body, error)) << error;
    EXPECT_EQ(body, "hello");
    InternetCloseHandle(fewTrailers);

    HINTERNET lengths = open("/two-lengths");
    EXPECT_FALSE(HttpSendRequest(lengths, "", ""));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_BAD_RESPONSE);
    InternetCloseHandle(lengths);
}

// A kept connection the server ends (dropped, or timed out with a 408 as the next request comes or before
// it): the next request goes once more on a new connection, and its caller sees one request.
TEST_F(HttpPeerTest, ARequestOnAKeptConnectionTheServerEndedGoesAgainOnANewOne) {
    std::string body;
    DWORD error = 0;
    const auto get = [&](const std::string& path) {
        statuses_.clear();
        redirects_.clear();
        body.clear();
        HINTERNET r = open(path);
        const bool whole = HttpSendRequest(r, "", "") && readAll(r, body, error);
        const std::string status = query(r, HTTP_QUERY_STATUS_CODE);
        InternetCloseHandle(r);
        return whole ? status : "failed " + std::to_string(error);
    };
    const auto said = [&](DWORD status) { return std::count(statuses_.begin(), statuses_.end(), status); };
    const auto hits = [&](const std::string& path) {
        get("/hits?of=" + path);
        return body;
    };
    ASSERT_EQ(get("/ok-then-drop"), "200");
    EXPECT_EQ(get("/ok?n=20"), "200");
    EXPECT_EQ(body.size(), 20u);

    ASSERT_EQ(get("/then-408"), "200");
    EXPECT_EQ(get("/ok?n=30&after=408"), "200");
    EXPECT_EQ(body.size(), 30u);
    EXPECT_EQ(said(INTERNET_STATUS_SENDING_REQUEST), 1);
    EXPECT_EQ(said(INTERNET_STATUS_RECEIVING_RESPONSE), 1);
    EXPECT_EQ(said(INTERNET_STATUS_RESPONSE_RECEIVED), 1);
    EXPECT_EQ(hits("/ok%3Fn%3D30%26after%3D408"), "2");

    // The same after a redirect on that connection: the redirect is said once.
    ASSERT_EQ(get("/ok?n=1"), "200");
    EXPECT_EQ(get("/redirect-then-408?to=/ok%3Fn%3D7"), "200");
    EXPECT_EQ(body.size(), 7u);
    EXPECT_EQ(redirects_, std::vector<std::string>{peer_->Url("/ok?n=7")});
    EXPECT_EQ(said(INTERNET_STATUS_SENDING_REQUEST), 1);
    EXPECT_EQ(said(INTERNET_STATUS_RECEIVING_RESPONSE), 1);

    // A 408 sent on the idle connection before the next request.
    ASSERT_EQ(get("/idle-408?s=0.05"), "200");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(get("/ok?n=40"), "200");
    EXPECT_EQ(body.size(), 40u);

    // On a new connection a 408 is the answer; one on a kept connection is asked once more, and only once.
    ASSERT_EQ(get("/ok?n=1&close=1"), "200");
    EXPECT_EQ(get("/status?code=408&k=1"), "408");
    EXPECT_EQ(hits("/status%3Fcode%3D408%26k%3D1"), "1");
    EXPECT_EQ(get("/status?code=408&k=2"), "408");
    EXPECT_EQ(hits("/status%3Fcode%3D408%26k%3D2"), "2");
    EXPECT_EQ(get("/redirect-then-408?always=1&to=/ok%3Fn%3D8"), "408");
    EXPECT_EQ(hits("/ok%3Fn%3D8"), "2");
}

// The same rule for a form: one answered with a 408 on a kept connection is posted once more, on a new
// one; a 408 that answered the redirect after a form does not post the form again.
TEST_F(HttpPeerTest, AFormIsPostedAgainAfterA408OnlyWhenThe408AnsweredTheForm) {
    std::string body;
    DWORD error = 0;
    const auto send = [&](const std::string& verb, const std::string& path, const std::string& form) {
        body.clear();
        HINTERNET r = open(path, INTERNET_FLAG_KEEP_CONNECTION, verb);
        const std::string type = form.empty() ? "" : "Content-Type: application/x-www-form-urlencoded";
        const bool whole = HttpSendRequest(r, type, form) && readAll(r, body, error);
        const std::string status = query(r, HTTP_QUERY_STATUS_CODE);
        InternetCloseHandle(r);
        return whole ? status : "failed " + std::to_string(error);
    };
    const auto hits = [&](const std::string& path) {
        send("GET", "/hits?of=" + path, "");
        return body;
    };
    ASSERT_EQ(send("GET", "/then-408", ""), "200");
    EXPECT_EQ(send("POST", "/form?after=408", "a=1"), "200");
    EXPECT_EQ(body, "application/x-www-form-urlencoded\na=1");
    EXPECT_EQ(hits("/form%3Fafter%3D408"), "2");

    ASSERT_EQ(send("GET", "/ok?n=1", ""), "200");
    EXPECT_EQ(send("POST", "/redirect-then-408?to=/ok%3Fn%3D9", "a=2"), "408");
    EXPECT_EQ(hits("/redirect-then-408%3Fto%3D/ok%253Fn%253D9"), "1");
    EXPECT_EQ(hits("/ok%3Fn%3D9"), "1");
}

// An answer whose first header line continues no line, on a connection kept from an answer before: it
// fails as an unreadable answer, and the requests after it keep their connection as before.
TEST_F(HttpPeerTest, AFoldedFirstHeaderLineOnAKeptConnectionFailsAndRequestsGoOn) {
    const auto port = [&] {
        HINTERNET r = open("/peer-port");
        std::string body;
        DWORD error = 0;
        EXPECT_TRUE(HttpSendRequest(r, "", "") && readAll(r, body, error)) << error;
        InternetCloseHandle(r);
        return body;
    };
    const std::string kept = port();
    ASSERT_EQ(port(), kept);
    for (int i = 0; i < 2; ++i) {
        HINTERNET r = open("/folded");
        EXPECT_FALSE(HttpSendRequest(r, "", ""));
        EXPECT_NE(InternetGetLastError(), 0u);
        InternetCloseHandle(r);
    }
    const std::string after = port();
    EXPECT_FALSE(after.empty());
    EXPECT_EQ(port(), after);
}

TEST_F(HttpPeerTest, StalledPeersAndCancelEndPromptly) {
    using clock = std::chrono::steady_clock;
    HINTERNET r = open("/stall?s=20");
    InternetSetOption(r, INTERNET_OPTION_RECEIVE_TIMEOUT, 700u);
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    std::string body;
    DWORD error = 0;
    EXPECT_FALSE(readAll(r, body, error));
    EXPECT_EQ(error, ERROR_INTERNET_TIMEOUT);
    EXPECT_EQ(body.size(), 10u);
    InternetCloseHandle(r);

    HINTERNET late = open("/slow-headers?s=20");
    InternetSetOption(late, INTERNET_OPTION_RECEIVE_TIMEOUT, 700u);
    EXPECT_FALSE(HttpSendRequest(late, "", ""));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_TIMEOUT);
    InternetCloseHandle(late);

    std::atomic<bool> cancel{false};
    HINTERNET c = open("/stall?s=60");
    InternetSetCancelFlag(c, &cancel);
    ASSERT_TRUE(HttpSendRequest(c, "", ""));
    // The transfer is under way once its first bytes have come; the rest of it stalls.
    body.clear();
    while (body.size() < 10) {
        char buf[16];
        DWORD n = 0;
        ASSERT_TRUE(InternetReadFile(c, buf, sizeof buf, n));
        ASSERT_GT(n, 0u);
        body.append(buf, n);
    }
    std::thread canceller([&] { cancel = true; });
    const auto start = clock::now();
    EXPECT_FALSE(readAll(c, body, error));
    canceller.join();
    EXPECT_EQ(error, ERROR_INTERNET_OPERATION_CANCELLED);
    EXPECT_LT(clock::now() - start, std::chrono::seconds(30)); // long before the stall (a minute) would end
    InternetCloseHandle(c);
}

TEST_F(HttpPeerTest, DrippingPeersEndAsTimedOutAndFastEnoughOnesDoNot) {
    using clock = std::chrono::steady_clock;
    // With a 700 ms stall limit a transfer must move 11 bytes in each 700 ms (1 KiB a minute).
    struct Case {
        const char* path;
        DWORD totalMs;
        bool complete;
    };
    for (const Case& c : {Case{"/drip?n=100000&b=1&d=0.1", 0, false},              // 10 bytes a second
                          Case{"/drip?n=100000&b=1&d=0.1&part=headers", 0, false}, // headers never end
                          Case{"/drip?n=100000&b=50&d=0.1", 2000, false},          // fast enough, but endless
                          Case{"/drip?n=300&b=30&d=0.1", 0, true}}) {              // slow, but fast enough
        HINTERNET r = open(c.path);
        InternetSetOption(r, INTERNET_OPTION_RECEIVE_TIMEOUT, 700u);
        if (c.totalMs) InternetSetOption(r, INTERNET_OPTION_TOTAL_TIMEOUT, c.totalMs);
        const auto start = clock::now();
        std::string body;
        DWORD error = 0;
        const bool sent = HttpSendRequest(r, "", "");
        if (!sent) error = InternetGetLastError();
        const bool whole = sent && readAll(r, body, error);
        EXPECT_EQ(whole, c.complete) << c.path;
        EXPECT_EQ(c.complete ? body.size() : error, c.complete ? 300u : ERROR_INTERNET_TIMEOUT) << c.path;
        // Each would take minutes to hours to the end.
        EXPECT_LT(clock::now() - start, std::chrono::seconds(30)) << c.path;
        InternetCloseHandle(r);
    }
}

TEST_F(HttpPeerTest, RedirectsAreFollowedWithinLimits) {
    HINTERNET r = open("/redirect?n=3");
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    EXPECT_EQ(query(r, HTTP_QUERY_STATUS_CODE), "200");
    ASSERT_EQ(redirects_.size(), 3u);
    EXPECT_EQ(redirects_.back(), peer_->Url("/ok?n=5"));
    EXPECT_EQ(InternetEffectiveUrl(r), peer_->Url("/ok?n=5"));
    std::string body;
    DWORD error = 0;
    EXPECT_TRUE(readAll(r, body, error));
    EXPECT_EQ(body.size(), 5u);
    InternetCloseHandle(r);

    // A folder redirected to its slash form: the final address is what relative links resolve against.
    HINTERNET dir = open("/dir");
    ASSERT_TRUE(HttpSendRequest(dir, "", ""));
    EXPECT_EQ(InternetEffectiveUrl(dir), peer_->Url("/dir/"));
    InternetCloseHandle(dir);

    // A loop ends as the last redirect answer, and so does a redirect to a scheme we do not speak.
    for (const std::string& path : {std::string("/loop"), std::string("/to-ftp")}) {
        HINTERNET x = open(path);
        ASSERT_TRUE(HttpSendRequest(x, "", "")) << path;
        EXPECT_EQ(query(x, HTTP_QUERY_STATUS_CODE), "302") << path;
        InternetCloseHandle(x);
    }
    EXPECT_LE(redirects_.size(), 3u + kMaxRedirects + 1);

    HINTERNET manual = open("/redirect?n=2", INTERNET_FLAG_NO_AUTO_REDIRECT);
    ASSERT_TRUE(HttpSendRequest(manual, "", ""));
    EXPECT_EQ(query(manual, HTTP_QUERY_STATUS_CODE), "302");
    EXPECT_EQ(query(manual, HTTP_QUERY_LOCATION), "/redirect?n=1");
    InternetCloseHandle(manual);
}

TEST_F(HttpPeerTest, CookiesLastAcrossRequestsUnlessRefused) {
    HINTERNET set = open("/set-cookie");
    ASSERT_TRUE(HttpSendRequest(set, "", ""));
    InternetCloseHandle(set);
    std::string body;
    DWORD error = 0;
    HINTERNET get = open("/get-cookie");
    ASSERT_TRUE(HttpSendRequest(get, "", ""));
    ASSERT_TRUE(readAll(get, body, error));
    EXPECT_EQ(body, "session=42");
    InternetCloseHandle(get);
    body.clear();
    HINTERNET refused = open("/get-cookie", INTERNET_FLAG_NO_COOKIES);
    ASSERT_TRUE(HttpSendRequest(refused, "", ""));
    ASSERT_TRUE(readAll(refused, body, error));
    EXPECT_EQ(body, "none");
    InternetCloseHandle(refused);
}

TEST_F(HttpPeerTest, AReopenedRequestIsANewRequestOnTheSameHandle) {
    HINTERNET r = HttpOpenRequest(conn_, "GET", "/echo-request", "http://ref.example/", {"text/html, */*"},
                                  INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES);
    ASSERT_TRUE(HttpAddRequestHeaders(r, "X-One: 1\r\n", HTTP_ADDREQ_FLAG_ADD));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    std::string body;
    DWORD error = 0;
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_NE(body.find("X-One: 1"), std::string::npos);
    EXPECT_EQ(body.find("Cookie"), std::string::npos);

    // Aimed elsewhere: its own verb, referer and flags; the headers, options and body of before are gone.
    std::vector<std::string> seen;
    InternetSetStatusCallback(r, [&seen](DWORD code, const std::string&) {
        if (code == INTERNET_STATUS_SENDING_REQUEST) seen.push_back("sending");
    });
    ASSERT_TRUE(HttpReopenRequest(r, "GET", "/echo-request?again", "", {"text/plain"}, 0));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    body.clear();
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_NE(body.find("/echo-request?again"), std::string::npos);
    EXPECT_NE(body.find("Accept: text/plain"), std::string::npos);
    for (const char* gone : {"X-One", "Referer", "Pragma"})
        EXPECT_EQ(body.find(gone), std::string::npos) << gone;
    EXPECT_EQ(seen, std::vector<std::string>{"sending"});

    // The cookies every request shares come back once the flag that refused them is gone; a POST and a GET
    // after it on one handle.
    HINTERNET set = open("/set-cookie");
    ASSERT_TRUE(HttpSendRequest(set, "", ""));
    InternetCloseHandle(set);
    ASSERT_TRUE(HttpReopenRequest(r, "GET", "/get-cookie", "", {}, 0));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    body.clear();
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_EQ(body, "session=42");
    ASSERT_TRUE(HttpReopenRequest(r, "POST", "/form", "", {}, 0));
    ASSERT_TRUE(HttpSendRequest(r, "Content-Type: application/x-www-form-urlencoded", "a=1"));
    body.clear();
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_EQ(body, "application/x-www-form-urlencoded\na=1");
    ASSERT_TRUE(HttpReopenRequest(r, "GET", "/ok?n=5", "", {}, 0));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    EXPECT_EQ(query(r, HTTP_QUERY_STATUS_CODE), "200");

    // An address too long is refused and leaves a handle that can still be aimed; a stale one fails.
    EXPECT_FALSE(HttpReopenRequest(r, "GET", "/" + std::string(kMaxUrlLength, 'a'), "", {}, 0));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_URL_TOO_LONG);
    ASSERT_TRUE(HttpReopenRequest(r, "GET", "/ok?n=5", "", {}, 0));
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    InternetCloseHandle(r);
    EXPECT_FALSE(HttpReopenRequest(r, "GET", "/ok", "", {}, 0));
    EXPECT_FALSE(HttpReopenRequest(conn_, "GET", "/ok", "", {}, 0)); // a connection is no request
}

TEST_F(HttpPeerTest, AddressesAreSentAsWrittenAndBounded) {
    EXPECT_EQ(InternetEscapeUrl("/a b/\xC3\xA9?q=%20&r=100%"), "/a%20b/%C3%A9?q=%20&r=100%25");
    EXPECT_EQ(InternetEscapeUrl("/x%2Fy%3F"), "/x%2Fy%3F"); // escapes are never decoded
    HINTERNET r = open("/echo-request?a=%2F b#frag");
    ASSERT_TRUE(HttpSendRequest(r, "", ""));
    std::string body;
    DWORD error = 0;
    ASSERT_TRUE(readAll(r, body, error));
    EXPECT_EQ(body.rfind("GET /echo-request?a=%2F%20b HTTP/1.1", 0), 0u);
    InternetCloseHandle(r);

    EXPECT_EQ(open("/" + std::string(kMaxUrlLength, 'a')), nullptr);
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_URL_TOO_LONG);
}

TEST(WinInet, UnreachableHostsAndStaleHandlesFailCleanly) {
    HINTERNET root = InternetOpen("t", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    // Port 1 on loopback: nothing listens there.
    HINTERNET conn = InternetConnect(root, "127.0.0.1", 1, "", "", INTERNET_SERVICE_HTTP, 0);
    HINTERNET r = HttpOpenRequest(conn, "GET", "/", "", {}, 0);
    EXPECT_FALSE(HttpSendRequest(r, "", ""));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_TRUE(InternetCloseHandle(r));
    EXPECT_FALSE(InternetCloseHandle(r));
    std::string v;
    EXPECT_FALSE(HttpQueryInfo(r, HTTP_QUERY_STATUS_CODE, v));
    EXPECT_EQ(InternetGetLastError(), ERROR_INVALID_HANDLE_);
    EXPECT_EQ(HttpOpenRequest(root, "GET", "/", "", {}, 0), nullptr); // a root is no connection
    InternetCloseHandle(conn);
    InternetCloseHandle(root);
}

TEST(WinInet, AConnectionNeverTakenEndsAtTheConnectLimit) {
    // A listener that never accepts, its queue filled: further connections are never answered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    HINTERNET root = InternetOpen("t", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    HINTERNET conn =
        InternetConnect(root, "127.0.0.1", ntohs(addr.sin_port), "", "", INTERNET_SERVICE_HTTP, 0);
    HINTERNET r = HttpOpenRequest(conn, "GET", "/", "", {}, 0);
    InternetSetOption(r, INTERNET_OPTION_CONNECT_TIMEOUT, 300u);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpSendRequest(r, "", ""));
    EXPECT_EQ(InternetGetLastError(), ERROR_INTERNET_TIMEOUT);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(250));
    EXPECT_LT(took, std::chrono::milliseconds(kDefaultConnectTimeoutMs / 2)) << "ended by the default limit";
    InternetCloseHandle(r);
    InternetCloseHandle(conn);
    InternetCloseHandle(root);
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

} // namespace
