#pragma once
// The output file of a transfer: created anew, or opened to continue an earlier download.
#include "platform/rtl/stream.h"

#include <string>

class TWinHTTPFileStream : public TStream {
public:
    // Raises EFCreateError with the file name when the file cannot be opened.
    TWinHTTPFileStream(const std::string& FileName, bool CreateAlways);
    ~TWinHTTPFileStream() override;
    std::string ClassName() const override { return "TWinHTTPFileStream"; }

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int Handle() const { return fd_; }

private:
    int fd_ = -1;
};
