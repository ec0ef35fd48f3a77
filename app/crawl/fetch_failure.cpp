#include "app/crawl/fetch_failure.h"

#include "fetch/file_fetcher.h"
#include "fetch/http_status_text.h"
#include "platform/net/net_texts.h"
#include "platform/net/wininet.h"

namespace crawl {
namespace {

std::string Answered(int code) {
    const std::string status = std::to_string(code) + ": " + HttpStatusText(code);
    switch (code) {
    case 404:
    case 410:
        return "the page was not found (" + status + ")";
    case 401:
    case 403:
    case 407:
        return "access was refused (" + status + ")";
    default:
        return "the server answered " + status;
    }
}

// Why no answer came, or why it was cut short (Lost), with what the network layer said besides.
std::string NetworkReason(uint32_t error, const std::string& said, bool lost) {
    switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
        return "the connection was refused";
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
        return "the host name was not found";
    case ERROR_INTERNET_TIMEOUT:
        return lost ? "the page came too slowly and timed out" : "the server did not answer in time";
    case ERROR_INTERNET_SEC_CERT_ERRORS:
        return "the server's certificate was not accepted";
    case ERROR_INTERNET_BODY_TOO_LARGE:
        return "the page is too large (over " + std::to_string(kMaxBodyBytes >> 20) + " MiB)";
    case ERROR_INTERNET_HEADER_TOO_LARGE:
        return "the server's answer is too large (its header is over " +
               std::to_string(kMaxHeaderBytes >> 10) + " KiB)";
    case ERROR_INTERNET_BAD_RESPONSE:
        return "the server's answer is not HTTP";
    case ERROR_INTERNET_REDIRECT_FAILED:
        return "it redirects too many times";
    case ERROR_INTERNET_INTERNAL_ERROR:
        return "the network library could not be started (" + said + ")";
    case ERROR_INTERNET_TRUST_UNUSABLE:
        return said.empty() ? net_text::OwnTrust : said;
    case ERROR_INTERNET_PROXY_FAILED:
        return said.empty() ? "the proxy could not take the request to the server" : said;
    case ERROR_INTERNET_OUT_OF_HANDLES:
        return "the network library could not start a transfer";
    case ERROR_INTERNET_URL_TOO_LONG:
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
        return "the address cannot be used";
    default:
        return lost ? "the connection was lost before the page was complete"
                    : "the server could not be reached";
    }
}

} // namespace

std::string FailureReason(const TFileFetcher& Fetcher) {
    const int response = Fetcher.Response();
    if (response == 0) return NetworkReason(Fetcher.LastError(), Fetcher.LastErrorText(), false);
    if (response == -3) return NetworkReason(Fetcher.LastError(), Fetcher.LastErrorText(), true);
    if (response == -2) return "the transfer was stopped";
    if (response >= 100 && response != 200) return Answered(response);
    if (Fetcher.ContentRefused())
        return "it is not a page" +
               (Fetcher.ContentType().empty() ? std::string() : " (" + Fetcher.ContentType() + ")");
    return "it could not be read";
}

} // namespace crawl
