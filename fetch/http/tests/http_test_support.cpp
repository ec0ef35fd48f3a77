#include "http_test_support.h"

#include "platform/gui/message_loop.h"
#include "platform/net/wininet.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/thread.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace http_test {
namespace {

std::string bodyOf(TStream* stream) {
    if (!stream) return {};
    std::string out(static_cast<size_t>(stream->Size()), '\0');
    stream->SetPosition(0);
    if (!out.empty()) stream->ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
    return out;
}

} // namespace

Recorder::Recorder(TCustomWinHTTP& http) {
    auto add = [this](const std::string& name, int code = 0, int64_t size = 0, const std::string& text = {}) {
        events.push_back(Event{name, std::this_thread::get_id(), code, size, text});
    };
    http.OnHeaderInfo = [this, add](TObject*, int code, const std::string& raw, const std::string& type,
                                    const std::string&, const std::string&, int64_t length,
                                    const std::string&, TDateTime, TDateTime, TDateTime, const std::string&,
                                    bool&) {
        add("HeaderInfo", code, length, type);
        rawHeaders = raw;
    };
    http.OnProgress = [add](TObject*, const std::string&, int64_t dataSize, int64_t bytesRead, int, int,
                            uint8_t percent, float,
                            TStream*) { add("Progress", percent, bytesRead, std::to_string(dataSize)); };
    http.OnDone = [this, add](TObject*, const std::string& type, int64_t size, TStream* stream) {
        add("Done", 0, size, type);
        body = bodyOf(stream);
    };
    http.OnDoneInterrupted = [add](TObject*) { add("DoneInterrupted"); };
    http.OnConnLost = [this, add](TObject*, const std::string&, int64_t dataSize, int64_t bytesRead,
                                  TStream* s) {
        add("ConnLost", 0, bytesRead, std::to_string(dataSize));
        body = bodyOf(s);
    };
    http.OnHTTPError = [this, add](TObject*, int code, TStream* s) {
        add("HTTPError", code);
        body = bodyOf(s);
    };
    http.OnHostUnreachable = [add](TObject*) { add("HostUnreachable"); };
    http.OnAnyError = [add](TObject*) { add("AnyError"); };
    http.OnOutputFileError = [add](TObject*) { add("OutputFileError"); };
    http.OnAborted = [add](TObject*) { add("Aborted"); };
    // Worker-thread events: recorded apart, since the worker must not touch the GUI thread's lists.
    http.OnRedirected = [this](TObject*, const std::string& url) { redirects.push_back(url); };
}

std::vector<std::string> Recorder::Names() const {
    std::vector<std::string> out;
    for (const Event& e : events)
        if (e.name != "Progress") out.push_back(e.name);
    return out;
}

std::vector<std::string> Recorder::Terminal() const {
    static const std::vector<std::string> terminal{
        "Done", "DoneInterrupted", "ConnLost", "HTTPError", "HostUnreachable", "OutputFileError", "Aborted"};
    std::vector<std::string> out;
    for (const Event& e : events)
        if (std::find(terminal.begin(), terminal.end(), e.name) != terminal.end()) out.push_back(e.name);
    return out;
}

bool Recorder::Has(const std::string& name) const {
    return Find(name) != nullptr;
}

const Event* Recorder::Find(const std::string& name) const {
    for (const Event& e : events)
        if (e.name == name) return &e;
    return nullptr;
}

bool Recorder::GuiEventsOnMainThread() const {
    for (const Event& e : events)
        if (e.thread != MainThreadID()) return false;
    return true;
}

bool Fetch(TCustomWinHTTP& http, const std::string& url, int timeoutMs) {
    http.URL = url;
    if (!http.Read(false)) return false;
    return static_cast<bool>(PumpUntil([&] { return !http.Busy(); }, timeoutMs));
}

std::string FaultUrl(const std::string& path) {
    return FaultServer().Url(path);
}

Nginx::Nginx(const std::string& locations, bool tls)
    : NginxPeer([&] {
          testsupport::NginxOptions o;
          o.server = locations;
          o.http = "  keepalive_requests 100000;\n";
          o.tls = tls;
          o.echo = true;
          return o;
      }()) {}

} // namespace http_test
