#include "platform/gdi/scoped.h"

#include <utility>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"

namespace pw::gdi {

SelectedObject::SelectedObject(HDC dc, HGDIOBJ object)
    : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}

SelectedObject::~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
}

SavedDC::SavedDC(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}

SavedDC::~SavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
}

MemoryDC::MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}

MemoryDC::MemoryDC(HDC like, int width, int height) : MemoryDC(like) {
    owned_.Reset(CreateCompatibleBitmap(like, width, height));
    Select(owned_.Get());
}

MemoryDC::MemoryDC(HDC like, HBITMAP bitmap) : MemoryDC(like) {
    Select(bitmap);
}

MemoryDC::MemoryDC(HDC like, OwnedObject<HBITMAP> bitmap) : MemoryDC(like) {
    owned_ = std::move(bitmap);
    Select(owned_.Get());
}

MemoryDC::~MemoryDC() {
    if (previous_) SelectObject(dc_, previous_);
    if (dc_) DeleteDC(dc_);
}

void MemoryDC::Select(HBITMAP bitmap) {
    bitmap_ = bitmap;
    if (dc_ && bitmap) previous_ = SelectObject(dc_, bitmap);
}

} // namespace pw::gdi
