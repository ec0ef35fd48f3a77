#include "ftp/wsocket.h"

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/net/socket_resolve.h"
#include "platform/net/socket_views.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>

namespace ws = winsock;

namespace {

constexpr long kConnectMask = ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CONNECT | ws::FD_CLOSE;
constexpr long kListenMask = ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CLOSE;
constexpr long kDupMask = ws::FD_READ | ws::FD_WRITE | ws::FD_CONNECT | ws::FD_CLOSE;

std::string Dotted(in_addr address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

} // namespace

TBuffer::TBuffer(int Size) : data_(static_cast<size_t>(Size < 1 ? 1514 : Size)) {}

int TBuffer::Write(const void* Data, int Len) {
    const int n = std::max(0, std::min(Len, Size() - wrCount_));
    if (n > 0) std::memcpy(data_.data() + wrCount_, Data, static_cast<size_t>(n));
    wrCount_ += n;
    return n;
}

const char* TBuffer::Peek(int& Len) const {
    Len = wrCount_ - rdCount_;
    return Len > 0 ? data_.data() + rdCount_ : nullptr;
}

int TBuffer::Remove(int Len) {
    const int n = std::max(0, std::min(Len, wrCount_ - rdCount_));
    rdCount_ += n;
    if (rdCount_ >= wrCount_) rdCount_ = wrCount_ = 0;
    return n;
}

TCustomWSocket::TCustomWSocket(TComponent* AOwner) : TComponent(AOwner) {
    handle_ = AllocateHWnd([this](TMessage& Msg) { WndProc(Msg); });
    ResetDefaults();
    // The library's start-up is only bookkeeping here; the count ends with the last socket.
    ws::WSAStartup(0x0101, nullptr);
}

TCustomWSocket::~TCustomWSocket() {
    destroying_ = true;
    try {
        CancelLookup();
        if (state_ != wsClosed) Close();
    } catch (const std::exception&) {
        // Nothing can be reported from a destructor; the descriptor is released all the same.
    }
    if (hSocket_ != ws::INVALID_SOCKET) ws::closesocket(hSocket_);
    ws::WSACleanup();
    DeallocateHWnd(handle_);
}

void TCustomWSocket::WndProc(TMessage& Msg) {
    try {
        switch (Msg.Msg) {
        case WM_ASYNCSELECT:
            return WMASyncSelect(Msg);
        case WM_ASYNCGETHOSTBYNAME:
            return WMAsyncGetHostByName(Msg);
        case WM_ASYNCGETHOSTBYADDR:
            return WMAsyncGetHostByAddr(Msg);
        case WM_CLOSE_DELAYED:
            return WMCloseDelayed(Msg);
        case WM_WSOCKET_RELEASE:
            return WMRelease(Msg);
        case WM_TRIGGER_EXCEPTION:
            return WMTriggerException(Msg);
        default:
            Msg.Result = DefWindowProc(handle_, Msg.Msg, Msg.WParam, Msg.LParam);
        }
    } catch (const std::exception& E) {
        HandleBgException(E);
    }
}

void TCustomWSocket::ResetDefaults() {
    sin_ = sockaddr_in{};
    sin_.sin_family = AF_INET;
    portAssigned_ = addrAssigned_ = false;
    addrResolved_ = portResolved_ = protoResolved_ = localPortResolved_ = false;
    protoAssigned_ = true;
    protoNum_ = IPPROTO_TCP;
    proto_ = "tcp";
    sockType_ = SOCK_STREAM;
    localPort_ = "0";
    localAddr_ = "0.0.0.0";
    // Closing gracefully is the default: an abortive close would throw away data not yet sent.
    LingerOnOff = wsLingerOff;
    LingerTimeout = 0;
    hSocket_ = ws::INVALID_SOCKET;
    state_ = wsClosed;
    allSent_ = true;
    paused_ = false;
    readCount_ = 0;
    closeReported_ = false;
    FlushTimeout = 60;
}

void TCustomWSocket::SetSocketState(TSocketState NewState) {
    const TSocketState old = state_;
    state_ = NewState;
    FireChangeState(old, NewState);
}

// The rule of the Addr, Port and Proto properties: the same text again changes nothing; another one
// only while closed, trimmed, and it has to be resolved again.
void TCustomWSocket::SetTextProperty(std::string& Text, bool& Assigned, bool& Resolved,
                                     const std::string& Value, const char* Name) {
    if (Assigned && Value == Text) return;
    if (state_ != wsClosed) return RaiseOrReport(std::string("Cannot change ") + Name + " if not closed");
    Text = Trim(Value);
    Assigned = !Text.empty();
    Resolved = false;
}

void TCustomWSocket::SetAddr(const std::string& Value) {
    SetTextProperty(addr_, addrAssigned_, addrResolved_, Value, "Addr");
}

void TCustomWSocket::SetPort(const std::string& Value) {
    SetTextProperty(port_, portAssigned_, portResolved_, Value, "Port");
}

void TCustomWSocket::SetProto(const std::string& Value) {
    SetTextProperty(proto_, protoAssigned_, protoResolved_, Value, "Proto");
}

void TCustomWSocket::SetLocalPort(const std::string& Value) {
    if (state_ != wsClosed) return RaiseOrReport("Cannot change LocalPort if not closed");
    localPort_ = Value;
    localPortResolved_ = false;
}

void TCustomWSocket::SetLocalAddr(const std::string& Value) {
    if (state_ != wsClosed) return RaiseOrReport("Cannot change LocalAddr if not closed");
    const std::string text = Value.empty() ? "0.0.0.0" : Value;
    in_addr address{::inet_addr(text.c_str())};
    if (address.s_addr == INADDR_NONE && text != "255.255.255.255")
        return RaiseOrReport("SetLocalAddr(): Invalid IP address");
    localAddr_ = Dotted(address);
}

TSocketSendFlags TCustomWSocket::SendFlags() const {
    if (sendFlags_ == 0) return wsSendNormal;
    if (sendFlags_ == MSG_OOB) return wsSendUrgent;
    throw ESocketException("Invalid internal SendFlags");
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags Value) {
    if (Value == wsSendNormal)
        sendFlags_ = 0;
    else if (Value == wsSendUrgent)
        sendFlags_ = MSG_OOB;
    else
        RaiseOrReport("Invalid SendFlags");
}

void TCustomWSocket::RaiseOrReport(const std::string& Msg) {
    if (OnError) return FireError();
    throw ESocketException(Msg);
}

void TCustomWSocket::RaiseSocketError(const std::string& FuncName) {
    const int code = ws::WSAGetLastError();
    const std::string text =
        "Error " + IntToStr(code) + " in function " + FuncName + "\r\n" + WinsockErrorText(code);
    if ((code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) && hSocket_ != ws::INVALID_SOCKET) {
        ws::closesocket(hSocket_);
        hSocket_ = ws::INVALID_SOCKET;
        state_ = wsClosed;
    }
    lastError_ = code;
    RaiseOrReport(text);
}

void TCustomWSocket::HandleBgException(const std::exception& E) {
    bool canClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, E, canClose);
        } catch (const std::exception&) {
            // A failing handler must not leave the window procedure either.
        }
    }
    if (!canClose) return;
    try {
        Abort();
    } catch (const std::exception&) {
    }
}

bool TCustomWSocket::FireDataAvailable(WORD Error) {
    if (!OnDataAvailable) return false;
    OnDataAvailable(this, Error);
    return true;
}

void TCustomWSocket::FireSessionAvailable(WORD Error) {
    if (OnSessionAvailable) OnSessionAvailable(this, Error);
}

void TCustomWSocket::FireSessionConnected(WORD Error) {
    if (OnSessionConnected) OnSessionConnected(this, Error);
}

void TCustomWSocket::FireSessionClosed(WORD Error) {
    if (OnSessionClosed) OnSessionClosed(this, Error);
}

void TCustomWSocket::FireDataSent(WORD Error) {
    if (OnDataSent) OnDataSent(this, Error);
}

void TCustomWSocket::FireChangeState(TSocketState OldState, TSocketState NewState) {
    if (OnChangeState) OnChangeState(this, OldState, NewState);
}

void TCustomWSocket::FireDnsLookupDone(WORD Error) {
    if (OnDnsLookupDone) OnDnsLookupDone(this, Error);
}

void TCustomWSocket::FireError() {
    if (OnError) OnError(this);
}

// Resolves what Connect needs and is not resolved yet; failures raise ESocketException.
void TCustomWSocket::ResolveForConnect() {
    if (!protoResolved_) {
        protoNum_ = WSocketResolveProto(proto_);
        sockType_ = protoNum_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        protoResolved_ = true;
    }
    if (!portResolved_) {
        portNum_ = WSocketResolvePort(port_, proto_);
        sin_.sin_port = htons(portNum_);
        portResolved_ = true;
    }
    if (!localPortResolved_) {
        localPortNum_ = WSocketResolvePort(localPort_, proto_);
        localPortResolved_ = true;
    }
    if (!addrResolved_) {
        sin_.sin_addr.s_addr = WSocketResolveHost(addr_);
        addrResolved_ = true;
    }
}

void TCustomWSocket::Connect() {
    if (hSocket_ != ws::INVALID_SOCKET && state_ != wsClosed)
        return RaiseOrReport("Connect: Socket already in use");
    if (!portAssigned_) return RaiseOrReport("Connect: No Port Specified");
    if (!addrAssigned_) return RaiseOrReport("Connect: No IP Address Specified");
    if (!protoAssigned_) return RaiseOrReport("Connect: No Protocol Specified");
    try {
        ResolveForConnect();
        // No peer listens on port 0: refused here rather than sent.
        if (sin_.sin_port == 0) throw ESocketException("WSocketResolvePort: Invalid Port.");
    } catch (const ESocketException& E) {
        return RaiseOrReport("connect: " + E.Message());
    }
    DropQueue();
    hSocket_ = ws::socket(AF_INET, sockType_, protoNum_);
    if (hSocket_ == ws::INVALID_SOCKET) return RaiseSocketError("Connect (socket)");
    SetSocketState(wsOpened);
    if (sockType_ == SOCK_DGRAM) {
        BindLocal();
        if (sin_.sin_addr.s_addr == INADDR_BROADCAST) {
            const int on = 1;
            if (ws::setsockopt(hSocket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
                return RaiseSocketError("setsockopt(SO_BROADCAST)");
        }
    } else {
        if (localPortNum_ != 0 || localAddr_ != "0.0.0.0") BindLocal();
        ApplyLinger();
        const int on = 1;
        if (ws::setsockopt(hSocket_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0)
            return RaiseSocketError("setsockopt(SO_KEEPALIVE)");
        if (ws::setsockopt(hSocket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
            return RaiseSocketError("setsockopt(SO_REUSEADDR)");
    }
    if (ws::WSAAsyncSelect(hSocket_, handle_, WM_ASYNCSELECT, kConnectMask) != 0)
        return RaiseSocketError("WSAAsyncSelect");
    if (sockType_ == SOCK_DGRAM) {
        SetSocketState(wsConnected);
        return FireSessionConnected(0);
    }
    if (ws::connect(hSocket_, reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_) != 0 &&
        ws::WSAGetLastError() != ws::WSAEWOULDBLOCK) {
        lastError_ = ws::WSAGetLastError();
        return RaiseSocketError("Connect");
    }
    SetSocketState(wsConnecting);
}

void TCustomWSocket::Listen() {
    if (!portAssigned_) {
        ws::WSASetLastError(ws::WSAEINVAL);
        return RaiseSocketError("listen: port not assigned");
    }
    if (!protoAssigned_) {
        ws::WSASetLastError(ws::WSAEINVAL);
        return RaiseSocketError("listen: protocol not assigned");
    }
    if (!addrAssigned_) {
        ws::WSASetLastError(ws::WSAEINVAL);
        return RaiseSocketError("listen: address not assigned");
    }
    try {
        if (!protoResolved_) {
            protoNum_ = WSocketResolveProto(proto_);
            sockType_ = protoNum_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
            protoResolved_ = true;
        }
        if (!portResolved_) {
            portNum_ = WSocketResolvePort(port_, proto_);
            sin_.sin_port = htons(portNum_);
            portResolved_ = true;
        }
        if (!addrResolved_) {
            sin_.sin_addr.s_addr = WSocketResolveHost(addr_);
            addrResolved_ = true;
        }
    } catch (const ESocketException& E) {
        return RaiseOrReport("listen: " + E.Message());
    }
    DropQueue();
    hSocket_ = ws::socket(AF_INET, sockType_, protoNum_);
    if (hSocket_ == ws::INVALID_SOCKET) return RaiseSocketError("socket");
    if (ws::bind(hSocket_, reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_) != 0) {
        const int error = ws::WSAGetLastError();
        Close();
        ws::WSASetLastError(error);
        return RaiseSocketError("Bind");
    }
    SetSocketState(wsBound);
    if (sockType_ == SOCK_DGRAM) {
        SetSocketState(wsListening);
        SetSocketState(wsConnected);
        FireSessionConnected(0);
    } else {
        if (ws::listen(hSocket_, 5) != 0) return RaiseSocketError("Listen");
        SetSocketState(wsListening);
    }
    if (ws::WSAAsyncSelect(hSocket_, handle_, WM_ASYNCSELECT, kListenMask) != 0)
        return RaiseSocketError("WSAASyncSelect");
}

ws::SOCKET TCustomWSocket::Accept() {
    if (state_ != wsListening) {
        ws::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("not a listening socket");
        return ws::INVALID_SOCKET;
    }
    socklen_t len = sizeof sin_;
    const ws::SOCKET accepted = ws::accept(hSocket_, reinterpret_cast<sockaddr*>(&sin_), &len);
    if (accepted == ws::INVALID_SOCKET) RaiseSocketError("Accept");
    return accepted;
}

void TCustomWSocket::Dup(ws::SOCKET NewHSocket) {
    if (NewHSocket == 0 || NewHSocket == ws::INVALID_SOCKET) {
        ws::WSASetLastError(ws::WSAEINVAL);
        return RaiseSocketError("Dup");
    }
    if (state_ != wsClosed) {
        const ws::SOCKET old = hSocket_;
        hSocket_ = ws::INVALID_SOCKET;
        if (old != ws::INVALID_SOCKET && ws::closesocket(old) != 0) {
            SetSocketState(wsClosed);
            return RaiseSocketError("Dup (closesocket)");
        }
        SetSocketState(wsClosed);
    }
    hSocket_ = NewHSocket;
    ApplyLinger();
    if (ws::WSAAsyncSelect(hSocket_, handle_, WM_ASYNCSELECT, kDupMask) != 0)
        return RaiseSocketError("WSAAsyncSelect");
    SetSocketState(wsConnected);
}

void TCustomWSocket::BindLocal() {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPortNum_);
    local.sin_addr.s_addr = WSocketResolveHost(localAddr_);
    if (ws::bind(hSocket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return RaiseOrReport(Format("winsock.bind failed, error #%d", ws::WSAGetLastError()));
    socklen_t len = sizeof local;
    if (ws::getsockname(hSocket_, reinterpret_cast<sockaddr*>(&local), &len) != 0)
        return RaiseOrReport(Format("winsock.getsockname failed, error #%d", ws::WSAGetLastError()));
    localPortNum_ = ntohs(local.sin_port);
    localPort_ = IntToStr(localPortNum_);
}

void TCustomWSocket::ApplyLinger() {
    if (LingerOnOff == wsLingerNoSet) return;
    if (hSocket_ == ws::INVALID_SOCKET) return RaiseOrReport("Cannot set linger option at this time");
    // A linger time above 0 would make close wait, on the GUI thread, until the peer has taken
    // everything: such a socket closes gracefully in the background instead.
    linger l{LingerOnOff == wsLingerOn && LingerTimeout == 0 ? 1 : 0, 0};
    if (ws::setsockopt(hSocket_, SOL_SOCKET, SO_LINGER, &l, sizeof l) != 0)
        RaiseSocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::QueueData(const void* Data, int Len) {
    const char* p = static_cast<const char*>(Data);
    if (queue_.empty()) queue_.push_back(std::make_unique<TBuffer>(SendChunkSize));
    int done = queue_.back()->Write(p, Len);
    while (done < Len) {
        queue_.push_back(std::make_unique<TBuffer>(SendChunkSize));
        done += queue_.back()->Write(p + done, Len - done);
    }
}

int TCustomWSocket::Send(const void* Data, int Len) {
    if (state_ != wsConnected) {
        ws::WSASetLastError(ws::WSAENOTCONN);
        RaiseSocketError("Send");
        return -1;
    }
    if (Len <= 0) return 0;
    allSent_ = false;
    QueueData(Data, Len);
    TryToSend();
    // OnDataSent never fires inside Send: it follows from the message loop.
    if (allSent_) PostMessage(handle_, WM_ASYNCSELECT, hSocket_, ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0));
    return Len;
}

int TCustomWSocket::SendStr(const std::string& Str) {
    return Send(Str.data(), static_cast<int>(Str.size()));
}

int TCustomWSocket::SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len) {
    const int n = ws::sendto(hSocket_, Data, Len, sendFlags_, reinterpret_cast<const sockaddr*>(&Dest),
                             static_cast<socklen_t>(DestLen));
    if (n > 0 && OnSendData) OnSendData(this, n);
    return n;
}

int TCustomWSocket::RawSend(const void* Data, int Len) {
    const int n = sockType_ == SOCK_DGRAM ? ws::sendto(hSocket_, Data, Len, sendFlags_,
                                                       reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_)
                                          : ws::send(hSocket_, Data, Len, sendFlags_);
    if (n > 0 && OnSendData) OnSendData(this, n);
    return n;
}

void TCustomWSocket::TryToSend() {
    if (hSocket_ == ws::INVALID_SOCKET || queue_.empty()) return;
    for (;;) {
        int len = 0;
        const char* p = queue_.front()->Peek(len);
        if (len <= 0) {
            if (queue_.size() == 1) {
                allSent_ = true;
                return;
            }
            queue_.pop_front();
            continue;
        }
        const int n = RawSend(p, len);
        if (n == 0) return;
        if (n < 0) {
            const int error = ws::WSAGetLastError();
            switch (error) {
            case ws::WSAECONNRESET:
            case ws::WSAENOTSOCK:
            case ws::WSAENOTCONN:
            case ws::WSAEINVAL:
            case ws::WSAECONNABORTED:
            case ws::WSAESHUTDOWN: // how a reset connection answers here
                // A lost connection is a close with its error, not an exception.
                closeReported_ = true;
                Close();
                return FireSessionClosed(static_cast<WORD>(error));
            case ws::WSAEWOULDBLOCK:
                return;
            default:
                return RaiseSocketError("TryToSend failed");
            }
        }
        queue_.front()->Remove(n);
        if (n < len) return;
    }
}

void TCustomWSocket::WMASyncSelect(TMessage& Msg) {
    TWMAsyncSelect m{Msg};
    if (m.Socket() != hSocket_ || paused_) return;
    const WORD event = m.SelectEvent();
    const WORD error = m.SelectError();
    if (event & ws::FD_CONNECT) {
        SetSocketState(wsConnected);
        FireSessionConnected(error);
        if (error != 0 && state_ != wsClosed) Close();
    }
    if (event & ws::FD_READ) ReceiveLoop(error);
    if (event & ws::FD_WRITE) {
        TryToSend();
        if (allSent_) FireDataSent(error);
    }
    if (event & ws::FD_ACCEPT) FireSessionAvailable(error);
    if ((event & ws::FD_CLOSE) && state_ != wsConnecting) {
        ReceiveLoop(0);
        if (!closeReported_) {
            closeReported_ = true;
            FireSessionClosed(error);
        }
        if (state_ != wsClosed) Close();
    }
}

void TCustomWSocket::ReceiveLoop(WORD Error) {
    for (;;) {
        lastError_ = 0;
        const int64_t before = consumed_;
        if (!FireDataAvailable(Error)) {
            char junk[1024];
            const int n = RawReceive(junk, sizeof junk, 0);
            if (n < 0) {
                const int error = ws::WSAGetLastError();
                if (error == ws::WSAEWOULDBLOCK) return;
                lastError_ = error;
            } else {
                consumed_ += n;
            }
        }
        if (lastError_ != 0 || hSocket_ == ws::INVALID_SOCKET) return;
        unsigned long waiting = 0;
        if (ws::ioctlsocket(hSocket_, FIONREAD, &waiting) != 0) {
            lastError_ = ws::WSAGetLastError();
            return;
        }
        // A pass that took nothing would take nothing again: the data waits for the next Receive.
        if (waiting == 0 || consumed_ == before) return;
    }
}

int TCustomWSocket::RawReceive(void* Buffer, int BufferSize, int Flags) {
    return ws::recv(hSocket_, Buffer, BufferSize, Flags);
}

int TCustomWSocket::Receive(void* Buffer, int BufferSize) {
    const int n = RawReceive(Buffer, BufferSize, 0);
    if (n < 0) {
        lastError_ = ws::WSAGetLastError();
    } else {
        readCount_ += n;
        consumed_ += n;
    }
    return n;
}

std::string TCustomWSocket::ReceiveStr() {
    const int count = RcvdCount();
    if (count <= 0) return {};
    std::string text(static_cast<size_t>(count), '\0');
    const int n = Receive(text.data(), count);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

int TCustomWSocket::ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen) {
    socklen_t len = static_cast<socklen_t>(FromLen);
    const int n = ws::recvfrom(hSocket_, Buffer, BufferSize, 0, reinterpret_cast<sockaddr*>(&From), &len);
    FromLen = static_cast<int>(len);
    if (n < 0) {
        lastError_ = ws::WSAGetLastError();
    } else {
        readCount_ += n;
        consumed_ += n;
    }
    return n;
}

int TCustomWSocket::RcvdCount() {
    if (hSocket_ == ws::INVALID_SOCKET) return 0;
    unsigned long waiting = 0;
    if (ws::ioctlsocket(hSocket_, FIONREAD, &waiting) != 0) return -1;
    return static_cast<int>(waiting);
}

void TCustomWSocket::DnsLookup(const std::string& HostName) {
    if (HostName.empty()) {
        RaiseOrReport("DNS lookup: invalid host name.");
        return FireDnsLookupDone(ws::WSAEINVAL);
    }
    CancelLookup();
    dnsResult_.clear();
    dnsResultList_.clear();
    const in_addr_t address = ::inet_addr(HostName.c_str());
    if (address != INADDR_NONE || HostName == "255.255.255.255") {
        dnsResult_ = Dotted(in_addr{address});
        dnsResultList_.push_back(dnsResult_);
        return FireDnsLookupDone(0);
    }
    StartLookup(ws::WSAAsyncGetHostByName(handle_, WM_ASYNCGETHOSTBYNAME, HostName), HostName);
}

void TCustomWSocket::ReverseLookup(const std::string& HostAddr) {
    if (HostAddr.empty()) {
        RaiseOrReport("DNS lookup: invalid host name.");
        return FireDnsLookupDone(ws::WSAEINVAL);
    }
    CancelLookup();
    dnsResult_.clear();
    dnsResultList_.clear();
    const in_addr address{::inet_addr(HostAddr.c_str())};
    StartLookup(ws::WSAAsyncGetHostByAddr(handle_, WM_ASYNCGETHOSTBYADDR, address), HostAddr);
}

void TCustomWSocket::StartLookup(ws::TaskHandle Task, const std::string& HostName) {
    lookupTask_ = Task;
    if (Task == 0)
        RaiseOrReport(Format("%s: can't start DNS lookup, error #%d", HostName, ws::WSAGetLastError()));
}

void TCustomWSocket::CancelLookup() {
    if (lookupTask_ == 0) return;
    const ws::TaskHandle task = lookupTask_;
    lookupTask_ = 0;
    if (ws::WSACancelAsyncRequest(task) != 0) {
        if (ws::WSAGetLastError() != ws::WSAEALREADY) return RaiseSocketError("WSACancelAsyncRequest");
        // The lookup ended just before the cancel: its message is on its way and will be passed over
        // (no task is awaited any more), so its entry is dropped here and the cancel still ends the lookup.
        ws::HostEntry unused;
        ws::WSATakeHostEntry(task, unused);
    }
    if (!destroying_) FireDnsLookupDone(ws::WSAEINTR);
}

void TCustomWSocket::WMAsyncGetHostByName(TMessage& Msg) {
    TWMAsyncLookup m{Msg};
    if (m.Task() != lookupTask_ || lookupTask_ == 0) return;
    lookupTask_ = 0;
    ws::HostEntry entry;
    const bool found = ws::WSATakeHostEntry(m.Task(), entry);
    if (m.Error() == 0 && found) {
        for (const in_addr& a : entry.addresses)
            dnsResultList_.push_back(Dotted(a));
        if (!dnsResultList_.empty()) dnsResult_ = dnsResultList_.front();
    }
    FireDnsLookupDone(m.Error());
}

void TCustomWSocket::WMAsyncGetHostByAddr(TMessage& Msg) {
    TWMAsyncLookup m{Msg};
    if (m.Task() != lookupTask_ || lookupTask_ == 0) return;
    lookupTask_ = 0;
    ws::HostEntry entry;
    if (ws::WSATakeHostEntry(m.Task(), entry) && m.Error() == 0) {
        dnsResult_ = entry.name;
        dnsResultList_.assign(1, entry.name);
    }
    FireDnsLookupDone(m.Error());
}

void TCustomWSocket::WMCloseDelayed(TMessage&) {
    Close();
}

void TCustomWSocket::WMRelease(TMessage&) {
    delete this;
}

void TCustomWSocket::WMTriggerException(TMessage&) {
    throw ESocketException("Test exception in WSocket");
}

void TCustomWSocket::CloseSocket(bool Shut, WORD Error) {
    if (hSocket_ == ws::INVALID_SOCKET) {
        if (state_ != wsClosed) {
            SetSocketState(wsClosed);
            ResetDefaults();
        }
        return;
    }
    if (state_ == wsClosed) return;
    if (Shut) ShutDown(SHUT_WR);
    // Closed once: the descriptor is released whatever close answers.
    if (ws::closesocket(hSocket_) != 0) lastError_ = ws::WSAGetLastError();
    hSocket_ = ws::INVALID_SOCKET;
    SetSocketState(wsClosed);
    if (!destroying_ && !closeReported_) {
        closeReported_ = true;
        FireSessionClosed(Error);
    }
    try {
        ResetDefaults();
    } catch (const std::exception&) {
    }
}

void TCustomWSocket::Close() {
    CloseSocket(true, 0);
}

void TCustomWSocket::Abort() {
    CancelLookup();
    DropQueue();
    if (hSocket_ != ws::INVALID_SOCKET && state_ == wsConnected && sockType_ == SOCK_STREAM) {
        // A hard reset: the peer learns at once that the transfer did not end normally.
        linger hard{1, 0};
        ws::setsockopt(hSocket_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    CloseSocket(false, 0);
}

void TCustomWSocket::CloseDelayed() {
    PostMessage(handle_, WM_CLOSE_DELAYED, 0, 0);
}

void TCustomWSocket::Release() {
    PostMessage(handle_, WM_WSOCKET_RELEASE, 0, 0);
}

void TCustomWSocket::ShutDown(int How) {
    if (hSocket_ != ws::INVALID_SOCKET) ws::shutdown(hSocket_, How);
}

void TCustomWSocket::Pause() {
    paused_ = true;
    ws::WSAAsyncSelect(hSocket_, handle_, 0, 0);
}

void TCustomWSocket::Resume() {
    paused_ = false;
    ws::WSAAsyncSelect(hSocket_, handle_, WM_ASYNCSELECT, kDupMask);
}

void TCustomWSocket::WaitForWork() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE_, 50, QS_ALLINPUT);
}

void TCustomWSocket::Flush() {
    while (hSocket_ != ws::INVALID_SOCKET && !allSent_) {
        TryToSend();
        PumpMessages();
        if (quitSeen_) return;
        if (!allSent_) WaitForWork();
    }
}

void TCustomWSocket::WaitForClose() {
    char probe;
    while (hSocket_ != ws::INVALID_SOCKET && state_ != wsClosed) {
        PumpMessages();
        if (quitSeen_ || hSocket_ == ws::INVALID_SOCKET) return;
        unsigned long waiting = 0;
        if (ws::ioctlsocket(hSocket_, FIONREAD, &waiting) != 0) return;
        if (waiting > 0) FireDataAvailable(0);
        if (hSocket_ == ws::INVALID_SOCKET) return;
        if (RawReceive(&probe, 0, 0) < 1) {
            lastError_ = ws::WSAGetLastError();
            if (lastError_ != ws::WSAEWOULDBLOCK) return;
        }
        PumpMessages();
        WaitForWork();
    }
}

void TCustomWSocket::PumpOwnMessages() {
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitSeen_ = true;
            continue;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
}

void TCustomWSocket::PumpMessages() {
    if (MultiThreaded)
        PumpOwnMessages();
    else if (!::ProcessMessages())
        quitSeen_ = true;
}

std::string TCustomWSocket::GetPeerAddr() {
    if (state_ != wsConnected) return "error";
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (ws::getpeername(hSocket_, reinterpret_cast<sockaddr*>(&peer), &len) != 0) {
        RaiseSocketError("GetPeerName");
        return "error";
    }
    return Dotted(peer.sin_addr);
}

std::string TCustomWSocket::GetPeerPort() {
    if (state_ != wsConnected) return "error";
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (ws::getpeername(hSocket_, reinterpret_cast<sockaddr*>(&peer), &len) != 0) {
        RaiseSocketError("GetPeerPort");
        return "error";
    }
    return IntToStr(ntohs(peer.sin_port));
}

int TCustomWSocket::GetPeerName(sockaddr_in& Name, int& NameLen) {
    if (state_ != wsConnected) return -1;
    socklen_t len = static_cast<socklen_t>(NameLen);
    const int r = ws::getpeername(hSocket_, reinterpret_cast<sockaddr*>(&Name), &len);
    NameLen = static_cast<int>(len);
    return r;
}

int TCustomWSocket::GetSockName(sockaddr_in& Name, int& NameLen) {
    socklen_t len = static_cast<socklen_t>(NameLen);
    const int r = ws::getsockname(hSocket_, reinterpret_cast<sockaddr*>(&Name), &len);
    NameLen = static_cast<int>(len);
    return r;
}

std::string TCustomWSocket::GetLocalPortText() {
    if (state_ != wsBound && state_ != wsConnected && state_ != wsListening) return "error";
    sockaddr_in local{};
    int len = sizeof local;
    if (GetSockName(local, len) != 0) return "error";
    return IntToStr(ntohs(local.sin_port));
}
