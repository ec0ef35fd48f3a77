#pragma once
// The common interface of every image class: size, emptiness, transparency, palette, streams and files,
// drawing on a canvas.
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/content_stamp.h"
#include "platform/rtl/persistent.h"
#include "platform/rtl/wintypes.h"

class TCanvas;
class TStream;

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, BYTE PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TGraphic : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphic"; }

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const = 0;
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    virtual HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    bool Modified() const { return modified_; }
    void SetModified(bool value);
    // Renewed at every change the graphic hears of: drawing on its canvas, a new size, format or image.
    // Writes through a bitmap's scan lines are not heard; their writer tells with SetModified(true).
    uint64_t ContentStamp() const { return contentStamp_; }
    bool PaletteModified() const { return paletteModified_; }
    void SetPaletteModified(bool value) { paletteModified_ = value; }

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // EFOpenError when the file cannot be opened; the class's own exception when it cannot be decoded.
    virtual void LoadFromFile(const std::string& fileName);
    // Replaces the file only once the whole image is written.
    virtual void SaveToFile(const std::string& fileName);
    // The clipboard's data of one format (a bitmap handle for CF_BITMAP, a global memory block for a
    // format of the class's own) and its palette, both still the clipboard's. EInvalidGraphic
    // "Unsupported clipboard format" for a format the class does not read (the base reads none).
    virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
    // What the clipboard is to hold of this graphic: the format, a new handle and a new palette (null
    // for none) that the caller hands to the clipboard. The base has none to give.
    virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);
    // Same size and the same saved bytes.
    virtual bool Equals(TGraphic* graphic);
    // An empty graphic of this object's class (a picture copies graphics this way); the base finds the
    // class among the registered ones, null when it is not there.
    virtual std::unique_ptr<TGraphic> NewOfSameClass() const;
    // A graphic that is not empty goes through a component stream as "Data": the bytes of its own
    // stream, read back by LoadFromStream.
    void DefineProperties(TFiler& Filer) override;

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    friend class TCanvas;
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    // Marks the graphic modified and tells the listeners.
    virtual void Changed(TObject* sender);
    void Progress(TObject* sender, TProgressStage stage, BYTE percentDone, bool redrawNow, const TRect& r,
                  const std::string& msg);

private:
    bool transparent_ = false;
    bool modified_ = false;
    bool paletteModified_ = false;
    uint64_t contentStamp_ = NewContentStamp();
};

// Makes a new, empty graphic of one class; the picture registry keeps these.
using TGraphicClass = std::unique_ptr<TGraphic> (*)();
template <class T> std::unique_ptr<TGraphic> CreateGraphic() {
    return std::make_unique<T>();
}
