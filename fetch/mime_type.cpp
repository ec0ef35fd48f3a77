#include "fetch/mime_type.h"

#include "platform/rtl/strings.h"

#include <array>

std::string MediaTypeOf(std::string_view contentType) {
    return std::string(contentType.substr(0, contentType.find(';')));
}

TMimeType MimeTypeOf(std::string_view mediaType) {
    const size_t slash = mediaType.find('/');
    if (slash == std::string_view::npos) return mimeUnknown;
    static constexpr std::array<std::string_view, 8> names{"application", "audio",     "image", "message",
                                                           "model",       "multipart", "text",  "video"};
    const std::string major = LowerCase(mediaType.substr(0, slash));
    for (size_t i = 0; i < names.size(); ++i)
        if (major == names[i]) return static_cast<TMimeType>(i + 1);
    return mimeUnknown;
}

std::string CharSetOf(std::string_view contentType) {
    size_t at = contentType.find(';');
    while (at != std::string_view::npos) {
        std::string_view rest = contentType.substr(at + 1);
        const size_t next = rest.find(';');
        const std::string param = Trim(rest.substr(0, next));
        const size_t eq = param.find('=');
        if (eq != std::string::npos && SameText(Trim(param.substr(0, eq)), "charset")) {
            std::string value = Trim(param.substr(eq + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return value;
        }
        at = next == std::string_view::npos ? next : at + 1 + next;
    }
    return {};
}
