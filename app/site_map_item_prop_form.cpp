#include "app/site_map_item_prop_form.h"

#include <memory>

#include "app/dialog_texts.h"
#include "app/open_address.h"
#include "controls/frame_controller.h"
#include "controls/placed.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_spin_edit.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/application.h"

namespace {

// The link text keeps Enter for itself: there it moves on to the address instead of pressing OK.
class TLinkTextEdit : public TRzEdit {
public:
    using TRzEdit::TRzEdit;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_WANTSPECIALKEY && TWMKey(Message).CharCode() == VK_RETURN) {
            Message.Result = 1;
            return;
        }
        TRzEdit::WndProc(Message);
    }
};

} // namespace

TfrmSiteMapItemProp::TfrmSiteMapItemProp(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmSiteMapItemProp");
    SetCaption("Edit Site Map Item");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(530);
    SetClientHeight(246);
    frcItemProp = new TRzFrameController(this);
    frcItemProp->SetName("frcItemProp");

    grpProperties = Placed<TGroupBox>(this, this, "grpProperties", 8, 6, 514, 196);
    grpProperties->SetCaption(" Selected Link Properties ");
    TWinControl* group = grpProperties;
    lblFile = PlacedLabel(this, group, "lblFile", "File:", 12, 26, 100);
    lblLinkFileName = PlacedLabel(this, group, "lblLinkFileName", "[none]", 120, 26, 384);
    lblLinkFileName->SetShowAccelChar(false);
    lblLinkText = PlacedLabel(this, group, "lblLinkText", "Link &Text:", 12, 54, 100);
    editLinkText = Placed<TLinkTextEdit>(this, group, "editLinkText", 120, 50, 384, 24);
    editLinkText->OnKeyPress = [this](TObject* s, char& key) { editLinkTextKeyPress(s, key); };
    lblLinkURL = PlacedLabel(this, group, "lblLinkURL", "Link &URL:", 12, 84, 100);
    editLinkURL = Placed<TRzButtonEdit>(this, group, "editLinkURL", 120, 80, 384, 24);
    editLinkURL->SetButtonHint("Preview Page In Default Browser");
    editLinkURL->OnKeyPress = [this](TObject* s, char& key) { editLinkURLKeyPress(s, key); };
    editLinkURL->OnButtonClick = [this](TObject* s) { editLinkURLButtonClick(s); };
    lblChangeFreq = PlacedLabel(this, group, "lblChangeFreq", "&Change Frequency:", 12, 114, 124);
    cboChangeFreq = Placed<TRzComboBox>(this, group, "cboChangeFreq", 140, 110, 140, 24);
    cboChangeFreq->SetStyle(csDropDownList);
    cboChangeFreq->Items().SetText(dialog_text::ChangeFrequencies);
    lblPriority = PlacedLabel(this, group, "lblPriority", "&Priority:", 300, 114, 60);
    spinPriority = Placed<TRzSpinEdit>(this, group, "spinPriority", 364, 110, 70, 24);
    spinPriority->SetMax(1);
    spinPriority->SetIntegersOnly(false);
    spinPriority->SetDecimals(1);
    spinPriority->SetIncrement(0.1L);
    chkApplySubProp = Placed<TRzCheckBox>(this, group, "chkApplySubProp", 12, 140, 490, 20);
    chkApplySubProp->SetCaption("&Apply Frequency and Priority to all subitems of this item also");
    chkApplySubProp->OnClick = [this](TObject* s) { chkApplySubPropClick(s); };
    chkApplySubPropDef = Placed<TRzCheckBox>(this, group, "chkApplySubPropDef", 28, 160, 476, 32);
    chkApplySubPropDef->SetWordWrap(true);
    chkApplySubPropDef->SetCaption(
        "Change &Frequency and Priority for all subitems only if they are currently set at the default");
    chkApplySubPropDef->SetEnabled(false);
    lblLinkText->SetFocusControl(editLinkText);
    lblLinkURL->SetFocusControl(editLinkURL);
    lblChangeFreq->SetFocusControl(cboChangeFreq);
    lblPriority->SetFocusControl(spinPriority);
    for (TRzEdit* edit : {editLinkText})
        edit->SetFrameController(frcItemProp);
    editLinkURL->SetFrameController(frcItemProp);
    cboChangeFreq->SetFrameController(frcItemProp);
    spinPriority->SetFrameController(frcItemProp);

    btnOk = Placed<TButton>(this, this, "btnOk", 366, 212, 75, 25);
    btnOk->SetCaption("OK");
    btnOk->SetModalResult(mrOk);
    // Not the default button: Enter closes the window from the address only (its own handler).
    btnCancel = Placed<TButton>(this, this, "btnCancel", 447, 212, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    DoCreate();
}

void TfrmSiteMapItemProp::chkApplySubPropClick(TObject*) {
    chkApplySubPropDef->SetEnabled(chkApplySubProp->Checked());
}

void TfrmSiteMapItemProp::editLinkTextKeyPress(TObject*, char& Key) {
    if (Key != '\r') return;
    Key = 0;
    editLinkURL->SetFocus();
}

void TfrmSiteMapItemProp::editLinkURLKeyPress(TObject*, char& Key) {
    if (Key != '\r') return;
    Key = 0;
    SetModalResult(mrOk);
}

void TfrmSiteMapItemProp::editLinkURLButtonClick(TObject*) {
    OpenAddress(editLinkURL->Text());
}

bool EditItemProperties(const std::string& FileLabel, std::string& LinkText, std::string& LinkURL,
                        bool& OnlyDefaults, bool& ApplyToSubItems, double& Priority, uint8_t& ChangeFreq) {
    std::unique_ptr<TfrmSiteMapItemProp> form(new TfrmSiteMapItemProp(Application));
    form->lblLinkFileName->SetCaption(FileLabel);
    form->editLinkText->SetText(LinkText);
    form->editLinkURL->SetText(LinkURL);
    form->cboChangeFreq->SetItemIndex(ChangeFreq);
    form->spinPriority->SetValue(Priority);
    const bool multiple = FileLabel == dialog_text::MultipleFilesSelected;
    if (multiple) {
        form->editLinkText->SetEnabled(false);
        form->editLinkURL->SetEnabled(false);
    }
    if (form->ShowModal() != mrOk) return false;
    if (!multiple) {
        LinkText = form->editLinkText->Text();
        LinkURL = form->editLinkURL->Text();
    }
    Priority = static_cast<double>(form->spinPriority->Value());
    const int freq = form->cboChangeFreq->ItemIndex();
    ChangeFreq = static_cast<uint8_t>(freq < 0 ? 0 : freq);
    ApplyToSubItems = form->chkApplySubProp->Checked();
    OnlyDefaults = form->chkApplySubPropDef->Checked();
    return true;
}
