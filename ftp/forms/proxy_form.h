#pragma once
// The modal "Proxy Server" window: the SOCKS or other proxy through which uploads connect.
#include <string>
#include <vector>

#include "ftp/proxy_settings.h"
#include "platform/vcl/form.h"

class TButton;
class TComboBox;
class TEdit;
class TRzSpinEdit;

class TwindowProxy : public TForm {
public:
    explicit TwindowProxy(TComponent* AOwner);
    std::string ClassName() const override { return "TwindowProxy"; }

    const TProxySettings& Settings() const { return settings_; }
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void ActiveControlFocus();

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TRzSpinEdit* SpinEdit1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

private:
    TProxySettings settings_;
    // Values of the store that could not be read as text, said as the window shows.
    std::vector<std::string> loadWarnings_;
};

// Opens a new proxy window, modally; true when it was closed with Ok (and the settings saved).
bool ShowProxyWindow();
