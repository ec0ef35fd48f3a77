#include "ftp/socks_wsocket.h"

#include "platform/net/socket_resolve.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>

void TCustomSocksWSocket::ResetDefaults() {
    TCustomWSocket::ResetDefaults();
    // The proxy settings are kept: a reconnect or the next data connection must not go direct.
    handshake_.Reset();
    leftover_.clear();
    leftoverPos_ = 0;
}

void TCustomSocksWSocket::SetSocksServer(const std::string& Value) {
    if (State() != wsClosed) return RaiseOrReport("Can't change socks server if not closed");
    socksServer_ = Trim(Value);
}

void TCustomSocksWSocket::SetSocksPort(const std::string& Value) {
    if (State() != wsClosed) return RaiseOrReport("Can't change socks port if not closed");
    socksPort_ = Trim(Value);
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& Value) {
    if (State() != wsClosed) return RaiseOrReport("Can't change socks level if not closed");
    const std::string level = UpperCase(Value);
    if (level != "4" && level != "4A" && level != "5")
        return RaiseOrReport("Invalid socks level. Must be 4, 4A or 5.");
    socksLevel_ = level;
}

void TCustomSocksWSocket::Connect() {
    if (socksServer_.empty()) return TCustomWSocket::Connect();
    if (LowerCase(Proto()) != "tcp")
        return RaiseOrReport("tcp is the only protocol supported thru socks server");
    socks::Request request;
    try {
        if (!portResolved_) {
            portNum_ = WSocketResolvePort(socksPort_, "tcp");
            sin_.sin_port = htons(portNum_);
            portResolved_ = true;
        }
        if (!addrResolved_) {
            sin_.sin_addr.s_addr = WSocketResolveHost(socksServer_);
            addrResolved_ = true;
        }
        request.port = WSocketResolvePort(Port(), "tcp");
        if (request.port == 0) throw ESocketException("WSocketResolvePort: Invalid Port.");
        // SOCKS 4 carries an address only: the name is resolved here.
        if (socksLevel_ == "4") request.address = WSocketResolveHost(Addr());
    } catch (const ESocketException& E) {
        return RaiseOrReport("connect: " + E.Message());
    }
    request.level = socksLevel_;
    request.authenticate = SocksAuthentication == socksAuthenticateUsercode;
    request.usercode = SocksUsercode;
    request.password = SocksPassword;
    request.host = Addr();
    handshake_.Begin(request);
    TCustomWSocket::Connect();
    if (State() != wsConnecting) handshake_.Reset();
}

void TCustomSocksWSocket::Listen() {
    if (!socksServer_.empty()) return RaiseOrReport("Listening is not supported thru socks server");
    TCustomWSocket::Listen();
}

int TCustomSocksWSocket::RcvdCount() {
    if (leftoverPos_ < leftover_.size()) return static_cast<int>(leftover_.size() - leftoverPos_);
    return TCustomWSocket::RcvdCount();
}

int TCustomSocksWSocket::RawReceive(void* Buffer, int BufferSize, int Flags) {
    if (leftoverPos_ < leftover_.size() && BufferSize > 0) {
        const size_t n = std::min(static_cast<size_t>(BufferSize), leftover_.size() - leftoverPos_);
        std::memcpy(Buffer, leftover_.data() + leftoverPos_, n);
        leftoverPos_ += n;
        if (leftoverPos_ == leftover_.size()) {
            leftover_.clear();
            leftoverPos_ = 0;
        }
        return static_cast<int>(n);
    }
    return TCustomWSocket::RawReceive(Buffer, BufferSize, Flags);
}

void TCustomSocksWSocket::FireAuthState(TSocksAuthState State) {
    if (OnSocksAuthState) OnSocksAuthState(this, State);
}

void TCustomSocksWSocket::SocksFail(int Code, const std::string& Text) {
    handshake_.Reset();
    if (OnSocksError) OnSocksError(this, Code, Text);
    TCustomWSocket::FireSessionConnected(static_cast<WORD>(Code));
    CloseSocket(true, static_cast<WORD>(Code));
}

// Carries out what the handshake asks for after a step.
void TCustomSocksWSocket::Apply(const socks::Outcome& Out) {
    for (socks::AuthEvent e : Out.auth)
        FireAuthState(e == socks::AuthEvent::Started     ? authStarted
                      : e == socks::AuthEvent::Succeeded ? authSucceeded
                                                         : authNotRequired);
    if (Out.failCode != 0) return SocksFail(Out.failCode, Out.failText);
    if (!Out.send.empty()) SendStr(Out.send);
    if (!Out.connected) return;
    leftover_ = Out.leftover;
    leftoverPos_ = 0;
    TCustomWSocket::FireSessionConnected(0);
    // Data the destination sent with the reply (or right after it) is delivered now.
    if (State() == wsConnected && RcvdCount() > 0) FireDataAvailable(0);
}

void TCustomSocksWSocket::FireSessionConnected(WORD Error) {
    if (handshake_.CurrentPhase() != socks::Phase::Negotiating)
        return TCustomWSocket::FireSessionConnected(Error);
    if (OnSocksConnected) OnSocksConnected(this, Error);
    if (Error != 0) {
        handshake_.Reset();
        return TCustomWSocket::FireSessionConnected(Error);
    }
    Apply(handshake_.Start());
}

bool TCustomSocksWSocket::FireDataAvailable(WORD Error) {
    if (handshake_.CurrentPhase() == socks::Phase::None) return TCustomWSocket::FireDataAvailable(Error);
    if (Error != 0) {
        SocksFail(Error, "data receive error");
        return false;
    }
    char buffer[socks::Handshake::kBufferSize];
    const size_t wanted = handshake_.Wanted();
    if (wanted == 0) {
        SocksFail(20001, "protocol error");
        return true;
    }
    const int n = Receive(buffer, static_cast<int>(wanted));
    if (n <= 0) return true;
    Apply(handshake_.Take(buffer, static_cast<size_t>(n)));
    return true;
}

void TCustomSocksWSocket::FireSessionClosed(WORD Error) {
    const socks::Phase phase = handshake_.CurrentPhase();
    handshake_.Reset();
    if (phase == socks::Phase::Authenticating) FireAuthState(authFailed);
    // A proxy that hangs up in the middle of the handshake: the connect still gets its outcome.
    if (phase != socks::Phase::None) {
        if (OnSocksError) OnSocksError(this, 20001, "connection closed during socks negotiation");
        TCustomWSocket::FireSessionConnected(20001);
    }
    TCustomWSocket::FireSessionClosed(Error);
}
