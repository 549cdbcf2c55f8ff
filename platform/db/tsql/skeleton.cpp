#include "platform/db/tsql/skeleton.h"

#include <cstring>

#include "platform/db/tsql/scanner.h"

namespace payroll::tsql {
namespace {

constexpr std::size_t kMaxRaw = std::size_t{64} * 1024;

// After a statement the original scanner sees a boundary only at the end, at
// ';' or at INSERT, UPDATE or DELETE; anything else (SELECT included, whose
// meaning depends on what precedes it) is left to the scanner.
bool AtBoundary(std::string_view text, std::size_t p) {
    const std::size_t n = text.size();
    if (p == n) return true;
    // The last token must not run on into what follows.
    char c = text[p];
    bool separated = IsBlankChar(static_cast<unsigned char>(c)) || c == ';' ||
                     (c == '-' && p + 1 < n && text[p + 1] == '-') ||
                     (c == '/' && p + 1 < n && text[p + 1] == '*');
    if (!separated) return false;
    for (;;) {
        while (p < n && IsBlankChar(static_cast<unsigned char>(text[p]))) ++p;
        if (p + 1 < n && text[p] == '-' && text[p + 1] == '-') {
            std::size_t eol = text.find('\n', p);
            p = eol == std::string_view::npos ? n : eol + 1;
        } else if (p + 1 < n && text[p] == '/' && text[p + 1] == '*') {
            std::size_t close = text.find("*/", p + 2);
            if (close == std::string_view::npos) return false;
            p = close + 2;
        } else {
            break;
        }
    }
    if (p == n || text[p] == ';') return true;
    std::size_t q = p;
    while (q < n && IsWordChar(static_cast<unsigned char>(text[q]))) ++q;
    if (q < n && text[q] == '.') return false;  // a dotted name
    Keyword k = LookupKeyword(text.substr(p, q - p));
    return k == Keyword::kInsert || k == Keyword::kUpdate || k == Keyword::kDelete;
}

}  // namespace

void SetTextValue(std::string_view literal, BoundValue* v, bool doubled) {
    if (!literal.empty() && literal.front() != '\'') literal.remove_prefix(1);  // N'...'
    std::string_view body = literal.substr(1, literal.size() - 2);
    v->kind = BoundValue::Kind::kText;
    if (!doubled || body.find('\'') == std::string_view::npos) {
        v->text.assign(body);
        return;
    }
    v->text.clear();
    for (std::size_t i = 0; i < body.size(); ++i) {
        v->text.push_back(body[i]);
        if (body[i] == '\'') ++i;  // quotes only come in pairs inside a literal
    }
}

void SetNumberValue(std::string_view literal, BoundValue* v) {
    v->kind = literal.find_first_of(".eE") == std::string_view::npos ? BoundValue::Kind::kInteger
                                                                     : BoundValue::Kind::kReal;
    v->text.assign(literal);
}

void Skeleton::Build(std::string_view text, const std::vector<Token>& tokens) {
    raw_.clear();
    cuts_.clear();
    kinds_.clear();
    if (tokens.empty() || tokens.front().kind != TokenKind::kWord) return;
    const Token& last = tokens.back();
    const std::size_t begin = tokens.front().pos;
    if (last.pos + last.len - begin > kMaxRaw) return;
    std::size_t from = begin;
    for (const Token& t : tokens) {
        if (t.value < 0) continue;
        std::size_t at = t.pos;
        bool string = t.kind == TokenKind::kString;
        if (string && text[at] != '\'') ++at;  // N'...': the N stays in the piece
        raw_.append(text.substr(from, at - from));
        cuts_.push_back(static_cast<std::uint32_t>(raw_.size()));
        kinds_.push_back(string ? 1 : 0);
        from = t.pos + t.len;
    }
    raw_.append(text.substr(from, last.pos + last.len - from));
    cuts_.push_back(static_cast<std::uint32_t>(raw_.size()));
}

bool Skeleton::Match(std::string_view text, std::size_t pos, std::vector<BoundValue>* values,
                     std::size_t* end) const {
    if (cuts_.empty()) return false;
    const std::size_t n = text.size();
    const std::size_t count = kinds_.size();
    std::size_t p = pos;
    std::size_t r = 0;
    if (values->size() < count) values->resize(count);
    for (std::size_t k = 0;; ++k) {
        const std::size_t len = cuts_[k] - r;
        if (n - p < len || std::memcmp(text.data() + p, raw_.data() + r, len) != 0) return false;
        p += len;
        r = cuts_[k];
        if (k == count) break;
        if (p >= n) return false;
        BoundValue& v = (*values)[k];
        if (kinds_[k]) {
            if (text[p] != '\'') return false;
            bool doubled = false;
            std::size_t e = Scanner::StringEnd(text, p, &doubled);
            if (e == std::string_view::npos) return false;
            SetTextValue(text.substr(p, e - p), &v, doubled);
            p = e;
        } else {
            const char c = text[p];
            const char next = p + 1 < n ? text[p + 1] : '\0';
            if (!(IsDigitChar(c) || (c == '.' && IsDigitChar(next)))) return false;
            if (c == '0' && (next == 'x' || next == 'X')) return false;  // hex stays inline
            std::size_t e = Scanner::NumberEnd(text, p);
            SetNumberValue(text.substr(p, e - p), &v);
            p = e;
        }
    }
    if (!AtBoundary(text, p)) return false;
    values->resize(count);
    *end = p;
    return true;
}

}  // namespace payroll::tsql
