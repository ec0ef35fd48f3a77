#include "platform/stdctrls/label.h"

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ = TControlStyle{csOpaque, csReplicatable, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    Invalidate();
}

void TLabel::SetAutoSize(bool Value) {
    if (autoSize_ == Value) return;
    autoSize_ = Value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool Value) {
    if (wordWrap_ == Value) return;
    wordWrap_ = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    if (transparent_ == Value) return;
    transparent_ = Value;
    if (Value)
        controlStyle_.Exclude(csOpaque);
    else
        controlStyle_.Include(csOpaque);
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
    if (layout_ == Value) return;
    layout_ = Value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    if (showAccelChar_ == Value) return;
    showAccelChar_ = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

unsigned TLabel::TextFlags() const {
    unsigned flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    if (alignment_ == taCenter) flags |= DT_CENTER;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    return flags;
}

void TLabel::AdjustBounds() {
    if (!autoSize_) return;
    // Measured on a bitmap's canvas, so a label can size itself before any window exists.
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    measure.Canvas().SetFont(Font());
    // An empty caption still has the height of a line.
    const std::string caption = Caption();
    const char* text = caption.empty() ? " " : caption.c_str();
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    DrawText(measure.Canvas().Handle(), text, -1, &r, (TextFlags() & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    int left = Left();
    const int width = wordWrap_ ? Width() : r.right;
    if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - width;
    if (!wordWrap_ && alignment_ == taCenter) left += (Width() - width) / 2;
    SetBounds(left, Top(), width, r.bottom);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    const TRect client{0, 0, Width(), Height()};
    if (!transparent_) {
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(bsSolid);
        canvas.FillRect(client);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    std::string text = Caption();
    const unsigned flags = TextFlags();
    RECT r{client.left, client.top, client.right, client.bottom};
    if (layout_ != tlTop) {
        RECT calc = r;
        DrawText(canvas.Handle(), text.c_str(), -1, &calc, flags | DT_CALCRECT);
        const int height = calc.bottom - calc.top;
        r.top += layout_ == tlBottom ? r.bottom - r.top - height : (r.bottom - r.top - height) / 2;
    }
    if (!Enabled()) {
        RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        canvas.Font().SetColor(clBtnHighlight);
        DrawText(canvas.Handle(), text.c_str(), -1, &shifted, flags);
        canvas.Font().SetColor(clBtnShadow);
    }
    DrawText(canvas.Handle(), text.c_str(), -1, &r, flags);
}

void TLabel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        return CMTextChanged();
    case CM_FONTCHANGED:
        return CMFontChanged(Message);
    case CM_DIALOGCHAR:
        return CMDialogChar(TWMChar(Message));
    default:
        return TGraphicControl::WndProc(Message);
    }
}

void TLabel::CMTextChanged() {
    Invalidate();
    AdjustBounds();
}

void TLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    AdjustBounds();
}

// The label's accelerator focuses the control it labels.
void TLabel::CMDialogChar(TWMChar Message) {
    if (!focusControl_ || !Enabled() || !showAccelChar_ || !IsAccel(Message.CharCode(), Caption()) ||
        !focusControl_->CanFocus())
        return TGraphicControl::WndProc(Message);
    focusControl_->SetFocus();
    Message.Result = 1;
}
