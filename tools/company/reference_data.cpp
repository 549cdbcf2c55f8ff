// The company's code tables, settings and item definitions. The yearly tax
// tables under the common company "0000" are the law shipped with the
// resources (resources/law/), loaded after the company is written.
#include "tools/company/reference_data.h"

#include <cstdio>

namespace payroll::company {
namespace {

// Pay items: code, Korean name, English name, taxable?, exemption class.
struct ItemDef {
    const char* code;
    const char* name;
    const char* name_en;
    bool taxable;
    const char* exemption;  // TXEX_FG of a non-taxable item
};

constexpr ItemDef kPayItems[] = {
    {"P00", "기본급", "Base pay", true, ""},
    {"P01", "연장근로수당", "Overtime pay", false, "001"},
    {"P02", "식대", "Meal allowance", false, "002"},
    {"P03", "차량유지비", "Vehicle allowance", false, "003"},
    {"P04", "직책수당", "Position allowance", true, ""},
    {"P05", "가족수당", "Family allowance", true, ""},
    {"P06", "연구보조비", "Research allowance", false, "004"},
    {"P07", "자격수당", "Licence allowance", true, ""},
    {"P08", "근속수당", "Long-service allowance", true, ""},
    {"P09", "보육수당", "Childcare allowance", false, "005"},
    {"P10", "야간근로수당", "Night-work pay", false, "001"},
    {"P11", "출산지원금", "Maternity support", false, "006"},
    {"P12", "기타비과세", "Other exempt pay", false, "009"},
    {"P13", "특별수당", "Special allowance", true, ""},
    {"P14", "기타수당", "Other allowance", true, ""},
};

constexpr ItemDef kDeductionItems[] = {
    {"S00", "국민연금", "National pension", false, ""},
    {"S10", "건강보험", "Health insurance", false, ""},
    {"S20", "고용보험", "Employment insurance", false, ""},
    {"T00", "소득세", "Income tax", false, ""},
    {"T10", "주민세", "Resident tax", false, ""},
    {"R01", "개인연금저축", "Personal pension savings", false, ""},
    {"D01", "노조회비", "Union dues", false, ""},
    {"D02", "사우회비", "Staff association", false, ""},
    {"D03", "대출상환", "Loan repayment", false, ""},
    {"D04", "기타공제", "Other deduction", false, ""},
};

std::string Code(char prefix, int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%02d", prefix, n);
    return buf;
}

}  // namespace

std::vector<Item> PayItems(int count) {
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        if (i < static_cast<int>(std::size(kPayItems))) {
            const ItemDef& d = kPayItems[i];
            items.push_back({d.code, d.name, d.name_en, d.taxable ? "001" : "002", d.exemption});
        } else {
            std::string code = Code('P', i);
            items.push_back({code, "수당 " + code, "Allowance " + code, "001", ""});
        }
    }
    return items;
}

std::vector<Item> DeductionItems(int count) {
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        if (i < static_cast<int>(std::size(kDeductionItems))) {
            const ItemDef& d = kDeductionItems[i];
            items.push_back({d.code, d.name, d.name_en, "", ""});
        } else {
            std::string code = Code('D', i - 5);
            items.push_back({code, "공제 " + code, "Deduction " + code, "", ""});
        }
    }
    return items;
}

void WriteCodeTables(BatchWriter& w, const std::string& co) {
    const std::string c = Q(co);
    auto code = [&](const char* ctrl, const char* cd, const char* nm, const char* nmk,
                    const char* rmk) {
        w.Add(
            "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, MODULE_CD, CTD_NM, CTD_NMK, EDIT_YN, "
            "USE_YN, RMK_DC) VALUES ('%s','%s','%s','HP','%s','%s','001','001','%s')",
            c.c_str(), ctrl, cd, Q(nm).c_str(), Q(nmk).c_str(), Q(rmk).c_str());
    };
    // Exemption limits ('PC'): the amount is the remark.
    code("PC", "001", "연장근로 연간한도", "Overtime, yearly limit", "2400000");
    code("PC", "002", "식대 월한도", "Meal allowance, monthly limit", "100000");
    code("PC", "003", "차량유지비 한도", "Vehicle allowance, limit per row", "200000");
    code("PC", "004", "연구보조비 한도", "Research allowance, limit per row", "200000");
    code("PC", "005", "보육수당 한도", "Childcare allowance, limit per row", "100000");
    code("PC", "007", "생산직 월급여 상한", "Production workers' monthly pay ceiling", "1000000");
    // Pay types ('P4') and run kinds ('SC').
    code("P4", "100", "급여", "Salary", "");
    code("P4", "110", "특별수당", "Special allowance", "");
    code("P4", "200", "상여", "Bonus", "");
    code("SC", "001", "통합지급", "Paid together", "");
    code("SC", "002", "개별지급", "Paid separately", "");
    // Employee types ('G2'), with their remark.
    code("G2", "001", "사무직", "Office", "사무");
    code("G2", "002", "생산직", "Production", "생산");
    // Attributes the employee viewer names.
    code("HE", "001", "재직", "Employed", "");
    code("G1", "001", "정규직", "Permanent", "");
    code("G3", "100", "사원", "Staff", "");
    code("G3", "200", "대리", "Assistant manager", "");
    code("G3", "300", "과장", "Manager", "");
    code("G4", "A", "일반직", "General", "");
    code("G5", "01", "일반", "General", "");
    code("O2", "01", "본사", "Head office", "");
    code("O2", "02", "공장", "Factory", "");
    code("P5", "001", "월급제", "Monthly pay", "");
    code("HH", "001", "거주자", "Resident", "");
    code("S2", "000", "해당없음", "None", "");
    for (int step = 1; step <= 9; ++step) {
        char cd[8], nm[32], nmk[32];
        std::snprintf(cd, sizeof cd, "%02d", step);
        std::snprintf(nm, sizeof nm, "%d호봉", step);
        std::snprintf(nmk, sizeof nmk, "Step %d", step);
        code("PE", cd, nm, nmk, "");
    }
    // Item names ('PD', by pay or deduction code), for the papers.
    for (const Item& item : PayItems(15))
        code("PD", item.code.c_str(), item.name.c_str(), item.name_en.c_str(), "");
    for (const Item& item : DeductionItems(10))
        code("PD", item.code.c_str(), item.name.c_str(), item.name_en.c_str(), "");
    code("PD", "V00", "상여금", "Bonus", "");

    // The company as its papers name it.
    w.Add(
        "INSERT INTO SCOINFO (CO_CD, CO_NM, CO_NMK, CEO_NM, BIZR_NB, ADDR_DC) VALUES "
        "('%s','한빛상사 주식회사','Hanbit Trading Co. Ltd.','이한빛','101-81-00000',"
        "'서울특별시 중구 예시로 1')",
        c.c_str());
    // The company withholds by the year's simplified table (syscfg row
    // 21), so its divisions carry no monthly deduction amounts.
    w.Add(
        "INSERT INTO SDIV (CO_CD, DIV_CD, DIV_NM, DIV_NMK, DUMMY2, DUMMY3) VALUES "
        "('%s','D10','본사','Head office','','')",
        c.c_str());
    w.Add(
        "INSERT INTO SDIV (CO_CD, DIV_CD, DIV_NM, DIV_NMK, DUMMY2, DUMMY3) VALUES "
        "('%s','D20','공장','Factory','','')",
        c.c_str());
    const char* depts[][4] = {{"D101", "D10", "경영지원팀", "Management support"},
                              {"D102", "D10", "영업팀", "Sales"},
                              {"D201", "D20", "생산1팀", "Production 1"},
                              {"D202", "D20", "생산2팀", "Production 2"}};
    for (auto& d : depts)
        w.Add(
            "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD, DEPT_NM, DEPT_NMK) VALUES "
            "('%s','%s','%s','%s','%s')",
            c.c_str(), d[0], d[1], Q(d[2]).c_str(), Q(d[3]).c_str());

    w.Add(
        "INSERT INTO SHCFG (CO_CD, MNST_DN, AVMS_TM, DYST_DN, FYRV_DN, MNDC_CD, JNCM_FG, "
        "RTCM_FG, JPCC_DN, RPCC_DN, APPC_DN, APPP_MC, APCM_FG, EMIN_RT, PRCT_RT, FGTE_RT, "
        "DUMMY1, NAPE_CD, DUMMY3) VALUES ('%s',1,209,1,1,'001','100','100',0,0,0,0,'001',"
        "0,0,0,'','S00','')",
        c.c_str());
    w.Add(
        "INSERT INTO syscfg (CO_CD, CTR_CD, CTR_FG, CTR_NB, USE_YN, FG_TY) VALUES "
        "('%s','06','001',0,'001','001')",
        c.c_str());
    w.Add(
        "INSERT INTO syscfg (CO_CD, CTR_CD, CTR_FG, CTR_NB, USE_YN, FG_TY) VALUES "
        "('%s','21','002',0,'001','001')",
        c.c_str());
    // Office workers are paid by calendar month; production workers from the
    // 21st of the month before to the 20th.
    w.Add("INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES ('%s','001','002','1')",
          c.c_str());
    w.Add("INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES ('%s','002','001','21')",
          c.c_str());
}

void WriteItemDefinitions(BatchWriter& w, const std::string& co, int year, int pay_items,
                          int deduction_items) {
    const std::string c = Q(co);
    auto define = [&](const char* pytp, const char* fg, const Item& item) {
        // The income-tax item carries the company's rounding rule: down to tens.
        const char* cut = item.code == "T00" ? "006" : "";
        w.Add(
            "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG, "
            "CTOF_FG, AMDP_DP, FTPY_YN, EXCP_YN, NFGC_YN, NFGA_AM, NFGF_DC, RTDD_YN, PRCT_FG, "
            "PRCT_RT, HIDD_YN, NPDD_YN, EIDD_YN, IDDD_YN, LMPY_YN, SHFG_YN) VALUES "
            "('%s','%04d','%s','%s','%s','%s','%s','%s',0,'000','000','000',0,'','000','000',"
            "0,'000','000','000','000','000','000')",
            c.c_str(), year, pytp, fg, item.code.c_str(), item.tax_fg.c_str(),
            item.exemption.c_str(), cut);
    };
    for (const Item& item : PayItems(pay_items)) define("100", "P2", item);
    for (const Item& item : DeductionItems(deduction_items)) define("100", "P3", item);
    for (const Item& item : SpecialItems()) define("110", "P2", item);
    for (const Item& item : DeductionItems(deduction_items)) define("110", "P3", item);
    define("200", "P2", Item{"V00", "상여금", "Bonus", "001", ""});
    for (const Item& item : DeductionItems(5)) define("200", "P3", item);
}

std::vector<Item> SpecialItems() {
    std::vector<Item> all = PayItems(15);
    return {all[1], all[10], all[13]};
}

void ClearTaxTables(BatchWriter& w, int year) {
    for (const char* t : {"HPFTITC", "HPFLICH", "HPFSTIA", "HPMLBEC", "HIFNPCT"})
        w.Add("DELETE FROM %s WHERE CO_CD='0000' AND RVRS_YY='%04d'", t, year);
}

}  // namespace payroll::company
