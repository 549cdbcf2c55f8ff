// CString: the text type of the exported signatures. A value type over a
// std::string holding UTF-8; it never shares storage, so passing it by value
// is always safe.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "payroll/export.h"

// A UTF-8 text value with the operations the engine and the front use.
class PAYROLL_API CString {
  public:
    CString() = default;
    // A copy of a NUL-terminated text; null gives an empty text.
    CString(const char* text) : s_(text ? text : "") {}  // NOLINT: implicit like the original
    // The first `length` bytes of text (fewer at a NUL; none when null or
    // length is negative).
    CString(const char* text, int length);
    // Takes over a std::string.
    CString(std::string text) : s_(std::move(text)) {}  // NOLINT
    // A copy of the viewed bytes.
    CString(std::string_view text) : s_(text) {}  // NOLINT
    // `repeat` copies of ch (none when repeat < 1).
    CString(char ch, int repeat = 1);

    // printf-style formatting into this text; safe for any result length.
    // The format must be a literal or a text the caller controls: never data.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Format with a va_list.
    void FormatV(const char* format, va_list args);
    // Appends formatted text.
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Length in bytes (not characters: the text is UTF-8).
    int GetLength() const { return static_cast<int>(s_.size()); }
    // True for the empty text.
    bool IsEmpty() const { return s_.empty(); }
    // Makes the text empty.
    void Empty() { s_.clear(); }
    // The byte at `index`, or NUL outside the text.
    char GetAt(int index) const;

    // Sub-texts by byte position; out-of-range positions are clamped.
    CString Left(int count) const;
    // From byte `first` to the end.
    CString Mid(int first) const;
    // `count` bytes from byte `first`.
    CString Mid(int first, int count) const;
    // The last `count` bytes.
    CString Right(int count) const;

    // Byte position of the first occurrence at or after start, or -1.
    int Find(const char* sub, int start = 0) const;
    // Byte position of the first ch at or after start, or -1.
    int Find(char ch, int start = 0) const;
    // Replaces every occurrence of `from` (not empty) by `to`; the number
    // replaced.
    int Replace(const char* from, const char* to);

    // Removes leading white space (space, tab, line breaks).
    CString& TrimLeft();
    // Removes trailing white space.
    CString& TrimRight();
    // Removes leading and trailing white space.
    CString& Trim();
    // Upper-cases the ASCII letters; other bytes stay.
    CString& MakeUpper();

    // Byte-wise comparison as strcmp (null counts as empty): negative, 0 or positive.
    int Compare(const char* other) const;

    // The NUL-terminated text, valid until the text changes.
    operator const char*() const { return s_.c_str(); }  // NOLINT: LPCTSTR of the original
    // The NUL-terminated text, valid until the text changes.
    const char* c_str() const { return s_.c_str(); }
    // The text as a std::string.
    const std::string& str() const { return s_; }
    // The text as a std::string, for changing it in place.
    std::string& str() { return s_; }

    // Replaces the text; null gives an empty text.
    CString& operator=(const char* text) {
        s_ = text ? text : "";
        return *this;
    }
    // Appends another text.
    CString& operator+=(const CString& other) {
        s_ += other.s_;
        return *this;
    }
    // Appends a NUL-terminated text; null appends nothing.
    CString& operator+=(const char* text) {
        if (text) s_ += text;
        return *this;
    }
    // Appends one byte.
    CString& operator+=(char ch) {
        s_ += ch;
        return *this;
    }

    // The two texts one after the other.
    friend CString operator+(CString a, const CString& b) { return a += b; }
    // The text followed by a NUL-terminated text (null: nothing).
    friend CString operator+(CString a, const char* b) { return a += b; }
    // A NUL-terminated text (null: empty) followed by the text.
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    // Byte-wise equality.
    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    // Byte-wise equality with a NUL-terminated text (null counts as empty).
    friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
    // Byte-wise inequality with a NUL-terminated text.
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    // Byte-wise order, for sorting and maps.
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

  private:
    std::string s_;
};
