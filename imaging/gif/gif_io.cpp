#include "imaging/gif/gif_io.h"

#include "imaging/gif/gif_exception.h"
#include "platform/rtl/stream.h"

#include <algorithm>

namespace gif {

void ReadCheck(TStream& stream, void* buffer, int64_t size) {
    if (stream.Read(buffer, size) < size) throw GIFException(gif_text::PrematureEnd);
}

std::optional<uint8_t> ReadByte(TStream& stream) {
    uint8_t b;
    if (stream.Read(&b, 1) != 1) return std::nullopt;
    return b;
}

void WriteByte(TStream& stream, uint8_t value) {
    stream.WriteBuffer(&value, 1);
}

void WriteStrings(TStream& stream, const std::vector<std::string>& strings) {
    for (const std::string& s : strings) {
        size_t pos = 0;
        while (pos < s.size()) {
            size_t n = std::min<size_t>(255, s.size() - pos);
            WriteByte(stream, static_cast<uint8_t>(n));
            stream.WriteBuffer(s.data() + pos, static_cast<int64_t>(n));
            pos += n;
        }
    }
    WriteByte(stream, 0);
}

void ReadStrings(TStream& stream, std::vector<std::string>& strings) {
    strings.clear();
    for (;;) {
        std::optional<uint8_t> n = ReadByte(stream);
        if (!n || *n == 0) return;
        std::string s(*n, '\0');
        ReadCheck(stream, s.data(), *n);
        strings.push_back(std::move(s));
    }
}

uint16_t ReadWord(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void PutWord(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace gif
