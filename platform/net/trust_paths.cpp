#include "platform/net/trust_paths.h"

#include "platform/net/net_texts.h"
#include "platform/rtl/format.h"
#include "platform/rtl/regular_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace net {
namespace {

std::string FolderProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? net_text::NoSuchFolder : std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return net_text::NotAFolder;
    if (::access(path.c_str(), R_OK | X_OK) != 0)
        return errno == EACCES ? net_text::FolderDenied : std::strerror(errno);
    return {};
}

} // namespace

const TrustPaths& EnvironmentTrust() {
    static const TrustPaths paths = [] {
        const auto read = [](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value ? value : "");
        };
        return TrustPaths{read("SSL_CERT_FILE"), read("SSL_CERT_DIR")};
    }();
    return paths;
}

std::string TrustProblem(const TrustPaths& trust) {
    if (!trust.file.empty()) {
        if (const std::string why = RegularFileProblem(trust.file); !why.empty())
            return Format(net_text::TrustFile, trust.file, why);
    }
    for (size_t from = 0; from < trust.folder.size();) {
        size_t end = trust.folder.find(':', from);
        if (end == std::string::npos) end = trust.folder.size();
        const std::string folder = trust.folder.substr(from, end - from);
        if (!folder.empty()) {
            if (const std::string why = FolderProblem(folder); !why.empty())
                return Format(net_text::TrustFolder, folder, why);
        }
        from = end + 1;
    }
    return {};
}

std::string RefusedTrust(const TrustPaths& trust) {
    if (trust.file.empty()) return net_text::OwnTrust;
    if (const std::string why = RegularFileProblem(trust.file); !why.empty())
        return Format(net_text::TrustFile, trust.file, why);
    struct stat st {};
    const bool empty = ::stat(trust.file.c_str(), &st) == 0 && st.st_size == 0;
    return Format(net_text::TrustFile, trust.file, empty ? net_text::TrustEmpty : net_text::TrustNotPem);
}

} // namespace net
