#include "ftp/crypto_fix.h"

const char* const kPasswordPassPhrase = "tamarind73kq)zp4.?wn8oxle;rb$%21948hjv%@#!pwlrkqmzhd;ouxc;ebnvyta";

namespace {

// Reflects b inside the range [base, base + size) around the key byte: k - x and k - (k - x) = x,
// so applying it twice gives b back, and no byte leaves its range (none becomes NUL).
unsigned char Reflect(unsigned char b, unsigned base, unsigned size, unsigned k) {
    const unsigned x = b - base;
    return static_cast<unsigned char>(base + (k + size - x % size) % size);
}

} // namespace

std::string CryptoFix(const std::string& Text, const std::string& PassPhrase, int) {
    std::string out = Text;
    if (PassPhrase.empty()) return out;
    const size_t n = PassPhrase.size();
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned k = static_cast<unsigned char>(PassPhrase[i % n]) + static_cast<unsigned>(i / n);
        const auto b = static_cast<unsigned char>(out[i]);
        if (b >= 0x20 && b <= 0x7E)
            out[i] = static_cast<char>(Reflect(b, 0x20, 95, k % 95));
        else if (b >= 0x80)
            out[i] = static_cast<char>(Reflect(b, 0x80, 128, k % 128));
        // Control bytes and DEL stay as they are.
    }
    return out;
}

std::string ScramblePassword(const std::string& Text) {
    return CryptoFix(Text, kPasswordPassPhrase, 1);
}

std::string UnscramblePassword(const std::string& Text) {
    return CryptoFix(Text, kPasswordPassPhrase, 0);
}
