// The old outer joins. In the original database
//   FROM A x, B y WHERE x.a *= y.b AND y.c = 'S2'
// keeps every row of x; a condition that names only the inner table y (y.c = 'S2')
// belongs to the join and must not drop x's row. ANSI SQL says that with
//   FROM A x LEFT JOIN B y ON x.a = y.b AND y.c = 'S2'
// and that is what is written here. "=*" is the mirror: its right side is kept,
// written as a LEFT JOIN with the sides swapped. Tables that are only joined by
// commas become CROSS JOINs, since in PostgreSQL a comma binds looser than JOIN.
#include <string>
#include <unordered_map>

#include "platform/db/tsql/emitter.h"

namespace payroll::tsql {
namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

bool IsOuterOp(TokenKind k) {
    return k == TokenKind::kOuterLeft || k == TokenKind::kOuterRight;
}

enum class Role { kWhere, kJoin, kOn };

}  // namespace

bool Emitter::HasOuterJoin(Range r) const {
    for (std::size_t i = r.b; i < r.e;) {
        if (IsSubquery(i)) {
            i = Skip(i);
            continue;
        }
        if (IsOuterOp(Kind(i))) return true;
        ++i;
    }
    return false;
}

bool Emitter::SplitConjuncts(Range r, std::vector<Range>* out) {
    if (Find(r, Keyword::kOr) < r.e)
        return Fail("cannot place an outer join in a condition joined by OR",
                    Find(r, Keyword::kOr));
    bool between = false;
    std::size_t start = r.b;
    for (std::size_t i = r.b; i <= r.e;) {
        Keyword k = i < r.e ? Kw(i) : Keyword::kNone;
        if (k == Keyword::kBetween) between = true;
        if (i == r.e || (k == Keyword::kAnd && !between)) {
            Range part{start, i};
            if (part.empty()) return Fail("a condition is missing", i < r.e ? i : r.e - 1);
            const Token& first = tokens_[part.b];
            bool wrapped = first.kind == TokenKind::kLParen &&
                           static_cast<std::size_t>(first.match) == part.e - 1 &&
                           !IsSubquery(part.b);
            Range inside{part.b + 1, part.e - 1};
            if (wrapped && HasOuterJoin(inside)) {
                if (!SplitConjuncts(inside, out)) return false;
            } else {
                out->push_back(part);
            }
            if (i == r.e) break;
            start = i + 1;
            ++i;
            continue;
        }
        if (k == Keyword::kAnd) between = false;
        i = Skip(i);
    }
    return true;
}

NameIndex Emitter::IndexNames(const std::vector<FromItem>& items) {
    NameIndex index;
    for (std::size_t n = 0; n < items.size(); ++n) {
        for (std::string_view name : items[n].names) {
            auto [it, added] = index.emplace(Upper(name), static_cast<int>(n));
            if (!added && it->second != static_cast<int>(n)) it->second = -2;  // ambiguous
        }
    }
    return index;
}

bool Emitter::CollectRefs(Range r, const NameIndex& names, std::vector<int>* refs,
                          bool* unknown) const {
    refs->clear();
    *unknown = false;
    std::size_t subquery_end = r.b;  // tokens before this index belong to a nested query
    auto add = [refs](int item) {
        for (int seen : *refs)
            if (seen == item) return;
        refs->push_back(item);
    };
    auto lookup = [&names](std::string_view qualifier) {
        auto it = names.find(Upper(qualifier));
        return it == names.end() ? -1 : it->second;
    };
    for (std::size_t i = r.b; i < r.e; ++i) {
        if (IsSubquery(i)) {
            std::size_t close = static_cast<std::size_t>(tokens_[i].match);
            if (close > subquery_end) subquery_end = close;
            continue;
        }
        if (Kind(i) != TokenKind::kWord) continue;
        std::string_view word = Text(i);
        std::size_t dot = word.rfind('.');
        if (dot != std::string_view::npos) {
            std::string_view qualifier = word.substr(0, dot);
            int item = lookup(qualifier);
            if (item == -1) {
                std::size_t inner_dot = qualifier.rfind('.');
                if (inner_dot != std::string_view::npos)
                    item = lookup(qualifier.substr(inner_dot + 1));
            }
            if (item >= 0) add(item);
            if (item == -2) *unknown = true;
            // A qualifier naming no table here belongs to an enclosing query.
        } else if (Kw(i) == Keyword::kNone && i >= subquery_end &&
                   !(i + 1 < r.e && Kind(i + 1) == TokenKind::kLParen)) {
            *unknown = true;  // an unqualified column: its table is unknown here
        }
    }
    return true;
}

bool Emitter::EmitOuterJoinBlock(Range select_list, Range from, Range where, Range rest) {
    std::vector<Range> parts = SplitCommas(from);
    std::vector<FromItem> items(parts.size());
    for (std::size_t n = 0; n < parts.size(); ++n) {
        if (parts[n].empty()) return Fail("an empty entry in a FROM list", from.b);
        if (!ParseFromItem(parts[n], &items[n])) return false;
    }
    const NameIndex names = IndexNames(items);
    std::vector<Range> conds;
    if (!SplitConjuncts(where, &conds)) return false;

    const std::size_t count = items.size();
    std::vector<int> parent(count, -1);
    std::vector<Role> role(conds.size(), Role::kWhere);
    std::vector<int> owner(conds.size(), -1);  // the inner table a join condition belongs to
    std::vector<std::size_t> op_at(conds.size(), 0);
    std::vector<int> left_refs, right_refs;
    bool left_unknown = false, right_unknown = false;

    for (std::size_t c = 0; c < conds.size(); ++c) {
        const Range& cond = conds[c];
        std::size_t op = cond.e;
        for (std::size_t i = cond.b; i < cond.e; i = Skip(i)) {
            if (!IsOuterOp(Kind(i))) continue;
            if (op != cond.e) return Fail("a condition with two outer-join operators", i);
            op = i;
        }
        if (op == cond.e) continue;
        Range left{cond.b, op}, right{op + 1, cond.e};
        if (left.empty() || right.empty()) return Fail("an outer-join operator without a side", op);
        CollectRefs(left, names, &left_refs, &left_unknown);
        CollectRefs(right, names, &right_refs, &right_unknown);
        if (left_refs.size() != 1 || right_refs.size() != 1 || left_unknown || right_unknown)
            return Fail(
                "cannot place the outer join: each side must name the columns of "
                "exactly one table of the FROM list",
                op);
        int kept = left_refs[0], inner = right_refs[0];
        if (Kind(op) == TokenKind::kOuterRight) std::swap(kept, inner);
        if (kept == inner) return Fail("an outer join of a table with itself", op);
        if (parent[inner] >= 0 && parent[inner] != kept)
            return Fail(
                "cannot place the outer join: a table is the inner side of outer joins "
                "with two different tables",
                op);
        parent[inner] = kept;
        role[c] = Role::kJoin;
        owner[c] = inner;
        op_at[c] = op;
    }

    // A condition on the inner table alone is part of its join.
    std::vector<int> refs;
    bool unknown = false;
    for (std::size_t c = 0; c < conds.size(); ++c) {
        if (role[c] != Role::kWhere) continue;
        CollectRefs(conds[c], names, &refs, &unknown);
        if (refs.size() != 1 || parent[refs[0]] < 0) continue;
        if (unknown)
            return Fail(
                "cannot place a condition on the inner table of an outer join: it "
                "names a column without its table",
                conds[c].b);
        role[c] = Role::kOn;
        owner[c] = refs[0];
    }

    std::vector<std::vector<std::size_t>> on(count);
    for (std::size_t c = 0; c < conds.size(); ++c)
        if (role[c] != Role::kWhere) on[static_cast<std::size_t>(owner[c])].push_back(c);
    std::vector<std::vector<std::size_t>> children(count);
    for (std::size_t n = 0; n < count; ++n)
        if (parent[n] >= 0) children[static_cast<std::size_t>(parent[n])].push_back(n);

    auto emit_item = [this, &items](std::size_t n) {
        if (!items[n].chain) return EmitRange(items[n].range);
        Put("(");
        bool ok = EmitRange(items[n].range);
        Put(")");
        return ok;
    };
    auto emit_cond = [&](std::size_t c) {
        if (role[c] != Role::kJoin) return EmitRange(conds[c]);
        if (!EmitRange(Range{conds[c].b, op_at[c]})) return false;
        Put("=");
        return EmitRange(Range{op_at[c] + 1, conds[c].e});
    };

    if (!EmitRange(select_list)) return false;
    Put("FROM");
    std::size_t emitted = 0;
    bool first_root = true;
    struct Step {
        std::size_t item;
        std::size_t next_child;
    };
    std::vector<Step> stack;
    for (std::size_t root = 0; root < count; ++root) {
        if (parent[root] >= 0) continue;
        if (!first_root) Put("CROSS JOIN");
        first_root = false;
        if (!emit_item(root)) return false;
        ++emitted;
        stack.push_back(Step{root, 0});
        while (!stack.empty()) {
            Step& top = stack.back();
            if (top.next_child == children[top.item].size()) {
                stack.pop_back();
                continue;
            }
            std::size_t child = children[top.item][top.next_child++];
            Put("LEFT JOIN");
            if (!emit_item(child)) return false;
            Put("ON");
            for (std::size_t k = 0; k < on[child].size(); ++k) {
                if (k) Put("AND");
                if (!emit_cond(on[child][k])) return false;
            }
            ++emitted;
            stack.push_back(Step{child, 0});
        }
    }
    if (emitted != count)
        return Fail("cannot place the outer joins: they go round in a circle", where.b);

    bool first_where = true;
    for (std::size_t c = 0; c < conds.size(); ++c) {
        if (role[c] != Role::kWhere) continue;
        Put(first_where ? "WHERE" : "AND");
        first_where = false;
        if (!emit_cond(c)) return false;
    }
    return EmitRange(rest);
}

}  // namespace payroll::tsql
