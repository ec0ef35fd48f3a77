#include "platform/stdctrls/panels.h"

#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/text.h"
#include "platform/graphics/graphics_objects.h"

namespace {

// One ring of a bevel, Width pixels wide, drawn inward from Rect.
void DrawBevel(TCanvas& canvas, TRect& rect, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    const TColor topLeft = cut == bvLowered ? clBtnShadow : cut == bvRaised ? clBtnHighlight : clBtnFace;
    const TColor bottomRight = cut == bvLowered ? clBtnHighlight : cut == bvRaised ? clBtnShadow : clBtnFace;
    for (int i = 0; i < width; ++i) {
        canvas.Pen().SetColor(topLeft);
        canvas.MoveTo(rect.left, rect.bottom - 1);
        canvas.LineTo(rect.left, rect.top);
        canvas.LineTo(rect.right - 1, rect.top);
        canvas.Pen().SetColor(bottomRight);
        canvas.LineTo(rect.right - 1, rect.bottom - 1);
        canvas.LineTo(rect.left - 1, rect.bottom - 1);
        rect = TRect{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
}

} // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque,          csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TPanel::Changed() {
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
    bevelInner_ = Value;
    Changed();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
    bevelOuter_ = Value;
    Changed();
}

void TPanel::SetBevelWidth(int Value) {
    bevelWidth_ = Value < 1 ? 1 : Value;
    Changed();
}

void TPanel::SetBorderWidth(int Value) {
    borderWidth_ = Value < 0 ? 0 : Value;
    Changed();
}

void TPanel::SetAlignment(TAlignment Value) {
    alignment_ = Value;
    Invalidate();
}

void TPanel::AdjustClientRect(TRect& Rect) {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    Rect = TRect{Rect.left + inset, Rect.top + inset, Rect.right - inset, Rect.bottom - inset};
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect r{0, 0, Width(), Height()};
    DrawBevel(canvas, r, bevelOuter_, bevelWidth_);
    canvas.Pen().SetColor(Color());
    for (int i = 0; i < borderWidth_; ++i) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(r);
        r = TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    DrawBevel(canvas, r, bevelInner_, bevelWidth_);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    const std::string text = Caption();
    if (text.empty()) return;
    canvas.SetFont(Font());
    canvas.Brush().SetStyle(bsClear);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (alignment_ == taCenter) flags |= DT_CENTER;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    RECT tr{r.left, r.top, r.right, r.bottom};
    DrawText(canvas.Handle(), text.c_str(), -1, &tr, flags);
}

void TPanel::WndProc(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::WndProc(Message);
}

// Group box.

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,
                                  csSetCaption,      csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

int TGroupBox::CaptionHeight() {
    Canvas().SetFont(Font());
    return Canvas().TextHeight("0");
}

void TGroupBox::AdjustClientRect(TRect& Rect) {
    const int top = HandleAllocated() ? CaptionHeight() : 14;
    Rect = TRect{Rect.left + 2, Rect.top + top, Rect.right - 2, Rect.bottom - 2};
}

void TGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(TRect{0, 0, Width(), Height()});
    canvas.SetFont(Font());
    const int h = canvas.TextHeight("0");
    RECT frame{0, h / 2 - 1, Width(), Height()};
    DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    const std::string text = Caption();
    if (text.empty()) return;
    RECT tr{8, 0, 0, h};
    DrawText(canvas.Handle(), text.c_str(), -1, &tr, DT_SINGLELINE | DT_CALCRECT);
    // The caption interrupts the frame.
    tr.left -= 2;
    tr.right += 2;
    canvas.FillRect(TRect{tr.left, tr.top, tr.right, tr.bottom});
    tr.left += 2;
    tr.right -= 2;
    canvas.Brush().SetStyle(bsClear);
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    DrawText(canvas.Handle(), text.c_str(), -1, &tr, DT_SINGLELINE);
}

void TGroupBox::WndProc(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::WndProc(Message);
}
