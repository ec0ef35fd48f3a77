#pragma once
// Controls that draw themselves on a canvas: TCustomControl with a window, TGraphicControl without one
// (its parent paints it). TControlCanvas gets the control's device context when drawing starts.
#include <memory>

#include "platform/graphics/canvas.h"
#include "platform/vcl/win_control.h"

class TControlCanvas : public TCanvas {
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    std::string ClassName() const override { return "TControlCanvas"; }
    TControl* Control() const { return control_; }
    void SetControl(TControl* AControl);
    // Gives back a device context the canvas fetched itself.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    HWND dcWindow_ = nullptr;
    HDC dc_ = nullptr;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    std::string ClassName() const override { return "TCustomControl"; }
    TCanvas& Canvas() { return *canvas_; }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas& Canvas() { return *canvas_; }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    void WMPaint(TWMPaint Message);

    std::unique_ptr<TControlCanvas> canvas_;
};
