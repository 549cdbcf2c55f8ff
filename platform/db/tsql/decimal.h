// Exact decimal arithmetic for the old dialect's ROUND and STR. The original
// database rounds amounts as decimals: ROUND(2.675, 2) is 2.68 there, while
// the binary double nearest 2.675 lies just below it. Values arriving as
// doubles are first read back as the decimal they print as with 15
// significant digits, which recovers every amount the engine formats with
// four decimals (and sums of two such amounts) below 10^11.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace payroll::tsql {

class Decimal {
  public:
    Decimal() = default;  // zero

    // Plain or exponent notation with optional sign and surrounding blanks
    // ("-12.3400", " 7 ", "1.5e-3"). False for anything else, or for more
    // digits or a larger exponent than a payroll amount could need.
    static bool Parse(std::string_view text, Decimal* out);
    static Decimal FromInteger(std::int64_t v);
    // `v` must be finite.
    static Decimal FromDouble(double v);

    // Rounded at `places` decimals (negative: places left of the point), half
    // away from zero, or toward zero when `truncate`.
    Decimal Rounded(int places, bool truncate) const;

    // Plain notation with at least `decimals` digits after the point.
    std::string ToString(int decimals = 0) const;
    double ToDouble() const;
    // False when the value has a fraction or does not fit.
    bool ToInt64(std::int64_t* out) const;

    bool negative() const { return negative_; }
    bool is_zero() const { return digits_.empty(); }
    // Digits after the point as stored (negative when the value ends in zeros
    // that are not written).
    int scale() const { return scale_; }

  private:
    void Normalize();

    bool negative_ = false;
    std::string digits_;  // no leading zeros; empty for zero
    int scale_ = 0;       // value = digits_ * 10^-scale_
};

// The old dialect's STR: `value` rounded half away from zero at `decimals`
// places (0 to 16), right-aligned in `length` characters. When it does not fit,
// fewer decimals are shown; when even the whole part does not fit, `length`
// stars. Empty for a length below 1.
std::string FormatStr(const Decimal& value, int length, int decimals);

}  // namespace payroll::tsql
