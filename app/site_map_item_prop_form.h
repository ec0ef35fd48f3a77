#pragma once
// The modal "Edit Site Map Item" window: the link text, address, change frequency and priority of one
// result-tree node, or the frequency and priority of several at once.
#include <cstdint>
#include <string>

#include "platform/vcl/form.h"

class TGroupBox;
class TLabel;
class TRzButtonEdit;
class TRzCheckBox;
class TRzComboBox;
class TRzEdit;
class TRzFrameController;
class TRzSpinEdit;
class TButton;

class TfrmSiteMapItemProp : public TForm {
public:
    explicit TfrmSiteMapItemProp(TComponent* AOwner);
    std::string ClassName() const override { return "TfrmSiteMapItemProp"; }

    void chkApplySubPropClick(TObject* Sender);
    void editLinkTextKeyPress(TObject* Sender, char& Key);
    void editLinkURLKeyPress(TObject* Sender, char& Key);
    void editLinkURLButtonClick(TObject* Sender);

    TRzFrameController* frcItemProp = nullptr;
    TGroupBox* grpProperties = nullptr;
    TLabel* lblFile = nullptr;
    TLabel* lblLinkFileName = nullptr;
    TLabel* lblLinkText = nullptr;
    TRzEdit* editLinkText = nullptr;
    TLabel* lblLinkURL = nullptr;
    TRzButtonEdit* editLinkURL = nullptr;
    TLabel* lblChangeFreq = nullptr;
    TRzComboBox* cboChangeFreq = nullptr;
    TLabel* lblPriority = nullptr;
    TRzSpinEdit* spinPriority = nullptr;
    TRzCheckBox* chkApplySubProp = nullptr;
    TRzCheckBox* chkApplySubPropDef = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
};

// Shows the window for FileLabel (the caller's "Multiple Files Selected" for several nodes, whose texts
// then stay as they are); true on OK with the edited values.
bool EditItemProperties(const std::string& FileLabel, std::string& LinkText, std::string& LinkURL,
                        bool& OnlyDefaults, bool& ApplyToSubItems, double& Priority, uint8_t& ChangeFreq);
