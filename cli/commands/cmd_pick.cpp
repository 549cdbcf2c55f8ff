// payroll pick: the front's pay-run picker in the terminal; prints the key
// of the run chosen. The picker draws on the controlling terminal
// (/dev/tty), so the key can be captured: key=$(payroll pick ...).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/commands/run_options.h"
#include "cli/faces/tui_driver.h"
#include "payroll/imirak1.h"

namespace payroll::cli {
namespace {

struct PickOptions {
    std::string company;
    std::string month;
};

int Pick(const PickOptions& opts, std::FILE* terminal) {
    std::vector<HPHONPD_YMD_FMT> runs;
    if (!ListPayRuns(opts.company, opts.month, &runs, nullptr)) {
        std::fprintf(stderr, "payroll: the runs of %s %s could not be read: %s\n",
                     opts.company.c_str(), opts.month.c_str(), QueryFailure().c_str());
        return kFailed;
    }
    if (runs.empty()) {
        std::fprintf(stderr, "payroll: no runs of %s in %s to pick from\n", opts.company.c_str(),
                     opts.month.c_str());
        return kFailed;
    }
    TuiDriver tui;
    tui.UseTerminal(terminal);
    payroll::ui::ScopedUiDriver scoped(&tui);
    CIMirak1 front;
    HPHONPD_YMD_FMT key = MonthKey(opts.company, opts.month);
    unsigned result = front.init(0, &key);
    if (!tui.TerminalWorked()) {
        std::fprintf(stderr, "payroll: the terminal could not be set up (is TERM right?)\n");
        return kFailed;
    }
    if (result != IDOK || key.SEL_NO <= 0) {
        std::fprintf(stderr, "payroll: no run chosen\n");
        return kFailed;
    }
    for (const std::string& line : KeyLines(key)) std::printf("%s\n", line.c_str());
    return kOk;
}

void AddPickCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<PickOptions>();
    CLI::App* cmd = app.add_subcommand("pick", "choose a pay run in the terminal; prints its key");
    CheckCompanyOption(cmd->add_option("--company", opts->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", opts->month, "pay month YYYYMM")->required());
    cmd->footer(
        "Arrow keys move, Enter or a double-click chooses, Escape cancels (exit code 1).\n"
        "Example: payroll pick --company 1000 --month 200203");
    cmd->callback([opts, &options, exit_code] {
        std::FILE* terminal = std::fopen("/dev/tty", "r+");
        if (!terminal || ::isatty(::fileno(terminal)) != 1) {
            if (terminal) std::fclose(terminal);
            std::fprintf(stderr,
                         "payroll: pick needs a terminal to draw on (/dev/tty); "
                         "'payroll runs' lists the runs without one\n");
            *exit_code = kFailed;
            return;
        }
        *exit_code = OpenDatabaseFor(options) ? Pick(*opts, terminal) : kFailed;
        std::fclose(terminal);
    });
}

const bool pick_registered = RegisterCommand(60, AddPickCommand);

}  // namespace
}  // namespace payroll::cli
