// Tokens of the engine's SQL dialect. A token is a view into the statement
// text (offset and length) plus what the scanner learned about it, so the hot
// path never allocates per token.
#pragma once

#include <cstdint>
#include <string_view>

namespace payroll::tsql {

enum class TokenKind : std::uint8_t {
    kWord,        // identifier or keyword, dotted parts included: A.CO_CD, A.*
    kQuoted,      // "name" or [name]
    kString,      // 'text' or N'text'
    kNumber,      // 12, 1.5, .0000, 1e3
    kHex,         // 0x1F, kept inline
    kOperator,    // + - * / % = <> != < > <= >= !< !> || & | ^ ~
    kOuterLeft,   // *= between operands: left side preserved
    kOuterRight,  // =* between operands: right side preserved
    kLParen,
    kRParen,
    kComma,
    kSemicolon,  // ends a statement; never stored
};

// Words the rewrites care about. Everything else is kNone.
enum class Keyword : std::uint8_t {
    kNone,
    kAll,
    kAnd,
    kAs,
    kAsc,
    kBetween,
    kBigint,
    kBy,
    kCase,
    kCast,
    kChar,
    kConvert,
    kCross,
    kDec,
    kDecimal,
    kDelete,
    kDesc,
    kDistinct,
    kElse,
    kEnd,
    kEscape,
    kExcept,
    kExists,
    kFloat,
    kFrom,
    kFull,
    kGroup,
    kHaving,
    kIn,
    kInner,
    kInsert,
    kInt,
    kInteger,
    kIntersect,
    kInto,
    kIs,
    kIsnull,
    kJoin,
    kLeft,
    kLen,
    kLike,
    kLimit,
    kMax,
    kMoney,
    kNchar,
    kNot,
    kNull,
    kNumeric,
    kNvarchar,
    kOffset,
    kOn,
    kOr,
    kOrder,
    kOuter,
    kReal,
    kRight,
    kRound,
    kSelect,
    kSet,
    kSmallint,
    kStr,
    kSubstr,
    kSubstring,
    kText,
    kThen,
    kTinyint,
    kTop,
    kUnion,
    kUpdate,
    kValues,
    kVarchar,
    kWhen,
    kWhere,
    kWith,
};

struct Token {
    std::uint32_t pos = 0;  // byte offset in the whole text
    std::uint32_t len = 0;
    std::int32_t match = -1;  // for a parenthesis: index of its partner in the statement
    std::int32_t value = -1;  // for a lifted literal: its bound value's index
    TokenKind kind = TokenKind::kOperator;
    Keyword keyword = Keyword::kNone;
};

// The keyword a word spells (case-insensitive), or kNone. Dotted words are never keywords.
Keyword LookupKeyword(std::string_view word);

// Whether two words are the same but for the case of their ASCII letters.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// The text of a token.
inline std::string_view TokenText(std::string_view text, const Token& t) {
    return text.substr(t.pos, t.len);
}

namespace chars {
enum : std::uint8_t { kWordStart = 1, kWord = 2, kDigit = 4, kBlank = 8 };
constexpr std::uint8_t Classify(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '@' || c == '#' ||
        c >= 0x80)
        return kWordStart | kWord;
    if (c >= '0' && c <= '9') return kWord | kDigit;
    if (c == '$') return kWord;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') return kBlank;
    return 0;
}
struct Table {
    std::uint8_t bits[256];
    constexpr Table() : bits() {
        for (int c = 0; c < 256; ++c) bits[c] = Classify(static_cast<unsigned char>(c));
    }
};
inline constexpr Table kTable;
}  // namespace chars

// True for the characters that may continue a word.
inline bool IsWordChar(unsigned char c) {
    return chars::kTable.bits[c] & chars::kWord;
}
inline bool IsWordStart(unsigned char c) {
    return chars::kTable.bits[c] & chars::kWordStart;
}
inline bool IsDigitChar(unsigned char c) {
    return chars::kTable.bits[c] & chars::kDigit;
}
inline bool IsBlankChar(unsigned char c) {
    return chars::kTable.bits[c] & chars::kBlank;
}

}  // namespace payroll::tsql
