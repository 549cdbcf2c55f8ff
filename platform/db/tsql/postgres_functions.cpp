// Functions of the old dialect on PostgreSQL, written with built-ins only:
//   LEN(x)             LENGTH(RTRIM(CAST(x AS TEXT)))
//   SUBSTRING(x, s, n) SUBSTR(CAST(x AS TEXT), s, n)
//   ISNULL(a, b)       COALESCE(a, b)
//   ROUND(x, n)        ROUND(CAST(x AS NUMERIC), n): exact decimal rounding,
//                      half away from zero, negative n left of the point
//   ROUND(x, n, f)     TRUNC(...) when f is not 0
//   STR(x, len, dec)   the number rounded to `dec` decimals, right-aligned in
//                      `len` characters; fewer decimals when it does not fit,
//                      `len` stars when even the whole part does not
#include <charconv>
#include <string>

#include "platform/db/tsql/emitter.h"

namespace payroll::tsql {
namespace {

// The limits the SQLite form (tsql_str) keeps too.
constexpr long kMaxStrLength = 8000;
constexpr long kMaxStrDecimals = 16;

}  // namespace

bool Emitter::InlineInteger(Range r, long* out) const {
    std::size_t b = r.b;
    bool negative = false;
    if (r.e == r.b + 2 && Kind(b) == TokenKind::kOperator && (Text(b) == "-" || Text(b) == "+")) {
        negative = Text(b) == "-";
        ++b;
    }
    if (b + 1 != r.e || Kind(b) != TokenKind::kNumber || tokens_[b].value >= 0) return false;
    std::string_view digits = Text(b);
    long n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    *out = negative ? -n : n;
    return true;
}

bool Emitter::EmitNumeric(Range value, bool blank_is_zero) {
    if (!blank_is_zero) {
        Put("CAST(");
        bool ok = EmitRange(value);
        Put("AS NUMERIC)");
        return ok;
    }
    // STR reads a blank text as 0, as the old dialect converts it.
    Put("CAST(COALESCE(NULLIF(TRIM(CAST(");
    bool ok = EmitRange(value);
    Put("AS TEXT)), ''), '0') AS NUMERIC)");
    return ok;
}

bool Emitter::EmitPostgresRound(const std::vector<Range>& args, std::size_t at) {
    const std::size_t n = args.size();
    if (n < 2 || n > 3) return Fail("expected ROUND(value, places[, truncate])", at);
    long places = 0, flag = 0;
    const bool fixed_places = InlineInteger(args[1], &places);
    auto call = [&](std::string_view name) {
        Put(name);
        Put("(");
        bool ok = EmitNumeric(args[0]);
        Put(",");
        if (fixed_places) {
            Put(std::to_string(places));
        } else {
            Put("CAST(");
            ok = ok && EmitRange(args[1]);
            Put("AS INTEGER)");
        }
        Put(")");
        return ok;
    };
    if (n == 2) return call("ROUND");
    if (InlineInteger(args[2], &flag)) return call(flag != 0 ? "TRUNC" : "ROUND");
    Put("CASE WHEN(");
    bool ok = EmitRange(args[2]);
    Put(") <> 0 THEN");
    ok = ok && call("TRUNC");
    Put("ELSE");
    ok = ok && call("ROUND");
    Put("END");
    return ok;
}

bool Emitter::EmitPostgresStr(const std::vector<Range>& args, std::size_t at) {
    const std::size_t n = args.size();
    if (n < 1 || n > 3) return Fail("expected STR(value[, length[, decimals]])", at);
    long length = 10, decimals = 0;
    if ((n >= 2 && !InlineInteger(args[1], &length)) ||
        (n == 3 && !InlineInteger(args[2], &decimals)))
        return Fail("STR takes its length and decimals as numbers", at);
    if (length < 1 || length > kMaxStrLength || decimals < 0) {
        Put("CAST(NULL AS TEXT)");
        return true;
    }
    if (decimals > kMaxStrDecimals) decimals = kMaxStrDecimals;
    const std::string width = std::to_string(length);
    bool ok = true;
    // The number at d decimals, as text: ROUND gives numeric exactly d places.
    auto text_at = [&](long d) {
        Put("CAST(ROUND(");
        ok = ok && EmitNumeric(args[0], true);
        Put(", " + std::to_string(d) + ") AS TEXT)");
    };
    Put("CASE WHEN");
    ok = ok && EmitRange(args[0]);
    Put("IS NULL THEN NULL");
    for (long d = decimals; d >= 0; --d) {
        Put("WHEN LENGTH(");
        text_at(d);
        Put(") <= " + width + " THEN LPAD(");
        text_at(d);
        Put(", " + width + ")");
    }
    Put("ELSE REPEAT('*', " + width + ") END");
    return ok;
}

bool Emitter::EmitPostgresFunction(Keyword name, const std::vector<Range>& args, std::size_t at) {
    bool ok = true;
    const std::size_t n = args.size();
    switch (name) {
        case Keyword::kRound:
            return EmitPostgresRound(args, at);
        case Keyword::kStr:
            return EmitPostgresStr(args, at);
        case Keyword::kLen:
            if (n != 1) return Fail("expected LEN(value)", at);
            Put("LENGTH(RTRIM(CAST(");
            ok = EmitRange(args[0]);
            Put("AS TEXT)))");
            return ok;
        case Keyword::kSubstring:
            if (n != 3) return Fail("expected SUBSTRING(value, start, length)", at);
            Put("SUBSTR(CAST(");
            ok = EmitRange(args[0]);
            Put("AS TEXT),");
            ok = ok && EmitRange(args[1]);
            Put(",");
            ok = ok && EmitRange(args[2]);
            Put(")");
            return ok;
        case Keyword::kIsnull:
            if (n != 2) return Fail("expected ISNULL(value, replacement)", at);
            EmitCall("COALESCE", args, &ok);
            return ok;
        default:
            return Fail("unsupported function", at);
    }
}

}  // namespace payroll::tsql
