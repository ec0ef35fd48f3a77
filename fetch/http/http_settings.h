#pragma once
// The option sets and the proxy, range and time-out settings of the HTTP client.
#include "platform/rtl/persistent.h"

#include <cstdint>
#include <string>

enum TCacheOption {
    coAlwaysReload,
    coReloadIfNoExpireInformation,
    coReloadUpdatedObjects,
    coPragmaNoCache,
    coNoCacheWrite,
    coCreateTempFilesIfCantCache,
    coUseCacheIfNetFail
};
enum TInternetOption {
    ioIgnoreCertificateInvalid,
    ioIgnoreCertificateDateInvalid,
    ioIgnoreRedirectToHTTP,
    ioIgnoreRedirectToHTTPS,
    ioKeepConnection,
    ioNoAuthentication,
    ioNoAutoRedirect,
    ioNoCookies
};
// Sets of the enumerations above, one bit per member (bit = 1 << member).
using TCacheOptions = uint32_t;
using TInternetOptions = uint32_t;
constexpr uint32_t OptionBit(int member) {
    return 1u << member;
}

enum TWinHTTPRequestMethod { rmAutoDetect, rmGET, rmPOST };
enum TWinHTTPAccessType { atPreconfig, atDirect, atUseProxy };

// The request flags of a set of options.
uint32_t CacheOptionFlags(TCacheOptions Options);
uint32_t InternetOptionFlags(TInternetOptions Options);
// The open type of an access type.
uint32_t AccessTypeValue(TWinHTTPAccessType AccessType);

class TWinHTTPProxy : public TPersistent {
public:
    std::string ClassName() const override { return "TWinHTTPProxy"; }
    // Nothing restores the defaults; another proxy is copied whole.
    void Assign(TPersistent* Source) override;

    TWinHTTPAccessType AccessType = atPreconfig;
    int ProxyPort = 8080;
    std::string ProxyServer;
    std::string ProxyBypass = "127.0.0.1;";
    std::string ProxyUsername;
    std::string ProxyPassword;

    // ProxyServer and ProxyBypass are stored only for an explicit proxy.
    bool ServerStored() const { return AccessType == atUseProxy; }
};

class TWinHTTPRange : public TPersistent {
public:
    std::string ClassName() const override { return "TWinHTTPRange"; }
    void Assign(TPersistent* Source) override;

    uint32_t StartRange = 0;
    uint32_t EndRange = 0;
};

// Milliseconds; 0 keeps the network layer's own finite default.
class TWinHTTPTimeouts : public TPersistent {
public:
    std::string ClassName() const override { return "TWinHTTPTimeouts"; }
    void Assign(TPersistent* Source) override;

    uint32_t ConnectTimeout = 0;
    uint32_t ReceiveTimeout = 0;
    uint32_t SendTimeout = 0;
    // The longest a transfer may take in all; 0 keeps the network layer's limit for a page in memory and
    // sets none for a body written to a file.
    uint32_t TotalTimeout = 0;
};
