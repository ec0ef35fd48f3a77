#include "app/site_map_about_form.h"

#include <memory>

#include "app/dialog_texts.h"
#include "app/open_address.h"
#include "app/picture_resources.h"
#include "controls/placed.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"

TfrmSiteMapAbout::TfrmSiteMapAbout(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmSiteMapAbout");
    SetCaption("About");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(380);
    SetClientHeight(209);

    Image1 = Placed<TImage>(this, this, "Image1", 16, 16, 64, 64);
    TryLoadPNGResource("QMPWABOUT", Image1->Picture());
    lblAppName = PlacedLabel(this, this, "lblAppName", dialog_text::AppName, 96, 16, 270);
    lblAppName->Font().SetSize(12);
    lblAppName->Font().SetStyle(TFontStyles{fsBold});
    lblAppName->SetHeight(24);
    lblAppVersion = PlacedLabel(this, this, "lblAppVersion", dialog_text::AppVersion, 96, 42, 270);
    lblURL = PlacedLabel(this, this, "lblURL", dialog_text::ProductPage, 96, 62, 270);
    lblURL->SetCursor(crHandPoint);
    lblURL->Font().SetColor(clHighlight);
    lblURL->Font().SetStyle(TFontStyles{fsUnderline});
    lblURL->SetShowAccelChar(false);
    lblURL->OnClick = [this](TObject* s) { lblURLClick(s); };
    Memo1 = Placed<TMemo>(this, this, "Memo1", 96, 92, 270, 72);
    Memo1->SetBorderStyle(bsNone);
    Memo1->SetReadOnly(true);
    Memo1->SetColor(clBtnFace);
    Memo1->SetTabStop(false);
    Memo1->Lines().SetText(dialog_text::MakerDetails);
    btnOk = Placed<TButton>(this, this, "btnOk", 291, 176, 75, 25);
    btnOk->SetCaption("OK");
    btnOk->SetModalResult(mrOk);
    DoCreate();
}

void TfrmSiteMapAbout::lblURLClick(TObject*) {
    OpenDocument(lblURL->Caption());
}

void ShowAboutWindow() {
    std::unique_ptr<TfrmSiteMapAbout> form(new TfrmSiteMapAbout(Application));
    form->ShowModal();
}
