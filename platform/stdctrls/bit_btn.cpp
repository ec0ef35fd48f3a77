#include "platform/stdctrls/bit_btn.h"

#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"

namespace {

struct KindInfo {
    const char* caption;
    TModalResult result;
};

const KindInfo kKinds[] = {{"", mrNone},          {"OK", mrOk},       {"Cancel", mrCancel},
                           {"&Help", mrNone},     {"&Yes", mrYes},    {"&No", mrNo},
                           {"&Close", mrNone},    {"Abort", mrAbort}, {"&Retry", mrRetry},
                           {"&Ignore", mrIgnore}, {"&All", mrAll}};

// The caption without its accelerator marks, for measuring.
SIZE CaptionSize(HDC dc, const std::string& text) {
    RECT r{0, 0, 0, 0};
    DrawText(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), glyph_(std::make_unique<TBitmap>()) {
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() {
    glyph_->OnChange = nullptr;
}

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault) {
    if (showDefault_ == ADefault) return;
    showDefault_ = ADefault;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    kind_ = Value;
    if (Value == bkCustom) return;
    const KindInfo& info = kKinds[Value];
    SetCaption(info.caption);
    SetModalResult(info.result);
    if (Value == bkOK || Value == bkYes) SetDefault(true);
    if (Value == bkCancel || Value == bkNo) SetCancel(true);
}

void TBitBtn::SetGlyph(TBitmap* Value) {
    glyph_->Assign(Value);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    layout_ = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    margin_ = Value < -1 ? -1 : Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    spacing_ = Value < -1 ? -1 : Value;
    Invalidate();
}

TRect TBitBtn::CalcLayout(int ButtonWidth, int ButtonHeight, TPoint& GlyphPos) {
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    measure.Canvas().SetFont(Font());
    const SIZE text = Caption().empty() ? SIZE{0, 0} : CaptionSize(measure.Canvas().Handle(), Caption());
    const int gw = glyph_->Empty() ? 0 : glyph_->Width();
    const int gh = glyph_->Empty() ? 0 : glyph_->Height();
    const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int room = horizontal ? ButtonWidth : ButtonHeight;
    const int glyphLength = horizontal ? gw : gh;
    const int textLength = horizontal ? text.cx : text.cy;
    int spacing = (gw == 0 || text.cx == 0) ? 0 : spacing_;
    int margin = margin_;
    if (margin == -1) {
        if (spacing == -1) {
            const int total = glyphLength + textLength;
            margin = (room - total) / 3;
            spacing = margin;
        } else {
            const int total = glyphLength + spacing + textLength;
            margin = (room - total) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - margin - glyphLength - textLength) / 2;
    }
    // Positions along the main axis, then the other axis centred.
    int glyphAt = 0, textAt = 0;
    switch (layout_) {
    case blGlyphLeft:
    case blGlyphTop:
        glyphAt = margin;
        textAt = margin + glyphLength + spacing;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        glyphAt = room - margin - glyphLength;
        textAt = glyphAt - spacing - textLength;
        break;
    }
    if (horizontal) {
        GlyphPos = TPoint{glyphAt, (ButtonHeight - gh) / 2};
        const int top = (ButtonHeight - text.cy) / 2;
        return TRect{textAt, top, textAt + text.cx, top + text.cy};
    }
    GlyphPos = TPoint{(ButtonWidth - gw) / 2, glyphAt};
    const int left = (ButtonWidth - text.cx) / 2;
    return TRect{left, textAt, left + text.cx, textAt + text.cy};
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
    TCanvas canvas;
    canvas.SetHandle(Item.hDC);
    RECT r = Item.rcItem;
    const bool pushed = (Item.itemState & ODS_SELECTED) != 0;
    const bool focused = (Item.itemState & ODS_FOCUS) != 0;
    const bool enabled = (Item.itemState & ODS_DISABLED) == 0;
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(TRect{r.left, r.top, r.right, r.bottom});
    // The default button (or the focused one) wears a dark outer frame.
    if (focused || showDefault_) {
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(TRect{r.left, r.top, r.right, r.bottom});
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (pushed) {
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(TRect{r.left, r.top, r.right, r.bottom});
    } else {
        DrawEdge(Item.hDC, &r, EDGE_RAISED, BF_RECT);
    }
    TPoint glyphPos;
    TRect textRect =
        CalcLayout(Item.rcItem.right - Item.rcItem.left, Item.rcItem.bottom - Item.rcItem.top, glyphPos);
    const int shift = pushed ? 1 : 0;
    if (!glyph_->Empty()) {
        glyph_->SetTransparent(true);
        canvas.Draw(glyphPos.x + shift, glyphPos.y + shift, glyph_.get());
    }
    canvas.SetFont(Font());
    canvas.Brush().SetStyle(bsClear);
    RECT tr{textRect.left + shift, textRect.top + shift, textRect.right + shift, textRect.bottom + shift};
    const std::string text = Caption();
    // The caption goes straight to the DC, so its colours are set there, not only on the canvas font.
    SetBkMode(Item.hDC, TRANSPARENT);
    if (!enabled) {
        RECT lit{tr.left + 1, tr.top + 1, tr.right + 1, tr.bottom + 1};
        SetTextColor(Item.hDC, ColorToRGB(clBtnHighlight));
        DrawText(Item.hDC, text.c_str(), -1, &lit, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        SetTextColor(Item.hDC, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(Item.hDC, ColorToRGB(Font().Color()));
    }
    DrawText(Item.hDC, text.c_str(), -1, &tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (focused) {
        RECT fr{Item.rcItem.left + 4, Item.rcItem.top + 4, Item.rcItem.right - 4, Item.rcItem.bottom - 4};
        DrawFocusRect(Item.hDC, &fr);
    }
    canvas.SetHandle(nullptr);
}

void TBitBtn::WndProc(TMessage& Message) {
    if (Message.Msg == CN_DRAWITEM) return CNDrawItem(TWMDrawItem(Message));
    TButton::WndProc(Message);
}

void TBitBtn::CNDrawItem(TWMDrawItem Message) {
    if (const DRAWITEMSTRUCT* item = Message.DrawItemStruct()) DrawItem(*item);
    Message.Result = 1;
}
