#include "platform/text/printf_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace payroll::text {
namespace {

// A precision above this goes to the C library (to_chars needs room for it).
constexpr int kMaxPrecision = 60;

struct Spec {
    bool left = false;   // '-'
    bool plus = false;   // '+'
    bool space = false;  // ' '
    bool zero = false;   // '0'
    int width = 0;
    int precision = -1;  // none
    int length = 0;      // 0 int, 1 long, 2 long long, 3 size_t
};

// Pads `body` (its sign, if any, first) to the width.
void Put(std::string* out, const Spec& spec, std::string_view sign, std::string_view body,
         bool zeroPad) {
    const std::size_t size = sign.size() + body.size();
    const std::size_t pad =
        spec.width > 0 && static_cast<std::size_t>(spec.width) > size ? spec.width - size : 0;
    if (spec.left) {
        out->append(sign).append(body).append(pad, ' ');
    } else if (zeroPad) {
        out->append(sign).append(pad, '0').append(body);
    } else {
        out->append(pad, ' ').append(sign).append(body);
    }
}

std::string_view SignOf(bool negative, const Spec& spec) {
    if (negative) return "-";
    if (spec.plus) return "+";
    if (spec.space) return " ";
    return {};
}

void PutInteger(std::string* out, const Spec& spec, unsigned long long magnitude, bool negative,
                int base, bool upper) {
    char digits[80];
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr;
    std::string_view body(digits, static_cast<std::size_t>(end - digits));
    if (upper)
        for (char* p = digits; p < end; ++p)
            if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
    std::string padded;
    if (spec.precision >= 0) {
        // The precision is the least number of digits; zero with precision 0
        // prints no digit at all.
        if (spec.precision == 0 && magnitude == 0) body = {};
        if (body.size() < static_cast<std::size_t>(spec.precision)) {
            padded.assign(static_cast<std::size_t>(spec.precision) - body.size(), '0');
            padded.append(body);
            body = padded;
        }
    }
    const bool isSigned = base == 10 && !upper;
    Put(out, spec, isSigned ? SignOf(negative, spec) : std::string_view(), body,
        spec.zero && spec.precision < 0);
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
        Spec spec;
        for (;; ++p) {
            if (*p == '-') {
                spec.left = true;
            } else if (*p == '+') {
                spec.plus = true;
            } else if (*p == ' ') {
                spec.space = true;
            } else if (*p == '0') {
                spec.zero = true;
            } else {
                break;
            }
        }
        if (*p == '*') {
            spec.width = va_arg(args, int);
            if (spec.width < 0) {
                spec.left = true;
                spec.width = -spec.width;
            }
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') {
                spec.width = spec.width * 10 + (*p++ - '0');
                if (spec.width > 100000) return false;
            }
        }
        if (*p == '.') {
            ++p;
            spec.precision = 0;
            if (*p == '*') {
                spec.precision = va_arg(args, int);
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') {
                    spec.precision = spec.precision * 10 + (*p++ - '0');
                    if (spec.precision > 100000) return false;
                }
            }
        }
        if (*p == 'l') {
            spec.length = 1;
            if (*++p == 'l') {
                spec.length = 2;
                ++p;
            }
        } else if (*p == 'z') {
            spec.length = 3;
            ++p;
        }
        const char conversion = *p++;
        switch (conversion) {
            case 'd':
            case 'i': {
                long long v = spec.length == 0   ? va_arg(args, int)
                              : spec.length == 1 ? va_arg(args, long)
                              : spec.length == 2 ? va_arg(args, long long)
                                                 : static_cast<long long>(va_arg(args, size_t));
                unsigned long long magnitude = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                                     : static_cast<unsigned long long>(v);
                PutInteger(out, spec, magnitude, v < 0, 10, false);
                break;
            }
            case 'u':
            case 'x':
            case 'X': {
                unsigned long long v = spec.length == 0   ? va_arg(args, unsigned)
                                       : spec.length == 1 ? va_arg(args, unsigned long)
                                       : spec.length == 2 ? va_arg(args, unsigned long long)
                                                          : va_arg(args, size_t);
                Spec unsignedSpec = spec;
                unsignedSpec.plus = unsignedSpec.space = false;
                PutInteger(out, unsignedSpec, v, false, conversion == 'u' ? 10 : 16,
                           conversion == 'X');
                break;
            }
            case 'c': {
                if (spec.length != 0 || spec.zero) return false;
                const char c = static_cast<char>(va_arg(args, int));
                Put(out, spec, {}, std::string_view(&c, 1), false);
                break;
            }
            case 's': {
                if (spec.length != 0 || spec.zero) return false;
                const char* s = va_arg(args, const char*);
                if (!s) return false;
                std::string_view body =
                    spec.precision >= 0
                        ? std::string_view(s, strnlen(s, static_cast<std::size_t>(spec.precision)))
                        : std::string_view(s);
                Put(out, spec, {}, body, false);
                break;
            }
            case 'f': {
                if (spec.length > 1) return false;
                const double v = va_arg(args, double);
                const int precision = spec.precision < 0 ? 6 : spec.precision;
                if (!std::isfinite(v) || precision > kMaxPrecision) return false;
                char digits[400];
                auto [end, ec] = std::to_chars(digits, digits + sizeof digits, std::fabs(v),
                                               std::chars_format::fixed, precision);
                if (ec != std::errc()) return false;
                Put(out, spec, SignOf(std::signbit(v), spec),
                    std::string_view(digits, static_cast<std::size_t>(end - digits)), spec.zero);
                break;
            }
            default:
                return false;
        }
    }
}

}  // namespace payroll::text
