#include "common/Dates.h"

#include <cstdio>
#include <cstdlib>

// Howard Hinnant's civil-from-days algorithms.
long DaysFromDate(const TDate& d) {
    long y = d.Year - (d.Month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (d.Month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + d.Day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TDate DateFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    TDate d;
    d.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.Year = static_cast<int>(yoe + era * 400 + (d.Month <= 2 ? 1 : 0));
    return d;
}

bool IsValidDate(const TDate& d) {
    if (d.Year < 1 || d.Year > 9999 || d.Month < 1 || d.Month > 12 || d.Day < 1) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int days = kDays[d.Month - 1];
    bool leap = (d.Year % 4 == 0 && d.Year % 100 != 0) || d.Year % 400 == 0;
    if (d.Month == 2 && leap) days = 29;
    return d.Day <= days;
}

std::string FormatDate(const TDate& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.Year, d.Month, d.Day);
    return buf;
}

static bool ReadNumber(const std::string& s, size_t& i, int& out) {
    size_t start = i;
    long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        v = v * 10 + (s[i] - '0');
        if (v > 99999) return false;
        ++i;
    }
    out = static_cast<int>(v);
    return i > start;
}

bool ParseDate(const std::string& text, TDate& out) {
    size_t i = 0;
    TDate d;
    if (!ReadNumber(text, i, d.Year) || i >= text.size() || text[i++] != '/') return false;
    if (!ReadNumber(text, i, d.Month) || i >= text.size() || text[i++] != '/') return false;
    if (!ReadNumber(text, i, d.Day) || i != text.size()) return false;
    if (!IsValidDate(d)) return false;
    out = d;
    return true;
}
