#include "imaging/png/chunk_palette.h"

#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"

#include <algorithm>
#include <cstring>

TChunkPLTE::TChunkPLTE(TPNGObject* owner) : TChunk(owner) {
    SetChunkType("PLTE");
}

bool TChunkPLTE::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    if (size % 3 != 0 || size / 3 > 256) RaisePngError<EPNGInvalidPalette>(png_text::InvalidPalette);
    entryCount_ = static_cast<int>(size / 3);
    const auto& gamma = Owner()->GammaLookup();
    auto& table = HeaderOf().ColorTable();
    const uint8_t* p = Payload();
    for (int i = 0; i < entryCount_; ++i) {
        table[i].rgbRed = gamma[p[3 * i]];
        table[i].rgbGreen = gamma[p[3 * i + 1]];
        table[i].rgbBlue = gamma[p[3 * i + 2]];
        table[i].rgbReserved = 0;
    }
    return result;
}

bool TChunkPLTE::SaveToStream(TStream& stream) {
    const auto& inverse = Owner()->InverseGammaLookup();
    const auto& table = HeaderOf().ColorTable();
    const int count = std::clamp(entryCount_, 0, 256);
    ResizePayload(static_cast<uint32_t>(count * 3));
    uint8_t* p = Payload();
    for (int i = 0; i < count; ++i) {
        p[3 * i] = inverse[table[i].rgbRed];
        p[3 * i + 1] = inverse[table[i].rgbGreen];
        p[3 * i + 2] = inverse[table[i].rgbBlue];
    }
    return TChunk::SaveToStream(stream);
}

const PngRgbQuad& TChunkPLTE::PaletteEntry(int index) const {
    if (index < 0 || index > entryCount_ - 1) RaisePngError<EPngError>(png_text::UnknownPalette);
    return HeaderOf().ColorTable()[static_cast<size_t>(index)];
}

void TChunkPLTE::Assign(const TChunk& source) {
    const auto* palette = dynamic_cast<const TChunkPLTE*>(&source);
    if (!palette) RaisePngError<EPngError>(png_text::CannotAssignChunk);
    entryCount_ = palette->entryCount_;
}

TChunktRNS::TChunktRNS(TPNGObject* owner) : TChunk(owner) {
    SetChunkType("tRNS");
}

bool TChunktRNS::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    if (size > 256) RaisePngError<EPNGInvalidPalette>(png_text::InvalidPalette);
    alphaTable_.fill(255);
    std::memcpy(alphaTable_.data(), Payload(), size);
    switch (HeaderOf().ColorType()) {
    case 0:
    case 2:
        oneColorTransparent_ = true;
        break;
    case 3: {
        int transparent = 0, opaque = 0;
        for (uint32_t i = 0; i < size; ++i) {
            transparent += alphaTable_[i] == 0;
            opaque += alphaTable_[i] == 255;
        }
        oneColorTransparent_ = transparent == 1 && transparent + opaque == static_cast<int>(size);
        break;
    }
    default:
        break;
    }
    return result;
}

bool TChunktRNS::SaveToStream(TStream& stream) {
    if (PayloadSize() <= 256) std::memcpy(Payload(), alphaTable_.data(), PayloadSize());
    return TChunk::SaveToStream(stream);
}

void TChunktRNS::Assign(const TChunk& source) {
    const auto* trns = dynamic_cast<const TChunktRNS*>(&source);
    if (!trns) RaisePngError<EPngError>(png_text::CannotAssignChunk);
    alphaTable_ = trns->alphaTable_;
    oneColorTransparent_ = trns->oneColorTransparent_;
    TChunk::Assign(source);
}

bool TChunktRNS::HasColorKey() const {
    switch (HeaderOf().ColorType()) {
    case 0:
        return PayloadSize() >= 2;
    case 2:
        return PayloadSize() >= 6;
    case 3:
        return oneColorTransparent_;
    default:
        return false;
    }
}

namespace {
// A 16-bit tRNS sample as the decoder stores a sample of that depth.
uint8_t StoredSample(const uint8_t* p, uint8_t bitDepth) {
    const unsigned sample = (unsigned(p[0]) << 8) | p[1];
    switch (bitDepth) {
    case 16:
        return uint8_t(sample >> 8);
    case 8:
        return uint8_t(sample);
    case 2:
        return uint8_t((sample & 3) * 5); // 2-bit grey is held as 4-bit levels 0, 5, 10, 15
    default:
        return uint8_t(sample & ((1u << bitDepth) - 1));
    }
}
} // namespace

bool TChunktRNS::StoredKey(uint32_t& key) const {
    if (!HasColorKey()) return false;
    const TChunkIHDR& header = HeaderOf();
    const uint8_t* p = Payload();
    switch (header.ColorType()) {
    case 0:
        key = StoredSample(p, header.BitDepth());
        return true;
    case 2: {
        const auto& gamma = Owner()->GammaLookup();
        const uint8_t r = gamma[StoredSample(p, header.BitDepth())];
        const uint8_t g = gamma[StoredSample(p + 2, header.BitDepth())];
        const uint8_t b = gamma[StoredSample(p + 4, header.BitDepth())];
        key = uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
        return true;
    }
    case 3:
        for (uint32_t i = 0; i < PayloadSize(); ++i)
            if (alphaTable_[i] == 0) {
                key = i;
                return true;
            }
        return false;
    default:
        return false;
    }
}

uint32_t TChunktRNS::KeyColor() const {
    uint32_t key = 0;
    if (!StoredKey(key)) return 0;
    if (HeaderOf().UsesColorTable()) {
        const PngRgbQuad& c = HeaderOf().ColorTable()[key & 0xFF];
        return uint32_t(c.rgbRed) | uint32_t(c.rgbGreen) << 8 | uint32_t(c.rgbBlue) << 16;
    }
    return ((key >> 16) & 0xFF) | (key & 0xFF00) | ((key & 0xFF) << 16);
}

void TChunktRNS::MakeColorTransparent(uint32_t color) {
    alphaTable_.fill(0);
    oneColorTransparent_ = true;
    const uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const TChunkIHDR& header = HeaderOf();
    switch (header.ColorType()) {
    case 0:
        ResizePayload(2);
        alphaTable_[1] = r;
        break;
    case 2:
        ResizePayload(6);
        alphaTable_[1] = r;
        alphaTable_[3] = g;
        alphaTable_[5] = b;
        break;
    case 3: {
        size_t index = 0;
        for (size_t i = 0; i < 256; ++i) {
            const PngRgbQuad& c = header.ColorTable()[i];
            if (c.rgbBlue == b && c.rgbGreen == g && c.rgbRed == r) {
                index = i;
                break;
            }
        }
        std::fill_n(alphaTable_.begin(), index, uint8_t(255));
        ResizePayload(static_cast<uint32_t>(index + 1));
        break;
    }
    default:
        return;
    }
    std::memcpy(Payload(), alphaTable_.data(), PayloadSize());
}
