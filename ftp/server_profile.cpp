#include "ftp/server_profile.h"

#include "ftp/crypto_fix.h"
#include "ftp/stored_text.h"

#include "platform/rtl/format.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"

#include <charconv>

namespace {

using namespace ftpprofile;

std::string KeyPath(const std::string& Name) {
    return std::string(ProfilesKey) + "\\" + Name;
}

bool IsBookmarkName(const std::string& Name) {
    const std::string prefix = BookmarkPrefix;
    if (Name.size() <= prefix.size() || !SameText(Name.substr(0, prefix.size()), prefix)) return false;
    for (size_t i = prefix.size(); i < Name.size(); ++i)
        if (Name[i] < '0' || Name[i] > '9') return false;
    return true;
}

std::string Owner(const std::string& Profile) {
    return "Server profile \"" + Profile + "\"";
}

// A strict decimal number; anything else gives the default and a warning.
int ReadNumber(TRegistry& Reg, const char* ValueName, const char* Default, const std::string& Profile,
               std::vector<std::string>* Warnings) {
    std::string text =
        ReadText(Reg, ValueName, Owner(Profile), std::string("it is read as ") + Default, Warnings);
    if (text.empty()) text = Default;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc() && ptr == end) return value;
    if (Warnings)
        Warnings->push_back(Format("Server profile \"%s\": the value %s \"%s\" is not a number; %s is used.",
                                   Profile, ValueName, text, Default));
    std::from_chars(Default, Default + std::char_traits<char>::length(Default), value);
    return value;
}

// Reads the open key in the order the profiles have always been read. A value of another type than text
// reads as a missing one, but for the name, which is then the key's own, so that a save writes the
// profile back where it is.
void ReadProfile(TRegistry& Reg, const std::string& KeyName, JDServerData& P,
                 std::vector<std::string>* Warnings) {
    const std::string owner = Owner(KeyName);
    const auto text = [&](const char* Name) {
        return ReadText(Reg, Name, owner, "it is read as empty", Warnings);
    };
    const auto flag = [&](const char* Name) {
        return RegStrToBool(ReadText(Reg, Name, owner, "it is read as off", Warnings));
    };
    P = JDServerData();
    P.HostName = text("HostName");
    if (!Reg.ValueExists("ItemName")) {
        P.ItemName = P.HostName;
    } else if (HoldsText(Reg, "ItemName")) {
        P.ItemName = Reg.ReadString("ItemName");
    } else {
        WarnNotText(Reg, "ItemName", owner, "the name of its key is used", Warnings);
        P.ItemName = KeyName;
    }
    P.Password = UnscramblePassword(text("Password"));
    P.HostDirName = text("HostDirName");
    P.LocalDirName = text("LocalDirName");
    P.Username = text("Username");
    P.Comment = text("Comment");
    P.Anonymous = flag("Anonymous");
    P.PassiveMode = flag("PassiveMode");
    P.SavePassword = flag("SavePassword");
    P.Port = ReadNumber(Reg, "Port", "21", KeyName, Warnings);
    P.Timeout = ReadNumber(Reg, "Timeout", "60", KeyName, Warnings);
    P.UseNoop = flag("UseNoop");
    P.Secure = flag("Secure");
    P.Protocol = ReadNumber(Reg, "Protocol", "0", KeyName, Warnings);
}

// The bookmarks up to the first that is empty or missing; one of another type is left out.
void ReadBookmarks(TRegistry& Reg, const std::string& KeyName, JDServerData& P,
                   std::vector<std::string>* Warnings) {
    for (int i = 0;; ++i) {
        const std::string name = BookmarkPrefix + std::to_string(i);
        if (!HoldsText(Reg, name)) {
            WarnNotText(Reg, name, Owner(KeyName), "it is left out", Warnings);
            continue;
        }
        const std::string mark = Reg.ReadString(name);
        if (mark.empty()) break;
        P.Bookmarks.push_back(mark);
    }
}

} // namespace

std::string BoolToRegStr(bool Value) {
    return Value ? "1" : "0";
}

bool RegStrToBool(const std::string& Text) {
    return Text == "1";
}

bool SameProfileName(const std::string& A, const std::string& B) {
    return SameText(A, B);
}

bool IsValidProfileName(const std::string& Name) {
    if (Name.empty()) return false;
    for (char c : Name)
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

std::string ProfileKeyName(const JDServerData& Profile, size_t Index) {
    return Profile.ItemName.empty() ? UntitledPrefix + std::to_string(Index) : Profile.ItemName;
}

std::vector<std::string> ServerProfileNames() {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(ProfilesKey)) return {};
    return reg.KeyNames();
}

bool LoadServerProfile(const std::string& Name, JDServerData& Profile, std::vector<std::string>* Warnings) {
    Profile = JDServerData();
    if (!IsValidProfileName(Name)) return false;
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.KeyExists(KeyPath(Name)) || !reg.OpenKeyReadOnly(KeyPath(Name))) return false;
    ReadProfile(reg, Name, Profile, Warnings);
    return true;
}

std::string ServerStoreProblem() {
    TRegistry reg;
    const std::string problem = reg.StoreProblem();
    return problem.empty() ? problem : "The server profiles could not be read. " + problem + ".";
}

std::string ProfileNotLoadedText(const std::string& Name) {
    const std::string problem = ServerStoreProblem();
    if (!problem.empty()) return problem + " Nothing was uploaded.";
    return "Server profile \"" + Name + "\" not found; nothing was uploaded.";
}

std::vector<JDServerData> LoadServerProfiles(std::vector<std::string>* Warnings,
                                             std::vector<std::string>* Keys) {
    std::vector<JDServerData> profiles;
    if (const std::string problem = ServerStoreProblem(); !problem.empty() && Warnings)
        Warnings->push_back(problem);
    for (const std::string& name : ServerProfileNames()) {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(KeyPath(name))) continue;
        JDServerData& p = profiles.emplace_back();
        if (Keys) Keys->push_back(name);
        ReadProfile(reg, name, p, Warnings);
        ReadBookmarks(reg, name, p, Warnings);
    }
    return profiles;
}

void SaveServerProfiles(const std::vector<JDServerData>& Profiles) {
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.OpenKey(ProfilesKey, true);
        reg.CloseKey();
    }
    for (size_t i = 0; i < Profiles.size(); ++i) {
        const JDServerData& p = Profiles[i];
        const std::string name = ProfileKeyName(p, i);
        if (!IsValidProfileName(name))
            throw ERegistryException(Format("\"%s\" cannot be the name of a server profile.", name));
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey(KeyPath(name), true))
            throw ERegistryException(Format("Failed to create key %s", KeyPath(name)));
        for (const std::string& value : reg.ValueNames())
            if (IsBookmarkName(value)) reg.DeleteValue(value);
        reg.WriteString("ItemName", p.ItemName);
        reg.WriteString("HostName", p.HostName);
        reg.WriteString("Username", p.Username);
        reg.WriteString("Port", std::to_string(p.Port));
        reg.WriteString("Timeout", std::to_string(p.Timeout));
        reg.WriteString("LocalDirName", p.LocalDirName);
        reg.WriteString("HostDirName", p.HostDirName);
        reg.WriteString("Anonymous", BoolToRegStr(p.Anonymous));
        reg.WriteString("PassiveMode", BoolToRegStr(p.PassiveMode));
        reg.WriteString("SavePassword", BoolToRegStr(p.SavePassword));
        reg.WriteString("Secure", BoolToRegStr(p.Secure));
        reg.WriteString("Comment", p.Comment);
        reg.WriteString("UseNoop", BoolToRegStr(p.UseNoop));
        reg.WriteString("Protocol", std::to_string(p.Protocol));
        reg.WriteString("Password", p.SavePassword ? ScramblePassword(p.Password) : std::string());
        for (size_t b = 0; b < p.Bookmarks.size(); ++b)
            reg.WriteString(BookmarkPrefix + std::to_string(b), p.Bookmarks[b]);
        reg.CloseKey();
    }
}

bool DeleteServerProfile(const std::string& ItemName) {
    if (!IsValidProfileName(ItemName)) return false;
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    const bool removed = reg.DeleteKey(KeyPath(ItemName));
    reg.CloseKey();
    return removed;
}

std::string UnsupportedProtocolText(const JDServerData& Profile) {
    static const char* const names[] = {"FTP", "SFTP", "FTP + SSL", "FTP + SSL + Data", "FTP + SSL Implicit"};
    if (Profile.Protocol == 0 && !Profile.Secure) return {};
    const std::string kind = Profile.Protocol > 0 && Profile.Protocol < 5 ? names[Profile.Protocol]
                             : Profile.Protocol != 0                      ? "an unknown connection type"
                                                                          : "a secure connection";
    return Format("The server profile \"%s\" asks for %s, which this program cannot make; nothing was sent, "
                  "so that the password does not go out in clear. Choose the connection type FTP to upload.",
                  Profile.ItemName, kind);
}
