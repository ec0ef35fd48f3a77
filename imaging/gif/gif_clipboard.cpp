// The GIF image on the clipboard: its whole stream in a format of its own, beside the bitmap of its
// first frame for programs that know no GIF.
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "platform/gdi/clipboard_formats.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/rtl/global_memory.h"
#include "platform/rtl/stream.h"

#include <cstring>

UINT GIFClipboardFormat() {
    static const UINT format = RegisterClipboardFormat(gif_text::FormatName);
    return format;
}

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    if (!data) data = GetClipboardDataHandle(format);
    if (data && format == GIFClipboardFormat()) {
        const void* bytes = GlobalLock(data);
        if (!bytes) throw GIFException(gif_text::UnsupportedClipboardFormat);
        TMemoryStream stream;
        stream.WriteBuffer(bytes, static_cast<int64_t>(GlobalSize(data)));
        GlobalUnlock(data);
        stream.SetPosition(0);
        LoadFromStream(stream);
    } else if (data && format == CF_BITMAP) {
        TBitmap bitmap;
        bitmap.LoadFromClipboardFormat(format, data, palette);
        Assign(&bitmap);
    } else {
        throw GIFException(gif_text::UnsupportedClipboardFormat);
    }
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    if (Empty()) return;
    GetBitmap()->SaveToClipboardFormat(format, data, palette);
    TMemoryStream stream;
    SaveToStream(stream);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<size_t>(stream.Size()));
    if (void* to = block ? GlobalLock(block) : nullptr) {
        std::memcpy(to, stream.Memory(), static_cast<size_t>(stream.Size()));
        GlobalUnlock(block);
        if (SetClipboardData(GIFClipboardFormat(), block)) return;
    }
    // The caller never sees the bitmap and palette it would have handed on.
    if (block) GlobalFree(block);
    DeleteObject(data);
    if (palette) DeleteObject(palette);
    data = nullptr;
    palette = nullptr;
    throw GIFException(gif_text::ClipboardFailed);
}
