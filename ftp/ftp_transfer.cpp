// The data side of the FTP client: PORT or PASV, retrieval (RETR, LIST, NLST) into a file or the
// display, storing (STOR, APPE) from a file in chunks, progress and its abort, statistics.
#include "ftp/ftp_client.h"

#include "ftp/ftp_steps.h"

#include "platform/gui/message_loop.h"
#include "platform/net/socket_resolve.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

#include <arpa/inet.h>

using namespace ftpsteps;

namespace {

// Bytes read from the local file and sent per chunk. Larger than an Ethernet frame: each chunk costs
// one trip through the message loop, and loopback or a fast link takes far more per trip.
constexpr size_t kSendChunk = 65536;

std::string ExceptionClassName(const std::exception& E) {
    if (dynamic_cast<const ESocketException*>(&E)) return "ESocketException";
    if (dynamic_cast<const FtpException*>(&E)) return "FtpException";
    if (dynamic_cast<const EFOpenError*>(&E)) return "EFOpenError";
    return "Exception";
}

std::string Dotted(uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{networkOrder};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

} // namespace

void TCustomFtpCli::CloseData(bool Hard) {
    if (!data_ || data_->State() == wsClosed) return;
    if (Hard)
        data_->Abort();
    else
        data_->Close();
}

void TCustomFtpCli::ReleaseStream() {
    ownStream_.reset();
    if (!streamSupplied_) stream_ = nullptr;
}

int64_t TCustomFtpCli::ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 startTime_)
        .count();
}

bool TCustomFtpCli::Progress() {
    bool abort = false;
    if (OnProgress) OnProgress(this, byteCount_ + resumePos_, abort);
    Touch();
    if (abort) {
        Display("! Abort requested");
        LocalTransferFailed("426 Transfer aborted", true);
    }
    return !abort;
}

// A failure on our side: the data connection goes at once (a reset when Hard, so that the server
// does not take a cut transfer for a whole one) and the request will end with the failure.
void TCustomFtpCli::LocalTransferFailed(const std::string& Reply, bool Hard) {
    if (localError_.empty()) localError_ = Reply;
    CloseData(Hard);
}

void TCustomFtpCli::StepPort() {
    if (!EnsureReady(ftprq::Port)) return;
    if (!Connected()) return Refuse(ftprq::Port, "FTP component not connected");
    currentStep_ = sPort;
    data_->SetProto("tcp");
    data_->SetAddr("0.0.0.0");
    data_->SetPort("0");
    data_->OnSessionAvailable = [this](TObject*, WORD) { DataSessionAvailable(); };
    data_->OnSessionClosed = nullptr;
    data_->OnDataAvailable = nullptr;
    acceptHandler_ = nullptr;
    acceptPending_ = false;
    // A 227 of an earlier transfer must never be taken for this one's.
    last227_.clear();
    sockaddr_in local{};
    int len = sizeof local;
    control_->GetSockName(local, len);
    std::string command = "PASV";
    if (!passive_) {
        // Listens on the address the control connection uses, not on every interface.
        data_->SetAddr(Dotted(local.sin_addr.s_addr));
        data_->Listen();
        sockaddr_in listening{};
        len = sizeof listening;
        data_->GetSockName(listening, len);
        const uint16_t port = ntohs(listening.sin_port);
        if (control_->GetPeerAddr() == "127.0.0.1") {
            command = Format("PORT 127,0,0,1,%d,%d", port >> 8, port & 0xFF);
        } else {
            const auto* b = reinterpret_cast<const uint8_t*>(&local.sin_addr.s_addr);
            command = Format("PORT %d,%d,%d,%d,%d,%d", b[0], b[1], b[2], b[3], port >> 8, port & 0xFF);
        }
    }
    byteCount_ = 0;
    prevStep_ = sPort;
    StartCommand(ftprq::Port, command, {200, 227});
}

// Connects the data socket to the port of the kept 227 reply, at the address the control connection
// uses: the address inside the reply is never used, so a server cannot send the data elsewhere.
bool TCustomFtpCli::ConnectPassive(TSessionConnected OnConnected) {
    uint32_t address = 0;
    uint16_t port = 0;
    if (!ftpreply::ParsePassive(last227_, address, port)) {
        CloseData();
        FailWith("550 Bad PASV reply", 550);
        return false;
    }
    data_->SetPort(IntToStr(port));
    data_->SetAddr(control_->Addr());
    data_->LingerOnOff = wsLingerOff;
    data_->LingerTimeout = 0;
    data_->SendChunkSize = static_cast<int>(kSendChunk);
    ApplySocks(*data_);
    dataSocksFailure_.clear();
    data_->OnSessionConnected = std::move(OnConnected);
    data_->Connect();
    return true;
}

void TCustomFtpCli::DataSessionAvailable() {
    if (acceptHandler_) return (this->*acceptHandler_)();
    acceptPending_ = true;
}

// Names the transfer's accept handler and runs it at once for a connection that came early.
void TCustomFtpCli::TakeAcceptWith(Handler Accept) {
    acceptHandler_ = Accept;
    if (!acceptPending_ || passive_) return;
    acceptPending_ = false;
    (this->*acceptHandler_)();
}

// In active mode only the server the control connection talks to may connect: anyone else is sent
// away and the data socket goes on listening.
bool TCustomFtpCli::AcceptFromControlPeer() {
    const winsock::SOCKET accepted = data_->Accept();
    if (accepted == winsock::INVALID_SOCKET) return false;
    sockaddr_in peer{};
    int len = sizeof peer;
    const bool fromServer = control_->GetPeerName(peer, len) == 0 &&
                            peer.sin_addr.s_addr == data_->RemoteAddress().sin_addr.s_addr;
    if (!fromServer) {
        Display("! Data connection from " + Dotted(data_->RemoteAddress().sin_addr.s_addr) + " refused");
        winsock::closesocket(accepted);
        return false;
    }
    data_->Close();
    data_->SendChunkSize = static_cast<int>(kSendChunk);
    data_->Dup(accepted);
    return true;
}

// The server refused the transfer, before it began (Shown null) or at its end: the request ends with
// the server's code.
void TCustomFtpCli::TransferRefused(const char* Shown) {
    KeepErrorMessage();
    if (!Shown) {
        next_ = nullptr;
        resumePos_ = 0;
    }
    CloseData();
    ReleaseStream();
    if (Shown) Display(Shown);
    error_ = replyCode_;
    FinishRequest(error_);
}

// Retrieval.

void TCustomFtpCli::StepRetr() {
    TransferRetrieve(ftprq::Retr, "RETR");
}

void TCustomFtpCli::StepList() {
    TransferRetrieve(ftprq::List, "LIST");
}

void TCustomFtpCli::StepNlst() {
    TransferRetrieve(ftprq::NameList, "NLST");
}

void TCustomFtpCli::TransferRetrieve(TFtpRequest Code, const std::string& Word) {
    if (!Connected()) return Refuse(Code, Word + ": not connected");
    if (localFileName_.empty() && !DisplayFileFlag && !streamSupplied_)
        return Refuse(Code, "LocalFileName empty");
    if (!CheckArgument(Code, HostFileName)) return;
    currentStep_ = Word == "RETR" ? sRetr : Word == "LIST" ? sList : sNlst;
    BeginRequest(Code);
    dataCommand_ = Word;
    controlReplyDone_ = dataDone_ = false;
    byteCount_ = 0;
    dataError_ = 0;
    localError_.clear();
    if (!DisplayFileFlag && !stream_) {
        ReleaseStream();
        try {
            if (resumePos_ > 0) {
                ownStream_ = std::make_unique<TFileStream>(localFileName_, fmOpenWrite | shareFlags_);
                ownStream_->Seek(resumePos_, soBeginning);
            } else {
                ownStream_ = std::make_unique<TFileStream>(localFileName_, fmCreate);
            }
            stream_ = ownStream_.get();
        } catch (const std::exception&) {
            CloseData();
            return FailWith("Unable to open local file " + localFileName_, 550, 550);
        }
    }
    if (passive_ && !ConnectPassive([this](TObject*, WORD Error) { RetrConnected(Error); })) return;
    SetFtpState(ftpWaitingResponse);
    next_ = &TCustomFtpCli::FirstRetrReply;
    SendCommandLine(HostFileName.empty() ? Word : Word + " " + HostFileName);
    TakeAcceptWith(&TCustomFtpCli::RetrAccept);
}

void TCustomFtpCli::RetrAccept() {
    if (!AcceptFromControlPeer()) return;
    data_->OnSessionClosed = [this](TObject*, WORD Error) { RetrClosed(Error); };
    data_->OnDataAvailable = [this](TObject*, WORD) { RetrData(); };
    data_->OnDataSent = nullptr;
    startTime_ = std::chrono::steady_clock::now();
}

void TCustomFtpCli::RetrConnected(WORD Error) {
    data_->OnSessionClosed = [this](TObject*, WORD E) { RetrClosed(E); };
    data_->OnDataAvailable = [this](TObject*, WORD) { RetrData(); };
    data_->OnDataSent = nullptr;
    startTime_ = std::chrono::steady_clock::now();
    if (Error == 0) return;
    CloseData();
    FailWith("Unable to establish data connection, error #" + IntToStr(Error) + SocksNote(dataSocksFailure_),
             550, 550);
}

void TCustomFtpCli::FirstRetrReply() {
    ShowLastReply();
    if (replyCode_ != 150 && replyCode_ != 125) return TransferRefused(nullptr);
    next_ = &TCustomFtpCli::SecondRetrReply;
}

void TCustomFtpCli::SecondRetrReply() {
    ShowLastReply();
    if (replyCode_ != 125 && replyCode_ != 226 && replyCode_ != 250)
        return TransferRefused("! RETR/LIST/NLST Failed");
    controlReplyDone_ = true;
    CompletionCheck();
}

void TCustomFtpCli::RetrData() {
    if (!Progress()) return;
    char buffer[2048];
    const int n = data_->Receive(buffer, sizeof buffer);
    if (n == 0) return;
    if (n < 0) {
        if (data_->State() == wsConnected && data_->LastError() != winsock::WSAEWOULDBLOCK) {
            Display("! Data: Receive error " + IntToStr(data_->LastError()));
            data_->ShutDown(SHUT_RDWR);
            if (localError_.empty()) localError_ = "426 Data receive error";
        }
        return;
    }
    byteCount_ += n;
    if (stream_ && stream_->Write(buffer, n) != n) {
        Display("! Error writing local file");
        data_->ShutDown(SHUT_RDWR);
        return LocalTransferFailed("426 Error writing local file", true);
    }
    if (!DisplayFileFlag) return;
    // Cut at every run of CR and LF; a chunk that starts with one gives an empty first piece.
    const std::string chunk(buffer, static_cast<size_t>(n));
    size_t start = 0;
    while (start < chunk.size()) {
        const size_t end = std::min(chunk.find_first_of("\r\n", start), chunk.size());
        std::string piece = chunk.substr(start, end - start);
        if (OnDisplayFile) OnDisplayFile(this, piece);
        start = chunk.find_first_not_of("\r\n", end);
        if (start == std::string::npos) break;
    }
}

void TCustomFtpCli::RetrClosed(WORD Error) {
    ReleaseStream();
    dataDone_ = true;
    // The server's final reply is due now that the data has all come.
    if (!controlReplyDone_ && next_ == &TCustomFtpCli::SecondRetrReply) AskReply();
    dataError_ = Error;
    CompletionCheck();
}

// A transfer is complete once the server's final reply was accepted and the data connection has
// closed, in either order.
void TCustomFtpCli::CompletionCheck() {
    if (!controlReplyDone_ || !dataDone_) return;
    ShowTransferStats();
    resumePos_ = 0;
    if (!localError_.empty()) {
        lastReply_ = localError_;
        replyCode_ = 426;
        KeepErrorMessage();
        error_ = 426;
        return FinishRequest(426);
    }
    error_ = dataError_;
    FinishRequest(dataError_);
}

void TCustomFtpCli::ShowTransferStats() {
    const int64_t elapsed =
        started_ || startTime_ != std::chrono::steady_clock::time_point{} ? ElapsedMs() : 0;
    std::string text =
        IntToStr(byteCount_) + " bytes received/sent in " + IntToStr(elapsed / 1000) + " seconds";
    if (elapsed != 0) {
        const int64_t rate = byteCount_ < 32768 ? byteCount_ * 1000 / elapsed : (byteCount_ / elapsed) * 1000;
        text += " (" + IntToStr(rate) + " Bytes/sec)";
    }
    Display("! " + text);
}

// Storing.

void TCustomFtpCli::StepStor() {
    append_ = false;
    currentRequest_ = ftprq::Stor;
    TransferStore(false);
}

void TCustomFtpCli::StepAppe() {
    append_ = true;
    currentRequest_ = ftprq::Appe;
    TransferStore(true);
}

void TCustomFtpCli::TransferStore(bool Append) {
    const TFtpRequest code = Append ? ftprq::Appe : ftprq::Stor;
    if (!Connected()) return Refuse(code, "STOR/APPE: not connected");
    if (localFileName_.empty() && !streamSupplied_) return Refuse(code, "LocalFileName empty");
    if (!CheckArgument(code, HostFileName)) return;
    currentStep_ = Append ? sAppe : sStor;
    // The code is set already (17 or 18, also inside a sequence).
    if (!inSequence_) errorMessage_.clear();
    requestDone_ = false;
    ArmTimeout();
    controlReplyDone_ = dataDone_ = dataConnected_ = serverReady_ = false;
    started_ = false;
    startTime_ = {};
    byteCount_ = 0;
    dataError_ = 0;
    localError_.clear();
    bool cancel = false;
    if (OnReadyToTransmit) OnReadyToTransmit(this, cancel);
    if (cancel) {
        errorMessage_ = "426 Transmit cancelled by application";
        replyCode_ = 426;
        Display("! " + errorMessage_);
        error_ = 426;
        return FinishRequest(426);
    }
    if (!streamSupplied_) {
        ReleaseStream();
        try {
            ownStream_ = std::make_unique<TFileStream>(localFileName_, fmOpenRead | shareFlags_);
            stream_ = ownStream_.get();
        } catch (const std::exception&) {
            errorMessage_ = "426 Unable to open local file " + localFileName_;
            replyCode_ = 426;
            Display("! " + errorMessage_);
            CloseData();
            error_ = 426;
            return FinishRequest(426);
        }
    }
    eof_ = false;
    if (resumePos_ > 0) stream_->Seek(resumePos_, soBeginning);
    sendBuffer_.resize(kSendChunk);
    if (passive_) {
        try {
            ConnectPassive([this](TObject*, WORD Error) { StoreConnected(Error); });
        } catch (const std::exception& E) {
            CloseData();
            FailWith("426 " + ExceptionClassName(E) + ": " + E.what(), 426);
        }
        return;
    }
    SetFtpState(ftpWaitingResponse);
    next_ = &TCustomFtpCli::FirstStoreReply;
    SendCommandLine((append_ ? "APPE " : "STOR ") + HostFileName);
    TakeAcceptWith(&TCustomFtpCli::StoreAccept);
}

void TCustomFtpCli::StoreConnected(WORD Error) {
    data_->OnSessionClosed = [this](TObject*, WORD E) { StoreClosed(E); };
    data_->OnDataAvailable = nullptr;
    data_->OnDataSent = nullptr;
    dataConnected_ = true;
    startTime_ = std::chrono::steady_clock::now();
    started_ = true;
    if (Error != 0) {
        CloseData();
        return FailWith("Unable to establish data connection, error #" + IntToStr(Error) +
                            SocksNote(dataSocksFailure_),
                        550, 550);
    }
    SetFtpState(ftpWaitingResponse);
    next_ = &TCustomFtpCli::FirstStoreReply;
    SendCommandLine((append_ ? "APPE " : "STOR ") + HostFileName);
}

void TCustomFtpCli::StoreAccept() {
    if (!AcceptFromControlPeer()) return;
    data_->OnSessionClosed = [this](TObject*, WORD E) { StoreClosed(E); };
    data_->OnDataAvailable = [this](TObject*, WORD) {
        char drop[2048];
        data_->Receive(drop, sizeof drop);
    };
    data_->OnDataSent = [this](TObject*, WORD E) { SendData(E); };
    int size = 0;
    socklen_t len = sizeof size;
    if (winsock::getsockopt(data_->HSocket(), SOL_SOCKET, SO_SNDBUF, &size, &len) != 0)
        return ReportError("winsock.getsockopt(SO_SNDBUF) failed");
    data_->LingerOnOff = wsLingerOff;
    data_->ApplyLinger();
    dataConnected_ = true;
    if (serverReady_ && !started_) PostMessage(handle_, WM_FTP_SENDDATA, 0, 0);
}

void TCustomFtpCli::FirstStoreReply() {
    ShowLastReply();
    if (replyCode_ != 150 && replyCode_ != 125) return TransferRefused(nullptr);
    next_ = &TCustomFtpCli::SecondStoreReply;
    serverReady_ = true;
    if (passive_) {
        data_->OnDataSent = [this](TObject*, WORD E) { SendData(E); };
        return SendData(0);
    }
    if (dataConnected_ && !started_) PostMessage(handle_, WM_FTP_SENDDATA, 0, 0);
}

void TCustomFtpCli::WMFtpSendData(TMessage&) {
    startTime_ = std::chrono::steady_clock::now();
    started_ = true;
    SendData(0);
}

void TCustomFtpCli::SendData(WORD Error) {
    if (!stream_ || !Progress()) return;
    if (Error != 0) {
        Display("! Error #" + IntToStr(Error) + " sending data");
        return LocalTransferFailed("426 Error #" + IntToStr(Error) + " sending data", false);
    }
    if (eof_ || !serverReady_ || !dataConnected_) return;
    int64_t n = 0;
    try {
        n = stream_->Read(sendBuffer_.data(), static_cast<int64_t>(sendBuffer_.size()));
    } catch (const std::exception&) {
        Display("! Error reading file");
        return LocalTransferFailed("426 Error reading file", true);
    }
    if (n > 0) {
        byteCount_ += n;
        data_->Send(sendBuffer_.data(), static_cast<int>(n));
        return;
    }
    eof_ = true;
    data_->Close();
}

void TCustomFtpCli::SecondStoreReply() {
    ShowLastReply();
    if (replyCode_ != 226 && replyCode_ != 250) return TransferRefused("! STOR Failed");
    controlReplyDone_ = true;
    CompletionCheck();
}

void TCustomFtpCli::StoreClosed(WORD Error) {
    ReleaseStream();
    dataDone_ = true;
    // The server's final reply is due now that the data has all gone.
    if (!controlReplyDone_ && next_ == &TCustomFtpCli::SecondStoreReply) AskReply();
    dataError_ = Error;
    // The data connection ended before the whole file was sent: the server holds a cut copy.
    if (!eof_ && localError_.empty() && Error == 0 && serverReady_)
        localError_ = "426 Data connection closed";
    CompletionCheck();
}
