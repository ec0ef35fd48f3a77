#include "fetch/http/http_date.h"

#include "platform/rtl/strings.h"

#include <optional>
#include <string_view>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

int MonthNumber(const std::string& token) {
    for (int i = 0; i < 12; ++i)
        if (SameText(token, kMonths[i])) return i + 1;
    return 0;
}

std::string SkipLeadingBlanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ')
        ++i;
    return s.substr(i);
}

// Takes the text before the first delimiter (all of it when there is none) and leaves the rest,
// left-trimmed, in w.
std::string TakeToken(std::string& w, char delimiter) {
    const size_t at = w.find(delimiter);
    std::string token = w.substr(0, at);
    w = at == std::string::npos ? std::string() : SkipLeadingBlanks(w.substr(at + 1));
    return token;
}

std::optional<int> Number(const std::string& token) {
    if (token.empty() || token.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Two digits at Text[At], or -1.
int TwoDigits(const std::string& Text, size_t At) {
    const char a = Text[At], b = Text[At + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

// The form servers send ("Sun, 06 Nov 1994 08:49:37 GMT"), read in place: the same value as the
// general reading below, which copies each part. False for any other text.
bool ParseFixedDate(const std::string& Text, TDateTime& Value) {
    if (Text.size() != 29 || Text[3] != ',' || Text[4] != ' ' || Text[7] != ' ' || Text[11] != ' ' ||
        Text[16] != ' ' || Text[19] != ':' || Text[22] != ':' || Text[25] != ' ' ||
        Text.compare(26, 3, "GMT") != 0)
        return false;
    bool dayName = false;
    for (const char* day : kDays)
        dayName = dayName || SameText(std::string_view(Text).substr(0, 3), day);
    const int month = MonthNumber(Text.substr(8, 3));
    const int day = TwoDigits(Text, 5), century = TwoDigits(Text, 12), year = TwoDigits(Text, 14);
    const int hours = TwoDigits(Text, 17), minutes = TwoDigits(Text, 20), seconds = TwoDigits(Text, 23);
    // A year below 100 is read as a two-digit one: that is the general reading's.
    if (!dayName || month == 0 || day < 0 || century <= 0 || year < 0 || hours < 0 || minutes < 0 ||
        seconds < 0)
        return false;
    TDateTime date, time;
    if (!TryEncodeDate(century * 100 + year, month, day == 0 ? 1 : day, date) ||
        !TryEncodeTime(hours, minutes, seconds, 0, time)) {
        Value = 0;
        return true;
    }
    Value = UniversalToLocal(date + time);
    return true;
}

} // namespace

TDateTime ParseHttpDate(const std::string& Text) {
    TDateTime fixed;
    if (ParseFixedDate(Text, fixed)) return fixed;
    std::string w = Trim(Text);
    if (w.empty()) return 0;
    for (const char* day : kDays) {
        if (w.size() >= 3 && SameText(w.substr(0, 3), day)) {
            const size_t blank = w.find(' ');
            w = blank == std::string::npos ? std::string() : SkipLeadingBlanks(w.substr(blank + 1));
            break;
        }
    }
    const size_t firstBlank = w.find(' ');
    const size_t dash = w.find('-', 1);
    const char d =
        dash != std::string::npos && (firstBlank == std::string::npos || dash < firstBlank) ? '-' : ' ';

    int day = 0;
    int month = 0;
    std::string first = TakeToken(w, d);
    if (MonthNumber(first) == 0) {
        day = Number(first).value_or(1);
        month = MonthNumber(TakeToken(w, d));
    } else {
        month = MonthNumber(first);
        day = Number(TakeToken(w, d)).value_or(1);
    }
    std::string token = TakeToken(w, ' ');
    std::optional<int> year = Number(token);
    std::string time;
    if (year) {
        if (w.find(':') != std::string::npos) time = TakeToken(w, ' ');
    } else {
        // asctime: the time comes before the year
        time = token;
        year = Number(TakeToken(w, ' '));
    }
    if (month == 0 || !year) return 0;
    int y = *year;
    if (y < 80)
        y += 2000;
    else if (y < 100)
        y += 1900;
    if (day == 0) day = 1;
    TDateTime value;
    if (!TryEncodeDate(y, month, day, value)) return 0;
    if (time.find(':') != std::string::npos) {
        std::string t = time;
        const int hours = Number(TakeToken(t, ':')).value_or(0);
        const int minutes = Number(TakeToken(t, ':')).value_or(0);
        const int seconds = Number(TakeToken(t, ':')).value_or(0);
        TDateTime part;
        if (!TryEncodeTime(hours, minutes, seconds, 0, part)) return 0;
        value += part;
    }
    const std::string zone = SkipLeadingBlanks(w);
    double offset = 0;
    if (zone.size() >= 5 && (zone[0] == '+' || zone[0] == '-')) {
        const int hh = Number(zone.substr(1, 2)).value_or(0);
        const int mm = Number(zone.substr(3, 2)).value_or(0);
        offset = (hh * 60 + mm) / 1440.0;
        if (zone[0] == '-') offset = -offset;
    }
    return UniversalToLocal(value - offset);
}
