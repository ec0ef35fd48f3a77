#include "imaging/gif/header.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/gif_io.h"
#include "platform/rtl/stream.h"

#include <cctype>
#include <cstring>

namespace {
bool IsSignature(const uint8_t* sig) {
    return std::toupper(sig[0]) == 'G' && std::toupper(sig[1]) == 'I' && std::toupper(sig[2]) == 'F';
}
} // namespace

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(this) {}

int TGIFHeader::GetVersion() const {
    return colorMap_.Optimized() || aspectRatio_ != 0 ? 2 : 1;
}

void TGIFHeader::LoadFromStream(TStream& stream) {
    int64_t start = stream.Position();
    uint8_t sig[6];
    gif::ReadCheck(stream, sig, 6);
    if (!IsSignature(sig)) {
        // Some containers put four bytes of their own before the signature.
        stream.SetPosition(start + 4);
        gif::ReadCheck(stream, sig, 6);
        if (!IsSignature(sig)) throw GIFException(gif_text::BadSignature);
    }
    uint8_t d[7];
    gif::ReadCheck(stream, d, 7);
    width_ = gif::ReadWord(d);
    height_ = gif::ReadWord(d + 2);
    flags_ = d[4];
    backgroundColorIndex_ = d[5];
    aspectRatio_ = d[6];
    if (flags_ & 0x80) {
        int count = 2 << (flags_ & 7);
        colorMap_.LoadFromStream(stream, count);
        colorMap_.SetOptimized((flags_ & 0x08) != 0);
    } else {
        colorMap_.Clear();
    }
}

void TGIFHeader::Prepare() {
    flags_ = colorMap_.Count() == 0 ? 0 : (colorMap_.Optimized() ? 0x88 : 0x80);
    if (flags_ && Image()) {
        flags_ |= static_cast<uint8_t>((Image()->GetColorResolution() << 4) & 0x70);
        flags_ |= static_cast<uint8_t>((Image()->GetBitsPerPixel() - 1) & 7);
    } else if (flags_) {
        flags_ |= static_cast<uint8_t>(((colorMap_.BitsPerPixel() - 1) << 4) & 0x70);
        flags_ |= static_cast<uint8_t>((colorMap_.BitsPerPixel() - 1) & 7);
    }
}

void TGIFHeader::SaveToStream(TStream& stream) {
    int version = Image() ? Image()->GetVersion() : GetVersion();
    if (version < 1 || version > 2) throw GIFException(gif_text::UnsupportedVersion);
    Prepare();
    uint8_t out[13];
    std::memcpy(out, version == 1 ? "GIF87a" : "GIF89a", 6);
    gif::PutWord(out + 6, width_);
    gif::PutWord(out + 8, height_);
    out[10] = flags_;
    out[11] = backgroundColorIndex_;
    out[12] = aspectRatio_;
    stream.WriteBuffer(out, 13);
    if (flags_ & 0x80) colorMap_.SaveToStream(stream, (flags_ & 7) + 1);
}

void TGIFHeader::Clear() {
    colorMap_.Clear();
    width_ = height_ = 0;
    flags_ = backgroundColorIndex_ = aspectRatio_ = 0;
}

void TGIFHeader::Assign(const TGIFHeader& source) {
    if (&source == this) return;
    colorMap_.Assign(source.colorMap_);
    width_ = source.width_;
    height_ = source.height_;
    flags_ = source.flags_;
    backgroundColorIndex_ = source.backgroundColorIndex_;
    aspectRatio_ = source.aspectRatio_;
}

void TGIFHeader::Assign(const TGIFColorMap& source) {
    Clear();
    colorMap_.Assign(source);
}
