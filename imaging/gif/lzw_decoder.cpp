#include "imaging/gif/lzw_decoder.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_io.h"
#include "platform/rtl/stream.h"

#include <memory>

namespace gif {
namespace {

constexpr int kTableSize = 4096;
constexpr int kStackSize = 8192;
// No valid string is longer than the table; a longer chain can only be a loop.
constexpr int kMaxChain = 4096;

class LzwDecoder {
public:
    LzwDecoder(TStream& stream, const std::function<void(const std::string&)>& warning)
        : stream_(stream), warning_(warning) {}

    void Start(int setCodeSize) {
        setCodeSize_ = setCodeSize;
        codeSize_ = setCodeSize + 1;
        clearCode_ = 1 << setCodeSize;
        endCode_ = clearCode_ + 1;
        maxCodeSize_ = 2 * clearCode_;
        maxCode_ = clearCode_ + 2;
    }

    int ReadValue() {
        if (sp_ > 0) return stack_[--sp_];
        return NextValue();
    }

private:
    void Warn(const char* text) {
        if (warning_) warning_(text);
    }

    int GetCode(int size) {
        if (fresh_) {
            fresh_ = false;
            return clearCode_;
        }
        if (curBit_ + size >= lastBit_) {
            if (done_) {
                if (curBit_ >= lastBit_) Underrun();
                return -1;
            }
            Refill();
            // Sub-blocks shorter than a code need more than one refill; a code cut off by the end
            // of the data is not read from stale buffer bytes.
            while (curBit_ + size > lastBit_ && !done_)
                Refill();
            if (curBit_ + size > lastBit_) {
                Underrun();
                return -1;
            }
        }
        int index = curBit_ >> 3;
        uint32_t bits = buf_[index] | (buf_[index + 1] << 8) | (buf_[index + 2] << 16);
        int code = static_cast<int>((bits >> (curBit_ & 7)) & ((1u << size) - 1));
        curBit_ += size;
        return code;
    }

    void Underrun() {
        if (!underrunWarned_) {
            underrunWarned_ = true;
            Warn(gif_text::BitBufferUnderrun);
        }
    }

    // Keeps the last two bytes (the unread bits of a code are never more) and appends a sub-block.
    void Refill() {
        buf_[0] = buf_[lastByte_ - 2];
        buf_[1] = buf_[lastByte_ - 1];
        int count = 0;
        std::optional<uint8_t> length = ReadByte(stream_);
        if (!length || *length == 0) {
            zeroBlock_ = length.has_value();
            done_ = true;
        } else {
            count = *length;
            int64_t got = stream_.Read(buf_ + 2, count);
            if (got < count) {
                Warn(gif_text::PrematureEnd);
                count = static_cast<int>(got);
                done_ = true;
            }
        }
        lastByte_ = 2 + count;
        curBit_ = curBit_ - lastBit_ + 16;
        lastBit_ = lastByte_ * 8;
    }

    void SkipBlocks() {
        for (;;) {
            std::optional<uint8_t> n = ReadByte(stream_);
            if (!n || *n == 0) break;
            if (stream_.Read(skip_, *n) < *n) break;
        }
        // The terminator is consumed: nothing further belongs to this frame.
        zeroBlock_ = true;
        done_ = true;
    }

    int EndOfData() {
        if (!zeroBlock_) SkipBlocks();
        return -2;
    }

    void Push(int value) { stack_[sp_++] = value; }

    int NextValue() {
        int code = GetCode(codeSize_);
        if (code < 0) return code;
        if (code == clearCode_) {
            for (int i = 0; i < clearCode_; ++i) {
                prefix_[i] = 0;
                suffix_[i] = i;
            }
            for (int i = clearCode_; i < kTableSize; ++i)
                prefix_[i] = suffix_[i] = 0;
            codeSize_ = setCodeSize_ + 1;
            maxCodeSize_ = 2 * clearCode_;
            maxCode_ = clearCode_ + 2;
            sp_ = 0;
            do
                code = GetCode(codeSize_);
            while (code == clearCode_);
            if (code == endCode_) return EndOfData();
            firstCode_ = oldCode_ = code;
            return code;
        }
        if (code == endCode_) return EndOfData();
        int inCode = code;
        if (code >= maxCode_) {
            Push(firstCode_);
            code = oldCode_;
        }
        int chain = 0;
        while (code >= clearCode_) {
            Push(suffix_[code]);
            if (prefix_[code] == code || ++chain > kMaxChain) throw GIFException(gif_text::CircularTable);
            code = prefix_[code];
        }
        firstCode_ = suffix_[code];
        Push(firstCode_);
        if (maxCode_ < kTableSize) {
            prefix_[maxCode_] = oldCode_;
            suffix_[maxCode_] = firstCode_;
            ++maxCode_;
            if (maxCode_ >= maxCodeSize_ && maxCodeSize_ <= kTableSize - 1) {
                maxCodeSize_ *= 2;
                ++codeSize_;
            }
        }
        oldCode_ = inCode;
        return stack_[--sp_];
    }

    TStream& stream_;
    const std::function<void(const std::string&)>& warning_;
    int setCodeSize_ = 0, codeSize_ = 0, clearCode_ = 0, endCode_ = 0;
    int maxCode_ = 0, maxCodeSize_ = 0;
    int firstCode_ = 0, oldCode_ = 0;
    int curBit_ = 0, lastBit_ = 0, lastByte_ = 2;
    bool fresh_ = true, done_ = false, zeroBlock_ = false, underrunWarned_ = false;
    int sp_ = 0;
    int prefix_[kTableSize] = {};
    int suffix_[kTableSize] = {};
    int stack_[kStackSize] = {};
    // Two bytes carried over, a sub-block, and slack so a code can always be read as three bytes.
    uint8_t buf_[2 + 255 + 4] = {};
    uint8_t skip_[255] = {};
};

} // namespace

void DecodeLZW(TStream& stream, const DecodeTarget& target,
               const std::function<void(const std::string&)>& warning) {
    std::optional<uint8_t> codeSize = ReadByte(stream);
    if (!codeSize) return;
    // Tables of 4096 codes cannot hold the codes of a larger minimum size.
    if (*codeSize > 11) throw GIFException(gif_text::InvalidData);
    auto decoder = std::make_unique<LzwDecoder>(stream, warning);
    decoder->Start(*codeSize);
    const int width = target.Width;
    const int height = target.Height;
    if (!target.Interlaced) {
        uint8_t* p = target.Data;
        uint8_t* end = p + static_cast<int64_t>(width) * height;
        while (p < end) {
            int v = decoder->ReadValue();
            if (v < 0) break;
            *p++ = static_cast<uint8_t>(v);
        }
    } else {
        int row = 0, step = 8, pass = 0;
        bool ended = false;
        for (int i = 0; i < height && !ended; ++i) {
            uint8_t* p = target.Data + static_cast<int64_t>(row) * width;
            for (int x = 0; x < width; ++x) {
                int v = decoder->ReadValue();
                if (v < 0) {
                    ended = true;
                    break;
                }
                p[x] = static_cast<uint8_t>(v);
            }
            row += step;
            while (row >= height && pass < 4) {
                if (pass > 0) step /= 2;
                ++pass;
                row = step / 2;
            }
        }
    }
    // Normally meets the end code, which moves the stream past the terminator.
    decoder->ReadValue();
}

} // namespace gif
