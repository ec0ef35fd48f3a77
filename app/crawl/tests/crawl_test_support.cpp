#include "crawl_test_support.h"

#include "fetch/http/win_thread.h"
#include "platform/gui/gui_application.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace crawl_test {
namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
    }
    void TearDown() override {
        winthread::WaitForOrphans(10000);
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "appcrawl_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

bool waitForPort(int port) {
    for (int i = 0; i < 100; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void writeFile(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

} // namespace

TempDir::TempDir() {
    char pattern[] = "/tmp/pw-crawl-XXXXXX";
    path_ = ::mkdtemp(pattern);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

Site::Site(const std::string& directives) {
    const std::string nginx = "/usr/sbin/nginx";
    if (!std::filesystem::exists(nginx)) return;
    const std::string d = dir_.Path();
    std::filesystem::create_directories(d + "/html");
    std::filesystem::create_directories(d + "/logs");
    port_ = FreePort();
    const std::string port = std::to_string(port_);
    std::string echo;
    if (std::filesystem::exists("/usr/lib/nginx/modules/ngx_http_echo_module.so"))
        echo = "load_module /usr/lib/nginx/modules/ngx_http_echo_module.so;\n";
    std::string temp;
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        temp += std::string("  ") + kind + "_temp_path " + d + "/tmp_" + kind + ";\n";
    const std::string conf =
        echo + "daemon off;\nmaster_process off;\nerror_log " + d + "/logs/error.log;\npid " + d +
        "/nginx.pid;\nevents { worker_connections 256; }\nhttp {\n  log_format crawl '$request_uri "
        "$status';\n"
        "  access_log " +
        d + "/logs/access.log crawl;\n" + temp +
        "  types { text/html html htm; text/plain txt; application/pdf pdf; image/png png; }\n"
        "  default_type application/octet-stream;\n  server {\n    listen 127.0.0.1:" +
        port + ";\n    listen 127.0.0.2:" + port + ";\n    root " + d + "/html;\n" + directives +
        "\n  }\n}\n";
    writeFile(d + "/nginx.conf", conf);
    peer_ = std::make_unique<PeerProcess>(std::vector<std::string>{
        "sh", "-c", "echo " + port + "; exec " + nginx + " -p " + d + " -c " + d + "/nginx.conf"});
    if (!waitForPort(port_)) peer_.reset();
}

std::string Site::Url(const std::string& path, const std::string& host) const {
    return "http://" + host + ":" + std::to_string(port_) + path;
}

void Site::Put(const std::string& path, const std::string& content) const {
    writeFile(dir_.Path() + "/html" + path, content);
}

std::string Site::AccessLog() const {
    std::ifstream in(dir_.Path() + "/logs/access.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace crawl_test
