#pragma once
// Read-only streams over data embedded in the program (images, cursors, form data). Resources are
// added at build time with pw_embed_resources() in CMake and found by name and type, both compared
// without regard to ASCII letter case.
#include "platform/rtl/stream.h"
#include "platform/rtl/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* RT_RCDATA = "RCDATA";
inline constexpr const char* RT_BITMAP = "BITMAP";

// Called by the generated registration code before main; the bytes must live for the whole run.
// A second resource with the same name and type is ignored.
void RegisterResource(const char* name, const char* type, const unsigned char* data, size_t size);
// The bytes of a resource; false when there is none of that name and type.
bool FindResourceData(std::string_view name, std::string_view type, const uint8_t*& data, size_t& size);

class TResourceStream : public TStream {
public:
    // instance is accepted for the class library's signature; there is one program image to search.
    // EResNotFound "Resource <name> not found" when it is missing.
    TResourceStream(HINSTANCE instance, const std::string& name, const std::string& type);
    std::string ClassName() const override { return "TResourceStream"; }

    int64_t Read(void* buffer, int64_t count) override;
    // Always raises EStreamError: resources are part of the program.
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(size_); }

    const uint8_t* Memory() const { return data_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    int64_t position_ = 0;
};
