#include "app/core/w3c_date.h"

#include "platform/rtl/format.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Writes Value as Width digits, zero-padded, before At, and moves At back to their start.
void Digits(char*& At, unsigned Value, int Width) {
    for (int i = 0; i < Width; ++i) {
        *--At = static_cast<char>('0' + Value % 10);
        Value /= 10;
    }
}

std::string Compose(TDateTime local, int minutesEast) {
    // Written digit by digit: a crawl makes two of these a page, and FormatDateTime reads its format
    // string each time at ten times the cost. The fields are those FormatDateTime decodes.
    uint16_t year, month, day, hour, min, sec, msec;
    DecodeDate(local, year, month, day);
    DecodeTime(local, hour, min, sec, msec);
    const std::string offset = minutesEast == 0 ? std::string("+00:00") : UtcOffsetText(minutesEast);
    // The last millisecond of 9999 rounds up into a year of five digits.
    if (year > 9999) return FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", local) + offset;
    char text[19];
    char* at = text + sizeof text;
    Digits(at, sec, 2);
    *--at = ':';
    Digits(at, min, 2);
    *--at = ':';
    Digits(at, hour, 2);
    *--at = 'T';
    Digits(at, day, 2);
    *--at = '-';
    Digits(at, month, 2);
    *--at = '-';
    Digits(at, year, 4);
    return std::string(text, sizeof text) + offset;
}
} // namespace

std::string UtcOffsetText(int MinutesEast) {
    if (MinutesEast == 0) return "";
    const int magnitude = std::abs(MinutesEast);
    return Format("%s%.2d:%.2d", MinutesEast > 0 ? "+" : "-", magnitude / 60, magnitude % 60);
}

std::string W3CDateTime(TDateTime Local) {
    return Compose(Local, LocalUtcOffsetMinutes(Local));
}

std::string W3CDateTimeOf(std::time_t Instant) {
    return Compose(FileDateToDateTime(Instant), UtcOffsetMinutesAt(Instant));
}
