#include "controls/tran_btn.h"

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_types.h"

namespace {

constexpr COLORREF kBlack = 0x000000, kWhite = 0xFFFFFF;

} // namespace

void DrawTransparentBitmap(HDC DC, TBitmap& Bitmap, COLORREF TransparentColor, int X, int Y) {
    const int w = Bitmap.Width(), h = Bitmap.Height();
    if (w <= 0 || h <= 0) return;
    HDC source = Bitmap.Canvas().Handle();
    using pw::gdi::MemoryDC;
    using pw::gdi::OwnedObject;
    const MemoryDC mask(DC, OwnedObject<HBITMAP>(CreateBitmap(w, h, 1, 1, nullptr)));
    const MemoryDC inverse(DC, OwnedObject<HBITMAP>(CreateBitmap(w, h, 1, 1, nullptr)));
    const MemoryDC back(DC, w, h);
    const MemoryDC object(DC, w, h);
    // White in the mask where the bitmap has the transparent colour; black in the inverse there.
    const COLORREF oldBack = SetBkColor(source, TransparentColor);
    BitBlt(mask.Get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldBack);
    BitBlt(inverse.Get(), 0, 0, w, h, mask.Get(), 0, 0, NOTSRCCOPY);
    for (HDC d : {back.Get(), object.Get()}) {
        SetBkColor(d, kWhite);
        SetTextColor(d, kBlack);
    }
    // What lies under the target where the bitmap is transparent, the bitmap everywhere else.
    BitBlt(back.Get(), 0, 0, w, h, DC, X, Y, SRCCOPY);
    BitBlt(back.Get(), 0, 0, w, h, mask.Get(), 0, 0, SRCAND);
    BitBlt(object.Get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
    BitBlt(object.Get(), 0, 0, w, h, inverse.Get(), 0, 0, SRCAND);
    BitBlt(back.Get(), 0, 0, w, h, object.Get(), 0, 0, SRCPAINT);
    BitBlt(DC, X, Y, w, h, back.Get(), 0, 0, SRCCOPY);
}

TMTranBtn::TMTranBtn(TComponent* AOwner) : TGraphicControl(AOwner), bitmap_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 30, 30);
    TControlStyle style = ControlStyle();
    style.Exclude(csOpaque);
    SetControlStyle(style);
    SetParentFont(false);
    Font().SetName("Arial");
    Font().SetSize(9);
}

TMTranBtn::~TMTranBtn() = default;

void TMTranBtn::SetBitMap(TBitmap* Value) {
    bitmap_->Assign(Value);
    Invalidate();
}

void TMTranBtn::SetBorder(BStyle Value) {
    if (border_ == Value) return;
    border_ = Value;
    Invalidate();
}

int TMTranBtn::CaptionHeight() {
    if (Caption().empty()) return 0;
    Canvas().SetFont(Font());
    return Canvas().TextHeight("W");
}

TRect TMTranBtn::BitmapRect() {
    const int w = bitmap_->Width(), h = bitmap_->Height();
    const int x = (Width() - w) / 2;
    const int y = (Height() - h - CaptionHeight()) / 2;
    return TRect{x, y, x + w, y + h};
}

void TMTranBtn::Paint() {
    TCanvas& canvas = Canvas();
    const int shift = down_ ? 1 : 0;
    const TRect image = BitmapRect();
    if (!bitmap_->Empty())
        DrawTransparentBitmap(canvas.Handle(), *bitmap_, ColorToRGB(bitmap_->TransparentColor()),
                              image.left + shift, image.top + shift);
    const std::string caption = Caption();
    if (!caption.empty()) {
        canvas.SetFont(Font());
        canvas.Brush().SetStyle(bsClear);
        RECT r{0, image.bottom + shift, Width(), Height()};
        DrawText(canvas.Handle(), caption.c_str(), -1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE);
    }
    const bool frame = border_ == BsNormal || (border_ == BsIe && (mouseInside_ || down_));
    if (!frame) return;
    RECT r{0, 0, Width(), Height()};
    DrawEdge(canvas.Handle(), &r, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TMTranBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    down_ = true;
    Repaint();
}

void TMTranBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    down_ = false;
    Repaint();
}

void TMTranBtn::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_HITTEST:
        return CMHitTest(TWMMouse(Message));
    case CM_MOUSEENTER:
        return CMMouseEnter(Message);
    case CM_MOUSELEAVE:
        return CMMouseLeave(Message);
    case CM_TEXTCHANGED:
        return CMTextChanged(Message);
    default:
        return TGraphicControl::WndProc(Message);
    }
}

void TMTranBtn::CMHitTest(TWMMouse Message) {
    if (border_ != BSnone) {
        Message.Result = HTCLIENT;
        return;
    }
    // Without a frame the button is its picture: its transparent pixels let the mouse through.
    const POINT p = Message.Pos();
    const TRect image = BitmapRect();
    const bool inImage = PtInRect(image, p) && !bitmap_->Empty();
    const bool opaque = inImage && bitmap_->Canvas().Pixel(p.x - image.left, p.y - image.top) !=
                                       static_cast<TColor>(ColorToRGB(bitmap_->TransparentColor()));
    Message.Result = opaque ? HTCLIENT : 0;
}

void TMTranBtn::CMMouseEnter(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    mouseInside_ = true;
    if (border_ == BsIe) Repaint();
}

void TMTranBtn::CMMouseLeave(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    mouseInside_ = false;
    if (border_ == BsIe) Invalidate();
}

void TMTranBtn::CMTextChanged(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    Invalidate();
}
