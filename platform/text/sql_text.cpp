#include "platform/text/sql_text.h"

namespace payroll::sql {

void AppendEscaped(std::string_view text, std::string* out) {
    text = text.substr(0, text.find('\0'));  // a C text ends here
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t quote = text.find('\'', from);
        if (quote == std::string_view::npos) {
            out->append(text.substr(from));
            break;
        }
        out->append(text.substr(from, quote + 1 - from));
        out->push_back('\'');
        from = quote + 1;
    }
}

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendEscaped(text, &out);
    return out;
}

bool IsSequence(std::string_view text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace payroll::sql
