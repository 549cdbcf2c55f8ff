#include "platform/ui/afx.h"

#include <cstdarg>
#include <string>

#include "platform/lang/format_spec.h"
#include "platform/lang/lang_util.h"

namespace payroll::ui {

void CallDriver(const std::function<void(UiDriver&)>& call) {
    try {
        call(CurrentUiDriver());
    } catch (...) {
        // A host driver's failure must not unwind through the library.
    }
}

}  // namespace payroll::ui

int AfxMessageBox(const char* text, UINT type, UINT /*help_id*/) {
    int answer = payroll::ui::DefaultMessageBoxAnswer(type);
    CString message = text ? text : "";
    payroll::ui::CallDriver([&](payroll::ui::UiDriver& driver) {
        answer = driver.MessageBox(message, CString(), type);
    });
    return answer;
}

int AfxMessageBox(UINT id, UINT type, UINT help_id) {
    return AfxMessageBox(TheLangUtil().GetLangString(static_cast<int>(id)).c_str(), type, help_id);
}

void Sleep(DWORD milliseconds) {
    try {
        payroll::ui::CurrentClock().Sleep(milliseconds);
    } catch (...) {
    }
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        default:
            return RGB(192, 192, 192);
    }
}

namespace {

using payroll::lang::Conversion;

bool Groups(const Conversion& c, const std::string& rendered) {
    switch (c.letter) {
        case 'd':
        case 'i':
        case 'u':
        case 'f':
        case 'F':
            return true;
        case 'g':
        case 'G':
            return rendered.find_first_of("eE") == std::string::npos;
        default:
            return false;
    }
}

// Pads a grouped number back to its field width: zeros after the sign for
// the '0' flag, blanks on the right for '-', else blanks on the left.
std::string Pad(const Conversion& c, int width, std::string text) {
    if (width <= 0 || static_cast<int>(text.size()) >= width) return text;
    std::size_t missing = static_cast<std::size_t>(width) - text.size();
    if (c.flags.find('-') != std::string::npos) return text + std::string(missing, ' ');
    if (c.flags.find('0') != std::string::npos) {
        std::size_t sign =
            (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) ? 1 : 0;
        return text.insert(sign, missing, '0');
    }
    return std::string(missing, ' ') + text;
}

}  // namespace

void HfxWonV(CString* out, const char* format, va_list args) {
    if (!out) return;
    out->Empty();
    if (!format) return;
    std::string_view f(format);
    std::vector<Conversion> conversions;
    if (!payroll::lang::ParseConversions(f, &conversions)) {
        // Not a format we can take apart: show the text itself.
        *out = format;
        return;
    }
    std::string result;
    std::size_t at = 0;
    auto literal = [&](std::size_t until) {
        for (std::size_t i = at; i < until; ++i) {
            result += f[i];
            if (f[i] == '%' && i + 1 < until && f[i + 1] == '%') ++i;
        }
    };
    for (const Conversion& c : conversions) {
        literal(c.begin);
        at = c.end;
        int width = c.width, precision = c.precision;
        Conversion plain = c;
        if (c.star_width) {
            width = va_arg(args, int);
            if (width > payroll::lang::kMaxFieldWidth || width < -payroll::lang::kMaxFieldWidth)
                width = 0;
            if (width < 0) {  // a negative '*' width means left-justified
                plain.flags += '-';
                width = -width;
            }
        }
        if (c.star_precision) {
            precision = va_arg(args, int);
            if (precision > payroll::lang::kMaxFieldWidth)
                precision = payroll::lang::kMaxFieldWidth;
            if (precision < 0) precision = -1;
        }
        std::string piece;
        const std::string& len = c.length;
        switch (c.letter) {
            case 'd':
            case 'i': {
                long long v = len == "ll"  ? va_arg(args, long long)
                              : len == "l" ? va_arg(args, long)
                              : len == "j" ? static_cast<long long>(va_arg(args, intmax_t))
                              : len == "z" ? static_cast<long long>(va_arg(args, size_t))
                              : len == "t" ? static_cast<long long>(va_arg(args, ptrdiff_t))
                                           : va_arg(args, int);
                if (len == "h") v = static_cast<short>(v);
                // As printf does: the value as a signed char, sign and all.
                if (len == "hh")
                    v = static_cast<signed char>(v);  // NOLINT(bugprone-signed-char-misuse)
                piece = payroll::lang::RenderInt(plain, -1, precision, v);
                break;
            }
            case 'u':
            case 'o':
            case 'x':
            case 'X': {
                unsigned long long v =
                    len == "ll"  ? va_arg(args, unsigned long long)
                    : len == "l" ? va_arg(args, unsigned long)
                    : len == "j" ? static_cast<unsigned long long>(va_arg(args, uintmax_t))
                    : len == "z" ? va_arg(args, size_t)
                    : len == "t" ? static_cast<unsigned long long>(va_arg(args, ptrdiff_t))
                                 : va_arg(args, unsigned int);
                if (len == "h") v = static_cast<unsigned short>(v);
                if (len == "hh") v = static_cast<unsigned char>(v);
                piece = payroll::lang::RenderUnsigned(plain, -1, precision, v);
                break;
            }
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                double v = len == "L" ? static_cast<double>(va_arg(args, long double))
                                      : va_arg(args, double);
                piece = payroll::lang::RenderDouble(plain, -1, precision, v);
                break;
            }
            case 's': {
                const char* s = va_arg(args, const char*);
                piece = payroll::lang::RenderText(plain, width, precision, s ? s : "(null)");
                width = -1;
                break;
            }
            case 'c': {
                int ch = va_arg(args, int);
                piece = std::string(1, static_cast<char>(ch));
                break;
            }
            case 'p': {
                void* p = va_arg(args, void*);
                char buf[32];
                std::snprintf(buf, sizeof buf, "%p", p);
                piece = buf;
                break;
            }
            case 'n':
                (void)va_arg(args, void*);  // never written through
                break;
        }
        if (Groups(c, piece)) piece = payroll::lang::GroupThousands(piece);
        result += Pad(plain, width, std::move(piece));
    }
    literal(f.size());
    *out = CString(std::move(result));
}

void HfxWon(CString* out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    HfxWonV(out, format, args);
    va_end(args);
}
