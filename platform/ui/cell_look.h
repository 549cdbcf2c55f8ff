// How a list-grid cell shows its stored text: through its column's mask
// (mask.h) and the column's special mask. Dates of the pay-date column show
// as ####/##/##, a column of double amounts (@I(DBL)) or a numeric one (@E9)
// shows right-aligned with thousands separators, others keep their text and
// the alignment the mask names.
#pragma once

#include <string>
#include <string_view>

#include "payroll/ui.h"

namespace payroll::ui {

// The special mask of a column holding dates written YYYYMMDD.
inline constexpr long kDateSpecMask = 0x4000000;

// The look of a cell whose column has this mask text and special mask.
CellLook LookOfCell(std::string_view mask, long spec_mask, std::string_view text);

// A plain decimal number with a thousands separator every three digits of
// its whole part ("-1234567.5" -> "-1,234,567.5"); any other text unchanged.
std::string GroupThousands(std::string_view text);

}  // namespace payroll::ui
