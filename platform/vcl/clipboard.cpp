#include "platform/vcl/clipboard.h"

#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphic.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/picture.h"
#include "platform/gui/clipboard.h"
#include "platform/rtl/global_memory.h"

namespace {

// Holds the clipboard open for one change, as the class library does around each of its calls.
class OpenedClipboard {
public:
    OpenedClipboard() {
        if (!OpenClipboard(nullptr)) throw EClipboardException("Cannot open clipboard");
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// Frees what the clipboard would not take.
void FreeHandle(UINT format, HANDLE handle) {
    if (format == CF_BITMAP || format == CF_PALETTE)
        DeleteObject(handle);
    else
        GlobalFree(handle);
}

} // namespace

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

std::string TClipboard::AsText() const {
    return GetClipboardData(CF_UNICODETEXT);
}

void TClipboard::SetAsText(const std::string& Value) {
    OpenedClipboard open;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Value);
}

void TClipboard::Clear() {
    OpenedClipboard open;
    EmptyClipboard();
}

bool TClipboard::HasFormat(UINT Format) const {
    return IsClipboardFormatAvailable(Format) != FALSE_;
}

HANDLE TClipboard::GetAsHandle(UINT Format) const {
    OpenedClipboard open;
    return GetClipboardDataHandle(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
    OpenedClipboard open;
    EmptyClipboard();
    SetClipboardData(Format, Value);
}

void TClipboard::Assign(TPersistent* Source) {
    TGraphic* graphic = dynamic_cast<TGraphic*>(Source);
    if (auto* picture = dynamic_cast<TPicture*>(Source)) graphic = picture->Graphic();
    if (!graphic && !dynamic_cast<TPicture*>(Source)) {
        TPersistent::Assign(Source);
        return;
    }
    OpenedClipboard open;
    EmptyClipboard();
    if (!graphic) return;
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    graphic->SaveToClipboardFormat(format, data, palette);
    if (data && !SetClipboardData(format, data)) FreeHandle(format, data);
    if (palette && !SetClipboardData(CF_PALETTE, palette)) FreeHandle(CF_PALETTE, palette);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    if (auto* picture = dynamic_cast<TPicture*>(Dest)) {
        OpenedClipboard open;
        for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
            if (TPicture::SupportsClipboardFormat(format)) {
                picture->LoadFromClipboardFormat(format, GetClipboardDataHandle(format),
                                                 static_cast<HPALETTE>(GetClipboardDataHandle(CF_PALETTE)));
                return;
            }
        throw EInvalidGraphic(graphics_text::UnknownClipboardFormat);
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        OpenedClipboard open;
        bitmap->LoadFromClipboardFormat(CF_BITMAP, GetClipboardDataHandle(CF_BITMAP),
                                        static_cast<HPALETTE>(GetClipboardDataHandle(CF_PALETTE)));
        return;
    }
    TPersistent::AssignTo(Dest);
}
