#include "platform/text/number_parse.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace payroll::text {

double NumberOf(std::string_view text) {
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
