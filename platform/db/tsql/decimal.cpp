#include "platform/db/tsql/decimal.h"

#include <charconv>
#include <cstdio>

namespace payroll::tsql {
namespace {

constexpr std::size_t kMaxDigits = 80;
constexpr int kMaxExponent = 400;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void Decimal::Normalize() {
    std::size_t lead = digits_.find_first_not_of('0');
    if (lead == std::string::npos) {
        digits_.clear();
        negative_ = false;
        scale_ = 0;
        return;
    }
    if (lead) digits_.erase(0, lead);
}

bool Decimal::Parse(std::string_view text, Decimal* out) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    Decimal d;
    std::size_t p = b;
    if (p < e && (text[p] == '+' || text[p] == '-')) d.negative_ = text[p++] == '-';
    bool any = false;
    int fraction = 0;
    while (p < e && IsDigit(text[p])) {
        d.digits_.push_back(text[p++]);
        any = true;
    }
    if (p < e && text[p] == '.') {
        ++p;
        while (p < e && IsDigit(text[p])) {
            d.digits_.push_back(text[p++]);
            ++fraction;
            any = true;
        }
    }
    if (!any) return false;
    int exponent = 0;
    if (p < e && (text[p] == 'e' || text[p] == 'E')) {
        ++p;
        bool minus = false;
        if (p < e && (text[p] == '+' || text[p] == '-')) minus = text[p++] == '-';
        if (p >= e || !IsDigit(text[p])) return false;
        while (p < e && IsDigit(text[p])) {
            exponent = exponent * 10 + (text[p++] - '0');
            if (exponent > kMaxExponent) return false;
        }
        if (minus) exponent = -exponent;
    }
    if (p != e) return false;
    d.scale_ = fraction - exponent;
    d.Normalize();
    if (d.digits_.size() > kMaxDigits) return false;
    *out = std::move(d);
    return true;
}

Decimal Decimal::FromInteger(std::int64_t v) {
    Decimal d;
    d.negative_ = v < 0;
    std::uint64_t magnitude =
        d.negative_ ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
    (void)ec;
    d.digits_.assign(buf, end);
    d.Normalize();
    return d;
}

Decimal Decimal::FromDouble(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", v);  // 15 significant digits
    Decimal d;
    if (!Parse(buf, &d)) return Decimal();
    // Drop the zeros the formatting padded with.
    while (!d.digits_.empty() && d.digits_.back() == '0') {
        d.digits_.pop_back();
        --d.scale_;
    }
    d.Normalize();
    return d;
}

Decimal Decimal::Rounded(int places, bool truncate) const {
    if (places >= scale_ || is_zero()) return *this;
    // Digits to drop from the right; the value is then kept * 10^-places.
    const long long drop = static_cast<long long>(scale_) - places;
    Decimal r;
    r.negative_ = negative_;
    r.scale_ = places;
    const auto len = static_cast<long long>(digits_.size());
    if (drop > len) {
        r.Normalize();  // everything dropped, the first dropped digit being a zero
        return r;
    }
    r.digits_ = digits_.substr(0, static_cast<std::size_t>(len - drop));
    const char first_dropped = digits_[static_cast<std::size_t>(len - drop)];
    if (!truncate && first_dropped >= '5') {
        std::size_t i = r.digits_.size();
        while (i > 0 && r.digits_[i - 1] == '9') r.digits_[--i] = '0';
        if (i == 0) {
            r.digits_.insert(r.digits_.begin(), '1');
        } else {
            ++r.digits_[i - 1];
        }
    }
    r.Normalize();
    return r;
}

std::string Decimal::ToString(int decimals) const {
    std::string out;
    if (negative_) out.push_back('-');
    std::string digits = digits_.empty() ? std::string("0") : digits_;
    int scale = digits_.empty() ? 0 : scale_;
    if (scale < 0) {
        digits.append(static_cast<std::size_t>(-scale), '0');
        scale = 0;
    }
    if (decimals > scale) {
        digits.append(static_cast<std::size_t>(decimals - scale), '0');
        scale = decimals;
    }
    if (scale == 0) return out + digits;
    const auto s = static_cast<std::size_t>(scale);
    if (digits.size() <= s) digits.insert(0, s + 1 - digits.size(), '0');
    out.append(digits, 0, digits.size() - s);
    out.push_back('.');
    out.append(digits, digits.size() - s, s);
    return out;
}

double Decimal::ToDouble() const {
    const std::string text = ToString();
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

bool Decimal::ToInt64(std::int64_t* out) const {
    if (scale_ > 0) return false;
    if (digits_.size() + static_cast<std::size_t>(-scale_) > 19) return false;
    const std::string text = ToString();
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string FormatStr(const Decimal& value, int length, int decimals) {
    if (length < 1) return std::string();
    if (decimals < 0) decimals = 0;
    if (decimals > 16) decimals = 16;
    const auto width = static_cast<std::size_t>(length);
    for (int d = decimals; d >= 0; --d) {
        std::string text = value.Rounded(d, false).ToString(d);
        if (text.size() <= width) return std::string(width - text.size(), ' ') + text;
    }
    return std::string(width, '*');
}

}  // namespace payroll::tsql
