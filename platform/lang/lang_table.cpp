#include "platform/lang/lang_table.h"

#include "platform/registry/text_file.h"

namespace payroll::lang {
namespace {

bool ParseId(std::string_view digits, int* id) {
    if (digits.empty() || digits.size() > 5) return false;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < kMinTextId || n > kMaxTextId) return false;
    *id = n;
    return true;
}

bool Unescape(std::string_view raw, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        auto c = static_cast<unsigned char>(raw[i]);
        if (c < 0x20 || c == 0x7F) return false;  // control characters, tabs included
        if (c == '\\' && i + 1 < raw.size()) {
            char next = raw[i + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                *out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        *out += static_cast<char>(c);
    }
    return true;
}

}  // namespace

LangTable ParseLangText(std::string_view file_text) {
    LangTable table;
    config::TextLimits limits;
    limits.max_line = 2048;
    for (const config::TextLine& line : config::SplitLines(file_text, limits)) {
        if (line.overlong) {
            ++table.skipped_lines;
            continue;
        }
        std::string_view s = line.text;
        if (s.empty() || s.front() == '#') continue;
        std::size_t tab = s.find('\t');
        int id = 0;
        std::string text;
        if (tab == std::string_view::npos || !ParseId(s.substr(0, tab), &id) ||
            !config::IsValidUtf8(s) || !Unescape(s.substr(tab + 1), &text)) {
            ++table.skipped_lines;
            continue;
        }
        table.texts[id] = std::move(text);
    }
    return table;
}

}  // namespace payroll::lang
