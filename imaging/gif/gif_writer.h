#pragma once
// Output side of the encoders: a stream that packs bytes into GIF data sub-blocks, and the base
// encoder with its bit bucket and pixel walk.
#include "imaging/gif/gif_types.h"
#include "platform/rtl/stream.h"

#include <cstdint>

// A write-only stream; reading or seeking it is refused.
class TGIFStream : public TStream {
public:
    explicit TGIFStream(TStream& stream) : stream_(stream) {}
    std::string ClassName() const override { return "TGIFStream"; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    TGIFWarning OnWarning;

protected:
    TStream& stream_;
    uint8_t buffer_[256] = {};
    int bufferCount_ = 1;
};

// Sub-blocks of up to 255 bytes. Flush must be called before destruction: the destructor never
// writes, so a failing stream cannot throw from it.
class TGIFWriter : public TGIFStream {
public:
    using TGIFStream::TGIFStream;
    std::string ClassName() const override { return "TGIFWriter"; }
    int64_t Write(const void* buffer, int64_t count) override;
    void WriteByte(uint8_t value) {
        needFlush_ = true;
        buffer_[bufferCount_++] = value;
        if (bufferCount_ == 256) Flush();
    }
    void Flush();
    bool NeedFlush() const { return needFlush_; }

private:
    bool needFlush_ = false;
};

class TGIFEncoder : public TObject {
public:
    std::string ClassName() const override { return "TGIFEncoder"; }
    // Writes the minimum code size, the data sub-blocks and the terminator.
    void Encode(TStream& stream, int bitsPerPixel, int maxColor, const uint8_t* data, bool interlace,
                int height, int width);

    TGIFWarning OnWarning;

protected:
    virtual void Output(int code);
    virtual void Clear();
    virtual void DoCompress() = 0;

    // Moves to the next pixel in stream order; false when none is left.
    bool NextPixel() {
        ++pixel_;
        if (--pixelsLeft_ > 0) return true;
        return interlace_ && NextRow();
    }
    // The pixel value at the walk's position, checked against the colour count.
    int CurrentPixel() const;

    int maxColor_ = 0;
    int bitsPerPixel_ = 0;
    int width_ = 0, height_ = 0;
    bool interlace_ = false;
    const uint8_t* data_ = nullptr;
    TGIFWriter* writer_ = nullptr;
    uint32_t outputBucket_ = 0;
    int outputBits_ = 0;
    bool clearFlag_ = false;
    int bitSize_ = 0;
    int initialBitSize_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int eofCode_ = 0;
    int baseCode_ = 0;
    const uint8_t* pixel_ = nullptr;
    int64_t pixelsLeft_ = 0;
    int row_ = 0, pass_ = 0;

private:
    bool NextRow();
};
