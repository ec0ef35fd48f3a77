#pragma once
// The network layer's words for failures that are neither the server's nor the network's: certificate
// authorities the environment names, and the proxy between this computer and the server.
namespace net_text {
inline constexpr const char* TrustFile =
    "the certificate authorities file \"%s\" that SSL_CERT_FILE names cannot be used: %s";
inline constexpr const char* TrustFolder =
    "the certificate authorities folder \"%s\" that SSL_CERT_DIR names cannot be used: %s";
inline constexpr const char* TrustEmpty = "it is empty";
inline constexpr const char* TrustNotPem = "the TLS library found no certificate in it (it reads PEM text)";
inline constexpr const char* NoSuchFolder = "there is no such folder";
inline constexpr const char* NotAFolder = "it is not a folder";
inline constexpr const char* FolderDenied = "it may not be read (permission denied)";
inline constexpr const char* OwnTrust = "the certificate authorities to trust cannot be used";

// A proxy the environment names: "http://127.0.0.1:3128 (named by https_proxy)".
inline constexpr const char* ProxyNamedBy = "%s (named by %s)";
inline constexpr const char* UnnamedProxy = "in use";
inline constexpr const char* ProxyNotFound = "the host name of the proxy %s was not found";
inline constexpr const char* ProxyRefused = "the proxy %s refused the tunnel to the server: it answered %d";
inline constexpr const char* ProxyWantsLogin =
    "the proxy %s refused the tunnel to the server: it answered 407, asking for a user name and password";
inline constexpr const char* ProxyNotHttp =
    "the proxy %s answered the tunnel request with something that is not HTTP";
inline constexpr const char* ProxyClosed =
    "the proxy %s closed the connection without answering the tunnel request";
} // namespace net_text
