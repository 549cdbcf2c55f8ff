// The engine speaks the SQL of the host's original database. A Translator turns
// one text of that dialect (possibly several statements run together without
// semicolons) into statements a backend can prepare, with the literals taken
// out as bound values. Each statement shape is translated once and then reused.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace payroll::tsql {

enum class Target { kSqlite, kPostgres };

// A literal lifted out of the statement text.
struct BoundValue {
    enum class Kind { kText, kInteger, kReal, kNull };
    Kind kind = Kind::kText;
    // kText: the string's content with doubled quotes undone.
    // kInteger / kReal: the number exactly as written (no sign; a minus stays in the SQL).
    std::string text;
};

// One translated statement. `sql` is shared by every statement of the same
// shape and stays valid as long as the Translator lives, so backends can key
// their prepared statements on its address or its text.
// Exception: when the shape cache is full, the statement is huge, or it holds
// more literals than a backend binds (they then stay inline and `values` is
// empty), `cached` is false and `sql` is this call's own text, valid only
// until the next Translate call; do not keep a prepared statement keyed on
// its address.
struct Statement {
    const std::string* sql = nullptr;
    std::vector<BoundValue> values;  // in placeholder order: ?1, ?2 ... or $1, $2 ...
    bool returns_rows = false;       // a SELECT (or anything that yields a result set)
    bool cached = true;              // see above
};

class Translator {
  public:
    explicit Translator(Target target, std::size_t cache_capacity = 4096);
    ~Translator();
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

    // Splits `text` into statements and translates each, replacing the
    // contents of *out (its elements are reused). On text it cannot
    // translate (an unterminated string, unbalanced parentheses, an outer-join
    // shape it does not understand) it returns false, empties *out and says
    // why in *error (which may be null). Never throws. Not thread-safe: one
    // Translator per connection.
    bool Translate(std::string_view text, std::vector<Statement>* out, std::string* error);

    // Number of distinct shapes translated so far (for tests and benchmarks).
    std::size_t CachedShapes() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace payroll::tsql
