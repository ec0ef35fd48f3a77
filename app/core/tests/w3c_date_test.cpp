#include "app/core/change_freq.h"
#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/core/w3c_date.h"
#include "platform/rtl/date_time.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using appcore_test::ScopedEnv;

class ZoneTest : public ::testing::Test {
protected:
    void Use(const char* zone) {
        tz_.emplace("TZ", zone);
        tzset();
    }
    void TearDown() override {
        tz_.reset();
        tzset();
    }
    std::optional<ScopedEnv> tz_;
};

TEST_F(ZoneTest, EachInstantCarriesTheOffsetInEffectThen) {
    EXPECT_EQ(UtcOffsetText(0), "");
    EXPECT_EQ(UtcOffsetText(-30), "-00:30");
    EXPECT_EQ(UtcOffsetText(765), "+12:45");

    // Either side of the change to summer time in Berlin on 2024-03-31 at 01:00 UTC.
    Use("Europe/Berlin");
    EXPECT_EQ(W3CDateTimeOf(1711846799), "2024-03-31T01:59:59+01:00");
    EXPECT_EQ(W3CDateTimeOf(1711846800), "2024-03-31T03:00:00+02:00");
    EXPECT_EQ(W3CDateTime(EncodeDate(2024, 7, 15) + EncodeTime(14, 0, 0, 0)), "2024-07-15T14:00:00+02:00");
    EXPECT_EQ(W3CDateTime(EncodeDate(2024, 12, 24) + EncodeTime(23, 59, 59, 0)), "2024-12-24T23:59:59+01:00");
    Use("America/New_York");
    EXPECT_EQ(W3CDateTimeOf(1721044800), "2024-07-15T08:00:00-04:00");
}

TEST_F(ZoneTest, WritesTheFieldsTheGeneralFormatterWrites) {
    Use("UTC");
    // Midnight, the last millisecond rounded up into the next day, the first and last years, and the
    // values outside them that decode as year 0.
    const TDateTime days[] = {EncodeDate(2024, 2, 29), EncodeDate(1, 1, 1), EncodeDate(9999, 12, 31),
                              EncodeDate(1999, 12, 31), EncodeDate(1970, 1, 1)};
    const TDateTime times[] = {0, EncodeTime(23, 59, 59, 999) + 0.6 / MSecsPerDay, EncodeTime(9, 5, 7, 0),
                               EncodeTime(12, 0, 0, 500), EncodeTime(23, 59, 59, 999)};
    for (const TDateTime day : days)
        for (const TDateTime time : times) {
            const TDateTime value = day + time;
            SCOPED_TRACE(value);
            EXPECT_EQ(W3CDateTime(value), FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", value) + "+00:00");
        }
    EXPECT_EQ(W3CDateTime(-700000), "0000-00-00T00:00:00+00:00");
    EXPECT_EQ(W3CDateTimeOf(0), "1970-01-01T00:00:00+00:00");
}

TEST_F(ZoneTest, NewRecordsTakeTheProfileDefaults) {
    Use("UTC");
    TMapProfile profile;
    profile.SetDefFreq(cfWeekly);
    profile.SetDefPri(0.8);
    const TDataRec rec = NewDataRec(profile);
    EXPECT_EQ(rec.ChangeFreq, cfWeekly);
    EXPECT_EQ(rec.Priority, 0.8);
    ASSERT_EQ(rec.LastMod.size(), 25u);
    EXPECT_EQ(rec.LastMod.View().substr(19), "+00:00");

    EXPECT_EQ(ChangeFreqText(cfNothing), "");
    EXPECT_EQ(ChangeFreqName(cfNothing), "Nothing");
    EXPECT_EQ(ChangeFreqText(static_cast<ChangeFreqType>(8)), "");
}

} // namespace
