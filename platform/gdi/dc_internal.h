#pragma once
// The state of a device context, shared by the drawing files of the GDI. Internal.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/objects.h"

namespace pw::gdi {

struct DcState {
    HPEN penHandle = nullptr;
    std::shared_ptr<PenObject> pen;
    HBRUSH brushHandle = nullptr;
    std::shared_ptr<BrushObject> brush;
    HFONT fontHandle = nullptr;
    std::shared_ptr<FontObject> font;
    HBITMAP bitmapHandle = nullptr;
    std::shared_ptr<BitmapObject> bitmap;
    HPALETTE paletteHandle = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT windowOrg;
    POINT viewportOrg;
    POINT brushOrg;
    POINT currentPos;
    std::optional<Region> clip; // device coordinates; none = no clipping of the application's own
    // Names the value of clip: every change takes a number never used before, so a state put back by
    // RestoreDC still matches what was worked out from it.
    uint64_t clipStamp = 0;
};

// Gives the DC's application clip a new value (none: no clip of its own).
void SetClip(DcState& st, std::optional<Region> clip);

struct DeviceContext : Object {
    DeviceContext() : Object(Kind::Dc) {}
    bool memory = false;
    Surface* external = nullptr;   // window backing image (not owned)
    POINT deviceOrigin;            // where device (0,0) lies on the surface
    std::optional<Region> sysClip; // device coordinates, from the window system
    DcState st;
    std::vector<DcState> saved;

    Surface* Target() { return memory ? (st.bitmap ? &st.bitmap->surface : nullptr) : external; }
    bool Mono() const { return memory && st.bitmap && st.bitmap->mono; }
    BitmapObject* DibTarget() { return memory && st.bitmap && st.bitmap->dib ? st.bitmap.get() : nullptr; }

    POINT ToDevice(POINT p) const {
        return POINT{p.x - st.windowOrg.x + st.viewportOrg.x, p.y - st.windowOrg.y + st.viewportOrg.y};
    }
    POINT ToLogical(POINT p) const {
        return POINT{p.x + st.windowOrg.x - st.viewportOrg.x, p.y + st.windowOrg.y - st.viewportOrg.y};
    }
    RECT ToDevice(const RECT& r) const {
        const POINT a = ToDevice(POINT{r.left, r.top}), b = ToDevice(POINT{r.right, r.bottom});
        return RECT{a.x, a.y, b.x, b.y};
    }
    RECT ToLogical(const RECT& r) const {
        const POINT a = ToLogical(POINT{r.left, r.top}), b = ToLogical(POINT{r.right, r.bottom});
        return RECT{a.x, a.y, b.x, b.y};
    }
    // Everything drawing may touch, in device coordinates: surface, system clip and application clip.
    // Every drawing call asks for it: it is worked out again only when one of them changed.
    const Region& Visible();

private:
    struct VisibleCache {
        bool valid = false;
        const Surface* target = nullptr;
        int width = 0, height = 0;
        uint64_t clipStamp = 0;
        Region region;
    } visible_;
};

std::shared_ptr<DeviceContext> LookupDc(HDC hdc);

// Holds a DC's target for one drawing call: DIB bits are read before and written back after, those of
// the area the call touches (device coordinates), or else of all the DC lets it draw on.
class TargetAccess {
public:
    explicit TargetAccess(DeviceContext& dc, bool writes = true);
    TargetAccess(DeviceContext& dc, const RECT& area, bool writes = true);
    ~TargetAccess();
    TargetAccess(const TargetAccess&) = delete;
    TargetAccess& operator=(const TargetAccess&) = delete;
    Surface* Target() const { return surface_; }

private:
    BitmapObject* dib_;
    Surface* surface_;
    bool writes_;
    RECT area_{}; // surface coordinates
};

} // namespace pw::gdi
