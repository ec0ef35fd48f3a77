#include "imaging/png/chunk_idat.h"

#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_utils.h"
#include "imaging/png/row_coding.h"
#include "imaging/png/zlib_buffer.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

namespace {

constexpr size_t kInputBlock = 65535;

// Inflates the data of consecutive IDAT chunks straight from the stream, checking each chunk's CRC.
class IdatReader {
public:
    IdatReader(TStream& stream, uint32_t firstSize) : stream_(stream), input_(kInputBlock) {
        position_ = stream.Position();
        streamSize_ = stream.Size();
        chunkEnd_ = position_ + firstSize;
        crc_ = UpdateCrc32(0xFFFFFFFFu, "IDAT", 4);
        const int rc = inflateInit(&z_);
        if (rc != Z_OK) RaiseZlib(rc);
    }
    ~IdatReader() { inflateEnd(&z_); }
    IdatReader(const IdatReader&) = delete;
    IdatReader& operator=(const IdatReader&) = delete;

    // Fills count bytes; raises when the data cannot supply them.
    void ReadRow(uint8_t* buffer, size_t count) {
        z_.next_out = buffer;
        z_.avail_out = static_cast<uInt>(count);
        while (z_.avail_out > 0) {
            if (z_.avail_in == 0) {
                if (position_ == chunkEnd_) {
                    // zlib may hold back the end of its stream until asked once more without input.
                    const uInt before = z_.avail_out;
                    const int rc = inflate(&z_, Z_NO_FLUSH);
                    if (rc == Z_STREAM_END && z_.avail_out == 0) break;
                    if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib(rc);
                    if (z_.avail_out != before) continue;
                    CheckChunkCrc();
                    NextChunk();
                    continue;
                }
                Refill();
            }
            const int rc = inflate(&z_, Z_NO_FLUSH);
            // The end of the zlib stream, or a dictionary request, before the last row is as broken as an
            // error: inflate would only repeat it.
            if (rc == Z_STREAM_END && z_.avail_out == 0) break;
            if (rc != Z_OK) RaiseZlib(rc);
        }
    }

    // Reads and checks the rest of the current chunk and every IDAT chunk straight after it, leaving the
    // stream at the next chunk.
    void Finish() {
        while (position_ < chunkEnd_)
            Refill();
        CheckChunkCrc();
        for (;;) {
            uint8_t head[8];
            const int64_t got = stream_.Read(head, 8);
            if (got != 8 || std::string(reinterpret_cast<char*>(head + 4), 4) != "IDAT") {
                stream_.Seek(-std::max<int64_t>(got, 0), soCurrent);
                return;
            }
            position_ += 8;
            BeginChunk(ReadBigEndian32(head));
            while (position_ < chunkEnd_)
                Refill();
            CheckChunkCrc();
        }
    }

private:
    void Refill() {
        const size_t want = static_cast<size_t>(std::min<int64_t>(chunkEnd_ - position_, kInputBlock));
        if (stream_.Read(input_.data(), int64_t(want)) != int64_t(want))
            RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        crc_ = UpdateCrc32(crc_, input_.data(), want);
        position_ += int64_t(want);
        z_.next_in = input_.data();
        z_.avail_in = static_cast<uInt>(want);
    }

    void CheckChunkCrc() {
        uint8_t stored[4];
        if (stream_.Read(stored, 4) != 4) RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        position_ += 4;
        if (ReadBigEndian32(stored) != ~crc_) RaisePngError<EPngInvalidCRC>(png_text::InvalidCRC);
    }

    void NextChunk() {
        uint8_t head[8];
        if (stream_.Read(head, 8) != 8) RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        position_ += 8;
        if (std::string(reinterpret_cast<char*>(head + 4), 4) != "IDAT")
            RaisePngError<EPNGMissingMultipleIDAT>(png_text::MissingMultipleIDAT);
        BeginChunk(ReadBigEndian32(head));
    }

    void BeginChunk(uint32_t length) {
        if (length > kMaxChunkLength || int64_t(length) + 4 > streamSize_ - position_)
            RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        crc_ = UpdateCrc32(0xFFFFFFFFu, "IDAT", 4);
        chunkEnd_ = position_ + length;
    }

    TStream& stream_;
    std::vector<uint8_t> input_;
    z_stream z_{};
    uint32_t crc_ = 0;
    int64_t position_ = 0;
    int64_t streamSize_ = 0;
    int64_t chunkEnd_ = 0;
};

// Two row buffers used in turn; the filter byte comes first.
class RowPair {
public:
    explicit RowPair(size_t maxBytes)
        : rows_{std::vector<uint8_t>(maxBytes + 1 + kRowSlack),
                std::vector<uint8_t>(maxBytes + 1 + kRowSlack)} {}
    uint8_t* Current() { return rows_[current_].data(); }
    uint8_t* Previous() { return rows_[current_ ^ 1].data(); }
    void Toggle() { current_ ^= 1; }
    void ClearPrevious(size_t bytes) { std::fill_n(Previous(), bytes + 1, uint8_t(0)); }

private:
    std::vector<uint8_t> rows_[2];
    int current_ = 0;
};

} // namespace

bool TChunkIDAT::LoadFromStream(TStream& stream, const std::string&, uint32_t size) {
    TPNGObject& image = *Owner();
    TChunkIHDR& header = HeaderOf();
    const auto& gamma = image.GammaLookup();
    if (header.UsesColorTable() && (header.ColorType() == 0 || header.ColorType() == 4)) {
        const unsigned n = 1u << header.BitCount();
        for (unsigned i = 0; i < n; ++i) {
            const uint8_t level = gamma[(i * 255 + (n - 1) / 2) / (n - 1)];
            header.ColorTable()[i] = {level, level, level, 0};
        }
    }
    bool identity = true;
    for (int i = 0; i < 256; ++i)
        identity = identity && gamma[i] == i;
    const DecodeCopier copy = SelectDecodeCopier(header.ColorType(), header.BitDepth(), identity);
    uint32_t rowLength = 0, pixelStep = 0;
    image.RowLayout(rowLength, pixelStep);
    if (!copy || rowLength == 0) RaisePngError<EPngInvalidIHDR>(png_text::InvalidIHDR);

    const uint32_t width = header.Width(), height = header.Height();
    uint8_t* alphaPlane = header.AlphaPlane();
    IdatReader reader(stream, size);
    RowPair rows(rowLength);
    rows.ClearPrevious(rowLength);
    if (image.InterlaceKind() == 0) {
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = rows.Current();
            reader.ReadRow(row, size_t(rowLength) + 1);
            UnfilterRow(row[0], row + 1, rows.Previous() + 1, rowLength, pixelStep);
            copy(row + 1, width, 0, 1, header.RowAddress(y),
                 alphaPlane ? alphaPlane + size_t(y) * width : nullptr, gamma.data());
            rows.Toggle();
        }
    } else if (image.InterlaceKind() == 1) {
        for (const Adam7Pass& pass : kAdam7) {
            if (pass.column >= width) continue;
            const uint32_t count = (width - pass.column + pass.columnStep - 1) / pass.columnStep;
            const size_t bytes = SampleBytesFor(count, header.ColorType(), header.BitDepth());
            rows.ClearPrevious(bytes);
            for (uint32_t y = pass.row; y < height; y += pass.rowStep) {
                uint8_t* row = rows.Current();
                reader.ReadRow(row, bytes + 1);
                UnfilterRow(row[0], row + 1, rows.Previous() + 1, bytes, pixelStep);
                copy(row + 1, count, pass.column, pass.columnStep, header.RowAddress(y),
                     alphaPlane ? alphaPlane + size_t(y) * width : nullptr, gamma.data());
                rows.Toggle();
            }
        }
    }
    reader.Finish();
    return true;
}
