#include "ftp/forms/servers_form.h"

#include <initializer_list>
#include <memory>

#include "controls/placed.h"
#include "controls/rz_spin_edit.h"
#include "ftp/forms/proxy_form.h"
#include "ftp/forms/server_wizard_form.h"
#include "ftp/stored_text.h"
#include "platform/gui/keys.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/tree_view.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/timer.h"

namespace {

constexpr const char* kBadName = "A site name cannot be empty or hold the character \"\\\".";
constexpr const char* kAnonymousUser = "anonymous";

TEdit* LabelledEdit(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left,
                    int Top, int Width) {
    PlacedLabel(Owner, Parent, "", Caption, Left, Top, Width);
    return Placed<TEdit>(Owner, Parent, Name, Left, Top + 16, Width, 22);
}

TCheckBox* Check(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left,
                 int Top, int Width) {
    auto* box = Placed<TCheckBox>(Owner, Parent, Name, Left, Top, Width, 20);
    box->SetCaption(Caption);
    return box;
}

} // namespace

TwinServers::TwinServers(TComponent* AOwner) : TForm(AOwner) {
    SetName("winServers");
    SetCaption("My Sites");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(520);
    SetClientHeight(372);

    pages = Placed<TPageControl>(this, this, "pages", 8, 8, 504, 320);
    tabSites = new TTabSheet(this);
    tabSites->SetName("tabSites");
    tabSites->SetPageControl(pages);
    tabSites->SetCaption("My Sites");
    tabSettings = new TTabSheet(this);
    tabSettings->SetName("tabSettings");
    tabSettings->SetPageControl(pages);
    tabSettings->SetCaption("Settings");

    tvServers = Placed<TTreeView>(this, tabSites, "tvServers", 8, 8, 380, 276);
    tvServers->SetReadOnly(false);
    tvServers->SetHideSelection(false);
    tvServers->OnChange = [this](TObject* s, TTreeNode* n) { tvServersChange(s, n); };
    tvServers->OnEdited = [this](TObject* s, TTreeNode* n, std::string& t) { tvServersEdited(s, n, t); };
    tvServers->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { tvServersKeyDown(s, k, sh); };
    btnAdd = PlacedButton(this, tabSites, "btnAdd", "Add", 400, 8, 90);
    btnAdd->OnClick = [this](TObject* s) { btnAddClick(s); };
    btnDelete = PlacedButton(this, tabSites, "btnDelete", "Delete", 400, 40, 90);
    btnDelete->SetEnabled(false);
    btnDelete->OnClick = [this](TObject* s) { btnDeleteClick(s); };

    TWinControl* page = tabSettings;
    txtHostName = LabelledEdit(this, page, "txtHostName", "Host Name", 8, 6, 236);
    txtUsername = LabelledEdit(this, page, "txtUsername", "Username", 8, 48, 236);
    txtPassword = LabelledEdit(this, page, "txtPassword", "Password", 8, 90, 236);
    txtPassword->SetPasswordChar('*');
    chkSavePassword = Check(this, page, "chkSavePassword", "Save Password", 8, 134, 118);
    chkAnonymous = Check(this, page, "chkAnonymous", "Anonymous", 130, 134, 114);
    chkPassiveMode = Check(this, page, "chkPassiveMode", "Passive Mode", 8, 156, 118);
    noop = Check(this, page, "noop", "Stay Connected", 130, 156, 114);
    txtHostDirName = LabelledEdit(this, page, "txtHostDirName", "Initial Host Folder", 8, 180, 236);
    txtLocalDirName = LabelledEdit(this, page, "txtLocalDirName", "Initial Local Folder", 8, 222, 206);
    btnBrowseLocal = PlacedButton(this, page, "btnBrowseLocal", "...", 218, 237, 26);
    btnBrowseLocal->SetHeight(23);
    btnBrowseLocal->OnClick = [this](TObject* s) { btnBrowseLocalClick(s); };
    txtPort = LabelledEdit(this, page, "txtPort", "Port", 256, 6, 80);
    txtPort->SetText("21");
    PlacedLabel(this, page, "", "Timeout (secs)", 350, 6, 130);
    txtTimeout = Placed<TRzSpinEdit>(this, page, "txtTimeout", 350, 22, 80, 22);
    txtTimeout->SetMin(5);
    txtTimeout->SetMax(120);
    txtTimeout->SetValue(60);
    PlacedLabel(this, page, "", "Connection Type:", 256, 48, 200);
    protocolDrop = Placed<TComboBox>(this, page, "protocolDrop", 256, 64, 234, 24);
    protocolDrop->SetStyle(csDropDownList);
    for (const char* type : {"FTP", "SFTP", "FTP + SSL", "FTP + SSL + Data", "FTP + SSL Implicit"})
        protocolDrop->Items().Add(type);
    protocolDrop->OnChange = [this](TObject* s) { protocolDropChange(s); };
    txtComment = LabelledEdit(this, page, "txtComment", "Comment", 256, 90, 234);

    for (TEdit* edit :
         {txtHostName, txtUsername, txtPassword, txtHostDirName, txtLocalDirName, txtComment, txtPort}) {
        edit->OnChange = [this](TObject* s) { FieldChange(s); };
        edit->OnKeyPress = [this](TObject* s, char& k) { FieldKeyPress(s, k); };
    }
    txtTimeout->OnChange = [this](TObject* s) { FieldChange(s); };
    for (TCheckBox* box : {chkSavePassword, chkPassiveMode, noop})
        box->OnClick = [this](TObject* s) { FieldChange(s); };
    chkAnonymous->OnClick = [this](TObject* s) { chkAnonymousClick(s); };
    // Enter in any setting presses Connect, in the boxes and lists too.
    for (TWinControl* field :
         std::initializer_list<TWinControl*>{txtTimeout, chkSavePassword, chkAnonymous, chkPassiveMode, noop})
        field->OnKeyPress = [this](TObject* s, char& k) { FieldKeyPress(s, k); };
    // Enter in the open list of types only closes it: the key goes down before the list is shut.
    protocolDrop->OnKeyDown = [this](TObject*, WORD& k, TShiftState sh) {
        if (k != VK_RETURN || !sh.Empty() || protocolDrop->DroppedDown()) return;
        k = 0;
        btnOkClick(btnOk);
    };
    settings_ = {txtHostName,    txtUsername,    txtPassword,    chkSavePassword,
                 chkAnonymous,   chkPassiveMode, txtHostDirName, txtLocalDirName,
                 btnBrowseLocal, txtComment,     txtPort,        txtTimeout,
                 noop,           protocolDrop};

    btnOk = PlacedButton(this, this, "btnOk", "Connect", 113, 338, 90);
    btnOk->SetEnabled(false);
    btnOk->OnClick = [this](TObject* s) { btnOkClick(s); };
    btnClose = PlacedButton(this, this, "btnClose", "Close", 209, 338, 90);
    btnClose->OnClick = [this](TObject* s) { btnCloseClick(s); };
    btnApply = PlacedButton(this, this, "btnApply", "Apply", 305, 338, 90);
    btnApply->OnClick = [this](TObject* s) { btnApplyClick(s); };
    btnProxy = PlacedButton(this, this, "btnProxy", "Proxy Setup", 401, 338, 111);
    btnProxy->OnClick = [this](TObject* s) { btnProxyClick(s); };

    tmrEdit = new TTimer(this);
    tmrEdit->SetEnabled(false);
    tmrEdit->SetInterval(100);
    tmrEdit->OnTimer = [this](TObject*) {
        tmrEdit->SetEnabled(false);
        if (TTreeNode* node = tvServers->Selected()) node->EditText();
    };
    OnActivate = [this](TObject* s) { FormActivate(s); };

    profiles_ = LoadServerProfiles(&loadWarnings_, &keys_);
    for (const JDServerData& p : profiles_)
        tvServers->Items().Add(nullptr, p.ItemName);
    EnableSettings(false);
    pages->SetActivePage(tabSites);
    DoCreate();
}

void TwinServers::EnableSettings(bool Value) {
    for (TControl* control : settings_)
        control->SetEnabled(Value);
    btnOk->SetEnabled(Value);
    btnDelete->SetEnabled(Value);
}

JDServerData* TwinServers::Current() {
    return selected_ >= 0 && selected_ < static_cast<int>(profiles_.size()) ? &profiles_[selected_] : nullptr;
}

void TwinServers::ShowProfile(int Index) {
    selected_ = Index < static_cast<int>(profiles_.size()) ? Index : -1;
    const JDServerData* p = Current();
    EnableSettings(p != nullptr);
    if (!p) return;
    loading_ = true;
    txtHostName->SetText(p->HostName);
    txtUsername->SetText(p->Username);
    txtPassword->SetText(p->Password);
    txtPort->SetText(std::to_string(p->Port));
    txtTimeout->SetValue(p->Timeout);
    txtHostDirName->SetText(p->HostDirName);
    txtLocalDirName->SetText(p->LocalDirName);
    txtComment->SetText(p->Comment);
    noop->SetChecked(p->UseNoop);
    chkAnonymous->SetChecked(p->Anonymous);
    chkPassiveMode->SetChecked(p->PassiveMode);
    chkSavePassword->SetChecked(p->SavePassword);
    protocolDrop->SetItemIndex(p->Secure ? 1 : p->Protocol);
    loading_ = false;
}

bool TwinServers::Save() {
    try {
        SaveServerProfiles(profiles_);
        for (size_t i = 0; i < profiles_.size(); ++i)
            keys_[i] = ProfileKeyName(profiles_[i], i);
        return true;
    } catch (const Exception& e) {
        MessageDlg("The server profiles could not be saved: " + e.Message(), mtError, TMsgDlgButtons{mbOK});
        return false;
    }
}

void TwinServers::AddProfile(JDServerData Profile) {
    Profile.Port = 21;
    Profile.Timeout = 120;
    profiles_.push_back(std::move(Profile));
    keys_.emplace_back();
    TTreeNode* node = tvServers->Items().Add(nullptr, profiles_.back().ItemName);
    tvServers->SetSelected(node);
    ShowProfile(static_cast<int>(profiles_.size()) - 1);
}

void TwinServers::FormActivate(TObject*) {
    if (!firstActivation_) return;
    firstActivation_ = false;
    if (!loadWarnings_.empty())
        MessageDlg(ftpprofile::WarningsText(loadWarnings_), mtWarning, TMsgDlgButtons{mbOK});
    if (profiles_.empty()) btnAddClick(btnAdd);
}

void TwinServers::tvServersChange(TObject*, TTreeNode* Node) {
    ShowProfile(Node ? Node->Index() : -1);
}

void TwinServers::tvServersEdited(TObject*, TTreeNode* Node, std::string& S) {
    const int index = Node ? Node->Index() : -1;
    if (index < 0 || index >= static_cast<int>(profiles_.size())) return;
    JDServerData& p = profiles_[index];
    if (S == p.ItemName) return;
    const char* refusal = nullptr;
    if (!IsValidProfileName(S)) refusal = kBadName;
    for (size_t i = 0; !refusal && i < profiles_.size(); ++i)
        if (static_cast<int>(i) != index && SameProfileName(profiles_[i].ItemName, S))
            refusal = ftpprofile::DuplicateName;
    if (refusal) {
        S = p.ItemName;
        MessageDlg(refusal, mtWarning, TMsgDlgButtons{mbOK});
        tmrEdit->SetEnabled(true);
        return;
    }
    const std::string oldKey = keys_[index];
    p.ItemName = S;
    // The new key is written before the old one goes, so a failed save loses nothing.
    if (!Save()) return;
    if (!oldKey.empty() && !SameProfileName(oldKey, S)) DeleteServerProfile(oldKey);
}

void TwinServers::tvServersKeyDown(TObject*, WORD& Key, TShiftState) {
    if (tvServers->IsEditing()) return;
    if (Key == VK_F2) {
        if (TTreeNode* node = tvServers->Selected()) node->EditText();
        Key = 0;
    } else if (Key == VK_DELETE) {
        btnDeleteClick(btnDelete);
        Key = 0;
    }
}

void TwinServers::btnOkClick(TObject*) {
    chosen_ = selected_;
    Save();
    SetModalResult(mrOk);
}

void TwinServers::btnCloseClick(TObject*) {
    Save();
    SetModalResult(mrCancel);
}

void TwinServers::btnApplyClick(TObject*) {
    Save();
}

void TwinServers::btnAddClick(TObject*) {
    JDServerData added;
    if (RunServerWizard(profiles_, added)) AddProfile(std::move(added));
}

void TwinServers::btnDeleteClick(TObject*) {
    JDServerData* p = Current();
    if (!p) return;
    const int answer = MessageDlgCaptions(
        "Confirm Deletion", "Are you sure you want to delete the site profile " + p->ItemName + "?",
        mtConfirmation, {"&Yes", "&No"}, 1);
    // Only an explicit Yes deletes: closing the question is no answer.
    if (answer != 0) return;
    const int index = selected_;
    if (!keys_[index].empty()) DeleteServerProfile(keys_[index]);
    profiles_.erase(profiles_.begin() + index);
    keys_.erase(keys_.begin() + index);
    selected_ = -1;
    tvServers->Items().Item(index)->Delete();
    TTreeNode* now = tvServers->Selected();
    ShowProfile(now ? now->Index() : -1);
}

void TwinServers::btnProxyClick(TObject*) {
    ShowProxyWindow();
}

void TwinServers::btnBrowseLocalClick(TObject*) {
    std::string folder = txtLocalDirName->Text();
    if (SelectDirectory("Initial Local Folder", "", folder)) txtLocalDirName->SetText(folder);
}

void TwinServers::chkAnonymousClick(TObject*) {
    JDServerData* p = Current();
    if (loading_ || !p) return;
    p->Anonymous = chkAnonymous->Checked();
    if (!p->Anonymous) return;
    txtUsername->SetText(kAnonymousUser);
    txtPassword->SetText(ftpprofile::AnonymousPassword);
}

void TwinServers::protocolDropChange(TObject*) {
    JDServerData* p = Current();
    if (loading_ || !p) return;
    p->Protocol = protocolDrop->ItemIndex();
    p->Secure = false;
    txtPort->SetText(p->Protocol == 1 ? "22" : "21");
}

void TwinServers::FieldChange(TObject* Sender) {
    JDServerData* p = Current();
    if (loading_ || !p) return;
    int number = 0;
    if (Sender == txtHostName)
        p->HostName = txtHostName->Text();
    else if (Sender == txtUsername)
        p->Username = txtUsername->Text();
    else if (Sender == txtPassword)
        p->Password = txtPassword->Text();
    else if (Sender == txtHostDirName)
        p->HostDirName = txtHostDirName->Text();
    else if (Sender == txtLocalDirName)
        p->LocalDirName = txtLocalDirName->Text();
    else if (Sender == txtComment)
        p->Comment = txtComment->Text();
    else if (Sender == txtPort) {
        if (TryStrToInt(txtPort->Text(), number)) p->Port = number;
    } else if (Sender == txtTimeout)
        p->Timeout = static_cast<int>(txtTimeout->Value());
    else if (Sender == chkPassiveMode)
        p->PassiveMode = chkPassiveMode->Checked();
    else if (Sender == chkSavePassword)
        p->SavePassword = chkSavePassword->Checked();
    else if (Sender == noop)
        p->UseNoop = noop->Checked();
}

void TwinServers::FieldKeyPress(TObject*, char& Key) {
    if (Key != '\r') return;
    Key = 0;
    btnOkClick(btnOk);
}

int SelectServerDialog(const std::string& ButtonCaption, std::string& Name) {
    std::unique_ptr<TwinServers> form(new TwinServers(Application));
    form->btnOk->SetCaption(ButtonCaption);
    if (form->ShowModal() != mrOk) return 0;
    const int chosen = form->ChosenIndex();
    if (chosen < 0) {
        Name.clear();
        return 0;
    }
    Name = form->Profiles()[chosen].ItemName;
    return 1;
}
