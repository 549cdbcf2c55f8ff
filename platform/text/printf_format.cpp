#include "platform/text/printf_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace payroll::text {
namespace {

// A precision above this goes to the C library (to_chars needs room for it).
constexpr int kMaxPrecision = 60;
// Below this every whole number is a double exactly (2^53).
constexpr double kExactIntegers = 9007199254740992.0;

struct Directive {
    bool left = false;   // '-'
    bool plus = false;   // '+'
    bool space = false;  // ' '
    bool zero = false;   // '0'
    int width = 0;
    int precision = -1;  // none
    int length = 0;      // 0 int, 1 long, 2 long long, 3 size_t
};

// Pads `body` (its sign, if any, first) to the width.
void Put(std::string* out, const Directive& directive, std::string_view sign, std::string_view body,
         bool zeroPad) {
    if (directive.width == 0) {  // no padding: most conversions
        out->append(sign).append(body);
        return;
    }
    const std::size_t size = sign.size() + body.size();
    const std::size_t pad = directive.width > 0 && static_cast<std::size_t>(directive.width) > size
                                ? directive.width - size
                                : 0;
    if (directive.left) {
        out->append(sign).append(body).append(pad, ' ');
    } else if (zeroPad) {
        out->append(sign).append(pad, '0').append(body);
    } else {
        out->append(pad, ' ').append(sign).append(body);
    }
}

std::string_view SignOf(bool negative, const Directive& directive) {
    if (negative) return "-";
    if (directive.plus) return "+";
    if (directive.space) return " ";
    return {};
}

void PutInteger(std::string* out, const Directive& directive, unsigned long long magnitude,
                bool negative, int base, bool upper) {
    char digits[80];
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr;
    std::string_view body(digits, static_cast<std::size_t>(end - digits));
    if (upper)
        for (char* p = digits; p < end; ++p)
            if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
    std::string padded;
    if (directive.precision >= 0) {
        // The precision is the least number of digits; zero with precision 0
        // prints no digit at all.
        if (directive.precision == 0 && magnitude == 0) body = {};
        if (body.size() < static_cast<std::size_t>(directive.precision)) {
            padded.assign(static_cast<std::size_t>(directive.precision) - body.size(), '0');
            padded.append(body);
            body = padded;
        }
    }
    const bool isSigned = base == 10 && !upper;
    Put(out, directive, isSigned ? SignOf(negative, directive) : std::string_view(), body,
        directive.zero && directive.precision < 0);
}

}  // namespace

bool AppendPrintf(std::string* out, const char* format, va_list args) {
    const char* p = format;
    // Statements come out a little longer than their formats.
    out->reserve(out->size() + std::strlen(format) + 64);
    for (;;) {
        const char* percent = std::strchr(p, '%');
        if (!percent) {
            out->append(p);
            return true;
        }
        out->append(p, static_cast<std::size_t>(percent - p));
        p = percent + 1;
        if (*p == '%') {
            out->push_back('%');
            ++p;
            continue;
        }
        Directive directive;
        for (;; ++p) {
            if (*p == '-') {
                directive.left = true;
            } else if (*p == '+') {
                directive.plus = true;
            } else if (*p == ' ') {
                directive.space = true;
            } else if (*p == '0') {
                directive.zero = true;
            } else {
                break;
            }
        }
        if (*p == '*') {
            directive.width = va_arg(args, int);
            if (directive.width < 0) {
                directive.left = true;
                directive.width = -directive.width;
            }
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') {
                directive.width = directive.width * 10 + (*p++ - '0');
                if (directive.width > 100000) return false;
            }
        }
        if (*p == '.') {
            ++p;
            directive.precision = 0;
            if (*p == '*') {
                directive.precision = va_arg(args, int);
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') {
                    directive.precision = directive.precision * 10 + (*p++ - '0');
                    if (directive.precision > 100000) return false;
                }
            }
        }
        if (*p == 'l') {
            directive.length = 1;
            if (*++p == 'l') {
                directive.length = 2;
                ++p;
            }
        } else if (*p == 'z') {
            directive.length = 3;
            ++p;
        }
        const char conversion = *p++;
        switch (conversion) {
            case 'd':
            case 'i': {
                long long v = directive.length == 0   ? va_arg(args, int)
                              : directive.length == 1 ? va_arg(args, long)
                              : directive.length == 2
                                  ? va_arg(args, long long)
                                  : static_cast<long long>(va_arg(args, size_t));
                unsigned long long magnitude = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                                     : static_cast<unsigned long long>(v);
                PutInteger(out, directive, magnitude, v < 0, 10, false);
                break;
            }
            case 'u':
            case 'x':
            case 'X': {
                unsigned long long v = directive.length == 0   ? va_arg(args, unsigned)
                                       : directive.length == 1 ? va_arg(args, unsigned long)
                                       : directive.length == 2 ? va_arg(args, unsigned long long)
                                                               : va_arg(args, size_t);
                Directive unsignedDirective = directive;
                unsignedDirective.plus = unsignedDirective.space = false;
                PutInteger(out, unsignedDirective, v, false, conversion == 'u' ? 10 : 16,
                           conversion == 'X');
                break;
            }
            case 'c': {
                if (directive.length != 0 || directive.zero) return false;
                const char c = static_cast<char>(va_arg(args, int));
                Put(out, directive, {}, std::string_view(&c, 1), false);
                break;
            }
            case 's': {
                if (directive.length != 0 || directive.zero) return false;
                const char* s = va_arg(args, const char*);
                if (!s) return false;
                std::string_view body =
                    directive.precision >= 0
                        ? std::string_view(
                              s, strnlen(s, static_cast<std::size_t>(directive.precision)))
                        : std::string_view(s);
                Put(out, directive, {}, body, false);
                break;
            }
            case 'f': {
                if (directive.length > 1) return false;
                const double v = va_arg(args, double);
                const int precision = directive.precision < 0 ? 6 : directive.precision;
                if (!std::isfinite(v) || precision > kMaxPrecision) return false;
                char digits[400];
                char* end = nullptr;
                const double magnitude = std::fabs(v);
                if (magnitude < kExactIntegers && magnitude == std::trunc(magnitude)) {
                    // A whole amount (most are): its digits, then the zeros.
                    end = std::to_chars(digits, digits + 32, static_cast<long long>(magnitude)).ptr;
                    if (precision > 0) {
                        *end++ = '.';
                        end = std::fill_n(end, precision, '0');
                    }
                } else {
                    auto [last, ec] = std::to_chars(digits, digits + sizeof digits, magnitude,
                                                    std::chars_format::fixed, precision);
                    if (ec != std::errc()) return false;
                    end = last;
                }
                Put(out, directive, SignOf(std::signbit(v), directive),
                    std::string_view(digits, static_cast<std::size_t>(end - digits)),
                    directive.zero);
                break;
            }
            default:
                return false;
        }
    }
}

}  // namespace payroll::text
