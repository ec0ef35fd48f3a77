#pragma once
// Icons: a GDI icon (colour image and mask) as a graphic, read from and written to .ico files.
#include <string>

#include "platform/graphics/graphic.h"

class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;
    std::string ClassName() const override { return "TIcon"; }

    int Width() const override;
    int Height() const override;
    // Only an empty icon takes a size (used when a handle is made for it); otherwise
    // EInvalidGraphicOperation "Cannot change the size of an icon".
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool Empty() const override { return handle_ == nullptr; }
    bool Transparent() const override { return true; }

    HICON Handle() const { return handle_; }
    // Takes ownership of the icon handle.
    void SetHandle(HICON value);
    HICON ReleaseHandle();

    // The image of the .ico file closest to the requested size (the first of equal ones).
    void LoadFromStream(TStream& stream) override;
    // A one-image .ico file with 32-bit colour and the mask.
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* Source) override;

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    HICON handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
