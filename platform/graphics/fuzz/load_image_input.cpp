#include "platform/graphics/fuzz/load_image_input.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/stream.h"

namespace {

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
    if (size < 1) return;
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
