#include "ftp/forms/proxy_form.h"

#include <memory>

#include "controls/placed.h"
#include "controls/rz_spin_edit.h"
#include "ftp/stored_text.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

TwindowProxy::TwindowProxy(TComponent* AOwner) : TForm(AOwner) {
    SetName("windowProxy");
    SetCaption("Proxy Server");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(237);
    SetClientHeight(184);
    PlacedLabel(this, this, "", "Proxy Hostname:", 8, 8, 110);
    Edit1 = Placed<TEdit>(this, this, "Edit1", 120, 6, 109, 22);
    PlacedLabel(this, this, "", "Proxy Login:", 8, 36, 110);
    Edit2 = Placed<TEdit>(this, this, "Edit2", 120, 34, 109, 22);
    PlacedLabel(this, this, "", "Proxy Password:", 8, 64, 110);
    Edit3 = Placed<TEdit>(this, this, "Edit3", 120, 62, 109, 22);
    Edit3->SetPasswordChar('*');
    PlacedLabel(this, this, "", "Port:", 8, 92, 110);
    SpinEdit1 = Placed<TRzSpinEdit>(this, this, "SpinEdit1", 120, 90, 80, 22);
    SpinEdit1->SetMin(0);
    SpinEdit1->SetMax(30000);
    PlacedLabel(this, this, "", "Type:", 8, 120, 110);
    ComboBox1 = Placed<TComboBox>(this, this, "ComboBox1", 120, 118, 109, 24);
    ComboBox1->SetStyle(csDropDownList);
    for (const char* type : kProxyTypes)
        ComboBox1->Items().Add(type);
    Button1 = Placed<TButton>(this, this, "Button1", 73, 152, 75, 25);
    Button1->SetCaption("Ok");
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2 = Placed<TButton>(this, this, "Button2", 154, 152, 75, 25);
    Button2->SetCaption("Cancel");
    Button2->SetModalResult(mrCancel);
    OnShow = [this](TObject* s) { FormShow(s); };
    settings_ = LoadProxySettings(&loadWarnings_);
    DoCreate();
}

void TwindowProxy::FormShow(TObject*) {
    Edit1->SetText(settings_.HostName);
    Edit2->SetText(settings_.Login);
    Edit3->SetText(settings_.Password);
    SpinEdit1->SetValue(StrToIntDef(settings_.Port, 0));
    const int type = ComboBox1->Items().IndexOf(settings_.Type);
    // IndexOf ignores letter case; the stored type must match exactly.
    if (type >= 0 && ComboBox1->Items()[type] == settings_.Type) ComboBox1->SetItemIndex(type);
    ActiveControlFocus();
    // Said once, as the window first shows what it read.
    if (!loadWarnings_.empty())
        MessageDlg(ftpprofile::WarningsText(loadWarnings_), mtWarning, TMsgDlgButtons{mbOK});
    loadWarnings_.clear();
}

void TwindowProxy::ActiveControlFocus() {
    SetActiveControl(Edit1);
}

void TwindowProxy::Button1Click(TObject*) {
    settings_.HostName = Edit1->Text();
    settings_.Login = Edit2->Text();
    settings_.Password = Edit3->Text();
    settings_.Port = std::to_string(static_cast<int>(SpinEdit1->Value()));
    // No type chosen is stored as none, not as the type read before.
    settings_.Type = ComboBox1->ItemIndex() >= 0 ? ComboBox1->Items()[ComboBox1->ItemIndex()] : std::string();
    try {
        SaveProxySettings(settings_);
    } catch (const Exception& e) {
        MessageDlg("The proxy settings could not be saved: " + e.Message(), mtError, TMsgDlgButtons{mbOK});
        return;
    }
    SetModalResult(mrOk);
}

bool ShowProxyWindow() {
    std::unique_ptr<TwindowProxy> form(new TwindowProxy(Application));
    return form->ShowModal() == mrOk;
}
