#include "platform/db/number_text.h"

#include <charconv>
#include <cmath>

namespace payroll::db {

void AppendIntegerText(std::int64_t value, std::string* out) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out->append(buf, r.ptr);
}

void AppendRealText(double value, std::string* out) {
    if (std::isnan(value) || value == 0) {  // 0 also stands for -0
        out->push_back('0');
        return;
    }
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (r.ec != std::errc()) {
        out->push_back('0');
        return;
    }
    out->append(buf, r.ptr);
}

std::string IntegerText(std::int64_t value) {
    std::string text;
    AppendIntegerText(value, &text);
    return text;
}

std::string RealText(double value) {
    std::string text;
    AppendRealText(value, &text);
    return text;
}

}  // namespace payroll::db
