#include "app/cursor_resource.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/gui/system.h"
#include "platform/rtl/resource_stream.h"

namespace {

constexpr int kLargestCursor = 256;

void Need(const std::vector<uint8_t>& Data, size_t At, size_t Count) {
    if (At > Data.size() || Count > Data.size() - At) throw EInvalidGraphic("Cursor image is not valid");
}

// A little-endian number of 2 or 4 bytes.
uint32_t Read(const std::vector<uint8_t>& Data, size_t At, int Bytes) {
    Need(Data, At, static_cast<size_t>(Bytes));
    uint32_t v = 0;
    for (int i = Bytes - 1; i >= 0; --i)
        v = v << 8 | Data[At + static_cast<size_t>(i)];
    return v;
}

} // namespace

HCURSOR LoadCursorResource(const std::string& Name) {
    TResourceStream stream(nullptr, Name, "CURSOR");
    std::vector<uint8_t> data(static_cast<size_t>(stream.Size()));
    stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    if (Read(data, 0, 2) != 0 || Read(data, 2, 2) != 2 || Read(data, 4, 2) < 1)
        throw EInvalidGraphic("Cursor image is not valid");
    const int hotX = static_cast<int>(Read(data, 10, 2));
    const int hotY = static_cast<int>(Read(data, 12, 2));
    const size_t image = Read(data, 18, 4);
    const int width = static_cast<int>(static_cast<int32_t>(Read(data, image + 4, 4)));
    const int height = static_cast<int>(static_cast<int32_t>(Read(data, image + 8, 4))) / 2;
    const size_t header = Read(data, image, 4);
    if (Read(data, image + 14, 2) != 32 || width <= 0 || height <= 0 || width > kLargestCursor ||
        height > kLargestCursor)
        throw EInvalidGraphic("Only 32-bit cursor images are read");
    const size_t pixels = image + header;
    Need(data, pixels, static_cast<size_t>(4 * width * height));
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) throw EInvalidGraphic("Cursor image is not valid");
    auto* out = static_cast<uint8_t*>(bits);
    // The file's rows run bottom-up.
    for (int y = 0; y < height; ++y)
        std::memcpy(out + static_cast<size_t>(y) * width * 4,
                    data.data() + pixels + static_cast<size_t>(height - 1 - y) * width * 4,
                    static_cast<size_t>(width) * 4);
    HCURSOR cursor = CreateCursorFromBitmap(bitmap, hotX, hotY);
    DeleteObject(bitmap);
    if (!cursor) throw EInvalidGraphic("Cursor image is not valid");
    return cursor;
}
