#pragma once
// The asynchronous socket component: a non-blocking TCP or UDP socket on the GUI thread whose
// network events, lookups and deferred work arrive as messages to its hidden window and fire its
// events. Every call returns at once; nothing blocks but the resolution of names inside Connect and
// Listen. The SOCKS, line and waiting layers derive from it.
#include "platform/gui/messages.h"
#include "platform/net/socket_errors.h"
#include "platform/net/winsock.h"
#include "platform/rtl/component.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

using TSocketErrorEvent = std::function<void(TObject* Sender, WORD Error)>;
using TDataAvailable = TSocketErrorEvent;
using TDataSent = TSocketErrorEvent;
using TSessionClosed = TSocketErrorEvent;
using TSessionAvailable = TSocketErrorEvent;
using TSessionConnected = TSocketErrorEvent;
using TDnsLookupDone = TSocketErrorEvent;
using TSendData = std::function<void(TObject* Sender, int BytesSent)>;
using TChangeState = std::function<void(TObject* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent = std::function<void(TObject* Sender, const std::exception& E, bool& CanClose)>;

// Messages of the socket's hidden window.
inline constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
inline constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
inline constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
inline constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
inline constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;
inline constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
inline constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

// One chunk of the send queue.
class TBuffer {
public:
    explicit TBuffer(int Size);
    // Copies what fits after the written bytes; answers the count copied.
    int Write(const void* Data, int Len);
    // The unread bytes (nullptr and 0 when none).
    const char* Peek(int& Len) const;
    // Marks bytes read; once all written bytes are read both counts start again at 0.
    int Remove(int Len);
    int Size() const { return static_cast<int>(data_.size()); }

private:
    std::vector<char> data_;
    int wrCount_ = 0;
    int rdCount_ = 0;
};

class TCustomWSocket : public TComponent {
public:
    explicit TCustomWSocket(TComponent* AOwner);
    ~TCustomWSocket() override;
    std::string ClassName() const override { return "TCustomWSocket"; }

    virtual void Connect();
    virtual void Listen();
    // The accepted socket, or INVALID_SOCKET.
    winsock::SOCKET Accept();
    void Dup(winsock::SOCKET NewHSocket);
    void Close();
    void Abort();
    void CloseDelayed();
    // Frees the component from the message loop.
    void Release();
    void Flush();
    void WaitForClose();

    // Len, 0 for Len <= 0, -1 when not connected. OnDataSent follows from the message loop.
    int Send(const void* Data, int Len);
    int SendStr(const std::string& Str);
    int SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len);
    int Receive(void* Buffer, int BufferSize);
    std::string ReceiveStr();
    int ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen);

    void DnsLookup(const std::string& HostName);
    void ReverseLookup(const std::string& HostAddr);
    void CancelLookup();

    void ShutDown(int How);
    void Pause();
    void Resume();
    void PumpMessages();

    std::string GetPeerAddr();
    std::string GetPeerPort();
    // -1 unless connected.
    int GetPeerName(sockaddr_in& Name, int& NameLen);
    int GetSockName(sockaddr_in& Name, int& NameLen);
    std::string GetLocalPortText();
    // Applies LingerOnOff and LingerTimeout to the open socket.
    void ApplyLinger();

    const std::string& Addr() const { return addr_; }
    void SetAddr(const std::string& Value);
    const std::string& Port() const { return port_; }
    virtual void SetPort(const std::string& Value);
    const std::string& Proto() const { return proto_; }
    virtual void SetProto(const std::string& Value);
    const std::string& LocalPort() const { return localPort_; }
    void SetLocalPort(const std::string& Value);
    const std::string& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const std::string& Value);
    TSocketSendFlags SendFlags() const;
    void SetSendFlags(TSocketSendFlags Value);

    TSocketState State() const { return state_; }
    int LastError() const { return lastError_; }
    int64_t ReadCount() const { return readCount_; }
    // Bytes waiting to be received; -1 after an error.
    virtual int RcvdCount();
    bool AllSent() const { return allSent_; }
    bool Paused() const { return paused_; }
    winsock::SOCKET HSocket() const { return hSocket_; }
    HWND Handle() const { return handle_; }
    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    // The address of the peer the last Accept took, or of the destination.
    const sockaddr_in& RemoteAddress() const { return sin_; }
    // True once the thread's message pump met WM_QUIT.
    bool Terminated() const { return quitSeen_; }

    int SendChunkSize = 1514;
    TSocketLingerOnOff LingerOnOff = wsLingerOff;
    int LingerTimeout = 0;
    int FlushTimeout = 60;
    bool MultiThreaded = false;

    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TNotifyEvent OnLineTooLong;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    virtual void WndProc(TMessage& Msg);
    virtual void ResetDefaults();
    virtual void CloseSocket(bool Shut, WORD Error);
    virtual void BindLocal();
    virtual int RawSend(const void* Data, int Len);
    void RaiseOrReport(const std::string& Msg);
    void RaiseSocketError(const std::string& FuncName);
    virtual void HandleBgException(const std::exception& E);
    // True exactly when OnDataAvailable is assigned.
    virtual bool FireDataAvailable(WORD Error);
    virtual void FireSessionAvailable(WORD Error);
    virtual void FireSessionConnected(WORD Error);
    virtual void FireSessionClosed(WORD Error);
    virtual void FireDataSent(WORD Error);
    virtual void FireChangeState(TSocketState OldState, TSocketState NewState);
    virtual void FireDnsLookupDone(WORD Error);
    virtual void FireError();
    virtual int RawReceive(void* Buffer, int BufferSize, int Flags);

    void SetSocketState(TSocketState NewState);
    void TryToSend();
    bool Destroying() const { return destroying_; }
    // Bytes handed to callers by Receive and the drain, for the receive loop's progress check.
    int64_t Consumed() const { return consumed_; }

    // The destination (or peer) record and what of it is resolved.
    sockaddr_in sin_{};
    bool addrAssigned_ = false;
    bool addrResolved_ = false;
    bool portAssigned_ = false;
    bool portResolved_ = false;
    bool protoAssigned_ = true;
    bool protoResolved_ = false;
    bool localPortResolved_ = false;
    uint16_t portNum_ = 0;
    uint16_t localPortNum_ = 0;
    int protoNum_ = 6;
    int sockType_ = SOCK_STREAM;
    bool closeReported_ = false;

private:
    void WMASyncSelect(TMessage& Msg);
    void WMAsyncGetHostByName(TMessage& Msg);
    void WMAsyncGetHostByAddr(TMessage& Msg);
    void WMCloseDelayed(TMessage& Msg);
    void WMRelease(TMessage& Msg);
    void WMTriggerException(TMessage& Msg);
    void ReceiveLoop(WORD Error);
    void QueueData(const void* Data, int Len);
    void DropQueue() { queue_.clear(); }
    void ResolveForConnect();
    void SetTextProperty(std::string& Text, bool& Assigned, bool& Resolved, const std::string& Value,
                         const char* Name);
    void StartLookup(winsock::TaskHandle Task, const std::string& HostName);
    void PumpOwnMessages();
    void WaitForWork();

    HWND handle_ = nullptr;
    winsock::SOCKET hSocket_ = winsock::INVALID_SOCKET;
    TSocketState state_ = wsClosed;
    std::deque<std::unique_ptr<TBuffer>> queue_;
    int sendFlags_ = 0;
    int lastError_ = 0;
    winsock::TaskHandle lookupTask_ = 0;
    std::string addr_;
    std::string port_;
    std::string proto_ = "tcp";
    std::string localPort_ = "0";
    std::string localAddr_ = "0.0.0.0";
    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
    bool allSent_ = true;
    int64_t readCount_ = 0;
    int64_t consumed_ = 0;
    bool paused_ = false;
    bool quitSeen_ = false;
    bool destroying_ = false;
};
