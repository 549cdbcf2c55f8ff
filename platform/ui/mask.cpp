#include "platform/ui/mask.h"

#include <cstdio>
#include <cstdlib>

namespace payroll::ui {
namespace {

// The text of "(...)" right at text[i], or of the run of digits there.
std::string_view Argument(std::string_view text, std::size_t i, std::size_t* next) {
    if (i < text.size() && text[i] == '(') {
        std::size_t close = text.find(')', i);
        if (close == std::string_view::npos) close = text.size();
        *next = close + (close < text.size() ? 1 : 0);
        return text.substr(i + 1, close - i - 1);
    }
    std::size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    *next = j;
    return text.substr(i, j - i);
}

int Number(std::string_view digits, int fallback) {
    if (digits.empty() || digits.size() > 4) return fallback;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return fallback;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

CellMask ParseMask(std::string_view mask) {
    CellMask m;
    if (mask.empty() || mask.front() != '@') return m;
    m.is_mask = true;
    std::size_t i = 0;
    while ((i = mask.find('@', i)) != std::string_view::npos) {
        if (i + 1 >= mask.size()) break;
        char token = mask[i + 1];
        std::size_t next = i + 2;
        if (token == 'E' && i + 2 < mask.size()) {
            char kind = mask[i + 2];
            m.numeric = kind == '9';
            std::string_view arg = Argument(mask, i + 3, &next);
            m.decimals = std::min(Number(arg, 0), 15);
        } else if (token == 'M') {
            std::size_t end = mask.find_first_of("@\t", i + 2);
            if (end == std::string_view::npos) end = mask.size();
            m.picture.assign(mask.substr(i + 2, end - i - 2));
            next = end;
        } else if (token == 'D') {
            m.width = Number(Argument(mask, i + 2, &next), -1);
        } else if (token == 'A') {
            m.align.assign(Argument(mask, i + 2, &next));
        }
        i = std::max(next, i + 1);
    }
    return m;
}

std::string ApplyMask(const CellMask& mask, std::string_view value) {
    if (!mask.is_mask) return std::string(value);
    if (!mask.picture.empty()) {
        std::string out;
        std::size_t v = 0;
        for (char p : mask.picture) {
            if (v >= value.size()) break;
            if (p == '#')
                out += value[v++];
            else
                out += p;
        }
        out.append(value.substr(std::min(v, value.size())));
        return out;
    }
    if (mask.numeric && !value.empty()) {
        std::string text(value);
        char* end = nullptr;
        double number = std::strtod(text.c_str(), &end);
        bool is_number = end && *end == '\0' && end != text.c_str();
        if (is_number && (mask.decimals > 0 || text.find('.') != std::string::npos)) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", mask.decimals, number);
            return buf;
        }
    }
    return std::string(value);
}

}  // namespace payroll::ui
