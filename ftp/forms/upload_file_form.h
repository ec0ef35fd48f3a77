#pragma once
// The modal "Upload File To Server" window: connects to the server of one server profile, changes to
// the host folder (offering to make it when the server has none), stores each file and quits, with
// the progress of the file and of the whole upload.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ftp/ftp_client.h"
#include "platform/vcl/form.h"

class TButton;
class TLabel;
class TProgressBar;
class TsiFlatBtn;

class TfrmUploadFile : public TForm {
public:
    explicit TfrmUploadFile(TComponent* AOwner);
    std::string ClassName() const override { return "TfrmUploadFile"; }

    void FormShow(TObject* Sender);
    void ftpRequestDone(TObject* Sender, TFtpRequest RqType, WORD Error);
    void ftpProgress(TObject* Sender, int64_t Count, bool& Abort);
    void btnCancelClick(TObject* Sender);

    TLabel* lblFile = nullptr;
    TLabel* statFile = nullptr;
    TLabel* lblServer = nullptr;
    TLabel* statServer = nullptr;
    TLabel* lblProgress = nullptr;
    TProgressBar* pbStatus = nullptr;
    TLabel* lblTotal = nullptr;
    TProgressBar* pbFullStatus = nullptr;
    TButton* btnCancel = nullptr;
    TsiFlatBtn* btnHelp = nullptr;
    TFtpClient* ftp = nullptr;

    std::vector<std::string> UploadList;
    std::string ProfileName;
    std::string HostFolder;
    // Nobody is at the screen: the host folder is made without asking, and any failure ends the window
    // at once with False instead of waiting for Cancel.
    bool Unattended = false;
    int FilesLeft = 0;
    int64_t BytesDone = 0;
    int64_t TotalBytes = 0;
    bool Cancelled = false;
    // The files stored so far, in the order they went.
    std::vector<std::string> Stored;
    // Closed with OK after every file that was there reached the server, and none was missing.
    bool Succeeded() const;

private:
    // Ends the upload as failed: says why (unless cancelled) and, unattended, closes the window.
    void Fail(const std::string& Text);
    // Runs an event's work; an exception ends the upload as failed, with its text.
    void Guarded(const std::function<void()>& Step);
    bool PrepareClient();
    void NextFile();
    void MakeNextFolder();
    int BarUnits(int64_t Bytes) const;
    std::string LoginText() const;

    int64_t barScale_ = 1;
    bool failed_ = false;
    bool missingFiles_ = false;
    bool madeFolder_ = false;
    // The folders still to make on the way to the host folder, outermost first.
    std::vector<std::string> folderParts_;
    int64_t currentSize_ = 0;
};

// Uploads Files (empty and missing names are skipped and said) to the server of the profile
// ProfileName into HostFolder (empty: the profile's own host folder). True only when every file that
// was there reached the server.
bool RunUploadWindow(const std::vector<std::string>& Files, const std::string& ProfileName,
                     const std::string& HostFolder, bool Unattended);
