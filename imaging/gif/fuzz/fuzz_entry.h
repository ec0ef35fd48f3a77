#pragma once
// The fuzzing entry: load bytes as a GIF, and when that works, save and reload the result.
#include <cstddef>
#include <cstdint>

namespace gif {
void FuzzLoadFromBytes(const uint8_t* data, size_t size);
}
