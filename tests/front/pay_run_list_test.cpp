// Gathering the picker's records into rows: combined runs merge, every other
// run gives one row per pay type, and nothing ever writes past a field.
#include "front/pay_run_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using payroll::front::PayRunList;
using payroll::front::PayRunRecord;

PayRunRecord Rec(const char* sq, const char* ccis, const char* type, const char* name,
                 const char* rtcm = "R00") {
    PayRunRecord r;
    r.co_cd = "1000";
    r.rvrs_ym = "200203";
    r.sq = sq;
    r.pay_dt = "20020325";
    r.ccis_yn = ccis;
    r.pytp_fg = type;
    r.nm1 = name;
    r.nm2 = std::string("kind ") + ccis;
    r.rtcm_fg = rtcm;
    return r;
}

struct Row {
    std::string sq, types, names, first_type, rtcm;
};

TEST(PayRunList, MergesCombinedRunsAndSplitsTheOthers) {
    struct Case {
        const char* what;
        std::vector<PayRunRecord> records;
        std::vector<Row> rows;
    } cases[] = {
        {"combined run of two pay types",
         {Rec("1", "001", "101", "Monthly", "R1"), Rec("1", "001", "102", "Hourly", "R2")},
         {{"1", "101,102", "Monthly,Hourly", "101", "R2"}}},
        {"separate run of two pay types",
         {Rec("2", "002", "201", "Bonus"), Rec("2", "002", "202", "Incentive")},
         {{"2", "201", "Bonus", "201", "R00"}, {"2", "202", "Incentive", "202", "R00"}}},
        {"two combined runs one after the other",
         {Rec("1", "001", "101", "A"), Rec("1", "001", "102", "B"), Rec("2", "001", "103", "C")},
         {{"1", "101,102", "A,B", "101", "R00"}, {"2", "103", "C", "103", "R00"}}},
        {"a separate run between parts of the same sequence does not merge",
         {Rec("1", "001", "101", "A"), Rec("2", "002", "201", "X"), Rec("2", "002", "202", "Y")},
         {{"1", "101", "A", "101", "R00"},
          {"2", "201", "X", "201", "R00"},
          {"2", "202", "Y", "202", "R00"}}},
        {"an empty first name takes no comma",
         {Rec("1", "001", "101", ""), Rec("1", "001", "102", "B")},
         {{"1", "101,102", "B", "101", "R00"}}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        PayRunList list;
        for (const PayRunRecord& r : c.records) list.Add(r);
        ASSERT_EQ(list.size(), static_cast<int>(c.rows.size())) << c.what;
        for (int i = 0; i < list.size(); ++i) {
            const HPHONPD_YMD_FMT& row = list.row(i);
            const Row& want = c.rows[static_cast<std::size_t>(i)];
            EXPECT_EQ(row.SQ.Str(), want.sq) << c.what << " row " << i;
            EXPECT_EQ(row.PYTP_LIST.Str(), want.types) << c.what << " row " << i;
            EXPECT_EQ(row.NM1.Str(), want.names) << c.what << " row " << i;
            EXPECT_EQ(row.PYTP_FG.Str(), want.first_type) << c.what << " row " << i;
            EXPECT_EQ(row.RTCM_FG.Str(), want.rtcm) << c.what << " row " << i;
            EXPECT_EQ(static_cast<int>(row.SEL_NO), 0) << c.what;
        }
    }
}

TEST(PayRunList, LongJoinedNamesAreCutAtACharacterBoundary) {
    // Sixty pay types named with three-byte Korean syllables: the joined
    // names (far beyond 49 bytes) and codes (beyond 199) must be cut inside
    // their own fields, never into DIV_FILTER.
    PayRunList list;
    std::string all_names, all_types;
    for (int i = 0; i < 60; ++i) {
        std::string type = std::to_string(100 + i);
        std::string name = "급여" + std::to_string(i);
        list.Add(Rec("1", "001", type.c_str(), name.c_str()));
        all_names += (i ? "," : "") + name;
        all_types += (i ? "," : "") + type;
    }
    ASSERT_EQ(list.size(), 1);
    const HPHONPD_YMD_FMT& row = list.row(0);
    std::string names = row.NM1.Str(), types = row.PYTP_LIST.Str();
    EXPECT_LE(names.size(), 49u);
    EXPECT_LE(types.size(), 199u);
    EXPECT_EQ(all_names.compare(0, names.size(), names), 0) << "a prefix of the joined names";
    EXPECT_EQ(all_types.compare(0, types.size(), types), 0);
    EXPECT_GT(names.size(), 45u) << "cut as late as the field allows";
    // The cut never leaves half a character behind.
    EXPECT_TRUE(names.empty() || (static_cast<unsigned char>(names.back()) & 0xC0) != 0xC0);
    std::size_t rest = all_names.size() > names.size() ? names.size() : 0;
    EXPECT_NE((static_cast<unsigned char>(all_names[rest]) & 0xC0), 0x80)
        << "the next byte starts a character";

    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0x5A, sizeof key);
    key.DIV_FILTER.Set("ALL");
    key.DEPT_FILTER.Set("D01");
    key.JNCM_FG.Set("000");
    ASSERT_TRUE(list.CopyTo(0, &key));
    EXPECT_EQ(key.NM1.Str(), names);
    EXPECT_EQ(key.PYTP_LIST.Str(), types);
    EXPECT_EQ(key.DIV_FILTER.Str(), "ALL");
    EXPECT_EQ(key.DEPT_FILTER.Str(), "D01");
    EXPECT_EQ(key.JNCM_FG.Str(), "000");
    EXPECT_EQ(key.PYTP_HEAD.Str(), "100");
}

TEST(PayRunList, CopyFillsTheRunFieldsAndLeavesTheRest) {
    PayRunList list;
    list.Add(Rec("1", "001", "101", "Monthly", "R1"));
    list.Add(Rec("1", "001", "102", "Hourly", "R2"));
    list.Add(Rec("2", "002", "201", "Bonus", "R3"));
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.DIV_FILTER.Set("D9");
    key.PRTY_FILTER.Set("P9");
    key.JNCM_FG.Set("111");

    ASSERT_TRUE(list.CopyTo(0, &key));
    EXPECT_EQ(key.SEL_NO, 1);
    EXPECT_EQ(key.CO_CD.Str(), "1000");
    EXPECT_EQ(key.RVRS_YM.Str(), "200203");
    EXPECT_EQ(key.SQ.Str(), "1");
    EXPECT_EQ(key.PAY_DT.Str(), "20020325");
    EXPECT_EQ(key.CCIS_YN.Str(), "001");
    EXPECT_EQ(key.NM2.Str(), "kind 001");
    EXPECT_EQ(key.PYTP_FG.Str(), "101");
    EXPECT_EQ(key.PYTP_LIST.Str(), "101,102");
    EXPECT_EQ(key.PYTP_HEAD.Str(), "101");
    EXPECT_EQ(key.NM1.Str(), "Monthly,Hourly");
    EXPECT_EQ(key.RTCM_FG.Str(), "R2");
    EXPECT_EQ(key.DIV_FILTER.Str(), "D9");
    EXPECT_EQ(key.PRTY_FILTER.Str(), "P9");
    EXPECT_EQ(key.JNCM_FG.Str(), "111");

    ASSERT_TRUE(list.CopyTo(1, &key));
    EXPECT_EQ(key.SEL_NO, 2);
    EXPECT_EQ(key.PYTP_LIST.Str(), "201");
}

TEST(PayRunList, PositionsOutsideTheListClearTheWholeKey) {
    PayRunList list;
    list.Add(Rec("1", "002", "101", "Monthly"));
    for (int p : {-1, 1, 2, 1000000}) {
        HPHONPD_YMD_FMT key;
        std::memset(static_cast<void*>(&key), 0x41, sizeof key);
        EXPECT_FALSE(list.CopyTo(p, &key)) << p;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&key);
        for (std::size_t i = 0; i < sizeof key; ++i) ASSERT_EQ(bytes[i], 0) << p << " byte " << i;
    }
    EXPECT_FALSE(list.CopyTo(0, nullptr));
}

TEST(PayRunList, StatementEscapesTheCompanyAndMonth) {
    CString sql = payroll::front::PayRunStatement(true, "1'0", "2002'03");
    EXPECT_NE(sql.Find("A.CO_CD = '1''0'AND"), -1) << sql.c_str();
    EXPECT_NE(sql.Find("A.RVRS_YM ='2002''03'"), -1) << sql.c_str();
    EXPECT_NE(sql.Find("S.CTD_NM NM1, D.CTD_NM NM2"), -1);
    CString second = payroll::front::PayRunStatement(false, "1000", "200203");
    EXPECT_NE(second.Find("S.CTD_NMK NM1, D.CTD_NMK NM2"), -1);
    // A percent sign is data, not a format.
    CString percent = payroll::front::PayRunStatement(true, "%s%n", "%d");
    EXPECT_NE(percent.Find("'%s%n'AND"), -1);
}

}  // namespace
