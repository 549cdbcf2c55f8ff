#include "platform/lang/format_spec.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace payroll::lang {
namespace {

ArgKind KindOf(char letter) {
    switch (letter) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return ArgKind::kInt;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return ArgKind::kDouble;
        case 's':
            return ArgKind::kText;
        default:  // 'c', 'p', 'n' and anything else
            return ArgKind::kOther;
    }
}

bool ReadNumber(std::string_view f, std::size_t* i, int* value) {
    long n = 0;
    bool any = false;
    while (*i < f.size() && f[*i] >= '0' && f[*i] <= '9') {
        n = n * 10 + (f[*i] - '0');
        if (n > kMaxFieldWidth) return false;
        ++*i;
        any = true;
    }
    if (any) *value = static_cast<int>(n);
    return true;
}

// Builds "%<flags><width>.<precision><length><letter>" for snprintf.
std::string SpecText(const Conversion& c, int width, int precision, const char* length) {
    std::string conversion = "%";
    for (char flag : c.flags)
        if (flag != '\'') conversion += flag;  // grouping is ours, not the C library's
    if (width >= 0) conversion += std::to_string(width);
    if (precision >= 0) conversion += "." + std::to_string(precision);
    conversion += length;
    conversion += c.letter;
    return conversion;
}

template <typename T>
std::string Snprintf(const std::string& conversion, T value) {
    char small[128];
    int n = std::snprintf(small, sizeof small, conversion.c_str(), value);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, n);
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), conversion.c_str(), value);
    big.resize(static_cast<std::size_t>(n));
    return big;
}

}  // namespace

bool ParseConversions(std::string_view f, std::vector<Conversion>* out) {
    out->clear();
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') continue;
        if (i + 1 < f.size() && f[i + 1] == '%') {
            ++i;
            continue;
        }
        Conversion c;
        c.begin = i++;
        while (i < f.size() && std::strchr("-+ #0'", f[i])) c.flags += f[i++];
        if (i < f.size() && f[i] == '*') {
            c.star_width = true;
            ++i;
        } else if (!ReadNumber(f, &i, &c.width)) {
            return false;
        }
        if (i < f.size() && f[i] == '$') return false;  // positional arguments
        if (i < f.size() && f[i] == '.') {
            ++i;
            c.precision = 0;
            if (i < f.size() && f[i] == '*') {
                c.star_precision = true;
                ++i;
            } else if (!ReadNumber(f, &i, &c.precision)) {
                return false;
            }
        }
        static constexpr const char* kLengths[] = {"hh", "ll", "h", "l", "j", "z", "t", "L"};
        for (const char* len : kLengths) {
            std::size_t n = std::strlen(len);
            if (f.substr(i, n) == len) {
                c.length = len;
                i += n;
                break;
            }
        }
        if (i >= f.size() || !std::strchr("diuoxXfFeEgGaAcspn", f[i]) || f[i] == '\0') return false;
        c.letter = f[i];
        c.kind = KindOf(c.letter);
        c.end = i + 1;
        out->push_back(std::move(c));
    }
    return true;
}

bool ConversionsMatch(const std::vector<Conversion>& conversions,
                      const std::vector<FormatArg>& args) {
    if (conversions.size() != args.size()) return false;
    for (std::size_t k = 0; k < conversions.size(); ++k) {
        const Conversion& c = conversions[k];
        if (c.star_width || c.star_precision) return false;
        switch (c.kind) {
            case ArgKind::kInt:
                if (c.length == "L" || !std::holds_alternative<long long>(args[k])) return false;
                break;
            case ArgKind::kDouble:
                if ((!c.length.empty() && c.length != "l") ||
                    !std::holds_alternative<double>(args[k]))
                    return false;
                break;
            case ArgKind::kText:
                if (!c.length.empty() || !std::holds_alternative<std::string>(args[k]))
                    return false;
                break;
            case ArgKind::kOther:
                return false;
        }
    }
    return true;
}

std::string RenderInt(const Conversion& c, int width, int precision, long long value) {
    if (c.letter != 'd' && c.letter != 'i')
        return RenderUnsigned(c, width, precision, static_cast<unsigned long long>(value));
    return Snprintf(SpecText(c, width, precision, "ll"), value);
}

std::string RenderUnsigned(const Conversion& c, int width, int precision,
                           unsigned long long value) {
    if (c.letter == 'd' || c.letter == 'i')
        return Snprintf(SpecText(c, width, precision, "ll"), static_cast<long long>(value));
    return Snprintf(SpecText(c, width, precision, "ll"), value);
}

std::string RenderDouble(const Conversion& c, int width, int precision, double value) {
    return Snprintf(SpecText(c, width, precision, ""), value);
}

std::string RenderText(const Conversion& c, int width, int precision, std::string_view value) {
    // The value may hold a NUL or be unterminated: render from a copy.
    std::string copy(value.substr(0, value.find('\0')));
    return Snprintf(SpecText(c, width, precision, ""), copy.c_str());
}

namespace {

// The conversions of a format, parsed once: a road formats the same
// progress line for every employee.
struct ParsedFormat {
    std::string format;
    std::vector<Conversion> conversions;
    bool ok = false;
};

const ParsedFormat& Parsed(std::string_view format) {
    thread_local ParsedFormat last;
    if (last.format != format || last.format.empty()) {
        last.format.assign(format);
        last.ok = ParseConversions(format, &last.conversions);
    }
    return last;
}

// A bare %d or %s (no flags, width, precision or length) printf would
// write as the number's digits or the text up to a NUL.
bool Bare(const Conversion& c) {
    return c.flags.empty() && c.width < 0 && c.precision < 0 && c.length.empty() &&
           (c.letter == 'd' || c.letter == 'i' || c.letter == 's');
}

void AppendBare(const FormatArg& arg, std::string* out) {
    if (const auto* n = std::get_if<long long>(&arg)) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, *n).ptr;
        out->append(digits, end);
    } else {
        const std::string& text = std::get<std::string>(arg);
        out->append(text, 0, text.find('\0'));
    }
}

}  // namespace

bool FormatChecked(std::string_view format, const std::vector<FormatArg>& args, std::string* out) {
    const ParsedFormat& parsed = Parsed(format);
    const std::vector<Conversion>& conversions = parsed.conversions;
    if (!parsed.ok || !ConversionsMatch(conversions, args)) return false;
    std::string result;
    result.reserve(format.size() + 32);
    std::size_t at = 0;
    auto literal = [&](std::size_t until) {
        for (std::size_t i = at; i < until; ++i) {
            result += format[i];
            if (format[i] == '%' && i + 1 < until && format[i + 1] == '%') ++i;
        }
    };
    for (std::size_t k = 0; k < conversions.size(); ++k) {
        const Conversion& c = conversions[k];
        literal(c.begin);
        if (Bare(c))
            AppendBare(args[k], &result);
        else if (const auto* n = std::get_if<long long>(&args[k]))
            result += RenderInt(c, c.width, c.precision, *n);
        else if (const auto* d = std::get_if<double>(&args[k]))
            result += RenderDouble(c, c.width, c.precision, *d);
        else
            result += RenderText(c, c.width, c.precision, std::get<std::string>(args[k]));
        at = c.end;
    }
    literal(format.size());
    *out = std::move(result);
    return true;
}

std::string GroupThousands(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && !(text[first] >= '0' && text[first] <= '9')) {
        char ch = text[first];
        if (ch != ' ' && ch != '-' && ch != '+' && ch != '(') return std::string(text);
        ++first;
    }
    std::size_t last = first;
    while (last < text.size() && text[last] >= '0' && text[last] <= '9') ++last;
    std::string_view rest = text.substr(last);
    if (!rest.empty() && (rest[0] == 'e' || rest[0] == 'E' || rest[0] == 'x' || rest[0] == 'X'))
        return std::string(text);
    if (rest.find_first_of("eE") != std::string_view::npos) return std::string(text);
    std::size_t digits = last - first;
    if (digits <= 3) return std::string(text);
    std::string out(text.substr(0, first));
    for (std::size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0) out += ',';
        out += text[first + i];
    }
    out += rest;
    return out;
}

}  // namespace payroll::lang
