#pragma once
// A stream over a string of bytes, for building or parsing text in memory.
#include "platform/rtl/stream.h"

#include <string>
#include <string_view>

class TStringStream : public TStream {
public:
    explicit TStringStream(std::string data = {}) : data_(std::move(data)) {}
    std::string ClassName() const override { return "TStringStream"; }

    int64_t Read(void* buffer, int64_t count) override;
    // Overwrites from the position on and grows the string only past its end.
    int64_t Write(const void* buffer, int64_t count) override;
    // Positions are kept within 0 .. Size.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override;

    const std::string& DataString() const { return data_; }
    // Up to count bytes from the position on.
    std::string ReadString(int64_t count);
    void WriteString(std::string_view s);

private:
    std::string data_;
    int64_t position_ = 0;
};
