#include "fetch/html/fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    html_fuzz::BinaryReaderInput(data, size);
    return 0;
}
