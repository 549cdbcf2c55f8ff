#include "cli/faces/tui_text.h"

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <limits>

namespace payroll::cli::tui {
namespace {

// Decodes one UTF-8 character at text[i]; false (and *len = 1) when the
// bytes there are not a valid character.
bool Decode(std::string_view text, std::size_t i, char32_t* cp, std::size_t* len) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    *len = 1;
    std::size_t n = b < 0x80           ? 1
                    : (b >> 5) == 0x6  ? 2
                    : (b >> 4) == 0xE  ? 3
                    : (b >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || i + n > text.size()) return false;
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return false;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    *cp = c;
    *len = n;
    return true;
}

// Cells of one decoded character; -1 for one that is shown as '?'.
int CharWidth(char32_t cp) {
    if (cp < 0x20 || cp == 0x7F) return -1;
    int w = ::wcwidth(static_cast<wchar_t>(cp));
    if (w >= 0) return w;
    // Without a UTF-8 locale wcwidth knows nothing: Hangul and the CJK
    // ranges are still two cells wide.
    if ((cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
        (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
        (cp >= 0xFF00 && cp <= 0xFF60) || (cp >= 0xFFE0 && cp <= 0xFFE6))
        return 2;
    return cp < 0x80 ? -1 : 1;
}

template <typename Fn>
void ForEachChar(std::string_view text, Fn fn) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = 1;
        bool ok = Decode(text, i, &cp, &len);
        int w = ok ? CharWidth(cp) : -1;
        if (!fn(text.substr(i, len), w)) return;
        i += len;
    }
}

}  // namespace

void UseUtf8Locale() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
}

int DisplayWidth(std::string_view text) {
    int width = 0;
    ForEachChar(text, [&](std::string_view, int w) {
        width += w < 0 ? 1 : w;
        return true;
    });
    return width;
}

std::string Printable(std::string_view text) {
    return FitWidth(text, std::numeric_limits<int>::max());
}

std::string FitWidth(std::string_view text, int width) {
    std::string out;
    int used = 0;
    ForEachChar(text, [&](std::string_view ch, int w) {
        int cells = w < 0 ? 1 : w;
        if (used + cells > width) return false;
        used += cells;
        if (w < 0)
            out += '?';
        else
            out.append(ch);
        return true;
    });
    return out;
}

std::string PadRight(std::string_view text, int width) {
    std::string out = FitWidth(text, width);
    int missing = width - DisplayWidth(out);
    if (missing > 0) out.append(static_cast<std::size_t>(missing), ' ');
    return out;
}

std::vector<std::string> LayOutTable(const std::vector<std::vector<std::string>>& rows,
                                     int max_width) {
    std::vector<int> widths;
    for (const auto& row : rows) {
        if (row.size() > widths.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], std::min(DisplayWidth(row[c]), max_width));
    }
    std::vector<std::string> lines;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) line += "  ";
            line += PadRight(row[c], widths[c]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace payroll::cli::tui
