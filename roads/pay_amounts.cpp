// The pay step's arithmetic: amounts kept as decimal texts (so that what the
// step wrote compares exactly with what a row holds, on every backend), the
// days of a pay window an employee was employed, and proration to the won.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/common/calendar.h"
#include "roads/pay_step.h"

namespace payroll::pay {
namespace {

bool IsDate(const std::string& ymd) {
    if (ymd.size() != 8 || ymd.find_first_not_of("0123456789") != std::string::npos) return false;
    const int year = std::atoi(ymd.substr(0, 4).c_str());
    const int month = std::atoi(ymd.substr(4, 2).c_str());
    const int day = std::atoi(ymd.substr(6, 2).c_str());
    return year > 0 && month >= 1 && month <= 12 && day >= 1 &&
           day <= calendar::MonthDays(year, month);
}

int DayOf(const std::string& ymd) {
    return calendar::DayNumberOfText(ymd);
}

// The amount in ten-thousandths of a won; false when it is not an amount.
bool Units(std::string_view number, std::int64_t* units) {
    if (!IsAmount(number)) return false;
    const bool negative = number[0] == '-';
    if (negative) number.remove_prefix(1);
    std::int64_t whole = 0, fraction = 0;
    int places = 0;
    bool point = false;
    for (char c : number) {
        if (c == '.') {
            point = true;
        } else if (point) {
            fraction = fraction * 10 + (c - '0');
            ++places;
        } else {
            whole = whole * 10 + (c - '0');
        }
    }
    for (; places < 4; ++places) fraction *= 10;
    *units = (whole * 10000 + fraction) * (negative ? -1 : 1);
    return true;
}

}  // namespace

std::string PlainNumber(std::string_view number) {
    if (number.empty()) return "0";
    std::string s(number);
    if (s.find_first_not_of("-0123456789.") != std::string::npos) return s;
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    if (s.empty() || s.find('-') != std::string::npos) return std::string(number);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    while (s.size() > 1 && s[0] == '0' && s[1] != '.') s.erase(0, 1);
    if (s.empty() || s[0] == '.') s.insert(0, "0");
    if (s == "0") negative = false;
    return negative ? "-" + s : s;
}

bool IsAmount(std::string_view number) {
    std::size_t i = !number.empty() && number[0] == '-' ? 1 : 0;
    std::size_t whole = 0, places = 0;
    bool point = false;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            ++(point ? places : whole);
        } else {
            return false;
        }
    }
    return whole >= 1 && whole <= 15 && places <= 4 && (!point || places >= 1);
}

int DaysBetween(const std::string& first, const std::string& last) {
    if (!IsDate(first) || !IsDate(last)) return 0;
    const int days = DayOf(last) - DayOf(first) + 1;
    return days > 0 ? days : 0;
}

int DaysEmployed(const std::string& join, const std::string& retire, const std::string& start,
                 const std::string& end) {
    const std::string from = IsDate(join) && join > start ? join : start;
    const std::string to = IsDate(retire) && retire < end ? retire : end;
    return DaysBetween(from, to);
}

std::string Prorate(const std::string& amount, int days, int window_days) {
    if (window_days <= 0 || days >= window_days) return amount;
    std::int64_t units = 0;
    if (!Units(amount, &units)) return amount;
    // At most 15 digits of won: units * days stays within 64 bits up to
    // some 2.5e12 won, beyond which the product is taken in long double.
    constexpr std::int64_t kExact = INT64_MAX / 400;
    std::int64_t won = 0;
    if (units < kExact && units > -kExact) {
        won = units * days / (static_cast<std::int64_t>(window_days) * 10000);
    } else {
        won = static_cast<std::int64_t>(static_cast<long double>(units) * days /
                                        (static_cast<long double>(window_days) * 10000));
    }
    return std::to_string(days <= 0 ? 0 : won);
}

bool IsComputedDeduction(std::string_view code) {
    for (const char* computed : {"T00", "T10", "T20", "S00", "S10", "S20"})
        if (code == computed) return true;
    return false;
}

}  // namespace payroll::pay
