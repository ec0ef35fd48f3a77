#include "platform/rtl/stream.h"

#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"

#include <algorithm>
#include <cstring>
#include <string_view>

int64_t TStream::Size() {
    const int64_t here = Seek(0, soCurrent);
    const int64_t end = Seek(0, soEnd);
    Seek(here, soBeginning);
    return end;
}

void TStream::SetSize(int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || Read(buffer, count) != count) throw EReadError(rtl_text::ReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || Write(buffer, count) != count) throw EWriteError(rtl_text::WriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || position_ >= Size()) return 0;
    const int64_t n = std::min(count, Size() - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    // A write past the end leaves zeros between; the part past the end is appended, not first cleared.
    if (position_ > Size()) data_.resize(static_cast<size_t>(position_));
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const size_t over = static_cast<size_t>(std::min(count, Size() - position_));
    // An empty stream's memory may be null, which memcpy may not be given even for no bytes.
    if (over > 0) std::memcpy(data_.data() + position_, bytes, over);
    data_.insert(data_.end(), bytes + over, bytes + count);
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t target = offset;
    if (origin == soCurrent)
        target = position_ + offset;
    else if (origin == soEnd)
        target = Size() + offset;
    if (target < 0) target = 0;
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    position_ = std::min(position_, Size());
}

void TMemoryStream::Reserve(int64_t Size) {
    data_.reserve(static_cast<size_t>(std::max<int64_t>(Size, 0)));
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const int64_t n = stream.Size();
    data_.resize(static_cast<size_t>(n));
    if (n > 0) stream.ReadBuffer(data_.data(), n);
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) const {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    WriteFileAtomically(fileName,
                        std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size()));
}
