// printf-style conversions, taken apart so that a text that did not come from
// our own source (a language file) is never handed to printf as a format,
// and so that amounts can be grouped by thousands one conversion at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace payroll::lang {

enum class ArgKind { kInt, kDouble, kText, kOther };

// One conversion: format[begin, end) is its whole text, from '%' to the
// conversion letter. Width and precision are -1 when absent; star_width and
// star_precision say they come from the arguments.
struct Conversion {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string flags;  // any of "-+ #0'"
    int width = -1;
    int precision = -1;
    bool star_width = false;
    bool star_precision = false;
    std::string length;  // "", "hh", "h", "l", "ll", "j", "z", "t", "L"
    char letter = 0;     // d i u o x X f F e E g G a A c s p n
    ArgKind kind = ArgKind::kOther;
};

// Largest width or precision accepted; beyond it a text is refused, so that
// no conversion can ask for a gigabyte of padding.
inline constexpr int kMaxFieldWidth = 1024;

// Splits a format into its conversions ("%%" is not one). False when the
// text holds something printf would misread: an incomplete or unknown
// conversion, a positional "%1$", or a width or precision beyond the limit.
bool ParseConversions(std::string_view format, std::vector<Conversion>* out);

using FormatArg = std::variant<long long, double, std::string>;

// True when every conversion of the format takes exactly the kind of the
// argument in the same place, none reads its width or precision from the
// arguments, none is %n, %p or %c, text conversions carry no length modifier
// and double conversions none but "l"; and there are as many conversions as
// arguments.
bool ConversionsMatch(const std::vector<Conversion>& conversions,
                      const std::vector<FormatArg>& args);

// Formats the text with the arguments when the conversions match
// (ConversionsMatch); otherwise returns false and leaves *out alone.
bool FormatChecked(std::string_view format, const std::vector<FormatArg>& args, std::string* out);

// Renders one conversion with the given width and precision (-1: none) and
// value; the conversion's own '*' markers are ignored.
std::string RenderInt(const Conversion& c, int width, int precision, long long value);
std::string RenderUnsigned(const Conversion& c, int width, int precision, unsigned long long value);
std::string RenderDouble(const Conversion& c, int width, int precision, double value);
std::string RenderText(const Conversion& c, int width, int precision, std::string_view value);

// Inserts a comma every three digits into the integer part of the first
// number in text ("-1234567.5" -> "-1,234,567.5"); leaves exponent forms,
// "inf" and "nan" alone.
std::string GroupThousands(std::string_view text);

}  // namespace payroll::lang
