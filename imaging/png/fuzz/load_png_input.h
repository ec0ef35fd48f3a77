#pragma once
// The fuzzing entry: loads arbitrary bytes as a PNG, saves what loaded and draws it. Shared by the libFuzzer
// target and the test that replays the kept inputs.
#include <cstddef>
#include <cstdint>

void LoadPngInput(const uint8_t* data, size_t size);
