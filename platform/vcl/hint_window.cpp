#include "platform/vcl/hint_window.h"

#include "platform/gdi/text.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/paint.h"
#include "platform/vcl/screen.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    // The pointer passes through: the hint must not take the mouse from the control it is about.
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    Params.WndParent = nullptr;
    Params.WinClassName = "THintWindow";
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
    TRect r{0, 0, MaxWidth, 0};
    std::string text = AHint;
    Canvas().Font().Assign(&Font());
    Canvas().TextRect(r, text, TTextFormat{tfCalcRect, tfLeft, tfWordBreak, tfNoPrefix});
    r.right += 6;
    r.bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
    SetCaption(AHint);
    // Keep the whole hint on the screen.
    TRect work = Screen->WorkAreaRect();
    int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (Rect.right > work.right) Rect.left = work.right - w;
    if (Rect.bottom > work.bottom) Rect.top = work.bottom - h;
    if (Rect.left < work.left) Rect.left = work.left;
    if (Rect.top < work.top) Rect.top = work.top;
    SetBounds(Rect.left, Rect.top, w, h);
    HandleNeeded();
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    DestroyHandle();
}

void THintWindow::Paint() {
    TRect r = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(r);
    Canvas().Font().Assign(&Font());
    Canvas().Brush().SetStyle(bsClear);
    r.left += 2;
    r.top += 1;
    std::string text = Caption();
    Canvas().TextRect(r, text, TTextFormat{tfLeft, tfWordBreak, tfNoPrefix});
}
