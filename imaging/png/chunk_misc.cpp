#include "imaging/png/chunk_misc.h"

#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_utils.h"

#include <algorithm>
#include <cmath>

TChunkgAMA::TChunkgAMA(TPNGObject* owner) : TChunk(owner) {
    SetChunkType("gAMA");
    SetGammaValue(1);
}

uint32_t TChunkgAMA::GammaValue() {
    if (PayloadSize() == 4) return ReadBigEndian32(Payload());
    SetGammaValue(1);
    return 1;
}

void TChunkgAMA::SetGammaValue(uint32_t value) {
    if (PayloadSize() != 4) ResizePayload(4);
    WriteBigEndian32(Payload(), value);
}

void TChunkgAMA::Assign(const TChunk& source) {
    const auto* gamma = dynamic_cast<const TChunkgAMA*>(&source);
    if (!gamma) RaisePngError<EPngError>(png_text::CannotAssignChunk);
    SetGammaValue(gamma->PayloadSize() == 4 ? ReadBigEndian32(gamma->Payload()) : 1);
}

bool TChunkgAMA::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    // A chunk of the wrong size holds no gamma: it must not darken the image as a gamma of 0.00001 would.
    if (size != 4) return result;
    // Unsigned: values of 2^31 and up are large gammas, not negative ones.
    const uint32_t value = GammaValue();
    if (value != 0) {
        auto& lookup = Owner()->GammaLookup();
        auto& inverse = Owner()->InverseGammaLookup();
        const long double exponent = 1.0L / (static_cast<long double>(value) / 100000.0L * 2.2L);
        lookup[0] = inverse[0] = 0; // black stays black whatever the exponent
        for (int i = 1; i < 256; ++i) {
            const long double power = std::exp(exponent * std::log(i / 255.0L));
            // Half to even, as the class library rounds.
            const long double g = std::clamp(std::nearbyint(power * 255.0L), 0.0L, 255.0L);
            lookup[i] = static_cast<uint8_t>(g);
            inverse[static_cast<uint8_t>(g)] = static_cast<uint8_t>(i);
        }
    }
    return result;
}

bool TChunktIME::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    if (size == 7) {
        const uint8_t* p = Payload();
        Year = static_cast<uint16_t>(p[0] * 256 + p[1]);
        Month = p[2];
        Day = p[3];
        Hour = p[4];
        Minute = p[5];
        Second = p[6];
    }
    return result;
}

void TChunktIME::Assign(const TChunk& source) {
    TChunk::Assign(source);
    if (const auto* time = dynamic_cast<const TChunktIME*>(&source)) {
        Year = time->Year;
        Month = time->Month;
        Day = time->Day;
        Hour = time->Hour;
        Minute = time->Minute;
        Second = time->Second;
    }
}

bool TChunktIME::SaveToStream(TStream& stream) {
    ResizePayload(7);
    uint8_t* p = Payload();
    p[0] = uint8_t(Year >> 8);
    p[1] = uint8_t(Year);
    p[2] = Month;
    p[3] = Day;
    p[4] = Hour;
    p[5] = Minute;
    p[6] = Second;
    return TChunk::SaveToStream(stream);
}
