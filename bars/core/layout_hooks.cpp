#include "bars/core/layout_hooks.h"

namespace bars {
namespace {
LayoutStorage storage;
bool readingDesignState = false;
} // namespace

void SetLayoutStorage(const LayoutStorage& Storage) {
    storage = Storage;
}

const LayoutStorage& GetLayoutStorage() {
    return storage;
}

bool ReadingDesignState() {
    return readingDesignState;
}

void SetReadingDesignState(bool Value) {
    readingDesignState = Value;
}

} // namespace bars
