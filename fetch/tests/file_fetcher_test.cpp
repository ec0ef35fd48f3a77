// Transfers of the page fetcher against real peers: outcomes, redirects, encodings, refusals, Cancel.
#include "fetch/file_fetcher.h"
#include "fetch/http/win_http.h"
#include "gui_test_environment.h"
#include "platform/gui/message_loop.h"
#include "platform/net/wininet.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/string_list.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

using gui_test::Site;
using Clock = std::chrono::steady_clock;

namespace {

constexpr TLinkTypes kCrawlKinds =
    LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) | LinkBit(ltIFRAME_src);

bool haveEcho() {
    return std::filesystem::exists("/usr/lib/nginx/modules/ngx_http_echo_module.so");
}

std::string siteDirectives(int otherPort) {
    std::string d = R"(
    location = /boom { return 500; }
    location = /moved { return 302 /dir/; }
    location = /away { return 302 http://127.0.0.2:$server_port/dir/; }
    location = /missing.bin { default_type image/png; return 404 "gone"; }
    location /cp1251/ { charset windows-1251; }
)";
    d += "    location = /other-port { return 302 http://127.0.0.1:" + std::to_string(otherPort) +
         "/dir/; }\n";
    if (haveEcho())
        d += R"(
    location = /slow { default_type text/html; echo_sleep 60; echo "late"; }
    location = /second { default_type text/html; echo_sleep 1; echo "<title>late</title>"; }
    location = /later { default_type text/html; echo_sleep 0.15; echo "<title>later</title>"; }
)";
    return d;
}

struct Statuses {
    explicit Statuses(TFileFetcher& f) {
        f.OnStatusMessage = [this](TObject*, const std::string& text) { texts.push_back(text); };
    }
    bool Has(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::vector<std::string> texts;
};

class FetcherTransfers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!site.Running()) GTEST_SKIP() << "nginx is not installed";
        site.Put("/index.html", "<html><head><title>Home page</title></head><a href=\"dir/\">d</a></html>");
        site.Put("/dir/index.html", "<title>Folder</title><a href=\"page.html\">p</a>");
        site.Put("/img.png", std::string("\x89PNG\r\n\x1a\n", 8) + "not really");
        site.Put("/doc.pdf", "%PDF-1.4 tiny");
        other.Put("/dir/index.html", "<title>Elsewhere</title><a href=\"page.html\">p</a>");
        fetcher.SetLinkTypes(kCrawlKinds);
    }

    Site other{};
    Site site{siteDirectives(other.Port())};
    TFileFetcher fetcher{nullptr};
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TFileFetcher* cancelTarget = nullptr;

void cancelLater(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (cancelTarget) cancelTarget->Abort();
}

} // namespace

TEST_F(FetcherTransfers, GoodPageReportsHeadersBodyAndStatusTexts) {
    Statuses statuses(fetcher);
    int64_t lastRead = 0;
    fetcher.OnProgress = [&](TObject* sender, const std::string&, int64_t, int64_t bytesRead, int, int,
                             uint8_t, float) {
        EXPECT_EQ(sender, &fetcher);
        lastRead = bytesRead;
    };
    const std::string url = site.Url("/index.html");
    ASSERT_TRUE(fetcher.Fetch(url));
    EXPECT_EQ(fetcher.Response(), 200);
    EXPECT_EQ(fetcher.URL(), url);
    EXPECT_EQ(fetcher.ShortURL(), url);
    EXPECT_EQ(fetcher.ContentType(), "text/html");
    EXPECT_EQ(fetcher.MimeType(), mimeText);
    const std::string body = "<html><head><title>Home page</title></head><a href=\"dir/\">d</a></html>";
    EXPECT_EQ(fetcher.PageContent(), body);
    EXPECT_EQ(fetcher.ContentLength(), static_cast<int64_t>(body.size()));
    EXPECT_TRUE(fetcher.HasTitle());
    EXPECT_EQ(fetcher.Title(), "Home page");
    // The file was written moments ago; its date comes from the Last-Modified header.
    EXPECT_NEAR(fetcher.LastModified(), Now(), 5.0 / 86400);
    EXPECT_EQ(statuses.texts,
              (std::vector<std::string>{"Retrieving: " + url, "Header Info Received, Content Type: text/html",
                                        "Successfully Downloaded File: " + std::to_string(body.size()) +
                                            " bytes."}));
    EXPECT_EQ(lastRead, static_cast<int64_t>(body.size()));
    EXPECT_FALSE(fetcher.Busy());

    fetcher.SetDontParseFile(true);
    ASSERT_TRUE(fetcher.Fetch(url));
    EXPECT_FALSE(fetcher.Parsed());
    EXPECT_FALSE(fetcher.HasTitle());
    EXPECT_EQ(fetcher.LinkCount(), 0);
}

TEST_F(FetcherTransfers, FailuresGiveTheirResponseCodesAndNoLinks) {
    Statuses statuses(fetcher);
    EXPECT_FALSE(fetcher.Fetch(site.Url("/nothing-here.html")));
    EXPECT_EQ(fetcher.Response(), 404);
    EXPECT_TRUE(fetcher.PageContent().empty());
    EXPECT_EQ(fetcher.LinkCount(), 0);
    EXPECT_TRUE(statuses.Has("404: Not Found"));

    EXPECT_FALSE(fetcher.Fetch(site.Url("/boom")));
    EXPECT_EQ(fetcher.Response(), 500);
    EXPECT_TRUE(statuses.Has("500: Server Error"));
    EXPECT_EQ(fetcher.FollowList()->Count(), 0);

    const gui_test::ClosedPort closed;
    EXPECT_FALSE(fetcher.Fetch(closed.Url()));
    EXPECT_EQ(fetcher.Response(), 0);
    EXPECT_EQ(fetcher.LastError(), ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_TRUE(statuses.Has("Host Unreachable."));

    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    EXPECT_FALSE(fetcher.Fetch(faults.Url("/short")));
    EXPECT_EQ(fetcher.Response(), -3);
    EXPECT_TRUE(statuses.Has("Connection with remote host lost."));
    EXPECT_EQ(fetcher.LinkCount(), 0);

    EXPECT_FALSE(fetcher.Fetch(faults.Url("/auth")));
    EXPECT_EQ(fetcher.Response(), 401);
    EXPECT_TRUE(fetcher.PasswordRequired());
    EXPECT_TRUE(statuses.Has("Password Required: Members only"));
    EXPECT_TRUE(statuses.Has("401: Unauthorized"));
}

TEST_F(FetcherTransfers, LinksAreResolvedAgainstTheAddressAfterRedirects) {
    Statuses statuses(fetcher);
    // nginx answers a folder without its slash with a redirect to the folder.
    ASSERT_TRUE(fetcher.Fetch(site.Url("/dir")));
    EXPECT_EQ(fetcher.URL(), site.Url("/dir"));
    EXPECT_EQ(fetcher.RedirectedURL(), site.Url("/dir/"));
    EXPECT_EQ(fetcher.ShortURL(), site.Url("/dir/"));
    EXPECT_TRUE(statuses.Has("Redirected: " + site.Url("/dir/")));
    ASSERT_EQ(fetcher.FollowList()->Count(), 1);
    EXPECT_EQ(fetcher.FollowList()->Strings(0), site.Url("/dir/page.html"));

    ASSERT_TRUE(fetcher.Fetch(site.Url("/moved")));
    EXPECT_EQ(fetcher.LinkCount(), 1);

    // Sent on to another host, or another port: the page loads but says nothing of this site's links.
    ASSERT_TRUE(fetcher.Fetch(site.Url("/away")));
    EXPECT_EQ(fetcher.RedirectedURL(), site.Url("/dir/", "127.0.0.2"));
    EXPECT_EQ(fetcher.Title(), "Folder");
    EXPECT_EQ(fetcher.LinkCount(), 0);
    EXPECT_EQ(fetcher.FollowList()->Count(), 0);
    ASSERT_TRUE(fetcher.Fetch(site.Url("/other-port")));
    EXPECT_EQ(fetcher.Title(), "Elsewhere");
    EXPECT_EQ(fetcher.LinkCount(), 0);

    // A fetch without a redirect keeps the last redirect address but takes its links from itself.
    ASSERT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    EXPECT_EQ(fetcher.RedirectedURL(), other.Url("/dir/"));
    ASSERT_EQ(fetcher.LinkCount(), 1);
    EXPECT_EQ(fetcher.PageLinks()->Strings(0), site.Url("/dir/"));
}

TEST_F(FetcherTransfers, WithoutFollowingRedirectsTheAnswerNamesItsTarget) {
    fetcher.SetFollowRedirects(false);
    EXPECT_FALSE(fetcher.Fetch(site.Url("/dir")));
    EXPECT_EQ(fetcher.Response(), 301);
    EXPECT_EQ(fetcher.RedirectLocation(), site.Url("/dir/"));
    EXPECT_EQ(fetcher.LinkCount(), 0);
    // A relative target is resolved against the address fetched.
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    EXPECT_FALSE(fetcher.Fetch(faults.Url("/redirect-to?u=ok%3Fn%3D3")));
    EXPECT_EQ(fetcher.Response(), 302);
    EXPECT_EQ(fetcher.RedirectLocation(), faults.Url("/ok?n=3"));
    EXPECT_TRUE(fetcher.Fetch(site.Url("/dir/")));
    EXPECT_EQ(fetcher.RedirectLocation(), "");
    EXPECT_EQ(fetcher.LinkCount(), 1);
}

TEST_F(FetcherTransfers, AFetchAheadIsHeardOnlyOnceItsPageIsAskedFor) {
    Statuses statuses(fetcher);
    ASSERT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    statuses.texts.clear();
    const std::string dir = site.Url("/dir/");
    ASSERT_TRUE(fetcher.FetchAhead(dir));
    EXPECT_EQ(fetcher.AheadURL(), dir);
    EXPECT_FALSE(fetcher.FetchAhead(site.Url("/doc.pdf"))) << "one transfer at a time";
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));
    // The answer has come, but the page before is still the fetcher's and no handler heard a thing.
    EXPECT_EQ(fetcher.Title(), "Home page");
    EXPECT_EQ(fetcher.LinkCount(), 1);
    EXPECT_TRUE(statuses.texts.empty());
    ASSERT_TRUE(fetcher.Fetch(dir));
    EXPECT_EQ(fetcher.Title(), "Folder");
    EXPECT_EQ(fetcher.AheadURL(), "");
    EXPECT_EQ(statuses.texts,
              (std::vector<std::string>{"Retrieving: " + dir, "Header Info Received, Content Type: text/html",
                                        "Successfully Downloaded File: 46 bytes."}));
    // Another address is asked for: the page ahead is let go, and what it said is never heard.
    ASSERT_TRUE(fetcher.FetchAhead(site.Url("/nothing-here.html")));
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));
    ASSERT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    EXPECT_EQ(fetcher.Response(), 200);
    EXPECT_FALSE(statuses.Has("404: Not Found"));
    // Stopped before it is asked for: gone at once, unheard.
    if (haveEcho()) {
        statuses.texts.clear();
        ASSERT_TRUE(fetcher.FetchAhead(site.Url("/slow")));
        fetcher.Abort();
        EXPECT_FALSE(fetcher.HttpClient()->Busy());
        EXPECT_EQ(fetcher.AheadURL(), "");
        EXPECT_TRUE(statuses.texts.empty());
        EXPECT_EQ(fetcher.Title(), "Home page");
    }
    // The server saw each page asked for once, and the one let go.
    const std::string log = site.AccessLog(4);
    const auto count = [&](const std::string& path) {
        size_t n = 0;
        for (size_t at = log.find("GET " + path + " "); at != std::string::npos;
             at = log.find("GET " + path + " ", at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("/index.html"), 2u);
    EXPECT_EQ(count("/dir/"), 1u);
    EXPECT_EQ(count("/nothing-here.html"), 1u);
}

TEST_F(FetcherTransfers, AfterAnswersThatNeedNothingTheWorkerGoesOnByItselfInOrder) {
    fetcher.SetFollowRedirects(false);
    Statuses statuses(fetcher);
    // Asked on the worker; read here once its run is over.
    std::vector<std::pair<int, std::string>> asked;
    const auto passOn = [&asked](int Status, const std::string& Target) {
        asked.emplace_back(Status, Target);
        return Status >= 300;
    };
    const std::string gone = site.Url("/nothing-here.html"), moved = site.Url("/moved"),
                      dir = site.Url("/dir/"), home = site.Url("/index.html");
    ASSERT_TRUE(fetcher.FetchAhead({gone, moved, dir, home}, passOn));
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));
    // Three requests without a word to the fetcher's caller; none after the page, which needs the caller.
    EXPECT_EQ(asked, (std::vector<std::pair<int, std::string>>{{404, ""}, {302, dir}, {200, ""}}));
    EXPECT_TRUE(statuses.texts.empty());
    EXPECT_FALSE(fetcher.FetchAhead(home)) << "the pages gone through wait for their turn";
    EXPECT_FALSE(fetcher.Fetch(gone));
    EXPECT_EQ(fetcher.Response(), 404);
    EXPECT_EQ(statuses.texts,
              (std::vector<std::string>{"Retrieving: " + gone,
                                        "Header Info Received, Content Type: text/html", "404: Not Found"}));
    EXPECT_FALSE(fetcher.Fetch(moved));
    EXPECT_EQ(fetcher.RedirectLocation(), dir);
    EXPECT_TRUE(fetcher.FetchingAhead());
    ASSERT_TRUE(fetcher.Fetch(dir));
    EXPECT_EQ(fetcher.Title(), "Folder");
    EXPECT_FALSE(fetcher.FetchingAhead());
    // Stopped where the caller says; asking for another address than the next lets the rest go unheard.
    asked.clear();
    ASSERT_TRUE(fetcher.FetchAhead({moved, gone}, [&](int Status, const std::string&) {
        asked.emplace_back(Status, "");
        return false;
    }));
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));
    EXPECT_EQ(asked.size(), 1u);
    statuses.texts.clear();
    ASSERT_TRUE(fetcher.Fetch(home));
    EXPECT_EQ(statuses.texts.front(), "Retrieving: " + home);
    EXPECT_FALSE(statuses.Has("302: Found"));
    std::string paths;
    const std::string log = site.AccessLog(5);
    for (size_t at = log.find("\"GET "); at != std::string::npos; at = log.find("\"GET ", at + 1))
        paths += log.substr(at + 5, log.find(' ', at + 5) - at - 5) + " ";
    EXPECT_EQ(paths, "/nothing-here.html /moved /dir/ /moved /index.html ");
}

TEST_F(FetcherTransfers, AChainGoesOnToAddressesAddedWhileItRunsAndTakesNoneOnceItHasEnded) {
    fetcher.SetFollowRedirects(false);
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    const std::string late = faults.Url("/slow-headers?s=0.3"), dir = site.Url("/dir/"),
                      home = site.Url("/index.html"), gone = site.Url("/nothing-here.html");
    const auto paths = [this](size_t lines) {
        std::string seen;
        const std::string log = site.AccessLog(lines);
        for (size_t at = log.find("\"GET "); at != std::string::npos; at = log.find("\"GET ", at + 1))
            seen += log.substr(at + 5, log.find(' ', at + 5) - at - 5) + " ";
        return seen;
    };
    EXPECT_FALSE(fetcher.ExtendAhead(dir)) << "no chain yet";
    ASSERT_TRUE(fetcher.FetchAhead({late}, [](int, const std::string&) { return true; }));
    EXPECT_TRUE(fetcher.Chaining());
    // Added while the first answer is still on its way: the worker goes on to them in this order.
    EXPECT_TRUE(fetcher.ExtendAhead(dir));
    EXPECT_TRUE(fetcher.ExtendAhead(home));
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));
    EXPECT_EQ(paths(2), "/dir/ /index.html ");
    // The worker found nothing more and ended: what is added now waits until it is asked for.
    EXPECT_FALSE(fetcher.Chaining());
    EXPECT_FALSE(fetcher.ExtendAhead(gone));
    ASSERT_TRUE(fetcher.Fetch(late));
    EXPECT_EQ(fetcher.AheadURL(), dir);
    ASSERT_TRUE(fetcher.Fetch(dir));
    EXPECT_EQ(fetcher.Title(), "Folder");
    ASSERT_TRUE(fetcher.Fetch(home));
    EXPECT_EQ(fetcher.Title(), "Home page");
    EXPECT_FALSE(fetcher.FetchingAhead());
    EXPECT_FALSE(fetcher.Fetch(gone));
    EXPECT_EQ(fetcher.Response(), 404);
    EXPECT_EQ(paths(3), "/dir/ /index.html /nothing-here.html ");
}

// The worker goes from one answer to the next by itself; each page is heard of with its own answer whole
// (status, type, length, error, title and links), never with what the page before it left behind.
TEST_F(FetcherTransfers, EachPageOfAChainIsHeardOfWithItsOwnAnswer) {
    fetcher.SetFollowRedirects(false);
    const gui_test::ClosedPort closed;
    const std::string home = site.Url("/index.html"), gone = site.Url("/nothing-here.html"),
                      image = site.Url("/img.png"),
                      nowhere = "http://127.0.0.1:" + std::to_string(closed.Port()) + "/",
                      dir = site.Url("/dir/");
    ASSERT_TRUE(
        fetcher.FetchAhead({home, gone, image, nowhere, dir}, [](int, const std::string&) { return true; }));
    ASSERT_TRUE(gui_test::PumpUntil([&] { return !fetcher.HttpClient()->Busy(); }, gui_test::kPatienceMs));

    ASSERT_TRUE(fetcher.Fetch(home));
    EXPECT_EQ(fetcher.ContentType(), "text/html");
    EXPECT_EQ(fetcher.Title(), "Home page");
    EXPECT_EQ(fetcher.LinkCount(), 1);

    EXPECT_FALSE(fetcher.Fetch(gone));
    EXPECT_EQ(fetcher.Response(), 404);
    EXPECT_EQ(fetcher.LinkCount(), 0);
    EXPECT_FALSE(fetcher.HasTitle());

    EXPECT_FALSE(fetcher.Fetch(image)) << "an image is no page";
    EXPECT_EQ(fetcher.ContentType(), "image/png");
    EXPECT_EQ(fetcher.Response(), 200);
    EXPECT_TRUE(fetcher.PageContent().empty());

    EXPECT_FALSE(fetcher.Fetch(nowhere));
    EXPECT_EQ(fetcher.Response(), 0) << "no answer at all, not the image's 200";
    EXPECT_NE(fetcher.LastError(), 0u);

    ASSERT_TRUE(fetcher.Fetch(dir));
    EXPECT_EQ(fetcher.LastError(), 0u) << "the failure before is not this page's";
    EXPECT_EQ(fetcher.ContentType(), "text/html");
    EXPECT_EQ(fetcher.Title(), "Folder");
    ASSERT_EQ(fetcher.LinkCount(), 1);
    std::string link, filed;
    fetcher.GetLink(0, link, filed);
    EXPECT_EQ(link, site.Url("/dir/page.html"));
    EXPECT_EQ(fetcher.FollowList()->Count(), 1);
    EXPECT_EQ(fetcher.PageContent().rfind("<title>Folder</title>", 0), 0u);
}

TEST_F(FetcherTransfers, TitlesComeOutRightInSeveralEncodings) {
    // "Привет" in windows-1251, "中文" in GB2312.
    site.Put("/cyr.html", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=windows-1251\"><title>\xcf\xf0\xe8\xe2\xe5\xf2</title></head></html>");
    site.Put("/gb.html", "<meta http-equiv=\"content-type\" content=\"text/html;charset=gb2312\">"
                         "<title>\xd6\xd0\xce\xc4</title>");
    site.Put("/bom.html", "\xef\xbb\xbf<title>Gr\xc3\xbc\xc3\x9f dich</title>");
    site.Put("/cp1251/header.html", "<title>\xcf\xf0\xe8\xe2\xe5\xf2</title>");
    site.Put("/latin.html", "<title>caf\xe9</title>");
    // Nothing declared: read as windows-1252, whose quotes and euro sign Latin-1 does not have.
    site.Put("/undeclared.html", "<title>\x93"
                                 "Caf\xe9\x94 \x80</title>");
    struct Case {
        const char* path;
        const char* title;
    };
    for (const Case& c : {Case{"/cyr.html", "Привет"}, Case{"/gb.html", "中文"},
                          Case{"/bom.html", "Grüß dich"}, Case{"/cp1251/header.html", "Привет"},
                          Case{"/latin.html", "café"}, Case{"/undeclared.html", "“Café” €"}}) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(fetcher.Fetch(site.Url(c.path)));
        EXPECT_EQ(fetcher.Title(), c.title);
    }
}

TEST_F(FetcherTransfers, BodiesOfUnwantedTypesAreRefusedAfterTheHeaders) {
    EXPECT_FALSE(fetcher.Fetch(site.Url("/img.png")));
    EXPECT_EQ(fetcher.Response(), 200);
    EXPECT_TRUE(fetcher.ContentRefused());
    EXPECT_EQ(fetcher.MimeType(), mimeImage);
    EXPECT_TRUE(fetcher.PageContent().empty());
    EXPECT_FALSE(fetcher.Parsed());

    // A wanted type that is no page is listed from its headers alone.
    EXPECT_FALSE(fetcher.Fetch(site.Url("/doc.pdf")));
    fetcher.SetWantedFileTypes("*.html;*.pdf;");
    ASSERT_TRUE(fetcher.Fetch(site.Url("/doc.pdf")));
    EXPECT_EQ(fetcher.ContentType(), "application/pdf");
    EXPECT_EQ(fetcher.ContentLength(), 13);
    EXPECT_TRUE(fetcher.PageContent().empty());
    EXPECT_NEAR(fetcher.LastModified(), Now(), 5.0 / 86400);

    // An error answer stays an error whatever its type, and with headers only too.
    EXPECT_FALSE(fetcher.Fetch(site.Url("/missing.bin")));
    EXPECT_EQ(fetcher.Response(), 404);
    fetcher.SetDontGetContent(true);
    EXPECT_FALSE(fetcher.Fetch(site.Url("/nothing-here.html")));
    EXPECT_EQ(fetcher.Response(), 404);
    EXPECT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    EXPECT_TRUE(fetcher.PageContent().empty());
}

TEST_F(FetcherTransfers, CancelDuringASlowPageReturnsLongBeforeThePage) {
    if (!haveEcho()) GTEST_SKIP() << "the nginx echo module is not installed";
    cancelTarget = &fetcher;
    const auto start = Clock::now();
    SetTimer(nullptr, 0, 300, cancelLater);
    EXPECT_FALSE(fetcher.Fetch(site.Url("/slow")));
    const auto took = Clock::now() - start;
    cancelTarget = nullptr;
    EXPECT_EQ(fetcher.Response(), -2);
    EXPECT_LT(took, std::chrono::seconds(30)); // the page itself takes a minute
    // The client is free again at once.
    EXPECT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    EXPECT_EQ(fetcher.Title(), "Home page");
}

TEST_F(FetcherTransfers, TheWaitSleepsUntilSomethingArrives) {
    if (!haveEcho()) GTEST_SKIP() << "the nginx echo module is not installed";
    const double before = cpuSeconds();
    const auto start = Clock::now();
    ASSERT_TRUE(fetcher.Fetch(site.Url("/second")));
    const std::chrono::duration<double> waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_EQ(fetcher.Title(), "late");
    // A busy loop would burn about as much processor time as the wait took.
    EXPECT_LT(cpuSeconds() - before, 0.25 * waited.count());
}

TEST_F(FetcherTransfers, ASlowPageAfterQuickOnesIsSleptForNotWokenForAtEveryTurn) {
    if (!haveEcho()) GTEST_SKIP() << "the nginx echo module is not installed";
    // Each turn of the wait is a wake-up of the waiting thread; the crawl asks for one every 5 ms.
    int turns = 0;
    fetcher.SetWaitTurn([&turns] {
        ++turns;
        return std::chrono::milliseconds(5);
    });
    // Quick answers first, so that the next page is watched for before the wait sleeps (whether they
    // were quick enough depends on the machine's load: the round is run a few times).
    int most = 0;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(fetcher.Fetch(site.Url("/index.html")));
        turns = 0;
        ASSERT_TRUE(fetcher.Fetch(site.Url("/later")));
        EXPECT_EQ(fetcher.Title(), "later");
        most = std::max(most, turns);
    }
    // A handful for the whole wait (its start, the answer's events), not one every 5 ms of 150.
    EXPECT_LE(most, 12);
}

TEST_F(FetcherTransfers, AFetchFromInsideTheWaitIsRefused) {
    int nested = 0;
    bool nestedResult = true;
    fetcher.OnStatusMessage = [&](TObject*, const std::string& text) {
        if (text.rfind("Header Info", 0) == 0 && nested++ == 0)
            nestedResult = fetcher.Fetch(site.Url("/dir/"));
    };
    ASSERT_TRUE(fetcher.Fetch(site.Url("/index.html")));
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(fetcher.URL(), site.Url("/index.html"));
    EXPECT_EQ(fetcher.Title(), "Home page");
    EXPECT_EQ(fetcher.Response(), 200);
}
