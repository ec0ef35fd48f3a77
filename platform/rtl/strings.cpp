#include "platform/rtl/strings.h"

#include "platform/rtl/exception.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool Blank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool ParseInt64(std::string_view s, int64_t& out) {
    size_t b = 0, e = s.size();
    while (b < e && Blank(s[b]))
        ++b;
    while (e > b && Blank(s[e - 1]))
        --e;
    s = s.substr(b, e - b);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    uint64_t mag = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), mag, base);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    if (base == 16 && !negative) {
        out = static_cast<int64_t>(mag); // hexadecimal may name the full 64-bit pattern
        return true;
    }
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                    : uint64_t(std::numeric_limits<int64_t>::max());
    if (mag > limit) return false;
    out = negative ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag);
    return true;
}
} // namespace

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = Upper(c);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = Lower(c);
    return r;
}

int CompareText(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(Upper(a[i]));
        const auto y = static_cast<unsigned char>(Upper(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && Blank(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && Blank(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    const size_t p = s.find(sub);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags) {
    if (oldPattern.empty()) return std::string(s);
    const bool ignoreCase = flags & rfIgnoreCase;
    const std::string hay = ignoreCase ? UpperCase(s) : std::string(s);
    const std::string needle = ignoreCase ? UpperCase(oldPattern) : std::string(oldPattern);
    std::string out;
    size_t from = 0;
    while (true) {
        const size_t p = hay.find(needle, from);
        if (p == std::string::npos) break;
        out.append(s.substr(from, p - from));
        out.append(newPattern);
        from = p + needle.size();
        if (!(flags & rfReplaceAll)) break;
    }
    out.append(s.substr(from));
    return out;
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

std::string IntToHex(uint64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits < 0 ? 0 : (digits > 16 ? 16 : digits),
                  static_cast<unsigned long long>(value));
    return buf;
}

bool TryStrToInt(std::string_view s, int& value) {
    int64_t v = 0;
    if (!ParseInt64(s, v)) return false;
    // Hexadecimal up to $FFFFFFFF names a 32-bit pattern, as colours are written.
    if (v > std::numeric_limits<int>::max() && v <= 0xFFFFFFFFLL &&
        s.find_first_of("$xX") != std::string_view::npos)
        v = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view s) {
    int v = 0;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int StrToIntDef(std::string_view s, int defaultValue) {
    int v = 0;
    return TryStrToInt(s, v) ? v : defaultValue;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v = 0;
    if (!ParseInt64(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64Def(std::string_view s, int64_t defaultValue) {
    int64_t v = 0;
    return ParseInt64(s, v) ? v : defaultValue;
}

std::string FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    // The class library writes exponents without a plus sign or leading zeros: 1E20, 1E-5.
    std::string s = buf;
    const size_t e = s.find('E');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        std::string exp = s.substr(e + 1);
        bool neg = !exp.empty() && exp[0] == '-';
        if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) exp.erase(0, 1);
        while (exp.size() > 1 && exp[0] == '0')
            exp.erase(0, 1);
        s = mant + "E" + (neg ? "-" : "") + exp;
    }
    return s;
}

bool TryStrToFloat(std::string_view s, double& value) {
    const std::string t = Trim(s);
    if (t.empty()) return false;
    double v = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    value = v;
    return true;
}

double StrToFloat(std::string_view s) {
    double v = 0;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}
