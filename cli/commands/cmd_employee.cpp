// payroll employee: the front's employee record viewer in the terminal, or
// its content as plain text (--print, or when there is no terminal).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/commands/run_options.h"
#include "cli/faces/tui_driver.h"
#include "cli/faces/tui_text.h"
#include "payroll/imirak1.h"

namespace payroll::cli {
namespace {

struct EmployeeOptions {
    std::string company;
    std::string month;
    std::string employee;
    bool print = false;
    bool show_rrn = false;
};

// The employee code cell of the viewer's form (row 1, second cell).
bool EmployeeShown(const DialogSnapshot& shown) {
    const auto& rows = shown.form.rows;
    return rows.size() > 1 && rows[1].cells.size() > 1 && !rows[1].cells[1].text.empty();
}

int ShowEmployee(const EmployeeOptions& opts) {
    bool interactive = !opts.print && ::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1;
    tui::UseUtf8Locale();
    TuiDriver tui;
    PrintDriver print;
    PrintDriver& driver = interactive ? tui : print;
    driver.ShowRegistrationNumbers(opts.show_rrn);
    {
        payroll::ui::ScopedUiDriver scoped(&driver);
        CIMirak1 front;
        HPHONPD_YMD_FMT key = MonthKey(opts.company, opts.month);
        front.CallSempSubject(&key, CString(opts.employee));
    }
    if (interactive && !tui.TerminalWorked()) {
        std::fprintf(stderr, "payroll: the terminal could not be set up (is TERM right?)\n");
        return kFailed;
    }
    if (!driver.AnyShown()) {
        std::fprintf(stderr, "payroll: the employee viewer could not be shown\n");
        return kFailed;
    }
    if (!interactive)
        for (const std::string& line : DialogLines(driver.Shown()))
            std::printf("%s\n", line.c_str());
    if (driver.MessageCount() > 0) return kFailed;  // a statement failed: its tag was shown
    if (!EmployeeShown(driver.Shown())) {
        std::fprintf(stderr, "payroll: no employee %s in company %s\n", opts.employee.c_str(),
                     opts.company.c_str());
        return kFailed;
    }
    return kOk;
}

void AddEmployeeCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<EmployeeOptions>();
    CLI::App* cmd =
        app.add_subcommand("employee", "one employee's records, as the viewer shows them");
    CheckCompanyOption(cmd->add_option("--company", opts->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", opts->month, "pay month YYYYMM")->required());
    cmd->add_option("EMP", opts->employee, "employee code")->required();
    cmd->add_flag("--print", opts->print, "write the records as plain text, without interaction");
    cmd->add_flag("--show-rrn", opts->show_rrn,
                  "show resident and foreign registration numbers whole (by default all but "
                  "the birth date and the next digit are hidden: 700101-1******)");
    cmd->footer("Example: payroll employee --company 1000 --month 200203 E0001 --print");
    cmd->callback([opts, &options, exit_code] {
        if (!OpenDatabaseFor(options)) {
            *exit_code = kFailed;
            return;
        }
        *exit_code = ShowEmployee(*opts);
    });
}

const bool employee_registered = RegisterCommand(70, AddEmployeeCommand);

}  // namespace
}  // namespace payroll::cli
