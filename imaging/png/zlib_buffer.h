#pragma once
// Whole-buffer inflate and deflate for compressed text, and the texts of zlib's result codes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The text shown for a zlib result code, e.g. "data error (-3)".
std::string ZlibErrorText(int code);
// Throws EPNGZLIBError with the text for a zlib result code.
[[noreturn]] void RaiseZlib(int code);

// Decompressed text beyond this many bytes is refused, so a tiny chunk cannot expand without bound.
inline constexpr size_t kInflateBufferLimit = 1u << 20;

// Inflates a whole zlib stream. False (with errorText) on a zlib error, a stream that stops early or needs a
// dictionary, or output beyond `limit` bytes.
bool InflateBuffer(const uint8_t* input, size_t size, std::vector<uint8_t>& output, std::string& errorText,
                   size_t limit = kInflateBufferLimit);
bool DeflateBuffer(const uint8_t* input, size_t size, int level, std::vector<uint8_t>& output,
                   std::string& errorText);
