// The five-person company of docs/company-files.md paid for July 2002 the
// way a clerk does it, with the host program only: the folder checked and
// imported, the run opened, built with the pay step, its tax calculated by
// the year's simplified table and the month closed, the payslips written.
// Every amount of every payslip is worked by hand below.
//
// The law of 2002 the table takes (resources/law/README.md): the pay's cell
// (10,000 wide from 1,500,000 to 3,000,000, 20,000 from there; 5,000 below)
// times 12 is the annual pay; earned-income deduction 100 % to 5,000,000,
// 45 % to 15,000,000, 15 % to 30,000,000, 10 % to 45,000,000; 1,000,000 a
// person and 1,000,000 more for a household of one; standard deduction
// 600,000 up to two persons, 1,800,000 from three; the pension of the
// cell's grade (4.5 % of the grade's middle); rates 9 % to 10,000,000 and
// 18 % less 900,000 to 40,000,000; credit 45 % of the tax to 500,000, then
// 225,000 + 30 %, at most 400,000; a twelfth, cut to tens. Resident tax
// 10 % of the income tax, cut to tens; employment insurance 0.5 % of the
// taxable pay, cut to tens; the pension and health insurance as the
// employee's record bills them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "company_fixture.h"
#include "payroll/host.h"
#include "payroll/papers.h"
#include "support/host_program.h"

namespace payroll::testing {
namespace {

struct Slip {
    double gross, base, family, pension, health, employment, income, resident, union_dues, net;
};

// E001, office, calendar July; 5호봉 and his fixed base 3,000,000 with the
//   family allowance 60,000: taxable 3,060,000. A spouse and three
//   dependants (five persons). Cell 3,060,000-3,080,000, middle 3,070,000,
//   annual 36,840,000; deduction 11,750,000 + 10 % of 6,840,000 =
//   12,434,000; persons 5,000,000; standard 1,800,000; pension grade
//   3,020,000-3,120,000: 4.5 % of 3,070,000 = 138,150 × 12 = 1,657,800.
//   Base 15,948,200; tax 18 % less 900,000 = 1,970,676; credit 400,000;
//   1,570,676 / 12 = 130,889.7 -> 130,880; resident 13,080; employment
//   15,300; with the pension 135,000, health 51,000, union dues 10,000: net
//   3,060,000 - 355,260 = 2,704,740.
// E002, office, single: her base from July is 2,550,000. Cell middle
//   2,555,000, annual 30,660,000; deduction 11,816,000; persons 2,000,000;
//   standard 600,000; pension grade 2,520,000-2,620,000: 115,650 × 12 =
//   1,387,800. Base 14,856,200; tax 1,774,116; less 400,000, / 12 =
//   114,509.7 -> 114,500; resident 11,450; employment 12,750; pension
//   108,000, health 40,800: net 2,550,000 - 287,500 = 2,262,500.
// E003, production (June 21 to July 20), a spouse and a child: base
//   2,100,000 and family allowance 20,000. Cell middle 2,125,000, annual
//   25,500,000; deduction 9,500,000 + 15 % of 10,500,000 = 11,075,000;
//   persons 3,000,000; standard 1,800,000; pension grade 2,120,000-
//   2,220,000: 97,650 × 12 = 1,171,800. Base 8,453,200; tax 9 % = 760,788;
//   credit 225,000 + 30 % of 260,788 = 303,236.4; 457,551.6 / 12 =
//   38,129.3 -> 38,120; resident 3,810; employment 10,600; pension 94,500,
//   health 35,700, union dues 10,000: net 2,120,000 - 192,730 = 1,927,270.
// E004, production, single, joined in March: base 1,800,000. Cell middle
//   1,805,000, annual 21,660,000; deduction 10,499,000; persons 2,000,000;
//   standard 600,000; pension grade 1,720,000-1,820,000: 79,650 × 12 =
//   955,800. Base 7,605,200; tax 684,468; credit 225,000 + 30 % of 184,468
//   = 280,340.4; 404,127.6 / 12 = 33,677.3 -> 33,670; resident 3,360;
//   employment 9,000; pension 81,000, health 30,600: net 1,642,370.
// E005, office, retired on July 15: 15 of July's 31 days, base 2,700,000 ×
//   15 / 31 = 1,306,451 and family allowance 60,000 × 15 / 31 = 29,032;
//   taxable 1,335,483. Five persons. Cell 1,335,000-1,340,000, middle
//   1,337,500, annual 16,050,000; deduction 9,657,500; persons 5,000,000;
//   standard 1,800,000; pension grade 1,320,000-1,420,000: 61,650 × 12 =
//   739,800: the deductions exceed the pay, no tax. Employment 6,670;
//   pension 121,500, health 45,900: net 1,335,483 - 174,070 = 1,161,413.
const std::map<std::string, Slip> kJuly = {
    {"E001", {3060000, 3000000, 60000, 135000, 51000, 15300, 130880, 13080, 10000, 2704740}},
    {"E002", {2550000, 2550000, 0, 108000, 40800, 12750, 114500, 11450, 0, 2262500}},
    {"E003", {2120000, 2100000, 20000, 94500, 35700, 10600, 38120, 3810, 10000, 1927270}},
    {"E004", {1800000, 1800000, 0, 81000, 30600, 9000, 33670, 3360, 0, 1642370}},
    {"E005", {1335483, 1306451, 29032, 121500, 45900, 6670, 0, 0, 0, 1161413}},
};

double Line(const std::vector<papers::PaperLine>& lines, const std::string& code) {
    for (const papers::PaperLine& l : lines)
        if (l.code == code) return l.amount;
    return 0;
}

TEST(FivePersonCompany, JulyFromTheFolderToThePayslipsWorkedByHand) {
    const std::string db = TempPath("five_person") + ".db";
    RemoveDatabaseFiles(db);
    const std::string slips = FreshFolder("five_person_slips");
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", "sqlite:" + db});
        HostRun r = RunHost(args);
        EXPECT_EQ(r.exit_code, 0) << args[2] << ": " << r.err;
        return r;
    };
    run({"company", "check", ExampleFolder()});
    run({"company", "import", ExampleFolder()});
    run({"run", "new", "--company", "1000", "--month", "200207", "--pay-date", "2002-07-25",
         "--pay-types", "100"});
    HostRun built = run({"build-run", "--company", "1000", "--month", "200207", "--run", "1"});
    EXPECT_NE(built.out.find("2 prorated"), std::string::npos) << built.out;
    run({"recalc-tax", "--company", "1000", "--year", "2002"});
    run({"payslips", "--company", "1000", "--month", "200207", "--out", slips});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(slips),
                            std::filesystem::directory_iterator()),
              5);

    std::string error;
    ASSERT_TRUE(OpenDatabaseFile(db, false, &error)) << error;
    papers::PaperQuery q;
    q.company = "1000";
    q.period = "200207";
    std::vector<papers::Payslip> read;
    ASSERT_TRUE(papers::ReadPayslips(q, &read, &error)) << error;
    CloseDatabase();
    ASSERT_EQ(read.size(), kJuly.size());
    for (const papers::Payslip& s : read) {
        SCOPED_TRACE(s.employee);
        const Slip& want = kJuly.at(s.employee);
        EXPECT_DOUBLE_EQ(s.gross, want.gross);
        EXPECT_DOUBLE_EQ(s.taxable, want.gross);
        EXPECT_DOUBLE_EQ(Line(s.pay, "P00"), want.base);
        EXPECT_DOUBLE_EQ(Line(s.pay, "P05"), want.family);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "S00"), want.pension);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "S10"), want.health);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "S20"), want.employment);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "T00"), want.income);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "T10"), want.resident);
        EXPECT_DOUBLE_EQ(Line(s.deductions, "D01"), want.union_dues);
        EXPECT_DOUBLE_EQ(s.net, want.net);
        // The slip's note works the same table: its tax is the stored one.
        EXPECT_TRUE(s.notes.by_table);
        EXPECT_DOUBLE_EQ(s.notes.computed_tax, want.income);
    }
    RemoveDatabaseFiles(db);
}

}  // namespace
}  // namespace payroll::testing
