#include "platform/graphics/picture.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/gdi/clipboard_formats.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/rtl/format.h"
#include "platform/rtl/stream.h"

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}

std::string StripDot(const std::string& ext) {
    return Lower(!ext.empty() && ext[0] == '.' ? ext.substr(1) : ext);
}

struct Registry {
    std::mutex lock;
    std::vector<TFileFormat> formats{
        {"bmp", "Bitmaps", &CreateGraphic<TBitmap>},
        {"ico", "Icons", &CreateGraphic<TIcon>},
        {"jpg", "JPEG Image File", &CreateGraphic<TJPEGImage>},
        {"jpeg", "JPEG Image File", &CreateGraphic<TJPEGImage>},
    };
    std::vector<std::pair<UINT, TGraphicClass>> clipboardFormats{{CF_BITMAP, &CreateGraphic<TBitmap>}};
};

Registry& Formats() {
    static Registry registry;
    return registry;
}

// The extension a stream's first bytes belong to, or empty.
std::string SniffExtension(const uint8_t* b, size_t n) {
    auto starts = [&](const char* sig, size_t len) { return n >= len && std::memcmp(b, sig, len) == 0; };
    if (starts("BM", 2)) return "bmp";
    if (starts("\xFF\xD8\xFF", 3)) return "jpg";
    if (starts("GIF8", 4)) return "gif";
    if (starts("\x89PNG\r\n\x1A\n", 8)) return "png";
    if (starts("\0\0\1\0", 4)) return "ico";
    return {};
}

// The class bound to a clipboard format, or null.
TGraphicClass ClipboardClass(UINT format) {
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    for (const auto& [bound, graphicClass] : r.clipboardFormats)
        if (bound == format) return graphicClass;
    return nullptr;
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
    if (!graphicClass) return;
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    const std::string ext = StripDot(extension);
    for (TFileFormat& f : r.formats)
        if (f.extension == ext) {
            f.description = description;
            f.graphicClass = graphicClass;
            return;
        }
    r.formats.push_back(TFileFormat{ext, description, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    std::erase_if(r.formats, [&](const TFileFormat& f) { return f.graphicClass == graphicClass; });
    std::erase_if(r.clipboardFormats, [&](const auto& f) { return f.second == graphicClass; });
}

void TPicture::RegisterClipboardFormat(UINT format, TGraphicClass graphicClass) {
    if (!graphicClass) return;
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    for (auto& bound : r.clipboardFormats)
        if (bound.first == format) {
            bound.second = graphicClass;
            return;
        }
    r.clipboardFormats.emplace_back(format, graphicClass);
}

bool TPicture::SupportsClipboardFormat(UINT format) {
    return ClipboardClass(format) != nullptr;
}

TGraphicClass TPicture::FindGraphicClass(const std::string& extension) {
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    const std::string ext = StripDot(extension);
    for (const TFileFormat& f : r.formats)
        if (f.extension == ext) return f.graphicClass;
    return nullptr;
}

std::vector<TFileFormat> TPicture::FileFormats() {
    Registry& r = Formats();
    std::lock_guard guard(r.lock);
    return r.formats;
}

std::string TPicture::GraphicFilter() {
    std::string all, each;
    for (const TFileFormat& f : FileFormats()) {
        const std::string mask = "*." + f.extension;
        all += (all.empty() ? "" : ";") + mask;
        each += "|" + f.description + " (" + mask + ")|" + mask;
    }
    return "All (" + all + ")|" + all + each;
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) {
        graphic_->OnChange = [this](TObject* sender) { Changed(sender); };
        graphic_->OnProgress = [this](TObject* sender, TProgressStage stage, BYTE percent, bool redraw,
                                      const TRect& r, const std::string& msg) {
            if (OnProgress) OnProgress(sender, stage, percent, redraw, r, msg);
        };
    }
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* value) {
    if (!value) {
        if (graphic_) TakeGraphic(nullptr);
        return;
    }
    if (value == graphic_.get()) return;
    std::unique_ptr<TGraphic> copy = value->NewOfSameClass();
    if (!copy) throw EInvalidGraphic(graphics_text::UnknownFormat);
    copy->Assign(value);
    TakeGraphic(std::move(copy));
}

void TPicture::SetBitmap(TBitmap* value) {
    SetGraphic(value);
}

TBitmap& TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) TakeGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*graphic_);
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    const std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                ? std::string()
                                : fileName.substr(dot + 1);
    TGraphicClass graphicClass = FindGraphicClass(ext);
    if (!graphicClass) throw EInvalidGraphic(Format(graphics_text::UnknownExtension, ext));
    std::unique_ptr<TGraphic> graphic = graphicClass();
    graphic->OnProgress = OnProgress;
    graphic->LoadFromFile(fileName);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    uint8_t head[8] = {};
    const int64_t got = stream.Read(head, sizeof head);
    stream.SetPosition(start);
    const std::string ext = SniffExtension(head, got > 0 ? static_cast<size_t>(got) : 0);
    TGraphicClass graphicClass = ext.empty() ? nullptr : FindGraphicClass(ext);
    if (!graphicClass) throw EInvalidGraphic(graphics_text::UnknownFormat);
    std::unique_ptr<TGraphic> graphic = graphicClass();
    graphic->OnProgress = OnProgress;
    graphic->LoadFromStream(stream);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToStream(TStream& stream) {
    if (graphic_) graphic_->SaveToStream(stream);
}

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    TGraphicClass graphicClass = ClipboardClass(format);
    if (!graphicClass) throw EInvalidGraphic(graphics_text::UnknownClipboardFormat);
    std::unique_ptr<TGraphic> graphic = graphicClass();
    graphic->OnProgress = OnProgress;
    graphic->LoadFromClipboardFormat(format, data, palette);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    format = 0;
    data = nullptr;
    palette = nullptr;
    if (graphic_) graphic_->SaveToClipboardFormat(format, data, palette);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture != this) SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (graphic_ && dynamic_cast<TGraphic*>(Dest)) {
        Dest->Assign(graphic_.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}
