#pragma once
// Entry points shared by the libFuzzer targets and the test that replays kept inputs.
#include <cstddef>
#include <cstdint>

namespace html_fuzz {

void UriInput(const uint8_t* data, size_t size);

} // namespace html_fuzz
