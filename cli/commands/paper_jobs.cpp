#include "cli/commands/paper_jobs.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "payroll/papers.h"

namespace payroll::cli {
namespace {

int PaperFailure(const char* what, const std::string& error) {
    std::fprintf(stderr, "payroll %s: %s\n", what, error.c_str());
    return kFailed;
}

// The library's query for the job: the run place becomes the run's sequence
// and, for a run whose pay types are paid apart, its pay type.
bool MakeQuery(const PaperJob& job, papers::PaperQuery* query) {
    query->company = job.company;
    query->period = job.period;
    query->employees = job.employees;
    query->language = job.language;
    if (job.run <= 0) return true;
    HPHONPD_YMD_FMT key;
    if (!cli::PickRun(job.company, job.period, job.run, &key)) return false;
    query->sq = std::atoi(key.SQ.c_str());
    if (key.CCIS_YN != "001") query->pay_type = key.PYTP_FG.Str();
    return true;
}

// The font is there, the folder can be written (and, when --out names it,
// is no link to somewhere else), and every file to write may be replaced:
// all before the first file is written.
bool Ready(const char* what, const PaperJob& job, const std::string& folder, bool folder_named,
           const std::vector<std::string>& paths) {
    std::string error;
    if (print::PrepareToWrite(job.format, folder, folder_named, paths, &error)) return true;
    PaperFailure(what, error);
    return false;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

void Wrote(const PaperJob& job, const std::string& path) {
    if (!job.quiet) std::printf("%s\n", path.c_str());
}

}  // namespace

void AddPaperModeOption(CLI::App* cmd, unsigned* mode) {
    cmd->add_option_function<std::string>(
           "--mode",
           [mode](const std::string& text) {
               *mode = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 8));
           },
           "the papers' permissions in octal: 0600 (default, the owner's alone), 0640, 0644 ...")
        ->check([](const std::string& text) {
            const bool octal = !text.empty() && text.size() <= 4 &&
                               text.find_first_not_of("01234567") == std::string::npos &&
                               std::strtoul(text.c_str(), nullptr, 8) <= 0777;
            return octal ? std::string() : std::string("a mode is octal, 0000 to 0777 (0644)");
        });
}

int WritePayslips(const PaperJob& job) {
    papers::PaperQuery query;
    if (!MakeQuery(job, &query)) return kFailed;
    std::vector<papers::Payslip> slips;
    std::string error;
    if (!papers::ReadPayslips(query, &slips, &error)) return PaperFailure("payslips", error);
    std::vector<std::string> paths;
    paths.reserve(slips.size());
    for (const papers::Payslip& s : slips)
        paths.push_back(InFolder(job.out, print::PayslipFileName(s, job.format)));
    if (!Ready("payslips", job, job.out, true, paths)) return kFailed;
    for (std::size_t i = 0; i < slips.size(); ++i) {
        if (!print::WritePayslip(slips[i], job.language, job.format, paths[i], &error))
            return PaperFailure("payslips", error);
        Wrote(job, paths[i]);
    }
    if (!job.quiet)
        std::fprintf(stderr, "payroll payslips: %zu written in %s\n", slips.size(),
                     job.out.c_str());
    return kOk;
}

int WriteRegisterFile(const PaperJob& job) {
    papers::PaperQuery query;
    if (!MakeQuery(job, &query)) return kFailed;
    papers::Register reg;
    std::string error;
    if (!papers::ReadRegister(query, &reg, &error)) return PaperFailure("register", error);
    std::filesystem::path out(job.out);
    if (job.out.empty() || !out.has_filename())
        return PaperFailure("register", "--out names the file to write, not a folder");
    std::string folder = out.parent_path().empty() ? "." : out.parent_path().string();
    if (!Ready("register", job, folder, false, {job.out})) return kFailed;
    if (!print::WriteRegister(reg, job.language, job.format, job.paper, job.out, &error))
        return PaperFailure("register", error);
    Wrote(job, job.out);
    // People and lines apart: one paid in two runs has a line in each.
    if (!job.quiet)
        std::fprintf(stderr,
                     "payroll register: %ld people, %ld lines in %zu runs, %zu item columns\n",
                     reg.total.people, reg.total.lines, reg.runs.size(), reg.columns.size());
    return kOk;
}

int WriteWithholdingReturnFile(const PaperJob& job) {
    const char* what = "withholding-return";
    papers::PaperQuery query;
    query.company = job.company;
    query.period = job.period;
    query.language = job.language;
    papers::WithholdingReturn ret;
    std::string error;
    if (!papers::ReadWithholdingReturn(query, &ret, &error)) return PaperFailure(what, error);
    const std::string path =
        job.out.empty() ? print::WithholdingReturnFileName(ret, job.format) : job.out;
    std::filesystem::path out(path);
    if (!out.has_filename())
        return PaperFailure(what, "--out names the file to write, not a folder");
    std::string folder = out.parent_path().empty() ? "." : out.parent_path().string();
    if (!Ready(what, job, folder, false, {path})) return kFailed;
    if (!print::WriteWithholdingReturn(ret, job.language, job.format, path, &error))
        return PaperFailure(what, error);
    Wrote(job, path);
    return kOk;
}

int WriteLedgers(const PaperJob& job) {
    papers::PaperQuery query;
    if (!MakeQuery(job, &query)) return kFailed;
    std::vector<papers::Ledger> ledgers;
    std::string error;
    if (!papers::ReadLedgers(query, &ledgers, &error)) return PaperFailure("ledger", error);
    std::vector<std::string> paths;
    paths.reserve(ledgers.size());
    for (const papers::Ledger& l : ledgers)
        paths.push_back(InFolder(job.out, print::LedgerFileName(l, job.format)));
    if (!Ready("ledger", job, job.out, true, paths)) return kFailed;
    for (std::size_t i = 0; i < ledgers.size(); ++i) {
        if (!print::WriteLedger(ledgers[i], job.language, job.format, paths[i], &error))
            return PaperFailure("ledger", error);
        Wrote(job, paths[i]);
    }
    if (!job.quiet)
        std::fprintf(stderr, "payroll ledger: %zu written in %s\n", ledgers.size(),
                     job.out.c_str());
    return kOk;
}

}  // namespace payroll::cli
