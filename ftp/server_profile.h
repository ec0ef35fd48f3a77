#pragma once
// FTP server profiles: one key per profile under the Profiles key of the current user's registry, every
// value a string. Profile names follow the registry's own rule everywhere (ASCII letter case ignored),
// so a name that finds a key in the store finds it here too.
#include <string>
#include <vector>

namespace ftpprofile {
inline constexpr const char* ProfilesKey = "\\Software\\Quillmark Software\\Internet\\Profiles";
inline constexpr const char* ProxyKey = "\\Software\\Quillmark Software\\Internet\\Proxy";
inline constexpr const char* BookmarkPrefix = "Bookmark ";
inline constexpr const char* UntitledPrefix = "Untitled ";
// What anonymous logins send as their password.
inline constexpr const char* AnonymousPassword = "QuillmarkFTP@";
inline constexpr const char* DuplicateName =
    "A site with that name already exists, please choose another one.";
} // namespace ftpprofile

struct JDServerData {
    std::string HostName;
    std::string Username;
    std::string Password; // clear text; scrambled only in the store
    std::string HostDirName;
    std::string LocalDirName;
    std::string Comment;
    std::string ItemName;
    int Port = 0;
    int Protocol = 0; // 0 FTP, 1 SFTP, 2 FTP + SSL, 3 FTP + SSL + Data, 4 FTP + SSL Implicit
    int Timeout = 0;
    bool Anonymous = false;
    bool PassiveMode = true;
    bool SavePassword = false;
    bool Secure = false;
    bool UseNoop = false;
    std::vector<std::string> Bookmarks;
};

std::string BoolToRegStr(bool Value);
bool RegStrToBool(const std::string& Text);

// Same profile name by the store's rule.
bool SameProfileName(const std::string& A, const std::string& B);
// A name that can be a key of its own: not empty, no "\" (which would make it a path of keys), no
// control characters.
bool IsValidProfileName(const std::string& Name);
// The key name a record is written under: its ItemName, or "Untitled " + Index when that is empty.
std::string ProfileKeyName(const JDServerData& Profile, size_t Index);

// Names of the stored profiles, in the store's order (upper-cased names, ascending).
std::vector<std::string> ServerProfileNames();
// Fills Profile from the key Name (a fresh record when there is none) and answers whether the key
// exists. A value that is not a number, or not stored as text, loads with its default, and a line
// saying so joins Warnings.
bool LoadServerProfile(const std::string& Name, JDServerData& Profile,
                       std::vector<std::string>* Warnings = nullptr);
// Why no server profile can be read at all (their store is there but is a folder, a named pipe, a loop of
// links, not readable...), as a sentence naming the store; empty when they can be read.
std::string ServerStoreProblem();
// What an upload says of a profile LoadServerProfile did not find: that it is not there, or that the
// store could not be read; either way nothing was uploaded.
std::string ProfileNotLoadedText(const std::string& Name);
// Every stored profile with its bookmarks, in the store's order; a store that cannot be read says so in
// Warnings. Keys receives the name of the key each was read from (a key without an ItemName value is
// shown by its host name but lives under its own).
std::vector<JDServerData> LoadServerProfiles(std::vector<std::string>* Warnings = nullptr,
                                             std::vector<std::string>* Keys = nullptr);
// Writes every record; every old "Bookmark n" value of its key goes, not only those up to the first gap.
// ERegistryException when the store cannot be written; ERegistryException too for an ItemName that is not a
// valid name.
void SaveServerProfiles(const std::vector<JDServerData>& Profiles);
// Removes the profile's key; false (and nothing removed) for a name that is not a valid profile name
// or that no key has.
bool DeleteServerProfile(const std::string& ItemName);

// Empty when the upload can go ahead with this profile; otherwise why not (a protocol this program
// does not speak: the password must never go out in clear to a server meant to be reached securely).
std::string UnsupportedProtocolText(const JDServerData& Profile);
