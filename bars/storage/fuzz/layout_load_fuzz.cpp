#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bars/storage/fuzz/layout_load_input.h"
#include "platform/vcl/application.h"

namespace {

std::string folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application->Initialize();
    layout_fuzz::StartBars();
    char pattern[] = "/tmp/pw-layout-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    folder = pattern;
    // The stores written for the inputs go with the run.
    std::atexit([] { std::filesystem::remove_all(folder); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!layout_fuzz::LoadLayoutInput(data, size, folder)) std::abort();
    return 0;
}
