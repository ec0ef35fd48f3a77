#pragma once
// Scoped GDI helpers: an object selected into a DC, a DC's saved state, a memory DC and a GDI object the
// scope owns, each undone at the end of its scope, so drawing code holds no select/restore/delete pairs
// by hand and an exception on the way leaves no object selected or leaked.
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"

namespace pw::gdi {

// A GDI object (pen, brush, font, bitmap, region, palette) deleted at the end of the scope, unless
// released to a new owner first. Stock objects and system-colour brushes may be held: deleting them does
// nothing.
template <class Handle> class OwnedObject {
public:
    OwnedObject() = default;
    explicit OwnedObject(Handle handle) : handle_(handle) {}
    ~OwnedObject() { Reset(); }
    OwnedObject(OwnedObject&& other) noexcept : handle_(other.Release()) {}
    OwnedObject& operator=(OwnedObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }
    void Reset(Handle handle = nullptr) {
        if (handle_ && handle_ != handle) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// An object selected into a DC for the scope; the one it replaced goes back at the end. A null object
// selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object);
    ~SelectedObject();
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A DC's state (selected objects, colours, modes, origins, clipping) saved for the scope and restored at
// its end.
class SavedDC {
public:
    explicit SavedDC(HDC dc);
    ~SavedDC();
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A memory DC compatible with `like` (null: the screen), deleted at the end of the scope. Given a size,
// it draws on a compatible bitmap of that size, which it owns; given a bitmap, it draws on that one,
// which stays the caller's. Bitmap() is null when there is none (it could not be made).
class MemoryDC {
public:
    explicit MemoryDC(HDC like);
    MemoryDC(HDC like, int width, int height);
    MemoryDC(HDC like, HBITMAP bitmap);
    // Given an owned bitmap, it draws on that one and deletes it at the end.
    MemoryDC(HDC like, OwnedObject<HBITMAP> bitmap);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }

private:
    void Select(HBITMAP bitmap);

    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    OwnedObject<HBITMAP> owned_;
    HGDIOBJ previous_ = nullptr;
};

} // namespace pw::gdi
