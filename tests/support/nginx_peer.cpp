#include "tests/support/nginx_peer.h"

#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "tests/support/wait.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {
namespace {

// nginx's quoted strings take a backslash before a quote or a backslash.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out + "'";
}

bool makeCertificate(const std::string& dir) {
    const std::string cmd =
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout " + dir + "/key.pem -out " + dir +
        "/cert.pem -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1" + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::string configuration(const std::string& d, int port, const NginxOptions& o) {
    std::string conf;
    if (o.echo && !NginxEchoModule().empty()) conf += "load_module " + NginxEchoModule() + ";\n";
    conf += "daemon off;\nmaster_process off;\nerror_log " + d + "/logs/error.log;\npid " + d +
            "/nginx.pid;\nevents { worker_connections 256; }\nhttp {\n";
    if (!o.logFormat.empty()) conf += "  log_format peer " + quoted(o.logFormat) + ";\n";
    conf += "  access_log " + d + "/logs/access.log" + (o.logFormat.empty() ? "" : " peer") + ";\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        conf += std::string("  ") + kind + "_temp_path " + d + "/tmp_" + kind + ";\n";
    conf += o.http + "\n  server {\n";
    for (const std::string& host : o.hosts)
        conf += "    listen " + host + ":" + std::to_string(port) + (o.tls ? " ssl" : "") + ";\n";
    if (o.tls)
        conf += "    ssl_certificate " + d + "/cert.pem;\n    ssl_certificate_key " + d + "/key.pem;\n";
    conf += "    root " + d + "/html;\n" + o.server + "\n  }\n}\n";
    return conf;
}

pid_t spawn(const std::vector<std::string>& argv) {
    // Only async-signal-safe calls between fork and exec: the test program runs threads.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    ::execv(args[0], args.data());
    ::_exit(127);
}

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

std::string NginxProgram() {
    if (::access("/usr/sbin/nginx", X_OK) == 0) return "/usr/sbin/nginx";
    return ProgramPath("nginx");
}

std::string NginxEchoModule() {
    for (const char* dir :
         {"/usr/lib/nginx/modules", "/usr/lib64/nginx/modules", "/usr/share/nginx/modules"}) {
        const std::string path = std::string(dir) + "/ngx_http_echo_module.so";
        if (std::filesystem::exists(path)) return path;
    }
    return {};
}

NginxPeer::NginxPeer(const NginxOptions& options) : tls_(options.tls) {
    if (!start(options)) Stop();
}

NginxPeer::~NginxPeer() {
    Stop();
}

bool NginxPeer::start(const NginxOptions& options) {
    const std::string nginx = NginxProgram();
    if (nginx.empty() || options.hosts.empty()) return false;
    const std::string d = dir_.Path();
    std::filesystem::create_directories(d + "/html");
    std::filesystem::create_directories(d + "/logs");
    if (options.tls && !makeCertificate(d)) return false;
    // nginx cannot listen at port 0: it is given a free port, and a fresh one when another process took
    // that port first (nginx then ends). It runs once it listens on the port itself at every host.
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreePort();
        if (port_ <= 0) return false;
        WriteFile(d + "/nginx.conf", configuration(d, port_, options));
        // -e keeps nginx from opening its built-in error log before it has read the configuration.
        pid_ = spawn({nginx, "-e", d + "/logs/error.log", "-p", d, "-c", d + "/nginx.conf"});
        if (pid_ <= 0) return false;
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::all_of(options.hosts.begin(), options.hosts.end(),
                            [&](const std::string& host) { return ListensOn(pid_, host, port_); }))
                return true;
            if (exited(pid_)) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (pid_ > 0) return false; // neither listening nor ended: Stop() ends it
    }
    return false;
}

void NginxPeer::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!exited(pid_)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

std::string NginxPeer::Url(const std::string& path, const std::string& host) const {
    return std::string(tls_ ? "https" : "http") + "://" + host + ":" + std::to_string(port_) + path;
}

void NginxPeer::Put(const std::string& path, const std::string& content) const {
    WriteFile(Root() + path, content);
}

std::string NginxPeer::AccessLog(size_t AtLeastLines) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        std::string log = ReadFile(dir_.File("logs/access.log"));
        if (static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= AtLeastLines ||
            std::chrono::steady_clock::now() > until)
            return log;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace testsupport
