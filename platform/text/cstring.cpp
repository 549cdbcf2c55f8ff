#include "payroll/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/text/printf_format.h"

CString::CString(const char* text, int length) {
    if (text && length > 0) s_.assign(text, strnlen(text, static_cast<std::size_t>(length)));
}

CString::CString(char ch, int repeat) {
    if (repeat > 0) s_.assign(static_cast<std::size_t>(repeat), ch);
}

void CString::FormatV(const char* format, va_list args) {
    if (!format) {
        s_.clear();
        return;
    }
    {
        va_list fast;
        va_copy(fast, args);
        std::string out;
        const bool done = payroll::text::AppendPrintf(&out, format, fast);
        va_end(fast);
        if (done) {
            s_ = std::move(out);
            return;
        }
    }
    va_list probe;
    va_copy(probe, args);
    char small[256];
    int needed = std::vsnprintf(small, sizeof small, format, probe);
    va_end(probe);
    if (needed < 0) {
        s_.clear();
        return;
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        s_.assign(small, static_cast<std::size_t>(needed));
        return;
    }
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
    s_ = std::move(out);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::size_t before = s_.size();
    va_list fast;
    va_copy(fast, args);
    const bool done = format && payroll::text::AppendPrintf(&s_, format, fast);
    va_end(fast);
    if (!done) {
        s_.resize(before);
        CString tail;
        tail.FormatV(format, args);
        s_ += tail.s_;
    }
    va_end(args);
}

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) return '\0';
    return s_[static_cast<std::size_t>(index)];
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(s_.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count <= 0 || first >= GetLength()) return CString();
    return CString(s_.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(s_.substr(s_.size() - static_cast<std::size_t>(count)));
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    std::size_t at = s_.find(sub, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    std::size_t at = s_.find(ch, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    std::string with = to ? to : "";
    std::size_t flen = std::strlen(from);
    int count = 0;
    std::size_t at = 0;
    while ((at = s_.find(from, at)) != std::string::npos) {
        s_.replace(at, flen, with);
        at += with.size();
        ++count;
    }
    return count;
}

CString& CString::TrimLeft() {
    auto it = std::find_if(s_.begin(), s_.end(), [](unsigned char c) { return !std::isspace(c); });
    s_.erase(s_.begin(), it);
    return *this;
}

CString& CString::TrimRight() {
    while (!s_.empty() && std::isspace(static_cast<unsigned char>(s_.back()))) s_.pop_back();
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::MakeUpper() {
    for (char& c : s_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

int CString::Compare(const char* other) const {
    return std::strcmp(s_.c_str(), other ? other : "");
}
