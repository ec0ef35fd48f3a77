#include "platform/gui/qt/toolkit_work.h"

#include <atomic>

namespace pw::gui::qt {
namespace {

std::atomic<bool> noted{true};

} // namespace

void NoteToolkitWork() {
    noted.store(true, std::memory_order_release);
}

bool ToolkitWorkNoted() {
    return noted.load(std::memory_order_acquire);
}

void TakeToolkitWork() {
    noted.store(false, std::memory_order_release);
}

} // namespace pw::gui::qt
