#include "controls/si_flat_btn.h"

#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/message_views.h"
#include "platform/vcl/control_types.h"

TsiFlatBtn::TsiFlatBtn(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()), frameColor_(clBtnShadow),
      topColor_(clBtnHighlight), bottomColor_(clBtnShadow) {
    SetBounds(0, 0, 75, 25);
    // Flat means the parent's face shows through until the pointer comes.
    SetParentColor(true);
}

TsiFlatBtn::~TsiFlatBtn() = default;

void TsiFlatBtn::SetGlyph(TBitmap* Value) {
    glyph_->Assign(Value);
    const int w = glyph_->Width(), h = glyph_->Height();
    numGlyphs_ = h > 0 && w % h == 0 && w / h > 0 && w / h < 5 ? w / h : 1;
    Invalidate();
}

void TsiFlatBtn::SetNumGlyphs(int Value) {
    Store(numGlyphs_, Value < 1 ? 1 : Value > 4 ? 4 : Value);
}

int TsiFlatBtn::GlyphCell() {
    if (!Enabled() && numGlyphs_ >= 2) return 1;
    if (mouseInside_ && pressed_ && numGlyphs_ == 4) return 3;
    if (mouseInside_ && !pressed_ && numGlyphs_ >= 3) return 2;
    return 0;
}

void TsiFlatBtn::DrawEdges(bool Raised) {
    TCanvas& canvas = Canvas();
    const int w = Width(), h = Height();
    auto edge = [&](int l, int t, int r, int b, TColor color) {
        canvas.Pen().SetColor(color);
        if (elliptic_)
            canvas.RoundRect(l, t, r, b, 6, 6);
        else
            canvas.Rectangle(l, t, r, b);
    };
    canvas.Brush().SetStyle(bsClear);
    const TColor outer = Raised ? topColor_ : bottomColor_;
    const TColor inner = Raised ? bottomColor_ : topColor_;
    edge(1, 1, w, h, inner);
    edge(0, 0, w - 1, h - 1, outer);
    edge(1, 1, w - 1, h - 1, clBtnFace);
}

void TsiFlatBtn::DrawGlyphAndCaption() {
    TCanvas& canvas = Canvas();
    const int W = Width(), H = Height();
    const int E = orientation_ == boVertical ? W : H;
    const bool glyph = !glyph_->Empty();
    const int gw = glyph ? glyph_->Width() / numGlyphs_ : 0, gh = glyph ? glyph_->Height() : 0;
    canvas.SetFont(Font());
    canvas.Brush().SetStyle(bsClear);
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    const std::string caption = Caption();
    const int textWidth = canvas.TextWidth(caption);
    auto drawText = [&](int left, int right, UINT align) {
        RECT r{left, 0, right, H};
        DrawText(canvas.Handle(), caption.c_str(), -1, &r, align | DT_VCENTER | DT_SINGLELINE);
    };
    int gx = 0, gy = 0;
    switch (glyphLayout_) {
    case glGlyphLeft:
        gx = W / 8;
        gy = H / 2 - gh / 2;
        if (textWidth > W - gw - W / 8 - 2)
            drawText(gw + W / 8 + 2, W, DT_LEFT);
        else
            drawText(E / 4 + 5, W, DT_CENTER);
        break;
    case glGlyphRight:
        gx = W - W / 4;
        gy = H / 2 - gh / 2;
        if (textWidth > gx - 2)
            drawText(0, gx - 2, DT_RIGHT);
        else
            drawText(0, E / 4 + gx, DT_CENTER);
        break;
    case glGlyphTop:
    case glGlyphBottom:
        gx = W / 2 - gw / 2;
        gy = glyphLayout_ == glGlyphTop ? H / 8 : H - H / 4;
        drawText(0, W, DT_CENTER);
        break;
    }
    if (!glyph) return;
    const int cell = GlyphCell();
    canvas.CopyRect(TRect{gx, gy, gx + gw, gy + gh}, glyph_->Canvas(),
                    TRect{cell * gw, 0, (cell + 1) * gw, gh});
}

void TsiFlatBtn::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(TRect{0, 0, Width(), Height()});
    const bool design = ComponentState().Contains(csDesigning);
    if (design || (mouseInside_ && Enabled() && !pressed_)) {
        DrawEdges(true);
    } else if (pressed_) {
        DrawEdges(false);
    } else if (drawFrame_) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetColor(frameColor_);
        if (elliptic_)
            canvas.RoundRect(0, 0, Width(), Height(), 6, 6);
        else
            canvas.Rectangle(0, 0, Width(), Height());
    }
    DrawGlyphAndCaption();
}

void TsiFlatBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        pressed_ = true;
        mouseInside_ = true;
        Repaint();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TsiFlatBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        pressed_ = false;
        if (X >= 0 && X < Width() && Y >= 0 && Y < Height() && mouseInside_) Repaint();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TsiFlatBtn::Click() {
    pressed_ = false;
    TGraphicControl::Click();
}

void TsiFlatBtn::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        if (!Enabled()) return;
        mouseInside_ = Message.Msg == CM_MOUSEENTER;
        pressed_ = false;
        Repaint();
        return;
    case CM_DIALOGCHAR:
        if (Enabled() && IsAccel(TWMChar(Message).CharCode(), Caption())) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        TGraphicControl::WndProc(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TGraphicControl::WndProc(Message);
}
