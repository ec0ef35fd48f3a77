#pragma once
// Format in the class library's manner: "%s %d %x %u %%" with optional "-", width and ".precision".
// A directive whose argument is missing or of the wrong kind raises EConvertError, never reads past.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

class FormatArg {
public:
    using Value = std::variant<int64_t, uint64_t, double, std::string>;

    template <typename T>
    requires std::is_integral_v<T> FormatArg(T v) {
        if constexpr (std::is_signed_v<T>)
            value_ = static_cast<int64_t>(v);
        else
            value_ = static_cast<uint64_t>(v);
    }
    FormatArg(double v) : value_(v) {}
    FormatArg(const char* v) : value_(std::string(v ? v : "")) {}
    FormatArg(std::string_view v) : value_(std::string(v)) {}
    FormatArg(const std::string& v) : value_(v) {}

    const Value& Held() const { return value_; }

private:
    Value value_;
};

std::string FormatArgs(std::string_view format, const std::vector<FormatArg>& args);

template <typename... Args> std::string Format(std::string_view format, const Args&... args) {
    return FormatArgs(format, std::vector<FormatArg>{FormatArg(args)...});
}
