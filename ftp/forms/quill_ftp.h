#pragma once
// The application's way to FTP publishing: the names of the stored server profiles, the choice of one
// in the server manager, and the upload of a list of files to the chosen one.
#include <string>
#include <vector>

#include "ftp/server_profile.h"
#include "platform/rtl/component.h"

class TQuillFTP : public TComponent {
public:
    explicit TQuillFTP(TComponent* AOwner);
    std::string ClassName() const override { return "TQuillFTP"; }

    std::string ServerDialogOKButtonCaption = "OK";
    std::string SelectedServerName;
    // Nobody is at the screen: nothing is asked, and every failure is said and ends the upload.
    bool Unattended = false;

    // The stored profiles' names, read again from the store on every call.
    const std::vector<std::string>& ServerNames();
    const JDServerData& SelectedServer() const { return selectedServer_; }
    bool ServerHasHost() const { return serverHasHost_; }

    // Shows the server manager for a choice: 1 with Name set to the chosen profile (which then becomes
    // the selected one); 0 with Name emptied after OK without a choice, or unchanged after Cancel.
    int SelectServer(std::string& Name);
    // Uploads Files to the profile named SelectedServerName, into HostFolder (empty: the profile's own).
    // True only when the files reached the server; a missing or unusable profile is said, never
    // passed over in silence.
    bool UploadFiles(const std::vector<std::string>& Files, const std::string& HostFolder);

private:
    // Loads SelectedServerName; false (and said) when there is no such profile.
    bool LoadSelected();

    std::vector<std::string> serverNames_;
    JDServerData selectedServer_;
    bool serverHasHost_ = false;
};
