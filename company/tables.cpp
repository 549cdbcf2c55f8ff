#include "company/tables.h"

#include <algorithm>
#include <set>

namespace payroll::folder {
namespace {

enum TargetIndex {
    tShcfg,
    tSyscfg,
    tCodes,
    tTypeCodes,
    tPayTypeCodes,
    tExemptionCodes,
    tItemNames,
    tSdiv,
    tSdept,
    tHhfaacc,
    tHpmpdfm,
    tHhcpyst,
    tSemp,
    tHsemp,
    tHphfxpd,
    tMethod,
    tCompany,
    tCount
};

// The company record's columns, each a setting of the same code.
const std::vector<std::string> kCompanyColumns = {"CO_NM", "CO_NMK", "CEO_NM", "BIZR_NB",
                                                  "ADDR_DC"};

const std::vector<std::string> kCodeKeys = {"CTRL_CD", "CTD_CD"};
const std::vector<std::string> kCodeValues = {"CTD_NM", "CTD_NMK", "RMK_DC", "DUMMY1", "DUMMY2"};
const std::vector<std::pair<std::string, std::string>> kCodeDefaults = {
    {"MODULE_CD", "'HP'"}, {"EDIT_YN", "'001'"}, {"USE_YN", "'001'"}};

Target CodeGroup(int file, const std::string& group) {
    return {file, "SCTRL_D", "CTRL_CD='" + group + "'", kCodeKeys, kCodeValues, {}, kCodeDefaults};
}

std::vector<Target> MakeTargets() {
    std::vector<Target> t(tCount);
    t[tShcfg] = {kSettings,
                 "SHCFG",
                 "",
                 {},
                 {"MNST_DN", "AVMS_TM", "DYST_DN", "FYRV_DN", "MNDC_CD", "JNCM_FG", "RTCM_FG",
                  "APCM_FG", "NAPE_CD"},
                 {"MNST_DN", "AVMS_TM", "DYST_DN", "FYRV_DN"},
                 {{"JPCC_DN", "0"},
                  {"RPCC_DN", "0"},
                  {"APPC_DN", "0"},
                  {"APPP_MC", "0"},
                  {"EMIN_RT", "0"},
                  {"PRCT_RT", "0"},
                  {"FGTE_RT", "0"},
                  {"DUMMY1", "''"},
                  {"DUMMY3", "''"}}};
    t[tSyscfg] = {kSettings,
                  "syscfg",
                  "CTR_CD='06'",
                  {"CTR_CD"},
                  {"CTR_NB"},
                  {"CTR_NB"},
                  {{"CTR_FG", "'001'"}, {"USE_YN", "'001'"}, {"FG_TY", "'001'"}}};
    t[tCodes] = {kCodes,       "SCTRL_D",   "CTRL_CD NOT IN ('G2','P4','PC','PD')",
                 kCodeKeys,    kCodeValues, {},
                 kCodeDefaults};
    t[tTypeCodes] = CodeGroup(kEmployeeTypes, "G2");
    t[tPayTypeCodes] = CodeGroup(kPayTypes, "P4");
    t[tExemptionCodes] = CodeGroup(kExemptions, "PC");
    t[tItemNames] = CodeGroup(kItems, "PD");
    t[tSdiv] = {kDivisions, "SDIV", "", {"DIV_CD"}, {"DIV_NM", "DIV_NMK", "DUMMY2", "DUMMY3"},
                {},         {}};
    t[tSdept] = {kDepartments, "SDEPT", "", {"DEPT_CD"}, {"DIV_CD", "DEPT_NM", "DEPT_NMK"}, {}, {}};
    t[tHhfaacc] = {kEmployeeTypes, "HHFAACC", "", {"HTYP_CD"}, {"MNLT_FG", "TMST_DT"}, {}, {}};
    t[tHpmpdfm] = {kItems,
                   "HPMPDFM",
                   "",
                   {"RVRS_YM", "PYTP_FG", "PYDD_FG", "PYDD_CD"},
                   {"TAX_FG", "TXEX_FG", "CTOF_FG"},
                   {},
                   {{"AMDP_DP", "0"},
                    {"FTPY_YN", "'000'"},
                    {"EXCP_YN", "'000'"},
                    {"NFGC_YN", "'000'"},
                    {"NFGA_AM", "0"},
                    {"NFGF_DC", "''"},
                    {"RTDD_YN", "'000'"},
                    {"PRCT_FG", "'000'"},
                    {"PRCT_RT", "0"},
                    {"HIDD_YN", "'000'"},
                    {"NPDD_YN", "'000'"},
                    {"EIDD_YN", "'000'"},
                    {"IDDD_YN", "'000'"},
                    {"LMPY_YN", "'000'"},
                    {"SHFG_YN", "'000'"}}};
    t[tHhcpyst] = {
        kPaySteps,  "HHCPYST", "", {"HCLS_CD", "PYST_CD", "APST_YM"}, {"APED_YM", "PAY_AM"},
        {"PAY_AM"}, {}};
    std::vector<std::string> semp_values;
    for (const ColumnSpec& c : Files()[kEmployees].columns) semp_values.push_back(c.code);
    semp_values.erase(semp_values.begin());
    t[tSemp] = {kEmployees,
                "SEMP",
                "",
                {"EMP_CD"},
                semp_values,
                {"TDFR_SN", "SUFR_SN", "NAPS_AM", "HIFA_AM"},
                {{"FORG_NO", "''"},
                 {"DIV_TO_CD", "''"},
                 {"NTPS_GR", "'01'"},
                 {"HTIS_GR", "'01'"},
                 {"APED_YN", "'000'"},
                 {"APED_DT", "''"},
                 {"RPMC_DT", "''"},
                 {"FESC_DT", "''"},
                 {"FESV_DT", "''"},
                 {"ABIN_YN", "'000'"},
                 {"FEHR_YN", "'000'"},
                 {"WMHH_YN", "'000'"},
                 {"WKTG_YN", "'001'"},
                 {"EMIS_YN", "'001'"},
                 {"CHRS_SN", "0"},
                 {"AGCT_SN", "0"},
                 {"HDCP_SN", "0"}}};
    t[tHsemp] = {kEmployees, "H_SEMP", "", {"EMP_CD"}, {}, {}, {}};
    t[tHphfxpd] = {kFixedItems,           "HPHFXPD",  "", {"EMP_CD", "FIXP_CD", "CTST_YM"},
                   {"CTED_YM", "FIX_AM"}, {"FIX_AM"}, {}};
    // The withholding method: row 21 of the system configuration.
    t[tMethod] = {kSettings,
                  "syscfg",
                  "CTR_CD='21'",
                  {"CTR_CD"},
                  {"CTR_FG"},
                  {},
                  {{"CTR_NB", "0"}, {"USE_YN", "'001'"}, {"FG_TY", "'001'"}}};
    t[tCompany] = {kSettings, "SCOINFO", "", {}, kCompanyColumns, {}, {}};
    for (int i : {tSyscfg, tHhfaacc, tItemNames, tHsemp, tMethod, tCompany})
        t[static_cast<std::size_t>(i)].secondary = true;
    return t;
}

std::vector<std::string> Row(std::initializer_list<std::string> cells) {
    return std::vector<std::string>(cells);
}

}  // namespace

bool Target::IsNumeric(const std::string& column) const {
    return std::find(numeric.begin(), numeric.end(), column) != numeric.end();
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = MakeTargets();
    return targets;
}

std::string KeyText(const Target& target, const std::vector<std::string>& row) {
    std::string key;
    for (std::size_t i = 0; i < target.keys.size(); ++i) {
        if (i) key += '/';
        key += row[i];
    }
    return key.empty() ? std::string("(the company)") : key;
}

std::vector<RowList> FolderRows(Folder&& f) {
    std::vector<RowList> rows(tCount);
    auto put = [&](int target, std::vector<std::string> row) {
        rows[static_cast<std::size_t>(target)].push_back(std::move(row));
    };
    const auto& t = Targets();
    std::set<std::string> item_names;
    std::vector<std::string> shcfg;
    for (const std::string& v : t[tShcfg].values) shcfg.push_back(f.Setting(v));
    put(tShcfg, shcfg);
    put(tSyscfg, Row({"06", f.Setting("AMDP_DP")}));
    put(tMethod, Row({"21", f.Setting("WHTX_FG")}));
    std::vector<std::string> identity;
    identity.reserve(kCompanyColumns.size());
    for (const std::string& c : kCompanyColumns) identity.push_back(f.Setting(c));
    put(tCompany, identity);
    for (const Record& r : f.files[kCodes])
        put(tCodes, Row({r.values[0], r.values[1], r.values[2], r.values[3], r.values[4], "", ""}));
    for (const Record& r : f.files[kEmployeeTypes]) {
        put(tTypeCodes, Row({"G2", r.values[0], r.values[1], r.values[2], r.values[3], "", ""}));
        put(tHhfaacc, Row({r.values[0], r.values[4], r.values[5]}));
    }
    for (const Record& r : f.files[kPayTypes])
        put(tPayTypeCodes,
            Row({"P4", r.values[0], r.values[1], r.values[2], "", r.values[3], r.values[4]}));
    for (const Record& r : f.files[kExemptions])
        put(tExemptionCodes,
            Row({"PC", r.values[0], r.values[1], r.values[2], r.values[3], "", ""}));
    for (const Record& r : f.files[kItems]) {
        if (item_names.insert(r.values[3]).second)
            put(tItemNames,
                Row({"PD", r.values[3], r.values[4], r.values[5], "", r.values[2], ""}));
        put(tHpmpdfm, Row({r.values[0], r.values[1], r.values[2], r.values[3], r.values[6],
                           r.values[7], r.values[8]}));
    }
    auto move_all = [&](int file, int target) {
        rows[static_cast<std::size_t>(target)].reserve(
            f.files[static_cast<std::size_t>(file)].size());
        for (Record& r : f.files[static_cast<std::size_t>(file)]) put(target, std::move(r.values));
        f.files[static_cast<std::size_t>(file)] = {};
    };
    move_all(kDivisions, tSdiv);
    move_all(kDepartments, tSdept);
    move_all(kPaySteps, tHhcpyst);
    rows[tHsemp].reserve(f.files[kEmployees].size());
    for (const Record& r : f.files[kEmployees]) put(tHsemp, Row({r.values[0]}));
    move_all(kEmployees, tSemp);
    move_all(kFixedItems, tHphfxpd);
    return rows;
}

Folder RowsFolder(const std::vector<Rows>& rows, const std::string& company) {
    Folder f;
    auto rows_of = [&](int target) -> const Rows& {
        return rows[static_cast<std::size_t>(target)];
    };
    auto add = [&](int file, std::vector<std::string> values) {
        f.files[static_cast<std::size_t>(file)].push_back({0, std::move(values)});
    };
    add(kSettings, Row({"CO_CD", company}));
    for (const auto& [key, row] : rows_of(tShcfg))
        for (std::size_t i = 0; i < Targets()[tShcfg].values.size(); ++i)
            add(kSettings, Row({Targets()[tShcfg].values[i], row[i]}));
    for (const auto& [key, row] : rows_of(tSyscfg)) add(kSettings, Row({"AMDP_DP", row[1]}));
    for (const auto& [key, row] : rows_of(tMethod)) add(kSettings, Row({"WHTX_FG", row[1]}));
    for (const auto& [key, row] : rows_of(tCompany))
        for (std::size_t i = 0; i < kCompanyColumns.size(); ++i)
            add(kSettings, Row({kCompanyColumns[i], row[i]}));
    for (const auto& [key, row] : rows_of(tCodes))
        add(kCodes, Row({row[0], row[1], row[2], row[3], row[4]}));
    for (const auto& [key, row] : rows_of(tTypeCodes)) {
        auto w = rows_of(tHhfaacc).find(row[1]);
        const bool has = w != rows_of(tHhfaacc).end();
        add(kEmployeeTypes, Row({row[1], row[2], row[3], row[4], has ? w->second[1] : "",
                                 has ? w->second[2] : ""}));
    }
    for (const auto& [key, row] : rows_of(tPayTypeCodes))
        add(kPayTypes, Row({row[1], row[2], row[3], row[5], row[6]}));
    for (const auto& [key, row] : rows_of(tExemptionCodes))
        add(kExemptions, Row({row[1], row[2], row[3], row[4]}));
    for (const auto& [key, row] : rows_of(tHpmpdfm)) {
        auto n = rows_of(tItemNames).find("PD/" + row[3]);
        const bool has = n != rows_of(tItemNames).end();
        add(kItems, Row({row[0], row[1], row[2], row[3], has ? n->second[2] : "",
                         has ? n->second[3] : "", row[4], row[5], row[6]}));
    }
    for (const auto& [key, row] : rows_of(tSdiv)) add(kDivisions, row);
    for (const auto& [key, row] : rows_of(tSdept)) add(kDepartments, row);
    for (const auto& [key, row] : rows_of(tHhcpyst)) add(kPaySteps, row);
    for (const auto& [key, row] : rows_of(tSemp)) add(kEmployees, row);
    for (const auto& [key, row] : rows_of(tHphfxpd)) add(kFixedItems, row);
    return f;
}

}  // namespace payroll::folder
