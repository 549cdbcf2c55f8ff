// Values of the company folder: a cell's text converted to the form the
// tables store (codes, YYYYMMDD dates, YYYYMM months, plain numbers), and a
// stored value shown as the files write it.
#include <charconv>
#include <string>
#include <string_view>

#include "company/model.h"

namespace payroll::folder {
namespace {

bool Digits(std::string_view s, std::size_t from, std::size_t count) {
    if (s.size() < from + count) return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int DaysIn(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
    return days[month - 1];
}

const char* KindExpected(Kind kind) {
    switch (kind) {
        case Kind::kDate:
            return "a date that exists, as 2002-07-15";
        case Kind::kMonth:
            return "a month, as 2002-07";
        case Kind::kYear:
            return "a year, as 2002";
        case Kind::kAmount:
            return "an amount: a number such as 1500000 or 1,500,000.50";
        case Kind::kCount:
            return "a whole number from 0";
        case Kind::kDay:
            return "a day of the month, 1 to 31";
        default:
            return "";
    }
}

// A whole number of digits only (Digits checked them).
int Number(std::string_view digits) {
    int n = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return n;
}

}  // namespace

bool ConvertCell(const ColumnSpec& c, std::string_view text, const Lists& lists,
                 const Lists::List* list, std::string* stored, std::string* expected) {
    if (text.empty()) {
        stored->clear();
        if (c.required) *expected = "a value: the column is required";
        return !c.required;
    }
    bool ok = true;
    switch (c.kind) {
        case Kind::kText:
            stored->assign(text);
            break;
        case Kind::kCode:
            ok = text.find_first_of(" \t\r\n,'\"") == std::string_view::npos;
            stored->assign(text);
            if (!ok) *expected = "a code without blanks, commas or quotes";
            break;
        case Kind::kList:
            ok = lists.Resolve(list, c.list, text, stored);
            if (!ok) *expected = "one of " + lists.Sample(c.list);
            break;
        case Kind::kDate:
            ok = ParseDate(text, stored);
            break;
        case Kind::kMonth:
            ok = ParseMonth(text, stored);
            break;
        case Kind::kYear:
            ok = text.size() == 4 && Digits(text, 0, 4) && text >= "1900";
            stored->assign(text);
            break;
        case Kind::kAmount:
            ok = ParseAmount(text, stored);
            break;
        case Kind::kCount:
            ok = text.size() <= 6 && Digits(text, 0, text.size());
            if (ok) *stored = std::to_string(Number(text));
            break;
        case Kind::kDay:
            ok = text.size() <= 2 && Digits(text, 0, text.size()) && Number(text) >= 1 &&
                 Number(text) <= 31;
            if (ok) *stored = std::to_string(Number(text));
            break;
    }
    if (!ok && expected->empty()) *expected = KindExpected(c.kind);
    if (ok && static_cast<int>(stored->size()) > c.width) {
        *expected = "at most " + std::to_string(c.width) + " bytes";
        return false;
    }
    return ok;
}

bool ParseDate(std::string_view text, std::string* stored) {
    char d[8];
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        text.copy(d, 4, 0);
        text.copy(d + 4, 2, 5);
        text.copy(d + 6, 2, 8);
    } else if (text.size() == 8) {
        text.copy(d, 8);
    } else {
        return false;
    }
    const std::string_view digits(d, 8);
    if (!Digits(digits, 0, 8)) return false;
    const int y = Number(digits.substr(0, 4)), m = Number(digits.substr(4, 2)),
              day = Number(digits.substr(6, 2));
    if (y < 1900 || m < 1 || m > 12 || day < 1 || day > DaysIn(y, m)) return false;
    stored->assign(digits);
    return true;
}

bool ParseMonth(std::string_view text, std::string* stored) {
    char d[6];
    if (text.size() == 7 && text[4] == '-') {
        text.copy(d, 4, 0);
        text.copy(d + 4, 2, 5);
    } else if (text.size() == 6) {
        text.copy(d, 6);
    } else {
        return false;
    }
    const std::string_view digits(d, 6);
    if (!Digits(digits, 0, 6)) return false;
    const int m = Number(digits.substr(4, 2));
    if (digits < "190001" || m < 1 || m > 12) return false;
    stored->assign(digits);
    return true;
}

bool ParseAmount(std::string_view text, std::string* stored) {
    // Most amounts are plain digits already in their stored form.
    if (!text.empty() && text.size() <= 15 && Digits(text, 0, text.size()) &&
        (text[0] != '0' || text.size() == 1)) {
        stored->assign(text);
        return true;
    }
    std::string s;
    std::size_t i = 0;
    if (!text.empty() && text[0] == '-') {
        s += '-';
        i = 1;
    }
    std::size_t int_digits = 0, frac_digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            s += c;
            (point ? frac_digits : int_digits) += 1;
        } else if (c == ',' && !point && int_digits > 0) {
            continue;
        } else if (c == '.' && !point && int_digits > 0) {
            point = true;
            s += c;
        } else {
            return false;
        }
    }
    if (int_digits == 0 || int_digits > 15 || frac_digits > 4 || (point && frac_digits == 0))
        return false;
    *stored = CanonicalNumber(s);
    return true;
}

std::string CanonicalNumber(std::string_view text) {
    std::string s(text);
    if (s.find_first_not_of("-0123456789.") != std::string::npos || s.empty()) return s;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    bool negative = s[0] == '-';
    std::string digits = negative ? s.substr(1) : s;
    while (digits.size() > 1 && digits[0] == '0' && digits[1] != '.') digits.erase(0, 1);
    if (digits == "0") negative = false;
    return negative ? "-" + digits : digits;
}

std::string DisplayValue(Kind kind, const std::string& stored) {
    if (kind == Kind::kDate && stored.size() == 8)
        return stored.substr(0, 4) + "-" + stored.substr(4, 2) + "-" + stored.substr(6, 2);
    if (kind == Kind::kMonth && stored.size() == 6)
        return stored.substr(0, 4) + "-" + stored.substr(4, 2);
    return stored;
}

}  // namespace payroll::folder
