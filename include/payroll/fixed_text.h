// FixedText<N>: a text field of N bytes inside a packed record. It always
// holds a NUL terminator; a value that does not fit is cut at the last UTF-8
// character boundary that leaves room for it.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace payroll {

// Largest prefix length of text, at most limit bytes, that does not split a
// UTF-8 multi-byte character.
inline std::size_t Utf8PrefixLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t n = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut
    // character; that start byte is itself excluded.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

// Copies text into a field of width bytes (width >= 1), cutting at a
// character boundary and zero-filling the rest.
inline void CopyToField(char* field, std::size_t width, std::string_view text) {
    if (width == 0) return;
    std::size_t n = Utf8PrefixLength(text, width - 1);
    // An embedded NUL ends the value: the field is a C text.
    if (const void* nul = std::memchr(text.data(), '\0', n))
        n = static_cast<const char*>(nul) - text.data();
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, width - n);
}

// Length of the text in a field, never reading past its width.
inline std::size_t FieldLength(const char* field, std::size_t width) {
    const void* nul = std::memchr(field, '\0', width);
    return nul ? static_cast<const char*>(nul) - field : width;
}

template <std::size_t N>
// A NUL-terminated text field of N bytes inside a packed record.
struct FixedText {
    static_assert(N >= 1, "a field needs room for its terminator");
    char data[N];

    // Stores text, cut to fit at a character boundary.
    void Set(std::string_view text) { CopyToField(data, N, text); }
    // Makes the field empty (all bytes zero).
    void Clear() { std::memset(data, 0, N); }
    // The stored text, never reading past the field.
    std::string_view View() const { return std::string_view(data, FieldLength(data, N)); }
    // A copy of the stored text.
    std::string Str() const { return std::string(View()); }
    // Every writer (Set, Clear, CopyToField) leaves a terminator inside the
    // field, so the text can be handed to C functions as it is.
    const char* c_str() const { return data; }
    // True when the field holds the empty text.
    bool IsEmpty() const { return data[0] == '\0'; }
    // True when the stored text equals text.
    bool operator==(std::string_view text) const { return View() == text; }
    // Stores text as Set does.
    FixedText& operator=(std::string_view text) {
        Set(text);
        return *this;
    }
    // The field's width in bytes, terminator included.
    static constexpr std::size_t capacity() { return N; }
};

}  // namespace payroll
