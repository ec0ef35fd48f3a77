#include "fetch/html/binary_filer.h"

#include <bit>
#include <cstring>

#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/unicode.h"

namespace {

constexpr const char* kInvalidElementType = "Invalid Element Type";

[[noreturn]] void InvalidTag() {
    throw EReadError(kInvalidElementType);
}

} // namespace

TDIFiler::TDIFiler(TStream& stream, uint32_t bufferSize)
    : stream_(stream), buffer_(new uint8_t[bufferSize == 0 ? 1 : bufferSize]),
      bufferSize_(bufferSize == 0 ? 1 : bufferSize) {}

// ---- reader

uint8_t TDIBinaryReader::NextByte() {
    if (bufferPos_ >= bufferEnd_) {
        int64_t got = stream_.Read(buffer_.get(), bufferSize_);
        if (got <= 0) throw EReadError(rtl_text::ReadError);
        bufferEnd_ = static_cast<uint32_t>(got);
        bufferPos_ = 0;
    }
    return buffer_[bufferPos_++];
}

void TDIBinaryReader::ReadBuffer(void* data, size_t count) {
    auto* out = static_cast<uint8_t*>(data);
    while (count > 0) {
        if (bufferPos_ >= bufferEnd_) {
            out[0] = NextByte();
            ++out;
            --count;
            continue;
        }
        size_t n = std::min<size_t>(count, bufferEnd_ - bufferPos_);
        std::memcpy(out, buffer_.get() + bufferPos_, n);
        bufferPos_ += static_cast<uint32_t>(n);
        out += n;
        count -= n;
    }
}

int64_t TDIBinaryReader::BytesLeft() {
    int64_t rest = stream_.Size() - stream_.Position();
    return (bufferEnd_ - bufferPos_) + (rest > 0 ? rest : 0);
}

uint64_t TDIBinaryReader::ReadPayload(unsigned count) {
    uint64_t v = 0;
    for (unsigned i = 0; i < count; ++i)
        v |= uint64_t{NextByte()} << (8 * i);
    return v;
}

uint32_t TDIBinaryReader::ReadCardinal() {
    uint8_t tag = NextByte();
    switch (tag) {
    case 2:
    case 3:
    case 5:
    case 6:
    case 8:
    case 9:
    case 11:
    case 12:
        return static_cast<uint32_t>(ReadPayload((tag + 1) / 3));
    default:
        InvalidTag();
    }
}

int32_t TDIBinaryReader::ReadInteger() {
    uint8_t tag = NextByte();
    if (tag < 1 || tag > 11) InvalidTag();
    unsigned n = (tag + 2) / 3;
    uint64_t v = ReadPayload(n);
    if (tag % 3 == 1 && n < 4) // negative: sign-extend from the stored width
        v |= ~uint64_t{0} << (8 * n);
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

char16_t TDIBinaryReader::ReadWideChar() {
    uint8_t tag = NextByte();
    switch (tag) {
    case 2:
    case 3:
    case 5:
    case 6:
        return static_cast<char16_t>(ReadPayload((tag + 1) / 3));
    default:
        InvalidTag();
    }
}

uint8_t TDIBinaryReader::ReadByte() {
    uint8_t tag = NextByte();
    if (tag != 2 && tag != 3) InvalidTag();
    return NextByte();
}

std::u16string TDIBinaryReader::ReadWideString() {
    uint8_t tag = NextByte();
    if (tag == 29 || tag == 34) return {};
    if (tag < 30 || tag > 38) InvalidTag();
    const bool wide = tag >= 35;
    uint64_t length = ReadPayload(tag - (wide ? 34 : 29));
    // A length beyond the data, or half a code unit, is corrupt input, not a request to allocate.
    if (static_cast<int64_t>(length) > BytesLeft()) throw EReadError(rtl_text::ReadError);
    if (wide && length % 2 != 0) InvalidTag();
    std::string bytes(length, '\0');
    ReadBuffer(bytes.data(), length);
    if (!wide) return Utf8ToUtf16(bytes);
    std::u16string s(length / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                     (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return s;
}

// ---- writer

TDIBinaryWriter::~TDIBinaryWriter() {
    try {
        FlushBuffer();
    } catch (...) {
        // Destructors must not throw; callers that care call FlushBuffer first.
    }
}

void TDIBinaryWriter::FlushBuffer() {
    if (bufferEnd_ > 0) {
        uint32_t n = bufferEnd_;
        bufferEnd_ = bufferPos_ = 0;
        stream_.WriteBuffer(buffer_.get(), n);
    }
}

void TDIBinaryWriter::PutByte(uint8_t b) {
    if (bufferPos_ >= bufferSize_) FlushBuffer();
    buffer_[bufferPos_++] = b;
    bufferEnd_ = bufferPos_;
}

void TDIBinaryWriter::PutBytes(uint64_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i)
        PutByte(static_cast<uint8_t>(value >> (8 * i)));
}

void TDIBinaryWriter::WriteCardinal(uint32_t value) {
    unsigned bits = static_cast<unsigned>(std::bit_width(value));
    unsigned n = bits <= 8 ? 1 : (bits + 7) / 8;
    // Tag 3n when the top stored bit is set, else 3n - 1.
    uint8_t tag = static_cast<uint8_t>(bits == 8 * n ? 3 * n : 3 * n - 1);
    PutByte(tag);
    PutBytes(value, n);
}

void TDIBinaryWriter::WriteInteger(int32_t value) {
    if (value >= 0) {
        WriteCardinal(static_cast<uint32_t>(value));
        return;
    }
    unsigned bits = static_cast<unsigned>(std::bit_width(~static_cast<uint32_t>(value)));
    unsigned n = bits / 8 + 1;
    PutByte(static_cast<uint8_t>(3 * n - 2));
    PutBytes(static_cast<uint32_t>(value), n);
}

void TDIBinaryWriter::WriteWideChar(char16_t ch) {
    WriteCardinal(ch);
}

void TDIBinaryWriter::WriteByte(uint8_t b) {
    PutByte(3);
    PutByte(b);
}

void TDIBinaryWriter::WriteWideString(const std::u16string& s) {
    if (s.empty()) {
        PutByte(34);
        return;
    }
    uint32_t length = static_cast<uint32_t>(s.size() * 2);
    unsigned n = (static_cast<unsigned>(std::bit_width(length)) + 7) / 8;
    PutByte(static_cast<uint8_t>(34 + n));
    PutBytes(length, n);
    for (char16_t c : s)
        PutBytes(c, 2);
}

void TDIBinaryWriter::WriteBuffer(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < count; ++i)
        PutByte(p[i]);
}
