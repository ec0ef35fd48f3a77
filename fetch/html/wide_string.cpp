#include "fetch/html/wide_string.h"

#include <algorithm>
#include <cstring>

#include "fetch/html/case_fold_table.h"

char16_t WideCharFold(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c < 0xB5) return c;
    const auto* first = html_tables::kCaseFold;
    const auto* last = first + html_tables::kCaseFoldCount;
    const auto* it = std::lower_bound(first, last, c,
                                      [](const html_tables::FoldPair& p, char16_t v) { return p.from < v; });
    return (it != last && it->from == c) ? it->to : c;
}

bool SameWideStr(const std::u16string& a, const std::u16string& b) {
    return a == b;
}

static bool SameUnitsI(const char16_t* a, const char16_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i] && WideCharFold(a[i]) != WideCharFold(b[i])) return false;
    return true;
}

bool SameWideStrI(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && SameUnitsI(a.data(), b.data(), a.size());
}

bool SameWideBuf(const char16_t* buf, size_t len, const std::u16string& s) {
    return s.size() == len && (len == 0 || std::memcmp(buf, s.data(), len * 2) == 0);
}

bool SameWideBufI(const char16_t* buf, size_t len, const std::u16string& s) {
    return s.size() == len && SameUnitsI(buf, s.data(), len);
}

size_t PosChar(const std::u16string& s, char16_t ch, size_t start) {
    if (start == 0 || start > s.size()) return 0;
    size_t p = s.find(ch, start - 1);
    return p == std::u16string::npos ? 0 : p + 1;
}

size_t LastPosChar(const std::u16string& s, char16_t ch, size_t start) {
    if (s.empty() || start > s.size()) return 0;
    size_t from = start == 0 ? s.size() - 1 : start - 1;
    size_t p = s.rfind(ch, from);
    return p == std::u16string::npos ? 0 : p + 1;
}

size_t PosWideStr(const std::u16string& sub, const std::u16string& s, size_t start) {
    if (sub.empty() || s.empty() || start == 0 || start > s.size() || sub.size() > s.size() - (start - 1))
        return 0;
    size_t p = s.find(sub, start - 1);
    return p == std::u16string::npos ? 0 : p + 1;
}

size_t PosWideStrI(const std::u16string& sub, const std::u16string& s, size_t start) {
    if (sub.empty() || s.empty() || start == 0 || start > s.size() || sub.size() > s.size() - (start - 1))
        return 0;
    for (size_t i = start - 1; i + sub.size() <= s.size(); ++i)
        if (SameUnitsI(s.data() + i, sub.data(), sub.size())) return i + 1;
    return 0;
}

bool AnyCharFrom(const std::u16string& s, TWideCharPredicate pred, size_t start) {
    if (start == 0 || start > s.size()) return false;
    return std::any_of(s.begin() + static_cast<std::ptrdiff_t>(start - 1), s.end(), pred);
}

bool AllCharsFrom(const std::u16string& s, TWideCharPredicate pred, size_t start) {
    if (start == 0 || start > s.size()) return false;
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(start - 1), s.end(), pred);
}

size_t PosNotMatching(const std::u16string& s, TWideCharPredicate pred, size_t start) {
    if (start == 0 || start > s.size()) return 0;
    for (size_t i = start - 1; i < s.size(); ++i)
        if (!pred(s[i])) return i + 1;
    return 0;
}

void AppendWideBuf(const char16_t* buf, size_t count, std::u16string& s, size_t& len) {
    if (buf == nullptr || count == 0) return;
    size_t need = len + count;
    if (need > s.size()) s.resize((need + need / 2 + 3) & ~size_t{3});
    std::memcpy(s.data() + len, buf, count * 2);
    len = need;
}

void AppendWideStr(const std::u16string& src, std::u16string& s, size_t& len) {
    AppendWideBuf(src.data(), src.size(), s, len);
}

size_t AppendWideChar(char16_t ch, std::u16string& s, size_t& len) {
    if (len + 1 > s.size()) s.resize((2 * len + 4) & ~size_t{3});
    s[len] = ch;
    return len++;
}

namespace {

inline void Mix(uint32_t& a, uint32_t& b, uint32_t& c) {
    a -= b;
    a -= c;
    a ^= (c >> 13);
    b -= c;
    b -= a;
    b ^= (a << 8);
    c -= a;
    c -= b;
    c ^= (b >> 13);
    a -= b;
    a -= c;
    a ^= (c >> 12);
    b -= c;
    b -= a;
    b ^= (a << 16);
    c -= a;
    c -= b;
    c ^= (b >> 5);
    a -= b;
    a -= c;
    a ^= (c >> 3);
    b -= c;
    b -= a;
    b ^= (a << 10);
    c -= a;
    c -= b;
    c ^= (b >> 15);
}

inline uint32_t Word(const uint8_t* k) {
    return k[0] | (uint32_t{k[1]} << 8) | (uint32_t{k[2]} << 16) | (uint32_t{k[3]} << 24);
}

} // namespace

uint32_t HashBuf(const void* data, size_t byteCount, uint32_t initVal) {
    const auto* k = static_cast<const uint8_t*>(data);
    uint32_t a = 0x9E3779B9, b = 0x9E3779B9, c = initVal;
    size_t len = byteCount;
    while (len >= 12) {
        a += Word(k);
        b += Word(k + 4);
        c += Word(k + 8);
        Mix(a, b, c);
        k += 12;
        len -= 12;
    }
    c += static_cast<uint32_t>(byteCount);
    switch (len) {
    case 11:
        c += uint32_t{k[10]} << 24;
        [[fallthrough]];
    case 10:
        c += uint32_t{k[9]} << 16;
        [[fallthrough]];
    case 9:
        c += uint32_t{k[8]} << 8;
        [[fallthrough]];
    case 8:
        b += uint32_t{k[7]} << 24;
        [[fallthrough]];
    case 7:
        b += uint32_t{k[6]} << 16;
        [[fallthrough]];
    case 6:
        b += uint32_t{k[5]} << 8;
        [[fallthrough]];
    case 5:
        b += k[4];
        [[fallthrough]];
    case 4:
        a += uint32_t{k[3]} << 24;
        [[fallthrough]];
    case 3:
        a += uint32_t{k[2]} << 16;
        [[fallthrough]];
    case 2:
        a += uint32_t{k[1]} << 8;
        [[fallthrough]];
    case 1:
        a += k[0];
        [[fallthrough]];
    default:
        break;
    }
    Mix(a, b, c);
    return c;
}

uint32_t HashWideStr(const std::u16string& s, uint32_t initVal) {
    uint8_t small[64];
    if (s.size() * 2 <= sizeof small) {
        for (size_t i = 0; i < s.size(); ++i) {
            small[2 * i] = static_cast<uint8_t>(s[i]);
            small[2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
        }
        return HashBuf(small, s.size() * 2, initVal);
    }
    std::string bytes(s.size() * 2, '\0');
    for (size_t i = 0; i < s.size(); ++i) {
        bytes[2 * i] = static_cast<char>(s[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(s[i] >> 8);
    }
    return HashBuf(bytes.data(), bytes.size(), initVal);
}

uint32_t HashWideBufI(const char16_t* buf, size_t count, uint32_t initVal) {
    auto pair = [&](size_t i) -> uint32_t {
        uint32_t lo = i < count ? WideCharFold(buf[i]) : 0;
        uint32_t hi = i + 1 < count ? WideCharFold(buf[i + 1]) : 0;
        return lo | (hi << 16);
    };
    uint32_t a = 0x9E3779B9, b = 0x9E3779B9, c = initVal;
    size_t i = 0;
    for (; i + 6 <= count; i += 6) {
        a += pair(i);
        b += pair(i + 2);
        c += pair(i + 4);
        Mix(a, b, c);
    }
    c += static_cast<uint32_t>(count);
    // The tail: folded units fill a, b and c's upper part as zero-padded pairs; c keeps its low
    // half for the count, so the last unit of a full tail goes in shifted.
    size_t rest = count - i;
    if (rest > 0) a += pair(i);
    if (rest > 2) b += pair(i + 2);
    if (rest > 4) c += uint32_t{WideCharFold(buf[i + 4])} << 16;
    Mix(a, b, c);
    return c;
}

uint32_t HashWideStrI(const std::u16string& s, uint32_t initVal) {
    return HashWideBufI(s.data(), s.size(), initVal);
}
