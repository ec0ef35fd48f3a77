#pragma once
// An HTTP client layer in the manner of WinInet (root, connection and request handles; send, then
// query the headers, then pull the body), built on libcurl. The caller drives one request from one
// thread; every call that waits can be cancelled through an atomic flag and gives up on a stalled peer.
#include "platform/rtl/wintypes.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct InternetHandle;
using HINTERNET = InternetHandle*;

// Access types of InternetOpen.
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;
inline constexpr WORD INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr WORD INTERNET_DEFAULT_HTTPS_PORT = 443;

// Request flags. Cache flags are kept for callers but mean nothing here: there is no URL cache.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_HYPERLINK = 0x00000400;
inline constexpr DWORD INTERNET_FLAG_RESYNCHRONIZE = 0x00000800;
inline constexpr DWORD INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;
inline constexpr DWORD INTERNET_FLAG_CACHE_IF_NET_FAIL = 0x00010000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_KEEP_CONNECTION = 0x00400000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTH = 0x00040000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_OFFLINE = 0x01000000;

// Options of InternetSetOption (numeric values take milliseconds).
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
inline constexpr DWORD INTERNET_OPTION_USERNAME = 28;
inline constexpr DWORD INTERNET_OPTION_PASSWORD = 29;
inline constexpr DWORD INTERNET_OPTION_PROXY_USERNAME = 43;
inline constexpr DWORD INTERNET_OPTION_PROXY_PASSWORD = 44;
// Our own: the most body bytes a request takes in bytes (0 for the default limit; a body written to a
// file may lift it with INTERNET_BODY_UNLIMITED). Settable after the send, before the body is read.
inline constexpr DWORD INTERNET_OPTION_BODY_LIMIT = 0x7F01;
inline constexpr DWORD INTERNET_BODY_UNLIMITED = 0xFFFFFFFF;
// Our own: the longest a request may take from its send to the end of its body, in milliseconds (0 for
// the default limit, INTERNET_TIME_UNLIMITED for none). Settable after the send, before the body is read.
inline constexpr DWORD INTERNET_OPTION_TOTAL_TIMEOUT = 0x7F02;
inline constexpr DWORD INTERNET_TIME_UNLIMITED = 0xFFFFFFFF;

// Information levels of HttpQueryInfo.
inline constexpr DWORD HTTP_QUERY_CONTENT_TYPE = 1;
inline constexpr DWORD HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr DWORD HTTP_QUERY_CONTENT_LANGUAGE = 6;
inline constexpr DWORD HTTP_QUERY_DATE = 9;
inline constexpr DWORD HTTP_QUERY_EXPIRES = 10;
inline constexpr DWORD HTTP_QUERY_LAST_MODIFIED = 11;
inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;
inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD HTTP_QUERY_CONTENT_ENCODING = 29;
inline constexpr DWORD HTTP_QUERY_LOCATION = 33;
inline constexpr DWORD HTTP_QUERY_WWW_AUTHENTICATE = 40;
inline constexpr DWORD HTTP_QUERY_PROXY_AUTHENTICATE = 41;
inline constexpr DWORD HTTP_QUERY_ACCEPT_RANGES = 42;
inline constexpr DWORD HTTP_QUERY_ETAG = 54;

inline constexpr DWORD HTTP_ADDREQ_FLAG_ADD = 0x20000000;
inline constexpr DWORD HTTP_ADDREQ_FLAG_REPLACE = 0x80000000;

// Status callback codes.
inline constexpr DWORD INTERNET_STATUS_RESOLVING_NAME = 10;
inline constexpr DWORD INTERNET_STATUS_NAME_RESOLVED = 11;
inline constexpr DWORD INTERNET_STATUS_CONNECTING_TO_SERVER = 20;
inline constexpr DWORD INTERNET_STATUS_CONNECTED_TO_SERVER = 21;
inline constexpr DWORD INTERNET_STATUS_SENDING_REQUEST = 30;
inline constexpr DWORD INTERNET_STATUS_REQUEST_SENT = 31;
inline constexpr DWORD INTERNET_STATUS_RECEIVING_RESPONSE = 40;
inline constexpr DWORD INTERNET_STATUS_RESPONSE_RECEIVED = 41;
inline constexpr DWORD INTERNET_STATUS_CLOSING_CONNECTION = 50;
inline constexpr DWORD INTERNET_STATUS_CONNECTION_CLOSED = 51;
inline constexpr DWORD INTERNET_STATUS_HANDLE_CREATED = 60;
inline constexpr DWORD INTERNET_STATUS_HANDLE_CLOSING = 70;
inline constexpr DWORD INTERNET_STATUS_REQUEST_COMPLETE = 100;
inline constexpr DWORD INTERNET_STATUS_REDIRECT = 110;

// Errors, as InternetGetLastError answers them after a failed call.
inline constexpr DWORD ERROR_SUCCESS_ = 0;
inline constexpr DWORD ERROR_INVALID_HANDLE_ = 6;
inline constexpr DWORD ERROR_INTERNET_OUT_OF_HANDLES = 12001; // the library made no handle for a transfer
inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004; // the library cannot be used: see below
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr DWORD ERROR_INTERNET_SEC_CERT_ERRORS = 12055;
inline constexpr DWORD ERROR_INTERNET_REDIRECT_FAILED = 12156; // too many redirects or another scheme
inline constexpr DWORD ERROR_INTERNET_BAD_RESPONSE = 12152;    // garbage where a response was due
inline constexpr DWORD ERROR_INTERNET_URL_TOO_LONG = 12174;
inline constexpr DWORD ERROR_INTERNET_BODY_TOO_LARGE = 12175;
inline constexpr DWORD ERROR_INTERNET_HEADER_TOO_LARGE = 12176; // an answer's headers over kMaxHeaderBytes
// Our own: the certificate authorities named to trust cannot be used, and the proxy, not the server, failed
// the request. InternetGetLastErrorText says which and how.
inline constexpr DWORD ERROR_INTERNET_TRUST_UNUSABLE = 12177;
inline constexpr DWORD ERROR_INTERNET_PROXY_FAILED = 12178;
inline constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;

// Limits that keep a hostile or broken server from hanging or exhausting the program.
inline constexpr DWORD kDefaultConnectTimeoutMs = 30000;
inline constexpr DWORD kDefaultStallTimeoutMs = 60000;
// A transfer that moves fewer bytes than this in a minute is given up as timed out: a server dripping
// its answer a byte at a time never stalls, but must not hold the caller for ever. Measured over windows
// as long as the stall limit, the bytes scaled to the window.
inline constexpr int64_t kMinBytesPerMinute = 1024;
inline constexpr DWORD kDefaultTotalTimeoutMs = 5 * 60 * 1000;
inline constexpr long kMaxRedirects = 20;
inline constexpr int64_t kMaxBodyBytes = 32ll << 20;
// Below the network library's own limits, which would otherwise end the transfer without saying why. An
// answer's interim blocks, its final block and the trailers after its body count together.
inline constexpr int64_t kMaxHeaderBytes = 256 << 10;
inline constexpr size_t kMaxUrlLength = 8192;

using InternetStatusCallback = std::function<void(DWORD status, const std::string& information)>;

HINTERNET InternetOpen(const std::string& agent, DWORD accessType, const std::string& proxy,
                       const std::string& proxyBypass, DWORD flags);
// Called on the thread that drives the request; must not touch windows. Children made later take their
// parent's; set on a request it takes effect at once.
void InternetSetStatusCallback(HINTERNET handle, InternetStatusCallback callback);
HINTERNET InternetConnect(HINTERNET root, const std::string& host, WORD port, const std::string& user,
                          const std::string& password, DWORD service, DWORD flags);
// objectName is the path with its query, sent as written (percent-encoded where it must be).
HINTERNET HttpOpenRequest(HINTERNET connection, const std::string& verb, const std::string& objectName,
                          const std::string& referer, const std::vector<std::string>& acceptTypes,
                          DWORD flags);
// Aims an open request at another object of its connection's server, as a new request with the given
// verb, referer and flags: headers and options set on it before are gone, and the connection (kept alive
// by the server) is used again. False when the address cannot be used.
bool HttpReopenRequest(HINTERNET request, const std::string& verb, const std::string& objectName,
                       const std::string& referer, const std::vector<std::string>& acceptTypes, DWORD flags);
bool InternetSetOption(HINTERNET handle, DWORD option, DWORD value);
bool InternetSetOption(HINTERNET handle, DWORD option, const std::string& value);
// Header lines ended by CR LF; REPLACE replaces a header of the same name.
bool HttpAddRequestHeaders(HINTERNET request, const std::string& headers, DWORD modifiers);
// Sends the request and waits for the final response's headers (redirects followed as flagged).
// Sending again on the same handle re-sends (after new credentials, say).
bool HttpSendRequest(HINTERNET request, const std::string& headers, const std::string& body);
bool HttpQueryInfo(HINTERNET request, DWORD infoLevel, std::string& value);
// Pulls body bytes: true with bytesRead 0 at a clean end; false when the body cannot be completed.
bool InternetReadFile(HINTERNET request, void* buffer, DWORD size, DWORD& bytesRead);
// Waits up to timeoutMs for the rest of the body without taking any of it, holding up to holdBytes of it
// (at least the read-ahead of 256 KiB): true once all of it has arrived (or the transfer has failed), so
// that reads no longer wait; false at once for a body larger than that.
bool InternetWaitForBody(HINTERNET request, DWORD timeoutMs, DWORD holdBytes = 0);
// The body bytes that have arrived and were not read yet, moved into body as InternetReadFile would give
// them, after InternetWaitForBody: the read after them says how the body ended.
void InternetTakeBody(HINTERNET request, std::string& body);
bool InternetCloseHandle(HINTERNET handle);
// A flag that the waiting calls of this request poll (about ten times a second); set means give up.
void InternetSetCancelFlag(HINTERNET request, const std::atomic<bool>* cancel);
// The address the request ended at after redirects.
std::string InternetEffectiveUrl(HINTERNET request);
DWORD InternetGetLastError();
// What the last call of this thread that failed says besides its error, in words for a message: why the
// network library cannot be used (ERROR_INTERNET_INTERNAL_ERROR), which authorities cannot be used and why
// (ERROR_INTERNET_TRUST_UNUSABLE), which proxy failed and how (ERROR_INTERNET_PROXY_FAILED); else empty.
std::string InternetGetLastErrorText();

// Certificates of a test authority; empty for the system's store.
void InternetSetCaBundle(const std::string& path);
// Characters a server may not receive raw (blanks, controls, non-ASCII) become %XX; existing escapes stay.
std::string InternetEscapeUrl(const std::string& url);
