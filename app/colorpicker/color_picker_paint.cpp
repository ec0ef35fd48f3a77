// Painting the colour picker button: the speed-button face, the separator and drop-down zone, glyph and
// caption, the colour indicator and the arrow.
#include <algorithm>

#include "app/colorpicker/color_picker_button.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/vcl/form.h"

namespace {

// The glyph cell of a state; missing cells fall back to the first.
int GlyphCell(TSpeedButtonState State, int NumGlyphs) {
    const int cell = State == bsDisabled ? 1 : State == bsDown ? 2 : State == bsExclusive ? 3 : 0;
    return cell < NumGlyphs ? cell : 0;
}

// Button face and highlight in a checkerboard, the look of a button held down in its group.
void FillDithered(TCanvas& Canvas, const TRect& R) {
    TBitmap pattern(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.Canvas().SetPixel(x, y, (x + y) % 2 == 0 ? clBtnFace : clBtnHighlight);
    Canvas.Brush().SetBitmap(&pattern);
    Canvas.FillRect(R);
    Canvas.Brush().SetBitmap(nullptr);
}

} // namespace

void TColorPickerButton::PaintFrame(TCanvas& Canvas, bool PushedLook) {
    TRect whole{0, 0, Width(), Height()};
    TRect zone{Width() - dropDownWidth_, 0, Width(), Height()};
    auto frame = [&](TRect r, bool pushed) {
        if (flat_) {
            const UINT edge = pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
            DrawEdge(Canvas.Handle(), &r, edge, BF_RECT | (transparent_ ? 0 : BF_MIDDLE));
        } else {
            DrawFrameControl(Canvas.Handle(), &r, DFC_BUTTON,
                             DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | DFCS_ADJUSTRECT);
        }
    };
    if (!inDropDownZone_) {
        frame(whole, PushedLook);
        PaintSeparator(Canvas, PushedLook);
    } else if (popupOpen_) {
        frame(whole, false);
        frame(zone, true);
    } else {
        frame(whole, false);
        frame(zone, false);
        PaintSeparator(Canvas, false);
    }
}

void TColorPickerButton::PaintSeparator(TCanvas& Canvas, bool PushedLook) {
    const int shift = PushedLook ? 1 : 0;
    const int x = Width() - dropDownWidth_ + shift;
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetColor(clBtnHighlight);
    Canvas.MoveTo(x, 1 + shift);
    Canvas.LineTo(x, Height() - 1);
    Canvas.Pen().SetColor(clBtnShadow);
    Canvas.MoveTo(x - 1, 1 + shift);
    Canvas.LineTo(x - 1, Height() - 1);
}

void TColorPickerButton::Paint() {
    // Step 1: the state follows Enabled.
    if (!Enabled()) {
        state_ = bsDisabled;
        dragging_ = false;
    } else if (state_ == bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
    }
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    const bool pushed = Pushed();
    const bool hot = mouseInControl_ && Enabled();
    if (flat_ && !pushed && !hot) {
        if (!transparent_) {
            canvas.Brush().SetColor(Color());
            canvas.FillRect(TRect{0, 0, Width(), Height()});
        }
    } else {
        PaintFrame(canvas, pushed);
    }
    TPoint offset{0, 0};
    if (pushed && !inDropDownZone_) {
        if (state_ == bsExclusive) {
            TRect face{1, 1, Width() - dropDownWidth_ - 1, Height() - 1};
            FillDithered(canvas, face);
        }
        offset = TPoint{1, 1};
    }
    indicatorRect_ = PaintContents(canvas, TRect{0, 0, Width() - dropDownWidth_, Height()}, offset);
    PaintIndicator(canvas, indicatorRect_);
    PaintArrow(canvas);
}

TRect TColorPickerButton::PaintContents(TCanvas& Canvas, const TRect& Client, TPoint Offset) {
    const int width = Client.right - Client.left, height = Client.bottom - Client.top;
    const std::string caption = Caption();
    const int gw = glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_;
    const int gh = glyph_->Empty() ? 0 : glyph_->Height();
    SIZE text{0, 0};
    if (!caption.empty()) {
        RECT r{0, 0, width, 0};
        DrawText(Canvas.Handle(), caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        text = SIZE{r.right - r.left, r.bottom - r.top};
    }
    // The speed button's layout: glyph and caption centred across the axis, Margin and Spacing along it.
    const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    TPoint glyphPos{(width - gw + 1) / 2, (height - gh + 1) / 2};
    TPoint textPos{(width - text.cx + 1) / 2, (height - text.cy + 1) / 2};
    int spacing = (text.cx == 0 || gw == 0) ? 0 : spacing_;
    int margin = margin_;
    const int room = horizontal ? width : height;
    const int glyphLength = horizontal ? gw : gh;
    const int textLength = horizontal ? text.cx : text.cy;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - glyphLength - textLength) / 3;
            spacing = margin;
        } else {
            margin = (room - glyphLength - spacing - textLength + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - margin - glyphLength - textLength) / 2;
    }
    switch (layout_) {
    case blGlyphLeft:
        glyphPos.x = margin;
        textPos.x = glyphPos.x + gw + spacing;
        break;
    case blGlyphRight:
        glyphPos.x = width - margin - gw;
        textPos.x = glyphPos.x - spacing - text.cx;
        break;
    case blGlyphTop:
        glyphPos.y = margin;
        textPos.y = glyphPos.y + gh + spacing;
        break;
    case blGlyphBottom:
        glyphPos.y = height - margin - gh;
        textPos.y = glyphPos.y - spacing - text.cy;
        break;
    }
    glyphPos.x += Client.left + Offset.x;
    glyphPos.y += Client.top + Offset.y;
    TRect textRect{textPos.x + Client.left + Offset.x, textPos.y + Client.top + Offset.y,
                   textPos.x + Client.left + Offset.x + text.cx, textPos.y + Client.top + Offset.y + text.cy};

    if (gw > 0) {
        const int cell = GlyphCell(state_, numGlyphs_);
        TBitmap image(gw, gh);
        image.Canvas().CopyRect(TRect{0, 0, gw, gh}, glyph_->Canvas(),
                                TRect{cell * gw, 0, (cell + 1) * gw, gh});
        image.SetTransparent(true);
        Canvas.Draw(glyphPos.x, glyphPos.y, &image);
    }
    if (!caption.empty()) {
        Canvas.Brush().SetStyle(bsClear);
        RECT r = textRect;
        if (state_ == bsDisabled) {
            RECT lit{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
            Canvas.Font().SetColor(clBtnHighlight);
            DrawText(Canvas.Handle(), caption.c_str(), -1, &lit, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            Canvas.Font().SetColor(clBtnShadow);
        }
        DrawText(Canvas.Handle(), caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    // The indicator: a bar under the caption, else the face beside the glyph.
    if (!caption.empty()) {
        TRect bar{textRect.left, textRect.bottom, textRect.right, textRect.bottom + 6};
        bar.bottom = std::min(bar.bottom, static_cast<LONG>(Height() - 2));
        return bar;
    }
    TRect r{Client.left + 2 + Offset.x, Client.top + 2 + Offset.y, Client.right - 2 - 2 + Offset.x,
            Client.bottom - 2 + Offset.y};
    if (gw > 0) {
        switch (layout_) {
        case blGlyphLeft:
            r.left = glyphPos.x + gw + 4;
            r.top = glyphPos.y;
            r.bottom = glyphPos.y + gh;
            break;
        case blGlyphRight:
            r.right = glyphPos.x - 4;
            r.top = glyphPos.y;
            r.bottom = glyphPos.y + gh;
            break;
        case blGlyphTop:
            r.top = glyphPos.y + gh + 4;
            break;
        case blGlyphBottom:
            r.bottom = glyphPos.y - 4;
            break;
        }
    }
    return r;
}

void TColorPickerButton::PaintIndicator(TCanvas& Canvas, TRect R) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(selectionColor_);
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetColor(clBtnShadow);
    switch (indicatorBorder_) {
    case ibNone:
        Canvas.FillRect(R);
        break;
    case ibFlat:
        Canvas.Rectangle(R);
        break;
    case ibSunken:
    case ibRaised:
        DrawEdge(Canvas.Handle(), &R, indicatorBorder_ == ibSunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT);
        InflateRect(R, -1, -1);
        Canvas.FillRect(R);
        break;
    }
}

void TColorPickerButton::PaintArrow(TCanvas& Canvas) {
    const bool zonePushed = inDropDownZone_ && popupOpen_;
    const int shift = zonePushed || (Pushed() && !inDropDownZone_) ? 1 : 0;
    const int x = Width() - dropDownWidth_ + (dropDownWidth_ + 5) / 2 - 6 + shift;
    const int y = Height() / 2 + shift;
    const TPoint arrow[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
    if (Enabled()) {
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetColor(arrowColor_);
        Canvas.Brush().SetColor(arrowColor_);
    } else {
        Canvas.Pen().SetStyle(psClear);
        Canvas.Brush().SetColor(clBtnShadow);
    }
    Canvas.Polygon(arrow, 3);
    Canvas.Pen().SetStyle(psSolid);
}
