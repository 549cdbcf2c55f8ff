// Did a hostile value reach the database outside a string literal? Each
// statement text the library sent is taken apart with the dialect layer's
// own scanner (what it calls a literal is what becomes a bound value); the
// text left after blanking out every string literal must hold nothing a
// hostile value could have put there: no comment, no statement separator,
// no DROP, no canary table, and not the hostile value itself.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/scanner.h"

namespace payroll::reliability {

// The text with every string literal replaced by blanks; false (with the
// scanner's message in *why) when the text does not scan.
inline bool BlankLiterals(std::string_view text, std::string* blanked, std::string* why) {
    blanked->assign(text);
    tsql::Scanner scanner(text);
    std::vector<tsql::Token> tokens;
    std::string shape;
    for (;;) {
        const tsql::Scanner::Result r = scanner.Next(&tokens, &shape, why);
        if (r == tsql::Scanner::Result::kEnd) return true;
        if (r == tsql::Scanner::Result::kError) return false;
        for (const tsql::Token& t : tokens)
            if (t.kind == tsql::TokenKind::kString)
                std::fill_n(blanked->begin() + t.pos, t.len, ' ');
    }
}

inline std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Characters that make a value worth looking for outside the literals: one
// of them there means the value escaped its quotes.
inline bool LooksHostile(std::string_view value) {
    return value.find_first_of("';%\"[]") != std::string_view::npos ||
           value.find("--") != std::string_view::npos || value.find("/*") != std::string_view::npos;
}

// Empty when `text` is clean; else what was found outside the literals.
// `hostile` is the value as the field held it (already cut to the field).
inline std::string Exposure(std::string_view text, std::string_view hostile) {
    std::string blanked, why;
    if (!BlankLiterals(text, &blanked, &why)) return "the text does not scan: " + why;
    const std::string upper = Upper(blanked);
    for (const char* marker : {"--", "/*", ";", "DROP", "CANARY"})
        if (upper.find(marker) != std::string::npos)
            return std::string("'") + marker + "' outside the literals";
    if (!hostile.empty() && LooksHostile(hostile) && blanked.find(hostile) != std::string::npos)
        return "the hostile value outside the literals";
    return std::string();
}

// The contents of the string literals of a text (quotes undone).
inline std::vector<std::string> Literals(std::string_view text) {
    std::vector<std::string> out;
    tsql::Scanner scanner(text);
    std::vector<tsql::Token> tokens;
    std::string shape, why;
    while (scanner.Next(&tokens, &shape, &why) == tsql::Scanner::Result::kStatement) {
        for (const tsql::Token& t : tokens) {
            if (t.kind != tsql::TokenKind::kString) continue;
            std::string_view body = tsql::TokenText(text, t);
            if (!body.empty() && (body[0] == 'N' || body[0] == 'n')) body.remove_prefix(1);
            if (body.size() < 2) continue;
            body = body.substr(1, body.size() - 2);
            std::string value;
            for (std::size_t i = 0; i < body.size(); ++i) {
                value += body[i];
                if (body[i] == '\'' && i + 1 < body.size() && body[i + 1] == '\'') ++i;
            }
            out.push_back(std::move(value));
        }
    }
    return out;
}

}  // namespace payroll::reliability
