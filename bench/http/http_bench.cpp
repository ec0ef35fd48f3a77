// Fetches 2,000 small pages and one 100 MiB file from a local nginx through the HTTP client component
// (worker thread and GUI-thread events included), then the same addresses with curl in one process,
// and prints the times and their ratios. Run by hand: http_bench [pages] [large MiB].
#include "bench/support/usage.h"
#include "fetch/http/win_http.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/rtl/stream.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Runs one transfer to its end; false when it did not end with OnDone.
bool fetchOne(TWinHTTP& http, const std::string& url, bool& done) {
    done = false;
    http.URL = url;
    if (!http.Read(false)) return false;
    while (http.Busy()) {
        MsgWaitForMultipleObjects(0, nullptr, 0, 50, QS_ALLINPUT);
        ProcessMessages();
    }
    return done;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: http_bench [pages (default 2000)] [large MiB (default 100)]\n"
    "  Fetches small pages and one large file from a local nginx through the HTTP client component,\n"
    "  then with curl, and prints the times and their ratios.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int largeMiB = argc > 2 ? std::atoi(argv[2]) : 100;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pw::gui::GuiApplication app(argc, argv);

    char pattern[] = "/tmp/pw-http-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    std::filesystem::create_directories(dir + "/html/p");
    std::filesystem::create_directories(dir + "/logs");
    const std::string page(2048, 'x');
    for (int i = 0; i < pages; ++i)
        std::ofstream(dir + "/html/p/" + std::to_string(i) + ".html") << "<html>" << i << page << "</html>";
    {
        std::ofstream big(dir + "/html/large.bin", std::ios::binary);
        const std::string chunk(1 << 20, 'L');
        for (int i = 0; i < largeMiB; ++i)
            big << chunk;
    }
    const int port = testsupport::FreePort();
    const std::string conf = "daemon off;\nmaster_process off;\nerror_log " + dir + "/logs/error.log;\npid " +
                             dir +
                             "/nginx.pid;\nevents { worker_connections 256; }\nhttp {\n  access_log off;\n"
                             "  keepalive_requests 1000000;\n  sendfile on;\n  client_body_temp_path " +
                             dir + "/tmp;\n  proxy_temp_path " + dir + "/tmp;\n  fastcgi_temp_path " + dir +
                             "/tmp;\n  uwsgi_temp_path " + dir + "/tmp;\n  scgi_temp_path " + dir +
                             "/tmp;\n  server {\n    listen 127.0.0.1:" + std::to_string(port) +
                             ";\n    root " + dir + "/html;\n  }\n}\n";
    std::ofstream(dir + "/nginx.conf") << conf;
    PeerProcess nginx(
        {"sh", "-c",
         "echo " + std::to_string(port) + "; exec /usr/sbin/nginx -p " + dir + " -c " + dir + "/nginx.conf"});
    if (!testsupport::WaitForPort(port)) {
        std::fprintf(stderr, "nginx did not start (nginx-light is needed)\n");
        return 1;
    }
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    TWinHTTP http(nullptr);
    bool done = false;
    int64_t bytes = 0;
    http.OnDone = [&](TObject*, const std::string&, int64_t size, TStream*) {
        done = true;
        bytes += size;
    };
    // Warm-up: one connection and the thread machinery.
    fetchOne(http, base + "/p/0.html", done);
    bytes = 0;

    auto start = Clock::now();
    int failed = 0;
    for (int i = 0; i < pages; ++i)
        if (!fetchOne(http, base + "/p/" + std::to_string(i) + ".html", done)) ++failed;
    const double smallOurs = secondsSince(start);

    http.OutputFileName = dir + "/large.out";
    start = Clock::now();
    if (!fetchOne(http, base + "/large.bin", done)) ++failed;
    const double largeOurs = secondsSince(start);
    const auto largeSize = std::filesystem::file_size(dir + "/large.out");

    {
        std::ofstream list(dir + "/urls.txt");
        for (int i = 0; i < pages; ++i)
            list << "url = \"" << base << "/p/" << i << ".html\"\noutput = \"/dev/null\"\n";
    }
    start = Clock::now();
    const std::string curlSmall = "curl -s --parallel-max 1 -K " + dir + "/urls.txt";
    const int rc1 = std::system(curlSmall.c_str());
    const double smallCurl = secondsSince(start);
    start = Clock::now();
    const std::string curlLarge = "curl -s -o " + dir + "/large.curl " + base + "/large.bin";
    const int rc2 = std::system(curlLarge.c_str());
    const double largeCurl = secondsSince(start);

    std::printf("small pages: %d in %.3f s (component) vs %.3f s (curl): ratio %.2f (goal <= 1.5)\n", pages,
                smallOurs, smallCurl, smallOurs / smallCurl);
    std::printf("large file:  %d MiB in %.3f s (component) vs %.3f s (curl): ratio %.2f (goal <= 1.2)\n",
                largeMiB, largeOurs, largeCurl, largeOurs / largeCurl);
    std::printf("failures: %d; large file %llu bytes; curl exit %d/%d\n", failed,
                static_cast<unsigned long long>(largeSize), rc1, rc2);
    std::filesystem::remove_all(dir);
    return failed == 0 && rc1 == 0 && rc2 == 0 ? 0 : 1;
}
