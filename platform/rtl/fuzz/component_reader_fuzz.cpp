#include "platform/rtl/fuzz/component_reader_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!component_fuzz::ReadComponentInput(data, size)) std::abort();
    return 0;
}
