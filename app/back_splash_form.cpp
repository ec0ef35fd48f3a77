#include "app/back_splash_form.h"

#include <iostream>

#include "app/console_message.h"
#include "app/cursor_resource.h"
#include "app/dialog_texts.h"
#include "app/open_address.h"
#include "app/picture_resources.h"
#include "controls/placed.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"

namespace {

void RegisterCursor(TCursor Number, const char* Resource) {
    try {
        Screen->SetCursors(Number, LoadCursorResource(Resource));
    } catch (const Exception& e) {
        // The areas then show the arrow.
        mainwin::PrintMessage(std::cerr, e.Message());
    }
}

// An invisible label whose bounds place one of the clickable areas.
TLabel* AreaLabel(TfrmBackSplash* Form, const char* Name, int Left, int Top, int Width, int Height) {
    auto* label = Placed<TLabel>(Form, Form, Name, Left, Top, Width, Height);
    label->SetAutoSize(false);
    label->SetVisible(false);
    return label;
}

} // namespace

TfrmBackSplash::TfrmBackSplash(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmBackSplash");
    SetCaption(dialog_text::AppName);
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(480);
    SetClientHeight(360);
    SetColor(clWhite);
    Address1 = dialog_text::HostingRedirect;
    Address2 = dialog_text::SalesPage;

    imgBackSplash = Placed<TImage>(this, this, "imgBackSplash", 0, 0, 480, 360);
    imgBackSplash->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        imgBackSplashMouseDown(s, b, sh, x, y);
    };
    imgBackSplash->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        imgBackSplashMouseMove(s, sh, x, y);
    };
    imgSubmitNow = Placed<TImage>(this, this, "imgSubmitNow", 250, 233, 28, 20);
    imgSubmitNow->SetTransparent(true);
    imgSubmitNow->OnClick = [this](TObject* s) { imgSubmitNowClick(s); };
    imgGetWebHosting = Placed<TImage>(this, this, "imgGetWebHosting", 25, 284, 33, 17);
    imgGetWebHosting->OnClick = [this](TObject* s) { imgGetWebHostingClick(s); };
    imgBuyNow = Placed<TImage>(this, this, "imgBuyNow", 253, 284, 29, 21);
    imgBuyNow->OnClick = [this](TObject* s) { imgBuyNowClick(s); };
    // The buttons the picture shows.
    lblSubmit = AreaLabel(this, "lblSubmit", 250, 226, 200, 32);
    lblGetWebHosting = AreaLabel(this, "lblGetWebHosting", 25, 284, 200, 32);
    lblBuyNow = AreaLabel(this, "lblBuyNow", 253, 284, 200, 32);

    RegisterCursor(crHandOnline, "HANDONLINECURSOR");
    RegisterCursor(crHandClose, "HANDCLOSECURSOR");
    for (TImage* area : {imgSubmitNow, imgGetWebHosting, imgBuyNow})
        area->SetCursor(crHandOnline);
    // A window with nothing to focus: the keys of a dialog's buttons close it.
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    DoCreate();
}

void TfrmBackSplash::FormShow(TObject*) {
    if (!PictureName.empty()) TryLoadGIFResource(PictureName, imgBackSplash->Picture());
    imgSubmitNow->SetBoundsRect(lblSubmit->BoundsRect());
    imgGetWebHosting->SetBoundsRect(lblGetWebHosting->BoundsRect());
    imgBuyNow->SetBoundsRect(lblBuyNow->BoundsRect());
}

void TfrmBackSplash::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
}

void TfrmBackSplash::imgBackSplashMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft) return;
    Dragging = true;
    // The press becomes one on the caption: the window system moves the window with the pointer from
    // where it was pressed.
    const TPoint pressed = imgBackSplash->ClientToScreen(TPoint{X, Y});
    Perform(WM_LBUTTONUP, 0, 0);
    SendMessage(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(POINT{pressed.x, pressed.y}));
    // The window system's move ends with the button's release, before the call returns.
    Dragging = false;
}

void TfrmBackSplash::imgBackSplashMouseMove(TObject*, TShiftState, int, int) {
    if (Dragging) Perform(WM_NCHITTEST, 2, 0);
}

void TfrmBackSplash::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (!Shift.Empty() || (Key != VK_RETURN && Key != VK_ESCAPE && Key != VK_SPACE)) return;
    Key = 0;
    SetModalResult(mrCancel);
}

void TfrmBackSplash::OpenAndClose(const std::string& Address) {
    OpenAddress(Address);
    SetModalResult(mrOk);
}

void TfrmBackSplash::imgSubmitNowClick(TObject*) {
    OpenAndClose(dialog_text::SubmitPage);
}

void TfrmBackSplash::imgGetWebHostingClick(TObject*) {
    OpenAndClose(Address1);
}

void TfrmBackSplash::imgBuyNowClick(TObject*) {
    OpenAndClose(Address2);
}

void ShowExitWindow(const std::string& Address1, const std::string& Address2) {
    auto* form = new TfrmBackSplash(Application);
    form->PictureName = "QUILLBACKSPLASH";
    if (!Address1.empty()) form->Address1 = Address1;
    if (!Address2.empty()) form->Address2 = Address2;
    form->ShowModal();
}
