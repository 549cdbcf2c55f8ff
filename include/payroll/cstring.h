// CString: the text type of the exported signatures. A value type over a
// std::string holding UTF-8; it never shares storage, so passing it by value
// is always safe.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "payroll/export.h"

class PAYROLL_API CString {
public:
    CString() = default;
    CString(const char* text) : s_(text ? text : "") {}  // NOLINT: implicit like the original
    CString(const char* text, int length);
    CString(std::string text) : s_(std::move(text)) {}  // NOLINT
    CString(std::string_view text) : s_(text) {}         // NOLINT
    CString(char ch, int repeat = 1);

    // printf-style formatting into this text; safe for any result length.
    // The format must be a literal or a text the caller controls: never data.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    // Appends formatted text.
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    char GetAt(int index) const;

    // Sub-texts by byte position; out-of-range positions are clamped.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Byte position of the first occurrence at or after start, or -1.
    int Find(const char* sub, int start = 0) const;
    int Find(char ch, int start = 0) const;
    int Replace(const char* from, const char* to);

    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim();
    CString& MakeUpper();

    int Compare(const char* other) const;

    operator const char*() const { return s_.c_str(); }  // NOLINT: LPCTSTR of the original
    const char* c_str() const { return s_.c_str(); }
    const std::string& str() const { return s_; }
    std::string& str() { return s_; }

    CString& operator=(const char* text) {
        s_ = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        s_ += other.s_;
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) s_ += text;
        return *this;
    }
    CString& operator+=(char ch) {
        s_ += ch;
        return *this;
    }

    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

private:
    std::string s_;
};
