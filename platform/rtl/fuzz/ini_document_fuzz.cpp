#include "platform/rtl/fuzz/ini_document_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!ini_fuzz::ReadIniInput(data, size)) std::abort();
    return 0;
}
