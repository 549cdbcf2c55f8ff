#include "platform/db/tsql/sqlite_support.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/db/tsql/decimal.h"

namespace payroll::tsql {
namespace {

constexpr int kFunctionFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
constexpr std::int64_t kMaxPlaces = 400;
constexpr std::int64_t kMaxTextLength = 8000;

std::string_view ValueText(sqlite3_value* v) {
    const unsigned char* text = sqlite3_value_text(v);
    if (!text) return {};
    return std::string_view(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_value_bytes(v)));
}

bool IsBlankText(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    return true;
}

// Reads a non-NULL argument as an exact decimal, as the original database
// converts it: integers and decimal texts exactly, doubles by their 15
// significant digits, a blank text as 0. False for other text.
bool ReadDecimal(sqlite3_value* v, Decimal* out) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            *out = Decimal::FromInteger(sqlite3_value_int64(v));
            return true;
        case SQLITE_FLOAT:
            *out = Decimal::FromDouble(sqlite3_value_double(v));
            return true;
        default: {
            std::string_view text = ValueText(v);
            if (IsBlankText(text)) {
                *out = Decimal();
                return true;
            }
            return Decimal::Parse(text, out);
        }
    }
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

bool NonFinite(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_FLOAT && !std::isfinite(sqlite3_value_double(v));
}

std::int64_t Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// tsql_round(x, places[, truncate]): ROUND of the old dialect. Half away from
// zero at `places` decimals (negative: left of the point), or toward zero when
// `truncate` is not 0. An integer stays an integer.
void RoundFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    try {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        if (NonFinite(argv[0])) return sqlite3_result_value(ctx, argv[0]);
        const int places =
            static_cast<int>(Clamp(sqlite3_value_int64(argv[1]), -kMaxPlaces, kMaxPlaces));
        const bool truncate = argc == 3 && sqlite3_value_int64(argv[2]) != 0;
        Decimal value;
        if (!ReadDecimal(argv[0], &value))
            return sqlite3_result_error(ctx, "ROUND: the value is not a number", -1);
        const Decimal rounded = value.Rounded(places, truncate);
        std::int64_t whole = 0;
        if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && rounded.ToInt64(&whole))
            return sqlite3_result_int64(ctx, whole);
        sqlite3_result_double(ctx, rounded.ToDouble());
    } catch (...) {
        sqlite3_result_error_nomem(ctx);
    }
}

// tsql_str(x[, length[, decimals]]): STR of the old dialect.
void StrFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    try {
        if (argc < 1 || argc > 3)
            return sqlite3_result_error(ctx, "STR takes one to three arguments", -1);
        if (AnyNull(argc, argv) || NonFinite(argv[0])) return sqlite3_result_null(ctx);
        const std::int64_t length = argc >= 2 ? sqlite3_value_int64(argv[1]) : 10;
        const std::int64_t decimals = argc == 3 ? sqlite3_value_int64(argv[2]) : 0;
        if (length < 1 || length > kMaxTextLength || decimals < 0) return sqlite3_result_null(ctx);
        Decimal value;
        if (!ReadDecimal(argv[0], &value))
            return sqlite3_result_error(ctx, "STR: the value is not a number", -1);
        const std::string text =
            FormatStr(value, static_cast<int>(length), static_cast<int>(Clamp(decimals, 0, 16)));
        sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (...) {
        sqlite3_result_error_nomem(ctx);
    }
}

// tsql_char(x, n): CAST(x AS CHAR(n)): the text of x cut to n characters and
// padded with blanks to n.
void CharFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    try {
        if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
        const std::int64_t n = Clamp(sqlite3_value_int64(argv[1]), 0, kMaxTextLength);
        if (n < 1) return sqlite3_result_null(ctx);
        const std::string_view text = ValueText(argv[0]);
        std::size_t bytes = 0;
        std::int64_t chars = 0;
        while (bytes < text.size()) {
            // Each character starts with a byte that is not a UTF-8 continuation.
            std::size_t next = bytes + 1;
            while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
                ++next;
            if (chars == n) break;
            ++chars;
            bytes = next;
        }
        std::string out(text.substr(0, bytes));
        out.append(static_cast<std::size_t>(n - chars), ' ');
        sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (...) {
        sqlite3_result_error_nomem(ctx);
    }
}

}  // namespace

bool RegisterSqliteFunctions(sqlite3* db, std::string* error) {
    struct Function {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    static constexpr Function kFunctions[] = {
        {"tsql_round", 2, RoundFunction},
        {"tsql_round", 3, RoundFunction},
        {"tsql_str", -1, StrFunction},
        {"tsql_char", 2, CharFunction},
    };
    if (!db) {
        if (error) *error = "no database";
        return false;
    }
    for (const Function& f : kFunctions) {
        int rc = sqlite3_create_function_v2(db, f.name, f.args, kFunctionFlags, nullptr, f.fn,
                                            nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            if (error) *error = std::string("cannot add ") + f.name + ": " + sqlite3_errstr(rc);
            return false;
        }
    }
    return true;
}

bool BindSqliteValues(sqlite3_stmt* stmt, const std::vector<BoundValue>& values,
                      std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    if (!stmt) {
        *error = "no statement to bind";
        return false;
    }
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (expected < 0 || static_cast<std::size_t>(expected) != values.size()) {
        *error = "the statement takes " + std::to_string(expected) + " values, " +
                 std::to_string(values.size()) + " given";
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const BoundValue& v = values[i];
        const int index = static_cast<int>(i) + 1;
        const char* first = v.text.data();
        const char* last = first + v.text.size();
        int rc = SQLITE_OK;
        switch (v.kind) {
            case BoundValue::Kind::kText:
                rc = sqlite3_bind_text64(stmt, index, first, v.text.size(), SQLITE_STATIC,
                                         SQLITE_UTF8);
                break;
            case BoundValue::Kind::kNull:
                rc = sqlite3_bind_null(stmt, index);
                break;
            case BoundValue::Kind::kInteger:
            case BoundValue::Kind::kReal: {
                if (v.kind == BoundValue::Kind::kInteger) {
                    std::int64_t n = 0;
                    auto [end, ec] = std::from_chars(first, last, n);
                    if (ec == std::errc() && end == last) {
                        rc = sqlite3_bind_int64(stmt, index, n);
                        break;
                    }
                }
                // Reals, and integers too large for 64 bits, as SQLite reads such literals.
                double d = 0;
                auto [end, ec] = std::from_chars(first, last, d);
                if (ec != std::errc() || end != last || v.text.empty()) {
                    *error = "value " + std::to_string(index) + " is not a number: " + v.text;
                    return false;
                }
                rc = sqlite3_bind_double(stmt, index, d);
                break;
            }
        }
        if (rc != SQLITE_OK) {
            *error = "cannot bind value " + std::to_string(index) + ": " + sqlite3_errstr(rc);
            return false;
        }
    }
    return true;
}

}  // namespace payroll::tsql
