#include "app/core/w3c_date.h"

#include "platform/rtl/format.h"

#include <cstdlib>

namespace {
std::string Compose(TDateTime local, int minutesEast) {
    std::string offset = UtcOffsetText(minutesEast);
    if (offset.empty()) offset = "+00:00";
    return FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", local) + offset;
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
