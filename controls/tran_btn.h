#pragma once
// A button that draws a bitmap with its transparent colour left out and an optional caption under it,
// with a 3D frame always, only under the pointer, or never; without a frame only the bitmap's own
// pixels take the mouse.
#include <memory>
#include <string>

#include "platform/vcl/custom_control.h"

class TBitmap;

enum BStyle { BSnone, BsNormal, BsIe };

// Draws Bitmap at (X, Y) on DC with every pixel of TransparentColor left out, by the mask method.
void DrawTransparentBitmap(HDC DC, TBitmap& Bitmap, COLORREF TransparentColor, int X, int Y);

class TMTranBtn : public TGraphicControl {
public:
    explicit TMTranBtn(TComponent* AOwner);
    ~TMTranBtn() override;
    std::string ClassName() const override { return "TMTranBtn"; }

    TBitmap& BitMap() { return *bitmap_; }
    // Copies the bitmap.
    void SetBitMap(TBitmap* Value);
    BStyle Border() const { return border_; }
    void SetBorder(BStyle Value);
    bool MouseInside() const { return mouseInside_; }
    bool Down() const { return down_; }
    // Where the bitmap is drawn, in the control's coordinates (not moved by the press).
    TRect BitmapRect();

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void CMHitTest(TWMMouse Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    int CaptionHeight();

    std::unique_ptr<TBitmap> bitmap_;
    BStyle border_ = BsNormal;
    bool mouseInside_ = false;
    bool down_ = false;
};
