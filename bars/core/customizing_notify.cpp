#include "bars/core/customizing_notify.h"

namespace bars {

namespace {
// The receiver handed in, process-wide as the customizing window is.
const CustomizingReceiver* receiver = nullptr;
} // namespace

void SetCustomizingReceiver(const CustomizingReceiver* Receiver) {
    receiver = Receiver;
}

const CustomizingReceiver* Customizing() {
    return receiver;
}

bool CustomizingFormExists() {
    return receiver != nullptr && receiver->FormExists();
}

HWND CustomizingFormWindow() {
    return receiver != nullptr ? receiver->FormWindow() : nullptr;
}

} // namespace bars
