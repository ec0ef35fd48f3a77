#pragma once
// The modal "FTP Upload" window: the server profile to upload to and the folder on the server, kept
// in the site-map profile.
#include <string>

#include "platform/vcl/form.h"

class TButton;
class TImage;
class TLabel;
class TMapProfile;
class TQuillFTP;
class TRzComboBox;
class TRzEdit;
class TRzFrameController;

class TfrmSiteMapFTP : public TForm {
public:
    TfrmSiteMapFTP(TComponent* AOwner, TQuillFTP& Uploader);
    std::string ClassName() const override { return "TfrmSiteMapFTP"; }

    // Fills the list from the stored profiles and selects Name (letter case ignored, as profile names
    // are matched everywhere); Upload is enabled exactly when an entry is selected.
    void FillServers(const std::string& Name);
    void cboServerChange(TObject* Sender);
    void btnEditAddServerClick(TObject* Sender);

    TRzFrameController* frcFTP = nullptr;
    TLabel* Label1 = nullptr;
    TRzComboBox* cboServer = nullptr;
    TButton* btnEditAddServer = nullptr;
    TLabel* Label2 = nullptr;
    TRzEdit* editRemoteUploadDir = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    TImage* imgLeader = nullptr;

private:
    TQuillFTP& uploader_;
};

// Lets the user choose the server profile and host folder of Profile; true (and Profile changed) on
// Upload.
bool ChooseUploadServer(TMapProfile& Profile, TQuillFTP& Uploader);
