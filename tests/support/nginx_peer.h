#pragma once
// nginx started by a test on loopback with a configuration made from the parts the test gives; it
// runs in the foreground as a child of the test and is stopped, by its process id, when the object goes.
#include "tests/support/temp_dir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct NginxOptions {
    // Directives inside the server block: locations and the like.
    std::string server;
    // Directives at the http level, ahead of the server block (types, keep-alive limits...).
    std::string http;
    // Loopback addresses the server listens on, all at one port.
    std::vector<std::string> hosts{"127.0.0.1"};
    // The access log's line format, e.g. "$request_uri $status"; empty keeps nginx's own.
    std::string logFormat;
    // Serves https with a certificate for 127.0.0.1 made for this peer (see CaFile()).
    bool tls = false;
    // Loads the echo module (echo, echo_sleep) when it is installed.
    bool echo = false;
};

// The nginx program's path; empty when it is not installed.
std::string NginxProgram();
// The echo module's path; empty when it is not installed.
std::string NginxEchoModule();

class NginxPeer {
public:
    // Running() is false when nginx is missing or did not answer.
    explicit NginxPeer(const NginxOptions& options);
    ~NginxPeer();
    NginxPeer(const NginxPeer&) = delete;
    NginxPeer& operator=(const NginxPeer&) = delete;

    bool Running() const { return pid_ > 0; }
    int Port() const { return port_; }
    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const;
    // The served folder.
    std::string Root() const { return dir_.File("html"); }
    // The certificate to trust for https.
    std::string CaFile() const { return dir_.File("cert.pem"); }
    // Writes a file under Root(), making its folders.
    void Put(const std::string& path, const std::string& content) const;
    // The requests logged so far, one line each. nginx writes a request's line after its response has
    // gone, so a caller that knows how many lines to expect waits (up to a minute) for at least those.
    std::string AccessLog(size_t AtLeastLines = 0) const;
    // Ends nginx and waits for it.
    void Stop();

private:
    bool start(const NginxOptions& options);

    TempDir dir_{"pw-nginx"};
    bool tls_ = false;
    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace testsupport
