#pragma once
// Entry points shared by the libFuzzer targets and the test that replays kept inputs.
#include <cstddef>
#include <cstdint>
#include <string>

namespace html_fuzz {

void UriInput(const uint8_t* data, size_t size);
// The first byte picks the decoder; the rest is read through it with look-ahead and scans, once a
// character at a time and once in blocks where it may: both must give the same trace.
void ReaderInput(const uint8_t* data, size_t size);
std::string ReaderTrace(const uint8_t* data, size_t size, bool charByChar);
// The first byte picks parser options and the starting decoder; the page is parsed with the
// charset, links and title plugins attached, every piece going to the caller, both ways as above.
void TokenizerInput(const uint8_t* data, size_t size);
enum class TraceWay { CharByChar, Blocks, BlocksFromStream };
std::string TokenizerTrace(const uint8_t* data, size_t size, TraceWay way);
// Containers and tags read back from arbitrary bytes.
void BinaryReaderInput(const uint8_t* data, size_t size);

} // namespace html_fuzz
