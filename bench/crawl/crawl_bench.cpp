// Crawls a generated site (10,000 pages of about 20 links each, three folders deep, with redirects,
// missing pages and off-site links) from a local nginx, then the same site with wget and single-threaded
// wget2, and prints pages per second and the ratios. Run by hand: crawl_bench [pages] [delay ms] [runs];
// runs > 1 crawls that many times (the best run counts) and leaves the other programs out.
// crawl_bench --url ADDRESS crawls a site that is already served, once, and prints what it found: the
// component's share in bench/program's timing of the whole program.
#include "app/core/map_profile.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/result_tree_results.h"
#include "app/crawl/website_crawl.h"
#include "app/results/result_tree.h"
#include "bench/support/usage.h"
#include "fetch/file_fetcher.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/generated_site.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

double runTool(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) == -1) return -1;
    return secondsSince(start);
}

} // namespace

// The crawl as the program sets it up, without its window.
struct Crawl {
    TMapProfile profile;
    TFileFetcher fetcher{nullptr};
    TStringList ignoreFolders, ignoreFiles;
    crawl::CrawlView view;
    TRzTreeView tv;
    results::TResultTree tree{tv, profile, ignoreFolders, ignoreFiles};
    crawl::ResultTreeResults results{tree};
    crawl::TWebsiteCrawl crawler{fetcher, profile, ignoreFolders, ignoreFiles, view, results};
    Crawl() {
        profile.SetFileTypes("*.html;*.htm;");
        profile.SetUsePageTitles(true);
        fetcher.SetLinkTypes(LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) |
                             LinkBit(ltIFRAME_src));
    }
};

int crawlOnce(int argc, char** argv, const std::string& start) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pw::gui::GuiApplication app(argc, argv);
    Crawl c;
    c.crawler.CrawlWebsite(start);
    std::printf("%d pages loaded of %d addresses\n", c.crawler.FileCount(), c.crawler.UrlCount());
    return c.crawler.FileCount() > 0 ? 0 : 1;
}

namespace {
constexpr const char* kUsage =
    "usage: crawl_bench [pages (default 10000)] [delay ms (default 0)] [runs (default 1)]\n"
    "       crawl_bench --url ADDRESS\n"
    "  Crawls a generated site from a local nginx, then the same site with wget and wget2, and prints\n"
    "  pages per second and the ratios; runs > 1 crawls that many times and leaves the peers out.\n"
    "  --url: crawls a site that is already served, once, and prints what it found.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage, {"--url"});
    if (argc == 3 && std::string(argv[1]) == "--url") return crawlOnce(argc, argv, argv[2]);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 0;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pw::gui::GuiApplication app(argc, argv);

    char pattern[] = "/tmp/pw-crawl-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const int port = testsupport::FreePort();
    std::filesystem::create_directories(dir + "/html");
    std::filesystem::create_directories(dir + "/logs");
    testsupport::WriteGeneratedSite(dir + "/html", pages, port);
    std::string location = testsupport::kGeneratedSiteRedirects;
    if (delayMs > 0) {
        // echo_sleep refuses trailing zeros ("0.020000") with a 400 on every request.
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", delayMs / 1000.0);
        location += "    location / { echo_sleep " + std::string(seconds) +
                    "; echo_exec @file; }\n    location @file { try_files $uri $uri/index.html =404; }\n";
    }
    std::string temp;
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        temp += std::string("  ") + kind + "_temp_path " + dir + "/tmp_" + kind + ";\n";
    std::ofstream(dir + "/nginx.conf")
        << "load_module /usr/lib/nginx/modules/ngx_http_echo_module.so;\ndaemon off;\nmaster_process off;\n"
        << "error_log " << dir << "/logs/error.log;\npid " << dir << "/nginx.pid;\n"
        << "events { worker_connections 1024; }\nhttp {\n  access_log off;\n"
        << temp << "  types { text/html html; }\n  server {\n    listen 127.0.0.1:" << port << ";\n    root "
        << dir << "/html;\n"
        << location << "  }\n}\n";
    PeerProcess nginx(
        {"sh", "-c",
         "echo " + std::to_string(port) + "; exec /usr/sbin/nginx -p " + dir + " -c " + dir + "/nginx.conf"});
    if (!testsupport::WaitForPort(port)) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const std::string start = "http://127.0.0.1:" + std::to_string(port) + "/";

    // Every program meets the same warm server and file cache: one untimed pass first.
    runTool("cd " + dir + " && wget2 -q -r -l inf --delete-after --no-robots -P warm " + start +
            " >/dev/null 2>&1");
    int found = 0;
    double ours = 0;
    for (int run = 0; run < runs; ++run) {
        Crawl c;
        auto& crawler = c.crawler;
        auto& tv = c.tv;
        rusage before{};
        getrusage(RUSAGE_THREAD, &before);
        const auto t0 = Clock::now();
        crawler.CrawlWebsite(start);
        const double seconds = secondsSince(t0);
        rusage gui{};
        getrusage(RUSAGE_THREAD, &gui);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        found = crawler.FileCount();
        if (run == 0 || seconds < ours) ours = seconds;
        if (run == 0)
            std::printf("pages %d, delay %d ms, start page response %d\n", pages, delayMs,
                        crawler.StartResponse());
        std::printf(
            "crawl:  %d pages loaded of %d addresses in %.2f s = %.0f pages/s, peak RSS %.1f MB, %d tree "
            "nodes\n",
            found, crawler.UrlCount(), seconds, found / seconds, usage.ru_maxrss / 1024.0,
            tv.Items().Count());
        // Where the wall time went on the GUI thread: its own work, and how often it slept for the worker.
        const auto cpu = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
        const double guiCpu =
            cpu(gui.ru_utime) - cpu(before.ru_utime) + cpu(gui.ru_stime) - cpu(before.ru_stime);
        std::printf("        GUI thread busy %.2f s (%.0f us a page), %.1f sleeps a page\n", guiCpu,
                    guiCpu * 1e6 / crawler.UrlCount(),
                    static_cast<double>(gui.ru_nvcsw - before.ru_nvcsw) / crawler.UrlCount());
    }
    if (runs > 1) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        return 0;
    }

    const std::string quiet = " >/dev/null 2>&1";
    const double wget =
        runTool("cd " + dir + " && wget -q -r -l inf --delete-after -e robots=off -P wget " + start + quiet);
    const double wget2 = runTool("cd " + dir +
                                 " && wget2 -q -r -l inf --delete-after --max-threads=1 "
                                 "--no-robots -P wget2 " +
                                 start + quiet);
    if (wget > 0)
        std::printf("wget:   %.2f s = %.0f pages/s; crawl is %.2fx its speed\n", wget, found / wget,
                    wget / ours);
    if (wget2 > 0)
        std::printf("wget2:  %.2f s = %.0f pages/s; crawl is %.2fx its speed\n", wget2, found / wget2,
                    wget2 / ours);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
