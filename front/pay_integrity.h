// Number texts with a fixed count of decimals, cut rather than rounded.
#pragma once

#include <string>
#include <string_view>

namespace payroll::front {

inline constexpr int kMaxIntegrityDecimals = 5;

// The number (read as atof reads it: a text that is no number is 0) printed
// with "%.15G", a point added when there is none (also after an exponent),
// then exactly `decimals` digits kept after the point: none and no point for
// 0. Counts below 0 or above 5 are clamped to that range.
std::string PayIntegrity(std::string_view number, int decimals);

}  // namespace payroll::front
