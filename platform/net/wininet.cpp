#include "platform/net/wininet.h"

#include "platform/net/curl_library.h"
#include "platform/net/http_request.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

struct InternetHandle {
    enum class Kind { Root, Connection, Request };
    explicit InternetHandle(Kind k) : kind(k) {}

    Kind kind;
    net::RequestSettings settings;  // what children inherit, or the request's own
    net::RequestSettings inherited; // a request's: what its connection gave it, for reopening
    InternetStatusCallback callback;
    bool offline = false;
    std::string host;
    WORD port = 0;
    std::unique_ptr<net::HttpRequest> request;
};

namespace {

thread_local DWORD lastError = 0;
thread_local std::string lastErrorText;

bool Fail(DWORD error, std::string text = {}) {
    lastError = error;
    lastErrorText = std::move(text);
    return false;
}

void Succeeded() {
    lastError = 0;
    lastErrorText.clear();
}

// Every live handle; a handle not in here is stale or foreign and every call on it fails cleanly.
std::mutex& TableLock() {
    static std::mutex m;
    return m;
}
std::set<HINTERNET>& Table() {
    static std::set<HINTERNET> handles;
    return handles;
}

HINTERNET RegisterHandle(std::unique_ptr<InternetHandle> h) {
    std::lock_guard lock(TableLock());
    HINTERNET raw = h.release();
    Table().insert(raw);
    return raw;
}

InternetHandle* Lookup(HINTERNET h, InternetHandle::Kind kind) {
    std::lock_guard lock(TableLock());
    if (!Table().count(h) || h->kind != kind) {
        Fail(ERROR_INVALID_HANDLE_);
        return nullptr;
    }
    return h;
}

InternetHandle* LookupAny(HINTERNET h) {
    std::lock_guard lock(TableLock());
    if (!Table().count(h)) {
        Fail(ERROR_INVALID_HANDLE_);
        return nullptr;
    }
    return h;
}

std::string HeaderName(const std::string& line) {
    return Trim(line.substr(0, line.find(':')));
}

} // namespace

DWORD InternetGetLastError() {
    return lastError;
}

std::string InternetGetLastErrorText() {
    return lastErrorText;
}

void InternetSetCaBundle(const std::string& path) {
    net::SetCaBundle(path);
}

std::string InternetEscapeUrl(const std::string& url) {
    static const char* hex = "0123456789ABCDEF";
    auto isHex = [](char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); };
    std::string out;
    out.reserve(url.size());
    for (size_t i = 0; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        const bool keepPercent = c == '%' && i + 2 < url.size() && isHex(url[i + 1]) && isHex(url[i + 2]);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}' || (c == '%' && !keepPercent)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

HINTERNET InternetOpen(const std::string& agent, DWORD accessType, const std::string& proxy,
                       const std::string& proxyBypass, DWORD flags) {
    // The network library is loaded here, for the first transfer: one that cannot be used fails every
    // transfer from its start, saying why.
    std::string why;
    if (!net::CurlReady(why)) {
        Fail(ERROR_INTERNET_INTERNAL_ERROR, why);
        return nullptr;
    }
    auto h = std::make_unique<InternetHandle>(InternetHandle::Kind::Root);
    h->settings.agent = agent;
    h->settings.accessType = accessType;
    h->settings.proxy = proxy;
    h->settings.proxyBypass = proxyBypass;
    h->offline = flags & INTERNET_FLAG_OFFLINE;
    Succeeded();
    return RegisterHandle(std::move(h));
}

void InternetSetStatusCallback(HINTERNET handle, InternetStatusCallback callback) {
    InternetHandle* h = LookupAny(handle);
    if (!h) return;
    h->callback = std::move(callback);
    if (h->request) h->request->SetStatusCallback(h->callback);
}

HINTERNET InternetConnect(HINTERNET root, const std::string& host, WORD port, const std::string& user,
                          const std::string& password, DWORD service, DWORD) {
    InternetHandle* parent = Lookup(root, InternetHandle::Kind::Root);
    if (!parent) return nullptr;
    if (service != INTERNET_SERVICE_HTTP || host.empty()) {
        Fail(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    auto h = std::make_unique<InternetHandle>(InternetHandle::Kind::Connection);
    h->settings = parent->settings;
    h->callback = parent->callback;
    h->offline = parent->offline;
    h->host = host;
    h->port = port;
    h->settings.user = user;
    h->settings.password = password;
    Succeeded();
    return RegisterHandle(std::move(h));
}

namespace {

// Aims a request handle at objectName on its connection's server; false when the address is too long.
bool AimRequest(InternetHandle& h, const std::string& verb, const std::string& objectName,
                const std::string& referer, const std::vector<std::string>& acceptTypes, DWORD flags) {
    const bool secure = flags & INTERNET_FLAG_SECURE;
    std::string object = objectName.substr(0, objectName.find('#')); // fragments stay with the client
    if (object.empty() || object[0] != '/') object.insert(0, "/");
    std::string host = h.host;
    if (host.find(':') != std::string::npos && host[0] != '[') host = "[" + host + "]";
    const WORD defaultPort = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    std::string url = std::string(secure ? "https://" : "http://") + host;
    if (h.port != 0 && h.port != defaultPort) url += ":" + IntToStr(h.port);
    url += InternetEscapeUrl(object);
    if (url.size() > kMaxUrlLength) return Fail(ERROR_INTERNET_URL_TOO_LONG);
    h.settings = h.inherited;
    h.settings.url = url;
    h.settings.verb = verb.empty() ? "GET" : UpperCase(verb);
    h.settings.referer = referer;
    h.settings.flags = flags;
    std::string accept;
    for (const std::string& type : acceptTypes)
        accept += (accept.empty() ? "" : ", ") + type;
    h.settings.accept = accept;
    h.request->Settings() = h.settings;
    Succeeded();
    return true;
}

} // namespace

HINTERNET HttpOpenRequest(HINTERNET connection, const std::string& verb, const std::string& objectName,
                          const std::string& referer, const std::vector<std::string>& acceptTypes,
                          DWORD flags) {
    InternetHandle* parent = Lookup(connection, InternetHandle::Kind::Connection);
    if (!parent) return nullptr;
    auto h = std::make_unique<InternetHandle>(InternetHandle::Kind::Request);
    h->inherited = parent->settings;
    h->callback = parent->callback;
    h->offline = parent->offline;
    h->host = parent->host;
    h->port = parent->port;
    try {
        h->request = std::make_unique<net::HttpRequest>();
    } catch (const Exception&) {
        Fail(ERROR_INTERNET_OUT_OF_HANDLES); // the library made no multi handle
        return nullptr;
    }
    if (!AimRequest(*h, verb, objectName, referer, acceptTypes, flags)) return nullptr;
    if (h->callback) h->request->SetStatusCallback(h->callback);
    return RegisterHandle(std::move(h));
}

bool HttpReopenRequest(HINTERNET request, const std::string& verb, const std::string& objectName,
                       const std::string& referer, const std::vector<std::string>& acceptTypes, DWORD flags) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    return h && AimRequest(*h, verb, objectName, referer, acceptTypes, flags);
}

bool InternetSetOption(HINTERNET handle, DWORD option, DWORD value) {
    InternetHandle* h = LookupAny(handle);
    if (!h) return false;
    net::RequestSettings& s = h->request ? h->request->Settings() : h->settings;
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        s.connectTimeoutMs = value;
        return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_SEND_TIMEOUT:
        // One stall limit serves both directions: the transfer gives up when no byte moves for that long.
        s.stallTimeoutMs = s.stallTimeoutMs ? std::min(s.stallTimeoutMs, value) : value;
        return true;
    case INTERNET_OPTION_BODY_LIMIT:
        s.maxBodyBytes = value == INTERNET_BODY_UNLIMITED ? -1 : static_cast<int64_t>(value);
        return true;
    case INTERNET_OPTION_TOTAL_TIMEOUT:
        s.totalTimeoutMs = value == INTERNET_TIME_UNLIMITED ? -1 : static_cast<int64_t>(value);
        return true;
    default:
        return Fail(ERROR_INVALID_HANDLE_);
    }
}

bool InternetSetOption(HINTERNET handle, DWORD option, const std::string& value) {
    InternetHandle* h = LookupAny(handle);
    if (!h) return false;
    net::RequestSettings& s = h->request ? h->request->Settings() : h->settings;
    switch (option) {
    case INTERNET_OPTION_USERNAME:
        s.user = value;
        return true;
    case INTERNET_OPTION_PASSWORD:
        s.password = value;
        return true;
    case INTERNET_OPTION_PROXY_USERNAME:
        s.proxyUser = value;
        return true;
    case INTERNET_OPTION_PROXY_PASSWORD:
        s.proxyPassword = value;
        return true;
    default:
        return Fail(ERROR_INVALID_HANDLE_);
    }
}

bool HttpAddRequestHeaders(HINTERNET request, const std::string& headers, DWORD modifiers) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    if (!h) return false;
    std::vector<std::string>& lines = h->request->Settings().headers;
    size_t from = 0;
    while (from < headers.size()) {
        size_t end = headers.find('\n', from);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(from, end - from);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        from = end + 1;
        if (line.empty()) continue;
        if (line.find(':') == std::string::npos) return Fail(ERROR_INTERNET_INVALID_URL);
        if (modifiers & HTTP_ADDREQ_FLAG_REPLACE) {
            const std::string name = HeaderName(line);
            std::erase_if(lines, [&](const std::string& l) { return SameText(HeaderName(l), name); });
        }
        lines.push_back(line);
    }
    return true;
}

bool HttpSendRequest(HINTERNET request, const std::string& headers, const std::string& body) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    if (!h) return false;
    if (h->offline) return Fail(ERROR_INTERNET_CANNOT_CONNECT); // no cache to serve from
    if (!h->request->Send(headers, body)) return Fail(h->request->LastError(), h->request->LastErrorText());
    Succeeded();
    return true;
}

bool HttpQueryInfo(HINTERNET request, DWORD infoLevel, std::string& value) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    if (!h) return false;
    const net::HttpRequest& r = *h->request;
    if (r.StatusCode() <= 0) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    auto header = [&](const char* name) {
        if (r.Header(name, value)) return true;
        return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
    };
    switch (infoLevel) {
    case HTTP_QUERY_STATUS_CODE:
        value = IntToStr(r.StatusCode());
        return true;
    case HTTP_QUERY_STATUS_TEXT: {
        const size_t sp = r.StatusLine().find(' ', r.StatusLine().find(' ') + 1);
        value = sp == std::string::npos ? "" : r.StatusLine().substr(sp + 1);
        return true;
    }
    case HTTP_QUERY_RAW_HEADERS_CRLF:
        value = r.StatusLine() + "\r\n";
        for (const std::string& line : r.HeaderLines())
            value += line + "\r\n";
        value += "\r\n";
        return true;
    case HTTP_QUERY_CONTENT_TYPE:
        return header("Content-Type");
    case HTTP_QUERY_CONTENT_LENGTH:
        return header("Content-Length");
    case HTTP_QUERY_CONTENT_LANGUAGE:
        return header("Content-Language");
    case HTTP_QUERY_DATE:
        return header("Date");
    case HTTP_QUERY_EXPIRES:
        return header("Expires");
    case HTTP_QUERY_LAST_MODIFIED:
        return header("Last-Modified");
    case HTTP_QUERY_CONTENT_ENCODING:
        return header("Content-Encoding");
    case HTTP_QUERY_LOCATION:
        return header("Location");
    case HTTP_QUERY_WWW_AUTHENTICATE:
        return header("WWW-Authenticate");
    case HTTP_QUERY_PROXY_AUTHENTICATE:
        return header("Proxy-Authenticate");
    case HTTP_QUERY_ACCEPT_RANGES:
        return header("Accept-Ranges");
    case HTTP_QUERY_ETAG:
        return header("ETag");
    default:
        return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
    }
}

bool InternetReadFile(HINTERNET request, void* buffer, DWORD size, DWORD& bytesRead) {
    bytesRead = 0;
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    if (!h) return false;
    size_t n = 0;
    if (!h->request->Read(buffer, size, n)) return Fail(h->request->LastError(), h->request->LastErrorText());
    bytesRead = static_cast<DWORD>(n);
    Succeeded();
    return true;
}

bool InternetWaitForBody(HINTERNET request, DWORD timeoutMs, DWORD holdBytes) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    return h && h->request->WaitForBody(timeoutMs, holdBytes);
}

void InternetTakeBody(HINTERNET request, std::string& body) {
    body.clear();
    if (InternetHandle* h = Lookup(request, InternetHandle::Kind::Request)) h->request->TakeBody(body);
}

void InternetSetCancelFlag(HINTERNET request, const std::atomic<bool>* cancel) {
    if (InternetHandle* h = Lookup(request, InternetHandle::Kind::Request)) h->request->SetCancelFlag(cancel);
}

std::string InternetEffectiveUrl(HINTERNET request) {
    InternetHandle* h = Lookup(request, InternetHandle::Kind::Request);
    return h ? h->request->EffectiveUrl() : std::string();
}

bool InternetCloseHandle(HINTERNET handle) {
    std::unique_ptr<InternetHandle> owned;
    {
        std::lock_guard lock(TableLock());
        if (!Table().erase(handle)) {
            return Fail(ERROR_INVALID_HANDLE_);
        }
        owned.reset(handle);
    }
    if (owned->callback) owned->callback(INTERNET_STATUS_HANDLE_CLOSING, "");
    return true;
}
