// The fixed-width text field on arbitrary bytes: whatever is stored, the
// field keeps a terminator inside its width, holds a prefix of the value
// (up to an embedded NUL) and never cuts a UTF-8 character in two.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "payroll/cstring.h"
#include "payroll/fixed_text.h"

namespace {

bool Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void CheckPrefix(std::string_view text, std::size_t limit) {
    const std::size_t n = payroll::Utf8PrefixLength(text, limit);
    if (n > limit && n != text.size()) std::abort();
    if (text.size() <= limit && n != text.size()) std::abort();
    // A cut lands on a character's first byte (or at 0 when no whole
    // character fits).
    if (n < text.size() && n > 0 && Continuation(text[n])) std::abort();
}

template <std::size_t N>
void CheckField(std::string_view text) {
    payroll::FixedText<N> field;
    std::memset(field.data, 'x', N);
    field.Set(text);
    const std::size_t length = std::strlen(field.c_str());
    if (length >= N) std::abort();
    if (field.View().size() != length) std::abort();
    if (text.substr(0, length) != field.View()) std::abort();
    const std::size_t nul = text.find('\0');
    const std::string_view before_nul = text.substr(0, nul);
    if (length > before_nul.size()) std::abort();
    if (length < before_nul.size()) {
        // Cut for room: the rest of the field is zero and the cut is whole.
        if (length != payroll::Utf8PrefixLength(before_nul, N - 1)) std::abort();
    }
    for (std::size_t i = length; i < N; ++i)
        if (field.data[i] != '\0') std::abort();

    // A field whose bytes arrived raw (no terminator at all) reads bounded.
    payroll::FixedText<N> raw;
    std::memset(raw.data, 0, N);
    std::memcpy(raw.data, text.data(), text.size() < N ? text.size() : N);
    if (raw.View().size() > N) std::abort();
    payroll::FixedText<N> renewed;
    renewed.Set(raw.View());
    if (std::strlen(renewed.c_str()) >= N) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t limit : {0u, 1u, 2u, 3u, 4u, 5u, 9u, 55u, 759u}) CheckPrefix(text, limit);
    CheckField<1>(text);
    CheckField<5>(text);
    CheckField<6>(text);
    CheckField<10>(text);
    CheckField<56>(text);
    CheckField<760>(text);

    // The text class the engine formats statements with.
    CString s(std::string(text).c_str());
    CString left = s.Left(static_cast<int>(size % 7));
    CString mid = s.Mid(static_cast<int>(size % 5), 3);
    if (left.GetLength() > s.GetLength() || mid.GetLength() > 3) std::abort();
    return 0;
}
