#pragma once
// Fonts, pens and brushes: descriptions of GDI objects whose handles are made on first use and remade
// after each change.
#include <string>

#include "platform/graphics/graphics_types.h"
#include "platform/rtl/persistent.h"

class TBitmap;

class TGraphicsObject : public TPersistent {
public:
    ~TGraphicsObject() override;
    std::string ClassName() const override { return "TGraphicsObject"; }

    TNotifyEvent OnChange;

protected:
    // Drops the current handle after telling the listeners, so a canvas can deselect it first.
    void Changed();
    // The handle (made by CreateObject when there is none yet).
    HGDIOBJ ObjectHandle() const;
    virtual HGDIOBJ CreateObject() const = 0;
    // Takes over a handle made by the caller (SetHandle), replacing the current one.
    void AdoptHandle(HGDIOBJ handle);

private:
    mutable HGDIOBJ handle_ = nullptr;
};

class TFont : public TGraphicsObject {
public:
    TFont();
    std::string ClassName() const override { return "TFont"; }
    void Assign(TPersistent* Source) override;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& value);
    // Points at 96 pixels per inch; Height is the negative pixel height of the characters.
    int Size() const;
    void SetSize(int value);
    int Height() const { return height_; }
    void SetHeight(int value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    int PixelsPerInch() const { return 96; }

    HFONT Handle() const { return static_cast<HFONT>(ObjectHandle()); }
    // Takes the description from the font handle, which this object then owns.
    void SetHandle(HFONT value);

protected:
    HGDIOBJ CreateObject() const override;

private:
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = 1; // DEFAULT_CHARSET
    TFontPitch pitch_ = fpDefault;
};

class TPen : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TPen"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode value);

    HPEN Handle() const { return static_cast<HPEN>(ObjectHandle()); }

protected:
    HGDIOBJ CreateObject() const override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TBrush"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return color_; }
    // A colour other than clNone turns a clear brush solid; clNone makes it clear.
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);
    // A pattern brush from the bitmap, whatever the style, until set back to null; the caller keeps the
    // bitmap alive while the brush uses it.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* value);

    HBRUSH Handle() const { return static_cast<HBRUSH>(ObjectHandle()); }

protected:
    HGDIOBJ CreateObject() const override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};
