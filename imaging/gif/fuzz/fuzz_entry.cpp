#include "imaging/gif/fuzz/fuzz_entry.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "platform/rtl/stream.h"

namespace gif {

void FuzzLoadFromBytes(const uint8_t* data, size_t size) {
    TMemoryStream input;
    input.WriteBuffer(data, static_cast<int64_t>(size));
    input.SetPosition(0);
    TGIFImage image;
    try {
        image.LoadFromStream(input);
    } catch (const Exception&) {
        return;
    }
    // What loads must save, and the saved stream must load again; huge frames are left out to
    // keep each run short.
    if (image.PixelCount() > (1 << 20)) return;
    for (int compression : {gcLZW, gcRLE}) {
        image.SetCompression(static_cast<TGIFCompression>(compression));
        TMemoryStream output;
        try {
            image.SaveToStream(output);
        } catch (const GIFException&) {
            // Pixels outside the colour table cannot be written.
            continue;
        }
        output.SetPosition(0);
        TGIFImage again;
        again.LoadFromStream(output);
    }
}

} // namespace gif
