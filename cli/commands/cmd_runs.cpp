// payroll runs: the pay runs of a month, as the front's picker lists them.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands/commands.h"
#include "cli/commands/run_options.h"
#include "cli/faces/tui_text.h"

namespace payroll::cli {
namespace {

struct RunsOptions {
    std::string company;
    std::string month;
    std::string format = "table";
};

void PrintTable(const std::vector<HPHONPD_YMD_FMT>& runs) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"#", "PAY_DT", "SQ", "CCIS_YN", "RUN KIND", "PYTP_LIST", "PAY TYPES"});
    for (const HPHONPD_YMD_FMT& r : runs)
        rows.push_back({std::to_string(r.SEL_NO), r.PAY_DT.Str(), r.SQ.Str(), r.CCIS_YN.Str(),
                        tui::Printable(r.NM2.View()), r.PYTP_LIST.Str(),
                        tui::Printable(r.NM1.View())});
    for (const std::string& line : tui::LayOutTable(rows, 60)) std::printf("%s\n", line.c_str());
}

void PrintJson(const std::vector<HPHONPD_YMD_FMT>& runs) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const HPHONPD_YMD_FMT& r : runs)
        out.push_back({{"sel_no", static_cast<int>(r.SEL_NO)},
                       {"co_cd", r.CO_CD.Str()},
                       {"rvrs_ym", r.RVRS_YM.Str()},
                       {"sq", r.SQ.Str()},
                       {"pay_dt", r.PAY_DT.Str()},
                       {"ccis_yn", r.CCIS_YN.Str()},
                       {"nm2", r.NM2.Str()},
                       {"pytp_fg", r.PYTP_FG.Str()},
                       {"pytp_list", r.PYTP_LIST.Str()},
                       {"pytp_head", r.PYTP_HEAD.Str()},
                       {"nm1", r.NM1.Str()},
                       {"rtcm_fg", r.RTCM_FG.Str()}});
    std::string text = out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

void AddRunsCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<RunsOptions>();
    CLI::App* cmd = app.add_subcommand("runs", "the pay runs of a month, as the picker lists them");
    CheckCompanyOption(cmd->add_option("--company", opts->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", opts->month, "pay month YYYYMM")->required());
    cmd->add_option("--format", opts->format, "table or json")
        ->check(CLI::IsMember({"table", "json"}));
    cmd->footer("Example: payroll runs --company 1000 --month 200203");
    cmd->callback([opts, &options, exit_code] {
        if (!OpenDatabaseFor(options)) {
            *exit_code = kFailed;
            return;
        }
        tui::UseUtf8Locale();
        std::vector<HPHONPD_YMD_FMT> runs;
        if (!ListPayRuns(opts->company, opts->month, &runs, nullptr)) {
            std::fprintf(stderr, "payroll: the runs of %s %s could not be read: %s\n",
                         opts->company.c_str(), opts->month.c_str(), QueryFailure().c_str());
            *exit_code = kFailed;
            return;
        }
        if (opts->format == "json") {
            PrintJson(runs);
            if (runs.empty()) std::fprintf(stderr, "payroll: no runs\n");
            return;
        }
        if (runs.empty()) {
            std::printf("no runs\n");
            return;
        }
        PrintTable(runs);
    });
}

const bool runs_registered = RegisterCommand(20, AddRunsCommand);

}  // namespace
}  // namespace payroll::cli
