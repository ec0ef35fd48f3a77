#pragma once
// Entry points shared by the libFuzzer targets and the test that replays kept inputs.
#include <cstddef>
#include <cstdint>

namespace html_fuzz {

void UriInput(const uint8_t* data, size_t size);
// The first byte picks the decoder; the rest is read through it with look-ahead and scans.
void ReaderInput(const uint8_t* data, size_t size);
// The first byte picks parser options and the starting decoder; the page is parsed with the
// charset, links and title plugins attached.
void TokenizerInput(const uint8_t* data, size_t size);
// Containers and tags read back from arbitrary bytes.
void BinaryReaderInput(const uint8_t* data, size_t size);

} // namespace html_fuzz
