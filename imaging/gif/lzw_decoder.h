#pragma once
// Decoder of the LZW image data of one frame.
#include <cstdint>
#include <functional>
#include <string>

class TStream;

namespace gif {

struct DecodeTarget {
    uint8_t* Data = nullptr; // Width * Height bytes, already filled with the background index
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
};

// Reads the minimum code size, the data sub-blocks and the terminator. Short data leaves the
// rest of the pixels as they were and warns; damaged code tables raise GIFException.
void DecodeLZW(TStream& stream, const DecodeTarget& target,
               const std::function<void(const std::string&)>& warning);

} // namespace gif
