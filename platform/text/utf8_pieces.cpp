#include "platform/text/utf8_pieces.h"

#include "payroll/fixed_text.h"

namespace payroll::text {

std::vector<std::string_view> Utf8Pieces(std::string_view text, std::size_t limit) {
    std::vector<std::string_view> pieces;
    if (limit == 0) limit = 1;
    while (!text.empty()) {
        std::size_t n = Utf8PrefixLength(text, limit);
        if (n == 0) n = std::min(text.size(), limit);
        pieces.push_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    return pieces;
}

}  // namespace payroll::text
