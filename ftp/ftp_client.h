#pragma once
// The asynchronous FTP client: every operation returns at once and ends in one OnRequestDone,
// posted from the message loop. Steps send one command each; sequences chain steps under one
// request code. The control connection's replies are read here; the data connection carries
// listings, retrievals and uploads in active or passive mode, directly or through a SOCKS proxy.
#include "ftp/ftp_reply.h"
#include "ftp/line_wsocket.h"
#include "ftp/reply_budget.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStream;

PW_DECLARE_EXCEPTION(FtpException, Exception)

enum TFtpOption { ftpAcceptLF = 1, ftpNoAutoResumeAt = 2 };
using TFtpOptions = unsigned;
enum TFtpShareMode {
    ftpShareCompat,
    ftpShareExclusive,
    ftpShareDenyWrite,
    ftpShareDenyRead,
    ftpShareDenyNone
};
enum TFtpConnectionType { ftpDirect, ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5 };
enum TFtpState {
    ftpNotConnected,
    ftpReady,
    ftpInternalReady,
    ftpDnsLookup,
    ftpConnected,
    ftpAbort,
    ftpWaitingBanner,
    ftpWaitingResponse
};
using TFtpRequest = uint8_t;

// The request codes OnRequestDone reports.
namespace ftprq {
inline constexpr TFtpRequest Open = 1, User = 2, Pass = 3, Cwd = 4, Login = 5, DownloadFile = 6, List = 7,
                             NameList = 8, Port = 9, Retr = 10, ListSession = 11, NameListSession = 12,
                             SystemSession = 13, Syst = 14, Quit = 15, Size = 16, Stor = 17, Appe = 18,
                             Mkd = 21, Rmd = 22, RenameSession = 23, Dele = 24, Rename = 25, Rnto = 26,
                             Rnfr = 27, DeleSession = 28, MkdSession = 29, RmdSession = 30, Pwd = 31,
                             Raw = 32, Cdup = 33, RawSession = 34, UploadFile = 35, Type = 36, Rest = 37,
                             ResumeRetrieve = 38, DownloadFileResumed = 39, ResumeStore = 40,
                             UploadFileResumed = 41;
}

using TFtpDisplay = std::function<void(TObject* Sender, std::string& Msg)>;
using TFtpProgress = std::function<void(TObject* Sender, int64_t Count, bool& Abort)>;
using TFtpCommand = std::function<void(TObject* Sender, std::string& Cmd)>;
using TFtpRequestDone = std::function<void(TObject* Sender, TFtpRequest RqType, WORD Error)>;
using TFtpReadyToTransmit = std::function<void(TObject* Sender, bool& bCancel)>;
using TFtpSessionEvent = std::function<void(TObject* Sender, WORD Error)>;

// Messages of the client's hidden window.
inline constexpr UINT WM_FTP_REQUEST_DONE = WM_USER + 1;
inline constexpr UINT WM_FTP_SENDDATA = WM_USER + 2;

class TCustomFtpCli : public TComponent {
public:
    explicit TCustomFtpCli(TComponent* AOwner);
    ~TCustomFtpCli() override;
    std::string ClassName() const override { return "TCustomFtpCli"; }

    // Steps: one command each.
    void StepOpen();
    void StepUser();
    void StepPass();
    void StepCwd();
    void StepSize();
    void StepMkd();
    void StepRmd();
    void StepRnfr();
    void StepRnto();
    void StepRetr();
    void StepList();
    void StepNlst();
    void StepQuit();
    void StepSyst();
    void StepDele();
    void StepPwd();
    void StepRaw();
    void StepStor();
    void StepAppe();
    void StepType();
    void StepRest();
    void StepCdup();
    void StepPort();
    void SetBinaryAndType();
    void SetAsciiAndType();

    // Sequences: several steps under one request code.
    void SeqLogin();
    void SeqDownloadFile();
    void SeqStore();
    void SeqResumeStore();
    void SeqUploadFileResumed();
    void SeqUploadFile();
    void SeqAppend();
    void SeqAppendFile();
    void SeqList();
    void SeqListSession();
    void SeqNameList();
    void SeqNameListSession();
    void SeqSystemSession();
    void SeqDownloadFileResumed();
    void SeqResumeRetrieve();
    void SeqRetrieve();
    void SeqMkdSession();
    void SeqRmdSession();
    void SeqDeleSession();
    void SeqRawSession();
    void SeqRenameSession();
    void SeqRename();
    void SeqSizeSession();

    // Closes both connections at once; a running request ends with 426.
    void AbortNow();
    bool Connected() const;

    std::string HostName;
    std::string Port = "ftp";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    std::string ProxyServer;
    bool DisplayFileFlag = false;
    TFtpOptions Options = ftpAcceptLF;
    // Limit of every request, in seconds (0: none): a request that hears nothing from the server for
    // this long ends with 426, and so does one whose reply is not complete this long after it was
    // asked for. Replies are bounded in lines, bytes and rate besides (ftpreply::ReplyBudget).
    int Timeout = 15;
    // Where a resumed transfer starts (REST).
    int64_t ResumeAt = 0;

    const std::string& LocalFileName() const { return localFileName_; }
    void SetLocalFileName(const std::string& Value);
    // A stream the application supplies instead of the local file (not owned).
    void SetLocalStream(TStream* Stream);
    bool Binary() const { return type_ == 'I'; }
    void SetBinary(bool Value) { type_ = Value ? 'I' : 'A'; }
    TFtpShareMode ShareMode() const;
    void SetShareMode(TFtpShareMode Value);
    TFtpConnectionType ConnectionType() const { return connectionType_; }
    void SetConnectionType(TFtpConnectionType Value);
    bool Passive() const { return passive_; }
    void SetPassive(bool Value);
    const std::string& SocksServer() const { return socksServer_; }
    void SetSocksServer(const std::string& Value) { socksServer_ = Value; }
    const std::string& SocksPort() const { return socksPort_; }
    void SetSocksPort(const std::string& Value) { socksPort_ = Value; }
    const std::string& SocksUserCode() const { return socksUserCode_; }
    void SetSocksUserCode(const std::string& Value) { socksUserCode_ = Value; }
    const std::string& SocksPassword() const { return socksPassword_; }
    void SetSocksPassword(const std::string& Value) { socksPassword_ = Value; }

    TFtpState State() const { return state_; }
    TFtpRequest CurrentRequest() const { return currentRequest_; }
    const std::string& LastReply() const { return lastReply_; }
    int ReplyCode() const { return replyCode_; }
    int64_t ReplySize() const { return replySize_; }
    const std::string& ReplyDirectory() const { return replyDirectory_; }
    const std::string& ErrorMessage() const { return errorMessage_; }
    int64_t ByteCount() const { return byteCount_; }
    TWSocket* ControlSocket() const { return control_; }
    TWSocket* DataSocket() const { return data_; }
    HWND Handle() const { return handle_; }

    TFtpDisplay OnDisplay;
    TFtpDisplay OnDisplayFile;
    TFtpDisplay OnFtpError;
    TFtpCommand OnCommand;
    TNotifyEvent OnResponse;
    TFtpSessionEvent OnSessionConnected;
    TFtpSessionEvent OnSessionClosed;
    TNotifyEvent OnStateChange;
    TFtpRequestDone OnRequestDone;
    TFtpProgress OnProgress;
    TFtpReadyToTransmit OnReadyToTransmit;
    TBgExceptionEvent OnBgException;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Called by every byte count report; false when the transfer is to stop.
    virtual bool Progress();
    // Marks activity: the inactivity limit counts from now.
    void Touch() { lastActivity_ = std::chrono::steady_clock::now(); }
    std::chrono::steady_clock::time_point LastActivity() const { return lastActivity_; }
    // The error the last finished request reported.
    int RequestError() const { return requestError_; }
    // LastReply, ErrorMessage and ReplyCode of a request that ran out of time.
    void SetTimeoutReply();
    void PumpMessages();
    void SetFtpState(TFtpState NewState);
    void ReportError(const std::string& Text);

private:
    using Handler = void (TCustomFtpCli::*)();
    using StepFn = void (TCustomFtpCli::*)();

    void WndProc(TMessage& Msg);
    void WMFtpRequestDone(TMessage& Msg);
    void WMFtpSendData(TMessage& Msg);
    void WMTimer(TMessage& Msg);

    // Control connection.
    void ControlDnsLookupDone(WORD Error);
    void ControlSessionConnected(WORD Error);
    void ControlSessionClosed(WORD Error);
    void ControlDataAvailable();
    void TakeReplyLine(const std::string& Line, bool TooLong);
    void TakeBannerLine(bool Final);
    void SendCommandLine(std::string Cmd);
    bool CheckArgument(TFtpRequest Code, const std::string& Text);
    // Refuses a step: raised (or given to OnFtpError) when called by the application, but ended as a
    // failed request of its own when called from the client's own message handling, where nobody
    // would catch it.
    void Refuse(TFtpRequest Code, const std::string& Text);
    void TakeException(const std::exception& E);
    // Ends the running request with Reply (its code the error), closing both connections.
    void AbandonRequest(const std::string& Reply);
    // A reply is awaited from now on.
    void AskReply();
    // Sets the timer to the next moment a limit may run out.
    void ScheduleCheck();
    bool UsesSocks() const;
    std::string ConnectFailure(WORD Error, const std::string& SocksText) const;
    std::string SocksNote(const std::string& SocksText) const;
    void StartCommand(TFtpRequest Code, const std::string& Command, std::vector<int> Accepted,
                      Handler Done = nullptr);
    bool EnsureReady(TFtpRequest Code);
    void HandleStepReply();
    void KeepErrorMessage();
    void ShowLastReply();
    void Display(const std::string& Text);
    void FinishRequest(int Error);
    // Code -1: the reply's own leading number.
    void FailWith(const std::string& Reply, int Error, int Code = -1);
    void QuitDone();
    void BeginRequest(TFtpRequest Code);
    void ArmTimeout();
    void RequestTimedOut();
    void ApplySocks(TWSocket& Socket);

    // Sequences.
    void StartSequence(TFtpRequest Code, uint32_t Steps);
    void RunNextStep();
    void RunStep(StepFn Fn);

    // Data connection.
    void CloseData(bool Hard = false);
    void ReleaseStream();
    bool ConnectPassive(TSessionConnected OnConnected);
    bool AcceptFromControlPeer();
    void TransferRetrieve(TFtpRequest Code, const std::string& Word);
    void TransferStore(bool Append);
    void RetrAccept();
    void RetrConnected(WORD Error);
    void FirstRetrReply();
    void SecondRetrReply();
    void RetrData();
    void RetrClosed(WORD Error);
    void StoreAccept();
    void DataSessionAvailable();
    void TakeAcceptWith(Handler Accept);
    void StoreConnected(WORD Error);
    void FirstStoreReply();
    void SecondStoreReply();
    void SendData(WORD Error);
    void StoreClosed(WORD Error);
    void CompletionCheck();
    void TransferRefused(const char* Shown);
    void LocalTransferFailed(const std::string& Reply, bool Hard);
    void ShowTransferStats();
    int64_t ElapsedMs() const;

    HWND handle_ = nullptr;
    TWSocket* control_ = nullptr;
    TWSocket* data_ = nullptr;
    std::string localFileName_;
    char type_ = 'I';
    uint16_t shareFlags_ = 0x10;
    TFtpConnectionType connectionType_ = ftpDirect;
    bool passive_ = false;
    std::string socksServer_;
    std::string socksPort_;
    std::string socksUserCode_;
    std::string socksPassword_;

    TFtpState state_ = ftpNotConnected;
    TFtpRequest currentRequest_ = 0;
    int replyCode_ = 0;
    int error_ = 0;
    uint32_t steps_ = 0;
    int prevStep_ = 0;
    int currentStep_ = 0;
    int requestResult_ = 0;
    bool inSequence_ = false;
    bool sequencerActive_ = false;
    bool inSequencerStep_ = false;
    std::string stepFailure_;
    bool requestDone_ = true;
    bool controlConnected_ = false;
    bool quitSent_ = false;

    ftpreply::LineAssembler assembler_;
    ftpreply::ReplyTracker tracker_;
    ftpreply::ReplyBudget budget_;
    // Inside the client's own message handling (OnRequestDone and the other posted messages).
    bool inHandler_ = false;
    // What the SOCKS handshake of each connection said when it failed.
    std::string socksFailure_;
    std::string dataSocksFailure_;
    std::string lastReply_;
    std::string savedLastReply_;
    int savedReplyCode_ = -1;
    std::string last227_;
    std::string errorMessage_;
    int64_t replySize_ = 0;
    std::string replyDirectory_;
    Handler next_ = nullptr;
    Handler done_ = nullptr;
    std::vector<int> accepted_;

    // Transfers.
    std::unique_ptr<TStream> ownStream_;
    TStream* stream_ = nullptr;
    bool streamSupplied_ = false;
    bool append_ = false;
    std::string dataCommand_;
    int64_t byteCount_ = 0;
    int64_t resumePos_ = 0;
    std::chrono::steady_clock::time_point startTime_{};
    bool started_ = false;
    WORD dataError_ = 0;
    bool controlReplyDone_ = false;
    bool dataDone_ = false;
    bool eof_ = false;
    bool serverReady_ = false;
    bool dataConnected_ = false;
    // A failure on our side of a transfer (local file, sending, an abort through OnProgress): the
    // request ends with it whatever the server answers.
    std::string localError_;
    std::vector<char> sendBuffer_;
    // Some servers connect for an active transfer as soon as they have the PORT command: the
    // connection waits here until the transfer step says what to do with it.
    Handler acceptHandler_ = nullptr;
    bool acceptPending_ = false;

    std::chrono::steady_clock::time_point lastActivity_{};
    bool timerRunning_ = false;
    int requestError_ = 0;
};

// The client with synchronous waiting.
class TFtpClient : public TCustomFtpCli {
public:
    explicit TFtpClient(TComponent* AOwner) : TCustomFtpCli(AOwner) {}
    std::string ClassName() const override { return "TFtpClient"; }

    // Pumps messages until the client is ready; false after a failed request, a timeout ("426
    // Timeout") or when the program is ending.
    bool WaitForReady();
    bool RunThenWait(const std::function<void()>& Operation);
    bool AbortAndWait();

    bool MultiThreaded = false;
};
