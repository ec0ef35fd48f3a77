#include "ftp/proxy_settings.h"

#include "ftp/crypto_fix.h"
#include "ftp/ftp_client.h"
#include "ftp/server_profile.h"
#include "ftp/stored_text.h"
#include "platform/rtl/format.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"

TProxySettings LoadProxySettings(std::vector<std::string>* Warnings) {
    TProxySettings s;
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    // Read as empty, an unreadable store would send an upload around the proxy that may be set there.
    if (const std::string problem = reg.StoreProblem(); !problem.empty()) {
        if (Warnings) Warnings->push_back("The proxy settings could not be read. " + problem + ".");
        return s;
    }
    // Reading never writes: a store without the key has no proxy set.
    if (!reg.OpenKeyReadOnly(ftpprofile::ProxyKey)) return s;
    const auto text = [&](const char* Name) {
        return ftpprofile::ReadText(reg, Name, "Proxy settings", "it is read as empty", Warnings);
    };
    s.HostName = text("proxyhostname");
    s.Login = text("proxylogin");
    // The scrambler is its own inverse, so scrambling the stored text again gives the clear password.
    s.Password = ScramblePassword(text("proxypassword"));
    s.Port = text("proxyport");
    s.Type = text("proxytype");
    reg.CloseKey();
    return s;
}

void SaveProxySettings(const TProxySettings& Settings) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(ftpprofile::ProxyKey, true))
        throw ERegistryException(Format("Failed to create key %s", ftpprofile::ProxyKey));
    reg.WriteString("proxyhostname", Settings.HostName);
    reg.WriteString("proxylogin", Settings.Login);
    reg.WriteString("proxytype", Settings.Type);
    reg.WriteString("proxyport", Settings.Port);
    reg.WriteString("proxypassword", ScramblePassword(Settings.Password));
    reg.CloseKey();
}

std::string ApplyProxySettings(const TProxySettings& Settings, TCustomFtpCli& Client) {
    const std::string host = Trim(Settings.HostName);
    if (host.empty()) {
        Client.SetConnectionType(ftpDirect);
        return {};
    }
    TFtpConnectionType type;
    if (Settings.Type == "Socks4")
        type = ftpSocks4;
    else if (Settings.Type == "Socks4a")
        type = ftpSocks4A;
    else if (Settings.Type == "Socks5")
        type = ftpSocks5;
    else
        return Format("The proxy server %s is of the type \"%s\", through which this program cannot upload; "
                      "nothing was sent. Choose a SOCKS type in the proxy settings, or clear the proxy host "
                      "to connect directly.",
                      host, Settings.Type);
    int port = 0;
    if (!TryStrToInt(Settings.Port, port) || port <= 0 || port > 65535)
        return Format("The proxy server %s has no usable port (\"%s\"); nothing was sent.", host,
                      Settings.Port);
    Client.SetConnectionType(type);
    Client.SetSocksServer(host);
    Client.SetSocksPort(std::to_string(port));
    Client.SetSocksUserCode(Settings.Login);
    Client.SetSocksPassword(Settings.Password);
    return {};
}
