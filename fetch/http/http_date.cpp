#include "fetch/http/http_date.h"

#include "platform/rtl/strings.h"

#include <optional>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

int monthNumber(const std::string& token) {
    for (int i = 0; i < 12; ++i)
        if (SameText(token, kMonths[i])) return i + 1;
    return 0;
}

std::string trimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ')
        ++i;
    return s.substr(i);
}

// Takes the text before the first delimiter (all of it when there is none) and leaves the rest,
// left-trimmed, in w.
std::string takeToken(std::string& w, char delimiter) {
    const size_t at = w.find(delimiter);
    std::string token = w.substr(0, at);
    w = at == std::string::npos ? std::string() : trimLeft(w.substr(at + 1));
    return token;
}

std::optional<int> number(const std::string& token) {
    if (token.empty() || token.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

TDateTime ParseHttpDate(const std::string& Text) {
    std::string w = Trim(Text);
    if (w.empty()) return 0;
    for (const char* day : kDays) {
        if (w.size() >= 3 && SameText(w.substr(0, 3), day)) {
            const size_t blank = w.find(' ');
            w = blank == std::string::npos ? std::string() : trimLeft(w.substr(blank + 1));
            break;
        }
    }
    const size_t firstBlank = w.find(' ');
    const size_t dash = w.find('-', 1);
    const char d =
        dash != std::string::npos && (firstBlank == std::string::npos || dash < firstBlank) ? '-' : ' ';

    int day = 0;
    int month = 0;
    std::string first = takeToken(w, d);
    if (monthNumber(first) == 0) {
        day = number(first).value_or(1);
        month = monthNumber(takeToken(w, d));
    } else {
        month = monthNumber(first);
        day = number(takeToken(w, d)).value_or(1);
    }
    std::string token = takeToken(w, ' ');
    std::optional<int> year = number(token);
    std::string time;
    if (year) {
        if (w.find(':') != std::string::npos) time = takeToken(w, ' ');
    } else {
        // asctime: the time comes before the year
        time = token;
        year = number(takeToken(w, ' '));
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
        const int hours = number(takeToken(t, ':')).value_or(0);
        const int minutes = number(takeToken(t, ':')).value_or(0);
        const int seconds = number(takeToken(t, ':')).value_or(0);
        TDateTime part;
        if (!TryEncodeTime(hours, minutes, seconds, 0, part)) return 0;
        value += part;
    }
    const std::string zone = trimLeft(w);
    double offset = 0;
    if (zone.size() >= 5 && (zone[0] == '+' || zone[0] == '-')) {
        const int hh = number(zone.substr(1, 2)).value_or(0);
        const int mm = number(zone.substr(3, 2)).value_or(0);
        offset = (hh * 60 + mm) / 1440.0;
        if (zone[0] == '-') offset = -offset;
    }
    return UniversalToLocal(value - offset);
}
