#include "imaging/png/fuzz/load_png_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadPngInput(data, size);
    return 0;
}
