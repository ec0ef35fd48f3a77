#pragma once
// A holder of any one graphic, and the registry that maps file extensions to graphic classes.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/graphic.h"

class TBitmap;

struct TFileFormat {
    std::string extension; // without the dot, lower case
    std::string description;
    TGraphicClass graphicClass = nullptr;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    std::string ClassName() const override { return "TPicture"; }

    // Null when empty.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Keeps a copy of value (of the same class), or empties the picture for null.
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap; any other graphic is replaced by an empty bitmap first.
    TBitmap& Bitmap();
    void SetBitmap(TBitmap* value);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // The class comes from the file's extension: EInvalidGraphic "Unknown picture file extension (.ext)"
    // when none is registered for it. On failure the picture keeps its graphic.
    void LoadFromFile(const std::string& fileName);
    // An empty picture writes no file.
    void SaveToFile(const std::string& fileName);
    // The class comes from the data's signature, among the registered classes.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void Assign(TPersistent* Source) override;
    // A graphic of the class registered for the format, read from the clipboard's data. EInvalidGraphic
    // "Unsupported clipboard format" when no class is; the picture then keeps its graphic.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
    // The graphic's; an empty picture gives format 0 and no data.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);

    // Registers (or re-registers) a class for an extension, compared without regard to case.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicClass graphicClass);
    // Binds a clipboard format to the class that reads it (CF_BITMAP is the bitmap's from the start);
    // binding a format again rebinds it.
    static void RegisterClipboardFormat(UINT format, TGraphicClass graphicClass);
    static bool SupportsClipboardFormat(UINT format);
    // Removes every extension and clipboard format served by the class.
    static void UnregisterGraphicClass(TGraphicClass graphicClass);
    // Null when no class serves the extension (with or without its dot).
    static TGraphicClass FindGraphicClass(const std::string& extension);
    static std::vector<TFileFormat> FileFormats();
    // "All (*.bmp;*.jpg;...)|*.bmp;*.jpg;...|Bitmaps (*.bmp)|*.bmp|..." for open and save dialogs.
    static std::string GraphicFilter();

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed(TObject* sender);

private:
    void TakeGraphic(std::unique_ptr<TGraphic> graphic);

    std::unique_ptr<TGraphic> graphic_;
};
