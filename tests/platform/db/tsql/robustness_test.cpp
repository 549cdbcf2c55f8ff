// Any text in: a translation or a clear refusal, never a crash, a hang or a
// quadratic slowdown.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/tsql/translate.h"

namespace payroll::tsql {
namespace {

bool Try(Translator& t, std::string_view text, std::string* error) {
    std::vector<Statement> out;
    bool ok = t.Translate(text, &out, error);
    if (ok) {
        for (const Statement& s : out) EXPECT_NE(s.sql, nullptr);
    } else {
        EXPECT_TRUE(out.empty());
        EXPECT_FALSE(error->empty());
    }
    return ok;
}

TEST(RobustnessTest, MalformedTextsSayWhichStatementAndWhere) {
    Translator t(Target::kSqlite);
    std::string error;
    EXPECT_FALSE(Try(t, "DELETE FROM T WHERE K='a' \nDELETE FROM T WHERE K='b", &error));
    EXPECT_NE(error.find("statement 2: unterminated string at offset 49"), std::string::npos)
        << error;
    EXPECT_FALSE(Try(t, "SELECT a FROM T WHERE (b = 1", &error));
    EXPECT_NE(error.find("statement 1: '(' is never closed"), std::string::npos) << error;
    EXPECT_FALSE(Try(t, "UPDATE T SET a = 1) WHERE b = 2", &error));
    EXPECT_NE(error.find("unbalanced ')'"), std::string::npos) << error;
    EXPECT_FALSE(Try(t, std::string_view("SELECT 1\0", 9), &error));
    EXPECT_FALSE(Try(t, "SELECT A.x FROM A, B WHERE A.x *= C.x", &error));
    EXPECT_NE(error.find("cannot place the outer join"), std::string::npos) << error;
    // The excerpt in a message never ends inside a character.
    EXPECT_FALSE(Try(t, "SELECT '" + std::string(11, 'x') + "한한한한한한한한", &error));
    EXPECT_NE(error.find("'xxxxxxxxxxx한한한한한한...\""), std::string::npos) << error;
    EXPECT_FALSE(t.Translate("SELECT 1", nullptr, &error));
    std::vector<Statement> out;
    EXPECT_FALSE(t.Translate("SELECT 'x", &out, nullptr));  // no place for the message: fine
}

TEST(RobustnessTest, MegabyteInputsAreLinear) {
    Translator t(Target::kSqlite);
    std::string error;
    const std::size_t megabyte = 1 << 20;
    auto seconds = [](auto start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    auto start = std::chrono::steady_clock::now();

    std::string in_list = "SELECT K FROM T WHERE K IN ('k0'";
    while (in_list.size() < megabyte) in_list += ",'k" + std::to_string(in_list.size()) + "'";
    in_list += ")";
    EXPECT_TRUE(Try(t, in_list, &error)) << error;

    std::string ors = "DELETE FROM T WHERE CO_CD='1000' AND (EMP_CD='E0'";
    while (ors.size() < megabyte) ors += " OR EMP_CD='E" + std::to_string(ors.size()) + "'";
    ors += ")";
    EXPECT_TRUE(Try(t, ors, &error)) << error;

    std::string joins = "SELECT A.K FROM A";
    std::string conds = " WHERE A.K = 'x'";
    for (int i = 0; joins.size() + conds.size() < megabyte / 2; ++i) {
        std::string alias = "B" + std::to_string(i);
        joins += ", T " + alias;
        conds += " AND A.K *= ";
        conds += alias;
        conds += ".K AND ";
        conds += alias;
        conds += ".C = 'S2'";
    }
    EXPECT_TRUE(Try(t, joins + conds, &error)) << error;

    std::string opens(megabyte, '(');
    EXPECT_FALSE(Try(t, "SELECT " + opens, &error));
    std::string closes(megabyte, ')');
    EXPECT_FALSE(Try(t, "SELECT " + closes, &error));
    std::string quote = "SELECT '" + std::string(megabyte, 'x');
    EXPECT_FALSE(Try(t, quote, &error));
    std::string comment = "SELECT 1 /*" + std::string(megabyte, '*');
    EXPECT_FALSE(Try(t, comment, &error));

    std::string batch;
    for (int i = 0; batch.size() < megabyte; ++i)
        batch += "INSERT INTO T (K, N) values ('k" + std::to_string(i) + "'," + std::to_string(i) +
                 " ) \n";
    EXPECT_TRUE(Try(t, batch, &error)) << error;

    std::string words;
    while (words.size() < megabyte) words += "SELECT a ";
    EXPECT_TRUE(Try(t, words, &error)) << error;

    // A generous bound even under the sanitizers: a quadratic step over a
    // megabyte would take minutes.
    EXPECT_LT(seconds(start), 60.0);
}

TEST(RobustnessTest, MutatedStatementsNeverCrash) {
    const std::string seeds[] = {
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): long statements over several lines
        "SELECT A.EMP_CD , H.CTD_NM NM1 FROM SEMP A , SCTRL_D H WHERE A.CO_CD='1000' AND "
        "A.CO_CD*=H.CO_CD AND H.CTRL_CD='S2' AND A.REFR_YN*=H.CTD_CD ",
        "SELECT A.EMP_CD, CAST( SUM(PAY_AM)  AS char(17)) PAY_AM FROM ( SELECT EMP_CD, PAY_AM "
        "FROM T WHERE CO_CD='1' )A, ( SELECT EMP_CD FROM H_SEMP )B WHERE A.EMP_CD=*B.EMP_CD "
        "GROUP BY A.EMP_CD ",
        "UPDATE T  SET \t DIV_CD = C.DIV_CD FROM T A,SEMP B, SDEPT C WHERE A.CO_CD = B.CO_CD AND "
        "A.SQ=1 UPDATE T SET X=B.Y FROM T A, U B WHERE A.K=B.K",
        "SELECT ROUND(12341.0000 + 4,-1) VAL SELECT STR( '',10 ) N, LEN(A.X), CONVERT(varchar(40), "
        "K) FROM T A ORDER BY 1",
        "DELETE FROM T WHERE K='O''Brien' INSERT INTO T (K, N) values ('a', 1.5) \n",
    };
    const char alphabet[] = "()',;*=-/\n\t aAsS0.1'\"[]!<>%N";
    std::uint64_t seed = 42;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(seed >> 33);
    };
    Translator t(Target::kSqlite, 64);
    Translator pg(Target::kPostgres, 64);
    std::string error;
    int translated = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = seeds[next() % std::size(seeds)];
        int edits = 1 + static_cast<int>(next() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            std::size_t at = next() % text.size();
            switch (next() % 3) {
                case 0:
                    text.erase(at, 1 + next() % 3);
                    break;
                case 1:
                    text.insert(at, 1, alphabet[next() % (sizeof alphabet - 1)]);
                    break;
                default:
                    text[at] = alphabet[next() % (sizeof alphabet - 1)];
                    break;
            }
        }
        translated += Try(t, text, &error) ? 1 : 0;
        Try(pg, text, &error);
    }
    EXPECT_GT(translated, 0);
}

}  // namespace
}  // namespace payroll::tsql
