// Control-connection bytes in arbitrary pieces: lines, multi-line tracking and the values replies
// carry must never read or write out of bounds nor let the buffer outgrow its capacity.
#include "ftp/ftp_reply.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    ftpreply::LineAssembler assembler;
    assembler.SetAcceptLF((data[0] & 1) != 0);
    const size_t piece = 1 + (data[0] >> 1);
    ftpreply::ReplyTracker tracker;
    std::string line;
    bool tooLong = false;
    for (size_t pos = 1; pos < size;) {
        const size_t n = std::min({piece, size - pos, assembler.Room()});
        assembler.Append(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
        while (assembler.NextLine(line, tooLong)) {
            if (tooLong) continue;
            int code = 0;
            tracker.Take(ftpreply::WithoutLineEnd(line), code);
            uint32_t address = 0;
            uint16_t port = 0;
            if (ftpreply::ParsePassive(line, address, port) && port == 0) std::abort();
            ftpreply::QuotedDirectory(line);
            ftpreply::NumberAfterCode(line);
        }
        if (assembler.Room() == 0 && n == 0) std::abort(); // a full buffer must always yield a line
    }
    return 0;
}
