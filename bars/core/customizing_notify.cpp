#include "bars/core/customizing_notify.h"

namespace bars {

namespace {
CustomizingReceiver* receiver = nullptr;
}

void SetCustomizingReceiver(CustomizingReceiver* Receiver) {
    receiver = Receiver;
}

CustomizingReceiver* Customizing() {
    return receiver;
}

} // namespace bars
