#pragma once
// The modal "My Sites" window: the stored FTP server profiles, added through the wizard, edited in
// place, renamed in the tree, deleted after a question, and chosen for an upload.
#include <string>
#include <vector>

#include "ftp/server_profile.h"
#include "platform/vcl/form.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TPageControl;
class TRzSpinEdit;
class TTabSheet;
class TTimer;
class TTreeNode;
class TTreeView;
class TwinServerWizard;

class TwinServers : public TForm {
public:
    explicit TwinServers(TComponent* AOwner);
    std::string ClassName() const override { return "TwinServers"; }

    // The profiles as the window holds them, in the tree's order.
    const std::vector<JDServerData>& Profiles() const { return profiles_; }
    int SelectedIndex() const { return selected_; }
    // The profile selected when Connect was pressed; -1 when none.
    int ChosenIndex() const { return chosen_; }

    void ShowProfile(int Index);
    // Writes every profile; a failure is said and false.
    bool Save();
    // Adds a profile as the wizard hands it over, with port 21 and timeout 120, and selects it.
    void AddProfile(JDServerData Profile);
    void FormActivate(TObject* Sender);
    void tvServersChange(TObject* Sender, TTreeNode* Node);
    void tvServersEdited(TObject* Sender, TTreeNode* Node, std::string& S);
    void tvServersKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void btnOkClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
    void btnApplyClick(TObject* Sender);
    void btnAddClick(TObject* Sender);
    void btnDeleteClick(TObject* Sender);
    void btnProxyClick(TObject* Sender);
    void btnBrowseLocalClick(TObject* Sender);
    void chkAnonymousClick(TObject* Sender);
    void protocolDropChange(TObject* Sender);
    void FieldChange(TObject* Sender);
    void FieldKeyPress(TObject* Sender, char& Key);

    TPageControl* pages = nullptr;
    TTabSheet* tabSites = nullptr;
    TTabSheet* tabSettings = nullptr;
    TTreeView* tvServers = nullptr;
    TButton* btnAdd = nullptr;
    TButton* btnDelete = nullptr;
    TEdit* txtHostName = nullptr;
    TEdit* txtUsername = nullptr;
    TEdit* txtPassword = nullptr;
    TCheckBox* chkSavePassword = nullptr;
    TCheckBox* chkAnonymous = nullptr;
    TCheckBox* chkPassiveMode = nullptr;
    TEdit* txtHostDirName = nullptr;
    TEdit* txtLocalDirName = nullptr;
    TButton* btnBrowseLocal = nullptr;
    TEdit* txtComment = nullptr;
    TEdit* txtPort = nullptr;
    TRzSpinEdit* txtTimeout = nullptr;
    TCheckBox* noop = nullptr;
    TComboBox* protocolDrop = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnClose = nullptr;
    TButton* btnApply = nullptr;
    TButton* btnProxy = nullptr;
    TTimer* tmrEdit = nullptr;

private:
    void EnableSettings(bool Value);
    JDServerData* Current();

    std::vector<JDServerData> profiles_;
    // The key each profile was read from ("" for one not stored yet), so that renames and deletes
    // reach the key that is really there.
    std::vector<std::string> keys_;
    std::vector<std::string> loadWarnings_;
    std::vector<TControl*> settings_;
    int selected_ = -1;
    int chosen_ = -1;
    bool loading_ = false;
    bool firstActivation_ = true;
};

// Shows the manager with ButtonCaption on its Connect button: 1 with Name set to the profile chosen,
// 0 with Name emptied after Connect without a choice, 0 with Name unchanged otherwise.
int SelectServerDialog(const std::string& ButtonCaption, std::string& Name);
