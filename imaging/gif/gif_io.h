#pragma once
// Byte-level reading and writing helpers of the GIF block readers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TStream;

namespace gif {

// Reads exactly size bytes or raises "Premature end of data".
void ReadCheck(TStream& stream, void* buffer, int64_t size);
// One byte, or nothing at the end of the stream (the block loops must see the end to stop).
std::optional<uint8_t> ReadByte(TStream& stream);
void WriteByte(TStream& stream, uint8_t value);
// Data sub-blocks: each string becomes length-prefixed pieces of up to 255 bytes; a zero byte ends.
void WriteStrings(TStream& stream, const std::vector<std::string>& strings);
// Each sub-block becomes one string, up to a zero length or the end of the stream.
void ReadStrings(TStream& stream, std::vector<std::string>& strings);
uint16_t ReadWord(const uint8_t* p);
void PutWord(uint8_t* p, uint16_t value);

} // namespace gif
