// Long texts cut into pieces for lines of a bounded width (the statement
// traces), never inside a UTF-8 character.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace payroll::text {

// The width of a statement trace's pieces, in bytes.
inline constexpr std::size_t kTracePiece = 200;

// The text in pieces of at most `limit` bytes (limit >= 1), each ending at a
// UTF-8 character boundary; where no boundary falls within a piece (the text
// is not UTF-8 there), it is cut at `limit` bytes. Empty text: no pieces.
std::vector<std::string_view> Utf8Pieces(std::string_view text, std::size_t limit);
// The last of those pieces (empty for an empty text), without keeping the
// others: a trace that shows only the last line.
std::string_view LastUtf8Piece(std::string_view text, std::size_t limit);

}  // namespace payroll::text
