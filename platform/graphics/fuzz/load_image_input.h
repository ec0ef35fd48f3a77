#pragma once
// The fuzzing entry: the first byte picks the reader (BMP, JPEG, icon or the picture's own choice),
// the rest is the file. Malformed input must end in an EInvalidGraphic, never in a crash.
#include <cstddef>
#include <cstdint>

void LoadImageInput(const uint8_t* data, size_t size);
