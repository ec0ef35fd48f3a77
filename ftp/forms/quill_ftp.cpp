#include "ftp/forms/quill_ftp.h"

#include "ftp/forms/servers_form.h"
#include "ftp/forms/upload_file_form.h"
#include "ftp/stored_text.h"
#include "platform/vcl/dialogs.h"

TQuillFTP::TQuillFTP(TComponent* AOwner) : TComponent(AOwner) {}

const std::vector<std::string>& TQuillFTP::ServerNames() {
    serverNames_ = ServerProfileNames();
    return serverNames_;
}

int TQuillFTP::SelectServer(std::string& Name) {
    if (SelectServerDialog(ServerDialogOKButtonCaption, Name) != 1) return 0;
    SelectedServerName = Name;
    LoadServerProfile(Name, selectedServer_);
    serverHasHost_ = !selectedServer_.HostName.empty();
    return 1;
}

bool TQuillFTP::LoadSelected() {
    serverHasHost_ = false;
    if (SelectedServerName.empty()) {
        selectedServer_ = JDServerData();
        MessageDlg("No server profile is chosen for the upload; nothing was uploaded.", mtWarning,
                   TMsgDlgButtons{mbOK});
        return false;
    }
    std::vector<std::string> warnings;
    if (!LoadServerProfile(SelectedServerName, selectedServer_, &warnings)) {
        MessageDlg(ProfileNotLoadedText(SelectedServerName), mtWarning, TMsgDlgButtons{mbOK});
        return false;
    }
    serverHasHost_ = !selectedServer_.HostName.empty();
    // The upload window says the warnings of a profile it goes on with; one that ends here says them with
    // the reason, which they may be.
    if (!serverHasHost_)
        MessageDlg((warnings.empty() ? "" : ftpprofile::WarningsText(warnings) + " ") +
                       "The server profile \"" + SelectedServerName +
                       "\" names no host; nothing was uploaded.",
                   mtWarning, TMsgDlgButtons{mbOK});
    return serverHasHost_;
}

bool TQuillFTP::UploadFiles(const std::vector<std::string>& Files, const std::string& HostFolder) {
    if (!LoadSelected()) return false;
    return RunUploadWindow(Files, SelectedServerName, HostFolder, Unattended);
}
