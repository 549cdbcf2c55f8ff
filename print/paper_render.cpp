#include "print/paper_render.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "payroll/print.h"

namespace payroll::print {

std::string PaperLabel(int language, int id, std::initializer_list<std::string> args) {
    std::string text = papers::PaperText(language, id);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' &&
            text[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < args.size()) out += *(args.begin() + n);
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string PaperDate(const std::string& text) {
    if (text.size() == 8) return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6);
    if (text.size() == 6) return text.substr(0, 4) + "-" + text.substr(4);
    return text;
}

std::string PaperPercent(double fraction) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", fraction * 100);
    std::string out = buf;
    while (!out.empty() && out.back() == '0') out.pop_back();
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out + "%";
}

std::string PaperWon(double amount) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", amount);
    std::string text = digits;
    const long first = text[0] == '-' ? 1 : 0;
    for (long at = static_cast<long>(text.size()) - 3; at > first; at -= 3)
        text.insert(static_cast<std::size_t>(at), ",");
    return text;
}

namespace {

// "-1234", "0.5", "-0.25": a number as the papers' amounts are written.
bool PlainNumber(const std::string& text) {
    std::size_t at = text[0] == '-' ? 1 : 0;
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == digits) return false;
    if (at < text.size() && text[at] == '.') {
        const std::size_t point = ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at == point) return false;
    }
    return at == text.size();
}

}  // namespace

std::string CsvCell(const std::string& text) {
    std::string cell = text;
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos &&
        !PlainNumber(cell))
        cell.insert(0, 1, '\'');
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char ch : cell) quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + '"';
}

std::string PaperCsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "," : "") + CsvCell(cells[i]);
    return line + "\n";
}

std::string PaperCsvAmount(double amount) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", amount);
    std::string out = buf;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out == "-0" ? "0" : out;
}

}  // namespace payroll::print
