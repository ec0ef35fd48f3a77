#include "ftp/ftp_client.h"

#include "ftp/ftp_steps.h"

#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/files.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/strings.h"

#include <algorithm>

using namespace ftpsteps;

namespace {

constexpr uint32_t Bit(Step s) {
    return 1u << s;
}
template <class... S> constexpr uint32_t Steps(S... s) {
    return (Bit(s) | ...);
}
constexpr uint32_t kLogin = Steps(sOpen, sUser, sPass);

// The sequencer takes the steps in this order, whatever order a sequence names them in.
constexpr Step kOrder[] = {sOpen, sUser, sPass, sCwd, sCdup, sType, sPort, sRest, sRetr, sStor, sAppe, sList,
                           sNlst, sSyst, sMkd,  sRmd, sRnfr, sRnto, sSize, sDele, sPwd,  sRaw,  sQuit};

constexpr UINT_PTR kTimeoutTimer = 1;

struct TWMFtpRequestDone : MessageView {
    using MessageView::MessageView;
    // The error travels in the low 16 bits.
    WORD Error() const { return Low(static_cast<uintptr_t>(L())); }
};

} // namespace

TCustomFtpCli::TCustomFtpCli(TComponent* AOwner) : TComponent(AOwner) {
    handle_ = AllocateHWnd([this](TMessage& Msg) { WndProc(Msg); });
    control_ = new TWSocket(this);
    data_ = new TWSocket(this);
    control_->FreeNotification(this);
    data_->FreeNotification(this);
    control_->OnDnsLookupDone = [this](TObject*, WORD Error) { ControlDnsLookupDone(Error); };
    control_->OnSessionConnected = [this](TObject*, WORD Error) { ControlSessionConnected(Error); };
    control_->OnSessionClosed = [this](TObject*, WORD Error) { ControlSessionClosed(Error); };
    control_->OnDataAvailable = [this](TObject*, WORD) { ControlDataAvailable(); };
    control_->OnSocksError = [this](TObject*, int, const std::string& Msg) { socksFailure_ = Msg; };
    data_->OnSocksError = [this](TObject*, int, const std::string& Msg) { dataSocksFailure_ = Msg; };
    // An exception in the control connection's handling closes it; the request ends with its text.
    control_->OnBgException = [this](TObject*, const std::exception& E, bool& CanClose) {
        CanClose = true;
        if (requestDone_) return;
        lastReply_ = std::string("500 ") + E.what();
        replyCode_ = 500;
        KeepErrorMessage();
        error_ = 500;
    };
    assembler_.SetAcceptLF(true);
}

TCustomFtpCli::~TCustomFtpCli() {
    KillTimer(handle_, kTimeoutTimer);
    DeallocateHWnd(handle_);
    ReleaseStream();
    // The sockets go with their owner; they must not call back into a client being destroyed.
    for (TWSocket* s : {control_, data_}) {
        if (!s) continue;
        s->OnDnsLookupDone = nullptr;
        s->OnSessionConnected = nullptr;
        s->OnSessionClosed = nullptr;
        s->OnDataAvailable = nullptr;
        s->OnDataSent = nullptr;
        s->OnSessionAvailable = nullptr;
        s->OnSocksError = nullptr;
        s->OnBgException = nullptr;
    }
}

void TCustomFtpCli::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == control_) control_ = nullptr;
    if (AComponent == data_) data_ = nullptr;
}

void TCustomFtpCli::WndProc(TMessage& Msg) {
    const bool outer = inHandler_;
    inHandler_ = true;
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{inHandler_, outer};
    try {
        switch (Msg.Msg) {
        case WM_FTP_REQUEST_DONE:
            return WMFtpRequestDone(Msg);
        case WM_FTP_SENDDATA:
            return WMFtpSendData(Msg);
        case WM_TIMER:
            return WMTimer(Msg);
        default:
            Msg.Result = DefWindowProc(handle_, Msg.Msg, Msg.WParam, Msg.LParam);
        }
    } catch (const std::exception& E) {
        TakeException(E);
    }
}

// Nothing raised in here is dropped: a running request fails with it, and one that has no request to
// end reaches OnBgException or, without one, the application's handler.
void TCustomFtpCli::TakeException(const std::exception& E) {
    bool canAbort = true;
    if (OnBgException) OnBgException(this, E, canAbort);
    if (!requestDone_) return AbandonRequest(std::string("500 ") + E.what());
    if (!OnBgException) throw;
}

void TCustomFtpCli::WMFtpRequestDone(TMessage& Msg) {
    TWMFtpRequestDone m{Msg};
    if (OnRequestDone) OnRequestDone(this, currentRequest_, m.Error());
}

void TCustomFtpCli::WMTimer(TMessage&) {
    KillTimer(handle_, kTimeoutTimer);
    timerRunning_ = false;
    if (requestDone_) return;
    const auto now = std::chrono::steady_clock::now();
    // A server that said nothing at all timed out; one that keeps talking without finishing its reply
    // is over its reply's limits.
    if (Timeout > 0 && now - lastActivity_ >= std::chrono::seconds(Timeout)) return RequestTimedOut();
    if (const std::string why = budget_.Check(now); !why.empty()) return AbandonRequest(why);
    ScheduleCheck();
}

void TCustomFtpCli::ArmTimeout() {
    Touch();
    ScheduleCheck();
}

void TCustomFtpCli::ScheduleCheck() {
    using namespace std::chrono;
    if (requestDone_) return;
    const bool idleLimit = Timeout > 0;
    if (!idleLimit && !budget_.Pending()) {
        KillTimer(handle_, kTimeoutTimer);
        timerRunning_ = false;
        return;
    }
    steady_clock::time_point due = idleLimit ? lastActivity_ + seconds(Timeout) : budget_.NextCheck();
    if (budget_.Pending()) due = std::min(due, budget_.NextCheck());
    const int64_t left = duration_cast<milliseconds>(due - steady_clock::now()).count();
    SetTimer(handle_, kTimeoutTimer, static_cast<UINT>(std::clamp<int64_t>(left, 10, INT32_MAX)), nullptr);
    timerRunning_ = true;
}

void TCustomFtpCli::AskReply() {
    budget_.Ask(std::chrono::steady_clock::now(), std::chrono::seconds(std::max(Timeout, 0)));
    ScheduleCheck();
}

// A limit of the reply ran out, or something failed under the request: both connections go and the
// request ends with Reply.
void TCustomFtpCli::AbandonRequest(const std::string& Reply) {
    KillTimer(handle_, kTimeoutTimer);
    timerRunning_ = false;
    budget_.Finish();
    lastReply_ = Reply;
    replyCode_ = ftpreply::LeadingCode(Reply);
    KeepErrorMessage();
    error_ = replyCode_;
    Display("! " + Reply);
    AbortNow();
    FinishRequest(error_);
}

// A request that heard nothing for Timeout seconds: both connections go and it ends with 426.
void TCustomFtpCli::RequestTimedOut() {
    KillTimer(handle_, kTimeoutTimer);
    timerRunning_ = false;
    SetTimeoutReply();
    // A transfer that failed on our side and then heard nothing more: its own failure says more.
    if (!localError_.empty()) lastReply_ = errorMessage_ = localError_;
    error_ = 426;
    Display("! " + lastReply_);
    AbortNow();
    FinishRequest(426);
}

void TCustomFtpCli::SetFtpState(TFtpState NewState) {
    if (NewState == state_) return;
    state_ = NewState;
    if (OnStateChange) OnStateChange(this);
}

void TCustomFtpCli::ReportError(const std::string& Text) {
    if (inSequencerStep_ && stepFailure_.empty()) stepFailure_ = Text;
    if (OnFtpError) {
        std::string msg = Text;
        OnFtpError(this, msg);
        return;
    }
    throw FtpException(Text);
}

void TCustomFtpCli::Display(const std::string& Text) {
    if (!OnDisplay) return;
    std::string msg = Text;
    OnDisplay(this, msg);
}

void TCustomFtpCli::ShowLastReply() {
    Display("< " + lastReply_);
}

void TCustomFtpCli::KeepErrorMessage() {
    if (errorMessage_.empty()) errorMessage_ = lastReply_;
}

// Ends the current request with a reply of our own making.
void TCustomFtpCli::FailWith(const std::string& Reply, int Error, int Code) {
    lastReply_ = Reply;
    replyCode_ = Code >= 0 ? Code : ftpreply::LeadingCode(Reply);
    KeepErrorMessage();
    error_ = Error;
    FinishRequest(Error);
}

void TCustomFtpCli::SetLocalFileName(const std::string& Value) {
    localFileName_ = Value;
    if (!Value.empty()) streamSupplied_ = false;
}

void TCustomFtpCli::SetLocalStream(TStream* Stream) {
    ReleaseStream();
    stream_ = Stream;
    streamSupplied_ = Stream != nullptr;
}

TFtpShareMode TCustomFtpCli::ShareMode() const {
    switch (shareFlags_) {
    case 0x00:
        return ftpShareCompat;
    case 0x20:
        return ftpShareDenyWrite;
    case 0x30:
        return ftpShareDenyRead;
    case 0x40:
        return ftpShareDenyNone;
    default:
        return ftpShareExclusive;
    }
}

void TCustomFtpCli::SetShareMode(TFtpShareMode Value) {
    static constexpr uint16_t kFlags[] = {0x00, 0x10, 0x20, 0x30, 0x40};
    shareFlags_ = Value >= ftpShareCompat && Value <= ftpShareDenyNone ? kFlags[Value] : 0x10;
}

void TCustomFtpCli::SetConnectionType(TFtpConnectionType Value) {
    if (Connected()) return ReportError("FTP component connected");
    connectionType_ = Value;
    if (Value != ftpDirect) passive_ = true;
}

void TCustomFtpCli::SetPassive(bool Value) {
    passive_ = connectionType_ == ftpDirect ? Value : true;
}

// The proxy settings go onto a socket before each of its connections: a socket keeps them across
// closes, so a direct connection has them taken away.
void TCustomFtpCli::ApplySocks(TWSocket& Socket) {
    const bool socks =
        connectionType_ == ftpSocks4 || connectionType_ == ftpSocks4A || connectionType_ == ftpSocks5;
    Socket.SetSocksServer(socks ? socksServer_ : "");
    if (!socks) return;
    Socket.SetSocksPort(socksPort_);
    Socket.SetSocksLevel(connectionType_ == ftpSocks4 ? "4" : connectionType_ == ftpSocks4A ? "4A" : "5");
    Socket.SocksUsercode = socksUserCode_;
    Socket.SocksPassword = socksPassword_;
    // A proxy without passwords refuses a client that offers only the password method.
    Socket.SocksAuthentication = socksUserCode_.empty() ? socksNoAuthentication : socksAuthenticateUsercode;
}

bool TCustomFtpCli::Connected() const {
    return control_ && control_->State() != wsClosed;
}

void TCustomFtpCli::PumpMessages() {
    if (control_) control_->PumpMessages();
}

// A client that is not connected is ready too: for StepOpen, and to say "not connected" to others.
bool TCustomFtpCli::EnsureReady(TFtpRequest Code) {
    if (state_ == ftpReady || state_ == ftpInternalReady || state_ == ftpNotConnected) return true;
    Refuse(Code, "FTP component not ready");
    return false;
}

void TCustomFtpCli::Refuse(TFtpRequest Code, const std::string& Text) {
    if (!inHandler_ || inSequencerStep_ || !requestDone_) return ReportError(Text);
    if (OnFtpError) {
        std::string msg = Text;
        OnFtpError(this, msg);
    }
    BeginRequest(Code);
    FailWith("500 " + Text, 500);
}

// What every request does first: a request outside a sequence reports its own code, and its
// error message is its own.
void TCustomFtpCli::BeginRequest(TFtpRequest Code) {
    if (!inSequence_) {
        currentRequest_ = Code;
        errorMessage_.clear();
    }
    requestDone_ = false;
    ArmTimeout();
}

// Refuses text that would end the command line early and smuggle in another command.
bool TCustomFtpCli::CheckArgument(TFtpRequest Code, const std::string& Text) {
    if (Text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) return true;
    Refuse(Code, "Argument contains CR, LF or NUL");
    return false;
}

void TCustomFtpCli::SendCommandLine(std::string Cmd) {
    if (OnCommand) OnCommand(this, Cmd);
    // The password is never shown.
    Display(Cmd.rfind("PASS ", 0) == 0 ? "> PASS ****" : "> " + Cmd);
    if (!control_ || control_->State() != wsConnected) return;
    control_->SendStr(Cmd + "\r\n");
    AskReply();
}

void TCustomFtpCli::StartCommand(TFtpRequest Code, const std::string& Command, std::vector<int> Accepted,
                                 Handler Done) {
    if (!EnsureReady(Code)) return;
    if (!Connected()) return Refuse(Code, "FTP component not connected");
    if (!CheckArgument(Code, Command)) return;
    BeginRequest(Code);
    if (Accepted.size() > 16) Accepted.resize(16);
    accepted_ = std::move(Accepted);
    next_ = &TCustomFtpCli::HandleStepReply;
    done_ = Done;
    SetFtpState(ftpWaitingResponse);
    SendCommandLine(Command);
}

void TCustomFtpCli::HandleStepReply() {
    ShowLastReply();
    if (accepted_.empty()) {
        error_ = replyCode_ >= 500 ? replyCode_ : 0;
    } else if (std::find(accepted_.begin(), accepted_.end(), replyCode_) != accepted_.end()) {
        error_ = 0;
    } else {
        error_ = replyCode_;
        KeepErrorMessage();
    }
    if (passive_ && replyCode_ == 227) last227_ = lastReply_;
    if (error_ == 0) {
        if (currentStep_ == sSize) replySize_ = ftpreply::NumberAfterCode(lastReply_);
        if (currentStep_ == sCwd || currentStep_ == sMkd || currentStep_ == sPwd || currentStep_ == sCdup)
            replyDirectory_ = ftpreply::QuotedDirectory(lastReply_);
    }
    if (done_) return (this->*done_)();
    FinishRequest(error_);
}

void TCustomFtpCli::FinishRequest(int Error) {
    if (requestDone_) return;
    requestDone_ = true;
    if (Error == 0 && sequencerActive_) {
        if (state_ != ftpAbort) SetFtpState(ftpInternalReady);
        return RunNextStep();
    }
    // A failure inside a session still logs out: the sequencer runs QUIT alone and reports the error.
    if (Error != 0 && sequencerActive_ && (steps_ & Bit(sQuit)) && prevStep_ != sQuit && controlConnected_ &&
        state_ != ftpAbort) {
        error_ = Error;
        SetFtpState(ftpInternalReady);
        return RunNextStep();
    }
    SetFtpState(ftpReady);
    CloseData();
    if (inSequence_) {
        if (savedReplyCode_ >= 0) {
            lastReply_ = savedLastReply_;
            replyCode_ = savedReplyCode_;
        }
        inSequence_ = false;
        sequencerActive_ = false;
    }
    KillTimer(handle_, kTimeoutTimer);
    timerRunning_ = false;
    budget_.Finish();
    requestError_ = Error;
    PostMessage(handle_, WM_FTP_REQUEST_DONE, 0, static_cast<LPARAM>(static_cast<WORD>(Error)));
}

// Control connection.

void TCustomFtpCli::StepOpen() {
    if (!EnsureReady(ftprq::Open)) return;
    if (Connected()) return Refuse(ftprq::Open, "FTP component already connected");
    BeginRequest(ftprq::Open);
    currentStep_ = sOpen;
    assembler_.Clear();
    assembler_.SetAcceptLF((Options & ftpAcceptLF) != 0);
    tracker_.Reset();
    budget_.Finish();
    error_ = 0;
    quitSent_ = false;
    socksFailure_.clear();
    SetFtpState(ftpDnsLookup);
    control_->DnsLookup(connectionType_ == ftpProxy ? ProxyServer : HostName);
}

void TCustomFtpCli::ControlDnsLookupDone(WORD Error) {
    if (state_ != ftpDnsLookup) return;
    if (Error != 0) {
        FailWith("500 " + WinsockErrorText(Error) + " (Winsock error #" + IntToStr(Error) + ")", Error);
        error_ = 500;
        return;
    }
    try {
        control_->SetAddr(control_->DnsResult());
        control_->SetProto("tcp");
        control_->SetPort(Port);
        ApplySocks(*control_);
        SetFtpState(ftpWaitingBanner);
        control_->Connect();
    } catch (const std::exception& E) {
        SetFtpState(ftpInternalReady);
        sequencerActive_ = false;
        FailWith(std::string("500 ") + E.what(), 500);
    }
}

void TCustomFtpCli::ControlSessionConnected(WORD Error) {
    if (Error != 0) {
        sequencerActive_ = false;
        FailWith(ConnectFailure(Error, socksFailure_), Error);
        error_ = 500;
        control_->Close();
        SetFtpState(ftpReady);
        return;
    }
    controlConnected_ = true;
    Touch();
    // The greeting is asked for by the connection itself.
    AskReply();
}

bool TCustomFtpCli::UsesSocks() const {
    return connectionType_ == ftpSocks4 || connectionType_ == ftpSocks4A || connectionType_ == ftpSocks5;
}

// Through a proxy the message says that it is the proxy that failed, in the proxy's own words when
// its handshake gave some.
std::string TCustomFtpCli::ConnectFailure(WORD Error, const std::string& SocksText) const {
    const std::string proxy = "SOCKS proxy " + socksServer_ + ":" + socksPort_;
    if (UsesSocks() && !SocksText.empty())
        return "500 " + proxy + " answered: " + SocksText + " (SOCKS error #" + IntToStr(Error) + ")";
    const std::string text = WinsockErrorText(Error) + " (Winsock error #" + IntToStr(Error) + ")";
    return UsesSocks() ? "500 " + proxy + " cannot be reached: " + text : "500 " + text;
}

std::string TCustomFtpCli::SocksNote(const std::string& SocksText) const {
    if (!UsesSocks() || SocksText.empty()) return {};
    return " (SOCKS proxy " + socksServer_ + ":" + socksPort_ + " answered: " + SocksText + ")";
}

void TCustomFtpCli::ControlSessionClosed(WORD Error) {
    const bool wasConnected = controlConnected_;
    if (controlConnected_) {
        controlConnected_ = false;
        if (state_ != ftpAbort) SetFtpState(ftpNotConnected);
        if (OnSessionClosed) OnSessionClosed(this, Error);
    }
    if (state_ != ftpAbort) SetFtpState(ftpInternalReady);
    int error = error_;
    // Lost in the middle of a request (not the close that follows QUIT): that is a failure, never a
    // success, even when the last reply was accepted.
    if (!requestDone_ && error == 0 && !quitSent_) {
        error = Error != 0 ? Error : 426;
        lastReply_ = state_ == ftpAbort ? "426 Operation aborted." : "426 Connection closed";
        if (!wasConnected && Error != 0) lastReply_ = "426 " + WinsockErrorText(Error);
        replyCode_ = 426;
        KeepErrorMessage();
    }
    FinishRequest(error);
}

void TCustomFtpCli::ControlDataAvailable() {
    char buffer[ftpreply::LineAssembler::kCapacity];
    const int n = control_->Receive(buffer, static_cast<int>(assembler_.Room()));
    if (n == 0) return control_->Close();
    if (n < 0) return;
    Touch();
    budget_.Received(static_cast<size_t>(n));
    assembler_.Append(buffer, static_cast<size_t>(n));
    std::string line;
    bool tooLong = false;
    // The state may change under any line (a reply finishes the request, a close ends the session).
    while (control_ && control_->State() == wsConnected && assembler_.NextLine(line, tooLong))
        TakeReplyLine(line, tooLong);
}

void TCustomFtpCli::TakeReplyLine(const std::string& Line, bool TooLong) {
    int code = 0;
    ftpreply::LineKind kind;
    if (TooLong) {
        // An error of its own, not a close of the connection.
        lastReply_ = "500 Reply line too long";
        tracker_.Reset();
        code = 500;
        kind = ftpreply::LineKind::Final;
    } else {
        lastReply_ = ftpreply::WithoutLineEnd(Line);
        kind = tracker_.Take(lastReply_, code);
    }
    // The limits of the reply: a final line ends it (before its handler asks for the next one).
    if (kind == ftpreply::LineKind::Final)
        budget_.Finish();
    else if (const std::string why = budget_.TakeLine(lastReply_.size()); !why.empty())
        return AbandonRequest(why);
    if (OnResponse) OnResponse(this);
    switch (state_) {
    case ftpWaitingResponse:
        if (kind != ftpreply::LineKind::Final) return;
        replyCode_ = code;
        if (!next_) return ReportError("Program error: FNext is nil");
        return (this->*next_)();
    case ftpWaitingBanner:
        ShowLastReply();
        if (kind != ftpreply::LineKind::Final) return;
        replyCode_ = code;
        return TakeBannerLine(true);
    default:
        ShowLastReply();
    }
}

void TCustomFtpCli::TakeBannerLine(bool) {
    if (replyCode_ != 220) {
        KeepErrorMessage();
        error_ = replyCode_;
        return control_->Close();
    }
    SetFtpState(ftpConnected);
    if (OnSessionConnected) OnSessionConnected(this, static_cast<WORD>(error_));
    FinishRequest(0);
}

// Steps.

void TCustomFtpCli::StepUser() {
    if (UserName.empty()) return Refuse(ftprq::User, "UserName emtpy");
    if (!CheckArgument(ftprq::User, UserName)) return;
    currentStep_ = sUser;
    const std::string user = connectionType_ == ftpProxy ? UserName + "@" + HostName : UserName;
    StartCommand(ftprq::User, "USER " + user, {331, 230});
}

void TCustomFtpCli::StepPass() {
    if (PassWord.empty()) return Refuse(ftprq::Pass, "Password emtpy");
    currentStep_ = sPass;
    StartCommand(ftprq::Pass, "PASS " + PassWord, {230});
}

void TCustomFtpCli::StepCwd() {
    if (HostDirName.empty()) return Refuse(ftprq::Cwd, "HostDirName emtpy");
    currentStep_ = sCwd;
    StartCommand(ftprq::Cwd, "CWD " + HostDirName, {200, 250, 257});
}

void TCustomFtpCli::StepSize() {
    currentStep_ = sSize;
    StartCommand(ftprq::Size, "SIZE " + HostFileName, {213});
}

void TCustomFtpCli::StepMkd() {
    currentStep_ = sMkd;
    StartCommand(ftprq::Mkd, "MKD " + HostFileName, {257});
}

void TCustomFtpCli::StepRmd() {
    currentStep_ = sRmd;
    StartCommand(ftprq::Rmd, "RMD " + HostFileName, {250, 257});
}

void TCustomFtpCli::StepRnfr() {
    currentStep_ = sRnfr;
    StartCommand(ftprq::Rnfr, "RNFR " + HostFileName, {350});
}

void TCustomFtpCli::StepRnto() {
    currentStep_ = sRnto;
    StartCommand(ftprq::Rnto, "RNTO " + localFileName_, {200, 250, 257});
}

void TCustomFtpCli::StepQuit() {
    ReleaseStream();
    currentStep_ = sQuit;
    StartCommand(ftprq::Quit, "QUIT", {221}, &TCustomFtpCli::QuitDone);
    if (!requestDone_) quitSent_ = true;
}

// QUIT's reply is not the end: the request ends when the connection has closed.
void TCustomFtpCli::QuitDone() {
    control_->Close();
}

void TCustomFtpCli::StepSyst() {
    currentStep_ = sSyst;
    StartCommand(ftprq::Syst, "SYST", {215});
}

void TCustomFtpCli::StepDele() {
    currentStep_ = sDele;
    StartCommand(ftprq::Dele, "DELE " + HostFileName, {250, 257});
}

void TCustomFtpCli::StepPwd() {
    currentStep_ = sPwd;
    StartCommand(ftprq::Pwd, "PWD", {250, 257});
}

void TCustomFtpCli::StepRaw() {
    currentStep_ = sRaw;
    StartCommand(ftprq::Raw, localFileName_, {});
}

void TCustomFtpCli::StepType() {
    currentStep_ = sType;
    StartCommand(ftprq::Type, std::string("TYPE ") + type_, {200});
}

void TCustomFtpCli::SetBinaryAndType() {
    SetBinary(true);
    StepType();
}

void TCustomFtpCli::SetAsciiAndType() {
    SetBinary(false);
    StepType();
}

void TCustomFtpCli::StepRest() {
    currentStep_ = sRest;
    if (!(Options & ftpNoAutoResumeAt) && currentRequest_ != ftprq::ResumeStore &&
        currentRequest_ != ftprq::UploadFileResumed) {
        TSearchRec rec;
        ResumeAt = FindFirst(localFileName_, faAnyFile, rec) == 0 ? rec.Size : -1;
        FindClose(rec);
    }
    resumePos_ = ResumeAt;
    if (resumePos_ < 1) {
        if (!EnsureReady(ftprq::Rest)) return;
        BeginRequest(ftprq::Rest);
        error_ = 0;
        return FinishRequest(0);
    }
    StartCommand(ftprq::Rest, "REST " + IntToStr(resumePos_), {});
}

void TCustomFtpCli::StepCdup() {
    currentStep_ = sCdup;
    StartCommand(ftprq::Cdup, "CDUP", {250});
}

// Sequences.

void TCustomFtpCli::StartSequence(TFtpRequest Code, uint32_t StepSet) {
    if (Connected() && (StepSet & Bit(sOpen))) return Refuse(Code, "FTP component already connected");
    if (!EnsureReady(Code)) return;
    savedLastReply_ = lastReply_;
    savedReplyCode_ = -1;
    currentRequest_ = Code;
    error_ = 0;
    steps_ = StepSet;
    prevStep_ = 0;
    requestResult_ = 0;
    inSequence_ = true;
    sequencerActive_ = true;
    lastReply_.clear();
    errorMessage_.clear();
    requestDone_ = false;
    ArmTimeout();
    RunNextStep();
}

// Runs one step for the sequencer: a step that cannot start (a missing field, a refused argument,
// no connection) finishes the whole request with an error instead of leaving it waiting.
void TCustomFtpCli::RunStep(StepFn Fn) {
    stepFailure_.clear();
    inSequencerStep_ = true;
    try {
        (this->*Fn)();
    } catch (const std::exception& E) {
        if (stepFailure_.empty()) stepFailure_ = E.what();
    }
    inSequencerStep_ = false;
    if (stepFailure_.empty()) return;
    const std::string text = stepFailure_;
    stepFailure_.clear();
    requestDone_ = false;
    if (state_ != ftpAbort) SetFtpState(ftpInternalReady);
    FailWith("500 " + text, 500);
}

void TCustomFtpCli::RunNextStep() {
    if (state_ == ftpAbort) {
        steps_ = 0;
        requestResult_ = 426;
        errorMessage_ = "426 Operation aborted.";
    }
    sequencerActive_ = true;
    if (error_ != 0) {
        requestResult_ = error_;
        steps_ = (steps_ & Bit(sQuit)) && prevStep_ != sQuit && controlConnected_ ? Bit(sQuit) : 0;
        error_ = 0;
    }
    static const std::pair<Step, StepFn> kSteps[] = {
        {sOpen, &TCustomFtpCli::StepOpen}, {sUser, &TCustomFtpCli::StepUser},
        {sPass, &TCustomFtpCli::StepPass}, {sCwd, &TCustomFtpCli::StepCwd},
        {sCdup, &TCustomFtpCli::StepCdup}, {sType, &TCustomFtpCli::StepType},
        {sPort, &TCustomFtpCli::StepPort}, {sRest, &TCustomFtpCli::StepRest},
        {sRetr, &TCustomFtpCli::StepRetr}, {sStor, &TCustomFtpCli::StepStor},
        {sAppe, &TCustomFtpCli::StepAppe}, {sList, &TCustomFtpCli::StepList},
        {sNlst, &TCustomFtpCli::StepNlst}, {sSyst, &TCustomFtpCli::StepSyst},
        {sMkd, &TCustomFtpCli::StepMkd},   {sRmd, &TCustomFtpCli::StepRmd},
        {sRnfr, &TCustomFtpCli::StepRnfr}, {sRnto, &TCustomFtpCli::StepRnto},
        {sSize, &TCustomFtpCli::StepSize}, {sDele, &TCustomFtpCli::StepDele},
        {sPwd, &TCustomFtpCli::StepPwd},   {sRaw, &TCustomFtpCli::StepRaw},
        {sQuit, &TCustomFtpCli::StepQuit},
    };
    static_assert(std::size(kSteps) == std::size(kOrder));
    for (const auto& [step, fn] : kSteps) {
        if (!(steps_ & Bit(step))) continue;
        steps_ &= ~Bit(step);
        if (step == sPass && prevStep_ == sUser && replyCode_ != 331) continue;
        if (step == sCwd && HostDirName.empty()) continue;
        if (step == sRetr && !(prevStep_ == sRest && resumePos_ >= 0 && replyCode_ == 350)) resumePos_ = 0;
        if (step == sQuit) {
            savedLastReply_ = lastReply_;
            savedReplyCode_ = replyCode_;
        }
        prevStep_ = step;
        return RunStep(fn);
    }
    sequencerActive_ = false;
    requestDone_ = false;
    FinishRequest(requestResult_);
}

void TCustomFtpCli::SeqLogin() {
    StartSequence(ftprq::Login, kLogin);
}
void TCustomFtpCli::SeqDownloadFile() {
    StartSequence(ftprq::DownloadFile, kLogin | Steps(sCwd, sType, sPort, sRetr, sQuit));
}
void TCustomFtpCli::SeqStore() {
    StartSequence(ftprq::Stor, Steps(sPort, sStor));
}
void TCustomFtpCli::SeqResumeStore() {
    StartSequence(ftprq::ResumeStore, Steps(sPort, sRest, sStor));
}
void TCustomFtpCli::SeqUploadFileResumed() {
    StartSequence(ftprq::UploadFileResumed, kLogin | Steps(sCwd, sType, sPort, sRest, sStor, sQuit));
}
void TCustomFtpCli::SeqUploadFile() {
    StartSequence(ftprq::UploadFile, kLogin | Steps(sCwd, sType, sPort, sStor, sQuit));
}
void TCustomFtpCli::SeqAppend() {
    StartSequence(ftprq::Appe, Steps(sPort, sAppe));
}
void TCustomFtpCli::SeqAppendFile() {
    StartSequence(ftprq::UploadFile, kLogin | Steps(sCwd, sType, sPort, sAppe, sQuit));
}
void TCustomFtpCli::SeqList() {
    StartSequence(ftprq::List, Steps(sPort, sList));
}
void TCustomFtpCli::SeqListSession() {
    StartSequence(ftprq::ListSession, kLogin | Steps(sCwd, sPort, sList, sQuit));
}
void TCustomFtpCli::SeqNameList() {
    StartSequence(ftprq::NameList, Steps(sPort, sNlst));
}
void TCustomFtpCli::SeqNameListSession() {
    StartSequence(ftprq::NameListSession, kLogin | Steps(sCwd, sPort, sNlst, sQuit));
}
void TCustomFtpCli::SeqSystemSession() {
    StartSequence(ftprq::SystemSession, kLogin | Steps(sSyst, sQuit));
}
void TCustomFtpCli::SeqDownloadFileResumed() {
    StartSequence(ftprq::DownloadFileResumed, kLogin | Steps(sCwd, sType, sPort, sRest, sRetr, sQuit));
}
void TCustomFtpCli::SeqResumeRetrieve() {
    StartSequence(ftprq::ResumeRetrieve, Steps(sPort, sRest, sRetr));
}
void TCustomFtpCli::SeqRetrieve() {
    StartSequence(ftprq::Retr, Steps(sPort, sRetr));
}
void TCustomFtpCli::SeqMkdSession() {
    StartSequence(ftprq::MkdSession, kLogin | Steps(sCwd, sMkd, sQuit));
}
void TCustomFtpCli::SeqRmdSession() {
    StartSequence(ftprq::RmdSession, kLogin | Steps(sCwd, sRmd, sQuit));
}
void TCustomFtpCli::SeqDeleSession() {
    StartSequence(ftprq::DeleSession, kLogin | Steps(sCwd, sDele, sQuit));
}
void TCustomFtpCli::SeqRawSession() {
    StartSequence(ftprq::RawSession, kLogin | Steps(sCwd, sRaw, sQuit));
}
void TCustomFtpCli::SeqRenameSession() {
    StartSequence(ftprq::RenameSession, kLogin | Steps(sCwd, sRnfr, sRnto, sQuit));
}
void TCustomFtpCli::SeqRename() {
    StartSequence(ftprq::Rename, Steps(sRnfr, sRnto));
}
void TCustomFtpCli::SeqSizeSession() {
    StartSequence(ftprq::Size, kLogin | Steps(sCwd, sSize, sQuit));
}

void TCustomFtpCli::AbortNow() {
    const bool lookingUp = state_ == ftpDnsLookup;
    SetFtpState(ftpAbort);
    ReleaseStream();
    if (lookingUp && control_) control_->CancelLookup();
    if (control_ && control_->State() != wsClosed) control_->Abort();
    CloseData(true);
    controlConnected_ = false;
    SetFtpState(ftpReady);
    // Nothing may be left running: a request the closes above did not finish ends here.
    if (!requestDone_) {
        if (error_ == 0) {
            error_ = 426;
            lastReply_ = "426 Operation aborted.";
            replyCode_ = 426;
            KeepErrorMessage();
        }
        sequencerActive_ = false;
        FinishRequest(error_);
    }
}

// Synchronous waiting.

bool TFtpClient::WaitForReady() {
    Touch();
    if (ControlSocket()) ControlSocket()->MultiThreaded = MultiThreaded;
    for (;;) {
        if (State() == ftpReady) return RequestError() == 0;
        const bool ending = ControlSocket() && ControlSocket()->Terminated();
        const auto idle = std::chrono::steady_clock::now() - LastActivity();
        if (ending || (Timeout > 0 && idle >= std::chrono::seconds(Timeout))) break;
        PumpMessages();
        if (State() == ftpReady) continue;
        // The answer comes as a socket message: sleep until a message arrives or the idle time runs out.
        DWORD wait = INFINITE;
        if (Timeout > 0) {
            const auto left =
                std::chrono::seconds(Timeout) - (std::chrono::steady_clock::now() - LastActivity());
            wait = static_cast<DWORD>(
                std::max<int64_t>(1, std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE_, wait, QS_ALLINPUT);
    }
    AbortNow();
    SetTimeoutReply();
    return false;
}

void TCustomFtpCli::SetTimeoutReply() {
    lastReply_ = "426 Timeout";
    errorMessage_ = lastReply_;
    replyCode_ = 426;
}

bool TFtpClient::RunThenWait(const std::function<void()>& Operation) {
    try {
        if (Operation) Operation();
    } catch (const std::exception&) {
        return false;
    }
    return WaitForReady();
}

bool TFtpClient::AbortAndWait() {
    return RunThenWait([this] { AbortNow(); });
}
