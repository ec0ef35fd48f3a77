// HTTP answers fed to the whole transfer path, the network library included: a few requests in turn,
// each answered from the input by a peer on loopback, on the connection kept from the answer before
// where the transfers keep it. The first byte chooses how they are asked (see Mode); the answers follow,
// parted by kSeparator.
#include "platform/net/fuzz/answer_peer.h"
#include "platform/net/wininet.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace http_answers_fuzz {
namespace {

constexpr std::string_view kSeparator = "\n--next--\n";
constexpr size_t kMostAnswers = 4;

enum Mode : uint8_t {
    kPost = 1,
    // Credentials the library answers challenges with.
    kLogin = 2,
    // Through the peer as a proxy, redirects followed: any address they lead to reaches the peer.
    kProxied = 4,
};

std::vector<std::string> Answers(std::string_view input) {
    std::vector<std::string> answers;
    while (answers.size() + 1 < kMostAnswers) {
        const size_t at = input.find(kSeparator);
        if (at == std::string_view::npos) break;
        answers.emplace_back(input.substr(0, at));
        input.remove_prefix(at + kSeparator.size());
    }
    answers.emplace_back(input);
    return answers;
}

void Ask(HINTERNET connection, uint8_t mode, int index) {
    const bool post = mode & kPost;
    DWORD flags = INTERNET_FLAG_KEEP_CONNECTION;
    if (!(mode & kProxied)) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    HINTERNET request = HttpOpenRequest(connection, post ? "POST" : "GET", "/page" + std::to_string(index),
                                        "", {"text/html, */*"}, flags);
    if (!request) std::abort();
    // The peer closes a connection that stalls; these only bound what a fault could hold.
    InternetSetOption(request, INTERNET_OPTION_RECEIVE_TIMEOUT, 2000u);
    InternetSetOption(request, INTERNET_OPTION_TOTAL_TIMEOUT, 4000u);
    if ((mode & kLogin) && !(mode & kProxied)) {
        InternetSetOption(request, INTERNET_OPTION_USERNAME, std::string("user"));
        InternetSetOption(request, INTERNET_OPTION_PASSWORD, std::string("secret"));
    }
    if (HttpSendRequest(request, post ? "Content-Type: application/x-www-form-urlencoded" : "",
                        post ? "a=1&b=2" : "")) {
        std::string value;
        for (const DWORD level : {HTTP_QUERY_STATUS_CODE, HTTP_QUERY_STATUS_TEXT, HTTP_QUERY_RAW_HEADERS_CRLF,
                                  HTTP_QUERY_CONTENT_LENGTH, HTTP_QUERY_LOCATION, HTTP_QUERY_LAST_MODIFIED})
            HttpQueryInfo(request, level, value);
        InternetEffectiveUrl(request);
        char buffer[4096];
        DWORD n = 0;
        while (InternetReadFile(request, buffer, sizeof buffer, n) && n > 0) {
        }
    }
    InternetCloseHandle(request);
}

} // namespace
} // namespace http_answers_fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A challenge for Kerberos finds no configuration and no tickets here, and so asks no one for them.
    setenv("KRB5_CONFIG", "/dev/null", 1);
    setenv("KRB5CCNAME", "FILE:/dev/null", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace http_answers_fuzz;
    if (size < 1) return 0;
    static AnswerPeer& peer = *new AnswerPeer;
    static const std::string self = "127.0.0.1:" + std::to_string(peer.Port());
    static const HINTERNET direct = InternetOpen("FuzzAgent/1.0", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    static const HINTERNET proxied = InternetOpen("FuzzAgent/1.0", INTERNET_OPEN_TYPE_PROXY, self, "", 0);
    const uint8_t mode = data[0];
    const std::vector<std::string> answers =
        Answers(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    peer.Serve(answers);
    HINTERNET connection = InternetConnect((mode & kProxied) ? proxied : direct, "127.0.0.1",
                                           static_cast<WORD>(peer.Port()), "", "", INTERNET_SERVICE_HTTP, 0);
    if (!connection) std::abort();
    for (size_t i = 0; i < answers.size(); ++i)
        Ask(connection, mode, static_cast<int>(i));
    InternetCloseHandle(connection);
    // The next input starts on new connections.
    peer.Drop();
    return 0;
}
