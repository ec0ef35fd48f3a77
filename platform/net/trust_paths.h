#pragma once
// The certificate authorities a user names for the system's TLS library (SSL_CERT_FILE, SSL_CERT_DIR), as
// programs built on it take them: libcurl itself knows only the paths it was built with.
#include <string>

namespace net {

struct TrustPaths {
    std::string file, folder; // the folder may list several, separated by ':'
};

// As the environment gave them when first asked.
const TrustPaths& EnvironmentTrust();

// What keeps them from being handed to the library, naming the variable, the path and why (a named pipe
// would hold the transfer for ever, a missing folder would be passed over without a word); empty when
// they can be.
std::string TrustProblem(const TrustPaths& trust);

// Why the library refused the file of a TrustPaths it was handed (empty, no certificate it can read).
std::string RefusedTrust(const TrustPaths& trust);

} // namespace net
