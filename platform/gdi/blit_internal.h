#pragma once
// The one blit engine behind BitBlt, StretchBlt, MaskBlt, TransparentBlt and the DIB calls. Internal.
#include <optional>

#include "platform/gdi/dc_internal.h"

namespace pw::gdi {

struct BlitSource {
    const Surface* surface = nullptr;
    RECT rect{};       // surface coordinates; right < left or bottom < top mirrors
    bool mono = false; // a monochrome bitmap: converted with the destination's text and background colours
    COLORREF bkColor = RGB(255, 255, 255); // the source DC's background: becomes white on a monochrome target
};

struct BlitMask {
    const Surface* surface = nullptr; // monochrome; 1 = foreground raster operation
    POINT origin{};
};

// Blits onto the destination rectangle (device coordinates, may mirror by a negative extent).
// Without a source, only pattern and destination operations are meaningful.
bool Blit(DeviceContext& dst, int x, int y, int width, int height, const BlitSource* src, DWORD rop,
          const BlitMask* mask = nullptr, std::optional<COLORREF> transparent = std::nullopt);

// The source view of a DC's rectangle (logical coordinates).
BlitSource SourceOf(DeviceContext& dc, int x, int y, int width, int height);

} // namespace pw::gdi
