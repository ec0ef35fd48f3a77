#pragma once
// The proxy through which FTP uploads connect: kept in the registry, edited in the proxy window, and
// applied to every upload, so that a user who set a proxy is never sent around it.
#include <string>
#include <vector>

class TCustomFtpCli;

struct TProxySettings {
    std::string HostName;
    std::string Login;
    std::string Password; // clear text
    std::string Port;     // decimal text
    std::string Type;     // "Socks4", "Socks5", "Web Standard", "Relay" or "Socks4a"
};

// The proxy types the window offers, in its order.
inline constexpr const char* kProxyTypes[] = {"Socks4", "Socks5", "Web Standard", "Relay", "Socks4a"};

// Reads the proxy key; a missing key or value reads as empty, and the store is never written. A value
// not stored as text reads as empty too, and a line saying so joins Warnings, as does a store that is
// there but cannot be read.
TProxySettings LoadProxySettings(std::vector<std::string>* Warnings = nullptr);
// ERegistryException when the store cannot be written.
void SaveProxySettings(const TProxySettings& Settings);

// Sets Client's connection type and SOCKS values from Settings (direct when no proxy host is set).
// Empty on success; otherwise why the upload must not go ahead (a type this program cannot use for
// FTP, or no port), and Client is left as it was.
std::string ApplyProxySettings(const TProxySettings& Settings, TCustomFtpCli& Client);
