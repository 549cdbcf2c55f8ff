#include "platform/text/number_parse.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace payroll::text {

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal ("-12", "3572000.0000", "1e5"): what strtod reads of it,
// from_chars reads too (both round correctly), without a copy. Blanks, a
// plus sign and hexadecimal ("0x1A") go the C library's way.
bool PlainDecimal(std::string_view text) {
    const std::size_t digit = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digit || !Digit(text[digit])) return false;
    return text.size() < digit + 2 || (text[digit + 1] != 'x' && text[digit + 1] != 'X');
}

}  // namespace

double NumberOf(std::string_view text) {
    if (PlainDecimal(text)) {
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc()) return std::isfinite(value) ? value : 0;
    }
    // strtod needs a terminated text; amounts are short, so most are copied
    // into a buffer on the stack.
    char small[64];
    std::string large;
    const char* c = small;
    if (text.size() < sizeof small) {
        text.copy(small, text.size());
        small[text.size()] = '\0';
    } else {
        large.assign(text);
        c = large.c_str();
    }
    const double value = std::strtod(c, nullptr);
    return std::isfinite(value) ? value : 0;
}

}  // namespace payroll::text
