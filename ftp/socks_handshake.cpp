#include "ftp/socks_handshake.h"

#include <algorithm>
#include <cstring>

namespace socks {
namespace {

const char* const kSocks5Texts[] = {
    "general SOCKS server failure", "connection not allowed by ruleset",
    "network unreachable",          "host unreachable",
    "connection refused",           "time to live expired",
    "command not supported",        "address type not supported",
};

void AppendPort(std::string& out, uint16_t port) {
    out += static_cast<char>(port >> 8);
    out += static_cast<char>(port & 0xFF);
}

} // namespace

void Handshake::Begin(const Request& request) {
    request_ = request;
    phase_ = Phase::Negotiating;
    fill_ = 0;
}

void Handshake::Fail(Outcome& out, int code, const std::string& text) {
    out.failCode = code;
    out.failText = text;
    out.send.clear();
    phase_ = Phase::None;
    fill_ = 0;
}

Outcome Handshake::Start() {
    Outcome out;
    if (LevelFour()) {
        ConnectRequest(out);
    } else {
        offered_ = request_.authenticate ? 2 : 0;
        out.send = std::string{'\x05', '\x01', static_cast<char>(offered_)};
    }
    return out;
}

size_t Handshake::Wanted() const {
    if (phase_ == Phase::Connecting && LevelFour()) return fill_ < 8 ? 8 - fill_ : 0;
    return kBufferSize - fill_;
}

void Handshake::Authenticate(Outcome& out) {
    phase_ = Phase::Authenticating;
    out.auth.push_back(AuthEvent::Started);
    // One length byte each: longer texts would desynchronise the exchange.
    if (request_.usercode.size() > 255 || request_.password.size() > 255)
        return Fail(out, 20013, "socks user code or password too long");
    out.send = std::string{'\x01', static_cast<char>(request_.usercode.size())} + request_.usercode +
               static_cast<char>(request_.password.size()) + request_.password;
}

void Handshake::ConnectRequest(Outcome& out) {
    phase_ = Phase::Connecting;
    fill_ = 0;
    if (LevelFour()) {
        std::string r{'\x04', '\x01'};
        AppendPort(r, request_.port);
        const bool named = request_.level == "4A";
        // 4A names the host after the user code and puts 0.0.0.1 where the address goes.
        if (named)
            r.append("\0\0\0\x01", 4);
        else
            r.append(reinterpret_cast<const char*>(&request_.address), 4);
        r += request_.usercode;
        r += '\0';
        if (named) {
            r += request_.host;
            r += '\0';
        }
        out.send = r;
        return;
    }
    if (request_.host.size() > 255) return Fail(out, 20013, "socks host name too long");
    std::string r{'\x05', '\x01', '\x00', '\x03', static_cast<char>(request_.host.size())};
    r += request_.host;
    AppendPort(r, request_.port);
    out.send = r;
}

Outcome Handshake::Take(const char* data, size_t length) {
    Outcome out;
    length = std::min(length, kBufferSize - fill_);
    std::memcpy(buffer_.data() + fill_, data, length);
    fill_ += length;
    switch (phase_) {
    case Phase::Negotiating:
        TakeNegotiation(out);
        break;
    case Phase::Authenticating:
        TakeAuthentication(out);
        break;
    case Phase::Connecting:
        TakeConnectReply(out);
        break;
    default:
        Fail(out, 20013, "internal error");
    }
    return out;
}

void Handshake::TakeNegotiation(Outcome& out) {
    if (LevelFour()) return Fail(out, 20001, "TWSocket logic error");
    if (fill_ < 2) return;
    fill_ = 0;
    if (buffer_[0] != 5) return Fail(out, 20002, "socks version error");
    if (buffer_[1] == 0) {
        if (offered_ == 2) out.auth.push_back(AuthEvent::NotRequired);
        return ConnectRequest(out);
    }
    if (buffer_[1] == 2) return Authenticate(out);
    Fail(out, 20003, "authentification method not acceptable");
}

void Handshake::TakeAuthentication(Outcome& out) {
    if (buffer_[0] != 1) return Fail(out, 20002, "socks version error");
    if (fill_ > 2) return Fail(out, 20001, "too much data availaible");
    if (fill_ < 2) return;
    if (buffer_[1] != 0) return Fail(out, 20015, "socks authentication failed");
    fill_ = 0;
    out.auth.push_back(AuthEvent::Succeeded);
    ConnectRequest(out);
}

void Handshake::TakeConnectReply(Outcome& out) {
    if (LevelFour()) {
        if (fill_ < 8) return;
        fill_ = 0;
        if (buffer_[0] != 0) return Fail(out, 20002, "socks version error");
        switch (buffer_[1]) {
        case 90:
            phase_ = Phase::None;
            out.connected = true;
            return;
        case 91:
            return Fail(out, 20016, "request rejected or failed");
        case 92:
            return Fail(out, 20008, "connection refused");
        case 93:
            return Fail(out, 20015, "authentification failed");
        default:
            return Fail(out, 20012, "unassigned error #" + std::to_string(buffer_[1]));
        }
    }
    if (buffer_[0] != 5) return Fail(out, 20002, "socks version error");
    if (fill_ >= 2 && buffer_[1] != 0) {
        const int code = buffer_[1];
        if (code <= 8) return Fail(out, 20003 + code, kSocks5Texts[code - 1]);
        return Fail(out, 20012, "unassigned error #" + std::to_string(code));
    }
    if (fill_ < 5) return;
    const uint8_t type = buffer_[3];
    const size_t whole = type == 1 ? 10 : type == 3 ? static_cast<size_t>(buffer_[4]) + 7 : 5;
    if (fill_ < whole) return;
    if (type != 1 && type != 3) return Fail(out, 20011, "address type not supported");
    out.leftover.assign(reinterpret_cast<const char*>(buffer_.data()) + whole, fill_ - whole);
    fill_ = 0;
    phase_ = Phase::None;
    out.connected = true;
}

} // namespace socks
