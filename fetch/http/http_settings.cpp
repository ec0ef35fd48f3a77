#include "fetch/http/http_settings.h"

#include "platform/net/wininet.h"

uint32_t CacheOptionFlags(TCacheOptions Options) {
    static constexpr uint32_t flags[] = {INTERNET_FLAG_RELOAD,           INTERNET_FLAG_HYPERLINK,
                                         INTERNET_FLAG_RESYNCHRONIZE,    INTERNET_FLAG_PRAGMA_NOCACHE,
                                         INTERNET_FLAG_NO_CACHE_WRITE,   INTERNET_FLAG_NEED_FILE,
                                         INTERNET_FLAG_CACHE_IF_NET_FAIL};
    uint32_t result = 0;
    for (int i = coAlwaysReload; i <= coUseCacheIfNetFail; ++i)
        if (Options & OptionBit(i)) result |= flags[i];
    return result;
}

uint32_t InternetOptionFlags(TInternetOptions Options) {
    static constexpr uint32_t flags[] = {
        INTERNET_FLAG_IGNORE_CERT_CN_INVALID,  INTERNET_FLAG_IGNORE_CERT_DATE_INVALID,
        INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP, INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS,
        INTERNET_FLAG_KEEP_CONNECTION,         INTERNET_FLAG_NO_AUTH,
        INTERNET_FLAG_NO_AUTO_REDIRECT,        INTERNET_FLAG_NO_COOKIES};
    uint32_t result = 0;
    for (int i = ioIgnoreCertificateInvalid; i <= ioNoCookies; ++i)
        if (Options & OptionBit(i)) result |= flags[i];
    return result;
}

uint32_t AccessTypeValue(TWinHTTPAccessType AccessType) {
    switch (AccessType) {
    case atDirect:
        return INTERNET_OPEN_TYPE_DIRECT;
    case atUseProxy:
        return INTERNET_OPEN_TYPE_PROXY;
    default:
        return INTERNET_OPEN_TYPE_PRECONFIG;
    }
}

void TWinHTTPProxy::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        AccessType = atPreconfig;
        ProxyPort = 8080;
        ProxyServer.clear();
        ProxyBypass = "127.0.0.1;";
        ProxyUsername.clear();
        ProxyPassword.clear();
        return;
    }
    if (auto* other = dynamic_cast<TWinHTTPProxy*>(Source)) {
        AccessType = other->AccessType;
        ProxyPort = other->ProxyPort;
        ProxyServer = other->ProxyServer;
        ProxyBypass = other->ProxyBypass;
        ProxyUsername = other->ProxyUsername;
        ProxyPassword = other->ProxyPassword;
        return;
    }
    TPersistent::Assign(Source);
}

void TWinHTTPRange::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        StartRange = EndRange = 0;
        return;
    }
    if (auto* other = dynamic_cast<TWinHTTPRange*>(Source)) {
        StartRange = other->StartRange;
        EndRange = other->EndRange;
        return;
    }
    TPersistent::Assign(Source);
}

void TWinHTTPTimeouts::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        ConnectTimeout = ReceiveTimeout = SendTimeout = TotalTimeout = 0;
        return;
    }
    if (auto* other = dynamic_cast<TWinHTTPTimeouts*>(Source)) {
        ConnectTimeout = other->ConnectTimeout;
        ReceiveTimeout = other->ReceiveTimeout;
        SendTimeout = other->SendTimeout;
        TotalTimeout = other->TotalTimeout;
        return;
    }
    TPersistent::Assign(Source);
}
