#include "imaging/png/fuzz/load_png_input.h"

#include "imaging/png/png_object.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"

namespace {
// Headers claiming more than this many pixels are legal, but make each run allocate and clear up to a
// gigabyte; the fuzzer's time goes further on smaller ones.
constexpr uint64_t kFuzzPixelLimit = 1u << 22;

bool HeaderTooLarge(const uint8_t* data, size_t size) {
    if (size < 24) return false;
    const auto be32 = [&](size_t at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 |
               data[at + 3];
    };
    return uint64_t(be32(16)) * be32(20) > kFuzzPixelLimit;
}
} // namespace

void LoadPngInput(const uint8_t* data, size_t size) {
    if (HeaderTooLarge(data, size)) return;
    TMemoryStream input;
    input.WriteBuffer(data, static_cast<int64_t>(size));
    input.SetPosition(0);
    TPNGObject image;
    try {
        image.LoadFromStream(input);
    } catch (const Exception&) {
        return;
    }
    TBitmap target(64, 64);
    target.Canvas().StretchDraw(Rect(-3, 2, 50, 61), &image);
    try {
        // A palette index past the palette raises here by design.
        (void)image.ReadPixel(image.Width() / 2, image.Height() / 2);
        image.WritePixel(0, 0, 0x00FF8040u);
        TMemoryStream output;
        image.SaveToStream(output);
        output.SetPosition(0);
        TPNGObject again;
        again.LoadFromStream(output);
    } catch (const Exception&) {
    }
}
