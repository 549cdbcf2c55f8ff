#include "platform/text/utf8_pieces.h"

#include "payroll/fixed_text.h"

namespace payroll::text {
namespace {

// The first piece of the text, at most `limit` bytes.
std::string_view FirstPiece(std::string_view text, std::size_t limit) {
    std::size_t n = Utf8PrefixLength(text, limit);
    if (n == 0) n = std::min(text.size(), limit);
    return text.substr(0, n);
}

}  // namespace

std::vector<std::string_view> Utf8Pieces(std::string_view text, std::size_t limit) {
    std::vector<std::string_view> pieces;
    if (limit == 0) limit = 1;
    for (; !text.empty(); text.remove_prefix(pieces.back().size()))
        pieces.push_back(FirstPiece(text, limit));
    return pieces;
}

std::string_view LastUtf8Piece(std::string_view text, std::size_t limit) {
    if (limit == 0) limit = 1;
    std::string_view piece;
    for (; !text.empty(); text.remove_prefix(piece.size())) piece = FirstPiece(text, limit);
    return piece;
}

}  // namespace payroll::text
