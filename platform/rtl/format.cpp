#include "platform/rtl/format.h"

#include "platform/rtl/exception.h"

#include <cstdint>
#include <cstdio>

namespace {

struct Spec {
    bool left = false;
    int width = -1;
    int precision = -1;
    char kind = 0;
};

void Pad(std::string& out, const std::string& body, const Spec& spec) {
    const int fill =
        spec.width > static_cast<int>(body.size()) ? spec.width - static_cast<int>(body.size()) : 0;
    if (!spec.left) out.append(fill, ' ');
    out += body;
    if (spec.left) out.append(fill, ' ');
}

std::string FormatInteger(const FormatArg& arg, const Spec& spec) {
    const auto& v = arg.Held();
    std::string digits;
    bool negative = false;
    if (spec.kind == 'x') {
        uint64_t u = 0;
        if (auto p = std::get_if<int64_t>(&v))
            // Negative 32-bit values print as their two's complement, as the class library does.
            u = (*p < 0 && *p >= INT32_MIN) ? static_cast<uint32_t>(*p) : static_cast<uint64_t>(*p);
        else if (auto q = std::get_if<uint64_t>(&v))
            u = *q;
        else
            throw EConvertError("Format '%x' invalid or incompatible with argument");
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(u));
        digits = buf;
    } else {
        if (auto p = std::get_if<int64_t>(&v)) {
            negative = *p < 0;
            const uint64_t mag = negative ? 0 - static_cast<uint64_t>(*p) : static_cast<uint64_t>(*p);
            digits = std::to_string(mag);
        } else if (auto q = std::get_if<uint64_t>(&v)) {
            digits = std::to_string(*q);
        } else {
            throw EConvertError(std::string("Format '%") + spec.kind +
                                "' invalid or incompatible with argument");
        }
    }
    if (spec.precision > static_cast<int>(digits.size()))
        digits.insert(0, spec.precision - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

std::string FormatFloat(const FormatArg& arg, const Spec& spec) {
    double d = 0;
    if (auto p = std::get_if<double>(&arg.Held()))
        d = *p;
    else if (auto i = std::get_if<int64_t>(&arg.Held()))
        d = static_cast<double>(*i);
    else if (auto u = std::get_if<uint64_t>(&arg.Held()))
        d = static_cast<double>(*u);
    else
        throw EConvertError(std::string("Format '%") + spec.kind + "' invalid or incompatible with argument");
    char buf[64];
    const int prec = spec.precision < 0 ? 2 : spec.precision;
    std::snprintf(buf, sizeof buf, spec.kind == 'e' ? "%.*E" : "%.*f", prec, d);
    return buf;
}

} // namespace

std::string FormatArgs(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    out.reserve(format.size() + 16);
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Spec spec;
        size_t j = i + 1;
        if (j < format.size() && format[j] == '-') {
            spec.left = true;
            ++j;
        }
        auto number = [&](int& target) {
            if (j < format.size() && format[j] >= '0' && format[j] <= '9') {
                target = 0;
                while (j < format.size() && format[j] >= '0' && format[j] <= '9' && target < 100000)
                    target = target * 10 + (format[j++] - '0');
            }
        };
        number(spec.width);
        if (j < format.size() && format[j] == '.') {
            ++j;
            spec.precision = 0;
            number(spec.precision);
        }
        if (j >= format.size())
            throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
        spec.kind = static_cast<char>(format[j] | 0x20);
        if (next >= args.size())
            throw EConvertError("No argument for format '" + std::string(format.substr(i, j - i + 1)) + "'");
        const FormatArg& arg = args[next++];
        std::string body;
        switch (spec.kind) {
        case 's':
            if (auto s = std::get_if<std::string>(&arg.Held()))
                body = spec.precision >= 0 ? s->substr(0, spec.precision) : *s;
            else
                throw EConvertError("Format '%s' invalid or incompatible with argument");
            break;
        case 'd':
        case 'u':
        case 'x':
            body = FormatInteger(arg, spec);
            break;
        case 'f':
        case 'e':
            body = FormatFloat(arg, spec);
            break;
        default:
            throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
        }
        Pad(out, body, spec);
        i = j;
    }
    return out;
}
