// The emitting stage: walks one scanned statement and writes the backend's SQL.
// The rewrites live in their own files (outer_join.cpp, update_from.cpp,
// functions.cpp); each switches on the target where the backends differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/tsql/token.h"
#include "platform/db/tsql/translate.h"

namespace payroll::tsql {

// A half-open run of token indices [b, e).
struct Range {
    std::size_t b = 0;
    std::size_t e = 0;
    bool empty() const { return b >= e; }
};

// One entry of a FROM list: a table or subquery with its alias, or a chain of
// ANSI joins (then `names` holds every alias in it).
struct FromItem {
    Range range;
    std::string_view table;               // table name; empty for a subquery or a chain
    std::string_view alias;               // alias as written; may be empty
    std::vector<std::string_view> names;  // the names its columns are qualified with
    bool chain = false;
};

// Upper-cased table names and aliases to their FROM item; -2 when ambiguous.
using NameIndex = std::unordered_map<std::string, int>;

class Emitter {
  public:
    // With `inline_values` the literals stay in the text instead of becoming
    // placeholders (for statements with more values than a backend binds).
    Emitter(Target target, std::string_view text, const std::vector<Token>& tokens,
            std::string* out, bool inline_values = false)
        : target_(target), text_(text), tokens_(tokens), out_(out), inline_values_(inline_values) {}

    // Writes the translation of the whole statement to *out. False with a
    // message in *error when the statement cannot be translated.
    bool EmitStatement(std::string* error);

    // Whether the statement yields a result set.
    bool ReturnsRows() const;

  private:
    // emitter.cpp: the generic walk and its helpers.
    bool EmitRange(Range r);
    bool EmitQuery(Range r);
    bool EmitSelectBlock(Range r);
    bool EmitInsert();
    bool EmitDelete();
    void Put(std::string_view piece);
    void PutOpen(std::size_t i);    // a '(' token: glued to a function name before it
    void PutValue(std::size_t i);   // a lifted literal: its placeholder, or itself inline
    void PutQuoted(std::size_t i);  // a quoted name in the target's quoting
    bool Fail(std::string message, std::size_t at);
    std::size_t Skip(std::size_t i) const;  // past token i and, for '(', its group
    std::string_view Text(std::size_t i) const { return TokenText(text_, tokens_[i]); }
    Keyword Kw(std::size_t i) const {
        return i < tokens_.size() ? tokens_[i].keyword : Keyword::kNone;
    }
    TokenKind Kind(std::size_t i) const { return tokens_[i].kind; }
    bool IsSubquery(std::size_t open) const;
    std::size_t Find(Range r, Keyword k) const;  // first at the range's own level, or r.e
    std::vector<Range> SplitCommas(Range r) const;
    bool ParseFromItem(Range r, FromItem* item);

    // outer_join.cpp: FROM a, b WHERE a.x *= b.x into LEFT JOIN ... ON.
    bool HasOuterJoin(Range r) const;  // an outer-join operator outside subqueries
    bool SplitConjuncts(Range r, std::vector<Range>* out);
    static NameIndex IndexNames(const std::vector<FromItem>& items);
    bool CollectRefs(Range r, const NameIndex& names, std::vector<int>* refs, bool* unknown) const;
    bool EmitOuterJoinBlock(Range select_list, Range from, Range where, Range rest);

    // update_from.cpp: UPDATE t SET ... FROM t A, ... into UPDATE t AS A SET ... FROM ...
    bool EmitUpdate();
    bool EmitAssignments(Range r);

    // functions.cpp: LEN, STR, ROUND, CONVERT, CAST, SUBSTRING, ISNULL.
    bool IsRewrittenFunction(std::size_t i) const;
    bool EmitFunction(std::size_t i);
    bool EmitSqliteFunction(Keyword name, const std::vector<Range>& args, std::size_t at);
    // postgres_functions.cpp: the PostgreSQL forms.
    bool EmitPostgresFunction(Keyword name, const std::vector<Range>& args, std::size_t at);
    bool EmitPostgresRound(const std::vector<Range>& args, std::size_t at);
    bool EmitPostgresStr(const std::vector<Range>& args, std::size_t at);
    bool EmitNumeric(Range value, bool blank_is_zero = false);  // CAST(value AS NUMERIC)
    bool InlineInteger(Range r, long* out) const;               // a number written in the statement
    bool EmitCast(Range type, Range value, std::size_t at);
    void EmitCall(std::string_view name, const std::vector<Range>& args, bool* ok);

    Target target_;
    std::string_view text_;
    const std::vector<Token>& tokens_;
    std::string* out_;
    std::string error_;
    bool inline_values_;
    bool glue_ = false;  // the next piece follows without a blank (after a unary sign)
};

}  // namespace payroll::tsql
