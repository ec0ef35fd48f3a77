#include "imaging/gif/gif_writer.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_io.h"
#include "platform/rtl/scope_guard.h"

int64_t TGIFStream::Read(void*, int64_t) {
    throw Exception(gif_text::InvalidStreamOperation);
}

int64_t TGIFStream::Write(const void*, int64_t) {
    throw Exception(gif_text::InvalidStreamOperation);
}

int64_t TGIFStream::Seek(int64_t, TSeekOrigin) {
    throw Exception(gif_text::InvalidStreamOperation);
}

int64_t TGIFWriter::Write(const void* buffer, int64_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    for (int64_t i = 0; i < count; ++i)
        WriteByte(p[i]);
    return count;
}

void TGIFWriter::Flush() {
    if (bufferCount_ > 0) {
        buffer_[0] = static_cast<uint8_t>(bufferCount_ - 1);
        stream_.WriteBuffer(buffer_, bufferCount_);
    }
    bufferCount_ = 1;
    needFlush_ = false;
}

void TGIFEncoder::Encode(TStream& stream, int bitsPerPixel, int maxColor, const uint8_t* data, bool interlace,
                         int height, int width) {
    maxColor_ = maxColor;
    bitsPerPixel_ = bitsPerPixel < 2 ? 2 : bitsPerPixel;
    data_ = data;
    interlace_ = interlace;
    height_ = height;
    width_ = width;
    initialBitSize_ = bitsPerPixel_ + 1;
    gif::WriteByte(stream, static_cast<uint8_t>(bitsPerPixel_));
    bitSize_ = initialBitSize_;
    maxCode_ = (1 << bitSize_) - 1;
    clearCode_ = 1 << bitsPerPixel_;
    eofCode_ = clearCode_ + 1;
    baseCode_ = clearCode_ + 2;
    outputBucket_ = 0;
    outputBits_ = 0;
    pixelsLeft_ = interlace ? width : static_cast<int64_t>(width) * height;
    row_ = pass_ = 0;
    pixel_ = data;
    TGIFWriter writer(stream);
    writer.OnWarning = OnWarning;
    {
        // The writer is a local: the encoder forgets it however the compression ends.
        writer_ = &writer;
        const ScopeGuard forget([this] { writer_ = nullptr; });
        if (data && height >= 1 && width >= 1) DoCompress();
        Output(eofCode_);
        if (writer.NeedFlush()) writer.Flush();
    }
    gif::WriteByte(stream, 0);
}

bool TGIFEncoder::NextRow() {
    static constexpr int kStep[4] = {8, 8, 4, 2};
    static constexpr int kStart[4] = {0, 4, 2, 1};
    pixelsLeft_ = width_;
    row_ += kStep[pass_];
    while (row_ >= height_) {
        if (++pass_ > 3) return false;
        row_ = kStart[pass_];
    }
    pixel_ = data_ + static_cast<int64_t>(row_) * width_;
    return true;
}

int TGIFEncoder::CurrentPixel() const {
    int c = *pixel_;
    if (c >= maxColor_) throw GIFException(gif_text::ColorNotInTable);
    return c;
}

void TGIFEncoder::Output(int code) {
    outputBucket_ |= static_cast<uint32_t>(code) << outputBits_;
    outputBits_ += bitSize_;
    while (outputBits_ >= 8) {
        writer_->WriteByte(static_cast<uint8_t>(outputBucket_ & 0xFF));
        outputBucket_ >>= 8;
        outputBits_ -= 8;
    }
    if (code == eofCode_ && outputBits_ > 0) {
        writer_->WriteByte(static_cast<uint8_t>(outputBucket_ & 0xFF));
        outputBucket_ = 0;
        outputBits_ = 0;
    }
}

void TGIFEncoder::Clear() {
    clearFlag_ = true;
    Output(clearCode_);
}
