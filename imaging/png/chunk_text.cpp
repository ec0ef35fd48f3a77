#include "imaging/png/chunk_text.h"

#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/zlib_buffer.h"

#include <cstring>
#include <vector>

void TChunktEXt::SplitKeyword() {
    const char* data = reinterpret_cast<const char*>(Payload());
    const size_t size = PayloadSize();
    const void* zero = std::memchr(data, 0, size);
    const size_t keyLength = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size;
    Keyword.assign(data, keyLength);
    Text.assign(keyLength < size ? data + keyLength + 1 : data + size,
                keyLength < size ? size - keyLength - 1 : 0);
}

bool TChunktEXt::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    if (result && size >= 3) SplitKeyword();
    return result;
}

bool TChunktEXt::SaveToStream(TStream& stream) {
    ResizePayload(static_cast<uint32_t>(Keyword.size() + 1 + Text.size()));
    std::memcpy(Payload(), Keyword.data(), Keyword.size());
    std::memcpy(Payload() + Keyword.size() + 1, Text.data(), Text.size());
    return TChunk::SaveToStream(stream);
}

void TChunktEXt::Assign(const TChunk& source) {
    const auto* text = dynamic_cast<const TChunktEXt*>(&source);
    if (!text) RaisePngError<EPngError>(png_text::CannotAssignChunk);
    Keyword = text->Keyword;
    Text = text->Text;
}

bool TChunkzTXt::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunktEXt::LoadFromStream(stream, chunkType, size);
    if (!result || size < 4) return result;
    SplitKeyword();
    Text.clear();
    // After the keyword's zero byte: the method byte, then the compressed text.
    const size_t keyLength = Keyword.size();
    if (keyLength + 2 > size || Payload()[keyLength + 1] != 0) return result;
    std::vector<uint8_t> plain;
    std::string error;
    if (InflateBuffer(Payload() + keyLength + 2, size - keyLength - 2, plain, error))
        Text.assign(plain.begin(), plain.end());
    return result;
}

bool TChunkzTXt::SaveToStream(TStream& stream) {
    if (Text.empty()) Text = " ";
    std::vector<uint8_t> packed;
    std::string error;
    if (!DeflateBuffer(reinterpret_cast<const uint8_t*>(Text.data()), Text.size(), Owner()->DeflateLevel(),
                       packed, error))
        return false;
    ResizePayload(static_cast<uint32_t>(Keyword.size() + 2 + packed.size()));
    std::memcpy(Payload(), Keyword.data(), Keyword.size());
    if (!packed.empty()) std::memcpy(Payload() + Keyword.size() + 2, packed.data(), packed.size());
    return TChunk::SaveToStream(stream);
}
