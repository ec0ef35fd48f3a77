#include "fetch/file_fetcher.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(FetcherProperties, ContentTypeSetterAndResetWhichKeepsTheAddressesAndDate) {
    TFileFetcher f(nullptr);
    const TDateTime before = Now();
    const TDateTime read = f.LastModified();
    EXPECT_GE(read, before - 1.0 / 86400);
    // The date read once is kept, also once the clock has moved on.
    for (int i = 0; i < 1000 && Now() == read; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_NE(Now(), read);
    EXPECT_EQ(f.LastModified(), read);

    // The content type setter keeps the media type and derives the kind from it.
    f.SetContentType("IMAGE/png; name=x");
    EXPECT_EQ(f.ContentType(), "IMAGE/png");
    EXPECT_EQ(f.MimeType(), mimeImage);
    f.SetContentType("nonsense");
    EXPECT_EQ(f.MimeType(), mimeUnknown);

    f.SetURL("http://h/");
    f.SetShortURL("http://h/");
    f.SetRedirectedURL("http://h/r");
    f.SetTitle("t");
    f.SetResponse(404);
    f.SetContentType("text/html");
    f.SetPasswordRequired(true);
    f.Reset();
    EXPECT_EQ(f.URL(), "");
    EXPECT_EQ(f.Title(), "");
    EXPECT_EQ(f.Response(), -1);
    EXPECT_EQ(f.MimeType(), mimeUnknown);
    EXPECT_FALSE(f.PasswordRequired());
    EXPECT_EQ(f.ShortURL(), "http://h/");
    EXPECT_EQ(f.RedirectedURL(), "http://h/r");
    EXPECT_EQ(f.LastModified(), read);
}

TEST(FetcherProperties, StoredPropertiesSurviveTheComponentStream) {
    TFileFetcher out(nullptr);
    out.SetName("Fetcher");
    out.SetLinkTypes(LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) | LinkBit(ltIFRAME_src));
    out.SetDownloadFileTypes(MimeBit(mimeText) | MimeBit(mimeApplication));
    out.SetAgent("Agent/1");
    out.SetResolveUris(false);
    out.SetProxyPort(3128);
    out.NonFollowQueryParts()->Add("sid=");
    TMemoryStream stream;
    WriteComponent(stream, &out);
    stream.SetPosition(0);
    TFileFetcher in(nullptr);
    ReadComponent(stream, &in);
    // The streamed value of this set is the one the main window gives it.
    EXPECT_EQ(in.LinkTypes(), 101u);
    EXPECT_EQ(in.DownloadFileTypes(), MimeBit(mimeText) | MimeBit(mimeApplication));
    EXPECT_EQ(in.Agent(), "Agent/1");
    EXPECT_FALSE(in.ResolveUris());
    EXPECT_EQ(in.ProxyPort(), 3128);
    ASSERT_EQ(in.NonFollowQueryParts()->Count(), 1);
    EXPECT_EQ(in.NonFollowQueryParts()->Strings(0), "sid=");
    EXPECT_EQ(in.Response(), -1);
}
