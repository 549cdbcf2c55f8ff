#include "cli/commands/run_options.h"

#include <CLI/CLI.hpp>

#include "payroll/host.h"

namespace payroll::cli {
void CheckCompanyOption(CLI::Option* option) {
    option->check(
        [](const std::string& value) -> std::string {
            if (value.empty() || value.size() >= sizeof(HPHONPD_YMD_FMT{}.CO_CD))
                return "a company code has 1 to 5 characters";
            return "";
        },
        "CO_CD");
}

void CheckMonthOption(CLI::Option* option) {
    option->check(
        [](const std::string& value) -> std::string {
            bool digits =
                value.size() == 6 && value.find_first_not_of("0123456789") == std::string::npos;
            if (!digits) return "a month is written YYYYMM";
            int month = std::stoi(value.substr(4));
            if (month < 1 || month > 12) return "a month is written YYYYMM (01 to 12)";
            return "";
        },
        "YYYYMM");
}

std::vector<std::string> KeyLines(const HPHONPD_YMD_FMT& key) {
    std::vector<std::string> lines;
    lines.push_back("SEL_NO=" + std::to_string(key.SEL_NO));
    auto add = [&](const char* name, std::string_view value) {
        lines.push_back(std::string(name) + "=" + std::string(value));
    };
    add("CO_CD", key.CO_CD.View());
    add("RVRS_YM", key.RVRS_YM.View());
    add("SQ", key.SQ.View());
    add("PAY_DT", key.PAY_DT.View());
    add("CCIS_YN", key.CCIS_YN.View());
    add("NM2", key.NM2.View());
    add("PYTP_FG", key.PYTP_FG.View());
    add("PYTP_LIST", key.PYTP_LIST.View());
    add("PYTP_HEAD", key.PYTP_HEAD.View());
    add("NM1", key.NM1.View());
    if (!key.RTCM_FG.IsEmpty()) add("RTCM_FG", key.RTCM_FG.View());
    return lines;
}

std::string QueryFailure() {
    std::string why = payroll::LastDatabaseError();
    return why.empty() ? "the query failed" : why;
}

}  // namespace payroll::cli
