#include "cli/faces/display_width.h"

#include <algorithm>
#include <utility>

namespace payroll::cli {
namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

// The bytes and cells of the character that starts at s[i].
std::pair<std::size_t, int> CharAt(const std::string& s, std::size_t i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    char32_t c = len == 1 ? b : b & (0x3F >> (len - 1));
    for (int k = 1; k < len && i + k < s.size(); ++k)
        c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return {static_cast<std::size_t>(len), IsWide(c) ? 2 : 1};
}

}  // namespace

int DisplayWidth(const std::string& s) {
    int cells = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto [len, width] = CharAt(s, i);
        cells += width;
        i += len;
    }
    return cells;
}

std::string FitCells(const std::string& s, int cells) {
    int used = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto [len, width] = CharAt(s, i);
        if (used + width > cells) break;
        used += width;
        i += len;
    }
    return s.substr(0, std::min(i, s.size()));
}

std::string PadRight(const std::string& s, int cells) {
    int width = DisplayWidth(s);
    return width >= cells ? s : s + std::string(static_cast<std::size_t>(cells - width), ' ');
}

}  // namespace payroll::cli
