#include "app/core/lm_files.h"

#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/regular_file.h"
#include "platform/rtl/strings.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

[[noreturn]] void RaiseInOut(int error) {
    switch (error) {
    case ENOENT:
        throw EInOutError("File not found");
    case EACCES:
    case EPERM:
        throw EInOutError("File access denied");
    default:
        throw EInOutError(Format("I/O error %d", error));
    }
}

} // namespace

bool AppendLine(const std::string& Text, const std::string& FileName) {
    const int fd = OpenRegularFile(FileName, O_WRONLY | O_APPEND);
    if (fd < 0) RaiseInOut(errno);
    const std::string line = Text + "\r\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            RaiseInOut(error);
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) RaiseInOut(errno);
    return true;
}

std::string ProgramFolder() {
    return ProgramDir();
}

std::string ModuleFolder() {
    return ProgramDir();
}

std::string IncludeBackslash(const std::string& S) {
    if (S.empty() || S.back() == '/') return S;
    return S + "/";
}

std::string ReadFileText(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead);
    std::string text;
    char buffer[65536];
    for (int64_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

bool HasInvalidFileNameChars(const std::string& Name) {
    return Name.find_first_of("\\/:*?\"<>|") != std::string::npos;
}

bool WriteStringToFile(const std::string& Text, const std::string& FileName) {
    WriteFileAtomically(FileName, Text);
    return true;
}

TDateTime FileDate(const std::string& FileName) {
    std::time_t modified = 0;
    if (!FileAge(FileName, modified)) return Now();
    return FileDateToDateTime(modified);
}
