// Functions of the old dialect. Where SQLite has no equal, the statement calls
// one of the functions that RegisterSqliteFunctions adds (sqlite_support.cpp):
//   ROUND(x, n[, f])        tsql_round: decimal rounding, negative n, truncation
//   STR(x[, n[, d]])        tsql_str: right-aligned number text
//   CAST(x AS CHAR(n))      tsql_char: text cut and padded to n characters
// The rest map onto built-ins.
#include <charconv>
#include <string>

#include "platform/db/tsql/emitter.h"

namespace payroll::tsql {
namespace {

enum class TypeClass { kChar, kVarchar, kInteger, kReal, kDecimal, kText, kUnknown };

TypeClass ClassOf(Keyword k) {
    switch (k) {
        case Keyword::kChar:
        case Keyword::kNchar:
            return TypeClass::kChar;
        case Keyword::kVarchar:
        case Keyword::kNvarchar:
            return TypeClass::kVarchar;
        case Keyword::kInt:
        case Keyword::kInteger:
        case Keyword::kBigint:
        case Keyword::kSmallint:
        case Keyword::kTinyint:
            return TypeClass::kInteger;
        case Keyword::kFloat:
        case Keyword::kReal:
            return TypeClass::kReal;
        case Keyword::kDecimal:
        case Keyword::kDec:
        case Keyword::kNumeric:
        case Keyword::kMoney:
            return TypeClass::kDecimal;
        case Keyword::kText:
            return TypeClass::kText;
        default:
            return TypeClass::kUnknown;
    }
}

// Length of CAST and CONVERT to a text type when none is given.
constexpr int kDefaultTextLength = 30;

}  // namespace

bool Emitter::IsRewrittenFunction(std::size_t i) const {
    if (i + 1 >= tokens_.size() || Kind(i + 1) != TokenKind::kLParen) return false;
    switch (Kw(i)) {
        case Keyword::kRound:
        case Keyword::kStr:
        case Keyword::kLen:
        case Keyword::kConvert:
        case Keyword::kCast:
        case Keyword::kSubstring:
        case Keyword::kIsnull:
            return true;
        default:
            return false;
    }
}

void Emitter::EmitCall(std::string_view name, const std::vector<Range>& args, bool* ok) {
    Put(name);
    Put("(");
    for (std::size_t k = 0; k < args.size() && *ok; ++k) {
        if (k) Put(",");
        *ok = EmitRange(args[k]);
    }
    Put(")");
}

bool Emitter::EmitFunction(std::size_t i) {
    const std::size_t open = i + 1;
    const auto close = static_cast<std::size_t>(tokens_[open].match);
    const Range inside{open + 1, close};
    const Keyword name = Kw(i);
    if (name == Keyword::kCast) {
        std::size_t as = Find(inside, Keyword::kAs);
        if (as == close || as == inside.b) return Fail("expected CAST(value AS type)", i);
        return EmitCast(Range{as + 1, close}, Range{inside.b, as}, i);
    }
    std::vector<Range> args;
    if (!inside.empty()) args = SplitCommas(inside);
    for (const Range& a : args)
        if (a.empty()) return Fail("a function argument is missing", i);
    if (name == Keyword::kConvert) {
        if (args.size() == 3) return Fail("CONVERT with a style is not supported", i);
        if (args.size() != 2) return Fail("expected CONVERT(type, value)", i);
        return EmitCast(args[0], args[1], i);
    }
    switch (target_) {
        case Target::kSqlite:
            return EmitSqliteFunction(name, args, i);
        case Target::kPostgres:
            return EmitPostgresFunction(name, args, i);
    }
    return Fail("unknown target", i);
}

bool Emitter::EmitSqliteFunction(Keyword name, const std::vector<Range>& args, std::size_t at) {
    bool ok = true;
    const std::size_t n = args.size();
    switch (name) {
        case Keyword::kRound:
            if (n < 2 || n > 3) return Fail("expected ROUND(value, places[, truncate])", at);
            EmitCall("tsql_round", args, &ok);
            return ok;
        case Keyword::kStr:
            if (n < 1 || n > 3) return Fail("expected STR(value[, length[, decimals]])", at);
            EmitCall("tsql_str", args, &ok);
            return ok;
        case Keyword::kLen:
            // Characters without the trailing blanks.
            if (n != 1) return Fail("expected LEN(value)", at);
            Put("LENGTH(RTRIM(");
            ok = EmitRange(args[0]);
            Put("))");
            return ok;
        case Keyword::kSubstring: {
            if (n != 3) return Fail("expected SUBSTRING(value, start, length)", at);
            // SQLite agrees for a start of 1 or more; below that it counts from
            // the end, while the old dialect counts the missing places off the length.
            const Range& start = args[1];
            bool plain = start.e == start.b + 1 && Kind(start.b) == TokenKind::kNumber &&
                         tokens_[start.b].value < 0 &&
                         Text(start.b).find_first_not_of('0') != std::string_view::npos;
            if (plain) {
                EmitCall("SUBSTR", args, &ok);
                return ok;
            }
            Put("SUBSTR(");
            ok = EmitRange(args[0]);
            Put(", MAX(");
            ok = ok && EmitRange(start);
            Put(", 1), MAX((");
            ok = ok && EmitRange(start);
            Put(") + (");
            ok = ok && EmitRange(args[2]);
            Put(") - MAX(");
            ok = ok && EmitRange(start);
            Put(", 1), 0))");
            return ok;
        }
        case Keyword::kIsnull:
            if (n != 2) return Fail("expected ISNULL(value, replacement)", at);
            EmitCall("IFNULL", args, &ok);
            return ok;
        default:
            return Fail("unsupported function", at);
    }
}

bool Emitter::EmitCast(Range type, Range value, std::size_t at) {
    if (type.empty() || value.empty()) return Fail("expected a value and a type", at);
    const TypeClass cls = ClassOf(Kw(type.b));
    if (cls == TypeClass::kUnknown) return Fail("unsupported type in CAST or CONVERT", type.b);
    int length = -1, scale = -1;
    bool max = false;
    if (type.b + 1 < type.e) {
        const std::size_t open = type.b + 1;
        if (Kind(open) != TokenKind::kLParen ||
            static_cast<std::size_t>(tokens_[open].match) != type.e - 1)
            return Fail("unexpected text after a type", open);
        std::vector<Range> params = SplitCommas(Range{open + 1, type.e - 1});
        if (params.size() > 2) return Fail("a type with too many parameters", open);
        for (std::size_t k = 0; k < params.size(); ++k) {
            const Range& p = params[k];
            if (p.e != p.b + 1) return Fail("a type parameter must be a number", open);
            if (k == 0 && Kw(p.b) == Keyword::kMax) {
                max = true;
                continue;
            }
            std::string_view digits = Text(p.b);
            int number = 0;
            auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
            if (ec != std::errc() || end != digits.data() + digits.size() || number < 0 ||
                number > 1000000)
                return Fail("a type parameter must be a number", p.b);
            (k == 0 ? length : scale) = number;
        }
    }
    if ((cls == TypeClass::kChar || cls == TypeClass::kVarchar) && length == 0)
        return Fail("a text type of length 0", type.b);
    const int text_length = length > 0 ? length : kDefaultTextLength;
    const int decimal_scale = Kw(type.b) == Keyword::kMoney ? 4 : (scale > 0 ? scale : 0);
    const std::string n = std::to_string(text_length);
    const std::string s = std::to_string(decimal_scale);
    bool ok = true;
    auto value_then = [&](std::string_view before, std::string_view after) {
        Put(before);
        ok = EmitRange(value);
        Put(after);
    };
    switch (target_) {
        case Target::kSqlite:
            switch (cls) {
                case TypeClass::kChar:
                    value_then("tsql_char(", "," + n + ")");
                    break;
                case TypeClass::kVarchar:
                    if (max) {
                        value_then("CAST(", "AS TEXT)");
                    } else {
                        value_then("SUBSTR(CAST(", "AS TEXT), 1, " + n + ")");
                    }
                    break;
                case TypeClass::kInteger:
                    value_then("CAST(", "AS INTEGER)");
                    break;
                case TypeClass::kReal:
                    value_then("CAST(", "AS REAL)");
                    break;
                case TypeClass::kDecimal:
                    value_then("tsql_round(", "," + s + ")");
                    break;
                case TypeClass::kText:
                case TypeClass::kUnknown:
                    value_then("CAST(", "AS TEXT)");
                    break;
            }
            break;
        case Target::kPostgres:
            switch (cls) {
                case TypeClass::kChar:
                    // Padded text rather than CHAR(n), whose blanks PostgreSQL
                    // drops as soon as a function (UPPER ...) takes the value.
                    value_then("RPAD(CAST(", "AS TEXT), " + n + ")");
                    break;
                case TypeClass::kVarchar:
                    value_then("CAST(", max ? "AS TEXT)" : "AS VARCHAR(" + n + "))");
                    break;
                case TypeClass::kInteger:
                    value_then("CAST(", "AS BIGINT)");
                    break;
                case TypeClass::kReal:
                    value_then("CAST(", "AS DOUBLE PRECISION)");
                    break;
                case TypeClass::kDecimal:
                    value_then("ROUND(CAST(", "AS NUMERIC), " + s + ")");
                    break;
                case TypeClass::kText:
                case TypeClass::kUnknown:
                    value_then("CAST(", "AS TEXT)");
                    break;
            }
            break;
    }
    return ok;
}

}  // namespace payroll::tsql
