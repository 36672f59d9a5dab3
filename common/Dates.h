#pragma once
#include <string>

// A calendar date; the program only ever compares whole days.
struct TDate {
    int Year = 1970;
    int Month = 1;
    int Day = 1;
    bool operator==(const TDate& o) const {
        return Year == o.Year && Month == o.Month && Day == o.Day;
    }
};

// Days since 1970-01-01 in the proleptic Gregorian calendar.
long DaysFromDate(const TDate& d);
TDate DateFromDays(long days);
bool IsValidDate(const TDate& d);
// "yyyy/mm/dd".
std::string FormatDate(const TDate& d);
// Reads "y/m/d" (year, month, day in that order, separated by "/"); false when the
// text is not a valid date.
bool ParseDate(const std::string& text, TDate& out);
