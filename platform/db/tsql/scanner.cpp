#include "platform/db/tsql/scanner.h"

namespace payroll::tsql {
namespace {

bool IsHexDigit(char c) {
    return IsDigitChar(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsOperandKind(TokenKind k) {
    return k == TokenKind::kWord || k == TokenKind::kQuoted || k == TokenKind::kString ||
           k == TokenKind::kNumber || k == TokenKind::kHex || k == TokenKind::kRParen;
}

bool EndsOrderList(Keyword k) {
    switch (k) {
        case Keyword::kHaving:
        case Keyword::kUnion:
        case Keyword::kExcept:
        case Keyword::kIntersect:
        case Keyword::kSelect:
        case Keyword::kFrom:
        case Keyword::kWhere:
        case Keyword::kLimit:
        case Keyword::kOffset:
            return true;
        default:
            return false;
    }
}

constexpr char kValueMark = '\x01';

}  // namespace

std::string Excerpt(std::string_view text, std::size_t pos) {
    if (pos > text.size()) pos = text.size();
    std::string out(text.substr(pos, 32));
    // Do not end in the middle of a UTF-8 character.
    std::size_t lead = out.size();
    while (lead > 0 && (static_cast<unsigned char>(out[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0 && static_cast<unsigned char>(out[lead - 1]) >= 0xC0) {
        unsigned char c = static_cast<unsigned char>(out[lead - 1]);
        std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        if (out.size() - (lead - 1) < need) out.resize(lead - 1);
    }
    for (char& c : out)
        if (IsBlankChar(c)) c = ' ';
    if (pos + 32 < text.size()) out += "...";
    return out;
}

bool Scanner::Fail(std::string* error, std::string_view what, std::size_t at) const {
    *error = std::string(what) + " at offset " + std::to_string(at) + " near \"" +
             Excerpt(text_, at) + "\"";
    return false;
}

bool Scanner::SkipBlanks(std::string* error) {
    const std::size_t n = text_.size();
    while (pos_ < n) {
        char c = text_[pos_];
        if (IsBlankChar(c)) {
            ++pos_;
        } else if (c == '-' && pos_ + 1 < n && text_[pos_ + 1] == '-') {
            std::size_t eol = text_.find('\n', pos_);
            pos_ = eol == std::string_view::npos ? n : eol + 1;
        } else if (c == '/' && pos_ + 1 < n && text_[pos_ + 1] == '*') {
            std::size_t close = text_.find("*/", pos_ + 2);
            if (close == std::string_view::npos) return Fail(error, "unterminated comment", pos_);
            pos_ = close + 2;
        } else {
            break;
        }
    }
    return true;
}

std::size_t Scanner::StringEnd(std::string_view text, std::size_t quote, bool* doubled) {
    const std::size_t n = text.size();
    const char* data = text.data();
    const char close = data[quote];
    std::size_t p = quote + 1;
    for (;;) {
        while (p < n && data[p] != close) ++p;
        if (p >= n) return std::string_view::npos;
        if (p + 1 < n && data[p + 1] == close) {
            p += 2;  // a doubled quote stands for one
            if (doubled) *doubled = true;
            continue;
        }
        return p + 1;
    }
}

std::size_t Scanner::NumberEnd(std::string_view text, std::size_t p) {
    const std::size_t n = text.size();
    while (p < n && IsDigitChar(text[p])) ++p;
    if (p < n && text[p] == '.') {
        ++p;
        while (p < n && IsDigitChar(text[p])) ++p;
    }
    if (p < n && (text[p] == 'e' || text[p] == 'E')) {
        std::size_t q = p + 1;
        if (q < n && (text[q] == '+' || text[q] == '-')) ++q;
        if (q < n && IsDigitChar(text[q])) {
            while (q < n && IsDigitChar(text[q])) ++q;
            p = q;
        }
    }
    return p;
}

std::size_t Scanner::SkipToStatement() {
    std::string ignored;
    for (;;) {
        std::size_t before = pos_;
        if (!SkipBlanks(&ignored)) {
            pos_ = before;
            return pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == ';') {
            ++pos_;
            continue;
        }
        return pos_;
    }
}

bool Scanner::LexQuoted(Token* t, char close, TokenKind kind, std::size_t from,
                        std::string* error) {
    // `from` is just past the opening quote.
    std::size_t end = close == ']' ? text_.find(']', from) : StringEnd(text_, from - 1);
    if (close == ']') {
        while (end != std::string_view::npos && end + 1 < text_.size() && text_[end + 1] == ']')
            end = text_.find(']', end + 2);
        if (end != std::string_view::npos) ++end;
    }
    if (end == std::string_view::npos) {
        return Fail(error, kind == TokenKind::kString ? "unterminated string" : "unterminated name",
                    t->pos);
    }
    pos_ = end;
    t->kind = kind;
    t->len = static_cast<std::uint32_t>(pos_ - t->pos);
    return true;
}

bool Scanner::NextStartsOperand(std::size_t p) const {
    while (p < text_.size() && IsBlankChar(text_[p])) ++p;
    if (p >= text_.size()) return false;
    unsigned char c = static_cast<unsigned char>(text_[p]);
    return IsWordStart(c) || IsDigitChar(c) || c == '.' || c == '\'' || c == '(' || c == '"' ||
           c == '[';
}

bool Scanner::Lex(Token* t, std::string* error) {
    if (!SkipBlanks(error)) return false;
    const std::size_t n = text_.size();
    if (pos_ >= n) return false;
    const std::size_t start = pos_;
    const char c = text_[start];
    const char next = start + 1 < n ? text_[start + 1] : '\0';
    // *t is freshly made by the caller.
    t->pos = static_cast<std::uint32_t>(start);
    bool ok = true;

    if ((c == 'N' || c == 'n') && next == '\'') {
        ok = LexQuoted(t, '\'', TokenKind::kString, start + 2, error);
    } else if (IsWordStart(static_cast<unsigned char>(c))) {
        std::size_t p = start + 1;
        bool dotted = false;
        while (p < n && IsWordChar(static_cast<unsigned char>(text_[p]))) ++p;
        while (p + 1 < n && text_[p] == '.') {
            unsigned char after = static_cast<unsigned char>(text_[p + 1]);
            if (IsWordStart(after)) {
                p += 2;
                while (p < n && IsWordChar(static_cast<unsigned char>(text_[p]))) ++p;
                dotted = true;
            } else if (after == '*') {
                p += 2;
                dotted = true;
                break;
            } else {
                break;
            }
        }
        pos_ = p;
        t->kind = TokenKind::kWord;
        t->len = static_cast<std::uint32_t>(p - start);
        t->keyword = dotted ? Keyword::kNone : LookupKeyword(text_.substr(start, p - start));
    } else if (IsDigitChar(c) || (c == '.' && IsDigitChar(next))) {
        std::size_t p = start;
        if (c == '0' && (next == 'x' || next == 'X')) {
            p += 2;
            while (p < n && IsHexDigit(text_[p])) ++p;
            t->kind = TokenKind::kHex;
        } else {
            p = NumberEnd(text_, start);
            t->kind = TokenKind::kNumber;
        }
        pos_ = p;
        t->len = static_cast<std::uint32_t>(p - start);
    } else if (c == '\'') {
        ok = LexQuoted(t, '\'', TokenKind::kString, start + 1, error);
    } else if (c == '"') {
        ok = LexQuoted(t, '"', TokenKind::kQuoted, start + 1, error);
    } else if (c == '[') {
        ok = LexQuoted(t, ']', TokenKind::kQuoted, start + 1, error);
    } else {
        std::size_t len = 1;
        TokenKind kind = TokenKind::kOperator;
        switch (c) {
            case '(':
                kind = TokenKind::kLParen;
                break;
            case ')':
                kind = TokenKind::kRParen;
                break;
            case ',':
                kind = TokenKind::kComma;
                break;
            case ';':
                kind = TokenKind::kSemicolon;
                break;
            case '*':
                // Between operands "*=" is the old left outer join; "SELECT *",
                // "count(*)" and "A.*" keep their star.
                if (next == '=' && last_is_operand_) {
                    kind = TokenKind::kOuterLeft;
                    len = 2;
                }
                break;
            case '=':
                if (next == '*' && last_is_operand_ && NextStartsOperand(start + 2)) {
                    kind = TokenKind::kOuterRight;
                    len = 2;
                }
                break;
            case '<':
                if (next == '=' || next == '>') len = 2;
                break;
            case '>':
                if (next == '=') len = 2;
                break;
            case '!':
                if (next != '=' && next != '<' && next != '>')
                    return Fail(error, "unexpected character '!'", start);
                len = 2;
                break;
            case '|':
                if (next == '|') len = 2;
                break;
            case '+':
            case '-':
            case '/':
            case '%':
            case '&':
            case '^':
            case '~':
                break;
            default: {
                std::string what = "unexpected character '";
                what += c;
                what += "'";
                return Fail(error, what, start);
            }
        }
        pos_ = start + len;
        t->kind = kind;
        t->len = static_cast<std::uint32_t>(len);
    }
    if (!ok) return false;
    last_is_operand_ = IsOperandKind(t->kind);
    return true;
}

Scanner::Context Scanner::ContextFor(const Token* prev, const Token* before) const {
    if (!prev || prev->kind != TokenKind::kWord) return Context::kPlain;
    switch (prev->keyword) {
        case Keyword::kRound:
        case Keyword::kStr:
        case Keyword::kSubstring:
        case Keyword::kSubstr:
            return Context::kShapeAfter1;
        case Keyword::kConvert:
            return Context::kConvert;
        case Keyword::kVarchar:
        case Keyword::kNvarchar:
        case Keyword::kNchar:
        case Keyword::kDecimal:
        case Keyword::kDec:
        case Keyword::kNumeric:
        case Keyword::kFloat:
            return Context::kType;
        case Keyword::kChar: {
            // CHAR(n) is a type after AS or as CONVERT's first argument; CHAR(65) is a function.
            const Frame& top = frames_.back();
            if (top.context == Context::kConvert && top.arg == 0) return Context::kType;
            if (before && before->keyword == Keyword::kAs) return Context::kType;
            return Context::kPlain;
        }
        default:
            return Context::kPlain;
    }
}

bool Scanner::IsShapingNumber(const Token* prev) const {
    const Frame& top = frames_.back();
    switch (top.context) {
        case Context::kShapeAfter1:
            if (top.arg >= 1) return true;
            break;
        case Context::kConvert:
            if (top.arg >= 2) return true;
            break;
        case Context::kType:
            return true;
        case Context::kPlain:
            break;
    }
    // ORDER BY 1 names a column; a bound value there would sort by a constant.
    if (top.order_list && prev)
        return prev->kind == TokenKind::kComma || prev->keyword == Keyword::kBy;
    return false;
}

bool Scanner::StartsStatement(const Token& t, const Token& prev) const {
    // WITH names ... SELECT (or INSERT, UPDATE, DELETE): one statement.
    if (first_ == Keyword::kWith && !with_body_) return false;
    switch (t.keyword) {
        case Keyword::kInsert:
        case Keyword::kUpdate:
        case Keyword::kDelete:
            return true;
        case Keyword::kSelect: {
            if (first_ == Keyword::kInsert && !insert_body_) return false;  // INSERT ... SELECT
            switch (prev.keyword) {
                case Keyword::kUnion:
                case Keyword::kAll:
                case Keyword::kExcept:
                case Keyword::kIntersect:
                case Keyword::kAs:
                    return false;
                default:
                    return true;
            }
        }
        default:
            return false;
    }
}

bool Scanner::Accept(std::vector<Token>* tokens, std::string* shape, std::string* error) {
    const std::size_t count = tokens->size();
    Token& t = tokens->back();
    const Token* prev = count >= 2 ? &(*tokens)[count - 2] : nullptr;
    const auto index = static_cast<std::int32_t>(count - 1);
    Frame& top = frames_.back();
    switch (t.kind) {
        case TokenKind::kLParen: {
            if (frames_.size() > kMaxDepth)
                return Fail(error, "parentheses nested too deep", t.pos);
            Context context = ContextFor(prev, count >= 3 ? &(*tokens)[count - 3] : nullptr);
            frames_.push_back(Frame{index, context, 0, false});
            break;
        }
        case TokenKind::kRParen: {
            if (frames_.size() == 1) return Fail(error, "unbalanced ')'", t.pos);
            std::int32_t open = top.open;
            t.match = open;
            (*tokens)[static_cast<std::size_t>(open)].match = index;
            frames_.pop_back();
            break;
        }
        case TokenKind::kComma:
            if (top.arg < 0xffff) ++top.arg;
            break;
        case TokenKind::kWord:
            if (t.keyword == Keyword::kNone) break;
            if (!prev) first_ = t.keyword;
            if (frames_.size() == 1 && first_ == Keyword::kInsert &&
                (t.keyword == Keyword::kValues || t.keyword == Keyword::kSelect))
                insert_body_ = true;
            if (frames_.size() == 1 && first_ == Keyword::kWith &&
                (t.keyword == Keyword::kSelect || t.keyword == Keyword::kInsert ||
                 t.keyword == Keyword::kUpdate || t.keyword == Keyword::kDelete))
                with_body_ = true;
            if (t.keyword == Keyword::kBy && prev &&
                (prev->keyword == Keyword::kOrder || prev->keyword == Keyword::kGroup))
                top.order_list = true;
            else if (EndsOrderList(t.keyword))
                top.order_list = false;
            break;
        case TokenKind::kNumber:
            if (!IsShapingNumber(prev)) t.value = values_++;
            break;
        case TokenKind::kString:
            t.value = values_++;
            break;
        default:
            break;
    }
    if (t.value >= 0) {
        shape->push_back(kValueMark);
    } else {
        shape->append(text_.data() + t.pos, t.len);
    }
    shape->push_back(' ');
    return true;
}

Scanner::Result Scanner::Next(std::vector<Token>* tokens, std::string* shape, std::string* error) {
    tokens->clear();
    shape->clear();
    error->clear();
    frames_.assign(1, Frame{});
    values_ = 0;
    first_ = Keyword::kNone;
    insert_body_ = false;
    with_body_ = false;
    for (;;) {
        Token& t = tokens->emplace_back();
        if (!Lex(&t, error)) {
            tokens->pop_back();
            if (!error->empty()) return Result::kError;
            break;
        }
        if (t.kind == TokenKind::kSemicolon) {
            tokens->pop_back();
            if (frames_.size() > 1) {
                Fail(error, "';' inside parentheses", pos_ - 1);
                return Result::kError;
            }
            if (!tokens->empty()) return Result::kStatement;
            continue;
        }
        const std::size_t count = tokens->size();
        if (count == 1) {
            statement_offset_ = t.pos;
        } else if (t.kind == TokenKind::kWord && t.keyword != Keyword::kNone &&
                   frames_.size() == 1 && StartsStatement(t, (*tokens)[count - 2])) {
            // The keyword starts the next statement: read it again from there.
            pos_ = t.pos;
            last_is_operand_ = false;
            tokens->pop_back();
            return Result::kStatement;
        }
        if (!Accept(tokens, shape, error)) return Result::kError;
    }
    if (frames_.size() > 1) {
        const Token& open = (*tokens)[static_cast<std::size_t>(frames_.back().open)];
        Fail(error, "'(' is never closed", open.pos);
        return Result::kError;
    }
    return tokens->empty() ? Result::kEnd : Result::kStatement;
}

}  // namespace payroll::tsql
