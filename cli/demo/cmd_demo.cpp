// payroll demo: a realistic company of 2002 built from scratch and run
// through the library's roads, with a summary a person can read.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "cli/commands/commands.h"
#include "cli/demo/demo_report.h"
#include "payroll/host.h"
#include "tools/company/company.h"

namespace payroll::cli {
namespace {

struct DemoOptions {
    int employees = 200;
    bool fresh = false;
};

// With --fresh a database file is started anew.
void RemoveDatabaseFile(const GlobalOptions& options) {
    std::string url = options.db_url;
    if (url.empty()) {
        const char* env = std::getenv("PAYROLL_DB");
        url = env && *env ? env : "sqlite:payroll.db";
    }
    if (url.rfind("sqlite:", 0) != 0 || url == "sqlite::memory:") return;
    std::string path = url.substr(7);
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
}

int RunDemo(const GlobalOptions& options, const DemoOptions& demo) {
    if (demo.employees < 1 || demo.employees > 100000) {
        std::fprintf(stderr, "payroll demo: --employees must be between 1 and 100000\n");
        return kUsage;
    }
    if (demo.fresh) RemoveDatabaseFile(options);
    if (!OpenDatabaseFor(options, true)) return kFailed;
    std::string error;
    if (!ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
        return kFailed;
    }
    company::Options company;
    company.employees = demo.employees;
    // The runs are built through the library's build road; the pay amounts
    // come from the host's pay step after each build.
    company.with_pay_rows = false;
    company::Summary summary;
    std::fprintf(stderr, "Creating company %s with %d employees in %s ...\n",
                 company.company.c_str(), demo.employees, DatabaseDisplayName().c_str());
    if (!company::Generate(company, &summary, &error)) {
        std::fprintf(stderr, "payroll demo: creating the company rolled back: %s\n", error.c_str());
        return kFailed;
    }
    std::printf(
        "Company %s, year %d: %d employees, %d pay runs, %ld pay rows, %ld deduction "
        "rows.\n",
        company.company.c_str(), company.year, summary.employees, summary.runs, summary.pay_rows,
        summary.deduction_rows);
    return RunDemoRoads(company.company, company.year);
}

void AddDemoCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    static DemoOptions demo;
    CLI::App* cmd = app.add_subcommand(
        "demo", "create a demo company and run it through the roads, with a summary");
    cmd->add_option("--employees", demo.employees, "number of employees (default 200)");
    cmd->add_flag("--fresh", demo.fresh, "start from an empty database file");
    cmd->footer("Example: payroll demo --employees 500 --fresh");
    cmd->callback([&options, exit_code] { *exit_code = RunDemo(options, demo); });
}

const bool demo_registered = RegisterCommand(1, AddDemoCommand);

}  // namespace
}  // namespace payroll::cli
