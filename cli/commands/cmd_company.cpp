// payroll company check|import|export: the company folder a clerk edits in a
// spreadsheet (docs/company-files.md), checked, imported in one transaction
// and exported back.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/commands/run_options.h"
#include "payroll/company.h"
#include "payroll/host.h"

namespace payroll::cli {
namespace {

struct CompanyOptions {
    std::string dir;
    std::string company;
};

// Prints every problem; the count last.
void PrintProblems(const std::vector<folder::Problem>& problems) {
    for (const folder::Problem& p : problems)
        std::fprintf(stderr, "%s\n", folder::ProblemText(p).c_str());
    std::fprintf(stderr, "payroll: %zu problem%s; nothing was written\n", problems.size(),
                 problems.size() == 1 ? "" : "s");
}

std::string Keys(const std::vector<std::string>& keys, long count) {
    std::string s;
    for (const std::string& k : keys) s += (s.empty() ? " (" : ", ") + k;
    if (count > static_cast<long>(keys.size())) s += ", ...";
    return s.empty() ? s : s + ")";
}

void PrintChanges(const folder::ImportResult& r) {
    long total = 0;
    for (const folder::FileChange& c : r.changes) {
        if (c.added + c.changed + c.removed == 0) continue;
        total += c.added + c.changed + c.removed;
        std::printf("%s:", c.file.c_str());
        if (c.added) std::printf(" %ld added%s", c.added, Keys(c.keys_added, c.added).c_str());
        if (c.changed)
            std::printf(" %ld changed%s", c.changed, Keys(c.keys_changed, c.changed).c_str());
        if (c.removed)
            std::printf(" %ld left out%s", c.removed, Keys(c.keys_removed, c.removed).c_str());
        std::printf("\n");
    }
    if (total == 0)
        std::printf("company %s: nothing changed\n", r.company.c_str());
    else
        std::printf("company %s: committed\n", r.company.c_str());
}

void AddCompanyCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<CompanyOptions>();
    CLI::App* cmd = app.add_subcommand("company", "check, import or export a company folder");
    cmd->require_subcommand(1);
    cmd->footer(
        "Examples:\n"
        "  payroll company check resources/company-example\n"
        "  payroll company import resources/company-example\n"
        "  payroll company export --company 1000 company-1000\n"
        "The folder's files and columns: docs/company-files.md");

    CLI::App* check =
        cmd->add_subcommand("check", "report every problem of a folder; writes nothing");
    check->add_option("DIR", opts->dir, "the company folder")->required();
    check->footer("Example: payroll company check resources/company-example");
    check->callback([opts, exit_code] {
        std::string company;
        const auto problems = folder::CheckFolder(opts->dir, &company);
        if (!problems.empty()) {
            PrintProblems(problems);
            *exit_code = kFailed;
            return;
        }
        std::printf("%s: company %s, no problems\n", opts->dir.c_str(), company.c_str());
    });

    CLI::App* import =
        cmd->add_subcommand("import", "check a folder, then write its company in one transaction");
    import->add_option("DIR", opts->dir, "the company folder")->required();
    import->footer("Example: payroll company import resources/company-example");
    import->callback([opts, &options, exit_code] {
        if (!OpenDatabaseFor(options, true)) {
            *exit_code = kFailed;
    return;
}
std::string error;
std::vector<folder::LawTable> law;
if (!ApplySchema(nullptr, &error) || !folder::LoadShippedLaw(&law, &error)) {
    std::fprintf(stderr, "payroll: %s\n", error.c_str());
    *exit_code = kFailed;
    return;
}
const folder::ImportResult r = folder::ImportFolder(opts->dir);
if (!r.problems.empty()) {
    PrintProblems(r.problems);
    *exit_code = kFailed;
    return;
}
if (!r.ok) {
    std::fprintf(stderr, "payroll: rolled back: %s\n", r.error.c_str());
    *exit_code = kFailed;
    return;
}
PrintChanges(r);
}  // namespace
);

CLI::App* exp = cmd->add_subcommand("export", "write a company of the database as a folder");
CheckCompanyOption(exp->add_option("--company", opts->company, "company code")->required());
exp->add_option("DIR", opts->dir, "the folder to write")->required();
exp->footer("Example: payroll company export --company 1000 company-1000");
exp->callback([opts, &options, exit_code] {
    if (!OpenDatabaseFor(options)) {
        *exit_code = kFailed;
        return;
    }
    std::string error;
    if (!folder::ExportFolder(opts->company, opts->dir, &error)) {
        std::fprintf(stderr, "payroll: %s\n", error.c_str());
        *exit_code = kFailed;
        return;
    }
    std::printf("company %s written to %s\n", opts->company.c_str(), opts->dir.c_str());
});
}  // namespace payroll::cli

const bool company_registered = RegisterCommand(5, AddCompanyCommand);

}  // namespace
}  // namespace payroll::cli
