// The old dialect's joined UPDATE repeats the target table in its FROM list
// under an alias:
//   UPDATE T SET C = B.X FROM T A, SEMP B WHERE A.K = B.K
// SQLite (3.33 and later) and PostgreSQL name the alias on the target instead
// and leave it out of FROM:
//   UPDATE T AS A SET C = B.X FROM SEMP B WHERE A.K = B.K
// The target may also be named by its alias (UPDATE A SET ... FROM T A). SET
// column names stay unqualified.
#include "platform/db/tsql/emitter.h"

namespace payroll::tsql {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return !a.empty() && EqualsNoCase(a, b);
}

std::string_view LastPart(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

}  // namespace

bool Emitter::EmitAssignments(Range r) {
    std::vector<Range> parts = SplitCommas(r);
    for (std::size_t n = 0; n < parts.size(); ++n) {
        const Range& part = parts[n];
        if (part.empty() ||
            (Kind(part.b) != TokenKind::kWord && Kind(part.b) != TokenKind::kQuoted))
            return Fail("expected a column to set", part.empty() ? r.b : part.b);
        if (n) Put(",");
        Put(Kind(part.b) == TokenKind::kWord ? LastPart(Text(part.b)) : Text(part.b));
        if (!EmitRange(Range{part.b + 1, part.e})) return false;
    }
    return true;
}

bool Emitter::EmitUpdate() {
    const std::size_t n = tokens_.size();
    if (n < 4 || !((Kind(1) == TokenKind::kWord && Kw(1) == Keyword::kNone) ||
                   Kind(1) == TokenKind::kQuoted))
        return Fail("expected the table to update", n > 1 ? 1 : 0);
    if (Kw(2) != Keyword::kSet) return Fail("expected SET after the table of an UPDATE", 2);
    const std::string_view target = Text(1);
    std::size_t from = Find(Range{3, n}, Keyword::kFrom);
    std::size_t where = Find(Range{from, n}, Keyword::kWhere);
    if (from == n) {
        where = Find(Range{3, n}, Keyword::kWhere);
        Put(Text(0));
        Put(target);
        Put(Text(2));
        return EmitAssignments(Range{3, where}) && EmitRange(Range{where, n});
    }

    std::vector<Range> parts = SplitCommas(Range{from + 1, where});
    std::vector<FromItem> items(parts.size());
    std::size_t self = parts.size();
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].empty()) return Fail("an empty entry in a FROM list", from);
        if (!ParseFromItem(parts[k], &items[k])) return false;
        const FromItem& item = items[k];
        if (item.chain) {
            bool named = false;
            for (std::string_view name : item.names) named = named || SameName(name, target);
            for (std::size_t i = parts[k].b; i < parts[k].e; ++i)
                named = named || (Kind(i) == TokenKind::kWord &&
                                  SameName(LastPart(Text(i)), LastPart(target)));
            if (named)
                return Fail("an UPDATE whose own table is in an ANSI join is not supported",
                            parts[k].b);
            continue;
        }
        bool is_self = SameName(item.alias, target) ||
                       (!item.table.empty() && SameName(LastPart(item.table), LastPart(target)));
        if (!is_self) continue;
        if (self != parts.size())
            return Fail("the updated table appears twice in the FROM list", parts[k].b);
        if (item.table.empty()) return Fail("cannot update a subquery", parts[k].b);
        self = k;
    }

    Put(Text(0));
    if (self == parts.size()) {
        Put(target);
    } else {
        Put(items[self].table);
        if (!items[self].alias.empty()) {
            Put("AS");
            Put(items[self].alias);
        }
    }
    Put(Text(2));
    if (!EmitAssignments(Range{3, from})) return false;
    bool first = true;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k == self) continue;
        Put(first ? "FROM" : ",");
        first = false;
        if (!EmitRange(parts[k])) return false;
    }
    return EmitRange(Range{where, n});
}

}  // namespace payroll::tsql
