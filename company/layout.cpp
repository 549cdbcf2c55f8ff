#include "company/layout.h"

#include <map>

namespace payroll::folder {
namespace {

using K = Kind;

std::vector<FileSpec> MakeFiles() {
    std::vector<FileSpec> f(kFileCount);
    f[kSettings] = {"settings.csv",
                    {{"항목", "KEY", K::kText, true, 100, nullptr},
                     {"값", "VALUE", K::kText, false, 100, nullptr}},
                    {0}};
    f[kCodes] = {"codes.csv",
                 {{"코드군", "CTRL_CD", K::kCode, true, 5, nullptr},
                  {"코드", "CTD_CD", K::kCode, true, 20, nullptr},
                  {"이름", "CTD_NM", K::kText, true, 100, nullptr},
                  {"영문이름", "CTD_NMK", K::kText, false, 100, nullptr},
                  {"비고", "RMK_DC", K::kText, false, 100, nullptr}},
                 {0, 1}};
    f[kDivisions] = {"divisions.csv",
                     {{"사업장코드", "DIV_CD", K::kCode, true, 10, nullptr},
                      {"사업장명", "DIV_NM", K::kText, true, 100, nullptr},
                      {"영문명", "DIV_NMK", K::kText, false, 100, nullptr},
                      {"월공제액", "DUMMY2", K::kAmount, false, 20, nullptr},
                      {"월공제액(부양)", "DUMMY3", K::kAmount, false, 20, nullptr}},
                     {0}};
    f[kDepartments] = {"departments.csv",
                       {{"부서코드", "DEPT_CD", K::kCode, true, 10, nullptr},
                        {"사업장", "DIV_CD", K::kList, true, 10, "@DIV"},
                        {"부서명", "DEPT_NM", K::kText, true, 100, nullptr},
                        {"영문명", "DEPT_NMK", K::kText, false, 100, nullptr}},
                       {0}};
    f[kEmployeeTypes] = {"employee-types.csv",
                         {{"근로구분", "HTYP_CD", K::kCode, true, 5, nullptr},
                          {"이름", "CTD_NM", K::kText, true, 100, nullptr},
                          {"영문이름", "CTD_NMK", K::kText, false, 100, nullptr},
                          {"비고", "RMK_DC", K::kText, false, 100, nullptr},
                          {"기간구분", "MNLT_FG", K::kList, true, 3, "window"},
                          {"마감일", "TMST_DT", K::kDay, true, 2, nullptr}},
                         {0}};
    f[kPayTypes] = {"pay-types.csv",
                    {{"지급구분", "PYTP_FG", K::kCode, true, 3, nullptr},
                     {"이름", "CTD_NM", K::kText, true, 100, nullptr},
                     {"영문이름", "CTD_NMK", K::kText, false, 100, nullptr},
                     {"입사월규칙", "JNCM_FG", K::kList, true, 3, "rule"},
                     {"퇴사월규칙", "RTCM_FG", K::kList, true, 3, "rule"}},
                    {0}};
    f[kExemptions] = {"exemptions.csv",
                      {{"비과세구분", "TXEX_FG", K::kCode, true, 3, nullptr},
                       {"이름", "CTD_NM", K::kText, true, 100, nullptr},
                       {"영문이름", "CTD_NMK", K::kText, false, 100, nullptr},
                       {"한도액", "RMK_DC", K::kAmount, false, 20, nullptr}},
                      {0}};
    f[kItems] = {"items.csv",
                 {{"적용연도", "RVRS_YM", K::kYear, true, 4, nullptr},
                  {"지급구분", "PYTP_FG", K::kList, true, 3, "@P4"},
                  {"항목구분", "PYDD_FG", K::kList, true, 3, "pydd"},
                  {"항목코드", "PYDD_CD", K::kCode, true, 5, nullptr},
                  {"항목명", "CTD_NM", K::kText, true, 100, nullptr},
                  {"영문명", "CTD_NMK", K::kText, false, 100, nullptr},
                  {"과세구분", "TAX_FG", K::kList, false, 3, "tax"},
                  {"비과세구분", "TXEX_FG", K::kList, false, 3, "@PC"},
                  {"절사", "CTOF_FG", K::kList, false, 3, "cut"}},
                 {0, 1, 2, 3}};
    f[kPaySteps] = {"pay-steps.csv",
                    {{"호봉구분", "HCLS_CD", K::kList, true, 5, "G4"},
                     {"호봉", "PYST_CD", K::kList, true, 5, "PE"},
                     {"적용시작월", "APST_YM", K::kMonth, true, 6, nullptr},
                     {"적용종료월", "APED_YM", K::kMonth, false, 6, nullptr},
                     {"금액", "PAY_AM", K::kAmount, true, 20, nullptr}},
                    {0, 1, 2}};
    f[kEmployees] = {"employees.csv",
                     {{"사번", "EMP_CD", K::kCode, true, 10, nullptr},
                      {"성명", "KOR_NM", K::kText, true, 100, nullptr},
                      {"영문성명", "KOR_NMK", K::kText, false, 100, nullptr},
                      {"주민등록번호", "RSRG_NO", K::kText, false, 20, nullptr},
                      {"부서", "DEPT_CD", K::kList, true, 10, "@DEPT"},
                      {"근로구분", "HTYP_CD", K::kList, true, 5, "@G2"},
                      {"급여형태", "PYSP_FG", K::kList, true, 3, "P5"},
                      {"호봉구분", "HCLS_CD", K::kList, false, 5, "G4"},
                      {"호봉", "PYST_GR", K::kList, false, 5, "PE"},
                      {"직급", "HRSP_CD", K::kList, false, 5, "G3"},
                      {"직종", "HOPR_CD", K::kList, false, 5, "O2"},
                      {"재직구분", "ENRL_FG", K::kList, true, 3, "HE"},
                      {"고용형태", "EMPL_FG", K::kList, false, 3, "G1"},
                      {"거주구분", "RSDC_FG", K::kList, false, 3, "HH"},
                      {"입사일", "JOIN_DT", K::kDate, true, 8, nullptr},
                      {"퇴사일", "RTR_DT", K::kDate, false, 8, nullptr},
                      {"배우자", "SPUS_YN", K::kList, false, 3, "yn"},
                      {"부양가족수", "TDFR_SN", K::kCount, false, 3, nullptr},
                      {"경로우대수", "SUFR_SN", K::kCount, false, 3, nullptr},
                      {"부녀자공제", "REFR_YN", K::kList, false, 3, "yn"},
                      {"국민연금", "NAPS_AM", K::kAmount, false, 20, nullptr},
                      {"건강보험", "HIFA_AM", K::kAmount, false, 20, nullptr},
                      {"원가구분", "PRTY_CD", K::kCode, false, 10, nullptr},
                      {"프로젝트", "PJT_CD", K::kCode, false, 10, nullptr}},
                     {0}};
    f[kFixedItems] = {"fixed-items.csv",
                      {{"사번", "EMP_CD", K::kList, true, 10, "@EMP"},
                       {"항목코드", "FIXP_CD", K::kList, true, 20, "@ITEM"},
                       {"시작월", "CTST_YM", K::kMonth, true, 6, nullptr},
                       {"종료월", "CTED_YM", K::kMonth, false, 6, nullptr},
                       {"금액", "FIX_AM", K::kAmount, true, 20, nullptr}},
                      {0, 1, 2}};
    return f;
}

}  // namespace

const std::vector<FileSpec>& Files() {
    static const std::vector<FileSpec> files = MakeFiles();
    return files;
}

const FileSpec* FindFile(std::string_view name) {
    for (const FileSpec& f : Files())
        if (name == f.name) return &f;
    return nullptr;
}

std::string HeaderText(const ColumnSpec& column) {
    return std::string(column.header) + " [" + column.code + "]";
}

const std::vector<SettingSpec>& Settings() {
    static const std::vector<SettingSpec> settings = {
        {"회사코드", "CO_CD", K::kCode, true, ""},
        {"월기준일수", "MNST_DN", K::kAmount, false, "1"},
        {"월소정근로시간", "AVMS_TM", K::kAmount, false, "209"},
        {"일기준일수", "DYST_DN", K::kAmount, false, "1"},
        {"연차기준일수", "FYRV_DN", K::kAmount, false, "1"},
        {"월공제구분", "MNDC_CD", K::kCode, false, "001"},
        {"입사월규칙", "JNCM_FG", K::kList, false, "100"},
        {"퇴사월규칙", "RTCM_FG", K::kList, false, "100"},
        {"연금계산구분", "APCM_FG", K::kCode, false, "001"},
        {"국민연금공제항목", "NAPE_CD", K::kCode, false, "S00"},
        {"금액소수자리", "AMDP_DP", K::kCount, false, "0"},
        // How the monthly income tax is withheld: 사업장공제 subtracts the
        // division's amount from the taxable pay and applies the rate table;
        // 간이세액표 takes the year's simplified table for the employee's
        // household.
        {"원천징수방식", "WHTX_FG", K::kList, false, "001", "withholding"},
        // The company as its papers name it.
        {"회사명", "CO_NM", K::kText, false, ""},
        {"영문회사명", "CO_NMK", K::kText, false, ""},
        {"대표자", "CEO_NM", K::kText, false, ""},
        {"사업자등록번호", "BIZR_NB", K::kText, false, ""},
        {"주소", "ADDR_DC", K::kText, false, ""},
    };
    return settings;
}

const std::vector<ListEntry>* BuiltInList(std::string_view list) {
    static const std::map<std::string, std::vector<ListEntry>, std::less<>> lists = [] {
        std::map<std::string, std::vector<ListEntry>, std::less<>> m;
        m["yn"] = {{"001", "예"}, {"000", "아니오"}};
        m["tax"] = {{"001", "과세"}, {"002", "비과세"}};
        m["pydd"] = {{"P2", "지급"}, {"P3", "공제"}};
        // 001: from the cut-off day of the month before; 002: the calendar month.
        m["window"] = {{"001", "전월마감"}, {"002", "당월"}};
        // 000: a bonus pay type pays joiners and leavers by its period only.
        m["rule"] = {{"000", "기간적용"}, {"100", "일반"}};
        m["withholding"] = {{"001", "사업장공제"}, {"002", "간이세액표"}};
        std::vector<ListEntry> cut;
        for (int i = 1; i <= 17; ++i) {
            std::string code = (i < 10 ? "00" : "0") + std::to_string(i);
            cut.push_back({code, code});
        }
        m["cut"] = cut;
        return m;
    }();
    auto it = lists.find(list);
    return it == lists.end() ? nullptr : &it->second;
}

bool OwnGroup(std::string_view group) {
    return group == "G2" || group == "P4" || group == "PC" || group == "PD";
}

}  // namespace payroll::folder
