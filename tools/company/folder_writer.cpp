// Writes the generated company as the folder a clerk would keep: codes
// rather than words in the cells (the import takes both), UTF-8 with a
// byte-order mark and CRLF line ends, as the export writes.
#include "tools/company/folder_writer.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/company/people.h"
#include "tools/company/reference_data.h"

namespace payroll::company {
namespace {

namespace fs = std::filesystem;

using Row = std::vector<std::string>;

std::string Cell(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// A file of the folder: its header and rows, written whole through a
// temporary file so that a failed write leaves no half file behind.
bool WriteFile(const fs::path& path, const Row& header, const std::vector<Row>& rows,
               std::string* error) {
    std::string text = "\xEF\xBB\xBF";
    auto line = [&text](const Row& row) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "," : "") + Cell(row[i]);
        text += "\r\n";
    };
    line(header);
    for (const Row& row : rows) line(row);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const fs::path part = path.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            *error = "cannot write " + part.string();
            return false;
        }
    }
    fs::rename(part, path, ec);
    if (ec) *error = "cannot write " + path.string() + ": " + ec.message();
    return !ec;
}

std::string Amount(double value) {
    char buf[40];
    if (value == std::floor(value))
        std::snprintf(buf, sizeof buf, "%.0f", value);
    else
        std::snprintf(buf, sizeof buf, "%.4f", value);
    return buf;
}

// 20020715 -> 2002-07-15, 200207 -> 2002-07.
std::string Dashed(const std::string& digits) {
    if (digits.size() == 8)
        return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
    if (digits.size() == 6) return digits.substr(0, 4) + "-" + digits.substr(4, 2);
    return digits;
}

std::string Undashed(std::string text) {
    std::erase(text, '-');
    return text;
}

std::string Step(int grade) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", grade);
    return buf;
}

bool WriteSettings(const Options& o, const fs::path& dir, std::string* error) {
    const std::vector<Row> rows = {
        {"CO_CD", o.company},
        {"MNST_DN", "1"},
        {"AVMS_TM", "209"},
        {"DYST_DN", "1"},
        {"FYRV_DN", "1"},
        {"MNDC_CD", "001"},
        {"JNCM_FG", "100"},
        {"RTCM_FG", "100"},
        {"APCM_FG", "001"},
        {"NAPE_CD", "S00"},
        {"AMDP_DP", "0"},
        // The year's simplified table, for each employee's household.
        {"WHTX_FG", "002"},
        {"CO_NM", "한빛상사 주식회사"},
        {"CO_NMK", "Hanbit Trading Co. Ltd."},
        {"CEO_NM", "이한빛"},
        {"BIZR_NB", "101-81-00000"},
        {"ADDR_DC", "서울특별시 중구 예시로 1"},
    };
    return WriteFile(dir / "settings.csv", {"항목 [KEY]", "값 [VALUE]"}, rows, error);
}

bool WriteCodes(const fs::path& dir, std::string* error) {
    std::vector<Row> rows = {
        {"SC", "001", "통합지급", "Paid together", ""},
        {"SC", "002", "개별지급", "Paid separately", ""},
        {"HE", "001", "재직", "Employed", ""},
        {"G1", "001", "정규직", "Permanent", ""},
        {"G3", "100", "사원", "Staff", ""},
        {"G3", "200", "대리", "Assistant manager", ""},
        {"G3", "300", "과장", "Manager", ""},
        {"G4", "A", "일반직", "General", ""},
        {"G5", "01", "일반", "General", ""},
        {"O2", "01", "본사", "Head office", ""},
        {"O2", "02", "공장", "Factory", ""},
        {"P5", "001", "월급제", "Monthly pay", ""},
        {"HH", "001", "거주자", "Resident", ""},
        {"S2", "000", "해당없음", "None", ""},
    };
    for (int step = 1; step <= 9; ++step)
        rows.push_back(
            {"PE", Step(step), std::to_string(step) + "호봉", "Step " + std::to_string(step), ""});
    return WriteFile(dir / "codes.csv",
                     {"코드군 [CTRL_CD]", "코드 [CTD_CD]", "이름 [CTD_NM]", "영문이름 [CTD_NMK]",
                      "비고 [RMK_DC]"},
                     rows, error);
}

// Divisions, departments, employee types, pay types and exemption classes.
bool WriteOrganisation(const fs::path& dir, std::string* error) {
    // The company withholds by the simplified table: its divisions carry no
    // monthly deduction amounts.
    return WriteFile(dir / "divisions.csv",
                     {"사업장코드 [DIV_CD]", "사업장명 [DIV_NM]", "영문명 [DIV_NMK]",
                      "월공제액 [DUMMY2]", "월공제액(부양) [DUMMY3]"},
                     {{"D10", "본사", "Head office", "", ""}, {"D20", "공장", "Factory", "", ""}},
                     error) &&
           WriteFile(
               dir / "departments.csv",
               {"부서코드 [DEPT_CD]", "사업장 [DIV_CD]", "부서명 [DEPT_NM]", "영문명 [DEPT_NMK]"},
               {{"D101", "D10", "경영지원팀", "Management support"},
                {"D102", "D10", "영업팀", "Sales"},
                {"D201", "D20", "생산1팀", "Production 1"},
                {"D202", "D20", "생산2팀", "Production 2"}},
               error) &&
           // Office workers by the calendar month, production workers from the
           // 21st of the month before to the 20th.
           WriteFile(dir / "employee-types.csv",
                     {"근로구분 [HTYP_CD]", "이름 [CTD_NM]", "영문이름 [CTD_NMK]", "비고 [RMK_DC]",
                      "기간구분 [MNLT_FG]", "마감일 [TMST_DT]"},
                     {{"001", "사무직", "Office", "사무", "002", "1"},
                      {"002", "생산직", "Production", "생산", "001", "21"}},
                     error) &&
           // A bonus leaves out whoever leaves inside its period.
           WriteFile(dir / "pay-types.csv",
                     {"지급구분 [PYTP_FG]", "이름 [CTD_NM]", "영문이름 [CTD_NMK]",
                      "입사월규칙 [JNCM_FG]", "퇴사월규칙 [RTCM_FG]"},
                     {{"100", "급여", "Salary", "100", "100"},
                      {"110", "특별수당", "Special allowance", "100", "100"},
                      {"200", "상여", "Bonus", "100", "000"}},
                     error) &&
           WriteFile(
               dir / "exemptions.csv",
               {"비과세구분 [TXEX_FG]", "이름 [CTD_NM]", "영문이름 [CTD_NMK]", "한도액 [RMK_DC]"},
               {{"001", "연장근로 연간한도", "Overtime, yearly limit", "2400000"},
                {"002", "식대 월한도", "Meal allowance, monthly limit", "100000"},
                {"003", "차량유지비 한도", "Vehicle allowance, limit per row", "200000"},
                {"004", "연구보조비 한도", "Research allowance, limit per row", "200000"},
                {"005", "보육수당 한도", "Childcare allowance, limit per row", "100000"},
                // Without a limit: maternity support and other exempt pay.
                {"006", "출산지원금", "Maternity support", ""},
                {"007", "생산직 월급여 상한", "Production workers' monthly pay ceiling", "1000000"},
                {"009", "기타비과세", "Other exempt pay", ""}},
               error);
}

bool WriteItems(const Options& o, const fs::path& dir, std::string* error) {
    std::vector<Row> rows;
    const std::string year = std::to_string(o.year);
    auto add = [&](const char* pytp, const char* fg, const Item& item) {
        rows.push_back({year, pytp, fg, item.code, item.name, item.name_en, item.tax_fg,
                        item.exemption, item.code == "T00" ? "006" : ""});
    };
    for (const Item& item : PayItems(o.pay_items)) add("100", "P2", item);
    for (const Item& item : DeductionItems(o.deduction_items)) add("100", "P3", item);
    for (const Item& item : SpecialItems()) add("110", "P2", item);
    for (const Item& item : DeductionItems(o.deduction_items)) add("110", "P3", item);
    add("200", "P2", Item{"V00", "상여금", "Bonus", "001", ""});
    for (const Item& item : DeductionItems(5)) add("200", "P3", item);
    return WriteFile(dir / "items.csv",
                     {"적용연도 [RVRS_YM]", "지급구분 [PYTP_FG]", "항목구분 [PYDD_FG]",
                      "항목코드 [PYDD_CD]", "항목명 [CTD_NM]", "영문명 [CTD_NMK]",
                      "과세구분 [TAX_FG]", "비과세구분 [TXEX_FG]", "절사 [CTOF_FG]"},
                     rows, error);
}

// The employees, the pay-step table and each employee's fixed items: his
// base pay and the dues every month takes.
bool WritePeople(const Options& o, const std::vector<Person>& people, const fs::path& dir,
                 std::string* error) {
    const std::string from = Dashed(YearMonth(o.year, 1));
    std::vector<Row> steps, employees, fixed;
    for (int grade = 1; grade <= 9; ++grade)
        steps.push_back({"A", Step(grade), from, "", Amount(1500000.0 + grade * 300000)});
    for (const Person& p : people) {
        const bool production = p.htyp_cd == "002";
        employees.push_back({p.emp_cd,
                             p.name,
                             p.name_en,
                             "7001011000000",
                             p.dept_cd,
                             p.htyp_cd,
                             "001",
                             "A",
                             Step(p.grade),
                             RankOf(p.grade),
                             production ? "02" : "01",
                             "001",
                             "001",
                             "001",
                             Dashed(p.join_dt),
                             Dashed(p.rtr_dt),
                             p.spouse ? "001" : "000",
                             std::to_string(p.dependants),
                             std::to_string(p.elderly),
                             "000",
                             Amount(p.pension),
                             Amount(p.health),
                             "A",
                             "PJ01"});
        fixed.push_back({p.emp_cd, "P00", from, "", Amount(p.base_pay)});
        for (const char* code : {"D01", "D02"}) {
            const double amount = DeductionAmount(p, 1, code);
            if (amount != 0) fixed.push_back({p.emp_cd, code, from, "", Amount(amount)});
        }
    }
    return WriteFile(dir / "pay-steps.csv",
                     {"호봉구분 [HCLS_CD]", "호봉 [PYST_CD]", "적용시작월 [APST_YM]",
                      "적용종료월 [APED_YM]", "금액 [PAY_AM]"},
                     steps, error) &&
           WriteFile(dir / "employees.csv",
                     {"사번 [EMP_CD]",          "성명 [KOR_NM]",        "영문성명 [KOR_NMK]",
                      "주민등록번호 [RSRG_NO]", "부서 [DEPT_CD]",       "근로구분 [HTYP_CD]",
                      "급여형태 [PYSP_FG]",     "호봉구분 [HCLS_CD]",   "호봉 [PYST_GR]",
                      "직급 [HRSP_CD]",         "직종 [HOPR_CD]",       "재직구분 [ENRL_FG]",
                      "고용형태 [EMPL_FG]",     "거주구분 [RSDC_FG]",   "입사일 [JOIN_DT]",
                      "퇴사일 [RTR_DT]",        "배우자 [SPUS_YN]",     "부양가족수 [TDFR_SN]",
                      "경로우대수 [SUFR_SN]",   "부녀자공제 [REFR_YN]", "국민연금 [NAPS_AM]",
                      "건강보험 [HIFA_AM]",     "원가구분 [PRTY_CD]",   "프로젝트 [PJT_CD]"},
                     employees, error) &&
           WriteFile(dir / "fixed-items.csv",
                     {"사번 [EMP_CD]", "항목코드 [FIXP_CD]", "시작월 [CTST_YM]", "종료월 [CTED_YM]",
                      "금액 [FIX_AM]"},
                     fixed, error);
}

const Row kRunsHeader = {"귀속월 [RVRS_YM]",       "차수 [SQ]",
                         "지급일 [PAY_DT]",        "지급구분 [PYTP_FG]",
                         "상여기간시작 [BNST_DT]", "상여기간끝 [BNED_DT]",
                         "변동급여 [PAY_FILE]"};

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "+") + p;
    return out;
}

bool WriteRuns(const Options& o, const fs::path& dir, std::string* error) {
    std::vector<Row> rows;
    for (const PlannedRun& r : PlanRuns(o))
        rows.push_back({Dashed(r.month), std::to_string(r.sequence), Dashed(r.pay_date),
                        Joined(r.pay_types), Dashed(r.bonus_from), Dashed(r.bonus_to), r.pay_file});
    return WriteFile(dir / kRunsFile, kRunsHeader, rows, error);
}

// Splits a line of runs.csv (its cells never hold a comma or a quote).
Row Cells(const std::string& line) {
    Row cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

}  // namespace

std::vector<PlannedRun> PlanRuns(const Options& o) {
    std::vector<PlannedRun> runs;
    char file[48];
    for (int m = 1; m <= 12 && o.monthly_runs; ++m) {
        PlannedRun r;
        r.month = YearMonth(o.year, m);
        r.pay_date = r.month + "25";
        r.pay_types = {"100"};
        if (m == o.combined_month) r.pay_types.push_back("110");
        std::snprintf(file, sizeof file, "pay/%04d-%02d-1.csv", o.year, m);
        r.pay_file = file;
        runs.push_back(r);
    }
    int previous = 0;
    for (int bm : o.bonus_months) {
        if (bm < 1 || bm > 12) continue;
        PlannedRun r;
        r.month = YearMonth(o.year, bm);
        r.sequence = 2;
        r.pay_date = r.month + "28";
        r.pay_types = {"200"};
        r.bonus_from = YearMonth(o.year, previous + 1) + "01";
        r.bonus_to = LastDayOf(o.year, bm);
        std::snprintf(file, sizeof file, "pay/%04d-%02d-2.csv", o.year, bm);
        r.pay_file = file;
        runs.push_back(r);
        previous = bm;
    }
    return runs;
}

bool WriteCompanyFolder(const Options& o, const std::string& folder, std::string* error) {
    if (o.employees < 0 || o.year < 1900 || o.year > 9999 || o.company.empty()) {
        *error = "a company needs a code, a year from 1900 and a number of employees";
        return false;
    }
    const fs::path dir(folder);
    const std::vector<Person> people = MakePeople(o.employees, o.year, o.seed);
    return WriteSettings(o, dir, error) && WriteCodes(dir, error) &&
           WriteOrganisation(dir, error) && WriteItems(o, dir, error) &&
           WritePeople(o, people, dir, error) && WriteRuns(o, dir, error);
}

bool WriteRunPay(const Options& o, const std::string& folder, const PlannedRun& run,
                 const std::vector<std::string>& paid, std::string* error) {
    const std::vector<Person> people = MakePeople(o.employees, o.year, o.seed);
    std::map<std::string, const Person*> by_code;
    for (const Person& p : people) by_code[p.emp_cd] = &p;
    const int month = std::atoi(run.month.substr(4).c_str());
    const std::string year = std::to_string(o.year);
    const bool bonus = run.pay_types.front().rfind('2', 0) == 0;
    std::vector<Item> pay = PayItems(o.pay_items);
    std::vector<Row> rows;
    auto add = [&rows](const Person& p, const std::string& code, double amount) {
        if (amount != 0) rows.push_back({p.emp_cd, code, Amount(amount), "", ""});
    };
    for (const std::string& code : paid) {
        auto found = by_code.find(code);
        if (found == by_code.end()) continue;
        const Person& p = *found->second;
        if (bonus) {
            add(p, "V00", PayAmount(p, month, "V00", run.pay_types.front()));
            continue;
        }
        // Paid in full in his month of joining or leaving, as the company
        // always paid him: the amount is the month's, not prorated.
        if (p.join_dt.compare(0, 4, year) == 0 || !p.rtr_dt.empty()) add(p, "P00", p.base_pay);
        for (const Item& item : pay) {
            if (item.code == "P00") continue;
            // The pay step places an item in the run's first pay type that
            // lists it: a combined run's second pay type is paid there too.
            double amount = 0;
            for (const std::string& type : run.pay_types)
                amount += PayAmount(p, month, item.code, type);
            add(p, item.code, amount);
        }
        // Personal pension savings, some months (the dues are fixed items).
        add(p, "R01", DeductionAmount(p, month, "R01"));
    }
    return WriteFile(fs::path(folder) / run.pay_file,
                     {"사번 [EMP_CD]", "항목코드 [PYDD_CD]", "금액 [PAY_AM]", "시간 [WORK_TM]",
                      "비고 [CALC_DC]"},
                     rows, error);
}

bool ReadRunList(const std::string& dir, std::vector<PlannedRun>* runs, std::string* error) {
    const fs::path path = fs::path(dir) / kRunsFile;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path.string();
        return false;
    }
    runs->clear();
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 || line.empty()) continue;
        const Row cells = Cells(line);
        PlannedRun r;
        if (cells.size() == kRunsHeader.size()) {
            r.month = Undashed(cells[0]);
            r.sequence = std::atoi(cells[1].c_str());
            r.pay_date = Undashed(cells[2]);
            std::stringstream types(cells[3]);
            for (std::string t; std::getline(types, t, '+');) r.pay_types.push_back(t);
            r.bonus_from = Undashed(cells[4]);
            r.bonus_to = Undashed(cells[5]);
            r.pay_file = cells[6];
        }
        if (r.month.size() != 6 || r.sequence < 1 || r.pay_types.empty() || r.pay_file.empty() ||
            fs::path(r.pay_file).is_absolute() || r.pay_file.find("..") != std::string::npos) {
            *error = path.string() + ":" + std::to_string(number) +
                     ": expected a month, a sequence, a pay date, pay types (100+110), the "
                     "bonus period and the variable pay file";
            return false;
        }
        runs->push_back(std::move(r));
    }
    return true;
}

}  // namespace payroll::company
