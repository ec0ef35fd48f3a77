#include "fetch/http/win_http.h"
#include "http_test_support.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/net/wininet.h"

#include "platform/rtl/date_time.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/thread.h"
#include "tests/support/wait.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <unistd.h>

using namespace http_test;

namespace {

using Names = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

std::string okBody(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>((i * 7) % 251);
    return s;
}

std::string rangeBody() {
    std::string s;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 256; ++i)
            s += static_cast<char>(i);
    return s;
}

class WinHttpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FaultServer().Running()) << "the test HTTP server did not start"; }
    void TearDown() override { EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs)); }

    // Fetches url with a fresh recorder and answers the events' names (progress left out).
    Names fetch(const std::string& url) {
        rec_ = std::make_unique<Recorder>(http_);
        EXPECT_TRUE(Fetch(http_, url)) << url;
        EXPECT_TRUE(rec_->GuiEventsOnMainThread());
        EXPECT_LE(rec_->Terminal().size(), 1u) << url;
        return rec_->Names();
    }
    // Reads from an offset of the current address or output file and waits for the end.
    Names fetchFrom(int64_t offset) {
        rec_ = std::make_unique<Recorder>(http_);
        EXPECT_TRUE(http_.ReadRange(offset, 0));
        EXPECT_TRUE(PumpUntil([&] { return !http_.Busy(); }, kPatienceMs));
        return rec_->Names();
    }

    TWinHTTP http_{nullptr};
    std::unique_ptr<Recorder> rec_;
};

} // namespace

TEST_F(WinHttpTest, CompleteTransferReportsHeadersProgressAndBody) {
    std::mutex statusLock;
    std::vector<int> statuses;
    std::vector<std::thread::id> statusThreads;
    http_.OnStatus = [&](TObject*, int code, const std::string& text) {
        std::lock_guard guard(statusLock);
        statuses.push_back(code);
        statusThreads.push_back(std::this_thread::get_id());
        EXPECT_NE(text, "");
    };
    http_.TransferBufferSize = 1000;
    EXPECT_EQ(fetch(FaultUrl("/ok?n=5000")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, okBody(5000));
    EXPECT_EQ(rec_->Find("HeaderInfo")->code, 200);
    EXPECT_EQ(rec_->Find("HeaderInfo")->size, 5000);
    EXPECT_EQ(rec_->Find("Done")->size, 5000);
    EXPECT_EQ(rec_->Find("Done")->text, "text/html");
    int progress = 0;
    int lastPercent = -1;
    for (const Event& e : rec_->events)
        if (e.name == "Progress") {
            ++progress;
            EXPECT_GE(e.code, lastPercent);
            lastPercent = e.code;
        }
    EXPECT_GE(progress, 5);
    EXPECT_EQ(lastPercent, 100);
    {
        std::lock_guard guard(statusLock);
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), 30), statuses.end());
        for (std::thread::id id : statusThreads)
            EXPECT_NE(id, MainThreadID()); // status reports come straight from the worker
    }
    EXPECT_FALSE(http_.Busy());

    // The body has no length (chunked): completion is judged by a clean end.
    EXPECT_EQ(fetch(FaultUrl("/chunked")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, "<html>hello</html>");
}

TEST_F(WinHttpTest, EveryFailureEndsInExactlyOneErrorEventAndSaysWhy) {
    const Names status{"HeaderInfo", "AnyError", "HTTPError"}, lost{"HeaderInfo", "AnyError", "ConnLost"},
        unreachable{"AnyError", "HostUnreachable"}, unusable{"AnyError", "AnyError", "HostUnreachable"};
    struct Case {
        std::string url;
        Names names;
        uint32_t error; // LastError: why, where a network call failed
    };
    const ClosedPort closed;
    for (const Case& c :
         std::vector<Case>{{FaultUrl("/status?code=503"), status, 0},
                           // Broken bodies after a good status are lost connections, never successes; an
                           // endless body stops at the memory cap.
                           {FaultUrl("/close-delimited-reset"), lost, ERROR_INTERNET_CONNECTION_ABORTED},
                           {FaultUrl("/endless"), lost, ERROR_INTERNET_BODY_TOO_LARGE},
                           // No usable response at all.
                           {FaultUrl("/nothing"), unreachable, ERROR_INTERNET_CONNECTION_RESET},
                           {closed.Url(), unreachable, ERROR_INTERNET_CANNOT_CONNECT},
                           // An address that cannot be used: the worker's exception, then the usual end.
                           {"http://127.0.0.1:99999/", unusable, 0},
                           {FaultUrl("/ok?pad=" + std::string(9000, 'a')), unusable, 0}}) {
        EXPECT_EQ(fetch(c.url), c.names) << c.url.substr(0, 60);
        EXPECT_EQ(http_.LastError(), c.error) << c.url.substr(0, 60);
    }
    EXPECT_EQ(fetch(FaultUrl("/status?code=404")), status);
    EXPECT_EQ(rec_->Find("HTTPError")->code, 404);
    EXPECT_EQ(rec_->body, "status body");
    EXPECT_EQ(fetch(FaultUrl("/short")), lost);
    EXPECT_EQ(rec_->Find("ConnLost")->size, 10);
    // Stalled, dripped below the least rate, or dripped fast enough but for too long: timed out.
    http_.Timeouts()->ReceiveTimeout = 1000;
    http_.Timeouts()->TotalTimeout = 3000;
    for (const char* path : {"/stall?s=8", "/drip?n=100000&b=1&d=0.2", "/drip?n=100000&b=100&d=0.1"}) {
        EXPECT_EQ(fetch(FaultUrl(path)), lost) << path;
        EXPECT_EQ(http_.LastError(), ERROR_INTERNET_TIMEOUT) << path;
    }
}

TEST_F(WinHttpTest, TheSmallerOfTheReceiveAndSendTimeOutsBoundsAStall) {
    // The peer sends 10 of 100 bytes and closes 4 s later: a one-minute limit would see the close
    // (a lost connection), the 700 ms one must end the transfer as timed out first, in either order.
    const Names lost{"HeaderInfo", "AnyError", "ConnLost"};
    for (auto [receive, send] : {std::pair<uint32_t, uint32_t>{60000, 700}, {700, 60000}}) {
        http_.Timeouts()->ReceiveTimeout = receive;
        http_.Timeouts()->SendTimeout = send;
        EXPECT_EQ(fetch(FaultUrl("/stall?s=4")), lost) << receive << " " << send;
        EXPECT_EQ(http_.LastError(), ERROR_INTERNET_TIMEOUT) << receive << " " << send;
    }
}

TEST_F(WinHttpTest, RedirectsAreFollowedWithinLimitsAndReported) {
    EXPECT_EQ(fetch(FaultUrl("/redirect?n=3")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, okBody(5));
    ASSERT_EQ(rec_->redirects.size(), 3u);
    EXPECT_EQ(rec_->redirects.back(), FaultUrl("/ok?n=5"));
    EXPECT_EQ(fetch(FaultUrl("/dir")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->redirects, (std::vector<std::string>{FaultUrl("/dir/")}));
    // A loop ends at the redirect limit as an HTTP error; another scheme is not followed.
    EXPECT_EQ(fetch(FaultUrl("/loop")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    EXPECT_EQ(rec_->Find("HTTPError")->code, 302);
    EXPECT_EQ(rec_->redirects.size(), 20u);
    EXPECT_EQ(fetch(FaultUrl("/to-ftp")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    http_.InternetOptions |= OptionBit(ioNoAutoRedirect);
    EXPECT_EQ(fetch(FaultUrl("/redirect?n=1")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    EXPECT_TRUE(rec_->redirects.empty());
}

TEST_F(WinHttpTest, PasswordRequestsRetryWithTheGivenCredentialsAndStop) {
    std::vector<std::string> realms;
    std::string password = "secret";
    http_.OnPasswordRequest = [&](TObject*, const std::string& realm, bool& tryAgain) {
        EXPECT_TRUE(IsMainThread());
        realms.push_back(realm);
        http_.SetUsername("user");
        http_.SetPassword(password);
        tryAgain = true;
    };
    EXPECT_EQ(fetch(FaultUrl("/auth")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, "welcome");
    EXPECT_EQ(realms, (std::vector<std::string>{"Members only"}));

    // Wrong credentials forever: the retries are bounded and the 401 is reported.
    realms.clear();
    http_.SetUsername("");
    http_.SetPassword("");
    password = "wrong";
    EXPECT_EQ(fetch(FaultUrl("/auth")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    EXPECT_EQ(rec_->Find("HTTPError")->code, 401);
    EXPECT_EQ(realms.size(), 3u);

    // A handler that declines; odd challenges give an empty or clipped realm, never a crash.
    http_.OnPasswordRequest = [&](TObject*, const std::string& realm, bool&) { realms.push_back(realm); };
    for (const char* challenge : {"Basic%20realm%3D%22", "Basic", "Digest%20a%3D%22x%22"}) {
        realms.clear();
        EXPECT_EQ(fetch(FaultUrl(std::string("/odd-auth?v=") + challenge)),
                  (Names{"HeaderInfo", "AnyError", "HTTPError"}));
        ASSERT_EQ(realms.size(), 1u);
    }
    EXPECT_EQ(realms[0], "x");
}

TEST_F(WinHttpTest, HeaderHandlerCanStopTheDownload) {
    rec_ = std::make_unique<Recorder>(http_);
    const auto recorded = http_.OnHeaderInfo;
    http_.OnHeaderInfo = [&](TObject* s, int code, const std::string& raw, const std::string& type,
                             const std::string& lang, const std::string& enc, int64_t length,
                             const std::string& loc, TDateTime d, TDateTime m, TDateTime e,
                             const std::string& tag, bool& carryOn) {
        recorded(s, code, raw, type, lang, enc, length, loc, d, m, e, tag, carryOn);
        carryOn = false;
    };
    ASSERT_TRUE(Fetch(http_, FaultUrl("/ok?n=100000")));
    EXPECT_EQ(rec_->Names(), (Names{"HeaderInfo", "DoneInterrupted"}));
}

TEST_F(WinHttpTest, StopFromAProgressHandlerEndsTheTransferThere) {
    // A small body comes with its headers, and its events are raised together at the end; a stop from
    // one of them still ends the transfer at that event, soft or hard.
    http_.TransferBufferSize = 1000;
    for (const bool hard : {false, true}) {
        rec_ = std::make_unique<Recorder>(http_);
        const auto recorded = http_.OnProgress;
        int seen = 0;
        http_.OnProgress = [&](TObject* s, const std::string& type, int64_t size, int64_t read, int elapsed,
                               int left, uint8_t percent, float rate, TStream* stream) {
            recorded(s, type, size, read, elapsed, left, percent, rate, stream);
            if (++seen == 2) http_.Abort(false, hard);
        };
        http_.URL = FaultUrl("/ok?n=5000");
        ASSERT_TRUE(http_.Read());
        ASSERT_TRUE(PumpUntil([&] { return !http_.Busy(); }, kPatienceMs));
        EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(rec_->Names(), (Names{"HeaderInfo", "Aborted"})) << hard;
        EXPECT_EQ(seen, 2) << hard;
    }
    EXPECT_EQ(fetch(FaultUrl("/ok?n=5000")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, okBody(5000));
}

TEST_F(WinHttpTest, TransfersTheWorkerGoesOnToAreHeardInTheirOrder) {
    // The middle body trickles, so its headers and blocks are heard while it comes: after the end of
    // the transfer before it all the same. A hard stop from a handler ends the whole run there.
    const std::vector<std::string> urls{FaultUrl("/status?code=404"), FaultUrl("/slow-body?n=3&d=0.05"),
                                        FaultUrl("/ok?n=10"), FaultUrl("/ok?n=20")};
    for (const bool stop : {false, true}) {
        rec_ = std::make_unique<Recorder>(http_);
        std::atomic<size_t> next{1};
        http_.OnChain = [&](int, const std::string& URL, const std::string&) {
            EXPECT_EQ(URL, urls[next - 1]);
            return next < urls.size() ? urls[next++] : std::string();
        };
        http_.OnChained = [&](TObject*, const std::string& URL) {
            rec_->events.push_back({"Chained " + URL.substr(URL.find('/', 7)), {}, 0, 0, {}});
            if (stop && URL == urls[2]) http_.Abort(false, true);
        };
        http_.URL = urls[0];
        ASSERT_TRUE(http_.Read());
        ASSERT_TRUE(PumpUntil([&] { return !http_.Busy(); }, kPatienceMs));
        EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
        Names expected{"HeaderInfo", "AnyError", "HTTPError",       "Chained /slow-body?n=3&d=0.05",
                       "HeaderInfo", "Done",     "Chained /ok?n=10"};
        if (stop)
            expected.push_back("Aborted");
        else
            expected.insert(expected.end(), {"HeaderInfo", "Done", "Chained /ok?n=20", "HeaderInfo", "Done"});
        EXPECT_EQ(rec_->Names(), expected);
    }
    http_.OnChain = nullptr;
    EXPECT_EQ(fetch(FaultUrl("/ok?n=10")), (Names{"HeaderInfo", "Done"}));
}

TEST_F(WinHttpTest, HeaderDatesInEveryFormAndTheRequestAsSent) {
    std::vector<TDateTime> modified, expires;
    std::string language, etag;
    http_.OnHeaderInfo = [&](TObject*, int, const std::string&, const std::string&, const std::string& lang,
                             const std::string&, int64_t, const std::string&, TDateTime, TDateTime m,
                             TDateTime e, const std::string& tag, bool&) {
        modified.push_back(m);
        expires.push_back(e);
        language = lang;
        etag = tag;
    };
    for (const char* form : {"1123", "850", "asctime", "zone", "garbage"}) {
        http_.URL = FaultUrl(std::string("/dates?form=") + form);
        ASSERT_TRUE(http_.Read(true)); // waits, pumping, until the transfer has ended
        EXPECT_FALSE(http_.Busy());
    }
    ASSERT_EQ(modified.size(), 5u);
    const TDateTime expected = UniversalToLocal(EncodeDate(1994, 11, 6) + EncodeTime(8, 49, 37, 0));
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(modified[i], expected, 1e-7) << i;
    EXPECT_EQ(modified[4], 0);
    EXPECT_EQ(expires[0], 0); // "Expires: 0" is no date
    EXPECT_EQ(language, "de");
    EXPECT_EQ(etag, "\"e1\"");

    // The request: agent (a default when empty), referer, extra headers, and the address as written.
    http_.OnHeaderInfo = nullptr;
    http_.Agent = "";
    http_.Referer = "http://example.test/from";
    http_.AddHeaders()->Add("X-Test: one");
    fetch(FaultUrl("/echo-request?q=%2F%3F%25&s=a b"));
    EXPECT_NE(rec_->body.find("GET /echo-request?q=%2F%3F%25&s=a%20b HTTP/1.1"), std::string::npos)
        << rec_->body;
    EXPECT_NE(rec_->body.find("User-Agent: Pathweaver/4.5"), std::string::npos);
    EXPECT_NE(rec_->body.find("Referer: http://example.test/from"), std::string::npos);
    EXPECT_NE(rec_->body.find("X-Test: one"), std::string::npos);
    EXPECT_NE(rec_->body.find("Accept: text/html, */*"), std::string::npos);
    http_.Agent = "Crawler/2";
    fetch(FaultUrl("/echo-request"));
    EXPECT_NE(rec_->body.find("User-Agent: Crawler/2"), std::string::npos);

    // A form body goes out as a POST with the form content type.
    http_.POSTData = "a=1&b=2";
    EXPECT_EQ(fetch(FaultUrl("/post")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, "application/x-www-form-urlencoded\na=1&b=2");
}

TEST_F(WinHttpTest, AbortSoftAndHard) {
    // Soft: the worker notices while it waits for the next block, long before that block comes.
    rec_ = std::make_unique<Recorder>(http_);
    http_.URL = FaultUrl("/slow-body?n=3&d=60");
    ASSERT_TRUE(http_.Read());
    ASSERT_TRUE(PumpUntil([&] { return rec_->Has("Progress"); }, kPatienceMs));
    EXPECT_FALSE(http_.Read()); // busy
    const auto start = Clock::now();
    http_.Abort();
    ASSERT_TRUE(PumpUntil([&] { return !http_.Busy(); }, kPatienceMs));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)); // long before the body's minute ends
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(rec_->Terminal(), (Names{"Aborted"}));
    EXPECT_TRUE(rec_->GuiEventsOnMainThread());

    // Hard: the abort step runs at once on the calling thread; the stopped worker reports nothing.
    rec_ = std::make_unique<Recorder>(http_);
    ASSERT_TRUE(http_.Read());
    ASSERT_TRUE(PumpUntil([&] { return rec_->Has("Progress"); }, kPatienceMs));
    http_.Abort(false, true);
    EXPECT_FALSE(http_.Busy());
    EXPECT_EQ(rec_->Terminal(), (Names{"Aborted"}));
    const size_t count = rec_->events.size();
    EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(rec_->events.size(), count);

    // The client works on after both.
    EXPECT_EQ(fetch(FaultUrl("/ok?n=10")), (Names{"HeaderInfo", "Done"}));
}

TEST_F(WinHttpTest, StatusHandlersThatCallTheGuiThreadDoNotDeadlockAHardAbort) {
    // The worker's status handler sends to a window of the GUI thread and waits for the answer.
    constexpr UINT kStatusSeen = WM_USER + 1;
    std::function<void()> onStatusSeen;
    HWND gui = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == kStatusSeen && onStatusSeen) onStatusSeen();
        m.Result = 0;
    });
    std::atomic<int> statuses{0};
    std::atomic<bool> inside{false};
    http_.OnStatus = [&](TObject*, int, const std::string&) {
        if (statuses++ > 0) return;
        inside = true;
        SendMessage(gui, kStatusSeen, 0, 0);
        inside = false;
    };

    // Aborted from the window procedure that handles the worker's message: the handler waits for it.
    rec_ = std::make_unique<Recorder>(http_);
    onStatusSeen = [&] { http_.Abort(false, true); };
    http_.URL = FaultUrl("/ok?n=10");
    ASSERT_TRUE(http_.Read());
    ASSERT_TRUE(PumpUntil([&] { return !http_.Busy(); }, kPatienceMs));
    EXPECT_EQ(rec_->Terminal(), (Names{"Aborted"}));
    EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
    EXPECT_FALSE(inside);

    // Aborted from plain GUI-thread code while the handler waits for the GUI thread: the abort serves
    // the handler's message and returns once the handler is over; nothing more is reported after it.
    statuses = 0;
    int served = 0;
    onStatusSeen = [&] { ++served; };
    rec_ = std::make_unique<Recorder>(http_);
    ASSERT_TRUE(http_.Read());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return inside.load(); }));
    http_.Abort(false, true);
    EXPECT_FALSE(inside);
    EXPECT_EQ(served, 1);
    const int seen = statuses;
    EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
    EXPECT_EQ(statuses, seen);
    EXPECT_EQ(rec_->Terminal(), (Names{"Aborted"}));
    http_.OnStatus = nullptr;
    DeallocateHWnd(gui);
}

TEST_F(WinHttpTest, ClientDestroyedDuringATransferReportsNothing) {
    auto* http = new TWinHTTP(nullptr);
    Recorder rec(*http);
    http->URL = FaultUrl("/slow-body?n=50&d=0.1");
    ASSERT_TRUE(http->Read());
    ASSERT_TRUE(PumpUntil([&] { return rec.Has("Progress"); }, kPatienceMs));
    delete http;
    const size_t count = rec.events.size();
    EXPECT_TRUE(winthread::WaitForOrphans(kPatienceMs));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(rec.events.size(), count);
}

TEST_F(WinHttpTest, OutputFilesResumeAndLocalFiles) {
    TempDir dir;
    const std::string out = dir.File("out.bin");
    http_.OutputFileName = out;
    EXPECT_EQ(fetch(FaultUrl("/range")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->body, ""); // the file stream is closed before OnDone
    EXPECT_EQ(ReadFile(out), rangeBody());

    // Resume from 300: the server's 206 carries no Accept-Ranges, the file is completed all the same.
    WriteFile(out, rangeBody().substr(0, 300));
    EXPECT_EQ(fetchFrom(300), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec_->Find("HeaderInfo")->size, 1024);
    EXPECT_EQ(rec_->Find("Done")->size, 1024);
    EXPECT_EQ(ReadFile(out), rangeBody());

    // A file that does not match the server's bytes before the resume point is fetched again whole, once.
    WriteFile(out, std::string(300, 'q'));
    fetchFrom(300);
    EXPECT_EQ(rec_->Terminal(), (Names{"Done"}));
    EXPECT_EQ(ReadFile(out), rangeBody());

    // A file already whole: the server answers 416, and the transfer is complete without a body.
    fetchFrom(1024);
    EXPECT_EQ(rec_->Terminal(), (Names{"Done"}));
    EXPECT_EQ(rec_->Find("Done")->size, 1024);
    EXPECT_EQ(ReadFile(out), rangeBody());

    // An error answer writes no file; a file that cannot be created is reported as such.
    ::unlink(out.c_str());
    EXPECT_EQ(fetch(FaultUrl("/status?code=404")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    EXPECT_FALSE(std::ifstream(out).good());
    http_.OutputFileName = dir.File("missing/out.bin");
    EXPECT_EQ(fetch(FaultUrl("/ok?n=10")), (Names{"HeaderInfo", "AnyError", "OutputFileError"}));

    // Local files are read directly, also from an offset.
    http_.OutputFileName.clear();
    WriteFile(dir.File("page 1.html"), "<p>local</p>");
    EXPECT_EQ(fetch("file://" + dir.Path() + "/page%201.html"), (Names{"Done"}));
    EXPECT_EQ(rec_->body, "<p>local</p>");
    EXPECT_EQ(fetch("file://" + dir.Path() + "/none.html"), (Names{"AnyError", "HTTPError"}));
    EXPECT_EQ(rec_->Find("HTTPError")->code, 404);
    http_.URL = "file://" + dir.Path() + "/page%201.html";
    EXPECT_EQ(fetchFrom(3), (Names{"Done"}));
    EXPECT_EQ(rec_->body, "local</p>");
    EXPECT_EQ(rec_->Find("Done")->size, 12);
}
