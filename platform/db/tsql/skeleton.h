// The fast road for batches. The engine sends thousands of statements that
// differ only in their values and are formatted alike (the default-row
// INSERTs). A Skeleton keeps one such statement's exact text with its values
// cut out; the next statement that has the same bytes between its values,
// literals of the same kinds in their places and a statement boundary after
// it has, by construction, the same tokens and so the same shape. It is then
// read without the scanner: a comparison of bytes and the literals' lexing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/token.h"
#include "platform/db/tsql/translate.h"

namespace payroll::tsql {

class Skeleton {
  public:
    // Takes the shape of a scanned statement. Statements that do not start
    // with a word, or that are very long, give an empty skeleton.
    void Build(std::string_view text, const std::vector<Token>& tokens);

    bool empty() const { return cuts_.empty(); }

    // Reads the statement at `pos` if it fits: fills *values (reusing its
    // elements) and sets *end to the offset just past the statement. False
    // when it does not fit; *values is then unspecified.
    bool Match(std::string_view text, std::size_t pos, std::vector<BoundValue>* values,
               std::size_t* end) const;

  private:
    std::string raw_;                  // the text between the values, run together
    std::vector<std::uint32_t> cuts_;  // where each piece of raw_ ends; one more than values
    std::vector<std::uint8_t> kinds_;  // per value: 1 for a string, 0 for a number
};

// The bound value of a string literal token ('...' or N'...'); `doubled`
// false promises that it holds no doubled quote.
void SetTextValue(std::string_view literal, BoundValue* v, bool doubled = true);
// The bound value of a number literal token.
void SetNumberValue(std::string_view literal, BoundValue* v);

}  // namespace payroll::tsql
