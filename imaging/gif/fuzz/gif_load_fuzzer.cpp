#include "imaging/gif/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gif::FuzzLoadFromBytes(data, size);
    return 0;
}
