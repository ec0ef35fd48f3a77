#include "fetch/http/http_file_stream.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

TWinHTTPFileStream::TWinHTTPFileStream(const std::string& FileName, bool CreateAlways) {
    fd_ = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | (CreateAlways ? O_TRUNC : 0), 0644);
    if (fd_ < 0) throw EFCreateError(Format(rtl_text::FCreateError, FileName));
}

TWinHTTPFileStream::~TWinHTTPFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TWinHTTPFileStream::Read(void* buffer, int64_t count) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
        if (n >= 0 || errno != EINTR) return n < 0 ? 0 : n;
    }
}

int64_t TWinHTTPFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TWinHTTPFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fd_, offset, whence);
    return r < 0 ? -1 : r;
}

void TWinHTTPFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, size) != 0) throw EStreamError(rtl_text::WriteError);
}
