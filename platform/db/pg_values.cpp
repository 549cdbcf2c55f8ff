#include "platform/db/pg_values.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

#include "platform/db/number_text.h"

namespace payroll::db {
namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string TrimNumericText(std::string_view text) {
    if (text == "NaN") return "0";
    std::string_view sign, digits = text;
    if (!digits.empty() && digits.front() == '-') {
        sign = digits.substr(0, 1);
        digits.remove_prefix(1);
    }
    std::size_t point = digits.find('.');
    std::string_view whole = digits.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    if (!AllDigits(whole) ||
        (point != std::string_view::npos && !fraction.empty() && !AllDigits(fraction)))
        return std::string(text);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    bool zero = whole.find_first_not_of('0') == std::string_view::npos && fraction.empty();
    std::string out;
    out.reserve(text.size());
    if (!zero) out.append(sign);
    out.append(whole);
    if (!fraction.empty()) {
        out.push_back('.');
        out.append(fraction);
    }
    return out;
}

void AppendCellText(Oid type, std::string_view value, std::string* out) {
    switch (type) {
        case kPgNumeric:
            out->append(TrimNumericText(value));
            return;
        case kPgFloat4:
        case kPgFloat8: {
            // The server writes the shortest exact form, with an exponent for
            // large and small values; the engine wants plain decimals.
            std::string text(value);
            char* end = nullptr;
            double d = std::strtod(text.c_str(), &end);
            if (end == text.c_str()) {
                out->append(value);
                return;
            }
            out->append(RealText(d));
            return;
        }
        case kPgBool:
            out->append(value == "t" ? "1" : "0");
            return;
        default:
            out->append(value);
    }
}

Oid LiteralType(const tsql::BoundValue& value) {
    using Kind = tsql::BoundValue::Kind;
    switch (value.kind) {
        case Kind::kInteger: {
            std::int64_t n = 0;
            const char* first = value.text.data();
            const char* last = first + value.text.size();
            auto [end, ec] = std::from_chars(first, last, n);
            if (ec != std::errc() || end != last) return kPgNumeric;
            return n <= INT32_MAX ? kPgInt4 : kPgInt8;
        }
        case Kind::kReal:
            return kPgNumeric;
        case Kind::kText:
        case Kind::kNull:
            return 0;
    }
    return 0;
}

}  // namespace payroll::db
