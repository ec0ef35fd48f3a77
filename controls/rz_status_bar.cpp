#include "controls/rz_status_bar.h"

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/text.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/messages.h"

TRzStatusBar::TRzStatusBar(TComponent* AOwner) : TStatusBar(AOwner) {
    // Its panes fill it and would cover the grip.
    SetSizeGrip(false);
}

TRzStatusPane::TRzStatusPane(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 100, 19);
    SetColor(clBtnFace);
}

void TRzStatusPane::SetFrameStyle(TFrameStyle Value) {
    if (frameStyle_ == Value) return;
    frameStyle_ = Value;
    Invalidate();
}

void TRzStatusPane::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) Invalidate();
}

void TRzStatusPane::Paint() {
    TCanvas& canvas = Canvas();
    const TRect client{0, 0, Width(), Height()};
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(client);
    if (frameStyle_ != fsNone) {
        const TColor topLeft = frameStyle_ == fsRaised ? clBtnHighlight : clBtnShadow;
        const TColor bottomRight = frameStyle_ == fsLowered ? clBtnHighlight : clBtnShadow;
        canvas.Pen().SetColor(topLeft);
        canvas.MoveTo(client.left, client.bottom - 1);
        canvas.LineTo(client.left, client.top);
        canvas.LineTo(client.right - 1, client.top);
        canvas.Pen().SetColor(bottomRight);
        canvas.LineTo(client.right - 1, client.bottom - 1);
        canvas.LineTo(client.left, client.bottom - 1);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    std::string text = Caption();
    RECT r{client.left + 4, client.top + 1, client.right - 4, client.bottom - 1};
    DrawText(canvas.Handle(), text.c_str(), -1, &r,
             DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}
