#include "platform/graphics/graphics_objects.h"

#include <cstdlib>
#include <cstring>

#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"

namespace {

// Windows' MulDiv: rounds half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    const long long p = static_cast<long long>(number) * numerator;
    const long long q = (std::llabs(p) + denominator / 2) / denominator;
    return static_cast<int>(p < 0 ? -q : q);
}

} // namespace

TGraphicsObject::~TGraphicsObject() {
    if (handle_) DeleteObject(handle_);
}

void TGraphicsObject::Changed() {
    HGDIOBJ old = handle_;
    handle_ = nullptr;
    if (OnChange) OnChange(this);
    if (old) DeleteObject(old);
}

HGDIOBJ TGraphicsObject::ObjectHandle() const {
    if (!handle_) handle_ = CreateObject();
    return handle_;
}

void TGraphicsObject::AdoptHandle(HGDIOBJ handle) {
    HGDIOBJ old = handle_;
    handle_ = handle;
    if (OnChange) OnChange(this);
    if (old && old != handle) DeleteObject(old);
}

// --- TFont

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        name_ = f->name_;
        height_ = f->height_;
        style_ = f->style_;
        color_ = f->color_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TFont::SetName(const std::string& value) {
    if (value.empty() || value == name_) return;
    name_ = value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, PixelsPerInch());
}

void TFont::SetSize(int value) {
    SetHeight(-MulDiv(value, PixelsPerInch(), 72));
}

void TFont::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value) {
    if (value == style_) return;
    style_ = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (value == charset_) return;
    charset_ = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value) {
    if (value == pitch_) return;
    pitch_ = value;
    Changed();
}

void TFont::SetHandle(HFONT value) {
    LOGFONT lf;
    if (!value || GetObject(value, sizeof lf, &lf) != static_cast<int>(sizeof lf)) return;
    name_.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    height_ = lf.lfHeight;
    style_ = {};
    if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
    if (lf.lfItalic) style_.Include(fsItalic);
    if (lf.lfUnderline) style_.Include(fsUnderline);
    if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
    charset_ = lf.lfCharSet;
    const int pitch = lf.lfPitchAndFamily & 3;
    pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    AdoptHandle(value);
}

HGDIOBJ TFont::CreateObject() const {
    LOGFONT lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

// --- TPen

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();
}

void TPen::SetWidth(int value) {
    if (value < 0 || value == width_) return;
    width_ = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (value == style_) return;
    style_ = value;
    Changed();
}

void TPen::SetMode(TPenMode value) {
    if (value == mode_) return;
    mode_ = value;
    Changed();
}

HGDIOBJ TPen::CreateObject() const {
    static constexpr int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                      PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    return CreatePen(kStyles[style_], width_, ColorToRGB(color_));
}

// --- TBrush

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor value) {
    if (value == color_ && !(value == clNone && style_ != bsClear)) return;
    color_ = value;
    if (value == clNone)
        style_ = bsClear;
    else if (style_ == bsClear)
        style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == style_) return;
    style_ = value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* value) {
    if (value == bitmap_) return;
    bitmap_ = value;
    Changed();
}

HGDIOBJ TBrush::CreateObject() const {
    if (bitmap_ && !bitmap_->Empty()) return CreatePatternBrush(bitmap_->Handle());
    const COLORREF color = ColorToRGB(color_);
    switch (style_) {
    case bsSolid:
        return CreateSolidBrush(color);
    case bsClear:
        return GetStockObject(NULL_BRUSH);
    default:
        return CreateHatchBrush(style_ - bsHorizontal, color);
    }
}
