#pragma once
// The W3C date-time text of the sitemap's lastmod: "yyyy-mm-ddThh:mm:ss+hh:mm".
#include "platform/rtl/date_time.h"

#include <ctime>
#include <string>

// "+hh:mm" or "-hh:mm" for minutes east of UTC; empty for 0.
std::string UtcOffsetText(int MinutesEast);
// A local wall-clock time with the offset in effect at that time (not today's).
std::string W3CDateTime(TDateTime Local);
// An instant such as a file time, as local time with the offset in effect at that instant.
std::string W3CDateTimeOf(std::time_t Instant);
