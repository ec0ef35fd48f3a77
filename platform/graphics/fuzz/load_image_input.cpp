#include "platform/graphics/fuzz/load_image_input.h"

#include <cstdint>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/stream.h"

namespace {

// A bitmap may declare up to 64 M pixels from a few hundred bytes (compressed rows that end early
// read as empty): loading and drawing one is correct but takes tens of seconds under the fuzzer's
// instrumentation, so such inputs would only report timeouts. The limits themselves are tested.
constexpr int64_t kMostFuzzedPixels = int64_t(1) << 22;

int64_t LittleEndian(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    const int bits = bytes * 8;
    return static_cast<int64_t>(v << (64 - bits)) >> (64 - bits); // sign-extended
}

bool DeclaresHugeBitmap(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
    const bool core = LittleEndian(data + 14, 4) == 12; // the old header's sides are 16 bits
    const int64_t width = LittleEndian(data + 18, core ? 2 : 4);
    const int64_t height = LittleEndian(data + (core ? 20 : 22), core ? 2 : 4);
    const int64_t w = width < 0 ? -width : width, h = height < 0 ? -height : height;
    return w * h > kMostFuzzedPixels;
}

void Exercise(TGraphic& graphic) {
    if (graphic.Empty()) return;
    // Drawing and saving what was read must work on every image that loads.
    TBitmap target(8, 8);
    target.Canvas().StretchDraw(Rect(0, 0, 8, 8), &graphic);
    TMemoryStream out;
    graphic.SaveToStream(out);
}

} // namespace

void LoadImageInput(const uint8_t* data, size_t size) {
    if (size < 1 || DeclaresHugeBitmap(data + 1, size - 1)) return;
    TMemoryStream input;
    input.WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
    input.SetPosition(0);
    try {
        switch (data[0] % 4) {
        case 0: {
            TBitmap bitmap;
            bitmap.LoadFromStream(input);
            Exercise(bitmap);
            break;
        }
        case 1: {
            TJPEGImage jpeg;
            jpeg.LoadFromStream(input);
            Exercise(jpeg);
            break;
        }
        case 2: {
            TIcon icon;
            icon.LoadFromStream(input);
            Exercise(icon);
            break;
        }
        default: {
            TPicture picture;
            picture.LoadFromStream(input);
            if (picture.Graphic()) Exercise(*picture.Graphic());
            break;
        }
        }
    } catch (const EInvalidGraphic&) {
    }
}
