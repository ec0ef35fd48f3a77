#include "platform/rtl/file_stream.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        fd_ = OpenRegularFile(fileName, O_RDWR | O_CREAT | O_TRUNC, 0644);
        if (fd_ < 0) throw EFCreateError(Format(rtl_text::FCreateError, fileName));
        return;
    }
    int flags = 0;
    switch (mode & 3) {
    case fmOpenWrite:
        flags = O_WRONLY;
        break;
    case fmOpenReadWrite:
        flags = O_RDWR;
        break;
    default:
        flags = O_RDONLY;
    }
    fd_ = OpenRegularFile(fileName, flags);
    if (fd_ < 0) RaiseOpenError(fileName, errno);
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EStreamError("Stream size cannot be changed");
    if (Position() > size) SetPosition(size);
}
