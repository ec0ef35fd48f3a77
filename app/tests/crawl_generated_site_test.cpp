// The unattended program crawling the generated site (redirects, missing pages, off-site links): the
// requests it sends, in their order, and the site map and sitemap it writes are those kept in golden/,
// byte for byte but for the server's port and the pages' dates. However the crawl is made faster, it
// must ask the same questions in the same order and come to the same answers.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/generated_site.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/program_run.h"

namespace app_test {
namespace {

constexpr int kPages = 300;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The port changes from run to run and the dates with the files' times: both are masked.
std::string Masked(std::string text, int port) {
    text = std::regex_replace(text, std::regex(":" + std::to_string(port) + "\\b"), ":PORT");
    text = std::regex_replace(text, std::regex("<lastmod>[^<]*</lastmod>"), "<lastmod>DATE</lastmod>");
    return std::regex_replace(text, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d"),
                              "DATE");
}

fs::path GoldenPath(const std::string& name) {
    return fs::path(PW_TEST_DATA_DIR) / "golden" / "generated_site" / name;
}

// The kept answer; PW_UPDATE_GOLDEN=1 writes what the program gave instead.
std::string Golden(const std::string& name, const std::string& actual) {
    const fs::path path = GoldenPath(name);
    if (std::getenv("PW_UPDATE_GOLDEN")) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << actual;
    }
    return ReadText(path);
}

// The first line where two texts part, for a message that can be read.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream a(expected), b(actual);
    std::string x, y;
    for (int line = 1;; ++line) {
        const bool more = static_cast<bool>(std::getline(a, x));
        const bool moreActual = static_cast<bool>(std::getline(b, y));
        if (!more && !moreActual) return "the same lines, other bytes";
        if (!more || !moreActual || x != y)
            return "line " + std::to_string(line) + ": expected \"" + (more ? x : "(end)") + "\", got \"" +
                   (moreActual ? y : "(end)") + "\"";
    }
}

using CrawlGeneratedSiteTest = MainFormTest;

TEST_F(CrawlGeneratedSiteTest, SendsTheSameRequestsInTheSameOrderAndWritesTheSameFiles) {
    testsupport::NginxOptions options;
    options.http = "  types { text/html html; }\n";
    options.server = testsupport::kGeneratedSiteRedirects;
    options.logFormat = "$request_uri $status";
    testsupport::NginxPeer site(options);
    ASSERT_TRUE(site.Running());
    testsupport::WriteGeneratedSite(site.Root(), kPages, site.Port());

    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstWebsite);
    profile.SetWebsite(site.Url("/"));
    profile.SetUsePageTitles(true);
    profile.SetMakeGoogleSM(true);
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    profile.SetOutputFileName((out / "sitemap.html").string());
    profile.SetFileName((dir_ / "site.qpw").string());
    SaveProfileFile(profile, nullptr);

    const testsupport::RunResult run =
        testsupport::RunProgram(config_, "-auto '" + profile.FileName() + "'", "", false, 120);
    ASSERT_EQ(run.status, 0) << run.output;

    const std::string html = Masked(ReadText(out / "sitemap.html"), site.Port());
    const std::string xml = Masked(ReadText(out / "sitemap.xml"), site.Port());
    // nginx logs a request once its answer has gone: the log is read when it has every line expected.
    const std::string expectedRequests = ReadText(GoldenPath("requests.txt"));
    const size_t lines =
        static_cast<size_t>(std::count(expectedRequests.begin(), expectedRequests.end(), '\n'));
    if (std::getenv("PW_UPDATE_GOLDEN")) ::usleep(500000);
    const std::string requests = site.AccessLog(lines);
    for (const auto& [name, actual] : {std::pair{"requests.txt", requests}, std::pair{"sitemap.html", html},
                                       std::pair{"sitemap.xml", xml}}) {
        SCOPED_TRACE(name);
        const std::string expected = Golden(name, actual);
        ASSERT_FALSE(expected.empty()) << "no golden " << name;
        EXPECT_TRUE(actual == expected) << FirstDifference(expected, actual);
    }
}

} // namespace
} // namespace app_test
