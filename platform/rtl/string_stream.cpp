#include "platform/rtl/string_stream.h"

#include <algorithm>
#include <cstring>

int64_t TStringStream::Read(void* buffer, int64_t count) {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TStringStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t end = position_ + count;
    if (end > Size()) data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TStringStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    position_ = std::clamp<int64_t>(base + offset, 0, Size());
    return position_;
}

void TStringStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    position_ = std::min(position_, Size());
}

std::string TStringStream::ReadString(int64_t count) {
    std::string s(static_cast<size_t>(std::clamp<int64_t>(count, 0, Size() - position_)), '\0');
    Read(s.data(), static_cast<int64_t>(s.size()));
    return s;
}

void TStringStream::WriteString(std::string_view s) {
    Write(s.data(), static_cast<int64_t>(s.size()));
}
