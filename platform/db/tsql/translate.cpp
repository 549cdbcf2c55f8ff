#include "platform/db/tsql/translate.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <new>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/tsql/emitter.h"
#include "platform/db/tsql/scanner.h"
#include "platform/db/tsql/shape_cache.h"
#include "platform/db/tsql/skeleton.h"

namespace payroll::tsql {
namespace {

// Offsets are kept in 32 bits.
constexpr std::size_t kMaxText = (std::size_t{1} << 31) - 1;
// Longer statements are translated every time rather than kept in the cache.
constexpr std::size_t kMaxCachedShape = std::size_t{64} * 1024;
// SQLite binds at most 32766 values to a statement (PostgreSQL 65535); a
// statement with more keeps its literals inline.
constexpr std::size_t kMaxBoundValues = 32766;

// Fills *values from the statement's lifted literals, reusing its elements.
void FillValues(std::string_view text, const std::vector<Token>& tokens,
                std::vector<BoundValue>* values) {
    std::size_t n = 0;
    for (const Token& t : tokens) {
        if (t.value < 0) continue;
        if (n == values->size()) values->emplace_back();
        BoundValue& v = (*values)[n++];
        if (t.kind == TokenKind::kString) {
            SetTextValue(TokenText(text, t), &v);
        } else {
            SetNumberValue(TokenText(text, t), &v);
        }
    }
    values->resize(n);
}

// Statements are looked up by the text before their first literal, at most
// this long, when the statement before them does not predict them.
constexpr std::size_t kMaxLead = 64;
// Shapes kept per lead text.
constexpr std::size_t kMaxPerLead = 8;

// The statement's text at `pos` up to its first quote or digit: the same for
// every text of a shape written alike, whatever its values.
std::string_view LeadOf(std::string_view text, std::size_t pos) {
    const std::size_t end = std::min(text.size(), pos + kMaxLead);
    std::size_t p = pos;
    while (p < end && text[p] != '\'' && !IsDigitChar(static_cast<unsigned char>(text[p]))) ++p;
    return text.substr(pos, p - pos);
}

}  // namespace

struct Translator::Impl {
    Impl(Target t, std::size_t capacity) : target(t), cache(capacity) {}

    bool Run(std::string_view text, std::vector<Statement>* out, std::string* error);
    ShapeCache::Entry* FastRoad(ShapeCache::Entry* last, std::string_view text, std::size_t pos,
                                Statement* st, std::size_t* end);
    void NoteLead(std::string_view text, std::size_t pos, ShapeCache::Entry* entry);

    Target target;
    ShapeCache cache;
    std::vector<Token> tokens;
    std::string shape;
    std::string detail;
    std::deque<std::string> uncached;       // texts of the current call's uncached shapes
    ShapeCache::Entry* previous = nullptr;  // the shape of the last statement, across calls
    // Shapes by the lead text of their skeletons; the keys view `leads`.
    std::unordered_map<std::string_view, std::vector<ShapeCache::Entry*>> by_lead;
    std::deque<std::string> leads;
};

// The shape that followed `last` last time, or `last` itself, when the
// statement at `pos` is written like the text they were last seen in.
ShapeCache::Entry* Translator::Impl::FastRoad(ShapeCache::Entry* last, std::string_view text,
                                              std::size_t pos, Statement* st, std::size_t* end) {
    if (last) {
        if (last->next && last->next->skeleton.Match(text, pos, &st->values, end))
            return last->next;
        if (last->next != last && last->skeleton.Match(text, pos, &st->values, end)) return last;
    }
    auto it = by_lead.find(LeadOf(text, pos));
    if (it == by_lead.end()) return nullptr;
    for (ShapeCache::Entry* e : it->second) {
        const bool tried = last && (e == last || e == last->next);
        if (!tried && e->skeleton.Match(text, pos, &st->values, end)) return e;
    }
    return nullptr;
}

void Translator::Impl::NoteLead(std::string_view text, std::size_t pos, ShapeCache::Entry* entry) {
    if (entry->skeleton.empty()) return;
    const std::string_view lead = LeadOf(text, pos);
    auto it = by_lead.find(lead);
    if (it == by_lead.end()) {
        if (by_lead.size() >= cache.capacity()) return;
        leads.emplace_back(lead);
        it = by_lead.emplace(leads.back(), std::vector<ShapeCache::Entry*>()).first;
    }
    std::vector<ShapeCache::Entry*>& shapes = it->second;
    if (shapes.size() < kMaxPerLead &&
        std::find(shapes.begin(), shapes.end(), entry) == shapes.end())
        shapes.push_back(entry);
}

bool Translator::Impl::Run(std::string_view text, std::vector<Statement>* out, std::string* error) {
    if (text.size() > kMaxText) {
        *error = "text too long";
        return false;
    }
    uncached.clear();
    Scanner scanner(text);
    std::size_t n = 0;
    for (;;) {
        const std::size_t start = scanner.SkipToStatement();
        if (start >= text.size()) break;
        if (n == out->size()) out->emplace_back();
        Statement& st = (*out)[n];
        std::size_t end = 0;
        ShapeCache::Entry* entry = FastRoad(previous, text, start, &st, &end);
        if (entry) {
            scanner.Resume(end);
        } else {
            Scanner::Result r = scanner.Next(&tokens, &shape, &detail);
            if (r == Scanner::Result::kEnd) break;
            if (r == Scanner::Result::kError) {
                *error = "statement " + std::to_string(n + 1) + ": " + detail;
                return false;
            }
            FillValues(text, tokens, &st.values);
            entry = cache.Find(shape);
            if (!entry) {
                const bool inline_values = st.values.size() > kMaxBoundValues;
                std::string sql;
                sql.reserve(shape.size() + 64);
                Emitter emitter(target, text, tokens, &sql, inline_values);
                if (!emitter.EmitStatement(&detail)) {
                    *error = "statement " + std::to_string(n + 1) + ": " + detail;
                    return false;
                }
                const bool rows = emitter.ReturnsRows();
                if (!inline_values && cache.size() < cache.capacity() &&
                    shape.size() <= kMaxCachedShape) {
                    entry = cache.Add(shape, std::move(sql), rows);
                } else {
                    // This call's own text: no cache room, too long, or values inline.
                    if (inline_values) st.values.clear();
                    uncached.push_back(std::move(sql));
                    st.sql = &uncached.back();
                    st.returns_rows = rows;
                    st.cached = false;
                    ++n;
                    previous = nullptr;
                    continue;
                }
            }
            entry->skeleton.Build(text, tokens);
            NoteLead(text, start, entry);
        }
        st.sql = &entry->sql;
        st.returns_rows = entry->returns_rows;
        st.cached = true;
        if (previous) previous->next = entry;
        previous = entry;
        ++n;
    }
    out->resize(n);
    return true;
}

Translator::Translator(Target target, std::size_t cache_capacity)
    : impl_(std::make_unique<Impl>(target, cache_capacity)) {}

Translator::~Translator() = default;

bool Translator::Translate(std::string_view text, std::vector<Statement>* out, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    error->clear();
    if (!out) {
        *error = "no place for the statements";
        return false;
    }
    bool ok = false;
    try {
        ok = impl_->Run(text, out, error);
    } catch (const std::bad_alloc&) {
        *error = "out of memory";
    } catch (const std::exception& e) {
        *error = e.what();
    } catch (...) {
        *error = "unexpected failure";
    }
    if (!ok) out->clear();
    return ok;
}

std::size_t Translator::CachedShapes() const {
    return impl_->cache.size();
}

}  // namespace payroll::tsql
