#include "engine/common/calendar.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace payroll::calendar {
namespace {

constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::string Ymd(int y, int m, int d) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthDays(int year, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2) return IsLeapYear(year) ? 29 : 28;
    return kDays[month];
}

int DayNumber(int year, int month, int day) {
    int y = static_cast<std::int16_t>(year);
    int m = static_cast<std::int16_t>(month);
    int d = static_cast<std::int16_t>(day);
    int n = 365 * (y - 1) + FloorDiv(y - 1, 4) - (y - 1) / 100 + (y - 1) / 400;
    for (int i = 1; i < m && i <= 12; ++i) n += MonthDays(y, i);
    return n + d;
}

int AtoiSlice(const std::string& text, std::size_t first, std::size_t count) {
    if (first >= text.size()) return 0;
    std::string part = text.substr(first, count);
    return std::atoi(part.c_str());
}

int DayNumberOfText(const std::string& t) {
    return DayNumber(AtoiSlice(t, 0, 4), AtoiSlice(t, 4, 2), AtoiSlice(t, 6, 2));
}

void PayWindow(int kind, int cutoff, int year, int month, std::string* start, std::string* end) {
    const int c = cutoff;
    const int y = year;
    const int m = month;
    if ((kind != 1 && kind != 2) || c < 1 || m < 1 || m > 12) {
        *start = "00000000";
        *end = "00000000";
        return;
    }
    auto min = [](int a, int b) { return a < b ? a : b; };
    if (kind == 1) {
        int py = m == 1 ? y - 1 : y;  // the month before
        int pm = m == 1 ? 12 : m - 1;
        if (c == 1) {
            *start = Ymd(py, pm, 1);
            *end = Ymd(py, pm, MonthDays(py, pm));
        } else {
            *start = Ymd(py, pm, c);
            *end = Ymd(y, m, min(c - 1, MonthDays(y, m)));
        }
        return;
    }
    if (c == 1) {
        *start = Ymd(y, m, 1);
        *end = Ymd(y, m, MonthDays(y, m));
        return;
    }
    int ny = m == 12 ? y + 1 : y;  // the month after
    int nm = m == 12 ? 1 : m + 1;
    *start = Ymd(y, m, c);
    *end = Ymd(ny, nm, min(c - 1, MonthDays(ny, nm)));
}

std::string ZeroPad8(const std::string& text) {
    if (text.size() >= 8) return text;
    return std::string(8 - text.size(), '0') + text;
}

}  // namespace payroll::calendar
