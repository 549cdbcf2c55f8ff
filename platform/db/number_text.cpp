#include "platform/db/number_text.h"

#include <charconv>
#include <cmath>

namespace payroll::db {

std::string IntegerText(std::int64_t value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string RealText(double value) {
    if (std::isnan(value)) return "0";
    if (value == 0) return "0";  // also turns -0 into 0
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (r.ec != std::errc()) return "0";
    return std::string(buf, r.ptr);
}

}  // namespace payroll::db
