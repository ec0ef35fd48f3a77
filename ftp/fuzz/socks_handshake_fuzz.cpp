// A proxy's replies in arbitrary pieces, for every SOCKS level with and without authentication: the
// handshake must stay inside its buffer, never ask for more than it can hold, and end each attempt
// in a failure code or a connection.
#include "ftp/socks_handshake.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const char* const kLevels[] = {"4", "4A", "5", "5"};
    socks::Request request;
    request.level = kLevels[data[0] & 3];
    request.authenticate = (data[0] & 4) != 0;
    request.usercode = std::string(data[1] % 8, 'u');
    request.password = "pw";
    request.host = "host.example";
    request.port = 21;
    const size_t piece = 1 + (data[0] >> 3);
    socks::Handshake h;
    h.Begin(request);
    h.Start();
    for (size_t pos = 2; pos < size;) {
        const size_t wanted = h.Wanted();
        if (wanted > socks::Handshake::kBufferSize) std::abort();
        if (wanted == 0) break;
        const size_t n = std::min({piece, size - pos, wanted});
        const socks::Outcome out = h.Take(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
        if (out.connected && out.failCode) std::abort();
        if (out.connected || out.failCode) {
            h.Begin(request);
            h.Start();
        }
    }
    return 0;
}
