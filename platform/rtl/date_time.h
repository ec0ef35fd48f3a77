#pragma once
// Dates and times as the class library keeps them: days since 1899-12-30, the fraction being the time of day.
#include <cstdint>
#include <ctime>
#include <string>

using TDateTime = double;

inline constexpr int64_t MSecsPerDay = 86400000;
// Days from 0001-01-01 to the 1899-12-30 origin.
inline constexpr int DateDelta = 693594;
// TDateTime of 1970-01-01.
inline constexpr double UnixDateDelta = 25569.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// EConvertError "Invalid argument to date encode" for a date outside 0001-01-01 .. 9999-12-31.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day);

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// EConvertError "Invalid argument to time encode" unless hour < 24, min < 60, sec < 60, msec < 1000.
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeTime(TDateTime time, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);

// Local wall-clock time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Format specifiers: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt
// am/pm a/p ampm / : and literals in '...' or "..."; an m right after an hour means minutes.
// Dates are written day first ("dd/mm/yyyy"), times as "hh:nn:ss", with English month and day names.
std::string FormatDateTime(const std::string& format, TDateTime value);
// Date, and the time when it is not midnight.
std::string DateTimeToStr(TDateTime value);

// Plain arithmetic between a TDateTime and seconds since 1970 without any zone shift.
int64_t DateTimeToUnix(TDateTime value);
TDateTime UnixToDateTime(int64_t seconds);

// An instant (such as a file time) as local wall-clock time in the zone in effect at that instant.
TDateTime FileDateToDateTime(time_t instant);
// The instant a local wall-clock time names; a time skipped or repeated by a clock change is resolved
// as the C library's mktime does.
time_t DateTimeToFileDate(TDateTime local);

// Minutes east of UTC in effect at an instant, daylight saving included (+60 for Berlin in winter).
int UtcOffsetMinutesAt(time_t instant);
// The same for a local wall-clock time.
int LocalUtcOffsetMinutes(TDateTime local);
TDateTime LocalToUniversal(TDateTime local);
TDateTime UniversalToLocal(TDateTime utc);
