#include "platform/graphics/canvas.h"

#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphic.h"
#include "platform/graphics/graphics_errors.h"

namespace {

constexpr int kPenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                             R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                             R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

} // namespace

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
    pen_->OnChange = [this](TObject*) { PenChanged(); };
    brush_->OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

HDC TCanvas::Handle() {
    // As the class library does: a caller drawing on the DC itself finds the canvas's font (with its
    // text colour), pen and brush selected.
    RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
    return handle_;
}

void TCanvas::SetHandle(HDC value) {
    if (value == handle_) return;
    if (handle_) {
        DeselectHandles();
        state_.Exclude(csHandleValid);
    }
    handle_ = value;
    if (handle_) state_.Include(csHandleValid);
}

void TCanvas::DeselectHandles() {
    if (!handle_) return;
    const TCanvasState objects{csPenValid, csBrushValid, csFontValid};
    if ((state_ * objects).Empty()) return;
    SelectObject(handle_, GetStockObject(BLACK_PEN));
    SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
    SelectObject(handle_, GetStockObject(SYSTEM_FONT));
    state_ = state_ - objects;
}

void TCanvas::RequiredState(TCanvasState required) {
    const TCanvasState needed = required - state_;
    if (needed.Empty()) return;
    if (needed.Contains(csHandleValid)) {
        CreateHandle();
        if (!handle_) throw EInvalidOperation(graphics_text::NoCanvasHandle);
        state_.Include(csHandleValid);
    }
    if (needed.Contains(csFontValid)) {
        SelectObject(handle_, font_->Handle());
        SetTextColor(handle_, ColorToRGB(font_->Color()));
        state_.Include(csFontValid);
    }
    if (needed.Contains(csPenValid)) {
        SelectObject(handle_, pen_->Handle());
        SetROP2(handle_, kPenModes[pen_->Mode()]);
        state_.Include(csPenValid);
    }
    if (needed.Contains(csBrushValid)) {
        SelectObject(handle_, brush_->Handle());
        const COLORREF color = ColorToRGB(brush_->Color());
        if (brush_->Style() == bsSolid || brush_->Bitmap()) {
            SetBkColor(handle_, color);
            SetBkMode(handle_, OPAQUE);
        } else {
            // Hatches need a background colour unlike the brush's, though a transparent mode never uses it.
            SetBkColor(handle_, ~color & 0xFFFFFF);
            SetBkMode(handle_, TRANSPARENT);
        }
        state_.Include(csBrushValid);
    }
}

// The changed object's handle is deleted once the listeners return, so it must leave the DC first.
void TCanvas::FontChanged() {
    if (handle_ && state_.Contains(csFontValid)) {
        SelectObject(handle_, GetStockObject(SYSTEM_FONT));
        state_.Exclude(csFontValid);
    }
}

void TCanvas::PenChanged() {
    if (handle_ && state_.Contains(csPenValid)) {
        SelectObject(handle_, GetStockObject(BLACK_PEN));
        state_.Exclude(csPenValid);
    }
}

void TCanvas::BrushChanged() {
    if (handle_ && state_.Contains(csBrushValid)) {
        SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
        state_.Exclude(csBrushValid);
    }
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

TPoint TCanvas::PenPos() {
    RequiredState({csHandleValid});
    POINT p;
    GetCurrentPositionEx(handle_, &p);
    return p;
}

TRect TCanvas::ClipRect() {
    RequiredState({csHandleValid});
    RECT r;
    GetClipBox(handle_, &r);
    return r;
}

void TCanvas::MoveTo(int x, int y) {
    RequiredState({csHandleValid});
    MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(handle_, x, y);
    Changed();
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FillRect(handle_, &rect, brush_->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FrameRect(handle_, &rect, brush_->Handle());
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(handle_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(handle_, x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(handle_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::Polygon(const TPoint* points, int count) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polygon(handle_, points, count);
    Changed();
}

void TCanvas::Polyline(const TPoint* points, int count) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polyline(handle_, points, count);
    Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOut(handle_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    MoveTo(x + TextWidth(text), y);
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT options = ETO_CLIPPED;
    if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOut(handle_, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(TRect& rect, std::string& text, TTextFormat format) {
    const UINT flags = TextFormatFlags(format);
    const bool measure = (flags & DT_CALCRECT) != 0;
    if (!measure) Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    const int mode = brush_->Style() == bsClear ? TRANSPARENT : OPAQUE;
    const int oldMode = SetBkMode(handle_, mode);
    // DT_MODIFYSTRING may add up to four characters (an ellipsis) to the text.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(text.size() + 5, '\0');
    DrawText(handle_, buffer.data(), static_cast<int>(text.size()), &rect, flags);
    SetBkMode(handle_, oldMode);
    if (flags & DT_MODIFYSTRING) text.assign(buffer.data());
    if (!measure) Changed();
}

SIZE TCanvas::TextExtent(std::string_view text) {
    RequiredState({csHandleValid, csFontValid});
    SIZE size;
    GetTextExtentPoint32(handle_, text, &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    PrepareGraphicColours();
    graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
    Changed();
}

// Two-colour images drawn on this canvas take the font colour for 0 bits and the brush colour for 1 bits.
void TCanvas::PrepareGraphicColours() {
    SetBkColor(handle_, ColorToRGB(brush_->Color()));
    SetTextColor(handle_, ColorToRGB(font_->Color()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    PrepareGraphicColours();
    graphic->Draw(*this, rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    canvas.RequiredState({csHandleValid, csBrushValid});
    StretchBlt(handle_, dest.left, dest.top, dest.Width(), dest.Height(), canvas.handle_, source.left,
               source.top, source.Width(), source.Height(), static_cast<DWORD>(copyMode_));
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap& bitmap, const TRect& source, TColor color) {
    const int w = dest.Width(), h = dest.Height();
    if (w <= 0 || h <= 0 || bitmap.Empty()) return;
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    // The source at the destination's size, then a mask of its pixels in the colour to replace.
    const pw::gdi::MemoryDC image(nullptr, pw::gdi::OwnedObject(CreateBitmap(w, h, 1, 32, nullptr)));
    HDC src = bitmap.Canvas().Handle();
    StretchBlt(image.Get(), 0, 0, w, h, src, source.left, source.top, source.Width(), source.Height(),
               SRCCOPY);
    const pw::gdi::MemoryDC mask(nullptr, pw::gdi::OwnedObject(CreateBitmap(w, h, 1, 1, nullptr)));
    const COLORREF oldBk = SetBkColor(image.Get(), ColorToRGB(color));
    BitBlt(mask.Get(), 0, 0, w, h, image.Get(), 0, 0, SRCCOPY);
    SetBkColor(image.Get(), oldBk);
    MaskBlt(handle_, dest.left, dest.top, w, h, image.Get(), 0, 0, mask.Bitmap(), 0, 0,
            MAKEROP4(PATCOPY, SRCCOPY));
    Changed();
}

TColor TCanvas::Pixel(int x, int y) {
    RequiredState({csHandleValid});
    return static_cast<TColor>(GetPixel(handle_, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    ::SetPixel(handle_, x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::Lock() {
    lock_.lock();
    ++lockCount_;
}

bool TCanvas::TryLock() {
    if (!lock_.try_lock()) return false;
    ++lockCount_;
    return true;
}

void TCanvas::Unlock() {
    --lockCount_;
    lock_.unlock();
}

void TCanvas::Refresh() {
    DeselectHandles();
}
