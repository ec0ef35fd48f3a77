#include <cstddef>
#include <cstdint>

#include "platform/graphics/fuzz/load_image_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadImageInput(data, size);
    return 0;
}
