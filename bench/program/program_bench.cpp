// The built program timed as a user runs it, against its peers on the same trees, the programs taking
// turns in every round. Run by hand (see --help):
//   program_bench crawl [--pages N] [--delay MS] [--rounds R] [--program PATH] [--timeout S] [--no-shown]
//   program_bench scan  [--files N] [--docs DIR] [--rounds R] [--program PATH] [--timeout S] [--no-shown]
//   program_bench site  [--docs DIR] [--rounds R] [--program PATH] [--timeout S] [--no-shown]
//   program_bench deep  [--links N,N,...] [--depth D] [--rounds R] [--program PATH] [--timeout S]
//                       [--no-shown]
//   program_bench localdeep [--trees LxD,...] [--rounds R] [--program PATH] [--timeout S] [--no-shown]
// (each also takes --display :N, a running X display for the shown runs)
// crawl: a generated site on nginx at 127.0.0.1; `pathweaver -auto profile.qpw` without a display and with
// its window shown under Xvfb and a window manager, `wget -r`, single-threaded `wget2` and the crawl
// component alone (crawl_bench --url); the requests each sent are counted in nginx's access log.
// scan: a generated folder tree and a real documentation tree; `pathweaver -auto` without a display and
// shown, against `find -printf '%T@ %p\n'`.
// site: a real site, a folder of pages (the PostgreSQL manual by default) served by nginx at 127.0.0.1,
// crawled by `pathweaver -auto` against single-threaded wget2.
// deep: start pages on nginx with N links each D folders deep in a branch of its own, crawled by
// `pathweaver -auto` for each N; the time per link shows whether the cost grows linearly with N.
// localdeep: a local site whose folder holds a link to a chain of D folders of L letters each, scanned by
// `pathweaver -auto`; the memory and time per level show whether they grow linearly with the depth.
// Each program's median wall and processor time, its peak resident size, and the ratios are printed, with
// the figures the program's waiting rests on (what a thread's wake-up costs here).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "bench/support/generated_trees.h"
#include "bench/support/timed_child.h"
#include "bench/support/usage.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/wait_policy.h"
#include "tests/support/deep_folders.h"
#include "tests/support/generated_site.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: program_bench crawl [--pages N] [--delay MS] [--rounds R] [--program PATH] [--timeout S]\n"
    "                           [--no-shown] [--display :N]\n"
    "       program_bench scan [--files N] [--docs DIR] [--rounds R] [--program PATH] [--timeout S]\n"
    "                          [--no-shown] [--display :N]\n"
    "       program_bench site [--docs DIR] [--rounds R] [--program PATH] [--timeout S] [--no-shown]\n"
    "                          [--display :N]\n"
    "       program_bench deep [--links N,N,...] [--depth D] [--rounds R] [--program PATH] [--timeout S]\n"
    "                          [--no-shown] [--display :N]\n"
    "       program_bench localdeep [--trees LxD,...] [--rounds R] [--program PATH] [--timeout S]\n"
    "                               [--no-shown] [--display :N]\n"
    "       program_bench cookies [--pages N,N,...] [--domains D] [--bytes B] [--rounds R] [--program PATH]\n"
    "                             [--timeout S] [--no-shown] [--display :N]\n"
    "  crawl: a generated site of N pages (default 5000) on nginx, --delay MS added to every response;\n"
    "         pathweaver -auto headless and shown (Xvfb + openbox), wget -r, wget2 --max-threads=1 and\n"
    "         the crawl component alone (crawl_bench --url).\n"
    "  scan:  a generated tree of N files (default 100000) in folders of 100, and DIR (default\n"
    "         /usr/share/doc/postgresql-doc-15/html when present); pathweaver -auto headless and shown\n"
    "         against find -printf '%T@ %p\\n'.\n"
    "  site:  DIR (default /usr/share/doc/postgresql-doc-15/html), a folder of pages served by nginx from\n"
    "         its index.html; pathweaver -auto headless and shown against wget2 --max-threads=1.\n"
    "  deep:  for each N of --links (default 1,2,4,10), a start page on nginx with N links, each D folders\n"
    "         deep (--depth, default 2000) in a branch of its own; pathweaver -auto headless and shown,\n"
    "         with the time per link against the one-link run's, the peak memory, the size of the files\n"
    "         written and whether the run said that the site map lists only part of the site.\n"
    "  localdeep: for each LxD of --trees (default 255x500,255x1000,255x2000,10x5000), a local site whose\n"
    "         folder links to a chain of D folders of L letters each; pathweaver -auto headless and shown,\n"
    "         with the peak memory and processor time per level over the site without the chain.\n"
    "  cookies: for each N of --pages (default 250,500,1000), a start page on nginx linking to N pages that\n"
    "         each set 50 new cookies of 4 KB (--bytes); pathweaver -auto headless and shown, with the\n"
    "         processor time per page against the first run's and the peak memory. With --domains D the\n"
    "         pages are on www.h1.h2...hD.localhost and the cookies' Domain= cycles over its D parents.\n"
    "  --program: the pathweaver to time (default: the one built beside this benchmark; the program as it\n"
    "         was: /work/baseline-bin/pathweaver). --timeout: seconds before a run is stopped (default "
    "600).\n"
    "  --baseline PATH: another pathweaver timed in the same rounds, headless and shown (before and after a\n"
    "         change).\n"
    "  --rounds: how many times each program runs, taking turns (default 3); medians are printed.\n"
    "  --display :N: the shown runs use this X display, already running with its window manager, instead\n"
    "         of an Xvfb of their own (on a machine shared with others that keep their own numbers).\n";

struct Options {
    std::string mode;
    int pages = 5000;
    int delayMs = 0;
    int files = 100000;
    std::vector<int> links{1, 2, 4, 10};
    std::vector<int> cookiePages{250, 500, 1000};
    int cookieDomains = 0;
    int cookieBytes = 4000;
    // Local chains of folders: name length and depth.
    std::vector<std::pair<int, int>> trees{{255, 500}, {255, 1000}, {255, 2000}, {10, 5000}};
    int depth = 2000;
    std::string docs = "/usr/share/doc/postgresql-doc-15/html";
    int rounds = 3;
    std::string program;
    // Another build of the program, timed in the same rounds (before and after a change).
    std::string baseline;
    double timeout = 600;
    bool shown = true;
    std::string display;
};

// "255x500,10x5000"; empty when any is not two counts above zero.
std::vector<std::pair<int, int>> Trees(const std::string& list) {
    std::vector<std::pair<int, int>> trees;
    for (size_t at = 0; at <= list.size();) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string tree = list.substr(at, comma - at);
        const size_t x = tree.find('x');
        if (x == std::string::npos) return {};
        const int length = std::atoi(tree.substr(0, x).c_str()),
                  depth = std::atoi(tree.substr(x + 1).c_str());
        if (length < 1 || length > 255 || depth < 1) return {};
        trees.emplace_back(length, depth);
        at = comma + 1;
    }
    return trees;
}

// "1,2,4,10"; empty when any of them is not a count above zero.
std::vector<int> Counts(const std::string& list) {
    std::vector<int> counts;
    for (size_t at = 0; at <= list.size();) {
        size_t comma = std::min(list.find(',', at), list.size());
        const int n = std::atoi(list.substr(at, comma - at).c_str());
        if (n < 1) return {};
        counts.push_back(n);
        at = comma + 1;
    }
    return counts;
}

std::optional<Options> Parse(int argc, char** argv) {
    Options o;
    if (argc < 2) return std::nullopt;
    o.mode = argv[1];
    if (o.mode != "crawl" && o.mode != "scan" && o.mode != "site" && o.mode != "deep" &&
        o.mode != "cookies" && o.mode != "localdeep")
        return std::nullopt;
    const fs::path self = fs::canonical("/proc/self/exe");
    o.program = (self.parent_path().parent_path() / "bin" / "pathweaver").string();
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--pages" && o.mode == "cookies")
            o.cookiePages = Counts(value());
        else if (a == "--pages")
            o.pages = std::atoi(value().c_str());
        else if (a == "--domains")
            o.cookieDomains = std::atoi(value().c_str());
        else if (a == "--bytes")
            o.cookieBytes = std::atoi(value().c_str());
        else if (a == "--delay")
            o.delayMs = std::atoi(value().c_str());
        else if (a == "--files")
            o.files = std::atoi(value().c_str());
        else if (a == "--docs")
            o.docs = value();
        else if (a == "--links")
            o.links = Counts(value());
        else if (a == "--trees")
            o.trees = Trees(value());
        else if (a == "--depth")
            o.depth = std::atoi(value().c_str());
        else if (a == "--rounds")
            o.rounds = std::max(1, std::atoi(value().c_str()));
        else if (a == "--program")
            o.program = value();
        else if (a == "--baseline")
            o.baseline = value();
        else if (a == "--timeout")
            o.timeout = std::atof(value().c_str());
        else if (a == "--no-shown")
            o.shown = false;
        else if (a == "--display")
            o.display = value();
        else
            return std::nullopt;
    }
    if (o.pages < 1 || o.files < 1 || o.links.empty() || o.depth < 1 || o.cookiePages.empty() ||
        o.cookieDomains < 0 || o.cookieBytes < 1 || o.trees.empty())
        return std::nullopt;
    return o;
}

// An X server and a window manager for the shown runs, stopped with the object.
struct Display {
    std::unique_ptr<PeerProcess> server, manager;
    std::string name;
    bool Start(const std::string& existing) {
        if (!existing.empty()) {
            name = existing;
            return true;
        }
        if (!HaveProgram("Xvfb")) return false;
        // -displayfd writes the display's number on its own line: the peer's "port".
        server = std::make_unique<PeerProcess>(std::vector<std::string>{
            "sh", "-c", "exec Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>&1 >/dev/null 2>&1"});
        if (server->FirstLine().empty()) return false;
        name = ":" + server->FirstLine();
        if (HaveProgram("openbox"))
            manager = std::make_unique<PeerProcess>(std::vector<std::string>{
                "sh", "-c", "echo 1; DISPLAY=" + name + " exec openbox >/dev/null 2>&1"});
        ::usleep(300000); // the window manager takes the screen before the first window comes
        return true;
    }
};

struct Tool {
    std::string name;
    std::vector<std::string> argv;
    std::vector<std::string> env;
    std::vector<bench::ChildRun> runs;
    std::vector<long> requests;
    // After its last run: the size of the files it wrote, and whether it said the site map lists only part.
    double outputMegabytes = 0;
    bool partial = false;
};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double MedianSeconds(const Tool& t) {
    std::vector<double> s;
    for (const auto& r : t.runs)
        s.push_back(r.seconds);
    return Median(s);
}

double PeakMegabytes(const Tool& t) {
    double peak = 0;
    for (const auto& r : t.runs)
        peak = std::max(peak, r.peakMegabytes);
    return peak;
}

void WriteProfile(const std::string& file, TMapSpiderType type, const std::string& start,
                  const std::string& out) {
    fs::create_directories(out);
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(type);
    if (type == mstWebsite) {
        profile.SetWebsite(start);
    } else {
        profile.SetIndexPage(start);
        profile.SetWebsite("http://www.example.com/");
    }
    profile.SetUsePageTitles(true);
    profile.SetOutputFileName(out + "/sitemap.html");
    profile.SetMakeGoogleSM(true);
    profile.SetFileName(file);
    SaveProfileFile(profile, nullptr);
}

// The program's runs: headless, and shown when a display could be started.
void AddProgramRuns(std::vector<Tool>& tools, const Options& o, const std::string& dir,
                    const std::string& profile, const Display* display) {
    const std::string config = "XDG_CONFIG_HOME=" + dir + "/config";
    tools.push_back({"pathweaver -auto, headless",
                     {o.program, "-auto", profile},
                     {config, "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="},
                     {},
                     {}});
    if (display)
        tools.push_back({"pathweaver -auto, shown (Xvfb)",
                         {o.program, "-auto", profile},
                         {config, "DISPLAY=" + display->name, "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"},
                         {},
                         {}});
    if (!o.baseline.empty())
        tools.push_back({"pathweaver (baseline) -auto, headless",
                         {o.baseline, "-auto", profile},
                         {config, "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="},
                         {},
                         {}});
    if (!o.baseline.empty() && display)
        tools.push_back({"pathweaver (baseline) -auto, shown (Xvfb)",
                         {o.baseline, "-auto", profile},
                         {config, "DISPLAY=" + display->name, "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"},
                         {},
                         {}});
}

long CountLines(const std::string& text) {
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// After is called after each run with the tool and the file holding what the run printed.
void RunRounds(std::vector<Tool>& tools, const Options& o, const testsupport::NginxPeer* nginx,
               const std::string& dir, const std::function<void(Tool&, const std::string&)>& after = {}) {
    for (int round = 0; round < o.rounds; ++round)
        for (Tool& t : tools) {
            const long before = nginx ? CountLines(nginx->AccessLog()) : 0;
            const std::string output = dir + "/last-output.txt";
            bench::ChildRun run = bench::RunTimed(t.argv, t.env, o.timeout, output);
            // wget and wget2 end with 8 when the server answered an error, as the missing pages do.
            const bool peerErrors = run.status == 8 && t.name.rfind("wget", 0) == 0;
            if (run.status != 0 && !peerErrors) {
                std::fprintf(stderr, "%s: %s (status %d); its output is in %s\n", t.name.c_str(),
                             run.timedOut ? "stopped at the time limit" : "failed", run.status,
                             output.c_str());
                fs::copy_file(output, dir + "/failed-output.txt", fs::copy_options::overwrite_existing);
            }
            if (nginx) {
                ::usleep(200000); // nginx writes a request's line once its response has gone
                t.requests.push_back(CountLines(nginx->AccessLog()) - before);
            }
            t.runs.push_back(run);
            if (after) after(t, output);
            std::fprintf(stderr, "  round %d  %-32s %8.2f s%s\n", round + 1, t.name.c_str(), run.seconds,
                         run.timedOut ? " (stopped)" : "");
        }
}

double MedianCpu(const Tool& t) {
    std::vector<double> s;
    for (const auto& r : t.runs)
        s.push_back(r.cpuSeconds);
    return Median(s);
}

void Report(const std::vector<Tool>& tools, int items, const char* unit,
            const std::vector<std::string>& references) {
    std::printf("%-34s %10s %10s %10s %10s %10s\n", "program", "median s", "cpu s",
                std::string(unit).append("/s").c_str(), "requests", "peak MB");
    for (const Tool& t : tools) {
        const double s = MedianSeconds(t);
        std::string requests = "-";
        if (!t.requests.empty()) requests = std::to_string(t.requests.back());
        bool stopped = std::any_of(t.runs.begin(), t.runs.end(), [](const auto& r) { return r.timedOut; });
        std::printf("%-34s %10.3f%s %10.3f %10.0f %10s %10.1f\n", t.name.c_str(), s, stopped ? ">" : " ",
                    MedianCpu(t), items / s, requests.c_str(), PeakMegabytes(t));
    }
    for (const Tool& t : tools) {
        if (t.name.rfind("pathweaver", 0) != 0) continue;
        for (const Tool& r : tools)
            if (std::find(references.begin(), references.end(), r.name) != references.end())
                std::printf("%s / %s: wall %.2f, cpu %.2f\n", t.name.c_str(), r.name.c_str(),
                            MedianSeconds(t) / MedianSeconds(r), MedianCpu(t) / MedianCpu(r));
    }
}

// What the program's waits rest on (TWaitPolicy): a sleeping thread's wake-up by another, measured here
// and now, against the longest watch. A server on this machine answers in about the wake-up's time, so
// a waiter that watched for a quick answer spares two wake-ups a request; a slower answer is slept for.
void ReportWaiting() {
    constexpr int kHandOvers = 2000;
    std::mutex lock;
    std::condition_variable cv;
    int turn = 0;
    std::vector<double> sleeping, watching;
    std::chrono::steady_clock::time_point sent;
    std::thread other([&] {
        for (int i = 0; i < kHandOvers; ++i) {
            std::unique_lock guard(lock);
            cv.wait(guard, [&] { return turn == 2 * i + 1; });
            sleeping.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - sent).count());
            ++turn;
            cv.notify_one();
        }
    });
    for (int i = 0; i < kHandOvers; ++i) {
        std::unique_lock guard(lock);
        sent = std::chrono::steady_clock::now();
        ++turn;
        cv.notify_one();
        cv.wait(guard, [&] { return turn == 2 * i + 2; });
    }
    other.join();
    std::atomic<int> flag{0};
    std::atomic<int64_t> at{0};
    std::thread watcher([&] {
        for (int i = 0; i < kHandOvers; ++i) {
            while (flag.load(std::memory_order_acquire) != 2 * i + 1) {
            }
            const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
            watching.push_back(static_cast<double>(now - at.load()) / 1000.0);
            flag.store(2 * i + 2, std::memory_order_release);
        }
    });
    for (int i = 0; i < kHandOvers; ++i) {
        at.store(std::chrono::steady_clock::now().time_since_epoch().count());
        flag.store(2 * i + 1, std::memory_order_release);
        while (flag.load(std::memory_order_acquire) != 2 * i + 2) {
        }
    }
    watcher.join();
    std::printf("waiting: a sleeping thread woken by another %.1f us (median of %d), a watching one %.2f us;"
                " waiters watch up to %lld us, only after %u answers in a row that quick, the last within"
                " %lld ms, never on one processor (%s here)\n",
                Median(sleeping), kHandOvers, Median(watching),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(TWaitPolicy::kWatchFor).count()),
                TWaitPolicy::kQuickInARow,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(TWaitPolicy::kRecent).count()),
                TWaitPolicy::SeveralProcessors() ? "several" : "one");
}

int Crawl(const Options& o, const std::string& dir) {
    testsupport::NginxOptions n;
    n.logFormat = "$request_uri $status";
    n.server = testsupport::kGeneratedSiteRedirects;
    if (o.delayMs > 0) {
        n.echo = true;
        // echo_sleep refuses trailing zeros ("0.020000") with a 400 on every request.
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", o.delayMs / 1000.0);
        n.server += "    location / { echo_sleep " + std::string(seconds) +
                    "; echo_exec @file; }\n    location @file { try_files $uri $uri/index.html =404; }\n";
        if (testsupport::NginxEchoModule().empty()) {
            std::fprintf(stderr, "--delay needs nginx's echo module (libnginx-mod-http-echo)\n");
            return 1;
        }
    }
    testsupport::NginxPeer nginx(n);
    if (!nginx.Running()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    std::fprintf(stderr, "writing a site of %d pages...\n", o.pages);
    testsupport::WriteGeneratedSite(nginx.Root(), o.pages, nginx.Port());
    const std::string start = nginx.Url("/");
    WriteProfile(dir + "/crawl.qpw", mstWebsite, start, dir + "/out");

    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown run is left out\n");
    std::vector<Tool> tools;
    AddProgramRuns(tools, o, dir, dir + "/crawl.qpw", shown ? &display : nullptr);
    const fs::path self = fs::canonical("/proc/self/exe");
    tools.push_back({"crawl component (crawl_bench --url)",
                     {(self.parent_path() / "crawl_bench").string(), "--url", start},
                     {"DISPLAY="},
                     {},
                     {}});
    tools.push_back({"wget -r",
                     {"wget", "-q", "-r", "-l", "inf", "-np", "--delete-after", "-e", "robots=off", "-P",
                      dir + "/wget", start},
                     {},
                     {},
                     {}});
    tools.push_back({"wget2 --max-threads=1",
                     {"wget2", "-q", "-r", "-l", "inf", "-np", "--delete-after", "--max-threads=1",
                      "--no-robots", "-P", dir + "/wget2", start},
                     {},
                     {},
                     {}});
    // Every program meets a warm server and file cache: one untimed pass first.
    bench::RunTimed(
        {"wget2", "-q", "-r", "-l", "inf", "--delete-after", "--no-robots", "-P", dir + "/warm", start}, {},
        o.timeout);
    RunRounds(tools, o, &nginx, dir);
    std::printf("crawl of %d pages, %d ms added per response, %d rounds, program %s\n", o.pages, o.delayMs,
                o.rounds, o.program.c_str());
    Report(tools, o.pages, "pages",
           {"crawl component (crawl_bench --url)", "wget -r", "wget2 --max-threads=1"});
    ReportWaiting();
    return 0;
}

int Scan(const Options& o, const std::string& dir) {
    const std::string tree = dir + "/tree";
    std::fprintf(stderr, "writing a tree of %d files...\n", o.files);
    bench::WriteFolderTree(tree, o.files);
    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown runs are left out\n");
    struct Tree {
        std::string name, root;
        int files;
    };
    std::vector<Tree> trees{{"generated tree", tree, o.files}};
    if (fs::exists(fs::path(o.docs) / "index.html")) {
        int files = 0;
        for (const auto& e : fs::recursive_directory_iterator(o.docs))
            files += e.is_regular_file();
        trees.push_back({o.docs, o.docs, files});
    }
    for (const Tree& t : trees) {
        const std::string profile = dir + "/scan.qpw";
        WriteProfile(profile, mstLocal, t.root + "/index.html", dir + "/out");
        std::vector<Tool> tools;
        AddProgramRuns(tools, o, dir, profile, shown ? &display : nullptr);
        tools.push_back({"find -printf", {"find", t.root, "-printf", "%T@ %p\\n"}, {}, {}, {}});
        bench::RunTimed(tools.back().argv, {}, o.timeout); // a warm file cache for everyone
        RunRounds(tools, o, nullptr, dir);
        std::printf("scan of %s, %d files, %d rounds, program %s\n", t.name.c_str(), t.files, o.rounds,
                    o.program.c_str());
        Report(tools, t.files, "files", {"find -printf"});
    }
    return 0;
}

int Site(const Options& o, const std::string& dir) {
    if (!fs::exists(fs::path(o.docs) / "index.html")) {
        std::fprintf(stderr, "%s has no index.html\n", o.docs.c_str());
        return 1;
    }
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(o.docs))
        files += e.is_regular_file() && e.path().extension() == ".html";
    testsupport::NginxOptions n;
    n.logFormat = "$request_uri $status";
    n.server = "    location / { root " + fs::canonical(o.docs).string() + "; }\n";
    testsupport::NginxPeer nginx(n);
    if (!nginx.Running()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const std::string start = nginx.Url("/index.html");
    WriteProfile(dir + "/site.qpw", mstWebsite, start, dir + "/out");
    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown run is left out\n");
    std::vector<Tool> tools;
    AddProgramRuns(tools, o, dir, dir + "/site.qpw", shown ? &display : nullptr);
    tools.push_back({"wget2 --max-threads=1",
                     {"wget2", "-q", "-r", "-l", "0", "-np", "--delete-after", "--robots=off",
                      "--max-threads=1", "-P", dir + "/wget2", start},
                     {},
                     {},
                     {}});
    bench::RunTimed(tools.back().argv, {}, o.timeout); // a warm server and file cache for everyone
    RunRounds(tools, o, &nginx, dir);
    std::printf("crawl of %s (%d pages) from nginx, %d rounds, program %s\n", o.docs.c_str(), files, o.rounds,
                o.program.c_str());
    Report(tools, files, "pages", {"wget2 --max-threads=1"});
    ReportWaiting();
    return 0;
}

// Start pages of N links, each to a page D folders down in a branch of its own (/bK/d/d/.../page.html);
// nginx answers every address of the branches with the same small page, as no file system holds paths
// that long.
int Deep(const Options& o, const std::string& dir) {
    testsupport::NginxOptions n;
    n.logFormat = "$status";
    n.server =
        "    location /b { default_type text/html;\n"
        "        return 200 \"<html><head><title>Leaf</title></head><body>Leaf</body></html>\\n\"; }\n";
    // The request line of the deepest page is longer than nginx's buffers take by default.
    n.http = "    large_client_header_buffers 4 " + std::to_string(2 * o.depth + 1024) + ";\n";
    testsupport::NginxPeer nginx(n);
    if (!nginx.Running()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    std::string below;
    for (int i = 1; i < o.depth; ++i)
        below += "d/";
    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown runs are left out\n");
    struct Row {
        int links;
        std::vector<Tool> tools;
    };
    std::vector<Row> rows;
    for (int links : o.links) {
        std::string page = "<html><head><title>Deep</title></head><body>\n";
        for (int k = 1; k <= links; ++k)
            page += "<a href=\"/b" + std::to_string(k) + "/" + below + "page.html\">" + std::to_string(k) +
                    "</a>\n";
        page += "</body></html>\n";
        const std::string name = "links-" + std::to_string(links) + ".html";
        nginx.Put("/" + name, page);
        const std::string profile = dir + "/deep-" + std::to_string(links) + ".qpw";
        WriteProfile(profile, mstWebsite, nginx.Url("/" + name), dir + "/out-" + std::to_string(links));
        Row& row = rows.emplace_back(Row{links, {}});
        AddProgramRuns(row.tools, o, dir, profile, shown ? &display : nullptr);
        std::fprintf(stderr, "%d links %d folders deep, a start page of %.1f MB:\n", links, o.depth,
                     page.size() / 1e6);
        const std::string out = dir + "/out-" + std::to_string(links);
        RunRounds(row.tools, o, &nginx, dir, [&out](Tool& t, const std::string& printed) {
            std::error_code ec;
            t.outputMegabytes = 0;
            for (const auto& e : fs::directory_iterator(out, ec))
                t.outputMegabytes += static_cast<double>(e.file_size(ec)) / 1e6;
            t.partial = testsupport::ReadFile(printed).find("lists only part") != std::string::npos;
            fs::remove_all(out, ec); // gigabytes of site map are not left for the next run
            fs::create_directories(out, ec);
        });
    }
    std::printf("crawl of start pages with N links, each %d folders deep in its own branch, %d rounds, "
                "program %s\n",
                o.depth, o.rounds, o.program.c_str());
    std::printf("%-40s %6s %10s %10s %10s %10s %12s %10s %10s %10s %8s\n", "program", "links", "median s",
                "cpu s", "s/link", "cpu s/link", "cpu/link x1", "requests", "peak MB", "output MB",
                "partial");
    for (size_t t = 0; t < rows.front().tools.size(); ++t) {
        const double one = MedianCpu(rows.front().tools[t]) / rows.front().links;
        for (const Row& row : rows) {
            const Tool& tool = row.tools[t];
            const bool stopped =
                std::any_of(tool.runs.begin(), tool.runs.end(), [](const auto& r) { return r.timedOut; });
            const double s = MedianSeconds(tool), cpu = MedianCpu(tool);
            std::printf("%-40s %6d %10.3f%s %10.3f %10.3f %10.3f %12.2f %10ld %10.1f %10.1f %8s\n",
                        tool.name.c_str(), row.links, s, stopped ? ">" : " ", cpu, s / row.links,
                        cpu / row.links, cpu / row.links / one,
                        tool.requests.empty() ? 0L : tool.requests.back(), PeakMegabytes(tool),
                        tool.outputMegabytes, tool.partial ? "said" : "-");
        }
    }
    return 0;
}

// A local site of one page whose folder holds a link to a chain of folders, each of a long name, made
// (and removed) one level at a time. The site alone is scanned first: what each tree adds to its memory and
// time, per level, should not grow with the depth.
int LocalDeep(const Options& o, const std::string& dir) {
    const std::string site = dir + "/site";
    fs::create_directories(site);
    std::ofstream(site + "/index.html")
        << "<html><head><title>Local deep</title></head><body></body></html>\n";
    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown runs are left out\n");
    const std::string profile = dir + "/localdeep.qpw";
    WriteProfile(profile, mstLocal, site + "/index.html", dir + "/out");
    struct Row {
        int length = 0, depth = 0;
        std::vector<Tool> tools;
    };
    std::vector<Row> rows;
    rows.push_back({});
    AddProgramRuns(rows.back().tools, o, dir, profile, shown ? &display : nullptr);
    std::fprintf(stderr, "the site alone:\n");
    RunRounds(rows.back().tools, o, nullptr, dir);
    for (const auto& [length, depth] : o.trees) {
        const std::string top = dir + "/chain";
        fs::create_directories(top);
        std::fprintf(stderr, "%d folders of %d letters:\n", depth, length);
        {
            const testsupport::DeepFolders chain(top, depth, 0, length);
            if (!chain.Made()) {
                std::fprintf(stderr, "the chain could not be made\n");
                return 1;
            }
            fs::create_directory_symlink(top, site + "/chain");
            Row& row = rows.emplace_back(Row{length, depth, {}});
            AddProgramRuns(row.tools, o, dir, profile, shown ? &display : nullptr);
            RunRounds(row.tools, o, nullptr, dir);
            fs::remove(site + "/chain");
        }
        fs::remove(top);
    }
    std::printf("scan of a local site linking to a chain of D folders of L letters, %d rounds, program %s\n",
                o.rounds, o.program.c_str());
    std::printf("%-40s %10s %10s %10s %10s %12s %10s %12s %10s\n", "program", "L x D", "median s", "cpu s",
                "peak MB", "KB/level", "x first", "cpu ms/level", "x first");
    for (size_t t = 0; t < rows.front().tools.size(); ++t) {
        const Tool& alone = rows.front().tools[t];
        std::map<int, std::pair<double, double>> first; // by name length: KB and cpu per level
        for (const Row& row : rows) {
            const Tool& tool = row.tools[t];
            const bool stopped =
                std::any_of(tool.runs.begin(), tool.runs.end(), [](const auto& r) { return r.timedOut; });
            const std::string tree = row.depth == 0
                                         ? std::string("site")
                                         : std::to_string(row.length) + "x" + std::to_string(row.depth);
            if (row.depth == 0) {
                std::printf("%-40s %10s %10.3f%s %10.3f %10.1f\n", tool.name.c_str(), tree.c_str(),
                            MedianSeconds(tool), stopped ? ">" : " ", MedianCpu(tool), PeakMegabytes(tool));
                continue;
            }
            const double kb = 1024 * (PeakMegabytes(tool) - PeakMegabytes(alone)) / row.depth;
            const double cpu = 1000 * (MedianCpu(tool) - MedianCpu(alone)) / row.depth;
            const auto [kb1, cpu1] = first.try_emplace(row.length, kb, cpu).first->second;
            std::printf("%-40s %10s %10.3f%s %10.3f %10.1f %12.1f %10.2f %12.3f %10.2f\n", tool.name.c_str(),
                        tree.c_str(), MedianSeconds(tool), stopped ? ">" : " ", MedianCpu(tool),
                        PeakMegabytes(tool), kb, kb / kb1, cpu, cpu / cpu1);
        }
    }
    return 0;
}

// Start pages linking to N pages (/c/pK.html), each answered with 50 cookies of 4 KB named after it: a
// site that floods the cookie jar, crawled by pathweaver -auto. With --domains D the site is
// www.h1.h2...hD.localhost (the library takes *.localhost for loopback) and the cookies are set for its
// parent domains in turn, so that every request matches the cookies of all of them.
int Cookies(const Options& o, const std::string& dir) {
    testsupport::NginxOptions n;
    n.logFormat = "$status";
    // nginx takes at most 4 KB a parameter: the value is made of a variable of up to 2,000 bytes.
    const size_t chunk = std::min<size_t>(static_cast<size_t>(o.cookieBytes), 2000);
    std::string value;
    for (size_t left = static_cast<size_t>(o.cookieBytes); left > 0; left -= std::min(left, chunk))
        value += left >= chunk ? "$cv" : std::string(left, 'x');
    // parents[0] is h1.h2...hD.localhost, the last hD.localhost.
    std::vector<std::string> parents;
    std::string suffix = "localhost";
    for (int level = o.cookieDomains; level >= 1; --level) {
        suffix = "h" + std::to_string(level) + "." + suffix;
        parents.insert(parents.begin(), suffix);
    }
    const std::string host = parents.empty() ? "127.0.0.1" : "www." + parents.front();
    n.server =
        "    set $cv \"" + std::string(chunk, 'x') + "\";\n    location ~ ^/c/p(?<page>[0-9]+)[.]html$ {\n";
    for (int i = 0; i < 50; ++i) {
        const std::string domain =
            parents.empty() ? "" : "; Domain=" + parents[static_cast<size_t>(i) % parents.size()];
        n.server += "        add_header Set-Cookie \"k${page}c" + std::to_string(i) + "=" + value +
                    "; Path=/" + domain + "\";\n";
    }
    n.server += "    }\n";
    testsupport::NginxPeer nginx(n);
    if (!nginx.Running()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const int most = *std::max_element(o.cookiePages.begin(), o.cookiePages.end());
    for (int k = 1; k <= most; ++k)
        nginx.Put("/c/p" + std::to_string(k) + ".html", "<html><head><title>Page " + std::to_string(k) +
                                                            "</title></head><body>Page</body></html>\n");
    Display display;
    const bool shown = o.shown && display.Start(o.display);
    if (o.shown && !shown) std::fprintf(stderr, "no Xvfb: the shown runs are left out\n");
    struct Row {
        int pages;
        std::vector<Tool> tools;
    };
    std::vector<Row> rows;
    for (int pages : o.cookiePages) {
        std::string start = "<html><head><title>Cookies</title></head><body>\n";
        for (int k = 1; k <= pages; ++k)
            start += "<a href=\"/c/p" + std::to_string(k) + ".html\">" + std::to_string(k) + "</a>\n";
        const std::string name = "cookies-" + std::to_string(pages) + ".html";
        nginx.Put("/" + name, start + "</body></html>\n");
        const std::string profile = dir + "/cookies-" + std::to_string(pages) + ".qpw";
        WriteProfile(profile, mstWebsite, nginx.Url("/" + name, host), dir + "/out-" + std::to_string(pages));
        Row& row = rows.emplace_back(Row{pages, {}});
        AddProgramRuns(row.tools, o, dir, profile, shown ? &display : nullptr);
        std::fprintf(stderr, "%d pages of 50 new %d-byte cookies each:\n", pages, o.cookieBytes);
        RunRounds(row.tools, o, &nginx, dir);
    }
    std::printf("crawl of N pages of %s each setting 50 new %d-byte cookies, %d rounds, program %s\n",
                host.c_str(), o.cookieBytes, o.rounds, o.program.c_str());
    std::printf("%-40s %6s %10s %10s %12s %12s %10s %10s\n", "program", "pages", "median s", "cpu s",
                "cpu ms/page", "cpu/page x1", "requests", "peak MB");
    for (size_t t = 0; t < rows.front().tools.size(); ++t) {
        const double first = MedianCpu(rows.front().tools[t]) / rows.front().pages;
        for (const Row& row : rows) {
            const Tool& tool = row.tools[t];
            const bool stopped =
                std::any_of(tool.runs.begin(), tool.runs.end(), [](const auto& r) { return r.timedOut; });
            const double cpu = MedianCpu(tool);
            std::printf("%-40s %6d %10.3f%s %10.3f %12.3f %12.2f %10ld %10.1f\n", tool.name.c_str(),
                        row.pages, MedianSeconds(tool), stopped ? ">" : " ", cpu, 1000 * cpu / row.pages,
                        cpu / row.pages / first, tool.requests.empty() ? 0L : tool.requests.back(),
                        PeakMegabytes(tool));
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage,
                          {"--pages", "--domains", "--bytes", "--delay", "--files", "--docs", "--links",
                           "--depth", "--trees", "--rounds", "--program", "--baseline", "--timeout",
                           "--no-shown", "--display"});
    const auto options = Parse(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    char pattern[] = "/tmp/pw-program-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    int status = 1;
    try {
        status = options->mode == "crawl"       ? Crawl(*options, dir)
                 : options->mode == "site"      ? Site(*options, dir)
                 : options->mode == "deep"      ? Deep(*options, dir)
                 : options->mode == "cookies"   ? Cookies(*options, dir)
                 : options->mode == "localdeep" ? LocalDeep(*options, dir)
                                                : Scan(*options, dir);
    } catch (const Exception& e) {
        std::fprintf(stderr, "program_bench: %s\n", e.Message().c_str());
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return status;
}
