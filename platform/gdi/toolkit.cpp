#include "platform/gdi/toolkit.h"

#include <atomic>

#include "platform/rtl/exception.h"

namespace pw::gdi {
namespace {

std::atomic<Toolkit*> installed{nullptr};

} // namespace

void InstallToolkit(Toolkit& toolkit) {
    installed.store(&toolkit, std::memory_order_release);
}

Toolkit& CurrentToolkit() {
    Toolkit* toolkit = installed.load(std::memory_order_acquire);
    if (!toolkit) throw Exception("No toolkit is installed for fonts and image files");
    return *toolkit;
}

} // namespace pw::gdi
