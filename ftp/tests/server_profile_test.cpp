#include "ftp/crypto_fix.h"
#include "ftp/ftp_client.h"
#include "ftp/proxy_settings.h"
#include "ftp/server_profile.h"
#include "platform/rtl/registry.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

using testsupport::TempDir;

class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFile(dir_.File("registry.dat")); }
    void TearDown() override { SetRegistryStoreFile(""); }

    // Writes raw values into a profile key, as another version or a hand edit left them.
    static void WriteRaw(const std::string& Key,
                         std::initializer_list<std::pair<const char*, std::string>> Values) {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(std::string(ftpprofile::ProfilesKey) + "\\" + Key, true));
        for (const auto& [name, value] : Values)
            reg.WriteString(name, value);
        reg.CloseKey();
    }
    static std::string ReadRaw(const std::string& Key, const std::string& Value) {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(Key)) return "<no key>";
        return reg.ValueExists(Value) ? reg.ReadString(Value) : "<none>";
    }
    static bool KeyThere(const std::string& Key) {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        return reg.KeyExists(Key);
    }
    static std::string ProfileKey(const std::string& Name) {
        return std::string(ftpprofile::ProfilesKey) + "\\" + Name;
    }

    TempDir dir_{"pw-profiles"};
};

TEST(CryptoFix, IsItsOwnInverseKeepsLengthAndNeverMakesNul) {
    EXPECT_EQ(CryptoFix("", kPasswordPassPhrase, 1), "");
    EXPECT_EQ(ScramblePassword("s3cret"), "AnJ/M5");
    EXPECT_EQ(UnscramblePassword("AnJ/M5"), "s3cret");
    std::string every;
    for (int b = 1; b < 256; ++b)
        every += static_cast<char>(b);
    std::mt19937 rng(7);
    std::vector<std::string> texts{every, every + every};
    for (int n = 0; n <= 300; ++n) {
        std::string t(n, '\0');
        for (char& c : t)
            c = static_cast<char>(1 + rng() % 255);
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        const std::string s = ScramblePassword(t);
        ASSERT_EQ(s.size(), t.size());
        ASSERT_EQ(s.find('\0'), std::string::npos);
        ASSERT_EQ(UnscramblePassword(s), t);
        ASSERT_EQ(ScramblePassword(s), t); // the proxy window's load scrambles once more
    }
    EXPECT_NE(ScramblePassword("password"), "password");
}

TEST_F(ProfileStore, ReadsDefaultsWhereValuesAreMissing) {
    WriteRaw("Bare", {{"HostName", "ftp.example.org"}});
    JDServerData p;
    EXPECT_TRUE(LoadServerProfile("Bare", p));
    EXPECT_EQ(p.ItemName, "ftp.example.org");
    EXPECT_EQ(p.Port, 21);
    EXPECT_EQ(p.Timeout, 60);
    EXPECT_FALSE(p.PassiveMode); // a missing value is False, not the fresh record's True
    EXPECT_EQ(p.Protocol, 0);
    EXPECT_EQ(p.Password, "");

    EXPECT_FALSE(LoadServerProfile("Nobody", p));
    EXPECT_TRUE(p.HostName.empty());
    EXPECT_TRUE(p.PassiveMode);
}

TEST_F(ProfileStore, SavesAndLoadsEveryValueWithThePasswordScrambled) {
    JDServerData a;
    a.ItemName = "Home";
    a.HostName = "127.0.0.1";
    a.Username = "web";
    a.Password = "p=ss; \\word\"";
    a.SavePassword = true;
    a.Port = 2121;
    a.Timeout = 120;
    a.HostDirName = "pub/site";
    a.Comment = "first; second";
    a.PassiveMode = false;
    a.UseNoop = true;
    a.Bookmarks = {"/a", "/b"};
    JDServerData b;
    b.ItemName = "Work";
    b.HostName = "h";
    b.Password = "secret";
    b.SavePassword = false;
    SaveServerProfiles({a, b});

    EXPECT_EQ(ReadRaw(ProfileKey("Home"), "Password"), ScramblePassword(a.Password));
    EXPECT_EQ(ReadRaw(ProfileKey("Work"), "Password"), "");
    JDServerData r;
    ASSERT_TRUE(LoadServerProfile("Home", r));
    EXPECT_EQ(r.Password, a.Password);
    EXPECT_EQ(r.Port, 2121);
    EXPECT_EQ(r.Timeout, 120);
    EXPECT_FALSE(r.PassiveMode);
    EXPECT_TRUE(r.UseNoop);
    EXPECT_EQ(r.Comment, a.Comment);
    EXPECT_TRUE(r.Bookmarks.empty()); // one profile is read without its bookmarks

    const auto all = LoadServerProfiles();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Bookmarks, a.Bookmarks);
    EXPECT_EQ(all[1].Password, "");

    struct stat st {};
    ASSERT_EQ(stat(RegistryStoreFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ProfileStore, NamesFollowTheStoresCaseRuleEverywhere) {
    WriteRaw("Home", {{"HostName", "h1"}});
    WriteRaw("alpha", {{"HostName", "h2"}});
    EXPECT_EQ(ServerProfileNames(), (std::vector<std::string>{"alpha", "Home"}));
    JDServerData p;
    EXPECT_TRUE(LoadServerProfile("HOME", p));
    EXPECT_EQ(p.HostName, "h1");
    EXPECT_TRUE(SameProfileName("Home", "hOME"));
}

TEST_F(ProfileStore, EveryOldBookmarkGoesAndAnEmptyNameIsWrittenUntitled) {
    WriteRaw("Gaps", {{"HostName", "h"}, {"Bookmark 0", "/zero"}, {"Bookmark 2", "/two"}});
    auto all = LoadServerProfiles();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Bookmarks, std::vector<std::string>{"/zero"});
    all[0].ItemName = "Gaps";
    all[0].Bookmarks = {"/new0", "/new1"};
    JDServerData untitled;
    untitled.HostName = "u";
    all.push_back(untitled);
    SaveServerProfiles(all);
    all = LoadServerProfiles();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Bookmarks, (std::vector<std::string>{"/new0", "/new1"}));
    EXPECT_EQ(ReadRaw(ProfileKey("Gaps"), "Bookmark 2"), "<none>");
    EXPECT_TRUE(KeyThere(ProfileKey("Untitled 1")));
}

TEST_F(ProfileStore, DeletingNeverReachesBeyondOneProfile) {
    WriteRaw("Keep", {{"HostName", "h"}});
    WriteRaw("Gone", {{"HostName", "h"}});
    EXPECT_FALSE(DeleteServerProfile(""));
    EXPECT_FALSE(DeleteServerProfile("Keep\\..\\"));
    EXPECT_FALSE(DeleteServerProfile("Missing"));
    {
        // The store itself refuses a key path whose last name is empty.
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        EXPECT_FALSE(reg.DeleteKey(ProfileKey("")));
    }
    EXPECT_TRUE(KeyThere(ProfileKey("Keep")));
    EXPECT_TRUE(DeleteServerProfile("gone"));
    EXPECT_FALSE(KeyThere(ProfileKey("Gone")));
    EXPECT_TRUE(KeyThere(ProfileKey("Keep")));

    JDServerData nested;
    nested.ItemName = "a\\b";
    EXPECT_THROW(SaveServerProfiles({nested}), ERegistryException);
    EXPECT_FALSE(KeyThere(ProfileKey("a")));
}

TEST_F(ProfileStore, AMalformedNumberLoadsItsDefaultWithAWarning) {
    WriteRaw("Bad", {{"HostName", "h"}, {"Port", "21x"}, {"Timeout", "30"}, {"Protocol", "one"}});
    WriteRaw("Good", {{"HostName", "g"}, {"Port", "990"}});
    std::vector<std::string> warnings;
    const auto all = LoadServerProfiles(&warnings);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Port, 21);
    EXPECT_EQ(all[0].Timeout, 30);
    EXPECT_EQ(all[0].Protocol, 0);
    EXPECT_EQ(all[1].Port, 990);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("\"21x\""), std::string::npos);
}

TEST_F(ProfileStore, SecureProtocolsAreRefusedBeforeAnythingIsSent) {
    JDServerData p;
    p.ItemName = "S";
    EXPECT_EQ(UnsupportedProtocolText(p), "");
    p.Protocol = 1;
    EXPECT_NE(UnsupportedProtocolText(p).find("SFTP"), std::string::npos);
    p.Protocol = 0;
    p.Secure = true;
    EXPECT_NE(UnsupportedProtocolText(p), "");
}

// An unattended upload loads the proxy settings and a profile; neither may write the store.
TEST_F(ProfileStore, LoadingNeverWritesTheStore) {
    const std::string store = dir_.File("registry.dat");
    const TProxySettings none = LoadProxySettings();
    EXPECT_EQ(none.HostName, "");
    EXPECT_FALSE(std::filesystem::exists(store)) << "no store is made by reading";
    WriteRaw("site", {{"HostName", "ftp.example.org"}});
    struct stat before {};
    ASSERT_EQ(::stat(store.c_str(), &before), 0);
    const std::string bytes = testsupport::ReadFile(store);
    LoadProxySettings();
    JDServerData p;
    EXPECT_TRUE(LoadServerProfile("site", p));
    struct stat after {};
    ASSERT_EQ(::stat(store.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(testsupport::ReadFile(store), bytes);
    EXPECT_FALSE(KeyThere(ftpprofile::ProxyKey));
}

TEST_F(ProfileStore, ProxyPasswordComesBackClearAndTheProxyIsApplied) {
    TProxySettings s{"127.0.0.1", "alice", "wonder", "1080", "Socks5"};
    SaveProxySettings(s);
    EXPECT_EQ(ReadRaw(ftpprofile::ProxyKey, "proxypassword"), ScramblePassword("wonder"));
    for (int round = 0; round < 3; ++round) { // open-and-OK of the window, again and again
        const TProxySettings loaded = LoadProxySettings();
        EXPECT_EQ(loaded.Password, "wonder");
        SaveProxySettings(loaded);
    }
    SaveProxySettings({"h", "", "", "1", ""});
    EXPECT_EQ(ReadRaw(ftpprofile::ProxyKey, "proxypassword"), "");

    TFtpClient client(nullptr);
    client.SetPassive(false);
    EXPECT_EQ(ApplyProxySettings(s, client), "");
    EXPECT_EQ(client.ConnectionType(), ftpSocks5);
    EXPECT_EQ(client.SocksServer(), "127.0.0.1");
    EXPECT_EQ(client.SocksPort(), "1080");
    EXPECT_EQ(client.SocksUserCode(), "alice");
    EXPECT_TRUE(client.Passive());
    s.Type = "Socks4a";
    EXPECT_EQ(ApplyProxySettings(s, client), "");
    EXPECT_EQ(client.ConnectionType(), ftpSocks4A);
    s.Type = "Web Standard";
    EXPECT_NE(ApplyProxySettings(s, client), ""); // never sent around the proxy
    s.Type = "Socks4";
    s.Port = "";
    EXPECT_NE(ApplyProxySettings(s, client), "");
    EXPECT_EQ(ApplyProxySettings({}, client), "");
    EXPECT_EQ(client.ConnectionType(), ftpDirect);
}

} // namespace
