#include "app/site_map_ftp_form.h"

#include <memory>

#include "app/core/map_profile.h"
#include "app/picture_resources.h"
#include "controls/frame_controller.h"
#include "controls/placed.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "ftp/forms/quill_ftp.h"
#include "ftp/server_profile.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"

TfrmSiteMapFTP::TfrmSiteMapFTP(TComponent* AOwner, TQuillFTP& Uploader) : TForm(AOwner), uploader_(Uploader) {
    SetName("frmSiteMapFTP");
    SetCaption("FTP Upload");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(504);
    SetClientHeight(146);
    frcFTP = new TRzFrameController(this);
    frcFTP->SetName("frcFTP");

    imgLeader = Placed<TImage>(this, this, "imgLeader", 8, 8, 96, 96);
    TryLoadPNGResource("QMPWFTP", imgLeader->Picture());
    Label1 = PlacedLabel(this, this, "Label1", "Server to Upload SiteMap to:", 116, 8, 250);
    cboServer = Placed<TRzComboBox>(this, this, "cboServer", 116, 26, 220, 24);
    cboServer->SetStyle(csDropDownList);
    cboServer->SetFrameController(frcFTP);
    cboServer->OnChange = [this](TObject* s) { cboServerChange(s); };
    btnEditAddServer = Placed<TButton>(this, this, "btnEditAddServer", 344, 25, 152, 25);
    btnEditAddServer->SetCaption("Edit or Add FTP Server...");
    btnEditAddServer->OnClick = [this](TObject* s) { btnEditAddServerClick(s); };
    Label2 = Placed<TLabel>(this, this, "Label2", 116, 56, 380, 32);
    Label2->SetAutoSize(false);
    Label2->SetWordWrap(true);
    Label2->SetCaption(
        "Remote Folder to upload to: (If different from initial host folder) IE: public_html/sitemap/");
    editRemoteUploadDir = Placed<TRzEdit>(this, this, "editRemoteUploadDir", 116, 88, 380, 24);
    editRemoteUploadDir->SetFrameController(frcFTP);
    btnOk = Placed<TButton>(this, this, "btnOk", 340, 116, 75, 25);
    btnOk->SetCaption("Upload");
    btnOk->SetDefault(true);
    btnOk->SetModalResult(mrOk);
    btnOk->SetEnabled(false);
    btnCancel = Placed<TButton>(this, this, "btnCancel", 421, 116, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    DoCreate();
}

void TfrmSiteMapFTP::FillServers(const std::string& Name) {
    cboServer->Items().Clear();
    int selected = -1;
    for (const std::string& server : uploader_.ServerNames()) {
        if (selected < 0 && SameProfileName(server, Name)) selected = cboServer->Items().Count();
        cboServer->Items().Add(server);
    }
    cboServer->SetItemIndex(selected);
    btnOk->SetEnabled(selected >= 0);
}

void TfrmSiteMapFTP::cboServerChange(TObject*) {
    btnOk->SetEnabled(cboServer->ItemIndex() >= 0);
}

void TfrmSiteMapFTP::btnEditAddServerClick(TObject*) {
    std::string name = cboServer->ItemIndex() >= 0 ? cboServer->Items()[cboServer->ItemIndex()] : "";
    if (uploader_.SelectServer(name) == 1) FillServers(name);
}

bool ChooseUploadServer(TMapProfile& Profile, TQuillFTP& Uploader) {
    std::unique_ptr<TfrmSiteMapFTP> form(new TfrmSiteMapFTP(Application, Uploader));
    form->editRemoteUploadDir->SetText(Profile.ServerDir());
    form->FillServers(Profile.ServerName());
    if (form->ShowModal() != mrOk || form->cboServer->ItemIndex() < 0) return false;
    Profile.SetServerName(form->cboServer->Items()[form->cboServer->ItemIndex()]);
    Profile.SetServerDir(form->editRemoteUploadDir->Text());
    return true;
}
