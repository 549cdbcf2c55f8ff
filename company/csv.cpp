#include "company/csv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

namespace payroll::folder {
namespace {

// Whether `text` is well-formed UTF-8; *bad receives the offset of the first
// byte that is not.
bool ValidUtf8(std::string_view text, std::size_t* bad) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight bytes of ASCII at a time: most of a company's text is.
        if (i + 8 <= text.size()) {
            std::uint64_t eight = 0;
            std::memcpy(&eight, text.data() + i, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            n = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            min = 0x10000;
        } else {
            *bad = i;
            return false;
        }
        if (i + n >= text.size()) {
            *bad = i;
            return false;
        }
        unsigned value = c & (0x3F >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) {
                *bad = i;
                return false;
            }
            value = (value << 6) | (d & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            *bad = i;
            return false;
        }
        i += n + 1;
    }
    return true;
}

long LineAt(std::string_view text, std::size_t offset) {
    long line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// CP949 to UTF-8 through iconv. False at the first byte sequence CP949 does
// not have; *bad receives its offset.
bool FromCp949(std::string_view bytes, std::string* out, std::size_t* bad) {
    iconv_t cd = ::iconv_open("UTF-8", "CP949");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open fails with (iconv_t)-1
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *bad = 0;
        return false;
    }
    out->clear();
    out->resize(bytes.size() * 3 / 2 + 16);
    std::string input(bytes);
    char* in = input.data();
    std::size_t in_left = input.size();
    std::size_t done = 0;
    bool ok = true;
    while (in_left > 0) {
        char* dst = out->data() + done;
        std::size_t dst_left = out->size() - done;
        const std::size_t r = ::iconv(cd, &in, &in_left, &dst, &dst_left);
        done = out->size() - dst_left;
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out->resize(out->size() * 2);
            continue;
        }
        *bad = static_cast<std::size_t>(in - input.data());
        ok = false;
        break;
    }
    ::iconv_close(cd);
    out->resize(done);
    return ok;
}

bool FormulaLike(std::string_view value) {
    if (value.empty()) return false;
    const char c = value.front();
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

}  // namespace

bool DecodeText(std::string_view bytes, std::string* utf8, std::string* error, long* line) {
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        *line = LineAt(bytes, nul);
        *error = "a NUL byte: the file is not a text file";
        return false;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::size_t bad = 0;
    if (ValidUtf8(bytes, &bad)) {
        utf8->assign(bytes);
        return true;
    }
    const std::size_t utf8_bad = bad;
    if (FromCp949(bytes, utf8, &bad)) return true;
    // Neither: name the place where UTF-8 broke when the text has any UTF-8
    // beyond ASCII before it (a mixed file), else where CP949 broke.
    *line = LineAt(bytes, std::max(utf8_bad, bad));
    *error = "text that is neither UTF-8 nor CP949 (a file saved in two encodings?)";
    return false;
}

bool ScanCsv(std::string_view text, const std::function<void(const CsvRowView&)>& take,
             std::string* error, long* error_line) {
    // A cell is a piece of the text [begin, end) until a quote opens it;
    // then its text (quotes undone, and whatever follows the closing quote)
    // is built in `own` from own_begin.
    struct Span {
        std::size_t begin, size;
        bool own;
    };
    std::vector<Span> spans;
    std::string own;
    CsvRowView row;
    row.line = 1;
    long line = 1;
    bool row_has_content = false;
    std::size_t begin = 0;
    bool blank = true;  // the cell holds nothing but spaces so far
    bool quoted = false;
    std::size_t own_begin = 0;
    const std::size_t n = text.size();
    auto end_cell = [&](std::size_t end) {
        if (quoted)
            spans.push_back({own_begin, own.size() - own_begin, true});
        else
            spans.push_back({begin, end - begin, false});
        begin = end + 1;
        blank = true;
        quoted = false;
    };
    auto end_row = [&](std::size_t end) {
        end_cell(end);
        if (row_has_content) {
            row.cells.clear();
            for (const Span& sp : spans)
                row.cells.emplace_back(sp.own ? std::string_view(own).substr(sp.begin, sp.size)
                                              : text.substr(sp.begin, sp.size));
            take(row);
        }
        spans.clear();
        own.clear();
        row_has_content = false;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '"' && !quoted && blank) {
            // A quoted cell, up to the quote that is not doubled.
            quoted = true;
            row_has_content = true;
            own_begin = own.size();
            const long quote_line = line;
            std::size_t j = i + 1;
            for (;;) {
                const std::size_t q = text.find('"', j);
                if (q == std::string_view::npos) {
                    *error = "a quote that never closes";
                    *error_line = quote_line;
                    return false;
                }
                const std::string_view piece = text.substr(j, q - j);
                line += static_cast<long>(std::count(piece.begin(), piece.end(), '\n'));
                own.append(piece);
                if (q + 1 < n && text[q + 1] == '"') {
                    own += '"';
                    j = q + 2;
                    continue;
                }
                i = q;
                break;
            }
        } else if (c == ',') {
            end_cell(i);
            row_has_content = true;
        } else if (c == '\n' || c == '\r') {
            const std::size_t end = i;
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            end_row(end);
            begin = i + 1;
            ++line;
            row.line = line;
        } else {
            if (quoted) own += c;
            if (c != ' ') {
                blank = false;
                row_has_content = true;
            }
        }
    }
    if (row_has_content) end_row(n);
    return true;
}

bool DecodeInPlace(std::string* text, std::string* error, long* line) {
    const std::string_view bytes = *text;
    const std::size_t bom = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t bad = 0;
    if (bytes.find('\0') == std::string_view::npos && ValidUtf8(bytes.substr(bom), &bad)) {
        text->erase(0, bom);
        return true;
    }
    std::string utf8;
    if (!DecodeText(bytes, &utf8, error, line)) return false;
    text->swap(utf8);
    return true;
}

bool ParseCsvRows(std::string_view text, const std::function<void(CsvRow&)>& take,
                  std::string* error, long* error_line) {
    CsvRow row;
    return ScanCsv(
        text,
        [&](const CsvRowView& view) {
            row.line = view.line;
            row.cells.assign(view.cells.begin(), view.cells.end());
            take(row);
        },
        error, error_line);
}

CsvText ParseCsv(std::string_view text) {
    CsvText out;
    ParseCsvRows(
        text, [&](CsvRow& row) { out.rows.push_back(std::move(row)); }, &out.error,
        &out.error_line);
    return out;
}

CsvText ReadCsv(std::string_view bytes) {
    std::string text;
    CsvText out;
    if (!DecodeText(bytes, &text, &out.error, &out.error_line)) return out;
    return ParseCsv(text);
}

std::string CsvCell(std::string_view value) {
    std::string v(value);
    if (FormulaLike(v)) v.insert(v.begin(), '\'');
    if (v.find_first_of(",\"\r\n") == std::string::npos &&
        (v.empty() || (v.front() != ' ' && v.back() != ' ')))
        return v;
    std::string q = "\"";
    for (char c : v) {
        if (c == '"') q += '"';
        q += c;
    }
    q += '"';
    return q;
}

std::string PlainCell(std::string_view cell) {
    return std::string(PlainView(cell));
}

std::string_view PlainView(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    // A tab or carriage return a spreadsheet was kept from running stays.
    std::string_view v = cell;
    if (!(cell.size() > 1 && cell.front() == '\'' && FormulaLike(cell.substr(1))))
        v = cell.substr(first, cell.find_last_not_of(" \t") - first + 1);
    if (v.size() > 1 && v.front() == '\'' && FormulaLike(v.substr(1))) v.remove_prefix(1);
    return v;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) line += ',';
        line += CsvCell(cells[i]);
    }
    line += "\r\n";
    return line;
}

}  // namespace payroll::folder
