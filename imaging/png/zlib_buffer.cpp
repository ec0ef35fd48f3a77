#include "imaging/png/zlib_buffer.h"

#include "imaging/png/png_errors.h"

#include <zlib.h>

std::string ZlibErrorText(int code) {
    switch (code) {
    case Z_VERSION_ERROR:
        return "incompatible version (-6)";
    case Z_BUF_ERROR:
        return "buffer error (-5)";
    case Z_MEM_ERROR:
        return "insufficient memory (-4)";
    case Z_DATA_ERROR:
        return "data error (-3)";
    case Z_STREAM_ERROR:
        return "stream error (-2)";
    case Z_ERRNO:
        return "file error (-1)";
    case Z_OK:
        return "(0)";
    case Z_STREAM_END:
        return "stream end (1)";
    case Z_NEED_DICT:
        return "need dictionary (2)";
    default:
        return "(" + std::to_string(code) + ")";
    }
}

void RaiseZlib(int code) {
    RaisePngError<EPNGZLIBError>(std::string(png_text::ZLIBError) + ZlibErrorText(code));
}

namespace {
std::string MessageOf(const z_stream& z, int code) {
    return z.msg ? std::string(z.msg) : ZlibErrorText(code);
}
} // namespace

bool InflateBuffer(const uint8_t* input, size_t size, std::vector<uint8_t>& output, std::string& errorText,
                   size_t limit) {
    output.clear();
    errorText.clear();
    z_stream z{};
    int rc = inflateInit(&z);
    if (rc != Z_OK) {
        errorText = ZlibErrorText(rc);
        return false;
    }
    z.next_in = const_cast<Bytef*>(input);
    z.avail_in = static_cast<uInt>(size);
    uint8_t chunk[4096];
    bool ok = false;
    for (;;) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        const size_t produced = sizeof chunk - z.avail_out;
        if (output.size() + produced > limit) {
            errorText = "text too long";
            break;
        }
        output.insert(output.end(), chunk, chunk + produced);
        if (rc == Z_STREAM_END) {
            ok = true;
            break;
        }
        // Anything but progress (including a dictionary request or input running out) ends the stream.
        if (rc != Z_OK || (produced == 0 && z.avail_in == 0)) {
            errorText = MessageOf(z, rc == Z_OK ? Z_BUF_ERROR : rc);
            break;
        }
    }
    inflateEnd(&z);
    if (!ok) output.clear();
    return ok;
}

bool DeflateBuffer(const uint8_t* input, size_t size, int level, std::vector<uint8_t>& output,
                   std::string& errorText) {
    output.clear();
    errorText.clear();
    z_stream z{};
    int rc = deflateInit(&z, level);
    if (rc != Z_OK) {
        errorText = ZlibErrorText(rc);
        return false;
    }
    z.next_in = const_cast<Bytef*>(input);
    z.avail_in = static_cast<uInt>(size);
    uint8_t chunk[4096];
    bool ok = false;
    for (;;) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = deflate(&z, Z_FINISH);
        output.insert(output.end(), chunk, chunk + (sizeof chunk - z.avail_out));
        if (rc == Z_STREAM_END) {
            ok = true;
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            errorText = MessageOf(z, rc);
            break;
        }
        if (rc == Z_BUF_ERROR && z.avail_out != 0) { // no progress possible
            errorText = MessageOf(z, rc);
            break;
        }
    }
    deflateEnd(&z);
    if (!ok) output.clear();
    return ok;
}
