// Values between the engine and PostgreSQL: result cells as the engine reads
// them (plain decimal text, NULL as empty), and the types given to the
// literals the dialect layer lifts out as parameters.
#pragma once

#include <libpq-fe.h>

#include <string>
#include <string_view>

#include "platform/db/tsql/translate.h"

namespace payroll::db {

// Type OIDs of the built-in types this backend deals with.
inline constexpr Oid kPgBool = 16;
inline constexpr Oid kPgInt8 = 20;
inline constexpr Oid kPgInt4 = 23;
inline constexpr Oid kPgText = 25;
inline constexpr Oid kPgFloat4 = 700;
inline constexpr Oid kPgFloat8 = 701;
inline constexpr Oid kPgNumeric = 1700;

// A numeric as the engine reads it: no zeros after the last significant
// decimal, no point without decimals, no minus on zero ("1234.5000" ->
// "1234.5", "-0.00" -> "0", "NaN" -> "0"). Other text is returned unchanged.
std::string TrimNumericText(std::string_view text);

// Appends the text of one non-NULL result cell of type `type` to *out:
// numerics trimmed, floating-point values in plain notation, booleans as 1
// and 0, everything else as the server wrote it.
void AppendCellText(Oid type, std::string_view value, std::string* out);

// The type a lifted literal takes, as the server types the same literal
// written inline: integers int4, int8 or numeric by size, other numbers
// numeric, texts and NULL unknown (0), so that the server infers them from
// where they stand ('1' compares with an integer column as 1).
Oid LiteralType(const tsql::BoundValue& value);

}  // namespace payroll::db
