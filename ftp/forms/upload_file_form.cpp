#include "ftp/forms/upload_file_form.h"

#include <climits>
#include <memory>
#include <sys/stat.h>

#include "controls/si_flat_btn.h"
#include "ftp/proxy_settings.h"
#include "ftp/server_profile.h"
#include "ftp/stored_text.h"
#include "platform/rtl/format.h"
#include "platform/rtl/regular_file.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/screen.h"

namespace {

template <class T> T* Place(TForm* Form, const char* Name, int Left, int Top, int Width, int Height) {
    auto* control = new T(Form);
    control->SetName(Name);
    control->SetParent(Form);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TLabel* PlaceLabel(TForm* Form, const char* Name, const std::string& Caption, int Left, int Top, int Width) {
    TLabel* label = Place<TLabel>(Form, Name, Left, Top, Width, 17);
    label->SetAutoSize(false);
    label->SetShowAccelChar(false);
    label->SetCaption(Caption);
    return label;
}

// The size of a regular file this user can read, or -1 (with Why saying what is wrong).
int64_t UploadFileSize(const std::string& Name, std::string& Why) {
    Why = RegularFileProblem(Name);
    if (!Why.empty()) return -1;
    struct stat st {};
    if (stat(Name.c_str(), &st) != 0) {
        Why = FileOpenProblem(Name, errno);
        return -1;
    }
    return st.st_size;
}

// "a/b/c" as "a", "a/b", "a/b/c": a host folder whose parents are missing too is made level by level.
std::vector<std::string> FolderPrefixes(const std::string& Folder) {
    std::vector<std::string> prefixes;
    for (size_t slash = Folder.find('/', 1); slash != std::string::npos; slash = Folder.find('/', slash + 1))
        if (Folder[slash - 1] != '/') prefixes.push_back(Folder.substr(0, slash));
    std::string whole = Folder;
    while (whole.size() > 1 && whole.back() == '/')
        whole.pop_back();
    if (prefixes.empty() || prefixes.back() != whole) prefixes.push_back(whole);
    return prefixes;
}

std::string BareFileName(const std::string& Path) {
    const size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

} // namespace

TfrmUploadFile::TfrmUploadFile(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmUploadFile");
    SetCaption("Upload File To Server");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poOwnerFormCenter);
    SetClientWidth(393);
    SetClientHeight(169);

    lblFile = PlaceLabel(this, "lblFile", "File:", 8, 10, 50);
    statFile = PlaceLabel(this, "statFile", "", 62, 8, 323);
    lblServer = PlaceLabel(this, "lblServer", "Server:", 8, 34, 50);
    statServer = PlaceLabel(this, "statServer", "", 62, 32, 323);
    for (TLabel* stat : {statFile, statServer}) {
        stat->SetTransparent(false);
        stat->SetColor(clWindow);
        stat->SetHeight(19);
    }
    lblProgress = PlaceLabel(this, "lblProgress", "", 8, 58, 377);
    pbStatus = Place<TProgressBar>(this, "pbStatus", 8, 76, 377, 16);
    pbStatus->SetMax(0);
    lblTotal = PlaceLabel(this, "lblTotal", "Total Transfer Progress:", 8, 98, 377);
    pbFullStatus = Place<TProgressBar>(this, "pbFullStatus", 8, 116, 377, 16);
    pbFullStatus->SetMax(100);
    btnCancel = Place<TButton>(this, "btnCancel", 310, 138, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };
    btnHelp = Place<TsiFlatBtn>(this, "btnHelp", 8, 138, 75, 25);
    btnHelp->SetCaption("&Help");

    ftp = new TFtpClient(this);
    ftp->SetName("ftp");
    ftp->Timeout = 15;
    ftp->MultiThreaded = false;
    ftp->Port = "ftp";
    ftp->DisplayFileFlag = false;
    ftp->SetBinary(true);
    ftp->SetShareMode(ftpShareExclusive);
    ftp->Options = ftpAcceptLF;
    ftp->SetConnectionType(ftpDirect);
    ftp->OnRequestDone = [this](TObject* s, TFtpRequest rq, WORD error) {
        Guarded([&] { ftpRequestDone(s, rq, error); });
    };
    ftp->OnProgress = [this](TObject* s, int64_t count, bool& abort) {
        Guarded([&] { ftpProgress(s, count, abort); });
    };
    OnShow = [this](TObject* s) { Guarded([&] { FormShow(s); }); };
    DoCreate();
}

int TfrmUploadFile::BarUnits(int64_t Bytes) const {
    return static_cast<int>(Bytes / barScale_);
}

void TfrmUploadFile::Fail(const std::string& Text) {
    Screen->SetCursor(crDefault);
    failed_ = true;
    lblProgress->SetCaption("Upload failed.");
    if (!Cancelled && !Text.empty()) MessageDlg(Text, mtWarning, TMsgDlgButtons{mbOK});
    // A person reads the message and presses Cancel; nobody at the screen could.
    if (Unattended) SetModalResult(mrCancel);
}

void TfrmUploadFile::Guarded(const std::function<void()>& Step) {
    try {
        Step();
    } catch (const std::exception& e) {
        // Left to the application's handler, the window would wait for a reply that never comes, and an
        // unattended run with it.
        Fail(e.what());
    }
}

void TfrmUploadFile::FormShow(TObject*) {
    statServer->SetCaption(ProfileName);
    std::vector<std::string> present;
    std::string missing;
    TotalBytes = 0;
    for (const std::string& name : UploadList) {
        if (name.empty()) continue;
        std::string why;
        const int64_t size = UploadFileSize(name, why);
        if (size < 0) {
            missing += "\n" + name + ": " + why;
            continue;
        }
        present.push_back(name);
        TotalBytes += size;
    }
    UploadList = present;
    barScale_ = TotalBytes / INT_MAX + 1;
    pbFullStatus->SetMax(BarUnits(TotalBytes));
    lblTotal->SetCaption("Total Transfer Progress: (" + IntToStr(TotalBytes) + " bytes to transfer)");
    if (!missing.empty()) {
        missingFiles_ = true;
        MessageDlg("These files are not there and are not uploaded:" + missing, mtWarning,
                   TMsgDlgButtons{mbOK});
    }
    if (UploadList.empty()) return Fail("There is no file to upload.");
    if (ftp->Connected() && ftp->State() == ftpReady) ftp->StepQuit();
    if (!PrepareClient()) return;
    FilesLeft = static_cast<int>(UploadList.size());
    if (!ftp->Connected()) {
        lblProgress->SetCaption("Connecting to " + ftp->HostName + "...");
        Screen->SetCursor(crHourGlass);
        ftp->SeqLogin();
    } else {
        lblProgress->SetCaption("Connected...");
    }
}

bool TfrmUploadFile::PrepareClient() {
    JDServerData profile;
    std::vector<std::string> warnings;
    if (!LoadServerProfile(ProfileName, profile, &warnings)) {
        Fail(ProfileNotLoadedText(ProfileName));
        return false;
    }
    if (!warnings.empty()) MessageDlg(ftpprofile::WarningsText(warnings), mtWarning, TMsgDlgButtons{mbOK});
    if (profile.HostName.empty()) {
        Fail("The server profile \"" + ProfileName + "\" names no host; nothing was uploaded.");
        return false;
    }
    if (const std::string why = UnsupportedProtocolText(profile); !why.empty()) {
        Fail(why);
        return false;
    }
    std::vector<std::string> proxyWarnings;
    const TProxySettings proxy = LoadProxySettings(&proxyWarnings);
    if (!proxyWarnings.empty()) {
        // Read as empty, a proxy host would send the upload around the proxy that was set.
        Fail(ftpprofile::WarningsText(proxyWarnings) +
             " The proxy settings cannot be read whole, so nothing was sent; correct them in the proxy "
             "settings.");
        return false;
    }
    if (const std::string why = ApplyProxySettings(proxy, *ftp); !why.empty()) {
        Fail(why);
        return false;
    }
    ftp->UserName = profile.Username;
    ftp->PassWord = profile.Password;
    ftp->HostName = profile.HostName;
    ftp->HostDirName = HostFolder.empty() ? profile.HostDirName : HostFolder;
    ftp->Port = IntToStr(profile.Port);
    ftp->SetPassive(profile.PassiveMode);
    if (ftp->UserName.empty()) {
        Fail("The server profile \"" + ProfileName + "\" names no user; nothing was uploaded.");
        return false;
    }
    if (ftp->PassWord.empty()) {
        if (profile.Anonymous || SameText(ftp->UserName, "anonymous") || SameText(ftp->UserName, "ftp")) {
            ftp->PassWord = ftpprofile::AnonymousPassword;
        } else if (Unattended) {
            Fail("The server profile \"" + ProfileName +
                 "\" keeps no password, and nobody is here to type it; nothing was uploaded. Save the "
                 "password in the profile for unattended uploads.");
            return false;
        } else {
            std::string password;
            if (!PasswordQuery("Password", "Password of " + ftp->UserName + " on " + ftp->HostName + ":",
                               password) ||
                password.empty()) {
                Cancelled = true;
                Fail("");
                SetModalResult(mrCancel);
                return false;
            }
            ftp->PassWord = password;
        }
    }
    return true;
}

void TfrmUploadFile::ftpRequestDone(TObject*, TFtpRequest RqType, WORD Error) {
    if (Cancelled || failed_) {
        if (RqType == ftprq::Quit) Screen->SetCursor(crDefault);
        return;
    }
    const bool ready = ftp->State() == ftpReady;
    if (Error != 0) {
        Screen->SetCursor(crDefault);
        // Only a folder the server does not have is worth making; any other refusal is an error.
        if (Error == 550 && RqType == ftprq::Cwd && !madeFolder_ && !ftp->HostDirName.empty()) {
            const bool create =
                Unattended || MessageDlg("Host Directory Does not exist. Do you want to create it?",
                                         mtWarning, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
            if (!create) {
                if (ftp->Connected() && ready) ftp->StepQuit();
                Fail("");
                return;
            }
            madeFolder_ = true;
            folderParts_ = FolderPrefixes(ftp->HostDirName);
            if (ready) MakeNextFolder();
            return;
        }
        // A folder on the way that is there already answers 550 too; only the last one must be made.
        if (RqType == ftprq::Mkd && !folderParts_.empty() && ready) {
            MakeNextFolder();
            return;
        }
        const std::string message = ftp->ErrorMessage();
        if (ftp->Connected() && ready) ftp->StepQuit();
        Fail("Error " + message);
        return;
    }
    switch (RqType) {
    case ftprq::Login:
        lblProgress->SetCaption("Connected to " + ftp->HostName + "...");
        if (ready) ftp->HostDirName.empty() ? ftp->StepPwd() : ftp->StepCwd();
        break;
    case ftprq::Cwd:
    case ftprq::Pwd:
        lblProgress->SetCaption("Finding Initial Directory...");
        if (ready) ftp->StepType();
        break;
    case ftprq::Mkd:
        if (!ready) break;
        if (!folderParts_.empty())
            MakeNextFolder();
        else
            ftp->StepCwd();
        break;
    case ftprq::Type:
        lblProgress->SetCaption("Transferring...");
        if (!ready) return Fail("Ftp Not Ready");
        NextFile();
        ftp->SeqStore();
        break;
    case ftprq::Stor:
        Stored.push_back(UploadList[FilesLeft]);
        if (FilesLeft > 0) {
            if (!ready) return Fail("Ftp Not Ready");
            NextFile();
            ftp->SeqStore();
            break;
        }
        if (ftp->Connected() && ready) ftp->StepQuit();
        pbFullStatus->SetPosition(pbFullStatus->Max());
        lblProgress->SetCaption("Done.");
        Screen->SetCursor(crDefault);
        SetModalResult(mrOk);
        break;
    case ftprq::Quit:
        Screen->SetCursor(crDefault);
        ftp->HostFileName.clear();
        ftp->SetLocalFileName("");
        break;
    default:
        break;
    }
}

void TfrmUploadFile::MakeNextFolder() {
    ftp->HostFileName = folderParts_.front();
    folderParts_.erase(folderParts_.begin());
    lblProgress->SetCaption("Making Directory...");
    ftp->StepMkd();
}

void TfrmUploadFile::NextFile() {
    --FilesLeft;
    if (FilesLeft < 0) return;
    const std::string& name = UploadList[FilesLeft];
    statFile->SetCaption(name);
    ftp->HostFileName = BareFileName(name);
    ftp->SetLocalFileName(name);
    std::string why;
    if (static_cast<size_t>(FilesLeft) + 1 < UploadList.size()) BytesDone += currentSize_;
    currentSize_ = std::max<int64_t>(UploadFileSize(name, why), 0);
    pbStatus->SetMax(BarUnits(currentSize_));
    pbStatus->SetPosition(0);
}

void TfrmUploadFile::ftpProgress(TObject*, int64_t Count, bool&) {
    std::string caption = lblProgress->Caption();
    const size_t dots = caption.find("...");
    if (dots != std::string::npos) caption.resize(dots + 3);
    lblProgress->SetCaption(caption + " " + IntToStr(Count) + " bytes");
    pbStatus->SetPosition(BarUnits(Count));
    pbFullStatus->SetPosition(BarUnits(Count + BytesDone));
}

void TfrmUploadFile::btnCancelClick(TObject*) {
    Cancelled = true;
    if (ftp->Connected()) ftp->AbortAndWait();
    Screen->SetCursor(crDefault);
    SetModalResult(mrCancel);
}

bool TfrmUploadFile::Succeeded() const {
    return ModalResult() == mrOk && !failed_ && !missingFiles_;
}

bool RunUploadWindow(const std::vector<std::string>& Files, const std::string& ProfileName,
                     const std::string& HostFolder, bool Unattended) {
    std::unique_ptr<TfrmUploadFile> form(new TfrmUploadFile(Application));
    form->UploadList = Files;
    form->ProfileName = ProfileName;
    form->HostFolder = HostFolder;
    form->Unattended = Unattended;
    form->ShowModal();
    return form->Succeeded();
}
