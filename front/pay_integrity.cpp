#include "front/pay_integrity.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace payroll::front {

std::string PayIntegrity(std::string_view number, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxIntegrityDecimals);
    std::string text(number);  // atof needs a terminated copy
    double value = std::atof(text.c_str());
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.15G", value);
    std::string out = printed;
    std::size_t point = out.find('.');
    if (point == std::string::npos) {
        point = out.size();
        out += '.';
    }
    out += "00000";
    if (decimals == 0) return out.substr(0, point);
    return out.substr(0, point + 1 + static_cast<std::size_t>(decimals));
}

}  // namespace payroll::front
