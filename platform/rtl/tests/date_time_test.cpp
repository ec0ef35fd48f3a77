#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

TEST(DateTime, CalendarRoundTripsOverLeapYearsAndTheOrigin) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0); // 1900 is not a leap year
    EXPECT_EQ(EncodeDate(1970, 1, 1), UnixDateDelta);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    TDateTime d = 0;
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, d));
    EXPECT_FALSE(TryEncodeDate(2100, 2, 29, d));

    // Every day from 1600 to 2400 decodes to what it was encoded from, one day apart.
    TDateTime previous = EncodeDate(1599, 12, 31);
    for (int y = 1600; y <= 2400; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int day = 1; day <= DaysInMonth(y, m); ++day) {
                const TDateTime e = EncodeDate(y, m, day);
                ASSERT_EQ(e, previous + 1) << y << "-" << m << "-" << day;
                previous = e;
                uint16_t yy, mm, dd;
                // Before the origin a later time of the same day is further from zero.
                DecodeDate(e + (e >= 0 ? 0.75 : -0.75), yy, mm, dd);
                ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + day);
            }

    // Before the origin the date part truncates toward zero and the time is the positive fraction.
    const TDateTime beforeOrigin = -1.25; // 1899-12-29 06:00
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", beforeOrigin), "1899-12-29 06:00");
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5)), 3); // a Tuesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);

    // Values no calendar date matches decode as zeros instead of reading past the name tables.
    for (const double odd : {-1e7, 1e7, 1e300, std::nan("")}) {
        uint16_t y = 1, m = 1, dd = 1;
        DecodeDate(odd, y, m, dd);
        EXPECT_EQ(y + m + dd, 0);
        EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm yyyy", odd), "Sun Sunday   0000");
    }
}

TEST(DateTime, TimeOfDayRoundsToTheMillisecond) {
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 30, 456);
    uint16_t h, n, s, ms;
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 102030456);
    // Half a millisecond before midnight is the next day, never "24:00:00".
    const TDateTime almost = EncodeDate(2024, 12, 31) + 1 - 0.4 / MSecsPerDay;
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", almost), "2025-01-01 00:00:00.000");
}

TEST(DateTime, FormatsTheFormsTheProgramWrites) {
    const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 42);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd'T'hh:nn:ss", t), "2024-03-05T14:07:09");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd\"T\"hh:mm:ss", t), "2024-03-05T14:07:09"); // m after h is minutes
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", t), "05/03/2024");
    EXPECT_EQ(FormatDateTime("d/m/yy", t), "5/3/24");
    EXPECT_EQ(FormatDateTime("ddd, d mmm yyyy", t), "Tue, 5 Mar 2024");
    EXPECT_EQ(FormatDateTime("dddd d mmmm", t), "Tuesday 5 March");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", t), "2:07 pm");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", t - 0.5), "02:07 AM");
    EXPECT_EQ(FormatDateTime("h a/p", EncodeTime(0, 30, 0, 0)), "12 a");
    EXPECT_EQ(FormatDateTime("hh ampm", t), "02 PM");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", t), "14:07:09.042");
    EXPECT_EQ(FormatDateTime("'at' t", t), "at 14:07");
    EXPECT_EQ(FormatDateTime("'unterminated", t), "unterminated");
    EXPECT_EQ(DateTimeToStr(t), "05/03/2024 14:07:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "05/03/2024");
    EXPECT_EQ(FormatDateTime("", t), "05/03/2024 14:07:09");
}

TEST(DateTime, UnixTimesAndLocalOffsetsFollowTheZoneAtEachInstant) {
    EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 2)), 86400);
    EXPECT_EQ(UnixToDateTime(1709634030), EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 30, 0));
    EXPECT_EQ(DateTimeToUnix(UnixToDateTime(-1234567)), -1234567);

    const char* const oldZone = std::getenv("TZ");
    const std::string restore = oldZone ? oldZone : "";
    auto zone = [](const char* name) {
        ::setenv("TZ", name, 1);
        ::tzset();
    };
    zone("Europe/Berlin");
    // 2024-03-31 01:00 UTC the clocks went from 02:00 CET to 03:00 CEST.
    const time_t beforeChange = 1711846799; // 00:59:59 UTC
    const time_t afterChange = 1711846800;
    EXPECT_EQ(UtcOffsetMinutesAt(beforeChange), 60);
    EXPECT_EQ(UtcOffsetMinutesAt(afterChange), 120);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", FileDateToDateTime(beforeChange)), "2024-03-31 01:59:59");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", FileDateToDateTime(afterChange)), "2024-03-31 03:00:00");

    // The offset belongs to the date asked about, not to today.
    const TDateTime winter = EncodeDate(2023, 1, 15) + EncodeTime(12, 0, 0, 0);
    const TDateTime summer = EncodeDate(2023, 7, 15) + EncodeTime(12, 0, 0, 0);
    EXPECT_EQ(LocalUtcOffsetMinutes(winter), 60);
    EXPECT_EQ(LocalUtcOffsetMinutes(summer), 120);
    EXPECT_EQ(DateTimeToFileDate(summer), 1689415200);
    EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(winter)), winter);
    EXPECT_NEAR(LocalToUniversal(summer), summer - 2.0 / 24, 1e-9);
    EXPECT_NEAR(UniversalToLocal(summer - 2.0 / 24), summer, 1e-9);

    // Now is the local time: here ahead of the system clock's universal time.
    const time_t before = std::time(nullptr);
    const TDateTime now = Now();
    EXPECT_GE(DateTimeToFileDate(now), before);
    // Read to the millisecond, a time in the last half millisecond of a second rounds up into the next.
    EXPECT_LE(DateTimeToFileDate(now - 1.0 / 86400000), std::time(nullptr));
    EXPECT_LE(Date(), now);
    EXPECT_GT(Date() + 1, now);

    // The C library is the reference, also in the hour that summer time skips or repeats (read with
    // the offset before the change) and outside 1970-2038.
    for (const char* name : {"Europe/Berlin", "America/New_York"}) {
        zone(name);
        for (const TDateTime day :
             {EncodeDate(2024, 3, 10), EncodeDate(2024, 3, 31), EncodeDate(2024, 10, 27),
              EncodeDate(2024, 11, 3), EncodeDate(1969, 12, 31), EncodeDate(2040, 6, 1)})
            for (const uint16_t hour : {0, 1, 2, 3, 12, 23}) {
                const TDateTime local = day + EncodeTime(hour, 30, 15, 0);
                uint16_t y, mo, d;
                DecodeDate(local, y, mo, d);
                std::tm tm{};
                tm.tm_year = y - 1900;
                tm.tm_mon = mo - 1;
                tm.tm_mday = d;
                tm.tm_hour = hour;
                tm.tm_min = 30;
                tm.tm_sec = 15;
                tm.tm_isdst = -1;
                EXPECT_EQ(DateTimeToFileDate(local), ::mktime(&tm)) << name << " " << DateTimeToStr(local);
            }
    }

    zone("Asia/Kolkata");
    EXPECT_EQ(LocalUtcOffsetMinutes(summer), 330);
    zone("America/New_York");
    EXPECT_EQ(LocalUtcOffsetMinutes(winter), -300);
    EXPECT_EQ(LocalUtcOffsetMinutes(summer), -240);
    oldZone ? ::setenv("TZ", restore.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}
