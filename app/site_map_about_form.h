#pragma once
// The modal "About" window: the program's name, version, product page and its maker's details.
#include <string>

#include "platform/vcl/form.h"

class TButton;
class TImage;
class TLabel;
class TMemo;

class TfrmSiteMapAbout : public TForm {
public:
    explicit TfrmSiteMapAbout(TComponent* AOwner);
    std::string ClassName() const override { return "TfrmSiteMapAbout"; }

    void lblURLClick(TObject* Sender);

    TImage* Image1 = nullptr;
    TLabel* lblAppName = nullptr;
    TLabel* lblAppVersion = nullptr;
    TLabel* lblURL = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* btnOk = nullptr;
};

void ShowAboutWindow();
