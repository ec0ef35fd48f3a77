#pragma once
// A drawing surface over a device context, with its own font, pen and brush selected on demand.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/graphics_types.h"
#include "platform/rtl/object.h"

class TGraphic;

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    std::string ClassName() const override { return "TCanvas"; }

    // The DC, obtained through CreateHandle when there is none; EInvalidOperation "Canvas does not allow
    // drawing" when none can be had.
    HDC Handle();
    // Uses an HDC the caller owns (null detaches); the canvas's objects are deselected from the old one.
    void SetHandle(HDC value);
    bool HandleAllocated() const { return handle_ != nullptr; }

    TFont& Font() { return *font_; }
    TPen& Pen() { return *pen_; }
    TBrush& Brush() { return *brush_; }
    void SetFont(const TFont& value) { font_->Assign(const_cast<TFont*>(&value)); }
    void SetPen(const TPen& value) { pen_->Assign(const_cast<TPen*>(&value)); }
    void SetBrush(const TBrush& value) { brush_->Assign(const_cast<TBrush*>(&value)); }

    TPoint PenPos();
    void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode value) { copyMode_ = value; }
    TRect ClipRect();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    void Polygon(const TPoint* points, int count);
    void Polyline(const TPoint* points, int count);

    // Text is UTF-8. TextOut leaves the pen position after the text.
    void TextOut(int x, int y, std::string_view text);
    // Clipped to rect, the background filled unless the brush is clear.
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    // Through DrawText; with tfCalcRect only measures into rect.
    void TextRect(TRect& rect, std::string& text, TTextFormat format = {});
    SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Through StretchBlt with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source);
    // Copies source, with every pixel of color replaced by the brush.
    void BrushCopy(const TRect& dest, TBitmap& bitmap, const TRect& source, TColor color);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Serialises drawing from several threads on one canvas.
    void Lock();
    bool TryLock();
    void Unlock();
    int LockCount() const { return lockCount_; }

    // Deselects the objects so the next drawing selects them again.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    // Gets a DC when the canvas has none (a control or bitmap canvas overrides it); the base has none.
    virtual void CreateHandle() {}
    void RequiredState(TCanvasState required);
    void DeselectHandles();
    TCanvasState State() const { return state_; }

private:
    void PrepareGraphicColours();
    void FontChanged();
    void PenChanged();
    void BrushChanged();

    HDC handle_ = nullptr;
    TCanvasState state_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    TCopyMode copyMode_ = cmSrcCopy;
    std::recursive_mutex lock_;
    int lockCount_ = 0;
};
