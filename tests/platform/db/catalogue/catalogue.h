// The statement catalogue: every SQL template of the engine and the front,
// kept verbatim in the *.txt files beside this header and filled with sample
// values the way the code fills them (printf-style, values given as text).
//
// File format, one directive a line; blank lines and lines starting with '#'
// are skipped:
//   entry NAME         starts an entry; names are unique over all files
//   fragment           the entry is a clause other entries use, not a statement
//   sql "TEXT"         appends TEXT to the entry's template
//   sql-of NAME        appends the filled text of an earlier entry to the
//                      template, its '%' doubled so the outer format keeps it
//   arg "A" "B" ...    the next values for the template's conversions
//   arg-of NAME        the next value is the filled text of an earlier entry
//   columns "A" ...    result columns the calling step reads by name
// Quoted texts know the escapes \t, \n, \" and \\.
#pragma once

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace payroll::catalogue {

namespace detail {

// The pieces one after another, in one allocation.
inline std::string Join(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces) size += piece.size();
    std::string out;
    out.reserve(size);
    for (std::string_view piece : pieces) out += piece;
    return out;
}

}  // namespace detail

struct Entry {
    std::string name;
    bool fragment = false;
    std::string text;                  // the filled statement text
    std::vector<std::string> columns;  // columns a step reads from its result
};

namespace detail {

inline bool ParseNumber(const std::string& text, bool integral, long long* whole, double* real) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    if (integral) {
        *whole = std::strtoll(text.c_str(), &end, 10);
    } else {
        *real = std::strtod(text.c_str(), &end);
    }
    return errno == 0 && end != nullptr && *end == '\0';
}

// Reads the quoted texts of `rest` ("a" "b" ...) into `out`.
inline bool ParseQuoted(std::string_view rest, std::vector<std::string>* out, std::string* error) {
    size_t i = 0;
    while (i < rest.size()) {
        if (rest[i] == ' ') {
            ++i;
            continue;
        }
        if (rest[i] != '"') {
            *error = "expected a quoted text";
            return false;
        }
        std::string value;
        for (++i;; ++i) {
            if (i >= rest.size()) {
                *error = "unterminated quoted text";
                return false;
            }
            const char c = rest[i];
            if (c == '"') break;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (++i >= rest.size()) {
                *error = "backslash at the end of the line";
                return false;
            }
            switch (rest[i]) {
                case 't':
                    value += '\t';
                    break;
                case 'n':
                    value += '\n';
                    break;
                case '"':
                    value += '"';
                    break;
                case '\\':
                    value += '\\';
                    break;
                default:
                    *error = "unknown escape";
                    return false;
            }
        }
        ++i;  // the closing quote
        out->push_back(std::move(value));
    }
    return true;
}

}  // namespace detail

// Formats `tmpl` as printf would with `args`, each value given as text:
// %s takes it as is, %d and %f convert it first (a value that is no number is
// an error). Flags, width and precision are honoured; '*' is not supported.
// Fails when the count of conversions and values differ.
inline bool FormatTemplate(std::string_view tmpl, const std::vector<std::string>& args,
                           std::string* out, std::string* error) {
    out->clear();
    size_t next = 0;
    for (size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] != '%') {
            *out += tmpl[i];
            continue;
        }
        const size_t start = i++;
        if (i < tmpl.size() && tmpl[i] == '%') {
            *out += '%';
            continue;
        }
        while (i < tmpl.size() && std::string_view("-+ #0").find(tmpl[i]) != std::string_view::npos)
            ++i;
        while (i < tmpl.size() && (std::isdigit(static_cast<unsigned char>(tmpl[i])) != 0)) ++i;
        if (i < tmpl.size() && tmpl[i] == '.') {
            ++i;
            while (i < tmpl.size() && (std::isdigit(static_cast<unsigned char>(tmpl[i])) != 0)) ++i;
        }
        if (i >= tmpl.size() || std::string_view("sdf").find(tmpl[i]) == std::string_view::npos) {
            *error = "unsupported conversion at offset " + std::to_string(start);
            return false;
        }
        if (next >= args.size()) {
            *error = "more conversions than values (" + std::to_string(args.size()) + " values)";
            return false;
        }
        const std::string& value = args[next++];
        std::string flags(tmpl.substr(start, i - start));
        char buffer[512];
        int n = 0;
        long long whole = 0;
        double real = 0;
        switch (tmpl[i]) {
            case 's':
                if (flags == "%") {  // the common case needs no buffer
                    *out += value;
                    continue;
                }
                n = std::snprintf(buffer, sizeof buffer, (flags + "s").c_str(), value.c_str());
                break;
            case 'd':
                if (!detail::ParseNumber(value, true, &whole, &real)) {
                    *error = detail::Join({"value '", value, "' of ", flags, "d is no integer"});
                    return false;
                }
                n = std::snprintf(buffer, sizeof buffer, (flags + "lld").c_str(), whole);
                break;
            default:
                if (!detail::ParseNumber(value, false, &whole, &real)) {
                    *error = detail::Join({"value '", value, "' of ", flags, "f is no number"});
                    return false;
                }
                n = std::snprintf(buffer, sizeof buffer, (flags + "f").c_str(), real);
                break;
        }
        if (n < 0 || static_cast<size_t>(n) >= sizeof buffer) {
            *error = "conversion " + flags + " overflows";
            return false;
        }
        out->append(buffer, static_cast<size_t>(n));
    }
    if (next != args.size()) {
        *error = std::to_string(args.size() - next) + " value(s) left over";
        return false;
    }
    return true;
}

namespace detail {

// Builds entries from directives, one line at a time.
class Parser {
  public:
    explicit Parser(std::vector<Entry>* entries) : entries_(entries) {
        for (size_t i = 0; i < entries_->size(); ++i) index_[(*entries_)[i].name] = i;
    }

    bool Directive(std::string_view word, std::string_view rest, std::string* why) {
        if (word == "entry") return Start(rest, why);
        if (!open_) return Fail("directive outside an entry", why);
        if (word == "fragment") {
            current_.fragment = true;
            return true;
        }
        if (word == "sql" || word == "arg" || word == "columns") {
            std::vector<std::string> values;
            if (!ParseQuoted(rest, &values, why)) return false;
            for (std::string& v : values) {
                if (word == "sql") {
                    template_ += v;
                } else if (word == "arg") {
                    args_.push_back(std::move(v));
                } else {
                    current_.columns.push_back(std::move(v));
                }
            }
            return true;
        }
        if (word == "sql-of" || word == "arg-of") {
            auto it = index_.find(rest);
            if (it == index_.end())
                return Fail("no earlier entry named '" + std::string(rest) + "'", why);
            const std::string& text = (*entries_)[it->second].text;
            if (word == "arg-of") {
                args_.push_back(text);
                return true;
            }
            for (char c : text) template_ += c == '%' ? std::string("%%") : std::string(1, c);
            return true;
        }
        return Fail("unknown directive '" + std::string(word) + "'", why);
    }

    // Formats the open entry and adds it; harmless when none is open.
    bool Finish(std::string* why) {
        if (!open_) return true;
        if (!FormatTemplate(template_, args_, &current_.text, why)) {
            *why = "entry '" + current_.name + "': " + *why;
            return false;
        }
        index_[current_.name] = entries_->size();
        entries_->push_back(std::move(current_));
        current_ = Entry{};
        template_.clear();
        args_.clear();
        open_ = false;
        return true;
    }

  private:
    static bool Fail(std::string message, std::string* why) {
        *why = std::move(message);
        return false;
    }

    bool Start(std::string_view name, std::string* why) {
        if (!Finish(why)) return false;
        if (name.empty()) return Fail("entry without a name", why);
        if (index_.count(name) != 0)
            return Fail("duplicate entry '" + std::string(name) + "'", why);
        current_.name = std::string(name);
        open_ = true;
        return true;
    }

    std::vector<Entry>* entries_;
    std::map<std::string, size_t, std::less<>> index_;
    bool open_ = false;
    Entry current_;
    std::string template_;
    std::vector<std::string> args_;
};

}  // namespace detail

// Parses one catalogue file and appends its entries to `entries`; sql-of and
// arg-of may name entries of earlier files. `file_name` only labels errors.
inline bool ParseCatalogue(std::string_view file_text, const std::string& file_name,
                           std::vector<Entry>* entries, std::string* error) {
    detail::Parser parser(entries);
    size_t line_no = 0;
    size_t begin = 0;
    while (begin < file_text.size()) {
        size_t end = file_text.find('\n', begin);
        if (end == std::string_view::npos) end = file_text.size();
        std::string_view line = file_text.substr(begin, end - begin);
        begin = end + 1;
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const size_t blank = line.find(' ');
        const std::string_view rest =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        std::string why;
        if (!parser.Directive(line.substr(0, blank), rest, &why)) {
            *error = detail::Join({file_name, ":", std::to_string(line_no), ": ", why});
            return false;
        }
    }
    std::string why;
    if (!parser.Finish(&why)) {
        *error = file_name + ": " + why;
        return false;
    }
    return true;
}

inline bool ReadWholeFile(const std::string& path, std::string* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *out = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

// The catalogue files in the order they build on each other.
inline std::vector<std::string> CatalogueFiles() {
    const std::string dir = std::string(PAYROLL_SOURCE_DIR) + "/tests/platform/db/catalogue/";
    return {dir + "build_run.txt", dir + "tax.txt", dir + "front.txt"};
}

inline bool LoadCatalogue(std::vector<Entry>* entries, std::string* error) {
    entries->clear();
    for (const std::string& path : CatalogueFiles()) {
        std::string text;
        if (!ReadWholeFile(path, &text)) {
            *error = "cannot read " + path;
            return false;
        }
        if (!ParseCatalogue(text, path, entries, error)) return false;
    }
    return true;
}

// The entry of that name, or null.
inline const Entry* FindEntry(const std::vector<Entry>& entries, std::string_view name) {
    for (const Entry& e : entries) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

// The text in capitals: column names compare without regard to case.
inline std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The columns the entry's step reads by name that a result with these
// columns lacks.
inline std::vector<std::string> MissingColumns(const Entry& entry,
                                               const std::vector<std::string>& result_columns) {
    std::vector<std::string> have;
    have.reserve(result_columns.size());
    for (const std::string& c : result_columns) have.push_back(Upper(c));
    std::vector<std::string> missing;
    for (const std::string& c : entry.columns) {
        bool found = false;
        for (const std::string& h : have) found = found || h == Upper(c);
        if (!found) missing.push_back(c);
    }
    return missing;
}

}  // namespace payroll::catalogue
