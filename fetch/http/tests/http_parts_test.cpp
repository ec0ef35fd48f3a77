#include "fetch/http/crack_url.h"
#include "fetch/http/http_date.h"
#include "fetch/http/http_settings.h"
#include "fetch/http/login_component.h"
#include "fetch/http/win_http.h"

#include "platform/net/wininet.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

TDateTime utc(int y, int mo, int d, int h, int mi, int s) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

// Runs body with the local zone set to tz, then restores the previous zone.
template <class F> void inZone(const char* tz, F body) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", tz, 1);
    tzset();
    body();
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace

TEST(HttpDate, ThreeFormsPivotsZonesAndGarbage) {
    inZone("UTC", [] {
        const TDateTime expected = utc(1994, 11, 6, 8, 49, 37);
        EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), expected);
        EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), expected);
        EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994"), expected);
        EXPECT_EQ(ParseHttpDate("  sun, 06 NOV 1994 08:49:37 gmt "), expected);
        EXPECT_NEAR(ParseHttpDate("Sun, 06 Nov 1994 09:49:37 +0100"), expected, 1e-9);
        EXPECT_NEAR(ParseHttpDate("Sun, 06 Nov 1994 07:19:37 -0130"), expected, 1e-9);
        // Two-digit years: below 80 this century, else the last.
        EXPECT_EQ(ParseHttpDate("Thursday, 01-Jan-79 00:00:00 GMT"), EncodeDate(2079, 1, 1));
        EXPECT_EQ(ParseHttpDate("Tuesday, 01-Jan-80 00:00:00 GMT"), EncodeDate(1980, 1, 1));
        EXPECT_EQ(ParseHttpDate("Sun, 00 Nov 1994 00:00:00 GMT"), EncodeDate(1994, 11, 1));
        // The servers' own form, read in place, gives what the general reading gives.
        EXPECT_EQ(ParseHttpDate("Sat, 01 Jan 0079 00:00:00 GMT"), EncodeDate(2079, 1, 1));
        EXPECT_EQ(ParseHttpDate("sun, 06 nov 1994 08:49:37 GMT"), expected);
        EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 24:00:00 GMT"), 0);
        // Not a date: no value at all, whatever the zone (never a day of 1899).
        for (const char* text : {"", "0", "-1", "yesterday", "Sun,", "Sun, 31 Feb 2021 10:00:00 GMT",
                                 "Sun, 06 Nov 1994 25:00:00 GMT", "Sun, 06 Foo 1994 08:49:37 +0100", "Nov"})
            EXPECT_EQ(ParseHttpDate(text), 0) << text;
    });
    // Local time uses the offset in effect at that date, not today's.
    inZone("Europe/Berlin", [] {
        EXPECT_NEAR(ParseHttpDate("Thu, 01 Jul 2021 12:00:00 GMT"), utc(2021, 7, 1, 14, 0, 0), 1e-9);
        EXPECT_NEAR(ParseHttpDate("Fri, 01 Jan 2021 12:00:00 GMT"), utc(2021, 1, 1, 13, 0, 0), 1e-9);
    });
}

TEST(CrackUrl, PartsAsWrittenAndRefusals) {
    TUrlParts p;
    for (const auto& [url, parts] : std::vector<std::pair<std::string, std::string>>{
             {"https://user:pa:ss@Example.COM:8443/a%2Fb/c.html?x=%25&y#frag",
              "https user pa:ss Example.COM 8443 /a%2Fb/c.html ?x=%25&y#frag"},
             {"www.site.test", "http   www.site.test 80  "},
             {"https://[::1]/x", "https   ::1 443 /x "},
             {"file:///tmp/a%20b.html", "file    0 /tmp/a%20b.html "}}) {
        ASSERT_TRUE(CrackURL(url, p)) << url;
        EXPECT_EQ(p.Scheme + " " + p.User + " " + p.Password + " " + p.Host + " " + std::to_string(p.Port) +
                      " " + p.Path + " " + p.ExtraInfo,
                  parts);
    }
    const std::string longPath(3000, 'p');
    ASSERT_TRUE(CrackURL("http://h/" + longPath + "?" + longPath, p)); // no fixed buffers
    EXPECT_EQ(p.ExtraInfo.size(), 3001u);
    for (const std::string& bad :
         {std::string("http://"), std::string("http://h:70000/"), std::string("http://h:x/"),
          std::string("http://[::1/"), std::string("://h/"), "http://h/" + std::string(kMaxUrlLength, 'a')})
        EXPECT_FALSE(CrackURL(bad, p)) << bad.substr(0, 40);
}

TEST(LoginInfo, ScrambledRoundTripAndLengthLimit) {
    TWinLoginComponent login(nullptr);
    login.SetUsername("webmaster");
    login.SetPassword("s3cr3t");
    TMemoryStream stream;
    login.WriteLoginInfo(stream);
    ASSERT_EQ(stream.Size(), 1 + 1 + 9 + 6);
    EXPECT_EQ(stream.Memory()[0], 16);
    const std::string raw(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    EXPECT_EQ(raw.find("webmaster"), std::string::npos);
    EXPECT_EQ(raw.find("s3cr3t"), std::string::npos);

    // Read back through the component stream, as a defined property.
    RegisterComponentClass<TWinLoginComponent>("TWinLoginComponent");
    TMemoryStream form;
    WriteComponent(form, &login);
    form.SetPosition(0);
    TWinLoginComponent loaded(nullptr);
    ReadComponent(form, &loaded);
    EXPECT_EQ(loaded.Username(), "webmaster");
    EXPECT_EQ(loaded.Password(), "s3cr3t");

    // 254 bytes fit the length byte; 255 are refused before anything is written.
    login.SetUsername(std::string(200, 'u'));
    login.SetPassword(std::string(54, 'p'));
    TMemoryStream fits;
    login.WriteLoginInfo(fits);
    EXPECT_EQ(fits.Memory()[0], 255);
    TWinLoginComponent copy(nullptr);
    fits.SetPosition(0);
    copy.ReadLoginInfo(fits);
    EXPECT_EQ(copy.Password(), std::string(54, 'p'));
    login.SetPassword(std::string(55, 'p'));
    TMemoryStream refused;
    EXPECT_THROW(login.WriteLoginInfo(refused), EWriteError);
    EXPECT_EQ(refused.Size(), 0);

    // A block whose user-name length runs past its end is refused.
    TMemoryStream corrupt;
    const uint8_t bad[] = {2, static_cast<uint8_t>(9 ^ static_cast<uint8_t>(2 * 0x2F + 0xA7)), 0};
    corrupt.WriteBuffer(bad, sizeof bad);
    corrupt.SetPosition(0);
    EXPECT_THROW(copy.ReadLoginInfo(corrupt), EReadError);
}

TEST(HttpSettings, AssignCopiesOrResetsAndFlagsKeepTheirValues) {
    TWinHTTPProxy a, b;
    a.AccessType = atUseProxy;
    a.ProxyServer = "proxy.test";
    a.ProxyPort = 3128;
    a.ProxyBypass = "";
    b.Assign(&a);
    EXPECT_EQ(b.ProxyServer + ":" + std::to_string(b.ProxyPort) + b.ProxyBypass, "proxy.test:3128");
    EXPECT_TRUE(b.ServerStored());
    b.Assign(nullptr);
    EXPECT_EQ(b.AccessType, atPreconfig);
    EXPECT_EQ(b.ProxyBypass, "127.0.0.1;");
    EXPECT_FALSE(b.ServerStored());
    TWinHTTPRange range;
    TWinHTTPTimeouts timeouts;
    timeouts.ReceiveTimeout = 7;
    timeouts.Assign(nullptr);
    EXPECT_EQ(timeouts.ReceiveTimeout, 0u);
    EXPECT_THROW(timeouts.Assign(&range), EConvertError);

    EXPECT_EQ(CacheOptionFlags(OptionBit(coAlwaysReload) | OptionBit(coUseCacheIfNetFail)), 0x80010000u);
    EXPECT_EQ(CacheOptionFlags(OptionBit(coReloadIfNoExpireInformation) | OptionBit(coReloadUpdatedObjects) |
                               OptionBit(coCreateTempFilesIfCantCache)),
              0x410u | 0x800u);
    EXPECT_EQ(InternetOptionFlags(OptionBit(ioIgnoreRedirectToHTTP) | OptionBit(ioNoCookies)), 0x88000u);
    EXPECT_EQ(InternetOptionFlags(OptionBit(ioNoAutoRedirect) | OptionBit(ioNoAuthentication)), 0x240000u);
    EXPECT_EQ(AccessTypeValue(atUseProxy), 3u);
}

TEST(HttpProgress, SixtyFourBitFiguresClamped) {
    using winhttp::ComputeProgress;
    // Beyond 32 bits: 3 GiB of 4 GiB read, resumed from 1 GiB.
    const int64_t gib = int64_t{1} << 30;
    auto p = ComputeProgress(3 * gib, 2 * gib, gib, 10000);
    EXPECT_EQ(p.PercentsDone, 75);
    EXPECT_EQ(p.ElapsedTime, 10);
    EXPECT_EQ(p.EstimatedTimeLeft, 5);
    EXPECT_FLOAT_EQ(p.TransferRate, static_cast<float>(2.0 * gib / 1024 / 10));
    // More bytes than announced, nothing announced, nothing read yet.
    EXPECT_EQ(ComputeProgress(100, 250, 0, 3000).PercentsDone, 100);
    EXPECT_EQ(ComputeProgress(100, 250, 0, 3000).EstimatedTimeLeft, 0);
    EXPECT_EQ(ComputeProgress(0, 50, 0, 500).PercentsDone, 0);
    EXPECT_FLOAT_EQ(ComputeProgress(0, 2048, 0, 500).TransferRate, 2.0f);
    EXPECT_EQ(ComputeProgress(100, 0, 0, 5000).EstimatedTimeLeft, 0);

    EXPECT_EQ(winhttp::RealmOf("Basic realm=\"Private Area\""), "Private Area");
    EXPECT_EQ(winhttp::RealmOf("Basic realm=\"open"), "open");
    EXPECT_EQ(winhttp::RealmOf("Digest realm=\"a\", nonce=\"b\""), "a");
    EXPECT_STREQ(winhttp::StatusText(110), "Redirect");
    EXPECT_STREQ(winhttp::StatusText(30), "Sending Request");
    EXPECT_STREQ(winhttp::StatusText(99), "Unknown status");
}
