#include "platform/rtl/date_time.h"

#include "platform/rtl/exception.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr int kMonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr const char* kShortMonthNames[] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonthNames[] = {"",        "January",  "February", "March",  "April",
                                           "May",     "June",     "July",     "August", "September",
                                           "October", "November", "December"};
constexpr const char* kShortDayNames[] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDayNames[] = {"",          "Sunday",   "Monday", "Tuesday",
                                         "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr const char* kShortDateFormat = "dd/mm/yyyy";
constexpr const char* kLongDateFormat = "dddd, d mmmm yyyy";
constexpr const char* kShortTimeFormat = "hh:nn";
constexpr const char* kLongTimeFormat = "hh:nn:ss";

struct Stamp {
    int64_t date; // 1 = 0001-01-01
    int64_t time; // milliseconds into the day
};

// Rounds to the millisecond first, so 23:59:59.9996 becomes the next midnight rather than 24:00:00.
// Values outside 0001-01-01 .. 9999-12-31 (and NaN) decode as the zero stamp: year, month and day 0.
Stamp ToStamp(TDateTime value) {
    constexpr double kFirst = -693594.0, kPastLast = 2958466.0;
    if (!(value > kFirst && value < kPastLast)) return {0, 0};
    const auto total = static_cast<int64_t>(std::llround(value * static_cast<double>(MSecsPerDay)));
    return {DateDelta + total / MSecsPerDay, std::llabs(total) % MSecsPerDay};
}

struct Parts {
    uint16_t year, month, day, hour, min, sec, msec;
    int dayOfWeek;
};

Parts Decode(TDateTime value) {
    Parts p{};
    DecodeDate(value, p.year, p.month, p.day);
    DecodeTime(value, p.hour, p.min, p.sec, p.msec);
    p.dayOfWeek = DayOfWeek(value);
    return p;
}

TDateTime FromTm(const std::tm& tm) {
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date)) return 0;
    TryEncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec < 60 ? tm.tm_sec : 59, 0, time);
    return date + time;
}

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view prefix) {
    if (s.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[at + i])) != prefix[i]) return false;
    return true;
}

class DateFormatter {
public:
    explicit DateFormatter(TDateTime value) : p_(Decode(value)) {}

    void Append(std::string_view format, int level) {
        if (level >= 2) return;
        char lastToken = ' ';
        size_t i = 0;
        while (i < format.size()) {
            const char starter = format[i++];
            char token = Upper(starter);
            if (token >= 'A' && token <= 'Z') {
                // "m" after an hour stands for minutes.
                if (token == 'M' && lastToken == 'H') token = 'N';
                lastToken = token;
            }
            AppendToken(token, starter, format, i, level);
        }
    }

    std::string Result() { return std::move(out_); }

private:
    static char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

    // How many times the letter just read stands in a row, whatever its case; i moves past them.
    static int RunLength(std::string_view format, size_t& i, char starter) {
        int n = 1;
        while (i < format.size() && Upper(format[i]) == Upper(starter)) {
            ++i;
            ++n;
        }
        return n;
    }

    // One specifier, or one character copied as it is; i is past the first character of the token.
    void AppendToken(char token, char starter, std::string_view format, size_t& i, int level) {
        switch (token) {
        case 'Y':
            return AppendYear(RunLength(format, i, starter));
        case 'M':
            return AppendMonth(RunLength(format, i, starter));
        case 'D':
            return AppendDay(RunLength(format, i, starter), level);
        case 'H': {
            const int n = RunLength(format, i, starter);
            return AppendHour(n, TwelveHourClockAhead(format, i));
        }
        case 'N':
            return Number(p_.min, std::min(RunLength(format, i, starter), 2));
        case 'S':
            return Number(p_.sec, std::min(RunLength(format, i, starter), 2));
        case 'Z':
            return Number(p_.msec, std::min(RunLength(format, i, starter), 3));
        case 'T':
            return Append(RunLength(format, i, starter) == 1 ? kShortTimeFormat : kLongTimeFormat, level + 1);
        case 'C':
            RunLength(format, i, starter);
            return AppendDateAndTime(level);
        case 'A':
            return AppendAmPm(format, i, starter);
        case '\'':
        case '"':
            return AppendQuoted(format, i, starter);
        default:
            out_ += starter;
            return;
        }
    }

    void AppendYear(int n) {
        if (n <= 2)
            Number(p_.year % 100, 2);
        else
            Number(p_.year, 4);
    }

    void AppendMonth(int n) {
        if (n <= 2)
            Number(p_.month, n);
        else if (p_.month >= 1 && p_.month <= 12)
            out_ += n == 3 ? kShortMonthNames[p_.month] : kLongMonthNames[p_.month];
    }

    // Up to two letters the day's number, three or four its name, five or more a whole date.
    void AppendDay(int n, int level) {
        if (n <= 2)
            Number(p_.day, n);
        else if (n == 3)
            out_ += kShortDayNames[p_.dayOfWeek];
        else if (n == 4)
            out_ += kLongDayNames[p_.dayOfWeek];
        else
            Append(n == 5 ? kShortDateFormat : kLongDateFormat, level + 1);
    }

    void AppendHour(int n, bool twelveHourClock) {
        int hour = p_.hour;
        if (twelveHourClock) {
            if (hour == 0)
                hour = 12;
            else if (hour > 12)
                hour -= 12;
        }
        Number(hour, std::min(n, 2));
    }

    // The date, and the time when it is not midnight.
    void AppendDateAndTime(int level) {
        Append(kShortDateFormat, level + 1);
        if (p_.hour != 0 || p_.min != 0 || p_.sec != 0) {
            out_ += ' ';
            Append(kLongTimeFormat, level + 1);
        }
    }

    // "AM/PM" and "A/P" write the matching half as it is cased in the format; "AMPM" writes AM or PM;
    // an A alone is copied.
    void AppendAmPm(std::string_view format, size_t& i, char starter) {
        const size_t at = i - 1;
        const bool pm = p_.hour >= 12;
        if (StartsWithNoCase(format, at, "AM/PM")) {
            out_.append(format.substr(pm ? at + 3 : at, 2));
            i = at + 5;
        } else if (StartsWithNoCase(format, at, "A/P")) {
            out_ += format[pm ? at + 2 : at];
            i = at + 3;
        } else if (StartsWithNoCase(format, at, "AMPM")) {
            out_ += pm ? "PM" : "AM";
            i = at + 4;
        } else {
            out_ += starter;
        }
    }

    // Quoted text is copied up to its closing quote, or to the end of an unclosed one.
    void AppendQuoted(std::string_view format, size_t& i, char quote) {
        const size_t close = format.find(quote, i);
        const size_t end = close == std::string_view::npos ? format.size() : close;
        out_.append(format.substr(i, end - i));
        i = close == std::string_view::npos ? format.size() : close + 1;
    }

    // An hour is on the 12-hour clock when an AM/PM marker follows before the next hour specifier.
    static bool TwelveHourClockAhead(std::string_view format, size_t from) {
        bool quoted = false;
        for (size_t j = from; j < format.size(); ++j) {
            const char c = format[j];
            if (c == '\'' || c == '"')
                quoted = !quoted;
            else if (c == 'h' || c == 'H')
                return false;
            else if (!quoted && (c == 'a' || c == 'A') &&
                     (StartsWithNoCase(format, j, "AM/PM") || StartsWithNoCase(format, j, "A/P") ||
                      StartsWithNoCase(format, j, "AMPM")))
                return true;
        }
        return false;
    }

    void Number(int value, int digits) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", digits, value);
        out_ += buf;
    }

    Parts p_;
    std::string out_;
};

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    return kMonthDays[IsLeapYear(year) ? 1 : 0][month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    int64_t days = day;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    const int64_t y = year - 1;
    date = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) throw EConvertError("Invalid argument to date encode");
    return date;
}

void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day) {
    constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    int64_t t = ToStamp(date).date;
    if (t <= 0) {
        year = month = day = 0;
        return;
    }
    --t;
    int64_t y = 1 + (t / D400) * 400;
    t %= D400;
    int64_t i = t / D100, d = t % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    y += (d / D4) * 4;
    d %= D4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    int m = 1;
    while (d >= DaysInMonth(static_cast<int>(y), m)) {
        d -= DaysInMonth(static_cast<int>(y), m);
        ++m;
    }
    year = static_cast<uint16_t>(y);
    month = static_cast<uint16_t>(m);
    day = static_cast<uint16_t>(d + 1);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
        return false;
    time =
        static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / static_cast<double>(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime time = 0;
    if (!TryEncodeTime(hour, min, sec, msec, time)) throw EConvertError("Invalid argument to time encode");
    return time;
}

void DecodeTime(TDateTime time, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec) {
    int64_t ms = ToStamp(time).time;
    msec = static_cast<uint16_t>(ms % 1000);
    ms /= 1000;
    sec = static_cast<uint16_t>(ms % 60);
    ms /= 60;
    min = static_cast<uint16_t>(ms % 60);
    hour = static_cast<uint16_t>(ms / 60);
}

int DayOfWeek(TDateTime date) {
    // 0001-01-01 was a Monday.
    return static_cast<int>(ToStamp(date).date % 7) + 1;
}

TDateTime Now() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return FileDateToDateTime(ts.tv_sec) +
           static_cast<double>(ts.tv_nsec / 1000000) / static_cast<double>(MSecsPerDay);
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    const TDateTime now = Now();
    return now - std::trunc(now);
}

std::string FormatDateTime(const std::string& format, TDateTime value) {
    DateFormatter formatter(value);
    formatter.Append(format.empty() ? std::string_view("c") : std::string_view(format), 0);
    return formatter.Result();
}

std::string DateTimeToStr(TDateTime value) {
    return FormatDateTime("c", value);
}

int64_t DateTimeToUnix(TDateTime value) {
    return std::llround((value - UnixDateDelta) * 86400.0);
}

TDateTime UnixToDateTime(int64_t seconds) {
    return static_cast<double>(seconds) / 86400.0 + UnixDateDelta;
}

TDateTime FileDateToDateTime(time_t instant) {
    std::tm tm{};
    if (!::localtime_r(&instant, &tm)) return 0;
    return FromTm(tm);
}

time_t DateTimeToFileDate(TDateTime local) {
    // Civil-date arithmetic instead of mktime, which reads the time zone file again on every call:
    // crawls convert a date per page.
    const Parts p = Decode(local);
    const int64_t year = p.month <= 2 ? p.year - 1 : p.year;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (p.month > 2 ? p.month - 3 : p.month + 9) + 2) / 5 + p.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    const auto wall = static_cast<time_t>(days * 86400 + p.hour * 3600 + p.min * 60 + p.sec);
    // Offsets change at most once in a day. A time that a change skips or repeats is read with the
    // offset in effect before the change, as the C library reads it.
    const time_t before = wall - UtcOffsetMinutesAt(wall - 86400) * 60;
    const time_t after = wall - UtcOffsetMinutesAt(wall + 86400) * 60;
    if (before == after || wall - UtcOffsetMinutesAt(before) * 60 == before) return before;
    return wall - UtcOffsetMinutesAt(after) * 60 == after ? after : before;
}

int UtcOffsetMinutesAt(time_t instant) {
    std::tm tm{};
    if (!::localtime_r(&instant, &tm)) return 0;
    return static_cast<int>(tm.tm_gmtoff / 60);
}

int LocalUtcOffsetMinutes(TDateTime local) {
    return UtcOffsetMinutesAt(DateTimeToFileDate(local));
}

TDateTime LocalToUniversal(TDateTime local) {
    return local - LocalUtcOffsetMinutes(local) / 1440.0;
}

TDateTime UniversalToLocal(TDateTime utc) {
    const auto instant = static_cast<time_t>(std::floor((utc - UnixDateDelta) * 86400.0));
    return utc + UtcOffsetMinutesAt(instant) / 1440.0;
}
