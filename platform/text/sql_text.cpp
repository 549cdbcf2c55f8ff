#include "platform/text/sql_text.h"

namespace payroll::sql {

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\0') break;  // a C text ends here
        if (c == '\'') out += '\'';
        out += c;
    }
    return out;
}

bool IsSequence(std::string_view text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace payroll::sql
