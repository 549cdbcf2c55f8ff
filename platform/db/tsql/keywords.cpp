#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/db/tsql/token.h"

namespace payroll::tsql {
namespace {

using Entry = std::pair<std::string_view, Keyword>;

// Sorted by spelling for the binary search below.
constexpr std::array kKeywords = {
    Entry{"ALL", Keyword::kAll},
    Entry{"AND", Keyword::kAnd},
    Entry{"AS", Keyword::kAs},
    Entry{"ASC", Keyword::kAsc},
    Entry{"BETWEEN", Keyword::kBetween},
    Entry{"BIGINT", Keyword::kBigint},
    Entry{"BY", Keyword::kBy},
    Entry{"CASE", Keyword::kCase},
    Entry{"CAST", Keyword::kCast},
    Entry{"CHAR", Keyword::kChar},
    Entry{"CONVERT", Keyword::kConvert},
    Entry{"CROSS", Keyword::kCross},
    Entry{"DEC", Keyword::kDec},
    Entry{"DECIMAL", Keyword::kDecimal},
    Entry{"DELETE", Keyword::kDelete},
    Entry{"DESC", Keyword::kDesc},
    Entry{"DISTINCT", Keyword::kDistinct},
    Entry{"ELSE", Keyword::kElse},
    Entry{"END", Keyword::kEnd},
    Entry{"ESCAPE", Keyword::kEscape},
    Entry{"EXCEPT", Keyword::kExcept},
    Entry{"EXISTS", Keyword::kExists},
    Entry{"FLOAT", Keyword::kFloat},
    Entry{"FROM", Keyword::kFrom},
    Entry{"FULL", Keyword::kFull},
    Entry{"GROUP", Keyword::kGroup},
    Entry{"HAVING", Keyword::kHaving},
    Entry{"IN", Keyword::kIn},
    Entry{"INNER", Keyword::kInner},
    Entry{"INSERT", Keyword::kInsert},
    Entry{"INT", Keyword::kInt},
    Entry{"INTEGER", Keyword::kInteger},
    Entry{"INTERSECT", Keyword::kIntersect},
    Entry{"INTO", Keyword::kInto},
    Entry{"IS", Keyword::kIs},
    Entry{"ISNULL", Keyword::kIsnull},
    Entry{"JOIN", Keyword::kJoin},
    Entry{"LEFT", Keyword::kLeft},
    Entry{"LEN", Keyword::kLen},
    Entry{"LIKE", Keyword::kLike},
    Entry{"LIMIT", Keyword::kLimit},
    Entry{"MAX", Keyword::kMax},
    Entry{"MONEY", Keyword::kMoney},
    Entry{"NCHAR", Keyword::kNchar},
    Entry{"NOT", Keyword::kNot},
    Entry{"NULL", Keyword::kNull},
    Entry{"NUMERIC", Keyword::kNumeric},
    Entry{"NVARCHAR", Keyword::kNvarchar},
    Entry{"OFFSET", Keyword::kOffset},
    Entry{"ON", Keyword::kOn},
    Entry{"OR", Keyword::kOr},
    Entry{"ORDER", Keyword::kOrder},
    Entry{"OUTER", Keyword::kOuter},
    Entry{"REAL", Keyword::kReal},
    Entry{"RIGHT", Keyword::kRight},
    Entry{"ROUND", Keyword::kRound},
    Entry{"SELECT", Keyword::kSelect},
    Entry{"SET", Keyword::kSet},
    Entry{"SMALLINT", Keyword::kSmallint},
    Entry{"STR", Keyword::kStr},
    Entry{"SUBSTR", Keyword::kSubstr},
    Entry{"SUBSTRING", Keyword::kSubstring},
    Entry{"TEXT", Keyword::kText},
    Entry{"THEN", Keyword::kThen},
    Entry{"TINYINT", Keyword::kTinyint},
    Entry{"TOP", Keyword::kTop},
    Entry{"UNION", Keyword::kUnion},
    Entry{"UPDATE", Keyword::kUpdate},
    Entry{"VALUES", Keyword::kValues},
    Entry{"VARCHAR", Keyword::kVarchar},
    Entry{"WHEN", Keyword::kWhen},
    Entry{"WHERE", Keyword::kWhere},
    Entry{"WITH", Keyword::kWith},
};

constexpr bool Sorted() {
    for (std::size_t i = 1; i < kKeywords.size(); ++i)
        if (!(kKeywords[i - 1].first < kKeywords[i].first)) return false;
    return true;
}
static_assert(Sorted(), "keep kKeywords sorted");

constexpr std::size_t kLongest = 9;  // INTERSECT, SUBSTRING

}  // namespace

Keyword LookupKeyword(std::string_view word) {
    if (word.size() < 2 || word.size() > kLongest) return Keyword::kNone;
    char upper[kLongest];
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return Keyword::kNone;
        upper[i] = c;
    }
    std::string_view key(upper, word.size());
    auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), key,
                               [](const Entry& e, std::string_view k) { return e.first < k; });
    if (it == kKeywords.end() || it->first != key) return Keyword::kNone;
    return it->second;
}

}  // namespace payroll::tsql
