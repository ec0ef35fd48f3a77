#include "fetch/http/http_transfer.h"

#include "fetch/http/crack_url.h"
#include "fetch/http/http_date.h"
#include "fetch/http/http_file_stream.h"
#include "platform/gui/message_loop.h"
#include "platform/net/wininet.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/regular_file.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace winhttp {

void Transfer::Status(int code, const std::string& information) {
    {
        std::lock_guard guard(gate_);
        if (silenced_) return;
        if (calling_++ == 0) idle_.ResetEvent();
    }
    // The handlers run without the gate held: one that calls into the window system (a send to the GUI
    // thread, say) must not block a GUI thread that is silencing the transfer.
    struct Leave {
        Transfer& t;
        ~Leave() {
            std::lock_guard guard(t.gate_);
            if (--t.calling_ == 0) t.idle_.SetEvent();
        }
    } leave{*this};
    if (request->onStatus) request->onStatus(owner, code, StatusText(code));
    if (code == static_cast<int>(INTERNET_STATUS_REDIRECT) && request->onRedirected)
        request->onRedirected(owner, information);
}

void Transfer::Silence() {
    {
        std::lock_guard guard(gate_);
        silenced_ = true;
        if (calling_ == 0) return;
    }
    // A handler still running finishes first, unless it is waiting for this very thread: Silence called
    // from a handler of a message the worker sent (or from the worker's own handler) cannot wait for it.
    if (InSendMessage() || TEventWinThread::Current()) return;
    winthread::WaitServingSent(idle_, INFINITE);
}

void Transfer::ChainTo(const std::string& URL) {
    auto ended = std::make_shared<Transfer>();
    ended->owner = owner;
    ended->request = request;
    ended->url = url;
    ended->chainIndex = chainIndex;
    ended->outcome = std::exchange(outcome, Outcome{});
    // Freed here, after the lock.
    std::vector<std::shared_ptr<Transfer>> spent;
    std::lock_guard guard(chainLock_);
    chained_.push_back(std::move(ended));
    url = URL;
    ++chainIndex;
    spent.swap(givenBack_);
}

void Transfer::GiveBack(std::shared_ptr<Transfer> Ended) {
    std::lock_guard guard(chainLock_);
    givenBack_.push_back(std::move(Ended));
}

std::shared_ptr<Transfer> Transfer::TakeChained(int& Index, std::string& URL) {
    std::lock_guard guard(chainLock_);
    if (chained_.empty()) {
        Index = chainIndex;
        URL = url;
        return nullptr;
    }
    std::shared_ptr<Transfer> ended = std::move(chained_.front());
    chained_.pop_front();
    return ended;
}

Session::~Session() {
    Close();
}

void Session::Close() {
    for (Handle* h : {&request, &connection, &root}) {
        if (!*h) continue;
        InternetSetStatusCallback(h->Get(), nullptr);
        h->Reset();
    }
    key.clear();
}

namespace {

// Bytes before the resume point asked for again, so that the new body can be checked against the file.
constexpr int64_t kResumeOverlap = 4096;
// A memory body is pre-sized to the announced length only up to this much.
constexpr int64_t kMaxPresize = 1 << 20;
constexpr int kMaxAuthRounds = 3;
// How long the worker waits after the headers for the rest of a body, to hand the page over whole, and
// the largest body it holds for that: a larger page is handed over block by block, each waiting for the
// GUI thread.
constexpr DWORD kBatchWaitMs = 25;
constexpr DWORD kMaxBatchBody = 1 << 20;

int64_t ElapsedMsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

class LocalFile {
public:
    ~LocalFile() {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
};

std::string PercentDecode(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

int64_t ParseLength(const std::string& text) {
    int64_t value = 0;
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 18) return -1;
    for (char c : t) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string RangeLine(int64_t start, int64_t end) {
    std::string line = "RANGE: bytes=" + std::to_string(start) + "-";
    if (end != 0) line += std::to_string(end);
    return line + "\r\n";
}

// Raised inside the runner when the transfer was asked to stop: the abort step follows.
struct Stopped {};

class Runner {
public:
    explicit Runner(const std::shared_ptr<Transfer>& t)
        : t_(t), self_(TEventWinThread::Current()),
          session_(t->session ? t->session : std::make_shared<Session>()), root_(session_->root),
          connection_(session_->connection), request_(session_->request) {}

    void Run() {
        try {
            Body();
        } catch (const Stopped&) {
            Abort();
        }
    }

private:
    Transfer& Job() { return *t_; }

    // Keeps the network layer's reason for the call that has just failed; false.
    bool Failed() {
        Job().outcome.lastError = InternetGetLastError();
        Job().outcome.errorText = InternetGetLastErrorText();
        return false;
    }

    void Check() {
        if (Job().cancel || (self_ && self_->Terminated())) throw Stopped();
    }

    void Sync(const TThreadMethod& method) {
        if (!self_) {
            method();
        } else if (Job().chainIndex == 0) {
            self_->Synchronize(method);
        } else {
            // The transfers before this one in its run are heard of first.
            TCustomWinHTTP* owner = Job().owner;
            std::shared_ptr<Transfer> transfer = t_;
            self_->Synchronize([&] {
                if (owner->CatchUpChain(transfer)) method();
            });
        }
    }

    void Abort() {
        session_->Close();
        Job().aborted = true;
        std::shared_ptr<Transfer> transfer = t_;
        TCustomWinHTTP* owner = Job().owner;
        Sync([owner, transfer] { owner->AbortStep(transfer, false); });
    }

    void Body() {
        Transfer& x = Job();
        x.outcome.statusCode = -1;
        x.outcome.contentType.clear();
        x.outcome.location.clear();
        bufferSize_ = std::max<uint32_t>(x.request->bufferSize, 255);
        x.outcome.start = std::chrono::steady_clock::now();
        x.outcome.continueDownload = true;
        x.outcome.success = false;
        x.outcome.lastError = 0;
        x.outcome.errorText.clear();

        if (x.url.size() > kMaxUrlLength)
            throw Exception(Format("The address is too long (%d bytes; at most %d)",
                                   static_cast<int>(x.url.size()), static_cast<int>(kMaxUrlLength)));
        if (!CrackURL(x.url, parts_)) throw Exception(Format("The address \"%s\" is not valid", x.url));
        if (parts_.User.empty()) parts_.User = x.request->username;
        if (parts_.Password.empty()) parts_.Password = x.request->password;

        if (SameText(parts_.Scheme, "file")) {
            OpenLocalFile();
        } else {
            const uint32_t access = AccessTypeValue(x.request->proxy.AccessType);
            std::string proxyText, bypass;
            if (x.request->proxy.AccessType == atUseProxy) {
                proxyText = x.request->proxy.ProxyServer + ":" + std::to_string(x.request->proxy.ProxyPort);
                bypass = x.request->proxy.ProxyBypass;
            }
            // The handles of the last transfer serve this one when it goes the same way.
            const std::string key = x.request->agent + '\n' + std::to_string(access) + '\n' + proxyText +
                                    '\n' + bypass + '\n' + (x.request->workOffline ? "1" : "0") + '\n' +
                                    parts_.Host + '\n' + std::to_string(parts_.Port) + '\n' + parts_.User +
                                    '\n' + parts_.Password;
            if (!root_ || session_->key != key) {
                session_->Close();
                root_.Reset(InternetOpen(x.request->agent, access, proxyText, bypass,
                                         x.request->workOffline ? INTERNET_FLAG_OFFLINE : 0));
                if (!root_) {
                    Failed();
                    return;
                }
                session_->key = key;
            }
            std::weak_ptr<Transfer> weak = t_;
            status_ = [weak](DWORD code, const std::string& info) {
                if (auto transfer = weak.lock()) transfer->Status(static_cast<int>(code), info);
            };
            InternetSetStatusCallback(root_.Get(), status_);
            if (!Request()) return;
        }
        if (!x.outcome.continueDownload) return;
        ReadBody();
    }

    void OpenLocalFile() {
        Transfer& x = Job();
        const std::string path = PercentDecode(parts_.Host.empty() || SameText(parts_.Host, "localhost")
                                                   ? parts_.Path
                                                   : "//" + parts_.Host + parts_.Path);
        // A named pipe or a device at that path is no page: it would hold the transfer for ever.
        local_.fd = OpenRegularFile(path, O_RDONLY);
        struct stat st {};
        if (local_.fd < 0 || ::fstat(local_.fd, &st) != 0) {
            x.outcome.statusCode = 404;
            x.outcome.dataSize = 0;
            x.outcome.success = true;
            return;
        }
        x.outcome.statusCode = 200;
        x.outcome.success = true;
        const int64_t offset = x.outcome.resumeFrom != 0 ? x.outcome.resumeFrom : x.request->rangeStart;
        // The size still to come, so that a resumed read is judged by the bytes it was to deliver.
        x.outcome.dataSize = std::max<int64_t>(0, static_cast<int64_t>(st.st_size) - offset);
        if (offset != 0) ::lseek(local_.fd, static_cast<off_t>(offset), SEEK_SET);
    }

    // Steps from the connection to the response headers; false ends the body.
    bool Request() {
        Transfer& x = Job();
        const bool resumeIntoFile = !x.request->outputFileName.empty();
        for (;;) {
            Check();
            if (!connection_) {
                request_.Reset();
                connection_.Reset(InternetConnect(root_.Get(), parts_.Host, parts_.Port, parts_.User,
                                                  parts_.Password, INTERNET_SERVICE_HTTP, 0));
                if (!connection_) return Failed();
            }
            InternetSetStatusCallback(connection_.Get(), status_);
            Check();
            const bool post = x.request->requestMethod == rmPOST ||
                              (x.request->requestMethod == rmAutoDetect && !x.request->postData.empty());
            uint32_t flags = x.request->requestFlags;
            if (SameText(parts_.Scheme, "https")) flags |= INTERNET_FLAG_SECURE;
            const std::string verb = post ? "POST" : "GET";
            const std::string object = parts_.Path + parts_.ExtraInfo;
            if (!request_) {
                request_.Reset(HttpOpenRequest(connection_.Get(), verb, object, x.request->referer,
                                               {x.request->acceptTypes}, flags));
            } else if (!HttpReopenRequest(request_.Get(), verb, object, x.request->referer,
                                          {x.request->acceptTypes}, flags)) {
                request_.Reset();
            }
            if (!request_) return Failed();
            InternetSetStatusCallback(request_.Get(), status_);
            InternetSetCancelFlag(request_.Get(), &x.cancel);
            Check();
            if (x.request->connectTimeout)
                InternetSetOption(request_.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, x.request->connectTimeout);
            if (x.request->receiveTimeout)
                InternetSetOption(request_.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, x.request->receiveTimeout);
            if (x.request->sendTimeout)
                InternetSetOption(request_.Get(), INTERNET_OPTION_SEND_TIMEOUT, x.request->sendTimeout);
            if (x.request->totalTimeout)
                InternetSetOption(request_.Get(), INTERNET_OPTION_TOTAL_TIMEOUT, x.request->totalTimeout);

            overlap_ = 0;
            std::string headers = x.request->addHeadersText;
            if (x.outcome.resumeFrom != 0 || x.outcome.resumeTo != 0) {
                if (resumeIntoFile && x.outcome.resumeFrom != 0)
                    overlap_ = std::min(x.outcome.resumeFrom, kResumeOverlap);
                headers += RangeLine(x.outcome.resumeFrom - overlap_, x.outcome.resumeTo);
            } else if (x.request->rangeStart != 0 || x.request->rangeEnd != 0) {
                headers += RangeLine(x.request->rangeStart, x.request->rangeEnd);
            }
            if (!headers.empty() &&
                !HttpAddRequestHeaders(request_.Get(), headers,
                                       lastStatus_ == 416 ? HTTP_ADDREQ_FLAG_REPLACE : HTTP_ADDREQ_FLAG_ADD))
                return Failed();

            switch (Send(post)) {
            case SendResult::Failed:
                return false;
            case SendResult::Complete:
                return true;
            case SendResult::Restart:
                continue;
            case SendResult::Headers:
                break;
            }
            return HeadersArrived();
        }
    }

    enum class SendResult { Headers, Failed, Complete, Restart };

    SendResult Send(bool post) {
        Transfer& x = Job();
        int authRounds = 0;
        int proxyRounds = 0;
        // The proxy credentials the user gave for this transfer; the request keeps those it began with.
        std::string proxyUser = x.request->proxy.ProxyUsername,
                    proxyPassword = x.request->proxy.ProxyPassword;
        for (;;) {
            Check();
            bool tryAgain = false;
            const bool sent =
                post ? HttpSendRequest(request_.Get(), "Content-Type: application/x-www-form-urlencoded\r\n",
                                       x.request->postData)
                     : HttpSendRequest(request_.Get(), "", "");
            if (!sent) {
                Check(); // a cancelled send is an abort, not a failure
                Failed();
                return SendResult::Failed;
            }
            Check();
            std::string value;
            x.outcome.success = HttpQueryInfo(request_.Get(), HTTP_QUERY_STATUS_CODE, value);
            if (!x.outcome.success) {
                Failed();
                return SendResult::Failed;
            }
            x.outcome.statusCode = StrToIntDef(value, 0);
            lastStatus_ = x.outcome.statusCode;

            if (x.outcome.statusCode == 416 && x.outcome.resumeFrom != 0) return RangeNotSatisfiable();
            if (x.outcome.statusCode == 401 && x.request->wantsPassword && authRounds < kMaxAuthRounds) {
                ++authRounds;
                std::string challenge;
                HttpQueryInfo(request_.Get(), HTTP_QUERY_WWW_AUTHENTICATE, challenge);
                const std::string realm = RealmOf(challenge);
                TCustomWinHTTP* owner = x.owner;
                std::string user, password;
                Sync([&] {
                    if (owner->OnPasswordRequest) owner->OnPasswordRequest(owner, realm, tryAgain);
                    user = owner->Username();
                    password = owner->Password();
                });
                InternetSetOption(request_.Get(), INTERNET_OPTION_USERNAME, user);
                InternetSetOption(request_.Get(), INTERNET_OPTION_PASSWORD, password);
            } else if (x.outcome.statusCode == 407 && proxyRounds < kMaxAuthRounds) {
                ++proxyRounds;
                if (proxyRounds == 1) {
                    tryAgain = true;
                } else if (x.request->wantsProxyAuth) {
                    TCustomWinHTTP* owner = x.owner;
                    std::string user = proxyUser, password = proxyPassword;
                    Sync([&] {
                        TWinHTTPProxy* proxy = owner->Proxy();
                        if (owner->OnProxyAuthenticationRequest)
                            owner->OnProxyAuthenticationRequest(owner, proxy->ProxyUsername,
                                                                proxy->ProxyPassword, tryAgain);
                        user = proxy->ProxyUsername;
                        password = proxy->ProxyPassword;
                    });
                    proxyUser = user;
                    proxyPassword = password;
                }
                InternetSetOption(request_.Get(), INTERNET_OPTION_PROXY_USERNAME, proxyUser);
                InternetSetOption(request_.Get(), INTERNET_OPTION_PROXY_PASSWORD, proxyPassword);
            }
            if (!tryAgain) return SendResult::Headers;
        }
    }

    // The server cannot serve the rest: either the file is already whole, or it changed and is fetched
    // again from the start (once).
    SendResult RangeNotSatisfiable() {
        Transfer& x = Job();
        HttpAddRequestHeaders(request_.Get(), RangeLine(0, 0), HTTP_ADDREQ_FLAG_REPLACE);
        if (!HttpSendRequest(request_.Get(), "", "")) {
            Check();
            Failed();
            return SendResult::Failed;
        }
        Check();
        std::string value;
        if (HttpQueryInfo(request_.Get(), HTTP_QUERY_STATUS_CODE, value))
            x.outcome.statusCode = StrToIntDef(value, 0);
        std::string length;
        if ((x.outcome.statusCode == 200 || x.outcome.statusCode == 206) &&
            HttpQueryInfo(request_.Get(), HTTP_QUERY_CONTENT_LENGTH, length) &&
            ParseLength(length) == x.outcome.resumeFrom) {
            x.outcome.success = true;
            x.outcome.dataSize = 0;
            x.outcome.bytesRead = 0;
            wholeAlready_ = true;
            return SendResult::Complete;
        }
        return Restart();
    }

    // Starts again with a full download; only once, so a server that keeps failing cannot loop us.
    SendResult Restart() {
        Transfer& x = Job();
        x.outcome.statusCode = -1;
        x.outcome.resumeFrom = 0;
        request_.Reset();
        connection_.Reset();
        session_->key.clear();
        if (++restarts_ > 1) {
            x.outcome.success = false;
            return SendResult::Failed;
        }
        return SendResult::Restart;
    }

    bool HeadersArrived() {
        Transfer& x = Job();
        Check();
        std::string value;
        HttpQueryInfo(request_.Get(), HTTP_QUERY_CONTENT_TYPE, x.outcome.contentType);
        if (x.outcome.statusCode >= 300 && x.outcome.statusCode < 400)
            HttpQueryInfo(request_.Get(), HTTP_QUERY_LOCATION, x.outcome.location);
        const bool haveLength = HttpQueryInfo(request_.Get(), HTTP_QUERY_CONTENT_LENGTH, value);
        const int64_t length = haveLength ? ParseLength(value) : -1;
        x.outcome.dataSize = std::max<int64_t>(length, 0);
        x.outcome.success = haveLength;
        if (x.outcome.resumeFrom != 0 && x.outcome.statusCode == 200) {
            // The server ignored the range: this is the whole body.
            x.outcome.resumeFrom = 0;
            overlap_ = 0;
        }
        if (x.outcome.statusCode == 206 && overlap_ > 0)
            x.outcome.dataSize = std::max<int64_t>(0, x.outcome.dataSize - overlap_);
        // A body that goes to memory and is all there already travels with its events in one batch.
        batched_ = request_ && x.request->outputFileName.empty() && x.outcome.resumeFrom == 0 &&
                   x.outcome.resumeTo == 0 &&
                   InternetWaitForBody(request_.Get(), kBatchWaitMs, kMaxBatchBody);
        x.outcome.batch.reset();
        if (batched_) x.outcome.batch = std::make_unique<Batch>();
        if (x.request->wantsHeaderInfo) {
            auto text = [&](DWORD level) {
                std::string v;
                return HttpQueryInfo(request_.Get(), level, v) ? v : std::string();
            };
            auto date = [&](DWORD level) {
                std::string v;
                return HttpQueryInfo(request_.Get(), level, v) ? ParseHttpDate(v) : TDateTime(0);
            };
            Batch h;
            h.headerInfo = true;
            h.raw = text(HTTP_QUERY_RAW_HEADERS_CRLF);
            h.language = text(HTTP_QUERY_CONTENT_LANGUAGE);
            h.encoding = text(HTTP_QUERY_CONTENT_ENCODING);
            h.location = text(HTTP_QUERY_LOCATION);
            h.etag = text(HTTP_QUERY_ETAG);
            h.date = date(HTTP_QUERY_DATE);
            h.modified = date(HTTP_QUERY_LAST_MODIFIED);
            h.expires = date(HTTP_QUERY_EXPIRES);
            h.contentLength = x.outcome.dataSize + x.outcome.resumeFrom;
            if (batched_) {
                *x.outcome.batch = std::move(h);
                return true; // the GUI thread answers ContinueDownload when the batch runs
            }
            TCustomWinHTTP* owner = x.owner;
            bool carryOn = true;
            Sync([&] {
                if (owner->OnHeaderInfo)
                    owner->OnHeaderInfo(owner, x.outcome.statusCode, h.raw, x.outcome.contentType, h.language,
                                        h.encoding, h.contentLength, h.location, h.date, h.modified,
                                        h.expires, h.etag, carryOn);
            });
            x.outcome.continueDownload = carryOn;
        }
        return true;
    }

    void OpenOutput() {
        Transfer& x = Job();
        x.outcome.stream.reset();
        x.outcome.fileOutput = false;
        if ((x.outcome.statusCode == 200 || x.outcome.statusCode == 206) &&
            !x.request->outputFileName.empty()) {
            try {
                auto file = std::make_unique<TWinHTTPFileStream>(x.request->outputFileName,
                                                                 x.outcome.resumeFrom == 0);
                if (x.outcome.resumeFrom != 0) {
                    const int64_t size = file->Seek(0, soEnd);
                    if (size < x.outcome.resumeFrom) {
                        file.reset();
                        restartFromScratch_ = true;
                        return;
                    }
                    file->Seek(x.outcome.resumeFrom, soBeginning);
                }
                x.outcome.stream = std::move(file);
                x.outcome.fileOutput = true;
                if (request_) {
                    // A file may be as large, and take as long, as it is.
                    InternetSetOption(request_.Get(), INTERNET_OPTION_BODY_LIMIT, INTERNET_BODY_UNLIMITED);
                    if (!x.request->totalTimeout)
                        InternetSetOption(request_.Get(), INTERNET_OPTION_TOTAL_TIMEOUT,
                                          INTERNET_TIME_UNLIMITED);
                }
                return;
            } catch (const EFCreateError&) {
                if (x.outcome.success) return;
            }
        }
        auto memory = std::make_unique<TMemoryStream>();
        if (x.outcome.success && x.outcome.dataSize > 0) {
            memory->Reserve(std::min(x.outcome.dataSize, kMaxPresize));
        }
        x.outcome.stream = std::move(memory);
    }

    void ReadBody() {
        Transfer& x = Job();
        for (;;) {
            Check();
            if (wholeAlready_) return;
            if (batched_) {
                ReadAhead();
                return;
            }
            restartFromScratch_ = false;
            OpenOutput();
            if (restartFromScratch_) {
                if (Restart() == SendResult::Failed || !Request()) return;
                continue;
            }
            if (!x.outcome.stream) return; // the output file could not be created
            if (ReadLoop()) break;
            // The bytes before the resume point differ from the file: fetch the whole file again.
            x.outcome.stream.reset();
            if (Restart() == SendResult::Failed || !Request()) return;
            if (!x.outcome.continueDownload) return;
        }
    }

    // False when the overlap did not match the file.
    bool ReadLoop() {
        Transfer& x = Job();
        x.outcome.bytesRead = 0;
        std::vector<char> buffer(bufferSize_);
        int64_t overlapLeft = x.outcome.fileOutput ? overlap_ : 0;
        bool failed = false;
        for (;;) {
            Check();
            int64_t n = 0;
            if (local_.fd >= 0) {
                const ssize_t r = ::read(local_.fd, buffer.data(), buffer.size());
                if (r < 0 && errno == EINTR) continue;
                failed = r < 0;
                n = std::max<ssize_t>(r, 0);
            } else if (request_) {
                DWORD got = 0;
                failed =
                    !InternetReadFile(request_.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), got);
                if (failed) this->Failed();
                n = got;
            }
            if (failed) Check(); // a read cut short by a stop request is an abort, not a lost connection
            if (failed || n == 0) break;
            const char* data = buffer.data();
            if (overlapLeft > 0) {
                const int64_t take = std::min(overlapLeft, n);
                std::vector<char> onDisk(static_cast<size_t>(take));
                auto* file = static_cast<TWinHTTPFileStream*>(x.outcome.stream.get());
                const int64_t at = x.outcome.resumeFrom - overlapLeft;
                if (::pread(file->Handle(), onDisk.data(), static_cast<size_t>(take), at) != take ||
                    std::memcmp(onDisk.data(), data, static_cast<size_t>(take)) != 0)
                    return false;
                overlapLeft -= take;
                data += take;
                n -= take;
                if (n == 0) continue;
            }
            if (x.outcome.stream->Write(data, n) != n) {
                failed = true;
                break;
            }
            x.outcome.bytesRead += n;
            if (x.request->wantsProgress) ReportProgress();
        }
        x.outcome.success = (x.outcome.statusCode == 200 || x.outcome.statusCode == 206) && !failed &&
                            overlapLeft == 0 &&
                            (x.outcome.dataSize == 0 || x.outcome.bytesRead == x.outcome.dataSize);
        return true;
    }

    // Takes the buffered body of a batched transfer into its batch; reads no longer wait here.
    void ReadAhead() {
        Transfer& x = Job();
        Batch& b = *x.outcome.batch;
        Check();
        InternetTakeBody(request_.Get(), b.body);
        // In the blocks reads of the buffer's size would have given.
        const int64_t elapsed = ElapsedMsSince(x.outcome.start);
        for (size_t at = 0; at < b.body.size(); at += bufferSize_)
            b.blocks.push_back({std::min<size_t>(bufferSize_, b.body.size() - at), elapsed});
        x.outcome.bytesRead = static_cast<int64_t>(b.body.size());
        char end;
        DWORD got = 0;
        const bool failed = !InternetReadFile(request_.Get(), &end, 1, got);
        if (failed) {
            this->Failed();
            Check();
        }
        x.outcome.success = (x.outcome.statusCode == 200 || x.outcome.statusCode == 206) && !failed &&
                            (x.outcome.dataSize == 0 || x.outcome.bytesRead == x.outcome.dataSize);
    }

    void ReportProgress() {
        Transfer& x = Job();
        const Progress p = ComputeProgress(x.outcome.dataSize, x.outcome.bytesRead, x.outcome.resumeFrom,
                                           ElapsedMsSince(x.outcome.start));
        TCustomWinHTTP* owner = x.owner;
        Sync([&] {
            if (owner->OnProgress)
                owner->OnProgress(owner, x.outcome.contentType, x.outcome.dataSize + x.outcome.resumeFrom,
                                  x.outcome.bytesRead + x.outcome.resumeFrom, p.ElapsedTime,
                                  p.EstimatedTimeLeft, p.PercentsDone, p.TransferRate,
                                  x.outcome.stream.get());
        });
    }

    std::shared_ptr<Transfer> t_;
    TEventWinThread* self_;
    TUrlParts parts_;
    std::shared_ptr<Session> session_;
    Handle &root_, &connection_, &request_;
    InternetStatusCallback status_;
    LocalFile local_;
    uint32_t bufferSize_ = 4096;
    int64_t overlap_ = 0;
    int lastStatus_ = 0;
    int restarts_ = 0;
    bool wholeAlready_ = false;
    bool restartFromScratch_ = false;
    bool batched_ = false;
};

} // namespace

void RunTransfer(const std::shared_ptr<Transfer>& transfer) {
    ScopeGuard failed([&] { transfer->outcome.success = false; });
    Runner(transfer).Run();
    failed.Dismiss();
}

void RunChain(std::shared_ptr<Transfer> transfer) {
    Transfer& x = *transfer;
    TEventWinThread* self = TEventWinThread::Current();
    try {
        for (;;) {
            RunTransfer(transfer);
            if (!x.request->onChain || x.aborted || x.cancel || (self && self->Terminated())) return;
            const std::string next = x.request->onChain(x.outcome.statusCode, x.url, x.outcome.location);
            if (next.empty()) return;
            x.ChainTo(next);
            // The GUI thread hears of the transfer just ended as soon as it can, while this one goes on.
            if (self) {
                TCustomWinHTTP* owner = x.owner;
                self->Queue([owner, transfer] { owner->CatchUpChain(transfer); });
            }
        }
    } catch (...) {
        // The transfers before the one that failed are heard of before its failure.
        if (x.chainIndex > 0 && self) {
            TCustomWinHTTP* owner = x.owner;
            self->Synchronize([owner, transfer] { owner->CatchUpChain(transfer); });
        }
        throw;
    }
}

bool DeliverBatch(TCustomWinHTTP& owner, Transfer& x, const std::function<bool()>& Current) {
    Batch& b = *x.outcome.batch;
    if (!Current()) return false;
    if (b.headerInfo && owner.OnHeaderInfo) {
        bool carryOn = true;
        owner.OnHeaderInfo(&owner, x.outcome.statusCode, b.raw, x.outcome.contentType, b.language, b.encoding,
                           b.contentLength, b.location, b.date, b.modified, b.expires, b.etag, carryOn);
        x.outcome.continueDownload = carryOn;
        if (!Current()) return false;
    }
    if (!x.outcome.continueDownload) return true;
    auto memory = std::make_unique<TMemoryStream>();
    memory->Reserve(static_cast<int64_t>(b.body.size()));
    x.outcome.stream = std::move(memory);
    int64_t done = 0;
    for (const Batch::Block& block : b.blocks) {
        x.outcome.stream->Write(b.body.data() + done, static_cast<int64_t>(block.size));
        done += static_cast<int64_t>(block.size);
        if (!x.request->wantsProgress || !owner.OnProgress) continue;
        const Progress p = ComputeProgress(x.outcome.dataSize, done, 0, block.elapsedMs);
        owner.OnProgress(&owner, x.outcome.contentType, x.outcome.dataSize, done, p.ElapsedTime,
                         p.EstimatedTimeLeft, p.PercentsDone, p.TransferRate, x.outcome.stream.get());
        if (!Current()) return false;
    }
    b.body.clear();
    return true;
}

} // namespace winhttp
