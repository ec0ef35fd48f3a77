#pragma once
// Failures are exceptions that carry the text the user sees.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define PW_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };

PW_DECLARE_EXCEPTION(EStreamError, Exception)
PW_DECLARE_EXCEPTION(EFCreateError, EStreamError)
PW_DECLARE_EXCEPTION(EFOpenError, EStreamError)
PW_DECLARE_EXCEPTION(EFilerError, EStreamError)
PW_DECLARE_EXCEPTION(EReadError, EFilerError)
PW_DECLARE_EXCEPTION(EWriteError, EFilerError)
PW_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
PW_DECLARE_EXCEPTION(EResNotFound, Exception)
PW_DECLARE_EXCEPTION(EListError, Exception)
PW_DECLARE_EXCEPTION(EStringListError, Exception)
PW_DECLARE_EXCEPTION(EConvertError, Exception)
PW_DECLARE_EXCEPTION(EInOutError, Exception)
PW_DECLARE_EXCEPTION(EFindFileError, Exception)
PW_DECLARE_EXCEPTION(EOSError, Exception)
PW_DECLARE_EXCEPTION(EAbort, Exception)
PW_DECLARE_EXCEPTION(EOutOfMemory, Exception)
PW_DECLARE_EXCEPTION(EInvalidOperation, Exception)
PW_DECLARE_EXCEPTION(EInvalidArgument, Exception)

// The class library's message texts that more than one unit raises.
namespace rtl_text {
inline constexpr const char* FOpenError = "Cannot open file %s";
// With the reason: "Cannot open file /a/b: it is a folder".
inline constexpr const char* FOpenErrorBecause = "Cannot open file %s: %s";
inline constexpr const char* FCreateError = "Cannot create file %s";
inline constexpr const char* FCreateErrorBecause = "Cannot create file %s: %s";
inline constexpr const char* InvalidStreamFormat = "Invalid stream format";
inline constexpr const char* UnknownProperty = "Property %s does not exist";
inline constexpr const char* ListIndexError = "List index out of bounds (%d)";
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* ResNotFound = "Resource %s not found";
} // namespace rtl_text
