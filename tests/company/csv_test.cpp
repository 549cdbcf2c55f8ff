// The CSV reader and writer of the company folder: encodings, quoting, the
// cells a spreadsheet would run as formulas, and text that is no CSV.
#include "company/csv.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace payroll::folder {
namespace {

std::string ToCp949(const std::string& utf8) {
    iconv_t cd = ::iconv_open("CP949", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t src_left = in.size(), dst_left = out.size();
    ::iconv(cd, &src, &src_left, &dst, &dst_left);
    ::iconv_close(cd);
    out.resize(out.size() - dst_left);
    return out;
}

const std::string kText = "사번 [EMP_CD],성명 [KOR_NM]\r\nE001,김민준\r\n";

TEST(CompanyCsv, ReadsUtf8WithAndWithoutMarkAndCp949Alike) {
    const std::string cp949 = ToCp949(kText);
    ASSERT_NE(cp949, kText);
    for (const std::string& bytes : {kText, "\xEF\xBB\xBF" + kText, cp949}) {
        const CsvText csv = ReadCsv(bytes);
        ASSERT_TRUE(csv.error.empty()) << csv.error;
        ASSERT_EQ(csv.rows.size(), 2u);
        EXPECT_EQ(csv.rows[0].cells[0], "사번 [EMP_CD]");
        EXPECT_EQ(csv.rows[1].cells[1], "김민준");
        EXPECT_EQ(csv.rows[1].line, 2);
    }
}

TEST(CompanyCsv, RefusesNulBytesAndMixedEncodingsNamingTheLine) {
    std::string nul = kText + "E002,x";
    nul += '\0';
    const CsvText with_nul = ReadCsv(nul);
    EXPECT_NE(with_nul.error.find("NUL"), std::string::npos);
    EXPECT_EQ(with_nul.error_line, 3);

    // UTF-8 lines, then a CP949 line, then a byte neither has.
    const std::string mixed = kText + ToCp949("E002,이서연\r\n") + "E003,\x80\xFF\r\n";
    const CsvText csv = ReadCsv(mixed);
    EXPECT_NE(csv.error.find("neither UTF-8 nor CP949"), std::string::npos);
    EXPECT_GE(csv.error_line, 3);
}

TEST(CompanyCsv, QuotedCellsKeepCommasQuotesAndLineBreaksAndLinesCount) {
    const CsvText csv =
        ParseCsv("a,b\n\"x, y\",\"say \"\"hi\"\"\"\n\n\"two\nlines\",z\r\nlast,row");
    ASSERT_TRUE(csv.error.empty());
    ASSERT_EQ(csv.rows.size(), 4u);
    EXPECT_EQ(csv.rows[1].cells, (std::vector<std::string>{"x, y", "say \"hi\""}));
    EXPECT_EQ(csv.rows[2].cells[0], "two\nlines");
    EXPECT_EQ(csv.rows[2].line, 4);  // the blank line 3 is skipped
    EXPECT_EQ(csv.rows[3].line, 6);
    EXPECT_EQ(csv.rows[3].cells[1], "row");
}

TEST(CompanyCsv, AQuoteThatNeverClosesStopsTheReadingAtItsLine) {
    const CsvText csv = ParseCsv("a,b\nc,d\n\"open,e\nf,g\n");
    EXPECT_EQ(csv.error, "a quote that never closes");
    EXPECT_EQ(csv.error_line, 3);
    EXPECT_EQ(csv.rows.size(), 2u);
}

TEST(CompanyCsv, FormulaLikeCellsAreWrittenAsTextAndReadBackPlain) {
    for (const std::string value : {"=SUM(A1:A9)", "+82-2-123", "-5000", "@cmd", "\tx", "\rx",
                                    "plain", "", "a,b", "'quoted", "say \"no\"", "=1,\"2\""}) {
        const std::string cell = CsvCell(value);
        const char first = cell.empty() ? ' ' : cell[0] == '"' ? cell[1] : cell[0];
        EXPECT_TRUE(first != '=' && first != '+' && first != '-' && first != '@' && first != '\t' &&
                    first != '\r')
            << value;
        const CsvText back = ParseCsv(CsvLine({value, "end"}));
        ASSERT_EQ(back.rows.size(), 1u) << value;
        EXPECT_EQ(PlainCell(back.rows[0].cells[0]), value) << value;
    }
}

TEST(CompanyCsv, AMegabyteCellIsReadWhole) {
    const std::string big(1 << 20, 'x');
    const CsvText csv = ParseCsv("a,b\n\"" + big + "\",1\n");
    ASSERT_EQ(csv.rows.size(), 2u);
    EXPECT_EQ(csv.rows[1].cells[0].size(), big.size());
}

}  // namespace
}  // namespace payroll::folder
