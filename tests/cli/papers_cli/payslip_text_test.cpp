// The payslip as the employee reads it, its text taken back out of the PDF:
// the employer, the item over its exemption limit with both its parts, the
// hours of imported pay, the notes worked from the law, in Korean and
// English, and nothing of a resident registration number.
#include <string>

#include "payroll/datasource.h"
#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

class PayslipTextTest : public PapersCliTest {
  protected:
    static constexpr const char* kRun =
        " FROM HPOMPPD WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1";

    // The slip of one employee of June, as text in its layout.
    static std::string Slip(const std::string& employee, int run, const std::string& language) {
        const std::string out = Out("slip-" + employee + "-" + std::to_string(run) + language);
        HostRun r = Payroll("payslips --company 1000 --month 200206 --run " + std::to_string(run) +
                            " --employee " + employee + " --language " + language + " --out " +
                            ShellQuote(out));
        EXPECT_EQ(r.exit_code, 0) << r.err;
        const std::vector<std::string> files = Files(out);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : Text(out + "/" + files[0], true);
    }

    // The text with every run of spaces and line ends as one space, so that
    // a note wrapped over two lines reads as one.
    static std::string Flat(const std::string& text) {
        std::string out;
        for (char c : text) {
            const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
            if (space && !out.empty() && out.back() == ' ') continue;
            out += space ? ' ' : c;
        }
        return out;
    }

    // The line of the text that holds `what`; empty when none does.
    static std::string LineWith(const std::string& text, const std::string& what) {
        for (const std::string& line : Lines(text))
            if (line.find(what) != std::string::npos) return line;
        return {};
    }

    static void Execute(const std::string& sql) {
        G_DirectSQL direct;
        ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << sql << "\n"
                                                        << direct.GetLastError().c_str();
    }
};

TEST_F(PayslipTextTest, TheSlipNamesTheEmployerAndSplitsTheItemOverItsLimit) {
    const double limit =
        Sum("SELECT RMK_DC V FROM SCTRL_D WHERE CO_CD='1000' AND CTRL_CD='PC' AND CTD_CD='003'");
    const std::string employee =
        Value("SELECT MIN(EMP_CD) V" + std::string(kRun) + " AND PAY_CD='P03' AND PAY_AM > " +
              std::to_string(static_cast<long>(limit)));
    ASSERT_FALSE(employee.empty()) << "no vehicle allowance over its limit in June";
    const double amount = Sum("SELECT SUM(PAY_AM) V" + std::string(kRun) +
                              " AND PAY_CD='P03' AND EMP_CD='" + employee + "'");
    // Hours from a pay import, kept beside the amount the pay step wrote.
    const std::string item = Value("SELECT MIN(PAY_CD) V" + std::string(kRun) +
                                   " AND PYTP_FG='100' AND PAY_AM <> 0 AND PAY_CD <> 'P03' AND "
                                   "EMP_CD='" +
                                   employee + "'");
    const std::string written =
        " FROM HPOMPSW WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1 AND PYTP_FG='100' AND "
        "EMP_CD='" +
        employee + "' AND PYDD_FG='P2' AND PYDD_CD='" + item + "'";
    ASSERT_EQ(Value("SELECT COUNT(*) V" + written), "1") << item;
    const std::string hours_before = Value("SELECT WKHR_TM V" + written);
    const std::string method_before = Value("SELECT CALC_DC V" + written);
    const std::string where = written.substr(written.find(" WHERE"));
    Execute("UPDATE HPOMPSW SET WKHR_TM=12.5, CALC_DC='12.5 × 15,000'" + where);

    const std::string company = "SELECT %s V FROM SCOINFO WHERE CO_CD='1000'";
    auto record = [&](const char* column) {
        std::string sql = company;
        sql.replace(sql.find("%s"), 2, column);
        return Value(sql);
    };
    const std::string who = " FROM SEMP WHERE CO_CD='1000' AND EMP_CD='" + employee + "'";
    const std::string rrn = Value("SELECT RSRG_NO V" + who);
    const double tax =
        Sum("SELECT SUM(INTX_AM) V FROM HPOMNPY WHERE CO_CD='1000' AND "
            "RVRS_YM='200206' AND SQ=1 AND EMP_CD='" +
            employee + "'");
    struct Language {
        const char* code;
        const char* company;  // the record's column of the company's name
        const char* name;     // of the employee's name
        const char* item;     // of the item's name
        const char* title;
        const char* tax_note;  // the simplified table's monthly tax, worked from the law
        const char* hours;
        const char* taxable;
    };
    const Language languages[] = {
        {"ko", "CO_NM", "KOR_NM", "CTD_NM", "급여명세서", "월 소득세 ", "근로시간 12.5시간",
         "과세"},
        {"en", "CO_NMK", "KOR_NMK", "CTD_NMK", "Payslip", "monthly income tax ",
         "12.5 hours worked", "taxable"},
    };
    for (const Language& l : languages) {
        SCOPED_TRACE(l.code);
        const std::string text = Slip(employee, 1, l.code);
        EXPECT_NE(text.find(l.title), std::string::npos) << text;
        for (const std::string& field : {record(l.company), record("CEO_NM"), record("BIZR_NB")}) {
            ASSERT_FALSE(field.empty());
            EXPECT_NE(text.find(field), std::string::npos) << field << "\n" << text;
        }
        const std::string name = Value(std::string("SELECT ") + l.name + " V" + who);
        ASSERT_FALSE(name.empty());
        EXPECT_NE(text.find(name), std::string::npos) << name << "\n" << text;
        // The item is shown once, with both parts and its whole amount.
        const std::string vehicle = Value(std::string("SELECT ") + l.item +
                                          " V FROM SCTRL_D WHERE CO_CD='1000' AND "
                                          "CTRL_CD='PD' AND CTD_CD='P03'");
        const std::string line = LineWith(text, vehicle);
        const std::string parts = Won(limit) + " · " + l.taxable + " " + Won(amount - limit);
        EXPECT_NE(line.find(parts), std::string::npos) << parts << "\n" << line;
        EXPECT_NE(line.find(Won(amount)), std::string::npos) << line;
        EXPECT_NE(Flat(text).find(l.tax_note + Won(tax) + (l.code[0] == 'k' ? "원" : " won")),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(l.hours), std::string::npos) << text;
        EXPECT_NE(Flat(text).find("12.5 × 15,000"), std::string::npos) << text;
        // Words where codes were: no item, class or rounding code in sight.
        for (const char* code : {"(P0", "(S0", "(T0", " 002 ", " 003 ", "(100"})
            EXPECT_EQ(text.find(code), std::string::npos) << code << "\n" << text;
        if (!rrn.empty()) {
            std::string digits;
            for (char c : rrn)
                if (c >= '0' && c <= '9') digits += c;
            EXPECT_EQ(text.find(rrn), std::string::npos);
            EXPECT_EQ(text.find(digits), std::string::npos);
            EXPECT_EQ(text.find(digits.substr(0, 6) + "-" + digits.substr(6)), std::string::npos);
        }
    }
    Execute("UPDATE HPOMPSW SET WKHR_TM=" + (hours_before.empty() ? "NULL" : hours_before) +
            ", CALC_DC=" + (method_before.empty() ? "NULL" : "'" + method_before + "'") + where);
}

TEST_F(PayslipTextTest, ABonusSlipSaysSoAndNamesItsPeriod) {
    const std::string employee =
        Value("SELECT MIN(EMP_CD) V FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=2");
    ASSERT_FALSE(employee.empty());
    const std::string bonus = Slip(employee, 2, "ko");
    EXPECT_NE(bonus.find("상여명세서"), std::string::npos) << bonus;
    EXPECT_NE(bonus.find("상여 기간"), std::string::npos) << bonus;
    EXPECT_EQ(bonus.find("급여명세서"), std::string::npos) << bonus;
    EXPECT_EQ(bonus.find("급여기간"), std::string::npos) << bonus;
    const std::string salary = Slip(employee, 1, "ko");
    EXPECT_NE(salary.find("급여기간"), std::string::npos) << salary;
    EXPECT_NE(salary.find("근무일수"), std::string::npos) << salary;
    const std::string english = Slip(employee, 2, "en");
    EXPECT_NE(english.find("Bonus slip"), std::string::npos) << english;
    EXPECT_NE(english.find("Bonus period"), std::string::npos) << english;
}

}  // namespace
}  // namespace payroll::testing
