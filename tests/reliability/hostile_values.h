// The hostile values every text input is tried with: quotes, printf
// conversions, a second statement, comment markers, a NUL byte, malformed
// and over-long UTF-8, a multi-byte character cut at a field's edge, empty
// and blank values, non-numbers and impossible dates.
#pragma once

#include <string>
#include <vector>

namespace payroll::reliability {

struct HostileValue {
    const char* label;
    std::string text;
};

inline const std::vector<HostileValue>& HostileValues() {
    using namespace std::string_literals;
    static const std::vector<HostileValue> values = {
        {"quote", "'"},
        {"doubled quotes", "''"},
        {"quote inside", "O'Br"},
        {"printf %n", "%n%n%n%n"},
        {"printf %s", "%s%s%s%s%s"},
        {"percent", "10%"},
        {"second statement", "'; DROP TABLE HPOMNPY; --"},
        {"canary statement", "1'; DELETE FROM CANARY; --"},
        {"number then statement", "1; DELETE FROM CANARY"},
        {"line comment", "-- x"},
        {"block comment", "/*x*/"},
        {"comment end and quote", "*/'"},
        {"NUL byte", "A\0'; DROP TABLE CANARY; --"s},
        {"over-long UTF-8 quote", "\xC0\xA7"},
        {"over-long UTF-8 slash", "\xE0\x80\xAF"},
        {"five-byte sequence", "\xF8\x88\x80\x80\x80"},
        {"lone continuation bytes", "\x80\x80"},
        {"character cut at the edge", "123\xEA\xB0\x80\xEB\x82\x98"},
        {"character cut early", "1\xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4"},
        {"empty", ""},
        {"blank", "   "},
        {"white space", "\t\r\n"},
        {"not a number", "abc"},
        {"huge number", "99999999999999999999"},
        {"exponent", "1e308"},
        {"negative", "-1"},
        {"hexadecimal", "0x1F"},
        {"impossible date", "20021332"},
        {"short date", "2002023"},
        {"backslash quote", "\\'"},
        {"bracket name", "[x]"},
        {"double-quoted name", "\"x\""},
        {"over-long value", std::string(1500, 'A') + "'"},
    };
    return values;
}

// The value as a C text holds it: cut at an embedded NUL.
inline std::string AsCText(const std::string& value) {
    return value.substr(0, value.find('\0'));
}

// The value as SQLite hexadecimal text, for planting any bytes in a column.
inline std::string HexText(const std::string& value) {
    static const char* digits = "0123456789ABCDEF";
    std::string hex = "CAST(X'";
    for (unsigned char c : value) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex + "' AS TEXT)";
}

}  // namespace payroll::reliability
