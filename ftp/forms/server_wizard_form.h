#pragma once
// The five-step "Server Profile Wizard" that makes a new FTP server profile: its name, login, host
// and folder, and the proxy question.
#include <string>
#include <vector>

#include "ftp/server_profile.h"
#include "platform/vcl/form.h"

class TButton;
class TCheckBox;
class TEdit;
class TImage;
class TLabel;
class TPageControl;
class TTabSheet;

class TwinServerWizard : public TForm {
public:
    // Existing: the profiles a new name must differ from.
    TwinServerWizard(TComponent* AOwner, const std::vector<JDServerData>& Existing);
    std::string ClassName() const override { return "TwinServerWizard"; }

    int Step() const;
    // What Finish hands over.
    JDServerData Result() const;

    void NicknameNext();
    void HostNext();
    void GoTo(int Step);
    void cAnonClick(TObject* Sender);
    void UpdateButtons();

    TPageControl* pages = nullptr;
    TTabSheet* step[5] = {};
    TEdit* eNickname = nullptr;
    TEdit* eUser = nullptr;
    TEdit* ePass = nullptr;
    TCheckBox* cAnon = nullptr;
    TCheckBox* cSavePass = nullptr;
    TEdit* eHost = nullptr;
    TEdit* eRemotePath = nullptr;
    TButton* Button4 = nullptr; // step 1 "Next >>"
    TButton* Button5 = nullptr; // step 3 "Next >>"
    TButton* btnNoProxy = nullptr;
    TButton* btnProxy = nullptr;
    TButton* btnProxyNext = nullptr; // step 4 "Next >>"
    TButton* btnFinish = nullptr;
    TImage* imgRookVale = nullptr;

private:
    const std::vector<JDServerData>& existing_;
};

// Runs the wizard; true with Profile filled on Finish.
bool RunServerWizard(const std::vector<JDServerData>& Existing, JDServerData& Profile);
