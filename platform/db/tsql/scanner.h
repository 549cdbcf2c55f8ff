// One pass over a text of the engine's dialect: tokens, statement boundaries,
// literals numbered as bound values, parentheses matched and the statement's
// shape key (its tokens with the bound literals replaced).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/token.h"

namespace payroll::tsql {

class Scanner {
  public:
    // Deepest parenthesis nesting accepted; deeper text is refused, which also
    // bounds the recursion of the rewriting stages.
    static constexpr std::size_t kMaxDepth = 200;

    explicit Scanner(std::string_view text) : text_(text) {}

    enum class Result { kStatement, kEnd, kError };

    // Scans the next statement into *tokens (cleared first) and its shape key
    // into *shape. kEnd when only blanks and comments are left; kError with a
    // message in *error on malformed text.
    Result Next(std::vector<Token>* tokens, std::string* shape, std::string* error);

    // Byte offset where the statement last returned by Next starts.
    std::size_t statement_offset() const { return statement_offset_; }

    // Skips blanks, comments and semicolons and returns the offset where the
    // next statement starts (the text's size at its end). On an unterminated
    // comment it stays put, and Next reports it.
    std::size_t SkipToStatement();

    // Continues after a statement that was read by other means (Skeleton),
    // which ended at `pos`.
    void Resume(std::size_t pos) {
        pos_ = pos;
        last_is_operand_ = false;
    }

    // End of the string literal whose opening quote is at `quote`; npos when
    // it is not closed. Doubled quotes stay inside; *doubled says if any.
    static std::size_t StringEnd(std::string_view text, std::size_t quote, bool* doubled = nullptr);
    // End of the number starting at `pos` (digits, point, digits, exponent).
    static std::size_t NumberEnd(std::string_view text, std::size_t pos);

  private:
    // How the numbers directly inside a pair of parentheses are treated.
    enum class Context : std::uint8_t {
        kPlain,        // every number is a value
        kShapeAfter1,  // ROUND, STR, SUBSTRING: arguments after the first shape the result
        kConvert,      // CONVERT(type, x, style): the style shapes the result
        kType,         // a type's length, precision or scale
    };
    struct Frame {
        std::int32_t open = -1;  // token index of the '('
        Context context = Context::kPlain;
        std::uint16_t arg = 0;    // 0-based argument index (commas seen)
        bool order_list = false;  // inside ORDER BY / GROUP BY at this level
    };

    bool Lex(Token* t, std::string* error);
    bool SkipBlanks(std::string* error);
    bool LexQuoted(Token* t, char close, TokenKind kind, std::size_t from, std::string* error);
    // Takes in the last token of *tokens: parentheses, values, shape.
    bool Accept(std::vector<Token>* tokens, std::string* shape, std::string* error);
    bool StartsStatement(const Token& t, const Token& prev) const;
    Context ContextFor(const Token* prev, const Token* before) const;
    bool IsShapingNumber(const Token* prev) const;
    bool NextStartsOperand(std::size_t p) const;
    bool Fail(std::string* error, std::string_view what, std::size_t at) const;

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t statement_offset_ = 0;
    bool last_is_operand_ = false;
    std::vector<Frame> frames_;
    std::int32_t values_ = 0;
    Keyword first_ = Keyword::kNone;
    bool insert_body_ = false;  // an INSERT has reached its VALUES or SELECT
    bool with_body_ = false;    // a WITH has reached the statement its names serve
};

// A short excerpt of `text` at `pos` for error messages.
std::string Excerpt(std::string_view text, std::size_t pos);

}  // namespace payroll::tsql
