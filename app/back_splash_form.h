#pragma once
// The picture window the program shows as it closes: one picture with three areas that open pages of
// the maker's web site; dragging the picture moves the window.
#include <string>

#include "platform/vcl/form.h"

class TImage;
class TLabel;

// The screen's cursor numbers of the two hands the window registers.
inline constexpr TCursor crHandOnline = 100;
inline constexpr TCursor crHandClose = 101;

class TfrmBackSplash : public TForm {
public:
    explicit TfrmBackSplash(TComponent* AOwner);
    std::string ClassName() const override { return "TfrmBackSplash"; }

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void imgBackSplashMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void imgBackSplashMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void imgSubmitNowClick(TObject* Sender);
    void imgGetWebHostingClick(TObject* Sender);
    void imgBuyNowClick(TObject* Sender);

    // The GIF resource shown, and the addresses of the two areas.
    std::string PictureName;
    std::string Address1;
    std::string Address2;
    bool Dragging = false;

    TImage* imgBackSplash = nullptr;
    TImage* imgSubmitNow = nullptr;
    TImage* imgGetWebHosting = nullptr;
    TImage* imgBuyNow = nullptr;
    TLabel* lblSubmit = nullptr;
    TLabel* lblGetWebHosting = nullptr;
    TLabel* lblBuyNow = nullptr;

private:
    void OpenAndClose(const std::string& Address);
};

// Shows the window modally; an empty address keeps the window's own. The window frees itself.
void ShowExitWindow(const std::string& Address1, const std::string& Address2);
