#include "platform/db/tsql/emitter.h"

#include <charconv>

#include "platform/db/tsql/scanner.h"

namespace payroll::tsql {
namespace {

bool IsWordByte(char c) {
    return IsWordChar(static_cast<unsigned char>(c));
}

bool IsJoinWord(Keyword k) {
    switch (k) {
        case Keyword::kLeft:
        case Keyword::kRight:
        case Keyword::kInner:
        case Keyword::kOuter:
        case Keyword::kCross:
        case Keyword::kFull:
        case Keyword::kJoin:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool Emitter::Fail(std::string message, std::size_t at) {
    if (error_.empty()) {
        std::size_t pos = at < tokens_.size() ? tokens_[at].pos : text_.size();
        error_ = std::move(message) + " near \"" + Excerpt(text_, pos) + "\"";
    }
    return false;
}

void Emitter::Put(std::string_view piece) {
    if (piece.empty()) return;
    if (!out_->empty()) {
        char last = out_->back();
        char first = piece.front();
        bool tight =
            last == '(' || first == ')' || first == ',' || (first == '(' && IsWordByte(last));
        // Never glue two signs together: "--" would start a comment.
        if (glue_ && !(last == '-' && first == '-')) tight = true;
        if (!tight) out_->push_back(' ');
    }
    glue_ = false;
    out_->append(piece);
}

void Emitter::PutOpen(std::size_t i) {
    bool after_name = i > 0 && Kind(i - 1) == TokenKind::kWord && Kw(i - 1) == Keyword::kNone;
    if (after_name || out_->empty()) return Put("(");
    if (out_->back() != '(' && !glue_) out_->push_back(' ');
    glue_ = false;
    out_->push_back('(');
}

void Emitter::PutValue(std::size_t i) {
    const Token& t = tokens_[i];
    if (inline_values_) {
        std::string_view literal = Text(i);
        if (t.kind == TokenKind::kString && literal.front() != '\'') literal.remove_prefix(1);
        Put(literal);  // both backends read '...' with doubled quotes and plain numbers alike
        return;
    }
    char buf[16];
    buf[0] = target_ == Target::kPostgres ? '$' : '?';
    auto [end, ec] = std::to_chars(buf + 1, buf + sizeof buf, t.value + 1);
    (void)ec;
    Put(std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

void Emitter::PutQuoted(std::size_t i) {
    std::string_view name = Text(i);
    // SQLite reads [name] and "name" and ignores case, as the old dialect does.
    if (target_ == Target::kSqlite) return Put(name);
    // PostgreSQL reads only "name" and matches it with case, while it folds
    // the engine's unquoted names to lower case: a quoted name goes lower-cased.
    const bool bracket = name.front() == '[';
    std::string quoted = "\"";
    for (std::size_t k = 1; k + 1 < name.size(); ++k) {
        char c = name[k];
        if (c == '"') {
            quoted += "\"\"";
            if (!bracket) ++k;  // "" stands for one '"'
            continue;
        }
        if (bracket && c == ']') ++k;  // "]]" stands for one ']'
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        quoted += c;
    }
    quoted += '"';
    Put(quoted);
}

std::size_t Emitter::Skip(std::size_t i) const {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::kLParen && t.match > static_cast<std::int32_t>(i))
        return static_cast<std::size_t>(t.match) + 1;
    return i + 1;
}

bool Emitter::IsSubquery(std::size_t open) const {
    return Kind(open) == TokenKind::kLParen && open + 1 < tokens_.size() &&
           Kw(open + 1) == Keyword::kSelect;
}

std::size_t Emitter::Find(Range r, Keyword k) const {
    for (std::size_t i = r.b; i < r.e; i = Skip(i))
        if (tokens_[i].keyword == k) return i;
    return r.e;
}

std::vector<Range> Emitter::SplitCommas(Range r) const {
    std::vector<Range> parts;
    std::size_t start = r.b;
    for (std::size_t i = r.b; i < r.e; i = Skip(i)) {
        if (Kind(i) == TokenKind::kComma) {
            parts.push_back(Range{start, i});
            start = i + 1;
        }
    }
    parts.push_back(Range{start, r.e});
    return parts;
}

bool Emitter::ParseFromItem(Range r, FromItem* item) {
    *item = FromItem{};
    item->range = r;
    std::size_t p = r.b;
    bool first = true;
    while (p < r.e) {
        if (!first) {
            // Only ANSI joins may follow the first table of an item.
            if (!IsJoinWord(Kw(p))) return Fail("unexpected text in a FROM list", p);
            while (p < r.e && IsJoinWord(Kw(p))) ++p;
            item->chain = true;
        }
        if (p >= r.e) return Fail("a join without a table", r.e - 1);
        std::string_view table;
        if (Kind(p) == TokenKind::kLParen) {
            p = Skip(p);
        } else if ((Kind(p) == TokenKind::kWord && Kw(p) == Keyword::kNone) ||
                   Kind(p) == TokenKind::kQuoted) {
            table = Text(p);
            ++p;
        } else {
            return Fail("expected a table in a FROM list", p);
        }
        if (p < r.e && Kw(p) == Keyword::kAs) ++p;
        std::string_view alias;
        if (p < r.e && ((Kind(p) == TokenKind::kWord && Kw(p) == Keyword::kNone) ||
                        Kind(p) == TokenKind::kQuoted)) {
            alias = Text(p);
            ++p;
        }
        std::string_view name = alias;
        if (name.empty()) {
            std::size_t dot = table.rfind('.');
            name = dot == std::string_view::npos ? table : table.substr(dot + 1);
        }
        if (!name.empty()) item->names.push_back(name);
        if (first) {
            item->table = table;
            item->alias = alias;
        }
        if (p < r.e && Kw(p) == Keyword::kOn) {
            ++p;
            while (p < r.e && !IsJoinWord(Kw(p))) p = Skip(p);
        }
        first = false;
    }
    if (item->chain) {
        item->table = {};
        item->alias = {};
    }
    return true;
}

bool Emitter::EmitRange(Range r) {
    for (std::size_t i = r.b; i < r.e;) {
        const Token& t = tokens_[i];
        if (t.value >= 0) {
            PutValue(i);
            ++i;
            continue;
        }
        switch (t.kind) {
            case TokenKind::kLParen:
                if (IsSubquery(i)) {
                    std::size_t close = static_cast<std::size_t>(t.match);
                    PutOpen(i);
                    if (!EmitQuery(Range{i + 1, close})) return false;
                    Put(")");
                    i = close + 1;
                    continue;
                }
                PutOpen(i);
                break;
            case TokenKind::kWord:
                if (IsRewrittenFunction(i)) {
                    if (!EmitFunction(i)) return false;
                    i = Skip(i + 1);
                    continue;
                }
                if (t.keyword == Keyword::kTop) return Fail("SELECT TOP is not supported", i);
                Put(Text(i));
                break;
            case TokenKind::kOuterLeft:
            case TokenKind::kOuterRight:
                return Fail(
                    "cannot place the outer join: '*=' and '=*' may only join the "
                    "tables of a FROM list, as a condition of its WHERE clause "
                    "joined by AND",
                    i);
            case TokenKind::kOperator: {
                std::string_view op = Text(i);
                if (op == "!<") {
                    Put(">=");
                } else if (op == "!>") {
                    Put("<=");
                } else {
                    Put(op);
                    // A sign after an operator, '(', ',' or keyword is unary: keep it on its
                    // operand.
                    bool unary = i == r.b || Kind(i - 1) == TokenKind::kOperator ||
                                 Kind(i - 1) == TokenKind::kLParen ||
                                 Kind(i - 1) == TokenKind::kComma ||
                                 (Kind(i - 1) == TokenKind::kWord && Kw(i - 1) != Keyword::kNone);
                    if ((op == "-" || op == "+") && unary) glue_ = true;
                }
                break;
            }
            case TokenKind::kQuoted:
                PutQuoted(i);
                break;
            default:
                Put(Text(i));
                break;
        }
        ++i;
    }
    return true;
}

bool Emitter::EmitQuery(Range r) {
    std::size_t start = r.b;
    for (std::size_t i = r.b; i <= r.e;) {
        Keyword k = i < r.e ? Kw(i) : Keyword::kNone;
        bool set_op = k == Keyword::kUnion || k == Keyword::kExcept || k == Keyword::kIntersect;
        if (i == r.e || set_op) {
            Range part{start, i};
            if (part.empty()) return Fail("a query part is missing", i < r.e ? i : r.e - 1);
            bool ok = Kw(part.b) == Keyword::kSelect ? EmitSelectBlock(part) : EmitRange(part);
            if (!ok) return false;
            if (i == r.e) break;
            Put(Text(i));
            ++i;
            if (i < r.e && Kw(i) == Keyword::kAll) {
                Put(Text(i));
                ++i;
            }
            start = i;
            continue;
        }
        i = Skip(i);
    }
    return true;
}

bool Emitter::EmitSelectBlock(Range r) {
    std::size_t from = Find(Range{r.b + 1, r.e}, Keyword::kFrom);
    std::size_t where = Find(Range{from, r.e}, Keyword::kWhere);
    if (where == r.e) return EmitRange(r);
    std::size_t where_end = where + 1;
    for (; where_end < r.e; where_end = Skip(where_end)) {
        Keyword k = Kw(where_end);
        if (k == Keyword::kGroup || k == Keyword::kHaving || k == Keyword::kOrder) break;
    }
    bool outer = HasOuterJoin(Range{where + 1, where_end});
    if (!outer) return EmitRange(r);
    if (from == r.e) return Fail("an outer join without a FROM list", where);
    return EmitOuterJoinBlock(Range{r.b, from}, Range{from + 1, where}, Range{where + 1, where_end},
                              Range{where_end, r.e});
}

bool Emitter::EmitInsert() {
    std::size_t n = tokens_.size();
    std::size_t p = 1;
    Put(Text(0));
    if (Kw(1) != Keyword::kInto) Put("INTO");
    // INSERT ... SELECT: the query part goes through the query rewrites.
    std::size_t select = Find(Range{p, n}, Keyword::kSelect);
    if (!EmitRange(Range{p, select})) return false;
    if (select < n) return EmitQuery(Range{select, n});
    return true;
}

bool Emitter::EmitDelete() {
    std::size_t n = tokens_.size();
    std::size_t p = 1;
    Put(Text(0));
    if (Kw(1) == Keyword::kFrom) {
        Put(Text(1));
        p = 2;
    } else {
        Put("FROM");  // the old dialect lets DELETE go without FROM
    }
    std::size_t second_from = Find(Range{p, n}, Keyword::kFrom);
    if (second_from < n)
        return Fail("DELETE with a second FROM list is not supported", second_from);
    return EmitRange(Range{p, n});
}

bool Emitter::EmitStatement(std::string* error) {
    error_.clear();
    bool ok = true;
    if (tokens_.empty()) {
        ok = Fail("empty statement", 0);
    } else {
        switch (Kw(0)) {
            case Keyword::kSelect:
                ok = EmitQuery(Range{0, tokens_.size()});
                break;
            case Keyword::kInsert:
                ok = EmitInsert();
                break;
            case Keyword::kUpdate:
                ok = EmitUpdate();
                break;
            case Keyword::kDelete:
                ok = EmitDelete();
                break;
            default:
                ok = EmitRange(Range{0, tokens_.size()});
                break;
        }
    }
    if (!ok && error) *error = error_;
    return ok;
}

bool Emitter::ReturnsRows() const {
    if (tokens_.empty()) return false;
    if (Kw(0) == Keyword::kSelect || Kw(0) == Keyword::kWith || Kw(0) == Keyword::kValues)
        return true;
    // The backends' own questions about the database: SQLite's PRAGMA and
    // PostgreSQL's SHOW answer with rows (a PRAGMA that sets answers none).
    if (Kind(0) == TokenKind::kWord &&
        (EqualsNoCase(Text(0), "PRAGMA") || EqualsNoCase(Text(0), "SHOW")))
        return true;
    return IsSubquery(0);
}

}  // namespace payroll::tsql
