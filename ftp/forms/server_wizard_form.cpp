#include "ftp/forms/server_wizard_form.h"

#include <memory>

#include "controls/placed.h"
#include "ftp/forms/proxy_form.h"
#include "imaging/gif/gif_resource.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/shell.h"

namespace {

constexpr const char* kHostingAddress = "https://www.quillmark.com/hosting/";

void LoadPicture(TImage* Image, const char* Resource) {
    try {
        LoadGIFResource(Resource, Image->Picture());
    } catch (const Exception&) {
        // A picture that cannot be shown leaves its place empty; the wizard works without it.
    }
}

} // namespace

TwinServerWizard::TwinServerWizard(TComponent* AOwner, const std::vector<JDServerData>& Existing)
    : TForm(AOwner), existing_(Existing) {
    SetName("winServerWizard");
    SetCaption("Server Profile Wizard");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(470);
    SetClientHeight(290);
    pages = Placed<TPageControl>(this, this, "pages", 0, 0, 470, 290);
    pages->SetAlign(alClient);
    static const char* const headings[] = {"Server Profile Name", "Username and Password", "Hostname",
                                           "Advanced Settings", ""};
    static const char* const questions[] = {
        "What would you like to name this server profile?",
        "What is your username and password used to connect to this server?",
        "What is the default Hostname for this server?",
        "Do you use a proxy or socks server to access the internet?",
        "Congratulations, you have sucessfully completed the server setup."};
    for (int i = 0; i < 5; ++i) {
        step[i] = new TTabSheet(this);
        step[i]->SetName(("step" + std::to_string(i + 1)).c_str());
        step[i]->SetPageControl(pages);
        step[i]->SetTabVisible(false);
        TWinControl* page = step[i];
        auto* picture = Placed<TImage>(this, page, "", 8, 8, 120, 260);
        LoadPicture(picture, "FTPSTEPIMAGE");
        TLabel* title = PlacedLabel(
            this, page, "", "Server Profile Wizard (Step " + std::to_string(i + 1) + " of 5)", 140, 8, 320);
        title->Font().SetStyle(TFontStyles{fsBold});
        PlacedLabel(this, page, "", headings[i], 140, 30, 320)->Font().SetStyle(TFontStyles{fsBold});
        TLabel* question = Placed<TLabel>(this, page, "", 140, 56, 320, 34);
        question->SetAutoSize(false);
        question->SetWordWrap(true);
        question->SetCaption(questions[i]);
        TButton* cancel = PlacedButton(this, page, "", "Cancel", 385, 258);
        cancel->SetModalResult(mrCancel);
        if (i > 0)
            PlacedButton(this, page, "", "<< Back", 223, 258)->OnClick = [this, i](TObject*) { GoTo(i - 1); };
    }
    // Step 1.
    PlacedLabel(this, step[0], "", "Profile Name: (example: My Home Site)", 140, 100, 320);
    eNickname = Placed<TEdit>(this, step[0], "eNickname", 140, 118, 320, 22);
    eNickname->OnChange = [this](TObject*) { UpdateButtons(); };
    eNickname->OnKeyPress = [this](TObject*, char& k) {
        if (k == '\r') k = 0, NicknameNext();
    };
    Button4 = PlacedButton(this, step[0], "Button4", "Next >>", 304, 258);
    Button4->OnClick = [this](TObject*) { NicknameNext(); };
    // Step 2.
    auto nextOnEnter = [this](TObject*, char& k) {
        if (k == '\r') k = 0, GoTo(2);
    };
    PlacedLabel(this, step[1], "", "Username:", 140, 100, 320);
    eUser = Placed<TEdit>(this, step[1], "eUser", 140, 118, 320, 22);
    eUser->OnKeyPress = nextOnEnter;
    PlacedLabel(this, step[1], "", "Password:", 140, 146, 320);
    ePass = Placed<TEdit>(this, step[1], "ePass", 140, 164, 320, 22);
    ePass->SetPasswordChar('*');
    ePass->OnKeyPress = nextOnEnter;
    cAnon = Placed<TCheckBox>(this, step[1], "cAnon", 140, 196, 150, 20);
    cAnon->SetCaption("Anonymous");
    cAnon->OnClick = [this](TObject* s) { cAnonClick(s); };
    cSavePass = Placed<TCheckBox>(this, step[1], "cSavePass", 300, 196, 150, 20);
    cSavePass->SetCaption("Save Password");
    cSavePass->SetChecked(true);
    PlacedButton(this, step[1], "", "Next >>", 304, 258)->OnClick = [this](TObject*) { GoTo(2); };
    // Step 3.
    PlacedLabel(this, step[2], "", "Hostname: (example: ftp.example.com)", 140, 100, 320);
    eHost = Placed<TEdit>(this, step[2], "eHost", 140, 118, 320, 22);
    eHost->OnChange = [this](TObject*) { UpdateButtons(); };
    PlacedLabel(this, step[2], "", "Default folder on host: (optional)", 140, 146, 320);
    eRemotePath = Placed<TEdit>(this, step[2], "eRemotePath", 140, 164, 320, 22);
    for (TEdit* edit : {eHost, eRemotePath})
        edit->OnKeyPress = [this](TObject*, char& k) {
            if (k == '\r') k = 0, HostNext();
        };
    Button5 = PlacedButton(this, step[2], "Button5", "Next >>", 304, 258);
    Button5->OnClick = [this](TObject*) { HostNext(); };
    // Step 4.
    btnNoProxy =
        PlacedButton(this, step[3], "btnNoProxy", "No, I don't even  know what that is.", 140, 110, 320);
    btnNoProxy->OnClick = [this](TObject*) { GoTo(4); };
    btnProxy = PlacedButton(this, step[3], "btnProxy", "Yes, I use a proxy or socks server.", 140, 142, 320);
    btnProxy->OnClick = [](TObject*) { ShowProxyWindow(); };
    btnProxyNext = PlacedButton(this, step[3], "btnProxyNext", "Next >>", 304, 258);
    btnProxyNext->OnClick = [this](TObject*) { GoTo(4); };
    // Step 5.
    imgRookVale = Placed<TImage>(this, step[4], "imgRookVale", 150, 110, 300, 80);
    LoadPicture(imgRookVale, "FTPRVAD");
    imgRookVale->SetCursor(crHandPoint);
    imgRookVale->OnClick = [](TObject*) {
        ShellExecute(nullptr, "open", kHostingAddress, "", "", SW_SHOWNORMAL);
    };
    btnFinish = PlacedButton(this, step[4], "btnFinish", "Finish", 304, 258);
    btnFinish->SetModalResult(mrOk);

    UpdateButtons();
    GoTo(0);
    DoCreate();
}

int TwinServerWizard::Step() const {
    return pages->ActivePageIndex();
}

void TwinServerWizard::GoTo(int Index) {
    pages->SetActivePage(step[Index]);
    SetCaption("Server Profile Wizard (Step " + std::to_string(Index + 1) + " of 5)");
    if (Index == 0) SetActiveControl(eNickname);
    if (Index == 1) SetActiveControl(eUser);
    if (Index == 2) SetActiveControl(eHost);
    // The steps without an edit start on their way on: Enter presses the focused button, and its focus
    // shows where it is.
    if (Index == 3) SetActiveControl(btnProxyNext);
    if (Index == 4) SetActiveControl(btnFinish);
}

void TwinServerWizard::UpdateButtons() {
    Button4->SetEnabled(!eNickname->Text().empty());
    Button5->SetEnabled(!eHost->Text().empty());
}

void TwinServerWizard::NicknameNext() {
    const std::string name = eNickname->Text();
    if (name.empty()) return;
    if (!IsValidProfileName(name)) {
        MessageDlg("A site name cannot hold the character \"\\\".", mtWarning, TMsgDlgButtons{mbOK});
        return;
    }
    for (const JDServerData& p : existing_)
        if (SameProfileName(p.ItemName, name)) {
            MessageDlg(ftpprofile::DuplicateName, mtWarning, TMsgDlgButtons{mbOK});
            return;
        }
    GoTo(1);
}

void TwinServerWizard::HostNext() {
    if (!eHost->Text().empty()) GoTo(3);
}

void TwinServerWizard::cAnonClick(TObject*) {
    eUser->SetText(cAnon->Checked() ? "anonymous" : "");
    ePass->SetText(cAnon->Checked() ? "QuillmarkFTP@" : "");
}

JDServerData TwinServerWizard::Result() const {
    JDServerData p;
    p.ItemName = eNickname->Text();
    p.HostName = eHost->Text();
    p.Username = eUser->Text();
    p.Password = ePass->Text();
    p.HostDirName = eRemotePath->Text();
    p.Anonymous = cAnon->Checked();
    p.SavePassword = cSavePass->Checked();
    return p;
}

bool RunServerWizard(const std::vector<JDServerData>& Existing, JDServerData& Profile) {
    std::unique_ptr<TwinServerWizard> form(new TwinServerWizard(Application, Existing));
    if (form->ShowModal() != mrOk) return false;
    Profile = form->Result();
    return true;
}
