#pragma once
// Media types as the fetcher classes them, and the pieces of a Content-Type value it reads.
#include <cstdint>
#include <string>
#include <string_view>

enum TMimeType {
    mimeUnknown,
    mimeApplication,
    mimeAudio,
    mimeImage,
    mimeMessage,
    mimeModel,
    mimeMultipart,
    mimeText,
    mimeVideo
};
// A set of TMimeType: bit (1 << member).
using TDownloadFileTypes = uint32_t;
constexpr TDownloadFileTypes MimeBit(TMimeType type) {
    return 1u << type;
}

// The media type of a Content-Type value: the text before the first ";", unchanged.
std::string MediaTypeOf(std::string_view contentType);
// The class of a media type by the text before its "/" (any letter case).
TMimeType MimeTypeOf(std::string_view mediaType);
// The charset parameter of a Content-Type value, without quotes; empty when there is none.
std::string CharSetOf(std::string_view contentType);
