#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/tsql/scanner.h"

namespace payroll::tsql {
namespace {

const char* KindName(TokenKind k) {
    switch (k) {
        case TokenKind::kWord:
            return "W";
        case TokenKind::kQuoted:
            return "Q";
        case TokenKind::kString:
            return "S";
        case TokenKind::kNumber:
            return "N";
        case TokenKind::kHex:
            return "H";
        case TokenKind::kOperator:
            return "O";
        case TokenKind::kOuterLeft:
            return "LJ";
        case TokenKind::kOuterRight:
            return "RJ";
        case TokenKind::kLParen:
            return "(";
        case TokenKind::kRParen:
            return ")";
        case TokenKind::kComma:
            return ",";
        case TokenKind::kSemicolon:
            return ";";
    }
    return "?";
}

// Every statement's tokens as "kind:text" (a '$' after a lifted value).
std::vector<std::string> Scan(std::string_view text, std::string* error = nullptr) {
    Scanner scanner(text);
    std::vector<Token> tokens;
    std::string shape, message;
    std::vector<std::string> out;
    for (;;) {
        Scanner::Result r = scanner.Next(&tokens, &shape, &message);
        if (r == Scanner::Result::kError) {
            if (error) *error = message;
            out.push_back("ERROR");
            return out;
        }
        if (r == Scanner::Result::kEnd) return out;
        if (!out.empty()) out.push_back("|");
        for (const Token& t : tokens) {
            std::string s = std::string(KindName(t.kind)) + ":" + std::string(TokenText(text, t));
            if (t.value >= 0) s += "$";
            out.push_back(s);
        }
    }
}

using Tokens = std::vector<std::string>;

struct Case {
    const char* text;
    Tokens expected;
};

TEST(TokenizerTest, TokensOfTheDialect) {
    const Case cases[] = {
        {"A.CO_CD*=H.CO_CD", {"W:A.CO_CD", "LJ:*=", "W:H.CO_CD"}},
        {"A.EMP_CD=*B.EMP_CD", {"W:A.EMP_CD", "RJ:=*", "W:B.EMP_CD"}},
        {"x =* y", {"W:x", "RJ:=*", "W:y"}},
        {"SELECT * FROM T", {"W:SELECT", "O:*", "W:FROM", "W:T"}},
        {"SELECT A.*, count(*)", {"W:SELECT", "W:A.*", ",:,", "W:count", "(:(", "O:*", "):)"}},
        {"count(*)=1", {"W:count", "(:(", "O:*", "):)", "O:=", "N:1$"}},
        {"a * = b", {"W:a", "O:*", "O:=", "W:b"}},
        {"x='O''Brien'", {"W:x", "O:=", "S:'O''Brien'$"}},
        {"N'한글' ''", {"S:N'한글'$", "S:''$"}},
        {"a!=b<>c>=d<=e!<f!>g",
         {"W:a", "O:!=", "W:b", "O:<>", "W:c", "O:>=", "W:d", "O:<=", "W:e", "O:!<", "W:f", "O:!>",
          "W:g"}},
        {"a\t,\r\nb -- note * = 'x\n c /* ( */ d", {"W:a", ",:,", "W:b", "W:c", "W:d"}},
        {".0000 1.5 12 1e3 7. 0x1F", {"N:.0000$", "N:1.5$", "N:12$", "N:1e3$", "N:7.$", "H:0x1F"}},
        {"1e x", {"N:1$", "W:e", "W:x"}},
        {"[a b] \"c d\"", {"Q:[a b]", "Q:\"c d\""}},
        {"T.a+-1", {"W:T.a", "O:+", "O:-", "N:1$"}},
        {"a||b%c", {"W:a", "O:||", "W:b", "O:%", "W:c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Scan(c.text), c.expected) << c.text;
}

TEST(TokenizerTest, NumbersThatShapeTheStatementStayInline) {
    const Case cases[] = {
        {"ROUND(1.5,-1)", {"W:ROUND", "(:(", "N:1.5$", ",:,", "O:-", "N:1", "):)"}},
        {"ROUND(x+4,0,1)",
         {"W:ROUND", "(:(", "W:x", "O:+", "N:4$", ",:,", "N:0", ",:,", "N:1", "):)"}},
        {"STR('',10,2)", {"W:STR", "(:(", "S:''$", ",:,", "N:10", ",:,", "N:2", "):)"}},
        {"SUBSTRING(a,1,2)", {"W:SUBSTRING", "(:(", "W:a", ",:,", "N:1", ",:,", "N:2", "):)"}},
        {"CAST(a AS CHAR(3))",
         {"W:CAST", "(:(", "W:a", "W:AS", "W:CHAR", "(:(", "N:3", "):)", "):)"}},
        {"CONVERT(varchar(40),1)",
         {"W:CONVERT", "(:(", "W:varchar", "(:(", "N:40", "):)", ",:,", "N:1$", "):)"}},
        {"CHAR(65)", {"W:CHAR", "(:(", "N:65$", "):)"}},
        {"ORDER BY 1, 2 DESC", {"W:ORDER", "W:BY", "N:1", ",:,", "N:2", "W:DESC"}},
        {"GROUP BY a HAVING count(*) > 2",
         {"W:GROUP", "W:BY", "W:a", "W:HAVING", "W:count", "(:(", "O:*", "):)", "O:>", "N:2$"}},
        {"ROUND(ROUND(1,2)+3,4)",
         {"W:ROUND", "(:(", "W:ROUND", "(:(", "N:1$", ",:,", "N:2", "):)", "O:+", "N:3$", ",:,",
          "N:4", "):)"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Scan(c.text), c.expected) << c.text;
}

TEST(TokenizerTest, MatchesParentheses) {
    std::string_view text = "SELECT (a + (b)) FROM (SELECT 1) X";
    Scanner scanner(text);
    std::vector<Token> tokens;
    std::string shape, error;
    ASSERT_EQ(scanner.Next(&tokens, &shape, &error), Scanner::Result::kStatement);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::kLParen) continue;
        auto m = static_cast<std::size_t>(tokens[i].match);
        ASSERT_LT(m, tokens.size());
        EXPECT_EQ(tokens[m].kind, TokenKind::kRParen);
        EXPECT_EQ(static_cast<std::size_t>(tokens[m].match), i);
    }
}

TEST(TokenizerTest, ShapeIgnoresBlanksAndValues) {
    auto shape_of = [](std::string_view text) {
        Scanner scanner(text);
        std::vector<Token> tokens;
        std::string shape, error;
        EXPECT_EQ(scanner.Next(&tokens, &shape, &error), Scanner::Result::kStatement);
        return shape;
    };
    EXPECT_EQ(shape_of("SELECT a FROM T WHERE b='x' AND c=1"),
              shape_of("SELECT  a\tFROM T\nWHERE b = 'yy' AND c = 2.5 -- note"));
    EXPECT_NE(shape_of("SELECT ROUND(a, 1)"), shape_of("SELECT ROUND(a, 2)"));
    EXPECT_NE(shape_of("SELECT a FROM T"), shape_of("SELECT b FROM T"));
    EXPECT_NE(shape_of("SELECT CAST(a AS CHAR(3))"), shape_of("SELECT CAST(a AS CHAR(4))"));
}

TEST(TokenizerTest, MalformedTextIsRefusedWithItsPlace) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"SELECT 'abc", "unterminated string at offset 7"},
        {"SELECT \"abc", "unterminated name"},
        {"SELECT [abc", "unterminated name"},
        {"SELECT 1 /* note", "unterminated comment"},
        {"SELECT (1", "'(' is never closed at offset 7"},
        {"SELECT 1)", "unbalanced ')' at offset 8"},
        {"SELECT (1;2)", "';' inside parentheses"},
        {"SELECT ! 1", "unexpected character '!'"},
        {"SELECT ?", "unexpected character '?'"},
        {"SELECT {x}", "unexpected character '{'"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(Scan(c.text, &error).back(), "ERROR") << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.text << ": " << error;
    }
}

TEST(TokenizerTest, DeepNestingIsRefused) {
    std::string deep(Scanner::kMaxDepth + 1, '(');
    deep += "1";
    deep += std::string(Scanner::kMaxDepth + 1, ')');
    std::string error;
    EXPECT_EQ(Scan("SELECT " + deep, &error).back(), "ERROR");
    EXPECT_NE(error.find("nested too deep"), std::string::npos) << error;
    std::string fine(Scanner::kMaxDepth - 1, '(');
    fine += "1";
    fine += std::string(Scanner::kMaxDepth - 1, ')');
    EXPECT_NE(Scan("SELECT " + fine).back(), "ERROR");
}

}  // namespace
}  // namespace payroll::tsql
