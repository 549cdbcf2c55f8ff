// payroll withholding-return: the monthly withholding return for earned
// income of a payment month as a PDF or CSV file, read through the library's
// papers API and drawn by libpayroll-print.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/commands/commands.h"
#include "cli/commands/paper_jobs.h"
#include "cli/commands/run_options.h"
#include "payroll/print.h"

namespace payroll::cli {
namespace {

struct ReturnOptions {
    PaperJob job;
    std::string format = "pdf";
    std::string language = "ko";
};

void AddWithholdingReturnCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto o = std::make_shared<ReturnOptions>();
    CLI::App* cmd = app.add_subcommand(
        "withholding-return",
        "the monthly withholding return (earned income) of a payment month as PDF or CSV");
    CheckCompanyOption(cmd->add_option("--company", o->job.company, "company code")->required());
    CheckMonthOption(
        cmd->add_option("--month", o->job.period, "payment month YYYYMM: the runs paid in it")
            ->required());
    cmd->add_option("--out", o->job.out,
                    "the file to write (default withholding-return-<month>.pdf here)");
    cmd->add_option("--format", o->format, "pdf (default) or csv")
        ->check(CLI::IsMember({"pdf", "csv"}));
    cmd->add_option("--language", o->language, "ko (default, Korean) or en (English)")
        ->check(CLI::IsMember({"ko", "en"}));
    AddPaperModeOption(cmd, &o->job.mode);
    cmd->footer("Example: payroll withholding-return --company 1000 --month 200206 --format csv");
    cmd->callback([o, &options, exit_code] {
        o->job.format = o->format == "csv" ? print::Format::kCsv : print::Format::kPdf;
        o->job.language = o->language == "en" ? 1 : 0;
        o->job.quiet = options.quiet;
        print::SetPaperMode(o->job.mode);
        print::GuardSignals();
        if (!OpenDatabaseFor(options)) {
            *exit_code = kFailed;
            return;
        }
        *exit_code = WriteWithholdingReturnFile(o->job);
        print::ReleaseFonts();
    });
}

const bool withholding_return_registered = RegisterCommand(59, AddWithholdingReturnCommand);

}  // namespace
}  // namespace payroll::cli
