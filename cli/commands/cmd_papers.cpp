// payroll payslips, payroll register, payroll ledger: the month's papers as
// PDF or CSV files (the register and the ledgers also as XLSX workbooks),
// read through the library's papers API.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>

#include "cli/commands/commands.h"
#include "cli/commands/paper_jobs.h"
#include "cli/commands/run_options.h"
#include "payroll/print.h"

namespace payroll::cli {
namespace {

struct PaperOptions {
    PaperJob job;
    std::string format = "pdf";
    std::string language = "ko";
    std::string paper = "a4";
};

// --format: pdf and csv for every paper; xlsx (a workbook of the CSV's
// lines, amounts as numbers) where `xlsx`.
void AddPaperFormatOptions(CLI::App* cmd, PaperOptions* o, bool xlsx = false) {
    if (xlsx) {
        cmd->add_option("--format", o->format,
                        "pdf (default), csv or xlsx (a spreadsheet of the CSV's lines and totals)")
            ->check(CLI::IsMember({"pdf", "csv", "xlsx"}));
    } else {
        cmd->add_option("--format", o->format, "pdf (default) or csv")
            ->check(CLI::IsMember({"pdf", "csv"}));
    }
    cmd->add_option("--language", o->language, "ko (default, Korean) or en (English)")
        ->check(CLI::IsMember({"ko", "en"}));
    AddPaperModeOption(cmd, &o->job.mode);
}

void AddPaperRunOptions(CLI::App* cmd, PaperOptions* o) {
    cmd->add_option("--run", o->job.run, "only this run, by its place in `payroll runs` (from 1)")
        ->check(CLI::Range(1, 9999));
}

void AddPaperEmployeeOption(CLI::App* cmd, PaperOptions* o) {
    cmd->add_option("--employee", o->job.employees, "only this employee (repeatable)")
        ->take_all()
        ->allow_extra_args(false);
}

// Opens the database and runs the job with the options' format and language.
template <int (*Write)(const PaperJob&)>
void RunPaperJob(const GlobalOptions& options, PaperOptions* o, int* exit_code) {
    o->job.format = o->format == "csv"    ? print::Format::kCsv
                    : o->format == "xlsx" ? print::Format::kXlsx
                                          : print::Format::kPdf;
    o->job.paper = o->paper == "a3" ? print::PaperSize::kA3 : print::PaperSize::kA4;
    o->job.language = o->language == "en" ? 1 : 0;
    o->job.quiet = options.quiet;
    print::SetPaperMode(o->job.mode);
    print::GuardSignals();
    if (!OpenDatabaseFor(options)) {
        *exit_code = kFailed;
        return;
    }
    *exit_code = Write(o->job);
    print::ReleaseFonts();
}

bool YearText(const std::string& y) {
    return y.size() == 4 && y.find_first_not_of("0123456789") == std::string::npos && y >= "1900";
}

void AddPayslipsCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto o = std::make_shared<PaperOptions>();
    CLI::App* cmd = app.add_subcommand(
        "payslips", "the month's payslips as PDF or CSV, one file per employee and run");
    CheckCompanyOption(cmd->add_option("--company", o->job.company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", o->job.period, "pay month YYYYMM")->required());
    AddPaperRunOptions(cmd, o.get());
    AddPaperEmployeeOption(cmd, o.get());
    cmd->add_option("--out", o->job.out, "the folder to write into (created when missing)")
        ->required();
    AddPaperFormatOptions(cmd, o.get());
    cmd->footer("Example: payroll payslips --company 1000 --month 200206 --run 1 --out slips");
    cmd->callback(
        [o, &options, exit_code] { RunPaperJob<WritePayslips>(options, o.get(), exit_code); });
}

void AddRegisterCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto o = std::make_shared<PaperOptions>();
    CLI::App* cmd = app.add_subcommand(
        "register",
        "the month's payroll register as PDF, CSV or XLSX: each employee's pay and deductions "
        "per run, department and run subtotals, the month's total");
    CheckCompanyOption(cmd->add_option("--company", o->job.company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", o->job.period, "pay month YYYYMM")->required());
    AddPaperRunOptions(cmd, o.get());
    cmd->add_option("--out", o->job.out, "the file to write")->required();
    AddPaperFormatOptions(cmd, o.get(), true);
    cmd->add_option("--paper", o->paper,
                    "the PDF's sheet, landscape: a4 (default) or a3 (for a month with many items)")
        ->check(CLI::IsMember({"a4", "a3"}));
    cmd->footer(
        "Example: payroll register --company 1000 --month 200206 --out register.pdf\n"
        "         payroll register --company 1000 --month 200206 --format xlsx "
        "--out register.xlsx");
    cmd->callback(
        [o, &options, exit_code] { RunPaperJob<WriteRegisterFile>(options, o.get(), exit_code); });
}

void AddLedgerCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto o = std::make_shared<PaperOptions>();
    CLI::App* cmd = app.add_subcommand(
        "ledger",
        "each employee's withholding ledger of a year as PDF, CSV or XLSX, one file each: "
        "every month's pay, exempt pay, taxes and insurance, the employer, the year's totals");
    CheckCompanyOption(cmd->add_option("--company", o->job.company, "company code")->required());
    cmd->add_option("--year", o->job.period, "year YYYY")
        ->required()
        ->check([](const std::string& y) {
            return YearText(y) ? std::string() : std::string("the year is YYYY, from 1900");
        });
    AddPaperEmployeeOption(cmd, o.get());
    cmd->add_option("--out", o->job.out, "the folder to write into (created when missing)")
        ->required();
    AddPaperFormatOptions(cmd, o.get(), true);
    cmd->footer("Example: payroll ledger --company 1000 --year 2002 --employee E000001 --out led");
    cmd->callback(
        [o, &options, exit_code] { RunPaperJob<WriteLedgers>(options, o.get(), exit_code); });
}

const bool payslips_registered = RegisterCommand(56, AddPayslipsCommand);
const bool register_registered = RegisterCommand(57, AddRegisterCommand);
const bool ledger_registered = RegisterCommand(58, AddLedgerCommand);

}  // namespace
}  // namespace payroll::cli
