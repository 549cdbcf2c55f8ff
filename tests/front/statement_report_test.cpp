// The front's statement traces and error reports.
#include "front/statement_report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/engine_fixture.h"

namespace {

using payroll::front::ReportStatement;
using payroll::front::TraceLines;

TEST(StatementTrace, LongStatementsAreTracedInPiecesOf200) {
    struct Case {
        std::size_t length;
        std::size_t pieces;
    } cases[] = {{0, 0}, {200, 0}, {201, 2}, {400, 2}, {401, 3}, {1000, 5}};
    for (const Case& c : cases) {
        std::string sql(c.length, 'x');
        std::vector<std::string> lines = TraceLines(sql, "tag");
        ASSERT_EQ(lines.size(), c.pieces) << c.length;
        std::string joined;
        for (const std::string& line : lines) {
            ASSERT_EQ(line.rfind("--[select tag ]--- ", 0), 0u) << line;
            ASSERT_EQ(line.back(), '\n');
            joined += line.substr(19, line.size() - 20);
        }
        if (c.pieces) {
            EXPECT_EQ(joined, sql) << "the pieces make up the statement";
        }
    }
}

TEST(StatementTrace, PiecesNeverSplitACharacter) {
    std::string sql = "x";
    for (int i = 0; i < 150; ++i) sql += "가";  // three bytes each
    for (const std::string& line : TraceLines(sql, "t")) {
        std::string piece = line.substr(17, line.size() - 18);
        EXPECT_LE(piece.size(), 200u);
        EXPECT_NE(static_cast<unsigned char>(piece[0]) & 0xC0, 0x80) << "starts a character";
    }
    // A statement with a format directive is data, never a format.
    std::vector<std::string> lines = TraceLines(std::string(300, '%'), "%s%n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 23), "--[select %s%n ]--- %%%");
}

class StatementReport : public payroll::testing::DatabaseFixture {};

TEST_F(StatementReport, OnlyAFailureIsShownAndThenOnlyItsTag) {
    ReportStatement(std::string(500, 's'), "OpenData", true);
    EXPECT_TRUE(Messages().empty());
    ReportStatement("select 1", "OpenData error", false);
    EXPECT_EQ(Messages(), std::vector<CString>{"OpenData error"});
}

}  // namespace
