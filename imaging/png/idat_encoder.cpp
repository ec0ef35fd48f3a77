#include "imaging/png/chunk_idat.h"

#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_utils.h"
#include "imaging/png/row_coding.h"
#include "imaging/png/zlib_buffer.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace {

// Deflates into a buffer of `limit` bytes and writes each full buffer as one IDAT chunk.
class IdatWriter {
public:
    IdatWriter(TStream& stream, int level, uint32_t limit) : stream_(stream), output_(limit) {
        const int rc = deflateInit(&z_, level);
        if (rc != Z_OK) RaiseZlib(rc);
        ResetOutput();
    }
    ~IdatWriter() { deflateEnd(&z_); }
    IdatWriter(const IdatWriter&) = delete;
    IdatWriter& operator=(const IdatWriter&) = delete;

    void Write(const uint8_t* data, size_t count) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(count);
        while (z_.avail_in > 0) {
            const int rc = deflate(&z_, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib(rc);
            if (z_.avail_out == 0) Flush();
        }
    }

    void Finish() {
        for (;;) {
            const int rc = deflate(&z_, Z_FINISH);
            if (rc == Z_STREAM_END) break;
            if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib(rc);
            if (z_.avail_out != 0) RaiseZlib(Z_BUF_ERROR); // no progress and yet not finished
            Flush();
        }
        if (z_.avail_out < output_.size()) Flush();
    }

private:
    void ResetOutput() {
        z_.next_out = output_.data();
        z_.avail_out = static_cast<uInt>(output_.size());
    }

    void Flush() {
        const uint32_t length = static_cast<uint32_t>(output_.size() - z_.avail_out);
        uint8_t head[8];
        WriteBigEndian32(head, length);
        std::memcpy(head + 4, "IDAT", 4);
        stream_.WriteBuffer(head, 8);
        stream_.WriteBuffer(output_.data(), length);
        uint8_t crc[4];
        WriteBigEndian32(crc, ~UpdateCrc32(UpdateCrc32(0xFFFFFFFFu, "IDAT", 4), output_.data(), length));
        stream_.WriteBuffer(crc, 4);
        ResetOutput();
    }

    TStream& stream_;
    std::vector<uint8_t> output_;
    z_stream z_{};
};

// The filter candidates of one row and the choice among them.
class RowFilterer {
public:
    RowFilterer(uint8_t filters, size_t maxBytes) : filters_(filters) {
        for (int f = 0; f < 5; ++f)
            if (f == 0 || (filters_ & (1u << f))) rows_[f].assign(maxBytes, 0);
        raw_.assign(maxBytes, 0);
    }
    uint8_t* Raw() { return raw_.data(); }
    void ClearPrevious() { std::fill(rows_[0].begin(), rows_[0].end(), uint8_t(0)); }

    // Filters Raw() against the previous raw row and answers the chosen filter; its bytes are Row(filter).
    uint8_t Choose(size_t bytes, size_t pixelStep) {
        for (int f = 1; f < 5; ++f)
            if (filters_ & (1u << f))
                FilterRow(TPngRowFilter(f), raw_.data(), rows_[0].data(), rows_[f].data(), bytes, pixelStep);
        std::copy_n(raw_.begin(), bytes, rows_[0].begin()); // the None candidate and the next previous row
        if (filters_ == 0 || filters_ == (1u << prfNone)) return prfNone;
        uint8_t choice = prfNone;
        size_t best = 0;
        for (int f = 0; f < 5; ++f) {
            if (!(filters_ & (1u << f))) continue;
            if (filters_ == (1u << f)) return uint8_t(f);
            const uint8_t* r = rows_[f].data();
            const size_t score = FilterScore(r, bytes);
            if (score > best) {
                best = score;
                choice = uint8_t(f);
            }
        }
        return choice;
    }
    const uint8_t* Row(uint8_t filter) const { return rows_[filter].data(); }

private:
    uint8_t filters_;
    std::vector<uint8_t> rows_[5];
    std::vector<uint8_t> raw_;
};

} // namespace

bool TChunkIDAT::SaveToStream(TStream& stream) {
    TPNGObject& image = *Owner();
    TChunkIHDR& header = HeaderOf();
    // 2-bit images are held as 4-bit ones and go out as such, whether or not the header was written first.
    const uint8_t depth = header.BitDepth() == 2 ? 4 : header.BitDepth();
    const EncodeCopier copy = SelectEncodeCopier(header.ColorType(), depth);
    uint32_t unused = 0, pixelStep = 0;
    image.RowLayout(unused, pixelStep);
    const size_t rowLength = SampleBytesFor(header.Width(), header.ColorType(), depth);
    if (!copy || rowLength == 0) RaisePngError<EPNGHeaderNotPresent>(png_text::HeaderNotPresent);

    const uint32_t width = header.Width(), height = header.Height();
    const uint8_t* alphaPlane = header.AlphaPlane();
    RowFilterer filterer(image.RowFilters(), rowLength);
    IdatWriter writer(stream, image.DeflateLevel(), image.IdatChunkLimit());
    const auto& inverse = image.InverseGammaLookup();
    auto writeRow = [&](size_t bytes) {
        const uint8_t filter = filterer.Choose(bytes, pixelStep);
        writer.Write(&filter, 1);
        writer.Write(filterer.Row(filter), bytes);
    };
    if (image.InterlaceKind() == 1) {
        for (const Adam7Pass& pass : kAdam7) {
            if (pass.column >= width) continue;
            const uint32_t count = (width - pass.column + pass.columnStep - 1) / pass.columnStep;
            const size_t bytes = SampleBytesFor(count, header.ColorType(), depth);
            filterer.ClearPrevious();
            for (uint32_t y = pass.row; y < height; y += pass.rowStep) {
                copy(header.RowAddress(y), alphaPlane ? alphaPlane + size_t(y) * width : nullptr, count,
                     pass.column, pass.columnStep, filterer.Raw(), inverse.data());
                writeRow(bytes);
            }
        }
    } else {
        for (uint32_t y = 0; y < height; ++y) {
            copy(header.RowAddress(y), alphaPlane ? alphaPlane + size_t(y) * width : nullptr, width, 0, 1,
                 filterer.Raw(), inverse.data());
            writeRow(rowLength);
        }
    }
    writer.Finish();
    return true;
}
