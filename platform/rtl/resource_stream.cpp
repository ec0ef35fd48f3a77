#include "platform/rtl/resource_stream.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {
struct Resource {
    std::string name;
    std::string type;
    const uint8_t* data;
    size_t size;
};

// The process-wide resource table; built on first use so registration order between units is moot.
struct ResourceTable {
    std::mutex lock;
    std::vector<Resource> entries;
};

ResourceTable& Table() {
    static ResourceTable t;
    return t;
}
} // namespace

void RegisterResource(const char* name, const char* type, const unsigned char* data, size_t size) {
    ResourceTable& t = Table();
    std::lock_guard guard(t.lock);
    for (const Resource& r : t.entries)
        if (SameText(r.name, name) && SameText(r.type, type)) return;
    t.entries.push_back(Resource{name, type, data, size});
}

bool FindResourceData(std::string_view name, std::string_view type, const uint8_t*& data, size_t& size) {
    ResourceTable& t = Table();
    std::lock_guard guard(t.lock);
    for (const Resource& r : t.entries)
        if (SameText(r.name, name) && SameText(r.type, type)) {
            data = r.data;
            size = r.size;
            return true;
        }
    return false;
}

TResourceStream::TResourceStream(HINSTANCE, const std::string& name, const std::string& type) {
    if (!FindResourceData(name, type, data_, size_)) throw EResNotFound(Format(rtl_text::ResNotFound, name));
}

int64_t TResourceStream::Read(void* buffer, int64_t count) {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    position_ = std::max<int64_t>(base + offset, 0);
    return position_;
}
