#pragma once
// Dates of HTTP headers (RFC 1123, RFC 850 and asctime forms) as local date-time values.
#include "platform/rtl/date_time.h"

#include <string>

// 0 for an empty text and for any text that is not a date (never a day of 1899).
TDateTime ParseHttpDate(const std::string& Text);
