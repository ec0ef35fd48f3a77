#include "bars/core/hint_window.h"

#include "bars/core/bar_manager.h"
#include "lookandfeel/monitor.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"

TdxBarHintWindow::TdxBarHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Canvas().Brush().SetStyle(bsClear);
}

void TdxBarHintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    Params.WndParent = nullptr;
    Params.WinClassName = "TdxBarHintWindow";
}

void TdxBarHintWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TdxBarHintWindow::Paint() {
    TRect r = ClientRect();
    Canvas().Brush().SetStyle(bsSolid);
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(r);
    RECT edge = r;
    DrawEdge(Canvas().Handle(), &edge, BDR_RAISEDOUTER, BF_RECT);
    r.left += 1 + 2;
    r.top += 1 + 2;
    r.right -= 1;
    r.bottom -= 1;
    Canvas().Brush().SetStyle(bsClear);
    std::string text = Caption();
    Canvas().TextRect(r, text, TTextFormat{tfNoPrefix, tfNoClip, tfWordBreak});
}

void TdxBarHintWindow::TakeFont(TdxBarManager* Manager) {
    TFont& font = Canvas().Font();
    if (Manager == nullptr || Manager->UseSystemFont()) {
        NONCLIENTMETRICS metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            font.SetHandle(CreateFontIndirect(&metrics.lfStatusFont));
        else
            font.SetSize(8);
    } else {
        font.Assign(Manager->Font());
    }
    font.SetColor(clInfoText);
    SetColor(Application != nullptr ? Application->HintColor() : clInfoBk);
}

RECT TdxBarHintWindow::PlaceHint(POINT Point, SIZE Size, const RECT& WorkArea) {
    RECT r{Point.x, Point.y, Point.x + Size.cx, Point.y + Size.cy};
    if (r.right > WorkArea.right) {
        r.left = WorkArea.right - Size.cx;
        r.right = WorkArea.right;
    }
    if (r.bottom > WorkArea.bottom) {
        r.top = Point.y - Size.cy - 20;
        r.bottom = r.top + Size.cy;
    }
    if (r.left < WorkArea.left) {
        r.left = WorkArea.left;
        r.right = r.left + Size.cx;
    }
    if (r.top < WorkArea.top) {
        r.top = WorkArea.top;
        r.bottom = r.top + Size.cy;
    }
    return r;
}

void TdxBarHintWindow::ActivateHint(POINT Point, const std::string& Text, TdxBarManager* Manager) {
    SetCaption(Text);
    HandleNeeded();
    TakeFont(Manager);
    const RECT work = GetMonitorWorkArea(Point);
    TRect measured{0, 0, work.right - work.left, 0};
    std::string text = Text;
    Canvas().TextRect(measured, text, TTextFormat{tfCalcRect, tfNoPrefix, tfWordBreak});
    const SIZE size{measured.right - measured.left + 6, measured.bottom - measured.top + 6};
    const RECT r = PlaceHint(Point, size, work);
    SetBounds(r.left, r.top, size.cx, size.cy);
    Invalidate();
    SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
